// Opponent 5's cut-ins. Not drawn yet: each ends at once with its price paid
// and no attack.
#include "takoyaki/RusCutIn.h"

void CRusGame::PlayOpponentCutIn5A(platform::WindowHandle) {
    Contest.RunCutInAtOnce();
}

void CRusGame::PlayOpponentCutIn5B(platform::WindowHandle) {
    Contest.RunCutInAtOnce();
}
