// The demo game's special-attack cut-ins: every picture, sound and line that
// the drawn cut-ins load (the player's two specials, opponent 0's two), made
// so that a person watching can tell their phases apart.
#pragma once

#include "lib/DemoContest.h"

namespace demo {

bool CutInData(const ContestOutput& out);

} // namespace demo
