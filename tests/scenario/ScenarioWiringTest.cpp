#include "ScenarioFixture.h"
#include "app/Shell.h"

#include <cstring>

using testing_support::ScenarioTest;
namespace hl = platform::headless;

namespace {

class ScenarioWiringTest : public ScenarioTest {
protected:
    std::vector<std::uint32_t> PaceSleeps() {
        hl::ClearSleeps();
        App().Pace();
        return hl::Sleeps();
    }
    void Wheel(int delta) {
        platform::Event e;
        e.kind = platform::EventKind::Wheel;
        e.wheelDelta = delta;
        WndProc(e);
    }
};

} // namespace

TEST_F(ScenarioWiringTest, ConstructionMakesTheMatchObjectAndTheTables) {
    ASSERT_NE(g_mahjongGame, nullptr);
    EXPECT_EQ(g_mahjongGame->State, 0);
    EXPECT_EQ(g_mahjongGame->screenRect.right, 800);
    EXPECT_EQ(g_mahjongGame->screenRect.bottom, 600);
    ASSERT_NE(g_layerScratch, nullptr);
    EXPECT_EQ(g_layerScratch->GetWidth(), 800);
    EXPECT_EQ(*g_layerScratch->GetPixelPtr(799, 599), 0u);
    EXPECT_EQ(S().buttonHits0[5].left, 780);
    EXPECT_EQ(S().buttonHits0[6].right, 0);
    EXPECT_EQ(S().buttonDraws0[7].left, 765);
    EXPECT_EQ(S().buttonCells1[5].x, 278);
    EXPECT_EQ(S().buttonHits1[0].bottom, 586);
    EXPECT_EQ(S().particleRect.right, 800);
    EXPECT_EQ(S().particlesOn, 0);
    for (int g = 0; g < kParticleGroups; ++g) {
        for (const Particle& p : S().particles[g]) {
            EXPECT_GE(p.x, 0);
            EXPECT_LT(p.x, 800);
            EXPECT_GE(p.y, 0);
            EXPECT_LT(p.y, 600);
            EXPECT_GE(p.step, -1);
            EXPECT_LE(p.step, 1);
            EXPECT_GE(p.speed, g == 2 ? 3 : 2);
            EXPECT_LE(p.speed, g == 0 ? 3 : g == 1 ? 4 : 5);
        }
    }
    // The application object frees the script object, which frees the match.
    g_gameApp.reset();
    EXPECT_EQ(g_scenario, nullptr);
    EXPECT_EQ(g_mahjongGame, nullptr);
    EXPECT_EQ(g_layerScratch, nullptr);
}

TEST_F(ScenarioWiringTest, TheFrameRunsTheInterpreterAndTheMatch) {
    Start("set_var var=0 value=1\nset_var var=1 value=2\nend");
    App().RunFrame();
    EXPECT_EQ(S().vars[0], 1);
    EXPECT_EQ(S().vars[1], 0); // one record per frame
    App().RunFrame();
    App().RunFrame();
    EXPECT_EQ(App().mode, 1);

    App().mode = 64;
    App().RunFrame();
    App().RunFrame();
    EXPECT_EQ(g_mahjongGame->frameCount, 2u);
    // Without the match object the mode idles.
    g_mahjongGame.reset();
    App().RunFrame();
    EXPECT_EQ(App().mode, 64);
}

TEST_F(ScenarioWiringTest, MessageFramesSkipTheirSleepOnlyOverReadTextInSkipMode) {
    App().mode = 3;
    EXPECT_EQ(PaceSleeps(), std::vector<std::uint32_t>{8});
    S().skipMode = 1;
    S().textBlock = 1234;
    EXPECT_EQ(PaceSleeps(), std::vector<std::uint32_t>{8});
    g_config[config::kReadFlags + 1234] = 1;
    EXPECT_TRUE(PaceSleeps().empty());
    App().mode = 55;
    EXPECT_TRUE(PaceSleeps().empty());
    S().skipMode = 0;
    EXPECT_EQ(PaceSleeps(), std::vector<std::uint32_t>{8});
    g_mouse->skip = 1;
    EXPECT_TRUE(PaceSleeps().empty());
    // A text block beyond the read flags counts as unread.
    g_mouse->skip = 0;
    S().skipMode = 1;
    S().textBlock = 4000000000u;
    EXPECT_EQ(PaceSleeps(), std::vector<std::uint32_t>{8});
}

TEST_F(ScenarioWiringTest, WithoutTheScriptObjectTheFrameEndsWithoutSleeping) {
    App().mode = 1;
    EXPECT_EQ(PaceSleeps(), std::vector<std::uint32_t>{8});
    g_scenario.reset();
    for (std::uint8_t mode : {1, 3, 24}) {
        App().mode = mode;
        EXPECT_TRUE(PaceSleeps().empty()) << int{mode};
    }
}

TEST_F(ScenarioWiringTest, TheWheelInMessageDisplayOpensTheBacklogOrClicks) {
    App().mode = 3;
    S().subState = 2;
    App().logCount = 2;
    *g_backBuffer->GetPixelPtr(10, 20) = 0x123456;
    *g_backBuffer->GetPixelPtr(799, 599) = 0xABCDEF;
    Wheel(0); // zero counts as up
    EXPECT_EQ(App().mode, 6);
    EXPECT_EQ(App().returnMode, 3);
    ASSERT_NE(g_menuSnapshot, nullptr);
    EXPECT_EQ(*g_menuSnapshot->GetPixelPtr(10, 20), 0x123456u);
    EXPECT_EQ(*g_menuSnapshot->GetPixelPtr(799, 599), 0xABCDEFu);

    struct Case {
        std::uint8_t subState, context, hidden;
        std::int32_t count;
    };
    // Each blocks the backlog: the text still drawing, a replay, a hidden
    // window, a single entry.
    for (const Case& c : {Case{1, 0, 0, 5}, Case{2, 1, 0, 5}, Case{2, 0, 1, 5}, Case{2, 0, 0, 1}}) {
        App().mode = 3;
        App().returnMode = 0;
        S().subState = c.subState;
        S().playContext = c.context;
        S().windowHidden = c.hidden;
        App().logCount = c.count;
        Wheel(120);
        EXPECT_EQ(App().mode, 3);
        EXPECT_EQ(App().returnMode, 0);
    }
    S().subState = 2;
    S().hoverButton = 3;
    Wheel(-120);
    EXPECT_EQ(g_mouse->click, 0);
    S().hoverButton = 0;
    Wheel(-120);
    EXPECT_EQ(g_mouse->click, 1);
    g_mouse->click = 0;
    S().subState = 0;
    Wheel(-120);
    EXPECT_EQ(g_mouse->click, 0);
}

TEST_F(ScenarioWiringTest, LoadingTheSettingsSetsSkipEffectsAndAutoMode) {
    std::vector<std::uint8_t> cfg(kConfigSize, 0);
    cfg[config::kSkipEffects] = 1;
    cfg[config::kAutoAtStart] = 1;
    testing_support::WriteFile(dir_.path() / "save" / "Config.dat", cfg);
    LoadConfig();
    EXPECT_EQ(S().skipEffects, 1);
    EXPECT_EQ(S().autoMode, 1);
    cfg[config::kSkipEffects] = 0;
    testing_support::WriteFile(dir_.path() / "save" / "Config.dat", cfg);
    LoadConfig();
    EXPECT_EQ(S().skipEffects, 0);
}
