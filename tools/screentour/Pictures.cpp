#include "Pictures.h"

#include "lib/DemoCanvas.h"

#include <zlib.h>

#include <array>
#include <fstream>

namespace tour {

namespace {

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void Chunk(std::vector<std::uint8_t>& out, const char (&type)[5],
           const std::vector<std::uint8_t>& data) {
    PutU32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    const std::uint32_t crc = crc32(0, out.data() + start, static_cast<uInt>(out.size() - start));
    PutU32(out, crc);
}

} // namespace

bool WritePng(const std::filesystem::path& file, int width, int height,
              std::span<const std::uint32_t> pixels) {
    // Rows of RGB bytes, each behind a filter byte of 0 (none).
    std::vector<std::uint8_t> raw;
    raw.reserve(std::size_t(height) * (1 + 3 * std::size_t(width)));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = pixels[std::size_t(y) * width + x];
            raw.push_back(static_cast<std::uint8_t>(p >> 16));
            raw.push_back(static_cast<std::uint8_t>(p >> 8));
            raw.push_back(static_cast<std::uint8_t>(p));
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 6) !=
        Z_OK)
        return false;
    packed.resize(packedSize);

    std::vector<std::uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    PutU32(header, static_cast<std::uint32_t>(width));
    PutU32(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8 bits, RGB, deflate, no filter, no interlace
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", packed);
    Chunk(png, "IEND", {});
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    return static_cast<bool>(out);
}

bool WriteContactSheet(const std::filesystem::path& file, const std::vector<Screen>& screens) {
    constexpr int kColumns = 5, kScale = 4;
    constexpr int kThumbW = 800 / kScale, kThumbH = 600 / kScale;
    constexpr int kCellW = kThumbW + 8, kCellH = kThumbH + 26;
    const int rows = std::max<int>(1, (static_cast<int>(screens.size()) + kColumns - 1) / kColumns);
    demo::Canvas sheet(kColumns * kCellW + 8, rows * kCellH + 8, 0xFF202020);
    for (std::size_t i = 0; i < screens.size(); ++i) {
        const int x0 = 8 + static_cast<int>(i % kColumns) * kCellW;
        const int y0 = 8 + static_cast<int>(i / kColumns) * kCellH;
        // Each small pixel is the mean of the screen's 4x4 block.
        for (int y = 0; y < kThumbH; ++y)
            for (int x = 0; x < kThumbW; ++x) {
                std::array<std::uint32_t, 3> sum{};
                for (int dy = 0; dy < kScale; ++dy)
                    for (int dx = 0; dx < kScale; ++dx) {
                        const std::uint32_t p =
                            screens[i].pixels[std::size_t(y * kScale + dy) * 800 + x * kScale + dx];
                        sum[0] += (p >> 16) & 0xFF;
                        sum[1] += (p >> 8) & 0xFF;
                        sum[2] += p & 0xFF;
                    }
                constexpr std::uint32_t n = kScale * kScale;
                sheet.Set(x0 + x, y0 + y,
                          0xFF000000 | (sum[0] / n) << 16 | (sum[1] / n) << 8 | (sum[2] / n));
            }
        sheet.Text(x0, y0 + kThumbH + 3, screens[i].name, 14, 0xE0E0E0);
    }
    std::vector<std::uint32_t> rgb(sheet.Pixels().begin(), sheet.Pixels().end());
    return WritePng(file, sheet.Width(), sheet.Height(), rgb);
}

} // namespace tour
