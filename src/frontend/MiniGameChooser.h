// The mini-game chooser (mode 57): the mahjong and the takoyaki contest as
// panels; the contest stays locked until a story has set script flag 3.
#pragma once

#include "frontend/ChooserScreen.h"

#include <memory>

class CMiniGameChooser : public CChooserScreen {
public:
    CMiniGameChooser();
};

// Surfaces as for the story chooser; the panel pictures hold rows 300 px
// apart, the locked look of the lower panel in the third row.
extern std::unique_ptr<CMiniGameChooser> g_miniGameChooser;
