// Mixer cost per second of sound with the game's busiest load: one music, 10
// effect and 20 voice buffers playing at once, beside a memcpy of the same
// output bytes.
#include "platform/common/AudioMixer.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

constexpr std::uint32_t kSecond = 44100;

void MixThirtyOneBuffers(benchmark::State& state) {
    auto mixer = std::make_shared<platform::mixer::Mixer>();
    platform::PcmFormat f;
    f.channels = 2;
    f.rate = 44100;
    f.bitsPerSample = 16;
    f.blockAlign = 4;
    f.bytesPerSecond = 44100 * 4;
    const std::uint32_t bytes = 16 * 33076;  // a streaming buffer: 3 s in 16 blocks
    std::vector<std::unique_ptr<platform::AudioBuffer>> buffers;
    for (int i = 0; i < 31; ++i) {
        buffers.push_back(mixer->CreateBuffer(f, bytes));
        std::span<std::uint8_t> a, b;
        buffers.back()->Lock(0, bytes, a, b);
        for (std::size_t k = 0; k < a.size(); ++k) a[k] = static_cast<std::uint8_t>(k * 7 + i);
        buffers.back()->Unlock();
        buffers.back()->SetVolume(-602);
        buffers.back()->Play(platform::PlayMode::Looping);
    }
    std::vector<std::int16_t> out(1024 * 2);
    for (auto _ : state) {
        // One second in callbacks of 1024 frames, as the SDL device asks.
        for (std::uint32_t done = 0; done < kSecond; done += 1024) {
            mixer->Mix(out.data(), 1024, platform::mixer::Catchup::None);
            benchmark::DoNotOptimize(out.data());
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kSecond * 4);
}
BENCHMARK(MixThirtyOneBuffers)->Unit(benchmark::kMillisecond);

void MemcpyOfOneSecond(benchmark::State& state) {
    std::vector<std::uint8_t> src(kSecond * 4, 1), dst(kSecond * 4);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), src.size());
        benchmark::DoNotOptimize(dst.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kSecond * 4);
}
BENCHMARK(MemcpyOfOneSecond)->Unit(benchmark::kMillisecond);

}  // namespace
