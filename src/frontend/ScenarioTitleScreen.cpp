#include "frontend/ScenarioTitleScreen.h"

#include "app/GameApp.h"
#include "frontend/ResetStory.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "scenario/Scenario.h"
#include "screenkit/ScreenKit.h"

using namespace screenkit;

const std::array<const char*, 11> g_scenarioVoices{
    "voice\\vel0275.ogg", "voice\\dor0466.ogg", "voice\\fen0250.ogg", "voice\\pom0470.ogg",
    "voice\\lis0292.ogg", "voice\\bex0883.ogg", "voice\\hol0467.ogg", "voice\\mur0429.ogg",
    "voice\\kel0248.ogg", "voice\\sef0469.ogg", "voice\\gor0150.ogg",
};

namespace {

constexpr std::uint32_t kFadeMs = 1000;
constexpr char kCancelSound[] = "se\\Pop_D002.ogg";
constexpr int kCancelSlot = 2;
constexpr std::uint8_t kLoadMode = 11;
constexpr std::uint8_t kStoryChooserMode = 56;

constexpr StateTable<CScenarioTitleScreen, 6> kStates{
    &CScenarioTitleScreen::Open,    &CScenarioTitleScreen::FadeIn,
    &CScenarioTitleScreen::Input,   nullptr,
    &CScenarioTitleScreen::FadeOut, &CScenarioTitleScreen::Exit,
};

} // namespace

CScenarioTitleScreen::CScenarioTitleScreen(const ScenarioTitleLayout& layout)
    : ItemRects(layout.itemRects), layout_(layout) {
    if (g_gameApp) g_gameApp->screenRect = platform::Rect{0, 0, kScreenWidth, kScreenHeight};
}

void CScenarioTitleScreen::Run(platform::WindowHandle window) {
    RunState(*this, State, kStates, window);
}

void CScenarioTitleScreen::Open(platform::WindowHandle window) {
    ResetStory(window);
    const std::array<Picture, 2> pictures{{{1, layout_.background}, {2, layout_.highlightStrip}}};
    LoadPictures(pictures);
    CopyOfBackBuffer(0);
    CopyOfSurface(10, Slot(1));
    if (layout_.voiceLine) {
        const std::uint32_t index =
            RandomByMinute(static_cast<std::uint32_t>(g_scenarioVoices.size()));
        PlayVoice(0, g_scenarioVoices[index]);
    }
    if (g_scenario) g_scenario->saveGroup = layout_.saveGroup;
    StartMusic(layout_.music);
    Clock().Restart();
    Level = 0;
    State = 1;
}

void CScenarioTitleScreen::FadeIn(platform::WindowHandle) {
    if (Fading(Clock(), Slot(1), Slot(0), kFadeMs, Hurry::BySkipOrClick)) return;
    ClearClickAndSkip();
    State = 2;
}

void CScenarioTitleScreen::StartFadeOut() {
    BlankSurface(0, kBlack);
    Clock().Restart();
    State = 4;
}

void CScenarioTitleScreen::Input(platform::WindowHandle) {
    const int x = layout_.x, y0 = layout_.y0, w = layout_.w, h = layout_.h;
    if (TrackHover(HoverItem, PrevHoverItem, ItemRects)) {
        if (HoverItem)
            BltAlpha(g_backBuffer.get(), x, y0 + h * HoverItem, Slot(2), 0, h * (HoverItem - 1), w,
                     h);
        if (PrevHoverItem >= 1 && PrevHoverItem <= kItems)
            RestoreArea(Slot(1), x, y0 + h * PrevHoverItem, w, h);
    }
    if (HoverItem != 0 && TakeClick()) {
        if (HoverItem <= 4) {
            PlayClickSound();
            StartFadeOut();
        } else if (ConfirmQuit()) {
            StartFadeOut();
        }
    } else if (TakeCancel()) {
        // A right click anywhere goes back to the story chooser.
        PlaySe(kCancelSlot, kCancelSound);
        StartFadeOut();
        HoverItem = kBack;
        ClearClick();
    }
}

void CScenarioTitleScreen::FadeOut(platform::WindowHandle) {
    if (!FadingOut(Clock(), kFadeMs)) State = 5;
}

void CScenarioTitleScreen::Exit(platform::WindowHandle window) {
    // The voice line is cut off when the title is left.
    if (layout_.voiceLine) FreeVoiceSlot(0);
    FreeSurfaces(1, 4);
    FreeSurface(10);
    const std::uint8_t m = layout_.ownMode;
    switch (HoverItem) {
    case 1:
        State = 0;
        LeaveForStory(layout_.firstScript, 0);
        break;
    case 2:
        State = 0;
        ClearParticles();
        LeaveAndComeBack(kLoadMode, m);
        break;
    case 3:
        OpenSettings(State, m);
        break;
    case 4:
        StopScreenSounds();
        OpenExtras(State, kGalleryMode, m);
        break;
    case 5:
        Quit(window);
        break;
    case kBack:
        StopScreenSounds();
        State = 0;
        SetPlayContext(0);
        SetMenuReturn(0);
        LeaveTo(kStoryChooserMode);
        break;
    default:
        break;
    }
}
