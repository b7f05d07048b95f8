// Appends to the message history kept in the application object: three
// parallel tables of text, speaker name and voice name. At most 250 entries
// are in use; making room drops the oldest.
#pragma once

#include <cstddef>
#include <string_view>

class CGameApp;

inline constexpr int kHistoryLimit = 250;

// When the history is full, moves entries 1..249 down by one and lowers the
// count. A count outside 0..250 (a damaged save) is brought back into range.
void MakeHistoryRoom(CGameApp& app);

// Writes entry `logCount` without counting it: the message display counts it
// once it shows the message. Each string is cut at its first zero byte and at
// its bound (the voice name of a message record keeps at most 254 bytes).
void AppendMessageHistory(CGameApp& app, std::string_view text, std::string_view speaker,
                          std::string_view voice, std::size_t voiceLimit);

// The message display shows the entry written last: it now counts.
void CountShownMessage(CGameApp& app);

// Logs a taken option as "※　text　※" with no speaker or voice, counted at once.
void AppendChoiceHistory(CGameApp& app, std::string_view optionText);
