// The contest result (mode 67): the winner and the loser of the contest in
// a framed, letterboxed picture with captions and the winner's name plate;
// a click starts the follow-up story: the opponent's "_2" script after a
// loss, or the beaten opponent's "_3" script after a win, with the next
// opponent stored for the story.
#pragma once

#include "platform/Platform.h"
#include "screenkit/Steps.h"

#include <cstdint>
#include <memory>

class CRusResult {
public:
    CRusResult();
    ~CRusResult() {}

    void Run(platform::WindowHandle window);
    void Open(platform::WindowHandle window);
    void Letterbox(platform::WindowHandle window);
    void Entrances(platform::WindowHandle window);
    void Overlay(platform::WindowHandle window);
    void Captions(platform::WindowHandle window);
    void Wait(platform::WindowHandle window);
    void Leave(platform::WindowHandle window);

    // 0 Open, 1 Letterbox, 2 Entrances, 3 Overlay, 4 Captions, 5 Wait, 6 Leave.
    std::uint8_t State = 0;
    std::uint32_t StartTime = 0;
    std::uint32_t Elapsed = 0;

private:
    screenkit::StepClock Clock() { return {StartTime, Elapsed}; }
    bool Running(std::uint32_t duration);
    void NextStep();
    void DrawWinner(CDib* target);
};

// Surfaces: cdib[0] the previous screen, later the last frame; [1] the
// background into which finished steps are composed; [2] the winner; [3]
// the loser; [4] captions and name plates; [5] the frame; [6] the overlay;
// [10] black. Leaving frees [1] to [35].
extern std::unique_ptr<CRusResult> g_rusResult;
