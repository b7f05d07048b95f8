#include "platform/headless/Headless.h"

#include "platform/headless/HeadlessAudio.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

namespace platform {
namespace {

struct Timer {
    std::uint32_t period = 1;
    std::uint64_t due = 0;
    std::function<void()> callback;
};

struct State {
    std::mutex mutex;
    std::condition_variable timerDone;
    TimerId firing = 0;  // the timer whose callback runs now
    std::thread::id firingThread;
    std::atomic<std::uint64_t> now{0};
    std::deque<Event> events;
    std::array<bool, static_cast<size_t>(Key::Count)> keys{};
    std::array<bool, static_cast<size_t>(MouseButton::Count)> buttons{};
    std::deque<BoxAnswer> answers;
    std::vector<headless::Question> questions;
    std::vector<std::uint32_t> sleeps;
    std::uint64_t presentCount = 0;
    std::uint64_t shownCount = 0;
    Rect lastChanged;
    bool foreignPicture = false;
    std::vector<std::uint32_t> lastFrame;
    std::map<TimerId, Timer> timers;
    TimerId nextTimer = 1;
    bool windowOpen = false;
    bool fullScreen = false;
    std::string title;
    int cursorX = 0;
    int cursorY = 0;
    int raiseCount = 0;
};

State& S() {
    static State s;
    return s;
}

// Windowed, the picture sits at a fixed place on a notional desktop.
constexpr int kWindowLeft = 100;
constexpr int kWindowTop = 50;
constexpr int kCaption = 24;

void Advance(std::uint64_t ms) {
    State& s = S();
    const std::uint64_t target = s.now.load() + ms;
    for (;;) {
        std::function<void()> fire;
        {
            std::lock_guard lock(s.mutex);
            auto it = std::min_element(s.timers.begin(), s.timers.end(), [](auto& a, auto& b) {
                return a.second.due < b.second.due;
            });
            if (it == s.timers.end() || it->second.due > target) break;
            s.now.store(std::max(s.now.load(), it->second.due));
            it->second.due += it->second.period;
            fire = it->second.callback;
            s.firing = it->first;
            s.firingThread = std::this_thread::get_id();
        }
        // Sound plays up to the moment the timer fires.
        headless_internal::AdvanceAudioTo(s.now.load());
        if (fire) fire();
        {
            std::lock_guard lock(s.mutex);
            s.firing = 0;
        }
        s.timerDone.notify_all();
    }
    s.now.store(target);
    headless_internal::AdvanceAudioTo(target);
}

}  // namespace

bool PeekEvent(Event& out) {
    State& s = S();
    std::lock_guard lock(s.mutex);
    if (s.events.empty()) return false;
    out = s.events.front();
    s.events.pop_front();
    switch (out.kind) {
    case EventKind::KeyDown:
    case EventKind::SysKeyDown: s.keys[static_cast<size_t>(out.key)] = true; break;
    case EventKind::KeyUp: s.keys[static_cast<size_t>(out.key)] = false; break;
    case EventKind::ButtonDown: s.buttons[static_cast<size_t>(out.button)] = true; break;
    case EventKind::ButtonUp: s.buttons[static_cast<size_t>(out.button)] = false; break;
    case EventKind::FocusLost:
        s.keys.fill(false);
        s.buttons.fill(false);
        break;
    default: break;
    }
    return true;
}

bool IsKeyDown(Key key) {
    std::lock_guard lock(S().mutex);
    return S().keys[static_cast<size_t>(key)];
}

bool IsButtonDown(MouseButton button) {
    std::lock_guard lock(S().mutex);
    return S().buttons[static_cast<size_t>(button)];
}

bool CreateMainWindow(std::string_view gbkTitle) {
    S().windowOpen = true;
    S().title = std::string(gbkTitle);
    return true;
}

void DestroyMainWindow() { S().windowOpen = false; }

void Present(std::span<const std::uint32_t> pixels) {
    State& s = S();
    s.lastFrame.assign(pixels.begin(), pixels.end());
    ++s.presentCount;
    ++s.shownCount;
    s.lastChanged = {0, 0, kClientWidth, kClientHeight};
    // The window shows a picture of its own now: the next paint redraws all.
    s.foreignPicture = true;
}

void Present(std::span<const std::uint32_t> pixels, const Rect& changed) {
    State& s = S();
    ++s.presentCount;
    Rect r = changed;
    const size_t whole = static_cast<size_t>(kClientWidth) * kClientHeight;
    if (s.foreignPicture || s.lastFrame.size() != whole) r = {0, 0, kClientWidth, kClientHeight};
    if (pixels.size() < whole || r.right <= r.left || r.bottom <= r.top) {
        s.lastChanged = {};
        return;
    }
    // Like the window, the captured frame takes only what was uploaded: a
    // rectangle too small for the change leaves the old pixels to be seen.
    s.lastFrame.resize(whole);
    for (int y = std::max(r.top, 0); y < std::min(r.bottom, kClientHeight); ++y) {
        const size_t row = static_cast<size_t>(y) * kClientWidth;
        const int left = std::max(r.left, 0), right = std::min(r.right, kClientWidth);
        std::copy(pixels.begin() + static_cast<std::ptrdiff_t>(row + left),
                  pixels.begin() + static_cast<std::ptrdiff_t>(row + right),
                  s.lastFrame.begin() + static_cast<std::ptrdiff_t>(row + left));
    }
    s.foreignPicture = false;
    s.lastChanged = r;
    ++s.shownCount;
}

// Tests see every frame: the virtual display refreshes whenever asked.
bool PresentDue() { return true; }

void SetFullScreen(bool on) { S().fullScreen = on; }
bool IsFullScreen() { return S().fullScreen; }

Rect GetWindowRect() {
    if (S().fullScreen) return {0, 0, kClientWidth, kClientHeight};
    return {kWindowLeft, kWindowTop, kWindowLeft + kClientWidth,
            kWindowTop + kCaption + kClientHeight};
}

int CaptionHeight() { return kCaption; }

void SetCursorPos(int screenX, int screenY) {
    S().cursorX = screenX;
    S().cursorY = screenY;
}

void RaiseWindow() { ++S().raiseCount; }

BoxAnswer AskOkCancel(std::string_view gbkText, std::string_view gbkCaption, BoxIcon icon) {
    State& s = S();
    s.questions.push_back({std::string(gbkText), std::string(gbkCaption), icon, true});
    if (s.answers.empty()) return BoxAnswer::Cancel;
    BoxAnswer a = s.answers.front();
    s.answers.pop_front();
    return a;
}

void Tell(std::string_view gbkText, std::string_view gbkCaption, BoxIcon icon) {
    S().questions.push_back({std::string(gbkText), std::string(gbkCaption), icon, false});
}

std::uint32_t TimeGetTime() { return static_cast<std::uint32_t>(S().now.load()); }

void Sleep(std::uint32_t ms) {
    {
        std::lock_guard lock(S().mutex);
        S().sleeps.push_back(ms);
    }
    Advance(ms);
}

TimerId SetPeriodicTimer(std::uint32_t periodMs, std::function<void()> callback) {
    State& s = S();
    std::lock_guard lock(s.mutex);
    TimerId id = s.nextTimer++;
    std::uint32_t period = std::max<std::uint32_t>(periodMs, 1);
    s.timers[id] = Timer{period, s.now.load() + period, std::move(callback)};
    return id;
}

void KillTimer(TimerId id) {
    State& s = S();
    std::unique_lock lock(s.mutex);
    s.timers.erase(id);
    // As on the real clock: a callback running on another thread finishes
    // before the timer counts as killed.
    s.timerDone.wait(lock, [&] { return s.firing != id || s.firingThread == std::this_thread::get_id(); });
}

LocalTime GetLocalTime() {
    // A fixed date moved by the virtual clock keeps saved dates reproducible.
    std::uint64_t ms = S().now.load();
    LocalTime t;
    t.year = 2026;
    t.month = 1;
    t.day = 1;
    t.dayOfWeek = 4;
    std::uint64_t sec = ms / 1000;
    t.milliseconds = static_cast<std::uint16_t>(ms % 1000);
    t.second = static_cast<std::uint16_t>(sec % 60);
    t.minute = static_cast<std::uint16_t>(sec / 60 % 60);
    t.hour = static_cast<std::uint16_t>(sec / 3600 % 24);
    return t;
}

namespace headless {

void Reset() {
    State& s = S();
    std::lock_guard lock(s.mutex);
    s.now.store(0);
    s.events.clear();
    s.keys.fill(false);
    s.buttons.fill(false);
    s.answers.clear();
    s.questions.clear();
    s.sleeps.clear();
    s.presentCount = 0;
    s.shownCount = 0;
    s.lastChanged = {};
    s.foreignPicture = false;
    s.lastFrame.clear();
    s.timers.clear();
    s.windowOpen = false;
    s.fullScreen = false;
    s.title.clear();
    s.cursorX = s.cursorY = 0;
    s.raiseCount = 0;
    headless_internal::ResetAudio();
}

void AdvanceClock(std::uint32_t ms) { Advance(ms); }

void PushEvent(const Event& e) {
    std::lock_guard lock(S().mutex);
    S().events.push_back(e);
}

void PushKey(Key key, bool down) {
    Event e;
    e.kind = down ? EventKind::KeyDown : EventKind::KeyUp;
    e.key = key;
    PushEvent(e);
}

void PushButton(MouseButton button, bool down, int x, int y) {
    Event e;
    e.kind = down ? EventKind::ButtonDown : EventKind::ButtonUp;
    e.button = button;
    e.x = x;
    e.y = y;
    PushEvent(e);
}

void PushMouseMove(int x, int y) {
    Event e;
    e.kind = EventKind::MouseMove;
    e.x = x;
    e.y = y;
    PushEvent(e);
}

void PushWheel(int delta) {
    Event e;
    e.kind = EventKind::Wheel;
    e.wheelDelta = delta;
    PushEvent(e);
}

bool HasPendingEvents() {
    std::lock_guard lock(S().mutex);
    return !S().events.empty();
}

void QueueAnswer(BoxAnswer answer) { S().answers.push_back(answer); }
const std::vector<Question>& Questions() { return S().questions; }
const std::vector<std::uint32_t>& Sleeps() { return S().sleeps; }
void ClearSleeps() {
    std::lock_guard lock(S().mutex);
    S().sleeps.clear();
}
std::uint64_t PresentCount() { return S().presentCount; }
const std::vector<std::uint32_t>& LastFrame() { return S().lastFrame; }
std::uint64_t ShownCount() { return S().shownCount; }
Rect LastChangedRect() { return S().lastChanged; }
bool WindowOpen() { return S().windowOpen; }
const std::string& WindowTitle() { return S().title; }
int CursorX() { return S().cursorX; }
int CursorY() { return S().cursorY; }
int RaiseCount() { return S().raiseCount; }

}  // namespace headless
}  // namespace platform
