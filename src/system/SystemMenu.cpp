#include "system/SystemMenu.h"

#include "app/Config.h"
#include "app/GameApp.h"
#include "app/Input.h"
#include "app/Shell.h"
#include "gfx/Blend.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "gfx/TrigTables.h"
#include "scenario/Scenario.h"
#include "screenkit/ScreenKit.h"
#include "sound/SoundChannel.h"

#include <algorithm>
#include <span>

using namespace screenkit;
using platform::Rect;

std::unique_ptr<CSystemMenu> g_systemMenu;

namespace {

constexpr std::uint8_t kTitleMode = 1;
constexpr std::array<std::uint8_t, 4> kEntryModes{10, 11, 6, 9};
constexpr int kExitEntry = 5;
constexpr int kTitleChoice = 1;
constexpr int kQuitChoice = 2;
constexpr int kCancelChoice = 3;

constexpr std::uint32_t kFadeInMs = 300;
constexpr std::uint32_t kStripMs = 200;
constexpr std::uint32_t kEntriesMs = 300;
constexpr std::uint32_t kLineMs = 100;
constexpr std::int32_t kLineTravel = 200;
constexpr std::int32_t kNextLineAt = 128;
constexpr std::uint32_t kMarkMs = 300;
constexpr std::uint32_t kFadeOutMs = 500;
constexpr std::uint32_t kDialogFadeMs = 500;
constexpr std::uint32_t kDropMs = 400;
constexpr std::uint32_t kDialogLeaveMs = 500;
constexpr int kDim = 198;

constexpr int kLabelWidth = 142;
constexpr int kRowHeight = 38;
constexpr int kFirstRow = 190;
constexpr int kStripWidth = 134;
constexpr int kPanelSize[2] = {276, 270};
constexpr int kRowW = 203;
constexpr int kRowH = 54;
constexpr int kCancelW = 76;
constexpr int kCancelH = 41;
// The second question: its panel and the yes and no buttons (yes at y 0,
// no at y 50 of the button sheet; lit at x 100, glow at x 200).
constexpr std::uint32_t kQuestionLeaveMs = 400;
constexpr int kQuestionX = 237;
constexpr int kQuestionY = 207;
constexpr int kQuestionW = 316;
constexpr int kQuestionH = 142;
constexpr int kYesX = 287;
constexpr int kNoX = 403;
constexpr int kAnswerY = 282;
constexpr int kAnswerW = 100;
constexpr int kAnswerH = 50;
constexpr int kYes = 1;
constexpr int kNo = 2;

constexpr std::array<Picture, 4> kMenuPictures{{
    {31, "system\\sys_m_base.bmp"},
    {32, "system\\sys_m_moji.bmp"},
    {34, "system\\sys_m_p01.bmp"},
    {35, "system\\sys_m_p02.bmp"},
}};

constexpr std::array<Picture, 4> kDialogPictures{{
    {41, "system\\exit_up.bmp"},
    {42, "system\\EXIT_bg.bmp"},
    {44, "system\\exit_p.bmp"},
    {46, "system\\cancel.bmp"},
}};

constexpr StateTable<CSystemMenu, 23> kStates{
    &CSystemMenu::Open,
    &CSystemMenu::FadeIn,
    &CSystemMenu::StripAndPanel,
    &CSystemMenu::Entries,
    &CSystemMenu::Input,
    &CSystemMenu::FadeOut,
    &CSystemMenu::Dispatch,
    nullptr,
    nullptr,
    nullptr,
    &CSystemMenu::DialogOpen,
    &CSystemMenu::DialogFade,
    &CSystemMenu::DialogDropIn,
    &CSystemMenu::DialogInput,
    &CSystemMenu::DialogLeave,
    &CSystemMenu::DialogChosen,
    &CSystemMenu::QuestionOpen,
    &CSystemMenu::QuestionDropIn,
    &CSystemMenu::QuestionInput,
    &CSystemMenu::QuestionLeave,
    &CSystemMenu::Answered,
    &CSystemMenu::Finish,
    &CSystemMenu::Glide,
};

int RowY(int k) {
    return kFirstRow + kRowHeight * (k - 1);
}

// The drop of a dialog panel: 24 px along a quarter sine.
int Drop(std::uint32_t elapsed, std::uint32_t duration) {
    const int degrees = static_cast<int>(std::min(elapsed, duration) * 90 / duration);
    return static_cast<int>(SinDeg(degrees) * 24);
}

CDib* Back() {
    return g_backBuffer.get();
}

// Every looping effect a story started stands in the script's effect slots
// (1..9); a title screen that leaves any of them playing would carry the
// story's sound into the next game.
void StopStorySounds() {
    for (std::size_t c = 1; c < g_seChannels.size(); ++c)
        FreeSeSlot(static_cast<int>(c));
    if (g_gameApp) g_gameApp->seName.fill('\0');
}

} // namespace

CSystemMenu::CSystemMenu() {
    entryRects = {Rect{738, 200, 788, 222}, Rect{738, 238, 788, 260}, Rect{708, 276, 788, 298},
                  Rect{670, 316, 788, 338}, Rect{750, 352, 788, 374}};
}

void CSystemMenu::Update(platform::WindowHandle window) {
    RunState(*this, state, kStates, window);
}

void CSystemMenu::Open(platform::WindowHandle window) {
    InvalidateRect(window, Rect{0, 0, kScreenWidth, kScreenHeight});
    CopyOfBackBuffer(30);
    LoadPictures(kMenuPictures);
    CopyOfBackBuffer(33);
    BltAlpha(Slot(30), 0, 0, Slot(31), 0, 0, kScreenWidth, kScreenHeight);
    markPhase = 0;
    Clock().Restart();
    state = 1;
}

void CSystemMenu::FadeIn(platform::WindowHandle) {
    if (Fading(Clock(), Slot(30), Slot(33), kFadeInMs, Hurry::BySkip)) return;
    state = 2;
}

void CSystemMenu::StripAndPanel(platform::WindowHandle) {
    const std::uint32_t p = FadeLevel(Clock().Tick(), kStripMs);
    if (p < kFull && !SkipHeld()) {
        RestoreArea(Slot(30), 0, 0, kStripWidth, kScreenHeight);
        RestoreArea(Slot(30), 524, 330, kPanelSize[0], kPanelSize[1]);
        const int w = static_cast<int>(p * kStripWidth / 256);
        BltAlphaBlend(Back(), 0, 0, Slot(32), kStripWidth - w, 0, w, kScreenHeight,
                      static_cast<int>(p * p / 256));
        const int shift = static_cast<int>(p * 38 / 256);
        BltAlphaBlend(Back(), 562 - shift, 368 - shift, Slot(34), 0, 0, kPanelSize[0],
                      kPanelSize[1], static_cast<int>(p));
        return;
    }
    BltAlpha(Slot(30), 0, 0, Slot(32), 0, 0, kStripWidth, kScreenHeight);
    BltAlpha(Slot(30), 524, 330, Slot(34), 0, 0, kPanelSize[0], kPanelSize[1]);
    ShowWhole(Slot(30));
    const std::uint32_t now = platform::TimeGetTime();
    lineStart[0] = now;
    lineMoving[0] = 1;
    stateTime = now;
    state = 3;
}

void CSystemMenu::Entries(platform::WindowHandle) {
    const std::uint32_t now = platform::TimeGetTime();
    const std::uint32_t p = FadeLevel(Clock().Tick(), kEntriesMs);
    if (p < kFull && !SkipHeld()) {
        ShowWhole(Slot(30));
        for (int k = 1; k <= kEntries; ++k)
            BltAlphaBlend(Back(), 682 - static_cast<int>(p * 13 / 128), RowY(k), Slot(35), 258,
                          labelY[k - 1], kLabelWidth, labelHeight[k - 1], static_cast<int>(p));
        // Each separator line starts when the one above has come 128 px.
        for (int k = 0; k < kLines; ++k) {
            if (!lineMoving[k]) continue;
            const std::uint32_t q = StepLevel(now - lineStart[k], 255 * 8, kLineMs * 8);
            lineOffset[k] =
                std::min<std::int32_t>(static_cast<std::int32_t>(q * 25 / 32), kLineTravel);
            if (k + 1 < kLines && !lineMoving[k + 1] && lineOffset[k] >= kNextLineAt) {
                lineMoving[k + 1] = 1;
                lineStart[k + 1] = now;
            }
            BltAlphaBlend(Back(), 640 - lineOffset[k], lineY[k], Slot(35), 162, 228, 380, 4,
                          static_cast<int>(p));
        }
        return;
    }
    for (int k = 0; k < kLines; ++k) {
        lineOffset[k] = kLineTravel;
        BltAlpha(Slot(30), 440, lineY[k], Slot(35), 162, 228, 380, 4);
    }
    for (int k = 1; k <= kEntries; ++k)
        BltAlpha(Slot(30), 656, RowY(k), Slot(35), 258, labelY[k - 1], kLabelWidth,
                 labelHeight[k - 1]);
    ShowWhole(Slot(30));
    GlideOr(4, 759, 202);
}

void CSystemMenu::GlideOr(std::uint8_t next, int x, int y) {
    stateTime = platform::TimeGetTime();
    if (g_config[config::kCursorGlide] == 0) {
        state = next;
        return;
    }
    glideFrom = {static_cast<std::int16_t>(g_mouse ? g_mouse->x : x),
                 static_cast<std::int16_t>(g_mouse ? g_mouse->y : y)};
    glideTarget = {static_cast<std::int16_t>(x), static_cast<std::int16_t>(y)};
    afterGlide = next;
    state = 22;
}

void CSystemMenu::Glide(platform::WindowHandle window) {
    const std::uint32_t now = platform::TimeGetTime();
    if (GlideCursor(window, now - stateTime, glideFrom[0], glideFrom[1], glideTarget[0],
                    glideTarget[1]))
        return;
    stateTime = now;
    state = afterGlide;
    ClearClick();
}

void CSystemMenu::Input(platform::WindowHandle) {
    const std::uint32_t now = platform::TimeGetTime();
    prevHover = hover;
    hover = HitItem(entryRects);
    // Saving and loading belong to the story itself: a replayed scene or a
    // mini-game's story cannot be saved or loaded.
    if ((hover == 1 || hover == 2) && g_scenario && g_scenario->playContext != 0) hover = 0;
    if (hover != prevHover) {
        RestoreArea(Slot(30), 480, 190, 316, 200);
        if (hover != 0) {
            BlendAddAlpha(Back(), 656, RowY(hover), Slot(35), 400, labelY[hover - 1], kLabelWidth,
                          labelHeight[hover - 1], 255);
            markPhase = 1;
            markTime = now;
        } else {
            markPhase = 0;
        }
    }
    if (hover != 0 && markPhase != 0) {
        const int k = hover - 1;
        const std::uint32_t t = now - markTime;
        const std::uint32_t s = StepLevel(t, 12, kMarkMs);
        if (markPhase == 1 && s < 12) {
            RestoreArea(Slot(30), 480, RowY(hover), 168, labelHeight[k]);
            BltAlphaBlend(Back(), 492 - static_cast<int>(s), RowY(hover), Slot(35), 107, labelY[k],
                          150, labelHeight[k], static_cast<int>(StepLevel(t, 254, kMarkMs)));
        } else {
            // Steady, the mark is laid again each frame over what stands.
            markPhase = 2;
            BltAlpha(Back(), 480, RowY(hover), Slot(35), 107, labelY[k], 150, labelHeight[k]);
        }
    }
    if (hover != 0 && TakeClick()) {
        PlaySe(0, "se\\sys_010.ogg");
        state = 6;
    } else if (TakeCancel()) {
        hover = 0;
        Clock().Restart();
        state = 5;
    }
}

void CSystemMenu::FadeOut(platform::WindowHandle) {
    CDib* story = g_menuSnapshot ? g_menuSnapshot.get() : Slot(33);
    if (Fading(Clock(), story, Slot(30), kFadeOutMs, Hurry::BySkip)) return;
    state = 6;
}

void CSystemMenu::Dispatch(platform::WindowHandle) {
    if (hover == kExitEntry) {
        state = 10;
        return;
    }
    state = 0;
    FreeSurfaces(30, 35);
    if (hover >= 1 && hover <= 4) {
        // The screen opened from here comes back straight to the story,
        // fading to the snapshot taken when the menu opened.
        SetMenuReturn(1);
        LeaveTo(kEntryModes[hover - 1]);
        return;
    }
    LeaveTo(g_gameApp ? g_gameApp->returnMode : kTitleMode);
}

void CSystemMenu::DialogOpen(platform::WindowHandle) {
    CopyOfBackBuffer(39);
    LoadPictures(kDialogPictures);
    CopyOfSurface(40, Slot(33));
    BlankSurface(43, kBlack);
    BltStretchBlend(Slot(40), 0, 0, kScreenWidth, kScreenHeight, Slot(43), 0, 0, 0, kScreenWidth,
                    kScreenHeight, kDim);
    FreeSurface(43);
    BltAlpha(Slot(40), 0, 0, Slot(41), 0, 0, kScreenWidth, kScreenHeight);
    dialogRects = {Rect{308, 235, 488, 267}, Rect{308, 284, 488, 316}, Rect{520, 320, 575, 340}};
    hover = prevHover = 0;
    Clock().Restart();
    state = 11;
}

void CSystemMenu::DialogFade(platform::WindowHandle) {
    if (Fading(Clock(), Slot(40), Slot(39), kDialogFadeMs, Hurry::BySkip)) return;
    FreeSurface(39);
    PlaySe(0, "se\\Pop_D002R.ogg");
    state = 12;
}

// The panel, the two choice rows (return to the title above, quit below)
// and the cancel button, dropped by `dy`.
void CSystemMenu::DrawDialog(int dy, int opacity, bool withCancel) {
    BltAlphaBlend(Back(), 204, 205 + dy, Slot(42), 0, 0, 382, 146, opacity);
    BltAlphaBlend(Back(), 296, 225 + dy, Slot(44), 0, kRowH, kRowW, kRowH, opacity);
    BltAlphaBlend(Back(), 296, 272 + dy, Slot(44), 0, 0, kRowW, kRowH, opacity);
    if (withCancel)
        BltAlphaBlend(Back(), 509, 309 + dy, Slot(46), 0, 0, kCancelW, kCancelH, opacity);
}

void CSystemMenu::DialogDropIn(platform::WindowHandle) {
    const std::uint32_t t = Clock().Tick();
    const std::uint32_t p = FadeLevel(t, kDropMs);
    RestoreArea(Slot(40), 204, 181, 382, 170);
    if (p < kFull && !SkipHeld()) {
        DrawDialog(Drop(t, kDropMs) - 24, static_cast<int>(p) - 1, true);
        return;
    }
    DrawDialog(0, 255, true);
    GlideOr(13, 397, 252);
}

void CSystemMenu::DialogInput(platform::WindowHandle) {
    // The dialog has no way back but its cancel choice: a right click here
    // is dropped so that it does not reopen the menu in the story.
    TakeCancel();
    if (TrackHover(hover, prevHover, dialogRects)) {
        RestoreArea(Slot(40), 204, 181, 382, 170);
        DrawDialog(0, 255, true);
        if (hover == kTitleChoice) {
            BltCopy(Back(), 296, 225, Slot(40), 296, 225, kRowW, kRowH);
            BltAlpha(Back(), 296, 225, Slot(42), 92, 20, kRowW, kRowH);
            BltAlpha(Back(), 296, 225, Slot(44), kRowW, kRowH, kRowW, kRowH);
        } else if (hover == kQuitChoice) {
            BltCopy(Back(), 296, 272, Slot(40), 296, 272, kRowW, kRowH);
            BltAlpha(Back(), 296, 272, Slot(42), 92, 67, kRowW, kRowH);
            BltAlpha(Back(), 296, 272, Slot(44), kRowW, 1, kRowW, kRowH - 1);
        } else if (hover == kCancelChoice) {
            BltCopy(Back(), 509, 309, Slot(40), 509, 309, kCancelW + 1, kCancelH);
            BltAlpha(Back(), 509, 309, Slot(42), 305, 104, kCancelW, kCancelH);
            BltAlpha(Back(), 510, 309, Slot(46), kCancelW, 0, kCancelW, kCancelH);
        }
    }
    if (hover != 0 && TakeClick()) {
        PlaySe(0, "se\\sys_a002.ogg");
        choice = hover;
        Clock().Restart();
        state = 14;
    }
}

void CSystemMenu::DialogLeave(platform::WindowHandle) {
    const std::uint32_t t = Clock().Tick();
    const std::uint32_t p = FadeLevel(t, kDialogLeaveMs);
    RestoreArea(Slot(40), 204, 181, 382, 194);
    if (p < kFull && !SkipHeld()) {
        const int d = Drop(t, kDialogLeaveMs);
        DrawDialog(d, 253 - static_cast<int>(p), choice == kCancelChoice);
        const int glow = 128 - static_cast<int>(p / 2);
        if (choice == kCancelChoice) {
            BlendAddAlpha(Back(), 509, 309 + d, Slot(46), 152, 0, kCancelW, kCancelH, glow);
        } else {
            const int y = (choice == kTitleChoice ? 225 : 272) + d;
            const int row = choice == kTitleChoice ? kRowH : 0;
            BltAlphaBlend(Back(), 296, y, Slot(44), 0, row, kRowW, kRowH,
                          254 - static_cast<int>(p));
            BlendAddAlpha(Back(), 296, y, Slot(44), 406, row, kRowW, kRowH, glow);
        }
        return;
    }
    stateTime = platform::TimeGetTime();
    state = 15;
}

void CSystemMenu::DialogChosen(platform::WindowHandle) {
    if (choice == kCancelChoice) {
        BackToStory();
        return;
    }
    PlaySe(0, "se\\Pop_D002R.ogg");
    state = 16;
}

// Returning to the title or quitting ends the story unsaved: asked once
// more, with the question's own panel.
void CSystemMenu::QuestionOpen(platform::WindowHandle) {
    LoadSurface(43, choice == kTitleChoice ? "system\\EXIT_bg_03.bmp" : "system\\EXIT_bg_02.bmp");
    LoadSurface(45, "system\\ok_button.bmp");
    answer = prevAnswer = 0;
    dialogRects[0] = Rect{297, 293, 377, 323};
    dialogRects[1] = Rect{412, 293, 492, 323};
    Clock().Restart();
    state = 17;
}

// The panel and both buttons, dropped by `dy`.
void CSystemMenu::DrawQuestion(int dy, int opacity) {
    BltAlphaBlend(Back(), kQuestionX, kQuestionY + dy, Slot(43), 0, 0, kQuestionW, kQuestionH,
                  opacity);
    BltAlphaBlend(Back(), kYesX, kAnswerY + dy, Slot(45), 0, 0, kAnswerW, kAnswerH, opacity);
    BltAlphaBlend(Back(), kNoX, kAnswerY + dy, Slot(45), 0, kAnswerH, kAnswerW, kAnswerH, opacity);
}

void CSystemMenu::QuestionDropIn(platform::WindowHandle) {
    const std::uint32_t t = Clock().Tick();
    const std::uint32_t p = FadeLevel(t, kDropMs);
    RestoreArea(Slot(40), kQuestionX, 183, kQuestionW, 166);
    if (p < kFull && !SkipHeld()) {
        DrawQuestion(Drop(t, kDropMs) - 24, static_cast<int>(p) - 1);
        return;
    }
    DrawQuestion(0, 255);
    GlideOr(18, 337, 307);
}

void CSystemMenu::QuestionInput(platform::WindowHandle) {
    // As in the dialog, a right click answers nothing.
    TakeCancel();
    if (TrackHover(answer, prevAnswer, std::span(dialogRects).first(2))) {
        RestoreArea(Slot(40), kQuestionX, kQuestionY, kQuestionW, kQuestionH);
        DrawQuestion(0, 255);
        // The lit button replaces the plain one: the panel under it first.
        const int x = answer == kYes ? kYesX : kNoX;
        if (answer != 0) {
            BltCopy(Back(), x, kAnswerY, Slot(40), x, kAnswerY, kAnswerW, kAnswerH);
            BltAlpha(Back(), x, kAnswerY, Slot(43), x - kQuestionX, kAnswerY - kQuestionY, kAnswerW,
                     kAnswerH);
        }
        if (answer == kYes)
            BltAlpha(Back(), kYesX + 1, kAnswerY, Slot(45), kAnswerW, 0, kAnswerW - 1, kAnswerH);
        else if (answer == kNo)
            BltAlpha(Back(), kNoX, kAnswerY, Slot(45), kAnswerW, kAnswerH, kAnswerW, kAnswerH);
    }
    if (answer != 0 && TakeClick()) {
        PlaySe(0, "se\\sys_a002.ogg");
        Clock().Restart();
        state = 19;
    }
}

// The panel and the yes button sink and fade; the chosen button's glow
// goes out over them.
void CSystemMenu::QuestionLeave(platform::WindowHandle) {
    const std::uint32_t t = Clock().Tick();
    const std::uint32_t p = FadeLevel(t, kQuestionLeaveMs);
    RestoreArea(Slot(40), kQuestionX, 200, kQuestionW, 173);
    if (p < kFull && !SkipHeld()) {
        const int d = Drop(t, kQuestionLeaveMs);
        const int opacity = 254 - static_cast<int>(StepLevel(t, 180, kQuestionLeaveMs));
        BltAlphaBlend(Back(), kQuestionX, kQuestionY + d, Slot(43), 0, 0, kQuestionW, kQuestionH,
                      opacity);
        BltAlphaBlend(Back(), kYesX, kAnswerY + d, Slot(45), 0, 0, kAnswerW, kAnswerH, opacity);
        const int glow = 128 - static_cast<int>(p / 2);
        if (answer == kYes)
            BlendAddAlpha(Back(), kYesX, kAnswerY + d, Slot(45), 2 * kAnswerW, 0, kAnswerW,
                          kAnswerH, glow);
        else
            BlendAddAlpha(Back(), kNoX, kAnswerY + d, Slot(45), 0, kAnswerH, kAnswerW, kAnswerH,
                          glow);
        return;
    }
    Clock().Restart();
    state = 20;
}

void CSystemMenu::Answered(platform::WindowHandle) {
    if (answer != kYes) {
        BackToStory();
        return;
    }
    state = 21;
}

void CSystemMenu::BackToStory() {
    FreeSurfaces(39, 46);
    CopyOfBackBuffer(30);
    hover = 0;
    Clock().Restart();
    state = 5;
}

void CSystemMenu::Finish(platform::WindowHandle window) {
    if (choice == kQuitChoice) {
        Quit(window);
        return;
    }
    state = 0;
    FreeSurfaces(30, 46);
    StopStorySounds();
    LeaveTo(kTitleMode);
}
