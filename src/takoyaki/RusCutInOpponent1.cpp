// Opponent 1's cut-ins. Variant 0 slams four comic panels in one after
// another beside her portrait, flashes red and shakes the screen: the player
// loses 60 life and pays double for every burnt ball for a while. Variant 1
// shows her figure and a finale picture between white wipes: 30 life, and
// she is guarded and works at double speed for a while.
#include "screenkit/ScreenKit.h"
#include "takoyaki/RusCutIn.h"
#include "takoyaki/RusPan.h"

#include <array>

using namespace rus;
using namespace rus::cutin;
using namespace screenkit;
using rus::pan::Now;

namespace {

constexpr const char* kBasePicture = "bmp\\kel_base.bmp";
constexpr int kFlashSlot = 14; // red in variant 0, white in variant 1
constexpr std::uint32_t kRed = 0xFF0000;
constexpr int kRest = 254;

// Variant 0's sheet "bmp\kel_sp_p.bmp".
constexpr Piece kPortrait{0, 213, 400, 213};
constexpr std::array<Piece, 4> kPanels{{
    {420, 213, 420, 213},
    {0, 426, 420, 213},
    {420, 426, 420, 213},
    {0, 639, 420, 213},
}};
// Variant 1's sheet "bmp\kel_sp_p02.bmp".
constexpr Piece kFigure{0, 213, 440, 213};
constexpr Piece kFinale{0, 426, 800, 213};

// A picture that grows or shrinks in a straight line over a step: with
// a = Elapsed × ax ÷ T and b = Elapsed × by ÷ T, it covers
// (x0 + a, y0 + b, w0 − 2a, h0 − 2b), and the signs run backwards for a zoom
// out. The first frame of a zoom-in stands well beyond the screen.
struct Zoom {
    int ax, by;
    int x0, y0, w0, h0;
    int sign;
};
constexpr Zoom kPanelIn{400, 200, -400, -6, 1220, 613, 1};
constexpr Zoom kPanelOut{400, 200, 0, kBandY, 420, kBandH, -1};
constexpr Zoom kFinaleIn{800, 216, -800, -22, 2400, 639, 1};

void DrawZoom(const CutIn& k, const Zoom& z, const Piece& piece, std::uint32_t elapsed,
              std::uint32_t duration, int opacity, CRusContest& c) {
    const auto a = static_cast<int>(std::uint64_t{elapsed} * z.ax / duration);
    const auto b = static_cast<int>(std::uint64_t{elapsed} * z.by / duration);
    c.SlideOffset = static_cast<std::int16_t>(a);
    c.SlideOffset2 = static_cast<std::int16_t>(b);
    const int sa = z.sign * a, sb = z.sign * b;
    k.Stretch(CutIn::Back(), piece, z.x0 + sa, z.y0 + sb, z.w0 - 2 * sa, z.h0 - 2 * sb, opacity);
}

// Variant 0's panels after the portrait's steps: each zooms in (or takes the
// place of the one before), pulses and rests, and its sound marks its landing.
enum class PanelMotion : std::uint8_t { ZoomIn, Swap, Pulse, Rest };
struct PanelStep {
    std::uint32_t ms;
    int panel;
    PanelMotion motion;
};
constexpr std::size_t kFirstPanelStep = 2;
constexpr std::array<PanelStep, 12> kPanelSteps{{
    {500, 0, PanelMotion::ZoomIn},
    {500, 0, PanelMotion::Pulse},
    {500, 0, PanelMotion::Rest},
    {300, 1, PanelMotion::Swap},
    {500, 1, PanelMotion::Pulse},
    {500, 1, PanelMotion::Rest},
    {300, 2, PanelMotion::Swap},
    {500, 2, PanelMotion::Pulse},
    {500, 2, PanelMotion::Rest},
    {300, 3, PanelMotion::Swap},
    {500, 3, PanelMotion::Pulse},
    {500, 3, PanelMotion::Rest},
}};
constexpr std::uint8_t kPanelsDone = kFirstPanelStep + kPanelSteps.size();

// The steps of variant 1 after the figure's slide.
constexpr std::uint32_t kFigureRestMs = 3000;
constexpr std::uint32_t kFinaleZoomMs = 1800;
constexpr std::uint32_t kFinalePulseMs = 800;
constexpr std::uint32_t kFinaleRestMs = 2000;

// One frame of variant 0's panel steps; true when the step has ended.
bool PanelFrame(CutIn& k, CRusContest& c, const PanelStep& step) {
    CDib* back = CutIn::Back();
    const Piece& panel = kPanels[static_cast<std::size_t>(step.panel)];
    const std::uint32_t e = k.Tick();
    const int q = k.Ramp(step.ms);
    if (e < step.ms) {
        switch (step.motion) {
        case PanelMotion::ZoomIn:
            DrawZoom(k, kPanelIn, panel, e, step.ms, q, c);
            break;
        case PanelMotion::Swap:
            DrawZoom(k, kPanelOut, kPanels[static_cast<std::size_t>(step.panel - 1)], e, step.ms,
                     255 - q, c);
            DrawZoom(k, kPanelIn, panel, e, step.ms, q, c);
            break;
        case PanelMotion::Pulse:
            k.Draw(back, panel, 0, kBandY, kRest, kSheet);
            k.Glint(back, panel, 0, kBandY, e, step.ms);
            break;
        case PanelMotion::Rest:
            k.Draw(back, panel, 0, kBandY, kRest, kSheet);
            break;
        }
        return false;
    }
    k.Draw(back, panel, 0, kBandY, kRest, kSheet);
    if (step.motion == PanelMotion::ZoomIn || step.motion == PanelMotion::Swap)
        ReplaySe(kSeChannel);
    return true;
}

} // namespace

void CRusGame::PlayOpponentCutIn1A(platform::WindowHandle) {
    CutIn k(*this);
    CRusContest& c = Contest;
    CDib* back = CutIn::Back();
    switch (c.CutInPhase) {
    case 0: // the panels' landing sound waits in channel 0
        k.SetUp(kBasePicture, "bmp\\kel_sp_p.bmp");
        LoadSe(kSeChannel, "se\\SE290.ogg");
        return;
    case 1:
        if (k.Fade(kReturn, kScene, 300)) return;
        k.OpponentLine(0);
        k.StartBand();
        c.CutInStep = 0;
        k.Next();
        return;
    case 2: { // the band, the portrait and the four panels
        const std::uint32_t e = k.SceneBand(16);
        const std::uint8_t step = c.CutInStep;
        if (step == 0) { // the portrait slides in from the right
            const int q = k.Ramp(1000);
            if (e < 1000) {
                c.SlideOffset = static_cast<std::int16_t>(CutIn::Slide(e, 400, 1000));
                k.Draw(back, kPortrait, kScreenWidth - c.SlideOffset, kBandY, q, kSheet);
                return;
            }
            k.Draw(back, kPortrait, 400, kBandY, kRest, kSheet);
            k.NextStep(Click::Keep);
            return;
        }
        k.Draw(back, kPortrait, 400, kBandY, kRest, kSheet);
        if (step == 1) {
            if (e < 3500) return;
            c.ScrollOffset = c.SlideOffset = c.SlideOffset2 = 0;
            k.NextStep(Click::Keep);
            return;
        }
        if (step < kPanelsDone) {
            if (PanelFrame(k, c, kPanelSteps[step - kFirstPanelStep])) k.NextStep(Click::Keep);
            return;
        }
        // The last frame of the band, the portrait and panel 4.
        k.Draw(back, kPanels.back(), 0, kBandY, kRest, kSheet);
        BlankSurface(kFlashSlot, kRed);
        CutIn::LoadMask("bmp\\mask37.bmp");
        c.CutInStep = 0;
        k.Next(Click::Keep);
        return;
    }
    case 3: // the red flash wipes over the contest itself
        if (k.Wipe(kReturn, kFlashSlot, 300)) return;
        CutIn::Se(kSeChannel, "se\\BSE034.ogg");
        k.Next();
        return;
    case 4:
        if (k.Fade(kFlashSlot, kReturn, 100)) return;
        k.Next();
        return;
    case 5: // the shake runs out 800 ms after the band's last step
        if (k.Shake()) return;
        k.Next(c.Hit(Side::Player, 60) ? 6 : 7);
        return;
    case 6:
        k.BarDropPhase(Side::Player);
        return;
    case 7: // the ending: the player pays double for burnt balls
        k.OpponentEnding({.line = "voice\\gor0127.ogg",
                          .plates = 1,
                          .gauges = GaugeReset::SecondToFirst,
                          .noBurn = NoBurnEffect::Ends,
                          .stamp = EffectStamp::Set,
                          .effect = &CRusContest::DoubleBurnCost});
        return;
    default:
        return;
    }
}

void CRusGame::PlayOpponentCutIn1B(platform::WindowHandle) {
    CutIn k(*this);
    CRusContest& c = Contest;
    CDib* back = CutIn::Back();
    switch (c.CutInPhase) {
    case 0: { // the finale's sound waits in channel 1
        k.SetUp(kBasePicture, "bmp\\kel_sp_p02.bmp",
                {.flash = kWhite, .sound = "se\\SE396.ogg", .soundLater = "se\\se14238.ogg"});
        const std::uint32_t now = Now();
        c.PlayerHoleStamp.fill(now);
        c.OpponentHoleStamp.fill(now);
        return;
    }
    case 1:
    case 2:
        k.Opening(Into::Wipe, 100, Line::Variant);
        return;
    case 3: { // the band, her figure and the finale
        const std::uint32_t e = k.SceneBand(16);
        switch (c.CutInStep) {
        case 0: { // the figure slides in from the right
            const int q = k.Ramp(1000);
            if (e < 1000) {
                c.SlideOffset = static_cast<std::int16_t>(CutIn::Slide(e, 440, 1000));
                k.Draw(back, kFigure, kScreenWidth - c.SlideOffset, kBandY, q, kSheet);
                return;
            }
            k.Draw(back, kFigure, 360, kBandY, kRest, kSheet);
            k.NextStep(Click::Keep);
            return;
        }
        case 1:
            k.Draw(back, kFigure, 360, kBandY, kRest, kSheet);
            if (e < kFigureRestMs) return;
            ReplaySe(1);
            k.NextStep(Click::Keep);
            return;
        case 2: {
            k.Draw(back, kFigure, 360, kBandY, kRest, kSheet);
            const int q = k.Ramp(kFinaleZoomMs);
            if (e < kFinaleZoomMs) {
                DrawZoom(k, kFinaleIn, kFinale, e, kFinaleZoomMs, q, c);
                return;
            }
            k.Draw(back, kFinale, 0, kBandY, kRest, kSheet);
            ReplaySe(kSeChannel);
            k.NextStep(Click::Keep);
            return;
        }
        case 3:
        case 4: {
            k.Draw(back, kFigure, 360, kBandY, kRest, kSheet);
            k.Draw(back, kFinale, 0, kBandY, kRest, kSheet);
            const bool pulse = c.CutInStep == 3;
            const std::uint32_t ms = pulse ? kFinalePulseMs : kFinaleRestMs;
            if (e >= ms) {
                k.NextStep(Click::Keep);
                return;
            }
            if (pulse) k.Glint(back, kFinale, 0, kBandY, e, ms);
            return;
        }
        default: // the last frame; the wipe goes from the bare scene
            k.Draw(back, kFigure, 360, kBandY, kRest, kSheet);
            k.Draw(back, kFinale, 0, kBandY, kRest, kSheet);
            BlankSurface(kFlashSlot, kWhite);
            CutIn::Se(kSeChannel, "se\\nse_i_03.ogg");
            CutIn::LoadMask("bmp\\mask37.bmp");
            c.CutInStep = 0;
            k.Next(Click::Keep);
            return;
        }
    }
    case 4:
        if (k.Wipe(kScene, kFlashSlot, 2000)) return;
        k.Next();
        return;
    case 5:
        if (k.Fade(kFlashSlot, kReturn, 100)) return;
        k.Next(c.Hit(Side::Player, 30) ? 6 : 7);
        return;
    case 6:
        k.BarDropPhase(Side::Player);
        return;
    case 7: // the ending: the player's own effects stay; her double speed ends the double cost
        c.DoubleBurnCost = kEffectOff;
        k.OpponentEnding({.line = "voice\\gor0128.ogg",
                          .sounds = Sounds::Free,
                          .plates = 2,
                          .gauges = GaugeReset::EmptyBoth,
                          .playerEffects = PlayerEffects::Stay,
                          .noBurn = NoBurnEffect::Ends,
                          .stamp = EffectStamp::Set,
                          .effect = &CRusContest::OpponentImmune,
                          .counters = CutInCounters::PhaseOnly});
        return;
    default:
        return;
    }
}
