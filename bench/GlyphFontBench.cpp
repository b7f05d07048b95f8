// Characters per second for DrawChar at size 26, with the glyph cache and
// without it (every character rendered by the font engine again), against a
// memcpy of one 26x26 cell of pixels per character.
#include "gfx/Dib.h"
#include "gfx/GlyphFont.h"
#include "platform/Glyph.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string_view>
#include <vector>

namespace {

// 53 ideographs of ordinary story text (夏日的午后海风...).
constexpr std::string_view kText =
    "\xCF\xC4\xC8\xD5\xB5\xC4\xCE\xE7\xBA\xF3\xBA\xA3\xB7\xE7\xC7\xE1\xC7\xE1\xB4\xB5\xB9\xFD"
    "\xD0\xA1\xD5\xF2\xBD\xF1\xCC\xEC\xD2\xB2\xD2\xAA\xBC\xD3\xD3\xCD\xC5\xB6\xCB\xFD\xD0\xA6"
    "\xD7\xC5\xCB\xB5\xB5\xC0\xB4\xB0\xCD\xE2\xD3\xA3\xBB\xA8\xBE\xB2\xBE\xB2\xB5\xD8\xC6\xAE"
    "\xC2\xE4\xC4\xE3\xBA\xC3\xB4\xE6\xB5\xB5\xBB\xD8\xD2\xE4\xB5\xDA\xD2\xBB\xD5\xC2\xC9\xE8"
    "\xD6\xC3\xD2\xF4\xC1\xBF\xB6\xC1\xC8\xA1\xB1\xA3\xB4\xE6\xB7\xB5\xBB\xD8";

void DrawText(benchmark::State& state, GlyphCache cache) {
    CGlyphFont font(platform::CreateGlyphSource(), cache);
    font.SetFont(26, 0);
    CDib dib;
    dib.Create(platform::WindowHandle::None, 800, 600, 24);
    dib.FillRect(0, 0, 800, 600, 0x203050);
    size_t at = 0;
    int x = 0;
    for (auto _ : state) {
        x += font.DrawChar(&dib, x, 500, kText.substr(at, 2), 0xFFFFFF);
        if (x > 760) x = 0;
        at = (at + 2) % kText.size();
    }
    benchmark::DoNotOptimize(dib.GetBits());
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * 26 * 26 * 4);
}

void BM_DrawChar26Cached(benchmark::State& state) {
    DrawText(state, GlyphCache::On);
}
void BM_DrawChar26Uncached(benchmark::State& state) {
    DrawText(state, GlyphCache::Off);
}

void BM_MemcpyOfOneCell(benchmark::State& state) {
    std::vector<std::uint32_t> src(800 * 600, 0x203050), dst(800 * 600);
    int x = 0;
    for (auto _ : state) {
        for (int row = 0; row < 26; ++row)
            std::memcpy(&dst[(500 + row) * 800 + x], &src[row * 800 + x], 26 * 4);
        x = (x + 26) % 760;
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * 26 * 26 * 4);
}

BENCHMARK(BM_DrawChar26Cached);
BENCHMARK(BM_DrawChar26Uncached);
BENCHMARK(BM_MemcpyOfOneCell);

} // namespace
