// The pictures the extras rooms share in tests: the button sheet with its
// tabs, back button, page buttons and controls in bands of known colours.
#pragma once

#include "FrontendFixture.h"

namespace frontend_test {

inline constexpr std::uint32_t kSheetTop = 0x2080F0;  // rows 0..127: back, controls
inline constexpr std::uint32_t kTabLit = 0xF0E020;    // rows 128..153
inline constexpr std::uint32_t kTabPlain = 0x607080;  // rows 154..179
inline constexpr std::uint32_t kPagePlain = 0x305030; // rows 180..202
inline constexpr std::uint32_t kPageLit = 0x30F030;   // rows 203..
inline constexpr std::uint32_t kRoomBase = 0x202830;

inline void WriteButtonSheet() {
    std::vector<std::uint32_t> rows;
    for (int y = 0; y < 260; ++y)
        rows.push_back(0xFF000000u | (y < 128   ? kSheetTop
                                      : y < 154 ? kTabLit
                                      : y < 180 ? kTabPlain
                                      : y < 203 ? kPagePlain
                                                : kPageLit));
    WriteBands("system/extra_p.bmp", 500, 1, rows);
    WriteSolid("system/page0-9.bmp", 80, 11, 0xFFFFFFFF);
    WriteTone("bgm/n004.ogg", 10);
    WriteTone("se/sys_010.ogg", 2);
    WriteTone("se/sys_a002.ogg", 3);
}

// A room of the extras entered at `mode` and hurried to its input state.
template <class Room> Room& RoomAtInput(std::uint8_t mode, const std::unique_ptr<Room>& room) {
    g_gameApp->mode = mode;
    g_gameApp->RunFrame();
    g_scenario->skipEffects = 1;
    g_gameApp->RunFrame();
    g_gameApp->RunFrame();
    g_scenario->skipEffects = 0;
    EXPECT_EQ(room->State, 2);
    return *room;
}

} // namespace frontend_test
