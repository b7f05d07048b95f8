// Started twice by the single-instance test. The first copy holds the lock and
// waits until a later copy asks it to raise its window; a later copy signals
// and exits 0 at once.
#include "app/Shell.h"
#include "platform/Platform.h"

#include <chrono>
#include <cstdio>
#include <thread>

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    if (!EnsureSingleInstance(argv[1])) {
        std::puts("second");
        return 0;
    }
    std::puts("first");
    std::fflush(stdout);
    for (int i = 0; i < 1000; ++i) {
        if (platform::InstanceLock::TakeRaiseRequest()) {
            std::puts("raised");
            return 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::puts("timeout");
    return 1;
}
