// The attacks that follow the reel of the player's special 2. Not drawn yet:
// the reel's symbol is kept in ReelResult and the special goes straight on
// to its closing flash and ending.
#include "takoyaki/RusCutIn.h"

void CRusGame::PlayReelAttack(platform::WindowHandle) {
    rus::cutin::CutIn k(*this);
    Contest.CutInStep2 = 0;
    k.Next(6);
}
