// The settings screen's voice page: thirteen per-character voice levels,
// each with a test line played at its level, and default, OK and cancel.
// It shares the settings screen's object and its saved copy of the block.
#include "system/ConfigScreen.h"

#include "app/Config.h"
#include "app/Input.h"
#include "gfx/Blend.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "screenkit/ScreenKit.h"
#include "sound/SoundChannel.h"

#include <algorithm>
#include <string>

using namespace screenkit;
using platform::Rect;

namespace {

constexpr std::uint32_t kFadeMs = 500;
constexpr std::uint32_t kGlowInMs = 200;
constexpr std::uint32_t kGlowOutMs = 300;
constexpr int kDefault = 19;
constexpr int kOk = 20;
constexpr int kCancel = 21;
constexpr int kLastTest = 13;
constexpr int kSpareVoice = 13; // plays for every voice no table names

constexpr std::array<const char*, 13> kTestLines{
    "voice\\sef0417.ogg", "voice\\dor0465.ogg", "voice\\kel0247.ogg", "voice\\pom0469.ogg",
    "voice\\mur0428.ogg", "voice\\fop0503.ogg", "voice\\bex0882.ogg", "voice\\hol0466.ogg",
    "voice\\vel0274.ogg", "voice\\fen0249.ogg", "voice\\lis0291.ogg", "voice\\gor0149.ogg",
    "voice\\zik0001.ogg",
};

// Bottom buttons 19..21: sheet x, width, where they stand.
struct BottomButton {
    int sx, w, x;
};
constexpr std::array<BottomButton, 3> kBottom{{{0, 123, 362}, {123, 86, 485}, {209, 86, 571}}};

int Column(int i) {
    return (i - 1) / 6;
}
int Row(int i) {
    return (i - 1) % 6;
}
std::uint8_t& Level(int i) {
    return g_config[config::kVoiceLevels - 1 + static_cast<std::size_t>(i)];
}

CDib* Back() {
    return g_backBuffer.get();
}

void StopTestLine() {
    FreeVoiceSlot(0);
}

} // namespace

void CConfigScreen::DrawVoiceKnob(CDib* target, int i, bool lit) {
    const int x = voiceColumnX[Column(i)] + Level(i) * 128 / 100;
    BltAlpha(target, x, voiceRowY[Row(i)], Slot(25), lit ? 243 : 232, 130, 11, 10);
}

void CConfigScreen::DrawVoiceDigits(CDib* target, int i) {
    const int x = voiceColumnX[Column(i)];
    const int y = 177 + 68 * Row(i);
    const int v = Level(i);
    BltCopy(target, x + 141, y, Slot(33), x + 141, y, 20, 9);
    if (v >= 100) {
        BltAlpha(target, x + 141, y, Slot(34), 8, 0, 8, 9);
        BltAlpha(target, x + 147, y, Slot(34), 0, 0, 8, 9);
        BltAlpha(target, x + 153, y, Slot(34), 0, 0, 8, 9);
        return;
    }
    if (v / 10 != 0) BltAlpha(target, x + 147, y, Slot(34), 8 * (v / 10), 0, 8, 9);
    BltAlpha(target, x + 153, y, Slot(34), 8 * (v % 10), 0, 8, 9);
}

void CConfigScreen::DrawVoicePage(CDib* target) {
    for (int i = 1; i <= kVoiceChars; ++i) {
        DrawVoiceKnob(target, i, false);
        BltAlpha(target, voiceTestX[Column(i)], 141 + 68 * Row(i), Slot(25), 208, 140, 80, 30);
        DrawVoiceDigits(target, i);
    }
    BltAlpha(target, 362, 544, Slot(25), 0, 284, 296, 30);
}

// look: 0 normal, 1 lit.
void CConfigScreen::DrawVoiceButton(int k, int look) {
    if (k >= 1 && k <= kLastTest) {
        const int x = voiceTestX[Column(k)];
        const int y = 141 + 68 * Row(k);
        RestoreArea(Slot(33), x, y, 80, 30);
        BltAlpha(Back(), x, y, Slot(25), 208, 140 + 30 * look, 80, 30);
    } else if (k >= kDefault && k <= kCancel) {
        const BottomButton& b = kBottom[static_cast<std::size_t>(k - kDefault)];
        RestoreArea(Slot(33), b.x, 544, b.w + 1, 34);
        BltAlpha(Back(), 362, 544, Slot(25), 0, 284, 296, 30);
        BltAlpha(Back(), b.x, 544, Slot(25), b.sx, 284 + 34 * look, b.w, 34);
    }
}

void CConfigScreen::VoiceOpen(platform::WindowHandle) {
    CopyOfBackBuffer(30);
    LoadSurface(31, "system\\VoiceCharBase.bmp");
    CopyOfSurface(32, Slot(26));
    if (CDib* base = Slot(31))
        BltAlpha(Slot(32), 10, 82, base, 0, 0, base->GetWidth(), base->GetHeight());
    CopyOfSurface(33, Slot(32));
    LoadSurface(34, "system\\0123456789_2.bmp");
    DrawVoicePage(Slot(32));
    for (int i = 1; i <= kVoiceChars; ++i) {
        const int c = Column(i);
        const int r = Row(i);
        voiceButtonRects[i - 1] =
            Rect{voiceTestX[c], 141 + 68 * r, voiceTestX[c] + 80, 171 + 68 * r};
        voiceSliderRects[i - 1] =
            Rect{voiceColumnX[c] + 4, voiceRowY[r], voiceColumnX[c] + 134, voiceRowY[r] + 10};
    }
    for (int k = kLastTest; k < kDefault - 1; ++k)
        voiceButtonRects[k] = Rect{};
    voiceButtonRects[kDefault - 1] = Rect{371, 551, 479, 570};
    voiceButtonRects[kOk - 1] = Rect{492, 550, 564, 570};
    voiceButtonRects[kCancel - 1] = Rect{578, 550, 650, 570};
    testChar = 0;
    dragX = 0;
    button = prevButton = control = prevControl = 0;
    Clock().Restart();
    state = 11;
}

void CConfigScreen::VoiceFade(platform::WindowHandle) {
    if (Fading(Clock(), Slot(32), Slot(30), kFadeMs, Hurry::BySkip)) return;
    state = 12;
}

void CConfigScreen::VoiceInput(platform::WindowHandle) {
    if (TrackHover(button, prevButton, voiceButtonRects)) {
        DrawVoiceButton(prevButton, 0);
        DrawVoiceButton(button, 1);
    }
    if (TrackHover(control, prevControl, voiceSliderRects)) {
        for (int i : {static_cast<int>(prevControl), static_cast<int>(control)}) {
            if (i == 0) continue;
            const Rect& r = voiceSliderRects[i - 1];
            RestoreArea(Slot(33), r.left - 10, r.top - 2, r.right - r.left + 40, 13);
            DrawVoiceKnob(Back(), i, i == control);
            DrawVoiceDigits(Back(), i);
        }
    }
    if (button >= kDefault && TakeClick()) {
        PlaySe(0, "se\\sys_a002.ogg");
        Clock().Restart();
        state = 15;
        return;
    }
    if (button >= 1 && button <= kLastTest && TakeClick()) {
        // The mute switches silence the test lines as they silence the story.
        const bool muted = (g_config[config::kVoiceMuteA] == 1 && button < kSpareVoice) ||
                           (g_config[config::kVoiceMuteB] == 1 && button == kSpareVoice);
        if (!muted) {
            testChar = button;
            StopTestLine();
            auto line = std::make_unique<CVoiceChannel>();
            line->Load(kTestLines[button - 1]);
            line->SetVolume(Level(button));
            line->Play(Repeat::Once);
            g_voiceChannels[0] = std::move(line);
        }
    }
    if (control != 0 && g_mouse && g_mouse->click) {
        const Rect& r = voiceSliderRects[control - 1];
        const int x = g_mouse->x;
        Tick();
        RestoreArea(Slot(33), r.left - 10, r.top - 2, r.right - r.left + 40, 13);
        BltAlpha(Back(), x - 4, r.top, Slot(25), 243, 130, 11, 10);
        Level(control) = static_cast<std::uint8_t>(
            std::clamp((x - voiceColumnX[Column(control)] - 4) * 100 / 128, 0, 100));
        if (testChar == control && g_voiceChannels[0])
            g_voiceChannels[0]->SetVolume(Level(control));
        DrawVoiceDigits(Back(), control);
    } else {
        dragX = 0;
    }
    if (TakeCancel()) LeaveVoicePage(Levels::PutBack);
}

// Back to the main page; cancel and a right click put back the levels the
// block held when the settings screen was entered.
void CConfigScreen::LeaveVoicePage(Levels levels) {
    if (levels == Levels::PutBack)
        RestoreSaved(config::kVoiceLevels, config::kVoiceLevels + config::kVoiceLevelCount - 1);
    StopTestLine();
    if (g_mouse) g_mouse->cancel = 0;
    CopyOfBackBuffer(32);
    Clock().Restart();
    state = 13;
}

// One frame of a bottom button's glow; false once it has run its time.
bool CConfigScreen::VoiceGlowing(std::uint32_t duration, Glow glow) {
    const std::uint32_t level = FadeLevel(Clock().Tick(), duration);
    if (level >= kFull || SkipHeld()) return false;
    const BottomButton& b = kBottom[static_cast<std::size_t>(button - kDefault)];
    DrawVoiceButton(button, 0);
    BlendAddAlpha(Back(), b.x, 544, Slot(25), b.sx, 352, b.w + (button == kDefault), 34,
                  static_cast<int>(glow == Glow::Rising ? level : kFull - level));
    return true;
}

void CConfigScreen::VoiceGlowIn(platform::WindowHandle) {
    if (VoiceGlowing(kGlowInMs, Glow::Rising)) return;
    Clock().Restart();
    state = 16;
}

void CConfigScreen::VoiceGlowOutAndAct(platform::WindowHandle) {
    if (VoiceGlowing(kGlowOutMs, Glow::Falling)) return;
    if (button == kDefault) {
        std::fill_n(&g_config[config::kVoiceLevels], config::kVoiceLevelCount, 50);
        ShowWhole(Slot(33));
        DrawVoicePage(Back());
        state = 12;
        return;
    }
    DrawVoiceButton(button, 0);
    LeaveVoicePage(button == kOk ? Levels::Keep : Levels::PutBack);
}

void CConfigScreen::VoiceBack(platform::WindowHandle) {
    if (Fading(Clock(), Slot(30), Slot(32), kFadeMs, Hurry::BySkip)) return;
    state = 14;
}

void CConfigScreen::VoiceClose(platform::WindowHandle) {
    FreeSurfaces(30, 34);
    button = prevButton = control = prevControl = 0;
    state = 3;
}
