// Opponent 1's cut-ins. Not drawn yet: each ends at once with its price paid
// and no attack.
#include "takoyaki/RusCutIn.h"

void CRusGame::PlayOpponentCutIn1A(platform::WindowHandle) {
    Contest.RunCutInAtOnce();
}

void CRusGame::PlayOpponentCutIn1B(platform::WindowHandle) {
    Contest.RunCutInAtOnce();
}
