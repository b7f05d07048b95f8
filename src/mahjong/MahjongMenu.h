// The menu of a mahjong match (mode 54), opened by a right click while the
// player chooses a discard. It slides in over the frozen match picture and
// offers the combination list (eight pages, shown here), the rules pages
// (70), the settings (9) and the end of the match, asked in two steps: end
// the match for the mahjong title (61) or quit the program, then yes or no.
// A right click, the list's close button or a "no" hands back to the match,
// which takes up its discard choice where it stood: the match object belongs
// to the script object and outlives this screen.
#pragma once

#include "platform/Platform.h"
#include "screenkit/Steps.h"

#include <array>
#include <cstdint>
#include <memory>

class CMahjongMenu {
public:
    static constexpr int kItems = 4;
    static constexpr int kLines = 8; // the opening uses the first four
    static constexpr int kListPages = 8;
    static constexpr std::uint8_t kListClose = 9; // the list's buttons: tabs 1..8, close 9

    CMahjongMenu();
    ~CMahjongMenu() {}

    void Run(platform::WindowHandle window);
    void Open(platform::WindowHandle window);
    void FadeIn(platform::WindowHandle window);
    void SlideIn(platform::WindowHandle window);
    void Menu(platform::WindowHandle window);
    void Close(platform::WindowHandle window);
    void ListOpen(platform::WindowHandle window);
    void ListFade(platform::WindowHandle window);
    void ListBrowse(platform::WindowHandle window);
    void ConfirmOpen(platform::WindowHandle window);
    void ConfirmFade(platform::WindowHandle window);
    void FirstPanelIn(platform::WindowHandle window);
    void FirstPanel(platform::WindowHandle window);
    void FirstPanelOut(platform::WindowHandle window);
    void SecondPanelIn(platform::WindowHandle window);
    void SecondPanel(platform::WindowHandle window);
    void SecondPanelOut(platform::WindowHandle window);
    void Decide(platform::WindowHandle window);

    // 0 open, 1 fade, 2 slide-in, 3 menu, 4 close; 5..7 the list; 10..20 the
    // end confirmation (11 fade, 12..14 the first panel, 16..19 the second,
    // 20 the decision).
    std::uint8_t State = 0;
    // The first panel's button (1 end the match, 2 quit), kept once clicked.
    std::uint8_t FirstHover = 0;
    std::uint8_t PrevFirstHover = 0;
    // The second panel's button (1 yes, 2 no), kept once clicked.
    std::uint8_t SecondHover = 0;
    std::uint8_t PrevSecondHover = 0;
    // Menu items 1..4; in the list, tabs 1..8 and close 9; 0 none.
    std::uint8_t HoverItem = 0;
    std::uint8_t PrevHoverItem = 0;
    std::uint32_t StartTime = 0;
    std::uint32_t Elapsed = 0;
    std::array<std::int32_t, kLines> LineWidth{};
    std::array<std::uint32_t, kLines> LineStart{};
    std::array<std::uint8_t, kLines> LineRunning{};
    std::array<std::uint16_t, kLines> LineLevel{};
    // The menu's items, the list's tabs and close, or a panel's two buttons.
    std::array<platform::Rect, 9> Rects{};
    std::uint8_t LabelPhase = 0; // 0 none, 1 sliding in, 2 resting
    std::uint32_t LabelStart = 0;
    std::uint8_t Page = 0; // the list page on show, 0..7

private:
    screenkit::StepClock Clock() { return {StartTime, Elapsed}; }
    screenkit::Strips Lines();
    void DrawLabel(std::uint32_t now);
    void Choose();
    void ComposeList();
    std::uint8_t HitListButton() const;
    void ShowListButton(std::uint8_t button, bool lit);
    // One frame of a panel of the end picture (left edge `sx`) sliding
    // 24 px down and in; false once it rests in the composition.
    bool PanelIn(int sx);
    // The same, sliding down and out from its rest; false once gone.
    bool PanelOut(int sx);
    // The hovered one of a panel's two buttons lit: the lit looks stand
    // below the panels from (sx, 126), `litH` high and `litW` wide (0: as
    // wide as the button).
    void LightPanelButton(std::uint8_t& hover, std::uint8_t& previous, int sx, int litW, int litH);
    // The panel's place in the composition back to the frame over the match.
    void ClearPanel();
    void EndMatch();
};

// Surfaces: cdib[20] the screen as a part of the menu opened, [21] the menu
// or list frame, [22] the composition everything is restored from, [23] the
// side panel, the list page or the end panels, [24] the item texts or the
// list's tab marks. Every way out frees cdib[20] to cdib[39]; ending the
// match frees the match's own surfaces too.
extern std::unique_ptr<CMahjongMenu> g_mahjongMenu;
