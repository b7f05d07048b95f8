// Grey bitmaps of single characters from the system's fonts, for the glyph
// font to blend into surfaces. Faces are asked for by their GBK names and
// characters by their GBK codes; everything about Unicode and font files stays
// behind this interface.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace platform {

// Grey levels of a glyph bitmap: 0..64 or 0..16, 0 meaning no ink.
enum class GlyphLevels : std::uint8_t { Levels65, Levels17 };

// A vertical face sets the characters of a top-to-bottom column: ideographs
// upright, Latin letters, digits, brackets and dashes turned a quarter turn
// clockwise, punctuation in its vertical form where the font has one.
enum class TextDirection : std::uint8_t { Horizontal, Vertical };

struct GlyphBitmap {
    // Size of the inked box in pixels.
    int blackBoxX = 0;
    int blackBoxY = 0;
    // Top-left corner of the box from the pen position on the baseline, with y
    // growing upwards: the box's top row lies originY pixels above the baseline.
    int originX = 0;
    int originY = 0;
    // How far the pen moves to the right after this character.
    int cellIncX = 0;
    // blackBoxY rows, each RowStride(blackBoxX) bytes (the box width padded to
    // a multiple of four), one grey level per byte.
    std::vector<std::uint8_t> bits;

    static constexpr int RowStride(int width) { return (width + 3) & ~3; }
};

enum class GlyphResult : std::uint8_t {
    Ok,
    Missing, // no face is open, or the face has no glyph for the code
    Failed,  // the face has the glyph but it could not be rendered
};

class GlyphSource {
public:
    virtual ~GlyphSource() = default;

    // Selects a face by its GBK name (a leading '@' is ignored) at a cell
    // height of `height` pixels (ascent + descent = height), with half-width
    // characters `width` pixels wide. False when no face at all could be
    // opened; characters are then Missing until a later call succeeds.
    virtual bool SetFont(std::string_view gbkFaceName, int height, int width,
                         TextDirection direction) = 0;
    // Pixels from the top of the cell down to the baseline.
    virtual int Ascent() const = 0;
    // Renders one character: `code` is a single byte, or lead byte * 256 +
    // trail byte for a double-byte GBK character.
    virtual GlyphResult GetGlyph(std::uint32_t code, GlyphLevels levels, GlyphBitmap& out) = 0;
};

// The system's fonts, found through fontconfig and rendered with FreeType.
// Which file each face name resolved to is written to standard error.
std::unique_ptr<GlyphSource> CreateGlyphSource();

} // namespace platform
