// Byte classes and marker codes of message text (GBK: a byte of 0x80 or more
// begins a two-byte character). Every predicate reads at most two bytes and
// only those inside `text`.
#pragma once

#include <string_view>

bool IsLeadByte(std::string_view text);
// Two-byte characters that may not begin a line (closing punctuation and
// small kana, by their Shift-JIS codes).
bool IsKinsokuChar(std::string_view text);
// ＄: forced line break.
bool IsLineBreakMark(std::string_view text);
// ↓: page mark of the full-screen style.
bool IsPageMark(std::string_view text);
// ＃: a message that begins with it names the speaker.
bool IsCommandMark(std::string_view text);
