// Opponent 3's cut-ins. Variant 0 shows two panels and a long strip over the
// band between red wipes: the player's ready markers are hidden for a while.
// Variant 1 throws flying words across the band, then stamps words all over
// the frozen contest and shakes it: 80 life. Both cost her two plates.
#include "platform/Platform.h"
#include "screenkit/ScreenKit.h"
#include "takoyaki/RusCutIn.h"
#include "takoyaki/RusPan.h"

#include <algorithm>
#include <array>

using namespace rus;
using namespace rus::cutin;
using namespace screenkit;
using rus::pan::Now;

namespace {

constexpr const char* kBasePicture = "bmp\\mur_base.bmp";
constexpr int kFlashSlot = 14; // red in variant 0, white in variant 1
constexpr int kWordSlot = 15;  // variant 1's ten words
constexpr std::uint32_t kRed = 0xFF0000;
constexpr int kRest = 254;

// Variant 0's sheet "bmp\mur_sp_p.bmp".
constexpr Piece kPanelA{0, 213, 600, 213};
constexpr Piece kPanelB{600, 213, 600, 213};
constexpr Piece kLongStrip{0, 426, 1360, 213};
// Variant 1's sheet "bmp\mur_sp_p02.bmp".
constexpr Piece kCrossing{0, 213, 580, 213};
constexpr Piece kStrip{0, 426, 900, 213};
constexpr Piece kPanelK{0, 639, 460, 213};
constexpr Piece kStampedStrip{50, 426, 900, 213};

constexpr std::size_t kFlyingWords = 20;
constexpr int kWordW = 300, kWordH = 100;

Piece Word(int k) {
    const int w = std::clamp(k, 0, 9);
    return {kWordW * (w % 2), kWordH * (w / 2), kWordW, kWordH};
}

// A word that flies in from beyond the right edge across the band.
void SeedFlying(CRusContest& c, std::size_t i) {
    c.ParticleX[i] = static_cast<std::int16_t>(RandTimesClock() % 500 + 800);
    c.ParticleY[i] = static_cast<std::int16_t>(RandTimesClock() % 110 + kBandY);
    c.ParticleTimer[i] = static_cast<std::int16_t>((RandTimesClock() & 15) + 16);
    c.ParticleKind[i] = static_cast<std::int16_t>(RandTimesClock() * Minute() % 10);
}

// A stamp somewhere over the contest; the first ones count down 16 to 31
// frames, the ones seeded again as many as the minute's product gives.
enum class Reseed : std::uint8_t { First, Again };
void SeedStamp(CRusContest& c, std::size_t i, Reseed reseed) {
    c.ParticleX[i] = static_cast<std::int16_t>(RandTimesClock() % 500);
    c.ParticleY[i] = static_cast<std::int16_t>(RandTimesClock() % 500);
    const std::uint32_t counter =
        reseed == Reseed::First ? RandTimesClock() : RandTimesClock() * Minute();
    c.ParticleTimer[i] = static_cast<std::int16_t>((counter & 15) + 16);
    c.ParticleKind[i] = static_cast<std::int16_t>(RandTimesClock() * Minute() % 10);
}

void ClearStamps(CRusContest& c) {
    c.ParticleX.fill(0);
    c.ParticleY.fill(0);
    c.ParticleTimer.fill(0);
    c.ParticleKind.fill(0);
}

// Variant 1's first four steps run until their ramp would pass full, a few
// milliseconds after their length.
bool PastFull(std::uint32_t elapsed, std::uint32_t duration) {
    return std::uint64_t{elapsed} * 254 / duration >= 255;
}

} // namespace

void CRusGame::PlayOpponentCutIn3A(platform::WindowHandle) {
    CutIn k(*this);
    CRusContest& c = Contest;
    CDib* back = CutIn::Back();
    switch (c.CutInPhase) {
    case 0: // her line waits for panel B
        k.SetUp(kBasePicture, "bmp\\mur_sp_p.bmp",
                {.flash = kRed,
                 .sound = "se\\BSE034.ogg",
                 .soundLater = "se\\mse17.ogg",
                 .line = g_rusCutInVoice[6]});
        return;
    case 1:
    case 2:
        k.Opening(Into::Wipe, 100, Line::None);
        return;
    case 3: { // two panels and the long strip over the band
        const std::uint32_t e = k.SceneBand(16);
        switch (c.CutInStep) {
        case 0: {
            const int q = k.Ramp(1000);
            if (q < kRest) {
                k.Draw(back, kPanelA, CutIn::Slide(e, 700, 1000) - 600, kBandY, q, kSheet);
                return;
            }
            k.Draw(back, kPanelA, 100, kBandY, kRest, kSheet);
            ReplaySe(1);
            k.NextStep(Click::Keep);
            return;
        }
        case 1: {
            const int q = k.Ramp(100);
            if (q < kRest) {
                k.Draw(back, kPanelA, 100, kBandY, 255 - q, kSheet);
                k.Draw(back, kPanelB, 100, kBandY, q, kSheet);
                return;
            }
            k.Draw(back, kPanelB, 100, kBandY, kRest, kSheet);
            k.PlayOpponentLoaded();
            k.NextStep(Click::Keep);
            return;
        }
        case 2: // the strip enters at the right edge and leaves past the left
            k.Draw(back, kPanelB, 100, kBandY);
            k.Draw(back, kLongStrip, kScreenWidth - CutIn::Slide(e, 2720, 5000), kBandY);
            if (k.Ramp(5000) == kRest) k.NextStep(Click::Keep);
            return;
        default:
            k.BakeBand();
            k.Draw(Slot(kScene), kPanelB, 100, kBandY);
            ShowWhole(Slot(kScene));
            BlankSurface(kFlashSlot, kRed);
            CutIn::LoadMask("bmp\\mask04.bmp");
            c.CutInStep = 0;
            k.Next(Click::Keep);
            return;
        }
    }
    case 4:
        if (k.Wipe(kScene, kFlashSlot, 1000)) return;
        k.Next();
        return;
    case 5:
        if (k.Wipe(kFlashSlot, kReturn, 1000)) return;
        k.Next();
        return;
    case 6: // the ending: the ready markers hidden unless the player is guarded
        k.OpponentEnding({.line = "voice\\gor0127.ogg",
                          .plates = 2,
                          .gauges = GaugeReset::EmptyBoth,
                          .noBurn = NoBurnEffect::Ends,
                          .stamp = EffectStamp::Set,
                          .effect = &CRusContest::PlayerMarkersHidden});
        return;
    default:
        return;
    }
}

void CRusGame::PlayOpponentCutIn3B(platform::WindowHandle) {
    CutIn k(*this);
    CRusContest& c = Contest;
    CDib* back = CutIn::Back();
    switch (c.CutInPhase) {
    case 0:
        k.SetUp(kBasePicture, "bmp\\mur_sp_p02.bmp",
                {.flash = kWhite, .sound = "se\\SE396.ogg", .line = g_rusCutInVoice[7]});
        LoadSurface(kWordSlot, "bmp\\Mur_Moji.bmp");
        return;
    case 1:
    case 2: // the first twenty words start beyond the right edge with the band
        if (k.Opening(Into::Wipe, 100, Line::Loaded)) return;
        ClearStamps(c);
        for (std::size_t i = 0; i < kFlyingWords; ++i)
            SeedFlying(c, i);
        return;
    case 3: { // flying words, a strip and her panel over the band
        const std::uint32_t e = k.SceneBand(16);
        switch (c.CutInStep) {
        case 0:
            for (std::size_t i = 0; i < kFlyingWords; ++i) {
                if (c.ParticleX[i] <= -kWordW) continue;
                k.Draw(back, Word(c.ParticleKind[i]), c.ParticleX[i], c.ParticleY[i], kWordSlot);
                // Pixels a frame: they fly faster at a higher frame rate.
                c.ParticleX[i] = static_cast<std::int16_t>(c.ParticleX[i] - c.ParticleTimer[i]);
            }
            k.Draw(back, kCrossing, kScreenWidth - static_cast<int>(std::uint64_t{e} * 1380 / 2900),
                   kBandY);
            if (PastFull(e, 2900)) k.NextStep(Click::Keep);
            return;
        case 1:
            k.Draw(back, kStrip, kScreenWidth - static_cast<int>(std::uint64_t{e} * 1380 / 1000),
                   kBandY);
            if (PastFull(e, 1000)) k.NextStep(Click::Keep);
            return;
        case 2:
            k.Draw(back, kPanelK, CutIn::Slide(e, 460, 2000) - 460, kBandY);
            if (PastFull(e, 2000)) k.NextStep(Click::Keep);
            return;
        case 3:
            k.Draw(back, kPanelK, 0, kBandY);
            if (PastFull(e, 2000)) k.NextStep(Click::Keep);
            return;
        default:
            k.BakeBand();
            k.Draw(Slot(kScene), kPanelK, 0, kBandY);
            ShowWhole(Slot(kScene));
            BlankSurface(kFlashSlot, kWhite);
            c.CutInStep = 0;
            k.Next(Click::Keep);
            return;
        }
    }
    case 4:
        if (k.Wipe(kScene, kFlashSlot, 300)) return;
        k.Next();
        return;
    case 5:
        if (k.Wipe(kFlashSlot, kReturn, 300)) return;
        ClearStamps(c);
        for (std::size_t i = 0; i < c.ParticleX.size(); ++i)
            SeedStamp(c, i, Reseed::First);
        CutIn::LoadOpponentLine("voice\\mur0368a.ogg");
        k.PlayOpponentLoaded();
        k.Next();
        return;
    case 6: { // the stamps pile up on the frozen contest
        for (std::size_t i = 0; i < c.ParticleX.size(); ++i) {
            if (--c.ParticleTimer[i] != 1) continue;
            k.Draw(back, Word(c.ParticleKind[i]), c.ParticleX[i], c.ParticleY[i], kWordSlot);
            SeedStamp(c, i, Reseed::Again);
        }
        if (k.Ramp(3000) < kRest) return;
        CopyOfBackBuffer(kScene);
        c.CutInTimer = Now();
        c.ScrollOffset = c.SlideOffset = c.SlideOffset2 = 0;
        CutIn::LoadOpponentLine("voice\\mur0368b.ogg");
        k.PlayOpponentLoaded();
        k.Next(Click::Keep);
        return;
    }
    case 7:
        ShowWhole(Slot(kScene));
        k.Draw(back, kStampedStrip, 0, kBandY);
        if (k.Ramp(1400) < kRest) return;
        CopyOfBackBuffer(kScene);
        c.CutInTimer = Now();
        c.ScrollOffset = 0;
        k.Next(Click::Keep);
        return;
    case 8: // the stamped contest shakes
        if (k.Shake(kScene)) return;
        k.Next(c.Hit(Side::Player, 80) ? 9 : 10, Click::Keep);
        return;
    case 9:
        k.BarDropPhase(Side::Player, Click::Keep);
        return;
    case 10: // the ending: no flag of her own; her stamps are left as they are
        k.OpponentEnding({.line = "voice\\gor0128.ogg",
                          .plates = 2,
                          .gauges = GaugeReset::EmptyBoth,
                          .counters = CutInCounters::PhaseOnly});
        return;
    default:
        return;
    }
}
