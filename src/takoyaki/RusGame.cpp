#include "takoyaki/RusGame.h"

#include "app/Config.h"
#include "app/GameApp.h"
#include "app/Input.h"
#include "app/Shell.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "scenario/Scenario.h"
#include "screenkit/ScreenKit.h"
#include "sound/SoundChannel.h"

#include <algorithm>
#include <array>

using namespace screenkit;
using namespace rus;

std::unique_ptr<CRusGame> g_rusGame;

namespace {

constexpr std::uint8_t kResultMode = 67;
constexpr std::uint8_t kTitleMode = 65;
constexpr int kTile = 47;
constexpr int kAnnouncerLevel = config::kVoiceLevels + 11;

// Voice channels of the contest's lines.
constexpr int kAnnouncer = 0;
constexpr int kPlayerPlateLine = 1;
constexpr int kPlayerBurnLine = 2;
constexpr int kPlayerThirdLine = 3;
constexpr int kOpponentPlateLine = 11;
constexpr int kOpponentBurnLine = 12;
constexpr int kOpponentThirdLine = 13;
constexpr int kPourSlot = 9;

struct OpponentLook {
    const char* portrait;
    const char* opening;
    const char* plate;
    const char* burn;
    const char* thirdPlate;
    std::size_t voiceByte;
};

constexpr std::array<OpponentLook, kOpponents> kOpponentLooks{{
    {"bmp\\pomi.bmp", "voice\\pom0405.ogg", "voice\\pom0406.ogg", "voice\\pom0412.ogg",
     "voice\\pom0415.ogg", 11},
    {"bmp\\kelbo.bmp", "voice\\kel0183.ogg", "voice\\kel0184.ogg", "voice\\kel0190.ogg",
     "voice\\kel0193.ogg", 10},
    {"bmp\\vel_feni.bmp", "voice\\rus_qo01.ogg", "voice\\rus_qo02.ogg", "voice\\rus_qo08.ogg",
     "voice\\rus_qo09.ogg", 17},
    {"bmp\\mureli.bmp", "voice\\mur0364.ogg", "voice\\mur0365.ogg", "voice\\mur0371.ogg",
     "voice\\mur0374.ogg", 12},
    {"bmp\\dorile.bmp", "voice\\dor0398.ogg", "voice\\dor0399.ogg", "voice\\dor0408.ogg",
     "voice\\dor0411.ogg", 9},
    {"bmp\\holti.bmp", "voice\\hol0400.ogg", "voice\\hol0401.ogg", "voice\\hol0409.ogg",
     "voice\\hol0412.ogg", 15},
}};

} // namespace

std::size_t rus::OpponentVoiceByte(std::int8_t opponent) {
    return kOpponentLooks[static_cast<std::size_t>(std::clamp<int>(opponent, 0, kOpponents - 1))]
        .voiceByte;
}

namespace {

// Where in the playfield parts (cdib[4]) the highlight of each player button
// lies: batter, octopus, pick, throw away, serve, pause.
constexpr std::array<platform::Rect, 6> kButtonGlowSrc{{
    {0, 0, 119, 78},
    {119, 0, 119, 78},
    {238, 0, 119, 78},
    {357, 0, 80, 73},
    {437, 0, 132, 70},
    {437, 112, 82, 25},
}};

// How each timed effect shows: its overlay (cells of cdib[21]) and its label
// (cdib[22]), or the covers over one side's holes.
enum class Covers : std::uint8_t { None, PlayerHoles, OpponentHoles };
struct EffectLook {
    std::uint8_t CRusContest::*flag;
    std::uint32_t CRusContest::*fadeStamp;
    bool overlay;
    int overlaySx, overlaySy, overlayX, overlayY;
    int labelSx, labelW, labelX; // labelW 0: no label
    Covers covers;
};
constexpr int kOverlayW = 340;
constexpr int kOverlayH = 287;
constexpr int kLabelY = 74;
constexpr int kLabelH = 35;

// In the order the effects are drawn.
const std::array<EffectLook, 10> kEffectLooks{{
    {&CRusContest::NoBurn, &CRusContest::NoBurnFadeStamp, true, 0, 0, 30, 154, 0, 134, 16,
     Covers::None},
    {&CRusContest::DoubleBurnCost, &CRusContest::OpponentEffectFadeStamp, true, 340, 0, 30, 154,
     134, 134, 16, Covers::None},
    {&CRusContest::OpponentImmune, &CRusContest::OpponentEffectFadeStamp, true, 0, 287, 430, 154,
     269, 140, 646, Covers::None},
    {&CRusContest::PlayerHolesCovered, &CRusContest::OpponentEffectFadeStamp, false, 0, 0, 0, 0, 0,
     0, 0, Covers::PlayerHoles},
    {&CRusContest::PlayerMarkersHidden, &CRusContest::OpponentEffectFadeStamp, true, 340, 0, 30,
     154, 663, 135, 16, Covers::None},
    {&CRusContest::SlowCooking, &CRusContest::OpponentEffectFadeStamp, true, 340, 0, 30, 154, 531,
     132, 16, Covers::None},
    {&CRusContest::PlayerLocked, &CRusContest::OpponentEffectFadeStamp, false, 0, 0, 0, 0, 798, 127,
     16, Covers::None},
    {&CRusContest::PlayerImmune, &CRusContest::PlayerEffectFadeStamp, true, 0, 287, 30, 154, 269,
     140, 16, Covers::None},
    {&CRusContest::OpponentHolesCovered, &CRusContest::PlayerEffectFadeStamp, false, 0, 0, 0, 0, 0,
     0, 0, Covers::OpponentHoles},
    {&CRusContest::OpponentLocked, &CRusContest::PlayerEffectFadeStamp, false, 0, 0, 0, 0, 798, 127,
     649, Covers::None},
}};

constexpr auto kPictures = std::to_array<Picture>({
    {1, "bmp\\tako_base.bmp"},
    {21, "bmp\\rus_ban.bmp"},
    {22, "bmp\\status.bmp"},
    {23, "bmp\\tako_base01.bmp"},
    {2, "bmp\\kiji.bmp"},
    {3, "bmp\\mouse_icon.bmp"},
    {4, "bmp\\tako_p.bmp"},
    {6, "bmp\\father.bmp"},
    {7, "bmp\\name_list.bmp"},
    {8, "bmp\\sp_p.bmp"},
    {9, "bmp\\rus_ready.bmp"},
});

// Ready sequence steps and their lengths.
constexpr std::uint32_t kReadyFadeMs = 1000;
constexpr std::uint32_t kBannerInMs = 500;
constexpr std::uint32_t kFirstWordMs = 1500;
constexpr std::uint32_t kHoldMs = 1000;
constexpr std::uint32_t kSwapMs = 1200;
constexpr std::uint32_t kOutMs = 1000;

int Scaled(std::uint32_t elapsed, int full, std::uint32_t duration) {
    return static_cast<int>(StepLevel(elapsed, static_cast<std::uint32_t>(full), duration));
}

// Tile source x of a ball in hand: a good ball, or a burnt one by the stage
// it was taken at.
int HeldTileX(std::uint8_t held, int goodX) {
    switch (held) {
    case kGoodBall:
        return goodX;
    case kBurntAt11:
        return 470;
    case kBurntAt8:
        return 329;
    default:
        return 188;
    }
}

// A tool cursor of cdib[3] with its hot spot at (x, y).
void DrawTool(std::int8_t tool, int x, int y) {
    CDib* icons = Slot(3);
    switch (tool) {
    case kBatter:
        BltAlpha(g_backBuffer.get(), x, y - 8, icons, 0, 0, 32, 32);
        break;
    case kOctopus:
        BltAlpha(g_backBuffer.get(), x - 12, y - 10, icons, 64, 0, 32, 32);
        break;
    case kPick:
        BltAlpha(g_backBuffer.get(), x, y - 26, icons, 96, 0, 32, 32);
        break;
    default:
        BltAlpha(g_backBuffer.get(), x, y - 8, icons, 32, 0, 32, 32);
        break;
    }
}

void DrawDigits(CDib* target, int value, int tensX, int unitsX, int y, int w, int h, int srcY) {
    const int v = std::clamp(value, 0, 99);
    BltAlpha(target, tensX, y, Slot(4), w * (v / 10), srcY, w, h);
    BltAlpha(target, unitsX, y, Slot(4), w * (v % 10), srcY, w, h);
}

constexpr auto kStates = NumberedStates<CRusGame, 22>({
    {0, &CRusGame::Load},
    {1, &CRusGame::RunReady},
    {2, &CRusGame::RunPlay},
    {5, &CRusGame::RunOpponentCutIn},
    {6, &CRusGame::RunPlayerCutIn},
    {10, &CRusGame::Judge},
    {11, &CRusGame::RunWin},
    {12, &CRusGame::RunLose},
    {20, &CRusGame::RunPause},
    {21, &CRusGame::Quit},
});

} // namespace

CRusGame::CRusGame() : Contest(g_gameApp ? g_gameApp->opponentIndex : 0) {
    if (g_gameApp) {
        g_gameApp->screenRect = platform::Rect{0, 0, kScreenWidth, kScreenHeight};
        g_gameApp->contestResults = {0, 0};
    }
}

void CRusGame::Run(platform::WindowHandle window) {
    RunState(*this, static_cast<std::uint8_t>(Contest.State), kStates, window);
}

void CRusGame::Load(platform::WindowHandle) {
    const OpponentLook& look = kOpponentLooks[static_cast<std::size_t>(Contest.Opponent)];
    CopyOfBackBuffer(0);
    LoadPictures(kPictures);
    LoadSurface(5, look.portrait);
    CopyOfSurface(10, Slot(1));
    Contest.Load();
    DrawField(Slot(10));
    DrawToolHighlight(Slot(10));
    // The opponent's tool highlight over its batter button.
    const platform::Rect& glow = kButtonGlowSrc[0];
    BltAlpha(Slot(10), Contest.ButtonRect[0].left + 401, Contest.ButtonRect[0].top, Slot(4),
             glow.left, glow.top, glow.right, glow.bottom);

    FreeVoiceSlots();
    const auto load = [](int channel, const char* name) {
        auto c = std::make_unique<CVoiceChannel>();
        c->Load(name);
        g_voiceChannels[channel] = std::move(c);
    };
    load(kPlayerPlateLine, "voice\\gor0129.ogg");
    load(kPlayerBurnLine, "voice\\gor0131.ogg");
    load(kPlayerThirdLine, Contest.Opponent == 2 ? "voice\\gor0135.ogg" : "voice\\gor0134.ogg");
    load(kOpponentPlateLine, look.plate);
    load(kOpponentBurnLine, look.burn);
    load(kOpponentThirdLine, look.thirdPlate);
    LoadSe(kPourSlot, "se\\se094.ogg");
    Contest.SubStep = 0;
    Clock().Restart();
}

void CRusGame::DrawField(CDib* target) {
    CRusContest& c = Contest;
    BltCopy(target, 0, 0, Slot(1), 0, 0, kScreenWidth, kScreenHeight);
    if (c.PlayerLocked) BltCopy(target, 0, 0, Slot(23), 0, 0, 399, 600);
    if (c.OpponentLocked) BltCopy(target, 400, 0, Slot(23), 400, 0, 399, 600);
    BltAlpha(target, 12, 9, Slot(6), 0, 0, 144, 99);
    BltAlpha(target, 644, 9, Slot(5), 0, 0, 144, 99);
    DrawEffects(target);
    BltAlpha(target, 164, 71, Slot(7), 0, 0, 170, 38);
    BltAlpha(target, 467, 71, Slot(7), 0, 38 * (c.Opponent + 1), 170, 38);
    // The life bars shrink towards the centre line.
    const int pl = std::clamp(c.PlayerLife, 0, kFullLife);
    const int ol = std::clamp(c.OpponentLife, 0, kFullLife);
    BltAlpha(target, 393 - pl, 12, Slot(4), kFullLife - pl, 78, pl, 34);
    BltAlpha(target, 407, 12, Slot(4), kFullLife, 78, ol, 34);
    DrawSpecials(target);
    // The player's gauges grow leftwards, the opponent's rightwards.
    const auto gauge = [](std::int32_t g) { return std::clamp(g, 0, kGaugeFull); };
    const int pg1 = gauge(c.PlayerGauge1), pg2 = gauge(c.PlayerGauge2);
    BltAlpha(target, 262 - 9 * pg2, 49, Slot(4), (10 - pg2) * 9, 112, 9 * pg2, 15);
    BltAlpha(target, 357 - 9 * pg1, 49, Slot(4), (10 - pg1) * 9, 112, 9 * pg1, 15);
    BltAlpha(target, 443, 49, Slot(4), 0, 112, 9 * gauge(c.OpponentGauge1), 15);
    BltAlpha(target, 538, 49, Slot(4), 0, 112, 9 * gauge(c.OpponentGauge2), 15);
    DrawPan(target, Side::Player);
    DrawPan(target, Side::Opponent);
    if (c.HoverButton >= 4 && c.HoverButton <= 6) {
        const platform::Rect& r = c.ButtonRect[c.HoverButton - 1];
        const platform::Rect& g = kButtonGlowSrc[c.HoverButton - 1];
        BltAlpha(target, r.left, r.top, Slot(4), g.left, g.top, g.right, g.bottom);
    }
    for (int k = 0; k < kPlacesPerPlate; ++k) {
        const bool upper = k < 3;
        const int sy = upper ? 128 : 164;
        const int w = upper ? 37 : 38;
        const int h = upper ? 36 : 30;
        const int dx = upper ? 127 + 37 * k : 125 + 38 * (k - 3);
        const int dy = upper ? 522 : 551;
        if (c.PlayerPlate[k]) BltAlpha(target, dx, dy, Slot(4), 0, sy, w, h);
        if (c.OpponentPlate[k]) BltAlpha(target, dx + 402, dy, Slot(4), 0, sy, w, h);
    }
    DrawDigits(target, c.PlayerPlates, 296, 345, 532, 47, 61, 194);
    DrawDigits(target, c.OpponentPlates, 700, 749, 532, 47, 61, 194);
    DrawDigits(target, c.TimeLeft, 366, 400, 78, 33, 36, 255);
}

void CRusGame::DrawToolHighlight(CDib* target) {
    const CRusContest& c = Contest;
    if (c.PlayerToolButton < 0 || c.PlayerToolButton >= 3) return;
    const platform::Rect& r = c.ButtonRect[c.PlayerToolButton];
    const platform::Rect& g = kButtonGlowSrc[c.PlayerToolButton];
    BltAlpha(target, r.left, r.top, Slot(4), g.left, g.top, g.right, g.bottom);
}

void CRusGame::DrawEffects(CDib* target) {
    for (const EffectLook& e : kEffectLooks) {
        const std::uint8_t flag = Contest.*e.flag;
        if (flag == kEffectOff) continue;
        const int opacity = Contest.EffectOpacity(flag, Contest.*e.fadeStamp);
        if (e.overlay)
            BltAlphaBlend(target, e.overlayX, e.overlayY, Slot(21), e.overlaySx, e.overlaySy,
                          kOverlayW, kOverlayH, opacity);
        if (e.labelW > 0)
            BltAlphaBlend(target, e.labelX, kLabelY, Slot(22), e.labelSx, 0, e.labelW, kLabelH,
                          opacity);
        if (e.covers == Covers::None) continue;
        const bool player = e.covers == Covers::PlayerHoles;
        const auto& covered = player ? Contest.PlayerHoleCovered : Contest.OpponentHoleCovered;
        const auto& rects = player ? Contest.PlayerHoleRect : Contest.OpponentHoleRect;
        for (int h = 0; h < kHoles; ++h)
            if (covered[h])
                BltAlphaBlend(target, rects[h].left, rects[h].top, Slot(4), 150, 130, 49, 49,
                              opacity);
    }
}

void CRusGame::DrawSpecials(CDib* target) {
    const CRusContest& c = Contest;
    constexpr int kCell = 194;
    int cell1 = 0;
    int cell2 = 0;
    switch (c.HoverSpecial) {
    case 1:
        cell1 = (c.PlayerGauge1Full + 1) * kCell;
        cell2 = (c.PlayerGauge2Full + 3) * kCell;
        break;
    case 2:
        cell1 = c.PlayerGauge1Full * kCell;
        cell2 = (c.PlayerGauge2Full + 4) * kCell;
        break;
    default:
        cell1 = c.CanUsePlayerSpecial(1) ? kCell : 0;
        cell2 = c.CanUsePlayerSpecial(2) ? 4 * kCell : 3 * kCell;
        break;
    }
    BltAlpha(target, 3, 122, Slot(8), cell1, 0, kCell, 32);
    BltAlpha(target, 199, 122, Slot(8), cell2, 0, kCell, 32);
    const int row = 32 * (c.Opponent + 1);
    const bool lit1 = c.OpponentGauge1Full && c.OpponentPlates > 0;
    const bool lit2 = c.OpponentGauge2Full && c.OpponentPlates >= 2;
    BltAlpha(target, 407, 122, Slot(8), lit1 ? kCell : 0, row, kCell, 32);
    BltAlpha(target, 603, 122, Slot(8), lit2 ? 4 * kCell : 3 * kCell, row, kCell, 32);
}

void CRusGame::DrawPan(CDib* target, Side side) {
    const bool player = side == Side::Player;
    const auto& stages = player ? Contest.PlayerStage : Contest.OpponentStage;
    const auto& rects = player ? Contest.PlayerHoleRect : Contest.OpponentHoleRect;
    const bool markers = !(player && Contest.PlayerMarkersHidden);
    for (int h = 0; h < kHoles; ++h) {
        const int s = stages[h];
        if (s <= 0) continue;
        const int x = rects[h].left;
        const int y = rects[h].top;
        BltAlpha(target, x, y, Slot(2), kTile * (s - 1), 0, kTile, kTile);
        if (s == 4 || s == 6 || s == 7 || s == 10) {
            if (markers) BltAlphaBlend(target, x, y, Slot(4), 37, 128, kTile, kTile, 254);
        } else if (s == 5 || s == 8 || s == 11) {
            BltAlpha(target, x, y, Slot(4), 84, 128, kTile, kTile);
        }
    }
}

void CRusGame::DrawHands() {
    const CRusContest& c = Contest;
    CDib* back = g_backBuffer.get();
    // The frame her hand reaches her special button hands over to her
    // cut-in at once: neither her highlight nor her hand is drawn, so the
    // cut-in's picture of the contest holds none.
    if (c.State != RusState::OpponentCutIn) {
        if (!c.OpponentLocked && c.OpponentToolButton >= 0 && c.OpponentToolButton < 3) {
            const platform::Rect& r = c.ButtonRect[c.OpponentToolButton];
            const platform::Rect& g = kButtonGlowSrc[c.OpponentToolButton];
            BltAlpha(back, r.left + 401, r.top, Slot(4), g.left, g.top, g.right, g.bottom);
        }
        if (c.OpponentHeld != kEmptyHand)
            BltAlpha(back, c.HandX - 24, c.HandY - 24, Slot(2), HeldTileX(c.OpponentHeld, 423), 0,
                     kTile, kTile);
        else
            DrawTool(c.OpponentTool, c.HandX, c.HandY);
    }
    if (c.PlayerHeld != kEmptyHand)
        BltAlpha(back, c.CursorX - 24, c.CursorY - 24, Slot(2), HeldTileX(c.PlayerHeld, 376), 0,
                 kTile, kTile);
    else
        DrawTool(c.PlayerTool, c.CursorX, c.CursorY);
}

void CRusGame::RunReady(platform::WindowHandle) {
    CDib* back = g_backBuffer.get();
    CDib* ready = Slot(9);
    const std::uint32_t e = Clock().Tick();
    const bool hurried = Hurried(Hurry::BySkipOrClick);
    const auto strip = [&](int opacity) {
        BltAlphaBlend(back, 0, 275, ready, 0, 0, 800, 51, opacity);
    };
    switch (Contest.SubStep) {
    case 0:
        if (Fading(Clock(), Slot(10), Slot(0), kReadyFadeMs, Hurry::BySkipOrClick)) return;
        ClearClick();
        Contest.SubStep = 1;
        return;
    case 1:
        ShowWhole(Slot(10));
        if (e < kBannerInMs && !hurried) {
            // The strip slides in from the left while it fades in.
            const int s = Scaled(e, 400, kBannerInMs);
            BltAlphaBlend(back, s - 400, 275, ready, 0, 0, s + 400, 51,
                          Scaled(e, 254, kBannerInMs));
            return;
        }
        strip(254);
        ClearClick();
        Contest.SubStep = 2;
        return;
    case 2:
        if (g_config[config::kVoiceMuteB] != 1)
            PlayVoiceAt(kAnnouncer, "voice\\gor0119.ogg", g_config[kAnnouncerLevel]);
        Clock().Restart();
        Contest.SubStep = 3;
        return;
    case 3: {
        ShowWhole(Slot(10));
        strip(254);
        // The first word opens from a line at y 300.
        const int opacity = Scaled(e, 254, kFirstWordMs);
        if (e < kFirstWordMs && !hurried) {
            const int g = Scaled(e, 25, kFirstWordMs);
            BltStretchAlphaBlend(back, 310, 300 - g, 180, 2 * g + 1, ready, 0, 51, 180, 51,
                                 opacity);
            return;
        }
        BltAlphaBlend(back, 310, 275, ready, 0, 51, 180, 51, opacity);
        Level = static_cast<std::uint16_t>(opacity);
        ClearClick();
        Clock().Restart();
        Contest.SubStep = 4;
        return;
    }
    case 4:
        if (e < kHoldMs) return;
        Clock().Restart();
        Contest.SubStep = 5;
        return;
    case 5: {
        ShowWhole(Slot(10));
        strip(254);
        if (e < kSwapMs && !hurried) {
            // The first word grows and fades while the second opens from the
            // centre.
            const int a = Scaled(e, 254, kSwapMs);
            const int g = Scaled(e, 25, kSwapMs);
            BltStretchAlphaBlend(back, 310, 275 - g, 180, 2 * g + 51, ready, 0, 51, 180, 51,
                                 254 - a);
            const int w = Scaled(e, 220, kSwapMs);
            const int h = Scaled(e, 60, kSwapMs);
            BltStretchAlphaBlend(back, 400 - w, 300 - h, 2 * w, 2 * h, ready, 180, 51, 440, 120, a);
            return;
        }
        BltAlphaBlend(back, 180, 240, ready, 180, 51, 440, 120, 254);
        ClearClick();
        Clock().Restart();
        Contest.SubStep = 6;
        return;
    }
    case 6: {
        ShowWhole(Slot(10));
        if (e < kOutMs && !hurried) {
            const int a = Scaled(e, 254, kOutMs);
            strip(254 - a);
            const int w = Scaled(e, 120, kOutMs);
            const int h = Scaled(e, 60, kOutMs);
            BltStretchAlphaBlend(back, 180 - w, 240 - h, 440 + 2 * w, 120 + 2 * h, ready, 180, 51,
                                 440, 120, 254 - a);
            return;
        }
        ClearClick();
        StartMusic("bgm\\n008.ogg");
        const OpponentLook& look = kOpponentLooks[static_cast<std::size_t>(Contest.Opponent)];
        if (g_config[config::kVoiceMuteA] != 1)
            PlayVoiceAt(kAnnouncer, look.opening, g_config[look.voiceByte]);
        Contest.SubStep = 0;
        Contest.BeginPlay();
        return;
    }
    default:
        return;
    }
}

void CRusGame::RunPlay(platform::WindowHandle) {
    PlayInput input{g_mouse->x, g_mouse->y, g_mouse->click != 0, g_mouse->cancel != 0};
    Contest.RunPlay(input);
    g_mouse->click = input.click ? 1 : 0;
    g_mouse->cancel = input.cancel ? 1 : 0;

    DrawField(g_backBuffer.get());
    // The time-up picture is taken here, before the tool highlight.
    PlayCues();
    DrawToolHighlight(g_backBuffer.get());
    // The pause and a special end the frame before the hands are drawn, so
    // the frozen picture under the dialog or the cut-in has none.
    if (Contest.State == RusState::Pause || Contest.State == RusState::PlayerCutIn) return;
    DrawHands();
}

void CRusGame::PlayLine(int channel, int level) {
    auto& c = g_voiceChannels[channel];
    if (!c) return;
    c->SetVolume(level);
    c->Play(Repeat::Once);
}

void CRusGame::PlayCues() {
    const bool announcerQuiet = g_config[config::kVoiceMuteB] == 1;
    const bool opponentQuiet = g_config[config::kVoiceMuteA] == 1;
    const int announcer = g_config[kAnnouncerLevel];
    const int opponent =
        g_config[kOpponentLooks[static_cast<std::size_t>(Contest.Opponent)].voiceByte];
    for (Cue cue : Contest.Cues) {
        switch (cue) {
        case Cue::PlayerPour:
        case Cue::OpponentPour:
            ReplaySe(kPourSlot);
            break;
        case Cue::PlayerBurn:
            if (!announcerQuiet) PlayLine(kPlayerBurnLine, announcer);
            break;
        case Cue::PlayerPlate:
            if (!announcerQuiet) PlayLine(kPlayerPlateLine, announcer);
            break;
        case Cue::PlayerThirdPlate:
            if (!announcerQuiet) PlayLine(kPlayerThirdLine, announcer);
            break;
        case Cue::OpponentBurn:
            if (!opponentQuiet) PlayLine(kOpponentBurnLine, opponent);
            break;
        case Cue::OpponentPlate:
            if (!opponentQuiet) PlayLine(kOpponentPlateLine, opponent);
            break;
        case Cue::OpponentThirdPlate:
            if (!opponentQuiet) PlayLine(kOpponentThirdLine, opponent);
            break;
        case Cue::TimeUp:
            // The judge shows this picture (the timer at 00) while the
            // time-up line plays.
            CopyOfBackBuffer(10);
            if (!announcerQuiet)
                PlayVoiceAt(kAnnouncer, "voice\\gor0122.ogg", announcer);
            else
                FreeVoiceSlot(kAnnouncer);
            break;
        }
    }
    Contest.Cues.clear();
}

void CRusGame::RunOpponentCutIn(platform::WindowHandle window) {
    PlayOpponentCutIn(window);
}

void CRusGame::RunPlayerCutIn(platform::WindowHandle window) {
    if (Contest.PlayerSpecial == 0) {
        PlayPlayerCutIn1(window);
    } else if (Contest.PlayerSpecial == 1) {
        PlayPlayerCutIn2(window);
    }
}

void CRusGame::Judge(platform::WindowHandle) {
    ShowWhole(Slot(10));
    const auto& voice = g_voiceChannels[kAnnouncer];
    if (voice && !voice->IsStopped()) return;
    Contest.Judge();
}

bool CRusGame::DroppingBanner(CDib* under, const Banner& b) {
    const std::uint32_t e = Clock().Tick();
    ShowWhole(under);
    // It drops from the top to its rest while it fades in, over 500 ms.
    const bool running = e < 500 && !Hurried(Hurry::BySkipOrClick);
    BltAlphaBlend(g_backBuffer.get(), b.x, running ? Scaled(e, b.restY, 500) : b.restY, Slot(2),
                  b.sx, b.sy, b.w, b.h, running ? Scaled(e, 254, 500) : 254);
    return running;
}

namespace {

// How a decided contest ends on screen: its banner picture and line, the
// fades before the banner (incoming and outgoing slot, length), and the
// slot the banner drops over.
struct Fade {
    int incoming, outgoing;
    std::uint32_t ms;
};
struct Ending {
    const char* picture;
    const char* line;
    std::array<Fade, 2> fades;
    int fadeCount;
    int bannerUnder;
    CRusGame::Banner banner;
};
// A win flashes to white and back, a loss darkens the field.
constexpr Ending kWinEnding{
    "bmp\\rus_win.bmp",        "voice\\gor0120.ogg", {{{1, 0, 100}, {0, 1, 500}}}, 2, 0,
    {240, 240, 0, 0, 360, 120}};
constexpr Ending kLoseEnding{
    "bmp\\rus_los.bmp",          "voice\\gor0121.ogg", {{{1, 0, 1000}, {0, 0, 0}}}, 1, 1,
    {260, 250, 0, 600, 280, 100}};

} // namespace

void CRusGame::RunWin(platform::WindowHandle) {
    RunEnding(true);
}

void CRusGame::RunLose(platform::WindowHandle) {
    RunEnding(false);
}

void CRusGame::RunEnding(bool won) {
    const Ending& end = won ? kWinEnding : kLoseEnding;
    const int step = Contest.SubStep;
    const int bannerStep = 2 + end.fadeCount;
    const auto next = [this] {
        ClearClick();
        ++Contest.SubStep;
    };
    if (step == 0) {
        Contest.SubStep = 1;
    } else if (step == 1) {
        FreeSurfaces(0, 10);
        CopyOfBackBuffer(0);
        LoadSurface(2, end.picture);
        if (won) {
            BlankSurface(1, kWhite);
        } else {
            CopyOfBackBuffer(1);
            BltAlpha(Slot(1), 0, 0, Slot(2), 0, 0, kScreenWidth, kScreenHeight);
        }
        PlayVoiceAt(kAnnouncer, end.line, g_config[kAnnouncerLevel]);
        Clock().Restart();
        next();
    } else if (step < bannerStep) {
        const Fade& f = end.fades[static_cast<std::size_t>(step - 2)];
        if (Fading(Clock(), Slot(f.incoming), Slot(f.outgoing), f.ms, Hurry::BySkipOrClick)) return;
        next();
    } else if (step == bannerStep) {
        if (DroppingBanner(Slot(end.bannerUnder), end.banner)) return;
        next();
    } else if (TakeClick()) {
        // Only a win is kept in the settings.
        if (won) Contest.RecordWin(std::span<std::uint8_t>(g_config.data(), g_config.size()));
        const Outcome o = Contest.GetOutcome();
        if (g_gameApp) g_gameApp->contestResults = {o.winner, o.loser};
        StopMusic();
        if (won) SaveConfig();
        LeaveTo(kResultMode);
    }
}

void CRusGame::RunPause(platform::WindowHandle) {
    constexpr int kPanelX = 310;
    constexpr int kPanelY = 245;
    switch (Contest.SubStep) {
    case 0:
        CopyOfBackBuffer(10);
        CopyOfBackBuffer(11);
        BltAlpha(Slot(11), kPanelX, kPanelY, Slot(4), 0, 308, 212, 126);
        ShowWhole(Slot(11));
        DialogHover = PrevDialogHover = 0;
        Contest.SubStep = 2;
        return;
    case 2: {
        const std::array<platform::Rect, 2> buttons{Contest.DialogYesRect, Contest.DialogNoRect};
        if (TrackHover(DialogHover, PrevDialogHover, buttons)) {
            RestoreArea(Slot(11), kPanelX, kPanelY, 212, 126);
            if (DialogHover != 0) {
                const platform::Rect& r = buttons[DialogHover - 1];
                BltAlpha(g_backBuffer.get(), r.left, r.top, Slot(4), (DialogHover - 1) * 52, 434,
                         RectWidth(r), 27);
            }
        }
        if (DialogHover == 0 || !TakeClick()) return;
        if (DialogHover == 1) {
            Contest.AnswerPause(PauseAnswer::Quit);
            return;
        }
        // Back to play: every running stage, gauge and timer step starts
        // again from zero.
        ShowWhole(Slot(10));
        FreeSurfaces(10, 11);
        Contest.AnswerPause(PauseAnswer::Resume);
        return;
    }
    default:
        return;
    }
}

void CRusGame::Quit(platform::WindowHandle) {
    FreeSurfaces(1, 39);
    FreeSeSlot(0);
    FreeSeSlot(1);
    if (g_bgmChannel) {
        StopMusic();
        FreeMusicName();
    }
    Contest.State = RusState::Load;
    SetPlayContext(0);
    LeaveTo(kTitleMode);
    ClearClick();
}
