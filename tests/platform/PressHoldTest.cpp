// A quick click's release waits until a frame can have seen the press.
#include "platform/common/PressHold.h"

#include <gtest/gtest.h>

namespace {

using platform::MouseButton;
using platform::PressHold;

TEST(PressHoldTest, AReleaseWaitsOutTheShortestPressForItsOwnButtonOnly) {
    PressHold hold;
    // No press seen: a release goes on at once.
    EXPECT_FALSE(hold.MustWait(MouseButton::Left, 0));
    hold.Pressed(MouseButton::Left, 1000);
    EXPECT_TRUE(hold.MustWait(MouseButton::Left, 1000));
    EXPECT_TRUE(hold.MustWait(MouseButton::Left, 1000 + PressHold::kMinPressMs - 1));
    EXPECT_FALSE(hold.MustWait(MouseButton::Left, 1000 + PressHold::kMinPressMs));
    EXPECT_FALSE(hold.MustWait(MouseButton::Right, 1001));
    // Once released, a late release of the same button (a lost press) waits
    // for nothing; the clock wrapping keeps the wait short.
    hold.Released(MouseButton::Left);
    EXPECT_FALSE(hold.MustWait(MouseButton::Left, 1001));
    hold.Pressed(MouseButton::Right, 0xFFFFFFF0u);
    EXPECT_TRUE(hold.MustWait(MouseButton::Right, 5));
    EXPECT_FALSE(hold.MustWait(MouseButton::Right, 0xFFFFFFF0u + PressHold::kMinPressMs));
}

} // namespace
