// The player's two specials.
#include "takoyaki/RusCutIn.h"

void CRusGame::PlayPlayerCutIn1(platform::WindowHandle) {
    Contest.RunCutInAtOnce();
}

void CRusGame::PlayPlayerCutIn2(platform::WindowHandle) {
    Contest.RunCutInAtOnce();
}
