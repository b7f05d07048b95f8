#include "scenario/TextRules.h"
#include "ScenarioFixture.h"

#include <set>
#include <utility>

using testing_support::ScenarioTest;

TEST(TextRulesTest, MarkersAndKinsokuAreMatchedAsBytePairsInsideTheText) {
    EXPECT_TRUE(IsLeadByte("\x80"));
    EXPECT_FALSE(IsLeadByte("\x7F"));
    EXPECT_FALSE(IsLeadByte(""));
    EXPECT_TRUE(IsLineBreakMark("\xA1\xE7x"));
    EXPECT_FALSE(IsLineBreakMark("\xA1")); // cut: never read past the end
    EXPECT_TRUE(IsPageMark("\xA1\xFD"));
    EXPECT_TRUE(IsCommandMark("\xA3\xA3name"));
    EXPECT_FALSE(IsCommandMark("#"));
    // First, last and a middle entry of the table, and near misses.
    EXPECT_TRUE(IsKinsokuChar("\x81\x41"));
    EXPECT_TRUE(IsKinsokuChar("\x83\x62"));
    EXPECT_TRUE(IsKinsokuChar("\x82\xC1"));
    EXPECT_FALSE(IsKinsokuChar("\x81\x43"));
    EXPECT_FALSE(IsKinsokuChar("\x82\x9E"));
    EXPECT_FALSE(IsKinsokuChar(std::string_view("\x81", 1)));
}

TEST(TextRulesTest, ExactlyTheTwentySevenClosingMarksMayNotBeginALine) {
    // Closing punctuation and small kana, as Shift-JIS byte pairs.
    const std::set<std::pair<int, int>> table = {
        {0x81, 0x41}, {0x81, 0x42}, {0x81, 0x49}, {0x81, 0x6A}, {0x81, 0x76}, {0x81, 0x78},
        {0x81, 0x99}, {0x81, 0xF4}, {0x81, 0x48}, {0x82, 0x9F}, {0x82, 0xA1}, {0x82, 0xA3},
        {0x82, 0xA5}, {0x82, 0xA7}, {0x82, 0xE1}, {0x82, 0xE3}, {0x82, 0xE5}, {0x82, 0xC1},
        {0x83, 0x40}, {0x83, 0x42}, {0x83, 0x44}, {0x83, 0x46}, {0x83, 0x48}, {0x83, 0x83},
        {0x83, 0x85}, {0x83, 0x87}, {0x83, 0x62}};
    ASSERT_EQ(table.size(), 27u);
    int matched = 0;
    for (int first = 0; first < 256; ++first)
        for (int second = 0; second < 256; ++second) {
            const char pair[] = {static_cast<char>(first), static_cast<char>(second), 'x'};
            const bool expected = table.count({first, second}) != 0;
            if (IsKinsokuChar(std::string_view(pair, 3)) != expected)
                ADD_FAILURE() << std::hex << first << " " << second;
            matched += expected;
        }
    EXPECT_EQ(matched, 27);
}

namespace {
class TextTagTest : public ScenarioTest {};
} // namespace

TEST_F(TextTagTest, TagsEndAfterTheirClosingMarkOrAtTheEndOfTheText) {
    struct Case {
        std::string_view text;
        std::size_t at;
        std::size_t next;
    };
    const Case cases[] = {
        {"ab#s30#cd", 2, 7},
        {"#f(12)[3]#x", 0, 10},
        {"#b(1)se01#", 0, 10},
        {"#v(0)abc0001#", 0, 13},
        {"#p(1)[2]400:(2)[0]200#", 0, 22},
        {"#xyz", 0, 2}, // unknown letter: the '#' and the letter
        {"#s30", 0, 4}, // unclosed: to the end
        {"#", 0, 1},    // a lone '#' at the end
        {"ab#", 2, 3},
    };
    for (const Case& c : cases)
        EXPECT_EQ(S().ParseTextTag(c.text, c.at), c.next) << c.text;
}

TEST_F(TextTagTest, ARubyEndsAfterItsClosingMark) {
    S().messageStyle = 1;
    S().rubyStart = 10;
    S().rubyEnd = 60;
    EXPECT_EQ(S().DrawRubyAlt("a<b<cd>e", 3), 7u);
    EXPECT_EQ(S().DrawRubyAlt("a<b<cd", 3), 6u); // unclosed
    EXPECT_EQ(S().DrawRubyAlt("a<", 1), 2u);
}
