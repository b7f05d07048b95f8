#include "app/GameApp.h"

#include "app/Input.h"
#include "app/ModeTable.h"
#include "app/Shell.h"
#include "scenario/Scenario.h"

std::unique_ptr<CGameApp> g_gameApp;

CGameApp::CGameApp(platform::WindowHandle window, platform::WindowHandle inst)
    : mainWindow(window), instance(inst) {}

CGameApp::~CGameApp() {
    g_scenario.reset();
    FreeAllModeObjects();
}

void CGameApp::CreateModeObject() {
    for (const ModeEntry& e : ActiveModeTable().screens) {
        if (e.mode == mode) {
            if (!e.exists()) e.create(mainWindow, instance);
            return;
        }
    }
}

void CGameApp::FreeInactiveModeObjects() {
    for (const ModeEntry& e : ActiveModeTable().screens)
        if (e.mode != mode && e.exists()) e.free();
}

void FreeAllModeObjects() {
    for (const ModeEntry& e : ActiveModeTable().screens)
        if (e.exists()) e.free();
}

namespace {

// Long enough that a still picture costs next to nothing, short enough that
// input is taken as quickly as before.
constexpr std::uint32_t kStillWaitMs = 3;

// The modes that run without pausing and whose every step is read off the
// clock: mask transitions, timed waits, scrolls, layer animations and
// cross-fades.
bool AdvancesByClock(std::uint8_t mode) {
    switch (mode) {
    case 4:
    case 18:
    case 25:
    case 38:
    case 39:
        return true;
    default:
        return false;
    }
}

} // namespace

void CGameApp::RunFrame() {
    CreateModeObject();
    if (mode < kModeCount) {
        const ModeTable& table = ActiveModeTable();
        bool isScreen = false;
        for (const ModeEntry& e : table.screens) {
            if (e.mode == mode) {
                isScreen = true;
                if (e.exists()) e.run(mainWindow);
                break;
            }
        }
        if (!isScreen) table.runOther(mode, mainWindow);
    }
    // A screen that asked to close the window leaves the tear-down to the
    // loop, after this frame: nothing more of the frame runs.
    if (QuitRequested()) return;
    FreeInactiveModeObjects();
    if (QuitRequested()) return;
    Pace();
}

void CGameApp::Pace() {
    // Without the script object (its allocation failed) the frame ends here:
    // no story work, no sleep and no repaint.
    if (!g_scenario) return;
    // The window buttons take their clicks in every mode that shows the window.
    switch (mode) {
    case 2:
    case 3:
    case 4:
    case 18:
    case 25:
    case 38:
    case 39:
    case 40:
    case 55:
        g_scenario->PressWindowButton(g_scenario->hoverButton);
        break;
    default:
        break;
    }
    switch (mode) {
    case 3:
    case 18:
    case 38:
    case 55:
        g_scenario->ComposeScene();
        break;
    default:
        break;
    }
    switch (mode) {
    case 4:
    case 18:
    case 25:
    case 39:
    case 40:
        g_scenario->UpdateParticles(0);
        break;
    default:
        break;
    }
    if (mode == 3 || mode == 55) g_scenario->DrawMessageOverlay();
    std::uint32_t sleep = 8;
    switch (mode) {
    case 2:
    case 4:
    case 18:
    case 25:
    case 36:
    case 38:
    case 39:
    case 40:
        sleep = 0;
        break;
    case 3:
    case 55:
        // Held Ctrl, or skip mode over text already read, runs without
        // pausing between frames.
        if ((g_mouse && g_mouse->skip) || (g_scenario->skipMode && g_scenario->TextBlockRead()))
            sleep = 0;
        break;
    case 24:
    case 50:
        sleep = 1;
        break;
    default:
        break;
    }
    if (sleep) {
        platform::Sleep(sleep);
    } else if (PictureStill() && AdvancesByClock(mode)) {
        // These modes run without pausing, yet move only as the clock moves:
        // while their picture stands still the loop waits for input a
        // moment instead of spinning. The interpreter, skipping and the
        // modes that step per frame keep running flat out.
        platform::WaitForInput(kStillWaitMs);
    }
    InvalidateRect(mainWindow, screenRect);
}
