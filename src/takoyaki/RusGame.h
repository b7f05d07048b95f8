// The contest screen (mode 66): the duel drawn and heard on top of the
// rules model. Each frame it hands the mouse to CRusContest, lets it step
// the state that runs, then draws the playfield from the model's fields and
// plays the sounds and lines the model's cues ask for. The screen keeps no
// rule of its own; what is here is pictures, sounds and the sequences around
// play (the ready banner, the pause dialog, the time-up picture, the win and
// lose banners).
#pragma once

#include "platform/Platform.h"
#include "screenkit/Steps.h"
#include "takoyaki/RusContest.h"

#include <cstdint>
#include <memory>

class CDib;

class CRusGame {
public:
    CRusGame();
    ~CRusGame() {}

    void Run(platform::WindowHandle window);
    void Load(platform::WindowHandle window);
    void RunReady(platform::WindowHandle window);
    void RunPlay(platform::WindowHandle window);
    // The special-attack cut-ins of the opponent (state 5) and the player
    // (state 6): each frame plays one frame of the member that runs.
    void RunOpponentCutIn(platform::WindowHandle window);
    void RunPlayerCutIn(platform::WindowHandle window);

    // The cut-ins, one member each, built on the machinery of RusCutIn.h
    // (docs/screens.md, "Cut-ins"). One call draws one frame and moves the
    // phase on when its time is up; the last phase returns to play.
    // By Opponent and OpponentSpecial (variant 0: A, 1: B).
    void PlayOpponentCutIn(platform::WindowHandle window);
    void PlayOpponentCutIn0A(platform::WindowHandle window); // RusCutInOpponent0.cpp
    void PlayOpponentCutIn0B(platform::WindowHandle window);
    void PlayOpponentCutIn1A(platform::WindowHandle window); // RusCutInOpponent1.cpp
    void PlayOpponentCutIn1B(platform::WindowHandle window);
    void PlayOpponentCutIn2A(platform::WindowHandle window); // RusCutInOpponent2.cpp
    void PlayOpponentCutIn2B(platform::WindowHandle window);
    void PlayOpponentCutIn3A(platform::WindowHandle window); // RusCutInOpponent3.cpp
    void PlayOpponentCutIn3B(platform::WindowHandle window);
    void PlayOpponentCutIn4A(platform::WindowHandle window); // RusCutInOpponent4.cpp
    void PlayOpponentCutIn4B(platform::WindowHandle window);
    void PlayOpponentCutIn5A(platform::WindowHandle window); // RusCutInOpponent5.cpp
    void PlayOpponentCutIn5B(platform::WindowHandle window);
    // The player's specials (RusCutInPlayer.cpp).
    void PlayPlayerCutIn1(platform::WindowHandle window);
    void PlayPlayerCutIn2(platform::WindowHandle window);
    // Phase 5 of special 2: the attack of the reel's symbol (RusReelAttacks.cpp);
    // each ends with CutInPhase := 6 and CutInStep2 := 0.
    void PlayReelAttack(platform::WindowHandle window);
    // Phase 5 of opponent 5's variant 1: the attack of OpponentReelResult
    // (RusReelAttacks.cpp); each ends with CutInPhase := 15.
    void PlayOpponentReelAttack(platform::WindowHandle window);
    void Judge(platform::WindowHandle window);
    void RunWin(platform::WindowHandle window);
    void RunLose(platform::WindowHandle window);
    void RunPause(platform::WindowHandle window);
    void Quit(platform::WindowHandle window);

    // The rules and every field of the contest; its State is the screen's
    // state byte.
    CRusContest Contest;
    std::uint8_t PrevDialogHover = 0; // 0 none, 1 yes, 2 no
    std::uint8_t DialogHover = 0;
    // Opacity reached by the ready sequence's first word when it ended.
    std::uint16_t Level = 0;

    // Draws the playfield of the current fields into `target` (background,
    // portraits, effects, names, lives, specials, gauges, holes, the hovered
    // button, plates, scores, timer); the player's tool highlight goes over it
    // after the time-up picture has been taken.
    void DrawField(CDib* target);
    void DrawToolHighlight(CDib* target);

    // The win or lose banner (cdib[2] at (sx, sy), w x h) dropping to (x,
    // restY); DroppingBanner is false once it rests there.
    struct Banner {
        int x, restY, sx, sy, w, h;
    };

private:
    screenkit::StepClock Clock() { return {Contest.StartTime, Contest.Elapsed, &Level}; }
    void DrawEffects(CDib* target);
    void DrawSpecials(CDib* target);
    void DrawPan(CDib* target, rus::Side side);
    void DrawHands();
    void PlayCues();
    void PlayLine(int channel, int level);
    // The win and lose sequences: the fades, the banner, the click.
    void RunEnding(bool won);
    bool DroppingBanner(CDib* under, const Banner& b);
};

// Surfaces while the contest runs: cdib[0] the previous screen, [1] the
// background, [2] the hole tiles, [3] the tool cursors, [4] the playfield
// parts, [5] the opponent's portrait, [6] the player's, [7] the name plates,
// [8] the special buttons, [9] the ready banner, [10] the composed first
// frame and later snapshots, [11] the pause dialog's clean copy, [21] the
// effect overlays, [22] their labels, [23] the background of a locked side.
// The win and lose sequences free [0] to [10] and use [0] to [2]; the result
// screen frees the rest. Quitting from the pause frees [1] to [39].
extern std::unique_ptr<CRusGame> g_rusGame;

namespace rus {
// The settings byte that holds the voice level of an opponent's lines.
std::size_t OpponentVoiceByte(std::int8_t opponent);
} // namespace rus
