// The contest's screens on the virtual clock: the title's intro and where
// its menu leads, the select's cards by beaten opponents, the contest drawn
// and heard over its rules (ready, pouring, pause, win and lose), the
// result's follow-up stories, the retry question and the rules pages.
#include "frontend/FrontendFixture.h"
#include "takoyaki/RetryScreen.h"
#include "takoyaki/RusAutoPlayer.h"
#include "takoyaki/RusGame.h"
#include "takoyaki/RusResult.h"
#include "takoyaki/RusRulesScreen.h"
#include "takoyaki/RusSelect.h"
#include "takoyaki/RusTitle.h"

#include <algorithm>
#include <functional>

using namespace frontend_test;
using platform::MouseButton;
using rus::RusState;

namespace {

constexpr std::uint32_t kStory = 0x203040;
constexpr std::uint32_t kMenuBg = 0x602010;
constexpr std::uint32_t kLitStrip = 0x123456;
constexpr std::uint32_t kSelectBg = 0x403020;
constexpr std::uint32_t kCard = 0x50A050;
constexpr std::uint32_t kCardLit = 0x60C060;
constexpr std::uint32_t kMark = 0xC02020;
constexpr std::uint32_t kResultBg = 0xE0C080;
constexpr std::uint32_t kBanner = 0xD02020;
constexpr std::uint32_t kPanel = 0x304050;
constexpr std::uint32_t kRetryLit = 0xC07020;
constexpr std::uint32_t kPage1 = 0x2A2A40;
constexpr std::uint32_t kPage3 = 0x402A2A;
constexpr std::uint32_t kRulesLit = 0xF0C040;
constexpr std::uint32_t kFieldBg = 0x603820;
// The colour of the hole tile of stage s.
constexpr std::uint32_t TileColour(int s) {
    return 0x101000u * static_cast<std::uint32_t>(s) + 0x000040u;
}
constexpr std::uint32_t kKey = 0x0000FF00;

// A picture of `w` x `h` in `fill`, with rectangles painted over it.
struct Area {
    int x, y, w, h;
    std::uint32_t argb;
};
void WriteAreas(const char* path, int w, int h, std::uint32_t fill, std::vector<Area> areas) {
    bmp_writer::BmpImage img;
    img.width = w;
    img.height = h;
    img.bitCount = 32;
    img.pixels.assign(static_cast<std::size_t>(w) * h, fill);
    for (const Area& a : areas)
        for (int y = a.y; y < a.y + a.h; ++y)
            for (int x = a.x; x < a.x + a.w; ++x)
                img.pixels[static_cast<std::size_t>(y) * w + x] = a.argb;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    ASSERT_TRUE(bmp_writer::WriteBmp(path, img));
}

constexpr std::uint32_t Opaque(std::uint32_t rgb) {
    return 0xFF000000u | rgb;
}

class RusScreens : public FrontendTest {
protected:
    void SetUp() override {
        // Title.
        WriteSolid("bmp/title_base02.bmp", 800, 600, Opaque(kMenuBg));
        WriteSolid("bmp/tako_title_p.bmp", 288, 210, Opaque(kLitStrip));
        // Select: open cards, lit cards, the beaten mark.
        WriteSolid("bmp/rus_c_s_base.bmp", 800, 600, Opaque(kSelectBg));
        WriteAreas("bmp/rus_s_p.bmp", 936, 569, kKey,
                   {{0, 0, 468, 525, Opaque(kCard)},
                    {468, 0, 468, 525, Opaque(kCardLit)},
                    {0, 525, 112, 44, Opaque(kMark)}});
        // Result.
        WriteSolid("bmp/h001a.bmp", 800, 600, Opaque(kResultBg));
        WriteSolid("bmp/rus_win_p.bmp", 800, 270, Opaque(kBanner));
        // Retry: a panel band over the story's picture, and the lit buttons.
        WriteAreas("bmp/retry_base.bmp", 800, 600, kKey, {{0, 300, 800, 100, Opaque(kPanel)}});
        WriteSolid("bmp/retry_p.bmp", 195, 58, Opaque(kRetryLit));
        // Rules pages.
        WriteSolid("system/rus_m01.bmp", 752, 572, Opaque(kPage1));
        WriteSolid("system/rus_m03.bmp", 752, 572, Opaque(kPage3));
        WriteSolid("system/rus_m_p.bmp", 126, 39, Opaque(kRulesLit));
        // Contest: the background and the hole tiles of each stage.
        WriteSolid("bmp/tako_base.bmp", 800, 600, Opaque(kFieldBg));
        std::vector<Area> tiles;
        for (int s = 1; s <= 11; ++s)
            tiles.push_back({47 * (s - 1), 0, 47, 47, Opaque(TileColour(s))});
        WriteAreas("bmp/kiji.bmp", 517, 47, 0, tiles);

        WriteTone("bgm/n008.ogg", 30);
        WriteTone("se/se129.ogg", 2);
        WriteTone("se/sys_010.ogg", 3);
        WriteTone("se/se094.ogg", 4);
        WriteTone("voice/gor0119.ogg", 5);
        WriteTone("voice/gor0122.ogg", 20);
        WriteTone("voice/gor0129.ogg", 9);
        WriteTone("voice/gor0134.ogg", 6);
        WriteTone("voice/gor0135.ogg", 7);
        WriteTone("voice/rus_qo01.ogg", 8);
        FrontendTest::SetUp();
    }

    void Click() {
        Press(MouseButton::Left);
        Frame();
        Release(MouseButton::Left);
    }
    void ClickAt(int x, int y) {
        MoveTo(x, y);
        Click();
    }
    void RightClick() {
        Press(MouseButton::Right);
        Frame();
        Release(MouseButton::Right);
    }
    void Enter(std::uint8_t mode) {
        g_gameApp->mode = mode;
        Frame();
    }
    // Frames with every timed step cut short until `done`.
    bool HurryUntil(const std::function<bool()>& done, int limit = 100) {
        g_scenario->skipEffects = 1;
        for (int i = 0; i < limit && !done(); ++i)
            Frame();
        g_scenario->skipEffects = 0;
        return done();
    }
    bool RunUntil(const std::function<bool()>& done, int limit = 5000) {
        for (int i = 0; i < limit && !done(); ++i)
            Frame();
        return done();
    }
    static void Centre(const platform::Rect& r, int& x, int& y) {
        x = (r.left + r.right) / 2;
        y = (r.top + r.bottom) / 2;
    }
    void ClickRect(const platform::Rect& r) {
        int x, y;
        Centre(r, x, y);
        ClickAt(x, y);
    }
    std::string ScriptName() const { return g_gameApp->scriptName.data(); }
};

TEST_F(RusScreens, TitleIntroEndsStepByStepOnClicksAndTheMenuLeadsEachWay) {
    Enter(65);
    ASSERT_EQ(g_rusTitle->State, 1);
    EXPECT_EQ(TenthsOf(g_seChannels[1].get()), 2);
    // One click ends each of the nine intro steps; the clock hardly moves.
    const std::uint32_t start = Now();
    int clicks = 0;
    while (g_rusTitle->State != 10 && clicks < 12) {
        Click();
        ++clicks;
    }
    EXPECT_EQ(clicks, 9);
    EXPECT_LT(Now() - start, 200u);
    EXPECT_EQ(TenthsOf(g_bgmChannel.get()), 30);
    for (int slot = 0; slot <= 3; ++slot)
        EXPECT_EQ(g_seChannels[slot], nullptr) << slot;

    // Hover lights an item's strip; leaving restores the background.
    MoveTo(400, 450);
    Frame();
    EXPECT_EQ(g_rusTitle->HoverItem, 3);
    EXPECT_EQ(Pixel(260, 435 + 4), kLitStrip);
    MoveTo(10, 10);
    Frame();
    EXPECT_EQ(Pixel(260, 435 + 4), kMenuBg);

    struct Road {
        int item; // 0: right click
        std::uint8_t mode;
        int playContext;
        int returnMode; // -1: not set
        bool musicOn;
    };
    const Road roads[] = {
        {2, 68, 3, -1, true}, {3, 71, -1, -1, true}, {4, 9, -1, 65, true}, {0, 57, 0, -1, false}};
    for (const Road& r : roads) {
        SCOPED_TRACE(r.item);
        g_gameApp->returnMode = 0;
        g_gameApp->opponentIndex = 4;
        g_scenario->playContext = 7;
        Enter(65);
        ASSERT_TRUE(HurryUntil([&] { return g_rusTitle && g_rusTitle->State == 10; }));
        if (r.item == 0) {
            RightClick();
        } else {
            ClickRect(g_rusTitle->MenuRects[r.item - 1]);
        }
        ASSERT_TRUE(RunUntil([&] { return g_gameApp->mode != 65; }));
        EXPECT_EQ(g_gameApp->mode, r.mode);
        if (r.playContext >= 0) {
            EXPECT_EQ(g_scenario->playContext, r.playContext);
        }
        if (r.returnMode >= 0) {
            EXPECT_EQ(g_gameApp->returnMode, r.returnMode);
        }
        if (r.mode == 68) {
            EXPECT_EQ(g_gameApp->opponentIndex, 0);
        }
        // Select and rules keep the title music; the settings fade it.
        if (r.item == 2 || r.item == 3) {
            EXPECT_NE(g_bgmChannel, nullptr);
        }
        if (!r.musicOn) {
            EXPECT_EQ(g_bgmChannel, nullptr);
        }
        g_gameApp->mode = 1; // away, so the next title is made anew
        Frame();
    }
}

TEST_F(RusScreens, StoryStartShowsTheWarningForTenSecondsThenTheFirstStory) {
    Enter(65);
    ASSERT_TRUE(HurryUntil([&] { return g_rusTitle->State == 10; }));
    ClickRect(g_rusTitle->MenuRects[0]);
    ASSERT_TRUE(RunUntil([&] { return g_rusTitle->State == 16; }));
    const std::uint32_t shown = Now();
    ASSERT_TRUE(RunUntil([&] { return g_gameApp->mode == 2; }));
    EXPECT_GE(Now() - shown, 10000u);
    EXPECT_EQ(ScriptName(), "rus_pom_1.s");
    EXPECT_EQ(g_scenario->playContext, 3);
    EXPECT_EQ(g_gameApp->opponentIndex, 0);
    EXPECT_EQ(g_bgmChannel, nullptr);
}

TEST_F(RusScreens, SelectOpensCardsByHowManyOpponentsWereBeaten) {
    struct Case {
        std::vector<int> beaten;
        int open;
    };
    const Case cases[] = {
        {{}, 0}, {{0}, 2}, {{3}, 2}, {{0, 1, 2, 3, 4}, 6}, {{0, 1, 2, 3, 4, 5}, 6}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.open);
        for (int k = 0; k < 6; ++k)
            g_config[config::kContestBeaten + k] = 0;
        for (int k : c.beaten)
            g_config[config::kContestBeaten + k] = 1;
        Enter(68);
        ASSERT_TRUE(HurryUntil([&] { return g_rusSelect->State == 2; }));
        EXPECT_EQ(g_rusSelect->OpenCards(), c.open);
        for (int card = 1; card <= 6; ++card) {
            const platform::Rect& r = g_rusSelect->CardRects[card - 1];
            EXPECT_EQ(Pixel(r.left + 5, r.top + 100), card <= c.open ? kCard : kSelectBg) << card;
            MoveTo(r.left + 5, r.top + 100);
            Frame();
            EXPECT_EQ(g_rusSelect->HoverCard, card <= c.open ? card : 0) << card;
            if (card <= c.open) {
                EXPECT_EQ(Pixel(r.left + 5, r.top + 100), kCardLit) << card;
            }
        }
        // The beaten mark of the first opponent stands on its card.
        if (c.open > 0) {
            EXPECT_EQ(Pixel(432, 30), c.beaten[0] == 0 ? kMark : kCard);
        }
        g_gameApp->mode = 1;
        Frame();
    }
    // With no card open a click on a card does nothing; the right click goes
    // back to the title.
    for (int k = 0; k < 6; ++k)
        g_config[config::kContestBeaten + k] = 0;
    Enter(68);
    ASSERT_TRUE(HurryUntil([&] { return g_rusSelect->State == 2; }));
    ClickRect(g_rusSelect->CardRects[0]);
    Frame();
    EXPECT_EQ(g_gameApp->mode, 68);
    RightClick();
    ASSERT_TRUE(RunUntil([&] { return g_gameApp->mode != 68; }));
    EXPECT_EQ(g_gameApp->mode, 65);
    EXPECT_EQ(g_scenario->playContext, 0);

    // A card starts its opponent's first story.
    g_config[config::kContestBeaten + 0] = 1;
    Enter(68);
    ASSERT_TRUE(HurryUntil([&] { return g_rusSelect->State == 2; }));
    ClickRect(g_rusSelect->CardRects[1]);
    ASSERT_TRUE(RunUntil([&] { return g_gameApp->mode != 68; }));
    EXPECT_EQ(g_gameApp->mode, 2);
    EXPECT_EQ(ScriptName(), "rus_kel_1.s");
    EXPECT_EQ(g_gameApp->opponentIndex, 1);
    EXPECT_EQ(g_scenario->playContext, 3);
}

TEST_F(RusScreens, ResultWaitsForAClickThenStartsTheFollowUpStory) {
    struct Case {
        std::uint8_t winner, loser;
        const char* script;
        int opponentAfter;
    };
    const Case cases[] = {
        {6, 2, "rus_ux_3.s", 3}, {4, 6, "rus_dor_2.s", 4}, {6, 5, "rus_hol_3.s", 6}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        g_gameApp->contestResults = {c.winner, c.loser};
        g_gameApp->opponentIndex = 4;
        Enter(67);
        // Four clicks finish the four animations.
        for (int k = 0; k < 4; ++k)
            Click();
        EXPECT_EQ(g_rusResult->State, 5);
        // The banner over the background only after a player win.
        EXPECT_EQ(Pixel(400, 380), c.winner == 6 ? Mix(kBanner, kResultBg, 254) : kResultBg);
        AdvanceTo(Now() + 20000);
        Frames(3);
        EXPECT_EQ(g_rusResult->State, 5);
        Click();
        Frame();
        EXPECT_EQ(g_gameApp->mode, 2);
        EXPECT_EQ(ScriptName(), c.script);
        EXPECT_EQ(g_gameApp->opponentIndex, c.opponentAfter);
        EXPECT_EQ(g_scenario->playContext, 2);
    }
}

TEST_F(RusScreens, RetryPlaysTheSameOpponentAgainOrGoesBackToTheTitle) {
    for (std::uint8_t button : {1, 2}) {
        SCOPED_TRACE(button);
        g_gameApp->opponentIndex = 3;
        g_backBuffer->FillRect(0, 0, 800, 600, kStory);
        // Ctrl held shortens the fade-in but does not carry into the question.
        g_mouse->skip = 1;
        Enter(69);
        Frame();
        EXPECT_EQ(g_retryScreen->State, 2);
        EXPECT_EQ(g_mouse->skip, 0);
        EXPECT_EQ(Pixel(10, 10), kStory);
        EXPECT_EQ(Pixel(250, 390), kPanel);
        const platform::Rect& r = g_retryScreen->ButtonRects[button - 1];
        MoveTo(r.left + 2, r.top + 2);
        Frame();
        EXPECT_EQ(Pixel(r.left + 2, r.top + 2), kRetryLit);
        MoveTo(10, 10);
        Frame();
        EXPECT_EQ(Pixel(r.left + 2, r.top + 2), kPanel);
        ClickAt(r.left + 2, r.top + 2);
        EXPECT_EQ(TenthsOf(g_seChannels[0].get()), 3);
        ASSERT_TRUE(RunUntil([&] { return g_gameApp->mode != 69; }));
        EXPECT_EQ(g_gameApp->mode, button == 1 ? 66 : 65);
        EXPECT_EQ(g_gameApp->opponentIndex, 3);
        g_gameApp->mode = 1;
        Frame();
    }
}

TEST_F(RusScreens, RulesPagesSwitchAtOnceAndAlwaysCloseToTheContestTitle) {
    for (bool rightClick : {false, true}) {
        SCOPED_TRACE(rightClick);
        g_backBuffer->FillRect(0, 0, 800, 600, kStory);
        g_gameApp->returnMode = 1;
        g_bgmChannel = std::make_unique<CBgmChannel>();
        Enter(71);
        ASSERT_TRUE(HurryUntil([&] { return g_rusRulesScreen->State == 2; }));
        EXPECT_EQ(Pixel(20, 10), kStory);
        EXPECT_EQ(Pixel(30, 20), kPage1);
        // The button of the page on show is no button.
        const auto& rects = g_rusRulesScreen->PageRects;
        MoveTo(rects[0].left + 2, rects[0].top + 2);
        Frame();
        EXPECT_EQ(g_rusRulesScreen->HoverButton, 0);
        MoveTo(rects[2].left + 2, rects[2].top + 2);
        Frame();
        EXPECT_EQ(g_rusRulesScreen->HoverButton, 3);
        EXPECT_EQ(Pixel(rects[2].left + 2, rects[2].top + 2), kRulesLit);
        Click();
        EXPECT_EQ(g_rusRulesScreen->Page, 2);
        EXPECT_EQ(Pixel(30, 20), kPage3);
        EXPECT_EQ(TenthsOf(g_seChannels[0].get()), 3);
        if (rightClick) {
            RightClick();
        } else {
            ClickRect(g_rusRulesScreen->CloseRect);
        }
        Frame();
        EXPECT_EQ(g_gameApp->mode, 65);
        EXPECT_EQ(g_bgmChannel, nullptr);
        g_gameApp->mode = 1;
        Frame();
    }
}

class RusGameScreen : public RusScreens {
protected:
    CRusContest& Contest() { return g_rusGame->Contest; }
    // The playfield parts a test reads: the batter and pick highlights, the
    // plate balls of the upper and lower rows; and one colour for every
    // tool cursor.
    static constexpr std::uint32_t kBatterLit = 0x30C0F0, kPickLit = 0xF0C030;
    static constexpr std::uint32_t kUpperBall = 0xE0E0A0, kLowerBall = 0xA0E0E0;
    static constexpr std::uint32_t kCursor = 0x8020C0;
    void WriteParts() {
        WriteAreas("bmp/tako_p.bmp", 570, 461, kKey,
                   {{0, 0, 119, 78, Opaque(kBatterLit)},
                    {238, 0, 119, 78, Opaque(kPickLit)},
                    {0, 128, 37, 36, Opaque(kUpperBall)},
                    {0, 164, 38, 30, Opaque(kLowerBall)}});
        WriteSolid("bmp/mouse_icon.bmp", 128, 32, Opaque(kCursor));
    }
    // Into the contest against `opponent`, through the ready sequence.
    void StartContest(std::uint8_t opponent) {
        g_gameApp->opponentIndex = opponent;
        Enter(66);
        ASSERT_EQ(Contest().State, RusState::Ready);
        // The hold in the middle of the sequence is not cut short.
        ASSERT_TRUE(RunUntil(
            [&] {
                Click();
                return Contest().State == RusState::Play;
            },
            400));
    }
};

TEST_F(RusGameScreen, ReadyThenPlayDrawsThePanAndPlaysTheCues) {
    const std::uint32_t entered = Now();
    StartContest(2);
    EXPECT_GE(Now() - entered, 1000u); // the hold
    EXPECT_LT(Now() - entered, 3000u);
    // Opponent 2's third-plate line is the announcer's other one.
    EXPECT_EQ(TenthsOf(g_voiceChannels[3].get()), 7);
    EXPECT_EQ(TenthsOf(g_voiceChannels[0].get()), 8); // its opening line
    EXPECT_EQ(TenthsOf(g_bgmChannel.get()), 30);
    EXPECT_GE(Contest().TimerStamp, entered + 1000); // the timer starts with play

    // A click on a hole pours batter: its tile appears and the pour sounds.
    const platform::Rect hole = Contest().PlayerHoleRect[0];
    ClickAt(hole.left + 20, hole.top + 20);
    EXPECT_EQ(Contest().PlayerStage[0], 1);
    EXPECT_EQ(Pixel(hole.left + 2, hole.top + 2), TileColour(1));
    ASSERT_NE(g_seChannels[9], nullptr);
    EXPECT_EQ(TenthsOf(g_seChannels[9].get()), 4);
    EXPECT_FALSE(g_seChannels[9]->IsStopped());
    // The tile follows the stage.
    Contest().PlayerStage[0] = 10;
    Contest().PlayerKind[0] = 2;
    Frame();
    EXPECT_EQ(Pixel(hole.left + 2, hole.top + 2), TileColour(10));
    // A right click changes the tool once the pour lock is over.
    AdvanceTo(Now() + 200);
    Frame();
    RightClick();
    EXPECT_EQ(Contest().PlayerTool, rus::kOctopus);
    // A good ball served as the sixth of a third plate plays the
    // third-plate line, not the plate line.
    Contest().PlayerPlates = 2;
    Contest().PlayerPlateCount = 5;
    Contest().PlayerHeld = rus::kGoodBall;
    const platform::Rect serve = Contest().ButtonRect[4];
    ClickAt(serve.left + 5, serve.top + 5);
    ASSERT_EQ(Contest().PlayerPlates, 3);
    ASSERT_NE(g_voiceChannels[3], nullptr);
    EXPECT_FALSE(g_voiceChannels[3]->IsStopped());
    ASSERT_NE(g_voiceChannels[1], nullptr);
    EXPECT_TRUE(g_voiceChannels[1]->IsStopped());
}

TEST_F(RusGameScreen, PlatesStandInTheirRowsOnBothSides) {
    WriteParts();
    StartContest(0);
    MoveTo(400, 300);
    Contest().PlayerPlate = {0, 1, 0, 0, 1, 0};
    Contest().OpponentPlate = {0, 0, 1, 1, 0, 0};
    Frame();
    // Each place's first pixel, and the one before it, where its unset
    // neighbour leaves the field: the player's place 1 at (164, 522) and
    // place 4 at (163, 551); hers, place 2 at (603, 522) and place 3 at
    // (527, 551).
    EXPECT_EQ(Pixel(164, 522), kUpperBall);
    EXPECT_EQ(Pixel(163, 522), kFieldBg);
    EXPECT_EQ(Pixel(163, 580), kLowerBall);
    EXPECT_EQ(Pixel(162, 580), kFieldBg);
    EXPECT_EQ(Pixel(603, 522), kUpperBall);
    EXPECT_EQ(Pixel(602, 522), kFieldBg);
    EXPECT_EQ(Pixel(527, 580), kLowerBall);
    EXPECT_EQ(Pixel(526, 580), kFieldBg);
}

// The pictures the contest stands still on: the time-up picture is taken
// before the player's tool highlight, and the frame her hand reaches her
// special button draws neither her highlight nor her hand (the player's
// cursor still is).
TEST_F(RusGameScreen, TimeUpAndHerSpecialFreezeNoHighlightAndNoHandOfHers) {
    WriteParts();
    StartContest(0);
    MoveTo(400, 300);
    const platform::Rect batter = Contest().ButtonRect[0];
    Contest().AiAction = rus::kAiSpecial;
    Contest().AiStep = 0;
    Contest().OpponentSpecial = 0;
    ASSERT_TRUE(RunUntil([&] { return Contest().State == RusState::OpponentCutIn; }, 200));
    // Her pick cursor would stand at (504, 140 − 26), her highlight over her
    // pick button (263 + 401, 444).
    EXPECT_EQ(Pixel(510, 120), kFieldBg);
    EXPECT_EQ(Pixel(664 + 5, 444 + 5), kFieldBg);
    EXPECT_EQ(Pixel(400 + 5, 300 - 8 + 5), kCursor);
    EXPECT_EQ(Pixel(batter.left + 5, batter.top + 5), kBatterLit);

    Contest().State = RusState::Play;
    Contest().TimeLeft = 1;
    Contest().TimerStamp = Now() - 2600;
    Frame();
    ASSERT_EQ(Contest().State, RusState::Judge);
    EXPECT_EQ(PixelOf(cdib[10].get(), batter.left + 5, batter.top + 5), kFieldBg);
    EXPECT_EQ(Pixel(batter.left + 5, batter.top + 5), kBatterLit);
}

TEST_F(RusGameScreen, PauseNoResumesWithFreshStampsAndYesQuitsToTheTitle) {
    StartContest(0);
    ClickRect(Contest().ButtonRect[5]);
    EXPECT_EQ(Contest().State, RusState::Pause);
    Frame();
    AdvanceTo(Now() + 5000);
    ClickRect(Contest().DialogNoRect);
    EXPECT_EQ(Contest().State, RusState::Play);
    EXPECT_EQ(Contest().PlayerHoleStamp[7], Now() - 8);
    EXPECT_EQ(Contest().TimerStamp, Now() - 8);
    EXPECT_EQ(cdib[10], nullptr);

    ClickRect(Contest().ButtonRect[5]);
    Frame();
    ClickRect(Contest().DialogYesRect);
    Frame();
    EXPECT_EQ(g_gameApp->mode, 65);
    EXPECT_EQ(g_scenario->playContext, 0);
    EXPECT_EQ(g_bgmChannel, nullptr);
}

TEST_F(RusGameScreen, WinSavesTheBeatenFlagAndLossDoesNotBothReachTheResult) {
    for (bool win : {true, false}) {
        SCOPED_TRACE(win);
        std::filesystem::remove("save/Config.dat");
        g_config[config::kContestBeaten + 3] = 0;
        StartContest(3);
        (win ? Contest().OpponentLife : Contest().PlayerLife) = 0;
        Frame();
        EXPECT_EQ(Contest().State, win ? RusState::Win : RusState::Lose);
        // The banner animations end on clicks; the last click leaves.
        ASSERT_TRUE(RunUntil(
            [&] {
                Click();
                return g_gameApp->mode == 67;
            },
            100));
        EXPECT_EQ(g_gameApp->contestResults[0], win ? 6 : 3);
        EXPECT_EQ(g_gameApp->contestResults[1], win ? 3 : 6);
        EXPECT_EQ(g_bgmChannel, nullptr);
        EXPECT_EQ(std::filesystem::exists("save/Config.dat"), win);
        if (win) {
            const auto saved = testing_support::ReadFile("save/Config.dat");
            ASSERT_EQ(saved.size(), kConfigSize);
            EXPECT_EQ(saved[config::kContestBeaten + 3], 1);
            EXPECT_EQ(saved[config::kCgFlags + 21 * 36], 1);
        }
        g_gameApp->mode = 1;
        Frame();
    }
}

TEST_F(RusGameScreen, APlayedContestWaitsForTheTimeUpLineThenGivesItsVerdict) {
    StartContest(1);
    Contest().TimeLeft = 6; // 15 s of play
    rus_test::AutoPlayer player(6);
    int cooking = 0;
    ASSERT_TRUE(RunUntil(
        [&] {
            const rus::PlayInput in = player.Next(Contest());
            MoveTo(in.x, in.y);
            if (in.click) {
                Click();
            } else {
                Frame();
            }
            cooking =
                std::max<int>(cooking, static_cast<int>(std::ranges::count_if(
                                           Contest().PlayerStage, [](int s) { return s > 0; })));
            return Contest().State != RusState::Play;
        },
        4000));
    ASSERT_EQ(Contest().State, RusState::Judge);
    EXPECT_GT(cooking, 1); // the scripted clicks worked the pan
    // The time-up picture shows the timer at 00 while the line plays.
    ASSERT_NE(g_voiceChannels[0], nullptr);
    EXPECT_EQ(TenthsOf(g_voiceChannels[0].get()), 20);
    const std::uint32_t up = Now();
    ASSERT_TRUE(RunUntil([&] { return Contest().State != RusState::Judge; }));
    EXPECT_GE(Now() - up, 2000u);
    const bool won = Contest().State == RusState::Win;
    ASSERT_TRUE(won || Contest().State == RusState::Lose);
    ASSERT_TRUE(RunUntil(
        [&] {
            Click();
            return g_gameApp->mode == 67;
        },
        100));
    EXPECT_EQ(g_gameApp->contestResults[0], won ? 6 : 1);
}

} // namespace
