// Bitmap files of any bytes: packed, converted into an image, then drawn
// with a stretched alpha blit so that every converted pixel is read.
#include "gfx/BitmapHeader.h"
#include "gfx/Dib.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> file(data, size);
    std::vector<std::uint8_t> block = bitmap_header::PackFile(file);
    if (block.empty()) return 0;
    // Keep each run quick: the largest pictures (up to 16,384 on a side) are
    // covered by named tests, not by every fuzz input.
    const auto info = bitmap_header::Parse(block);
    if (!info || static_cast<long long>(info->width) * info->Rows() > (1 << 20)) return 0;
    CDib image;
    if (image.CreateFromDib(std::move(block)) != kDibConverted) return 0;
    CDib screen;
    screen.Create(platform::WindowHandle::Main, 64, 48, 24);
    const DibSize screenSize{64, 48};
    screen.BltAlpha(&image, 0, 0, nullptr, &screenSize, nullptr);
    return 0;
}
