// The wallpaper room: cells offered by the guest pictures' CG flags, the
// chosen sample and its view, leaving, and the export: the bitmap file it
// writes, and failures that write nothing and say so in the window.
#include "frontend/WallpaperRoom.h"

#include "ExtrasFixture.h"
#include "frontend/WallpaperExport.h"
#include "scenario/CgNames.h"

#include <cstring>

using namespace frontend_test;
namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kBase = 0x102010;
constexpr std::uint32_t kFrame = 0xF0F000;
constexpr std::uint32_t kBackLit = 0x00F0F0;
constexpr std::uint32_t kPreviewLit = 0xF000F0;
constexpr std::uint32_t kSizeLit = 0x0000F0;

std::uint32_t Label(int n) {
    return 0x500000u | static_cast<std::uint32_t>(n);
}
std::uint32_t Sample(int cell) {
    return 0x600000u | static_cast<std::uint32_t>(cell);
}
std::uint32_t Thumb(int cell) {
    return 0x700000u | static_cast<std::uint32_t>(cell);
}
// A picture whose pixels differ everywhere, alpha included.
std::uint32_t Pattern(int x, int y) {
    return static_cast<std::uint32_t>(x * 7919 + y * 104729) | 0x80000000u;
}

// The room's sheet: the cell frame, the back button's and the preview's lit
// looks, the lit sizes and the name labels, each in a colour of its own.
std::uint32_t Sheet(int x, int y) {
    if (x < 144 && y < 108) return kOpaque | kFrame;
    if (x < 334 && y < 108) return kOpaque | kBackLit;
    if (x < 334) return kOpaque | kPreviewLit;
    if (y < 132) return kOpaque | kSizeLit;
    return kOpaque | Label((y - 102) / 30);
}

// The "…内にＷａｌｌＰａｐｅｒフォルダーが…" notice follows the folder.
const char kNoticeStart[] = "\xC4\xDA\xA4\xCB\xA3\xD7\xA3\xE1\xA3\xEC\xA3\xEC";

class WallpaperRoomTest : public ExtrasTest {
protected:
    void SetUp() override {
        WriteSolid("system/wall_base.bmp", 800, 600, kOpaque | kBase);
        WriteImage("system/wall_p.bmp", 662, 432, Sheet);
        WriteImage("system/wall_sam_b.bmp", 1650, 496,
                   [](int x, int y) { return kOpaque | Sample((y / 248) * 5 + x / 330); });
        WriteImage("system/wall_sam_l.bmp", 700, 208,
                   [](int x, int y) { return kOpaque | Thumb((y / 104) * 5 + x / 140); });
        WriteSolid("system/cg_waku.bmp", 152, 116, kOpaque);
        WriteImage("bmp/guest001.bmp", 800, 600, Pattern);
        WriteImage("bmp/guest001a.bmp", 1024, 768, Pattern);
        WriteTone("bgm/n004.ogg", 20);
        WriteTone("se/sys_010.ogg", 2);
        FrontendTest::SetUp();
    }
    CWallpaperRoom& Room() { return *g_wallpaperRoom; }
    static void SeeGuest(int n) { g_config[config::kCgFlags + (33 + n) * kCgColumns] = 1; }
    // Cell 0 chosen, ready to export.
    void EnterWithFirstChosen() {
        SeeGuest(1);
        Enter(72);
        ClickAt(30, 100);
        ASSERT_EQ(Room().SelectedCell, 1);
    }
    void ClickSize(int k) { ClickAt(500, 394 + 43 * k + 10); }
};

TEST_F(WallpaperRoomTest, CellsWaitForTheirGuestPictureThenShowTheChosenSample) {
    Enter(72);
    EXPECT_EQ(Pixel(30, 100), kBase);
    ClickAt(30, 100);
    EXPECT_EQ(Room().Selected, 0);
    ClickSize(1);
    EXPECT_FALSE(fs::exists("wallpaper"));
    EXPECT_TRUE(hl::Questions().empty());

    // Any seen variant of guest 7 makes cell 6 available.
    g_config[config::kCgFlags + 40 * kCgColumns + 3] = 1;
    g_wallpaperRoom.reset();
    Enter(72);
    EXPECT_EQ(Room().Available[6], 1);
    EXPECT_EQ(Room().Available[0], 0);
    const platform::Rect cell = Room().CellRects[6];
    EXPECT_EQ(Pixel(cell.left + 1, cell.top + 1), Thumb(6));
    EXPECT_EQ(Pixel(cell.left, cell.top), kBase);
    MoveTo(cell.left + 10, cell.top + 10);
    Frame();
    EXPECT_EQ(Room().HoverCell, 7);
    EXPECT_EQ(Pixel(cell.left - 1, cell.top - 1), kFrame);
    // Sizes light up only once a wallpaper is chosen.
    MoveTo(500, 404);
    Frame();
    EXPECT_EQ(Pixel(406, 394), kBase);
    EXPECT_EQ(Pixel(cell.left - 1, cell.top - 1), kBase);
    ClickAt(cell.left + 10, cell.top + 10);
    EXPECT_EQ(Room().Selected, 1);
    EXPECT_EQ(Room().SelectedCell, 7);
    for (const CDib* d : {g_backBuffer.get(), screenkit::Slot(1)}) {
        EXPECT_EQ(PixelOf(d, 19, 325), Sample(6));
        EXPECT_EQ(PixelOf(d, 348, 572), Sample(6));
        EXPECT_EQ(PixelOf(d, 380, 340), Label(7));
    }
    MoveTo(500, 404);
    Frame();
    EXPECT_EQ(Pixel(406, 394), kSizeLit);

    // The preview opens the 800x600 picture and any click comes back.
    WriteImage("bmp/guest007.bmp", 800, 600, Pattern);
    ClickAt(100, 400);
    SkipUntil([&] { return Room().State == 6; });
    EXPECT_EQ(g_backBuffer->GetPixel(5, 9) & 0xFFFFFF, Pattern(5, 9) & 0xFFFFFF);
    ClickAt(100, 400);
    SkipUntil([&] { return Room().State == 2; });
    EXPECT_EQ(Pixel(380, 340), Label(7));
    EXPECT_EQ(Pixel(17, 323), kPreviewLit); // the mouse still stands on it
}

TEST_F(WallpaperRoomTest, LeavingStopsTheMusicAndGoesBack) {
    for (const bool byButton : {true, false}) {
        SCOPED_TRACE(byButton);
        g_wallpaperRoom.reset();
        Enter(72);
        ASSERT_NE(g_bgmChannel, nullptr);
        if (byButton) {
            ClickAt(730, 570); // leaves at once
        } else {
            RightClick();
            Frame();
        }
        EXPECT_EQ(g_gameApp->mode, 1);
        EXPECT_EQ(g_bgmChannel, nullptr);
        EXPECT_EQ(g_scenario->bgmName, nullptr);
        EXPECT_EQ(screenkit::Slot(1), nullptr);
        EXPECT_NE(screenkit::Slot(0), nullptr);
    }
}

TEST_F(WallpaperRoomTest, ExportWritesA32BitBitmapThatLoadsBackEqual) {
    EnterWithFirstChosen();
    ClickSize(1);
    EXPECT_EQ(Room().SizeIndex, 0);
    const fs::path file = "wallpaper/1024x768guest001.bmp";
    const std::vector<std::uint8_t> bytes = testing_support::ReadFile(file);
    ASSERT_EQ(bytes.size(), 1024u * 768 * 4 + 54);
    CDib exported, source;
    ASSERT_TRUE(exported.LoadFile(platform::WindowHandle::Main, file.c_str()));
    ASSERT_TRUE(source.LoadFile(platform::WindowHandle::Main, "bmp/guest001a.bmp"));
    ASSERT_EQ(exported.GetWidth(), 1024);
    ASSERT_EQ(exported.GetHeight(), 768);
    EXPECT_EQ(std::memcmp(exported.GetBits(), source.GetBits(), 1024u * 768 * 4), 0);
    EXPECT_EQ(exported.GetPixel(1023, 767), Pattern(1023, 767));
    // Then the notice, in the window, naming the folder it went under.
    ASSERT_EQ(hl::Questions().size(), 1u);
    const hl::Question& q = hl::Questions()[0];
    EXPECT_FALSE(q.okCancel);
    EXPECT_EQ(q.gbkCaption, "");
    EXPECT_EQ(q.gbkText.substr(0, q.gbkText.find(kNoticeStart)), fs::current_path().string());
    EXPECT_FALSE(fs::exists("wallpaper/1024x768guest001.bmp.tmp"));

    // The same size again replaces the file with the picture as it is now.
    WriteImage("bmp/guest001a.bmp", 1024, 768, [](int, int) { return 0xFF123456u; });
    ClickSize(1);
    ASSERT_TRUE(exported.LoadFile(platform::WindowHandle::Main, file.c_str()));
    EXPECT_EQ(exported.GetPixel(0, 0), 0xFF123456u);
    EXPECT_EQ(hl::Questions().size(), 2u);
}

TEST_F(WallpaperRoomTest, TwoByTwoImageIsSeventyBytesWithTheLowerRowFirst) {
    CDib image;
    image.Create(platform::WindowHandle::Main, 2, 2, 24);
    image.SetPixel(0, 0, 0x11223344);
    image.SetPixel(1, 0, 0x55667788);
    image.SetPixel(0, 1, 0x99AABBCC);
    image.SetPixel(1, 1, 0xDDEEFF00);
    const std::vector<std::uint8_t> b = frontend::EncodeBmp32(image);
    ASSERT_EQ(b.size(), 70u);
    const std::vector<std::uint8_t> header{'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  40,
                                           0,   0,   0,  2, 0, 0, 0, 2, 0, 0, 0,  1, 0, 32, 0};
    EXPECT_EQ(std::vector<std::uint8_t>(b.begin(), b.begin() + 30), header);
    EXPECT_EQ(std::vector<std::uint8_t>(b.begin() + 30, b.begin() + 54),
              std::vector<std::uint8_t>(24, 0));
    const std::vector<std::uint8_t> pixels{0xCC, 0xBB, 0xAA, 0x99, 0x00, 0xFF, 0xEE, 0xDD,
                                           0x44, 0x33, 0x22, 0x11, 0x88, 0x77, 0x66, 0x55};
    EXPECT_EQ(std::vector<std::uint8_t>(b.begin() + 54, b.end()), pixels);
}

TEST_F(WallpaperRoomTest, FailedExportsWriteNothingAndSayWhy) {
    using frontend::ExportResult;
    // An earlier export the failures must leave as it is.
    fs::create_directories("wallpaper");
    testing_support::WriteFile("wallpaper/800x600guest001.bmp", {1, 2, 3});
    struct Case {
        const char* name;
        int row;
        std::function<void()> prepare;
        WriteFault fault;
        ExportResult expected;
        const char* text; // the start of what the window says
    };
    const Case cases[] = {
        {"picture missing",
         2,
         {},
         {},
         ExportResult::PictureMissing,
         "\xCE\xDE\xB7\xA8\xB6\xC1\xC8\xA1"}, // 无法读取
        {"write fails",
         1,
         {},
         [](WriteStep s) { return s == WriteStep::Write; },
         ExportResult::WriteFailed,
         "\xCE\xDE\xB7\xA8\xD0\xB4\xC8\xEB"}, // 无法写入
        {"rename fails",
         1,
         {},
         [](WriteStep s) { return s == WriteStep::Rename; },
         ExportResult::WriteFailed,
         "\xCE\xDE\xB7\xA8\xD0\xB4\xC8\xEB"},
        {"folder is a file",
         1,
         [] {
             fs::rename("wallpaper", "kept");
             testing_support::WriteFile("wallpaper", {7});
         },
         {},
         ExportResult::FolderFailed,
         "\xCE\xDE\xB7\xA8\xB4\xB4\xBD\xA8"}, // 无法创建
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.prepare) c.prepare();
        const std::size_t asked = hl::Questions().size();
        EXPECT_EQ(frontend::ExportWallpaper(c.row, 0, c.fault), c.expected);
        ASSERT_EQ(hl::Questions().size(), asked + 1);
        EXPECT_EQ(hl::Questions().back().gbkText.rfind(c.text, 0), 0u);
        EXPECT_EQ(hl::Questions().back().icon, platform::BoxIcon::Error);
    }
    EXPECT_EQ(testing_support::ReadFile("kept/800x600guest001.bmp"),
              (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(std::distance(fs::directory_iterator("kept"), fs::directory_iterator{}), 1);
    EXPECT_EQ(testing_support::ReadFile("wallpaper"), (std::vector<std::uint8_t>{7}));
}

TEST_F(WallpaperRoomTest, FolderTreeIsMadeLevelByLevelAndRefusedOverAFile) {
    EXPECT_TRUE(frontend::CreateFolderTreeEx(""));
    EXPECT_TRUE(frontend::CreateFolderTreeEx("a\\b/c"));
    EXPECT_TRUE(fs::is_directory("a/b/c"));
    EXPECT_TRUE(frontend::CreateFolderTreeEx(fs::current_path().string() + "\\a\\d"));
    EXPECT_TRUE(fs::is_directory("a/d"));
    testing_support::WriteFile("a/file", {1});
    EXPECT_FALSE(frontend::CreateFolderTreeEx("a\\file\\e"));
    EXPECT_FALSE(frontend::CreateFolderTreeEx("a\\file"));
}

} // namespace
