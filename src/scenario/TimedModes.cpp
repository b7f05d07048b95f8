// Timed story steps that hand back to the interpreter when done: screen
// transitions, screen effects, pans, timed waits and the click wait. Every
// one finishes at once when Ctrl is held or effects are skipped, and does
// the same final copies then, so a skipped step leaves the same pixels.
#include "scenario/Scenario.h"

#include "app/Config.h"
#include "app/GameApp.h"
#include "app/Input.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "gfx/Transition.h"
#include "gfx/TrigTables.h"
#include "scenario/LayerMath.h"
#include "scenario/SurfaceHelpers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

using namespace scenario_surfaces;

namespace {

bool CtrlHeld() {
    return g_mouse && g_mouse->skip;
}

// 255 * elapsed / length, a zero length counting as over.
std::uint32_t Level(std::uint32_t elapsed, std::uint32_t length) {
    if (length == 0) return 255;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(255ull * elapsed / length, 255));
}

// An 800x600 work surface that exists: black when the step finds none.
CDib* Ensure(platform::WindowHandle window, std::unique_ptr<CDib>& slot) {
    if (!slot) slot = ScreenFilled(window, 0);
    return slot.get();
}

void CopyRows(CDib* dst, const CDib* src, int top, int height) {
    if (dst && src) BltCopy(dst, 0, top, src, 0, top, 800, height);
}

} // namespace

// ---------------------------------------------------------------- mode 4

void CScenario::RunMaskTransition() {
    const int e = effectType;
    switch (subState) {
    case 0: {
        windowShown = 0;
        FullRedraw();
        CopyScreenInto(hwnd, g_backBuffer, cdib[0].get());
        int mask = 0;
        if (e >= 40 && e <= 59)
            mask = e - 39;
        else if (e == 69)
            mask = 30;
        else if (e == 70)
            mask = 31;
        if (mask) {
            char file[16];
            std::snprintf(file, sizeof file, "mask%02d.bmp", mask);
            g_maskImage = std::make_unique<CDib>();
            g_maskImage->LoadFile(hwnd, (Folder(kDataBmp) + file).c_str());
        }
        Ensure(hwnd, cdib[0]);
        CDib* incoming = Ensure(hwnd, cdib[1]);
        if (messageStyle == 2) {
            incoming->FillRect(0, 0, 800, 110, 0);
            incoming->FillRect(0, 490, 800, 110, 0);
        }
        effectStart = platform::TimeGetTime();
        subState = 1;
        break;
    }
    case 1: {
        const std::uint32_t level = Level(platform::TimeGetTime() - effectStart, effectDuration);
        effectProgress = static_cast<std::uint16_t>(level);
        if (level < 255 && !CtrlHeld() && !skipEffects) {
            DrawTransition(e, g_backBuffer.get(), Ensure(hwnd, cdib[1]), Ensure(hwnd, cdib[0]), 0,
                           0, 0, 0, 800, 600, static_cast<int>(level), 0);
        } else {
            effectProgress = 255;
            // These effects keep what was last drawn: draw the finished frame,
            // so that a skipped run keeps the same picture as a full one.
            if (e == 2 || e == 3 || e == 34)
                DrawTransition(e, g_backBuffer.get(), Ensure(hwnd, cdib[1]), Ensure(hwnd, cdib[0]),
                               0, 0, 0, 0, 800, 600, 256, 0);
            subState = 2;
        }
        break;
    }
    case 2:
        if (e == 2 || e == 34) {
            CopyScreenInto(hwnd, cdib[0], g_backBuffer.get());
        } else if (e != 3) {
            g_maskImage.reset();
            CopyScreenInto(hwnd, cdib[0], cdib[1].get());
            CopyScreenInto(hwnd, g_backBuffer, cdib[1].get());
        }
        cdib[1].reset();
        subState = 3;
        break;
    default:
        EndSequence(0);
        break;
    }
}

// ---------------------------------------------------------------- mode 5

void CScenario::RunTransition() {
    CDib* back = g_backBuffer.get();
    switch (subState) {
    case 0: {
        const int t = effectType;
        FullRedraw();
        effectKind = effectType;
        effectLength = static_cast<std::int32_t>(effectDuration);
        if (t == 11) {
            cdib[31] = ScreenFilled(hwnd, 0);
            BltCopyBytes(cdib[31].get(), 0, 0, Ensure(hwnd, cdib[1]), 0, 0, 800, 600);
            colorEffect = 1;
        } else if (t == 13) {
            cdib[31] = ScreenFilled(hwnd, 0);
            colorEffect = 2;
        } else {
            cdib[1] = ScreenFilled(hwnd, 0);
            CDib* fx = cdib[1].get();
            Ensure(hwnd, cdib[0]);
            switch (t) {
            case 0:
            case 1:
            case 2:
                BltCopy(fx, 0, 0, cdib[0].get(), 0, 0, 800, 600);
                break;
            case 3:
            case 4:
            case 5:
                fx->FillRect(0, 0, 800, 600, t == 3 ? 0xFFFFFF : t == 4 ? 0xAE0000 : 0x00C0FF);
                CopyScreenInto(hwnd, g_backBuffer, g_backupSurface.get());
                break;
            case 6:
            case 14:
            case 15:
                if (g_gameApp) g_gameApp->screenRect = {0, t == 14 ? 461 : 453, 800, 600};
                if (g_msgWindowText && g_msgWindowBase)
                    BltCopy(g_msgWindowText.get(), 0, 0, g_msgWindowBase.get(), 0, 0,
                            g_msgWindowBase->GetWidth(), g_msgWindowBase->GetHeight());
                break;
            case 7:
            case 8:
            case 9:
                CopyScreenInto(hwnd, g_backBuffer, cdib[0].get());
                break;
            case 10:
                BltCopyBytes(fx, 0, 0, cdib[0].get(), 0, 0, 800, 600);
                break;
            default:
                break; // 12 and others: blank
            }
        }
        const std::uint32_t now = platform::TimeGetTime();
        effectStart = now;
        effectTime = now;
        effectDuration = 0;
        subState = 1;
        windowShown = 0;
        break;
    }
    case 1: {
        const std::uint32_t now = platform::TimeGetTime();
        const std::uint32_t elapsed = now - effectStart;
        const auto length = static_cast<std::uint32_t>(effectLength);
        // A zero length ends in the first frame, whatever time has passed.
        if (CtrlHeld() || g_config[config::kNoTimedTransitions] != 0 || elapsed > length ||
            length == 0) {
            subState = 2;
            break;
        }
        DrawEffectFrame(now, elapsed, length);
        break;
    }
    case 2: {
        const int t = effectKind;
        if (t == 11 || t == 13) {
            CopyScreenInto(hwnd, cdib[1], cdib[31].get());
        } else {
            if (t <= 2) {
                CopyScreenInto(hwnd, g_backBuffer, cdib[1].get());
                FullRedraw();
            } else if (t == 6 || t == 14 || t == 15) {
                CopyRows(g_backBuffer.get(), cdib[0].get(), 453, 147);
                if (back && g_msgWindowBase)
                    BltAlpha(back, 0, 461, g_msgWindowBase.get(), 0, 0, g_msgWindowBase->GetWidth(),
                             g_msgWindowBase->GetHeight());
            } else {
                CopyScreenInto(hwnd, g_backBuffer, cdib[0].get());
            }
            cdib[1].reset();
        }
        EndSequence(0);
        break;
    }
    default:
        EndSequence(0);
        break;
    }
}

void CScenario::DrawEffectFrame(std::uint32_t now, std::uint32_t elapsed, std::uint32_t length) {
    CDib* back = g_backBuffer.get();
    const CDib* scene = cdib[0].get();
    const CDib* fx = cdib[1].get();
    const CDib* window = g_msgWindowBase.get();
    if (!back || !scene) return;
    const int t = effectKind;
    const bool flash = (t >= 3 && t <= 5) || t == 10 || t == 12;
    // The waves take this step too, on top of their own count per frame.
    if (now - effectTime > (flash ? 120u : 96u)) {
        ++effectDuration;
        effectTime = now;
    }
    const int phase = static_cast<int>(effectDuration % (flash ? 2u : 4u));
    auto whole = [&](const CDib* from) {
        if (from) BltCopy(back, 0, 0, from, 0, 0, 800, 600);
    };
    const int windowW = window ? window->GetWidth() : 0;
    const int windowH = window ? window->GetHeight() : 0;
    auto drawWindow = [&](int x, int y) {
        if (window) BltAlpha(back, x, y, window, 0, 0, windowW, windowH);
    };
    // The wave amplitudes grow over the first fifth of the length.
    auto amplitude = [&](std::uint32_t top) {
        return static_cast<int>(
            std::min<std::uint64_t>(top, std::uint64_t{top} * elapsed / (length / 5 + 1)));
    };
    auto shifted = [&](int y, int s, int sourceRow) {
        if (s >= 0)
            BltCopy(back, s, y, scene, 0, sourceRow, 800 - s, 1);
        else
            BltCopy(back, 0, y, scene, -s, sourceRow, 800 + s, 1);
    };
    auto sinDeg = [](long long degrees) {
        return layer_math::SinDegrees(static_cast<double>(degrees));
    };
    switch (t) {
    case 0: {
        static constexpr int kFrom[4][2] = {{16, 16}, {0, 0}, {0, 16}, {16, 0}};
        static constexpr int kTo[4][2] = {{0, 0}, {16, 16}, {16, 0}, {0, 16}};
        BltCopy(back, kTo[phase][0], kTo[phase][1], scene, kFrom[phase][0], kFrom[phase][1], 784,
                584);
        break;
    }
    case 1:
        if (phase == 0)
            BltCopy(back, 0, 0, scene, 16, 0, 784, 600);
        else if (phase == 2)
            BltCopy(back, 16, 0, scene, 0, 0, 784, 600);
        else
            whole(scene);
        break;
    case 2:
        if (phase == 0)
            BltCopy(back, 0, 0, scene, 0, 16, 800, 584);
        else if (phase == 2)
            BltCopy(back, 0, 16, scene, 0, 0, 800, 584);
        else
            whole(scene);
        break;
    case 3:
    case 4:
    case 5:
    case 10:
    case 12:
        whole(phase == 0 ? fx : scene);
        break;
    case 6: {
        static constexpr int kY[4] = {453, 461, 469, 461};
        CopyRows(back, scene, 453, 147);
        drawWindow(0, kY[phase]);
        break;
    }
    case 7: {
        const int a = amplitude(32);
        for (int y = 0; y < 600; ++y)
            shifted(y, static_cast<int>(std::trunc(sinDeg(effectDuration + y) * a)), y);
        effectDuration += 2;
        break;
    }
    case 8: {
        const int a = amplitude(32);
        for (int y = 0; y < 600; ++y) {
            const int from = y + static_cast<int>(std::trunc(sinDeg(effectDuration + y) * a));
            if (from >= 1 && from <= 599) BltCopy(back, 0, y, scene, 0, from, 800, 1);
        }
        effectDuration += 3;
        break;
    }
    case 9: {
        const int a = amplitude(32);
        const int b = amplitude(24);
        for (int y = 0; y < 600; ++y) {
            const int s = static_cast<int>(std::trunc(sinDeg(effectDuration + y) * a));
            const int from = y + static_cast<int>(std::trunc(
                                     sinDeg(static_cast<long long>(effectDuration) - y + 600) * b));
            if (from >= 0 && from <= 599) shifted(y, s, from);
        }
        effectDuration += 2;
        break;
    }
    case 11:
    case 13:
        CopyScreenInto(hwnd, cdib[1], cdib[31].get());
        subState = 2;
        break;
    case 14: {
        static constexpr int kX[4] = {-8, 0, 8, 0};
        CopyRows(back, scene, 453, 147);
        drawWindow(kX[phase], 461);
        break;
    }
    case 15: {
        static constexpr int kPos[4][2] = {{-8, 453}, {8, 469}, {8, 453}, {-8, 469}};
        CopyRows(back, scene, 453, std::min(147, windowH + 8));
        drawWindow(kPos[phase][0], kPos[phase][1]);
        break;
    }
    default:
        whole(scene);
        break;
    }
}

// ---------------------------------------------------------------- mode 25

void CScenario::RunScroll() {
    const std::size_t n = currentLayer;
    switch (subState) {
    case 0:
        windowShown = 0;
        FullRedraw();
        effectStart = platform::TimeGetTime();
        Ensure(hwnd, cdib[0]);
        subState = 1;
        break;
    case 1: {
        const std::uint32_t e = platform::TimeGetTime() - effectStart;
        const std::uint32_t length = effectTime;
        const std::uint32_t level = Level(e, length);
        effectProgress = static_cast<std::uint16_t>(level);
        if (level > 254 || CtrlHeld() || skipEffects || length == 0) {
            effectProgress = 255;
            subState = 2;
            break;
        }
        const int step = static_cast<int>(std::min<std::uint64_t>(90, 90ull * e / length));
        const int ease = effectType;
        auto axis = [&](int f, int t) {
            switch (ease) {
            case 1:
            case 3:
                return f + static_cast<int>(std::trunc((t - f) * SinDeg(step)));
            case 2:
            case 4:
                return f + static_cast<int>(std::trunc((t - f) * SinDeg(step + 90)));
            default:
                return f + static_cast<int>(static_cast<std::int64_t>(t - f) * e / length);
            }
        };
        const int x = axis(panFrom[0], panTo[0]);
        int y = axis(panFrom[1], panTo[1]);
        if (ease == 3)
            y = std::clamp(y, std::min<int>(panFrom[1], panTo[1]),
                           std::max<int>(panFrom[1], panTo[1]));
        if ((ease == 3 || ease == 4) && step == 0) break;
        CDib* surface = Ensure(hwnd, cdib[n]);
        CDib* back = g_backBuffer.get();
        const int p = static_cast<int>(level);
        switch (panDrawMode) {
        case 0:
            if (back) BltCopy(back, 0, 0, surface, x, y, 800, 600);
            break;
        case 1:
            DrawTransition(68, back, surface, cdib[0].get(), 0, 0, x, y, 800, 600, p, 0);
            break;
        case 2:
            DrawTransition(68, back, surface, cdib[0].get(), 0, 0, x, y, 800, 600, 255 - p, 0);
            break;
        default:
            if (ease != 1 && ease != 2)
                DrawTransition(68, back, surface, nullptr, 0, 0, x, y, 800, 600, 255 - p, 0);
            break;
        }
        break;
    }
    case 2: {
        if (panDrawMode == 2) {
            CopyScreenInto(hwnd, g_backBuffer, cdib[0].get());
        } else if (panDrawMode == 3) {
            CopyScreenInto(hwnd, cdib[0], g_backBuffer.get());
        } else {
            // Through a copy: the panned surface may be the background itself.
            auto end = ScreenFilled(hwnd, 0);
            if (cdib[n]) BltCopy(end.get(), 0, 0, cdib[n].get(), panTo[0], panTo[1], 800, 600);
            CopyScreenInto(hwnd, g_backBuffer, end.get());
            CopyScreenInto(hwnd, cdib[0], end.get());
        }
        // The background stays whatever surface was panned.
        if (n != 0) cdib[n].reset();
        subState = 3;
        break;
    }
    default:
        EndSequence(0);
        break;
    }
}

// ---------------------------------------------------------------- modes 18 and 51

void CScenario::RunTimedWait() {
    switch (subState) {
    case 0:
        effectStart = platform::TimeGetTime();
        effectLength = static_cast<std::int32_t>(effectDuration);
        windowShown = 0;
        subState = 1;
        break;
    case 1:
        if (Level(platform::TimeGetTime() - effectStart,
                  static_cast<std::uint32_t>(effectLength)) >= 255 ||
            CtrlHeld() || skipEffects)
            subState = 2;
        break;
    default:
        EndSequence(0);
        break;
    }
}

void CScenario::WaitClick() {
    switch (subState) {
    case 0:
        subState = 1;
        break;
    case 1:
        if (g_mouse && g_mouse->click) {
            g_mouse->click = 0;
            subState = 2;
        }
        break;
    default:
        EndSequence(0);
        break;
    }
}
