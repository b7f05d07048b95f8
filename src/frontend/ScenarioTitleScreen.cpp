#include "frontend/ScenarioTitleScreen.h"

#include "app/GameApp.h"
#include "app/Input.h"
#include "app/Shell.h"
#include "frontend/ResetStory.h"
#include "frontend/ScreenKit.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "scenario/Scenario.h"

using namespace frontend;

const std::array<const char*, 11> g_scenarioVoices{
    "voice\\vel0275.ogg", "voice\\dor0466.ogg", "voice\\fen0250.ogg", "voice\\pom0470.ogg",
    "voice\\lis0292.ogg", "voice\\bex0883.ogg", "voice\\hol0467.ogg", "voice\\mur0429.ogg",
    "voice\\kel0248.ogg", "voice\\sef0469.ogg", "voice\\gor0150.ogg",
};

namespace {

constexpr std::uint32_t kFadeMs = 1000;
constexpr char kCancelSound[] = "se\\Pop_D002.ogg";

} // namespace

CScenarioTitleScreen::CScenarioTitleScreen(const ScenarioTitleLayout& layout)
    : ItemRects(layout.itemRects), layout_(layout) {
    if (g_gameApp) g_gameApp->screenRect = platform::Rect{0, 0, kScreenWidth, kScreenHeight};
}

void CScenarioTitleScreen::Run(platform::WindowHandle window) {
    switch (State) {
    case 0:
        Open(window);
        break;
    case 1:
        FadeIn(window);
        break;
    case 2:
        Input(window);
        break;
    case 4:
        FadeOut(window);
        break;
    case 5:
        Exit(window);
        break;
    default:
        break;
    }
}

void CScenarioTitleScreen::Open(platform::WindowHandle window) {
    ResetStory(window);
    LoadSurface(1, layout_.background);
    LoadSurface(2, layout_.highlightStrip);
    CopyOfBackBuffer(0);
    CopyOfSurface(10, Slot(1));
    if (layout_.voiceLine) {
        const std::uint32_t index =
            RandomByMinute(static_cast<std::uint32_t>(g_scenarioVoices.size()));
        PlayVoice(0, g_scenarioVoices[index]);
    }
    if (g_scenario) g_scenario->saveGroup = layout_.saveGroup;
    StartMusic(layout_.music);
    StartTime = platform::TimeGetTime();
    Level = 0;
    State = 1;
}

void CScenarioTitleScreen::FadeIn(platform::WindowHandle) {
    Elapsed = platform::TimeGetTime() - StartTime;
    const std::uint32_t level = FadeLevel(Elapsed, kFadeMs);
    if (level < kFull && !SkipOrClick()) {
        DrawFade(Slot(1), Slot(0), level);
        return;
    }
    ShowWhole(Slot(1));
    g_mouse->skip = 0;
    g_mouse->click = 0;
    Level = 0;
    State = 2;
    StartTime = platform::TimeGetTime();
}

void CScenarioTitleScreen::Input(platform::WindowHandle) {
    const int x = layout_.x, y0 = layout_.y0, w = layout_.w, h = layout_.h;
    PrevHoverItem = HoverItem;
    HoverItem = 0;
    for (int k = 0; k < kItems; ++k) {
        if (MouseIn(ItemRects[k])) {
            HoverItem = static_cast<std::uint8_t>(k + 1);
            break;
        }
    }
    if (HoverItem != PrevHoverItem) {
        if (HoverItem)
            BltAlpha(g_backBuffer.get(), x, y0 + h * HoverItem, Slot(2), 0, h * (HoverItem - 1), w,
                     h);
        if (PrevHoverItem >= 1 && PrevHoverItem <= kItems)
            BltCopy(g_backBuffer.get(), x, y0 + h * PrevHoverItem, Slot(1), x,
                    y0 + h * PrevHoverItem, w, h);
    }
    if (HoverItem != 0 && g_mouse->click) {
        if (HoverItem <= 4) {
            PlayClickSound();
            BlankSurface(0, kBlack);
            StartTime = platform::TimeGetTime();
            State = 4;
        } else if (AskQuit()) {
            BlankSurface(0, kBlack);
            StartTime = platform::TimeGetTime();
            State = 4;
        }
        g_mouse->click = 0;
    } else if (g_mouse->cancel) {
        // A right click anywhere goes back to the story chooser.
        PlaySe(2, kCancelSound);
        BlankSurface(0, kBlack);
        StartTime = platform::TimeGetTime();
        State = 4;
        HoverItem = kBack;
        g_mouse->cancel = 0;
        g_mouse->click = 0;
    }
}

void CScenarioTitleScreen::FadeOut(platform::WindowHandle) {
    Elapsed = platform::TimeGetTime() - StartTime;
    const std::uint32_t level = FadeLevel(Elapsed, kFadeMs);
    if (level < kFull && !SkipOrClick()) {
        DrawFade(Slot(0), Slot(1), level);
        return;
    }
    ShowWhole(Slot(0));
    g_mouse->click = 0;
    State = 5;
}

void CScenarioTitleScreen::StopStorySounds() {
    FreeSeSlot(0);
    StopMusic();
    FreeMusicName();
}

void CScenarioTitleScreen::Exit(platform::WindowHandle window) {
    // The voice line is cut off when the title is left.
    if (layout_.voiceLine) FreeVoiceSlot(0);
    for (int slot = 1; slot <= 4; ++slot)
        FreeSurface(slot);
    FreeSurface(10);
    const std::uint8_t m = layout_.ownMode;
    switch (HoverItem) {
    case 1:
        StopStorySounds();
        State = 0;
        if (g_scenario) {
            g_scenario->playContext = 0;
            g_scenario->menuReturn = 0;
            g_scenario->LoadScript(layout_.firstScript);
            g_scenario->particlesOn = 0;
        }
        g_mouse->click = 0;
        g_gameApp->mode = 2;
        break;
    case 2:
        State = 0;
        if (g_scenario) {
            g_scenario->particlesOn = 0;
            g_scenario->menuReturn = 0;
        }
        g_gameApp->returnMode = m;
        g_gameApp->mode = 11;
        break;
    case 3:
        State = 0;
        if (g_scenario) g_scenario->menuReturn = 0;
        g_gameApp->returnMode = m;
        g_gameApp->mode = 9;
        break;
    case 4:
        StopStorySounds();
        State = 0;
        if (g_scenario) {
            g_scenario->playContext = 1;
            g_scenario->menuReturn = 0;
        }
        g_gameApp->returnMode = m;
        g_gameApp->mode = 15;
        break;
    case 5:
        StopMusic();
        DestroyWindow(window);
        break;
    case kBack:
        StopStorySounds();
        State = 0;
        if (g_scenario) {
            g_scenario->playContext = 0;
            g_scenario->menuReturn = 0;
        }
        g_gameApp->mode = 56;
        break;
    default:
        break;
    }
}
