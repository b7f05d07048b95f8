#include "frontend/ScenarioTitle2.h"

using platform::Rect;

std::unique_ptr<CScenarioTitle2> g_scenarioTitle2;

namespace {

const ScenarioTitleLayout kLayout{
    59,
    "system\\title_bg_r.bmp",
    "system\\title_r_p01.bmp",
    "bgm\\c006.ogg",
    1,
    "b0.s",
    {Rect{670, 390, 756, 416}, Rect{670, 427, 756, 453}, Rect{644, 464, 756, 490},
     Rect{658, 501, 756, 527}, Rect{688, 538, 756, 564}},
    600,
    342,
    200,
    37,
    false,
};

} // namespace

CScenarioTitle2::CScenarioTitle2() : CScenarioTitleScreen(kLayout) {}
