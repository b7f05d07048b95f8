// Our own small layer in place of the desktop services the game was written
// against. Two backends define these functions: "sdl" for the game and
// "headless" for tests (virtual clock, scripted input, captured frames). A
// program chooses one by linking it. Nothing here knows about the game.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace platform {

inline constexpr int kClientWidth = 800;
inline constexpr int kClientHeight = 600;

// The one main window, as screens pass it around; it carries no data.
enum class WindowHandle : std::uintptr_t { None = 0, Main = 1 };

// ---------------------------------------------------------------- keys, events

// Keys the game reads. Everything else arrives as Other.
enum class Key : std::uint8_t {
    Other,
    Return,
    Escape,
    Space,
    PageUp,
    PageDown,
    Left,
    Up,
    Right,
    Down,
    // The keypad's digits while NumLock is on; off, they arrive as the keys
    // they stand for.
    Numpad0,
    Numpad2,
    Numpad4,
    Numpad6,
    Numpad8,
    F1,
    F2,
    F4,
    Control,
    // Keys of the dialogs' text field; the game itself ignores them.
    Tab,
    Backspace,
    Delete,
    Home,
    End,
    Count
};

enum class MouseButton : std::uint8_t { Left, Right, Middle, Count };

enum class EventKind : std::uint8_t {
    MouseMove,  // x, y in client coordinates (800x600 picture space)
    ButtonDown, // button
    ButtonUp,   // button
    Wheel,      // wheelDelta: positive away from the user, 120 per notch
    KeyDown,    // key
    KeyUp,      // key
    SysKeyDown, // key pressed with Alt held (the game takes Alt+Enter and Alt+F4)
    SysKeyUp,   // key released with Alt held
    Close,      // the window's close box
    FocusLost,
    FocusGained,
    TextInput,   // text: characters the keyboard or input method committed
    TextEditing, // text: the input method's composition so far (empty: none)
};

struct Event {
    EventKind kind = EventKind::MouseMove;
    Key key = Key::Other;
    MouseButton button = MouseButton::Left;
    int x = 0;
    int y = 0;
    int wheelDelta = 0;
    std::string text{}; // UTF-8, text events only
};

// Takes the next waiting event, if any, and updates the key and button state
// that IsKeyDown/IsButtonDown report (so state follows the events taken, as a
// key-state query follows the messages retrieved).
bool PeekEvent(Event& out);
bool IsKeyDown(Key key);
bool IsButtonDown(MouseButton button);

// ---------------------------------------------------------------- window

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Grows `into` to bound `r` as well; an empty `into` becomes `r`. For any
// rectangle type with left, top, right and bottom.
template <typename R> void Unite(R& into, const R& r) {
    if (into.right <= into.left || into.bottom <= into.top) {
        into = r;
        return;
    }
    into.left = r.left < into.left ? r.left : into.left;
    into.top = r.top < into.top ? r.top : into.top;
    into.right = r.right > into.right ? r.right : into.right;
    into.bottom = r.bottom > into.bottom ? r.bottom : into.bottom;
}

// Opens the main window with an 800x600 client area centred on the screen.
bool CreateMainWindow(std::string_view gbkTitle);
void DestroyMainWindow();
// Shows one 800x600 picture (0x00RRGGBB words, top row first). Never waits
// for the display.
void Present(std::span<const std::uint32_t> pixels);
// The same picture as before, changed only inside `changed` (empty: not at
// all). Only the changed rectangle is uploaded; a picture that changed
// nothing is shown again only when the window needs it (exposed, resized,
// switched to full screen, or another picture was presented in between).
// Pictures that come faster than the display refreshes wait, newest first,
// for the next call after the refresh: the call itself never waits.
void Present(std::span<const std::uint32_t> pixels, const Rect& changed);
// false while a picture handed over now could not reach the display before
// its next refresh: the caller may skip preparing one.
bool PresentDue();
void SetFullScreen(bool on);
bool IsFullScreen();
// The window's outer rectangle in screen coordinates; its client area starts
// CaptionHeight() below the top while windowed and at the top in full screen.
Rect GetWindowRect();
int CaptionHeight();
// Moves the pointer to a screen position.
void SetCursorPos(int screenX, int screenY);
// Brings the main window to the front (a second instance asked for it).
void RaiseWindow();

// ---------------------------------------------------------------- dialogs

enum class BoxAnswer : std::uint8_t { Ok, Cancel };
enum class BoxIcon : std::uint8_t { None, Question, Error, Information };

// Dialogs are drawn inside the game window over a dimmed copy of the last
// picture shown, with the glyph font, and are modal: no game frame runs until
// the answer, while the picture stays shown and sound goes on. Before the
// window exists (or without video) the text goes to standard error instead
// and the answer is Cancel. A quit signal (see below) ends a dialog at once
// with Cancel.

// Modal question with OK and Cancel; texts are GBK.
BoxAnswer AskOkCancel(std::string_view gbkText, std::string_view gbkCaption, BoxIcon icon);
// Modal notice with OK; texts are GBK.
void Tell(std::string_view gbkText, std::string_view gbkCaption, BoxIcon icon);
// Modal one-line text entry with OK and CANCEL. The field starts with
// `gbkInitial` and holds at most `byteLimit` bytes of GBK, always whole
// characters; the input method composes in it. The GBK text on OK (Enter),
// nothing on Cancel (Esc, right click, the window's close box).
std::optional<std::string> AskText(std::string_view gbkCaption, std::string_view gbkPrompt,
                                   std::string_view gbkInitial, std::size_t byteLimit);

// ---------------------------------------------------------------- quit signals

// SIGTERM, SIGINT and SIGHUP from now on only set a flag that the main loop
// and every dialog look at, so the program can end in order.
void CatchQuitSignals();
bool QuitSignalled();

// ---------------------------------------------------------------- time

// Milliseconds since start, wrapping at 2^32.
std::uint32_t TimeGetTime();
void Sleep(std::uint32_t ms);
// Waits up to `ms` milliseconds, returning as soon as an input event is
// waiting to be taken (it stays queued).
void WaitForInput(std::uint32_t ms);

using TimerId = std::uint32_t;
// Calls `callback` every `periodMs` milliseconds from a timer thread until
// killed. Returns 0 on failure.
TimerId SetPeriodicTimer(std::uint32_t periodMs, std::function<void()> callback);
// Once it returns, the callback runs no more: one running on another thread
// is waited for (a callback may kill its own timer).
void KillTimer(TimerId id);

struct LocalTime {
    std::uint16_t year = 0;
    std::uint16_t month = 0;     // 1..12
    std::uint16_t dayOfWeek = 0; // 0 Sunday
    std::uint16_t day = 0;
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t milliseconds = 0;
};
LocalTime GetLocalTime();

// ---------------------------------------------------------------- common to both backends

// The runtime's rand: s = s * 214013 + 2531011, result (s >> 16) & 0x7FFF.
void Srand(std::uint32_t seed);
int Rand();

// Text at the platform edge: GBK (code page 936) and Shift-JIS (932) to UTF-8.
std::string GbkToUtf8(std::string_view gbk);
std::string SjisToUtf8(std::string_view sjis);
// UTF-8 to GBK for tools that write game text; nothing when a character has
// no GBK form or the input is not valid UTF-8.
std::optional<std::string> Utf8ToGbk(std::string_view utf8);

struct CpuidRegs {
    std::uint32_t eax = 0, ebx = 0, ecx = 0, edx = 0;
};
// Executes CPUID; nullopt where the processor has no such instruction.
std::optional<CpuidRegs> Cpuid(std::uint32_t leaf);

// Files with Windows path rules: '\' and '/' both separate, and every
// component is matched without regard to ASCII letter case when the exact
// name is missing (data made on Windows differs in case).
std::string CurrentDirectory();
bool ChangeDirectory(const std::string& path);
// The native path of an existing file or folder, nullopt when none matches.
std::optional<std::string> ResolveExisting(std::string_view windowsPath);
// The native path to create or replace a file at: existing folders and file
// are matched without regard to case, a missing last component keeps its name.
std::optional<std::string> ResolveForWrite(std::string_view windowsPath);
enum class PathKind : std::uint8_t { Missing, File, Directory };
PathKind GetPathKind(std::string_view windowsPath);
bool MakeDirectory(std::string_view windowsPath);

// Single-instance guard: an advisory lock on a file in the runtime folder.
// The first holder stays registered; a second caller gets false and the
// holder is asked to raise its window.
class InstanceLock {
public:
    explicit InstanceLock(std::string lockName);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // true when this process now holds the lock.
    bool Acquire();
    // Asks the process that holds the lock to raise its window.
    void SignalHolder();
    // true once after another process signalled this holder.
    static bool TakeRaiseRequest();

private:
    std::string path_;
    int fd_ = -1;
};

} // namespace platform
