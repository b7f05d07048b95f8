// The scene replay: only finished scenes show and react, the hover frame, a
// chosen scene played in the replay context from a clean presentation, its
// end setting its flag and bringing the room back with its music.
#include "frontend/SceneReplay.h"

#include "ExtrasTestSupport.h"
#include "app/Config.h"
#include "lib/ScriptAssembler.h"

using namespace frontend_test;

namespace {

constexpr std::uint32_t kThumb = 0xC08060;
constexpr std::uint32_t kFrame = 0xF0F0F0;

class SceneReplayTest : public FrontendTest {
protected:
    void SetUp() override {
        WriteButtonSheet();
        WriteSolid("system/scene_base.bmp", 800, 600, 0xFF000000u | kRoomBase);
        WriteSolid("system/sam_scene01.bmp", 560, 420, 0xFF000000u | kThumb);
        WriteSolid("system/sce_waku.bmp", 118, 90, 0xFF000000u | kFrame);
        std::filesystem::create_directories("script");
        std::string error;
        // The scene tries to change the mode: in a replay it cannot.
        ASSERT_TRUE(nvasm::WriteScriptFile("script/a1-2-3.s",
                                           "set_mode mode=28\nscene_end scene=0\nend\n", error))
            << error;
        FrontendTest::SetUp();
        g_gameApp->returnMode = 1;
        g_scenario->playContext = 1;
    }
    CSceneReplay& ToInput() { return RoomAtInput(14, g_sceneReplay); }
};

TEST_F(SceneReplayTest, OnlyFinishedScenesShowAndReact) {
    CSceneReplay& locked = ToInput();
    MoveTo(150, 160); // cell 0: 97,123 to 209,207
    Frame();
    EXPECT_EQ(locked.HoverCell, 0);
    EXPECT_EQ(Pixel(150, 160), kRoomBase);

    g_config[config::kSceneSeen + 0] = 1;
    g_sceneReplay.reset();
    CSceneReplay& room = ToInput();
    EXPECT_EQ(Pixel(150, 160), kThumb);
    EXPECT_EQ(Pixel(150 + 123, 160), kRoomBase); // cell 1 unseen
    Frame();
    EXPECT_EQ(room.HoverCell, 1);
    // The frame stands 3 px around the thumbnail; the tab bar above the
    // list keeps its lower rows.
    EXPECT_EQ(Pixel(94, 120), kFrame);
    EXPECT_EQ(Pixel(93, 120), kRoomBase);
    EXPECT_EQ(Pixel(94, 119), kRoomBase);
    EXPECT_EQ(Pixel(150, 160), kThumb);
    EXPECT_EQ(Pixel(100, 104), kTabLit);
    EXPECT_EQ(Pixel(50, 104), kTabPlain);
    MoveTo(400, 580);
    Frame();
    EXPECT_EQ(Pixel(94, 120), kRoomBase);
}

TEST_F(SceneReplayTest, ReplayedSceneSetsItsFlagAndComesBackToTheRoom) {
    g_config[config::kSceneSeen + 0] = 1;
    g_scenario->skipMode = 1;
    g_scenario->autoMode = 1;
    g_scenario->messageStyle = 2;
    CSceneReplay& room = ToInput();
    EXPECT_EQ(g_scenario->skipMode, 0);
    EXPECT_EQ(g_scenario->autoMode, 0);
    EXPECT_EQ(g_scenario->messageStyle, 0);
    EXPECT_EQ(TenthsOf(g_bgmChannel.get()), 10);

    MoveTo(150, 160);
    Frame();
    g_mouse->click = 1;
    Frame();
    ASSERT_EQ(room.State, 3);
    // Cleared here so that the scene's own end is seen setting it.
    g_config[config::kSceneSeen + 0] = 0;
    AdvanceTo(room.StartTime + 500);
    Frame();
    EXPECT_EQ(g_gameApp->mode, 2);
    EXPECT_EQ(g_scenario->playContext, 1);
    EXPECT_EQ(g_bgmChannel, nullptr);
    EXPECT_EQ(g_scenario->bgmName, nullptr);
    EXPECT_EQ(Pixel(400, 300), 0u);

    for (int i = 0; i < 20 && g_gameApp->mode != 14; ++i) {
        EXPECT_NE(g_gameApp->mode, 28);
        Frame();
    }
    ASSERT_EQ(g_gameApp->mode, 14);
    EXPECT_EQ(g_config[config::kSceneSeen + 0], 1);
    EXPECT_EQ(g_gameApp->returnMode, 1);
    Frame();
    // The room opens afresh and its music plays again.
    ASSERT_NE(g_sceneReplay, nullptr);
    EXPECT_EQ(g_sceneReplay->State, 1);
    EXPECT_EQ(TenthsOf(g_bgmChannel.get()), 10);
    EXPECT_STREQ(g_scenario->bgmName.get(), "n004.ogg");
}

} // namespace
