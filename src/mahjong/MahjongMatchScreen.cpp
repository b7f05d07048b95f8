// The match screen of CMahjongGame (mode 64): the table, the deal, the turn
// loop, the call menus, the cut-ins, the results and the match end, drawn on
// the back buffer around the rules steps of MahjongGame.cpp. Every rule is
// asked of the rules core; this file only decides when a step runs (pauses,
// clicks, answers) and draws what the step did, from the fields and the log
// entries it wrote.
#include "mahjong/MahjongGame.h"

#include "app/Config.h"
#include "app/GameApp.h"
#include "app/Input.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "gfx/GlyphFont.h"
#include "scenario/Scenario.h"
#include "screenkit/ScreenKit.h"
#include "sound/SoundChannel.h"

#include <algorithm>
#include <cstdio>
#include <string>

using namespace screenkit;
namespace st = mahjong_state;

const std::array<std::uint8_t, kMahjongHeroines> g_mahjongVoiceSlot = {8, 1, 9, 4, 10, 6, 7, 0};
const MahjongHeroineNames g_mahjongBgm = {"bgm\\p008.ogg", "bgm\\c002.ogg", "bgm\\n004.ogg",
                                          "bgm\\c005.ogg", "bgm\\p001.ogg", "bgm\\c015.ogg",
                                          "bgm\\n007.ogg", "bgm\\c018.ogg"};
const MahjongHeroineNames g_mahjongDealVoices = {
    "voice\\vel0158.ogg", "voice\\dor0373.ogg", "voice\\fen0166.ogg", "voice\\mur0337.ogg",
    "voice\\lis0227.ogg", "voice\\bex0818.ogg", "voice\\hol0374.ogg", "voice\\sef0405.ogg"};
const MahjongHeroineNames g_mahjongDrawVoices = {
    "voice\\vel0162.ogg", "voice\\dor0377.ogg", "voice\\fen0170.ogg", "voice\\mur0341.ogg",
    "voice\\lis0231.ogg", "voice\\bex0822.ogg", "voice\\hol0378.ogg", "voice\\sef0409.ogg"};
const std::array<std::array<const char*, 2>, kMahjongHeroines> g_mahjongTurnVoices = {{
    {"voice\\vel0166.ogg", "voice\\vel0167.ogg"},
    {"voice\\dor0382.ogg", "voice\\dor0383.ogg"},
    {"voice\\fen0175.ogg", "voice\\fen0176.ogg"},
    {"voice\\mur0346.ogg", "voice\\mur0347.ogg"},
    {"voice\\lis0236.ogg", "voice\\lis0237.ogg"},
    {"voice\\bex0827.ogg", "voice\\bex0828.ogg"},
    {"voice\\hol0383.ogg", "voice\\hol0384.ogg"},
    {"voice\\sef0414.ogg", "voice\\sef0415.ogg"},
}};
const MahjongHeroineNames g_mahjongRiichiMenuVoices = {
    "voice\\vel0161.ogg", "voice\\dor0376.ogg", "voice\\fen0169.ogg", "voice\\mur0340.ogg",
    "voice\\lis0230.ogg", "voice\\bex0821.ogg", "voice\\hol0377.ogg", "voice\\sef0408.ogg"};
const MahjongHeroineNames g_mahjongCpuRiichiVoices = {
    "voice\\vel0163.ogg", "voice\\dor0378.ogg", "voice\\fen0171.ogg", "voice\\mur0342.ogg",
    "voice\\lis0232.ogg", "voice\\bex0823.ogg", "voice\\hol0379.ogg", "voice\\sef0410.ogg"};
const MahjongHeroineNames g_mahjongCpuTsumoVoices = {
    "voice\\vel0164.ogg", "voice\\dor0379.ogg", "voice\\fen0172.ogg", "voice\\mur0343.ogg",
    "voice\\lis0233.ogg", "voice\\bex0824.ogg", "voice\\hol0380.ogg", "voice\\sef0411.ogg"};
const MahjongHeroineNames g_mahjongCpuRonVoices = {
    "voice\\vel0165.ogg", "voice\\dor0380.ogg", "voice\\fen0173.ogg", "voice\\mur0344.ogg",
    "voice\\lis0234.ogg", "voice\\bex0825.ogg", "voice\\hol0381.ogg", "voice\\sef0412.ogg"};
const MahjongHeroineNames g_mahjongPlayerTsumoVoices = {
    "voice\\vel0160.ogg", "voice\\dor0375.ogg", "voice\\fen0168.ogg", "voice\\mur0339.ogg",
    "voice\\lis0229.ogg", "voice\\bex0820.ogg", "voice\\hol0376.ogg", "voice\\sef0407.ogg"};
const MahjongHeroineNames g_mahjongLoseVoices = {
    "voice\\vel0159.ogg", "voice\\dor0374.ogg", "voice\\fen0167.ogg", "voice\\mur0338.ogg",
    "voice\\lis0228.ogg", "voice\\bex0819.ogg", "voice\\hol0375.ogg", "voice\\sef0406.ogg"};

namespace {

// Surface slots.
constexpr int kPrevious = 0, kComposed = 1, kTable = 2, kTiles = 3, kSystem = 4, kPortrait = 5,
              kPanel = 6, kTotalDigits = 9, kScratch = 10, kStripSheet = 11;
constexpr int kLastMatchSlot = 39;

constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kPauseMs = 500;
constexpr std::uint32_t kIdleLineMs = 10000;
constexpr std::uint32_t kDealFadeMs = 1000;
constexpr std::uint32_t kResultFadeMs = 500;
constexpr std::uint32_t kCutInMs = 300;
constexpr std::uint32_t kDrawPanelMs = 800;
constexpr std::uint32_t kRiichiHoldMs = 1000;
constexpr int kSlideDistance = 64;
constexpr std::uint8_t kMenuMode = 54;
constexpr std::uint8_t kMatchPlayContext = 2;

// The tile picture: hand faces, the back, and the two rows of discard faces.
constexpr int kFaceW = 69, kFaceH = 109;
constexpr int kBackY = 300, kBackW = 52, kBackH = 82;
constexpr int kDiscardW = 55, kDiscardH = 69;
constexpr int kPlayerDiscardRow = 382, kCpuDiscardRow = 451;
constexpr int kHoverLift = 4;

// The table's places.
constexpr int kPlayerHandY = 488, kPlayerDrawnX = 653;
constexpr int kCpuHandY = 12, kCpuDrawnX = 19;
constexpr int kPlayerScoreY = 422, kCpuScoreY = 320;
constexpr int kScoreX = 621, kDigitW = 21, kDigitH = 30, kDigitRow = 250, kScorePlaces = 6;
constexpr int kPlateW = 88, kPlateH = 34, kSheetX = 265;
constexpr int kMarkerW = 70;

// The call menus: the panel, its place and its two buttons.
constexpr int kMenuX = 588, kMenuY = 376, kMenuW = 216, kMenuH = 133;
constexpr platform::Rect kYesRect{613, 451, 676, 486};
constexpr platform::Rect kNoRect{692, 451, 783, 486};
constexpr int kHighlightStep = 63;

constexpr auto kStates = NumberedStates<CMahjongGame, 33>({
    {0, &CMahjongGame::StartMatchScreen},
    {1, &CMahjongGame::Deal},
    {2, &CMahjongGame::PlayTurns},
    {10, &CMahjongGame::ShowExhaustiveDraw},
    {11, &CMahjongGame::ShowCpuTsumo},
    {12, &CMahjongGame::ShowCpuRon},
    {13, &CMahjongGame::ShowLossResult},
    {14, &CMahjongGame::ShowCpuRiichi},
    {21, &CMahjongGame::ShowPlayerTsumo},
    {22, &CMahjongGame::ShowPlayerRon},
    {23, &CMahjongGame::ShowWinResult},
    {30, &CMahjongGame::RunRiichiMenu},
    {31, &CMahjongGame::RunRonMenu},
    {32, &CMahjongGame::RunTsumoMenu},
});

CDib* Back() {
    return g_backBuffer.get();
}

StepClock ClockOf(CMahjongGame& g) {
    return {g.StartTime, g.Elapsed, nullptr};
}

std::size_t Heroine(const CMahjongGame& g) {
    return static_cast<std::size_t>(std::clamp<int>(g.Opponent, 0, kMahjongHeroines - 1));
}

// A picture name with the heroine's number in it.
std::string Numbered(const char* format, int n) {
    char name[64];
    std::snprintf(name, sizeof name, format, n);
    return name;
}

bool Clicked() {
    return g_mouse && g_mouse->click;
}
bool ClickedOrSkipped() {
    return g_mouse && (g_mouse->click || g_mouse->skip);
}

// ---------------------------------------------------------------- sounds

// The mini-games' voice switch (not the story's): it silences the heroines'
// lines and the combination announcements.
bool VoicesOff() {
    return g_config[config::kVoiceMuteA] == 1;
}

// A heroine's line: voice channel 0 at her own voice level, never with voices off.
void HeroineLine(const CMahjongGame& g, const char* name) {
    if (VoicesOff()) return;
    const std::size_t level = config::kVoiceLevels + g_mahjongVoiceSlot[Heroine(g)];
    PlayVoiceAt(0, name, g_config[level]);
}

void TileSound(int slot, const char* name) {
    PlaySe(slot, name);
}

// ---------------------------------------------------------------- tiles and table

struct Place {
    int x, y;
};

Place PlayerHeldAt(int slot) {
    if (slot >= kMahjongHeld) return {kPlayerDrawnX, kPlayerHandY};
    return {80 + 67 * slot, kPlayerHandY};
}
Place CpuHeldAt(int slot) {
    if (slot >= kMahjongHeld) return {kCpuDrawnX, kCpuHandY};
    return {452 - 51 * slot, kCpuHandY};
}
Place PlayerDiscardAt(int i) {
    return {13 + 50 * (i % 10), 294 + 60 * (i / 10)};
}
Place CpuDiscardAt(int i) {
    return {462 - 50 * (i % 10), 218 - 60 * (i / 10)};
}

void DrawFace(CDib* dst, const MahjongTile& t, int x, int y) {
    BltAlpha(dst, x, y, Slot(kTiles), t.Face * kFaceW, 0, kFaceW, kFaceH);
}
void DrawTileBack(CDib* dst, int x, int y) {
    BltAlpha(dst, x, y, Slot(kTiles), 0, kBackY, kBackW, kBackH);
}
void DrawDiscardFace(CDib* dst, const MahjongTile& t, int x, int y, int row) {
    BltAlpha(dst, x, y, Slot(kTiles), t.Face * kDiscardW, row, kDiscardW, kDiscardH);
}

// A score in six places, right-aligned: only the places the number needs,
// the units always.
void DrawScore(CDib* dst, std::int32_t points, int y) {
    auto v = static_cast<std::uint32_t>(std::max(points, 0));
    for (int k = kScorePlaces - 1; k >= 0; --k) {
        BltAlpha(dst, kScoreX + kDigitW * k, y, Slot(kSystem), kDigitW * static_cast<int>(v % 10),
                 kDigitRow, kDigitW, kDigitH);
        v /= 10;
        if (v == 0) break;
    }
}

// The portrait, the dealer marker, both name plates and both scores.
void DrawFurniture(CDib* dst, const CMahjongGame& g, bool playerDeals) {
    const int h = static_cast<int>(Heroine(g));
    if (h % 2 == 0) {
        BltAlpha(dst, 533, 12, Slot(kPortrait), 0, 0, 254, 246);
    } else {
        BltAlpha(dst, 533, 12, Slot(kPortrait), 0, 0, 254, 244);
        BltAlpha(dst, 527, 8, Slot(kSystem), 0, 0, 265, 250);
    }
    BltAlpha(dst, 652, playerDeals ? 384 : 282, Slot(kSystem), kSheetX, 0, 34, 34);
    BltAlpha(dst, 544, 382, Slot(kSystem), kSheetX, kPlateH * (2 + h % 2), kPlateW, kPlateH);
    BltAlpha(dst, 544, 280, Slot(kSystem), kSheetX, kPlateH * (4 + h), kPlateW, kPlateH);
    DrawScore(dst, g.PlayerPoints, kPlayerScoreY);
    DrawScore(dst, g.CpuPoints, kCpuScoreY);
}

void DrawRiichiMarker(CDib* dst, int y) {
    BltAlpha(dst, 706, y, Slot(kSystem), kSheetX, kPlateH, kMarkerW, kPlateH);
}

void DrawCpuDiscards(const CMahjongGame& g) {
    RestoreArea(Slot(kTable), kCpuDrawnX, kCpuHandY, 54, 82);
    RestoreArea(Slot(kTable), -48, 123, 518, 171);
    for (int i = 0; i < g.CpuDiscardCount && i < kMahjongDiscardSlots; ++i) {
        const Place p = CpuDiscardAt(i);
        DrawDiscardFace(Back(), g_mahjongCpuDiscards[static_cast<std::size_t>(i)], p.x, p.y,
                        kCpuDiscardRow);
    }
}

// How a discard sounds: a click or the turn loop's discard plays the tile
// sound, the game's discard at the end of the player's riichi does not.
enum class DiscardSound { Played, Silent };

// Draws and sounds what the rules steps since log entry `from` did.
void ShowEvents(CMahjongGame& g, std::size_t from, DiscardSound discardSound) {
    for (std::size_t i = from; i < g.Log.size(); ++i) {
        const MahjongEvent e = g.Log[i];
        const bool player = e.side == MahjongSide::Player;
        switch (e.kind) {
        case MahjongEventKind::Deal: {
            const MahjongHand& hand = player ? g_mahjongPlayerHand : g_mahjongCpuHand;
            const Place p = player ? PlayerHeldAt(e.b) : CpuHeldAt(e.b);
            if (player)
                DrawFace(Back(), hand[std::min<std::size_t>(e.b, kMahjongDrawn)], p.x, p.y);
            else
                DrawTileBack(Back(), p.x, p.y);
            break;
        }
        case MahjongEventKind::Draw:
            if (player) {
                if (g.PlayerDeals == 0) TileSound(1, "se\\hai02.ogg");
                DrawFace(Back(), g_mahjongPlayerHand[kMahjongDrawn], kPlayerDrawnX, kPlayerHandY);
            } else {
                TileSound(1, "se\\hai02.ogg");
                DrawTileBack(Back(), kCpuDrawnX, kCpuHandY);
            }
            break;
        case MahjongEventKind::Discard:
            if (discardSound == DiscardSound::Played) TileSound(1, "se\\hai02.ogg");
            if (player) {
                RestoreArea(Slot(kTable), kPlayerDrawnX, 484, 69, 113);
                const Place p = PlayerDiscardAt(e.b);
                DrawDiscardFace(Back(), g_mahjongPlayerDiscards[std::min<std::size_t>(e.b, 29)],
                                p.x, p.y, kPlayerDiscardRow);
                g.DrawPlayerHand();
            } else {
                DrawCpuDiscards(g);
                g.DrawCpuHand();
            }
            break;
        case MahjongEventKind::Line:
            switch (static_cast<MahjongLine>(e.a)) {
            case MahjongLine::Deal:
                HeroineLine(g, g_mahjongDealVoices[Heroine(g)]);
                break;
            case MahjongLine::PlayerFifthDiscard:
                HeroineLine(g, g_mahjongDrawVoices[Heroine(g)]);
                break;
            case MahjongLine::CpuTwentyFifthDiscard:
                HeroineLine(g, g_mahjongTurnVoices[Heroine(g)][1]);
                break;
            case MahjongLine::CpuWinsGame:
                HeroineLine(g, g_mahjongLoseVoices[Heroine(g)]);
                break;
            }
            break;
        default:
            break;
        }
    }
}

// A pause of the deal or the turn loop: 500 ms, or a click, the skip key or
// the skip-effects setting; what ended it is cleared.
bool PauseOver(CMahjongGame& g) {
    const bool hurried = SkipOrClick();
    if (ClockOf(g).Tick() < kPauseMs && !hurried) return false;
    ClearClickAndSkip();
    return true;
}

// One frame of a picture sliding 64 px down into place while it fades in
// over `ms`, over the area restored from `clean`; at the end it stands
// opaque in place and the function returns false.
bool SlideIn(CMahjongGame& g, const CDib* clean, const CDib* picture, int x, int y, int w, int h,
             std::uint32_t ms) {
    const std::uint32_t elapsed = ClockOf(g).Tick();
    RestoreArea(clean, x, y, w, h + kSlideDistance);
    if (elapsed < ms) {
        BltAlphaBlend(Back(), x, y + static_cast<int>(StepLevel(elapsed, kSlideDistance, ms)),
                      picture, 0, 0, w, h, static_cast<int>(FadeLevel(elapsed, ms)));
        return true;
    }
    BltAlpha(Back(), x, y + kSlideDistance, picture, 0, 0, w, h);
    return false;
}

// The way out to the in-match menu: the voice is cut off, the screen kept
// as the menu's snapshot, and the menu comes back to this mode, where the
// match goes on in the same state and step.
void LeaveForMenu() {
    FreeVoiceSlot(0);
    FreeSeSlot(1);
    g_menuSnapshot = std::make_unique<CDib>();
    g_menuSnapshot->Create(platform::WindowHandle::Main, kScreenWidth, kScreenHeight, 24);
    BltCopy(g_menuSnapshot.get(), 0, 0, Back(), 0, 0, kScreenWidth, kScreenHeight);
    if (g_gameApp) g_gameApp->returnMode = g_gameApp->mode;
    SetMenuReturn(0);
    LeaveTo(kMenuMode);
}

// Arrow keys move the highlight among `count` items; true when one moved it.
// `left` and `right` give the next item for each key from 0 (none) to count.
bool MoveByKeys(std::uint8_t& hover, std::uint8_t (*left)(std::uint8_t),
                std::uint8_t (*right)(std::uint8_t)) {
    if (!g_keyboard) return false;
    if (g_keyboard->left) {
        g_keyboard->left = 0;
        hover = left(hover);
        return true;
    }
    if (g_keyboard->right) {
        g_keyboard->right = 0;
        hover = right(hover);
        return true;
    }
    return false;
}

// The states after the turn loop that show the table as it stands under a cut-in.
void AfterTurnStep(std::uint8_t state) {
    switch (state) {
    case st::kExhaustiveDraw:
        LoadSurface(kScratch, "bmp\\ryukyoku.bmp");
        CopyOfBackBuffer(kComposed);
        break;
    case st::kCpuTsumo:
    case st::kCpuRon:
    case st::kPlayerTsumo:
        CopyOfBackBuffer(kComposed);
        break;
    default:
        break;
    }
}

const char* MenuPanel(std::uint8_t state) {
    switch (state) {
    case st::kRiichiMenu:
        return "bmp\\riich_menu.bmp";
    case st::kRonMenu:
        return "bmp\\ron_menu.bmp";
    default:
        return "bmp\\tumo_menu.bmp";
    }
}

void DrawMenuPanel(const CMahjongGame& g) {
    RestoreArea(Slot(kScratch), kMenuX, kMenuY, kMenuW, kMenuH);
    BltAlpha(Back(), kMenuX, kMenuY, Slot(kPanel), 0, 0, kMenuW, kMenuH);
    if (g.Hover == 1 || g.Hover == 2) {
        const platform::Rect& r = g.Rects[g.Hover];
        BltAlpha(Back(), r.left, r.top, Slot(kPanel), kHighlightStep * (g.Hover - 1), kMenuH,
                 RectWidth(r), RectHeight(r));
    }
}

// The player's answer to an open call menu, and what it shows.
void Answer(CMahjongGame& g, MahjongAnswer answer) {
    const std::uint8_t menu = g.State;
    g.AnswerCall(answer);
    if (g.State == st::kTurns) {
        RestoreArea(Slot(kScratch), kMenuX, kMenuY, kMenuW, kMenuH);
    } else if (g.State == st::kPlayerRon || g.State == st::kPlayerTsumo) {
        CopyOfBackBuffer(kComposed);
    } else if (menu == st::kRiichiMenu && g.PlayerRiichi != 0) {
        RestoreArea(Slot(kScratch), kMenuX, kMenuY, kMenuW, kMenuH);
        StartMusic("bgm\\c011.ogg");
    }
}

// The three call menus' steps 0 and 1; the riichi menu goes on with the
// player's riichi from step 3.
void RunCallMenu(CMahjongGame& g, platform::WindowHandle window) {
    switch (g.SubStep) {
    case 0:
        LoadSurface(kPanel, MenuPanel(g.State));
        CopyOfBackBuffer(kScratch);
        g.Hover = g.PrevHover = 0;
        g.Rects[1] = kYesRect;
        g.Rects[2] = kNoRect;
        g.CallOffered = 1;
        DrawMenuPanel(g);
        g.SubStep = 1;
        break;
    case 1: {
        bool changed = TrackHover(g.Hover, g.PrevHover, std::span(g.Rects).subspan(1, 2));
        if (MoveByKeys(
                g.Hover, [](std::uint8_t h) -> std::uint8_t { return h == 1 ? 2 : 1; },
                [](std::uint8_t h) -> std::uint8_t { return h == 0 || h == 1 ? 2 : 1; })) {
            const platform::Rect& r = g.Rects[g.Hover];
            WarpCursor(window, r.left + RectWidth(r) / 2, r.top + 20);
            changed = g.Hover != g.PrevHover;
        }
        if (changed) DrawMenuPanel(g);
        // A right click in the frame of a button's click is left alone: the
        // button has answered.
        if (g.Hover != 0 && TakeClick())
            Answer(g, g.Hover == 1 ? MahjongAnswer::Yes : MahjongAnswer::No);
        else if (TakeCancel())
            Answer(g, MahjongAnswer::Cancel);
        break;
    }
    default:
        break;
    }
}

// The player's riichi after the yes: the picture slides in, stands, the
// heroine answers, the marker goes down and the game discards for the player.
// None of its pauses can be cut short.
void RunPlayerRiichi(CMahjongGame& g) {
    switch (g.SubStep) {
    case 3:
        LoadSurface(kPanel, "bmp\\riich.bmp");
        ClockOf(g).Restart();
        g.SubStep = 4;
        break;
    case 4:
        if (SlideIn(g, Slot(kScratch), Slot(kPanel), 140, 76, 590, 350, kCutInMs)) return;
        ClockOf(g).Restart();
        g.SubStep = 5;
        break;
    case 5:
        if (ClockOf(g).Tick() < kRiichiHoldMs) return;
        ShowWhole(Slot(kScratch));
        ClockOf(g).Restart();
        g.SubStep = 7;
        break;
    case 7:
        if (ClockOf(g).Tick() < kRiichiHoldMs) return;
        HeroineLine(g, g_mahjongRiichiMenuVoices[Heroine(g)]);
        g.SubStep = 8;
        break;
    case 8: {
        DrawRiichiMarker(Slot(kScratch), 384);
        ShowWhole(Slot(kScratch));
        const std::size_t from = g.Log.size();
        g.FinishPlayerRiichi();
        ShowEvents(g, from, DiscardSound::Silent);
        break;
    }
    default:
        break;
    }
}

// The four win cut-ins: the picture slides in, then a click hands over to
// the result. The click is left set, so it also hurries the result's fade.
void RunWinCutIn(CMahjongGame& g, bool selfDrawn, bool heroineWins) {
    switch (g.SubStep) {
    case 0:
        LoadSurface(kScratch, selfDrawn ? "bmp\\tumo.bmp" : "bmp\\ron.bmp");
        if (heroineWins)
            HeroineLine(g,
                        (selfDrawn ? g_mahjongCpuTsumoVoices : g_mahjongCpuRonVoices)[Heroine(g)]);
        ClockOf(g).Restart();
        g.SubStep = 1;
        break;
    case 1:
        if (SlideIn(g, Slot(kComposed), Slot(kScratch), 95, 20, 664, 442, kCutInMs)) return;
        if (!heroineWins) HeroineLine(g, g_mahjongPlayerTsumoVoices[Heroine(g)]);
        g.SubStep = 2;
        break;
    case 2:
        if (Clicked()) g.ConfirmWin();
        break;
    default:
        break;
    }
}

// The total in thousands: up to three digits of t, then three fixed zeros.
void DrawTotal(std::int32_t total) {
    const int t = std::max(total, 0) / 1000;
    auto digit = [](int d, int x) {
        BltAlpha(Back(), x, 520, Slot(kTotalDigits), 27 * d, 0, 27, 39);
    };
    if (t / 100 % 10 != 0) digit(t / 100 % 10, 282);
    if (t >= 100 || t / 10 % 10 != 0) digit(t / 10 % 10, 309);
    digit(t % 10, 336);
    for (int x : {363, 390, 417})
        digit(0, x);
}

// The match end: the surfaces, the font and the screen sounds go, and the
// follow-up story runs in the mini-game play context.
void EndMatchScreen(CMahjongGame& g, bool playerWon) {
    if (playerWon) g.RecordWonMatch();
    const std::string script(g.EndMatch());
    FreeSurfaces(kComposed, kLastMatchSlot);
    if (g_glyphFont) g_glyphFont->SetFont(26, 0);
    if (g_scenario) g_scenario->bgmPlaying = 0;
    LeaveForStory(script.c_str(), kMatchPlayContext);
}

// States 13 and 23: the winner's hand, one combination per click, the total,
// the count-over and then the next game or the match end.
void RunResult(CMahjongGame& g, bool playerWon) {
    switch (g.SubStep) {
    case 0: {
        StopMusic();
        if (g_scenario) g_scenario->bgmPlaying = 0;
        CopyOfBackBuffer(kComposed);
        LoadSurface(kTotalDigits, "bmp\\total_num.bmp");
        LoadSurface(kScratch, "bmp\\total.bmp");
        LoadSurface(kStripSheet, "bmp\\tiles.bmp");
        if (playerWon)
            LoadSurface(kPortrait,
                        Numbered("bmp\\char_%02d_l.bmp", static_cast<int>(Heroine(g) % 2)).c_str());
        // The marker stays with the dealer of the game just played.
        const bool playerDealt = g.PlayerDeals != 0;
        const std::size_t from = g.Log.size();
        g.ScoreGame();
        CDib* table = LoadSurface(kTable, Numbered("bmp\\taku%02d.bmp", g.Opponent % 2).c_str());
        const MahjongHand& hand = playerWon ? g_mahjongPlayerHand : g_mahjongCpuHand;
        for (int i = 0; i < kMahjongHandSlots; ++i)
            DrawDiscardFace(table, hand[static_cast<std::size_t>(i)], 26 + 50 * i, 32,
                            kPlayerDiscardRow);
        DrawFurniture(table, g, playerDealt);
        BltAlpha(table, 117, 510, Slot(kScratch), 0, 0, 394, 66);
        ShowEvents(g, from, DiscardSound::Played);
        ClockOf(g).Restart();
        g.SubStep = 1;
        break;
    }
    case 1:
        if (Fading(ClockOf(g), Slot(kTable), Slot(kComposed), kResultFadeMs, Hurry::BySkipOrClick))
            return;
        ClearClickAndSkip();
        CopyOfSurface(kComposed, Slot(kTable));
        g.SubStep = 2;
        break;
    case 2: {
        if (!ClickedOrSkipped()) return;
        ClearClickAndSkip();
        const MahjongResultItem item = g.AdvanceResult();
        switch (item.kind) {
        case MahjongResultItem::Kind::Strip:
            if (!item.voice.empty() && !VoicesOff()) PlayVoice(0, std::string(item.voice).c_str());
            BltAlpha(Back(), 48, 116 + 47 * (g.StripsShown - 1), Slot(kStripSheet), 0,
                     47 * item.flag, 463, 47);
            break;
        case MahjongResultItem::Kind::Total:
            DrawTotal(g.YakuTotal);
            break;
        case MahjongResultItem::Kind::Settled:
            LoadSurface(kTable, Numbered("bmp\\taku%02d.bmp", g.Opponent % 2).c_str());
            g.SubStep = 3;
            break;
        }
        break;
    }
    case 3: {
        const bool over = g.CountOverStep(ClickedOrSkipped());
        RestoreArea(Slot(kTable), kScoreX, kCpuScoreY, 106, kDigitH);
        RestoreArea(Slot(kTable), kScoreX, kPlayerScoreY, 106, kDigitH);
        DrawScore(Back(), g.ShownPlayerPoints, kPlayerScoreY);
        DrawScore(Back(), g.ShownCpuPoints, kCpuScoreY);
        if (!over) return;
        ClearClick();
        g.SubStep = 4;
        break;
    }
    case 4:
        if (!ClickedOrSkipped()) return;
        if (playerWon)
            ClearClickAndSkip();
        else
            ClearClick();
        if (g.LoserIsOut()) {
            CopyOfBackBuffer(kStripSheet);
            LoadSurface(kScratch, playerWon ? "bmp\\win.bmp" : "bmp\\lose.bmp");
            ClockOf(g).Restart();
            g.SubStep = 5;
        } else {
            CopyOfBackBuffer(kPrevious);
            FreeSurfaces(kTotalDigits, kStripSheet);
            g.NextGame();
        }
        break;
    case 5: {
        if (SkipOrClick()) {
            // Hurried: the picture stands in place at once.
            ClearClickAndSkip();
            g.StartTime = platform::TimeGetTime() - kCutInMs;
        }
        const bool sliding =
            playerWon ? SlideIn(g, Slot(kStripSheet), Slot(kScratch), 100, 76, 600, 280, kCutInMs)
                      : SlideIn(g, Slot(kStripSheet), Slot(kScratch), 140, 116, 560, 230, kCutInMs);
        if (sliding) return;
        g.SubStep = 6;
        break;
    }
    case 6:
        if (!ClickedOrSkipped()) return;
        ClearClickAndSkip();
        EndMatchScreen(g, playerWon);
        break;
    default:
        break;
    }
}

} // namespace

// ---------------------------------------------------------------- the states

void CMahjongGame::Run(platform::WindowHandle window) {
    ++frameCount;
    RunState(*this, State, kStates, window);
}

void CMahjongGame::StartMatchScreen(platform::WindowHandle) {
    // The deal fades in from what the player saw last.
    CopyOfBackBuffer(kPrevious);
    StartMatch(g_gameApp ? g_gameApp->opponentIndex : 0);
}

void CMahjongGame::Deal(platform::WindowHandle window) {
    if (PlayerDeals != 0)
        DealPlayerFirst(window);
    else
        DealCpuFirst(window);
}

// The twins share their steps: the rules core gives the tiles to the side
// the dealer's twin names.
void CMahjongGame::DealPlayerFirst(platform::WindowHandle) {
    switch (SubStep) {
    case 0: {
        const int h = static_cast<int>(Heroine(*this));
        BlankSurface(kComposed, kGreen);
        LoadSurface(kTable, Numbered("bmp\\taku%02d.bmp", h % 2).c_str());
        LoadSurface(kTiles, Numbered("bmp\\hai%02d.bmp", h % 2).c_str());
        LoadSurface(kSystem, "bmp\\system.bmp");
        LoadSurface(kPortrait, Numbered("bmp\\char_l_%02d.bmp", h + 1).c_str());
        LoadSurface(kPanel, Numbered("bmp\\char_b_%02d.bmp", h + 1).c_str());
        BltCopy(Slot(kComposed), 0, 0, Slot(kTable), 0, 0, kScreenWidth, kScreenHeight);
        DrawFurniture(Slot(kComposed), *this, PlayerDeals != 0);
        CopyOfSurface(kScratch, Slot(kComposed));
        if (!Slot(kPrevious)) CopyOfBackBuffer(kPrevious);
        ClearTable();
        ClockOf(*this).Restart();
        SubStep = 1;
        break;
    }
    case 1:
        if (Fading(ClockOf(*this), Slot(kComposed), Slot(kPrevious), kDealFadeMs,
                   Hurry::BySkipOrClick))
            return;
        ClearClick();
        StartMusic(g_mahjongBgm[Heroine(*this)]);
        SubStep = 2;
        break;
    case 2:
        Shuffle();
        ClockOf(*this).Restart();
        SubStep = 3;
        break;
    case 3: {
        TileSound(0, "se\\hai01.ogg");
        const std::size_t from = Log.size();
        DealPair();
        ShowEvents(*this, from, DiscardSound::Played);
        ClockOf(*this).Restart();
        SubStep = 4;
        break;
    }
    case 4:
        if (PauseOver(*this)) SubStep = 5;
        break;
    case 5:
        SubStep = NextDealStep() ? 3 : 6;
        break;
    case 6:
        SortHands();
        DrawHands();
        ClockOf(*this).Restart();
        SubStep = 7;
        break;
    case 7:
        if (PauseOver(*this)) SubStep = 8;
        break;
    case 8: {
        TileSound(0, "se\\hai02.ogg");
        const std::size_t from = Log.size();
        DealNinth();
        ShowEvents(*this, from, DiscardSound::Played);
        SubStep = 9;
        break;
    }
    case 9: {
        const std::size_t from = Log.size();
        FinishDeal();
        ShowEvents(*this, from, DiscardSound::Played);
        break;
    }
    default:
        break;
    }
}

void CMahjongGame::DealCpuFirst(platform::WindowHandle window) {
    DealPlayerFirst(window);
}

void CMahjongGame::PlayTurns(platform::WindowHandle window) {
    if (PlayerDeals != 0)
        PlayTurnsPlayerFirst(window);
    else
        PlayTurnsCpuFirst(window);
}

// One step of the turn loop a frame. The twins number the steps
// differently; the rules core knows which twin runs.
void CMahjongGame::PlayTurnsPlayerFirst(platform::WindowHandle window) {
    const std::optional<MahjongTurnStep> step = CurrentTurnStep();
    if (!step) return;
    MahjongTurnInput input;
    if (IsPauseStep(*step)) {
        if (!PauseOver(*this)) return;
        input.pauseOver = true;
    }
    if (*step == MahjongTurnStep::DiscardChoice) {
        // The hovered tile, moved by the arrow keys too, is lifted 4 px.
        bool changed = TrackHover(Hover, PrevHover, std::span(Rects).subspan(11, 9));
        if (MoveByKeys(
                Hover,
                [](std::uint8_t h) -> std::uint8_t { return h <= 1 ? (h == 0 ? 1 : 9) : h - 1; },
                [](std::uint8_t h) -> std::uint8_t { return h == 0 ? 9 : (h == 9 ? 1 : h + 1); })) {
            const platform::Rect& r = Rects[10 + Hover];
            WarpCursor(window, r.left + RectWidth(r) / 2 + 26, r.top + 86);
            changed = Hover != PrevHover;
        }
        if (changed) {
            RestoreArea(Slot(kTable), 80, 484, 646, 117);
            for (int s = 0; s < kMahjongHandSlots; ++s) {
                const Place p = PlayerHeldAt(s);
                DrawFace(Back(), g_mahjongPlayerHand[static_cast<std::size_t>(s)], p.x,
                         p.y - (Hover == s + 1 ? kHoverLift : 0));
            }
        }
        const std::uint32_t now = platform::TimeGetTime();
        if (now - IdleSince > kIdleLineMs && !VoicesOff()) {
            HeroineLine(*this, g_mahjongTurnVoices[Heroine(*this)][0]);
            IdleSince = now;
        }
        const bool offer = PlayerReady == 1 && CallOffered == 0 && RiichiDeclared == 0;
        if (!offer && RiichiDeclared == 0) {
            if (Hover != 0 && TakeClick()) {
                input.discardSlot = Hover - 1;
            } else if (TakeCancel()) {
                LeaveForMenu();
                return;
            }
        }
    }
    const std::size_t from = Log.size();
    RunTurnRules(input);
    ShowEvents(*this, from, DiscardSound::Played);
    AfterTurnStep(State);
}

void CMahjongGame::PlayTurnsCpuFirst(platform::WindowHandle window) {
    PlayTurnsPlayerFirst(window);
}

void CMahjongGame::ShowExhaustiveDraw(platform::WindowHandle) {
    switch (SubStep) {
    case 0:
        if (g_bgmChannel) g_bgmChannel->FadeOut(1000);
        ClockOf(*this).Restart();
        SubStep = 1;
        break;
    case 1:
        if (SlideIn(*this, Slot(kComposed), Slot(kScratch), 190, 106, 480, 280, kDrawPanelMs))
            return;
        SubStep = 2;
        break;
    case 2:
        if (!ClickedOrSkipped()) return;
        CopyOfBackBuffer(kPrevious);
        ClearClickAndSkip();
        ConfirmExhaustiveDraw();
        break;
    default:
        break;
    }
}

void CMahjongGame::ShowCpuTsumo(platform::WindowHandle) {
    RunWinCutIn(*this, true, true);
}
void CMahjongGame::ShowCpuRon(platform::WindowHandle) {
    RunWinCutIn(*this, false, true);
}
void CMahjongGame::ShowPlayerTsumo(platform::WindowHandle) {
    RunWinCutIn(*this, true, false);
}
void CMahjongGame::ShowPlayerRon(platform::WindowHandle) {
    RunWinCutIn(*this, false, false);
}

void CMahjongGame::ShowLossResult(platform::WindowHandle) {
    RunResult(*this, false);
}
void CMahjongGame::ShowWinResult(platform::WindowHandle) {
    RunResult(*this, true);
}

// The heroine's riichi: her line and music, the picture slides in and
// stands, then her marker goes down and she discards.
void CMahjongGame::ShowCpuRiichi(platform::WindowHandle) {
    CpuRiichi = 1;
    switch (CutInStep) {
    case 0:
        HeroineLine(*this, g_mahjongCpuRiichiVoices[Heroine(*this)]);
        StartMusic(Heroine(*this) % 2 == 0 ? "bgm\\p007.ogg" : "bgm\\c010.ogg");
        StartCpuRiichi();
        CopyOfBackBuffer(kScratch);
        LoadSurface(kPanel, "bmp\\riich.bmp");
        ClockOf(*this).Restart();
        CutInStep = 1;
        break;
    case 1:
        if (SlideIn(*this, Slot(kScratch), Slot(kPanel), 140, 76, 590, 350, kCutInMs)) return;
        ClockOf(*this).Restart();
        CutInStep = 2;
        break;
    case 2:
        if (ClockOf(*this).Tick() < kRiichiHoldMs) return;
        ShowWhole(Slot(kScratch));
        ClockOf(*this).Restart();
        CutInStep = 4;
        break;
    case 4:
        if (ClockOf(*this).Tick() < kRiichiHoldMs) return;
        DrawRiichiMarker(Back(), 282);
        EndCpuRiichi();
        break;
    default:
        break;
    }
}

void CMahjongGame::RunRiichiMenu(platform::WindowHandle window) {
    if (SubStep >= 3)
        RunPlayerRiichi(*this);
    else
        RunCallMenu(*this, window);
}
void CMahjongGame::RunRonMenu(platform::WindowHandle window) {
    RunCallMenu(*this, window);
}
void CMahjongGame::RunTsumoMenu(platform::WindowHandle window) {
    RunCallMenu(*this, window);
}

// ---------------------------------------------------------------- hands

bool CMahjongGame::DrawHands() {
    SortHands();
    RestoreArea(Slot(kTable), 80, kPlayerHandY, 540, 113);
    for (int s = 0; s < kMahjongHeld; ++s) {
        const Place p = PlayerHeldAt(s);
        DrawFace(Back(), g_mahjongPlayerHand[static_cast<std::size_t>(s)], p.x, p.y);
    }
    for (int s = 0; s < kMahjongHeld; ++s) {
        const Place p = CpuHeldAt(s);
        DrawTileBack(Back(), p.x, p.y);
    }
    return true;
}

bool CMahjongGame::DrawPlayerHand() {
    RestoreArea(Slot(kTable), 80, 484, 544, 113);
    for (int s = 0; s < kMahjongHeld; ++s) {
        const Place p = PlayerHeldAt(s);
        DrawFace(Back(), g_mahjongPlayerHand[static_cast<std::size_t>(s)], p.x, p.y);
    }
    return true;
}

bool CMahjongGame::DrawCpuHand() {
    RestoreArea(Slot(kTable), 44, kCpuHandY, 408, 82);
    for (int s = 0; s < kMahjongHeld; ++s) {
        const Place p = CpuHeldAt(s);
        DrawTileBack(Back(), p.x, p.y);
    }
    return true;
}
