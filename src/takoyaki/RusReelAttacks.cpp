// The attacks that follow a reel. The symbol the player's special 2 stops on
// picks a short form of an opponent's second special, turned on the
// opponent: burning, a guard, bombs, stamps or a lock. Opponent 5's second
// variant spins a reel of her own; its attacks are not drawn yet, and her
// cut-in goes straight on to its ending. Each attack counts its steps in
// CutInStep2.
#include "platform/Platform.h"
#include "screenkit/ScreenKit.h"
#include "takoyaki/RusCutIn.h"
#include "takoyaki/RusPan.h"

#include <algorithm>
#include <array>
#include <string>

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
// What follows every attack: the closing flash of special 2.
constexpr std::uint8_t kAfterAttack = 6;

// The burning's five pictures in slots 12 to 16 and its quick fades: out of
// the scene to 01, up to 05 and back down to 01.
constexpr int kCut01 = 12;
struct CutFade {
    int from, to;
    std::uint32_t ms;
};
constexpr std::array<CutFade, 9> kBurnFades{{
    {kScene, 12, 200},
    {12, 13, 200},
    {13, 14, 200},
    {14, 15, 200},
    {15, 16, 200},
    {16, 15, 50},
    {15, 14, 50},
    {14, 13, 50},
    {13, 12, 50},
}};

constexpr Piece kStampedStrip{50, 426, 900, 213};
constexpr int kWordW = 300, kWordH = 100;

// The next step of an attack: its clock starts again.
void Step(CRusContest& c, std::uint8_t step, Click click = Click::Keep) {
    if (click == Click::Clear) ClearClick();
    c.StartTime = Now();
    c.CutInStep2 = step;
}

// The attack is over: special 2's closing flash follows.
void Done(CutIn& k, CRusContest& c) {
    c.CutInStep2 = 0;
    k.Next(kAfterAttack);
}

std::uint32_t RandTimesClock() {
    return static_cast<std::uint32_t>(platform::Rand()) * Now();
}
std::uint32_t Minute() {
    return platform::GetLocalTime().minute;
}

void SeedStamp(CRusContest& c, std::size_t i) {
    c.ParticleX[i] = static_cast<std::int16_t>(RandTimesClock() % 500);
    c.ParticleY[i] = static_cast<std::int16_t>(RandTimesClock() % 500);
}

void BurnAttack(CutIn& k, CRusContest& c) {
    const std::uint8_t step = c.CutInStep2;
    switch (step) {
    case 0:
        for (int i = 0; i < 5; ++i)
            LoadSurface(kCut01 + i, ("bmp\\pom_cut0" + std::to_string(i + 1) + ".bmp").c_str());
        CutIn::Se(kSeChannel, "se\\se144.ogg");
        Step(c, 1);
        return;
    case 10:
        if (k.Fade(kCut01, kReturn, 100)) return;
        c.ScrollOffset = 0;
        c.CutInTimer = Now();
        Step(c, 11, Click::Clear);
        return;
    case 11:
        if (k.Shake()) return;
        Step(c, 12);
        return;
    case 12:
        if (k.BarDrop(Side::Opponent)) return;
        Done(k, c);
        return;
    default:
        break;
    }
    if (step < 1 || step > kBurnFades.size()) return;
    const CutFade& f = kBurnFades[step - 1u];
    if (k.Fade(f.from, f.to, f.ms)) return;
    if (step < kBurnFades.size()) {
        Step(c, static_cast<std::uint8_t>(step + 1));
        return;
    }
    // Every ball on her pan burns, unless she is guarded.
    const auto balls = std::ranges::count_if(c.OpponentStage, [](std::int8_t s) { return s != 0; });
    if (!c.Hit(Side::Opponent, 10 + kBurnCost * static_cast<std::int32_t>(balls))) {
        ShowWhole(Slot(kReturn));
        Done(k, c);
        return;
    }
    for (int h = 0; h < kHoles; ++h) {
        if (c.OpponentStage[h] == 0) continue;
        // Counted as burnt now, so play does not charge it again.
        c.OpponentBurnCounted[h] = 1;
        c.OpponentStage[h] = 11;
        c.OpponentKind[h] = 2;
        k.RedrawHole(Side::Opponent, h, HoleMark::Burnt);
    }
    Step(c, 10);
}

void GuardAttack(CutIn& k, CRusContest& c) {
    switch (c.CutInStep2) {
    case 0:
        BlankSurface(kWhiteSlot, kWhite);
        CutIn::Se(kSeChannel, "se\\nse_i_03.ogg");
        CutIn::LoadMask("bmp\\mask37.bmp");
        Step(c, 1);
        return;
    case 1:
        if (k.Wipe(kScene, kWhiteSlot, 2000)) return;
        Step(c, 2);
        return;
    case 2:
        if (k.Fade(kWhiteSlot, kReturn, 100)) return;
        Step(c, c.Hit(Side::Opponent, 30) ? 3 : 4);
        return;
    case 3:
        if (k.BarDrop(Side::Opponent)) return;
        Step(c, 4);
        return;
    default:
        FreeSeSlot(0);
        FreeSeSlot(1);
        c.PlayerEffectStamp = Now();
        if (!c.Guarded(Side::Opponent)) c.PlayerImmune = kEffectActive;
        Done(k, c);
        return;
    }
}

void BombAttack(CutIn& k, CRusContest& c) {
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
        Step(c, 2);
        return;
    case 2:
        if (k.Fade(kWhiteSlot, kReturn, 500, Skip::Yes)) return;
        c.ScrollOffset = 0;
        c.BombHole.fill(0);
        c.BombFrame.fill(0);
        c.OpponentHoleCovered.fill(0);
        if (c.Guarded(Side::Opponent)) {
            Step(c, 5, Click::Clear);
            return;
        }
        k.LayBombs(Side::Opponent);
        LoadSurface(kBombSlot, "bmp\\bom01.bmp");
        c.CutInTimer = Now();
        Step(c, 3, Click::Clear);
        return;
    case 3: {
        std::uint8_t& frame = c.BombFrame[0];
        if (Now() - c.CutInTimer > 66) {
            c.CutInTimer = Now();
            if (frame++ >= kBombFrames - 1) {
                k.Blast(Side::Opponent);
                Step(c, 4);
                return;
            }
        }
        ShowWhole(Slot(kReturn));
        k.DrawBombs(Side::Opponent, frame, kBombSlot);
        return;
    }
    case 4:
        if (k.BarDrop(Side::Opponent)) return;
        Step(c, 5);
        return;
    default:
        c.PlayerEffectStamp = Now();
        if (!c.Guarded(Side::Opponent)) c.OpponentHolesCovered = kEffectActive;
        Done(k, c);
        return;
    }
}

void StampAttack(CutIn& k, CRusContest& c) {
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
            const std::uint32_t r = static_cast<std::uint32_t>(platform::Rand()) * (Now() & 0xFF);
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
            k.Draw(back, {kWordW * (kind % 2), kWordH * (kind / 2), kWordW, kWordH},
                   c.ParticleX[i], c.ParticleY[i], kWordSlot);
            SeedStamp(c, i);
            const std::uint32_t r = (Minute() & 0xFF) * (RandTimesClock() & 0xFF);
            c.ParticleTimer[i] = static_cast<std::int16_t>((r & 15) + 16);
            c.ParticleKind[i] = static_cast<std::int16_t>(RandTimesClock() % 10);
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
        c.CutInTimer = Now();
        c.ScrollOffset = 0;
        Step(c, 4);
        return;
    case 4:
        if (k.Shake(kScene)) return;
        Step(c, c.Hit(Side::Opponent, 80) ? 5 : 6);
        return;
    case 5:
        if (k.BarDrop(Side::Opponent)) return;
        Step(c, 6);
        return;
    default:
        c.PlayerEffectStamp = Now();
        Done(k, c);
        return;
    }
}

void LockAttack(CutIn& k, CRusContest& c) {
    switch (c.CutInStep2) {
    case 0:
        CutIn::Se(kSeChannel, "se\\mse01.ogg");
        CutIn::AnnouncerLine("voice\\gor0126.ogg");
        Step(c, 1);
        return;
    case 1: // until a second after the reel's last step
        if (k.FlashShake(kWhiteSlot, 1000, 66)) return;
        ReplaySe(kSeChannel);
        Step(c, c.Hit(Side::Opponent, 30) ? 2 : 3);
        return;
    case 2:
        if (k.BarDrop(Side::Opponent)) return;
        Step(c, 3);
        return;
    default:
        c.PlayerEffectStamp = Now();
        if (!c.Guarded(Side::Opponent)) c.OpponentLocked = kEffectActive;
        Done(k, c);
        return;
    }
}

} // namespace

void CRusGame::PlayReelAttack(platform::WindowHandle) {
    CutIn k(*this);
    CRusContest& c = Contest;
    switch (c.ReelResult) {
    case 0:
        BurnAttack(k, c);
        return;
    case 1:
        GuardAttack(k, c);
        return;
    case 2:
        BombAttack(k, c);
        return;
    case 3:
        StampAttack(k, c);
        return;
    default:
        LockAttack(k, c);
        return;
    }
}

void CRusGame::PlayOpponentReelAttack(platform::WindowHandle) {
    CutIn k(*this);
    Contest.CutInStep2 = 0;
    k.Next(15);
}
