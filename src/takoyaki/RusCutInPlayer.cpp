// The player's two specials. Special 1 clears the burnt balls off the
// player's pan, hits the opponent for 20 and keeps the pan from burning for a
// while, its holes cooking at 2 seconds a stage. Special 2 spins a reel of
// five symbols until the player clicks; the symbol picks the attack that
// follows (RusReelAttacks.cpp). Both end the effects the opponent had set; a
// guarded opponent takes no hit and the lasting effects are not given.
#include "screenkit/ScreenKit.h"
#include "gfx/Blit.h"
#include "takoyaki/RusCutIn.h"
#include "takoyaki/RusPan.h"

#include <algorithm>
#include <span>

using namespace rus;
using namespace rus::cutin;
using namespace screenkit;
using rus::pan::Now;

namespace {

constexpr const char* kBasePicture = "bmp\\gor_base.bmp";
constexpr int kWhiteSlot = 14; // special 2's flash; special 1's is slot 13
constexpr int kReelSlot = 16;

// Special 1's sheet "bmp\gor_sp_p.bmp".
constexpr Piece kFigureA{0, 213, 380, 213};
constexpr Piece kFigureB{380, 213, 380, 213};
constexpr Piece kCaptionA{0, 426, 420, 106};
constexpr Piece kCaptionB{0, 532, 420, 106};

// Special 2's sheet "bmp\gor_sp_p02.bmp" and reel sheet "bmp\gor_sp_p02_1.bmp".
constexpr Piece kPortrait{0, 426, 364, 213};
constexpr Piece kBackdrop{0, 213, 616, 213};
constexpr Piece kShade{0, 639, 364, 213};
constexpr Piece kSpark{616, 213, 64, 70};
constexpr Piece kPortrait2{364, 426, 364, 213};
constexpr Piece kReelCaptionA{364, 639, 370, 105};
constexpr Piece kReelCaptionB{364, 744, 430, 105};
constexpr Piece kReelSpinning{0, 0, 210, 225};
constexpr Piece kReelStopped{210, 0, 210, 225};
constexpr Piece kReelCap{0, 225, 120, 130};
constexpr int kStripX = 420;
constexpr int kStripRows = 375;
constexpr int kWindowX = 352, kWindowY = 30, kWindowW = 96, kWindowH = 120;

constexpr std::uint32_t kNoBurnIntervalMs = 2000;
constexpr int kFullOpacity = 254;

// How a picture of special 2's opening shows during a step: at rest, fading
// in with the step, fading out, or fading in with an additive glint.
enum class Look : std::uint8_t { Rest, In, Out, Glint };
// A picture of a step: where it rests, how it shows and the distance it
// slides in over the step (from the right when positive, from the left when
// negative).
struct Shown {
    Piece piece;
    int x, y;
    Look look;
    int slide;
};
// A step of the opening: its length and up to five pictures, in drawing order.
struct Step {
    std::uint32_t ms;
    std::size_t count;
    std::array<Shown, 5> shown;
};
constexpr Shown kBackdropIn{kBackdrop, 0, 194, Look::In, 0};
constexpr Shown kBackdropAtRest{kBackdrop, 0, 194, Look::Rest, 0};
constexpr Shown kPortraitAtRest{kPortrait, 436, 194, Look::Rest, 0};
constexpr Shown kShadeAtRest{kShade, 436, 194, Look::Rest, 0};
constexpr Shown kPortrait2AtRest{kPortrait2, 436, 194, Look::Rest, 0};
constexpr Shown kCaptionAAtRest{kReelCaptionA, 0, 302, Look::Rest, 0};
constexpr std::array<Step, 7> kOpeningSteps{{
    {1000, 1, {{{kPortrait, 436, 194, Look::In, 364}}}},
    {500, 3, {{kBackdropIn, kPortraitAtRest, {kShade, 436, 194, Look::In, 0}}}},
    {500, 4,
     {{kBackdropAtRest, kPortraitAtRest, kShadeAtRest, {kSpark, 550, 220, Look::Glint, 0}}}},
    {500, 5,
     {{kBackdropAtRest, kPortraitAtRest, kShadeAtRest, {kPortrait2, 436, 194, Look::In, 0},
       {kSpark, 550, 220, Look::Out, 0}}}},
    {2000, 4,
     {{kBackdropAtRest, kPortraitAtRest, kPortrait2AtRest,
       {kReelCaptionA, 0, 302, Look::In, -370}}}},
    {2000, 5,
     {{kBackdropAtRest, kPortraitAtRest, kPortrait2AtRest, kCaptionAAtRest,
       {kReelCaptionB, 370, 302, Look::In, 430}}}},
    {1000, 5,
     {{kBackdropAtRest, kPortraitAtRest, kPortrait2AtRest, kCaptionAAtRest,
       {kReelCaptionB, 370, 302, Look::Rest, 0}}}},
}};
constexpr std::size_t kSparkStep = 2;

// The pictures of a step `elapsed` ms in at `level` (0..254); at 254 each
// stands at rest, a fading-out one at opacity 1.
void DrawStep(const CutIn& k, CRusContest& c, CDib* target, const Step& step,
              std::uint32_t elapsed, int level) {
    for (const Shown& s : std::span(step.shown).first(step.count)) {
        int x = s.x;
        if (s.slide != 0) {
            const int distance = std::abs(s.slide);
            const int d = CutIn::Slide(elapsed, distance, step.ms);
            c.SlideOffset = static_cast<std::int16_t>(d);
            x += s.slide > 0 ? distance - d : d - distance;
        }
        const int opacity = s.look == Look::Rest  ? kFullOpacity
                            : s.look == Look::Out ? 255 - level
                                                  : level;
        k.Draw(target, s.piece, x, s.y, opacity, kSheet);
        if (s.look == Look::Glint && level < kFullOpacity)
            k.Glint(target, s.piece, x, s.y, elapsed, step.ms);
    }
}

// The reel over the scene: its frame, the strip's window at the position
// in ScrollOffset (direction in SlideOffset2) and the cap.
void DrawReel(const CutIn& k, const CRusContest& c, const Piece& frame) {
    CDib* back = CutIn::Back();
    const CDib* reel = Slot(kReelSlot);
    ShowWhole(Slot(kScene));
    k.Draw(back, frame, 295, 0, kReelSlot);
    const int p = c.ScrollOffset;
    if (c.SlideOffset2 == 0) {
        BltAlpha(back, kWindowX, kWindowY, reel, kStripX, kStripRows - p, kWindowW, p);
        BltAlpha(back, kWindowX, kWindowY + p, reel, kStripX, 0, kWindowW, kWindowH - p);
    } else {
        BltAlpha(back, kWindowX, kWindowY, reel, kStripX, p, kWindowW, kWindowH);
    }
    k.Draw(back, kReelCap, 340, 24, kReelSlot);
}

// One step of the spinning reel: down the strip 30 rows at a time, through
// 13 positions.
void StepReel(CRusContest& c) {
    std::int16_t& p = c.ScrollOffset;
    std::int16_t& r = c.SlideOffset2;
    if (r == 0) {
        p = static_cast<std::int16_t>(p + 30);
        if (p >= 120) {
            r = 1;
            p = 255;
        }
    } else {
        p = static_cast<std::int16_t>(p - 30);
        if (p <= 0) {
            p = 0;
            r = 0;
        }
    }
}

// Where the reel stops from where it spins, and the symbol it shows there
// (in rows 22 to 96 of the window).
std::uint8_t StopReel(CRusContest& c) {
    std::int16_t& p = c.ScrollOffset;
    std::int16_t& r = c.SlideOffset2;
    if (r == 0) {
        const bool first = p < 30;
        p = first ? 22 : 97;
        return first ? 0 : 4;
    }
    const int q = std::min(p + 45, 255) / 75;
    if (q == 0) {
        r = 0;
        p = 22;
        return 0;
    }
    p = static_cast<std::int16_t>(75 * q - 22);
    return static_cast<std::uint8_t>(q);
}

} // namespace

void CRusGame::PlayPlayerCutIn1(platform::WindowHandle) {
    CutIn k(*this);
    CRusContest& c = Contest;
    CDib* back = CutIn::Back();
    constexpr int kFlashSlot = kSheet;
    switch (c.CutInPhase) {
    case 0:
        k.SetUp(kBasePicture, "bmp\\gor_sp_p.bmp");
        return;
    case 1:
        if (k.Fade(kReturn, kScene, 300)) return;
        CutIn::AnnouncerLine("voice\\gor0124.ogg");
        k.StartBand();
        k.Next();
        return;
    case 2: { // the band: two figures from the right, two captions from the left
        k.Band(16, 0);
        const std::uint32_t e = k.Tick();
        if (k.Level(2500) < 255) {
            c.SlideOffset = static_cast<std::int16_t>(CutIn::Slide(e, 380, 1500));
            c.SlideOffset2 = static_cast<std::int16_t>(CutIn::Slide(e, 500, 1500));
            k.Draw(back, kFigureA, 800 - c.SlideOffset, kBandY);
            k.Draw(back, kFigureB, 960 - c.SlideOffset2, kBandY);
            k.Draw(back, kCaptionA, CutIn::Slide(e, 420, 1500) - 420, kBandY);
            k.Draw(back, kCaptionB, CutIn::Slide(e, 620, 1500) - 620, 300);
            return;
        }
        k.BakeBand();
        CDib* scene = Slot(kScene);
        k.Draw(scene, kFigureA, 420, kBandY);
        k.Draw(scene, kFigureB, 460, kBandY);
        k.Draw(scene, kCaptionA, 0, kBandY);
        k.Draw(scene, kCaptionB, 0, 300);
        ShowWhole(scene);
        k.Next();
        return;
    }
    case 3:
        ShowWhole(Slot(kScene));
        CutIn::Se(kSeChannel, "se\\TitleD_001.ogg");
        CutIn::LoadMask("bmp\\mask37.bmp");
        BlankSurface(kFlashSlot, kWhite);
        k.Next();
        return;
    case 4: {
        if (k.Wipe(kScene, kFlashSlot, 2000)) return;
        // The pan as play will show it: the no-burn overlay, the burnt balls
        // gone, the ready ones marked.
        CDib* ret = Slot(kReturn);
        BltAlphaBlend(ret, 30, 154, Slot(kOverlays), 0, 0, 340, 287, kFullOpacity);
        for (int h = 0; h < kHoles; ++h) {
            const int s = c.PlayerStage[h];
            if (s <= 0) continue;
            if (pan::IsBurnt(s)) {
                c.PlayerStage[h] = 0;
                c.PlayerKind[h] = 0;
                c.PlayerBurnCounted[h] = 0;
                continue;
            }
            const bool ready = s == 4 || s == 7 || s == 10;
            k.RedrawHole(Side::Player, h, ready ? HoleMark::Ready : HoleMark::None);
        }
        k.Next();
        return;
    }
    case 5:
        if (k.Fade(kFlashSlot, kReturn, 1000)) return;
        c.CutInTimer = Now();
        k.Next(c.Hit(Side::Opponent, 20) ? 6 : 7);
        return;
    case 6:
        k.BarDropPhase(Side::Opponent);
        return;
    case 7: // the ending
        k.Reaction(1);
        k.FreeAndPay(Mask::Free, Side::Player, 1, GaugeReset::SecondToFirst);
        if (!c.Guarded(Side::Opponent)) {
            c.PlayerHoleInterval.fill(kNoBurnIntervalMs);
            c.NoBurn = kEffectActive;
        }
        c.NoBurnStamp = Now();
        c.ClearEffectsSetBy(Side::Opponent);
        c.AiStamp = Now();
        ClearClick();
        c.ReturnToPlay(CutInCounters::All);
        return;
    default:
        return;
    }
}

void CRusGame::PlayPlayerCutIn2(platform::WindowHandle window) {
    CutIn k(*this);
    CRusContest& c = Contest;
    CDib* back = CutIn::Back();
    switch (c.CutInPhase) {
    case 0: // the reel's sheet, and the announcer's line loaded for the spark
        k.SetUp(kBasePicture, "bmp\\gor_sp_p02.bmp", {.flash = kWhite, .sound = "se\\SE396.ogg"});
        LoadSurface(kReelSlot, "bmp\\gor_sp_p02_1.bmp");
        CutIn::LoadAnnouncer("voice\\gor0125.ogg");
        return;
    case 1:
    case 2:
        k.Opening(Into::Wipe, 100, Line::None);
        return;
    case 3: { // the band and the opening's steps
        k.Band(32, kBandY);
        const Step& step = kOpeningSteps[std::min<std::size_t>(c.CutInStep, 6)];
        const std::uint32_t e = k.Tick();
        const int level = k.Ramp(step.ms);
        if (level < kFullOpacity) {
            DrawStep(k, c, back, step, e, level);
            return;
        }
        if (c.CutInStep + 1u < kOpeningSteps.size()) {
            DrawStep(k, c, back, step, e, kFullOpacity);
            if (c.CutInStep == kSparkStep) CutIn::PlayAnnouncer();
            k.NextStep();
            return;
        }
        k.BakeBand();
        DrawStep(k, c, Slot(kScene), step, e, kFullOpacity);
        ShowWhole(Slot(kScene));
        c.ScrollOffset = c.SlideOffset = c.SlideOffset2 = 0;
        c.CutInStep = 0;
        k.Next();
        return;
    }
    case 4: // the reel spins until a click stops it
        if (c.CutInStep == 0) {
            if (Now() - c.CutInTimer > 16) {
                c.CutInTimer = Now();
                StepReel(c);
            }
            DrawReel(k, c, kReelSpinning);
            if (!TakeClick()) return;
            c.SlideOffset = StopReel(c);
            DrawReel(k, c, kReelStopped);
            c.ReelResult = static_cast<std::uint8_t>(c.SlideOffset);
            c.CutInStep2 = 0;
            k.NextStep();
            return;
        }
        DrawReel(k, c, kReelStopped);
        if (k.Ramp(100) < kFullOpacity) return;
        k.Next();
        return;
    case 5:
        PlayReelAttack(window);
        return;
    case 6: // the flash back to the contest
        if (k.Wipe(kReturn, kWhiteSlot, 300)) return;
        k.Reaction(2);
        // Four flashes follow, whatever the attack left in the offset.
        c.ScrollOffset = 0;
        k.Next();
        return;
    case 7:
        if (c.ScrollOffset < 4) {
            if (k.Wipe(kWhiteSlot, kReturn, 300)) return;
            c.ScrollOffset = static_cast<std::int16_t>(c.ScrollOffset + 1);
            ClearClick();
            return;
        }
        k.Next();
        return;
    case 8: // the ending; the opponent's reaction came with the flash
        k.FreeAndPay(Mask::Free, Side::Player, 2, GaugeReset::EmptyBoth);
        c.ClearEffectsSetBy(Side::Opponent);
        c.AiStamp = Now();
        c.NoBurnStamp = Now();
        ClearClick();
        c.ReturnToPlay(CutInCounters::All);
        return;
    default:
        return;
    }
}
