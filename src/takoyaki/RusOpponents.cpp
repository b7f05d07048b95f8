// The six computer opponents: a hand that glides over the opponent's pan and
// buttons, one action at a time, the same cooking rules as the player's pan,
// and a rule per opponent for when to fire a special attack.
#include "gfx/TrigTables.h"
#include "screenkit/ScreenKit.h"
#include "takoyaki/RusContest.h"
#include "takoyaki/RusPan.h"

#include <algorithm>

using namespace rus;
using rus::pan::Now;
using rus::pan::Passed;

namespace rus {

const std::array<OpponentRules, kOpponents> kOpponentRules{{
    {60, true, 3, 3, false, true, false},
    {55, true, 3, 3, false, false, true},
    {55, true, 3, 3, false, false, false},
    {55, true, 3, 4, true, false, false},
    {55, false, 3, 4, true, false, false},
    {55, true, 2, 4, true, false, false},
}};

} // namespace rus

namespace {

// A hole drawn evenly from the 25. Folding the clock and the minute into the
// product made the draw 0 for a whole minute each hour and skewed it in the
// others, so the opponent kept choosing its last hole and stopped pouring.
int UniformHole() {
    constexpr int kLimit = 32768 / kHoles * kHoles;
    int r = platform::Rand();
    while (r >= kLimit)
        r = platform::Rand();
    return r % kHoles;
}

} // namespace

bool CRusContest::PickSpecial(const OpponentRules& rules) {
    const std::int32_t t = TimeLeft;
    const std::int8_t plates = OpponentPlates;
    int variant = -1;
    if (t > rules.earlyAbove) {
        if (OpponentGauge1Full && OpponentGauge2Full && plates >= 2) {
            variant = rules.randomEarlyVariant ? static_cast<int>(screenkit::RandomByMinute(2)) : 0;
        }
    } else if (t >= 30 && t <= 45) {
        if (OpponentGauge2Full && plates >= rules.middlePlates) variant = PlayerLife < 180 ? 1 : 0;
    } else if (t >= 15 && t <= 29) {
        if (OpponentGauge2Full && plates >= rules.latePlates) {
            if (rules.lateAlwaysFires)
                variant = PlayerLife < 100 ? 0 : 1;
            else if (PlayerLife < 100)
                variant = 1;
        }
    }
    if (variant < 0) return false;
    OpponentSpecial = static_cast<std::uint8_t>(variant);
    AiAction = kAiSpecial;
    AiStep = 0;
    return true;
}

void CRusContest::ScanForWork() {
    for (int h = 0; h < kHoles; ++h) {
        std::uint8_t action = kAiIdle;
        std::int8_t tool = kPick;
        switch (OpponentStage[h]) {
        case 4:
            action = kAiOctopus;
            tool = kOctopus;
            break;
        case 5:
        case 8:
        case 11:
            action = kAiThrowAway;
            break;
        case 6:
        case 7:
            action = kAiTurn;
            break;
        case 10:
            action = kAiServe;
            break;
        default:
            continue;
        }
        AiTargetHole = h;
        AiStep = 0;
        AiAction = action;
        OpponentTool = OpponentToolButton = tool;
        return;
    }
}

void CRusContest::Think(const OpponentRules& rules, std::uint32_t interval) {
    if (!Passed(AiStamp, interval)) return;
    AiStamp = Now();
    AiStep = 0;
    AiAction = kAiPour;
    if (rules.mayWait && screenkit::RandTimesClock() % 500 % 2 == 1) AiAction = kAiWait;
}

void CRusContest::StartHandMove(std::uint32_t& stamp, std::int32_t toX, std::int32_t toY) {
    stamp = Now();
    HandFromX = HandX;
    HandFromY = HandY;
    HandToX = toX;
    HandToY = toY;
}

// One frame of the hand's move that started at `stamp`: it leaves slowly and
// arrives fastest. True once the move is over.
bool CRusContest::MoveHand(std::uint32_t stamp, std::uint32_t moveTime) {
    const std::uint64_t angle =
        std::uint64_t{static_cast<std::uint32_t>(Now() - stamp)} * 90 / moveTime;
    if (angle >= 90) return true;
    const double along = SinDeg(static_cast<int>(angle) + 90);
    HandX = HandToX + static_cast<std::int32_t>(along * (HandFromX - HandToX));
    HandY = HandToY + static_cast<std::int32_t>(along * (HandFromY - HandToY));
    return false;
}

void CRusContest::HandToHole(int hole) {
    HandX = OpponentHoleRect[hole].left + 24;
    HandY = OpponentHoleRect[hole].top + 24;
}

void CRusContest::EndAiAction() {
    AiStep = 0;
    AiAction = kAiIdle;
}

void CRusContest::ServeOpponentBall() {
    OpponentHeld = kEmptyHand;
    OpponentTool = OpponentToolButton = kPick;
    if (pan::AddToPlate(OpponentPlate, OpponentPlateCount, OpponentPlates)) {
        Cues.push_back(OpponentPlates % 3 == 0 ? Cue::OpponentThirdPlate : Cue::OpponentPlate);
    }
}

// One step of the current action. False when the routine must stop for this
// frame (the special has handed over to its cut-in).
bool CRusContest::RunAiAction(std::uint32_t interval, std::uint32_t moveTime) {
    const int h = AiTargetHole;
    const std::int32_t holeX = OpponentHoleRect[h].left + 24;
    const std::int32_t holeY = OpponentHoleRect[h].top + 24;
    std::int8_t& stage = OpponentStage[h];
    switch (AiAction) {
    case kAiWait:
        if (Passed(AiStamp, interval)) {
            AiStamp = Now();
            AiAction = kAiIdle;
        }
        break;
    case kAiSpecial:
        if (AiStep == 0) {
            OpponentTool = OpponentToolButton = kPick;
            const platform::Rect& button = SpecialRect[2 + OpponentSpecial];
            StartHandMove(AiActionStamp, button.left + 97, button.top + 18);
            AiStep = 1;
        } else if (AiStep == 1) {
            if (MoveHand(AiActionStamp, moveTime)) AiStep = 2;
        } else if (State == RusState::Play) {
            // Only while play goes on: a contest decided in this frame stays decided.
            HandX = HandToX;
            HandY = HandToY;
            OpponentHeld = kEmptyHand;
            OpponentTool = OpponentToolButton = kPick;
            EndAiAction();
            SubStep = 0;
            CutInPhase = CutInStep = 0;
            State = RusState::OpponentCutIn;
            return false;
        }
        break;
    case kAiOctopus:
    case kAiTurn: {
        const bool octopus = AiAction == kAiOctopus;
        std::uint32_t& stamp = octopus ? AiActionStamp : AiMoveStamp;
        if (AiStep == 0) {
            StartHandMove(stamp, holeX, holeY);
            AiLastHole = h;
            AiStep = 1;
        } else if (AiStep == 1) {
            if (!MoveHand(stamp, moveTime)) break;
            const bool stillThere = octopus ? stage == 4 : (stage == 6 || stage == 7);
            if (stillThere) {
                AiStep = 2;
                break;
            }
            HandToHole(h);
            OpponentHoleStamp[h] = Now();
            EndAiAction();
        } else {
            HandToHole(h);
            OpponentHoleStamp[h] = Now();
            OpponentKind[h] = octopus ? 1 : 2;
            stage = octopus ? 6 : 9;
            EndAiAction();
        }
        break;
    }
    case kAiServe:
    case kAiThrowAway: {
        const bool serve = AiAction == kAiServe;
        if (AiStep == 0) {
            StartHandMove(AiActionStamp, holeX, holeY);
            AiStep = 1;
        } else if (AiStep == 1) {
            if (!MoveHand(AiActionStamp, moveTime)) break;
            // A ball that changed while the hand travelled is left alone;
            // a burnt one is taken whatever became of it.
            if (!serve || stage == 10) {
                AiStep = 2;
                break;
            }
            HandToHole(h);
            OpponentHoleStamp[h] = Now();
            EndAiAction();
        } else if (AiStep == 2) {
            if (serve) {
                OpponentHeld = kGoodBall;
            } else if (pan::IsBurnt(stage)) {
                OpponentHeld = pan::HeldFrom(stage);
            }
            // The hand aims at the serve or throw-away button.
            const platform::Rect& button = ButtonRect[serve ? 10 : 9];
            StartHandMove(AiActionStamp, button.left + 66, button.top + 35);
            stage = 0;
            OpponentKind[h] = 0;
            AiStep = 3;
        } else if (AiStep == 3) {
            if (MoveHand(AiActionStamp, moveTime)) AiStep = 4;
        } else {
            if (serve) {
                ServeOpponentBall();
            } else {
                OpponentHeld = kEmptyHand;
                OpponentTool = OpponentToolButton = kPick;
                OpponentBurnCounted[h] = 0;
            }
            EndAiAction();
        }
        break;
    }
    case kAiPour:
        if (AiStep == 0) {
            const int r = UniformHole();
            if (r == AiLastHole) {
                EndAiAction();
                break;
            }
            AiTargetHole = AiLastHole = r;
            OpponentTool = OpponentToolButton = kBatter;
            StartHandMove(AiMoveStamp, OpponentHoleRect[r].left + 24, OpponentHoleRect[r].top + 24);
            AiStep = 1;
        } else if (AiStep == 1) {
            if (MoveHand(AiMoveStamp, moveTime)) AiStep = 2;
        } else {
            HandToHole(h);
            if (OpponentHoleCovered[h]) {
                AiPourLockStamp = Now();
            } else if (stage == 0) {
                Cues.push_back(Cue::OpponentPour);
                OpponentHoleStamp[h] = Now();
                stage = 1;
                OpponentTool = kPourLock;
                AiPourLockStamp = Now();
            }
            EndAiAction();
        }
        break;
    default:
        break;
    }
    return true;
}

void CRusContest::RunOpponentAi() {
    if (Opponent < 0 || Opponent >= kOpponents) return;
    const OpponentRules& rules = kOpponentRules[static_cast<std::size_t>(Opponent)];
    const bool hurried = rules.speedsUpWhenImmune && OpponentImmune;
    const std::uint32_t interval =
        AiInterval[static_cast<std::size_t>(Opponent)] / (hurried ? 2 : 1);
    const std::uint32_t moveTime = interval / 4;

    if (!OpponentLocked) {
        if (AiAction == kAiIdle) {
            if (!PickSpecial(rules)) ScanForWork();
        }
        if (AiAction == kAiIdle && OpponentTool != kPourLock) Think(rules, interval);
        if (!RunAiAction(interval, moveTime)) return;
        if (OpponentTool == kPourLock && Passed(AiPourLockStamp, kPourLockMs)) {
            OpponentTool = OpponentToolButton = kBatter;
            AiPourLockStamp = Now();
        }
    }

    pan::StepStages(OpponentStage, OpponentKind, OpponentHoleStamp, OpponentHoleInterval, 1,
                    pan::kBurntCaps);
    pan::ForEachNewBurn(OpponentStage, OpponentBurnCounted, [&] {
        if (!hurried) OpponentLife = std::max(OpponentLife - kBurnCost, 0);
        Cues.push_back(Cue::OpponentBurn);
    });
}
