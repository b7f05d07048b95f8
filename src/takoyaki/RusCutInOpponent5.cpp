// Opponent 5's cut-ins. Variant 0 swings her panel out and back three times,
// shakes the contest flashing red, hits the player for 25 and steals one of
// the player's served plates instead of paying her own. Variant 1 shows her
// banner and spins a reel that picks one of five attacks (RusReelAttacks.cpp).
#include "platform/Platform.h"
#include "screenkit/ScreenKit.h"
#include "takoyaki/RusCutIn.h"
#include "takoyaki/RusPan.h"

#include <algorithm>
#include <cmath>
#include <numbers>

using namespace rus;
using namespace rus::cutin;
using namespace screenkit;
using rus::pan::Now;

namespace {

constexpr const char* kBasePicture = "bmp\\hol_base.bmp";
constexpr int kFlashSlot = 14; // red in variant 0, white in variant 1
constexpr std::uint32_t kRed = 0xFF0000;
constexpr int kRest = 254;

// Variant 0's sheet "bmp\hol_sp_p.bmp".
constexpr Piece kPanelA{0, 213, 450, 213};
constexpr Piece kPanelB{450, 213, 450, 213};
constexpr Piece kStripK{0, 426, 800, 213};
constexpr Piece kStripD{0, 639, 800, 213};
constexpr int kSwings = 3;
constexpr std::uint32_t kSwingMs = 500;

// Variant 1's sheet "bmp\hol_sp_p02.bmp".
constexpr Piece kBannerA{0, 426, 360, 213};
constexpr Piece kBannerB{0, 213, 616, 213};
constexpr Piece kStripS{0, 639, 800, 117};

// The reel's phase in variant 1, and the ending its attacks lead to.
constexpr std::uint8_t kReelPhase = 5;
constexpr std::uint8_t kReelEnding = 15;

// How far a swinging panel has gone, 0 to 300: slowly at first, fast at the end.
int Swing(std::uint32_t elapsed) {
    const auto degrees = static_cast<int>(std::uint64_t{elapsed} * 90 / kSwingMs);
    const double c = std::cos(degrees * (std::numbers::pi / 180.0));
    return static_cast<int>(300.0 - 300.0 * std::log10(1.0 + 9.0 * c));
}

} // namespace

void CRusGame::PlayOpponentCutIn5A(platform::WindowHandle) {
    CutIn k(*this);
    CRusContest& c = Contest;
    CDib* back = CutIn::Back();
    switch (c.CutInPhase) {
    case 0: // the swings' sound plays again as each ends
        k.SetUp(kBasePicture, "bmp\\hol_sp_p.bmp",
                {.flash = kRed,
                 .sound = "se\\nse025_1.ogg",
                 .soundLater = "se\\pse119.ogg",
                 .line = g_rusCutInVoice[10]});
        return;
    case 1:
    case 2:
        k.Opening(Into::Fade, 300, Line::Loaded);
        return;
    case 3: { // her panel swings out and back three times, then two strips
        const std::uint32_t e = k.SceneBand(16);
        switch (c.CutInStep) {
        case 0: {
            const int q = k.Ramp(1000);
            if (q < kRest) {
                k.Draw(back, kPanelA, 350, kBandY, q, kSheet);
                return;
            }
            k.Draw(back, kPanelA, 350, kBandY);
            ReplaySe(kSeChannel);
            k.NextStep(Click::Keep);
            return;
        }
        case 1:   // out to the left
        case 2: { // and back, as B once A has come back the first time
            const bool out = c.CutInStep == 1;
            const Piece& panel = out || c.SlideOffset2 == 0 ? kPanelA : kPanelB;
            const int q = k.Ramp(kSwingMs);
            if (q < kRest) {
                const int d = Swing(e);
                k.Draw(back, panel, 350, kBandY, 255 - q, kSheet);
                k.Draw(back, panel, out ? 350 - d : 30 + d, kBandY, kRest, kSheet);
                return;
            }
            ReplaySe(kSeChannel);
            if (out) {
                k.Draw(back, kPanelA, 50, kBandY, kRest, kSheet);
                k.NextStep(Click::Keep);
                return;
            }
            k.Draw(back, kPanelB, 350, kBandY);
            if (++c.SlideOffset2 < kSwings) {
                c.CutInStep = 0; // NextStep brings it to 1
            } else {
                c.SlideOffset2 = 0;
            }
            k.NextStep(Click::Keep);
            return;
        }
        case 3: {
            k.Draw(back, kPanelB, 350, kBandY);
            const int q = k.Ramp(1000);
            k.Draw(back, kStripK, 0, kBandY, q, kSheet);
            if (q < kRest) return;
            ReplaySe(1);
            k.NextStep(Click::Keep);
            return;
        }
        case 4: {
            k.Draw(back, kPanelB, 350, kBandY);
            const int q = k.Ramp(2000);
            if (q < kRest) {
                k.Draw(back, kStripK, 0, kBandY, 255 - q, kSheet);
                k.Draw(back, kStripD, 0, kBandY, q, kSheet);
                return;
            }
            k.Draw(back, kStripD, 0, kBandY);
            k.NextStep(Click::Keep);
            return;
        }
        default:
            k.BakeBand();
            k.Draw(Slot(kScene), kPanelB, 350, kBandY);
            k.Draw(Slot(kScene), kStripD, 0, kBandY);
            ShowWhole(Slot(kScene));
            LoadSe(kSeChannel, "se\\BSE034.ogg");
            c.CutInStep = 0;
            k.Next(Click::Keep);
            return;
        }
    }
    case 4: // the shake runs out a second after the band's last step
        if (k.FlashShake(kFlashSlot, 1000)) return;
        ReplaySe(kSeChannel);
        CutIn::AnnouncerLine("voice\\gor0127.ogg");
        k.Next(c.Hit(Side::Player, 25) ? 5 : 6, Click::Keep);
        return;
    case 5:
        k.BarDropPhase(Side::Player, Click::Keep);
        return;
    case 6: // the ending: the player pays her price, her own plates stay
        if (!c.Guarded(Side::Player)) c.PayPrice(Side::Player, 1);
        c.OpponentReelResult = 0;
        k.OpponentEnding({.plates = 0,
                          .gauges = GaugeReset::SecondToFirst,
                          .noBurn = NoBurnEffect::Ends,
                          .stamp = EffectStamp::Set});
        return;
    default:
        return;
    }
}

void CRusGame::PlayOpponentCutIn5B(platform::WindowHandle window) {
    CutIn k(*this);
    CRusContest& c = Contest;
    CDib* back = CutIn::Back();
    switch (c.CutInPhase) {
    case 0: // her reel starts at 0
        c.OpponentReelResult = 0;
        k.SetUp(kBasePicture, "bmp\\hol_sp_p02.bmp",
                {.flash = kWhite,
                 .sound = "se\\SE396.ogg",
                 .soundLater = "se\\nse003.ogg",
                 .line = g_rusCutInVoice[11]});
        return;
    case 1:
    case 2:
        k.Opening(Into::Wipe, 200, Line::Loaded);
        return;
    case 3: { // her banner: two panels and a strip that zooms in
        const std::uint32_t e = k.SceneBand(16);
        const std::uint8_t step = c.CutInStep;
        switch (step) {
        case 0: {
            const int q = k.Ramp(1000);
            if (q < kRest) {
                k.Draw(back, kBannerA, kScreenWidth - CutIn::Slide(e, 360, 1000), kBandY, q,
                       kSheet);
                return;
            }
            k.Draw(back, kBannerA, 440, kBandY);
            c.CutInTimer2 = Now();
            k.NextStep(Click::Keep);
            return;
        }
        case 1:
        case 2: {
            const int q = step == 1 ? k.Ramp(2000) : kRest;
            k.Draw(back, kBannerB, 0, kBandY, q, kSheet);
            k.Draw(back, kBannerA, 440, kBandY);
            if (k.Ramp(2000) == kRest) k.NextStep(Click::Keep);
            return;
        }
        case 3:
        case 4: {
            k.Draw(back, kBannerB, 0, kBandY);
            k.Draw(back, kBannerA, 440, kBandY);
            const std::uint32_t ms = step == 3 ? 800 : 1500;
            const int q = k.Ramp(ms);
            const int x = CutIn::Slide(e, 400, ms), y = CutIn::Slide(e, 106, ms);
            if (step == 3) {
                if (q < kRest) {
                    k.Stretch(back, kStripS, x - 400, y + 184, 2 * (kScreenWidth - x), 329 - 2 * y,
                              q);
                    return;
                }
                k.Draw(back, kStripS, 0, 290);
                ReplaySe(1);
                k.NextStep(Click::Keep);
                return;
            }
            k.Draw(back, kStripS, 0, 290);
            if (q == kRest) {
                k.NextStep(Click::Keep);
                return;
            }
            // A ghost of the strip grows away from it.
            k.Stretch(back, kStripS, -2 * x, 2 * (145 - y), 4 * x + kScreenWidth, 4 * y + 117,
                      255 - q);
            return;
        }
        default:
            k.BakeBand();
            k.Draw(Slot(kScene), kBannerB, 0, kBandY);
            k.Draw(Slot(kScene), kBannerA, 440, kBandY);
            k.Draw(Slot(kScene), kStripS, 0, 290);
            ShowWhole(Slot(kScene));
            c.CutInTimer = Now();
            c.CutInStep = 0;
            k.Next(Click::Keep);
            return;
        }
    }
    case 4: // the banner gives way at once; the reel picks her attack
        if (k.Wipe(kFlashSlot, kReturn, 300)) return;
        c.ScrollOffset = 0;
        c.OpponentReelResult = static_cast<std::uint8_t>(RandTimesClock() % 5);
        c.CutInStep2 = 0;
        k.Next(kReelPhase);
        return;
    case kReelPhase:
        PlayOpponentReelAttack(window);
        return;
    case kReelEnding: // the ending: no line of its own, each attack plays its own
        k.OpponentEnding({.plates = 2,
                          .gauges = GaugeReset::EmptyBoth,
                          .noBurn = NoBurnEffect::Ends,
                          .stamp = EffectStamp::Set});
        return;
    default:
        return;
    }
}
