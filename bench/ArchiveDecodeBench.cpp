// Decode throughput of each archive stage on a 1 MB text-like member,
// against a plain copy of the same bytes. Bytes processed count the decoded
// output, so the rates compare directly.
#include "data/ArchiveDecoders.h"
#include "lib/PackWriter.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

constexpr std::size_t kMemberSize = 1 << 20;

const std::vector<std::uint8_t>& Member() {
    static const std::vector<std::uint8_t> data = [] {
        static const char* const kWords[] = {"the ",   "rain ",      "falls ", "on ",  "a ",
                                             "quiet ", "street\r\n", "and ",   "snow "};
        std::vector<std::uint8_t> out;
        std::uint32_t s = 1;
        while (out.size() < kMemberSize) {
            s = s * 1103515245u + 12345u;
            for (const char* w = kWords[(s >> 16) % 9]; *w && out.size() < kMemberSize; ++w)
                out.push_back(static_cast<std::uint8_t>(*w));
        }
        return out;
    }();
    return data;
}

void BM_Memcpy(benchmark::State& state) {
    const auto& in = Member();
    std::vector<std::uint8_t> out(in.size());
    for (auto _ : state) {
        std::memcpy(out.data(), in.data(), in.size());
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(in.size()));
}
BENCHMARK(BM_Memcpy);

void BM_Unscramble(benchmark::State& state) {
    std::vector<std::uint8_t> data = Member();
    for (auto _ : state) {
        UnscrambleWords(data);
        benchmark::DoNotOptimize(data.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(data.size()));
}
BENCHMARK(BM_Unscramble);

template <std::uint32_t kFlag> void BM_Decode(benchmark::State& state) {
    std::vector<std::uint8_t> stored;
    if (!packwriter::EncodeMember(Member(), kFlag, stored)) {
        state.SkipWithError("encoding failed");
        return;
    }
    for (auto _ : state) {
        DataBlock block;
        if (!block.Allocate(static_cast<std::uint32_t>(stored.size()))) {
            state.SkipWithError("no memory");
            return;
        }
        std::memcpy(block.data(), stored.data(), stored.size());
        if (DecodeMember(kFlag, block) != DecodeStatus::Ok || block.size() != kMemberSize) {
            state.SkipWithError("decoding failed");
            return;
        }
        benchmark::DoNotOptimize(block.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(kMemberSize));
    state.counters["stored"] = static_cast<double>(stored.size());
}
BENCHMARK_TEMPLATE(BM_Decode, kPackFlagRecency)->Name("BM_DecodeRecency");
BENCHMARK_TEMPLATE(BM_Decode, kPackFlagRange)->Name("BM_DecodeRangeCoder");
BENCHMARK_TEMPLATE(BM_Decode, kPackFlagLzss)->Name("BM_DecodeLzss");
BENCHMARK_TEMPLATE(BM_Decode, kPackFlagBlockSort)->Name("BM_DecodeBwt");
BENCHMARK_TEMPLATE(BM_Decode, kPackFlagBlockSort | kPackFlagLzss | kPackFlagRange)
    ->Name("BM_DecodeBwtLzssRange");

} // namespace
