// Inline tags and ruby inside message text.
#include "scenario/Scenario.h"

#include "gfx/Dib.h"
#include "gfx/GlyphFont.h"

#include <cstdlib>

namespace {

void SetFont(int size, int face) {
    if (g_glyphFont) g_glyphFont->SetFont(size, face);
}

// The decimal number at the start of `field`: leading blanks and a sign
// allowed, stopping at the first non-digit, 0 without digits.
long LeadingNumber(std::string_view field) {
    std::size_t i = 0;
    while (i < field.size() && (field[i] == ' ' || field[i] == '\t')) ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '-' || field[i] == '+')) negative = field[i++] == '-';
    long v = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9' && v < 100000; ++i) v = v * 10 + (field[i] - '0');
    return negative ? -v : v;
}

}  // namespace

std::size_t CScenario::ParseTextTag(std::string_view text, std::size_t index) {
    if (index + 1 >= text.size()) return text.size();
    const char letter = text[index + 1];
    if (letter != 's' && letter != 'f' && letter != 'b' && letter != 'v' && letter != 'p') return index + 2;
    // A tag runs to its closing '#'; an unclosed one to the end of the text.
    const std::size_t close = text.find('#', index + 2);
    const std::size_t end = close == std::string_view::npos ? text.size() : close;
    const std::string_view body = text.substr(index + 2, end - (index + 2));
    if (letter == 's') {
        const long size = LeadingNumber(body);
        if (size >= 1 && size <= 255) SetFont(static_cast<int>(size), 0);
    }
    return close == std::string_view::npos ? text.size() : close + 1;
}

std::size_t CScenario::DrawRubyAlt(std::string_view text, std::size_t index) {
    return DrawRubyInto(text, index, cdib[1].get());
}

std::size_t CScenario::DrawRubyInto(std::string_view text, std::size_t index, CDib* columnTarget) {
    const std::size_t from = index + 1;
    if (from >= text.size()) return text.size();
    std::size_t close = text.find('>', from);
    if (close == std::string_view::npos) close = text.size();
    const std::string_view ruby = text.substr(from, close - from);
    const std::size_t next = close < text.size() ? close + 1 : text.size();
    if (rubyEnd < rubyStart || !g_glyphFont) return next;
    const bool column = messageStyle == 1;
    SetFont(column ? 10 : 12, column ? 1 : 0);
    int position = rubyStart + (rubyEnd - rubyStart) / 2 - static_cast<int>(ruby.size() / 2) * 5;
    for (std::size_t i = 0; i < ruby.size(); i += 2) {
        const std::string_view ch = ruby.substr(i, 2);
        std::int16_t advance = 0;
        for (int twice = 0; twice < 2; ++twice) {
            if (column)
                advance = g_glyphFont->DrawCharGray4(columnTarget, rubyLine - 19, position, ch, 0xFFFFFF);
            else
                advance = g_glyphFont->DrawCharGray4Plain(g_msgWindowText.get(), position, rubyLine - 461, ch, 0xFFFFFF);
        }
        position += advance;
    }
    SetFont(column ? 23 : 26, column ? 1 : 0);
    return next;
}
