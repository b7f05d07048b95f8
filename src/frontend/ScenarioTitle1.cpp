#include "frontend/ScenarioTitle1.h"

using platform::Rect;

std::unique_ptr<CScenarioTitle1> g_scenarioTitle1;

namespace {

const ScenarioTitleLayout kLayout{
    58,
    "system\\title_bg_s.bmp",
    "system\\title_s_p01.bmp",
    "bgm\\n002.ogg",
    0,
    "start.s",
    {Rect{372, 412, 428, 428}, Rect{371, 440, 429, 456}, Rect{359, 468, 441, 484},
     Rect{370, 496, 430, 512}, Rect{381, 524, 419, 540}},
    320,
    382,
    160,
    28,
    false,
};

} // namespace

CScenarioTitle1::CScenarioTitle1() : CScenarioTitleScreen(kLayout) {}
