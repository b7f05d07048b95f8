#include "lib/BmpWriter.h"

#include <bit>
#include <fstream>

namespace bmp_writer {

void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t v) {
    if (b.size() < at + 2) b.resize(at + 2);
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    if (b.size() < at + 4) b.resize(at + 4);
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t RowStride(int width, int bitCount) {
    return static_cast<std::uint32_t>(((static_cast<std::uint64_t>(bitCount) * width + 31) >> 5) *
                                      4);
}

namespace {

// One 8-bit channel into the bits of `mask`, keeping its top bits.
std::uint32_t Pack(std::uint32_t channel, std::uint32_t mask) {
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    const std::uint32_t v = bits >= 8 ? channel << (bits - 8) : channel >> (8 - bits);
    return (v << shift) & mask;
}

} // namespace

std::vector<std::uint8_t> EncodeBmp(const BmpImage& im) {
    const bool indexed = im.bitCount <= 8;
    std::uint32_t tableEntries = 0;
    if (indexed) tableEntries = im.colorsUsed ? im.colorsUsed : (1u << im.bitCount);
    std::uint32_t tableBytes = tableEntries * 4;
    const bool masksAfterHeader = im.bitfields && im.headerSize < 52;
    if (masksAfterHeader) tableBytes += 12;
    if (!indexed && im.colorsUsed) tableBytes += im.colorsUsed * 4; // a listed-colour table, unused

    const std::uint32_t stride = RowStride(im.width, im.bitCount);
    const std::uint32_t imageBytes = stride * static_cast<std::uint32_t>(im.height);
    const std::uint32_t offBits = 14 + im.headerSize + tableBytes + im.gapBeforePixels;
    std::vector<std::uint8_t> out(offBits + imageBytes, 0);

    out[0] = 'B';
    out[1] = 'M';
    Put32(out, kOffBfSize, static_cast<std::uint32_t>(out.size()));
    Put32(out, kOffBfOffBits, offBits);
    Put32(out, kOffBiSize, im.headerSize);
    Put32(out, kOffBiWidth, static_cast<std::uint32_t>(im.width));
    Put32(out, kOffBiHeight, static_cast<std::uint32_t>(im.topDown ? -im.height : im.height));
    Put16(out, kOffBiPlanes, 1);
    Put16(out, kOffBiBitCount, static_cast<std::uint16_t>(im.bitCount));
    Put32(out, kOffBiCompression, im.bitfields ? 3u : 0u);
    Put32(out, 34, imageBytes);
    Put32(out, 38, 2835);
    Put32(out, 42, 2835);
    Put32(out, kOffBiClrUsed, im.colorsUsed);
    if (im.bitfields) {
        // Inside a header of 52 bytes or more, else right after the 40 bytes.
        const std::size_t at = 14 + 40;
        Put32(out, at, im.masks[0]);
        Put32(out, at + 4, im.masks[1]);
        Put32(out, at + 8, im.masks[2]);
    }
    std::size_t t = 14 + im.headerSize + (masksAfterHeader ? 12 : 0);
    for (std::uint32_t i = 0; indexed && i < tableEntries; ++i, t += 4) {
        const std::uint32_t c = i < im.palette.size() ? im.palette[i] : 0;
        out[t] = static_cast<std::uint8_t>(c);
        out[t + 1] = static_cast<std::uint8_t>(c >> 8);
        out[t + 2] = static_cast<std::uint8_t>(c >> 16);
    }

    for (int row = 0; row < im.height; ++row) {
        // Stored bottom row first unless top-down.
        const int y = im.topDown ? row : im.height - 1 - row;
        std::uint8_t* p = out.data() + offBits + static_cast<std::size_t>(row) * stride;
        for (int x = 0; x < im.width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * im.width + x;
            if (indexed) {
                const std::uint8_t v = i < im.indices.size() ? im.indices[i] : 0;
                if (im.bitCount == 8)
                    p[x] = v;
                else if (im.bitCount == 4)
                    p[x >> 1] |= (x & 1) ? (v & 0x0F) : static_cast<std::uint8_t>(v << 4);
                else if (v & 1)
                    p[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
                continue;
            }
            const std::uint32_t w = i < im.pixels.size() ? im.pixels[i] : 0;
            if (im.bitCount == 32) {
                for (int b = 0; b < 4; ++b)
                    p[4 * x + b] = static_cast<std::uint8_t>(w >> (8 * b));
            } else if (im.bitCount == 24) {
                for (int b = 0; b < 3; ++b)
                    p[3 * x + b] = static_cast<std::uint8_t>(w >> (8 * b));
            } else if (im.bitCount == 16) {
                const std::uint32_t v = Pack((w >> 16) & 0xFF, im.masks[0]) |
                                        Pack((w >> 8) & 0xFF, im.masks[1]) |
                                        Pack(w & 0xFF, im.masks[2]);
                p[2 * x] = static_cast<std::uint8_t>(v);
                p[2 * x + 1] = static_cast<std::uint8_t>(v >> 8);
            }
        }
    }
    return out;
}

bool WriteBmp(const std::filesystem::path& path, const BmpImage& image) {
    const std::vector<std::uint8_t> bytes = EncodeBmp(image);
    if (path.has_parent_path()) {
        std::error_code ec;
        std::filesystem::create_directories(path.parent_path(), ec);
    }
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(f);
}

} // namespace bmp_writer
