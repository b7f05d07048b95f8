// The test scenes run headless: every scene draws, the transition viewer
// steps through the effects on the mouse buttons and shows its numbers, and
// ending the scenes gives back the shared surfaces they took.
#include "gfx/TestScenes.h"
#include "gfx/Dib.h"
#include "gfx/Transition.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

class TestScenesTest : public testing_support::HeadlessTest {
protected:
    TestScenesTest() {
        g_backBuffer = std::make_unique<CDib>();
        g_backBuffer->Create(platform::WindowHandle::Main, 800, 600, 24);
        g_backBuffer->FillRect(0, 0, 800, 600, 0);
    }
    ~TestScenesTest() override {
        EndTestScenes();
        g_backBuffer.reset();
    }

    static void Frames(void (*scene)(platform::WindowHandle), int count, std::uint32_t step) {
        for (int i = 0; i < count; ++i) {
            platform::Event e;
            while (platform::PeekEvent(e)) {
            }
            platform::headless::AdvanceClock(step);
            scene(platform::WindowHandle::Main);
        }
    }

    static void Click(platform::MouseButton button) {
        platform::headless::PushButton(button, true, 400, 300);
        Frames(TestTransitionScene, 1, 0);
        platform::headless::PushButton(button, false, 400, 300);
        Frames(TestTransitionScene, 1, 0);
    }

    static std::uint32_t Px(int x, int y) { return *g_backBuffer->GetPixelPtr(x, y) & 0xFFFFFF; }
};

TEST_F(TestScenesTest, EverySceneDrawsAPicture) {
    for (auto scene :
         {TestRainScene, TestTransitionScene, TestProjectionScene, TestRotateScene, TestFontScene,
          TestMessageScene, TestBlendScene, TestCopyScene, TestDemoSequence}) {
        g_backBuffer->FillRect(0, 0, 800, 600, 0);
        Frames(scene, 12, 400);
        int lit = 0;
        for (int y = 0; y < 600; y += 10)
            for (int x = 0; x < 800; x += 10)
                lit += Px(x, y) != 0;
        EXPECT_GT(lit, 2000) << "most of the screen should be drawn";
        EndTestScenes();
    }
}

TEST_F(TestScenesTest, TransitionViewerStepsAndShowsItsNumbers) {
    Frames(TestTransitionScene, 2, 0);
    EXPECT_EQ(GetTransitionViewerState().effect, 0);
    // Digits are seven segments of 12x20 from (16, 14): "00" lights the top
    // bar of both digits.
    EXPECT_EQ(Px(20, 15), 0xFFFFFFu);
    EXPECT_EQ(Px(36, 15), 0xFFFFFFu);

    Click(platform::MouseButton::Left);
    EXPECT_EQ(GetTransitionViewerState().effect, 1);
    // "01": the second digit has no top bar but its right-hand bars.
    EXPECT_EQ(Px(36, 15), 0u);
    EXPECT_EQ(Px(42, 18), 0xFFFFFFu);

    Click(platform::MouseButton::Right);
    Click(platform::MouseButton::Right);
    EXPECT_EQ(GetTransitionViewerState().effect, kTransitionCount - 1);

    // The progress runs from the elapsed time and ends at 255.
    Frames(TestTransitionScene, 1, 1000);
    const int halfway = GetTransitionViewerState().progress;
    EXPECT_GT(halfway, 100);
    EXPECT_LT(halfway, 255);
    Frames(TestTransitionScene, 2, 1000);
    EXPECT_EQ(GetTransitionViewerState().progress, 255);
}

TEST_F(TestScenesTest, EndingTheScenesGivesBackTheSharedSurfaces) {
    // Step to a mask wipe so that the viewer loads a mask.
    for (int i = 0; i < 40; ++i)
        Click(platform::MouseButton::Left);
    Frames(TestTransitionScene, 2, 10);
    EXPECT_EQ(GetTransitionViewerState().effect, 40);
    ASSERT_TRUE(cdib[1]);
    ASSERT_TRUE(g_maskImage);
    EXPECT_EQ(g_maskImage->GetWidth(), 800);
    EndTestScenes();
    EXPECT_FALSE(cdib[1]);
    EXPECT_FALSE(g_maskImage);
    EXPECT_EQ(GetTransitionViewerState().effect, 0);
}

} // namespace
