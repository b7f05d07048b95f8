// Every paint of an end-to-end run also compares the whole back buffer with
// the window's picture: a drawing path that writes pixels without noting
// where would leave a stale picture on screen, and fails the run here.
#pragma once

#include "app/Shell.h"

#include <gtest/gtest.h>

namespace e2e {

class DrawnRegionCheck {
public:
    DrawnRegionCheck() { CheckDrawnRegions(true); }
    ~DrawnRegionCheck() {
        EXPECT_EQ(UndrawnChanges(), 0) << "paints whose changes lay outside every noted drawing";
        CheckDrawnRegions(false);
    }
    DrawnRegionCheck(const DrawnRegionCheck&) = delete;
    DrawnRegionCheck& operator=(const DrawnRegionCheck&) = delete;
};

} // namespace e2e
