#include "app/Shell.h"

#include "app/Config.h"
#include "app/Display.h"
#include "app/GameApp.h"
#include "app/Input.h"
#include "app/ModeTable.h"
#include "app/Present.h"
#include "app/ShownPicture.h"
#include "data/Log.h"
#include "data/PathTable.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "gfx/GlyphFont.h"
#include "scenario/Scenario.h"
#include "sound/SoundChannel.h"
#include "sound/SoundDevice.h"

#include <algorithm>
#include <utility>
#include <vector>

using platform::Event;
using platform::EventKind;
using platform::Key;
using platform::WindowHandle;

const char g_windowClassName[3] = {'\x83', '\xC3', '\0'};
const char g_windowTitle[] = "Norvane";

namespace {

bool g_quitRequested = false;
bool g_paintPending = false;
bool g_windowAlive = false;
std::unique_ptr<platform::InstanceLock> g_instanceLock;
// What the window shows, so that paints present only what changed.
CShownPicture g_shownPicture;
bool g_lastPaintComposed = false;
bool g_pictureStill = false;
bool g_checkDrawnRegions = false;
int g_undrawnChanges = 0;

constexpr char kCloseQuestion[] =
    "\xD2\xAA\xCD\xCB\xB3\xF6\xD3\xCE\xCF\xB7\xC2\xF0\xA3\xBF"; // 要退出游戏吗？

std::string LockNameFor(const char* className) {
    static const char* hex = "0123456789abcdef";
    std::string name = "norvane-";
    for (const char* p = className; *p; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        name += hex[c >> 4];
        name += hex[c & 15];
    }
    return name + ".lock";
}

void OnWheel(int delta) {
    if (!g_gameApp) return;
    const bool up = delta >= 0;
    switch (g_gameApp->mode) {
    case 6:
        BacklogWheel(up);
        break;
    case 3:
        if (!g_scenario || g_scenario->subState < 2) break;
        if (up) {
            // The backlog opens over a snapshot of the screen.
            if (g_scenario->playContext != 1 && g_scenario->windowHidden == 0 &&
                g_gameApp->logCount >= 2) {
                g_menuSnapshot = std::make_unique<CDib>();
                g_menuSnapshot->Create(WindowHandle::Main, 800, 600, 24);
                BltCopy(g_menuSnapshot.get(), 0, 0, g_backBuffer.get(), 0, 0, 800, 600);
                g_gameApp->returnMode = g_gameApp->mode;
                g_gameApp->mode = 6;
            }
        } else if (g_scenario->hoverButton == 0 && g_mouse) {
            g_mouse->click = 1;
        }
        break;
    case 55:
        if (!up && g_mouse) g_mouse->click = 1;
        break;
    default:
        break;
    }
}

void OnClose() {
    if (platform::AskOkCancel(kCloseQuestion, g_windowTitle, platform::BoxIcon::Question) ==
        platform::BoxAnswer::Ok) {
        DestroyWindow(WindowHandle::Main);
    }
}

void OnFocusLost() {
    // A button or Ctrl released while another window had the focus never
    // reaches us: drop them all so that nothing, skip above all, sticks.
    if (g_mouse) g_mouse->ReleaseAll();
    if (g_keyboard) g_keyboard->ReleaseAll();
}

} // namespace

bool EnsureSingleInstance(const std::string& lockName) {
    g_instanceLock = std::make_unique<platform::InstanceLock>(lockName);
    if (g_instanceLock->Acquire()) return true;
    g_instanceLock->SignalHolder();
    g_instanceLock.reset();
    return false;
}

int CreateFolderTree(const std::string& path) {
    if (path.empty()) return 1;
    if (path.size() > 259) return 0;
    std::string prefix;
    auto test = [](const std::string& p) {
        switch (platform::GetPathKind(p)) {
        case platform::PathKind::Directory:
            return true;
        case platform::PathKind::File:
            return false;
        case platform::PathKind::Missing:
            return platform::MakeDirectory(p);
        }
        return false;
    };
    for (size_t i = 0; i < path.size(); ++i) {
        if (path[i] == '\\' && (i == 0 || path[i - 1] != ':')) {
            if (!test(prefix)) return 0;
        }
        prefix += path[i];
    }
    return test(prefix) ? 1 : 0;
}

void CheckDrawnRegions(bool on) {
    g_checkDrawnRegions = on;
    g_undrawnChanges = 0;
}
int UndrawnChanges() {
    return g_undrawnChanges;
}
bool PictureStill() {
    return g_pictureStill;
}

void OnCreate(WindowHandle window) {
    g_windowAlive = true;
    g_shownPicture.Forget();
    g_lastPaintComposed = false;
    g_pictureStill = false;
    g_quitRequested = false;
    g_display = std::make_unique<CDisplay>();
    for (auto& d : cdib)
        d.reset();
    g_backBuffer = std::make_unique<CDib>();
    g_backBuffer->SetFlags(0x80000000u);
    g_backBuffer->Create(window, 800, 600, 24);
    g_backBuffer->FillRect(0, 0, 800, 600, 0);
    cdib[0] = std::make_unique<CDib>();
    cdib[0]->Create(window, 800, 600, 24);
    cdib[0]->FillRect(0, 0, 800, 600, 0);
    g_pathTable = std::make_unique<CPathTable>();
    g_pathTable->InitPaths();
    g_mouse = std::make_unique<CMouse>();
    g_keyboard = std::make_unique<CKeyboard>();
    g_glyphFont = std::make_unique<CGlyphFont>(platform::CreateGlyphSource());
    g_glyphFont->SetFont(26, 0);
    // Without sound output the player is told once and the game runs silent.
    InitDirectSound(window);
    for (auto& c : g_seChannels)
        c.reset();
    for (auto& c : g_voiceChannels)
        c.reset();
    g_gameApp = std::make_unique<CGameApp>(window, WindowHandle::Main);
    g_scenario = std::make_unique<CScenario>(window);
    g_gameApp->mode = 0;
    LoadConfig();
    if (g_config[config::kFullScreen] != 0) g_display->ToggleFullScreen(window);
}

void OnDestroy() {
    if (!g_windowAlive) return;
    g_windowAlive = false;
    // The desktop is restored from what the display really is, so a settings
    // byte out of step with it cannot leave the player in full screen.
    if (g_display && g_display->IsFullScreen()) platform::SetFullScreen(false);
    SaveConfig();
    g_gameApp.reset();
    // Fades are stopped before their channels go, and each channel's worker
    // ends with it.
    if (g_bgmChannel) g_bgmChannel->StopFade();
    g_bgmChannel.reset();
    for (auto& c : g_voiceChannels) {
        if (c) c->Stop();
        c.reset();
    }
    for (auto& c : g_seChannels) {
        if (c) c->StopFade();
        c.reset();
    }
    g_soundDevice.Close();
    g_glyphFont.reset();
    g_mouse.reset();
    g_keyboard.reset();
    g_pathTable.reset();
    g_display.reset();
    g_backBuffer.reset();
    for (auto& d : cdib)
        d.reset();
    g_menuSnapshot.reset();
    g_instanceLock.reset();
    platform::DestroyMainWindow();
}

void OnPaint() {
    if (!g_backBuffer) return;
    static std::vector<std::uint32_t> window(static_cast<size_t>(platform::kClientWidth) *
                                             platform::kClientHeight);
    QuakeView quake;
    const bool quaking = g_quakeSource && g_quakeSource(quake);
    const bool fullSize = g_backBuffer->GetWidth() == platform::kClientWidth &&
                          g_backBuffer->GetHeight() == platform::kClientHeight;
    // The quake is asked every paint, as it steps once per frame.
    const bool composed = quaking || !fullSize;
    if (composed) {
        // The window has no background: what a shifted copy leaves uncovered
        // goes on showing what the window showed last.
        const auto shown = g_shownPicture.Pixels();
        std::copy(shown.begin(), shown.end(), window.begin());
        ComposeWindowPicture(*g_backBuffer, quaking ? &quake : nullptr, window);
    }
    // Frames faster than the display refreshes are not compared at all: the
    // next paint that can reach the display takes the newest picture.
    if (!platform::PresentDue()) return;
    // What was drawn since the last compare; it gathers over the frames the
    // display could not take.
    const DibRect drawn = g_backBuffer->Renderer().TakeDrawn();
    platform::Rect changed;
    if (composed) {
        changed = g_shownPicture.Update(window.data(), platform::kClientWidth);
    } else {
        // Unshaken, the window shows the back buffer as it is: compared in
        // place, without composing a copy first, and only where something was
        // drawn. After a shaken picture the whole of it may differ.
        const std::uint32_t* rows = std::as_const(*g_backBuffer).GetPixelPtr(0, 0);
        const int pitch = g_backBuffer->GetPitch() / 4;
        const platform::Rect region =
            g_lastPaintComposed
                ? platform::Rect{0, 0, platform::kClientWidth, platform::kClientHeight}
                : platform::Rect{drawn.left, drawn.top, drawn.right, drawn.bottom};
        changed = g_shownPicture.Update(rows, pitch, region);
        if (g_checkDrawnRegions && !g_shownPicture.Shows(rows, pitch)) {
            ++g_undrawnChanges;
            g_shownPicture.Update(rows, pitch);
            changed = {0, 0, platform::kClientWidth, platform::kClientHeight};
        }
    }
    g_lastPaintComposed = composed;
    // A shaking picture steps with every frame: never taken as still.
    g_pictureStill = !composed && changed.right <= changed.left;
    // Handed over also when nothing changed: the window may need repainting.
    platform::Present(g_shownPicture.Pixels(), changed);
}

void WndProc(const Event& e) {
    switch (e.kind) {
    case EventKind::Wheel:
        OnWheel(e.wheelDelta);
        break;
    case EventKind::Close:
        OnClose();
        break;
    case EventKind::MouseMove:
        if (g_mouse) g_mouse->SetPos(e.x, e.y);
        break;
    case EventKind::ButtonDown:
    case EventKind::ButtonUp:
        if (g_mouse) g_mouse->Poll();
        break;
    case EventKind::KeyDown:
    case EventKind::KeyUp:
        switch (e.key) {
        case Key::Return:
        case Key::Escape:
        case Key::Space:
        case Key::PageUp:
        case Key::PageDown:
        case Key::Left:
        case Key::Up:
        case Key::Right:
        case Key::Down:
        case Key::Numpad0:
            if (g_keyboard) g_keyboard->Poll();
            break;
        case Key::Control:
            if (g_mouse) g_mouse->Poll();
            break;
        default:
            break;
        }
        break;
    case EventKind::SysKeyDown:
        if (e.key == Key::Return) {
            if (g_gameApp && g_gameApp->mode != 24 && g_display) {
                g_display->ToggleFullScreen(WindowHandle::Main);
                g_config[config::kFullScreen] = g_config[config::kFullScreen] ? 0 : 1;
            }
        } else if (e.key == Key::F4) {
            OnClose();
        }
        break;
    case EventKind::FocusLost:
        OnFocusLost();
        break;
    case EventKind::SysKeyUp:
    case EventKind::FocusGained:
    case EventKind::TextInput:
    case EventKind::TextEditing:
        break;
    }
}

void DestroyWindow(WindowHandle) {
    g_quitRequested = true;
}
bool QuitRequested() {
    return g_quitRequested;
}

void InvalidateRect(WindowHandle, const platform::Rect& rect) {
    // An empty rectangle repaints nothing (a movie covers the window).
    if (rect.right <= rect.left || rect.bottom <= rect.top) return;
    g_paintPending = true;
}
bool PaintPending() {
    return g_paintPending;
}

LoopStep PumpOnce() {
    if (platform::InstanceLock::TakeRaiseRequest()) platform::RaiseWindow();
    Event e;
    if (platform::PeekEvent(e)) {
        WndProc(e);
    } else if (g_paintPending) {
        g_paintPending = false;
        OnPaint();
    } else if (g_gameApp) {
        g_gameApp->RunFrame();
    } else {
        DestroyWindow(WindowHandle::Main);
    }
    // A quit signal ends the game as the close question answered OK does.
    if (platform::QuitSignalled()) DestroyWindow(WindowHandle::Main);
    if (g_quitRequested) {
        OnDestroy();
        return LoopStep::Quit;
    }
    return LoopStep::Continue;
}

int WinMain() {
    platform::CatchQuitSignals();
    if (!EnsureSingleInstance(LockNameFor(g_windowClassName))) return 0;
    if (!platform::CreateMainWindow(g_windowTitle)) {
        platform::Tell("Not InitInstance", "Error", platform::BoxIcon::None);
        return 0;
    }
    OnCreate(WindowHandle::Main);
    if (!g_gameApp) LogMessage("the application object could not be made");
    CreateFolderTree(platform::CurrentDirectory() + "\\save");
    while (PumpOnce() == LoopStep::Continue) {
    }
    return 0;
}
