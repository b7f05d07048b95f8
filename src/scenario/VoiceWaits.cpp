// The voice waits of the story (a message's voice, waiting for or stopping
// a voice channel), the message overlay with its click wait and animated
// icon, and the reload of the character sprites after a restore.
#include "scenario/Scenario.h"

#include "app/Config.h"
#include "data/DataPath.h"
#include "app/GameApp.h"
#include "app/Input.h"
#include "data/PathTable.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "scenario/LayerMath.h"
#include "scenario/SurfaceHelpers.h"
#include "sound/SoundChannel.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

void StopVoice(std::unique_ptr<CVoiceChannel>& channel) {
    if (!channel) return;
    channel->Stop();
    channel.reset();
}

// A voice slot from a script operand: outside the table there is none.
std::unique_ptr<CVoiceChannel>* VoiceSlot(std::uint8_t index) {
    return index < kVoiceChannelCount ? &g_voiceChannels[index] : nullptr;
}

} // namespace

void CScenario::PlayWaveWait() {
    const bool click = g_mouse && g_mouse->click;
    auto clearClick = [] {
        if (g_mouse) g_mouse->click = 0;
    };
    std::unique_ptr<CVoiceChannel>& voice = g_voiceChannels[0];
    switch (subState) {
    case 0:
        if (click) {
            clearClick();
            StopVoice(voice);
            subState = 1;
        } else if (voice) {
            if (voice->IsStopped()) {
                voice.reset();
                clearClick();
                subState = 1;
            }
        } else {
            // Unsigned, as the setting has always been compared: settings of
            // 3 and more never time out.
            const std::uint32_t limit = 5000u - 2000u * g_config[config::kAutoSpeed];
            if (platform::TimeGetTime() - textDoneTime > limit) {
                clearClick();
                subState = 1;
            }
        }
        break;
    case 1: {
        StopVoice(voice);
        voice = std::make_unique<CVoiceChannel>();
        const std::string folder = scenario_surfaces::Folder(kDataVoice);
        const std::string name(waveName.data(), strnlen(waveName.data(), waveName.size()));
        if (voice->Load(folder + "\\" + name)) voice->Play(Repeat::Once);
        subState = 2;
        break;
    }
    default:
        clearClick();
        SetMode(3);
        break;
    }
}

void CScenario::WaitSeEnd() {
    switch (subState) {
    case 0:
        subState = 1;
        break;
    case 1: {
        if ((g_mouse && g_mouse->skip) || skipMode || skipEffects) {
            subState = 2;
            break;
        }
        const auto* slot = VoiceSlot(seWaitSlot);
        if (!slot || !*slot || (*slot)->IsStopped()) subState = 2;
        break;
    }
    default:
        for (auto& channel : g_voiceChannels)
            StopVoice(channel);
        subState = 0;
        seWaitSlot = 0;
        SetMode(2);
        break;
    }
}

void CScenario::StopSeSlot() {
    if (subState != 2) {
        subState = 2;
        return;
    }
    if (auto* slot = VoiceSlot(seWaitSlot)) StopVoice(*slot);
    subState = 0;
    seWaitSlot = 0;
    SetMode(2);
}

void CScenario::DrawMessageOverlay() {
    CDib* back = g_backBuffer.get();
    const CDib* text = g_msgWindowText.get();
    const std::uint8_t mode = g_gameApp ? g_gameApp->mode : 0;
    if (!windowShown || !back) return;
    if (mode == 3) {
        if (messageStyle == 0) {
            if (text) BltAlpha(back, 0, 461, text, 0, 0, text->GetWidth(), text->GetHeight());
            DrawWindowButton(hoverButton);
            if (buttonLatched) DoWindowButtonAction();
            DrawClickWaitIcon(732, 529);
            return;
        }
        if (windowHidden) return;
        FullRedraw();
        DrawWindowButton(hoverButton);
        if (buttonLatched) DoWindowButtonAction();
        DrawClickWaitIcon(penX + 36, penY + 3);
        return;
    }
    if (mode == 4 || mode == 39 || mode == 40) return;
    // The copy's height has never been set anywhere: the text surface's own.
    if (text) BltAlpha(back, windowX, windowY, text, 0, 0, columnStartX, text->GetHeight());
}

void CScenario::WaitClickIcon() {
    HandleMessageRightClick();
    prevHoverButton = hoverButton;
    hoverButton = HitTestWindowButton();
    if (subState != 3 || hoverButton != 0) return;
    const bool go = (g_mouse && (g_mouse->click || g_mouse->skip)) || skipMode || autoMode;
    if (!go) return;
    if (g_backBuffer && cdib[0])
        BltCopy(g_backBuffer.get(), penX - 5, penY + 1, cdib[0].get(), penX - 5, penY + 1, 28, 28);
    if (g_mouse) {
        g_mouse->click = 0;
        g_mouse->skip = 0;
    }
    subState = 2;
    SetMode(3);
    g_clickWaitIcon = std::make_unique<CDib>();
    g_clickWaitIcon->LoadFile(
        hwnd, (scenario_surfaces::Folder(kDataSystem) + "click_wait00.bmp").c_str());
}

void CScenario::DrawClickWaitIcon(int x, int y) {
    if (subState != 3 || autoMode) return;
    CDib* back = g_backBuffer.get();
    if (!back) return;
    const std::uint32_t now = platform::TimeGetTime();
    if (messageStyle == 1) {
        if (windowHidden) return;
        if (now - waitStartTime > 80) {
            waitIconFrame = (waitIconFrame + 18) % 180;
            waitStartTime = now;
        }
        const int s = static_cast<int>(std::trunc(layer_math::SinDegrees(waitIconFrame) * 29));
        if (g_clickWaitIcon)
            BltStretchAlphaBlend(back, x + (s >> 1), y, 30 - s, 14, g_clickWaitIcon.get(), 0, 0, 30,
                                 14, 254);
        return;
    }
    if (messageStyle != 0) return;
    const CDib* icon = g_waitIcon.get();
    if (waitIconFading) {
        const std::uint32_t p = (now * 255u - waitStartTime * 255u) / 1000u;
        if (p < 255) {
            for (int c = 0; c < 8; ++c)
                if (icon)
                    BltAlphaBlend(back, x, y, icon, 70 * c, 0, 70, 73, static_cast<int>(255 - p));
        } else {
            waitIconFading = 0;
            waitIconFrame = 0;
            waitCellOpacity.fill(0);
            waitStartTime = now;
        }
        return;
    }
    if (now - waitStartTime > 80) {
        waitIconFrame = std::min<std::uint32_t>(waitIconFrame + 1, 8);
        waitStartTime = now;
    }
    if (waitIconFrame != 0) {
        // The full page's coin counts the frame in degrees, and a load of
        // the bottom window takes its click wait up with that count.
        const std::uint32_t cells =
            std::min(waitIconFrame, static_cast<std::uint32_t>(waitCellOpacity.size()));
        for (std::uint32_t c = 0; c < cells; ++c) {
            std::uint16_t& o = waitCellOpacity[c];
            if (icon) {
                if (o < 128)
                    BltAlphaBlend(back, x - 1, y - 1, icon, 70 * static_cast<int>(c), 0, 70, 72, o);
                else
                    BltAlphaBlend(back, x, y, icon, 70 * static_cast<int>(c), 0, 70, 73, o);
            }
            o = static_cast<std::uint16_t>(std::min(o + 128, 254));
        }
    }
    if (waitCellOpacity[7] >= 254) {
        waitIconFading = 1;
        waitStartTime = now;
    }
}

void CScenario::ReloadScrCharSet(CDib* target, CDib* alsoOnto) {
    if (!g_gameApp) return;
    const std::string folder = scenario_surfaces::Folder(kDataChara);
    std::vector<std::string> told;
    for (int n = 0; n < kCharSlots; ++n) {
        const auto& stored = g_gameApp->charNames[static_cast<std::size_t>(n)];
        const std::string name(stored.data(), strnlen(stored.data(), stored.size()));
        if (name.empty()) continue;
        const std::string file = PathFileName(name);
        auto picture = std::make_unique<CDib>();
        const bool loaded = picture->LoadFile(hwnd, (folder + file).c_str());
        g_charFrames[static_cast<std::size_t>(n)] = std::move(picture);
        if (!loaded) {
            if (std::find(told.begin(), told.end(), file) == told.end()) {
                told.push_back(file);
                platform::Tell("Not Frame", "Error:SetScrCharSet", platform::BoxIcon::None);
            }
            continue;
        }
        const CDib* frame = g_charFrames[static_cast<std::size_t>(n)].get();
        if (!g_gameApp->charShown[static_cast<std::size_t>(n)]) continue;
        const int x = g_gameApp->charCentreX[static_cast<std::size_t>(n)] - frame->GetWidth() / 2;
        for (CDib* onto : {target, alsoOnto})
            if (onto) BltAlpha(onto, x, 0, frame, 0, 0, frame->GetWidth(), frame->GetHeight());
    }
}
