// Sprite layers on the story screen: when a slot appears, where it is drawn,
// how mode 38 finishes the layers, the mask composite and mode 35.
#include "SceneTestSupport.h"

using testing_support::SceneTest;
namespace hl = platform::headless;

namespace {

constexpr std::uint32_t kBg = 0x112233;
constexpr std::uint32_t kBlue = 0x0000FF;

class LayerSceneTest : public SceneTest {
protected:
    void SetUp() override {
        cdib[0]->FillRect(0, 0, 800, 600, kBg);
        g_backBuffer->FillRect(0, 0, 800, 600, kBg);
        Picture("bmp/l0.bmp", 10, 10, kBlue);
        hl::AdvanceClock(1000);
    }
    // One composed frame at the current time in mode `mode`.
    void Compose(std::uint8_t mode = 18) {
        App().mode = mode;
        S().ComposeScene();
    }
};

TEST_F(LayerSceneTest, ADelayedSlotAppearsOnlyAfterItsDelayAndAFrameLater) {
    Start("load_layer layer=0 text=\"l0.bmp\"\n"
          "layer_mask layer=0 mask=0 x=100 y=100 w=20 h=20 src_x=0 src_y=0 src_w=10 src_h=10 "
          "delay=500\n"
          "layer_wobble layer=0 sweep=90 opacity=256 ramp=0\n"
          "start_layer layer=0\n"
          "wait ms=1\n");
    RunScript();
    for (std::uint32_t at : {0u, 499u}) {
        hl::AdvanceClock(at == 0 ? 0 : at);
        Compose();
        EXPECT_EQ(Rgb(g_backBuffer.get(), 105, 105), kBg) << at;
        EXPECT_EQ(S().layers[0].started, 0);
    }
    // The opacity ran while waiting: past the zero ramp it is sin 90 * 256.
    EXPECT_EQ(S().layers[0].alpha, 256);
    hl::AdvanceClock(1); // 500 ms: the slot starts and its clocks restart
    Compose();
    EXPECT_EQ(S().layers[0].started, 1);
    EXPECT_EQ(S().layers[0].alphaClock, 1500u);
    // Opacity 256 is a stretched copy.
    EXPECT_EQ(Rgb(g_backBuffer.get(), 100, 100), kBlue);
    EXPECT_EQ(Rgb(g_backBuffer.get(), 119, 119), kBlue); // 10x10 stretched to 20x20
    EXPECT_EQ(Rgb(g_backBuffer.get(), 120, 119), kBg);
    EXPECT_EQ(Rgb(g_backBuffer.get(), 99, 100), kBg);
}

TEST_F(LayerSceneTest, ASlotWithoutAnOpacityAnimationStaysInvisible) {
    Start("load_layer layer=0 text=\"l0.bmp\"\n"
          "layer_mask layer=0 mask=0 x=100 y=100 w=10 h=10 src_x=0 src_y=0 src_w=10 src_h=10\n"
          "wait ms=1\n");
    RunScript();
    for (int i = 0; i < 5; ++i) {
        hl::AdvanceClock(400);
        Compose();
    }
    EXPECT_EQ(S().layers[0].started, 1);
    EXPECT_EQ(Rgb(g_backBuffer.get(), 105, 105), kBg);
}

TEST_F(LayerSceneTest, ClickingModeThirtyEightAwaySettlesEverySlotAtItsEnd) {
    Start("load_layer layer=0 text=\"l0.bmp\"\n"
          "layer_mask layer=0 mask=0 x=100 y=100 w=10 h=10 src_x=0 src_y=0 src_w=10 src_h=10\n"
          "layer_tween layer=0 type=0 x=300 y=100 w=10 h=10 src_x=0 src_y=0 src_w=10 src_h=10 "
          "ms=1000\n"
          "layer_wobble layer=0 sweep=90 opacity=256 ramp=0\n"
          "start_layer layer=0\n"
          "wait_layers ms=5000\n"
          "wait ms=1\n");
    RunScript();
    ASSERT_EQ(App().mode, 38);
    App().RunFrame(); // starts the slot
    hl::AdvanceClock(500);
    App().RunFrame();
    // 100 + 200 * 500 / 1001
    EXPECT_EQ(S().layers[0].rect[0], 199);
    EXPECT_EQ(Rgb(g_backBuffer.get(), 205, 105), kBlue);
    EXPECT_EQ(Rgb(g_backBuffer.get(), 150, 105), kBg);
    g_mouse->click = 1;
    hl::AdvanceClock(16);
    App().RunFrame();
    EXPECT_EQ(g_mouse->click, 0);
    EXPECT_EQ(S().layers[0].rect[0], 300);
    EXPECT_EQ(S().layers[0].duration, 0u);
    App().RunFrame();
    EXPECT_EQ(App().mode, 2);
    hl::AdvanceClock(100);
    Compose();
    EXPECT_EQ(S().layers[0].rect[0], 300);
    EXPECT_EQ(Rgb(g_backBuffer.get(), 305, 105), kBlue);
    EXPECT_EQ(Rgb(g_backBuffer.get(), 205, 105), kBg);
}

TEST_F(LayerSceneTest, ModeThirtyEightEndsByItselfAndOnCtrl) {
    Start("start_layer layer=0\nwait_layers ms=300\nwait ms=1\n");
    RunScript();
    EXPECT_EQ(RunModeToEnd(100), 5); // 0, 100, 200: waiting; 300: over; then back to 2
    Start("load_layer layer=0 text=\"l0.bmp\"\n"
          "layer_tween layer=0 type=0 x=300 y=100 w=10 h=10 src_x=0 src_y=0 src_w=10 src_h=10 "
          "ms=1000\n"
          "wait_layers ms=5000\nwait ms=1\n");
    RunScript();
    EXPECT_EQ(RunModeToEnd(16, true), 2);
    EXPECT_EQ(S().layers[0].rect[0], 300);
}

TEST_F(LayerSceneTest, TheMaskCompositeShowsTheLayersAtSlotZerosOpacity) {
    Start("load_layer layer=0 text=\"l0.bmp\"\n"
          "layer_mask layer=0 mask=3 x=100 y=100 w=10 h=10 src_x=0 src_y=0 src_w=10 src_h=10\n"
          "layer_wobble layer=0 sweep=90 opacity=256 ramp=0\n"
          "wait ms=1\n");
    RunScript();
    ASSERT_NE(cdib[1], nullptr);
    cdib[1]->FillRect(0, 0, 800, 600, 0x445566);
    Compose();                                         // starts
    EXPECT_EQ(Rgb(g_backBuffer.get(), 400, 400), kBg); // progress 0: all background
    hl::AdvanceClock(10);
    Compose(); // progress 256: all composite
    EXPECT_EQ(Rgb(cdib[1].get(), 105, 105), kBlue);
    EXPECT_EQ(Rgb(g_backBuffer.get(), 105, 105), kBlue);
    EXPECT_EQ(Rgb(g_backBuffer.get(), 400, 400), 0x445566u);
}

TEST_F(LayerSceneTest, ATurnedSlotWithAnEmptySourceDrawsNothing) {
    Start("load_layer layer=0 text=\"l0.bmp\"\n"
          "layer_mask layer=0 mask=0 x=100 y=100 w=10 h=10 src_x=0 src_y=0 src_w=0 src_h=10 "
          "angle=30\n"
          "layer_wobble layer=0 sweep=90 opacity=256 ramp=0\n"
          "wait ms=1\n");
    RunScript();
    for (int i = 0; i < 3; ++i) {
        hl::AdvanceClock(10);
        Compose();
    }
    EXPECT_EQ(Digest(g_backBuffer.get()), Digest(cdib[0].get()));
}

TEST_F(LayerSceneTest, ColourFadeEndsOnTheSamePixelsWithOrWithoutCtrl) {
    std::uint64_t back[2], scene[2], backup[2];
    for (int ctrl = 0; ctrl < 2; ++ctrl) {
        FillPattern(cdib[0].get(), 3);
        g_backBuffer->FillRect(0, 0, 800, 600, 0);
        Start("color_fade layer=0 ms=700 color=0x80FF8000\nwait ms=1\n");
        RunScript();
        ASSERT_EQ(App().mode, 35);
        const int frames = RunModeToEnd(16, ctrl == 1);
        EXPECT_GE(frames, ctrl ? 4 : 20) << ctrl;
        back[ctrl] = Digest(g_backBuffer.get());
        scene[ctrl] = Digest(cdib[0].get());
        backup[ctrl] = Digest(g_backupSurface.get());
        EXPECT_EQ(cdib[1], nullptr);
    }
    EXPECT_EQ(back[0], back[1]);
    EXPECT_EQ(scene[0], scene[1]);
    EXPECT_EQ(backup[0], backup[1]);
    EXPECT_EQ(back[0], scene[0]); // the tinted picture became the scene
    EXPECT_NE(back[0], 0u);
}

TEST_F(LayerSceneTest, AColourFadeOfZeroLengthIsOverInItsFirstFrame) {
    Start("color_fade layer=0 ms=0 color=0xFF000000\nwait ms=1\n");
    RunScript();
    EXPECT_EQ(RunModeToEnd(0), 4);             // set up, finish, copy, hand back
    EXPECT_EQ(Rgb(cdib[0].get(), 10, 10), 0u); // opaque black laid over
}

} // namespace

namespace {

TEST_F(LayerSceneTest, ALayerWaitEndsOnTheSamePixelsWhenSkipped) {
    // The opacity settles at once (zero ramp), so only the tween differs
    // between the runs: both end with the slot at its end.
    std::uint64_t back[2];
    for (int ctrl = 0; ctrl < 2; ++ctrl) {
        S().layers.fill(LayerSlot{});
        g_backBuffer->FillRect(0, 0, 800, 600, kBg);
        Start("load_layer layer=0 text=\"l0.bmp\"\n"
              "layer_mask layer=0 mask=0 x=100 y=100 w=10 h=10 src_x=0 src_y=0 src_w=10 src_h=10\n"
              "layer_tween layer=0 type=3 x=500 y=300 w=40 h=40 src_x=0 src_y=0 src_w=10 src_h=10 "
              "span=90 ms=800\n"
              "layer_wobble layer=0 sweep=90 opacity=256 ramp=0\n"
              "start_layer layer=0\n"
              "wait_layers ms=1000\n"
              "wait ms=1\n");
        RunScript();
        ASSERT_EQ(App().mode, 38);
        const int frames = RunModeToEnd(16, ctrl == 1);
        EXPECT_GE(frames, ctrl ? 2 : 60);
        // A skipped wait can hand back before the slot's first drawn frame;
        // the next composed frame of the story shows where it ended.
        hl::AdvanceClock(16);
        Compose();
        back[ctrl] = Digest(g_backBuffer.get());
        EXPECT_EQ(Rgb(g_backBuffer.get(), 539, 339), kBlue) << ctrl;
        EXPECT_EQ(Rgb(g_backBuffer.get(), 540, 340), kBg) << ctrl;
    }
    EXPECT_EQ(back[0], back[1]);
}

} // namespace
