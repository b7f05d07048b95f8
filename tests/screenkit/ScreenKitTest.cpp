// What the front-end screens share: step levels that a long stall cannot
// wrap, stretched blits that shrink to nothing, hit tests, music names.
#include "screenkit/ScreenKit.h"

#include "frontend/FrontendFixture.h"
#include "gfx/Blit.h"

using namespace frontend_test;

namespace {

TEST(ScreenKitLevels, StepLevelScalesCapsAndNeverWraps) {
    EXPECT_EQ(screenkit::StepLevel(125, 255, 250), 127u); // 125 × 255 / 250
    EXPECT_EQ(screenkit::StepLevel(249, 255, 250), 253u); // 63,495 / 250
    EXPECT_EQ(screenkit::StepLevel(250, 255, 250), 255u);
    EXPECT_EQ(screenkit::StepLevel(7999, 380, 8000), 379u); // the warning hold
    EXPECT_EQ(screenkit::StepLevel(8000, 380, 8000), 380u);
    // 20,000,000 × 255 passes 2^32: in 32 bits it would come back as
    // 805,032,704 / 250 = 3,220,130, which as 16 bits is 8,866 -- or, for the
    // boot fade, 16,843,010 ms wraps to a level of 0. Both end the step.
    EXPECT_EQ(screenkit::StepLevel(20000000, 255, 250), 255u);
    EXPECT_EQ(screenkit::FadeLevel(16843010, 2000), 255u);
    EXPECT_EQ(screenkit::FadeLevel(0xFFFFFFFFu, 1000), 255u);
    EXPECT_EQ(screenkit::StepLevel(100, 255, 0), 255u); // no duration: done
}

class ScreenKitTest : public FrontendTest {};

TEST_F(ScreenKitTest, StretchedBlitOfZeroOrNegativeSizeDrawsNothing) {
    CDib src, dst;
    src.Create(platform::WindowHandle::Main, 8, 4, 24);
    dst.Create(platform::WindowHandle::Main, 16, 8, 24);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            src.SetPixel(x, y, 0xFF00FF00);
    const struct { int w, h; } sizes[] = {{0, 4}, {8, 0}, {-6, 4}, {8, -3}, {-1, -1}, {0, 0}};
    for (const auto& s : sizes) {
        dst.FillRect(0, 0, 16, 8, 0x102030);
        for (int opacity : {128, 255}) {
            BltStretchAlphaBlend(&dst, 4, 2, s.w, s.h, &src, 0, 0, 8, 4, opacity);
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 16; ++x)
                    ASSERT_EQ(PixelOf(&dst, x, y), 0x102030u)
                        << s.w << "x" << s.h << " at " << x << "," << y;
        }
    }
    // A width of 1 does draw: the opaque green at opacity 255.
    BltStretchAlphaBlend(&dst, 4, 2, 1, 4, &src, 0, 0, 8, 4, 255);
    EXPECT_EQ(PixelOf(&dst, 4, 2), 0x00FF00u);
    EXPECT_EQ(PixelOf(&dst, 5, 2), 0x102030u);
}

TEST_F(ScreenKitTest, HitTestsTakeLeftAndTopButNotRightAndBottom) {
    const platform::Rect r{10, 20, 30, 40};
    EXPECT_TRUE(screenkit::PointIn(r, 10, 20));
    EXPECT_TRUE(screenkit::PointIn(r, 29, 39));
    EXPECT_FALSE(screenkit::PointIn(r, 30, 25));
    EXPECT_FALSE(screenkit::PointIn(r, 15, 40));
    EXPECT_FALSE(screenkit::PointIn(r, 9, 25));
    MoveTo(29, 39);
    EXPECT_TRUE(screenkit::MouseIn(r));
}

TEST_F(ScreenKitTest, MusicNamesCompareWithoutLetterCaseAndStartNothingWhenOff) {
    EXPECT_FALSE(screenkit::MusicNameIs("n006.ogg"));
    screenkit::SetMusicName("N006.Ogg");
    EXPECT_TRUE(screenkit::MusicNameIs("n006.ogg"));
    EXPECT_FALSE(screenkit::MusicNameIs("n006.og"));
    screenkit::FreeMusicName();
    EXPECT_EQ(g_scenario->bgmName, nullptr);

    WriteTone("bgm/x.ogg", 4);
    g_config[config::kMusicOff] = 1;
    g_bgmChannel = std::make_unique<CBgmChannel>();
    screenkit::StartMusic("bgm\\x.ogg");
    EXPECT_EQ(g_bgmChannel, nullptr); // the old music is stopped either way
    g_config[config::kMusicOff] = 0;
    g_scenario->bgmPlaying = 0;
    screenkit::StartMusic("bgm\\x.ogg");
    EXPECT_EQ(TenthsOf(g_bgmChannel.get()), 4);
    EXPECT_EQ(g_scenario->bgmPlaying, 1);
}

TEST_F(ScreenKitTest, SlotsAreReplacedWholeAndCopiesTakenBeforeTheOldGoes) {
    screenkit::BlankSurface(4, 0x123456);
    // A copy of a slot into the same slot still sees the old picture.
    screenkit::CopyOfSurface(4, cdib[4].get());
    EXPECT_EQ(PixelOf(cdib[4].get(), 799, 599), 0x123456u);
    CDib* loaded = screenkit::LoadSurface(4, "system\\missing.bmp");
    EXPECT_EQ(loaded, cdib[4].get());
    EXPECT_EQ(loaded->GetWidth(), 0); // missing: an empty surface
    screenkit::FreeSurface(4);
    EXPECT_EQ(cdib[4], nullptr);
}

} // namespace
