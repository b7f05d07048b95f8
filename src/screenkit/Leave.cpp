#include "screenkit/Leave.h"

#include "app/GameApp.h"
#include "app/Shell.h"
#include "scenario/Scenario.h"
#include "screenkit/Buttons.h"
#include "screenkit/Slots.h"

namespace screenkit {

namespace {

constexpr std::uint8_t kInterpreterMode = 2;

} // namespace

void LeaveTo(std::uint8_t mode) {
    if (g_gameApp) g_gameApp->mode = mode;
}

void LeaveAndComeBack(std::uint8_t mode, std::uint8_t returnMode) {
    SetMenuReturn(0);
    if (g_gameApp) g_gameApp->returnMode = returnMode;
    LeaveTo(mode);
}

void LeaveForStory(const char* script, std::uint8_t playContext) {
    StopScreenSounds();
    SetPlayContext(playContext);
    SetMenuReturn(0);
    if (g_scenario) g_scenario->LoadScript(script);
    ClearParticles();
    ClearClick();
    LeaveTo(kInterpreterMode);
}

void Quit(platform::WindowHandle window) {
    StopMusic();
    DestroyWindow(window);
}

void OpenSettings(std::uint8_t& state, std::uint8_t returnMode) {
    state = 0;
    LeaveAndComeBack(kSettingsMode, returnMode);
}

void OpenExtras(std::uint8_t& state, std::uint8_t room, std::uint8_t returnMode) {
    state = 0;
    SetPlayContext(1);
    LeaveAndComeBack(room, returnMode);
}

void SetPlayContext(std::uint8_t context) {
    if (g_scenario) g_scenario->playContext = context;
}

void SetMenuReturn(std::uint8_t menuReturn) {
    if (g_scenario) g_scenario->menuReturn = menuReturn;
}

void ClearParticles() {
    if (g_scenario) g_scenario->particlesOn = 0;
}

void ClearStoryState() {
    if (!g_scenario) return;
    CScenario& s = *g_scenario;
    s.skipMode = 0;
    s.autoMode = 0;
    s.hoverButton = 0;
    s.buttonLatched = 0;
    s.pendingButton = 0;
    s.windowHidden = 0;
}

} // namespace screenkit
