// The screen toolkit: what every screen of the front end, the menus and the
// two mini-games is made of. A screen built on it reads as its description:
// its states (StateTable.h), its rectangles and what lights them
// (Buttons.h), its pictures and sounds (Slots.h), its timed steps (Steps.h)
// and its exits (Leave.h). docs/screens.md tells how to build one.
#pragma once

#include "screenkit/Buttons.h"
#include "screenkit/Leave.h"
#include "screenkit/Slots.h"
#include "screenkit/StateTable.h"
#include "screenkit/Steps.h"
