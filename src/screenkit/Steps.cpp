#include "screenkit/Steps.h"

#include "app/Input.h"
#include "gfx/Dib.h"
#include "gfx/Transition.h"
#include "platform/Platform.h"
#include "scenario/Scenario.h"
#include "screenkit/Buttons.h"
#include "screenkit/Slots.h"

#include <algorithm>

namespace screenkit {

std::uint32_t StepLevel(std::uint32_t elapsed, std::uint32_t full, std::uint32_t duration) {
    if (duration == 0) return full;
    const std::uint64_t level = std::uint64_t{elapsed} * full / duration;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(level, full));
}

bool SkipHeld() {
    return (g_mouse && g_mouse->skip) || (g_scenario && g_scenario->skipEffects);
}

bool SkipOrClick() {
    return SkipHeld() || (g_mouse && g_mouse->click);
}

bool Hurried(Hurry hurry) {
    switch (hurry) {
    case Hurry::BySkip:
        return SkipHeld();
    case Hurry::BySkipOrClick:
        return SkipOrClick();
    case Hurry::Never:
        break;
    }
    return false;
}

std::uint32_t StepClock::Tick() const {
    elapsed = platform::TimeGetTime() - startTime;
    return elapsed;
}

void StepClock::Restart() const {
    startTime = platform::TimeGetTime();
}

void DrawFade(CDib* incoming, CDib* outgoing, std::uint32_t level, int effect) {
    DrawTransition(effect, g_backBuffer.get(), incoming, outgoing, 0, 0, 0, 0, kScreenWidth,
                   kScreenHeight, static_cast<int>(level), 0);
}

bool Fading(const StepClock& clock, CDib* incoming, CDib* outgoing, std::uint32_t duration,
            Hurry hurry, int effect) {
    const std::uint32_t level = FadeLevel(clock.Tick(), duration);
    if (level < kFull && !Hurried(hurry)) {
        if (clock.level) *clock.level = static_cast<std::uint16_t>(level);
        DrawFade(incoming, outgoing, level, effect);
        return true;
    }
    ShowWhole(incoming);
    if (clock.level) *clock.level = 0;
    clock.Restart();
    return false;
}

bool FadingOut(const StepClock& clock, std::uint32_t duration) {
    if (Fading(clock, Slot(0), Slot(1), duration, Hurry::BySkipOrClick)) return true;
    ClearClick();
    return false;
}

bool Holding(const StepClock& clock, std::uint32_t full, std::uint32_t duration, Hurry hurry) {
    if (StepLevel(clock.Tick(), full, duration) < full && !Hurried(hurry)) return true;
    clock.Restart();
    return false;
}

std::int32_t SlideOffset(std::uint32_t level, std::int32_t distance) {
    return static_cast<std::int32_t>(std::min<std::uint32_t>(level, 256)) * distance / 256;
}

void Strips::Reset(std::uint32_t firstStart) const {
    std::ranges::fill(slide, 0);
    std::ranges::fill(started, 0);
    std::ranges::fill(startTime, 0);
    startTime[0] = firstStart;
    started[0] = 1;
}

void Strips::Start(std::size_t k, std::uint32_t now) const {
    if (k >= started.size() || started[k]) return;
    started[k] = 1;
    startTime[k] = now;
}

std::uint32_t Strips::Advance(std::size_t k, std::uint32_t now, std::uint32_t duration,
                              std::int32_t distance) const {
    if (!started[k]) return 0;
    // The level before its cap stops at 256, where the slide is whole,
    // however long the stall: it never wraps.
    const std::uint64_t elapsed = now - startTime[k];
    const std::uint32_t uncapped =
        duration == 0 ? kFull + 1
                      : static_cast<std::uint32_t>(
                            std::min<std::uint64_t>(elapsed * kFull / duration, kFull + 1));
    slide[k] = SlideOffset(uncapped, distance);
    return std::min(uncapped, kFull);
}

std::uint32_t RandomByMinute(std::uint32_t n) {
    const std::uint32_t minute = platform::GetLocalTime().minute;
    const auto r = static_cast<std::uint32_t>(platform::Rand());
    const std::uint32_t clock = platform::TimeGetTime();
    return r * clock * minute % n;
}

std::uint32_t RandTimesClock() {
    const auto r = static_cast<std::uint32_t>(platform::Rand());
    return r * platform::TimeGetTime();
}

std::uint32_t Minute() {
    return platform::GetLocalTime().minute;
}

} // namespace screenkit
