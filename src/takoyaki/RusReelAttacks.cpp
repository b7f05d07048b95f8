// The attacks that follow a reel: burning, a guard, bombs, stamps or a lock,
// each a short form of an opponent's second special. The symbol the player's
// special 2 stops on turns one on the opponent; opponent 5's second variant
// spins a reel of her own and turns one on the player. Each attack counts
// its steps in CutInStep2. Turned on the player, an attack that runs to its
// end closes with the announcer's line, and her guard cuts some attacks
// short where the player's own reel plays them out.
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

constexpr int kWhiteSlot = 14;
constexpr int kWordSlot = 15;
constexpr int kBombSlot = kSheet;
constexpr int kBombFrames = 14;
constexpr std::uint32_t kRed = 0xFF0000;
// Who an attack is turned on, and what the cut-in does after it: the
// closing flash of special 2, or opponent 5's ending.
struct Turned {
    Side target;
    std::uint8_t after;
    bool OnPlayer() const { return target == Side::Player; }
};
constexpr Turned kOnOpponent{Side::Opponent, kReelAttackEnd};
constexpr Turned kOnPlayer{Side::Player, 15};

// The burning's first picture, where its fades end.
constexpr int kCut01 = 12;

constexpr Piece kStampedStrip{50, 426, 900, 213};
constexpr int kWordW = 300, kWordH = 100;

// The next step of an attack: its clock starts again. The end of a fade or
// a wipe clears the click, so that a click that cut one short does not also
// end the next.
void Step(CRusContest& c, std::uint8_t step, Click click = Click::Keep) {
    if (click == Click::Clear) ClearClick();
    c.StartTime = Now();
    c.CutInStep2 = step;
}

// The attack is over.
void Done(CutIn& k, CRusContest& c, const Turned& t) {
    c.CutInStep2 = 0;
    k.Next(t.after);
}

// An attack on the player that runs to its end closes with the announcer.
void Closing(const Turned& t) {
    if (t.OnPlayer()) CutIn::AnnouncerLine("voice\\gor0128.ogg");
}

// The attacker's effect stamp, which every attack that reaches its end sets.
void StampEffect(CRusContest& c, const Turned& t) {
    (t.OnPlayer() ? c.OpponentEffectStamp : c.PlayerEffectStamp) = Now();
}

void SeedStamp(CRusContest& c, std::size_t i) {
    c.ParticleX[i] = static_cast<std::int16_t>(RandTimesClock() % 500);
    c.ParticleY[i] = static_cast<std::int16_t>(RandTimesClock() % 500);
}

void BurnAttack(CutIn& k, CRusContest& c, const Turned& t) {
    const std::uint8_t step = c.CutInStep2;
    switch (step) {
    case 0:
        CutIn::LoadCuts();
        Step(c, 1);
        return;
    case 10:
        if (k.Fade(kCut01, kReturn, 100)) return;
        Closing(t);
        c.ScrollOffset = 0;
        c.CutInTimer = Now();
        Step(c, 11, Click::Clear);
        return;
    case 11:
        if (k.Shake()) return;
        Step(c, 12);
        return;
    case 12:
        if (k.BarDrop(t.target)) return;
        Done(k, c, t);
        return;
    default:
        break;
    }
    if (step < 1 || step > kCutFades) return;
    if (k.CutFade(step - 1u)) return;
    if (step < kCutFades) {
        Step(c, static_cast<std::uint8_t>(step + 1), Click::Clear);
        return;
    }
    // Every ball on the pan burns, burnt ones again, unless the target is guarded.
    if (!k.Burn(t.target)) {
        Done(k, c, t);
        return;
    }
    Step(c, 10, Click::Clear);
}

void GuardAttack(CutIn& k, CRusContest& c, const Turned& t) {
    switch (c.CutInStep2) {
    case 0:
        BlankSurface(kWhiteSlot, kWhite);
        CutIn::Se(kSeChannel, "se\\nse_i_03.ogg");
        CutIn::LoadMask("bmp\\mask37.bmp");
        Step(c, 1);
        return;
    case 1:
        if (k.Wipe(kScene, kWhiteSlot, 2000)) return;
        Step(c, 2, Click::Clear);
        return;
    case 2:
        if (k.Fade(kWhiteSlot, kReturn, 100)) return;
        Step(c, c.Hit(t.target, 30) ? 3 : 4, Click::Clear);
        return;
    case 3:
        if (k.BarDrop(t.target)) return;
        Step(c, 4);
        return;
    default: {
        Closing(t);
        FreeSeSlot(0);
        FreeSeSlot(1);
        StampEffect(c, t);
        // The guard goes to the attacker; hers ends her double burn cost.
        if (t.OnPlayer()) c.DoubleBurnCost = kEffectOff;
        if (!c.Guarded(t.target))
            (t.OnPlayer() ? c.OpponentImmune : c.PlayerImmune) = kEffectActive;
        Done(k, c, t);
        return;
    }
    }
}

void BombAttack(CutIn& k, CRusContest& c, const Turned& t) {
    switch (c.CutInStep2) {
    case 0:
        ShowWhole(Slot(kScene));
        CutIn::Se(kSeChannel, "se\\BSE034.ogg");
        BlankSurface(kWhiteSlot, kRed);
        CutIn::LoadMask("bmp\\mask37.bmp");
        Step(c, 1);
        return;
    case 1:
        if (k.Fade(kScene, kWhiteSlot, 300, Skip::Yes)) return;
        Step(c, 2, Click::Clear);
        return;
    case 2:
        if (k.Fade(kWhiteSlot, kReturn, 500, Skip::Yes)) return;
        c.ScrollOffset = 0;
        c.BombHole.fill(0);
        c.BombFrame.fill(0);
        if (!t.OnPlayer()) c.OpponentHoleCovered.fill(0);
        if (c.Guarded(t.target)) {
            Step(c, 5, Click::Clear);
            return;
        }
        k.LayBombs(t.target);
        LoadSurface(kBombSlot, "bmp\\bom01.bmp");
        c.CutInTimer = Now();
        Step(c, 3, Click::Clear);
        return;
    case 3: {
        std::uint8_t& frame = c.BombFrame[0];
        if (Now() - c.CutInTimer > 66) {
            c.CutInTimer = Now();
            if (frame++ >= kBombFrames - 1) {
                k.Blast(t.target);
                Step(c, 4);
                return;
            }
        }
        ShowWhole(Slot(kReturn));
        k.DrawBombs(t.target, frame, kBombSlot);
        return;
    }
    case 4:
        if (k.BarDrop(t.target)) return;
        Step(c, 5);
        return;
    default:
        Closing(t);
        StampEffect(c, t);
        if (!c.Guarded(t.target))
            (t.OnPlayer() ? c.PlayerHolesCovered : c.OpponentHolesCovered) = kEffectActive;
        Done(k, c, t);
        return;
    }
}

void StampAttack(CutIn& k, CRusContest& c, const Turned& t) {
    CDib* back = CutIn::Back();
    const std::size_t voiceLevel = OpponentVoiceByte(3);
    switch (c.CutInStep2) {
    case 0:
        LoadSurface(kSheet, "bmp\\mur_sp_p02.bmp");
        LoadSurface(kWordSlot, "bmp\\Mur_Moji.bmp");
        Step(c, 1);
        return;
    case 1:
        if (k.Wipe(kWhiteSlot, kReturn, 300)) return;
        c.ParticleX.fill(0);
        c.ParticleY.fill(0);
        c.ParticleTimer.fill(0);
        c.ParticleKind.fill(0);
        for (std::size_t i = 0; i < c.ParticleX.size(); ++i) {
            SeedStamp(c, i);
            const std::uint32_t r =
                t.OnPlayer() ? RandTimesClock()
                             : static_cast<std::uint32_t>(platform::Rand()) * (Now() & 0xFF);
            c.ParticleTimer[i] = static_cast<std::int16_t>((r & 15) + 16);
            c.ParticleKind[i] = static_cast<std::int16_t>(RandTimesClock() * Minute() % 10);
        }
        CutIn::OpponentLineAt("voice\\mur0368a.ogg", voiceLevel);
        Step(c, 2, Click::Clear);
        return;
    case 2: // the stamps pile up on the frozen contest
        for (std::size_t i = 0; i < c.ParticleX.size(); ++i) {
            if (--c.ParticleTimer[i] != 1) continue;
            const int kind = std::clamp<int>(c.ParticleKind[i], 0, 9);
            k.Draw(back, {kWordW * (kind % 2), kWordH * (kind / 2), kWordW, kWordH}, c.ParticleX[i],
                   c.ParticleY[i], kWordSlot);
            SeedStamp(c, i);
            const std::uint32_t r = RandTimesClock() * Minute();
            c.ParticleTimer[i] = static_cast<std::int16_t>((r & 15) + 16);
            c.ParticleKind[i] = static_cast<std::int16_t>(
                (t.OnPlayer() ? RandTimesClock() * Minute() : RandTimesClock()) % 10);
        }
        if (k.Ramp(3000) < 254) return;
        CopyOfBackBuffer(kScene);
        c.CutInTimer = Now();
        c.ScrollOffset = c.SlideOffset = c.SlideOffset2 = 0;
        CutIn::OpponentLineAt("voice\\mur0368b.ogg", voiceLevel);
        Step(c, 3);
        return;
    case 3:
        ShowWhole(Slot(kScene));
        k.Draw(back, kStampedStrip, 0, kBandY);
        if (k.Ramp(1400) < 254) return;
        CopyOfBackBuffer(kScene);
        // Her stamps spare a guarded player the shake as well.
        if (t.OnPlayer() && c.Guarded(t.target)) {
            ShowWhole(Slot(kReturn));
            Step(c, 6);
            return;
        }
        c.CutInTimer = Now();
        c.ScrollOffset = 0;
        Step(c, 4);
        return;
    case 4:
        if (k.Shake(kScene)) return;
        Step(c, c.Hit(t.target, 80) ? 5 : 6);
        return;
    case 5:
        if (k.BarDrop(t.target)) return;
        Step(c, 6);
        return;
    default:
        Closing(t);
        StampEffect(c, t);
        Done(k, c, t);
        return;
    }
}

void LockAttack(CutIn& k, CRusContest& c, const Turned& t) {
    switch (c.CutInStep2) {
    case 0:
        CutIn::Se(kSeChannel, "se\\mse01.ogg");
        if (t.OnPlayer()) {
            CutIn::LoadOpponentLine("voice\\hol0405.ogg");
            k.PlayOpponentLoaded();
            // A guarded player is not shaken at all.
            if (c.Guarded(t.target)) {
                ShowWhole(Slot(kReturn));
                Step(c, 3);
                return;
            }
        } else {
            CutIn::AnnouncerLine("voice\\gor0126.ogg");
        }
        Step(c, 1);
        return;
    case 1: // until a second after the reel's last step, or the banner's bake
        if (k.FlashShake(kWhiteSlot, 1000, 66)) return;
        ReplaySe(kSeChannel);
        Step(c, c.Hit(t.target, 30) ? 2 : 3);
        return;
    case 2:
        if (k.BarDrop(t.target)) return;
        Step(c, 3);
        return;
    default:
        Closing(t);
        StampEffect(c, t);
        if (!c.Guarded(t.target))
            (t.OnPlayer() ? c.PlayerLocked : c.OpponentLocked) = kEffectActive;
        Done(k, c, t);
        return;
    }
}

void Attack(CutIn& k, CRusContest& c, std::uint8_t symbol, const Turned& t) {
    switch (symbol) {
    case 0:
        BurnAttack(k, c, t);
        return;
    case 1:
        GuardAttack(k, c, t);
        return;
    case 2:
        BombAttack(k, c, t);
        return;
    case 3:
        StampAttack(k, c, t);
        return;
    default:
        LockAttack(k, c, t);
        return;
    }
}

} // namespace

void CRusGame::PlayReelAttack(platform::WindowHandle) {
    CutIn k(*this);
    Attack(k, Contest, Contest.ReelResult, kOnOpponent);
}

void CRusGame::PlayOpponentReelAttack(platform::WindowHandle) {
    CutIn k(*this);
    Attack(k, Contest, Contest.OpponentReelResult, kOnPlayer);
}
