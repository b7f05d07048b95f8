#include "system/LoadScreen.h"

#include "app/Config.h"
#include "app/GameApp.h"
#include "app/Shell.h"
#include "gfx/Dib.h"
#include "scenario/Scenario.h"
#include "screenkit/ScreenKit.h"

using namespace screenkit;

std::unique_ptr<slots::PageCache> g_loadPageCache;
std::unique_ptr<CLoadScreen> g_loadScreen;

namespace {

constexpr int kBoxThumbSlot = 50;
constexpr std::uint32_t kStoryFadeMs = 800;
constexpr std::uint8_t kInterpreterMode = 2;
constexpr char kDamaged[] =
    "\xd5\xe2\xb8\xf6\xb4\xe6\xb5\xb5\xd2\xd1\xcb\xf0\xbb\xb5\xa3\xac"
    "\xce\xde\xb7\xa8\xb6\xc1\xc8\xa1\xa1\xa3"; // 这个存档已损坏，无法读取。

constexpr StateTable<CLoadScreen, 15> kStates{
    &CLoadScreen::Open,        &CLoadScreen::FadeIn,     nullptr,
    &CLoadScreen::PageInput,   &CLoadScreen::FadeOut,    &CLoadScreen::Leave,
    &CLoadScreen::DimPage,     &CLoadScreen::BoxSlideIn, &CLoadScreen::BoxInput,
    &CLoadScreen::BackToPage,  &CLoadScreen::BoxClose,   &CLoadScreen::PageChange,
    &CLoadScreen::FadeToStory, &CLoadScreen::Resume,     &CLoadScreen::GlideToYes,
};

void TellDamaged() {
    platform::Tell(kDamaged, g_windowTitle, platform::BoxIcon::Error);
    ClearClick();
}

} // namespace

CLoadScreen::CLoadScreen() : CSlotScreen(Kind::Load, g_loadPageCache, config::kLoadPage) {}

void CLoadScreen::Run(platform::WindowHandle window) {
    RunState(*this, state, kStates, window);
}

bool CLoadScreen::SlotChosen(int i) {
    const save::SlotReadResult read = ReadSlotFile(i);
    if (read.status == save::SlotRead::Missing) return false;
    if (!read.ok()) {
        TellDamaged();
        return false;
    }
    BuildThumbnail(kBoxThumbSlot, Cache()[static_cast<std::size_t>(i)]);
    return true;
}

std::string_view CLoadScreen::BoxComment() {
    return save::GetComment(Cache()[chosen]);
}

save::SaveDate CLoadScreen::BoxDate() {
    return save::GetSaveDate(Cache()[chosen]);
}

std::uint8_t CLoadScreen::Closed(platform::WindowHandle window, bool yes) {
    if (!yes || !g_scenario || !g_gameApp) return 9;
    // The file is read and checked again: it may have changed since it was
    // shown. Until it has passed, nothing of the running game changes.
    if (!save::ReadSlot(SlotName(chosen), *scratch_).ok()) {
        TellDamaged();
        return 9;
    }
    g_scenario->speakerName.reset();
    FreeSeSlot(2);
    g_gameApp->seName.fill('\0');
    SaveImage() = *scratch_;
    // Saves are made only in the story itself, so a load resumes the story
    // even when the title opened this screen after the extras.
    SetPlayContext(0);
    g_scenario->RestoreSaveImage(window);
    return 12;
}

void CLoadScreen::FadeToStory(platform::WindowHandle) {
    if (Slot(1) && Fading(Clock(), Slot(1), Slot(29), kStoryFadeMs, Hurry::BySkip)) return;
    FreeSurfaces(26, 63);
    Next(13);
}

void CLoadScreen::Resume(platform::WindowHandle) {
    const std::uint8_t saved = save::GetU8(SaveImage(), save::kReturnMode);
    state = 0;
    LeaveTo(saved == kMessageMode ? kMessageMode : kInterpreterMode);
}
