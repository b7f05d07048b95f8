// Mode 17: up to three option plates over a dimmed copy of the scene.
#include "scenario/Scenario.h"

#include "app/Config.h"
#include "app/GameApp.h"
#include "app/Input.h"
#include "app/Shell.h"
#include "gfx/Blend.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "gfx/GlyphFont.h"
#include "gfx/TrigTables.h"
#include "scenario/MessageHistory.h"
#include "scenario/TextRules.h"
#include "sound/SoundChannel.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

namespace {

constexpr int kPlateX = 152;
constexpr int kLitPlateX = 150;
constexpr int kPlateW = 512;
constexpr int kPlateH = 64;
constexpr std::uint32_t kTakenColour = 0xA9BBFF;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr int kChoicePoints = static_cast<int>((config::kSceneSeen - config::kChoiceFlags) / 3);
constexpr char kExitQuestion[] =
    "\xD2\xAA\xCD\xCB\xB3\xF6\xD3\xCE\xCF\xB7\xC2\xF0\xA3\xBF"; // 要退出游戏吗？

int PlateY(int option) {
    return 140 + 100 * option;
} // option 0-based

std::uint32_t RandTimesClock() {
    return static_cast<std::uint32_t>(platform::Rand()) * platform::TimeGetTime();
}

bool InStartScript() {
    if (!g_gameApp) return false;
    const auto& name = g_gameApp->scriptName;
    return strncasecmp(name.data(), "START.s", name.size()) == 0;
}

std::unique_ptr<CDib> CopyOf(platform::WindowHandle window, const CDib* source) {
    auto dib = std::make_unique<CDib>();
    dib->Create(window, 800, 600, 24);
    if (source) BltCopy(dib.get(), 0, 0, source, 0, 0, 800, 600);
    return dib;
}

void StopChannel(std::unique_ptr<CSeChannel>& c) {
    if (!c) return;
    c->Stop();
    c.reset();
}

} // namespace

void CScenario::RespawnSparkle(Sparkle& s, std::uint32_t k, bool reborn) {
    if (reborn) {
        s.x = static_cast<std::uint16_t>(RandTimesClock() % 482u + 8u);
        s.rise = 54;
    } else {
        s.x = static_cast<std::uint16_t>(RandTimesClock() * k % 497u);
        s.rise = static_cast<std::uint16_t>(RandTimesClock() * k % 54u);
    }
    const auto low = [] {
        return static_cast<std::int32_t>(static_cast<std::int8_t>(RandTimesClock() & 0xFF));
    };
    const auto kk = static_cast<std::int32_t>(k);
    s.size = static_cast<std::uint16_t>((low() * kk & 15) + 1);
    s.drift = static_cast<std::int16_t>((low() * kk & 31) - 16);
    s.step = static_cast<std::uint16_t>(RandTimesClock() * k % 3u + 1u);
    s.phase = reborn ? 0 : RandTimesClock() * k % 90u;
}

void CScenario::DrawChoiceText(int option, int y) {
    if (!g_glyphFont || option < 0 || option >= choiceCount ||
        !choiceText[static_cast<std::size_t>(option)])
        return;
    const char* raw = choiceText[static_cast<std::size_t>(option)].get();
    const std::string_view text(raw, strnlen(raw, choiceLength[static_cast<std::size_t>(option)]));
    const bool taken =
        choicePoint < kChoicePoints &&
        g_config[config::kChoiceFlags + 3u * choicePoint + static_cast<std::size_t>(option)] != 0;
    int x = std::max(0, 400 - static_cast<int>(text.size() / 2) * 13);
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = IsLeadByte(text.substr(i)) && i + 1 < text.size() ? 2 : 1;
        std::int16_t advance = 0;
        for (int twice = 0; twice < 2; ++twice)
            advance = g_glyphFont->DrawChar(g_backBuffer.get(), x, y, text.substr(i, n),
                                            taken ? kTakenColour : kWhite);
        x += advance;
        i += n;
    }
}

void CScenario::DrawChoicePlate(int option, bool lit) {
    if (!g_backBuffer) return;
    const int y = PlateY(option);
    if (lit) {
        if (g_screenSnapshot)
            BltCopy(g_backBuffer.get(), kLitPlateX, y, g_screenSnapshot.get(), kLitPlateX, y, 514,
                    kPlateH);
        if (g_choicePlate)
            BltAlpha(g_backBuffer.get(), kLitPlateX, y, g_choicePlate.get(), 0, kPlateH, kPlateW,
                     kPlateH);
    } else {
        if (g_screenSnapshot)
            BltCopy(g_backBuffer.get(), 158, y, g_screenSnapshot.get(), 158, y, 507, 71);
        if (g_choicePlate)
            BltAlpha(g_backBuffer.get(), kPlateX, y, g_choicePlate.get(), 0, 0, kPlateW, kPlateH);
    }
}

void CScenario::RunChoice() {
    if (!g_mouse || !g_gameApp) return;
    const std::uint32_t now = platform::TimeGetTime();
    switch (subState) {
    case 0: {
        if (g_glyphFont) g_glyphFont->SetFont(26, 0);
        for (std::uint32_t k = 1; k <= sparkles.size(); ++k)
            RespawnSparkle(sparkles[k - 1], k, false);
        g_screenSnapshot = CopyOf(hwnd, g_backBuffer.get());
        if (g_choiceBase)
            BltAlpha(g_screenSnapshot.get(), 0, 0, g_choiceBase.get(), 0, 0, 800, 600);
        g_backBuffer = CopyOf(hwnd, g_screenSnapshot.get());
        FullRedraw();
        for (int i = 0; i < choiceCount; ++i) {
            const int y = PlateY(i);
            if (g_choicePlate)
                BltAlpha(g_backBuffer.get(), kPlateX, y, g_choicePlate.get(), 0, 0, kPlateW,
                         kPlateH);
            choicePlateRects[static_cast<std::size_t>(i)] = {kPlateX, y, kPlateX + kPlateW,
                                                             y + kPlateH};
            DrawChoiceText(i, y + 21);
        }
        choiceHover = prevChoiceHover = 0;
        hoverButton = prevHoverButton = 0;
        sparkleClock = now;
        if (g_config[config::kCursorGlide] == 0) {
            subState = 1;
        } else {
            glideTarget = {411, 175};
            glideFrom = {static_cast<std::int16_t>(g_mouse->x),
                         static_cast<std::int16_t>(g_mouse->y)};
            subState = 6;
        }
        return;
    }
    case 6: {
        const std::uint32_t step = (now - sparkleClock) * 90u / 150u;
        effectProgress = static_cast<std::uint16_t>(std::min<std::uint32_t>(step, 90));
        if (step < 90 && !g_mouse->skip) {
            const double ease = SinDeg(90 + static_cast<int>(step));
            const int x = static_cast<int>(glideTarget[0] + (glideFrom[0] - glideTarget[0]) * ease);
            const int y = static_cast<int>(glideTarget[1] + (glideFrom[1] - glideTarget[1]) * ease);
            WarpCursor(hwnd, x, y);
            return;
        }
        WarpCursor(hwnd, glideTarget[0], glideTarget[1]);
        g_mouse->SetPos(glideTarget[0], glideTarget[1]);
        sparkleClock = now;
        g_mouse->click = 0;
        subState = 1;
        return;
    }
    case 1:
        break;
    case 2: {
        const int h = choiceHover;
        if (h >= 1 && h <= choiceCount) {
            const auto k = static_cast<std::size_t>(h - 1);
            const char* raw = choiceText[k] ? choiceText[k].get() : "";
            AppendChoiceHistory(*g_gameApp, std::string_view(raw, strnlen(raw, choiceLength[k])));
            pc = choiceTarget[k];
            // A point beyond the flag table records nothing.
            if (choicePoint < kChoicePoints)
                g_config[config::kChoiceFlags + 3u * choicePoint + k] = 1;
        }
        FullRedraw();
        windowShown = 0;
        g_backBuffer = CopyOf(hwnd, cdib[0].get());
        g_screenSnapshot.reset();
        subState = 3;
        return;
    }
    case 3:
        g_mouse->click = 0;
        subState = 0;
        SetMode(2);
        return;
    default:
        return;
    }

    // State 1: choosing.
    const int lastPlateBottom = choiceCount > 0 ? PlateY(choiceCount - 1) + kPlateH : PlateY(0);
    g_gameApp->screenRect = {kPlateX, 140, kPlateX + kPlateW, lastPlateBottom};
    if (windowHidden) {
        if (g_mouse->click || g_mouse->cancel || (g_keyboard && g_keyboard->space)) {
            if (g_menuSnapshot) g_backBuffer = CopyOf(hwnd, g_menuSnapshot.get());
            g_menuSnapshot.reset();
            g_mouse->click = g_mouse->cancel = 0;
            if (g_keyboard) g_keyboard->space = 0;
            windowHidden = 0;
            FullRedraw();
        }
        return;
    }
    const bool startScript = InStartScript();
    if (!startScript && ((g_keyboard && g_keyboard->left) || g_mouse->middle)) {
        g_menuSnapshot = CopyOf(hwnd, g_backBuffer.get());
        g_gameApp->returnMode = kChoiceMode;
        SetMode(6);
        g_mouse->middle = 0;
        return;
    }
    prevChoiceHover = choiceHover;
    choiceHover = 0;
    for (int i = 0; i < choiceCount; ++i) {
        const platform::Rect& r = choicePlateRects[static_cast<std::size_t>(i)];
        if (g_mouse->x >= r.left && g_mouse->x < r.right && g_mouse->y >= r.top &&
            g_mouse->y < r.bottom) {
            choiceHover = static_cast<std::uint8_t>(i + 1);
            break;
        }
    }
    if (g_keyboard && choiceCount > 0 && (g_keyboard->up || g_keyboard->down)) {
        if (g_keyboard->up) {
            choiceHover = static_cast<std::uint8_t>(choiceHover == 0   ? 1
                                                    : choiceHover == 1 ? choiceCount
                                                                       : choiceHover - 1);
            g_keyboard->up = 0;
        } else {
            choiceHover = static_cast<std::uint8_t>(choiceHover == 0             ? choiceCount
                                                    : choiceHover >= choiceCount ? 1
                                                                                 : choiceHover + 1);
            g_keyboard->down = 0;
        }
        const platform::Rect& r = choicePlateRects[static_cast<std::size_t>(choiceHover - 1)];
        WarpCursor(hwnd, r.left + 450, r.top + 30);
        // The pointer is where the cursor went, so the next hover test keeps it.
        g_mouse->SetPos(r.left + 450, r.top + 30);
    }
    if (prevChoiceHover != 0 && prevChoiceHover != choiceHover) {
        DrawChoicePlate(prevChoiceHover - 1, false);
        DrawChoiceText(prevChoiceHover - 1, 100 * prevChoiceHover + 61);
    }
    if (choiceHover != 0 && now - sparkleClock > 28) {
        std::uint32_t k = 1;
        for (Sparkle& s : sparkles) {
            s.phase += s.step;
            if (s.phase >= 180) s.phase = 0;
            // A sparkle that has risen to the top stays there to be reborn.
            if (s.rise > 0) --s.rise;
            if (s.x < 9 || s.x >= 490 || s.rise < 5) RespawnSparkle(s, k, true);
            ++k;
        }
        const int h = choiceHover - 1;
        DrawChoicePlate(h, true);
        const platform::Rect& r = choicePlateRects[static_cast<std::size_t>(h)];
        if (g_waitIcon) {
            for (const Sparkle& s : sparkles) {
                const double sine = SinDeg(static_cast<int>(s.phase));
                const int x = r.left + s.x + static_cast<int>(s.drift * sine);
                BlendAddAlphaStretch(g_backBuffer.get(), x, r.top + s.rise, s.size, s.size,
                                     g_waitIcon.get(), 219, 1, 50, 72,
                                     static_cast<int>(sine * 255));
            }
        }
        DrawChoiceText(h, PlateY(h) + 21);
        sparkleClock = now;
    }
    if (!startScript && g_mouse->cancel) {
        if (playContext == 0) {
            if (g_voiceChannels[0]) {
                g_voiceChannels[0]->Stop();
                g_voiceChannels[0].reset();
            }
            StopChannel(g_seChannels[1]);
            g_menuSnapshot = CopyOf(hwnd, g_backBuffer.get());
            g_gameApp->returnMode = kChoiceMode;
            SetMode(8);
            g_mouse->cancel = 0;
            skipMode = autoMode = 0;
            speakerName.reset();
        } else if (platform::AskOkCancel(kExitQuestion, "M-17", platform::BoxIcon::Question) ==
                   platform::BoxAnswer::Ok) {
            if (g_voiceChannels[0]) {
                g_voiceChannels[0]->Stop();
                g_voiceChannels[0].reset();
            }
            StopChannel(g_seChannels[1]);
            FullRedraw();
            speakerName.reset();
            g_gameApp->seName.fill(0);
            g_mouse->cancel = 0;
            subState = 0;
            SetMode(14);
        } else {
            g_mouse->cancel = 0;
        }
        return;
    }
    if (g_mouse->click) {
        g_mouse->click = 0;
        if (choiceHover == 0) return;
        if (g_config[config::kSeOff] == 0) {
            auto& click = g_seChannels[0];
            StopChannel(click);
            click = std::make_unique<CSeChannel>();
            if (click->Load("sys_010.ogg")) {
                click->SetVolume(g_config[config::kSeVolume]);
                click->Play(Repeat::Once);
            }
        }
        subState = 2;
    }
}
