// A logout, `kill` or Ctrl+C must end the game as the close question answered
// OK does (settings written, sounds stopped), never in the middle of a frame
// or a dialog: the handler only sets a flag, which is all a signal handler
// may safely do, and the loops look at it.
#include "platform/common/QuitSignals.h"

#include "platform/Platform.h"

#include <array>
#include <atomic>
#include <csignal>

namespace platform {
namespace {

std::atomic<bool> g_signalled{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from a signal handler");

constexpr std::array<int, 3> kQuitSignals{SIGTERM, SIGINT, SIGHUP};

extern "C" void OnQuitSignal(int) {
    g_signalled.store(true);
}

void SetAll(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    // Interrupted reads and sleeps resume; the loops notice the flag within
    // their next pass.
    action.sa_flags = SA_RESTART;
    for (int sig : kQuitSignals)
        sigaction(sig, &action, nullptr);
}

} // namespace

void CatchQuitSignals() {
    SetAll(&OnQuitSignal);
}

bool QuitSignalled() {
    return g_signalled.load();
}

namespace quit_signals {

void Restore() {
    SetAll(SIG_DFL);
    g_signalled.store(false);
}

} // namespace quit_signals
} // namespace platform
