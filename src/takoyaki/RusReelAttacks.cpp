// The attacks that follow the reel of the player's special 2: the symbol the
// reel stopped on picks one of five, each a short form of one opponent's
// second special turned against the opponent.
//
// The hand-over. PlayPlayerCutIn2 calls PlayReelAttack once a frame while
// CutInPhase is 5. On its first frame:
//   - ReelResult holds the symbol (0..4), CutInStep2 is 0 (count the
//     attack's steps in it), StartTime is the clock, the click is cleared;
//   - the back buffer shows the stopped reel over the scene (slot 11, the
//     baked band), slot 10 holds the return picture, slot 14 white, slot 16
//     the reel sheet and g_maskImage "bmp\mask37.bmp"; an attack may replace
//     slots 12 to 17 (the ending frees them all). Slot 14 is the picture the
//     closing flash wipes to and from.
// An attack ends with CutIn::EndReelAttack() (CutInPhase := 6, CutInStep2 :=
// 0): the closing flash, the opponent's reaction and the special's ending
// follow. Whatever it leaves in ScrollOffset does not matter: the closing
// flash counts its four wipes from 0.
//
// Not drawn yet: every symbol ends at once, the reel's symbol kept in
// ReelResult, and the special goes straight on to its closing flash.
#include "takoyaki/RusCutIn.h"

void CRusGame::PlayReelAttack(platform::WindowHandle) {
    rus::cutin::CutIn(*this).EndReelAttack();
}
