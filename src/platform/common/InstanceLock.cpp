#include "platform/Platform.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <string>

namespace platform {
namespace {

std::atomic<bool> g_raiseRequested{false};

extern "C" void OnRaiseSignal(int) { g_raiseRequested.store(true); }

std::string RuntimeDir() {
    // The runtime folder is where per-user locks belong; /tmp when there is none.
    const char* xdg = std::getenv("XDG_RUNTIME_DIR");
    if (xdg && *xdg) return xdg;
    return "/tmp";
}

}  // namespace

InstanceLock::InstanceLock(std::string lockName)
    : path_(lockName.find('/') != std::string::npos ? std::move(lockName)
                                                     : RuntimeDir() + "/" + lockName) {}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) {
        ::flock(fd_, LOCK_UN);
        ::close(fd_);
    }
}

bool InstanceLock::Acquire() {
    if (fd_ >= 0) return true;
    int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return true;  // no lock file possible: do not keep the player out
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    struct sigaction sa {};
    sa.sa_handler = OnRaiseSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGUSR1, &sa, nullptr);
    std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd_, 0) == 0) {
        [[maybe_unused]] ssize_t w = ::pwrite(fd_, pid.data(), pid.size(), 0);
    }
    return true;
}

void InstanceLock::SignalHolder() {
    int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    char buf[32] = {};
    ssize_t n = ::pread(fd, buf, sizeof buf - 1, 0);
    ::close(fd);
    if (n <= 0) return;
    long pid = std::strtol(buf, nullptr, 10);
    if (pid > 0) ::kill(static_cast<pid_t>(pid), SIGUSR1);
}

bool InstanceLock::TakeRaiseRequest() { return g_raiseRequested.exchange(false); }

}  // namespace platform
