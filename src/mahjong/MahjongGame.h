// The mahjong match object. The script object makes the one instance and
// frees it, so a match survives trips through the menus; the mode table only
// runs it (mode 64) while it exists.
//
// The rules of the match live in MahjongGame.cpp, apart from drawing: every
// rules step changes the fields below and the global tile arrays, and records
// what happened in `Log`. The match screen (MahjongMatchScreen.cpp) runs a
// step when its pause, click or answer comes, then draws from the fields and
// the new log entries.
//
// Surfaces (cdib slots) while a match runs: 0 the previous picture; 1 the
// composed table, later the picture under a cut-in; 2 the table picture, the
// clean source every restore reads; 3 the tiles; 4 the system picture
// (digits, plates, markers); 5 the portrait; 6 the second heroine picture,
// then the menu panel or the riichi picture; 9 to 11 the result pictures and
// the scratch copies of the cut-ins. The match end frees slots 1 to 39.
#pragma once

#include "mahjong/MahjongTile.h"
#include "mahjong/MahjongYaku.h"
#include "platform/Platform.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

// States of the match (`CMahjongGame::State`).
namespace mahjong_state {
inline constexpr std::uint8_t kMatchStart = 0;
inline constexpr std::uint8_t kDeal = 1;
inline constexpr std::uint8_t kTurns = 2;
inline constexpr std::uint8_t kExhaustiveDraw = 10;
inline constexpr std::uint8_t kCpuTsumo = 11;
inline constexpr std::uint8_t kCpuRon = 12;
inline constexpr std::uint8_t kLossResult = 13;
inline constexpr std::uint8_t kCpuRiichi = 14;
inline constexpr std::uint8_t kPlayerTsumo = 21;
inline constexpr std::uint8_t kPlayerRon = 22;
inline constexpr std::uint8_t kWinResult = 23;
inline constexpr std::uint8_t kRiichiMenu = 30;
inline constexpr std::uint8_t kRonMenu = 31;
inline constexpr std::uint8_t kTsumoMenu = 32;
} // namespace mahjong_state

// The named steps of the turn loop; each twin numbers them differently.
enum class MahjongTurnStep : std::uint8_t {
    DiscardChoice,
    RiichiDiscard,
    AfterPlayerDiscard,
    PauseBeforeCpuDraw,
    CpuDraws,
    PauseBeforeCpuDecides,
    CpuDecides,
    CpuDiscards,
    RonOffer,
    PauseBeforePlayerDraw,
    PlayerDraws,
    ExhaustiveDraw,
    CpuTsumo,
};
inline constexpr int kMahjongTurnSteps = 13;
enum class MahjongDealer : std::uint8_t { Cpu, Player };
std::uint8_t TurnStepNumber(MahjongTurnStep step, MahjongDealer dealer);
std::optional<MahjongTurnStep> TurnStepOf(std::uint8_t subStep, MahjongDealer dealer);
// Steps that wait 500 ms (or a click) before the next rules step.
bool IsPauseStep(MahjongTurnStep step);

enum class MahjongSide : std::uint8_t { Player, Cpu };
enum class MahjongCall : std::uint8_t { Riichi, Ron, Tsumo };
enum class MahjongAnswer : std::uint8_t { Yes, No, Cancel };
// Lines whose moment the rules decide.
enum class MahjongLine : std::uint8_t {
    Deal,
    PlayerFifthDiscard,
    CpuTwentyFifthDiscard,
    CpuWinsGame
};

enum class MahjongEventKind : std::uint8_t {
    MatchStart, // a: opponent; value: the heroine's starting points
    Shuffle,    // value: a digest of the wall order
    Deal,       // side gets tile a into slot b
    Draw,       // side draws tile a
    Discard,    // side discards tile a as discard number b
    Ready,      // side is ready waiting on kind a
    Offer,      // a: MahjongCall offered to the player
    Answer,     // a: MahjongCall, b: MahjongAnswer
    Riichi,     // side declares riichi
    Win,        // side wins; a: 1 self-drawn, 0 on a discard
    ExhaustiveDraw,
    Yaku,        // side scores combination a worth value
    PointsMoved, // side (the winner) takes value points
    Line,        // a: MahjongLine
    MatchEnd,    // side won the match
};

struct MahjongEvent {
    MahjongEventKind kind{};
    MahjongSide side = MahjongSide::Player;
    std::uint8_t a = 0;
    std::uint8_t b = 0;
    std::int32_t value = 0;
    friend bool operator==(const MahjongEvent&, const MahjongEvent&) = default;
};

// What the screen tells the turn loop this frame.
struct MahjongTurnInput {
    bool pauseOver = false; // 500 ms passed, or a click, the skip key or skip-effects
    int discardSlot = -1;   // the player clicked hand slot 0..8
};

// What a click on the result screen showed.
struct MahjongResultItem {
    enum class Kind : std::uint8_t { Strip, Total, Settled } kind = Kind::Strip;
    int flag = -1;            // the strip's combination
    std::string_view voice{}; // its announcement line, empty when it has none
};

// The global tile arrays, cleared at every deal.
extern std::array<MahjongTile, kMahjongWallSize> g_mahjongWall;
extern MahjongHand g_mahjongCpuHand;
extern MahjongHand g_mahjongPlayerHand;
extern std::array<MahjongTile, kMahjongDiscardSlots> g_mahjongCpuDiscards;
extern std::array<MahjongTile, kMahjongDiscardSlots> g_mahjongPlayerDiscards;
extern MahjongYakuFlags g_mahjongYakuFlags;

extern const std::array<std::int32_t, kMahjongHeroines> g_mahjongStartPoints;
// The match screen's music and the heroines' lines, by heroine.
using MahjongHeroineNames = std::array<const char*, kMahjongHeroines>;
extern const std::array<std::uint8_t, kMahjongHeroines> g_mahjongVoiceSlot;
extern const MahjongHeroineNames g_mahjongBgm;
extern const MahjongHeroineNames g_mahjongDealVoices;
extern const MahjongHeroineNames g_mahjongDrawVoices;
extern const std::array<std::array<const char*, 2>, kMahjongHeroines> g_mahjongTurnVoices;
extern const MahjongHeroineNames g_mahjongRiichiMenuVoices;
extern const MahjongHeroineNames g_mahjongCpuRiichiVoices;
extern const MahjongHeroineNames g_mahjongCpuTsumoVoices;
extern const MahjongHeroineNames g_mahjongCpuRonVoices;
extern const MahjongHeroineNames g_mahjongPlayerTsumoVoices;
extern const MahjongHeroineNames g_mahjongLoseVoices;
extern const std::array<std::string_view, kMahjongHeroines> g_kofWinScripts;
extern const std::array<std::string_view, kMahjongHeroines> g_kofLoseScripts;
inline constexpr std::int32_t kMahjongPlayerStartPoints = 10000;

class CMahjongGame {
public:
    CMahjongGame();
    ~CMahjongGame();
    CMahjongGame(const CMahjongGame&) = delete;
    CMahjongGame& operator=(const CMahjongGame&) = delete;

    // Clears the match for the heroine select; every match then begins with
    // the heroine dealing.
    bool Reset();

    // One frame of the match: the handler of `State`.
    void Run(platform::WindowHandle window);

    // ---- the match screen, one handler per state
    void StartMatchScreen(platform::WindowHandle window); // 0
    void Deal(platform::WindowHandle window);             // 1: one of the twins
    void DealPlayerFirst(platform::WindowHandle window);
    void DealCpuFirst(platform::WindowHandle window);
    void PlayTurns(platform::WindowHandle window); // 2: one of the twins
    void PlayTurnsPlayerFirst(platform::WindowHandle window);
    void PlayTurnsCpuFirst(platform::WindowHandle window);
    void ShowExhaustiveDraw(platform::WindowHandle window); // 10
    void ShowCpuTsumo(platform::WindowHandle window);       // 11
    void ShowCpuRon(platform::WindowHandle window);         // 12
    void ShowLossResult(platform::WindowHandle window);     // 13
    void ShowCpuRiichi(platform::WindowHandle window);      // 14
    void ShowPlayerTsumo(platform::WindowHandle window);    // 21
    void ShowPlayerRon(platform::WindowHandle window);      // 22
    void ShowWinResult(platform::WindowHandle window);      // 23
    void RunRiichiMenu(platform::WindowHandle window);      // 30
    void RunRonMenu(platform::WindowHandle window);         // 31
    void RunTsumoMenu(platform::WindowHandle window);       // 32
    // Sort and draw the hands on the back buffer.
    bool DrawHands();
    bool DrawPlayerHand();
    bool DrawCpuHand();

    // ---- rules steps (no drawing)

    // State 0: a fresh match against the heroine in the opponent byte.
    void StartMatch(std::uint8_t opponentByte);

    // State 1, in the deal's order: clear the table, shuffle, eight rounds of
    // two tiles, sort both hands, the dealer's ninth tile, hand over to the
    // turn loop.
    void ClearTable();
    void Shuffle();
    MahjongSide DealPair();
    bool NextDealStep(); // false once eight rounds are dealt
    void SortHands();
    void DealNinth();
    void FinishDeal();
    void DealAll(); // all of the above at once

    // State 2: one step of the turn loop.
    std::optional<MahjongTurnStep> CurrentTurnStep() const;
    void RunTurnRules(const MahjongTurnInput& input);

    // States 30 to 32: the player's answer to the open call menu.
    void AnswerCall(MahjongAnswer answer);
    // The end of the player's riichi sequence: the game discards for the player.
    void FinishPlayerRiichi();

    // State 14: the heroine's riichi, at the start and the end of its cut-in.
    void StartCpuRiichi();
    void EndCpuRiichi();

    // States 11, 12, 21, 22: the click after a win cut-in.
    void ConfirmWin();
    // State 10: the click after the exhaustive draw panel.
    void ConfirmExhaustiveDraw();

    // States 13 and 23: score the game, then one item per click, then the
    // count-over, then the next game or the match end.
    void ScoreGame();
    MahjongResultItem AdvanceResult();
    bool CountOverStep(bool stop); // true when the count-over has ended
    bool LoserIsOut() const;
    void NextGame();
    // The follow-up script of the match just ended; the match starts afresh
    // the next time mode 64 runs.
    std::string_view EndMatch();
    // After a won match: the heroine's beaten flag, the count of beaten
    // heroines and the pictures it opens, saved with the settings block.
    void RecordWonMatch();

    // ---- hand tests and the heroine's turn
    bool CheckPlayerHand(platform::WindowHandle window);
    bool PlayCpuTurn(platform::WindowHandle window);
    bool HasYaku() const;
    void MarkCpuYaku();
    void MarkPlayerYaku();

    // ---- the match, in the order of the match object
    std::uint8_t BeatenCount = 0;
    std::uint8_t State = 0;
    std::uint8_t SubStep = 0;
    std::uint8_t SavedSubStep = 0;
    std::uint8_t CutInStep = 0;
    std::uint32_t StartTime = 0;
    std::uint32_t Elapsed = 0;
    std::int8_t Opponent = 0;
    std::uint8_t Hover = 0;
    std::uint8_t PrevHover = 0;
    std::array<platform::Rect, 20> Rects{};
    std::uint32_t PlayerDeals = 0;
    std::uint8_t PlayerDiscardCount = 0;
    std::uint8_t CpuDiscardCount = 0;
    std::uint8_t CpuTriplets = 0;
    std::uint8_t RiichiDeclared = 0;
    std::uint8_t CpuRiichi = 0;
    std::uint8_t PlayerRiichi = 0;
    std::uint8_t CpuTsumo = 0;
    std::uint8_t PlayerTsumo = 0;
    std::int32_t PlayerPoints = 0;
    std::int32_t CpuPoints = 0;
    std::int32_t ShownPlayerPoints = 0;
    std::int32_t ShownCpuPoints = 0;
    std::uint8_t DealStep = 0;
    std::uint8_t WallPos = 0;
    std::uint8_t PlayerDealt = 0;
    std::uint8_t CpuDealt = 0;
    std::uint8_t CpuReady = 0;
    std::uint8_t CpuWait = 0;
    std::uint8_t PlayerReady = 0;
    std::uint8_t PlayerWait = 0;
    std::uint8_t PlayerComplete = 0;
    std::uint8_t CallOffered = 0;
    std::uint8_t YakuCount = 0;
    std::int8_t CpuRiichiTurns = 0;
    std::int8_t PlayerRiichiTurns = 0;
    std::int32_t YakuTotal = 0;
    std::uint8_t TotalShown = 0;
    std::int8_t StripsShown = 0;
    std::int8_t YakuCursor = 0;
    std::uint32_t IdleSince = 0;

    // Frames run in mode 64 (the match needs none of it; the shell's wiring
    // test counts them).
    std::uint32_t frameCount = 0;
    platform::Rect screenRect{0, 0, 800, 600};

    // What the rules did since the match started, in order.
    std::vector<MahjongEvent> Log;

private:
    MahjongDealer Dealer() const {
        return PlayerDeals != 0 ? MahjongDealer::Player : MahjongDealer::Cpu;
    }
    void ClearPerGame();
    void GoTo(MahjongTurnStep step);
    void OpenCall(MahjongCall call, std::uint8_t state);
    void Note(MahjongEventKind kind, MahjongSide side, int a = 0, int b = 0,
              std::int32_t value = 0);
    MahjongTile WallTile() const;
    void PlayerDiscard(int slot);
    void DiscardChoiceRules(const MahjongTurnInput& input);
    void AfterPlayerDiscard();
    void CpuDecides();
    void CpuDiscards();
    void RonOffer();
    void PlayerDraws();
    void ReturnFromCall(std::uint8_t subStep);
    bool PlayerWinsWith(const MahjongTile& tile) const;
    bool CpuWinsWith(const MahjongTile& tile) const;
    MahjongSide Winner() const;
};

// Owned by the script object (made by its constructor, freed by its destructor).
extern std::unique_ptr<CMahjongGame> g_mahjongGame;
