// The parts of a Windows bitmap's info header the loader reads, and the
// checks every header passes before any size taken from it is used.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace bitmap_header {

inline constexpr int kMaxSide = 16384;
inline constexpr std::uint32_t kFileHeaderSize = 14;
inline constexpr std::uint32_t kInfoHeaderSize = 40;
inline constexpr std::uint32_t kCompressionNone = 0;
inline constexpr std::uint32_t kCompressionBitfields = 3;

struct Info {
    std::uint32_t headerSize = 0;
    std::int32_t width = 0;
    std::int32_t height = 0; // negative: rows stored top first
    std::uint16_t planes = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t colorsUsed = 0;

    int Rows() const { return height < 0 ? -height : height; }
    bool TopDown() const { return height < 0; }
    // Bytes of one stored row: rows are padded to a multiple of 4 bytes.
    std::uint32_t Stride() const {
        return static_cast<std::uint32_t>(
            ((std::uint64_t(bitCount) * std::uint32_t(width) + 31) >> 5) * 4);
    }
    std::uint64_t ImageBytes() const { return std::uint64_t(Stride()) * std::uint32_t(Rows()); }
    // Colour-table size the packed form always holds: 4 * 2^bits below 16
    // bits, 12 (three masks) for bitfields, else nothing.
    std::uint32_t TableBytes() const {
        if (bitCount < 16) return 4u << bitCount;
        return compression == kCompressionBitfields ? 12u : 0u;
    }
};

inline std::uint16_t Get16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
inline std::uint32_t Get32(std::span<const std::uint8_t> b, std::size_t at) {
    return std::uint32_t(b[at]) | (std::uint32_t(b[at + 1]) << 8) |
           (std::uint32_t(b[at + 2]) << 16) | (std::uint32_t(b[at + 3]) << 24);
}
inline void Put32(std::span<std::uint8_t> b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

inline bool DepthSupported(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Reads the info header at the start of `b` and accepts it only when every
// field that sizes something is sound: header of 40 bytes or more, both sides
// 1 to 16,384 (height of either sign), one plane, a supported depth, and no
// compression but bitfields.
inline std::optional<Info> Parse(std::span<const std::uint8_t> b) {
    if (b.size() < kInfoHeaderSize) return std::nullopt;
    Info i;
    i.headerSize = Get32(b, 0);
    i.width = static_cast<std::int32_t>(Get32(b, 4));
    i.height = static_cast<std::int32_t>(Get32(b, 8));
    i.planes = Get16(b, 12);
    i.bitCount = Get16(b, 14);
    i.compression = Get32(b, 16);
    i.colorsUsed = Get32(b, 32);
    if (i.headerSize < kInfoHeaderSize) return std::nullopt;
    if (i.width < 1 || i.width > kMaxSide) return std::nullopt;
    if (i.height == 0 || i.height < -kMaxSide || i.height > kMaxSide) return std::nullopt;
    if (i.planes != 1 || !DepthSupported(i.bitCount)) return std::nullopt;
    if (i.compression != kCompressionNone && i.compression != kCompressionBitfields)
        return std::nullopt;
    return i;
}

// A bitmap file's bytes made into the packed form the renderer converts: the
// 40-byte header (biSize 40, no colour count), the full colour table, then
// the pixel rows the file holds (fewer than the header says when the file is
// short; the converter reads the missing ones as zero). Empty when refused.
std::vector<std::uint8_t> PackFile(std::span<const std::uint8_t> file);

} // namespace bitmap_header
