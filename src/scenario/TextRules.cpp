#include "scenario/TextRules.h"

#include <array>
#include <cstdint>

namespace {

bool PairIs(std::string_view text, std::uint8_t first, std::uint8_t second) {
    return text.size() >= 2 && static_cast<std::uint8_t>(text[0]) == first &&
           static_cast<std::uint8_t>(text[1]) == second;
}

constexpr std::array<std::uint16_t, 27> kKinsoku = {
    0x8141, 0x8142, 0x8149, 0x816A, 0x8176, 0x8178, 0x8199, 0x81F4, 0x8148,
    0x829F, 0x82A1, 0x82A3, 0x82A5, 0x82A7, 0x82E1, 0x82E3, 0x82E5, 0x82C1,
    0x8340, 0x8342, 0x8344, 0x8346, 0x8348, 0x8383, 0x8385, 0x8387, 0x8362,
};

}  // namespace

bool IsLeadByte(std::string_view text) { return !text.empty() && static_cast<std::uint8_t>(text[0]) >= 0x80; }

bool IsKinsokuChar(std::string_view text) {
    for (std::uint16_t code : kKinsoku)
        if (PairIs(text, static_cast<std::uint8_t>(code >> 8), static_cast<std::uint8_t>(code))) return true;
    return false;
}

bool IsLineBreakMark(std::string_view text) { return PairIs(text, 0xA1, 0xE7); }
bool IsPageMark(std::string_view text) { return PairIs(text, 0xA1, 0xFD); }
bool IsCommandMark(std::string_view text) { return PairIs(text, 0xA3, 0xA3); }
