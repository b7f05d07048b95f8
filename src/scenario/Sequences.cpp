// Story sequences that run by themselves once a script starts them: the day
// logo, the eye-catch, the curtain card, the announcement and the fades of
// the full-page window. Each step ends on its own final picture, also when
// Ctrl skips it, so a skipped sequence ends where a watched one does.
#include "scenario/Scenario.h"

#include "app/Config.h"
#include "app/GameApp.h"
#include "app/Input.h"
#include "data/Log.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "gfx/Transition.h"
#include "gfx/TrigTables.h"
#include "scenario/SurfaceHelpers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace scenario_surfaces;

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
// The transition effects the sequences fade with.
constexpr int kCrossFade = 39;

std::unique_ptr<CDib> LoadSystem(platform::WindowHandle window, const char* name) {
    auto dib = std::make_unique<CDib>();
    dib->LoadFile(window, (Folder(kDataSystem) + name).c_str());
    return dib;
}

CDib* Back() {
    return g_backBuffer.get();
}

void CrossFade(CDib* a, CDib* b, std::uint32_t p) {
    if (Back() && a && b)
        DrawTransition(39, Back(), a, b, 0, 0, 0, 0, 800, 600, static_cast<int>(p), 0);
}

void Blend(CDib* dst, int x, int y, const CDib* pic, int sx, int sy, int w, int h, int o) {
    if (dst && pic) BltAlphaBlend(dst, x, y, pic, sx, sy, w, h, o);
}

void Put(CDib* dst, int x, int y, const CDib* pic, int sx, int sy, int w, int h) {
    if (dst && pic) BltAlpha(dst, x, y, pic, sx, sy, w, h);
}

void Restore(const CDib* from, int x, int y, int w, int h) {
    if (Back() && from) BltCopy(Back(), x, y, from, x, y, w, h);
}

void CopyToBack(const CDib* from) {
    if (Back() && from) BltCopy(Back(), 0, 0, from, 0, 0, 800, 600);
}

int Width(const CDib* d) {
    return d ? d->GetWidth() : 0;
}

// The full-page window's text picture, over the whole of `dst` from its corner.
void PutWindowText(CDib* dst) {
    const CDib* text = g_msgWindowText.get();
    Put(dst, 0, 0, text, 0, 0, Width(text), text ? text->GetHeight() : 0);
}

// 254 - log10(9 sin(a + 90) + 1) * 254: an opacity that rises fast and settles.
int SettlingOpacity(std::uint32_t a) {
    return static_cast<int>(
        std::trunc(254.0 - std::log10(9.0 * SinDeg(static_cast<int>(a) + 90) + 1.0) * 254.0));
}

} // namespace

bool CScenario::StepOver(std::uint32_t length, std::uint32_t& p, std::uint32_t limit) {
    const std::uint32_t elapsed = platform::TimeGetTime() - effectStart;
    const std::uint64_t raw = length == 0 ? limit : std::uint64_t{limit} * elapsed / length;
    p = static_cast<std::uint32_t>(std::min<std::uint64_t>(raw, limit));
    effectProgress = static_cast<std::uint16_t>(p);
    return p >= limit || (g_mouse && g_mouse->skip) || skipEffects;
}

void CScenario::NextStep(std::uint8_t step) {
    subState = step;
    effectStart = platform::TimeGetTime();
}

void CScenario::LeaveUnknownSequence(const char* message) {
    static bool said = false;
    if (!said) LogMessage("%s", message);
    said = true;
    subState = 0;
    SetMode(2);
}

bool CScenario::TransitionStepOver(int effect, std::uint32_t length, CDib* to, CDib* from) {
    std::uint32_t p = 0;
    if (!StepOver(length, p)) {
        if (Back() && to && from)
            DrawTransition(effect, Back(), to, from, 0, 0, 0, 0, 800, 600, static_cast<int>(p), 0);
        return false;
    }
    CopyToBack(to);
    return true;
}

void CScenario::EndSequence(int lastSurface) {
    for (int k = 1; k <= lastSurface; ++k)
        cdib[static_cast<std::size_t>(k)].reset();
    subState = 0;
    SetMode(2);
}

// ---------------------------------------------------------------- day logo

void CScenario::RunDayLogo() {
    // A day outside 1..29 has no row in the day pictures: nothing is drawn.
    const bool dayRow = dayNumber >= 1 && dayNumber <= 29;
    const int r = dayRow ? dayNumber - 1 : 0;
    CDib* back = Back();
    auto row = [&](CDib* dst, int x, int y, int k, int rowHeight, int w, int o) {
        if (dayRow) Blend(dst, x, y, cdib[k].get(), 0, rowHeight * r, w, rowHeight, o);
    };
    std::uint32_t p = 0;
    switch (subState) {
    case 0:
        windowShown = 0;
        FullRedraw();
        cdib[0] = ScreenCopyOf(hwnd, back);
        cdib[1] = LoadSystem(hwnd, "day_base_b.bmp");
        cdib[2] = LoadSystem(hwnd, "day_base.bmp");
        cdib[3] = LoadSystem(hwnd, "eye_day.bmp");
        cdib[4] = LoadSystem(hwnd, "eye_day_b.bmp");
        cdib[5] = LoadSystem(hwnd, "day_logo.bmp");
        cdib[6] = LoadSystem(hwnd, "day_logo_b.bmp");
        NextStep(1);
        break;
    case 1:
    case 2:
        // The two day bases fade in one over the other.
        if (TransitionStepOver(kCrossFade, 800, cdib[subState].get(), cdib[subState - 1].get()))
            NextStep(static_cast<std::uint8_t>(subState + 1));
        break;
    case 3: {
        const bool over = StepOver(800, p);
        Restore(cdib[2].get(), 240, 222, 330, 74);
        row(back, 240, 222, 4, 74, 330, over ? 254 : static_cast<int>(p));
        if (over) NextStep(4);
        break;
    }
    case 4: {
        const bool over = StepOver(800, p);
        Restore(cdib[2].get(), 200, 200, 400, 200);
        if (!over) {
            row(back, 240, 222, 4, 74, 330, static_cast<int>(255 - p));
            row(back, 250, 234, 3, 50, 310, static_cast<int>(std::min(2 * p, 254u)));
            break;
        }
        row(back, 250, 234, 3, 50, 310, 254);
        row(cdib[2].get(), 250, 234, 3, 50, 310, 254);
        NextStep(5);
        break;
    }
    case 5: {
        const bool over = StepOver(800, p);
        Restore(cdib[2].get(), 200, 200, 400, 200);
        row(back, 263, 287, 6, 100, Width(cdib[6].get()), over ? 254 : static_cast<int>(p));
        if (over) NextStep(6);
        break;
    }
    case 6: {
        const bool over = StepOver(800, p);
        Restore(cdib[2].get(), 200, 200, 400, 200);
        if (!over) {
            row(back, 263, 287, 6, 100, Width(cdib[6].get()), static_cast<int>(255 - p));
            row(back, 276, 300, 5, 74, Width(cdib[5].get()),
                static_cast<int>(std::min(2 * p, 254u)));
            break;
        }
        row(cdib[2].get(), 276, 300, 5, 74, Width(cdib[5].get()), 254);
        Restore(cdib[2].get(), 200, 200, 400, 200);
        NextStep(7);
        break;
    }
    case 7:
        if (!StepOver(1600, p)) break;
        row(cdib[1].get(), 240, 222, 4, 74, 330, 254);
        row(cdib[1].get(), 264, 287, 6, 100, Width(cdib[6].get()), 254);
        NextStep(8);
        break;
    case 8:
        if (!TransitionStepOver(kCrossFade, 1000, cdib[1].get(), cdib[2].get())) break;
        // The finished fade, then the white fade starts from it.
        cdib[1] = ScreenFilled(hwnd, kWhite);
        cdib[2] = ScreenCopyOf(hwnd, back);
        NextStep(9);
        break;
    case 9:
        if (TransitionStepOver(kCrossFade, 1000, cdib[1].get(), cdib[2].get())) NextStep(10);
        break;
    default:
        EndSequence(6);
        break;
    }
}

// ---------------------------------------------------------------- eye-catch

namespace {

struct Letter {
    int x, y, w, h, sx;
};
constexpr Letter kLetters[6] = {{431, 435, 83, 125, 0},   {491, 435, 83, 125, 83},
                                {561, 435, 69, 125, 166}, {602, 435, 74, 125, 235},
                                {662, 435, 74, 125, 309}, {716, 435, 74, 125, 383}};

} // namespace

void CScenario::RunEyeCatch() {
    const int variant = effectType;
    if (variant == 4 || variant == 5) return RunEyeCatchFlying(variant);
    if (variant != 0 && variant != 1 && variant != 3) {
        LeaveUnknownSequence("eye-catch variant without a sequence: back to the script");
        return;
    }
    CDib* back = Back();
    std::uint32_t p = 0;
    const std::uint32_t now = platform::TimeGetTime();
    if (subState == 0) {
        FullRedraw();
        const char* base = variant == 0   ? "eye_base.bmp"
                           : variant == 1 ? "eye_base_02.bmp"
                                          : "eye_base_04.bmp";
        const char* word = variant == 0   ? "eye_word.bmp"
                           : variant == 1 ? "eye_word_02.bmp"
                                          : "eye_word_04.bmp";
        cdib[1] = LoadSystem(hwnd, base);
        cdib[2] = LoadSystem(hwnd, word);
        if (!cdib[0]) cdib[0] = ScreenFilled(hwnd, 0);
        pieceStart.fill(0);
        pieceState.fill(0);
        pieceTravel.fill(0);
        NextStep(1);
        return;
    }
    if (subState == 1) {
        if (!TransitionStepOver(kCrossFade, 2000, cdib[1].get(), cdib[0].get())) return;
        pieceState[0] = 1;
        pieceStart[0] = now;
        NextStep(2);
        return;
    }
    if (variant == 3) {
        switch (subState) {
        case 2: {
            if (g_gameApp) g_gameApp->screenRect = {320, 287, 800, 372};
            const bool over = StepOver(500, p);
            Restore(cdib[1].get(), 320, 287, 480, 85);
            if (!over) {
                const int w = static_cast<int>(
                    std::min<std::uint64_t>(480, 480ull * (now - effectStart) / 500));
                Blend(back, 800 - w, 299, cdib[2].get(), 0, 0, w, 1, static_cast<int>(p));
                break;
            }
            Put(cdib[1].get(), 320, 299, cdib[2].get(), 0, 0, 480, 1);
            Restore(cdib[1].get(), 320, 287, 480, 85);
            NextStep(3);
            break;
        }
        case 3: {
            const bool over = StepOver(1400, p);
            Restore(cdib[1].get(), 320, 287, 480, 85);
            if (!over) {
                const int h = static_cast<int>(
                    std::min<std::uint64_t>(11, 11ull * (now - effectStart) / 800));
                Blend(back, 558, 298 - h, cdib[2].get(), 0, 1, 240, h, static_cast<int>(p));
                Blend(back, 672, 302, cdib[2].get(), 0, 12, 126, 70, static_cast<int>(p));
                break;
            }
            Put(cdib[1].get(), 558, 287, cdib[2].get(), 0, 1, 240, 11);
            Put(cdib[1].get(), 672, 302, cdib[2].get(), 0, 12, 126, 70);
            Restore(cdib[1].get(), 320, 287, 480, 85);
            NextStep(4);
            break;
        }
        case 4:
            if (!StepOver(1500, p, 254)) break;
            cdib[0] = ScreenFilled(hwnd, kWhite);
            NextStep(5);
            break;
        case 5:
            if (TransitionStepOver(kCrossFade, 1000, cdib[0].get(), cdib[1].get())) NextStep(6);
            break;
        default:
            EndSequence(2);
            break;
        }
        return;
    }
    switch (subState) {
    case 2: {
        if (g_gameApp) g_gameApp->screenRect = {431, 411, 783, 603};
        const bool over = StepOver(1200, p);
        Restore(cdib[1].get(), 431, 411, 352, 176);
        if (!over) {
            for (int i = 0; i < 6; ++i) {
                if (pieceState[i] == 0) continue;
                const Letter& l = kLetters[i];
                const auto q = static_cast<int>(
                    std::min<std::uint64_t>(255, 255ull * (now - pieceStart[i]) / 450));
                const int drop = std::min(12, q * 13 >> 8);
                if (q >= 96 && i + 1 < 6 && pieceState[i + 1] == 0) {
                    pieceState[i + 1] = 1;
                    pieceStart[i + 1] = now;
                }
                if (q - 1 > 0)
                    Blend(back, l.x, l.y + drop - 12, cdib[2].get(), l.sx, 0, l.w, 125, q - 1);
            }
            break;
        }
        for (const Letter& l : kLetters) {
            Put(back, l.x, l.y, cdib[2].get(), l.sx, 0, l.w, l.h);
            Put(cdib[1].get(), l.x, l.y, cdib[2].get(), l.sx, 0, l.w, l.h);
        }
        NextStep(3);
        break;
    }
    case 3: {
        const bool over = StepOver(500, p, 254);
        Restore(cdib[1].get(), 431, 411, 352, 176);
        if (!over) {
            Blend(back, 431, 551, cdib[2].get(), 0, 125, 352, 33, static_cast<int>(p));
            break;
        }
        Put(cdib[1].get(), 431, 551, cdib[2].get(), 0, 125, 352, 36);
        Restore(cdib[1].get(), 431, 411, 352, 176);
        NextStep(4);
        break;
    }
    case 4:
        if (!StepOver(1500, p, 254)) break;
        cdib[0] = ScreenFilled(hwnd, 0);
        NextStep(5);
        break;
    case 5:
        FullRedraw();
        if (TransitionStepOver(kCrossFade, 1500, cdib[0].get(), cdib[1].get())) NextStep(6);
        break;
    default:
        EndSequence(2);
        break;
    }
}

// ---------------------------------------------------------------- curtain

void CScenario::RunCurtain() {
    CDib* back = Back();
    std::uint32_t p = 0;
    const std::uint32_t elapsed = platform::TimeGetTime() - effectStart;
    auto restoreCard = [&] { Restore(cdib[1].get(), 160, 18, 640, 134); };
    switch (subState) {
    case 0: {
        FullRedraw();
        char name[32];
        std::snprintf(name, sizeof name, "maku_base%02d.bmp", curtainVariant);
        cdib[1] = LoadSystem(hwnd, name);
        std::snprintf(name, sizeof name, "maku_p%02d.bmp", curtainVariant);
        cdib[2] = LoadSystem(hwnd, name);
        cdib[0] = ScreenCopyOf(hwnd, back);
        NextStep(1);
        break;
    }
    case 1:
        if (TransitionStepOver(kCrossFade, 1000, cdib[1].get(), cdib[0].get())) NextStep(2);
        break;
    case 2: {
        const bool over = StepOver(500, p);
        restoreCard();
        if (!over) {
            const int w = static_cast<int>(std::min<std::uint64_t>(640, 640ull * elapsed / 500));
            Blend(back, 800 - w, 96, cdib[2].get(), 0, 0, w, 3, static_cast<int>(p));
            break;
        }
        // A held Ctrl skips no further: it must be pressed again.
        if (g_mouse) g_mouse->skip = 0;
        Blend(cdib[1].get(), 160, 96, cdib[2].get(), 0, 0, 640, 3, 254);
        restoreCard();
        NextStep(3);
        break;
    }
    case 3:
    case 4: {
        const std::uint32_t length = subState == 3 ? 800 : 1000;
        const bool over = StepOver(length, p);
        if (!over) {
            const auto a =
                static_cast<std::uint32_t>(std::min<std::uint64_t>(90, 90ull * elapsed / length));
            const int o = SettlingOpacity(a);
            if (subState == 3) {
                const int h1 = static_cast<int>(24ull * elapsed / length);
                const int h2 = static_cast<int>(34ull * elapsed / length);
                Blend(back, 684, 94 - h1, cdib[2].get(), 210, 3, 100, h1, o);
                Blend(back, 684, 100, cdib[2].get(), 210, 61 - h2, 100, h2, o);
            } else {
                Blend(back, 450, 18, cdib[2].get(), 0, 3, 210, 78, o);
            }
            break;
        }
        if (subState == 3) {
            Put(cdib[1].get(), 684, 70, cdib[2].get(), 210, 3, 100, 24);
            Put(cdib[1].get(), 684, 100, cdib[2].get(), 210, 27, 100, 34);
        } else {
            Put(cdib[1].get(), 450, 18, cdib[2].get(), 0, 3, 210, 78);
        }
        restoreCard();
        NextStep(static_cast<std::uint8_t>(subState + 1));
        break;
    }
    case 5:
        if (!StepOver(2000, p)) break;
        cdib[0] = ScreenFilled(hwnd, kWhite);
        cdib[1] = ScreenCopyOf(hwnd, back);
        NextStep(6);
        break;
    case 6:
        if (TransitionStepOver(kCrossFade, 1000, cdib[0].get(), cdib[1].get())) NextStep(7);
        break;
    default:
        EndSequence(3);
        break;
    }
}

// ---------------------------------------------------------------- announcement

void CScenario::RunAnnouncement() {
    CDib* back = Back();
    std::uint32_t p = 0;
    const std::uint32_t elapsed = platform::TimeGetTime() - effectStart;
    switch (subState) {
    case 0:
        FullRedraw();
        cdib[0] = ScreenFilled(hwnd, kWhite);
        cdib[1] = LoadSystem(hwnd, "ann_base.bmp");
        cdib[2] = LoadSystem(hwnd, "ann_base02.bmp");
        cdib[3] = LoadSystem(hwnd, "ann_base03.bmp");
        cdib[4] = LoadSystem(hwnd, "ann_moji.bmp");
        NextStep(1);
        break;
    case 1:
        if (TransitionStepOver(kCrossFade, 4500, cdib[1].get(), cdib[0].get())) NextStep(8);
        break;
    case 8:
        if (TransitionStepOver(kCrossFade, 4500, cdib[0].get(), cdib[1].get())) NextStep(2);
        break;
    case 2:
        if (TransitionStepOver(kCrossFade, 4500, cdib[2].get(), cdib[0].get())) NextStep(3);
        break;
    case 3: {
        const bool over = StepOver(2000, p, 254);
        CopyToBack(cdib[2].get());
        if (!over) {
            Blend(back, 0, 0, cdib[3].get(), 0, 0, 800, 600, static_cast<int>(p));
            break;
        }
        Blend(cdib[2].get(), 0, 0, cdib[3].get(), 0, 0, 800, 600, 254);
        CopyToBack(cdib[2].get());
        NextStep(4);
        break;
    }
    case 4: {
        if (!StepOver(3000, p, 127)) {
            const auto q =
                static_cast<std::uint32_t>(std::min<std::uint64_t>(255, 512ull * elapsed / 3000));
            if (q >= 255)
                CopyToBack(cdib[0].get());
            else
                CrossFade(cdib[0].get(), cdib[2].get(), q);
            Blend(back, 140, 56, cdib[4].get(), 0, 0, 510, 484, static_cast<int>(2 * p));
            break;
        }
        CopyToBack(cdib[0].get());
        Blend(back, 140, 56, cdib[4].get(), 0, 0, 510, 484, 254);
        NextStep(5);
        break;
    }
    case 5:
        if (!StepOver(4500, p, 254)) break;
        cdib[1] = ScreenCopyOf(hwnd, back);
        NextStep(6);
        break;
    case 6:
        if (TransitionStepOver(kCrossFade, 4500, cdib[0].get(), cdib[1].get())) NextStep(7);
        break;
    default:
        g_config[config::kScriptByte] = 2;
        EndSequence(4);
        break;
    }
}

// ---------------------------------------------------------------- window fades

void CScenario::RunFadeIn() {
    std::uint32_t p = 0;
    switch (subState) {
    case 0:
        FullRedraw();
        g_screenSnapshot = ScreenCopyOf(hwnd, Back());
        cdib[1] = ScreenCopyOf(hwnd, g_screenSnapshot.get());
        PutWindowText(cdib[1].get());
        particlesOn = 0;
        NextStep(1);
        break;
    case 1:
        if (!StepOver(500, p)) return CrossFade(cdib[1].get(), g_screenSnapshot.get(), p);
        CopyScreenInto(hwnd, cdib[0], g_screenSnapshot.get());
        CopyToBack(cdib[0].get());
        PutWindowText(Back());
        NextStep(2);
        break;
    default:
        CopyScreenInto(hwnd, cdib[0], cdib[1].get());
        CopyToBack(cdib[0].get());
        cdib[1].reset();
        windowShown = 1;
        subState = 0;
        SetMode(2);
        break;
    }
}

void CScenario::RunFadeToSaved() {
    switch (subState) {
    case 0:
        windowShown = 0;
        cdib[0] = ScreenCopyOf(hwnd, g_screenSnapshot.get());
        cdib[1] = ScreenCopyOf(hwnd, g_screenSnapshot.get());
        PutWindowText(cdib[1].get());
        FullRedraw();
        NextStep(1);
        break;
    case 1:
        if (TransitionStepOver(kCrossFade, 1000, cdib[0].get(), cdib[1].get())) NextStep(2);
        break;
    default:
        EndSequence(1);
        break;
    }
}

void CScenario::RunCrossFade() {
    std::uint32_t p = 0;
    switch (subState) {
    case 0:
        windowShown = 0;
        FullRedraw();
        g_screenSnapshot = ScreenCopyOf(hwnd, cdib[1].get());
        if (g_msgWindowBase && Back())
            BltCopy(Back(), 0, 461, g_screenSnapshot.get(), 0, 461, g_msgWindowBase->GetWidth(),
                    g_msgWindowBase->GetHeight());
        if (!cdib[0]) cdib[0] = ScreenFilled(hwnd, 0);
        NextStep(1);
        break;
    case 1:
        if (!StepOver(effectDuration, p))
            return CrossFade(g_screenSnapshot.get(), cdib[0].get(), p);
        NextStep(2);
        break;
    case 2:
        CopyScreenInto(hwnd, cdib[0], cdib[1].get());
        CopyToBack(g_screenSnapshot.get());
        NextStep(3);
        break;
    default:
        subState = 0;
        SetMode(2);
        break;
    }
}

void CScenario::IdleMode26() {
    LeaveUnknownSequence("mode 26 has nothing to run: back to the script");
}

void CScenario::IdleMode40() {
    LeaveUnknownSequence("mode 40 has nothing to run: back to the script");
}
