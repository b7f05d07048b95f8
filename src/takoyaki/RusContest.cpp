#include "takoyaki/RusContest.h"

#include "app/Config.h"
#include "gfx/TrigTables.h"
#include "screenkit/ScreenKit.h"
#include "takoyaki/RusPan.h"

#include <algorithm>

using namespace rus;
using rus::pan::Now;
using rus::pan::Passed;

namespace {

constexpr int kHoleSize = 47;

platform::Rect HoleRect(int left, int hole) {
    const int r = hole / 5;
    const int c = hole % 5;
    return {left + 58 * c, 162 + 56 * r, left + kHoleSize + 58 * c, 162 + kHoleSize + 56 * r};
}

// Each hole's ms per stage: ((rand × clock × k) mod 5 + 4) seconds for hole
// k = 1..25, so 4 to 8 whole seconds.
void DrawIntervals(CRusContest::PerHole<std::uint32_t>& intervals) {
    for (std::uint32_t k = 1; k <= kHoles; ++k) {
        intervals[k - 1] = (screenkit::RandTimesClock() * k % 5 + 4) * 1000;
    }
}

// One gauge step of a side. A gauge never passes 10 and a gauge at 10 is
// full; the second fills only once the first is full.
void StepGaugePair(std::int32_t& gauge1, std::uint8_t& full1, std::int32_t& gauge2,
                   std::uint8_t& full2) {
    std::int32_t& gauge = full1 ? gauge2 : gauge1;
    std::uint8_t& full = full1 ? full2 : full1;
    gauge = std::min(gauge + 1, kGaugeFull);
    if (gauge >= kGaugeFull) full = 1;
}

// A timed effect: its flag, the stamps it shares, its span and what its end
// puts back.
struct EffectRule {
    std::uint8_t CRusContest::*flag;
    std::uint32_t CRusContest::*start;
    std::uint32_t CRusContest::*fade;
    std::uint32_t span;
    void (*atEnd)(CRusContest&);
};

constexpr std::uint32_t kEffectMs = 15000;
constexpr std::uint32_t kMarkersHiddenMs = 20000;
constexpr std::uint32_t kEffectFadeMs = 5000;

void NoEnd(CRusContest&) {}

// Whole degrees of a fade that started at `fadeStamp`: 720 over its 5000 ms.
std::uint64_t FadeAngle(std::uint32_t fadeStamp) {
    return std::uint64_t{static_cast<std::uint32_t>(Now() - fadeStamp)} * 720 / kEffectFadeMs;
}

// In the order the effects are drawn.
const std::array<EffectRule, 10> kEffects{{
    {&CRusContest::NoBurn, &CRusContest::NoBurnStamp, &CRusContest::NoBurnFadeStamp, kEffectMs,
     [](CRusContest& c) { c.PlayerHoleInterval = c.BasePlayerHoleInterval; }},
    {&CRusContest::DoubleBurnCost, &CRusContest::OpponentEffectStamp,
     &CRusContest::OpponentEffectFadeStamp, kEffectMs, NoEnd},
    {&CRusContest::OpponentImmune, &CRusContest::OpponentEffectStamp,
     &CRusContest::OpponentEffectFadeStamp, kEffectMs, NoEnd},
    {&CRusContest::PlayerHolesCovered, &CRusContest::OpponentEffectStamp,
     &CRusContest::OpponentEffectFadeStamp, kEffectMs,
     [](CRusContest& c) { c.PlayerHoleCovered.fill(0); }},
    {&CRusContest::PlayerMarkersHidden, &CRusContest::OpponentEffectStamp,
     &CRusContest::OpponentEffectFadeStamp, kMarkersHiddenMs, NoEnd},
    {&CRusContest::SlowCooking, &CRusContest::OpponentEffectStamp,
     &CRusContest::OpponentEffectFadeStamp, kEffectMs, NoEnd},
    {&CRusContest::PlayerLocked, &CRusContest::OpponentEffectStamp,
     &CRusContest::OpponentEffectFadeStamp, kEffectMs, NoEnd},
    {&CRusContest::PlayerImmune, &CRusContest::PlayerEffectStamp,
     &CRusContest::PlayerEffectFadeStamp, kEffectMs, NoEnd},
    {&CRusContest::OpponentHolesCovered, &CRusContest::PlayerEffectStamp,
     &CRusContest::PlayerEffectFadeStamp, kEffectMs,
     [](CRusContest& c) { c.OpponentHoleCovered.fill(0); }},
    {&CRusContest::OpponentLocked, &CRusContest::PlayerEffectStamp,
     &CRusContest::PlayerEffectFadeStamp, kEffectMs, NoEnd},
}};

} // namespace

CRusContest::CRusContest(std::uint8_t opponentByte)
    : Opponent(static_cast<std::int8_t>(std::min<int>(opponentByte, kOpponents - 1))) {
    // The opponent's hand glides along the sine table.
    InitTrigTables();
    for (int i = 0; i < kOpponents; ++i)
        AiInterval[i] = 2000 - 100 * static_cast<std::uint32_t>(i);
    AiStamp = Now();
}

void CRusContest::Load() {
    for (int i = 0; i < kHoles; ++i) {
        PlayerHoleRect[i] = HoleRect(61, i);
        OpponentHoleRect[i] = HoleRect(460, i);
    }
    AiTargetHole = AiLastHole = kMiddleHole;
    HandX = OpponentHoleRect[kMiddleHole].left + 24;
    HandY = OpponentHoleRect[kMiddleHole].top + 24;
    ButtonRect = {{{17, 444, 135, 522},
                   {140, 444, 259, 522},
                   {263, 444, 382, 522},
                   {24, 525, 104, 598},
                   {115, 528, 247, 598},
                   {359, 49, 441, 74},
                   {419, 444, 537, 522},
                   {542, 444, 661, 522},
                   {665, 444, 784, 522},
                   {426, 525, 506, 598},
                   {517, 528, 649, 598}}};
    SpecialRect = {
        {{3, 122, 197, 154}, {199, 122, 393, 154}, {407, 122, 601, 154}, {603, 122, 797, 154}}};

    PlayerHoleStamp.fill(Now());
    OpponentHoleStamp.fill(Now());
    DrawIntervals(PlayerHoleInterval);
    DrawIntervals(OpponentHoleInterval);

    PlayerStage.fill(0);
    OpponentStage.fill(0);
    PlayerKind.fill(0);
    OpponentKind.fill(0);
    PlayerHoleCovered.fill(0);
    OpponentHoleCovered.fill(0);
    PlayerBurnCounted.fill(0);
    OpponentBurnCounted.fill(0);
    BasePlayerHoleInterval = PlayerHoleInterval;
    NoBurn = 0;
    AiStep = 0;
    AiAction = kAiIdle;
    OpponentSpecial = 0;
    PlayerSpecial = 0;
    PlayerHeld = OpponentHeld = kEmptyHand;
    PlayerPlateCount = OpponentPlateCount = 0;
    PlayerPlate.fill(0);
    OpponentPlate.fill(0);
    SavedAiMoveStamp = SavedAiActionStamp = 0;
    TimeLeft = kTimerSteps;
    TimerStamp = Now();
    PlayerPlates = OpponentPlates = 0;
    PlayerLife = OpponentLife = kFullLife;
    PlayerGauge1 = PlayerGauge2 = OpponentGauge1 = OpponentGauge2 = 0;
    PlayerGauge1Full = PlayerGauge2Full = OpponentGauge1Full = OpponentGauge2Full = 0;
    StartTime = Now();
    State = RusState::Ready;
}

void CRusContest::BeginPlay() {
    // The timer starts with play, as the gauges do: counted from loading, the
    // ready sequence ate its first step and the contest came up short of its
    // 99 full steps.
    StartTime = PlayerGaugeStamp = OpponentGaugeStamp = TimerStamp = Now();
    State = RusState::Play;
}

bool CRusContest::CanUsePlayerSpecial(int special) const {
    if (special == 1) return PlayerGauge1Full && PlayerPlates >= 1;
    if (special == 2) return PlayerGauge2Full && PlayerPlates >= 2;
    return false;
}

void CRusContest::RunPlay(PlayInput& input) {
    Cues.clear();
    UpdateHover(input);
    StepEffects();
    StepGauges();
    StepTimer();
    TestEnd();
    if (PlayerTool == kPourLock && Passed(PourLockStamp, kPourLockMs)) {
        PlayerTool = kBatter;
        PourLockStamp = Now();
    }
    if (ClickSpecial(input)) return;
    ClickHole(input);
    ClickButton(input);
    if (State == RusState::Pause) return;
    StepPlayerPan();
    ChargePlayerBurns();
    RunOpponentAi();
    CursorX = input.x;
    CursorY = input.y;
}

void CRusContest::UpdateHover(PlayInput& input) {
    if (PlayerLocked) {
        // A locked player's hand is off the pan: nothing is hovered, then or now.
        HoverHole = PrevHoverHole = HoverButton = PrevHoverButton = 0;
        HoverSpecial = PrevHoverSpecial = 0;
        return;
    }
    PrevHoverHole = HoverHole;
    PrevHoverButton = HoverButton;
    PrevHoverSpecial = HoverSpecial;
    HoverHole = HoverButton = HoverSpecial = 0;
    if (PlayerHeld == kEmptyHand) {
        for (int i = 0; i < kHoles; ++i) {
            if (screenkit::PointIn(PlayerHoleRect[i], input.x, input.y)) {
                HoverHole = PlayerHoleCovered[i] ? 0 : static_cast<std::uint8_t>(i + 1);
                break;
            }
        }
    }
    for (int i = 0; i < 6; ++i) {
        if (screenkit::PointIn(ButtonRect[i], input.x, input.y)) {
            HoverButton = static_cast<std::uint8_t>(i + 1);
            break;
        }
    }
    for (int k = 1; k <= 2; ++k) {
        if (screenkit::PointIn(SpecialRect[k - 1], input.x, input.y) && CanUsePlayerSpecial(k))
            HoverSpecial = static_cast<std::uint8_t>(k);
    }
    if (input.cancel && PlayerTool < kPourLock) {
        input.cancel = false;
        PlayerTool = static_cast<std::int8_t>((PlayerTool + 1) % 3);
        PlayerToolButton = static_cast<std::int8_t>((PlayerToolButton + 1) % 3);
    }
}

void CRusContest::StepEffects() {
    for (const EffectRule& e : kEffects) {
        std::uint8_t& flag = this->*e.flag;
        if (flag == kEffectActive && Passed(this->*e.start, e.span)) {
            flag = kEffectFading;
            this->*e.fade = Now();
        } else if (flag == kEffectFading) {
            // The overlay pulses through 720 degrees over the fade; then it is off.
            const std::uint64_t angle = FadeAngle(this->*e.fade);
            if (angle >= 720) {
                flag = kEffectOff;
                e.atEnd(*this);
            }
        }
    }
}

void CRusContest::StepGauges() {
    if (Passed(PlayerGaugeStamp, kGaugeStepMs)) {
        PlayerGaugeStamp = Now();
        StepGaugePair(PlayerGauge1, PlayerGauge1Full, PlayerGauge2, PlayerGauge2Full);
    }
    if (Passed(OpponentGaugeStamp, kGaugeStepMs)) {
        OpponentGaugeStamp = Now();
        StepGaugePair(OpponentGauge1, OpponentGauge1Full, OpponentGauge2, OpponentGauge2Full);
    }
}

void CRusContest::StepTimer() {
    if (!Passed(TimerStamp, kTimerStepMs)) return;
    TimerStamp = Now();
    TimeLeft -= 1;
    if (TimeLeft <= 0) {
        TimeLeft = 0;
        Cues.push_back(Cue::TimeUp);
        SubStep = 0;
        State = RusState::Judge;
    }
}

void CRusContest::TestEnd() {
    // A life at 0 decides the contest even in the frame the time ran out; when
    // both fall together the player wins.
    if (PlayerLife <= 0) {
        SubStep = 0;
        State = RusState::Lose;
    }
    if (OpponentLife <= 0) {
        SubStep = 0;
        State = RusState::Win;
    }
}

bool CRusContest::ClickSpecial(PlayInput& input) {
    // Once the contest is decided in this frame, a special can no longer
    // take it over.
    if (!input.click || HoverSpecial == 0 || State != RusState::Play) return false;
    input.click = false;
    SubStep = 0;
    PlayerSpecial = static_cast<std::uint8_t>(HoverSpecial - 1);
    CutInPhase = CutInStep = 0;
    State = RusState::PlayerCutIn;
    return true;
}

void CRusContest::ClickHole(PlayInput& input) {
    if (!input.click || PlayerHeld != kEmptyHand || HoverHole == 0) return;
    input.click = false;
    const int h = HoverHole - 1;
    std::int8_t& stage = PlayerStage[h];
    switch (PlayerTool) {
    case kBatter:
        if (stage != 0) break;
        Cues.push_back(Cue::PlayerPour);
        PlayerHoleStamp[h] = Now();
        stage = 1;
        // A ball that burnt and then stepped back under the no-burn effect
        // leaves its mark behind; the new batter must be charged if it burns.
        PlayerBurnCounted[h] = 0;
        PlayerTool = kPourLock;
        PourLockStamp = Now();
        break;
    case kOctopus:
        if (stage != 4) break;
        PlayerHoleStamp[h] = Now();
        PlayerKind[h] = 1;
        stage = 6;
        break;
    case kPick:
        if (stage == 6 || stage == 7) {
            PlayerHoleStamp[h] = Now();
            PlayerKind[h] = 2;
            stage = 9;
        } else if (stage == 10 || pan::IsBurnt(stage)) {
            PlayerHeld = pan::HeldFrom(stage);
            if (PlayerHeld != kGoodBall) PlayerBurntFrom = static_cast<std::uint8_t>(h);
            stage = 0;
            PlayerKind[h] = 0;
        }
        break;
    default:
        break;
    }
}

void CRusContest::ClickButton(PlayInput& input) {
    if (!input.click || HoverButton == 0) return;
    input.click = false;
    switch (HoverButton) {
    case 1:
    case 2:
    case 3:
        if (PlayerHeld == kEmptyHand) {
            PlayerTool = PlayerToolButton = static_cast<std::int8_t>(HoverButton - 1);
        }
        break;
    case 4:
        if (PlayerHeld >= kBurntAt11) {
            PlayerHeld = kEmptyHand;
            PlayerTool = kPick;
            PlayerBurnCounted[PlayerBurntFrom] = 0;
        }
        break;
    case 5:
        if (PlayerHeld == kGoodBall) {
            PlayerHeld = kEmptyHand;
            PlayerTool = kPick;
            if (pan::AddToPlate(PlayerPlate, PlayerPlateCount, PlayerPlates)) {
                Cues.push_back(PlayerPlates % 3 == 0 ? Cue::PlayerThirdPlate : Cue::PlayerPlate);
            }
        }
        break;
    case 6:
        // The pause can't take over a contest already decided in this frame.
        if (State != RusState::Play) break;
        DialogYesRect = {363, 315, 414, 343};
        DialogNoRect = {431, 315, 505, 343};
        SubStep = 0;
        State = RusState::Pause;
        break;
    default:
        break;
    }
}

void CRusContest::StepPlayerPan() {
    if (NoBurn) {
        pan::StepStages(PlayerStage, PlayerKind, PlayerHoleStamp, PlayerHoleInterval, 1,
                        pan::kReadyCaps);
    } else {
        pan::StepStages(PlayerStage, PlayerKind, PlayerHoleStamp, PlayerHoleInterval,
                        SlowCooking ? 2 : 1, pan::kBurntCaps);
    }
}

void CRusContest::ChargePlayerBurns() {
    pan::ForEachNewBurn(PlayerStage, PlayerBurnCounted, [this] {
        // A burn while immune is marked as charged and so never costs later.
        if (!PlayerImmune) PlayerLife -= DoubleBurnCost ? 2 * kBurnCost : kBurnCost;
        PlayerLife = std::max(PlayerLife, 0);
        Cues.push_back(Cue::PlayerBurn);
    });
}

void CRusContest::RestartHoleStamps() {
    PlayerHoleStamp.fill(Now());
    OpponentHoleStamp.fill(Now());
}

void CRusContest::AnswerPause(PauseAnswer answer) {
    if (answer == PauseAnswer::Quit) {
        SubStep = 0;
        State = RusState::Quit;
        return;
    }
    RestartHoleStamps();
    PlayerGaugeStamp = OpponentGaugeStamp = TimerStamp = Now();
    SubStep = 0;
    State = RusState::Play;
}

void CRusContest::Judge() {
    bool win = PlayerPlates > OpponentPlates;
    if (PlayerPlates == OpponentPlates) win = PlayerLife > OpponentLife;
    SubStep = 0;
    State = win ? RusState::Win : RusState::Lose;
}

Outcome CRusContest::GetOutcome() const {
    const auto opponent = static_cast<std::uint8_t>(Opponent);
    if (State == RusState::Win) return {kPlayerSideIndex, opponent};
    return {opponent, kPlayerSideIndex};
}

void CRusContest::RecordWin(std::span<std::uint8_t> settings) const {
    // The gallery entry of each opponent's guest picture.
    constexpr std::array<std::size_t, kOpponents> kCgEntry{34, 39, 43, 36, 40, 42};
    const auto opponent = static_cast<std::size_t>(Opponent);
    const std::size_t beaten = config::kContestBeaten + opponent;
    const std::size_t seen = config::kCgFlags + 21 * kCgEntry[opponent];
    if (seen >= settings.size()) return;
    settings[beaten] = 1;
    settings[seen] = 1;
}

int CRusContest::EffectOpacity(std::uint8_t flag, std::uint32_t fadeStamp) const {
    if (flag == kEffectActive) return 254;
    if (flag != kEffectFading) return 0;
    const std::uint64_t angle = FadeAngle(fadeStamp);
    if (angle >= 720) return 0;
    // The sine table read 90 degrees on is |cos a|.
    return static_cast<int>(254.0 * SinDeg(static_cast<int>(angle) + 90));
}

void CRusContest::SaveCutInTimers() {
    SavedPlayerHoleStamp = PlayerHoleStamp;
    SavedOpponentHoleStamp = OpponentHoleStamp;
    SavedPlayerHoleInterval = PlayerHoleInterval;
    SavedOpponentHoleInterval = OpponentHoleInterval;
    SavedAiMoveStamp = AiMoveStamp;
    SavedAiActionStamp = AiActionStamp;
}

void CRusContest::BeginCutIn() {
    SaveCutInTimers();
    StartTime = Now();
    CutInPhase = 1;
}

void CRusContest::RestoreCutInTimers() {
    PlayerHoleStamp = SavedPlayerHoleStamp;
    OpponentHoleStamp = SavedOpponentHoleStamp;
    PlayerHoleInterval = SavedPlayerHoleInterval;
    OpponentHoleInterval = SavedOpponentHoleInterval;
    RestartHoleStamps();
    PlayerGaugeStamp = OpponentGaugeStamp = Now();
    AiMoveStamp = SavedAiMoveStamp;
    AiActionStamp = SavedAiActionStamp;
}

void CRusContest::PayPrice(Side attacker, std::int8_t plateCost) {
    std::int8_t& plates = attacker == Side::Player ? PlayerPlates : OpponentPlates;
    plates = static_cast<std::int8_t>(std::max(plates - plateCost, 0));
}

void CRusContest::EmptyGauges(Side attacker, GaugeReset reset) {
    const bool player = attacker == Side::Player;
    std::int32_t& gauge1 = player ? PlayerGauge1 : OpponentGauge1;
    std::int32_t& gauge2 = player ? PlayerGauge2 : OpponentGauge2;
    gauge1 = reset == GaugeReset::SecondToFirst ? gauge2 : 0;
    gauge2 = 0;
    // Both flags drop even when a full second gauge is carried over: the
    // attacker waits for the next gauge step, which lights the flag again,
    // before it can fire once more.
    (player ? PlayerGauge1Full : OpponentGauge1Full) = 0;
    (player ? PlayerGauge2Full : OpponentGauge2Full) = 0;
}

void CRusContest::ClearEffectsSetBy(Side setter) {
    if (setter == Side::Player) {
        PlayerImmune = OpponentHolesCovered = OpponentLocked = 0;
        PlayerHoleInterval = BasePlayerHoleInterval;
        OpponentHoleCovered.fill(0);
    } else {
        DoubleBurnCost = OpponentImmune = PlayerHolesCovered = 0;
        PlayerMarkersHidden = SlowCooking = PlayerLocked = 0;
        OpponentReelResult = 0;
        PlayerHoleCovered.fill(0);
    }
}

bool CRusContest::Guarded(Side target) const {
    return (target == Side::Player ? PlayerImmune : OpponentImmune) != 0;
}

bool CRusContest::Hit(Side target, std::int32_t damage) {
    if (Guarded(target)) return false;
    const bool player = target == Side::Player;
    std::int32_t& life = player ? PlayerLife : OpponentLife;
    (player ? PlayerLifeBefore : OpponentLifeBefore) = life;
    life = std::max(life - damage, 0);
    return true;
}

void CRusContest::ReturnToPlay(CutInCounters counters) {
    CutInPhase = 0;
    if (counters == CutInCounters::All) {
        ScrollOffset = SlideOffset = SlideOffset2 = 0;
        CutInStep = CutInStep2 = 0;
    }
    State = RusState::Play;
}

void CRusContest::FinishCutIn(Side attacker, std::int8_t plateCost, GaugeReset reset) {
    RestoreCutInTimers();
    PayPrice(attacker, plateCost);
    EmptyGauges(attacker, reset);
    ReturnToPlay(CutInCounters::All);
}

void CRusContest::RunCutInAtOnce() {
    BeginCutIn();
    if (State == RusState::PlayerCutIn) {
        const bool second = PlayerSpecial == 1;
        FinishCutIn(Side::Player, second ? 2 : 1,
                    second ? GaugeReset::EmptyBoth : GaugeReset::SecondToFirst);
    } else {
        const bool second = OpponentSpecial == 1;
        FinishCutIn(Side::Opponent, second ? 2 : 1,
                    second ? GaugeReset::EmptyBoth : GaugeReset::SecondToFirst);
        AiStamp = Now();
    }
}
