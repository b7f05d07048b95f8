// The demo game the end-to-end tests play, written once per test binary into
// build/test/e2e-demo and shared by every test process: CTest runs each test
// in a process of its own, and writing the demo under the sanitizers takes
// a while. A stamp of the test binary tells when it must be written again; a
// file lock keeps parallel processes from writing it twice. Tests copy it or
// only read it.
#pragma once

#include "lib/DemoData.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace e2e {

struct DemoFolderState {
    std::filesystem::path dir;
    std::string error;
};

inline const DemoFolderState& DemoFolder() {
    namespace fs = std::filesystem;
    static const DemoFolderState state = [] {
        DemoFolderState s;
        const fs::path root = fs::path(NORVANE_TEST_BIN_DIR).parent_path();
        s.dir = root / "e2e-demo";
        std::error_code ec;
        const fs::path self = fs::read_symlink("/proc/self/exe", ec);
        std::ostringstream stamp;
        stamp << fs::file_size(self, ec) << ' '
              << fs::last_write_time(self, ec).time_since_epoch().count();
        const int lock = ::open((root / "e2e-demo.lock").c_str(), O_CREAT | O_RDWR, 0644);
        if (lock >= 0) ::flock(lock, LOCK_EX);
        std::ifstream in(s.dir / ".stamp");
        std::string old((std::istreambuf_iterator<char>(in)), {});
        if (old != stamp.str()) {
            fs::remove_all(s.dir, ec);
            if (demo::WriteDemoGame(s.dir, s.error)) std::ofstream(s.dir / ".stamp") << stamp.str();
        }
        if (lock >= 0) {
            ::flock(lock, LOCK_UN);
            ::close(lock);
        }
        return s;
    }();
    return state;
}

} // namespace e2e
