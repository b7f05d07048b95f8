#include "gfx/BlitKernels.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace blit_kernels {

namespace {

inline std::uint32_t Chan(std::uint32_t v, int c) {
    return (v >> (8 * c)) & 0xFFu;
}
inline std::uint32_t Sat(std::uint32_t v) {
    return v > 255u ? 255u : v;
}

// Per-pixel alpha times the factors, as both classes work it for a pixel
// they draw: ws = a'*sf >> 8, wd = 255 - (a'*(255 - df) >> 8).
inline std::uint32_t AlphaBlendPixel(std::uint32_t S, std::uint32_t D, const RowArgs& args) {
    const std::uint32_t a = S >> 24;
    const std::uint32_t as = a == 255 ? 256 : a;
    std::uint32_t out = 0;
    for (int c = 0; c < 3; ++c) {
        const std::uint32_t ws = as * Chan(args.srcFactor, c) >> 8;
        const std::uint32_t wd = 255 - (as * (255 - Chan(args.dstFactor, c)) >> 8);
        out |= Sat((Chan(S, c) * ws >> 8) + (Chan(D, c) * wd >> 8)) << (8 * c);
    }
    return out;
}

} // namespace

void CopyRow(std::uint32_t* d, const std::uint32_t* s, int n, const RowArgs&) {
    if (n > 0) std::memmove(d, s, static_cast<size_t>(n) * 4);
}

void CopyPixels(std::uint32_t* d, const std::uint32_t* s, int n) {
#if defined(__x86_64__)
    if (mmx::Supported(mmx::SimdLevel::Avx2)) return mmx::avx2::CopyPixels(d, s, n);
#endif
    if (n > 0) std::memcpy(d, s, static_cast<size_t>(n) * 4);
}

void KeyedRow(std::uint32_t* d, const std::uint32_t* s, int n, const RowArgs& args) {
    const std::uint32_t key = args.key;
    for (int i = 0; i < n; ++i)
        if (s[i] != key) d[i] = s[i];
}

namespace plain {

void AlphaRow(std::uint32_t* d, const std::uint32_t* s, int n, const RowArgs&) {
    for (int i = 0; i < n; ++i) {
        const std::uint32_t S = s[i], D = d[i];
        const std::uint32_t a = S >> 24;
        const std::uint32_t as = a == 255 ? 256 : a;
        const std::uint32_t bd = a == 0 ? 256 : 255 - a;
        std::uint32_t out = 0;
        for (int c = 0; c < 3; ++c)
            out |= Sat((Chan(S, c) * as >> 8) + (Chan(D, c) * bd >> 8)) << (8 * c);
        d[i] = out;
    }
}

void BlendRow(std::uint32_t* d, const std::uint32_t* s, int n, const RowArgs& args) {
    for (int i = 0; i < n; ++i) {
        const std::uint32_t S = s[i], D = d[i];
        std::uint32_t out = 0;
        for (int c = 0; c < 3; ++c)
            out |= Sat((Chan(S, c) * Chan(args.srcFactor, c) >> 8) +
                       (Chan(D, c) * Chan(args.dstFactor, c) >> 8))
                   << (8 * c);
        d[i] = out;
    }
}

void AlphaBlendRow(std::uint32_t* d, const std::uint32_t* s, int n, const RowArgs& args) {
    for (int i = 0; i < n; ++i)
        d[i] = AlphaBlendPixel(s[i], d[i], args);
}

} // namespace plain

namespace mmx {

namespace scalar {

void AlphaRow(std::uint32_t* d, const std::uint32_t* s, int n, const RowArgs&) {
    for (int i = 0; i < n; ++i) {
        const std::uint32_t S = s[i], D = d[i];
        const std::uint32_t a = S >> 24;
        if (a == 255) {
            d[i] = S;
        } else if (a != 0) {
            std::uint32_t out = 0;
            for (int c = 0; c < 3; ++c)
                out |= Sat((Chan(S, c) * a >> 8) + (Chan(D, c) * (256 - a) >> 8)) << (8 * c);
            d[i] = out;
        }
    }
}

void BlendRow(std::uint32_t* d, const std::uint32_t* s, int n, const RowArgs& args) {
    plain::BlendRow(d, s, n, args);
}

void AlphaBlendRow(std::uint32_t* d, const std::uint32_t* s, int n, const RowArgs& args) {
    for (int i = 0; i < n; ++i)
        if (s[i] >> 24 != 0) d[i] = AlphaBlendPixel(s[i], d[i], args);
}

} // namespace scalar

namespace {

constexpr KernelSet kScalar{scalar::AlphaRow, scalar::BlendRow, scalar::AlphaBlendRow, KeyedRow};
#if defined(__x86_64__)
constexpr KernelSet kSse2{sse2::AlphaRow, sse2::BlendRow, sse2::AlphaBlendRow, sse2::KeyedRow};
constexpr KernelSet kAvx2{avx2::AlphaRow, avx2::BlendRow, avx2::AlphaBlendRow, avx2::KeyedRow};
#endif

// -1 = not pinned: use the best level.
std::atomic<int> g_pinnedLevel{-1};

} // namespace

bool Supported(SimdLevel level) {
    switch (level) {
    case SimdLevel::Scalar:
        return true;
#if defined(__x86_64__)
    case SimdLevel::Sse2:
        return true; // part of every x86-64 processor
    case SimdLevel::Avx2: {
        static const bool avx2 = __builtin_cpu_supports("avx2");
        return avx2;
    }
#else
    default:
        return false;
#endif
    }
    return false;
}

SimdLevel BestLevel() {
    if (Supported(SimdLevel::Avx2)) return SimdLevel::Avx2;
    if (Supported(SimdLevel::Sse2)) return SimdLevel::Sse2;
    return SimdLevel::Scalar;
}

const KernelSet& Kernels(SimdLevel level) {
    if (!Supported(level)) level = BestLevel();
    switch (level) {
#if defined(__x86_64__)
    case SimdLevel::Avx2:
        return kAvx2;
    case SimdLevel::Sse2:
        return kSse2;
#endif
    default:
        return kScalar;
    }
}

SimdLevel ActiveLevel() {
    const int pinned = g_pinnedLevel.load(std::memory_order_relaxed);
    return pinned < 0 ? BestLevel() : static_cast<SimdLevel>(pinned);
}

void SetActiveLevel(SimdLevel level) {
    g_pinnedLevel.store(static_cast<int>(level), std::memory_order_relaxed);
}

const KernelSet& ActiveKernels() {
    return Kernels(ActiveLevel());
}

} // namespace mmx

const KernelSet& plain::Kernels() {
    static constexpr KernelSet kPlain{AlphaRow, BlendRow, AlphaBlendRow, KeyedRow};
    return kPlain;
}

} // namespace blit_kernels
