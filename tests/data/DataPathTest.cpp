#include "data/DataPath.h"
#include "TestSupport.h"

#include <string>
#include <utility>
#include <vector>

namespace {

std::string Stripped(std::string path) {
    StripLastPathPart(path);
    return path;
}

class DataPathTest : public testing_support::HeadlessTest {
protected:
    void SetUp() override { g_baseDir.clear(); }
    void TearDown() override { g_baseDir.clear(); }
};

TEST(StripLastPathPart, EveryRuleOfTheTable) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", ""},
        // A trailing separator: the part before it goes, up to a root.
        {"C:\\A\\B\\", "C:\\A\\"},
        {"C:\\A\\", "C:\\"},
        {"C:\\", "C:\\"},
        {"C:/A/B/", "C:/A/"},
        // A file name goes, its separator stays.
        {"C:\\A\\B\\C.BMP", "C:\\A\\B\\"},
        {"C:\\A\\B.dat", "C:\\A\\"},
        {"C:\\A/B.dat", "C:\\A/"},
        // No separator at all: one is appended.
        {"A", "A\\"},
        {"C:", "C:\\"},
        // The \\server\ prefix is never cut.
        {"\\\\", "\\\\"},
        {"\\\\server", "\\\\server\\"},
        {"\\\\server\\", "\\\\server\\"},
        {"\\\\server\\share\\", "\\\\server\\share\\"},
        {"\\\\server\\share", "\\\\server\\share\\"},
        {"\\\\server\\share\\dir\\", "\\\\server\\share\\"},
        {"\\\\server\\share\\a.bmp", "\\\\server\\share\\"},
        // Keys on this system start at the file system's root.
        {"\\tmp\\game\\bmp\\a.bmp", "\\tmp\\game\\bmp\\"},
        {"\\tmp\\game\\", "\\tmp\\"},
        {"\\tmp\\", "\\"},
        {"\\", "\\"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(Stripped(in), out) << "input \"" << in << "\"";
}

TEST(StripLastPathPart, TrailBytesAreNeverSeparators) {
    // 0x95 0x5C is one double-byte character whose second byte is '\'.
    EXPECT_EQ(Stripped("C:\\A\\\x95\\"), "C:\\A\\");
    EXPECT_EQ(Stripped("C:\\A\\\x95\\\\"), "C:\\A\\");
    EXPECT_EQ(Stripped("C:\\A\\\x95\\B"), "C:\\A\\");
    EXPECT_EQ(Stripped("C:\\\x95\\B\\"), "C:\\");
    EXPECT_EQ(Stripped("\x95\\"), "\x95\\\\");
    // In the \\server prefix too.
    EXPECT_EQ(Stripped("\\\\s\x95\\x\\share\\a"), "\\\\s\x95\\x\\share\\");
}

TEST(StripLastPathPart, ALeadByteWithoutTrailCountsAsTheLastSeparator) {
    EXPECT_EQ(Stripped("C:\\A\\B\x81"), "C:\\A\\");
    EXPECT_EQ(Stripped("AB\x81"), "AB\x81");
    EXPECT_EQ(Stripped("\\\\ser\x81"), "\\\\ser\x81");
}

TEST(StripLastPathPart, TheTextEndsAtAZeroByte) {
    EXPECT_EQ(Stripped(std::string("C:\\A\\B\0\\C\\", 10)), "C:\\A\\");
    EXPECT_EQ(Stripped(std::string("\0C:\\", 4)), "");
}

TEST_F(DataPathTest, SetBaseDirAddsOneBackslash) {
    SetBaseDir("C:\\game");
    EXPECT_EQ(g_baseDir, "C:\\game\\");
    SetBaseDir("C:\\game\\");
    EXPECT_EQ(g_baseDir, "C:\\game\\");
    SetBaseDir("/home/me/game/");
    EXPECT_EQ(g_baseDir, "/home/me/game/");
    SetBaseDir(""); // changes nothing
    EXPECT_EQ(g_baseDir, "/home/me/game/");
}

TEST_F(DataPathTest, SetBaseDirTakesTheFolderOfAQuotedProgramPath) {
    SetBaseDir("\"C:\\Program Files\\game\\run.exe\"");
    EXPECT_EQ(g_baseDir, "C:\\Program Files\\game\\");
    // Without a '.' the quote goes and a backslash is added.
    SetBaseDir("\"C:\\game");
    EXPECT_EQ(g_baseDir, "C:\\game\\");
}

TEST_F(DataPathTest, GetBaseDirStartsFromTheCurrentDirectory) {
    const std::string cwd = platform::CurrentDirectory();
    EXPECT_EQ(GetBaseDir(), cwd + "\\");
    SetBaseDir("C:\\x");
    EXPECT_EQ(GetBaseDir(), "C:\\x\\");
}

TEST_F(DataPathTest, MakeFullPathJoinsAndLowerCases) {
    SetBaseDir("C:\\Game\\BMP\\");
    EXPECT_EQ(MakeFullPath("A.BMP"), "c:\\game\\bmp\\a.bmp");
    EXPECT_EQ(MakeFullPath("Sub/X.Bmp"), "c:\\game\\bmp\\sub\\x.bmp");
    // Leading .\ and ..\ in any order and number.
    EXPECT_EQ(MakeFullPath("..\\chara\\b.bmp"), "c:\\game\\chara\\b.bmp");
    EXPECT_EQ(MakeFullPath("../.././x.dat"), "c:\\x.dat");
    EXPECT_EQ(MakeFullPath(".\\./..\\se\\a.ogg"), "c:\\game\\se\\a.ogg");
    // Only leading ones are worked off.
    EXPECT_EQ(MakeFullPath("a\\..\\b"), "c:\\game\\bmp\\a\\..\\b");
}

TEST_F(DataPathTest, MakeFullPathKeepsFullNamesAndTrailBytes) {
    SetBaseDir("C:\\Game\\");
    EXPECT_EQ(MakeFullPath("D:\\Other\\A.BMP"), "d:\\other\\a.bmp");
    EXPECT_EQ(MakeFullPath("\\\\Server\\Share\\A"), "\\\\server\\share\\a");
    EXPECT_EQ(MakeFullPath("/Home/Me/A.bmp"), "\\home\\me\\a.bmp");
    // 0x82 0x41 is one character: its 'A' trail byte is not lower-cased, and
    // a '/' trail byte is not turned into '\'.
    EXPECT_EQ(MakeFullPath("\x82"
                           "A\x82/B"),
              "c:\\game\\\x82"
              "A\x82/b");
    EXPECT_EQ(MakeFullPath("\xE0"
                           "ZZ"),
              "c:\\game\\\xE0"
              "Zz");
}

TEST_F(DataPathTest, MakeFullPathOnANativeBase) {
    // The data folders come from the current directory: a native path with a
    // Windows sub-folder after it.
    SetBaseDir("/tmp/Game\\BMP\\");
    EXPECT_EQ(MakeFullPath("A.bmp"), "\\tmp\\game\\bmp\\a.bmp");
    EXPECT_EQ(MakeFullPath("..\\voice\\v.ogg"), "\\tmp\\game\\voice\\v.ogg");
}

TEST(PathNames, FileNameExtensionAndTitle) {
    EXPECT_EQ(PathFileName("C:\\a\\b.c.bmp"), "b.c.bmp");
    EXPECT_EQ(PathFileName("a/b"), "b");
    EXPECT_EQ(PathFileName("plain"), "plain");
    EXPECT_EQ(PathFileName(""), "");
    EXPECT_EQ(PathFileName("dir\\"), "");
    EXPECT_EQ(PathFileName("d\\\x95\\x"), "\x95\\x"); // the trail byte is no separator

    EXPECT_EQ(PathExtension("C:\\a.b\\c.BMP"), "BMP");
    EXPECT_EQ(PathExtension("C:\\a.b\\c"), "");
    EXPECT_EQ(PathExtension("x.tar.gz"), "gz");
    EXPECT_EQ(PathExtension("x."), "");

    EXPECT_EQ(PathFileTitle("C:\\a.b\\c.d.BMP"), "c.d");
    EXPECT_EQ(PathFileTitle("C:\\a.b\\c"), "c");
    EXPECT_EQ(PathFileTitle(".hidden"), "");
}

TEST(PathNames, StrToLowerSjisSkipsTrailBytes) {
    std::string text = "ABC\x88Zxy\xE0QRz[@";
    StrToLowerSjis(text);
    EXPECT_EQ(text, "abc\x88Zxy\xE0Qrz[@");
    std::string lastLead = "AB\x81";
    StrToLowerSjis(lastLead);
    EXPECT_EQ(lastLead, "ab\x81");
}

} // namespace
