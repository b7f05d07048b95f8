// The glyph font: draws one GBK character at a time by blending the grey
// bitmap of its glyph with a solid colour straight into a surface. Every
// screen shares the one instance, g_glyphFont, and sets size and face before
// it draws.
#pragma once

#include "platform/Glyph.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <utility>

class CDib;

// Whether rendered glyphs are kept per face, size and code. Keeping them
// changes no pixel; it only spares the font engine.
enum class GlyphCache : std::uint8_t { On, Off };

class CGlyphFont {
public:
    // GBK face names of the three faces; face 1 sets vertical text.
    static constexpr std::string_view kFaceSans = "\xBA\xDA\xCC\xE5";          // 黑体
    static constexpr std::string_view kFaceVertical = "@\xBA\xDA\xCC\xE5";     // @黑体
    static constexpr std::string_view kFaceSerif = "\xD0\xC2\xCB\xCE\xCC\xE5"; // 新宋体

    explicit CGlyphFont(std::unique_ptr<platform::GlyphSource> source,
                        GlyphCache cache = GlyphCache::On);
    ~CGlyphFont();
    CGlyphFont(const CGlyphFont&) = delete;
    CGlyphFont& operator=(const CGlyphFont&) = delete;

    // Face 1 is "@黑体" (vertical), 2 "新宋体", any other "黑体"; half-width
    // characters are size / 2 wide.
    void SetFont(int size, int face);
    int GetSize() const { return size_; }

    // Draw the first character of `text` with the top-left of its cell at
    // (x, y); `colour` is 0x00RRGGBB. They return how far the pen moves: the
    // glyph's cell increment, except DrawCharGray4, which always returns the
    // size. The ideographic space (A1 A1) draws nothing and returns the size;
    // a character the font cannot draw draws nothing and returns size / 2 for
    // a single byte, the size for a double byte. Pixels outside the surface
    // are never touched; a null surface only measures.
    //
    // 65 levels, two passes, all four bytes.
    std::int16_t DrawChar(CDib* surface, int x, int y, std::string_view text, std::uint32_t colour);
    // 65 levels, one pass, all four bytes.
    std::int16_t DrawChar32(CDib* surface, int x, int y, std::string_view text,
                            std::uint32_t colour);
    // 17 levels, two passes, all four bytes; advances by the size.
    std::int16_t DrawCharGray4(CDib* surface, int x, int y, std::string_view text,
                               std::uint32_t colour);
    // 17 levels from level 2 up, one pass, colour bytes only.
    std::int16_t DrawCharGray4Plain(CDib* surface, int x, int y, std::string_view text,
                                    std::uint32_t colour);
    // 65 levels, one pass, all four bytes, with a shadow: before the ink, the
    // pixel two to the right and two down of every inked pixel has all four
    // bytes blended towards 31 with the inked pixel's weight. Later ink covers
    // the shadow, so it shows only below and right of the strokes.
    std::int16_t DrawCharShadow(CDib* surface, int x, int y, std::string_view text,
                                std::uint32_t colour);
    // For pictures that carry no fourth byte: 65 levels from level 2 up, one
    // pass, colour bytes only.
    std::int16_t DrawChar24(CDib* surface, int x, int y, std::string_view text,
                            std::uint32_t colour);

private:
    enum class Operation : std::uint8_t { Char, Char32, Gray4, Gray4Plain, Shadow, Char24 };
    struct Style;
    static const Style& StyleOf(Operation op);
    struct CachedGlyph {
        platform::GlyphResult result = platform::GlyphResult::Missing;
        platform::GlyphBitmap bitmap;
    };

    std::int16_t Draw(CDib* surface, int x, int y, std::string_view text, std::uint32_t colour,
                      Operation op);
    const platform::GlyphBitmap* Lookup(std::uint32_t code, platform::GlyphLevels levels);

    std::unique_ptr<platform::GlyphSource> source_;
    GlyphCache cacheMode_;
    int size_ = 0;
    int face_ = 0;
    int ascent_ = 0;
    platform::GlyphBitmap scratch_; // the glyph being drawn when nothing is cached
    // Rendered glyphs by (size, face), then by code and level count.
    std::map<std::pair<int, int>, std::unordered_map<std::uint32_t, CachedGlyph>> cache_;
    std::unordered_map<std::uint32_t, CachedGlyph>* currentGlyphs_ = nullptr; // of (size_, face_)
    size_t cachedCount_ = 0;
};

// The one glyph font, made by the main window at start-up and freed when the
// window is destroyed.
extern std::unique_ptr<CGlyphFont> g_glyphFont;
