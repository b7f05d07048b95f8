// The shared mixer through the headless device: gains, resampling,
// saturation, locking, cursors on the virtual clock and notifications.
#include "platform/Audio.h"
#include "platform/common/AudioMixer.h"
#include "TestSupport.h"

#include <cstring>

using namespace platform;
namespace hl = platform::headless;
using testing_support::HeadlessTest;

namespace {

PcmFormat Format(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits) {
    PcmFormat f;
    f.channels = channels;
    f.rate = rate;
    f.bitsPerSample = bits;
    f.blockAlign = static_cast<std::uint16_t>(channels * bits / 8);
    f.bytesPerSecond = rate * f.blockAlign;
    return f;
}

void Write16(AudioBuffer& b, std::uint32_t offset, const std::vector<std::int16_t>& samples) {
    std::span<std::uint8_t> a, c;
    ASSERT_TRUE(b.Lock(offset, static_cast<std::uint32_t>(samples.size() * 2), a, c));
    std::vector<std::uint8_t> bytes(samples.size() * 2);
    std::memcpy(bytes.data(), samples.data(), bytes.size());
    std::memcpy(a.data(), bytes.data(), a.size());
    std::memcpy(c.data(), bytes.data() + a.size(), c.size());
    ASSERT_TRUE(b.Unlock());
}

class AudioMixerTest : public HeadlessTest {
protected:
    AudioMixerTest() {
        hl::SetAudioRecording(true);
        device_ = OpenAudioDevice();
    }
    std::unique_ptr<AudioDevice> device_;
};

TEST_F(AudioMixerTest, GainFollowsHundredthsOfADecibel) {
    EXPECT_EQ(mixer::GainOf(0), 32768);
    EXPECT_EQ(mixer::GainOf(-10000), 0);
    // 32768 x 10^(-602/2000) = 32768 x 0.500035 = 16385.1
    EXPECT_EQ(mixer::GainOf(-602), 16385);
    // 32768 x 10^(-1) = 3276.8
    EXPECT_EQ(mixer::GainOf(-2000), 3277);
    // 32768 x 10^(-3) = 32.768
    EXPECT_EQ(mixer::GainOf(-6000), 33);
}

TEST_F(AudioMixerTest, StereoAtDeviceRateMixesExactlyAndLoops) {
    ASSERT_TRUE(device_);
    auto b = device_->CreateBuffer(Format(2, 44100, 16), 4 * 4);
    ASSERT_TRUE(b);
    Write16(*b, 0, {100, -100, 200, -200, 300, -300, 400, -400});
    EXPECT_TRUE(b->Play(PlayMode::Looping));
    const auto out = hl::MixAudio(6);
    EXPECT_EQ(out, (std::vector<std::int16_t>{100, -100, 200, -200, 300, -300, 400, -400, 100, -100, 200, -200}));
    EXPECT_EQ(b->GetPosition(), 2u * 4);

    // Half volume: (1000 x 16385) >> 15 = 500, and -1000 gives -501 (the
    // shift rounds toward minus infinity).
    Write16(*b, 0, {1000, -1000, 1000, -1000, 1000, -1000, 1000, -1000});
    EXPECT_TRUE(b->SetVolume(-602));
    EXPECT_EQ(hl::MixAudio(1), (std::vector<std::int16_t>{500, -501}));
    // Out of range: refused, the volume stays.
    EXPECT_FALSE(b->SetVolume(1));
    EXPECT_FALSE(b->SetVolume(-10001));
    EXPECT_EQ(b->GetVolume(), -602);
    EXPECT_TRUE(b->SetVolume(kVolumeSilent));
    EXPECT_EQ(hl::MixAudio(1), (std::vector<std::int16_t>{0, 0}));

    EXPECT_TRUE(b->Stop());
    EXPECT_FALSE(b->IsPlaying());
    EXPECT_EQ(hl::MixAudio(1), (std::vector<std::int16_t>{0, 0}));
}

TEST_F(AudioMixerTest, SumsSaturateAndEightBitMonoIsCentredAndSpread) {
    auto a = device_->CreateBuffer(Format(2, 44100, 16), 4);
    auto b = device_->CreateBuffer(Format(2, 44100, 16), 4);
    Write16(*a, 0, {30000, -30000});
    Write16(*b, 0, {30000, -30000});
    a->Play(PlayMode::Looping);
    b->Play(PlayMode::Looping);
    EXPECT_EQ(hl::MixAudio(1), (std::vector<std::int16_t>{32767, -32768}));
    a->Stop();
    b->Stop();

    // 8-bit: 0xC0 is +64 steps of 256 = 16384, 0x80 is silence, 0x00 is -32768.
    auto m = device_->CreateBuffer(Format(1, 44100, 8), 3);
    std::span<std::uint8_t> first, second;
    ASSERT_TRUE(m->Lock(0, 3, first, second));
    EXPECT_EQ(first[0], 0x80);  // a new 8-bit buffer holds silence
    first[0] = 0xC0;
    first[1] = 0x80;
    first[2] = 0x00;
    m->Unlock();
    m->Play(PlayMode::Once);
    EXPECT_EQ(hl::MixAudio(4), (std::vector<std::int16_t>{16384, 16384, 0, 0, -32768, -32768, 0, 0}));
    EXPECT_FALSE(m->IsPlaying());  // played once, then stopped by itself
}

TEST_F(AudioMixerTest, HalfRateSourceIsInterpolated) {
    auto b = device_->CreateBuffer(Format(1, 22050, 16), 4 * 2);
    Write16(*b, 0, {0, 1000, 2000, 3000});
    b->Play(PlayMode::Looping);
    // Output frame i reads source position i/2; halfway points are the mean
    // of their neighbours, and the last one leans on the loop's first sample.
    const auto out = hl::MixAudio(8);
    const std::vector<std::int16_t> expect{0, 0, 500, 500, 1000, 1000, 1500, 1500,
                                           2000, 2000, 2500, 2500, 3000, 3000, 1500, 1500};
    EXPECT_EQ(out, expect);
}

TEST_F(AudioMixerTest, LockCopiesARegionAndWrapsAtTheEnd) {
    auto b = device_->CreateBuffer(Format(2, 44100, 16), 4 * 4);
    std::span<std::uint8_t> first, second;
    ASSERT_TRUE(b->Lock(12, 8, first, second));
    EXPECT_EQ(first.size(), 4u);
    EXPECT_EQ(second.size(), 4u);
    // Only one lock at a time, and never more than the buffer.
    std::span<std::uint8_t> x, y;
    EXPECT_FALSE(b->Lock(0, 4, x, y));
    EXPECT_TRUE(b->Unlock());
    EXPECT_FALSE(b->Unlock());
    EXPECT_FALSE(b->Lock(0, 17, x, y));
    EXPECT_FALSE(b->Lock(16, 4, x, y));
    Write16(*b, 12, {7, 8, 9, 10});  // last frame, then the first
    b->Play(PlayMode::Looping);
    EXPECT_EQ(hl::MixAudio(1), (std::vector<std::int16_t>{9, 10}));
    EXPECT_TRUE(b->SetPosition(12));
    EXPECT_EQ(hl::MixAudio(1), (std::vector<std::int16_t>{7, 8}));
    EXPECT_FALSE(b->SetPosition(16));
}

TEST_F(AudioMixerTest, RefusesFormatsItCannotMix) {
    EXPECT_FALSE(device_->CreateBuffer(Format(3, 44100, 16), 60));
    EXPECT_FALSE(device_->CreateBuffer(Format(2, 44100, 24), 60));
    EXPECT_FALSE(device_->CreateBuffer(Format(2, 0, 16), 60));
    EXPECT_FALSE(device_->CreateBuffer(Format(2, 44100, 16), 6));  // not whole frames
    EXPECT_FALSE(device_->CreateBuffer(Format(2, 44100, 16), 0));
    auto b = device_->CreateBuffer(Format(2, 44100, 16), 16);
    auto n = std::make_shared<AudioNotifier>();
    const std::uint32_t zero[] = {0}, past[] = {20}, odd[] = {6};
    EXPECT_FALSE(b->SetNotifications(zero, n));
    EXPECT_FALSE(b->SetNotifications(past, n));
    EXPECT_FALSE(b->SetNotifications(odd, n));
}

TEST_F(AudioMixerTest, EveryPositionPassedIsCountedOnce) {
    auto b = device_->CreateBuffer(Format(2, 44100, 16), 4 * 4);
    auto n = std::make_shared<AudioNotifier>();
    const std::uint32_t positions[] = {8, 16};  // frames 2 and 4 (the wrap)
    ASSERT_TRUE(b->SetNotifications(positions, n));
    b->Play(PlayMode::Looping);
    hl::MixAudio(1);
    EXPECT_EQ(n->Pending(), 0u);
    hl::MixAudio(1);  // reaches frame 2
    EXPECT_EQ(n->Pending(), 1u);
    hl::MixAudio(9);  // frames 3..11: passes 4, 6, 8 and 10
    EXPECT_EQ(n->Pending(), 5u);
    n->ClearPending();
    b->Stop();
    hl::MixAudio(100);
    EXPECT_EQ(n->Pending(), 0u);
}

TEST_F(AudioMixerTest, ClockModeMovesCursorsWithTheVirtualClock) {
    hl::SetAudioRecording(false);
    auto b = device_->CreateBuffer(Format(2, 44100, 16), 44100 * 4 * 2);
    b->Play(PlayMode::Looping);
    hl::AdvanceClock(1000);
    EXPECT_EQ(b->GetPosition(), 44100u * 4);
    // 44.1 frames a millisecond: three single steps make 132 frames in all.
    b->SetPosition(0);
    for (int i = 0; i < 3; ++i) hl::AdvanceClock(1);
    EXPECT_EQ(b->GetPosition(), 132u * 4);  // frames at 1003 ms minus frames at 1000 ms
    Sleep(1000);
    EXPECT_EQ(b->GetPosition(), (132u + 44100) * 4);
}

TEST_F(AudioMixerTest, NoDeviceWhenTheMachineHasNone) {
    hl::SetAudioAvailable(false);
    EXPECT_EQ(OpenAudioDevice(), nullptr);
    hl::SetAudioAvailable(true);
    EXPECT_NE(OpenAudioDevice(), nullptr);
}

}  // namespace
