// Opponent 3's cut-ins. Not drawn yet: each ends at once with its price paid
// and no attack.
#include "takoyaki/RusCutIn.h"

void CRusGame::PlayOpponentCutIn3A(platform::WindowHandle) {
    Contest.RunCutInAtOnce();
}

void CRusGame::PlayOpponentCutIn3B(platform::WindowHandle) {
    Contest.RunCutInAtOnce();
}
