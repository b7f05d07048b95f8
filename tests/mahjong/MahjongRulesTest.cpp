// The mahjong rules pages on the shared viewer: opened from the title they
// go back to it; opened from the match's menu they put the match picture
// back and return to the match.
#include "mahjong/MahjongRulesScreen.h"

#include "frontend/FrontendFixture.h"

using namespace frontend_test;

namespace {

constexpr std::uint32_t kUnder = 0x203040;
constexpr std::uint32_t kMatch = 0x406020;
constexpr std::uint32_t kPage(int n) {
    return 0x500000u + static_cast<std::uint32_t>(n) * 0x1010;
}

class MahjongRulesTest : public FrontendTest {
protected:
    void SetUp() override {
        for (int n = 1; n <= 4; ++n)
            WriteSolid("system/don_m0" + std::to_string(n) + ".bmp", 752, 572,
                       0xFF000000u | kPage(n));
        WriteSolid("system/don_m_p.bmp", 84, 39, 0xFF000000u | 0xF0C040);
        FrontendTest::SetUp();
    }
    void Open(std::uint8_t returnMode, std::uint8_t menuReturn) {
        g_backBuffer->FillRect(0, 0, 800, 600, kUnder);
        g_gameApp->returnMode = returnMode;
        g_scenario->menuReturn = menuReturn;
        g_gameApp->mode = 70;
        g_scenario->skipEffects = 1;
        for (int i = 0; i < 4 && (!g_mahjongRulesScreen || g_mahjongRulesScreen->State != 2); ++i)
            Frame();
        g_scenario->skipEffects = 0;
        ASSERT_EQ(g_mahjongRulesScreen->State, 2);
    }
    void ClickOn(const platform::Rect& r) {
        MoveTo(r.left + 2, r.top + 2);
        Frame();
        Press(platform::MouseButton::Left);
        Frame();
        Release(platform::MouseButton::Left);
    }
};

TEST_F(MahjongRulesTest, FromTheTitleFourPagesThenBackToTheTitle) {
    Open(61, 0);
    EXPECT_EQ(Pixel(10, 5), kUnder);
    EXPECT_EQ(Pixel(30, 20), kPage(1));
    // Four page buttons 25 px apart from x 642, the close button below.
    const auto& rects = g_mahjongRulesScreen->PageRects;
    EXPECT_EQ(rects[3].left, 642 + 75);
    EXPECT_EQ(rects[3].bottom, 39);
    ClickOn(rects[3]);
    EXPECT_EQ(g_mahjongRulesScreen->Page, 3);
    EXPECT_EQ(Pixel(30, 20), kPage(4));
    Press(platform::MouseButton::Right);
    Frame();
    Release(platform::MouseButton::Right);
    Frame();
    EXPECT_EQ(g_gameApp->mode, 61);
}

TEST_F(MahjongRulesTest, FromTheMatchMenuTheMatchPictureComesBackAndTheMatchGoesOn) {
    g_menuSnapshot = std::make_unique<CDib>();
    g_menuSnapshot->Create(platform::WindowHandle::Main, 800, 600, 24);
    g_menuSnapshot->FillRect(0, 0, 800, 600, kMatch);
    Open(64, 1);
    ClickOn(g_mahjongRulesScreen->CloseRect);
    Frame();
    EXPECT_EQ(g_gameApp->mode, 64);
    EXPECT_EQ(g_scenario->menuReturn, 0);
    EXPECT_EQ(Pixel(400, 300), kMatch);
}

} // namespace
