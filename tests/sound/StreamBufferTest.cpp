// The streaming buffer on the recording device: what comes out, sample for
// sample, for short sounds, loops, restarts, late workers and bad streams.
#include "sound/FakeStream.h"
#include "sound/SoundDevice.h"
#include "sound/StreamBuffer.h"
#include "TestSupport.h"

#include <chrono>

using namespace platform;
namespace hl = platform::headless;
using testing_support::FakeStream;

namespace {

// 3/16 s of 44,100 Hz 16-bit stereo: (44100 x 4 x 3) >> 4 = 33075 bytes,
// rounded up to whole frames = 33076 bytes = 8269 frames.
constexpr std::uint32_t kBlockFrames = 8269;
constexpr std::uint32_t kBufferFrames = 16 * kBlockFrames;

class StreamBufferTest : public testing_support::HeadlessTest {
protected:
    StreamBufferTest() {
        hl::SetAudioRecording(true);
        g_soundDevice.Close();
        InitDirectSound(WindowHandle::Main);
    }
    ~StreamBufferTest() override { g_soundDevice.Close(); }

    // Frames [from, to) of `out` hold the stream looped at `length` frames.
    static ::testing::AssertionResult Holds(const std::vector<std::int16_t>& out, std::size_t from,
                                            std::size_t to, std::uint32_t length, std::size_t streamStart = 0) {
        for (std::size_t i = from; i < to; ++i) {
            const std::uint64_t s = (streamStart + i - from) % length;
            if (out[2 * i] != FakeStream::Value(s, 0) || out[2 * i + 1] != FakeStream::Value(s, 1))
                return ::testing::AssertionFailure() << "frame " << i << " holds " << out[2 * i] << ", "
                                                     << out[2 * i + 1] << " instead of stream frame " << s;
        }
        return ::testing::AssertionSuccess();
    }
    static ::testing::AssertionResult Silent(const std::vector<std::int16_t>& out, std::size_t from, std::size_t to) {
        for (std::size_t i = 2 * from; i < 2 * to; ++i)
            if (out[i] != 0) return ::testing::AssertionFailure() << "sample " << i << " is " << out[i];
        return ::testing::AssertionSuccess();
    }
};

TEST_F(StreamBufferTest, BlocksAreThreeSixteenthsOfASecondInWholeFrames) {
    FakeStream stereo(100);
    CDSoundStreamBuffer a;
    ASSERT_TRUE(a.Create(g_soundDevice, &stereo));
    EXPECT_EQ(a.GetBlockBytes(), kBlockFrames * 4);
    // Mono 8-bit: 44100 x 1 x 3 >> 4 = 8268.75 -> 8268 bytes, already whole frames.
    FakeStream mono8(100, 1, 8);
    CDSoundStreamBuffer b;
    ASSERT_TRUE(b.Create(g_soundDevice, &mono8));
    EXPECT_EQ(b.GetBlockBytes(), 8268u);
    EXPECT_TRUE(b.IsCreated());
    CDSoundStreamBuffer none;
    EXPECT_FALSE(none.IsCreated());
    EXPECT_FALSE(none.Play());
}

TEST_F(StreamBufferTest, SoundShorterThanABlockPlaysOnceThenStops) {
    FakeStream s(1000);
    CDSoundStreamBuffer b;
    ASSERT_TRUE(b.Create(g_soundDevice, &s));
    ASSERT_TRUE(b.Play());
    EXPECT_TRUE(b.IsPlaying());
    const auto out = hl::MixAudio(kBlockFrames - 1);
    EXPECT_TRUE(Holds(out, 0, 1000, 1000));
    EXPECT_TRUE(Silent(out, 1000, kBlockFrames - 1));
    EXPECT_TRUE(b.IsPlaying());
    hl::MixAudio(1);  // play passes the end of the first block
    EXPECT_FALSE(b.IsPlaying());
    EXPECT_TRUE(Silent(hl::MixAudio(1000), 0, 1000));
}

TEST_F(StreamBufferTest, EndlessLoopIsSeamlessAcrossLoopPointsAndTheBufferWrap) {
    FakeStream s(10007);  // no whole number of blocks
    s.SetLoopCount(-1);
    CDSoundStreamBuffer b;
    ASSERT_TRUE(b.Create(g_soundDevice, &s));
    ASSERT_TRUE(b.Play());
    const std::uint32_t frames = 2 * kBufferFrames + 12345;  // round the buffer twice
    const auto out = hl::MixAudio(frames);
    EXPECT_TRUE(Holds(out, 0, frames, 10007));
    EXPECT_TRUE(b.IsPlaying());
}

TEST_F(StreamBufferTest, LoopCountTwoPlaysThreeTimesThenStops) {
    FakeStream s(5000);
    s.SetLoopCount(2);
    CDSoundStreamBuffer b;
    ASSERT_TRUE(b.Create(g_soundDevice, &s));
    ASSERT_TRUE(b.Play());
    const auto out = hl::MixAudio(4 * kBlockFrames);
    EXPECT_TRUE(Holds(out, 0, 15000, 5000));
    EXPECT_TRUE(Silent(out, 15000, 4 * kBlockFrames));
    // 15000 frames fill two blocks: stopped once both have played.
    EXPECT_FALSE(b.IsPlaying());
}

TEST_F(StreamBufferTest, LongSoundOnceRefillsAndStopsAfterItsLastBlock) {
    const std::uint32_t length = kBufferFrames + 3 * kBlockFrames + 17;
    FakeStream s(length);
    CDSoundStreamBuffer b;
    ASSERT_TRUE(b.Create(g_soundDevice, &s));
    ASSERT_TRUE(b.Play());
    auto out = hl::MixAudio(length + kBlockFrames);
    EXPECT_TRUE(Holds(out, 0, length, UINT32_MAX));
    EXPECT_TRUE(Silent(out, length, length + kBlockFrames));
    EXPECT_FALSE(b.IsPlaying());
}

TEST_F(StreamBufferTest, RestartPlaysFromTheStartWithNothingOfTheSoundBefore) {
    FakeStream s(50000);
    s.SetLoopCount(-1);
    CDSoundStreamBuffer b;
    ASSERT_TRUE(b.Create(g_soundDevice, &s));
    ASSERT_TRUE(b.Play());
    // The worker is late: three block ends are waiting when the sound restarts.
    HoldAudioConsumers(true);
    hl::MixAudio(3 * kBlockFrames + 100);
    ASSERT_TRUE(b.Play());
    HoldAudioConsumers(false);
    hl::WaitAudioIdle();
    const std::uint32_t frames = kBufferFrames + 5 * kBlockFrames;
    const auto out = hl::MixAudio(frames);
    EXPECT_TRUE(Holds(out, 0, frames, 50000));
}

TEST_F(StreamBufferTest, LateWorkerLosesNoBlock) {
    FakeStream s(30011);
    s.SetLoopCount(-1);
    CDSoundStreamBuffer b;
    ASSERT_TRUE(b.Create(g_soundDevice, &s));
    ASSERT_TRUE(b.Play());
    // Again and again three block ends pass while the worker cannot run; each
    // time it must refill three blocks once it can, not one, or its writing
    // falls behind until play reaches blocks it never refilled.
    std::vector<std::int16_t> out;
    for (int round = 0; round < 10; ++round) {
        HoldAudioConsumers(true);
        auto part = hl::MixAudio(3 * kBlockFrames);
        HoldAudioConsumers(false);
        hl::WaitAudioIdle();
        out.insert(out.end(), part.begin(), part.end());
    }
    auto rest = hl::MixAudio(kBufferFrames);
    out.insert(out.end(), rest.begin(), rest.end());
    EXPECT_TRUE(Holds(out, 0, out.size() / 2, 30011));
}

TEST_F(StreamBufferTest, EightBitSoundIsPaddedWithItsSilence) {
    FakeStream s(300, 1, 8);
    CDSoundStreamBuffer b;
    ASSERT_TRUE(b.Create(g_soundDevice, &s));
    ASSERT_TRUE(b.Play());
    const auto out = hl::MixAudio(600);
    for (std::size_t i = 0; i < 300; ++i) {
        const std::int16_t v = static_cast<std::int16_t>((FakeStream::Value8(i) - 128) << 8);
        ASSERT_EQ(out[2 * i], v) << i;
        ASSERT_EQ(out[2 * i + 1], v) << i;
    }
    // 0x80 padding mixes to 0; zero bytes would sound as -32768.
    EXPECT_TRUE(Silent(out, 300, 600));
}

TEST_F(StreamBufferTest, StreamThatDecodesShortStillStops) {
    FakeStream s(20 * kBlockFrames, 2, 16, 6000);  // says 20 blocks, gives 6000 frames
    CDSoundStreamBuffer b;
    ASSERT_TRUE(b.Create(g_soundDevice, &s));
    ASSERT_TRUE(b.Play());
    const auto out = hl::MixAudio(2 * kBlockFrames);
    EXPECT_TRUE(Holds(out, 0, 6000, UINT32_MAX));
    EXPECT_TRUE(Silent(out, 6000, 2 * kBlockFrames));
    EXPECT_FALSE(b.IsPlaying());
}

TEST_F(StreamBufferTest, EndlessLoopOverAStreamThatGivesNothingDoesNotSpin) {
    FakeStream s(1000, 2, 16, 0);
    s.SetLoopCount(-1);
    CDSoundStreamBuffer b;
    ASSERT_TRUE(b.Create(g_soundDevice, &s));
    ASSERT_TRUE(b.Play());  // returns: the fill gives up on a loop that reads nothing
    EXPECT_LT(s.Reads(), 100);
    EXPECT_TRUE(Silent(hl::MixAudio(kBlockFrames + 1), 0, kBlockFrames + 1));
    EXPECT_FALSE(b.IsPlaying());
}

TEST_F(StreamBufferTest, StopHoldsAndVolumeApplies) {
    FakeStream s(40000);
    s.SetLoopCount(-1);
    CDSoundStreamBuffer b;
    ASSERT_TRUE(b.Create(g_soundDevice, &s));
    ASSERT_TRUE(b.Play());
    EXPECT_TRUE(b.SetVolume(kVolumeSilent));
    std::int32_t v = 1;
    EXPECT_TRUE(b.GetVolume(v));
    EXPECT_EQ(v, kVolumeSilent);
    EXPECT_TRUE(Silent(hl::MixAudio(100), 0, 100));
    EXPECT_FALSE(b.SetVolume(5));  // above full: refused
    EXPECT_TRUE(b.GetVolume(v));
    EXPECT_EQ(v, kVolumeSilent);
    EXPECT_TRUE(b.Stop());
    EXPECT_FALSE(b.IsPlaying());
}

TEST_F(StreamBufferTest, SecondCreateReplacesTheFirstAndDeletingAPlayingBufferJoinsAtOnce) {
    FakeStream s(40000);
    s.SetLoopCount(-1);
    auto b = std::make_unique<CDSoundStreamBuffer>();
    ASSERT_TRUE(b->Create(g_soundDevice, &s));
    ASSERT_TRUE(b->Create(g_soundDevice, &s));
    ASSERT_TRUE(b->Play());
    hl::MixAudio(3 * kBlockFrames);
    const auto start = std::chrono::steady_clock::now();
    b.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_TRUE(Silent(hl::MixAudio(100), 0, 100));
}

TEST_F(StreamBufferTest, WithoutADeviceNothingIsCreated) {
    g_soundDevice.Close();
    FakeStream s(100);
    CDSoundStreamBuffer b;
    EXPECT_FALSE(b.Create(g_soundDevice, &s));
    EXPECT_FALSE(b.IsCreated());
}

}  // namespace
