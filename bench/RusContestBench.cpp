// A whole contest against each opponent, simulated headless at 8 ms frames
// with the scripted player of the tests; reported as simulated seconds of
// contest per real second.
#include "../tests/takoyaki/RusAutoPlayer.h"

#include "platform/headless/Headless.h"
#include "takoyaki/RusContest.h"

#include <benchmark/benchmark.h>

namespace {

void BM_RusContest(benchmark::State& state) {
    const auto opponent = static_cast<std::uint8_t>(state.range(0));
    std::uint64_t frames = 0;
    for (auto _ : state) {
        platform::headless::Reset();
        platform::headless::AdvanceClock(180000);
        platform::Srand(100 + opponent);
        CRusContest contest(opponent);
        rus_test::AutoPlayer player;
        frames += rus_test::PlayContest(contest, player);
        benchmark::DoNotOptimize(contest.PlayerPlates);
    }
    state.counters["simulated_s_per_s"] = benchmark::Counter(
        static_cast<double>(frames) * rus_test::kFrameMs / 1000.0, benchmark::Counter::kIsRate);
    state.counters["frames"] =
        benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_RusContest)->DenseRange(0, 5)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
