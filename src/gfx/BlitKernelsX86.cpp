// Vector forms of the MMX-class row kernels. Each works on 16-bit lanes, one
// lane per channel, exactly as the scalar reference does per channel: every
// product fits 16 bits (at most 256 * 255), every shift is logical, and the
// final sums (at most 254 + 254) saturate to a byte when packed. Tails shorter
// than a vector go through the scalar reference.
#include "gfx/BlitKernels.h"

#if defined(__x86_64__)

#include <immintrin.h>

namespace blit_kernels::mmx {

namespace {

constexpr std::uint32_t kColourMask = 0x00FFFFFF;

// ---------------------------------------------------------------- SSE2, 4 pixels

inline __m128i BroadcastAlpha16(__m128i px16) {
    // Lanes (b, g, r, a) of each pixel become (a, a, a, a).
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(px16, 0xFF), 0xFF);
}

inline __m128i Factor16(std::uint32_t f) {
    return _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(f & kColourMask)),
                             _mm_setzero_si128());
}

inline __m128i MulShift(__m128i a, __m128i b) {
    return _mm_srli_epi16(_mm_mullo_epi16(a, b), 8);
}

inline __m128i Select(__m128i mask, __m128i yes, __m128i no) {
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

__m128i AlphaBlock(__m128i s, __m128i d) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i k256 = _mm_set1_epi16(256);
    const __m128i slo = _mm_unpacklo_epi8(s, zero), shi = _mm_unpackhi_epi8(s, zero);
    const __m128i dlo = _mm_unpacklo_epi8(d, zero), dhi = _mm_unpackhi_epi8(d, zero);
    const __m128i alo = BroadcastAlpha16(slo), ahi = BroadcastAlpha16(shi);
    const __m128i rlo = _mm_add_epi16(MulShift(slo, alo), MulShift(dlo, _mm_sub_epi16(k256, alo)));
    const __m128i rhi = _mm_add_epi16(MulShift(shi, ahi), MulShift(dhi, _mm_sub_epi16(k256, ahi)));
    __m128i r =
        _mm_and_si128(_mm_packus_epi16(rlo, rhi), _mm_set1_epi32(static_cast<int>(kColourMask)));
    const __m128i a32 = _mm_srli_epi32(s, 24);
    r = Select(_mm_cmpeq_epi32(a32, _mm_set1_epi32(255)), s, r);
    return Select(_mm_cmpeq_epi32(a32, zero), d, r);
}

__m128i BlendBlock(__m128i s, __m128i d, __m128i sf, __m128i df) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i rlo = _mm_add_epi16(MulShift(_mm_unpacklo_epi8(s, zero), sf),
                                      MulShift(_mm_unpacklo_epi8(d, zero), df));
    const __m128i rhi = _mm_add_epi16(MulShift(_mm_unpackhi_epi8(s, zero), sf),
                                      MulShift(_mm_unpackhi_epi8(d, zero), df));
    return _mm_packus_epi16(rlo, rhi); // the factors' fourth lanes are 0, so is the fourth byte
}

// sf: source factors; dfInv: 255 - destination factors, per lane.
inline __m128i AlphaBlendHalf(__m128i s16, __m128i d16, __m128i sf, __m128i dfInv) {
    const __m128i k255 = _mm_set1_epi16(255);
    __m128i a = BroadcastAlpha16(s16);
    a = _mm_sub_epi16(a, _mm_cmpeq_epi16(a, k255)); // 255 counts as 256
    const __m128i ws = MulShift(a, sf);
    const __m128i wd = _mm_sub_epi16(k255, MulShift(a, dfInv));
    return _mm_add_epi16(MulShift(s16, ws), MulShift(d16, wd));
}

__m128i AlphaBlendBlock(__m128i s, __m128i d, __m128i sf, __m128i dfInv) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i rlo =
        AlphaBlendHalf(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero), sf, dfInv);
    const __m128i rhi =
        AlphaBlendHalf(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero), sf, dfInv);
    const __m128i r =
        _mm_and_si128(_mm_packus_epi16(rlo, rhi), _mm_set1_epi32(static_cast<int>(kColourMask)));
    return Select(_mm_cmpeq_epi32(_mm_srli_epi32(s, 24), zero), d, r);
}

inline __m128i Load4(const std::uint32_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline void Store4(std::uint32_t* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

// ---------------------------------------------------------------- AVX2, 8 pixels

#define NV_AVX2 __attribute__((target("avx2")))

NV_AVX2 inline __m256i Factor16x(std::uint32_t f) {
    return _mm256_unpacklo_epi8(_mm256_set1_epi32(static_cast<int>(f & kColourMask)),
                                _mm256_setzero_si256());
}
NV_AVX2 inline __m256i MulShiftx(__m256i a, __m256i b) {
    return _mm256_srli_epi16(_mm256_mullo_epi16(a, b), 8);
}
NV_AVX2 inline __m256i Selectx(__m256i mask, __m256i yes, __m256i no) {
    return _mm256_blendv_epi8(no, yes, mask);
}
NV_AVX2 inline __m256i Load8(const std::uint32_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
NV_AVX2 inline void Store8(std::uint32_t* p, __m256i v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

// The AVX2 forms place each channel in the high byte of its 16-bit lane
// (unpacking zero below it), so that mulhi gives (x << 8) * w >> 16 = x * w
// >> 8 in one step: the same truncation as the reference, without a shift.
NV_AVX2 inline __m256i High16Lo(__m256i v) {
    return _mm256_unpacklo_epi8(_mm256_setzero_si256(), v);
}
NV_AVX2 inline __m256i High16Hi(__m256i v) {
    return _mm256_unpackhi_epi8(_mm256_setzero_si256(), v);
}

// The alpha byte of each pixel spread over its four 16-bit lanes, for the
// pixels the unpack-low (lo) and unpack-high (hi) halves hold.
NV_AVX2 inline __m256i AlphaLanesLo(__m256i s) {
    const __m256i m = _mm256_setr_epi8(3, -1, 3, -1, 3, -1, 3, -1, 7, -1, 7, -1, 7, -1, 7, -1, 3,
                                       -1, 3, -1, 3, -1, 3, -1, 7, -1, 7, -1, 7, -1, 7, -1);
    return _mm256_shuffle_epi8(s, m);
}
NV_AVX2 inline __m256i AlphaLanesHi(__m256i s) {
    const __m256i m =
        _mm256_setr_epi8(11, -1, 11, -1, 11, -1, 11, -1, 15, -1, 15, -1, 15, -1, 15, -1, 11, -1, 11,
                         -1, 11, -1, 11, -1, 15, -1, 15, -1, 15, -1, 15, -1);
    return _mm256_shuffle_epi8(s, m);
}

// Any mix of alphas without a branch. Weighing the source by a' = a + (a ==
// 255) and the destination by 256 - a' gives S exactly at alpha 255 and D
// exactly at alpha 0, and the mix in between; sums never pass 255, as (S*a >>
// 8) + (D*(256 - a) >> 8) <= 255. Channels are worked in place, even bytes
// shifted up and odd ones masked, so that each sits in the high byte of its
// 16-bit lane for mulhi: no unpacking. The fourth byte (the upper odd lane of
// a pixel) is weighed by the ninth bit of a' and 256 - a' alone: 256 for the
// side that is copied whole at alpha 255 or 0, nothing in between, so it is
// kept at those two alphas and 0 otherwise without a mask afterwards.
NV_AVX2 inline __m256i AlphaAny8(__m256i s, __m256i d) {
    const __m256i odd = _mm256_set1_epi32(static_cast<int>(0xFF00FF00u));
    const __m256i oddWeight = _mm256_set1_epi32(0x0100FFFF);
    const __m256i k255 = _mm256_set1_epi16(255), k256 = _mm256_set1_epi16(256);
    // The alpha byte in both 16-bit lanes of its pixel.
    const __m256i alphaBoth =
        _mm256_setr_epi8(3, -1, 3, -1, 7, -1, 7, -1, 11, -1, 11, -1, 15, -1, 15, -1, 3, -1, 3, -1,
                         7, -1, 7, -1, 11, -1, 11, -1, 15, -1, 15, -1);
    const __m256i a = _mm256_shuffle_epi8(s, alphaBoth);
    const __m256i ws = _mm256_sub_epi16(a, _mm256_cmpeq_epi16(a, k255));
    const __m256i wd = _mm256_sub_epi16(k256, ws);
    const __m256i even = _mm256_add_epi16(_mm256_mulhi_epu16(_mm256_slli_epi16(s, 8), ws),
                                          _mm256_mulhi_epu16(_mm256_slli_epi16(d, 8), wd));
    const __m256i high = _mm256_add_epi16(
        _mm256_mulhi_epu16(_mm256_and_si256(s, odd), _mm256_and_si256(ws, oddWeight)),
        _mm256_mulhi_epu16(_mm256_and_si256(d, odd), _mm256_and_si256(wd, oddWeight)));
    return _mm256_or_si256(even, _mm256_slli_epi16(high, 8));
}

NV_AVX2 __m256i BlendBlock8(__m256i s, __m256i d, __m256i sf, __m256i df) {
    const __m256i rlo =
        _mm256_add_epi16(_mm256_mulhi_epu16(High16Lo(s), sf), _mm256_mulhi_epu16(High16Lo(d), df));
    const __m256i rhi =
        _mm256_add_epi16(_mm256_mulhi_epu16(High16Hi(s), sf), _mm256_mulhi_epu16(High16Hi(d), df));
    return _mm256_packus_epi16(rlo, rhi); // the factors' fourth lanes are 0, so is the fourth byte
}

// ws = a' * sf >> 8, wd = 255 - (a' * (255 - df) >> 8) with a' = 256 for 255.
NV_AVX2 inline __m256i AlphaBlendHalfx(__m256i sHigh, __m256i dHigh, __m256i a, __m256i sf,
                                       __m256i dfInv) {
    const __m256i k255 = _mm256_set1_epi16(255);
    a = _mm256_sub_epi16(a, _mm256_cmpeq_epi16(a, k255));
    const __m256i ws = MulShiftx(a, sf);
    const __m256i wd = _mm256_sub_epi16(k255, MulShiftx(a, dfInv));
    return _mm256_add_epi16(_mm256_mulhi_epu16(sHigh, ws), _mm256_mulhi_epu16(dHigh, wd));
}

NV_AVX2 inline __m256i AlphaBlendMix8(__m256i s, __m256i d, __m256i sf, __m256i dfInv) {
    const __m256i rlo = AlphaBlendHalfx(High16Lo(s), High16Lo(d), AlphaLanesLo(s), sf, dfInv);
    const __m256i rhi = AlphaBlendHalfx(High16Hi(s), High16Hi(d), AlphaLanesHi(s), sf, dfInv);
    return _mm256_and_si256(_mm256_packus_epi16(rlo, rhi),
                            _mm256_set1_epi32(static_cast<int>(kColourMask)));
}

} // namespace

// ---------------------------------------------------------------- SSE2 rows

namespace sse2 {

void AlphaRow(std::uint32_t* d, const std::uint32_t* s, int n, const RowArgs& args) {
    int i = 0;
    const __m128i full = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    for (; i + 4 <= n; i += 4) {
        const __m128i sv = Load4(s + i);
        const int top = _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(sv, full), full));
        if (top == 0xFFFF) { // all opaque: a plain copy
            Store4(d + i, sv);
            continue;
        }
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(sv, full), _mm_setzero_si128())) ==
            0xFFFF)
            continue; // all transparent: nothing changes
        Store4(d + i, AlphaBlock(sv, Load4(d + i)));
    }
    scalar::AlphaRow(d + i, s + i, n - i, args);
}

void BlendRow(std::uint32_t* d, const std::uint32_t* s, int n, const RowArgs& args) {
    const __m128i sf = Factor16(args.srcFactor), df = Factor16(args.dstFactor);
    int i = 0;
    for (; i + 4 <= n; i += 4)
        Store4(d + i, BlendBlock(Load4(s + i), Load4(d + i), sf, df));
    scalar::BlendRow(d + i, s + i, n - i, args);
}

void AlphaBlendRow(std::uint32_t* d, const std::uint32_t* s, int n, const RowArgs& args) {
    const __m128i sf = Factor16(args.srcFactor);
    const __m128i dfInv = _mm_sub_epi16(Factor16(0xFFFFFF), Factor16(args.dstFactor));
    const __m128i full = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i sv = Load4(s + i);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(sv, full), _mm_setzero_si128())) ==
            0xFFFF)
            continue;
        Store4(d + i, AlphaBlendBlock(sv, Load4(d + i), sf, dfInv));
    }
    scalar::AlphaBlendRow(d + i, s + i, n - i, args);
}

void KeyedRow(std::uint32_t* d, const std::uint32_t* s, int n, const RowArgs& args) {
    const __m128i key = _mm_set1_epi32(static_cast<int>(args.key));
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i sv = Load4(s + i);
        const __m128i skip = _mm_cmpeq_epi32(sv, key);
        const int m = _mm_movemask_epi8(skip);
        if (m == 0xFFFF) continue;
        if (m == 0) {
            Store4(d + i, sv);
            continue;
        }
        Store4(d + i, Select(skip, Load4(d + i), sv));
    }
    blit_kernels::KeyedRow(d + i, s + i, n - i, args);
}

} // namespace sse2

// ---------------------------------------------------------------- AVX2 rows

namespace avx2 {

NV_AVX2 void CopyPixels(std::uint32_t* d, const std::uint32_t* s, int n) {
    int i = 0;
    for (; i + 32 <= n; i += 32) {
        const __m256i a = Load8(s + i), b = Load8(s + i + 8), c = Load8(s + i + 16),
                      e = Load8(s + i + 24);
        Store8(d + i, a);
        Store8(d + i + 8, b);
        Store8(d + i + 16, c);
        Store8(d + i + 24, e);
    }
    for (; i + 8 <= n; i += 8)
        Store8(d + i, Load8(s + i));
    for (; i < n; ++i)
        d[i] = s[i];
}

NV_AVX2 void AlphaRow(std::uint32_t* d, const std::uint32_t* s, int n, const RowArgs& args) {
    int i = 0;
    const __m256i alpha = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    for (; i + 32 <= n; i += 32) {
        const __m256i s0 = Load8(s + i), s1 = Load8(s + i + 8), s2 = Load8(s + i + 16),
                      s3 = Load8(s + i + 24);
        // Runs of opaque or clear pixels (most of a sprite) skip the
        // arithmetic, tested 32 at a time; these branches go the same way for
        // long runs. A block whose alphas share some bits but not all (a soft
        // edge) is mixed after one test; the others look further.
        const __m256i common = _mm256_and_si256(_mm256_and_si256(s0, s1), _mm256_and_si256(s2, s3));
        if (!_mm256_testnzc_si256(common, alpha)) {
            if (_mm256_testc_si256(common, alpha)) { // every alpha 255
                Store8(d + i, s0);
                Store8(d + i + 8, s1);
                Store8(d + i + 16, s2);
                Store8(d + i + 24, s3);
                continue;
            }
            const __m256i any = _mm256_or_si256(_mm256_or_si256(s0, s1), _mm256_or_si256(s2, s3));
            if (_mm256_testz_si256(any, alpha)) continue; // every alpha 0
        }
        Store8(d + i, AlphaAny8(s0, Load8(d + i)));
        Store8(d + i + 8, AlphaAny8(s1, Load8(d + i + 8)));
        Store8(d + i + 16, AlphaAny8(s2, Load8(d + i + 16)));
        Store8(d + i + 24, AlphaAny8(s3, Load8(d + i + 24)));
    }
    for (; i + 8 <= n; i += 8)
        Store8(d + i, AlphaAny8(Load8(s + i), Load8(d + i)));
    sse2::AlphaRow(d + i, s + i, n - i, args);
}

NV_AVX2 void BlendRow(std::uint32_t* d, const std::uint32_t* s, int n, const RowArgs& args) {
    const __m256i sf = Factor16x(args.srcFactor), df = Factor16x(args.dstFactor);
    int i = 0;
    for (; i + 8 <= n; i += 8)
        Store8(d + i, BlendBlock8(Load8(s + i), Load8(d + i), sf, df));
    sse2::BlendRow(d + i, s + i, n - i, args);
}

NV_AVX2 void AlphaBlendRow(std::uint32_t* d, const std::uint32_t* s, int n, const RowArgs& args) {
    const __m256i sf = Factor16x(args.srcFactor);
    const __m256i dfInv = _mm256_sub_epi16(Factor16x(0xFFFFFF), Factor16x(args.dstFactor));
    const __m256i zero = _mm256_setzero_si256();
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i sv = Load8(s + i);
        const __m256i clear = _mm256_cmpeq_epi32(_mm256_srli_epi32(sv, 24), zero);
        const int clearBits = _mm256_movemask_epi8(clear);
        if (clearBits == -1) continue;
        const __m256i dv = Load8(d + i);
        __m256i r = AlphaBlendMix8(sv, dv, sf, dfInv);
        if (clearBits != 0) r = Selectx(clear, dv, r);
        Store8(d + i, r);
    }
    sse2::AlphaBlendRow(d + i, s + i, n - i, args);
}

NV_AVX2 void KeyedRow(std::uint32_t* d, const std::uint32_t* s, int n, const RowArgs& args) {
    const __m256i key = _mm256_set1_epi32(static_cast<int>(args.key));
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i sv = Load8(s + i);
        const __m256i skip = _mm256_cmpeq_epi32(sv, key);
        const int m = _mm256_movemask_epi8(skip);
        if (m == -1) continue;
        if (m == 0) {
            Store8(d + i, sv);
            continue;
        }
        Store8(d + i, Selectx(skip, Load8(d + i), sv));
    }
    sse2::KeyedRow(d + i, s + i, n - i, args);
}

} // namespace avx2

} // namespace blit_kernels::mmx

#endif
