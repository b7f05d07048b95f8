// Whole mahjong matches between two computer players on the rules core,
// headless, seeded: matches per second for each heroine, and the shuffle
// and hand tests that every turn leans on.
#include "mahjong/MahjongBotMatch.h"
#include "mahjong/MahjongHand.h"
#include "platform/headless/Headless.h"

#include <benchmark/benchmark.h>

namespace {

void BM_MahjongBotMatch(benchmark::State& state) {
    const auto heroine = static_cast<std::uint8_t>(state.range(0));
    platform::headless::Reset();
    CMahjongGame game;
    std::uint32_t seed = 1;
    long games = 0, steps = 0;
    for (auto _ : state) {
        MahjongBotOptions options;
        options.opponentByte = heroine;
        options.seed = seed++;
        options.wait = [](std::uint32_t ms) { platform::headless::AdvanceClock(ms); };
        const MahjongBotResult r = PlayBotMatch(game, options);
        games += r.games;
        steps += r.steps;
        benchmark::DoNotOptimize(r.winner);
    }
    state.counters["matches/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["games/s"] =
        benchmark::Counter(static_cast<double>(games), benchmark::Counter::kIsRate);
    state.counters["steps/match"] =
        benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_MahjongBotMatch)->DenseRange(0, 7)->Unit(benchmark::kMicrosecond);

void BM_MahjongShuffle(benchmark::State& state) {
    platform::Srand(3);
    std::array<MahjongTile, kMahjongWallSize> wall{};
    for (auto _ : state) {
        ShuffleWall(wall);
        benchmark::DoNotOptimize(wall.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(sizeof wall));
}
BENCHMARK(BM_MahjongShuffle);

} // namespace
