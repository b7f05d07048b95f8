// Writes Windows bitmaps of 1, 4, 8, 16, 24 and 32 bits for tests and the
// demo data: palettes with a chosen biClrUsed, bitfield masks, top-down rows,
// larger info headers and a gap before the pixels, rows padded to 4 bytes.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace bmp_writer {

struct BmpImage {
    int width = 0;
    int height = 0; // rows; written negative when topDown
    int bitCount = 24;
    // 16, 24 and 32 bits: one 0xAARRGGBB word per pixel, top row first.
    // 32 bits stores the word as it is; 24 drops the fourth byte; 16 packs
    // the channels with `masks`.
    std::vector<std::uint32_t> pixels;
    // 1, 4 and 8 bits: one palette index per pixel, top row first.
    std::vector<std::uint8_t> indices;
    // 0x00RRGGBB entries; the table holds colorsUsed entries, or 2^bitCount
    // when colorsUsed is 0 (missing entries written as 0).
    std::vector<std::uint32_t> palette;
    std::uint32_t colorsUsed = 0;
    bool topDown = false;
    // BI_BITFIELDS: the red, green and blue masks are written after a 40-byte
    // header, or inside a larger one. 16-bit pixels are packed by `masks`
    // either way (5-5-5 unless changed).
    bool bitfields = false;
    std::array<std::uint32_t, 3> masks{0x7C00, 0x03E0, 0x001F};
    std::uint32_t headerSize = 40;     // 40, 52, 56, 108 or 124
    std::uint32_t gapBeforePixels = 0; // zero bytes between the table and the pixels
};

// Bytes per stored row: padded to a multiple of 4.
std::uint32_t RowStride(int width, int bitCount);
std::vector<std::uint8_t> EncodeBmp(const BmpImage& image);
bool WriteBmp(const std::filesystem::path& path, const BmpImage& image);

// Little-endian field access, for tests that damage a header on purpose.
void Put16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t v);
void Put32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t v);

// Offsets of the header fields in a written file.
inline constexpr std::size_t kOffBfSize = 2;
inline constexpr std::size_t kOffBfOffBits = 10;
inline constexpr std::size_t kOffBiSize = 14;
inline constexpr std::size_t kOffBiWidth = 18;
inline constexpr std::size_t kOffBiHeight = 22;
inline constexpr std::size_t kOffBiPlanes = 26;
inline constexpr std::size_t kOffBiBitCount = 28;
inline constexpr std::size_t kOffBiCompression = 30;
inline constexpr std::size_t kOffBiClrUsed = 46;

} // namespace bmp_writer
