// Frame cost of representative transitions on the 800x600 screen, against a
// memcpy of the same picture (the cheapest possible full-screen frame).
#include "gfx/Dib.h"
#include "gfx/Transition.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

namespace {

std::unique_ptr<CDib> MakePicture(std::uint32_t seed) {
    auto dib = std::make_unique<CDib>();
    dib->Create(platform::WindowHandle::None, 800, 600, 24);
    std::uint32_t* px = dib->GetBits();
    for (int i = 0; i < 800 * 600; ++i) {
        seed = seed * 1664525u + 1013904223u;
        px[i] = seed >> 8;
    }
    return dib;
}

struct Screen {
    std::unique_ptr<CDib> dst = MakePicture(1);
    std::unique_ptr<CDib> a = MakePicture(2);
    std::unique_ptr<CDib> b = MakePicture(3);
    Screen() {
        g_maskImage = MakePicture(4);
        EnsureTransitionTables();
    }
};

void BM_Memcpy800x600(benchmark::State& state) {
    Screen s;
    for (auto _ : state) {
        std::memcpy(s.dst->GetBits(), s.a->GetBits(), 800 * 600 * 4);
        benchmark::DoNotOptimize(s.dst->GetBits());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * 800 * 600 * 4);
}
BENCHMARK(BM_Memcpy800x600);

void BM_Transition(benchmark::State& state) {
    Screen s;
    const int effect = static_cast<int>(state.range(0));
    int p = 1;
    for (auto _ : state) {
        DrawTransition(effect, s.dst.get(), s.a.get(), s.b.get(), 0, 0, 0, 0, 800, 600, p, 0);
        benchmark::DoNotOptimize(s.dst->GetBits());
        benchmark::ClobberMemory();
        p = p % 254 + 1;
    }
    state.SetBytesProcessed(state.iterations() * 800 * 600 * 4);
}
// Cross-fade, mask wipe, dither, swirl, ripple; zoom and soft wipe (the
// stretched and the self-blending rectangle blits).
BENCHMARK(BM_Transition)
    ->Arg(39)
    ->Arg(40)
    ->Arg(15)
    ->Arg(16)
    ->Arg(36)
    ->Arg(33)
    ->Arg(62)
    ->Unit(benchmark::kMicrosecond);

} // namespace
