// The contest's opponent select (mode 68): six cards, of which as many are
// open as opponents have been beaten, plus the next one. A card starts that
// opponent's first story; back or a right click returns to the contest title.
#pragma once

#include "platform/Platform.h"
#include "screenkit/Steps.h"

#include <array>
#include <cstdint>
#include <memory>

class CRusSelect {
public:
    static constexpr int kCards = 6;

    CRusSelect();
    ~CRusSelect() {}

    void Run(platform::WindowHandle window);
    void Open(platform::WindowHandle window);
    void FadeIn(platform::WindowHandle window);
    void Input(platform::WindowHandle window);
    void Start(platform::WindowHandle window);
    void Back(platform::WindowHandle window);

    // 0 Open, 1 FadeIn, 2 Input, 4 Start, 5 Back.
    std::uint8_t State = 0;
    std::uint32_t StartTime = 0;
    std::uint32_t Elapsed = 0;
    // Opponents beaten so far, capped at 5.
    std::uint8_t BeatenCount = 0;
    std::uint8_t HoverCard = 0; // 1..6, 0 none
    std::uint8_t PrevHoverCard = 0;
    std::uint8_t BackHover = 0;
    std::uint8_t PrevBackHover = 0;
    std::array<platform::Rect, kCards> CardRects{};
    platform::Rect BackRect{671, 563, 798, 598};

    // Cards 1 to OpenCards() react; none on a fresh settings block.
    int OpenCards() const { return BeatenCount == 0 ? 0 : BeatenCount + 1; }

private:
    screenkit::StepClock Clock() { return {StartTime, Elapsed}; }
    void DrawBeatenMark(CDib* target, int card);
    void Leave(std::uint8_t state);
};

// Surfaces: cdib[0] the previous screen, later the picture the next screen
// fades from; [1] the background with the open cards; [2] the card looks,
// beaten mark and back highlight; [3] the name plates. Leaving frees [1] to [4].
extern std::unique_ptr<CRusSelect> g_rusSelect;
