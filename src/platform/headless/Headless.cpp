#include "platform/headless/Headless.h"

#include "platform/common/Dialog.h"
#include "platform/common/QuitSignals.h"
#include "platform/headless/HeadlessAudio.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <csignal>
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

// An entry of the event queue: an event, or a signal to raise.
struct Queued {
    Event event;
    int signal = 0;
};

struct State {
    std::mutex mutex;
    std::condition_variable timerDone;
    TimerId firing = 0; // the timer whose callback runs now
    std::thread::id firingThread;
    std::atomic<std::uint64_t> now{0};
    std::deque<Queued> events;
    std::array<bool, static_cast<size_t>(Key::Count)> keys{};
    std::array<bool, static_cast<size_t>(MouseButton::Count)> buttons{};
    std::deque<BoxAnswer> answers;
    std::deque<std::optional<std::string>> texts;
    std::vector<headless::Question> questions;
    headless::DialogMode dialogMode = headless::DialogMode::Answers;
    std::vector<std::uint32_t> dialogPicture;
    std::uint64_t dialogPictureCount = 0;
    bool textInput = false;
    std::vector<std::uint32_t> sleeps;
    std::vector<std::uint32_t> inputWaits;
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

void Track(State& s, const Event& e) {
    switch (e.kind) {
    case EventKind::KeyDown:
    case EventKind::SysKeyDown:
        s.keys[static_cast<size_t>(e.key)] = true;
        break;
    case EventKind::KeyUp:
    case EventKind::SysKeyUp:
        s.keys[static_cast<size_t>(e.key)] = false;
        break;
    case EventKind::ButtonDown:
        s.buttons[static_cast<size_t>(e.button)] = true;
        break;
    case EventKind::ButtonUp:
        s.buttons[static_cast<size_t>(e.button)] = false;
        break;
    case EventKind::FocusLost:
        s.keys.fill(false);
        s.buttons.fill(false);
        break;
    default:
        break;
    }
}

// Takes the next event. A signal in the queue is raised instead (outside the
// lock: its handler runs at once, on this thread), and no event is taken
// with it, so whoever waits looks at the quit flag before taking more.
bool TakeEvent(Event& out) {
    State& s = S();
    Queued q;
    {
        std::lock_guard lock(s.mutex);
        if (s.events.empty()) return false;
        q = std::move(s.events.front());
        s.events.pop_front();
        if (q.signal == 0) {
            Track(s, q.event);
            out = std::move(q.event);
            return true;
        }
    }
    std::raise(q.signal);
    return false;
}

class HeadlessDialogHost final : public dialog::Host {
public:
    Wait Next(Event& out, std::uint32_t) override {
        // A signal raised on the way is seen by the loop before the next wait.
        if (QuitSignalled()) return Wait::Idle;
        if (TakeEvent(out)) return Wait::Input;
        return QuitSignalled() ? Wait::Idle : Wait::Ended;
    }
    void Show(std::span<const std::uint32_t> picture) override {
        State& s = S();
        s.dialogPicture.assign(picture.begin(), picture.end());
        ++s.dialogPictureCount;
    }
    void Restore(std::span<const std::uint32_t>) override {}
    void TextInput(bool on, const Rect&) override { S().textInput = on; }
};

// Answers from the queue, or runs the dialog on the event queue.
dialog::Result Answer(dialog::Dialog& box, dialog::Result queued) {
    State& s = S();
    switch (s.dialogMode) {
    case headless::DialogMode::Answers:
        return queued;
    case headless::DialogMode::AnswersDrawn: {
        std::vector<std::uint32_t> picture(static_cast<size_t>(kClientWidth) * kClientHeight);
        box.Draw(s.lastFrame, picture);
        HeadlessDialogHost().Show(picture);
        return queued;
    }
    case headless::DialogMode::Events: {
        // The dialog dims what the window showed; the copy keeps it stable
        // while the dialog's own pictures are recorded.
        const std::vector<std::uint32_t> under = s.lastFrame;
        HeadlessDialogHost host;
        return dialog::RunDialog(box, host, under);
    }
    }
    return queued;
}

void Record(headless::Question q) {
    if (!S().windowOpen) dialog::ReportWithoutWindow(q.gbkCaption, q.gbkText);
    S().questions.push_back(std::move(q));
}

dialog::Result MessageDialog(std::string_view gbkText, std::string_view gbkCaption, BoxIcon icon,
                             dialog::Buttons buttons) {
    State& s = S();
    Record({std::string(gbkText),
            std::string(gbkCaption),
            icon,
            buttons == dialog::Buttons::OkCancel,
            false,
            {},
            0});
    dialog::Result queued = dialog::Result::Cancel;
    if (buttons == dialog::Buttons::Ok) {
        queued = dialog::Result::Ok;
    } else if (s.dialogMode != headless::DialogMode::Events && !s.answers.empty()) {
        queued = s.answers.front() == BoxAnswer::Ok ? dialog::Result::Ok : dialog::Result::Cancel;
        s.answers.pop_front();
    }
    if (s.dialogMode == headless::DialogMode::Answers) return queued;
    dialog::Dialog box(dialog::MessageSpec(gbkText, gbkCaption, icon, buttons),
                       dialog::SharedGlyphs());
    return Answer(box, queued);
}

} // namespace

bool PeekEvent(Event& out) {
    return TakeEvent(out);
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

void DestroyMainWindow() {
    S().windowOpen = false;
}

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
bool PresentDue() {
    return true;
}

void SetFullScreen(bool on) {
    S().fullScreen = on;
}
bool IsFullScreen() {
    return S().fullScreen;
}

Rect GetWindowRect() {
    if (S().fullScreen) return {0, 0, kClientWidth, kClientHeight};
    return {kWindowLeft, kWindowTop, kWindowLeft + kClientWidth,
            kWindowTop + kCaption + kClientHeight};
}

int CaptionHeight() {
    return kCaption;
}

void SetCursorPos(int screenX, int screenY) {
    S().cursorX = screenX;
    S().cursorY = screenY;
}

void RaiseWindow() {
    ++S().raiseCount;
}

BoxAnswer AskOkCancel(std::string_view gbkText, std::string_view gbkCaption, BoxIcon icon) {
    return MessageDialog(gbkText, gbkCaption, icon, dialog::Buttons::OkCancel) == dialog::Result::Ok
               ? BoxAnswer::Ok
               : BoxAnswer::Cancel;
}

void Tell(std::string_view gbkText, std::string_view gbkCaption, BoxIcon icon) {
    MessageDialog(gbkText, gbkCaption, icon, dialog::Buttons::Ok);
}

std::optional<std::string> AskText(std::string_view gbkCaption, std::string_view gbkPrompt,
                                   std::string_view gbkInitial, std::size_t byteLimit) {
    State& s = S();
    Record({std::string(gbkPrompt), std::string(gbkCaption), BoxIcon::None, true, true,
            std::string(gbkInitial), byteLimit});
    std::optional<std::string> queued;
    if (s.dialogMode != headless::DialogMode::Events && !s.texts.empty()) {
        // A scripted answer is what a player could have typed: whole
        // characters within the limit.
        queued = s.texts.front();
        s.texts.pop_front();
        if (queued) queued = dialog::FitGbk(*queued, byteLimit);
    }
    if (s.dialogMode == headless::DialogMode::Answers) return queued;
    dialog::Dialog box(dialog::EntrySpec(gbkCaption, gbkPrompt, gbkInitial, byteLimit),
                       dialog::SharedGlyphs());
    const dialog::Result result = Answer(box, queued ? dialog::Result::Ok : dialog::Result::Cancel);
    if (s.dialogMode != headless::DialogMode::Events) return queued;
    if (result != dialog::Result::Ok) return std::nullopt;
    return box.Text();
}

std::uint32_t TimeGetTime() {
    return static_cast<std::uint32_t>(S().now.load());
}

void Sleep(std::uint32_t ms) {
    {
        std::lock_guard lock(S().mutex);
        S().sleeps.push_back(ms);
    }
    Advance(ms);
}

void WaitForInput(std::uint32_t ms) {
    {
        std::lock_guard lock(S().mutex);
        if (!S().events.empty()) return;
        S().inputWaits.push_back(ms);
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
    s.timerDone.wait(
        lock, [&] { return s.firing != id || s.firingThread == std::this_thread::get_id(); });
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
    s.texts.clear();
    s.questions.clear();
    s.dialogMode = headless::DialogMode::Answers;
    s.dialogPicture.clear();
    s.dialogPictureCount = 0;
    s.textInput = false;
    s.sleeps.clear();
    s.inputWaits.clear();
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
    quit_signals::Restore();
}

void AdvanceClock(std::uint32_t ms) {
    Advance(ms);
}

void PushEvent(const Event& e) {
    std::lock_guard lock(S().mutex);
    S().events.push_back({e, 0});
}

void PushSignal(int signal) {
    std::lock_guard lock(S().mutex);
    S().events.push_back({Event{}, signal});
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

void QueueAnswer(BoxAnswer answer) {
    S().answers.push_back(answer);
}
void QueueText(std::optional<std::string> gbk) {
    S().texts.push_back(std::move(gbk));
}
void SetDialogMode(DialogMode mode) {
    S().dialogMode = mode;
}
const std::vector<std::uint32_t>& DialogPicture() {
    return S().dialogPicture;
}
std::uint64_t DialogPictureCount() {
    return S().dialogPictureCount;
}
bool TextInputOn() {
    return S().textInput;
}
const std::vector<Question>& Questions() {
    return S().questions;
}
const std::vector<std::uint32_t>& Sleeps() {
    return S().sleeps;
}
const std::vector<std::uint32_t>& InputWaits() {
    return S().inputWaits;
}
void ClearSleeps() {
    std::lock_guard lock(S().mutex);
    S().sleeps.clear();
}
std::uint64_t PresentCount() {
    return S().presentCount;
}
const std::vector<std::uint32_t>& LastFrame() {
    return S().lastFrame;
}
std::uint64_t ShownCount() {
    return S().shownCount;
}
Rect LastChangedRect() {
    return S().lastChanged;
}
bool WindowOpen() {
    return S().windowOpen;
}
const std::string& WindowTitle() {
    return S().title;
}
int CursorX() {
    return S().cursorX;
}
int CursorY() {
    return S().cursorY;
}
int RaiseCount() {
    return S().raiseCount;
}

} // namespace headless
} // namespace platform
