#include "gfx/Dib.h"

#include "data/PackFile.h"
#include "gfx/BitmapHeader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

std::unique_ptr<CDibRenderer> MakeRenderer() {
    // Classes 3 and 4 have MMX; 1 and 2 (and anything unexpected) get the
    // plain class, so an image always has a renderer.
    const int cls = GetCpuRendererClass();
    if (cls == 3 || cls == 4)
        return std::make_unique<CDibRenderer>(&blit_kernels::mmx::ActiveKernels);
    return std::make_unique<CDibRenderer>(&blit_kernels::plain::Kernels);
}

} // namespace

CDib::CDib() : renderer_(MakeRenderer()) {}

CDib::~CDib() = default;

bool CDib::Create(platform::WindowHandle, int width, int height, int) {
    renderer_->Create(static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height));
    renderer_->SetColorKey(0, 255, 0);
    return true;
}

bool CDib::LoadFile(platform::WindowHandle, const char* name) {
    if (!name) return false;
    return Open(std::string(name)) == 0;
}

int CDib::Open(const std::string& name) {
    std::vector<std::uint8_t> block = Load(name);
    if (block.empty() || CreateFromDib(std::move(block)) != kDibConverted) {
        state_ = kDibStateLoadFailed;
        return 1;
    }
    state_ = kDibStateLoaded;
    return 0;
}

std::vector<std::uint8_t> CDib::Load(const std::string& name) {
    namespace bh = bitmap_header;
    if (name.empty()) return {};
    // Absolute: a drive letter, or a native absolute path such as the data
    // folders of the path table give.
    const bool absolute = (name.size() > 1 && name[1] == ':') || name.front() == '/';
    const std::string path = absolute ? name : platform::CurrentDirectory() + "\\" + name;
    CPackFile file;
    if (file.Open(path) != kPackOk || !file.GetBuffer()) return {};
    std::vector<std::uint8_t> block =
        bh::PackFile(std::span<const std::uint8_t>(file.GetBuffer(), file.GetSize()));
    if (!block.empty()) bitCount_ = bh::Get16(block, 14);
    return block;
}

int CDib::CreateFromDib(std::vector<std::uint8_t> block, int) {
    if (block.empty()) return kDibNoBlock;
    return renderer_->CreateFromDib(block);
}

bool CDib::FillRect(int x, int y, int w, int h, std::uint32_t colour) {
    // Far edges beyond the int range cannot reach into any image.
    auto edge = [](long long v) {
        return static_cast<int>(std::clamp<long long>(v, INT32_MIN, INT32_MAX));
    };
    const DibRect r{x, y, edge(static_cast<long long>(x) + w), edge(static_cast<long long>(y) + h)};
    return renderer_->Fill(colour, &r) == 0;
}

void CDib::Fill(std::uint32_t colour, const DibRect* rect) {
    renderer_->Fill(colour, rect);
}

std::array<std::unique_ptr<CDib>, 64> cdib;
std::unique_ptr<CDib> g_backBuffer;
std::unique_ptr<CDib> g_menuSnapshot;
std::unique_ptr<CDib> g_maskImage;
std::unique_ptr<CDib> g_backupSurface;
std::unique_ptr<CDib> g_fullPage;

DibBitmap CDib::GetBitmap() {
    std::uint32_t* bits = GetBits();
    if (!TestFlags(kDibSectionFlag) || !bits) return {};
    const auto count = static_cast<size_t>(GetWidth()) * static_cast<size_t>(GetHeight());
    return {std::span<std::uint32_t>(bits, count), GetWidth(), GetHeight()};
}

std::optional<CDibDC> CDib::GetDC() {
    const DibBitmap bitmap = GetBitmap();
    if (!bitmap) return std::nullopt;
    return CDibDC(bitmap);
}

void CDibDC::BitBlt(int dx, int dy, int w, int h, const DibBitmap& src, int sx, int sy) {
    // Clip in 64 bits so that no position a caller passes can overflow.
    long long x0 = dx, y0 = dy, u0 = sx, v0 = sy, cw = w, ch = h;
    const long long leftCut = std::max({0LL, -x0, -u0});
    const long long topCut = std::max({0LL, -y0, -v0});
    x0 += leftCut, u0 += leftCut, cw -= leftCut;
    y0 += topCut, v0 += topCut, ch -= topCut;
    cw = std::min({cw, bitmap_.width - x0, src.width - u0});
    ch = std::min({ch, bitmap_.height - y0, src.height - v0});
    if (cw <= 0 || ch <= 0) return;
    // A copy within one picture walks its rows away from the overlap.
    const bool upwards = src.pixels.data() == bitmap_.pixels.data() && y0 > v0;
    for (long long i = 0; i < ch; ++i) {
        const long long row = upwards ? ch - 1 - i : i;
        std::memmove(&bitmap_.pixels[static_cast<size_t>((y0 + row) * bitmap_.width + x0)],
                     &src.pixels[static_cast<size_t>((v0 + row) * src.width + u0)],
                     static_cast<size_t>(cw) * sizeof(std::uint32_t));
    }
}
