// Opponent 2's cut-ins. Variant 0 assembles a banner, drops three captions,
// wipes to white and back under a drift of flying pictures: she heals 30 and
// takes one of the player's served plates. Variant 1 builds a picture with two
// lines, flashes red and drops bombs on the player's pan: 50 life and 6 more
// a bombed ball, the bombed holes emptied and covered for a while.
#include "app/Config.h"
#include "gfx/Blit.h"
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

constexpr const char* kBasePicture = "bmp\\qo_base.bmp";
constexpr int kFlashSlot = 14;    // white, and variant 1's red
constexpr int kFlyerSlot = 15;    // variant 0's flying pictures
constexpr int kBombSlot = kSheet; // variant 1's bomb strip replaces its sheet
constexpr std::uint32_t kRed = 0xFF0000;
constexpr int kRest = 254;
// The part of the screen above the band's lower edge, where the captions fall.
constexpr int kUpperH = 427;

// Variant 0's sheet "bmp\qo_sp_p.bmp".
constexpr Piece kLeftHalf{0, 213, 360, 213};
constexpr Piece kRightHalf{360, 213, 440, 213};
constexpr Piece kBadge{442, 518, 104, 102};
constexpr Piece kBadgeGlow{546, 518, 104, 102};
constexpr Piece kDot1{650, 518, 44, 44};
constexpr Piece kDot2{694, 518, 44, 44};
// The three captions: the piece, its column and how far it falls.
struct Falling {
    Piece piece;
    int x, fall;
};
constexpr std::array<Falling, 3> kCaptions{{
    {{0, 426, 600, 92}, 120, 394},
    {{0, 518, 442, 160}, 198, 388},
    {{0, 678, 442, 160}, 254, 388},
}};
// The flyers of "bmp\zv_sp_oyaji.bmp", by kind.
constexpr std::array<Piece, 3> kFlyers{{{0, 0, 213, 234}, {213, 0, 128, 146}, {341, 0, 112, 120}}};
constexpr std::size_t kFlyerCount = 18;

// Variant 1's sheet "bmp\qo_sp_p02.bmp" and bomb strip "bmp\bom01.bmp".
constexpr int kFigureShift = 194;
constexpr Piece kStrip{0, 620, 800, 107};
constexpr Piece kSide{460, 213, 340, 213};
constexpr Piece kDot{460, 423, 44, 44};
constexpr int kBombFrames = 14;
// The second line of variant 1 is spoken by another character, at her level.
constexpr std::size_t kSecondVoiceLevel = config::kVoiceLevels + 8;

Piece Figure(int shift) {
    return {0, 213 + shift, 460, 211};
}

// A square picture growing from nothing to its own size around a centre.
void Grow(const CutIn& k, CDib* target, const Piece& piece, int cx, int cy, std::uint32_t elapsed,
          std::uint32_t duration, int opacity) {
    const auto side = static_cast<int>(std::uint64_t{elapsed} * piece.w / duration);
    k.Stretch(target, piece, cx - side / 2, cy - side / 2, side, side, opacity);
}

// Where a flyer starts at the right edge; a restarted one may be twice as fast.
void StartFlyer(CRusContest& c, std::size_t i, std::uint32_t speeds) {
    c.ParticleX[i] = static_cast<std::int16_t>(RandomByMinute(400) + 800);
    c.ParticleY[i] = static_cast<std::int16_t>(RandTimesClock() % 500);
    c.ParticleTimer[i] =
        static_cast<std::int16_t>(16 + ((RandTimesClock() & 0xFF) * (Minute() & 0xFF)) % speeds);
    c.ParticleKind[i] = static_cast<std::int16_t>(RandomByMinute(3));
}

// The banner of variant 0 once whole: both halves, the badge with its glow
// and the two dots.
void WholeBanner(const CutIn& k, CDib* target) {
    k.Draw(target, kLeftHalf, 0, kBandY);
    k.Draw(target, kRightHalf, 360, kBandY);
    k.Draw(target, kBadge, 340, 146);
    k.Draw(target, kBadgeGlow, 340, 146, kRest, kSheet);
    k.Draw(target, kDot1, 82, 213, kRest, kSheet);
    k.Draw(target, kDot2, 228, 202, kRest, kSheet);
}

void UpperScene() {
    BltCopy(CutIn::Back(), 0, 0, Slot(kScene), 0, 0, kScreenWidth, kUpperH);
}

// Variant 1's four pictures during `step`, `elapsed` ms of `duration` in, in
// their drawing order: each comes in during its own step and stands at rest
// after it. At 0 ms a step's newcomer is not drawn yet, so step + 1 at 0 ms
// is the picture at the end of `step`.
void Built(const CutIn& k, CRusContest& c, CDib* target, int step, std::uint32_t elapsed,
           std::uint32_t duration, int q) {
    const auto part = [&](int distance) { return CutIn::Slide(elapsed, distance, duration); };
    if (step == 0) {
        c.SlideOffset = static_cast<std::int16_t>(part(460));
        k.Draw(target, Figure(0), kScreenWidth - c.SlideOffset, 195, q, kSheet);
    } else {
        // The figure's picture rolls down its sheet in step 2.
        const int shift = step < 2 ? 0 : step == 2 ? part(kFigureShift) : kFigureShift;
        k.Draw(target, Figure(shift), 340, 195);
    }
    if (step == 3) k.Draw(target, kSide, part(340) - 340, kBandY, q, kSheet);
    if (step > 3) k.Draw(target, kSide, 0, kBandY);
    if (step == 5) Grow(k, target, kDot, 163, 254, elapsed, duration, q);
    if (step > 5) k.Draw(target, kDot, 141, 232);
    if (step == 1) {
        const int w = part(400);
        k.Stretch(target, kStrip, 400 - w, 300, 2 * w, kStrip.h, q);
    }
    if (step > 1) k.Draw(target, kStrip, 0, 300);
}

} // namespace

void CRusGame::PlayOpponentCutIn2A(platform::WindowHandle) {
    CutIn k(*this);
    CRusContest& c = Contest;
    CDib* back = CutIn::Back();
    const std::uint8_t phase = c.CutInPhase;
    switch (phase) {
    case 0: // her line waits until the banner is in
        k.SetUp(kBasePicture, "bmp\\qo_sp_p.bmp",
                {.line = g_rusCutInVoice[static_cast<std::size_t>(2 * c.Opponent)]});
        LoadSurface(kFlyerSlot, "bmp\\zv_sp_oyaji.bmp");
        return;
    case 1:
        if (k.Fade(kReturn, kScene, 300)) return;
        k.StartBand();
        c.CutInStep = 0;
        k.Next();
        return;
    case 2: { // the banner: two halves, then the badge and its dots
        const std::uint32_t e = k.SceneBand(16);
        switch (c.CutInStep) {
        case 0:
            c.SlideOffset = static_cast<std::int16_t>(std::min<std::uint32_t>(e, kScreenWidth));
            c.SlideOffset2 = static_cast<std::int16_t>(CutIn::Slide(e, 440, 800));
            if (c.SlideOffset2 < 440) {
                k.Draw(back, kLeftHalf, kScreenWidth - c.SlideOffset, kBandY);
                k.Draw(back, kRightHalf, kScreenWidth - c.SlideOffset2, kBandY);
                return;
            }
            k.Draw(back, kLeftHalf, 0, kBandY);
            k.Draw(back, kRightHalf, 360, kBandY);
            k.PlayOpponentLoaded();
            k.NextStep(Click::Keep);
            return;
        case 1: {
            const int q = k.Level(800);
            if (e < 800) {
                k.Draw(back, kLeftHalf, 0, kBandY);
                k.Draw(back, kRightHalf, 360, kBandY);
                k.Draw(back, kBadge, 340, 146);
                k.Draw(back, kBadgeGlow, 340, 130 + static_cast<int>(e * 16 / 800), q, kSheet);
                Grow(k, back, kDot1, 104, 235, e, 800, q);
                Grow(k, back, kDot2, 250, 224, e, 800, q);
                return;
            }
            WholeBanner(k, back);
            k.NextStep(Click::Keep);
            return;
        }
        case 2:
            WholeBanner(k, back);
            k.NextStep(Click::Keep);
            return;
        default:
            WholeBanner(k, back);
            if (e < 1500) return;
            // Only the band and the halves stay for the captions.
            k.BakeBand();
            k.Draw(Slot(kScene), kLeftHalf, 0, kBandY);
            k.Draw(Slot(kScene), kRightHalf, 360, kBandY);
            ShowWhole(Slot(kScene));
            c.ScrollOffset = c.SlideOffset = c.SlideOffset2 = 0;
            c.CutInStep = 0;
            k.Next(Click::Keep);
            return;
        }
    }
    case 3:
    case 4:
    case 5: { // the three captions fall in turn
        const Falling& f = kCaptions[phase - 3u];
        UpperScene();
        const std::uint32_t e = k.Tick();
        if (e < 1000) {
            const int y = static_cast<int>(std::uint64_t{e} * f.fall / 1000) - f.piece.h;
            k.Draw(back, f.piece, f.x, y, k.Level(1000), kSheet);
            return;
        }
        if (phase == 5) {
            k.Draw(Slot(kScene), f.piece, f.x, 228);
            UpperScene();
        }
        k.Next(Click::Keep);
        return;
    }
    case 6: // a short hold that a click or the skip ends
        UpperScene();
        if (k.Waiting(500, Skip::Yes)) return;
        CutIn::Se(kSeChannel, "se\\TitleD_001.ogg");
        LoadSe(1, "se\\mse15.ogg");
        ShowWhole(Slot(kScene));
        BlankSurface(kFlashSlot, kWhite);
        CutIn::LoadMask("bmp\\mask37.bmp");
        k.Next();
        return;
    case 7:
        if (k.Wipe(kScene, kFlashSlot, 2000)) return;
        ReplaySe(1);
        c.ParticleX.fill(0);
        c.ParticleY.fill(0);
        c.ParticleTimer.fill(0);
        c.ParticleKind.fill(0);
        for (std::size_t i = 0; i < kFlyerCount; ++i)
            StartFlyer(c, i, 16);
        k.Next(Click::Keep);
        return;
    case 8: { // back to the contest under the flyers, which fade with the wipe
        if (!k.Wipe(kFlashSlot, kReturn, 5000)) {
            k.Next(Click::Keep);
            return;
        }
        const int opacity = 255 - Level;
        for (std::size_t i = 0; i < kFlyerCount; ++i) {
            const auto kind = static_cast<std::size_t>(std::clamp<int>(c.ParticleKind[i], 0, 2));
            k.Draw(back, kFlyers[kind], c.ParticleX[i], c.ParticleY[i], opacity, kFlyerSlot);
            // Pixels a frame: they cross faster at a higher frame rate.
            c.ParticleX[i] = static_cast<std::int16_t>(c.ParticleX[i] - c.ParticleTimer[i]);
            if (c.ParticleX[i] < -213) StartFlyer(c, i, 32);
        }
        return;
    }
    case 9: // the ending: she heals and takes a plate unless the player is guarded
        if (!c.Guarded(Side::Player)) {
            c.OpponentLife = std::min(c.OpponentLife + 30, kFullLife);
            c.PayPrice(Side::Player, 1);
        }
        k.OpponentEnding(
            {.line = "voice\\gor0127.ogg", .plates = 1, .gauges = GaugeReset::SecondToFirst});
        return;
    default:
        return;
    }
}

void CRusGame::PlayOpponentCutIn2B(platform::WindowHandle) {
    CutIn k(*this);
    CRusContest& c = Contest;
    CDib* back = CutIn::Back();
    switch (c.CutInPhase) {
    case 0:
        k.SetUp(kBasePicture, "bmp\\qo_sp_p02.bmp", {.flash = kWhite, .sound = "se\\SE396.ogg"});
        return;
    case 1:
    case 2: // her first line is loaded with the band and played as the picture builds
        if (k.Opening(Into::Wipe, 100, Line::None)) return;
        CutIn::LoadOpponentLine("voice\\fen0190.ogg");
        return;
    case 3: { // the picture builds up over the band
        const std::uint32_t e = k.SceneBand(16);
        const int step = c.CutInStep;
        constexpr std::array<std::uint32_t, 7> kStepMs{800, 600, 600, 600, 0, 600, 600};
        const std::uint32_t ms = kStepMs[static_cast<std::size_t>(std::min(step, 6))];
        if (e < ms) {
            Built(k, c, back, step, e, ms, k.Level(ms));
            return;
        }
        Built(k, c, back, step + 1, 0, 1, 0);
        if (step == 1) k.PlayOpponentLoaded();
        if (step == 4) CutIn::OpponentLineAt("voice\\vel0215.ogg", kSecondVoiceLevel);
        if (step < 6) {
            k.NextStep(Click::Keep);
            return;
        }
        k.BakeBand();
        Built(k, c, Slot(kScene), 7, 0, 1, 0);
        c.CutInStep = 0;
        k.Next(Click::Keep);
        return;
    }
    case 4:
        ShowWhole(Slot(kScene));
        BlankSurface(kFlashSlot, kRed);
        CutIn::LoadMask("bmp\\mask37.bmp");
        CutIn::Se(kSeChannel, "se\\BSE034.ogg");
        k.Next(Click::Keep);
        return;
    case 5:
        if (k.Fade(kScene, kFlashSlot, 300, Skip::Yes)) return;
        k.Next();
        return;
    case 6: { // back to the pan, where the bombs are laid
        if (k.Fade(kFlashSlot, kReturn, 500, Skip::Yes)) return;
        c.ScrollOffset = 0;
        c.CutInTimer = Now();
        c.BombHole.fill(0);
        c.BombFrame.fill(0);
        c.PlayerHoleCovered.fill(0);
        if (c.Guarded(Side::Player)) {
            k.Next(9);
            return;
        }
        k.LayBombs(Side::Player);
        LoadSurface(kBombSlot, "bmp\\bom01.bmp");
        k.Next();
        return;
    }
    case 7: { // the bombs fall, a frame of the strip every 66 ms
        ShowWhole(Slot(kReturn));
        std::uint8_t& frame = c.BombFrame[0];
        k.DrawBombs(Side::Player, frame, kBombSlot);
        if (Now() - c.CutInTimer > 66) {
            c.CutInTimer = Now();
            ++frame;
        }
        if (frame < kBombFrames) return;
        k.Blast(Side::Player);
        k.Next();
        return;
    }
    case 8:
        k.BarDropPhase(Side::Player);
        return;
    case 9: // the ending: the player's own effects stay; the bombed holes stay covered
        k.OpponentEnding({.line = "voice\\gor0128.ogg",
                          .plates = 2,
                          .gauges = GaugeReset::EmptyBoth,
                          .playerEffects = PlayerEffects::Stay,
                          .stamp = EffectStamp::Set,
                          .effect = &CRusContest::PlayerHolesCovered,
                          .counters = CutInCounters::PhaseOnly});
        return;
    default:
        return;
    }
}
