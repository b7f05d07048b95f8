// The story chooser and the mini-game chooser: the title music carried
// over, the panels' intro, hovering, the quit question, the locked contest
// panel and where each panel and button leads.
#include "frontend/MiniGameChooser.h"
#include "frontend/StoryChooser.h"

#include "FrontendFixture.h"
#include "app/Config.h"
#include "screenkit/ScreenKit.h"

using namespace frontend_test;

namespace {

constexpr std::uint32_t kBg = 0x303030;
constexpr std::uint32_t kLit[3] = {0xFF0000, 0xFE0000, 0xFD0000};
constexpr std::uint32_t kPanel[3] = {0x00FF00, 0x00FE00, 0x00FD00};
constexpr std::uint32_t kLocked = 0x808080;
constexpr std::uint32_t kButton[4] = {0x0000FF, 0x0000FE, 0x0000FD, 0x0000FC};

std::vector<std::uint32_t> Opaque(std::initializer_list<std::uint32_t> colours) {
    std::vector<std::uint32_t> out;
    for (std::uint32_t c : colours)
        out.push_back(0xFF000000u | c);
    return out;
}

class ChooserTest : public FrontendTest {
protected:
    void SetUp() override {
        WriteSolid("system/title_bg01.bmp", 800, 600, kBg);
        WriteBands("system/title01_p01.bmp", 547, 200, Opaque({kLit[0], kLit[1], kLit[2]}));
        WriteBands("system/title01_p02.bmp", 156, 34,
                   Opaque({kButton[0], kButton[1], kButton[2], kButton[3]}));
        WriteBands("system/title01_p03.bmp", 547, 200, Opaque({kPanel[0], kPanel[1], kPanel[2]}));
        WriteSolid("system/title_bg02.bmp", 800, 600, kBg);
        WriteBands("system/title02_p01.bmp", 547, 300, Opaque({kLit[0], kLit[1]}));
        WriteBands("system/title02_p02.bmp", 112, 34,
                   Opaque({kButton[0], kButton[1], kButton[2], kButton[3]}));
        WriteBands("system/title02_p03.bmp", 547, 300, Opaque({kPanel[0], kPanel[1], kLocked}));
        WriteTone("bgm/n006.ogg", 30);
        WriteTone("bgm/c006.ogg", 20);
        WriteTone("se/sys_010.ogg", 2);
        FrontendTest::SetUp();
    }
    CChooserScreen& Screen() {
        if (g_storyChooser) return *g_storyChooser;
        return *g_miniGameChooser;
    }
    void Enter(int mode) {
        g_gameApp->mode = static_cast<std::uint8_t>(mode);
        Frame();
    }
    void ToInput(int mode) {
        Enter(mode);
        g_scenario->skipEffects = 1;
        Frames(3);
        g_scenario->skipEffects = 0;
        ASSERT_EQ(Screen().State, 2);
    }
    void Step() { Screen().Run(platform::WindowHandle::Main); }
    void Choose(int x, int y) {
        MoveTo(x, y);
        g_mouse->click = 1;
        Frame();
    }
};

TEST_F(ChooserTest, TitleMusicPlaysOnWhenItsNameMatchesLetterCaseAside) {
    g_bgmChannel = std::make_unique<CBgmChannel>();
    CBgmChannel* playing = g_bgmChannel.get();
    screenkit::SetMusicName("N006.OGG");
    Enter(56);
    EXPECT_EQ(g_bgmChannel.get(), playing);
    EXPECT_STREQ(g_scenario->bgmName.get(), "N006.OGG");

    // Any other name: the title music starts from its beginning. The old
    // channel is told apart by its length, not by its address: a freed
    // channel's address may come back for the new one.
    g_storyChooser.reset();
    g_bgmChannel = std::make_unique<CBgmChannel>();
    ASSERT_TRUE(g_bgmChannel->Load("bgm\\c006.ogg"));
    ASSERT_EQ(TenthsOf(g_bgmChannel.get()), 20);
    screenkit::SetMusicName("c006.ogg");
    Enter(56);
    ASSERT_NE(g_bgmChannel, nullptr);
    EXPECT_EQ(TenthsOf(g_bgmChannel.get()), 30);
    EXPECT_STREQ(g_scenario->bgmName.get(), "n006.ogg");

    // Music off: nothing plays, but the name is recorded.
    g_storyChooser.reset();
    g_config[config::kMusicOff] = 1;
    screenkit::FreeMusicName();
    Enter(56);
    EXPECT_EQ(g_bgmChannel, nullptr);
    EXPECT_STREQ(g_scenario->bgmName.get(), "n006.ogg");
}

TEST_F(ChooserTest, PanelsSlideInOneAfterAnother) {
    Enter(56);
    AdvanceTo(1000);
    Frame();
    ASSERT_EQ(Screen().SubState, 1);
    const std::uint32_t s = Screen().StartTime;
    EXPECT_EQ(Screen().PanelStartTime[0], s);

    // The screen runs alone, without the frame's 8-ms pause.
    AdvanceTo(s + 100);
    Step(); // 100 × 255 / 400 = 63
    EXPECT_EQ(Screen().PanelStarted[1], 0);
    AdvanceTo(s + 101);
    Step(); // 64: panel 2 starts
    EXPECT_EQ(Screen().PanelStarted[1], 1);
    EXPECT_EQ(Screen().PanelStartTime[1], s + 101);
    EXPECT_EQ(Screen().PanelStarted[2], 0);

    AdvanceTo(s + 200);
    Step();
    // Panel 1 at level 127 has slid 127 × 255 / 256 = 126 px to x 382;
    // green 255·127 >> 8 = 126 plus 48·128 >> 8 = 24.
    EXPECT_EQ(Screen().PanelSlide[0], 126);
    EXPECT_EQ(Pixel(382, 100), 0x189618u);
    EXPECT_EQ(Pixel(381, 100), kBg);
    // Panel 2 at (99 × 255 / 400 = 63): slid 62 px to x 446, green 254·63 >> 8 = 62
    // plus 48·192 >> 8 = 36.
    EXPECT_EQ(Pixel(446, 300), 0x246224u);
    EXPECT_EQ(Pixel(445, 300), kBg);
    EXPECT_EQ(Screen().PanelStarted[2], 0);
    AdvanceTo(s + 201);
    Step(); // panel 1 at 128: panel 3 starts
    EXPECT_EQ(Screen().PanelStartTime[2], s + 201);

    // Panel 3 is full 400 ms later and ends the step before its 1000 ms.
    AdvanceTo(s + 600);
    Step();
    EXPECT_EQ(Screen().SubState, 1);
    AdvanceTo(s + 601);
    Step();
    EXPECT_EQ(Screen().SubState, 2);
    // At level 255 it is drawn whole but has slid 255 × 255 / 256 = 254 px,
    // to x 254; the end of the step puts all three at their place, 253.
    EXPECT_EQ(Screen().PanelSlide[2], 254);
    EXPECT_EQ(Pixel(253, 500), kBg);
    EXPECT_EQ(Pixel(254, 500), kPanel[2]);
    Frame();
    EXPECT_EQ(Screen().State, 2);
    for (int p = 0; p < 3; ++p)
        EXPECT_EQ(Pixel(253, 200 * p + 1), kPanel[p]);
    EXPECT_EQ(Pixel(252, 10), kBg);
}

TEST_F(ChooserTest, ClickDuringTheIntroIsConsumedAndChoosesNothing) {
    Enter(56);
    MoveTo(300, 100);
    Frame();
    g_mouse->click = 1;
    Frame(); // ends the fade-in
    EXPECT_EQ(Screen().SubState, 1);
    EXPECT_EQ(g_mouse->click, 0);
    g_mouse->click = 1;
    Frame(); // ends the panels
    EXPECT_EQ(g_mouse->click, 0);
    Frames(2);
    EXPECT_EQ(Screen().State, 2);
    EXPECT_EQ(Screen().HoverPanel, 1);
    EXPECT_EQ(g_seChannels[0], nullptr);
}

TEST_F(ChooserTest, HoverLightsOnePanelOrOneButtonAndRestoresTheOld) {
    ToInput(56);
    MoveTo(300, 250);
    Frame();
    EXPECT_EQ(Screen().HoverPanel, 2);
    EXPECT_EQ(Screen().HoverButton, 0);
    EXPECT_EQ(Pixel(260, 210), kLit[1]);
    MoveTo(10, 440);
    Frame();
    EXPECT_EQ(Screen().HoverPanel, 0);
    EXPECT_EQ(Screen().HoverButton, 1);
    EXPECT_EQ(Pixel(260, 210), kPanel[1]);
    EXPECT_EQ(Pixel(9, 431), kButton[0]);
    MoveTo(30, 470);
    Frame();
    EXPECT_EQ(Screen().HoverButton, 2);
    EXPECT_EQ(Pixel(9, 431), kBg);
    EXPECT_EQ(Pixel(23, 465), kButton[1]);
}

TEST_F(ChooserTest, QuitAsksFirstAndCancelLeavesTheChooserAsItWas) {
    ToInput(56);
    hl::QueueAnswer(platform::BoxAnswer::Cancel);
    Choose(50, 540);
    ASSERT_EQ(hl::Questions().size(), 1u);
    EXPECT_EQ(hl::Questions()[0].gbkText,
              "\xD2\xAA\xCD\xCB\xB3\xF6\xD3\xCE\xCF\xB7\xC2\xF0\xA3\xBF");
    EXPECT_EQ(hl::Questions()[0].gbkCaption, "Norvane");
    EXPECT_TRUE(hl::Questions()[0].okCancel);
    EXPECT_EQ(Screen().State, 2);
    EXPECT_EQ(g_mouse->click, 0);
    EXPECT_EQ(g_seChannels[0], nullptr);
    EXPECT_FALSE(QuitRequested());

    hl::QueueAnswer(platform::BoxAnswer::Ok);
    Choose(50, 540);
    EXPECT_EQ(Screen().State, 6);
    Frame();
    EXPECT_TRUE(QuitRequested());
    EXPECT_EQ(g_bgmChannel, nullptr);
}

TEST_F(ChooserTest, StoryPanelFadesTheMusicAndOpensItsScenarioTitle) {
    for (int panel = 1; panel <= 3; ++panel) {
        SCOPED_TRACE(panel);
        g_storyChooser.reset();
        g_bgmChannel.reset();
        screenkit::FreeMusicName();
        ToInput(56);
        g_scenario->playContext = 2;
        g_scenario->menuReturn = 1;
        g_scenario->particlesOn = 1;
        Choose(400, 200 * panel - 100);
        ASSERT_EQ(Screen().State, 4);
        EXPECT_NE(g_seChannels[0], nullptr);
        ASSERT_NE(g_bgmChannel, nullptr);
        EXPECT_TRUE(g_bgmChannel->IsFading());
        EXPECT_EQ(g_scenario->bgmPlaying, 0);
        // The chosen panel's lit look is part of both pictures of the fade.
        EXPECT_EQ(PixelOf(cdib[1].get(), 260, 200 * panel - 190), kLit[panel - 1]);
        EXPECT_EQ(PixelOf(cdib[0].get(), 260, 200 * panel - 190), kLit[panel - 1]);
        g_scenario->skipEffects = 1;
        Frames(2);
        g_scenario->skipEffects = 0;
        EXPECT_EQ(g_gameApp->mode, 57 + panel);
        EXPECT_EQ(g_scenario->playContext, 0);
        EXPECT_EQ(g_scenario->menuReturn, 0);
        EXPECT_EQ(g_scenario->particlesOn, 0);
        EXPECT_EQ(g_bgmChannel, nullptr);
        EXPECT_EQ(g_scenario->bgmName, nullptr);
        EXPECT_EQ(g_seChannels[0], nullptr);
        for (int s : {1, 2, 3, 4, 10})
            EXPECT_EQ(cdib[s], nullptr);
    }
}

TEST_F(ChooserTest, ButtonsLeadToTheOtherChooserSettingsAndExtras) {
    struct Case {
        int chooser;
        int button;
        int mode;
    } cases[] = {{56, 1, 57}, {57, 1, 56}, {56, 2, 9}, {57, 2, 9}, {56, 3, 15}, {57, 3, 15}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.chooser << " button " << c.button);
        g_storyChooser.reset();
        g_miniGameChooser.reset();
        ToInput(c.chooser);
        g_scenario->menuReturn = 1;
        g_gameApp->returnMode = 0;
        const platform::Rect& r = Screen().ButtonRects[c.button - 1];
        Choose(r.left + 1, r.top + 1);
        EXPECT_EQ(Screen().State, 6);
        Frame();
        EXPECT_EQ(g_gameApp->mode, c.mode);
        if (c.button == 1) {
            EXPECT_NE(g_bgmChannel, nullptr); // plays on
        } else {
            EXPECT_EQ(g_gameApp->returnMode, c.chooser);
            EXPECT_EQ(g_scenario->menuReturn, 0);
        }
        if (c.button == 3) {
            EXPECT_EQ(g_scenario->playContext, 1);
            EXPECT_EQ(g_bgmChannel, nullptr);
        }
    }
}

TEST_F(ChooserTest, ContestPanelStaysLockedUntilScriptFlag3) {
    g_config[config::kScriptFlags + 3] = 0;
    ToInput(57);
    EXPECT_EQ(Pixel(260, 310), kLocked);
    EXPECT_EQ(Pixel(260, 10), kPanel[0]);
    MoveTo(400, 400);
    Frame();
    EXPECT_EQ(Screen().HoverPanel, 0);
    EXPECT_EQ(Pixel(260, 310), kLocked);
    g_mouse->click = 1;
    Frame();
    EXPECT_EQ(Screen().State, 2);

    g_miniGameChooser.reset();
    g_config[config::kScriptFlags + 3] = 1;
    ToInput(57);
    EXPECT_EQ(Pixel(260, 310), kPanel[1]);
    g_gameApp->opponentIndex = 5;
    g_scenario->playContext = 3;
    g_scenario->bgmPlaying = 1;
    Choose(400, 400);
    ASSERT_EQ(Screen().State, 4);
    // No music fade: the screen itself fades to black.
    EXPECT_FALSE(g_bgmChannel->IsFading());
    EXPECT_EQ(g_scenario->bgmPlaying, 1);
    EXPECT_EQ(PixelOf(cdib[0].get(), 400, 300), 0u);
    EXPECT_EQ(PixelOf(cdib[1].get(), 260, 310), kLit[1]);
    const std::uint32_t start = Screen().StartTime;
    AdvanceTo(start + 500);
    Frame();
    // Half way to black: red 254·128 >> 8 = 127.
    EXPECT_EQ(Pixel(260, 310), 0x7F0000u);
    AdvanceTo(start + 1000);
    Frames(2);
    EXPECT_EQ(g_gameApp->mode, 65);
    EXPECT_EQ(g_gameApp->opponentIndex, 0);
    EXPECT_EQ(g_scenario->playContext, 3); // untouched
}

TEST_F(ChooserTest, MiniGameIntroStartsTheLowerPanelAtLevel96AndEndsWithIt) {
    Enter(57);
    AdvanceTo(1000);
    Frame();
    const std::uint32_t s = Screen().StartTime;
    AdvanceTo(s + 150);
    Step(); // 95
    EXPECT_EQ(Screen().PanelStarted[1], 0);
    AdvanceTo(s + 151);
    Step(); // 96
    EXPECT_EQ(Screen().PanelStarted[1], 1);
    AdvanceTo(s + 550);
    Step();
    EXPECT_EQ(Screen().SubState, 1);
    AdvanceTo(s + 551);
    Step();
    EXPECT_EQ(Screen().SubState, 2);
}

} // namespace
