#include "gfx/GlyphFont.h"

#include "gfx/Dib.h"

#include <algorithm>
#include <array>

using platform::GlyphBitmap;
using platform::GlyphLevels;
using platform::GlyphResult;
using platform::TextDirection;

std::unique_ptr<CGlyphFont> g_glyphFont;

namespace {

// A few thousand glyphs cover every text of a story at the sizes in use; past
// that the cache starts again rather than grow without end.
constexpr size_t kMaxCachedGlyphs = 8192;

enum class Passes : std::uint8_t { One = 1, Two = 2 };
enum class FourthByte : std::uint8_t { Blend, Keep };
enum class Shadow : std::uint8_t { None, Cast };
enum class Advance : std::uint8_t { CellIncrement, Size };

// GBK lead bytes; the byte after one belongs to the same character.
bool IsLeadByte(std::uint8_t b) {
    return b >= 0x81 && b <= 0xFE;
}

// The clipped part of a glyph bitmap and where it goes.
struct GlyphBlit {
    const std::uint8_t* src;
    int srcStride;
    std::uint32_t* dst;
    int dstStride; // in pixels
    int columns;
    int rows;
    int firstInkedLevel;
    int levelWeight;                  // 4 for 65 levels, 16 for 17
    std::array<std::uint32_t, 4> ink; // blue, green, red, fourth byte
};

// Each inked byte d becomes (c * (255 - w) + d * w) >> 8, `Passes` times over,
// for the first `Bytes` bytes of the pixel.
template <int Passes, int Bytes> void BlendGlyph(const GlyphBlit& b) {
    for (int r = 0; r < b.rows; ++r) {
        const std::uint8_t* src = b.src + static_cast<size_t>(r) * b.srcStride;
        std::uint32_t* dst = b.dst + static_cast<size_t>(r) * b.dstStride;
        for (int c = 0; c < b.columns; ++c) {
            const int level = src[c];
            if (level < b.firstInkedLevel) continue;
            // The weight left to the background; full coverage leaves none.
            const std::uint32_t w = static_cast<std::uint32_t>(256 - b.levelWeight * level) & 0xFF;
            std::uint32_t pixel = dst[c];
            for (int pass = 0; pass < Passes; ++pass) {
                std::uint32_t out = Bytes == 4 ? 0 : pixel & 0xFF000000u;
                for (int i = 0; i < Bytes; ++i) {
                    const std::uint32_t d = (pixel >> (8 * i)) & 0xFF;
                    out |= ((b.ink[i] * (255 - w) + d * w) >> 8) << (8 * i);
                }
                pixel = out;
            }
            dst[c] = pixel;
        }
    }
}

// Where the shadow of an inked pixel falls, and the grey it darkens to.
constexpr int kShadowDx = 2;
constexpr int kShadowDy = 2;
constexpr std::uint32_t kShadowGrey = 31;

// The shadow pass: every inked byte of the glyph whose bitmap top-left lies at
// (left, top) darkens the pixel (kShadowDx, kShadowDy) away from it, all four
// bytes towards kShadowGrey with the inked pixel's weight. It runs before the
// ink, which then covers the shadow wherever both fall.
void CastShadow(const platform::GlyphBitmap& glyph, int stride, CDib& surface, long long left,
                long long top, int firstInkedLevel, int levelWeight) {
    const long long width = surface.GetWidth(), height = surface.GetHeight();
    for (int r = 0; r < glyph.blackBoxY; ++r) {
        const long long y = top + r + kShadowDy;
        if (y < 0 || y >= height) continue;
        const std::uint8_t* src = glyph.bits.data() + static_cast<size_t>(r) * stride;
        for (int c = 0; c < glyph.blackBoxX; ++c) {
            const long long x = left + c + kShadowDx;
            if (x < 0 || x >= width || src[c] < firstInkedLevel) continue;
            const std::uint32_t w = static_cast<std::uint32_t>(256 - levelWeight * src[c]) & 0xFF;
            std::uint32_t& pixel = surface.GetBits()[y * width + x];
            std::uint32_t out = 0;
            for (int i = 0; i < 4; ++i) {
                const std::uint32_t d = (pixel >> (8 * i)) & 0xFF;
                out |= ((kShadowGrey * (255 - w) + d * w) >> 8) << (8 * i);
            }
            pixel = out;
        }
    }
}

} // namespace

struct CGlyphFont::Style {
    GlyphLevels levels;
    int firstInkedLevel; // lower levels are skipped
    Passes passes;
    FourthByte fourth;
    Advance advance;
    Shadow shadow;
};

const CGlyphFont::Style& CGlyphFont::StyleOf(Operation op) {
    using enum GlyphLevels;
    // By Operation: Char, Char32, Gray4, Gray4Plain, Shadow, Char24.
    static constexpr std::array<Style, 6> kStyles = {{
        {Levels65, 1, Passes::Two, FourthByte::Blend, Advance::CellIncrement, Shadow::None},
        {Levels65, 1, Passes::One, FourthByte::Blend, Advance::CellIncrement, Shadow::None},
        {Levels17, 1, Passes::Two, FourthByte::Blend, Advance::Size, Shadow::None},
        {Levels17, 2, Passes::One, FourthByte::Keep, Advance::CellIncrement, Shadow::None},
        {Levels65, 1, Passes::One, FourthByte::Blend, Advance::CellIncrement, Shadow::Cast},
        {Levels65, 2, Passes::One, FourthByte::Keep, Advance::CellIncrement, Shadow::None},
    }};
    return kStyles[static_cast<size_t>(op)];
}

CGlyphFont::CGlyphFont(std::unique_ptr<platform::GlyphSource> source, GlyphCache cache)
    : source_(std::move(source)), cacheMode_(cache) {}

CGlyphFont::~CGlyphFont() = default;

void CGlyphFont::SetFont(int size, int face) {
    size_ = size;
    face_ = face == 1 || face == 2 ? face : 0;
    ascent_ = 0;
    currentGlyphs_ = nullptr;
    if (!source_) return;
    const std::string_view name = face_ == 1 ? kFaceVertical : face_ == 2 ? kFaceSerif : kFaceSans;
    const TextDirection direction =
        face_ == 1 ? TextDirection::Vertical : TextDirection::Horizontal;
    // A face that cannot be opened is logged by the source; its characters
    // then come back missing and draw nothing.
    source_->SetFont(name, size, size / 2, direction);
    ascent_ = source_->Ascent();
}

std::int16_t CGlyphFont::DrawChar(CDib* s, int x, int y, std::string_view t, std::uint32_t c) {
    return Draw(s, x, y, t, c, Operation::Char);
}
std::int16_t CGlyphFont::DrawChar32(CDib* s, int x, int y, std::string_view t, std::uint32_t c) {
    return Draw(s, x, y, t, c, Operation::Char32);
}
std::int16_t CGlyphFont::DrawCharGray4(CDib* s, int x, int y, std::string_view t, std::uint32_t c) {
    return Draw(s, x, y, t, c, Operation::Gray4);
}
std::int16_t CGlyphFont::DrawCharGray4Plain(CDib* s, int x, int y, std::string_view t,
                                            std::uint32_t c) {
    return Draw(s, x, y, t, c, Operation::Gray4Plain);
}
std::int16_t CGlyphFont::DrawCharShadow(CDib* s, int x, int y, std::string_view t,
                                        std::uint32_t c) {
    return Draw(s, x, y, t, c, Operation::Shadow);
}
std::int16_t CGlyphFont::DrawChar24(CDib* s, int x, int y, std::string_view t, std::uint32_t c) {
    return Draw(s, x, y, t, c, Operation::Char24);
}

const GlyphBitmap* CGlyphFont::Lookup(std::uint32_t code, GlyphLevels levels) {
    if (!source_) return nullptr;
    if (cacheMode_ == GlyphCache::Off) {
        return source_->GetGlyph(code, levels, scratch_) == GlyphResult::Ok ? &scratch_ : nullptr;
    }
    const std::uint32_t key = code | (levels == GlyphLevels::Levels17 ? 0x10000u : 0u);
    if (!currentGlyphs_) currentGlyphs_ = &cache_[{size_, face_}];
    auto it = currentGlyphs_->find(key);
    if (it == currentGlyphs_->end()) {
        if (cachedCount_ >= kMaxCachedGlyphs) {
            cache_.clear();
            cachedCount_ = 0;
            currentGlyphs_ = &cache_[{size_, face_}];
        }
        CachedGlyph entry;
        entry.result = source_->GetGlyph(code, levels, entry.bitmap);
        it = currentGlyphs_->emplace(key, std::move(entry)).first;
        ++cachedCount_;
    }
    return it->second.result == GlyphResult::Ok ? &it->second.bitmap : nullptr;
}

std::int16_t CGlyphFont::Draw(CDib* surface, int x, int y, std::string_view text,
                              std::uint32_t colour, Operation op) {
    if (text.empty()) return 0;
    const Style& style = StyleOf(op);
    const auto first = static_cast<std::uint8_t>(text[0]);
    const auto second = text.size() > 1 ? static_cast<std::uint8_t>(text[1]) : std::uint8_t{0};
    if (first == 0xA1 && second == 0xA1) return static_cast<std::int16_t>(size_);

    const bool doubleByte = IsLeadByte(first);
    const std::uint32_t code = doubleByte ? first * 256u + second : first;
    const GlyphBitmap* glyph = Lookup(code, style.levels);
    // Column text steps by the size whatever the glyph; other text keeps its
    // layout when a glyph is missing.
    if (!glyph && style.advance != Advance::Size)
        return static_cast<std::int16_t>(doubleByte ? size_ : size_ / 2);
    const auto advance =
        static_cast<std::int16_t>(style.advance == Advance::Size ? size_ : glyph->cellIncX);
    if (!glyph || !surface || !surface->GetBits()) return advance;

    const int width = surface->GetWidth();
    const int height = surface->GetHeight();
    const int stride = GlyphBitmap::RowStride(glyph->blackBoxX);
    if (glyph->blackBoxX <= 0 || glyph->blackBoxY <= 0 ||
        glyph->bits.size() < static_cast<size_t>(stride) * glyph->blackBoxY)
        return advance;

    // Top-left of the bitmap on the surface, in 64-bit so that no position
    // a caller passes can overflow; only the part inside the surface is drawn.
    const long long left = static_cast<long long>(x) + glyph->originX;
    const long long top = static_cast<long long>(y) + ascent_ - glyph->originY;
    const int col0 =
        static_cast<int>(std::clamp(-left, 0LL, static_cast<long long>(glyph->blackBoxX)));
    const int col1 =
        static_cast<int>(std::clamp(width - left, 0LL, static_cast<long long>(glyph->blackBoxX)));
    const int row0 =
        static_cast<int>(std::clamp(-top, 0LL, static_cast<long long>(glyph->blackBoxY)));
    const int row1 =
        static_cast<int>(std::clamp(height - top, 0LL, static_cast<long long>(glyph->blackBoxY)));

    const int levelWeight = style.levels == GlyphLevels::Levels65 ? 4 : 16;
    if (style.shadow == Shadow::Cast)
        CastShadow(*glyph, stride, *surface, left, top, style.firstInkedLevel, levelWeight);
    // A glyph wholly outside the surface draws nothing: its first row and
    // column would lie outside the pixels, which no pointer may point to.
    if (col1 <= col0 || row1 <= row0) return advance;

    GlyphBlit blit;
    blit.src = glyph->bits.data() + static_cast<size_t>(row0) * stride + col0;
    blit.srcStride = stride;
    blit.dst = surface->GetBits() + static_cast<size_t>(top + row0) * width + (left + col0);
    blit.dstStride = width;
    blit.columns = col1 - col0;
    blit.rows = row1 - row0;
    blit.firstInkedLevel = style.firstInkedLevel;
    blit.levelWeight = levelWeight;
    blit.ink = {colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF, 255};
    if (style.passes == Passes::Two)
        style.fourth == FourthByte::Blend ? BlendGlyph<2, 4>(blit) : BlendGlyph<2, 3>(blit);
    else
        style.fourth == FourthByte::Blend ? BlendGlyph<1, 4>(blit) : BlendGlyph<1, 3>(blit);
    return advance;
}
