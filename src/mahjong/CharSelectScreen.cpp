#include "mahjong/CharSelectScreen.h"

#include "app/Config.h"
#include "app/GameApp.h"
#include "app/Input.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "gfx/GlyphFont.h"
#include "mahjong/HeroineFlags.h"
#include "mahjong/MahjongGame.h"
#include "screenkit/ScreenKit.h"

using namespace screenkit;
using platform::Rect;

std::unique_ptr<CCharSelectScreen> g_charSelectScreen;

namespace {

constexpr std::uint32_t kFadeInMs = 1000;
constexpr std::uint32_t kFadeOutMs = 500;
constexpr std::uint32_t kMusicFadeMs = 800;
constexpr std::uint8_t kTitleMode = 61;
constexpr std::uint8_t kMiniGameStory = 2;
constexpr int kCardW = 211;
constexpr int kCardH = 118;
constexpr int kColumnStep = 214;
constexpr int kRowStep = 121;
constexpr int kMarkSrcX = 128;
constexpr int kPartsRowY = 481; // the back button's highlight and the mark
constexpr int kMarkW = 76;
constexpr int kMarkH = 30;
constexpr int kBackW = 128;
constexpr int kBackH = 28;
constexpr int kBackLitX = 672;
constexpr int kBackLitY = 572;
// Heroine 1 is open from the start and opens the first seven.
constexpr int kKeyHeroine = 1;

constexpr std::array<const char*, mahjong::kHeroines> kStartScripts{
    "kof_vel_1.s", "kof_dor_1.s", "kof_fen_1.s", "kof_mur_1.s",
    "kof_lis_1.s", "kof_bex_1.s", "kof_hol_1.s", "kof_sef_1.s",
};

constexpr StateTable<CCharSelectScreen, 5> kStates{
    &CCharSelectScreen::Open,    &CCharSelectScreen::FadeIn, &CCharSelectScreen::Input,
    &CCharSelectScreen::FadeOut, &CCharSelectScreen::Leave,
};

int Column(int n) {
    return (n - 1) % 2;
}
int Row(int n) {
    return (n - 1) / 2;
}

} // namespace

CCharSelectScreen::CCharSelectScreen() {
    if (g_gameApp) {
        g_gameApp->opponentIndex = 0;
        g_gameApp->screenRect = Rect{0, 0, kScreenWidth, kScreenHeight};
    }
    // Every match chosen here starts afresh.
    if (g_mahjongGame) g_mahjongGame->Reset();
}

void CCharSelectScreen::Run(platform::WindowHandle window) {
    RunState(*this, State, kStates, window);
}

bool CCharSelectScreen::CardOpen(int n) const {
    if (n == kCards) return AllBeaten != 0;
    return n == kKeyHeroine + 1 || mahjong::HeroineBeaten(kKeyHeroine);
}

void CCharSelectScreen::DrawMark(CDib* target, int heroine) {
    const MarkPos& m = MarkPositions[heroine];
    BltColorKey(target, m.x, m.y, Slot(2), kMarkSrcX, kPartsRowY, kMarkW, kMarkH);
}

void CCharSelectScreen::Open(platform::WindowHandle) {
    SaveConfig();
    AllBeaten = mahjong::AllFirstBeaten() ? 1 : 0;
    const char* background = AllBeaten                             ? "bmp\\char_base01.bmp"
                             : mahjong::HeroineBeaten(kKeyHeroine) ? "bmp\\char_base00.bmp"
                                                                   : "bmp\\char_base.bmp";
    CopyOfBackBuffer(0);
    LoadSurface(1, background);
    LoadSurface(2, "bmp\\char_p.bmp");
    for (int n = 1; n <= kCards; ++n) {
        const int c = Column(n);
        const int r = Row(n);
        Rects[n - 1] = Rect{359 + kColumnStep * c, 69 + kRowStep * r, 570 + kColumnStep * c,
                            214 + kRowStep * r};
        MarkPositions[n - 1] = {492 + kColumnStep * c, 72 + kRowStep * r};
    }
    Rects[kCards] = Rect{688, 572, 799, 599};
    for (int h = 0; h < mahjong::kHeroines; ++h)
        if (mahjong::HeroineBeaten(h)) DrawMark(Slot(1), h);
    Chosen = 0;
    HoverButton = PrevHoverButton = 0;
    Clock().Restart();
    State = 1;
}

void CCharSelectScreen::FadeIn(platform::WindowHandle) {
    if (Fading(Clock(), Slot(1), Slot(0), kFadeInMs, Hurry::BySkipOrClick)) return;
    StartMusic("bgm\\c022.ogg");
    ClearClick();
    State = 2;
}

void CCharSelectScreen::ApplyLocks() {
    if (HoverButton >= 1 && HoverButton <= kCards && !CardOpen(HoverButton)) HoverButton = 0;
}

void CCharSelectScreen::KeyToCard(platform::WindowHandle window) {
    // The keys cycle among cards 1 to 7.
    constexpr std::uint8_t kLastKeyCard = 7;
    bool moved = false;
    if (g_keyboard->up) {
        HoverButton = HoverButton == 0 ? 1 : (HoverButton == 1 ? kLastKeyCard : HoverButton - 1);
        g_keyboard->up = 0;
        moved = true;
    }
    if (g_keyboard->down) {
        HoverButton =
            HoverButton == 0 ? kLastKeyCard : (HoverButton >= kLastKeyCard ? 1 : HoverButton + 1);
        g_keyboard->down = 0;
        moved = true;
    }
    if (!moved) return;
    const Rect& r = Rects[HoverButton - 1];
    WarpCursor(window, r.left + RectWidth(r) / 2 + 64, r.top + 100);
}

void CCharSelectScreen::Light(std::uint8_t button) {
    if (button == kBackButton) {
        BltColorKey(g_backBuffer.get(), kBackLitX, kBackLitY, Slot(2), 0, kPartsRowY, kBackW,
                    kBackH);
        return;
    }
    const Rect& r = Rects[button - 1];
    BltColorKey(g_backBuffer.get(), r.left, r.top, Slot(2), kColumnStep * Column(button),
                kRowStep * Row(button), kCardW, kCardH);
    if (mahjong::HeroineBeaten(button - 1)) DrawMark(g_backBuffer.get(), button - 1);
}

void CCharSelectScreen::Unlight(std::uint8_t button) {
    if (button == kBackButton) {
        RestoreArea(Slot(1), kBackLitX, kBackLitY, kBackW, kBackH);
        return;
    }
    // The background carries the card's mark.
    const Rect& r = Rects[button - 1];
    RestoreArea(Slot(1), r.left, r.top, kCardW, kCardH);
}

void CCharSelectScreen::Input(platform::WindowHandle window) {
    PrevHoverButton = HoverButton;
    HoverButton = HitItem(Rects);
    ApplyLocks();
    KeyToCard(window);
    // A key may land on a locked card: it is neither lit nor chosen.
    ApplyLocks();
    if (HoverButton != PrevHoverButton) {
        if (PrevHoverButton != 0) Unlight(PrevHoverButton);
        if (HoverButton != 0) Light(HoverButton);
    }
    if (!TakeClick() || HoverButton == 0) return;
    if (HoverButton == kBackButton) {
        CopyOfBackBuffer(0);
    } else {
        CopyOfBackBuffer(1);
        BlankSurface(0, kBlack);
        FadeOutMusic(kMusicFadeMs);
        Chosen = static_cast<std::uint8_t>(HoverButton - 1);
        if (g_gameApp) g_gameApp->opponentIndex = Chosen;
    }
    Clock().Restart();
    State = 3;
}

void CCharSelectScreen::FadeOut(platform::WindowHandle) {
    if (Fading(Clock(), Slot(0), Slot(1), kFadeOutMs, Hurry::BySkipOrClick)) return;
    State = 4;
}

void CCharSelectScreen::Leave(platform::WindowHandle) {
    FreeSurfaces(1, 4);
    if (g_glyphFont) g_glyphFont->SetFont(26, 0);
    StopScreenSounds();
    State = 0;
    if (HoverButton == kBackButton) {
        ClearClick();
        LeaveTo(kTitleMode);
        return;
    }
    LeaveForStory(kStartScripts[Chosen], kMiniGameStory);
}
