// The in-game menu (mode 8): a column of five entries slid over the story's
// picture. Save, load, backlog and settings hand over to their screens,
// which come back straight to the story; exit opens a three-way dialog
// (return to the title, quit, cancel) whose first two answers are asked once
// more before they act. A right click goes back to the story.
#pragma once

#include "platform/Platform.h"
#include "screenkit/Steps.h"

#include <array>
#include <cstdint>
#include <memory>

class CSystemMenu {
public:
    static constexpr int kEntries = 5;
    static constexpr int kLines = 4;

    CSystemMenu();

    void Update(platform::WindowHandle window);

    void Open(platform::WindowHandle window);
    void FadeIn(platform::WindowHandle window);
    void StripAndPanel(platform::WindowHandle window);
    void Entries(platform::WindowHandle window);
    void Input(platform::WindowHandle window);
    void FadeOut(platform::WindowHandle window);
    void Dispatch(platform::WindowHandle window);
    void DialogOpen(platform::WindowHandle window);
    void DialogFade(platform::WindowHandle window);
    void DialogDropIn(platform::WindowHandle window);
    void DialogInput(platform::WindowHandle window);
    void DialogLeave(platform::WindowHandle window);
    void DialogChosen(platform::WindowHandle window);
    void QuestionOpen(platform::WindowHandle window);
    void QuestionDropIn(platform::WindowHandle window);
    void QuestionInput(platform::WindowHandle window);
    void QuestionLeave(platform::WindowHandle window);
    void Answered(platform::WindowHandle window);
    void Finish(platform::WindowHandle window);
    void Glide(platform::WindowHandle window);

    // 0 open, 1 fade in, 2 strip and panel, 3 entries, 4 input, 5 fade out,
    // 6 dispatch; 10..15 exit dialog, 16..20 the second question, 21 finish,
    // 22 cursor glide.
    std::uint8_t state = 0;
    std::uint8_t afterGlide = 0;
    std::uint8_t hover = 0; // entry 1..5; in the dialog its choice 1..3
    std::uint8_t prevHover = 0;
    std::uint8_t answer = 0; // second question: 1 yes, 2 no
    std::uint8_t prevAnswer = 0;
    std::uint32_t stateTime = 0;
    std::uint32_t elapsed = 0;
    std::array<std::int32_t, kLines> lineOffset{};
    std::array<std::int32_t, kLines> lineY{228, 267, 307, 345};
    std::array<std::uint32_t, kLines> lineStart{};
    std::array<std::uint8_t, kLines> lineMoving{};
    std::array<platform::Rect, kEntries> entryRects{};
    std::array<platform::Rect, 3> dialogRects{};
    std::array<std::int16_t, kEntries> labelHeight{43, 45, 48, 48, 44};
    std::array<std::int16_t, kEntries> labelY{0, 43, 88, 136, 184};
    std::uint16_t markPhase = 0; // 0 none, 1 sliding in, 2 steady
    std::uint32_t markTime = 0;
    std::array<std::int16_t, 2> glideTarget{};
    std::array<std::int16_t, 2> glideFrom{};
    std::uint8_t choice = 0; // the dialog choice being acted on

private:
    screenkit::StepClock Clock() { return {stateTime, elapsed}; }
    // Glides the cursor to (x, y) when the player asked for it, then runs
    // `next`; without the glide `next` runs from the next frame.
    void GlideOr(std::uint8_t next, int x, int y);
    void DrawDialog(int dy, int opacity, bool withCancel);
    void DrawQuestion(int dy, int opacity);
    void BackToStory();
};

// Surfaces: cdib[30] the menu page, cdib[31] its shade, cdib[32] the title
// strip, cdib[33] the story's picture as the menu opened, cdib[34] the
// panel, cdib[35] the label sheet; the exit dialog adds cdib[39] (the menu
// as the dialog opened), cdib[40] the dimmed background, cdib[41], cdib[42],
// cdib[44] and cdib[46] its pictures; the second question cdib[43] (its
// panel) and cdib[45] (yes and no). Every way out frees what it loaded.
extern std::unique_ptr<CSystemMenu> g_systemMenu;
