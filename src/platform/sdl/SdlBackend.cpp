// The game's backend: an SDL window with a streaming texture, SDL events,
// dialogs drawn into the window, a steady clock and timer threads.
#include "platform/Platform.h"

#include "platform/common/Dialog.h"
#include "platform/common/KeyEvents.h"
#include "platform/common/PresentPacer.h"
#include "platform/common/PressHold.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <ctime>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <thread>
#include <vector>

namespace platform {
namespace {

struct Window {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr; // holds the newest picture, shown or not
    bool fullScreen = false;
    // The window needs the whole picture drawn again (exposed, resized,
    // switched), or the texture holds a newer picture than the window shows.
    bool repaint = true;
    bool pending = false;
    // The texture holds a picture presented whole from outside the paints,
    // so the next paint's picture must be uploaded whole.
    bool foreign = false;
    PresentPacer pacer;
    // SDL's own software renderer keeps the window's picture between
    // presents, so a present may redraw just the changed rectangle.
    bool keepsPicture = false;
    Rect pendingRect;
};

Window g_win;
// The picture last handed to Present: what a dialog dims and draws over, and
// what the window shows again once the dialog is answered.
std::vector<std::uint32_t> g_lastPicture;
std::array<bool, static_cast<size_t>(Key::Count)> g_keys{};
std::array<bool, static_cast<size_t>(MouseButton::Count)> g_buttons{};
PressHold g_pressHold;
std::optional<Event> g_heldRelease;
const auto g_start = std::chrono::steady_clock::now();

bool EnsureVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // Quit signals are the game's own (CatchQuitSignals): SDL would turn them
    // into the close box, whose question nobody may be there to answer.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) return false;
    // The input method stays off except in a text field.
    SDL_StopTextInput();
    return true;
}

// The key by its place on the keyboard; what it means there is KeyEvent's.
Key MapKey(const SDL_Keysym& k) {
    switch (k.scancode) {
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_KP_ENTER:
        return Key::Return;
    case SDL_SCANCODE_ESCAPE:
        return Key::Escape;
    case SDL_SCANCODE_SPACE:
        return Key::Space;
    case SDL_SCANCODE_PAGEUP:
        return Key::PageUp;
    case SDL_SCANCODE_PAGEDOWN:
        return Key::PageDown;
    case SDL_SCANCODE_LEFT:
        return Key::Left;
    case SDL_SCANCODE_UP:
        return Key::Up;
    case SDL_SCANCODE_RIGHT:
        return Key::Right;
    case SDL_SCANCODE_DOWN:
        return Key::Down;
    case SDL_SCANCODE_KP_0:
        return Key::Numpad0;
    case SDL_SCANCODE_KP_2:
        return Key::Numpad2;
    case SDL_SCANCODE_KP_4:
        return Key::Numpad4;
    case SDL_SCANCODE_KP_6:
        return Key::Numpad6;
    case SDL_SCANCODE_KP_8:
        return Key::Numpad8;
    case SDL_SCANCODE_F1:
        return Key::F1;
    case SDL_SCANCODE_F2:
        return Key::F2;
    case SDL_SCANCODE_F4:
        return Key::F4;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL:
        return Key::Control;
    case SDL_SCANCODE_TAB:
        return Key::Tab;
    case SDL_SCANCODE_BACKSPACE:
        return Key::Backspace;
    case SDL_SCANCODE_DELETE:
        return Key::Delete;
    case SDL_SCANCODE_HOME:
        return Key::Home;
    case SDL_SCANCODE_END:
        return Key::End;
    default:
        return Key::Other;
    }
}

bool MapButton(Uint8 b, MouseButton& out) {
    switch (b) {
    case SDL_BUTTON_LEFT:
        out = MouseButton::Left;
        return true;
    case SDL_BUTTON_RIGHT:
        out = MouseButton::Right;
        return true;
    case SDL_BUTTON_MIDDLE:
        out = MouseButton::Middle;
        return true;
    default:
        return false;
    }
}

// Translates one SDL event; false when it means nothing to the game.
bool Translate(const SDL_Event& s, Event& e) {
    switch (s.type) {
    // SDL_QUIT is not taken: closing the last window sends it after the
    // window's own close event, which would ask the close question twice.
    case SDL_WINDOWEVENT:
        switch (s.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            e.kind = EventKind::Close;
            return true;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            e.kind = EventKind::FocusLost;
            return true;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            e.kind = EventKind::FocusGained;
            return true;
        default:
            return false;
        }
    case SDL_MOUSEMOTION:
        e.kind = EventKind::MouseMove;
        e.x = s.motion.x;
        e.y = s.motion.y;
        return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (!MapButton(s.button.button, e.button)) return false;
        e.kind = s.type == SDL_MOUSEBUTTONDOWN ? EventKind::ButtonDown : EventKind::ButtonUp;
        e.x = s.button.x;
        e.y = s.button.y;
        return true;
    case SDL_MOUSEWHEEL: {
        int y = s.wheel.y;
        if (s.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) y = -y;
        if (y == 0) return false;
        e.kind = EventKind::Wheel;
        e.wheelDelta = y * 120;
        return true;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        const SDL_Keysym& k = s.key.keysym;
        const KeyAction action = s.type == SDL_KEYUP ? KeyAction::Release
                                 : s.key.repeat      ? KeyAction::Repeat
                                                     : KeyAction::Press;
        const auto made =
            KeyEvent(MapKey(k), action, (k.mod & KMOD_ALT) ? AltKey::Held : AltKey::Up,
                     (k.mod & KMOD_NUM) ? NumLock::On : NumLock::Off);
        if (!made) return false;
        e = *made;
        return true;
    }
    default:
        return false;
    }
}

// Key and button state follows the events taken, by the game or a dialog.
void Track(const Event& e) {
    switch (e.kind) {
    case EventKind::KeyDown:
    case EventKind::SysKeyDown:
        g_keys[static_cast<size_t>(e.key)] = true;
        break;
    case EventKind::KeyUp:
    case EventKind::SysKeyUp:
        g_keys[static_cast<size_t>(e.key)] = false;
        break;
    case EventKind::ButtonDown:
        g_buttons[static_cast<size_t>(e.button)] = true;
        break;
    case EventKind::ButtonUp:
        g_buttons[static_cast<size_t>(e.button)] = false;
        break;
    case EventKind::FocusLost:
        g_keys.fill(false);
        g_buttons.fill(false);
        break;
    default:
        break;
    }
}

void Upload(std::span<const std::uint32_t> pixels) {
    if (!g_win.texture || pixels.size() < static_cast<size_t>(kClientWidth) * kClientHeight) return;
    SDL_UpdateTexture(g_win.texture, nullptr, pixels.data(), kClientWidth * 4);
    SDL_RenderClear(g_win.renderer);
    SDL_RenderCopy(g_win.renderer, g_win.texture, nullptr, nullptr);
    SDL_RenderPresent(g_win.renderer);
    g_win.pacer.Shown(SDL_GetTicks());
    g_win.pending = false;
    g_win.repaint = false;
    g_win.pendingRect = {};
    g_win.foreign = true;
}

// A dialog's loop: it sleeps in SDL's wait (sound plays on in its own
// thread) and wakes for input, for a window that must be painted again, or
// to look at the quit flag.
class SdlDialogHost final : public dialog::Host {
public:
    Wait Next(Event& out, std::uint32_t ms) override {
        SDL_Event s;
        if (!SDL_WaitEventTimeout(&s, static_cast<int>(ms))) return Wait::Idle;
        switch (s.type) {
        case SDL_WINDOWEVENT:
            switch (s.window.event) {
            case SDL_WINDOWEVENT_EXPOSED:
            case SDL_WINDOWEVENT_SHOWN:
            case SDL_WINDOWEVENT_RESTORED:
            case SDL_WINDOWEVENT_SIZE_CHANGED:
                return Wait::Redraw;
            default:
                break;
            }
            break;
        case SDL_RENDER_TARGETS_RESET:
        case SDL_RENDER_DEVICE_RESET:
            return Wait::Redraw;
        case SDL_TEXTINPUT:
            out = Event{};
            out.kind = EventKind::TextInput;
            out.text = s.text.text;
            return Wait::Input;
        case SDL_TEXTEDITING:
            out = Event{};
            out.kind = EventKind::TextEditing;
            out.text = s.edit.text;
            return Wait::Input;
        default:
            break;
        }
        Event e;
        if (!Translate(s, e)) return Wait::Idle;
        Track(e);
        out = e;
        return Wait::Input;
    }

    void Show(std::span<const std::uint32_t> picture) override { Upload(picture); }
    void Restore(std::span<const std::uint32_t> under) override {
        if (!under.empty()) Upload(under);
    }

    void TextInput(bool on, const Rect& field) override {
        if (on) {
            SDL_Rect r{field.left, field.top, field.right - field.left, field.bottom - field.top};
            SDL_SetTextInputRect(&r);
            SDL_StartTextInput();
        } else {
            SDL_StopTextInput();
        }
    }
};

// Runs one dialog in the window; without a window its text goes to
// standard error and the answer is Cancel.
dialog::Result RunDialog(const dialog::Spec& spec) {
    if (!g_win.window || !g_win.texture) {
        dialog::ReportWithoutWindow(spec.gbkCaption, spec.gbkText);
        return dialog::Result::Cancel;
    }
    dialog::Dialog box(spec, dialog::SharedGlyphs());
    SdlDialogHost host;
    return dialog::RunDialog(box, host, g_lastPicture);
}

// ---------------------------------------------------------------- timers

class TimerThread {
public:
    TimerThread(std::uint32_t period, std::function<void()> cb)
        : shared_(std::make_shared<Shared>(period, std::move(cb))),
          thread_([s = shared_] { Loop(*s); }) {}
    ~TimerThread() {
        {
            std::lock_guard lock(shared_->mutex);
            shared_->stop = true;
        }
        shared_->cv.notify_all();
        // A callback may kill its own timer: that thread cannot wait for
        // itself, so it runs on alone and ends when its callback returns (it
        // keeps the shared state alive).
        if (thread_.get_id() == std::this_thread::get_id())
            thread_.detach();
        else
            thread_.join();
    }

private:
    struct Shared {
        Shared(std::uint32_t p, std::function<void()> cb) : period(p), callback(std::move(cb)) {}
        std::uint32_t period;
        std::function<void()> callback;
        std::mutex mutex;
        std::condition_variable cv;
        bool stop = false;
    };

    static void Loop(Shared& s) {
        auto next = std::chrono::steady_clock::now();
        std::unique_lock lock(s.mutex);
        while (!s.stop) {
            next += std::chrono::milliseconds(s.period);
            if (s.cv.wait_until(lock, next, [&s] { return s.stop; })) break;
            lock.unlock();
            s.callback();
            lock.lock();
        }
    }

    std::shared_ptr<Shared> shared_;
    std::thread thread_;
};

// Whatever uncovers, resizes or re-maps the window loses its picture.
void NoteWindowChange(Uint8 event) {
    switch (event) {
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_RESIZED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_RESTORED:
        g_win.repaint = true;
        break;
    default:
        break;
    }
}

// A rasteriser that runs on the processor behind the accelerated API (as on
// a machine without a graphics card, or a virtual display) costs far more
// per frame than SDL's own software renderer, which also keeps the window's
// picture between presents.
bool RunsOnProcessor(SDL_Renderer* renderer) {
    SDL_RendererInfo info{};
    if (SDL_GetRendererInfo(renderer, &info) != 0) return false;
    if (info.flags & SDL_RENDERER_SOFTWARE) return true;
    const std::string_view name = info.name ? info.name : "";
    if (name.substr(0, 6) != "opengl") return false;
    // The renderer made its context current; glGetString(GL_RENDERER).
    using GetString = const unsigned char* (*)(unsigned int);
    auto get = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    if (!get) return false;
    const unsigned char* r = get(0x1F01);
    if (!r) return false;
    const std::string_view gl(reinterpret_cast<const char*>(r));
    for (std::string_view soft : {"llvmpipe", "softpipe", "Software Rasterizer", "SWR"})
        if (gl.find(soft) != std::string_view::npos) return true;
    return false;
}

std::mutex g_timerMutex;
std::map<TimerId, std::unique_ptr<TimerThread>> g_timers;
TimerId g_nextTimer = 1;

} // namespace

bool PeekEvent(Event& out) {
    // A release that came too soon after its press waits, and every event
    // after it waits with it, so the order stays as it came.
    if (g_heldRelease) {
        if (g_pressHold.MustWait(g_heldRelease->button, SDL_GetTicks())) return false;
        out = *g_heldRelease;
        g_heldRelease.reset();
        g_pressHold.Released(out.button);
        Track(out);
        return true;
    }
    SDL_Event s;
    while (SDL_WasInit(SDL_INIT_EVENTS) && SDL_PollEvent(&s)) {
        if (s.type == SDL_WINDOWEVENT) NoteWindowChange(s.window.event);
        Event e;
        if (!Translate(s, e)) continue;
        if (e.kind == EventKind::ButtonDown) g_pressHold.Pressed(e.button, SDL_GetTicks());
        if (e.kind == EventKind::ButtonUp) {
            if (g_pressHold.MustWait(e.button, SDL_GetTicks())) {
                g_heldRelease = e;
                return false;
            }
            g_pressHold.Released(e.button);
        }
        Track(e);
        out = e;
        return true;
    }
    return false;
}

bool IsKeyDown(Key key) {
    return g_keys[static_cast<size_t>(key)];
}
bool IsButtonDown(MouseButton button) {
    return g_buttons[static_cast<size_t>(button)];
}

bool CreateMainWindow(std::string_view gbkTitle) {
    if (!EnsureVideo()) return false;
    const std::string title = GbkToUtf8(gbkTitle);
    g_win.window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                    kClientWidth, kClientHeight, SDL_WINDOW_SHOWN);
    if (!g_win.window) return false;
    // No vsync: presenting must never hold up the frame loop.
    g_win.renderer = SDL_CreateRenderer(g_win.window, -1, 0);
    if (g_win.renderer && RunsOnProcessor(g_win.renderer)) {
        SDL_RendererInfo info{};
        SDL_GetRendererInfo(g_win.renderer, &info);
        if (!(info.flags & SDL_RENDERER_SOFTWARE)) {
            SDL_DestroyRenderer(g_win.renderer);
            g_win.renderer = nullptr;
            // The window's own picture must not go through that rasteriser
            // either: straight to the display server.
            SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        }
    }
    if (!g_win.renderer)
        g_win.renderer = SDL_CreateRenderer(g_win.window, -1, SDL_RENDERER_SOFTWARE);
    if (!g_win.renderer) return false;
    SDL_RendererInfo info{};
    g_win.keepsPicture =
        SDL_GetRendererInfo(g_win.renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE);
    // Pictures are shown at most once per refresh of the display.
    SDL_DisplayMode mode{};
    if (SDL_GetWindowDisplayMode(g_win.window, &mode) == 0 && mode.refresh_rate > 0)
        g_win.pacer.SetRefresh(static_cast<Uint32>(1000 / mode.refresh_rate));
    SDL_RenderSetLogicalSize(g_win.renderer, kClientWidth, kClientHeight);
    g_win.texture = SDL_CreateTexture(g_win.renderer, SDL_PIXELFORMAT_RGB888,
                                      SDL_TEXTUREACCESS_STREAMING, kClientWidth, kClientHeight);
    if (!g_win.texture) return false;
    SDL_SetRenderDrawColor(g_win.renderer, 0, 0, 0, 255);
    SDL_RenderClear(g_win.renderer);
    SDL_RenderPresent(g_win.renderer);
    return true;
}

void DestroyMainWindow() {
    if (g_win.texture) SDL_DestroyTexture(g_win.texture);
    if (g_win.renderer) SDL_DestroyRenderer(g_win.renderer);
    if (g_win.window) SDL_DestroyWindow(g_win.window);
    g_win = Window{};
    g_lastPicture.clear();
}

void Present(std::span<const std::uint32_t> pixels) {
    if (!g_win.texture || pixels.size() < static_cast<size_t>(kClientWidth) * kClientHeight) return;
    g_lastPicture.assign(
        pixels.begin(), pixels.begin() + static_cast<std::ptrdiff_t>(kClientWidth) * kClientHeight);
    Upload(pixels);
}

void Present(std::span<const std::uint32_t> pixels, const Rect& changed) {
    if (!g_win.texture || pixels.size() < static_cast<size_t>(kClientWidth) * kClientHeight) return;
    const size_t whole = static_cast<size_t>(kClientWidth) * kClientHeight;
    Rect r = changed;
    if (g_win.foreign || g_lastPicture.size() != whole) r = {0, 0, kClientWidth, kClientHeight};
    r.left = std::max(r.left, 0);
    r.top = std::max(r.top, 0);
    r.right = std::min(r.right, kClientWidth);
    r.bottom = std::min(r.bottom, kClientHeight);
    if (r.right > r.left && r.bottom > r.top) {
        // What a dialog dims and draws over. Only the changed rectangle is
        // taken over: a waiting game presents an unchanged picture sixty
        // times a second, and copying all of it each time was most of what
        // the wait cost.
        g_lastPicture.resize(whole);
        for (int y = r.top; y < r.bottom; ++y) {
            const size_t at = static_cast<size_t>(y) * kClientWidth + static_cast<size_t>(r.left);
            std::copy_n(pixels.begin() + static_cast<std::ptrdiff_t>(at), r.right - r.left,
                        g_lastPicture.begin() + static_cast<std::ptrdiff_t>(at));
        }
        // Only the changed rectangle goes up to the texture.
        const SDL_Rect up{r.left, r.top, r.right - r.left, r.bottom - r.top};
        SDL_UpdateTexture(g_win.texture, &up,
                          pixels.data() + static_cast<size_t>(r.top) * kClientWidth + r.left,
                          kClientWidth * 4);
        g_win.pending = true;
        g_win.foreign = false;
        Unite(g_win.pendingRect, r);
    }
    if (!g_win.pending && !g_win.repaint) return;
    // Faster than the display refreshes: the texture keeps the newest picture
    // and a later call shows it.
    const Uint32 now = SDL_GetTicks();
    if (!g_win.repaint && !g_win.pacer.Due(now)) return;
    const Rect& p = g_win.pendingRect;
    if (g_win.keepsPicture && !g_win.repaint && !g_win.fullScreen) {
        // Unscaled in a window: only the changed rectangle is drawn again.
        const SDL_Rect area{p.left, p.top, p.right - p.left, p.bottom - p.top};
        SDL_RenderCopy(g_win.renderer, g_win.texture, &area, &area);
    } else {
        SDL_RenderClear(g_win.renderer);
        SDL_RenderCopy(g_win.renderer, g_win.texture, nullptr, nullptr);
    }
    SDL_RenderPresent(g_win.renderer);
    g_win.pacer.Shown(now);
    g_win.pending = false;
    g_win.repaint = false;
    g_win.pendingRect = {};
}

bool PresentDue() {
    if (!g_win.texture) return false;
    return g_win.repaint || g_win.pending || g_win.foreign || g_win.pacer.Due(SDL_GetTicks());
}

void SetFullScreen(bool on) {
    if (!g_win.window || g_win.fullScreen == on) {
        g_win.fullScreen = on;
        return;
    }
    // Desktop full screen: the display keeps its mode and the picture is
    // scaled with letterboxing; SDL maps the pointer back to 800x600.
    SDL_SetWindowFullscreen(g_win.window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    g_win.repaint = true;
    if (!on) {
        SDL_SetWindowSize(g_win.window, kClientWidth, kClientHeight);
        SDL_SetWindowPosition(g_win.window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    g_win.fullScreen = on;
}

bool IsFullScreen() {
    return g_win.fullScreen;
}

Rect GetWindowRect() {
    if (!g_win.window) return {};
    int x = 0, y = 0, w = 0, h = 0;
    SDL_GetWindowPosition(g_win.window, &x, &y);
    SDL_GetWindowSize(g_win.window, &w, &h);
    if (g_win.fullScreen) return {x, y, x + w, y + h};
    const int caption = CaptionHeight();
    return {x, y - caption, x + w, y + h};
}

int CaptionHeight() {
    int top = 0;
    if (g_win.window &&
        SDL_GetWindowBordersSize(g_win.window, &top, nullptr, nullptr, nullptr) == 0)
        return top;
    return 0;
}

void SetCursorPos(int screenX, int screenY) {
    if (!g_win.window) return;
    int x = 0, y = 0;
    SDL_GetWindowPosition(g_win.window, &x, &y);
    int cx = screenX - x;
    int cy = screenY - y;
    if (g_win.fullScreen) {
        // The picture is scaled: move to the window point that shows (cx, cy).
        int w = 0, h = 0;
        SDL_GetWindowSize(g_win.window, &w, &h);
        const float scale =
            std::min(static_cast<float>(w) / kClientWidth, static_cast<float>(h) / kClientHeight);
        const float offX = (w - kClientWidth * scale) / 2;
        const float offY = (h - kClientHeight * scale) / 2;
        cx = static_cast<int>(offX + cx * scale);
        cy = static_cast<int>(offY + cy * scale);
    }
    SDL_WarpMouseInWindow(g_win.window, cx, cy);
}

void RaiseWindow() {
    if (g_win.window) SDL_RaiseWindow(g_win.window);
}

BoxAnswer AskOkCancel(std::string_view gbkText, std::string_view gbkCaption, BoxIcon icon) {
    const auto spec = dialog::MessageSpec(gbkText, gbkCaption, icon, dialog::Buttons::OkCancel);
    return RunDialog(spec) == dialog::Result::Ok ? BoxAnswer::Ok : BoxAnswer::Cancel;
}

void Tell(std::string_view gbkText, std::string_view gbkCaption, BoxIcon icon) {
    RunDialog(dialog::MessageSpec(gbkText, gbkCaption, icon, dialog::Buttons::Ok));
}

std::optional<std::string> AskText(std::string_view gbkCaption, std::string_view gbkPrompt,
                                   std::string_view gbkInitial, std::size_t byteLimit) {
    if (!g_win.window || !g_win.texture) {
        dialog::ReportWithoutWindow(gbkCaption, gbkPrompt);
        return std::nullopt;
    }
    dialog::Dialog box(dialog::EntrySpec(gbkCaption, gbkPrompt, gbkInitial, byteLimit),
                       dialog::SharedGlyphs());
    SdlDialogHost host;
    if (dialog::RunDialog(box, host, g_lastPicture) != dialog::Result::Ok) return std::nullopt;
    return box.Text();
}

std::uint32_t TimeGetTime() {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - g_start);
    return static_cast<std::uint32_t>(ms.count());
}

void Sleep(std::uint32_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void WaitForInput(std::uint32_t ms) {
    // Without an event queue there is nothing to wake for; a release held
    // back is due by the clock, not by a new event.
    if (!SDL_WasInit(SDL_INIT_EVENTS) || g_heldRelease) {
        Sleep(ms);
        return;
    }
    // A null event leaves what arrived in the queue for PeekEvent.
    SDL_WaitEventTimeout(nullptr, static_cast<int>(ms));
}

TimerId SetPeriodicTimer(std::uint32_t periodMs, std::function<void()> callback) {
    std::lock_guard lock(g_timerMutex);
    const TimerId id = g_nextTimer++;
    g_timers[id] =
        std::make_unique<TimerThread>(std::max<std::uint32_t>(periodMs, 1), std::move(callback));
    return id;
}

void KillTimer(TimerId id) {
    std::unique_ptr<TimerThread> dying;
    {
        std::lock_guard lock(g_timerMutex);
        auto it = g_timers.find(id);
        if (it == g_timers.end()) return;
        dying = std::move(it->second);
        g_timers.erase(it);
    }
    // Joined outside the lock: a callback may itself set or kill timers.
}

LocalTime GetLocalTime() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&t, &tm);
    LocalTime lt;
    lt.year = static_cast<std::uint16_t>(tm.tm_year + 1900);
    lt.month = static_cast<std::uint16_t>(tm.tm_mon + 1);
    lt.dayOfWeek = static_cast<std::uint16_t>(tm.tm_wday);
    lt.day = static_cast<std::uint16_t>(tm.tm_mday);
    lt.hour = static_cast<std::uint16_t>(tm.tm_hour);
    lt.minute = static_cast<std::uint16_t>(tm.tm_min);
    lt.second = static_cast<std::uint16_t>(tm.tm_sec);
    lt.milliseconds = static_cast<std::uint16_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000);
    return lt;
}

} // namespace platform
