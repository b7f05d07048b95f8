// The screen quake: the offset the paint step shifts its copy of the back
// buffer by, and the hook that hands it to the presentation.
#include "scenario/Scenario.h"

#include "app/Present.h"
#include "scenario/LayerMath.h"

#include <cmath>

std::int16_t CScenario::GetQuakeOffset(int row) {
    const auto amplitude = static_cast<std::int16_t>(quakeAmplitude);
    const std::uint32_t now = platform::TimeGetTime();
    const std::uint32_t el = now - quakeStart;
    if (quakeType == 10) return 0;
    if (quakeType == 6 || quakeType == 7) {
        double envelope = amplitude;
        if (el < quakePeriod) {
            const std::uint64_t degrees = 180ull * el / quakePeriod;
            envelope = std::trunc(layer_math::SinDegrees(static_cast<double>(degrees)) * amplitude);
        }
        if (row == 0) quakePhase = (quakePhase + 4) % 360;
        const auto e = static_cast<std::int16_t>(envelope);
        return static_cast<std::int16_t>(
            std::trunc(layer_math::SinDegrees(static_cast<double>(quakePhase) + row) * e));
    }
    // A zero period is a quake whose period is always over.
    std::uint64_t a = quakePeriod == 0 ? 360 : 360ull * el / quakePeriod;
    if (a >= 360) {
        if (quakeLoop == 0) {
            quakeActive = 0;
            return 0;
        }
        quakeStart = now;
        if (quakeType >= 2 && quakeType <= 5 && ++quakePhase > 2) quakePhase = 1;
        a = 0;
    }
    return static_cast<std::int16_t>(
        std::trunc(layer_math::SinDegrees(static_cast<double>(a)) * amplitude));
}

void CScenario::UpdateParticles(int) {}

bool StoryQuake(QuakeView& out) {
    CScenario* s = g_scenario.get();
    if (!s || !s->quakeActive) return false;
    out.type = s->quakeType;
    out.phase = static_cast<int>(s->quakePhase);
    out.offset = [s](int row) { return s->GetQuakeOffset(row); };
    // The offset may move the quake to its next diagonal: the copy reads the
    // phase after asking.
    out.phaseNow = [s] { return static_cast<int>(s->quakePhase); };
    return true;
}
