// Test control of the headless backend: a virtual clock that only sleeps and
// the test move, scripted events and message-box answers, and captured frames.
#pragma once

#include "platform/Platform.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform::headless {

// Back to a fresh machine: clock at 0, no events, no answers, no frames, no
// timers, windowed, key state cleared.
void Reset();

// Moves the virtual clock and fires every periodic timer that falls due, in
// time order, on the calling thread.
void AdvanceClock(std::uint32_t ms);

void PushEvent(const Event& e);
void PushKey(Key key, bool down);
void PushButton(MouseButton button, bool down, int x, int y);
void PushMouseMove(int x, int y);
void PushWheel(int delta);
bool HasPendingEvents();

// A quit signal (SIGTERM, SIGINT, SIGHUP) raised for real when the event
// queue reaches it, by the game's loop or by a dialog taking input.
void PushSignal(int signal);

// Every dialog shown, in order (for a text entry, gbkText is its prompt).
struct Question {
    std::string gbkText;
    std::string gbkCaption;
    BoxIcon icon = BoxIcon::None;
    bool okCancel = false;
    bool textEntry = false;
    std::string gbkInitial;
    std::size_t byteLimit = 0;
};
// Answers for the next questions, in order; an unanswered question gets Cancel.
void QueueAnswer(BoxAnswer answer);
// Answers for the next text entries: the GBK text, or nothing for Cancel.
void QueueText(std::optional<std::string> gbk);
const std::vector<Question>& Questions();

// How dialogs are answered. Answers: from the queues above (the default).
// AnswersDrawn: the same, and each dialog's first picture is drawn too.
// Events: each dialog runs as in the game on the event queue (keys, mouse,
// text, signals) and draws every picture; it gets Cancel when the queue runs
// dry before an answer.
enum class DialogMode : std::uint8_t { Answers, AnswersDrawn, Events };
void SetDialogMode(DialogMode mode);
// The last picture a dialog showed (empty before any) and how many it showed.
const std::vector<std::uint32_t>& DialogPicture();
std::uint64_t DialogPictureCount();
// The text field's state at the last picture a dialog showed: input method
// windows follow it.
bool TextInputOn();

// Every Sleep call's length, in order.
const std::vector<std::uint32_t>& Sleeps();
void ClearSleeps();
// Every WaitForInput that waited (no event was queued), and for how long.
const std::vector<std::uint32_t>& InputWaits();

// Calls of Present (one per paint, changed or not) and the picture the
// window shows: each call takes over only the rectangle it was told changed.
std::uint64_t PresentCount();
const std::vector<std::uint32_t>& LastFrame();
// Presents that changed the window, and the rectangle the newest call
// uploaded (empty when it changed nothing).
std::uint64_t ShownCount();
Rect LastChangedRect();

bool WindowOpen();
const std::string& WindowTitle();
int CursorX();
int CursorY();
int RaiseCount();

// Sound: OpenAudioDevice fails while unavailable (a machine without sound).
void SetAudioAvailable(bool available);
// Recording mode: play cursors stand still on the clock and move only as
// MixAudio mixes; off (the default) they follow the virtual clock.
void SetAudioRecording(bool on);
// Mixes `frames` stereo frames of every open device (interleaved), letting the
// buffers' worker threads catch up at each notification.
std::vector<std::int16_t> MixAudio(std::uint32_t frames);
// Waits until every worker has taken the notifications signalled so far.
void WaitAudioIdle();

}  // namespace platform::headless
