// The CG gallery: which cells show and react by the CG flags on each page,
// the variants of a picture, the placement and dragging of the large view,
// and the extras frame (tabs, back button, right click, room music).
#include "frontend/CgGallery.h"

#include "ExtrasFixture.h"
#include "scenario/CgNames.h"

using namespace frontend_test;

namespace {

constexpr std::uint32_t kBackgrounds[3] = {0x101010, 0x202020, 0x303030};
constexpr std::uint32_t kFrame = 0xF0F000;
constexpr std::uint32_t kVariantA = 0xA00000;
constexpr std::uint32_t kVariantB = 0xB00000;
constexpr std::uint32_t kVariantC = 0xC00000;
constexpr std::uint32_t kSmall = 0x00C0C0;

// Thumbnail of cell i on page p: one colour per cell.
std::uint32_t Thumbnail(int page, int cell) {
    return 0x400000u | static_cast<std::uint32_t>(page) << 8 | static_cast<std::uint32_t>(cell);
}
// The panorama's column x, in its green and blue bytes.
std::uint32_t Column(int x) {
    return static_cast<std::uint32_t>(x);
}

int CellX(int i) {
    return (i % 5) * 156 + 18;
}
int CellY(int i) {
    return (i / 5) * 119 + 121;
}

void See(std::size_t row, std::size_t column) {
    g_config[config::kCgFlags + row * kCgColumns + column] = 1;
}

class CgGalleryTest : public ExtrasTest {
protected:
    void SetUp() override {
        for (int p = 0; p < 3; ++p) {
            const std::string n = std::to_string(p + 1);
            WriteSolid("system/cg_base0" + n + ".bmp", 800, 600, kOpaque | kBackgrounds[p]);
            WriteImage("system/sam_cg0" + n + ".bmp", 710, 424, [p](int x, int y) {
                return kOpaque | Thumbnail(p, (y / 106) * 5 + x / 142);
            });
        }
        WriteSolid("system/extra_p.bmp", 440, 226, kOpaque | 0x0000F0);
        WriteSolid("system/page0-9.bmp", 80, 11, kOpaque);
        WriteSolid("system/cg_waku.bmp", 152, 116, kOpaque | kFrame);
        WriteSolid("bmp/e013a.bmp", 800, 600, kOpaque | kVariantA);
        WriteSolid("bmp/e013b.bmp", 800, 600, kOpaque | kVariantB);
        WriteSolid("bmp/e013c.bmp", 800, 600, kOpaque | kVariantC);
        WriteImage("bmp/e002b.bmp", 1600, 600, [](int x, int) { return kOpaque | Column(x); });
        WriteSolid("bmp/e003a.bmp", 400, 300, kOpaque | kSmall);
        WriteTone("bgm/n004.ogg", 20);
        WriteTone("se/sys_010.ogg", 2);
        WriteTone("se/sys_a002.ogg", 3);
        FrontendTest::SetUp();
        // Row 12 (e013) has its first and third variants seen, rows 1 (a
        // panorama) and 2 (a small picture) theirs, and row 41 sits on page 3.
        // Row 50 names no picture: its flag, as a damaged file may hold it,
        // opens nothing.
        for (auto [row, column] : {std::pair{12, 0}, {12, 2}, {1, 0}, {2, 0}, {41, 0}, {50, 0}})
            See(row, column);
    }
    CCgGallery& Gallery() { return *g_cgGallery; }
    void Open(int cell) {
        ClickAt(CellX(cell) + 20, CellY(cell) + 20);
        SkipUntil([&] { return Gallery().State == 6; });
    }
    void CloseWithRightClick() {
        RightClick();
        SkipUntil([&] { return Gallery().State == 2; });
    }
};

TEST_F(CgGalleryTest, PagesShowAndOfferOnlyTheCellsWhosePicturesWereSeen) {
    Enter(15);
    ASSERT_EQ(Gallery().State, 2);
    EXPECT_EQ(Gallery().SeenCount[12], 2);
    EXPECT_EQ(Gallery().SeenCount[1], 1);
    EXPECT_EQ(Gallery().SeenCount[0], 0);
    EXPECT_EQ(Pixel(CellX(12) + 50, CellY(12) + 50), Thumbnail(0, 12));
    EXPECT_EQ(Pixel(CellX(0) + 50, CellY(0) + 50), kBackgrounds[0]);

    // An unseen cell does not react; a seen one gets the frame around it.
    MoveTo(CellX(0) + 5, CellY(0) + 5);
    Frame();
    EXPECT_EQ(Gallery().HoverCell, 0);
    MoveTo(CellX(12) + 5, CellY(12) + 5);
    Frame();
    EXPECT_EQ(Gallery().HoverCell, 13);
    EXPECT_EQ(Pixel(CellX(12) - 5, CellY(12) - 5), kFrame);
    EXPECT_EQ(Pixel(CellX(12) - 6, CellY(12) - 6), kBackgrounds[0]);
    EXPECT_EQ(Pixel(CellX(12), CellY(12)), Thumbnail(0, 12));
    // Moving off takes the frame away.
    MoveTo(CellX(0) + 5, CellY(0) + 5);
    Frame();
    EXPECT_EQ(Pixel(CellX(12) - 5, CellY(12) - 5), kBackgrounds[0]);

    // The third page: only row 41's cell; row 50's flag names no picture.
    ClickAt(713 + 46 + 5, 30);
    Frame();
    ASSERT_EQ(Gallery().State, 2);
    EXPECT_EQ(Gallery().Page, 2);
    EXPECT_EQ(Gallery().SeenCount[1], 1);
    EXPECT_EQ(Gallery().SeenCount[10], 0);
    EXPECT_EQ(Pixel(CellX(1) + 50, CellY(1) + 50), Thumbnail(2, 1));
    EXPECT_EQ(Pixel(CellX(10) + 50, CellY(10) + 50), kBackgrounds[2]);
    EXPECT_EQ(Pixel(CellX(12) + 50, CellY(12) + 50), kBackgrounds[2]);
    MoveTo(CellX(10) + 5, CellY(10) + 5);
    Frame();
    EXPECT_EQ(Gallery().HoverCell, 0);
    // The page's own button chooses nothing.
    ClickAt(713 + 46 + 5, 30);
    Frame();
    EXPECT_EQ(Gallery().State, 2);
    EXPECT_EQ(Gallery().Page, 2);
}

TEST_F(CgGalleryTest, SeenVariantsFollowInTurnAndEveryPictureOpensAtItsFirst) {
    Enter(15);
    Open(12);
    EXPECT_EQ(Pixel(400, 300), kVariantA);
    EXPECT_EQ(Gallery().Scrollable, 0);
    // b was never seen: a click goes on to c, the next one closes the view.
    ClickAt(400, 300);
    SkipUntil([&] { return Gallery().State == 6; });
    EXPECT_EQ(Pixel(400, 300), kVariantC);
    ClickAt(400, 300);
    SkipUntil([&] { return Gallery().State == 2; });
    EXPECT_EQ(Pixel(CellX(12) + 50, CellY(12) + 50), Thumbnail(0, 12));

    // Closed by a right click after the first variant, the next picture
    // still starts at its own first column: row 1 has only column 0.
    Open(12);
    CloseWithRightClick();
    EXPECT_EQ(g_gameApp->mode, 15); // the right click closed the view only
    Open(1);
    EXPECT_EQ(Gallery().State, 6);
    EXPECT_EQ(Pixel(0, 0), Column(0));
    CloseWithRightClick();
    Open(12);
    EXPECT_EQ(Pixel(400, 300), kVariantA);

    // A picture smaller than the screen stands in the middle on black.
    CloseWithRightClick();
    Open(2);
    EXPECT_EQ(Gallery().ViewDestX, 200);
    EXPECT_EQ(Gallery().ViewDestY, 150);
    EXPECT_EQ(Pixel(199, 149), 0u);
    EXPECT_EQ(Pixel(200, 150), kSmall);
    EXPECT_EQ(Pixel(599, 449), kSmall);
    EXPECT_EQ(Pixel(600, 450), 0u);
}

TEST_F(CgGalleryTest, DraggingScrollsWithinThePictureAndStartsAgainFromTheView) {
    Enter(15);
    Open(1);
    ASSERT_EQ(Gallery().Scrollable, 1);
    EXPECT_EQ(Gallery().ViewWidth, 800);
    EXPECT_EQ(Gallery().ViewDestY, 0);
    struct Move {
        int x, y;
        int srcX; // the view's source column afterwards
    };
    auto drag = [&](int fromX, std::initializer_list<Move> moves) {
        MoveTo(fromX, 300);
        Press(platform::MouseButton::Left);
        Frame();
        for (const Move& m : moves) {
            MoveTo(m.x, m.y);
            Frame();
            EXPECT_EQ(Gallery().ViewSrcX, m.srcX) << m.x;
            EXPECT_EQ(Gallery().ViewSrcY, 0); // 600 high: no vertical scroll
            EXPECT_EQ(Pixel(0, 0), Column(m.srcX));
            EXPECT_EQ(Pixel(799, 599), Column(m.srcX + 799));
        }
        Release(platform::MouseButton::Left);
        Frame();
    };
    // Left shows more of the right; up and down move nothing.
    drag(500, {{200, 300, 300}, {0, 100, 500}, {0, 500, 500}});
    // Past the right edge the view stops at 1600 − 800.
    drag(700, {{0, 300, 800}, {100, 300, 800}});
    // The next drag starts from the view, not from where the mouse went.
    drag(0, {{300, 300, 500}, {799, 300, 1}, {799, 300, 1}});
    drag(700, {{799, 300, 0}});
    CloseWithRightClick();
    EXPECT_EQ(Gallery().State, 2);
}

TEST_F(CgGalleryTest, TranslucentTabsKeepTheirLookWhateverTheHoverRedraws) {
    // Half-opaque tabs: one blend over the background, however often the
    // cells, a tab or the back button are redrawn.
    WriteSolid("system/extra_p.bmp", 440, 226, 0x80000000u | 0x0000F0);
    Enter(15);
    // Alpha 128 weighs the tab and the background by 128/256 each.
    const auto half = [](std::uint32_t c) { return c >> 1 & 0x7F7F7F; };
    const std::uint32_t once = half(0x0000F0) + half(kBackgrounds[0]);
    EXPECT_EQ(Pixel(100, 90), once);
    for (auto [x, y] : {std::pair{CellX(12) + 5, CellY(12) + 5}, {100, 90}, {750, 100}, {5, 5}}) {
        MoveTo(x, y);
        Frame();
    }
    EXPECT_EQ(Gallery().HoverTab, 0);
    EXPECT_EQ(Pixel(20, 90), once);
    EXPECT_EQ(Pixel(100, 90), once);
    EXPECT_EQ(Pixel(200, 90), once);
}

TEST_F(CgGalleryTest, TabsBackButtonAndRightClickLeaveTheRoom) {
    // The room music plays on from a room that started it, letter case aside.
    // The channel that plays on is told by what it holds, a tone of its own
    // length: a channel made anew could sit at the freed one's address.
    screenkit::SetMusicName("N004.OGG");
    WriteTone("bgm/kept.ogg", 7);
    g_bgmChannel = std::make_unique<CBgmChannel>();
    ASSERT_TRUE(g_bgmChannel->Load("kept.ogg"));
    Enter(15);
    EXPECT_EQ(TenthsOf(g_bgmChannel.get()), 7);
    RightClick();
    Frame();
    EXPECT_EQ(g_gameApp->mode, 1);
    EXPECT_EQ(screenkit::Slot(1), nullptr);
    EXPECT_EQ(TenthsOf(g_bgmChannel.get()), 7);

    // After a track with its folder in the name, "n004.ogg" starts again.
    screenkit::SetMusicName("bgm\\n004.ogg");
    Enter(15);
    // A fresh channel holds the room's track.
    ASSERT_NE(g_bgmChannel.get(), nullptr);
    EXPECT_EQ(TenthsOf(g_bgmChannel.get()), 20);
    EXPECT_STREQ(g_scenario->bgmName.get(), "n004.ogg");

    // The music room's tab: its sound, and the room at once.
    ClickAt(180, 90);
    EXPECT_EQ(g_gameApp->mode, 16);
    EXPECT_EQ(TenthsOf(g_seChannels[0].get()), 3);
    EXPECT_EQ(g_gameApp->returnMode, 1);

    // The back button flashes for 300 ms, then the room leaves.
    g_cgGallery.reset();
    Enter(15);
    ClickAt(740, 95);
    EXPECT_EQ(Gallery().State, 8);
    EXPECT_EQ(TenthsOf(g_seChannels[0].get()), 2);
    const std::uint32_t start = Gallery().StartTime;
    AdvanceTo(start + 299);
    Gallery().Run(platform::WindowHandle::Main);
    EXPECT_EQ(Gallery().State, 8);
    AdvanceTo(start + 300);
    Gallery().Run(platform::WindowHandle::Main);
    EXPECT_EQ(Gallery().State, 4);
    Frame();
    EXPECT_EQ(g_gameApp->mode, 1);
}

} // namespace
