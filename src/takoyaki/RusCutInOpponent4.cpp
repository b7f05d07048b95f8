// Opponent 4's cut-ins. Not drawn yet: each ends at once with its price paid
// and no attack.
#include "takoyaki/RusCutIn.h"

void CRusGame::PlayOpponentCutIn4A(platform::WindowHandle) {
    Contest.RunCutInAtOnce();
}

void CRusGame::PlayOpponentCutIn4B(platform::WindowHandle) {
    Contest.RunCutInAtOnce();
}
