#include "frontend/ResetStory.h"

#include "app/Config.h"
#include "app/GameApp.h"
#include "gfx/Dib.h"
#include "gfx/GlyphFont.h"
#include "scenario/Scenario.h"
#include "screenkit/ScreenKit.h"

#include <algorithm>

namespace {

constexpr std::size_t kChoicePoints = 100;
constexpr std::size_t kChoiceBytes = kChoicePoints * 3;

// A message-window picture that exists is made again from its file.
void ReloadIfPresent(std::unique_ptr<CDib>& picture, const char* name) {
    if (!picture) return;
    picture = std::make_unique<CDib>();
    screenkit::LoadPicture(picture.get(), name);
}

} // namespace

void ResetStory(platform::WindowHandle) {
    for (int slot = 0; slot <= 3; ++slot)
        screenkit::FreeSeSlot(slot);
    if (g_gameApp) g_gameApp->seName.fill(0);
    SaveConfig();

    // The taken choices are kept in the settings block; the saved file keeps
    // them until the block is next written.
    std::fill_n(g_config.begin() + config::kChoiceFlags, kChoiceBytes, 0);
    if (g_gameApp) {
        for (auto& row : g_gameApp->logText)
            row.fill(0);
        for (auto& row : g_gameApp->logNames)
            row.fill(0);
        for (auto& row : g_gameApp->logVoices)
            row.fill(0);
        g_gameApp->logCount = 0;
    }
    if (g_scenario) {
        CScenario& s = *g_scenario;
        s.vars.fill(0);
        s.saveGroup = 0;
        s.playContext = 0;
        s.bgmPlaying = 1;
    }
    ResetPresentation();
}

void ResetPresentation() {
    if (g_scenario) {
        CScenario& s = *g_scenario;
        screenkit::ClearStoryState();
        s.prevHoverButton = 0;
        s.dayNumber = 0;
        s.speakerName.reset();
        s.messageStyle = 0;
        s.bandKind = 0;
        s.subState = 0;
    }
    ReloadIfPresent(g_msgWindowBase, "system\\window.bmp");
    ReloadIfPresent(g_msgWindowButtons, "system\\window_p.bmp");
    if (g_glyphFont) g_glyphFont->SetFont(26, 0);
}
