// The vector forms of the MMX-class kernels against their scalar reference:
// every (source byte, destination byte, weight) triple, every row length
// around the vector widths, and random rectangles with clipping and
// stretching through whole blits.
#include "GfxTestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace gfx_test;
namespace mmx = blit_kernels::mmx;

namespace {

std::vector<mmx::SimdLevel> VectorLevels() {
    std::vector<mmx::SimdLevel> v;
    for (mmx::SimdLevel l : {mmx::SimdLevel::Sse2, mmx::SimdLevel::Avx2})
        if (mmx::Supported(l)) v.push_back(l);
    return v;
}

const char* Name(mmx::SimdLevel l) {
    return l == mmx::SimdLevel::Avx2 ? "avx2" : "sse2";
}

// Rows holding every (s, d) byte pair: pixel i has s = i & 255, d = i >> 8 in
// blue, the complements mixed into green and red, so each channel position
// sees every pair.
struct PairRows {
    std::vector<std::uint32_t> src, dst;
    explicit PairRows(std::uint32_t alpha) : src(65536), dst(65536) {
        for (std::uint32_t i = 0; i < 65536; ++i) {
            const std::uint32_t s = i & 255, d = i >> 8;
            src[i] = (alpha << 24) | (s << 16) | ((255 - s) << 8) | s;
            dst[i] = ((i * 37) & 0xFF) << 24 | ((255 - d) << 16) | (d << 8) | d;
        }
    }
};

void ExpectSameRows(blit_kernels::RowFn ref, blit_kernels::RowFn vec,
                    const std::vector<std::uint32_t>& src, const std::vector<std::uint32_t>& dst,
                    const blit_kernels::RowArgs& args, const std::string& what) {
    std::vector<std::uint32_t> a = dst, b = dst;
    ref(a.data(), src.data(), static_cast<int>(src.size()), args);
    vec(b.data(), src.data(), static_cast<int>(src.size()), args);
    for (size_t i = 0; i < a.size(); ++i)
        ASSERT_EQ(a[i], b[i]) << what << " pixel " << i << " src " << std::hex << src[i] << " dst "
                              << dst[i];
}

} // namespace

TEST(SimdSweepTest, AlphaOverEveryTriple) {
    for (mmx::SimdLevel level : VectorLevels()) {
        const mmx::KernelSet& k = mmx::Kernels(level);
        for (std::uint32_t a = 0; a < 256; ++a) {
            PairRows rows(a);
            ExpectSameRows(mmx::scalar::AlphaRow, k.alpha, rows.src, rows.dst, {},
                           std::string(Name(level)) + " alpha " + std::to_string(a));
        }
    }
}

TEST(SimdSweepTest, AlphaWithMixedAlphasInEveryVector) {
    // Neighbours take different alphas, clear and opaque among them, so every
    // vector mixes the three cases in varying lane positions; rows start and
    // end anywhere so the tails are swept too.
    PairRows rows(0);
    for (std::uint32_t round = 0; round < 24; ++round) {
        for (std::uint32_t i = 0; i < 65536; ++i) {
            const std::uint32_t h = (i * 2654435761u + round * 40503u) >> 24;
            const std::uint32_t pick = (i + round) % 6;
            const std::uint32_t a = pick == 0 ? 0 : pick == 1 ? 255 : pick == 2 ? (h & 1) : h;
            rows.src[i] = (rows.src[i] & 0x00FFFFFF) | (a << 24);
        }
        for (mmx::SimdLevel level : VectorLevels()) {
            const mmx::KernelSet& k = mmx::Kernels(level);
            const std::string what = std::string(Name(level)) + " round " + std::to_string(round);
            ExpectSameRows(mmx::scalar::AlphaRow, k.alpha, rows.src, rows.dst, {}, what);
            for (int n = 1; n <= 40; ++n) {
                const size_t at = (round * 131 + static_cast<size_t>(n) * 977) % (65536 - 40);
                const std::vector<std::uint32_t> src(rows.src.begin() + at,
                                                     rows.src.begin() + at + n);
                const std::vector<std::uint32_t> dst(rows.dst.begin() + at,
                                                     rows.dst.begin() + at + n);
                ExpectSameRows(mmx::scalar::AlphaRow, k.alpha, src, dst, {},
                               what + " n " + std::to_string(n));
            }
        }
    }
}

TEST(SimdSweepTest, AlphaWithRunsAcrossEveryBlockBoundary) {
    // Runs of one kind (all opaque, all clear, 0 and 255 taking turns, any
    // alpha) of lengths that start and end at every offset of the widest
    // block, so a block is uniform, half uniform or mixed; rows start at
    // every offset of a vector, so unaligned starts and tails are swept.
    PairRows rows(0);
    std::mt19937 rng(99);
    std::uint32_t run = 0, kind = 0;
    for (std::uint32_t i = 0; i < 65536; ++i) {
        if (run == 0) {
            run = 1 + rng() % 70;
            kind = rng() % 4;
        }
        --run;
        const std::uint32_t a = kind == 0   ? 255
                                : kind == 1 ? 0
                                : kind == 2 ? (i & 1) * 255
                                            : rng() & 255;
        rows.src[i] = (rows.src[i] & 0x00FFFFFF) | (a << 24);
    }
    for (mmx::SimdLevel level : VectorLevels()) {
        const mmx::KernelSet& k = mmx::Kernels(level);
        for (std::size_t start = 0; start < 8; ++start) {
            const std::vector<std::uint32_t> src(rows.src.begin() + start, rows.src.end());
            const std::vector<std::uint32_t> dst(rows.dst.begin() + start, rows.dst.end());
            ExpectSameRows(mmx::scalar::AlphaRow, k.alpha, src, dst, {},
                           std::string(Name(level)) + " start " + std::to_string(start));
        }
    }
}

TEST(SimdSweepTest, ConstantBlendOverEveryTriple) {
    for (mmx::SimdLevel level : VectorLevels()) {
        const mmx::KernelSet& k = mmx::Kernels(level);
        for (std::uint32_t f = 0; f < 256; ++f) {
            PairRows rows(f);
            // Every weight meets every pair in blue through the source factor
            // and through the destination factor; the other channels differ.
            const blit_kernels::RowArgs args{0, ((f ^ 0xAA) << 16) | (f << 8) | (255 - f),
                                             ((255 - f) << 16) | ((f ^ 0x55) << 8) | f};
            ExpectSameRows(mmx::scalar::BlendRow, k.blend, rows.src, rows.dst, args,
                           std::string(Name(level)) + " blend " + std::to_string(f));
        }
    }
}

TEST(SimdSweepTest, AlphaTimesOpacityOverEveryTriple) {
    for (mmx::SimdLevel level : VectorLevels()) {
        const mmx::KernelSet& k = mmx::Kernels(level);
        // The opacities callers pass (grey factors o and 255 - o), and one
        // uneven pair with a full and an empty channel.
        const std::vector<std::pair<std::uint32_t, std::uint32_t>> factors{
            {0x010101u * 254, 0x010101u * 1},
            {0x010101u * 127, 0x010101u * 128},
            {0x00FF0040, 0x0000FF90}};
        for (auto [df, sf] : factors)
            for (std::uint32_t a = 0; a < 256; ++a) {
                PairRows rows(a);
                ExpectSameRows(mmx::scalar::AlphaBlendRow, k.alphaBlend, rows.src, rows.dst,
                               {0, df, sf},
                               std::string(Name(level)) + " alpha-blend " + std::to_string(a));
            }
    }
}

TEST(SimdSweepTest, KeyedCopyAndEveryRowLength) {
    std::mt19937 rng(12345);
    for (mmx::SimdLevel level : VectorLevels()) {
        const mmx::KernelSet& k = mmx::Kernels(level);
        for (int n = 0; n <= 40; ++n) {
            std::vector<std::uint32_t> src(n), dst(n);
            for (int i = 0; i < n; ++i) {
                // Half the source words are the key, some differ from it only
                // in the fourth byte.
                const std::uint32_t r = rng();
                src[i] = (r & 1) ? 0x0000FF00u : (r & 2) ? 0x0100FF00u : rng();
                dst[i] = rng();
            }
            const std::string what = std::string(Name(level)) + " n=" + std::to_string(n);
            ExpectSameRows(blit_kernels::KeyedRow, k.keyed, src, dst, {0x0000FF00u, 0, 0},
                           what + " keyed");
            ExpectSameRows(mmx::scalar::AlphaRow, k.alpha, src, dst, {}, what + " alpha");
            ExpectSameRows(mmx::scalar::BlendRow, k.blend, src, dst, {0, 0x123456, 0x89ABCD},
                           what + " blend");
            ExpectSameRows(mmx::scalar::AlphaBlendRow, k.alphaBlend, src, dst,
                           {0, 0x404040, 0xBFBFBF}, what + " alpha-blend");
        }
    }
}

TEST(SimdSweepTest, RandomBlitsGiveTheSameBytesAtEveryLevel) {
    std::mt19937 rng(2024);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int iter = 0; iter < 600; ++iter) {
        const int sw = pick(1, 37), sh = pick(1, 9), dw = pick(1, 41), dh = pick(1, 9);
        auto src = MakeDib(Kind::Mmx, sw, sh);
        auto base = MakeDib(Kind::Mmx, dw, dh);
        for (int i = 0; i < sw * sh; ++i) {
            // Mostly the common alphas (0, 255) with some in between.
            const std::uint32_t r = rng();
            const std::uint32_t a = (r % 3 == 0) ? 0 : (r % 3 == 1) ? 255 : (rng() & 0xFF);
            src->GetBits()[i] = (a << 24) | (rng() & 0xFFFFFF);
            if (rng() % 7 == 0) src->GetBits()[i] = 0x0000FF00;
        }
        for (int i = 0; i < dw * dh; ++i)
            base->GetBits()[i] = rng();
        const DibRect sr{pick(-3, sw), pick(-2, sh), pick(0, sw + 3), pick(0, sh + 2)};
        const bool stretch = rng() & 1;
        const DibSize size{pick(0, 50), pick(0, 12)};
        const bool clipped = rng() & 1;
        const DibRect clipRect{pick(-5, dw), pick(-5, dh), pick(0, dw + 5), pick(0, dh + 5)};
        const int dx = pick(-20, dw + 2), dy = pick(-6, dh + 2);
        const std::uint32_t sf = rng() & 0xFFFFFF, df = rng() & 0xFFFFFF;

        for (int kernel = 0; kernel < 5; ++kernel) {
            std::vector<std::vector<std::uint32_t>> results;
            for (mmx::SimdLevel level :
                 {mmx::SimdLevel::Scalar, mmx::SimdLevel::Sse2, mmx::SimdLevel::Avx2}) {
                if (!mmx::Supported(level)) continue;
                ScopedSimdLevel pin(level);
                auto dst = MakeDib(Kind::Mmx, dw, dh);
                std::copy(base->GetBits(), base->GetBits() + dw * dh, dst->GetBits());
                DibRect clip = clipRect;
                DibRect* c = clipped ? &clip : nullptr;
                const DibSize* z = stretch ? &size : nullptr;
                switch (kernel) {
                case 0:
                    dst->BltKeyed(src.get(), dx, dy, &sr, z, c);
                    break;
                case 1:
                    dst->Blt(src.get(), dx, dy, &sr, z, c);
                    break;
                case 2:
                    dst->BltAlpha(src.get(), dx, dy, &sr, z, c);
                    break;
                case 3:
                    dst->BltBlend(src.get(), dx, dy, df, sf, &sr, z, c);
                    break;
                default:
                    dst->BltAlphaBlend(src.get(), dx, dy, df, sf, &sr, z, c);
                    break;
                }
                results.push_back(Pixels(*dst));
            }
            for (size_t i = 1; i < results.size(); ++i)
                ASSERT_EQ(results[0], results[i]) << "iteration " << iter << " kernel " << kernel;
        }
    }
}

TEST(SimdSweepTest, StretchedAndClippedBlitsNeverReadOutsideTheSourceRectangle) {
    // The rectangle sits inside a larger image whose other pixels carry a
    // marker; a walk that strayed would copy one.
    constexpr std::uint32_t kMarker = 0xDEADBEEF;
    std::mt19937 rng(77);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (Kind kind : {Kind::Plain, Kind::Mmx}) {
        for (int iter = 0; iter < 800; ++iter) {
            auto src = MakeDib(kind, 30, 20, kMarker);
            const DibRect sr{pick(0, 14), pick(0, 9), pick(15, 30), pick(10, 20)};
            for (int y = sr.top; y < sr.bottom; ++y)
                for (int x = sr.left; x < sr.right; ++x)
                    src->SetPixel(x, y, 0x00010000u * y + x);
            auto dst = MakeDib(kind, 40, 30, 0x00FFFFFF);
            const DibSize size{pick(1, 80), pick(1, 60)};
            DibRect clip{pick(-5, 20), pick(-5, 15), pick(10, 45), pick(10, 35)};
            dst->Blt(src.get(), pick(-60, 39), pick(-40, 29), &sr, &size, &clip);
            for (std::uint32_t p : Pixels(*dst))
                ASSERT_NE(p, kMarker) << "iteration " << iter;
        }
    }
}

TEST(SimdSweepTest, PixelCopyOfEveryLengthAroundTheVectorWidths) {
    std::mt19937 rng(5);
    for (int n = 0; n <= 100; ++n) {
        std::vector<std::uint32_t> src(n), dst(n + 2, 0xABABABAB);
        for (auto& p : src)
            p = rng();
        blit_kernels::CopyPixels(dst.data() + 1, src.data(), n);
        EXPECT_EQ(dst.front(), 0xABABABABu);
        EXPECT_EQ(dst.back(), 0xABABABABu);
        EXPECT_TRUE(std::equal(src.begin(), src.end(), dst.begin() + 1)) << n;
    }
}
