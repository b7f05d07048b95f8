// Reading Windows bitmap files into the packed form.
#include "gfx/BitmapHeader.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace bitmap_header {

std::vector<std::uint8_t> PackFile(std::span<const std::uint8_t> data) {
    if (data.size() < kFileHeaderSize + kInfoHeaderSize) return {};
    if (data[0] != 'B' || data[1] != 'M') return {};
    const std::optional<Info> info = Parse(data.subspan(kFileHeaderSize));
    if (!info) return {};
    const std::uint64_t headerEnd = std::uint64_t(kFileHeaderSize) + info->headerSize;
    const std::uint64_t offBits = Get32(data, 10);
    if (headerEnd > data.size() || offBits < headerEnd || offBits > data.size()) return {};

    // The packed form always holds the full table; the file's own table may
    // be shorter (biClrUsed) and the rest stays zero.
    const std::uint32_t table = info->TableBytes();
    const std::uint64_t tableRead =
        std::min<std::uint64_t>({info->colorsUsed ? std::uint64_t(info->colorsUsed) * 4 : table,
                                 table, data.size() - headerEnd});
    // A short file simply has fewer rows; the converter reads the rest as zero.
    const std::uint64_t present =
        std::min<std::uint64_t>(info->ImageBytes(), data.size() - offBits);

    std::vector<std::uint8_t> block;
    try {
        block.assign(kInfoHeaderSize + table + present, 0);
    } catch (const std::bad_alloc&) {
        return {};
    }
    std::memcpy(block.data(), data.data() + kFileHeaderSize, kInfoHeaderSize);
    Put32(block, 0, kInfoHeaderSize);
    Put32(block, 32, 0); // biClrUsed: the table is now full size
    Put32(block, 36, 0); // biClrImportant
    std::memcpy(block.data() + kInfoHeaderSize, data.data() + headerEnd, tableRead);
    std::memcpy(block.data() + kInfoHeaderSize + table, data.data() + offBits, present);
    return block;
}

} // namespace bitmap_header
