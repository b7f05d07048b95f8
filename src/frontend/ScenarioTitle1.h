// Title screen of story scenario 1 (mode 58).
#pragma once

#include "frontend/ScenarioTitleScreen.h"

#include <memory>

class CScenarioTitle1 : public CScenarioTitleScreen {
public:
    CScenarioTitle1();
};

// Surfaces: cdib[0] the previous picture, later black; cdib[1] the
// background; cdib[2] the highlight strip; cdib[10] the background as loaded.
// Exit frees cdib[1] to cdib[4] and cdib[10].
extern std::unique_ptr<CScenarioTitle1> g_scenarioTitle1;
