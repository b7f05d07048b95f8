// Title screen of story scenario 3 (mode 60).
#pragma once

#include "frontend/ScenarioTitleScreen.h"

#include <memory>

class CScenarioTitle3 : public CScenarioTitleScreen {
public:
    CScenarioTitle3();
};

// Surfaces: cdib[0] the previous picture, later black; cdib[1] the
// background; cdib[2] the highlight strip; cdib[10] the background as loaded.
// Exit frees cdib[1] to cdib[4] and cdib[10].
extern std::unique_ptr<CScenarioTitle3> g_scenarioTitle3;
