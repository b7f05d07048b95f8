#include "app/Config.h"
#include "TestSupport.h"

#include <filesystem>

using testing_support::HeadlessTest;
using testing_support::ReadFile;
using testing_support::WriteFile;

namespace {

class ConfigTest : public HeadlessTest {
protected:
    void SetUp() override { std::filesystem::create_directory("save"); }
};

TEST_F(ConfigTest, DefaultsWithoutAFile) {
    g_config.fill(0xAB);
    LoadConfig();
    EXPECT_EQ(g_config[config::kFullScreen], 0);
    EXPECT_EQ(g_config[config::kTextSpeed], 50);
    EXPECT_EQ(g_config[config::kBgmVolume], 50);
    EXPECT_EQ(g_config[config::kSeVolume], 50);
    for (size_t i = 0; i < 18; ++i) EXPECT_EQ(g_config[config::kVoiceLevels + i], 50);
    EXPECT_EQ(g_config[config::kAutoSpeed], 50);
    EXPECT_EQ(g_config[config::kReadFlags + 59999], 0);
    EXPECT_EQ(g_config[kConfigSize - 1], 0);
}

TEST_F(ConfigTest, RoundTripKeepsEveryByte) {
    ResetConfig();
    g_config[config::kBgmVolume] = 73;
    g_config[config::kReadFlags + 12345] = 1;
    g_config[config::kCgFlags + 21 * 59 + 20] = 1;
    g_config[kConfigSize - 1] = 1;
    g_config[config::kScriptByte] = 200;  // not a ranged byte: kept as it is
    ASSERT_TRUE(SaveConfig());
    auto bytes = ReadFile("save/Config.dat");
    ASSERT_EQ(bytes.size(), kConfigSize);
    auto before = g_config;
    ResetConfig();
    LoadConfig();
    EXPECT_EQ(g_config, before);
    EXPECT_FALSE(std::filesystem::exists("save/Config.dat.tmp"));
}

TEST_F(ConfigTest, ShortFileKeepsDefaultsForTheRestAndOutOfRangeBytesAreClamped) {
    std::vector<std::uint8_t> bytes(40, 0);
    bytes[config::kFullScreen] = 7;
    bytes[config::kTextSpeed] = 250;
    bytes[config::kBgmVolume] = 101;
    bytes[config::kSeVolume] = 100;
    bytes[config::kVoiceLevels + 17] = 255;
    bytes[config::kNoQuake] = 2;
    bytes[config::kAutoSpeed] = 0;
    WriteFile("save/Config.dat", bytes);
    LoadConfig();
    EXPECT_EQ(g_config[config::kFullScreen], 1);
    EXPECT_EQ(g_config[config::kTextSpeed], 100);
    EXPECT_EQ(g_config[config::kBgmVolume], 100);
    EXPECT_EQ(g_config[config::kSeVolume], 100);
    EXPECT_EQ(g_config[config::kVoiceLevels + 17], 100);
    EXPECT_EQ(g_config[config::kNoQuake], 1);
    EXPECT_EQ(g_config[config::kAutoSpeed], 0);    // from the file
    EXPECT_EQ(g_config[config::kVoiceLevels], 0);  // from the file
    EXPECT_EQ(g_config[config::kReadFlags], 0);
}

TEST_F(ConfigTest, AFailedSaveLeavesTheOldFileWhole) {
    ResetConfig();
    g_config[config::kBgmVolume] = 11;
    ASSERT_TRUE(SaveConfig());
    // The temporary file cannot be made (a folder stands in its place): the
    // save fails and the old file stays as it was.
    std::filesystem::create_directory("save/Config.dat.tmp");
    g_config[config::kBgmVolume] = 99;
    EXPECT_FALSE(SaveConfig());
    EXPECT_EQ(ReadFile("save/Config.dat")[config::kBgmVolume], 11);
}

TEST_F(ConfigTest, SaveWithoutASaveFolderFailsCleanly) {
    std::filesystem::remove("save");
    EXPECT_FALSE(SaveConfig());
}

TEST_F(ConfigTest, CaseOfTheSaveFolderDoesNotMatter) {
    std::filesystem::remove("save");
    std::filesystem::create_directory("SAVE");
    ResetConfig();
    g_config[config::kBgmVolume] = 42;
    ASSERT_TRUE(SaveConfig());
    EXPECT_TRUE(std::filesystem::exists("SAVE/Config.dat"));
    ResetConfig();
    LoadConfig();
    EXPECT_EQ(g_config[config::kBgmVolume], 42);
}

}  // namespace
