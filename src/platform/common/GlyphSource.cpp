// Glyphs from FreeType, faces found through fontconfig, GBK codes turned into
// Unicode with iconv. Fontconfig does not know the desktop face names the game
// asks for, so each is mapped to patterns that find Chinese faces on Linux.
#include "platform/Glyph.h"

#include "platform/Platform.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H
#include <iconv.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <utility>

namespace platform {
namespace {

// Larger cells than this are refused: nothing on an 800x600 screen needs them,
// and they would cost megabytes per glyph.
constexpr int kMaxCellHeight = 600;

// Outlines with the face's own hinting, which keeps small ideographs crisper
// than light hinting does, rendered as 256-level coverage; embedded bitmaps
// are skipped since they carry no grey levels.
constexpr FT_Int32 kLoadFlags = FT_LOAD_NO_BITMAP;

constexpr char kFaceHei[] = "\xBA\xDA\xCC\xE5";          // 黑体
constexpr char kFaceSong[] = "\xD0\xC2\xCB\xCE\xCC\xE5"; // 新宋体

void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Log(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::fputs("norvane: glyph font: ", stderr);
    std::vfprintf(stderr, format, args);
    std::fputc('\n', stderr);
    va_end(args);
}

struct FontFile {
    std::string path;
    int index = 0;
};

// Fontconfig patterns to try, best first, for a face name without its '@'.
std::vector<std::string> PatternsFor(std::string_view gbkName) {
    if (gbkName == kFaceHei) return {"sans-serif:lang=zh-cn"};
    if (gbkName == kFaceSong) return {"AR PL SungtiL GB", "serif:lang=zh-cn"};
    std::string family = GbkToUtf8(gbkName);
    // Fontconfig's pattern syntax gives these characters meanings.
    std::string escaped;
    for (char c : family) {
        if (c == '\\' || c == '-' || c == ':' || c == ',') escaped += '\\';
        escaped += c;
    }
    return {escaped, "sans-serif:lang=zh-cn"};
}

bool CoversChinese(FcPattern* font) {
    FcCharSet* chars = nullptr;
    if (FcPatternGetCharSet(font, FC_CHARSET, 0, &chars) != FcResultMatch) return false;
    return FcCharSetHasChar(chars, 0x4E00) && FcCharSetHasChar(chars, 0x9ED1);
}

std::optional<FontFile> FileOf(FcPattern* font) {
    FcChar8* file = nullptr;
    if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch || !file) return std::nullopt;
    int index = 0;
    if (FcPatternGetInteger(font, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
    return FontFile{reinterpret_cast<const char*>(file), index};
}

FcPattern* PreparedPattern(const std::string& text) {
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(text.c_str()));
    if (!pattern) return nullptr;
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    return pattern;
}

// The best match for one pattern; with `needChinese`, only when it has
// Chinese characters.
std::optional<FontFile> MatchPattern(const std::string& text, bool needChinese) {
    FcPattern* pattern = PreparedPattern(text);
    if (!pattern) return std::nullopt;
    FcResult result = FcResultNoMatch;
    FcPattern* font = FcFontMatch(nullptr, pattern, &result);
    std::optional<FontFile> file;
    if (font && (!needChinese || CoversChinese(font))) file = FileOf(font);
    if (font) FcPatternDestroy(font);
    FcPatternDestroy(pattern);
    return file;
}

std::optional<FontFile> AnyChineseFace() {
    FcPattern* pattern = PreparedPattern(":lang=zh-cn");
    if (!pattern) return std::nullopt;
    FcResult result = FcResultNoMatch;
    FcFontSet* fonts = FcFontSort(nullptr, pattern, FcFalse, nullptr, &result);
    std::optional<FontFile> file;
    for (int i = 0; fonts && i < fonts->nfont && !file; ++i)
        if (CoversChinese(fonts->fonts[i])) file = FileOf(fonts->fonts[i]);
    if (fonts) FcFontSetDestroy(fonts);
    FcPatternDestroy(pattern);
    return file;
}

std::optional<FontFile> SearchFace(std::string_view gbkName) {
    const std::string shown = GbkToUtf8(gbkName);
    static const bool started = [] {
        if (!FcInit()) return false;
        // Its configuration is released at exit, so that nothing is left behind.
        std::atexit([] { FcFini(); });
        return true;
    }();
    if (!started) {
        Log("fontconfig could not start; %s will draw nothing", shown.c_str());
        return std::nullopt;
    }
    for (const std::string& p : PatternsFor(gbkName)) {
        if (auto file = MatchPattern(p, true)) {
            Log("%s -> %s (face %d)", shown.c_str(), file->path.c_str(), file->index);
            return file;
        }
    }
    if (auto file = AnyChineseFace()) {
        Log("%s not found; using another Chinese face: %s (face %d)", shown.c_str(),
            file->path.c_str(), file->index);
        return file;
    }
    if (auto file = MatchPattern(PatternsFor(gbkName).front(), false)) {
        Log("no Chinese face is installed; %s -> %s (face %d), double-byte characters will draw "
            "nothing",
            shown.c_str(), file->path.c_str(), file->index);
        return file;
    }
    Log("no font file for %s; its text will draw nothing", shown.c_str());
    return std::nullopt;
}

// Face names are looked up once per process: fontconfig queries are slow and
// their answer does not change while the game runs.
std::optional<FontFile> ResolveFace(std::string_view gbkName) {
    static std::mutex mutex;
    static std::map<std::string, std::optional<FontFile>, std::less<>> resolved;
    std::lock_guard lock(mutex);
    auto it = resolved.find(gbkName);
    if (it == resolved.end())
        it = resolved.emplace(std::string(gbkName), SearchFace(gbkName)).first;
    return it->second;
}

// Horizontal punctuation and the presentation form that a vertical column
// uses in its place.
constexpr std::array<std::pair<char32_t, char32_t>, 33> kVerticalForms{{
    {0xFF0C, 0xFE10}, {0x3001, 0xFE11}, {0x3002, 0xFE12}, {0xFF1A, 0xFE13}, {0xFF1B, 0xFE14},
    {0xFF01, 0xFE15}, {0xFF1F, 0xFE16}, {0x3016, 0xFE17}, {0x3017, 0xFE18}, {0x2026, 0xFE19},
    {0x2025, 0xFE30}, {0x2014, 0xFE31}, {0x2015, 0xFE31}, {0x2013, 0xFE32}, {0xFF3F, 0xFE33},
    {0xFF08, 0xFE35}, {0xFF09, 0xFE36}, {0xFF5B, 0xFE37}, {0xFF5D, 0xFE38}, {0x3014, 0xFE39},
    {0x3015, 0xFE3A}, {0x3010, 0xFE3B}, {0x3011, 0xFE3C}, {0x300A, 0xFE3D}, {0x300B, 0xFE3E},
    {0x3008, 0xFE3F}, {0x3009, 0xFE40}, {0x300C, 0xFE41}, {0x300D, 0xFE42}, {0x300E, 0xFE43},
    {0x300F, 0xFE44}, {0xFF3B, 0xFE47}, {0xFF3D, 0xFE48},
}};

std::optional<char32_t> VerticalForm(char32_t c) {
    for (auto [from, to] : kVerticalForms)
        if (from == c) return to;
    return std::nullopt;
}

// Marks that sit in the lower left of a horizontal cell sit in the upper
// right of a vertical one.
bool IsCornerMark(char32_t c) {
    return c == 0xFF0C || c == 0x3001 || c == 0x3002 || c == 0xFF0E;
}

// Full-width characters that follow the line: without a vertical form they are
// turned with it, as Latin text is.
bool TurnsInColumn(char32_t c) {
    switch (c) {
    case 0x2013:
    case 0x2014:
    case 0x2015:
    case 0x2025:
    case 0x2026:
    case 0x301C:
    case 0x30FC:
    case 0xFF5E:
    case 0xFF0D:
    case 0xFF1A:
    case 0xFF1B:
    case 0xFF3F:
        return true;
    default:
        break;
    }
    // Brackets of every shape.
    if (c >= 0x3008 && c <= 0x3011) return true;
    if (c >= 0x3014 && c <= 0x301B) return true;
    return c == 0xFF08 || c == 0xFF09 || c == 0xFF3B || c == 0xFF3D || c == 0xFF5B || c == 0xFF5D ||
           c == 0xFF1C || c == 0xFF1E;
}

enum class Placement : std::uint8_t { Upright, Turned, Corner };

class FreeTypeGlyphSource final : public GlyphSource {
public:
    FreeTypeGlyphSource() {
        if (FT_Init_FreeType(&library_) != 0) {
            library_ = nullptr;
            Log("FreeType could not start; text will draw nothing");
        }
        iconv_ = iconv_open("UTF-32LE", "CP936");
    }

    ~FreeTypeGlyphSource() override {
        for (auto& [key, face] : faces_)
            if (face) FT_Done_Face(face);
        if (library_) FT_Done_FreeType(library_);
        if (iconv_ != reinterpret_cast<iconv_t>(-1)) iconv_close(iconv_);
    }

    FreeTypeGlyphSource(const FreeTypeGlyphSource&) = delete;
    FreeTypeGlyphSource& operator=(const FreeTypeGlyphSource&) = delete;

    bool SetFont(std::string_view gbkFaceName, int height, int width,
                 TextDirection direction) override {
        face_ = nullptr;
        ascent_ = 0;
        height_ = height;
        direction_ = direction;
        if (!gbkFaceName.empty() && gbkFaceName.front() == '@') gbkFaceName.remove_prefix(1);
        faceName_ = GbkToUtf8(gbkFaceName);
        if (!library_) return false;
        if (height <= 0 || height > kMaxCellHeight || width < 0 || width > kMaxCellHeight) {
            if (reportedSizes_.insert(height).second)
                Log("cell height %d is out of range; text will draw nothing", height);
            return false;
        }
        const auto file = ResolveFace(gbkFaceName);
        if (!file) return false;
        FT_Face face = OpenFace(*file);
        if (!face) return false;

        // The cell is the face's typographic box, so that full-width
        // characters are as wide as the cell is high and ideographs stay
        // inside it.
        long above = face->ascender;
        long below = -face->descender;
        const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        if (os2 && os2->version != 0xFFFF && os2->sTypoAscender - os2->sTypoDescender > 0) {
            above = os2->sTypoAscender;
            below = -os2->sTypoDescender;
        }
        if (above + below <= 0) {
            above = face->units_per_EM;
            below = 0;
        }
        const long cell = above + below;
        const long em = face->units_per_EM;
        FT_Size_RequestRec request{};
        request.type = FT_SIZE_REQUEST_TYPE_NOMINAL;
        request.height = (static_cast<long>(height) * 64 * em + cell / 2) / cell;
        request.width = width > 0 ? (static_cast<long>(width) * 2 * 64 * em + cell / 2) / cell : 0;
        if (FT_Request_Size(face, &request) != 0) {
            Log("%s cannot be set to %d pixels", faceName_.c_str(), height);
            return false;
        }
        face_ = face;
        ascent_ = BodyCentredAscent(height);
        if (ascent_ < 0) ascent_ = static_cast<int>((height * above + cell / 2) / cell);
        ascent_ = std::clamp(ascent_, 0, height);
        return true;
    }

    int Ascent() const override { return ascent_; }

    GlyphResult GetGlyph(std::uint32_t code, GlyphLevels levels, GlyphBitmap& out) override {
        out = GlyphBitmap{};
        if (!face_) return GlyphResult::Missing;
        const auto unicode = ToUnicode(code);
        if (!unicode) {
            ReportMissing(code);
            return GlyphResult::Missing;
        }
        char32_t ch = *unicode;
        Placement placement = Placement::Upright;
        if (direction_ == TextDirection::Vertical) {
            const auto form = VerticalForm(ch);
            if (code < 0x80)
                placement = Placement::Turned;
            else if (form && FT_Get_Char_Index(face_, *form) != 0)
                ch = *form;
            else if (IsCornerMark(ch))
                placement = Placement::Corner;
            else if (TurnsInColumn(ch))
                placement = Placement::Turned;
        }
        const FT_UInt index = FT_Get_Char_Index(face_, ch);
        if (index == 0) {
            ReportMissing(code);
            return GlyphResult::Missing;
        }
        if (FT_Load_Glyph(face_, index, kLoadFlags) != 0 ||
            face_->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
            ReportFailed(code);
            return GlyphResult::Failed;
        }
        FT_GlyphSlot slot = face_->glyph;
        const int advance = static_cast<int>((slot->advance.x + 32) >> 6);
        const int descent = height_ - ascent_;
        if (placement == Placement::Turned) {
            // A quarter turn clockwise about the pen, then into the column:
            // the glyph's descent side on the left edge, its advance centred
            // in the cell's height.
            FT_Matrix turn{0, 0x10000, -0x10000, 0};
            FT_Outline_Transform(&slot->outline, &turn);
            FT_Outline_Translate(&slot->outline, descent * 64,
                                 ((ascent_ - descent + advance) / 2) * 64);
        } else if (placement == Placement::Corner) {
            // Into the upper right of the cell, an eighth of the cell in from
            // its edges.
            FT_BBox box;
            FT_Outline_Get_CBox(&slot->outline, &box);
            const long margin = height_ / 8;
            const long right = (box.xMax + 63) >> 6;
            const long top = (box.yMax + 63) >> 6;
            FT_Outline_Translate(&slot->outline, (advance - margin - right) * 64,
                                 (ascent_ - margin - top) * 64);
        }
        if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) {
            ReportFailed(code);
            return GlyphResult::Failed;
        }
        const FT_Bitmap& bitmap = slot->bitmap;
        const int w = static_cast<int>(bitmap.width);
        const int h = static_cast<int>(bitmap.rows);
        out.cellIncX = advance;
        if (w <= 0 || h <= 0 || !bitmap.buffer) return GlyphResult::Ok;
        out.blackBoxX = w;
        out.blackBoxY = h;
        out.originX = slot->bitmap_left;
        out.originY = slot->bitmap_top;
        const int stride = GlyphBitmap::RowStride(w);
        out.bits.assign(static_cast<size_t>(stride) * h, 0);
        const int top = levels == GlyphLevels::Levels65 ? 64 : 16;
        for (int y = 0; y < h; ++y) {
            const unsigned char* row = bitmap.buffer + static_cast<long>(y) * bitmap.pitch;
            for (int x = 0; x < w; ++x) {
                int coverage = 0;
                if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
                    coverage = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
                else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY)
                    coverage = bitmap.num_grays == 256
                                   ? row[x]
                                   : row[x] * 255 / std::max(1, bitmap.num_grays - 1);
                out.bits[static_cast<size_t>(y) * stride + x] =
                    static_cast<std::uint8_t>((coverage * top + 127) / 255);
            }
        }
        return GlyphResult::Ok;
    }

private:
    FT_Face OpenFace(const FontFile& file) {
        const auto key = std::make_pair(file.path, file.index);
        auto it = faces_.find(key);
        if (it != faces_.end()) return it->second;
        FT_Face face = nullptr;
        if (FT_New_Face(library_, file.path.c_str(), file.index, &face) != 0) {
            Log("%s (face %d) could not be opened", file.path.c_str(), file.index);
            face = nullptr;
        } else if (!FT_IS_SCALABLE(face)) {
            Log("%s (face %d) has no outlines", file.path.c_str(), file.index);
            FT_Done_Face(face);
            face = nullptr;
        }
        faces_.emplace(key, face);
        return face;
    }

    // Ideographs are drawn as a block centred in the cell's height: the
    // baseline goes where the hinted ink of two full, square ideographs leaves
    // equal room above and below. -1 when the face has neither of them.
    int BodyCentredAscent(int height) {
        const auto key = std::make_tuple(face_, height, face_->size->metrics.x_ppem);
        if (auto it = ascents_.find(key); it != ascents_.end()) return it->second;
        long top = LONG_MIN;
        long bottom = LONG_MAX;
        for (char32_t c : {U'\u56FD', U'\u9ED1'}) { // 国 黑
            const FT_UInt index = FT_Get_Char_Index(face_, c);
            if (index == 0 || FT_Load_Glyph(face_, index, kLoadFlags) != 0 ||
                face_->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
                continue;
            FT_BBox box;
            FT_Outline_Get_CBox(&face_->glyph->outline, &box);
            top = std::max(top, static_cast<long>((box.yMax + 63) >> 6));
            bottom = std::min(bottom, static_cast<long>(box.yMin >> 6));
        }
        int ascent = -1;
        if (top != LONG_MIN) ascent = static_cast<int>(top + (height - (top - bottom)) / 2);
        ascents_.emplace(key, ascent);
        return ascent;
    }

    std::optional<char32_t> ToUnicode(std::uint32_t code) {
        if (code < 0x80) return static_cast<char32_t>(code);
        if (code > 0xFFFF || iconv_ == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
        char in[2];
        size_t inLeft = 0;
        if (code > 0xFF) in[inLeft++] = static_cast<char>(code >> 8);
        in[inLeft++] = static_cast<char>(code & 0xFF);
        unsigned char out[8] = {};
        char* inPtr = in;
        char* outPtr = reinterpret_cast<char*>(out);
        size_t outLeft = sizeof out;
        iconv(iconv_, nullptr, nullptr, nullptr, nullptr);
        if (iconv(iconv_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) ||
            inLeft != 0 || sizeof out - outLeft != 4)
            return std::nullopt;
        return static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 |
                                     static_cast<std::uint32_t>(out[3]) << 24);
    }

    void ReportMissing(std::uint32_t code) {
        if (reported_.insert({faceName_, code}).second)
            Log("%s has no glyph for code 0x%X", faceName_.c_str(), code);
    }
    void ReportFailed(std::uint32_t code) {
        if (reported_.insert({faceName_, code}).second)
            Log("%s could not render code 0x%X", faceName_.c_str(), code);
    }

    FT_Library library_ = nullptr;
    iconv_t iconv_ = reinterpret_cast<iconv_t>(-1);
    std::map<std::pair<std::string, int>, FT_Face> faces_; // null where a file failed
    FT_Face face_ = nullptr;
    std::string faceName_;
    int height_ = 0;
    int ascent_ = 0;
    TextDirection direction_ = TextDirection::Horizontal;
    std::set<std::pair<std::string, std::uint32_t>> reported_;
    std::set<int> reportedSizes_;
    std::map<std::tuple<FT_Face, int, int>, int> ascents_;
};

} // namespace

std::unique_ptr<GlyphSource> CreateGlyphSource() {
    return std::make_unique<FreeTypeGlyphSource>();
}

} // namespace platform
