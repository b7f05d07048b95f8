// The heroine select: which cards open for which beaten flags, the three
// backgrounds and the marks, keys that land on a locked card, and the two
// ways out: a heroine's first story script or back to the mahjong title.
#include "mahjong/CharSelectScreen.h"

#include "frontend/FrontendFixture.h"
#include "lib/ScriptAssembler.h"
#include "mahjong/MahjongGame.h"
#include "screenkit/ScreenKit.h"

#include <set>

using namespace frontend_test;

namespace {

constexpr std::uint32_t kBases[3] = {0x101030, 0x103010, 0x301010};
constexpr std::uint32_t kLit = 0xE0C040;
constexpr std::uint32_t kMark = 0xC00000;
constexpr std::uint32_t kBackLit = 0x4040F0;

class CharSelectTest : public FrontendTest {
protected:
    void SetUp() override {
        WriteSolid("bmp/char_base.bmp", 800, 600, 0xFF000000u | kBases[0]);
        WriteSolid("bmp/char_base00.bmp", 800, 600, 0xFF000000u | kBases[1]);
        WriteSolid("bmp/char_base01.bmp", 800, 600, 0xFF000000u | kBases[2]);
        // Lit cards above row 481; the lit back button and the mark below it,
        // the rest of that row the colour key.
        bmp_writer::BmpImage parts;
        parts.width = 428;
        parts.height = 511;
        parts.bitCount = 24;
        for (int y = 0; y < 511; ++y)
            for (int x = 0; x < 428; ++x)
                parts.pixels.push_back(y < 481   ? kLit
                                       : x < 128 ? kBackLit
                                       : x < 204 ? kMark
                                                 : 0x00FF00u);
        ASSERT_TRUE(bmp_writer::WriteBmp("bmp/char_p.bmp", parts));
        WriteTone("bgm/c022.ogg", 20);
        std::string error;
        for (const char* s : {"kof_dor_1.s", "kof_sef_1.s"})
            ASSERT_TRUE(nvasm::WriteScriptFile(std::filesystem::path("script") / s,
                                               "set_var var=0 value=7\nend", error))
                << error;
        FrontendTest::SetUp();
    }
    CCharSelectScreen& Select() { return *g_charSelectScreen; }
    // A new select screen, past its fade-in.
    void Enter() {
        g_charSelectScreen.reset();
        g_gameApp->mode = 63;
        Frame();
        g_scenario->skipEffects = 1;
        Frame();
        g_scenario->skipEffects = 0;
        ASSERT_EQ(Select().State, 2);
    }
    void HoverCard(int n) {
        const platform::Rect& r = Select().Rects[n - 1];
        MoveTo(r.left + 20, r.top + 60);
        Frame();
    }
};

TEST_F(CharSelectTest, BeatenFlagsOpenCardsChooseTheBackgroundAndMarkTheCards) {
    struct Case {
        std::vector<std::pair<int, int>> flags; // heroine, byte
        int background;
        std::set<int> open;
    } cases[] = {
        {{}, 0, {2}},
        {{{1, 1}}, 1, {1, 2, 3, 4, 5, 6, 7}},
        {{{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}}, 2, {1, 2, 3, 4, 5, 6, 7, 8}},
        // A flag byte of 2 or more is one heroine beaten, not several.
        {{{1, 5}, {0, 2}}, 1, {1, 2, 3, 4, 5, 6, 7}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.background);
        std::fill_n(g_config.begin() + config::kMahjongBeaten, 8, 0);
        for (auto [heroine, byte] : c.flags)
            g_config[config::kMahjongBeaten + heroine] = static_cast<std::uint8_t>(byte);
        Enter();
        MoveTo(5, 5);
        Frame();
        EXPECT_EQ(Pixel(5, 5), kBases[c.background]);
        for (int n = 1; n <= 8; ++n) {
            HoverCard(n);
            EXPECT_EQ(Select().HoverButton, c.open.count(n) ? n : 0) << "card " << n;
        }
    }
    // Heroine 1 beaten: her card carries the mark, unlit and lit.
    HoverCard(2);
    EXPECT_EQ(Pixel(578, 75), kLit);
    EXPECT_EQ(Pixel(492 + 214 + 5, 72 + 5), kMark);
    HoverCard(1);
    EXPECT_EQ(Pixel(578, 75), kBases[1]);
    EXPECT_EQ(Pixel(492 + 214 + 5, 72 + 5), kMark);
    EXPECT_EQ(PixelOf(screenkit::Slot(1), 492 + 5, 72 + 5), kMark); // heroine 0's byte of 2
}

TEST_F(CharSelectTest, AKeyOntoALockedCardLightsAndChoosesNothing) {
    Enter();
    MoveTo(10, 10);
    Frame();
    g_keyboard->down = 1; // from none to card 7, which is locked
    g_mouse->click = 1;
    Frame();
    EXPECT_EQ(Select().HoverButton, 0);
    EXPECT_EQ(Select().State, 2);
    EXPECT_EQ(Pixel(400, 450), kBases[0]);
    const platform::Rect win = platform::GetWindowRect();
    EXPECT_EQ(hl::CursorX(), win.left + 359 + 105 + 64);
    EXPECT_EQ(hl::CursorY(), win.top + platform::CaptionHeight() + 432 + 100);
    // Card 2 is open to the keys: up from none is card 1 (locked), down
    // from card 1 is card 2.
    HoverCard(2);
    g_keyboard->up = 1;
    Frame();
    EXPECT_EQ(Select().HoverButton, 0);
    EXPECT_EQ(Pixel(578, 75), kBases[0]); // card 2 lit no more
}

TEST_F(CharSelectTest, ACardStartsHerFirstScriptAndBackReturnsToTheTitle) {
    g_mahjongGame->State = 5;
    g_gameApp->opponentIndex = 4;
    Enter();
    EXPECT_EQ(g_mahjongGame->State, 0); // every match starts afresh
    EXPECT_EQ(g_gameApp->opponentIndex, 0);
    ASSERT_NE(g_bgmChannel, nullptr);
    g_scenario->menuReturn = 1;
    HoverCard(2);
    g_mouse->click = 1;
    Frame();
    EXPECT_EQ(Select().State, 3);
    EXPECT_EQ(g_gameApp->opponentIndex, 1);
    EXPECT_EQ(g_scenario->bgmPlaying, 0);
    AdvanceTo(Select().StartTime + 499);
    Frame();
    EXPECT_EQ(Select().State, 3);
    Frame(); // 8 ms later: 507 ms, the fade is over
    Frame();
    EXPECT_EQ(g_gameApp->mode, 2);
    EXPECT_STREQ(g_gameApp->scriptName.data(), "kof_dor_1.s");
    EXPECT_EQ(g_scenario->playContext, 2);
    EXPECT_EQ(g_scenario->menuReturn, 0);
    EXPECT_EQ(g_bgmChannel, nullptr);
    Frame(); // the interpreter runs her script
    EXPECT_EQ(g_scenario->vars[0], 7);

    g_config[config::kMusicOff] = 1;
    Enter();
    EXPECT_EQ(g_bgmChannel, nullptr);
    MoveTo(700, 580);
    Frame();
    EXPECT_EQ(Pixel(675, 575), kBackLit);
    g_mouse->click = 1;
    Frame();
    g_scenario->skipEffects = 1;
    Frame();
    Frame();
    g_scenario->skipEffects = 0;
    EXPECT_EQ(g_gameApp->mode, 61);
    EXPECT_EQ(g_gameApp->opponentIndex, 0);
}

} // namespace
