#include "takoyaki/RusCutIn.h"

#include "app/Config.h"
#include "gfx/Blend.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "gfx/TrigTables.h"
#include "platform/Platform.h"
#include "screenkit/ScreenKit.h"
#include "sound/SoundChannel.h"
#include "takoyaki/RusPan.h"

#include <algorithm>
#include <limits>
#include <string>

using namespace screenkit;

const std::array<const char*, 12> g_rusCutInVoice{
    "voice\\pom0408.ogg",  "voice\\pom0409.ogg",  "voice\\kel0186.ogg", "voice\\kel0187.ogg",
    "voice\\rus_qo04.ogg", "voice\\rus_qo05.ogg", "voice\\mur0367.ogg", "voice\\mur0368.ogg",
    "voice\\dor0401.ogg",  "voice\\dor0402.ogg",  "voice\\hol0403.ogg", "voice\\hol0404.ogg",
};
const std::array<const char*, rus::kOpponents> g_rusReactVoice1{
    "voice\\pom0410.ogg", "voice\\kel0188.ogg", "voice\\rus_qo06.ogg",
    "voice\\mur0369.ogg", "voice\\dor0406.ogg", "voice\\hol0407.ogg",
};
const std::array<const char*, rus::kOpponents> g_rusReactVoice2{
    "voice\\pom0411.ogg", "voice\\kel0189.ogg", "voice\\rus_qo07.ogg",
    "voice\\mur0370.ogg", "voice\\dor0407.ogg", "voice\\hol0408.ogg",
};

namespace rus::cutin {

namespace {

using rus::pan::Now;

constexpr std::uint32_t kBandStepMs = 8;
constexpr int kShakeShift = 16;
constexpr int kBarY = 12;
constexpr int kBarH = 34;
constexpr int kBarSourceY = 78;
constexpr int kBarDrop = 24;
constexpr int kTile = 47;
constexpr std::size_t kAnnouncerLevel = config::kVoiceLevels + 11;

// The band strip of the sheet at the band's offset, in two pieces that meet
// at the offset.
void DrawStrip(CDib* target, int offset) {
    BltAlpha(target, offset, kBandY, Slot(kSheet), 0, 0, kScreenWidth - offset, kBandH);
    BltAlpha(target, 0, kBandY, Slot(kSheet), kScreenWidth - offset, 0, offset, kBandH);
}

// A line loaded into its voice channel, to be played when its moment comes.
void LoadVoice(int channel, const char* name) {
    FreeVoiceSlot(channel);
    auto c = std::make_unique<CVoiceChannel>();
    c->Load(name);
    g_voiceChannels[static_cast<std::size_t>(channel)] = std::move(c);
}

// What LoadVoice put in the channel, once, unless the setting `muteByte`
// turns those lines off.
void PlayLoaded(int channel, std::size_t muteByte, std::size_t levelByte) {
    auto& c = g_voiceChannels[static_cast<std::size_t>(channel)];
    if (g_config[muteByte] == 1 || !c) return;
    c->SetVolume(g_config[levelByte]);
    c->Play(Repeat::Once);
}

Hurry HurryOf(Skip skip) {
    return skip == Skip::Yes ? Hurry::BySkipOrClick : Hurry::Never;
}

} // namespace

CDib* CutIn::Back() {
    return g_backBuffer.get();
}

std::uint32_t CutIn::Tick() {
    c_.Elapsed = Now() - c_.StartTime;
    return c_.Elapsed;
}

std::uint16_t CutIn::Level(std::uint32_t duration) {
    game_.Level = static_cast<std::uint16_t>(StepLevel(Tick(), kFull, duration));
    return game_.Level;
}

std::uint16_t CutIn::Ramp(std::uint32_t duration) {
    return static_cast<std::uint16_t>(StepLevel(Tick(), kFull - 1, duration));
}

bool CutIn::Waiting(std::uint32_t duration, Skip skip) {
    return Level(duration) < kFull && !Hurried(HurryOf(skip));
}

void CutIn::Next(Click click) {
    Next(static_cast<std::uint8_t>(c_.CutInPhase + 1), click);
}

void CutIn::Next(std::uint8_t phase, Click click) {
    if (click == Click::Clear) ClearClick();
    c_.StartTime = Now();
    c_.CutInPhase = phase;
}

void CutIn::NextStep(Click click) {
    if (click == Click::Clear) ClearClick();
    c_.StartTime = Now();
    ++c_.CutInStep;
}

int CutIn::Slide(std::uint32_t elapsed, int distance, std::uint32_t duration) {
    return static_cast<int>(StepLevel(elapsed, static_cast<std::uint32_t>(distance), duration));
}

void CutIn::SetUp(const char* basePicture, const char* sheet, const Setup& setup) {
    CopyOfBackBuffer(kReturn);
    c_.SaveCutInTimers();
    CDib* scene = CopyOfBackBuffer(kScene);
    const CDib* base = LoadSurface(kBase, basePicture);
    BltAlpha(scene, 0, 0, base, 0, 0, base->GetWidth(), base->GetHeight());
    LoadSurface(kSheet, sheet);
    if (setup.flash) {
        BlankSurface(kFlash, *setup.flash);
        LoadMask("bmp\\mask37.bmp");
    }
    if (setup.sound) Se(kSeChannel, setup.sound);
    if (setup.soundLater) LoadSe(1, setup.soundLater);
    if (setup.line) LoadOpponentLine(setup.line);
    Next(Click::Keep);
}

void CutIn::Draw(CDib* target, const Piece& piece, int x, int y, int slot) const {
    BltAlpha(target, x, y, Slot(slot), piece.sx, piece.sy, piece.w, piece.h);
}

void CutIn::Draw(CDib* target, const Piece& piece, int x, int y, int opacity, int slot) const {
    BltAlphaBlend(target, x, y, Slot(slot), piece.sx, piece.sy, piece.w, piece.h, opacity);
}

void CutIn::Stretch(CDib* target, const Piece& piece, int x, int y, int w, int h, int opacity,
                    int slot) const {
    BltStretchAlphaBlend(target, x, y, w, h, Slot(slot), piece.sx, piece.sy, piece.w, piece.h,
                         opacity);
}

void CutIn::Glint(CDib* target, const Piece& piece, int x, int y, std::uint32_t elapsed,
                  std::uint32_t duration, int slot) const {
    const auto degrees = static_cast<int>(std::uint64_t{elapsed} * 180 / duration);
    const auto opacity = static_cast<int>(SinDeg(degrees) * (kFull - 1));
    BlendAddAlpha(target, x, y, Slot(slot), piece.sx, piece.sy, piece.w, piece.h, opacity);
}

void CutIn::LoadMask(const char* name) {
    g_maskImage.reset();
    g_maskImage = std::make_unique<CDib>();
    LoadPicture(g_maskImage.get(), name);
}

bool CutIn::Fade(int from, int to, std::uint32_t duration, Skip skip) {
    return Fading({c_.StartTime, c_.Elapsed, &game_.Level}, Slot(to), Slot(from), duration,
                  HurryOf(skip), kCrossFade);
}

bool CutIn::Wipe(int from, int to, std::uint32_t duration, Skip skip) {
    constexpr int kMaskWipe = 40;
    return Fading({c_.StartTime, c_.Elapsed, &game_.Level}, Slot(to), Slot(from), duration,
                  HurryOf(skip), kMaskWipe);
}

bool CutIn::Opening(Into into, std::uint32_t backMs, Line line) {
    constexpr std::uint32_t kIntoMs = 300;
    if (c_.CutInPhase == 1) {
        const bool running =
            into == Into::Wipe ? Wipe(kReturn, kFlash, kIntoMs) : Fade(kReturn, kFlash, kIntoMs);
        if (!running) Next();
        return true;
    }
    if (Fade(kFlash, kScene, backMs)) return true;
    if (line == Line::Loaded) PlayOpponentLoaded();
    if (line == Line::Variant) OpponentLine(c_.OpponentSpecial == 0 ? 0 : 1);
    StartBand();
    c_.CutInStep = c_.CutInStep2 = 0;
    Next();
    return false;
}

void CutIn::StartBand() {
    c_.CutInTimer = Now();
    c_.ScrollOffset = c_.SlideOffset = c_.SlideOffset2 = 0;
}

void CutIn::Band(int step, int sceneRow) {
    const std::uint32_t now = Now();
    if (now - c_.CutInTimer > kBandStepMs) {
        c_.ScrollOffset = static_cast<std::int16_t>(c_.ScrollOffset + step);
        c_.CutInTimer = now;
        if (c_.ScrollOffset > kScreenWidth) c_.ScrollOffset = 0;
    }
    BltCopy(Back(), 0, kBandY, Slot(kScene), 0, sceneRow, kScreenWidth, kBandH);
    DrawStrip(Back(), c_.ScrollOffset);
}

void CutIn::BakeBand() {
    DrawStrip(Slot(kScene), c_.ScrollOffset);
}

std::uint32_t CutIn::SceneBand(int step) {
    ShowWhole(Slot(kScene));
    Band(step, kBandY);
    return Tick();
}

bool CutIn::Shake(int slot, std::uint32_t length) {
    return ShakeOf(slot, slot, length, kShakeStepMs);
}

bool CutIn::FlashShake(int flash, std::uint32_t length, std::uint32_t stepMs) {
    return ShakeOf(kReturn, flash, length, stepMs);
}

bool CutIn::ShakeOf(int evenSlot, int oddSlot, std::uint32_t length, std::uint32_t stepMs) {
    const std::uint32_t now = Now();
    Tick();
    if (now - c_.CutInTimer > length) {
        c_.ScrollOffset = 0;
        ShowWhole(Slot(kReturn));
        return false;
    }
    if (now - c_.StartTime > stepMs) {
        c_.ScrollOffset = static_cast<std::int16_t>(c_.ScrollOffset + 1);
        c_.StartTime = now;
    }
    // The picture moves by 16 pixels around the four corners; the strips it
    // leaves keep what the back buffer held.
    struct Shift {
        int sx, sy, dx, dy;
    };
    constexpr std::array<Shift, 4> kShifts{{{kShakeShift, kShakeShift, 0, 0},
                                            {0, 0, kShakeShift, kShakeShift},
                                            {0, kShakeShift, kShakeShift, 0},
                                            {kShakeShift, 0, 0, kShakeShift}}};
    const auto step = static_cast<std::size_t>(c_.ScrollOffset & 3);
    const Shift& s = kShifts[step];
    BltCopy(Back(), s.dx, s.dy, Slot(step % 2 == 0 ? evenSlot : oddSlot), s.sx, s.sy,
            kScreenWidth - kShakeShift, kScreenHeight - kShakeShift);
    return true;
}

void CutIn::LayBombs(Side target) {
    const bool player = target == Side::Player;
    auto& covered = player ? c_.PlayerHoleCovered : c_.OpponentHoleCovered;
    for (std::size_t i = 0; i < covered.size(); ++i) {
        const std::uint32_t r = static_cast<std::uint32_t>(platform::Rand()) & 0xFF;
        const std::uint32_t draw = r * (Now() & 0xFF) * static_cast<std::uint32_t>(i - 1);
        c_.BombHole[i] = covered[i] = static_cast<std::uint8_t>(draw & 1);
    }
}

void CutIn::DrawBombs(Side target, int frame, int slot) const {
    const auto& rects = target == Side::Player ? c_.PlayerHoleRect : c_.OpponentHoleRect;
    for (std::size_t h = 0; h < rects.size(); ++h)
        if (c_.BombHole[h] != 0)
            Draw(Back(), {kTile * frame, 0, kTile, kTile}, rects[h].left, rects[h].top, slot);
}

void CutIn::Blast(Side target) {
    const bool player = target == Side::Player;
    std::int32_t& life = player ? c_.PlayerLife : c_.OpponentLife;
    auto& stage = player ? c_.PlayerStage : c_.OpponentStage;
    auto& kind = player ? c_.PlayerKind : c_.OpponentKind;
    auto& counted = player ? c_.PlayerBurnCounted : c_.OpponentBurnCounted;
    (player ? c_.PlayerLifeBefore : c_.OpponentLifeBefore) = life;
    life -= 50;
    for (std::size_t h = 0; h < stage.size(); ++h) {
        if (c_.BombHole[h] == 0) continue;
        if (stage[h] != 0) life -= kBurnCost;
        counted[h] = 0;
        stage[h] = 0;
        kind[h] = 0;
    }
    life = std::max(life, 0);
    ShowWhole(Slot(kReturn));
}

bool CutIn::BarDrop(Side target) {
    const std::uint32_t e = Tick();
    const std::uint32_t q = StepLevel(e, kFull - 1, kBarDropMs);
    const std::uint64_t drop = std::uint64_t{e} * kBarDrop / kBarDropMs;
    c_.ScrollOffset = static_cast<std::int16_t>(
        std::min<std::uint64_t>(drop, std::numeric_limits<std::int16_t>::max()));
    const bool player = target == Side::Player;
    const int before = std::clamp(player ? c_.PlayerLifeBefore : c_.OpponentLifeBefore, 0, kFullLife);
    const int life = std::clamp(player ? c_.PlayerLife : c_.OpponentLife, 0, before);
    const int x0 = player ? 393 - before : 407 + life;
    const int sx = player ? kFullLife - before : kFullLife + life;
    const int w = before - life;
    // The lost piece leaves the background behind it in the return picture.
    BltCopy(Slot(kReturn), x0, kBarY, Slot(kBackground), x0, kBarY, w, kBarH);
    ShowWhole(Slot(kReturn));
    if (q >= kFull - 1) return false;
    BltAlphaBlend(Back(), x0, kBarY + c_.ScrollOffset, Slot(kParts), sx, kBarSourceY, w, kBarH,
                  static_cast<int>(kFull - q));
    return true;
}

void CutIn::LoadCuts() {
    for (int i = 0; i < 5; ++i)
        LoadSurface(kBase + i, ("bmp\\pom_cut0" + std::to_string(i + 1) + ".bmp").c_str());
    Se(kSeChannel, "se\\se144.ogg");
}

bool CutIn::CutFade(std::size_t i) {
    struct Step {
        int from, to;
        std::uint32_t ms;
    };
    // Out of slot 11 (the scene, or black) to 01, up to 05 and quickly back to 01.
    constexpr std::array<Step, kCutFades> kFades{{
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
    const Step& f = kFades[std::min(i, kFades.size() - 1)];
    return Fade(f.from, f.to, f.ms);
}

bool CutIn::Burn(Side target) {
    const bool player = target == Side::Player;
    auto& stage = player ? c_.PlayerStage : c_.OpponentStage;
    auto& kind = player ? c_.PlayerKind : c_.OpponentKind;
    auto& counted = player ? c_.PlayerBurnCounted : c_.OpponentBurnCounted;
    const auto balls = std::ranges::count_if(stage, [](std::int8_t s) { return s > 0; });
    if (!c_.Hit(target, 10 + kBurnCost * static_cast<std::int32_t>(balls))) {
        ShowWhole(Slot(kReturn));
        return false;
    }
    for (int h = 0; h < kHoles; ++h) {
        if (stage[h] <= 0) continue;
        // Counted as burnt now, so play does not charge it again.
        counted[h] = 1;
        stage[h] = 11;
        kind[h] = 2;
        RedrawHole(target, h, HoleMark::Burnt);
    }
    return true;
}

void CutIn::BarDropPhase(Side target, Click click) {
    if (!BarDrop(target)) Next(click);
}

void CutIn::RedrawHole(Side side, int hole, HoleMark mark) const {
    const bool player = side == Side::Player;
    const platform::Rect& r = (player ? c_.PlayerHoleRect : c_.OpponentHoleRect)[hole];
    const int stage = (player ? c_.PlayerStage : c_.OpponentStage)[hole];
    CDib* target = Slot(kReturn);
    BltAlpha(target, r.left, r.top, Slot(kTiles), kTile * stage - kTile, 0, kTile, kTile);
    switch (mark) {
    case HoleMark::Ready:
        BltAlphaBlend(target, r.left, r.top, Slot(kParts), 37, 128, kTile, kTile, kFull - 1);
        break;
    case HoleMark::Burnt:
        BltAlpha(target, r.left, r.top, Slot(kParts), 84, 128, kTile, kTile);
        break;
    case HoleMark::None:
        break;
    }
}

void CutIn::Se(int channel, const char* name) {
    PlaySe(channel, name);
}

void CutIn::Speak(const char* name, int channel) const {
    if (g_config[config::kVoiceMuteA] == 1) return;
    PlayVoiceAt(channel, name, g_config[OpponentVoiceByte(c_.Opponent)]);
}

void CutIn::OpponentLine(int variant) const {
    Speak(g_rusCutInVoice[static_cast<std::size_t>(2 * c_.Opponent + variant)], kOpponentVoice);
}

void CutIn::Reaction(int special) const {
    const auto& table = special == 1 ? g_rusReactVoice1 : g_rusReactVoice2;
    Speak(table[static_cast<std::size_t>(c_.Opponent)], kOpponentVoice);
}

void CutIn::AnnouncerLine(const char* name) {
    if (g_config[config::kVoiceMuteB] == 1) return;
    PlayVoiceAt(kAnnouncerVoice, name, g_config[kAnnouncerLevel]);
}

void CutIn::LoadAnnouncer(const char* name) {
    LoadVoice(kAnnouncerVoice, name);
}

void CutIn::PlayAnnouncer() {
    PlayLoaded(kAnnouncerVoice, config::kVoiceMuteB, kAnnouncerLevel);
}

void CutIn::LoadOpponentLine(const char* name) {
    LoadVoice(kOpponentVoice, name);
}

void CutIn::PlayOpponentLoaded() const {
    PlayLoaded(kOpponentVoice, config::kVoiceMuteA, OpponentVoiceByte(c_.Opponent));
}

void CutIn::OpponentLineAt(const char* name, std::size_t levelByte) {
    if (g_config[config::kVoiceMuteA] == 1) return;
    PlayVoiceAt(kOpponentVoice, name, g_config[levelByte]);
}

void CutIn::FreeSurfaces(Mask mask) {
    screenkit::FreeSurfaces(kFirstSlot, kLastSlot);
    if (mask == Mask::Free) g_maskImage.reset();
}

void CutIn::FreeAndPay(Mask mask, Side attacker, std::int8_t plates, GaugeReset reset) {
    FreeSurfaces(mask);
    c_.RestoreCutInTimers();
    c_.PayPrice(attacker, plates);
    c_.EmptyGauges(attacker, reset);
}

void CutIn::OpponentEnding(const Ending& e) {
    if (e.line) AnnouncerLine(e.line);
    if (e.sounds == Sounds::Free) {
        FreeSeSlot(0);
        FreeSeSlot(1);
    }
    FreeAndPay(e.mask, Side::Opponent, e.plates, e.gauges);
    // The guard is read before the player's effects go with the rest.
    const bool guarded = c_.Guarded(Side::Player);
    if (e.playerEffects == PlayerEffects::End) {
        c_.ClearEffectsSetBy(Side::Player);
    } else {
        c_.PlayerHoleInterval = c_.BasePlayerHoleInterval;
        c_.OpponentHoleCovered.fill(0);
    }
    if (e.noBurn == NoBurnEffect::Ends) c_.NoBurn = kEffectOff;
    if (e.stamp == EffectStamp::Set) c_.OpponentEffectStamp = Now();
    if (e.effect && !guarded) c_.*e.effect = kEffectActive;
    if (e.counters == CutInCounters::All) c_.AiStamp = Now();
    ClearClick();
    c_.ReturnToPlay(e.counters);
}

} // namespace rus::cutin

void CRusGame::PlayOpponentCutIn(platform::WindowHandle window) {
    using Member = void (CRusGame::*)(platform::WindowHandle);
    static constexpr std::array<std::array<Member, 2>, rus::kOpponents> kMembers{{
        {&CRusGame::PlayOpponentCutIn0A, &CRusGame::PlayOpponentCutIn0B},
        {&CRusGame::PlayOpponentCutIn1A, &CRusGame::PlayOpponentCutIn1B},
        {&CRusGame::PlayOpponentCutIn2A, &CRusGame::PlayOpponentCutIn2B},
        {&CRusGame::PlayOpponentCutIn3A, &CRusGame::PlayOpponentCutIn3B},
        {&CRusGame::PlayOpponentCutIn4A, &CRusGame::PlayOpponentCutIn4B},
        {&CRusGame::PlayOpponentCutIn5A, &CRusGame::PlayOpponentCutIn5B},
    }};
    if (Contest.Opponent < 0 || Contest.Opponent >= rus::kOpponents) return;
    const auto& pair = kMembers[static_cast<std::size_t>(Contest.Opponent)];
    (this->*pair[Contest.OpponentSpecial == 0 ? 0 : 1])(window);
}
