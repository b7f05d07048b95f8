// Movie decoding on the virtual clock, over movies our own writer makes.
#include "lib/MpegWriter.h"
#include "platform/common/MoviePlayback.h"
#include "TestSupport.h"

using namespace platform;
namespace hl = platform::headless;

namespace {

class MoviePlaybackTest : public testing_support::HeadlessTest {};

TEST_F(MoviePlaybackTest, DecodesEveryFrameAndEndsAtItsLength) {
    tools::MovieSpec spec;
    spec.frames = 25;  // one second
    ASSERT_TRUE(tools::WriteMpegMovie("m.mpg", spec));
    MoviePlayback m;
    ASSERT_TRUE(m.Open("m.mpg"));
    const std::int32_t length = m.GetLength();
    EXPECT_GE(length, 900);  // the container's own estimate
    EXPECT_LE(length, 1100);
    EXPECT_EQ(m.GetPosition(), 0);  // not started
    ASSERT_TRUE(m.PlayFrom(0));
    hl::AdvanceClock(500);
    m.Update();
    EXPECT_EQ(m.GetPosition(), 500);
    // Up to 250 ms of pictures beyond the clock are decoded, never all of them.
    EXPECT_GE(m.FramesDecoded(), 13u);
    EXPECT_LT(m.FramesDecoded(), 25u);
    for (int i = 0; i < 100 && m.GetPosition() < length; ++i) {
        hl::AdvanceClock(10);
        m.Update();
    }
    EXPECT_EQ(m.GetPosition(), length);
    EXPECT_EQ(m.FramesDecoded(), 25u);
    m.Stop();
    EXPECT_EQ(m.GetPosition(), 0);
}

TEST_F(MoviePlaybackTest, MovieWithoutSoundPlaysToo) {
    tools::MovieSpec spec;
    spec.frames = 10;
    spec.sound = false;
    ASSERT_TRUE(tools::WriteMpegMovie("quiet.mpg", spec));
    auto movie = OpenMovie("quiet.mpg", WindowHandle::Main, nullptr);
    ASSERT_TRUE(movie);
    movie->PlayFrom(0);
    for (int i = 0; i < 200 && movie->GetPosition() < movie->GetLength(); ++i) {
        hl::AdvanceClock(10);
        movie->Update();
    }
    EXPECT_EQ(movie->GetPosition(), movie->GetLength());
}

TEST_F(MoviePlaybackTest, MissingOrDamagedFilesDoNotOpen) {
    EXPECT_EQ(OpenMovie("none.mpg", WindowHandle::Main, nullptr), nullptr);
    testing_support::WriteFile("empty.mpg", {});
    EXPECT_EQ(OpenMovie("empty.mpg", WindowHandle::Main, nullptr), nullptr);
    std::vector<std::uint8_t> noise(20000);
    std::uint32_t x = 7;
    for (auto& b : noise) b = static_cast<std::uint8_t>((x = x * 1103515245 + 12345) >> 24);
    testing_support::WriteFile("noise.mpg", noise);
    EXPECT_EQ(OpenMovie("noise.mpg", WindowHandle::Main, nullptr), nullptr);
}

TEST_F(MoviePlaybackTest, MovieCutShortStillEnds) {
    tools::MovieSpec spec;
    spec.frames = 25;
    ASSERT_TRUE(tools::WriteMpegMovie("m.mpg", spec));
    auto bytes = testing_support::ReadFile("m.mpg");
    bytes.resize(bytes.size() / 3);
    testing_support::WriteFile("half.mpg", bytes);
    MoviePlayback m;
    ASSERT_TRUE(m.Open("half.mpg"));
    m.PlayFrom(0);
    for (int i = 0; i < 300 && m.GetPosition() < m.GetLength(); ++i) {
        hl::AdvanceClock(10);
        m.Update();
    }
    EXPECT_EQ(m.GetPosition(), m.GetLength());
    EXPECT_GT(m.FramesDecoded(), 0u);
}

}  // namespace
