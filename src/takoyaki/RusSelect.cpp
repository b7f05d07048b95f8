#include "takoyaki/RusSelect.h"

#include "app/Config.h"
#include "app/GameApp.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "scenario/Scenario.h"
#include "screenkit/ScreenKit.h"
#include "sound/SoundChannel.h"

#include <algorithm>

using namespace screenkit;
using platform::Rect;

std::unique_ptr<CRusSelect> g_rusSelect;

namespace {

constexpr int kCardW = 234;
constexpr int kCardH = 175;
constexpr int kNameW = 310;
constexpr int kNameH = 94;
constexpr int kNameY = 500;

constexpr std::array<Picture, 3> kPictures{{
    {1, "bmp\\rus_c_s_base.bmp"},
    {2, "bmp\\rus_s_p.bmp"},
    {3, "bmp\\rus_s_name.bmp"},
}};

constexpr std::array<const char*, CRusSelect::kCards> kFirstScripts{
    "rus_pom_1.s", "rus_kel_1.s", "rus_ux_1.s", "rus_mur_1.s", "rus_dor_1.s", "rus_hol_1.s",
};

constexpr StateTable<CRusSelect, 6> kStates{
    &CRusSelect::Open, &CRusSelect::FadeIn, &CRusSelect::Input,
    nullptr,           &CRusSelect::Start,  &CRusSelect::Back,
};

bool Beaten(int card) {
    return g_config[config::kContestBeaten + static_cast<std::size_t>(card - 1)] == 1;
}

} // namespace

CRusSelect::CRusSelect() {
    CardRects = {Rect{309, 26, 543, 201},  Rect{548, 26, 782, 201},  Rect{309, 205, 543, 380},
                 Rect{548, 205, 782, 380}, Rect{309, 384, 543, 559}, Rect{548, 384, 782, 559}};
    if (g_gameApp) g_gameApp->screenRect = Rect{0, 0, kScreenWidth, kScreenHeight};
}

void CRusSelect::Run(platform::WindowHandle window) {
    RunState(*this, State, kStates, window);
}

void CRusSelect::DrawBeatenMark(CDib* target, int card) {
    if (!Beaten(card)) return;
    const int c = (card - 1) % 2;
    const int r = (card - 1) / 2;
    KeyedCopy(target, 430 + 239 * c, 28 + 179 * r, Slot(2), 0, 525, 112, 44);
}

void CRusSelect::Open(platform::WindowHandle) {
    CopyOfBackBuffer(0);
    LoadPictures(kPictures);
    HoverCard = PrevHoverCard = BackHover = PrevBackHover = 0;
    int beaten = 0;
    for (int k = 0; k < kCards; ++k)
        beaten += g_config[config::kContestBeaten + static_cast<std::size_t>(k)];
    BeatenCount = static_cast<std::uint8_t>(std::min(beaten, 5));
    for (int card = 1; card <= OpenCards(); ++card) {
        const int c = (card - 1) % 2;
        const int r = (card - 1) / 2;
        const Rect& rect = CardRects[card - 1];
        KeyedCopy(Slot(1), rect.left, rect.top, Slot(2), kCardW * c, kCardH * r, kCardW, kCardH);
        DrawBeatenMark(Slot(1), card);
    }
    Clock().Restart();
    State = 1;
}

void CRusSelect::FadeIn(platform::WindowHandle) {
    if (Fading(Clock(), Slot(1), Slot(0), 800, Hurry::BySkipOrClick)) return;
    ClearClick();
    State = 2;
}

void CRusSelect::Input(platform::WindowHandle) {
    PrevHoverCard = HoverCard;
    PrevBackHover = BackHover;
    HoverCard = 0;
    for (int card = 1; card <= OpenCards(); ++card) {
        if (MouseIn(CardRects[card - 1])) {
            HoverCard = static_cast<std::uint8_t>(card);
            break;
        }
    }
    BackHover = MouseIn(BackRect) ? 1 : 0;
    if (BackHover != PrevBackHover) {
        if (BackHover)
            KeyedCopy(g_backBuffer.get(), BackRect.left, BackRect.top, Slot(2), 112, 525, 127, 35);
        else
            RestoreArea(Slot(1), BackRect.left, BackRect.top, 127, 35);
    }
    if (HoverCard != PrevHoverCard) {
        if (PrevHoverCard != 0) {
            const Rect& r = CardRects[PrevHoverCard - 1];
            RestoreArea(Slot(1), r.left, r.top, RectWidth(r), RectHeight(r));
            RestoreArea(Slot(1), 0, kNameY, kNameW, kNameH);
        }
        if (HoverCard != 0) {
            const int c = (HoverCard - 1) % 2;
            const int r = (HoverCard - 1) / 2;
            const Rect& rect = CardRects[HoverCard - 1];
            KeyedCopy(g_backBuffer.get(), rect.left, rect.top, Slot(2), 468 + kCardW * c,
                      kCardH * r, kCardW, kCardH);
            KeyedCopy(g_backBuffer.get(), 0, kNameY, Slot(3), 0, kNameH * (HoverCard - 1), kNameW,
                      kNameH);
            DrawBeatenMark(g_backBuffer.get(), HoverCard);
        }
    }
    if ((HoverCard != 0 || BackHover) && TakeClick()) {
        if (g_bgmChannel) g_bgmChannel->FadeOut(1000);
        if (g_scenario) g_scenario->bgmPlaying = 0;
        CopyOfBackBuffer(0);
        if (HoverCard != 0) {
            State = 4;
        } else {
            BackHover = 0;
            State = 5;
        }
        return;
    }
    if (TakeCancel()) {
        PlaySe(2, "se\\Pop_D002.ogg");
        BlankSurface(0, kBlack);
        BackHover = 0;
        ClearClick();
        State = 5;
    }
}

void CRusSelect::Leave(std::uint8_t state) {
    FreeSurfaces(1, 4);
    FreeVoiceSlot(0);
    State = state;
}

void CRusSelect::Start(platform::WindowHandle) {
    const int opponent = HoverCard - 1;
    Leave(0);
    if (g_gameApp) g_gameApp->opponentIndex = static_cast<std::uint8_t>(opponent);
    LeaveForStory(kFirstScripts[static_cast<std::size_t>(opponent)], 3);
}

void CRusSelect::Back(platform::WindowHandle) {
    Leave(0);
    StopScreenSounds();
    SetPlayContext(0);
    SetMenuReturn(0);
    LeaveTo(65);
}
