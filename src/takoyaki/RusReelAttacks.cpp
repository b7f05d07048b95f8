// The attacks that follow a reel: the player's special 2 and opponent 5's
// second variant. Not drawn yet: the reel's symbol is kept (ReelResult,
// OpponentReelResult) and the cut-in goes straight on to what follows its
// attack.
#include "takoyaki/RusCutIn.h"

void CRusGame::PlayReelAttack(platform::WindowHandle) {
    rus::cutin::CutIn k(*this);
    Contest.CutInStep2 = 0;
    k.Next(6);
}

void CRusGame::PlayOpponentReelAttack(platform::WindowHandle) {
    rus::cutin::CutIn k(*this);
    Contest.CutInStep2 = 0;
    k.Next(15);
}
