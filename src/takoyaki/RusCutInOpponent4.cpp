// Opponent 4's cut-ins. Both end in a shake that flashes between the contest
// and a flash colour, and hit the player for 30. Variant 0 shows her panels,
// two crossing pictures and a zooming emblem: the player's cooking slows for
// a while. Variant 1 holds her panel for as long as her line lasts, then a
// trembling picture and a wavering one: the player's pan is locked a while.
#include "platform/Platform.h"
#include "screenkit/ScreenKit.h"
#include "sound/SoundChannel.h"
#include "takoyaki/RusCutIn.h"
#include "takoyaki/RusPan.h"

#include <algorithm>
#include <array>

using namespace rus;
using namespace rus::cutin;
using namespace screenkit;
using rus::pan::Now;

namespace {

constexpr const char* kBasePicture = "bmp\\dor_base.bmp";
constexpr int kFlashSlot = 14; // red in variant 0, white in variant 1
constexpr std::uint32_t kRed = 0xFF0000;
constexpr int kRest = 254;

// Variant 0's sheet "bmp\dor_sp_p.bmp".
constexpr Piece kPanelA{0, 213, 520, 213};
constexpr Piece kPanelA2{520, 213, 550, 213};
constexpr Piece kPanelP{0, 639, 550, 213};
constexpr Piece kEmblem{700, 426, 210, 213};
// The two pictures that cross the panel one after the other: the piece, its
// row and how far it travels in two seconds.
struct Crossing {
    Piece piece;
    int y, distance;
};
constexpr std::array<Crossing, 2> kCrossings{{
    {{0, 426, 290, 120}, 240, 1090},
    {{290, 426, 410, 150}, 225, 1210},
}};
constexpr std::uint32_t kCrossingMs = 2000;

// Variant 1's sheet "bmp\dor_sp_p02.bmp".
constexpr Piece kPanel1A{0, 213, 456, 213};
constexpr Piece kPanel1B{0, 426, 510, 213};
constexpr Piece kWaver{0, 639, 800, 213};
constexpr int kWaverRows = 212;

// Her three lines for variant 1, picked by the draw.
constexpr std::array<const char*, 3> kLines{"voice\\dor0403.ogg", "voice\\dor0404.ogg",
                                            "voice\\dor0405.ogg"};

// A trembling column: −4 to +3 pixels by the low three bits of `p`.
int Tremble(std::uint32_t p) {
    return static_cast<int>(p & 7) - 4;
}

// The hit after the flashing shake, with its blow either way.
std::uint8_t HitPhase(CRusContest& c, std::uint8_t hit, std::uint8_t ending) {
    ReplaySe(kSeChannel);
    return c.Hit(Side::Player, 30) ? hit : ending;
}

} // namespace

void CRusGame::PlayOpponentCutIn4A(platform::WindowHandle) {
    CutIn k(*this);
    CRusContest& c = Contest;
    CDib* back = CutIn::Back();
    switch (c.CutInPhase) {
    case 0:
        k.SetUp(kBasePicture, "bmp\\dor_sp_p.bmp",
                {.flash = kRed,
                 .sound = "se\\mse17.ogg",
                 .soundLater = "se\\mse12.ogg",
                 .line = g_rusCutInVoice[8]});
        return;
    case 1:
    case 2: // fades into the red flash and back, her line with the band
        k.Opening(Into::Fade, 300, Line::Loaded);
        return;
    case 3: { // her panels, the crossing pictures and the emblem
        const std::uint32_t e = k.SceneBand(16);
        switch (c.CutInStep) {
        case 0: {
            const int q = k.Ramp(1000);
            if (q < kRest) {
                k.Draw(back, kPanelA, 170, kBandY, q, kSheet);
                return;
            }
            k.Draw(back, kPanelA, 170, kBandY);
            c.CutInTimer2 = Now();
            c.CutInStep2 = 0;
            k.NextStep(Click::Keep);
            return;
        }
        case 1:
            k.Draw(back, kPanelA, 170, kBandY);
            // One picture crosses at a time, each on its own clock.
            if (c.CutInStep2 < kCrossings.size()) {
                const Crossing& x = kCrossings[c.CutInStep2];
                const auto d =
                    static_cast<int>(std::uint64_t{Now() - c.CutInTimer2} *
                                     static_cast<std::uint32_t>(x.distance) / kCrossingMs);
                if (d >= x.distance) {
                    c.CutInTimer2 = Now();
                    ++c.CutInStep2;
                } else {
                    k.Draw(back, x.piece, kScreenWidth - d, x.y);
                }
            }
            if (k.Ramp(4100) == kRest) k.NextStep(Click::Keep);
            return;
        case 2:
            k.Draw(back, kPanelA2, 170, kBandY);
            if (k.Ramp(1000) == kRest) k.NextStep(Click::Keep);
            return;
        case 3: {
            k.Draw(back, kPanelP, 170, kBandY);
            const int q = k.Ramp(2000);
            if (q < kRest) {
                const int z = CutIn::Slide(e, 420, 2000);
                k.Stretch(back, kEmblem, z - 125, z - 226, 2 * (525 - z), 1053 - 2 * z, q);
                return;
            }
            k.Draw(back, kEmblem, 295, kBandY);
            ReplaySe(1);
            k.NextStep(Click::Keep);
            return;
        }
        case 4:
            k.Draw(back, kPanelP, 170, kBandY);
            k.Draw(back, kEmblem, 295, kBandY);
            if (k.Ramp(300) == kRest) {
                k.NextStep(Click::Keep);
                return;
            }
            k.Glint(back, kEmblem, 295, kBandY, e, 300);
            return;
        default:
            k.BakeBand();
            k.Draw(Slot(kScene), kPanelP, 170, kBandY);
            k.Draw(Slot(kScene), kEmblem, 295, kBandY);
            ShowWhole(Slot(kScene));
            LoadSe(kSeChannel, "se\\BSE034.ogg");
            c.CutInStep = 0;
            k.Next(Click::Keep);
            return;
        }
    }
    case 4: // the shake runs out 800 ms after the band's last step
        if (k.FlashShake(kFlashSlot, 800)) return;
        k.Next(HitPhase(c, 5, 6), Click::Keep);
        return;
    case 5:
        k.BarDropPhase(Side::Player, Click::Keep);
        return;
    case 6: // the ending: slow cooking unless the player is guarded
        k.OpponentEnding({.line = "voice\\gor0127.ogg",
                          .sounds = Sounds::Free,
                          .plates = 1,
                          .gauges = GaugeReset::SecondToFirst,
                          .noBurn = NoBurnEffect::Ends,
                          .stamp = EffectStamp::Set,
                          .effect = &CRusContest::SlowCooking});
        return;
    default:
        return;
    }
}

void CRusGame::PlayOpponentCutIn4B(platform::WindowHandle) {
    CutIn k(*this);
    CRusContest& c = Contest;
    CDib* back = CutIn::Back();
    switch (c.CutInPhase) {
    case 0: // with one of her three lines
        k.SetUp(kBasePicture, "bmp\\dor_sp_p02.bmp",
                {.flash = kWhite,
                 .sound = "se\\SE396.ogg",
                 .soundLater = "se\\mse01.ogg",
                 .line = kLines[RandTimesClock() % 3]});
        return;
    case 1:
    case 2:
        k.Opening(Into::Wipe, 200, Line::Loaded);
        return;
    case 3: { // her panel while she speaks, then the trembling and wavering pictures
        const std::uint32_t e = k.SceneBand(16);
        switch (c.CutInStep) {
        case 0: {
            const int q = k.Ramp(1500);
            if (q < kRest) {
                k.Draw(back, kPanel1A, kScreenWidth - CutIn::Slide(e, 456, 1500), kBandY, q,
                       kSheet);
                return;
            }
            k.Draw(back, kPanel1A, 342, kBandY);
            c.CutInTimer2 = Now();
            k.NextStep(Click::Keep);
            return;
        }
        case 1:
            k.Draw(back, kPanel1A, 342, kBandY);
            if (k.Ramp(3500) == kRest) k.NextStep(Click::Keep);
            return;
        case 2: { // as long as her line lasts
            k.Draw(back, kPanel1A, 342, kBandY);
            const auto& line = g_voiceChannels[kOpponentVoice];
            if (line && !line->IsStopped()) return;
            ReplaySe(1);
            k.NextStep(Click::Keep);
            return;
        }
        case 3: {
            const int q = k.Ramp(500);
            if (q < kRest) {
                const std::uint32_t p =
                    (static_cast<std::uint32_t>(platform::Rand()) & 0xFF) * (Now() & 0xFF);
                k.Draw(back, kPanel1B, Tremble(p), kBandY, q, kSheet);
                k.Draw(back, kPanel1A, 342, kBandY);
                return;
            }
            k.Draw(back, kPanel1B, 0, kBandY);
            k.Draw(back, kPanel1A, 342, kBandY);
            k.NextStep(Click::Keep);
            return;
        }
        case 4: {
            k.Draw(back, kPanel1B, 0, kBandY);
            k.Draw(back, kPanel1A, 342, kBandY);
            if (k.Ramp(3000) == kRest) {
                k.Draw(back, kWaver, 0, kBandY);
                k.NextStep(Click::Keep);
                return;
            }
            // Row by row, each row on its own tremble, fading in over half a second.
            const int opacity = k.Ramp(500);
            for (int i = 0; i < kWaverRows; ++i) {
                const std::uint32_t q =
                    (RandTimesClock() & 0xFF) * static_cast<std::uint32_t>(i + 1);
                k.Draw(back, {kWaver.sx, kWaver.sy + i, kWaver.w, 1}, Tremble(q), kBandY + i,
                       opacity, kSheet);
            }
            return;
        }
        default: // the pictures stay for the shake; the band does not
            k.Draw(Slot(kScene), kPanel1B, 0, kBandY);
            k.Draw(Slot(kScene), kPanel1A, 342, kBandY);
            k.Draw(Slot(kScene), kWaver, 0, kBandY);
            ShowWhole(Slot(kScene));
            LoadSe(kSeChannel, "se\\BSE034.ogg");
            c.CutInTimer = Now();
            c.CutInStep = 0;
            k.Next(Click::Keep);
            return;
        }
    }
    case 4:
        if (k.FlashShake(kFlashSlot, 1000)) return;
        k.Next(HitPhase(c, 5, 6), Click::Keep);
        return;
    case 5:
        k.BarDropPhase(Side::Player, Click::Keep);
        return;
    case 6: // the ending: the player's own effects stay; her pan is locked
        k.OpponentEnding({.line = "voice\\gor0128.ogg",
                          .plates = 2,
                          .gauges = GaugeReset::EmptyBoth,
                          .playerEffects = PlayerEffects::Stay,
                          .noBurn = NoBurnEffect::Ends,
                          .stamp = EffectStamp::Set,
                          .effect = &CRusContest::PlayerLocked,
                          .counters = CutInCounters::PhaseOnly});
        return;
    default:
        return;
    }
}
