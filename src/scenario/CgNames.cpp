#include "scenario/CgNames.h"

#include <cctype>

// Rows 0..43 name the pictures; rows 44..59 stay empty.
const std::array<std::array<std::string_view, kCgColumns>, kCgRows> g_cgNames = {{
    {"e001a.bmp", "e001b.bmp", "e001c.bmp", "e001m.bmp", "e001n1.bmp", "e001n.bmp", "e001o1.bmp", "e001o.bmp", "e001p.bmp", "e001q.bmp", "e001r.bmp", "e001s.bmp", "e001t.bmp", "e001u.bmp", "e001v.bmp", "e001x.bmp", "e001y.bmp", "e001z.bmp", "e001zb.bmp", "e001zc.bmp"},
    {"e002b.bmp"},
    {"e003a.bmp"},
    {"e004a.bmp", "e004b.bmp"},
    {"e005a.bmp", "e005b.bmp"},
    {"e006a.bmp"},
    {"e007a.bmp", "e007b.bmp"},
    {"e008a.bmp"},
    {"e009a.bmp", "e009b.bmp"},
    {"e010a.bmp"},
    {"e011a.bmp"},
    {"e012a.bmp", "e012b.bmp"},
    {"e013a.bmp", "e013b.bmp", "e013c.bmp"},
    {"e014a.bmp", "e014b.bmp"},
    {"e015a.bmp"},
    {"e016a.bmp", "e016b.bmp"},
    {"e017a.bmp"},
    {"e018a.bmp", "e018b.bmp", "e018c.bmp"},
    {"e019a.bmp", "e019b.bmp", "e019c.bmp"},
    {"e020a.bmp", "e020b.bmp", "e020c.bmp"},
    {"e021a.bmp", "e021b.bmp"},
    {"e022a.bmp", "e022b.bmp", "e022c.bmp"},
    {"e023a.bmp", "e023b.bmp"},
    {"e024a.bmp", "e024b.bmp"},
    {"e026a.bmp", "e026b.bmp", "e026c.bmp"},
    {"e027a.bmp"},
    {"e028a.bmp"},
    {"e029a.bmp", "e029b.bmp"},
    {"e030a.bmp", "e030b.bmp"},
    {"e031a.bmp", "e031b.bmp"},
    {"e032a.bmp"},
    {"e033a.bmp", "e033b.bmp", "e033c.bmp"},
    {"e034a.bmp"},
    {"e035a.bmp", "e035b.bmp"},
    {"guest001.bmp"},
    {"guest002.bmp"},
    {"guest003.bmp"},
    {"guest004.bmp"},
    {"guest005.bmp"},
    {"guest006.bmp"},
    {"guest007.bmp"},
    {"guest008.bmp"},
    {"guest009.bmp"},
    {"guest010.bmp"},
}};

std::optional<std::size_t> FindCgEntry(std::string_view name) {
    if (name.empty()) return std::nullopt;
    auto same = [](std::string_view a, std::string_view b) {
        if (a.size() != b.size()) return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(a[i])) !=
                std::tolower(static_cast<unsigned char>(b[i])))
                return false;
        return true;
    };
    for (std::size_t row = 0; row < kCgRows; ++row)
        for (std::size_t column = 0; column < kCgColumns; ++column)
            if (!g_cgNames[row][column].empty() && same(g_cgNames[row][column], name))
                return row * kCgColumns + column;
    return std::nullopt;
}
