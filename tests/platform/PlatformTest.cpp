#include "TestSupport.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

using namespace platform;
using testing_support::HeadlessTest;
using testing_support::WriteFile;

namespace {

TEST(RandTest, FollowsTheRuntimeRecurrence) {
    Srand(0);
    // s = s * 214013 + 2531011; result (s >> 16) & 0x7FFF, worked by hand from 0.
    EXPECT_EQ(Rand(), 38);
    EXPECT_EQ(Rand(), 7719);
    EXPECT_EQ(Rand(), 21238);
    Srand(1);
    EXPECT_EQ(Rand(), 41);
    EXPECT_EQ(Rand(), 18467);
}

TEST(TextTest, GbkAndShiftJisBecomeUtf8AndDamageIsVisible) {
    EXPECT_EQ(GbkToUtf8("\xD2\xAA\xCD\xCB\xB3\xF6"), "\xE8\xA6\x81\xE9\x80\x80\xE5\x87\xBA");  // 要退出
    EXPECT_EQ(GbkToUtf8("Norvane"), "Norvane");
    EXPECT_EQ(SjisToUtf8("\x82\xA0"), "\xE3\x81\x82");  // あ
    // A lead byte cut off at the end still gives a string.
    EXPECT_EQ(GbkToUtf8("A\xD2"), "A\xEF\xBF\xBD");
}

class FilesTest : public HeadlessTest {};

TEST_F(FilesTest, EveryComponentIsMatchedWithoutRegardToCase) {
    WriteFile("Data/BMP/Title.Bmp", {1, 2, 3});
    const std::string cwd = CurrentDirectory();
    auto p = ResolveExisting(cwd + "\\data\\bmp\\TITLE.BMP");
    ASSERT_TRUE(p);
    EXPECT_EQ(*p, cwd + "/Data/BMP/Title.Bmp");
    EXPECT_TRUE(ResolveExisting("data/Bmp/title.bmp"));  // relative, forward slashes
    EXPECT_FALSE(ResolveExisting(cwd + "\\data\\bmp\\missing.bmp"));
    EXPECT_FALSE(ResolveExisting(""));
    EXPECT_EQ(GetPathKind(cwd + "\\DATA"), PathKind::Directory);
    EXPECT_EQ(GetPathKind(cwd + "\\data\\bmp\\title.bmp"), PathKind::File);
    EXPECT_EQ(GetPathKind(cwd + "\\nothing"), PathKind::Missing);
}

TEST_F(FilesTest, AnExactNameWinsAndWritesKeepExistingCase) {
    WriteFile("a/X.txt", {1});
    WriteFile("a/x.txt", {2});
    EXPECT_EQ(*ResolveExisting("a\\x.txt"), "a/x.txt");
    EXPECT_EQ(*ResolveExisting("a\\X.txt"), "a/X.txt");
    EXPECT_EQ(*ResolveExisting("A\\X.TXT"), "a/X.txt");  // the smallest name among the matches
    EXPECT_EQ(*ResolveForWrite("A\\new.txt"), "a/new.txt");
    EXPECT_FALSE(ResolveForWrite("missing\\new.txt"));
    EXPECT_TRUE(MakeDirectory("A\\Sub"));
    EXPECT_TRUE(std::filesystem::is_directory("a/Sub"));
}

TEST(InstanceTest, ASecondProcessRaisesTheFirstAndExitsAtOnce) {
    testing_support::TempDir dir;
    const std::string probe = std::string(NORVANE_TEST_BIN_DIR) + "/instance_probe";
    const std::string lock = (dir.path() / "probe.lock").string();
    FILE* first = ::popen((probe + " " + lock).c_str(), "r");
    ASSERT_NE(first, nullptr);
    std::array<char, 64> line{};
    ASSERT_NE(std::fgets(line.data(), line.size(), first), nullptr);
    EXPECT_EQ(std::string(line.data()), "first\n");

    FILE* second = ::popen((probe + " " + lock).c_str(), "r");
    ASSERT_NE(second, nullptr);
    ASSERT_NE(std::fgets(line.data(), line.size(), second), nullptr);
    EXPECT_EQ(std::string(line.data()), "second\n");
    EXPECT_EQ(::pclose(second), 0);

    ASSERT_NE(std::fgets(line.data(), line.size(), first), nullptr);
    EXPECT_EQ(std::string(line.data()), "raised\n");
    EXPECT_EQ(::pclose(first), 0);
}

}  // namespace
