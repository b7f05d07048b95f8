// Row kernels of the two transitions every screen uses (the cross-fade and
// the mask wipe), each as a plain loop and as a SIMD loop that must give the
// same pixels. The plain loops are the reference the tests hold the SIMD
// ones to.
#pragma once

#include <cstddef>
#include <cstdint>

namespace transition_kernels {

// d[i] = colour bytes (s * alpha >> 8) + (b * (255 - alpha) >> 8), fourth
// byte 0; alpha 0..255. d may be the same row as s or b.
void BlendRowScalar(std::uint32_t* d, const std::uint32_t* s, const std::uint32_t* b, std::size_t n,
                    std::uint32_t alpha);
void BlendRowSimd(std::uint32_t* d, const std::uint32_t* s, const std::uint32_t* b, std::size_t n,
                  std::uint32_t alpha);
void BlendRow(std::uint32_t* d, const std::uint32_t* s, const std::uint32_t* b, std::size_t n,
              std::uint32_t alpha);

// Mask wipe: with w = clamp(4 * (threshold + m - 256), 0, 255) from the mask
// pixel's first byte m, each colour byte of d = b + floor((a - b) * w / 256);
// the fourth byte of d is kept. d may be the same row as a or b.
void MaskMixRowScalar(std::uint32_t* d, const std::uint32_t* a, const std::uint32_t* b,
                      const std::uint32_t* mask, std::size_t n, std::int64_t threshold);
void MaskMixRowSimd(std::uint32_t* d, const std::uint32_t* a, const std::uint32_t* b,
                    const std::uint32_t* mask, std::size_t n, std::int64_t threshold);
void MaskMixRow(std::uint32_t* d, const std::uint32_t* a, const std::uint32_t* b,
                const std::uint32_t* mask, std::size_t n, std::int64_t threshold);

// The weight the mask wipe gives mask value m at a threshold.
inline std::int32_t MaskWeight(std::int64_t threshold, std::uint32_t m) {
    const std::int64_t d = threshold + static_cast<std::int64_t>(m) - 256;
    return d <= 0 ? 0 : d >= 64 ? 255 : static_cast<std::int32_t>(4 * d);
}

} // namespace transition_kernels
