#include "frontend/ScenarioTitle3.h"

using platform::Rect;

std::unique_ptr<CScenarioTitle3> g_scenarioTitle3;

namespace {

const ScenarioTitleLayout kLayout{
    60,
    "system\\title_bg_i.bmp",
    "system\\title_i_p01.bmp",
    "bgm\\n007.ogg",
    2,
    "c01.s",
    {Rect{339, 350, 461, 381}, Rect{339, 384, 461, 415}, Rect{339, 418, 461, 449},
     Rect{339, 452, 461, 483}, Rect{339, 486, 461, 517}},
    339,
    316,
    122,
    34,
    true,
};

} // namespace

CScenarioTitle3::CScenarioTitle3() : CScenarioTitleScreen(kLayout) {}
