// Opponent 0's cut-ins. Variant 0 slides her figure and caption in over the
// band, flashes red and shakes the screen: the player loses 20 life. Variant 1
// runs a long strip across the band, cuts to black and five quick pictures,
// then burns every ball on the player's pan: 10 life and 6 more a ball. Both
// end the effects the player had set.
#include "screenkit/ScreenKit.h"
#include "takoyaki/RusCutIn.h"
#include "takoyaki/RusPan.h"

using namespace rus;
using namespace rus::cutin;
using namespace screenkit;
using rus::pan::Now;

namespace {

constexpr const char* kBasePicture = "bmp\\pomi_base.bmp";
constexpr int kRedSlot = 13;   // variant 0's flash, in place of the sheet
constexpr int kBlackSlot = 11; // variant 1's scene turns black
constexpr std::uint32_t kRed = 0xFF0000;

// Variant 0's sheet "bmp\pomi_sp_p.bmp".
constexpr Piece kFigureA{0, 213, 400, 213};
constexpr Piece kCaptionA{0, 426, 500, 213};
// Variant 1's sheet "bmp\pomi_sp_p02.bmp".
constexpr Piece kLongStrip{0, 213, 1450, 213};
constexpr Piece kFigureB{0, 426, 440, 213};

// Variant 1's five quick pictures fade among themselves out of black in
// phases 5 to 13 and end on picture 01.
constexpr int kCut01 = 12;
constexpr std::size_t kFirstCutFade = 5;

} // namespace

void CRusGame::PlayOpponentCutIn0A(platform::WindowHandle) {
    CutIn k(*this);
    CRusContest& c = Contest;
    CDib* back = CutIn::Back();
    switch (c.CutInPhase) {
    case 0:
        k.SetUp(kBasePicture, "bmp\\pomi_sp_p.bmp", {.sound = "se\\nse059.ogg"});
        return;
    case 1: // into the scene
        if (k.Fade(kReturn, kScene, 300)) return;
        k.OpponentLine(0);
        k.StartBand();
        k.Next();
        return;
    case 2: { // the band, with her figure from the right and her caption from the left
        k.Band(16, 0);
        const std::uint32_t e = k.Tick();
        c.SlideOffset = static_cast<std::int16_t>(CutIn::Slide(e, 400, 500));
        c.SlideOffset2 = static_cast<std::int16_t>(CutIn::Slide(e, 500, 500));
        if (c.SlideOffset < 400) {
            k.Draw(back, kFigureA, kScreenWidth - c.SlideOffset, kBandY);
            k.Draw(back, kCaptionA, c.SlideOffset2 - 500, kBandY);
            return;
        }
        k.BakeBand();
        k.Draw(Slot(kScene), kFigureA, 400, kBandY);
        k.Draw(Slot(kScene), kCaptionA, 0, kBandY);
        ShowWhole(Slot(kScene));
        BlankSurface(kRedSlot, kRed);
        k.Next();
        return;
    }
    case 3: // a hold
        ShowWhole(Slot(kScene));
        if (k.Waiting(2500)) return;
        CutIn::Se(kSeChannel, "se\\BSE034.ogg");
        k.Next();
        return;
    case 4: // the red flash
        if (k.Fade(kScene, kRedSlot, 300, Skip::Yes)) return;
        k.Next();
        return;
    case 5:
        if (k.Fade(kRedSlot, kScene, 500, Skip::Yes)) return;
        k.Next();
        return;
    case 6: // back to the contest
        if (k.Fade(kScene, kReturn, 300, Skip::Yes)) return;
        c.ScrollOffset = 0;
        c.CutInTimer = Now();
        k.Next();
        return;
    case 7:
        if (k.Shake()) return;
        k.Next(c.Hit(Side::Player, 20) ? 8 : 9);
        return;
    case 8:
        k.BarDropPhase(Side::Player);
        return;
    case 9: // the ending
        k.OpponentEnding(
            {.line = "voice\\gor0127.ogg", .plates = 1, .gauges = GaugeReset::SecondToFirst});
        return;
    default:
        return;
    }
}

void CRusGame::PlayOpponentCutIn0B(platform::WindowHandle) {
    CutIn k(*this);
    CRusContest& c = Contest;
    CDib* back = CutIn::Back();
    const std::size_t phase = c.CutInPhase;
    switch (phase) {
    case 0:
        k.SetUp(kBasePicture, "bmp\\pomi_sp_p02.bmp", {.flash = kWhite, .sound = "se\\SE396.ogg"});
        return;
    case 1:
    case 2:
        k.Opening(Into::Wipe, 100, Line::Variant);
        return;
    case 3: { // the long strip crosses the band; her figure slides in from the left
        k.Band(32, kBandY);
        const std::uint32_t e = k.Tick();
        const int opacity = CutIn::Slide(e, 254, 1000);
        c.SlideOffset = static_cast<std::int16_t>(CutIn::Slide(e, 800, 1000));
        c.SlideOffset2 = static_cast<std::int16_t>(CutIn::Slide(e, 2900, 3000));
        if (c.SlideOffset2 < 2900) {
            k.Draw(back, kLongStrip, kScreenWidth - c.SlideOffset2, kBandY);
            k.Draw(back, kFigureB, c.SlideOffset - 440, kBandY, opacity, kSheet);
            return;
        }
        ShowWhole(BlankSurface(kBlackSlot, kBlack));
        k.Next();
        return;
    }
    case 4: // the five pictures
        CutIn::LoadCuts();
        k.Next();
        return;
    case 14: // back to the burnt pan
        if (k.Fade(kCut01, kReturn, 100)) return;
        CutIn::AnnouncerLine("voice\\gor0128.ogg");
        c.ScrollOffset = 0;
        c.CutInTimer = Now();
        k.Next();
        return;
    case 15:
        if (k.Shake()) return;
        k.Next();
        return;
    case 16:
        k.BarDropPhase(Side::Player);
        return;
    case 17: // the ending: no line of its own, AiStamp and the offsets are left
        k.OpponentEnding({.mask = Mask::Free,
                          .plates = 2,
                          .gauges = GaugeReset::EmptyBoth,
                          .counters = CutInCounters::PhaseOnly});
        return;
    default:
        break;
    }
    if (phase < kFirstCutFade || phase >= kFirstCutFade + kCutFades) return;
    if (k.CutFade(phase - kFirstCutFade)) return;
    if (phase + 1 < kFirstCutFade + kCutFades) {
        k.Next();
        return;
    }
    // The burn: every ball on the player's pan, unless she is guarded.
    k.Next(k.Burn(Side::Player) ? 14 : 17);
}
