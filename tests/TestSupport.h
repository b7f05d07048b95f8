// Shared test fixtures: a fresh headless machine in a temporary game folder.
#pragma once

#include "data/DataPath.h"
#include "platform/Platform.h"
#include "platform/headless/Headless.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace testing_support {

// Makes a temporary folder, changes into it for the test, and removes it after.
class TempDir {
public:
    TempDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "norvane-test-XXXXXX").string();
        std::vector<char> buf(tmpl.begin(), tmpl.end());
        buf.push_back('\0');
        path_ = ::mkdtemp(buf.data());
        old_ = std::filesystem::current_path();
        std::filesystem::current_path(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::current_path(old_, ec);
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    std::filesystem::path old_;
};

inline void WriteFile(const std::filesystem::path& p, const std::vector<std::uint8_t>& bytes) {
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
    std::ofstream f(p, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<std::uint8_t> ReadFile(const std::filesystem::path& p) {
    std::ifstream f(p, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(f), {});
}

// A headless machine in a temporary current directory.
class HeadlessTest : public ::testing::Test {
protected:
    // The base folder of data lookups is process-wide: each test starts from
    // its own temporary folder, not from the folder of the test before.
    HeadlessTest() {
        platform::headless::Reset();
        g_baseDir.clear();
    }
    ~HeadlessTest() override {
        platform::headless::Reset();
        g_baseDir.clear();
    }
    TempDir dir_;
};

}  // namespace testing_support
