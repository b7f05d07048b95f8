// The match's menu (mode 54) on the virtual clock, over a match picture of
// one colour, with pictures of known colours: every part of the menu, each
// list page and each end panel is a plain colour, so a pixel tells what was
// drawn where. The match object is set by hand; the menu must hand it back
// untouched, or reset when the match is given up.
#include "mahjong/MahjongMenu.h"
#include "MahjongTestSupport.h"
#include "frontend/FrontendFixture.h"
#include "mahjong/MahjongGame.h"
#include "mahjong/MahjongRulesScreen.h"
#include "screenkit/Slots.h"

#include <functional>

namespace {

using namespace frontend_test;
namespace st = mahjong_state;

constexpr std::uint32_t kKey = 0x0000FF00;
constexpr std::uint32_t kMatch = 0x406020, kFrame = 0x203040, kOtherFrame = 0x304020;
constexpr std::uint32_t kSide = 0x605040, kLine = 0xC0C0C0;
constexpr std::uint32_t kMark = 0xE0E000, kHoverMark = 0x00E0E0, kSecret = 0x101010;
enum Family { kLabel = 1, kNormal, kLit, kPage, kPanel };
// One plain colour for each part `n` of a family.
constexpr std::uint32_t C(Family f, int n) {
    return static_cast<std::uint32_t>(f) << 21 | static_cast<std::uint32_t>(n) << 12 | 0x40;
}

// A 32-bit picture drawn by a function of the pixel; kKey stays the key.
void WriteArgb(const std::string& path, int w, int h,
               const std::function<std::uint32_t(int x, int y)>& rgb) {
    bmp_writer::BmpImage img;
    img.width = w, img.height = h, img.bitCount = 32;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.pixels.push_back(rgb(x, y) == kKey ? kKey : 0xFF000000 | rgb(x, y));
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    ASSERT_TRUE(bmp_writer::WriteBmp(path, img));
}

class MahjongMenuTest : public FrontendTest {
protected:
    void SetUp() override {
        FrontendTest::SetUp();
        for (int v = 0; v < 2; ++v) // the frame covers the items' plate
            WriteArgb("bmp/sys_base0" + std::to_string(v) + ".bmp", 800, 600, [v](int x, int y) {
                return x >= 452 && y >= 150 && y < 356 ? (v ? kOtherFrame : kFrame) : kKey;
            });
        WriteSolid("bmp/sys_moji.bmp", 150, 600, 0xFF000000 | kSide);
        WriteArgb("bmp/sys_p00.bmp", 420, 147, [](int x, int y) {
            if (y >= 144) return x >= 60 ? kLine : kKey;
            return C(x < 170 ? kLabel : x < 295 ? kNormal : kLit, y / 36 + 1);
        });
        for (int p = 0; p < 8; ++p)
            WriteSolid("bmp/list_p00_0" + std::to_string(p) + ".bmp", 600, 450,
                       0xFF000000 | C(kPage, p));
        WriteSolid("bmp/list_p00_03s.bmp", 600, 450, 0xFF000000 | kSecret);
        WriteArgb("bmp/list_prats00.bmp", 224, 66,
                  [](int, int y) { return y < 24 ? kMark : kHoverMark; });
        // Panels at x 0, 212, 424; their lit buttons below them.
        WriteArgb("bmp/end_p00.bmp", 636, 182,
                  [](int x, int y) { return C(kPanel, x / 212 + (y < 126 ? 0 : 3)); });
        WriteTone("bgm/c018.ogg", 6);
        WriteTone("se/hai01.ogg", 2);

        g_backBuffer->FillRect(0, 0, 800, 600, kMatch);
        g_menuSnapshot = std::make_unique<CDib>();
        g_menuSnapshot->Create(platform::WindowHandle::Main, 800, 600, 24);
        g_menuSnapshot->FillRect(0, 0, 800, 600, kMatch);
        // A match in its discard choice, as the right click leaves it.
        G().State = st::kTurns;
        G().SubStep = 7;
        G().PlayerPoints = 4200;
        g_mahjongPlayerHand = kHand;
        g_gameApp->returnMode = 64;
        g_gameApp->mode = 54;
    }

    const MahjongHand kHand = mahjong_test::HandOfKinds({1, 1, 1, 4, 4, 6, 9, 9, 12});
    CMahjongGame& G() { return *g_mahjongGame; }
    CMahjongMenu& M() { return *g_mahjongMenu; }
    bool MatchKept() {
        return G().State == st::kTurns && G().SubStep == 7 && G().PlayerPoints == 4200 &&
               g_mahjongPlayerHand == kHand;
    }
    bool MenuSurfacesFreed() {
        return std::all_of(&cdib[20], &cdib[25], [](const auto& s) { return !s; });
    }
    // Frames with every timed step hurried until the menu stands in `state`.
    void HurryTo(std::uint8_t state) {
        g_scenario->skipEffects = 1;
        for (int i = 0; i < 20 && (!g_mahjongMenu || M().State != state); ++i)
            Frame();
        g_scenario->skipEffects = 0;
        ASSERT_EQ(M().State, state);
    }
    void Click(platform::MouseButton b, int x, int y) {
        MoveTo(x, y);
        Frame();
        Press(b);
        Frame();
        Release(b);
    }
    void ClickRect(const platform::Rect& r) {
        Click(platform::MouseButton::Left, r.left + 3, r.top + 3);
    }
    void RightClick() { Click(platform::MouseButton::Right, 0, 0); }
    // From the menu: the end item, the first panel's button, the second's.
    void AnswerEnd(int first, int second) {
        ClickRect(M().Rects[3]);
        HurryTo(13);
        ClickRect(M().Rects[first - 1]);
        HurryTo(17);
        ClickRect(M().Rects[second - 1]);
    }
};

TEST_F(MahjongMenuTest, SlidesInLightsTheHoveredItemAndARightClickGivesBackTheMatch) {
    Frame(); // open
    g_scenario->skipEffects = 1;
    const std::uint32_t t0 = Now();
    Frame(); // the fade ends; line 0 starts
    g_scenario->skipEffects = 0;
    AdvanceTo(t0 + 200);
    Frame();
    // 200 ms in: the side panel at 200 × 150 / 400 − 150 = −75; line 0 at
    // level 170, 170 × 360 / 256 = 239 wide from x 561; its text at 170.
    EXPECT_EQ(Pixel(74, 300), kSide);
    EXPECT_EQ(Pixel(561, 230), kLine);
    EXPECT_EQ(Pixel(700, 200), Mix(C(kNormal, 1), kFrame, 170));
    EXPECT_EQ(Pixel(700, 240), kFrame); // line 1 starts only now
    AdvanceTo(t0 + 1000);
    Frame();
    ASSERT_EQ(M().State, 3);
    EXPECT_EQ(Pixel(700, 200), C(kNormal, 1));

    MoveTo(700, 250); // item 2
    const std::uint32_t h = Now();
    Frame();
    EXPECT_EQ(Pixel(700, 240), C(kLit, 2));
    AdvanceTo(h + 125);
    Frame();
    // The label 125 ms in: 7 px of its 14 travelled, at opacity 127.
    EXPECT_EQ(Pixel(487, 240), Mix(C(kLabel, 2), kFrame, 127));
    AdvanceTo(h + 300);
    Frame();
    EXPECT_EQ(Pixel(480, 240), C(kLabel, 2));
    MoveTo(700, 210); // item 1: item 2 goes back to its normal look
    Frame();
    EXPECT_EQ(Pixel(700, 240), C(kNormal, 2));
    EXPECT_EQ(Pixel(480, 240), kFrame);

    RightClick();
    Frame();
    EXPECT_EQ(g_gameApp->mode, 64);
    EXPECT_EQ(Pixel(700, 200), kMatch);
    EXPECT_TRUE(MenuSurfacesFreed());
    EXPECT_TRUE(MatchKept());
}

TEST_F(MahjongMenuTest, RulesComeBackStraightToTheMatch) {
    HurryTo(3);
    ClickRect(M().Rects[1]);
    EXPECT_EQ(g_gameApp->mode, 70);
    EXPECT_EQ(g_scenario->menuReturn, 1);
    EXPECT_TRUE(MenuSurfacesFreed());
    g_scenario->skipEffects = 1;
    Frames(3);
    g_scenario->skipEffects = 0;
    ASSERT_EQ(g_mahjongRulesScreen->State, 2);
    RightClick();
    Frame();
    EXPECT_EQ(g_gameApp->mode, 64);
    EXPECT_EQ(Pixel(700, 200), kMatch);
    EXPECT_TRUE(MatchKept());
}

TEST_F(MahjongMenuTest, ListOpensAtPageOneTurnsByItsTabsAndClosesToTheMatch) {
    HurryTo(3);
    ClickRect(M().Rects[0]);
    HurryTo(7);
    EXPECT_EQ(Pixel(110, 100), C(kPage, 0));
    EXPECT_EQ(Pixel(505, 60), kMark);
    // The next tab lights its mark 2 px left of it; the page's own tab
    // is no button.
    MoveTo(540, 60);
    Frame();
    EXPECT_EQ(Pixel(533, 60), kHoverMark);
    MoveTo(510, 60);
    Frame();
    EXPECT_EQ(M().HoverItem, 0);
    EXPECT_EQ(Pixel(533, 60), kMatch);
    // Page 4 stands behind its stand-in until the story opens it.
    ClickRect(M().Rects[3]);
    EXPECT_EQ(Pixel(110, 100), kSecret);
    EXPECT_EQ(Pixel(505, 60), kMatch);
    EXPECT_EQ(Pixel(589, 60), kMark);
    g_config[config::kScriptFlags + 3] = 1;
    ClickRect(M().Rects[7]);
    EXPECT_EQ(Pixel(110, 100), C(kPage, 7));
    ClickRect(M().Rects[3]);
    EXPECT_EQ(Pixel(110, 100), C(kPage, 3));
    Click(platform::MouseButton::Left, 400, 300); // no button there
    EXPECT_EQ(M().Page, 3);
    ClickRect(M().Rects[CMahjongMenu::kListClose - 1]);
    Frame();
    EXPECT_EQ(g_gameApp->mode, 64);
    EXPECT_EQ(Pixel(110, 100), kMatch);
    EXPECT_TRUE(MatchKept());
}

TEST_F(MahjongMenuTest, EndQuestionBackOutThenNoThenYesForTheTitleOrToQuit) {
    HurryTo(3);
    ClickRect(M().Rects[3]);
    HurryTo(13);
    ClickRect(M().Rects[1]); // quit the program
    HurryTo(17);
    EXPECT_EQ(Pixel(320, 250), C(kPanel, 2));
    RightClick(); // back to the first question
    HurryTo(13);
    EXPECT_EQ(M().FirstHover, 0);
    EXPECT_EQ(Pixel(320, 250), C(kPanel, 0));
    ClickRect(M().Rects[0]); // end the match
    HurryTo(17);
    EXPECT_EQ(Pixel(320, 250), C(kPanel, 1));
    MoveTo(433, 320);
    Frame();
    EXPECT_EQ(Pixel(504, 342), C(kPanel, 4)); // the lit "no", as wide as its button
    ClickRect(M().Rects[1]);
    // A right button held while the panel leaves must not reach the match,
    // which would open the menu again at once.
    Press(platform::MouseButton::Right);
    HurryTo(4);
    Frame();
    EXPECT_EQ(g_gameApp->mode, 64);
    EXPECT_EQ(g_mouse->cancel, 0);
    Release(platform::MouseButton::Right);
    EXPECT_TRUE(MatchKept());

    // Yes: everything of the match goes, with or without music, and the next
    // match deals afresh instead of taking up this one.
    for (std::uint8_t musicOff : {0, 1}) {
        g_config[config::kMusicOff] = musicOff;
        screenkit::StartMusic("bgm\\c018.ogg");
        screenkit::SetMusicName("bgm\\c018.ogg");
        screenkit::PlaySe(0, "se\\hai01.ogg");
        screenkit::PlaySe(1, "se\\hai01.ogg");
        screenkit::CopyOfBackBuffer(3);
        g_gameApp->mode = 54;
        HurryTo(3);
        AnswerEnd(1, 1);
        HurryTo(20);
        Frame();
        EXPECT_EQ(g_gameApp->mode, 61);
        EXPECT_TRUE(!g_bgmChannel && !g_scenario->bgmName && !g_seChannels[0] && !g_seChannels[1] &&
                    !cdib[3] && MenuSurfacesFreed() && cdib[0]);
        EXPECT_EQ(g_mahjongPlayerHand, MahjongHand{});
        g_gameApp->mode = 64;
        Frame();
        EXPECT_EQ(G().State, st::kDeal);
        EXPECT_EQ(G().SubStep, 0);
        EXPECT_EQ(G().PlayerPoints, kMahjongPlayerStartPoints);
        G().State = st::kTurns;
    }
    // An odd heroine's pictures; quitting asked and confirmed.
    g_gameApp->opponentIndex = 5;
    g_gameApp->mode = 54;
    HurryTo(3);
    EXPECT_EQ(Pixel(460, 160), kOtherFrame);
    AnswerEnd(2, 1);
    HurryTo(20);
    Frame();
    EXPECT_TRUE(QuitRequested());
}

} // namespace
