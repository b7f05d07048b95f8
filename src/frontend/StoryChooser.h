// The story chooser (mode 56): the three story scenarios as panels, leading
// to their title screens.
#pragma once

#include "frontend/ChooserScreen.h"

#include <memory>

class CStoryChooser : public CChooserScreen {
public:
    CStoryChooser();
};

// Surfaces: cdib[0] the previous picture, later the last frame; cdib[1] the
// background with the panels; cdib[2] the highlighted panels; cdib[3] the
// highlighted buttons; cdib[4] the panels; cdib[10] the background as
// loaded. Both leaving states free cdib[1] to cdib[4] and cdib[10].
extern std::unique_ptr<CStoryChooser> g_storyChooser;
