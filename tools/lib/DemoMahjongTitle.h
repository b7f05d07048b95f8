// The demo game's pictures and sounds of the mahjong title, the opening
// captions and the heroine select.
#pragma once

namespace demo {

struct SystemOutput;

bool MahjongTitleData(const SystemOutput& out);

} // namespace demo
