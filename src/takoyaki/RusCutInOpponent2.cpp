// Opponent 2's cut-ins. Not drawn yet: each ends at once with its price paid
// and no attack.
#include "takoyaki/RusCutIn.h"

void CRusGame::PlayOpponentCutIn2A(platform::WindowHandle) {
    Contest.RunCutInAtOnce();
}

void CRusGame::PlayOpponentCutIn2B(platform::WindowHandle) {
    Contest.RunCutInAtOnce();
}
