#include "mahjong/MahjongMenu.h"

#include "app/Config.h"
#include "app/GameApp.h"
#include "app/Input.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "mahjong/MahjongGame.h"
#include "scenario/Scenario.h"
#include "screenkit/ScreenKit.h"

#include <algorithm>
#include <cstdio>
#include <span>
#include <string>

using namespace screenkit;
using platform::Rect;

std::unique_ptr<CMahjongMenu> g_mahjongMenu;

namespace {

constexpr std::uint8_t kTitleMode = 61;
constexpr std::uint8_t kRulesMode = 70;
constexpr std::uint8_t kQuitting = 21; // no handler: the window is going

constexpr int kCopy = 20, kFrame = 21, kComposed = 22, kSheet = 23, kParts = 24;
constexpr int kLastSlot = 39;

constexpr std::uint32_t kFadeMs = 300;
constexpr std::uint32_t kSlideMs = 1000;
constexpr std::uint32_t kPanelSlideMs = 400; // the side panel's travel
constexpr std::uint32_t kLineMs = 300;
constexpr std::uint32_t kLabelMs = 250;
constexpr std::uint32_t kListFadeMs = 500;
constexpr std::uint32_t kConfirmFadeMs = 200;
constexpr std::uint32_t kPanelMs = 300;

// The menu: the side panel, the item lines and texts, the labels; the
// parts picture holds each item's normal text, lit text and label strip in
// rows of 36, and the line at (60, 144).
constexpr int kSideW = 150;
constexpr int kLineSrcX = 60, kLineSrcY = 144, kLineW = 360, kLineH = 3;
constexpr std::int32_t kNextLineAt = 128;
constexpr int kRowH = 36;
constexpr int kTextX = 673, kTextW = 125, kNormalSrcX = 170, kLitSrcX = 295;
constexpr int kLabelX = 480, kLabelAreaW = 186, kLabelW = 170, kLabelTravel = 14;

// The list: the page, the tab marks 28 px apart and the close highlight.
constexpr int kPageX = 105, kPageY = 91, kPageW = 600, kPageH = 450;
constexpr int kTabX = 505, kTabY = 54, kTabW = 28, kTabH = 24;
constexpr int kCloseW = 65, kCloseH = 18, kCloseSrcY = 48;
constexpr int kSecretPage = 3;

// The end confirmation: three panels side by side in the end picture, each
// sliding 24 px down into its place.
constexpr int kPanelX = 310, kPanelTop = 221, kPanelRest = 245;
constexpr int kPanelW = 212, kPanelH = 126, kPanelAreaH = 155, kPanelDrop = 24;
constexpr int kFirstLitW = 156, kFirstLitH = 25, kSecondLitH = 28;
constexpr std::uint8_t kEndMatch = 1; // the first panel's other button quits
constexpr std::uint8_t kYes = 1;

constexpr std::array<Rect, CMahjongMenu::kItems> kItemRects{
    Rect{733, 205, 788, 222}, Rect{687, 243, 789, 260}, Rect{725, 282, 797, 299},
    Rect{746, 321, 789, 338}};
constexpr std::array<Rect, 2> kFirstButtons{Rect{356, 271, 512, 296}, Rect{356, 316, 493, 341}};
constexpr std::array<Rect, 2> kSecondButtons{Rect{363, 315, 414, 343}, Rect{431, 315, 505, 343}};

constexpr StateTable<CMahjongMenu, 21> kStates{
    &CMahjongMenu::Open,
    &CMahjongMenu::FadeIn,
    &CMahjongMenu::SlideIn,
    &CMahjongMenu::Menu,
    &CMahjongMenu::Close,
    &CMahjongMenu::ListOpen,
    &CMahjongMenu::ListFade,
    &CMahjongMenu::ListBrowse,
    nullptr,
    nullptr,
    &CMahjongMenu::ConfirmOpen,
    &CMahjongMenu::ConfirmFade,
    &CMahjongMenu::FirstPanelIn,
    &CMahjongMenu::FirstPanel,
    &CMahjongMenu::FirstPanelOut,
    nullptr,
    &CMahjongMenu::SecondPanelIn,
    &CMahjongMenu::SecondPanel,
    &CMahjongMenu::SecondPanelOut,
    &CMahjongMenu::SecondPanelOut,
    &CMahjongMenu::Decide,
};

CDib* Back() {
    return g_backBuffer.get();
}

// Item n's row (1..4) and line k's row (0..3).
int ItemY(int item) {
    return 154 + 39 * item;
}
int LineY(int k) {
    return 229 + 39 * k;
}

// The pictures come in two sets; the heroine of the match picks one.
int Variant() {
    return g_gameApp ? (g_gameApp->opponentIndex & 1) : 0;
}

std::string Named(const char* form, int a, int b = 0) {
    char name[64];
    std::snprintf(name, sizeof name, form, a, b);
    return name;
}

std::string ListPageName(int page) {
    // One page stays hidden behind its stand-in until a story opens it.
    const bool secret = page == kSecretPage && g_config[config::kScriptFlags + 3] == 0;
    return Named(secret ? "bmp\\list_p%02d_%02ds.bmp" : "bmp\\list_p%02d_%02d.bmp", Variant(),
                 page);
}

// The step's end: a click that cut it short chooses nothing afterwards.
void EndStep(const StepClock& clock) {
    ClearClick();
    clock.Restart();
}

} // namespace

CMahjongMenu::CMahjongMenu() {
    if (g_gameApp) g_gameApp->screenRect = Rect{0, 0, kScreenWidth, kScreenHeight};
}

void CMahjongMenu::Run(platform::WindowHandle window) {
    RunState(*this, State, kStates, window);
}

Strips CMahjongMenu::Lines() {
    return {std::span(LineWidth).first(kItems), std::span(LineRunning).first(kItems),
            std::span(LineStart).first(kItems)};
}

// ---------------------------------------------------------------- the menu

void CMahjongMenu::Open(platform::WindowHandle) {
    if (g_gameApp) g_gameApp->screenRect = Rect{0, 0, kScreenWidth, kScreenHeight};
    const int v = Variant();
    CopyOfBackBuffer(kCopy);
    LoadSurface(kFrame, Named("bmp\\sys_base%02d.bmp", v).c_str());
    LoadSurface(kSheet, "bmp\\sys_moji.bmp");
    LoadSurface(kParts, Named("bmp\\sys_p%02d.bmp", v).c_str());
    CopyOfSurface(kComposed, Slot(kCopy));
    KeyedCopy(Slot(kComposed), 0, 0, Slot(kFrame), 0, 0, kScreenWidth, kScreenHeight);
    std::copy(kItemRects.begin(), kItemRects.end(), Rects.begin());
    HoverItem = PrevHoverItem = 0;
    Clock().Restart();
    State = 1;
}

void CMahjongMenu::FadeIn(platform::WindowHandle) {
    if (Fading(Clock(), Slot(kComposed), Slot(kCopy), kFadeMs, Hurry::BySkipOrClick)) return;
    EndStep(Clock());
    LineWidth.fill(0);
    LineRunning.fill(0);
    LineStart.fill(0);
    LineLevel.fill(0);
    Lines().Reset(StartTime);
    State = 2;
}

void CMahjongMenu::SlideIn(platform::WindowHandle) {
    const std::uint32_t now = platform::TimeGetTime();
    const std::uint32_t elapsed = Clock().Tick();
    CDib* parts = Slot(kParts);
    if (elapsed < kSlideMs && !SkipOrClick()) {
        ShowWhole(Slot(kComposed));
        const int x = static_cast<int>(StepLevel(elapsed, kSideW, kPanelSlideMs)) - kSideW;
        KeyedCopy(Back(), x, 0, Slot(kSheet), 0, 0, kSideW, kScreenHeight);
        for (int k = 0; k < kItems; ++k) {
            if (!LineRunning[k]) continue;
            const std::uint32_t level = Lines().Advance(k, now, kLineMs, kLineW);
            LineLevel[k] = static_cast<std::uint16_t>(level);
            const int w = LineWidth[k];
            KeyedCopy(Back(), kScreenWidth - w, LineY(k), parts, kLineSrcX, kLineSrcY, w, kLineH);
            BltAlphaBlend(Back(), kTextX, ItemY(k + 1), parts, kNormalSrcX, kRowH * k, kTextW,
                          kRowH, static_cast<int>(level));
            if (w >= kNextLineAt) Lines().Start(k + 1, now);
        }
        return;
    }
    // At rest the panel, the lines and the texts join the composition, which
    // every later restore reads.
    CDib* composed = Slot(kComposed);
    KeyedCopy(composed, 0, 0, Slot(kSheet), 0, 0, kSideW, kScreenHeight);
    for (int k = 0; k < kItems; ++k) {
        LineWidth[k] = kLineW;
        KeyedCopy(composed, kScreenWidth - kLineW, LineY(k), parts, kLineSrcX, kLineSrcY, kLineW,
                  kLineH);
        BltAlpha(composed, kTextX, ItemY(k + 1), parts, kNormalSrcX, kRowH * k, kTextW, kRowH);
    }
    ShowWhole(composed);
    std::copy(kItemRects.begin(), kItemRects.end(), Rects.begin());
    HoverItem = PrevHoverItem = 0;
    LabelPhase = 0;
    EndStep(Clock());
    State = 3;
}

void CMahjongMenu::DrawLabel(std::uint32_t now) {
    const int y = ItemY(HoverItem);
    const int sy = kRowH * (HoverItem - 1);
    const std::uint32_t t = now - LabelStart;
    const auto step = static_cast<int>(StepLevel(t, kLabelTravel, kLabelMs));
    if (LabelPhase == 1 && step < kLabelTravel && !SkipHeld()) {
        RestoreArea(Slot(kComposed), kLabelX, y, kLabelAreaW, kRowH);
        BltAlphaBlend(Back(), kLabelX + kLabelTravel - step, y, Slot(kParts), 0, sy, kLabelW, kRowH,
                      static_cast<int>(StepLevel(t, 254, kLabelMs)));
        return;
    }
    if (LabelPhase == 1) {
        // The last sliding frame stood a pixel to the right: clear it once.
        RestoreArea(Slot(kComposed), kLabelX, y, kLabelAreaW, kRowH);
        LabelPhase = 2;
    }
    KeyedCopy(Back(), kLabelX, y, Slot(kParts), 0, sy, kLabelW, kRowH);
}

void CMahjongMenu::Menu(platform::WindowHandle) {
    const std::uint32_t now = platform::TimeGetTime();
    if (TrackHover(HoverItem, PrevHoverItem, std::span(Rects).first(kItems))) {
        if (PrevHoverItem != 0) {
            const int y = ItemY(PrevHoverItem);
            RestoreArea(Slot(kComposed), kLabelX, y, kLabelAreaW, kRowH);
            RestoreArea(Slot(kComposed), kTextX, y, kTextW, kRowH);
            KeyedCopy(Back(), kTextX, y, Slot(kParts), kNormalSrcX, kRowH * (PrevHoverItem - 1),
                      kTextW, kRowH);
        }
        LabelPhase = 0;
        if (HoverItem != 0) {
            KeyedCopy(Back(), kTextX, ItemY(HoverItem), Slot(kParts), kLitSrcX,
                      kRowH * (HoverItem - 1), kTextW, kRowH);
            LabelPhase = 1;
            LabelStart = now;
        }
    }
    if (HoverItem != 0 && LabelPhase != 0) DrawLabel(now);
    if (HoverItem != 0 && TakeClick()) {
        Choose();
    } else if (TakeCancel()) {
        State = 4;
    }
}

void CMahjongMenu::Choose() {
    switch (HoverItem) {
    case 1:
        State = 5;
        break;
    case 2:
    case 3:
        // The rules and the settings come back straight to the match, putting
        // its picture back from the snapshot the match took.
        FreeSurfaces(kCopy, kLastSlot);
        State = 0;
        SetMenuReturn(1);
        LeaveTo(HoverItem == 2 ? kRulesMode : kSettingsMode);
        break;
    case 4:
        State = 10;
        break;
    default:
        break;
    }
}

void CMahjongMenu::Close(platform::WindowHandle) {
    FreeSurfaces(kCopy, kLastSlot);
    if (g_menuSnapshot) ShowWhole(g_menuSnapshot.get());
    // A press left over from the menu must not reach the match, where a
    // right click would open the menu again at once.
    ClearClick();
    TakeCancel();
    State = 0;
    LeaveTo(g_gameApp ? g_gameApp->returnMode : kTitleMode);
}

// ---------------------------------------------------------------- the combination list

void CMahjongMenu::ComposeList() {
    LoadSurface(kSheet, ListPageName(Page).c_str());
    CDib* composed = CopyOfSurface(kComposed, Slot(kCopy));
    KeyedCopy(composed, 0, 0, Slot(kFrame), 0, 0, kScreenWidth, kScreenHeight);
    KeyedCopy(composed, kPageX, kPageY, Slot(kSheet), 0, 0, kPageW, kPageH);
    KeyedCopy(composed, kTabX + kTabW * Page, kTabY, Slot(kParts), kTabW * Page, 0, kTabW, kTabH);
}

void CMahjongMenu::ListOpen(platform::WindowHandle) {
    const int v = Variant();
    CopyOfBackBuffer(kCopy);
    LoadSurface(kFrame, Named("bmp\\a_list%02d.bmp", v).c_str());
    LoadSurface(kParts, Named("bmp\\list_prats%02d.bmp", v).c_str());
    ComposeList();
    for (int i = 0; i < kListPages; ++i)
        Rects[i] = Rect{507 + kTabW * i, kTabY, 531 + kTabW * i, kTabY + kTabH};
    Rects[kListClose - 1] = v == 1 ? Rect{654, 558, 719, 576} : Rect{654, 560, 719, 578};
    Clock().Restart();
    State = 6;
}

void CMahjongMenu::ListFade(platform::WindowHandle) {
    if (Fading(Clock(), Slot(kComposed), Slot(kCopy), kListFadeMs, Hurry::BySkipOrClick)) return;
    EndStep(Clock());
    HoverItem = PrevHoverItem = 0;
    State = 7;
}

std::uint8_t CMahjongMenu::HitListButton() const {
    const std::uint8_t hit = HitItem(std::span(Rects).first(kListClose));
    // The tab of the page on show is no button.
    return hit == Page + 1 ? 0 : hit;
}

// A tab's marks stand 2 px left of its rectangle and are 28 wide: the whole
// mark is restored, so no edge of it stays behind.
void CMahjongMenu::ShowListButton(std::uint8_t button, bool lit) {
    const Rect& r = Rects[button - 1];
    if (button == kListClose) {
        if (lit)
            KeyedCopy(Back(), r.left, r.top, Slot(kParts), 0, kCloseSrcY, kCloseW, kCloseH);
        else
            RestoreArea(Slot(kComposed), r.left, r.top, RectWidth(r), RectHeight(r));
        return;
    }
    if (lit)
        KeyedCopy(Back(), r.left - 2, r.top, Slot(kParts), kTabW * (button - 1), kTabH, kTabW,
                  kTabH);
    else
        RestoreArea(Slot(kComposed), r.left - 2, r.top, kTabW, kTabH);
}

void CMahjongMenu::ListBrowse(platform::WindowHandle) {
    PrevHoverItem = HoverItem;
    HoverItem = HitListButton();
    if (HoverItem != PrevHoverItem) {
        if (PrevHoverItem != 0) ShowListButton(PrevHoverItem, false);
        if (HoverItem != 0) ShowListButton(HoverItem, true);
    }
    if (HoverItem != 0 && TakeClick()) {
        if (HoverItem == kListClose) {
            State = 4;
            return;
        }
        // Page turns show the new page at once, without a fade.
        Page = static_cast<std::uint8_t>(HoverItem - 1);
        ComposeList();
        ShowWhole(Slot(kComposed));
        HoverItem = 0;
    } else if (TakeCancel()) {
        State = 4;
    }
}

// ---------------------------------------------------------------- the end confirmation

void CMahjongMenu::ConfirmOpen(platform::WindowHandle) {
    CopyOfBackBuffer(kCopy);
    LoadSurface(kFrame, Named("bmp\\sys_base%02d.bmp", Variant()).c_str());
    CDib* composed = CopyOfSurface(kComposed, Slot(kCopy));
    KeyedCopy(composed, 0, 0, Slot(kFrame), 0, 0, kScreenWidth, kScreenHeight);
    LoadSurface(kSheet, Named("bmp\\end_p%02d.bmp", Variant()).c_str());
    FirstHover = PrevFirstHover = SecondHover = PrevSecondHover = 0;
    Clock().Restart();
    State = 11;
}

void CMahjongMenu::ConfirmFade(platform::WindowHandle) {
    if (Fading(Clock(), Slot(kComposed), Slot(kCopy), kConfirmFadeMs, Hurry::BySkipOrClick)) return;
    EndStep(Clock());
    State = 12;
}

bool CMahjongMenu::PanelIn(int sx) {
    const std::uint32_t elapsed = Clock().Tick();
    const std::uint32_t level = FadeLevel(elapsed, kPanelMs);
    if (level < kFull && !SkipOrClick()) {
        RestoreArea(Slot(kComposed), kPanelX, kPanelTop, kPanelW, kPanelAreaH);
        BltAlphaBlend(Back(), kPanelX,
                      kPanelTop + static_cast<int>(elapsed * kPanelDrop / kPanelMs), Slot(kSheet),
                      sx, 0, kPanelW, kPanelH, static_cast<int>(level));
        return true;
    }
    KeyedCopy(Slot(kComposed), kPanelX, kPanelRest, Slot(kSheet), sx, 0, kPanelW, kPanelH);
    RestoreArea(Slot(kComposed), kPanelX, kPanelTop, kPanelW, kPanelAreaH);
    EndStep(Clock());
    return false;
}

bool CMahjongMenu::PanelOut(int sx) {
    const std::uint32_t elapsed = Clock().Tick();
    const std::uint32_t level = FadeLevel(elapsed, kPanelMs);
    RestoreArea(Slot(kComposed), kPanelX, kPanelRest, kPanelW, kPanelAreaH);
    if (level < kFull && !SkipOrClick()) {
        BltAlphaBlend(Back(), kPanelX,
                      kPanelRest + static_cast<int>(elapsed * kPanelDrop / kPanelMs), Slot(kSheet),
                      sx, 0, kPanelW, kPanelH, static_cast<int>(kFull - level));
        return true;
    }
    EndStep(Clock());
    return false;
}

void CMahjongMenu::ClearPanel() {
    BltCopy(Slot(kComposed), kPanelX, kPanelRest, Slot(kCopy), kPanelX, kPanelRest, kPanelW,
            kPanelAreaH);
    KeyedCopy(Slot(kComposed), kPanelX, kPanelRest, Slot(kFrame), kPanelX, kPanelRest, kPanelW,
              kPanelAreaH);
}

void CMahjongMenu::LightPanelButton(std::uint8_t& hover, std::uint8_t& previous, int sx, int litW,
                                    int litH) {
    if (!TrackHover(hover, previous, std::span(Rects).first(2))) return;
    auto width = [&](const Rect& r) { return litW != 0 ? litW : RectWidth(r); };
    if (previous != 0) {
        const Rect& r = Rects[previous - 1];
        RestoreArea(Slot(kComposed), r.left, r.top, width(r), litH);
    }
    if (hover != 0) {
        const Rect& r = Rects[hover - 1];
        KeyedCopy(Back(), r.left, r.top, Slot(kSheet), sx, kPanelH + litH * (hover - 1), width(r),
                  litH);
    }
}

void CMahjongMenu::FirstPanelIn(platform::WindowHandle) {
    if (PanelIn(0)) return;
    std::copy(kFirstButtons.begin(), kFirstButtons.end(), Rects.begin());
    FirstHover = PrevFirstHover = 0;
    State = 13;
}

void CMahjongMenu::FirstPanel(platform::WindowHandle) {
    // The question has no way back of its own: a right click is dropped so
    // that it cannot reach the match later.
    TakeCancel();
    LightPanelButton(FirstHover, PrevFirstHover, 0, kFirstLitW, kFirstLitH);
    if (FirstHover != 0 && TakeClick()) {
        ClearPanel();
        Clock().Restart();
        State = 14;
    }
}

void CMahjongMenu::FirstPanelOut(platform::WindowHandle) {
    if (PanelOut(0)) return;
    State = 16;
}

void CMahjongMenu::SecondPanelIn(platform::WindowHandle) {
    if (PanelIn(kPanelW * FirstHover)) return;
    std::copy(kSecondButtons.begin(), kSecondButtons.end(), Rects.begin());
    SecondHover = PrevSecondHover = 0;
    State = 17;
}

void CMahjongMenu::SecondPanel(platform::WindowHandle) {
    LightPanelButton(SecondHover, PrevSecondHover, kPanelW * FirstHover, 0, kSecondLitH);
    if (SecondHover != 0 && TakeClick()) {
        ClearPanel();
        Clock().Restart();
        State = SecondHover == kYes ? 18 : 19;
    } else if (TakeCancel()) {
        // Back to the first question: its panel slides in again over the
        // frame, and nothing is chosen yet.
        ClearPanel();
        ShowWhole(Slot(kComposed));
        std::copy(kFirstButtons.begin(), kFirstButtons.end(), Rects.begin());
        FirstHover = PrevFirstHover = SecondHover = PrevSecondHover = 0;
        Clock().Restart();
        State = 12;
    }
}

void CMahjongMenu::SecondPanelOut(platform::WindowHandle) {
    if (PanelOut(kPanelW * FirstHover)) return;
    State = 20;
}

void CMahjongMenu::Decide(platform::WindowHandle window) {
    if (SecondHover != kYes) {
        State = 4;
        return;
    }
    if (FirstHover == kEndMatch) {
        EndMatch();
        return;
    }
    State = kQuitting;
    Quit(window);
}

// The match is given up: its pictures, sounds and the menu's go, and the
// match object starts over, so the next match, however it is entered, deals
// afresh instead of taking up this one's hand.
void CMahjongMenu::EndMatch() {
    CopyOfBackBuffer(0);
    FreeSurfaces(1, kLastSlot);
    StopScreenSounds();
    FreeSeSlot(1);
    FreeVoiceSlot(0);
    if (g_scenario) g_scenario->bgmPlaying = 0;
    if (g_mahjongGame) {
        g_mahjongGame->Reset();
        g_mahjongGame->ClearTable();
    }
    State = 0;
    ClearClick();
    LeaveTo(kTitleMode);
}
