// The demo game's pictures and sound of the save and load screens: their
// page bases, the parts sheet (thumbnail frames, page marks, highlights),
// the slot frame and the confirm boxes, the digit and label sheets, the
// sample thumbnails and the chosen-slot sound.
#pragma once

#include "lib/DemoBacklog.h"

#include <vector>

namespace demo {

std::vector<DemoFile> SaveLoadFiles();

} // namespace demo
