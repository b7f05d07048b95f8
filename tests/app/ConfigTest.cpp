#include "app/Config.h"
#include "TestSupport.h"

#include <filesystem>

#include <sys/stat.h>

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
    for (size_t i = 0; i < 18; ++i)
        EXPECT_EQ(g_config[config::kVoiceLevels + i], 50);
    EXPECT_EQ(g_config[config::kAutoSpeed], 50);
    EXPECT_EQ(g_config[config::kReadFlags + 59999], 0);
    EXPECT_EQ(g_config[kConfigSize - 1], 0);
}

TEST_F(ConfigTest, TheDefaultFileHoldsFiftyAtItsLevelBytesAndZeroElsewhere) {
    g_config.fill(0xAB);
    ResetConfig();
    ASSERT_TRUE(SaveConfig());
    const auto bytes = ReadFile("save/Config.dat");
    ASSERT_EQ(bytes.size(), 61943u);
    // Text speed 1, music 4, effects 5, the eighteen voice levels 8..25 and
    // the auto-mode speed 34.
    auto fifty = [](std::size_t i) {
        return i == 1 || i == 4 || i == 5 || (i >= 8 && i <= 25) || i == 34;
    };
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] != (fifty(i) ? 50 : 0) && ++wrong <= 5)
            ADD_FAILURE() << "byte " << i << " is " << int{bytes[i]};
    EXPECT_EQ(wrong, 0u);
}

TEST_F(ConfigTest, EachSettingSitsAtItsByteOfTheFile) {
    // Written at literal offsets, read back through the names the game uses.
    struct Byte {
        std::size_t fileOffset, name;
    };
    const Byte layout[] = {
        {0, config::kFullScreen},
        {1, config::kTextSpeed},
        {2, config::kSkipScope},
        {4, config::kBgmVolume},
        {5, config::kSeVolume},
        {6, config::kVoiceMuteB},
        {7, config::kVoiceMuteA},
        {8, config::kVoiceLevels},
        {25, config::kVoiceLevels + 17},
        {26, config::kScriptByte},
        {27, config::kSkipEffects},
        {28, config::kNoTimedTransitions},
        {29, config::kNoQuake},
        {30, config::kMusicOff},
        {31, config::kSeOff},
        {32, config::kVoiceOff},
        {33, config::kCursorGlide},
        {34, config::kAutoSpeed},
        {35, config::kAutoAtStart},
        {36, config::kSavePage},
        {37, config::kLoadPage},
        {39, config::kMahjongBeaten},
        {47, config::kContestBeaten},
        {53, config::kChoiceFlags},
        {353, config::kSceneSeen},
        {383, config::kScriptFlags},
        {403, config::kCgFlags},
        {1662, config::kCgFlags + 60 * 21 - 1},
        {1663, config::kReadFlags},
        {61662, config::kReadFlags + config::kReadFlagCount - 1},
        {61663, config::kSceneCheckFlags},
        {61942, kConfigSize - 1},
    };
    for (const Byte& b : layout) {
        std::vector<std::uint8_t> bytes(61943, 0);
        bytes[b.fileOffset] = 1;
        WriteFile("save/Config.dat", bytes);
        LoadConfig();
        EXPECT_EQ(g_config[b.name], 1) << "file byte " << b.fileOffset;
    }
}

TEST_F(ConfigTest, RoundTripKeepsEveryByte) {
    ResetConfig();
    g_config[config::kBgmVolume] = 73;
    g_config[config::kReadFlags + 12345] = 1;
    g_config[config::kCgFlags + 21 * 59 + 20] = 1;
    g_config[kConfigSize - 1] = 1;
    g_config[config::kScriptByte] = 200; // not a ranged byte: kept as it is
    ASSERT_TRUE(SaveConfig());
    auto bytes = ReadFile("save/Config.dat");
    ASSERT_EQ(bytes.size(), kConfigSize);
    auto before = g_config;
    ResetConfig();
    LoadConfig();
    EXPECT_EQ(g_config, before);
    EXPECT_FALSE(std::filesystem::exists("save/Config.dat.tmp"));
}

TEST_F(ConfigTest, NeverBlocksOnAFifoUnderTheSettingsName) {
    ASSERT_EQ(::mkfifo("save/Config.dat", 0644), 0);
    g_config.fill(0xAB);
    LoadConfig();
    EXPECT_EQ(g_config[config::kTextSpeed], 50);
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
    EXPECT_EQ(g_config[config::kAutoSpeed], 0);   // from the file
    EXPECT_EQ(g_config[config::kVoiceLevels], 0); // from the file
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

} // namespace
