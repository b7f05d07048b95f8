// The three scenario titles: the new-game reset and save group on entry,
// the scenario music and the third title's voice line, the highlights, the
// way back by right click, and where each item leads.
#include "frontend/ScenarioTitle1.h"
#include "frontend/ScenarioTitle2.h"
#include "frontend/ScenarioTitle3.h"

#include "FrontendFixture.h"
#include "app/Config.h"
#include "lib/ScriptAssembler.h"
#include "screenkit/ScreenKit.h"

#include <cstring>

using namespace frontend_test;

namespace {

constexpr std::uint32_t kBg = 0x303030;
constexpr std::uint32_t kStrip[5] = {0xFF0000, 0xFE0000, 0xFD0000, 0xFC0000, 0xFB0000};

class ScenarioTitleTest : public FrontendTest {
protected:
    void SetUp() override {
        std::vector<std::uint32_t> rows;
        for (std::uint32_t c : kStrip)
            rows.push_back(0xFF000000u | c);
        for (const char* t : {"s", "r", "i"}) {
            WriteSolid(std::string("system/title_bg_") + t + ".bmp", 800, 600, kBg);
        }
        WriteBands("system/title_s_p01.bmp", 160, 28, rows);
        WriteBands("system/title_r_p01.bmp", 200, 37, rows);
        WriteBands("system/title_i_p01.bmp", 122, 34, rows);
        WriteTone("bgm/n002.ogg", 21);
        WriteTone("bgm/c006.ogg", 22);
        WriteTone("bgm/n007.ogg", 23);
        WriteTone("se/sys_010.ogg", 2);
        WriteTone("se/Pop_D002.ogg", 3);
        // Voice line i lasts i + 1 tenths.
        for (int i = 0; i < 11; ++i) {
            std::string name = g_scenarioVoices[i];
            name.replace(name.find('\\'), 1, "/");
            WriteTone(name, i + 1);
        }
        std::filesystem::create_directories("script");
        std::string error;
        for (const char* s : {"script/start.s", "script/b0.s", "script/c01.s"})
            ASSERT_TRUE(nvasm::WriteScriptFile(s, "end\n", error)) << error;
        FrontendTest::SetUp();
    }
    CScenarioTitleScreen& Title() {
        if (g_scenarioTitle1) return *g_scenarioTitle1;
        if (g_scenarioTitle2) return *g_scenarioTitle2;
        return *g_scenarioTitle3;
    }
    void FreeTitles() {
        g_scenarioTitle1.reset();
        g_scenarioTitle2.reset();
        g_scenarioTitle3.reset();
    }
    void ToInput(int mode) {
        FreeTitles();
        g_gameApp->mode = static_cast<std::uint8_t>(mode);
        Frame();
        g_scenario->skipEffects = 1;
        Frame();
        g_scenario->skipEffects = 0;
        ASSERT_EQ(Title().State, 2);
    }
    void Hover(int item) {
        const platform::Rect& r = Title().ItemRects[item - 1];
        MoveTo(r.left + 1, r.top + 1);
    }
    // Chooses an item and runs the fade out (cut short) and the exit.
    void ChooseAndLeave(int item) {
        Hover(item);
        g_mouse->click = 1;
        Frame();
        ASSERT_EQ(Title().State, 4);
        g_scenario->skipEffects = 1;
        Frames(2);
        g_scenario->skipEffects = 0;
    }
};

TEST_F(ScenarioTitleTest, EntryResetsTheStorySelectsTheSaveGroupAndStartsTheMusic) {
    const struct {
        int mode;
        int group;
        int tenths;
    } cases[] = {{58, 0, 21}, {59, 1, 22}, {60, 2, 23}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        FreeTitles();
        g_scenario->vars[127] = -1;
        g_gameApp->logCount = 9;
        g_scenario->bgmPlaying = 0;
        screenkit::SetMusicName("n006.ogg");
        g_gameApp->mode = static_cast<std::uint8_t>(c.mode);
        Frame();
        EXPECT_EQ(g_scenario->vars[127], 0);
        EXPECT_EQ(g_gameApp->logCount, 0);
        EXPECT_EQ(g_scenario->saveGroup, c.group);
        EXPECT_EQ(TenthsOf(g_bgmChannel.get()), c.tenths);
        EXPECT_EQ(g_scenario->bgmPlaying, 1);
        // The current-music name is left as it was.
        EXPECT_STREQ(g_scenario->bgmName.get(), "n006.ogg");
        EXPECT_EQ(g_voiceChannels[0] != nullptr, c.mode == 60);
    }
}

TEST_F(ScenarioTitleTest, ThirdTitleVoiceLineFollowsTheMinuteAndPlaysWithMusicOff) {
    g_config[config::kMusicOff] = 1;
    g_gameApp->mode = 60;
    Frame(); // minute 0: always the first line
    EXPECT_EQ(TenthsOf(g_voiceChannels[0].get()), 1);
    EXPECT_EQ(g_bgmChannel, nullptr);

    FreeTitles();
    AdvanceTo(120000); // minute 2
    platform::Srand(1);
    Frame();
    // First rand after srand(1) is 41; 41 × 120,000 × 2 = 9,840,000, mod 11 = 5.
    EXPECT_EQ(TenthsOf(g_voiceChannels[0].get()), 6);
}

TEST_F(ScenarioTitleTest, FadeInEndsOnAClickThatChoosesNothing) {
    g_gameApp->mode = 58;
    g_backBuffer->FillRect(0, 0, 800, 600, 0xFFFFFF);
    Frame();
    AdvanceTo(500);
    Frame();
    // Half way from white: 255·128 >> 8 = 127 plus 48·127 >> 8 = 23.
    EXPECT_EQ(Pixel(10, 10), 0x969696u);
    Hover(1);
    g_mouse->click = 1;
    Frame();
    EXPECT_EQ(Title().State, 2);
    EXPECT_EQ(g_mouse->click, 0);
    EXPECT_EQ(Pixel(10, 10), kBg);
    Frame();
    EXPECT_EQ(Title().State, 2);
    EXPECT_EQ(Title().HoverItem, 1);
}

TEST_F(ScenarioTitleTest, HoveredItemShowsItsRowOfTheHighlightStrip) {
    const struct {
        int mode;
        int x, y0, h;
    } cases[] = {{58, 320, 382, 28}, {59, 600, 342, 37}, {60, 339, 316, 34}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        ToInput(c.mode);
        for (int k = 1; k <= 5; ++k) {
            Hover(k);
            Frame();
            EXPECT_EQ(Title().HoverItem, k);
            EXPECT_EQ(Pixel(c.x, c.y0 + c.h * k), kStrip[k - 1]);
            EXPECT_EQ(Pixel(c.x, c.y0 + c.h * k + c.h - 1), kStrip[k - 1]);
            if (k > 1) {
                EXPECT_EQ(Pixel(c.x, c.y0 + c.h * (k - 1)), kBg) << "old item restored";
            }
        }
        MoveTo(5, 5);
        Frame();
        EXPECT_EQ(Pixel(c.x, c.y0 + c.h * 5), kBg);
    }
}

TEST_F(ScenarioTitleTest, RightClickAnywhereGoesBackToTheStoryChooser) {
    ToInput(59);
    Hover(2); // even over an item
    Frame();
    g_mouse->cancel = 1;
    Frame();
    EXPECT_EQ(Title().State, 4);
    EXPECT_EQ(Title().HoverItem, 100);
    EXPECT_EQ(g_mouse->cancel, 0);
    EXPECT_EQ(TenthsOf(g_seChannels[2].get()), 3); // the cancel sound
    EXPECT_EQ(PixelOf(cdib[0].get(), 0, 0), 0u);
    g_scenario->skipEffects = 1;
    Frames(2);
    EXPECT_EQ(g_gameApp->mode, 56);
    EXPECT_EQ(g_bgmChannel, nullptr);
    EXPECT_EQ(g_scenario->bgmName, nullptr);
    EXPECT_EQ(g_scenario->playContext, 0);

    // A left click over an item in the same frame wins.
    ToInput(59);
    Hover(3);
    g_mouse->cancel = 1;
    g_mouse->click = 1;
    Frame();
    EXPECT_EQ(Title().HoverItem, 3);
    EXPECT_EQ(Title().State, 4);
}

TEST_F(ScenarioTitleTest, StartLoadsTheFirstScriptAndHandsOverToTheInterpreter) {
    const struct {
        int mode;
        const char* script;
    } cases[] = {{58, "start.s"}, {59, "b0.s"}, {60, "c01.s"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        ToInput(c.mode);
        g_scenario->playContext = 3;
        g_scenario->menuReturn = 1;
        g_scenario->particlesOn = 1;
        ChooseAndLeave(1);
        EXPECT_EQ(g_gameApp->mode, 2);
        EXPECT_STREQ(g_gameApp->scriptName.data(), c.script);
        EXPECT_EQ(g_scenario->scriptSize, 4u);
        EXPECT_EQ(g_scenario->pc, 0u);
        EXPECT_EQ(g_scenario->playContext, 0);
        EXPECT_EQ(g_scenario->menuReturn, 0);
        EXPECT_EQ(g_scenario->particlesOn, 0);
        EXPECT_EQ(g_bgmChannel, nullptr);
        EXPECT_EQ(g_seChannels[0], nullptr);
        EXPECT_EQ(g_voiceChannels[0], nullptr); // the third title's line is cut off
        for (int s : {1, 2, 10})
            EXPECT_EQ(cdib[s], nullptr);
        Frame(); // the interpreter runs "end": back at the main title
        EXPECT_EQ(g_gameApp->mode, 1);
    }
}

TEST_F(ScenarioTitleTest, LoadSettingsAndExtrasComeBackToThisTitle) {
    const struct {
        int item;
        int mode;
    } cases[] = {{2, 11}, {3, 9}, {4, 15}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.item);
        ToInput(59);
        g_gameApp->returnMode = 0;
        g_scenario->menuReturn = 1;
        ChooseAndLeave(c.item);
        EXPECT_EQ(g_gameApp->mode, c.mode);
        EXPECT_EQ(g_gameApp->returnMode, 59);
        EXPECT_EQ(g_scenario->menuReturn, 0);
        // The save group stays set for the load screen.
        EXPECT_EQ(g_scenario->saveGroup, 1);
        EXPECT_EQ(g_bgmChannel != nullptr, c.item != 4); // extras stop the music
        if (c.item == 4) {
            EXPECT_EQ(g_scenario->playContext, 1);
        }
    }
}

TEST_F(ScenarioTitleTest, QuitAsksAndOkClosesTheWindow) {
    ToInput(58);
    hl::QueueAnswer(platform::BoxAnswer::Cancel);
    Hover(5);
    g_mouse->click = 1;
    Frame();
    EXPECT_EQ(Title().State, 2);
    EXPECT_EQ(g_seChannels[0], nullptr);
    hl::QueueAnswer(platform::BoxAnswer::Ok);
    g_mouse->click = 1;
    Frame();
    EXPECT_EQ(Title().State, 4);
    g_scenario->skipEffects = 1;
    Frames(2);
    EXPECT_TRUE(QuitRequested());
    EXPECT_EQ(hl::Questions().size(), 2u);
}

} // namespace
