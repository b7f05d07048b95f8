// The rules of the takoyaki contest, with no drawing and no sound: both pans
// and their cooking stages, burning, plates, lives, the 99-step timer, the
// special-attack gauges, the timed effects, the rule steps of the contest's
// states and the six computer opponents.
//
// The contest screen (mode 66) owns one CRusContest and is a thin layer over
// it: it passes the mouse in (cursor, click, right click), calls the rule step
// of the state that runs, then draws from the fields and plays the sounds of
// the cues the step left in `Cues`. Everything timed reads the platform clock
// and every random draw goes through the platform generator, so a test on the
// headless backend replays a contest frame by frame.
#pragma once

#include "platform/Platform.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace rus {

inline constexpr int kHoles = 25;
inline constexpr int kPlacesPerPlate = 6;
inline constexpr int kOpponents = 6;
inline constexpr std::int32_t kFullLife = 221;
inline constexpr std::int32_t kGaugeFull = 10;
inline constexpr std::int32_t kTimerSteps = 99;
inline constexpr std::uint32_t kTimerStepMs = 2500;
inline constexpr std::uint32_t kGaugeStepMs = 3000;
inline constexpr std::uint32_t kPourLockMs = 100;
inline constexpr std::int32_t kBurnCost = 6;
// The middle hole, where the opponent's hand rests when the contest starts.
inline constexpr int kMiddleHole = 12;
// The index the application object keeps for the player's side.
inline constexpr std::uint8_t kPlayerSideIndex = 6;

// The value of the contest's main state byte.
enum class RusState : std::uint8_t {
    Load = 0,
    Ready = 1,
    Play = 2,
    OpponentCutIn = 5,
    PlayerCutIn = 6,
    Judge = 10,
    Win = 11,
    Lose = 12,
    Pause = 20,
    Quit = 21,
};

// Tools of a side (`PlayerTool`, `OpponentTool`).
enum Tool : std::int8_t { kBatter = 0, kOctopus = 1, kPick = 2, kPourLock = 3 };

// What is held in a hand (`PlayerHeld`, `OpponentHeld`).
enum Held : std::uint8_t {
    kEmptyHand = 0,
    kGoodBall = 1,
    kBurntAt11 = 2,
    kBurntAt8 = 3,
    kBurntAt5 = 4,
};

// The computer opponent's actions (`AiAction`).
enum AiActionKind : std::uint8_t {
    kAiIdle = 0,
    kAiPour = 1,
    kAiOctopus = 3,
    kAiTurn = 4,
    kAiServe = 5,
    kAiThrowAway = 6,
    kAiSpecial = 7,
    kAiWait = 8,
};

// Timed effect flags hold one of these.
enum EffectFlag : std::uint8_t { kEffectOff = 0, kEffectActive = 1, kEffectFading = 2 };

// Sounds and lines that a rule step asks for; the screen maps each to its
// channel and applies the settings that silence lines.
enum class Cue : std::uint8_t {
    PlayerPour,
    PlayerBurn,
    PlayerPlate,      // a served plate whose score is not a multiple of 3
    PlayerThirdPlate, // every third plate
    OpponentPour,
    OpponentBurn,
    OpponentPlate,
    OpponentThirdPlate,
    TimeUp,
};

enum class Side : std::uint8_t { Player, Opponent };

// How a special's ending empties the attacker's gauges: a one-plate attack
// keeps the second gauge's progress as the first's, a two-plate attack
// empties both.
enum class GaugeReset : std::uint8_t { SecondToFirst, EmptyBoth };

enum class PauseAnswer : std::uint8_t { Quit, Resume };

// What a cut-in's return to play resets besides the state: the phase
// counters and the offsets, or the phase alone.
enum class CutInCounters : std::uint8_t { All, PhaseOnly };

inline constexpr int kParticles = 32;

// The mouse as one play frame sees it. The rule step clears a flag it acts
// on, as the screens clear the shared mouse flags.
struct PlayInput {
    int x = 0;
    int y = 0;
    bool click = false;
    bool cancel = false; // right button
};

// What the application object keeps of a finished contest.
struct Outcome {
    std::uint8_t winner = 0;
    std::uint8_t loser = 0;
};

// The rule differences among the six computer opponents.
struct OpponentRules {
    std::int32_t earlyAbove;  // early window: TimeLeft above this
    bool randomEarlyVariant;  // else the early special is always variant 0
    std::int8_t middlePlates; // plates needed for 30 <= TimeLeft <= 45
    std::int8_t latePlates;   // plates needed for 15 <= TimeLeft <= 29
    bool lateAlwaysFires;     // late: variant 0 below 100 life, else 1
                              // (otherwise variant 1 below 100 life, else none)
    bool mayWait;             // an idle moment may be spent waiting
    bool speedsUpWhenImmune;  // OpponentImmune halves its times and burns are free
};
extern const std::array<OpponentRules, kOpponents> kOpponentRules;

} // namespace rus

class CRusContest {
public:
    template <typename T> using PerHole = std::array<T, rus::kHoles>;

    // The contest for the application object's opponent byte. Values past the
    // last opponent (the byte reads 6 once the last one is beaten) play the
    // last opponent again.
    explicit CRusContest(std::uint8_t opponentByte);

    // The rule part of loading (state 0): rectangles, hole timers and
    // intervals, lives, timer, gauges; then State := Ready.
    void Load();
    // The end of the ready sequence: the gauges and the timer start; State := Play.
    void BeginPlay();
    // One play frame (state 2).
    void RunPlay(rus::PlayInput& input);
    // The computer opponent's routine of one play frame (called by RunPlay).
    void RunOpponentAi();
    // The pause dialog's answer: quit (State := Quit), or back to play with
    // every running stage, gauge and timer step started again from zero.
    void AnswerPause(rus::PauseAnswer answer);
    // The verdict at time up (State := Win or Lose).
    void Judge();
    // Winner and loser index for the application object (Win or Lose state).
    rus::Outcome GetOutcome() const;
    // What a win keeps in the settings block: the opponent's beaten flag and
    // the first picture of its gallery entry as seen. Saving is the caller's.
    void RecordWin(std::span<std::uint8_t> settings) const;
    // Opacity of a timed effect's overlay and label this frame: 254 while it
    // is active; while it fades it pulses as |254 × cos a|, a running through
    // 720 whole degrees over the fade; 0 when off.
    int EffectOpacity(std::uint8_t flag, std::uint32_t fadeStamp) const;

    // Cut-in seam. A cut-in sequence calls BeginCutIn in its first frame,
    // plays its pictures, applies its attack, then calls FinishCutIn, which
    // puts the frozen timers back, takes the price and returns to play.
    void BeginCutIn();
    void FinishCutIn(rus::Side attacker, std::int8_t plateCost, rus::GaugeReset reset);
    // Stands in for a cut-in whose sequence is not there: the special ends at
    // once with its price paid and without an attack.
    void RunCutInAtOnce();

    // The pieces of a cut-in's start and ending, for the sequences whose
    // ending differs from FinishCutIn's.
    // The hole timers and the opponent's hand stamps, kept while play is frozen.
    void SaveCutInTimers();
    // The kept timers back; every hole starts its current stage again now, and
    // so do both gauges: the frozen time does not count.
    void RestoreCutInTimers();
    // The attacker's served plates less the price, not below 0.
    void PayPrice(rus::Side attacker, std::int8_t plateCost);
    // The attacker's gauges after its special; the full flags follow them.
    void EmptyGauges(rus::Side attacker, rus::GaugeReset reset);
    // The effects one side has set on the other end. The player's end with
    // the opponent's holes uncovered and the player's own cooking intervals
    // back to their base; the opponent's with the player's holes uncovered.
    void ClearEffectsSetBy(rus::Side setter);
    // True while `target` is guarded against hits.
    bool Guarded(rus::Side target) const;
    // Unless the target is guarded: its life before the hit is kept for the
    // falling bar and `damage` is taken, not below 0. True when it landed.
    bool Hit(rus::Side target, std::int32_t damage);
    // State := Play, with the counters `counters` names back at 0.
    void ReturnToPlay(rus::CutInCounters counters);

    // True when the player's special 1 or 2 may be used.
    bool CanUsePlayerSpecial(int special) const;

    // ---------------------------------------------------------------- state
    rus::RusState State = rus::RusState::Load;
    std::uint8_t SubStep = 0;
    std::uint32_t StartTime = 0;
    std::uint32_t Elapsed = 0;
    std::int8_t Opponent = 0;

    std::uint8_t HoverHole = 0, PrevHoverHole = 0;       // 1..25, 0 none
    std::uint8_t HoverButton = 0, PrevHoverButton = 0;   // 1..6, 0 none
    std::uint8_t HoverSpecial = 0, PrevHoverSpecial = 0; // 1, 2, 0 none

    platform::Rect DialogYesRect{}, DialogNoRect{};
    PerHole<platform::Rect> PlayerHoleRect{};
    PerHole<platform::Rect> OpponentHoleRect{};
    // 0..5 the player's buttons 1..6 (batter, octopus, pick, throw away,
    // serve, pause); 6..10 the opponent's batter..serve buttons.
    std::array<platform::Rect, 11> ButtonRect{};
    // Player special 1, 2; opponent special 1, 2.
    std::array<platform::Rect, 4> SpecialRect{};

    std::int32_t CursorX = 0, CursorY = 0;
    std::int32_t HandX = 0, HandY = 0;
    std::int32_t HandToX = 0, HandToY = 0;
    std::int32_t HandFromX = 0, HandFromY = 0;

    std::int32_t PlayerLife = rus::kFullLife, OpponentLife = rus::kFullLife;
    std::int32_t PlayerLifeBefore = 0, OpponentLifeBefore = 0;

    std::uint32_t PlayerGaugeStamp = 0, OpponentGaugeStamp = 0;
    std::int32_t PlayerGauge1 = 0, PlayerGauge2 = 0, OpponentGauge1 = 0, OpponentGauge2 = 0;
    std::uint8_t PlayerGauge1Full = 0, PlayerGauge2Full = 0;
    std::uint8_t OpponentGauge1Full = 0, OpponentGauge2Full = 0;

    std::int32_t TimeLeft = rus::kTimerSteps;
    std::uint32_t TimerStamp = 0;

    std::int8_t PlayerTool = rus::kBatter;
    std::int8_t PlayerToolButton = 0;
    std::uint32_t PourLockStamp = 0;

    std::uint8_t PlayerHeld = rus::kEmptyHand, OpponentHeld = rus::kEmptyHand;
    std::uint8_t PlayerPlateCount = 0, OpponentPlateCount = 0;
    std::int8_t PlayerPlates = 0, OpponentPlates = 0;

    PerHole<std::int8_t> PlayerStage{}, OpponentStage{};
    PerHole<std::uint8_t> PlayerKind{}, OpponentKind{};
    PerHole<std::uint8_t> PlayerHoleCovered{}, OpponentHoleCovered{};
    PerHole<std::uint8_t> PlayerBurnCounted{}, OpponentBurnCounted{};
    std::uint8_t PlayerBurntFrom = 0;
    std::array<std::uint8_t, rus::kPlacesPerPlate> PlayerPlate{}, OpponentPlate{};

    PerHole<std::uint32_t> PlayerHoleStamp{}, OpponentHoleStamp{};
    PerHole<std::uint32_t> PlayerHoleInterval{}, OpponentHoleInterval{};
    PerHole<std::uint32_t> SavedPlayerHoleStamp{}, SavedOpponentHoleStamp{};
    PerHole<std::uint32_t> SavedPlayerHoleInterval{}, SavedOpponentHoleInterval{};
    PerHole<std::uint32_t> BasePlayerHoleInterval{};

    std::uint8_t NoBurn = rus::kEffectOff;
    std::uint32_t NoBurnStamp = 0, NoBurnFadeStamp = 0;

    std::uint32_t AiStamp = 0;
    std::array<std::uint32_t, rus::kOpponents> AiInterval{};
    std::uint32_t AiPourLockStamp = 0;
    std::int32_t AiTargetHole = rus::kMiddleHole, AiLastHole = rus::kMiddleHole;
    std::int8_t OpponentTool = rus::kBatter;
    std::int8_t OpponentToolButton = 0;
    std::uint32_t AiMoveStamp = 0, AiActionStamp = 0;
    std::uint32_t SavedAiMoveStamp = 0, SavedAiActionStamp = 0;
    std::uint8_t AiStep = 0;
    std::uint8_t AiAction = rus::kAiIdle;
    std::uint8_t OpponentSpecial = 0; // variant 0 or 1
    std::uint8_t PlayerSpecial = 0;   // 0 special 1, 1 special 2

    std::uint8_t CutInPhase = 0, CutInStep = 0, CutInStep2 = 0;
    // A cut-in's second and third clock stamps.
    std::uint32_t CutInTimer = 0, CutInTimer2 = 0;
    std::int16_t ScrollOffset = 0, SlideOffset = 0, SlideOffset2 = 0;
    // The symbol the player's reel stopped on (0..4).
    std::uint8_t ReelResult = 0;
    // Pictures a cut-in moves or stamps, and the holes it bombs (element 0
    // of BombFrame counts the bomb animation's frames).
    std::array<std::int16_t, rus::kParticles> ParticleX{}, ParticleY{}, ParticleTimer{},
        ParticleKind{};
    PerHole<std::uint8_t> BombHole{}, BombFrame{};

    // Effects an opponent's special switches on; they share their stamps.
    std::uint8_t DoubleBurnCost = 0, OpponentImmune = 0, PlayerHolesCovered = 0;
    std::uint8_t PlayerMarkersHidden = 0, SlowCooking = 0, PlayerLocked = 0;
    // The symbol of the opponent's own reel; the last byte of its block.
    std::uint8_t OpponentReelResult = 0;
    std::uint32_t OpponentEffectStamp = 0, OpponentEffectFadeStamp = 0;
    // Effects the player's special 2 switches on.
    std::uint8_t PlayerImmune = 0, OpponentHolesCovered = 0, OpponentLocked = 0;
    std::uint32_t PlayerEffectStamp = 0, PlayerEffectFadeStamp = 0;

    // Sounds and lines asked for by the last rule step, in order.
    std::vector<rus::Cue> Cues;

private:
    void UpdateHover(rus::PlayInput& input);
    void StepEffects();
    void StepGauges();
    void StepTimer();
    void TestEnd();
    bool ClickSpecial(rus::PlayInput& input);
    void ClickHole(rus::PlayInput& input);
    void ClickButton(rus::PlayInput& input);
    void StepPlayerPan();
    void ChargePlayerBurns();
    void RestartHoleStamps();

    // The opponent's routine, by its steps.
    bool PickSpecial(const rus::OpponentRules& rules);
    void ScanForWork();
    void Think(const rus::OpponentRules& rules, std::uint32_t interval);
    bool RunAiAction(std::uint32_t interval, std::uint32_t moveTime);
    void StartHandMove(std::uint32_t& stamp, std::int32_t toX, std::int32_t toY);
    bool MoveHand(std::uint32_t stamp, std::uint32_t moveTime);
    void HandToHole(int hole);
    void EndAiAction();
    void ServeOpponentBall();
};
