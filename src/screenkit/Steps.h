// Timed steps on the millisecond clock: levels, cross-fades, holds, the
// keys that hurry them, and rows of strips that slide in one after another.
//
// A screen keeps its clock in its own fields (`StartTime`, `Elapsed` and,
// where it has one, `Level`); `StepClock` is a view of them that the step
// helpers read and write, so tests go on reading the screen's fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

class CDib;

namespace screenkit {

inline constexpr int kCrossFade = 39;
inline constexpr std::uint32_t kFull = 255;

// elapsed × full / duration, capped at `full`. Worked in 64 bits: after a
// long stall (a suspended machine) a 32-bit product wraps to a small level
// and the step would start over instead of ending.
std::uint32_t StepLevel(std::uint32_t elapsed, std::uint32_t full, std::uint32_t duration);
inline std::uint32_t FadeLevel(std::uint32_t elapsed, std::uint32_t duration) {
    return StepLevel(elapsed, kFull, duration);
}

// The skip key or the skip-effects setting: every timed step ends at once.
bool SkipHeld();
// The skip key, the skip-effects setting or a click.
bool SkipOrClick();

// What, besides its own time, ends a timed step at once. Most steps yield
// to a click too; the boot sequence and the chosen-item zoom do not; a few
// (the staff rolls' first fade) run their whole time whatever is pressed.
enum class Hurry { BySkip, BySkipOrClick, Never };
bool Hurried(Hurry hurry);

// A view of a screen's clock fields.
struct StepClock {
    std::uint32_t& startTime;
    std::uint32_t& elapsed;
    std::uint16_t* level = nullptr; // the screen's Level, when it keeps one

    // Elapsed := now − StartTime; returns it.
    std::uint32_t Tick() const;
    // StartTime := now: the next step starts.
    void Restart() const;
};

// One frame of the cross-fade (or of another transition `effect`, such as
// the rule-mask wipe 40) from `outgoing` to `incoming` into the back buffer
// at `level` (0..255).
void DrawFade(CDib* incoming, CDib* outgoing, std::uint32_t level, int effect = kCrossFade);

// One frame of a cross-fade of `duration` ms. While it runs it draws and
// returns true. When its level reaches 255, or `hurry` cuts it short, it
// copies `incoming` whole, sets Level to 0, restarts the clock and returns
// false, so a skipped fade lands on the same picture as a watched one.
bool Fading(const StepClock& clock, CDib* incoming, CDib* outgoing, std::uint32_t duration,
            Hurry hurry, int effect = kCrossFade);
// One frame of a screen's way out: the cross-fade from the screen as it
// was left (cdib[1]) to what follows (cdib[0]), cut short by the skip key,
// skip-effects or a click. On its last frame the click is cleared, so that
// the click that cut it short chooses nothing on the next screen.
bool FadingOut(const StepClock& clock, std::uint32_t duration);
// One frame of a hold: true while elapsed × full / duration is below `full`
// and nothing hurries it; at its end the clock restarts and it returns false.
bool Holding(const StepClock& clock, std::uint32_t full, std::uint32_t duration, Hurry hurry);

// How far a strip has slid of its `distance` at its uncapped `level`
// (elapsed × 255 / duration, which runs on past 255): level × distance /
// 256, at most the distance. A strip thus arrives one step after its level
// is full.
std::int32_t SlideOffset(std::uint32_t level, std::int32_t distance);

// A row of strips revealed one after another (labels, panels): each has its
// own start time, a level over `duration` ms and a slide. Views of the
// screen's per-strip fields, index k - 1 for strip k.
struct Strips {
    std::span<std::int32_t> slide;
    std::span<std::uint8_t> started;
    std::span<std::uint32_t> startTime;

    // Every strip back to the start; the first one starts at `firstStart`.
    void Reset(std::uint32_t firstStart) const;
    // Starts strip `k` at `now` unless it has started.
    void Start(std::size_t k, std::uint32_t now) const;
    // Strip `k`'s level at `now` (0 before it starts), capped at 255; its
    // slide moves with the level before the cap.
    std::uint32_t Advance(std::size_t k, std::uint32_t now, std::uint32_t duration,
                          std::int32_t distance) const;
};

// (rand × clock × minute) mod n in unsigned 32-bit arithmetic, reading the
// local time, then rand, then the clock.
std::uint32_t RandomByMinute(std::uint32_t n);
// The same recipe in parts, for the places that take the product apart or
// leave the minute out: rand × clock (unsigned 32-bit, reading rand, then
// the clock), and the minute of the local time.
std::uint32_t RandTimesClock();
std::uint32_t Minute();

} // namespace screenkit
