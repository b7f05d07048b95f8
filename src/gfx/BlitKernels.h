// Row kernels of the two renderer classes. A kernel draws one row of n
// destination pixels from n source pixels; the blit driver of CDibRenderer
// clips, walks the rows and, for stretched blits, gathers the sampled source
// pixels into a row first, so every kernel serves both forms.
//
// Pixel words are 0xAARRGGBB; channels are blue, green, red (bytes 0, 1, 2).
// sat(x) = min(255, x); every shift right by 8 truncates, so 255 * 255 >> 8
// is 254 and a weight of 255 is never a full copy.
#pragma once

#include <cstdint>

namespace blit_kernels {

struct RowArgs {
    std::uint32_t key = 0;       // keyed copy: source words equal to it are skipped
    std::uint32_t dstFactor = 0; // 0x00RRGGBB, one weight 0..255 per channel
    std::uint32_t srcFactor = 0;
};

using RowFn = void (*)(std::uint32_t* d, const std::uint32_t* s, int n, const RowArgs& args);

// Copy of a row; source and destination may overlap.
void CopyRow(std::uint32_t* d, const std::uint32_t* s, int n, const RowArgs& args);
// Copy of n pixels between rows that do not overlap, by the widest vector the
// processor runs (rows are too short for the library copy to get going).
void CopyPixels(std::uint32_t* d, const std::uint32_t* s, int n);
// Skips source words equal to args.key (all 32 bits compared).
void KeyedRow(std::uint32_t* d, const std::uint32_t* s, int n, const RowArgs& args);

// The kernels a renderer class draws its rectangle blits with. A renderer
// asks its table on every blit, so a test may switch the vector level of
// the images it already made.
struct KernelSet {
    RowFn alpha;      // per-pixel alpha
    RowFn blend;      // constant blend
    RowFn alphaBlend; // per-pixel alpha with opacity
    RowFn keyed;      // colour key
};
using KernelTable = const KernelSet& (*)();

// The plain class: 32-bit integer arithmetic.
namespace plain {
// a = source alpha; a' = 256 when a = 255 else a; b' = 256 when a = 0 else
// 255 - a; out = sat((S*a' >> 8) + (D*b' >> 8)); fourth byte 0.
void AlphaRow(std::uint32_t* d, const std::uint32_t* s, int n, const RowArgs& args);
// out = sat((S*sf >> 8) + (D*df >> 8)); fourth byte 0.
void BlendRow(std::uint32_t* d, const std::uint32_t* s, int n, const RowArgs& args);
// ws = a'*sf >> 8, wd = 255 - (a'*(255 - df) >> 8); out = sat((S*ws >> 8) +
// (D*wd >> 8)); fourth byte 0; every pixel, alpha 0 included.
void AlphaBlendRow(std::uint32_t* d, const std::uint32_t* s, int n, const RowArgs& args);
// The plain class's table: the three rows above and KeyedRow.
const KernelSet& Kernels();
} // namespace plain

// The MMX class. On x86-64 it runs on SSE2 or AVX2, chosen at run time; the
// scalar versions are the reference the vector versions must equal byte for
// byte.
namespace mmx {

enum class SimdLevel : std::uint8_t { Scalar, Sse2, Avx2 };

using blit_kernels::KernelSet;

// The kernels of one level; a level the processor lacks falls back to the
// best one it has.
const KernelSet& Kernels(SimdLevel level);
// The best level this processor runs.
SimdLevel BestLevel();
// The level the MMX-class renderers use: BestLevel() unless set (tests and
// benchmarks pin a level to compare them).
SimdLevel ActiveLevel();
void SetActiveLevel(SimdLevel level);
// The MMX class's table: the kernels of the active level. Per-pixel alpha:
// a = 255: D := S; a = 0: D kept; else sat((S*a >> 8) + (D*(256 - a) >> 8)),
// fourth byte 0. Constant blend as plain::BlendRow. Alpha with opacity:
// a = 0: D kept; else as plain::AlphaBlendRow.
const KernelSet& ActiveKernels();
bool Supported(SimdLevel level);

namespace scalar {
void AlphaRow(std::uint32_t* d, const std::uint32_t* s, int n, const RowArgs& args);
void BlendRow(std::uint32_t* d, const std::uint32_t* s, int n, const RowArgs& args);
void AlphaBlendRow(std::uint32_t* d, const std::uint32_t* s, int n, const RowArgs& args);
} // namespace scalar

#if defined(__x86_64__)
namespace sse2 {
void AlphaRow(std::uint32_t* d, const std::uint32_t* s, int n, const RowArgs& args);
void BlendRow(std::uint32_t* d, const std::uint32_t* s, int n, const RowArgs& args);
void AlphaBlendRow(std::uint32_t* d, const std::uint32_t* s, int n, const RowArgs& args);
void KeyedRow(std::uint32_t* d, const std::uint32_t* s, int n, const RowArgs& args);
} // namespace sse2
namespace avx2 {
void CopyPixels(std::uint32_t* d, const std::uint32_t* s, int n);
void AlphaRow(std::uint32_t* d, const std::uint32_t* s, int n, const RowArgs& args);
void BlendRow(std::uint32_t* d, const std::uint32_t* s, int n, const RowArgs& args);
void AlphaBlendRow(std::uint32_t* d, const std::uint32_t* s, int n, const RowArgs& args);
void KeyedRow(std::uint32_t* d, const std::uint32_t* s, int n, const RowArgs& args);
} // namespace avx2
#endif

} // namespace mmx

} // namespace blit_kernels
