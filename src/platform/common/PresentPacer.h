// When the window may take a new picture. Frames arrive at the game's own
// rate (about every 8 to 12 ms), the display refreshes at its own; a new
// picture is due on a schedule of refresh periods rather than a full period
// after the last present, so frames that straddle a period still reach the
// display about once per refresh instead of every other frame.
#pragma once

#include <cstdint>

namespace platform {

class PresentPacer {
public:
    void SetRefresh(std::uint32_t periodMs) { period_ = periodMs ? periodMs : 1; }
    // A whole period since the last present is always enough (this also
    // holds after the longest idle wait, where the schedule itself would
    // wrap); within it, the schedule decides, but never sooner than half a
    // period, so a schedule that fell behind cannot burst.
    bool Due(std::uint32_t nowMs) const {
        if (!shown_) return true;
        const std::uint32_t since = nowMs - last_;
        return since >= period_ ||
               (since >= period_ / 2 && static_cast<std::int32_t>(nowMs - next_) >= 0);
    }
    void Shown(std::uint32_t nowMs) {
        // Behind by more than a period (an idle wait, a slow frame): the
        // schedule starts again from now.
        next_ = shown_ && nowMs - next_ < period_ ? next_ + period_ : nowMs + period_;
        last_ = nowMs;
        shown_ = true;
    }

private:
    std::uint32_t period_ = 16;
    std::uint32_t last_ = 0;
    std::uint32_t next_ = 0;
    bool shown_ = false;
};

} // namespace platform
