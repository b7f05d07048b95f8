#include "gfx/TransitionKernels.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace transition_kernels {

void BlendRowScalar(std::uint32_t* d, const std::uint32_t* s, const std::uint32_t* b, std::size_t n,
                    std::uint32_t alpha) {
    const std::uint32_t beta = 255 - alpha;
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t sv = s[i], bv = b[i];
        std::uint32_t out = 0;
        for (int c = 0; c < 3; ++c) {
            const std::uint32_t v = ((((sv >> (8 * c)) & 0xFF) * alpha) >> 8) +
                                    ((((bv >> (8 * c)) & 0xFF) * beta) >> 8);
            out |= std::min<std::uint32_t>(v, 255) << (8 * c);
        }
        d[i] = out;
    }
}

void MaskMixRowScalar(std::uint32_t* d, const std::uint32_t* a, const std::uint32_t* b,
                      const std::uint32_t* mask, std::size_t n, std::int64_t threshold) {
    for (std::size_t i = 0; i < n; ++i) {
        const std::int32_t w = MaskWeight(threshold, mask[i] & 0xFF);
        const std::uint32_t av = a[i], bv = b[i];
        std::uint32_t out = d[i] & 0xFF000000u;
        for (int c = 0; c < 3; ++c) {
            const auto ac = static_cast<std::int32_t>((av >> (8 * c)) & 0xFF);
            const auto bc = static_cast<std::int32_t>((bv >> (8 * c)) & 0xFF);
            out |= (static_cast<std::uint32_t>(bc + (((ac - bc) * w) >> 8)) & 0xFF) << (8 * c);
        }
        d[i] = out;
    }
}

#if defined(__SSE2__)

void BlendRowSimd(std::uint32_t* d, const std::uint32_t* s, const std::uint32_t* b, std::size_t n,
                  std::uint32_t alpha) {
    const auto fa = static_cast<short>(alpha);
    const auto fb = static_cast<short>(255 - alpha);
    // The fourth lane gets weight 0 on both sides, so it comes out 0.
    const __m128i wa = _mm_setr_epi16(fa, fa, fa, 0, fa, fa, fa, 0);
    const __m128i wb = _mm_setr_epi16(fb, fb, fb, 0, fb, fb, fb, 0);
    const __m128i zero = _mm_setzero_si128();
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i bv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
        // Each product is at most 255 * 255 and each term is shifted on its
        // own, as the scalar form truncates each term; the sum stays below 255.
        const __m128i lo =
            _mm_add_epi16(_mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(sv, zero), wa), 8),
                          _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(bv, zero), wb), 8));
        const __m128i hi =
            _mm_add_epi16(_mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(sv, zero), wa), 8),
                          _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(bv, zero), wb), 8));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_packus_epi16(lo, hi));
    }
    BlendRowScalar(d + i, s + i, b + i, n - i, alpha);
}

void MaskMixRowSimd(std::uint32_t* d, const std::uint32_t* a, const std::uint32_t* b,
                    const std::uint32_t* mask, std::size_t n, std::int64_t threshold) {
    // Past these bounds every weight is 0 (or 255) anyway; the clamp keeps
    // the 32-bit lanes from overflowing.
    const auto t = static_cast<std::int32_t>(std::clamp<std::int64_t>(threshold, -1024, 1024));
    const __m128i zero = _mm_setzero_si128();
    const __m128i lowByte = _mm_set1_epi32(0xFF);
    const __m128i bias = _mm_set1_epi32(t - 256);
    const __m128i k255 = _mm_set1_epi16(255);
    const __m128i k256 = _mm_set1_epi16(256);
    const __m128i fourth = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i m =
            _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(mask + i)), lowByte);
        // w = clamp(4 * (t + m - 256), 0, 255): 4 * 64 = 256 lands on 255.
        __m128i w = _mm_slli_epi32(_mm_add_epi32(m, bias), 2);
        w = _mm_packs_epi32(w, w);
        w = _mm_min_epi16(_mm_max_epi16(w, zero), k255);
        const __m128i pairs = _mm_unpacklo_epi16(w, w);
        const __m128i wlo = _mm_unpacklo_epi32(pairs, pairs); // pixels 0, 1
        const __m128i whi = _mm_unpackhi_epi32(pairs, pairs); // pixels 2, 3
        const __m128i av = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
        const __m128i bv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
        const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        // b + floor((a - b) w / 256) = (a w + b (256 - w)) >> 8, which stays
        // within 16 unsigned bits.
        const __m128i lo = _mm_srli_epi16(
            _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(av, zero), wlo),
                          _mm_mullo_epi16(_mm_unpacklo_epi8(bv, zero), _mm_sub_epi16(k256, wlo))),
            8);
        const __m128i hi = _mm_srli_epi16(
            _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(av, zero), whi),
                          _mm_mullo_epi16(_mm_unpackhi_epi8(bv, zero), _mm_sub_epi16(k256, whi))),
            8);
        const __m128i out = _mm_packus_epi16(lo, hi);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i),
                         _mm_or_si128(_mm_andnot_si128(fourth, out), _mm_and_si128(fourth, dv)));
    }
    MaskMixRowScalar(d + i, a + i, b + i, mask + i, n - i, threshold);
}

#else

void BlendRowSimd(std::uint32_t* d, const std::uint32_t* s, const std::uint32_t* b, std::size_t n,
                  std::uint32_t alpha) {
    BlendRowScalar(d, s, b, n, alpha);
}

void MaskMixRowSimd(std::uint32_t* d, const std::uint32_t* a, const std::uint32_t* b,
                    const std::uint32_t* mask, std::size_t n, std::int64_t threshold) {
    MaskMixRowScalar(d, a, b, mask, n, threshold);
}

#endif

void BlendRow(std::uint32_t* d, const std::uint32_t* s, const std::uint32_t* b, std::size_t n,
              std::uint32_t alpha) {
    BlendRowSimd(d, s, b, n, alpha);
}

void MaskMixRow(std::uint32_t* d, const std::uint32_t* a, const std::uint32_t* b,
                const std::uint32_t* mask, std::size_t n, std::int64_t threshold) {
    MaskMixRowSimd(d, a, b, mask, n, threshold);
}

} // namespace transition_kernels
