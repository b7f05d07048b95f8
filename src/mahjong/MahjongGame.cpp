#include "mahjong/MahjongGame.h"

#include "app/Config.h"
#include "mahjong/MahjongHand.h"

#include <algorithm>

std::unique_ptr<CMahjongGame> g_mahjongGame;

std::array<MahjongTile, kMahjongWallSize> g_mahjongWall{};
MahjongHand g_mahjongCpuHand{};
MahjongHand g_mahjongPlayerHand{};
std::array<MahjongTile, kMahjongDiscardSlots> g_mahjongCpuDiscards{};
std::array<MahjongTile, kMahjongDiscardSlots> g_mahjongPlayerDiscards{};
MahjongYakuFlags g_mahjongYakuFlags{};

const std::array<std::int32_t, kMahjongHeroines> g_mahjongStartPoints = {
    5000, 3000, 8000, 8000, 10000, 10000, 12000, 15000};
const std::array<std::string_view, kMahjongHeroines> g_kofWinScripts = {
    "kof_vel_2.s", "kof_dor_2.s", "kof_fen_2.s", "kof_mur_2.s",
    "kof_lis_2.s", "kof_bex_2.s", "kof_hol_2.s", "kof_sef_2.s"};
const std::array<std::string_view, kMahjongHeroines> g_kofLoseScripts = {
    "kof_vel_3.s", "kof_dor_3.s", "kof_fen_3.s", "kof_mur_3.s",
    "kof_lis_3.s", "kof_bex_3.s", "kof_hol_3.s", "kof_sef_3.s"};

namespace {

using Step = MahjongTurnStep;
namespace st = mahjong_state;

// Step numbers by named step, for the player-deals and the heroine-deals twin.
constexpr std::array<std::uint8_t, kMahjongTurnSteps> kPlayerDealsNumbers = {0, 1, 2, 3,  4,  5, 6,
                                                                             7, 8, 9, 10, 11, 12};
constexpr std::array<std::uint8_t, kMahjongTurnSteps> kCpuDealsNumbers = {6, 7, 8, 9, 10, 0, 1,
                                                                          2, 3, 4, 5, 11, 12};

const std::array<std::uint8_t, kMahjongTurnSteps>& NumbersOf(MahjongDealer dealer) {
    return dealer == MahjongDealer::Player ? kPlayerDealsNumbers : kCpuDealsNumbers;
}

constexpr std::uint8_t kPauseSteps[] = {1, 3, 5, 9}; // in the named order
constexpr int kCpuThinkingDiscards =
    28; // from her 28th discard on she only discards the drawn tile
constexpr int kCpuRiichiTurns = 2, kPlayerRiichiTurns = 3;
constexpr int kCountOverStep = 10;

// CG entries whose first variant opens when 2, 4, 6 or 8 heroines are beaten.
constexpr std::array<int, 4> kBeatenCgRows = {41, 38, 37, 35};
constexpr std::size_t kCgRowBytes = 21;

template <std::size_t N> void SortHeld(std::array<MahjongTile, N>& hand) {
    SortByKind(std::span(hand).first(kMahjongHeld), kMahjongHeld - 1);
}

MahjongKindCounts HeldPlus(const MahjongHand& hand, const MahjongTile& tile) {
    std::array<MahjongTile, kMahjongHandSlots> nine{};
    std::copy_n(hand.begin(), kMahjongHeld, nine.begin());
    nine[kMahjongDrawn] = tile;
    return CountKinds(nine);
}

} // namespace

std::uint8_t TurnStepNumber(MahjongTurnStep step, MahjongDealer dealer) {
    return NumbersOf(dealer)[static_cast<std::size_t>(step)];
}

std::optional<MahjongTurnStep> TurnStepOf(std::uint8_t subStep, MahjongDealer dealer) {
    const auto& numbers = NumbersOf(dealer);
    for (std::size_t i = 0; i < numbers.size(); ++i)
        if (numbers[i] == subStep) return static_cast<MahjongTurnStep>(i);
    return std::nullopt;
}

bool IsPauseStep(MahjongTurnStep step) {
    return std::find(std::begin(kPauseSteps), std::end(kPauseSteps),
                     static_cast<std::uint8_t>(step)) != std::end(kPauseSteps);
}

CMahjongGame::CMahjongGame() {
    Reset();
}
CMahjongGame::~CMahjongGame() = default;

bool CMahjongGame::Reset() {
    State = SubStep = SavedSubStep = CutInStep = 0;
    StartTime = Elapsed = IdleSince = 0;
    Hover = PrevHover = 0;
    BeatenCount = 0;
    PlayerDeals = 0;
    ClearPerGame();
    return true;
}

void CMahjongGame::ClearPerGame() {
    PlayerDiscardCount = CpuDiscardCount = CpuTriplets = 0;
    RiichiDeclared = CpuRiichi = PlayerRiichi = CpuTsumo = PlayerTsumo = 0;
    DealStep = WallPos = PlayerDealt = CpuDealt = 0;
    CpuReady = CpuWait = PlayerReady = PlayerWait = PlayerComplete = CallOffered = YakuCount = 0;
    CpuRiichiTurns = PlayerRiichiTurns = 0;
    YakuTotal = 0;
}

void CMahjongGame::Note(MahjongEventKind kind, MahjongSide side, int a, int b, std::int32_t value) {
    Log.push_back(MahjongEvent{kind, side, static_cast<std::uint8_t>(a),
                               static_cast<std::uint8_t>(b), value});
}

// ------------------------------------------------------------------ match start and deal

void CMahjongGame::StartMatch(std::uint8_t opponentByte) {
    // A byte from elsewhere indexes every heroine table: keep it to a heroine.
    Opponent = static_cast<std::int8_t>(std::min<int>(opponentByte, kMahjongHeroines - 1));
    PlayerPoints = kMahjongPlayerStartPoints;
    CpuPoints = g_mahjongStartPoints[static_cast<std::size_t>(Opponent)];
    // Every match opens with the heroine dealing, however the last one ended.
    PlayerDeals = 0;
    Log.clear();
    Note(MahjongEventKind::MatchStart, MahjongSide::Cpu, Opponent, 0, CpuPoints);
    State = st::kDeal;
    SubStep = 0;
}

void CMahjongGame::ClearTable() {
    g_mahjongYakuFlags.fill(0);
    g_mahjongWall.fill({});
    g_mahjongCpuHand.fill({});
    g_mahjongPlayerHand.fill({});
    g_mahjongCpuDiscards.fill({});
    g_mahjongPlayerDiscards.fill({});
    ClearPerGame();
}

void CMahjongGame::Shuffle() {
    ShuffleWall(g_mahjongWall);
    std::uint32_t digest = 2166136261u;
    for (const MahjongTile& t : g_mahjongWall)
        digest = (digest ^ t.Id) * 16777619u;
    Note(MahjongEventKind::Shuffle, MahjongSide::Player, 0, 0, static_cast<std::int32_t>(digest));
}

MahjongTile CMahjongGame::WallTile() const {
    // At most 16 + 60 tiles are ever taken, far inside the wall.
    return g_mahjongWall[std::min<std::size_t>(WallPos, kMahjongWallSize - 1)];
}

MahjongSide CMahjongGame::DealPair() {
    const bool evenStep = DealStep % 2 == 0;
    const MahjongSide side =
        (evenStep == (Dealer() == MahjongDealer::Player)) ? MahjongSide::Player : MahjongSide::Cpu;
    for (int i = 0; i < 2; ++i) {
        const MahjongTile tile = WallTile();
        std::uint8_t& dealt = side == MahjongSide::Player ? PlayerDealt : CpuDealt;
        MahjongHand& hand = side == MahjongSide::Player ? g_mahjongPlayerHand : g_mahjongCpuHand;
        if (dealt >= kMahjongHeld) break;
        hand[dealt] = tile;
        Note(MahjongEventKind::Deal, side, tile.Id, dealt);
        ++dealt;
        ++WallPos;
    }
    return side;
}

bool CMahjongGame::NextDealStep() {
    ++DealStep;
    return DealStep <= 7;
}

void CMahjongGame::SortHands() {
    SortHeld(g_mahjongPlayerHand);
    SortHeld(g_mahjongCpuHand);
}

void CMahjongGame::DealNinth() {
    const MahjongTile tile = WallTile();
    const MahjongSide side =
        Dealer() == MahjongDealer::Player ? MahjongSide::Player : MahjongSide::Cpu;
    (side == MahjongSide::Player ? g_mahjongPlayerHand : g_mahjongCpuHand)[kMahjongDrawn] = tile;
    Note(MahjongEventKind::Deal, side, tile.Id, kMahjongDrawn);
    ++WallPos;
    ++PlayerDealt;
}

void CMahjongGame::FinishDeal() {
    Note(MahjongEventKind::Line, MahjongSide::Cpu, static_cast<int>(MahjongLine::Deal));
    for (int k = 0; k < kMahjongHeld; ++k)
        Rects[11 + k] = {80 + 67 * k, 488, 147 + 67 * k, 597};
    Rects[19] = {653, 488, 722, 597};
    PlayerDiscardCount = CpuDiscardCount = CallOffered = Hover = PrevHover = 0;
    if (Dealer() == MahjongDealer::Cpu) StartTime = platform::TimeGetTime();
    State = st::kTurns;
    SubStep = 0;
}

void CMahjongGame::DealAll() {
    ClearTable();
    Shuffle();
    do
        DealPair();
    while (NextDealStep());
    SortHands();
    DealNinth();
    FinishDeal();
}

// ------------------------------------------------------------------ turn loop

std::optional<MahjongTurnStep> CMahjongGame::CurrentTurnStep() const {
    return TurnStepOf(SubStep, Dealer());
}

void CMahjongGame::GoTo(MahjongTurnStep step) {
    SubStep = TurnStepNumber(step, Dealer());
    if (IsPauseStep(step)) StartTime = platform::TimeGetTime();
}

void CMahjongGame::OpenCall(MahjongCall call, std::uint8_t state) {
    SavedSubStep = SubStep;
    CallOffered = 1;
    State = state;
    SubStep = 0;
    Note(MahjongEventKind::Offer, MahjongSide::Player, static_cast<int>(call));
}

bool CMahjongGame::PlayerWinsWith(const MahjongTile& tile) const {
    return IsWinningShape(HeldPlus(g_mahjongPlayerHand, tile));
}

bool CMahjongGame::CpuWinsWith(const MahjongTile& tile) const {
    return IsWinningShape(HeldPlus(g_mahjongCpuHand, tile));
}

void CMahjongGame::RunTurnRules(const MahjongTurnInput& input) {
    if (State != st::kTurns) return;
    const std::optional<Step> step = CurrentTurnStep();
    if (!step) return;
    switch (*step) {
    case Step::DiscardChoice:
        DiscardChoiceRules(input);
        break;
    case Step::RiichiDiscard:
        if (!input.pauseOver) break;
        PlayerDiscard(kMahjongDrawn);
        GoTo(Step::AfterPlayerDiscard);
        break;
    case Step::AfterPlayerDiscard:
        AfterPlayerDiscard();
        break;
    case Step::PauseBeforeCpuDraw:
        if (input.pauseOver) GoTo(Step::CpuDraws);
        break;
    case Step::CpuDraws: {
        const MahjongTile tile = WallTile();
        g_mahjongCpuHand[kMahjongDrawn] = tile;
        Note(MahjongEventKind::Draw, MahjongSide::Cpu, tile.Id);
        GoTo(Step::PauseBeforeCpuDecides);
        break;
    }
    case Step::PauseBeforeCpuDecides:
        if (input.pauseOver) GoTo(Step::CpuDecides);
        break;
    case Step::CpuDecides:
        CpuDecides();
        break;
    case Step::CpuDiscards:
        CpuDiscards();
        break;
    case Step::RonOffer:
        RonOffer();
        break;
    case Step::PauseBeforePlayerDraw:
        if (input.pauseOver) GoTo(Step::PlayerDraws);
        break;
    case Step::PlayerDraws:
        PlayerDraws();
        break;
    case Step::ExhaustiveDraw:
        Note(MahjongEventKind::ExhaustiveDraw, MahjongSide::Player);
        State = st::kExhaustiveDraw;
        SubStep = 0;
        break;
    case Step::CpuTsumo:
        State = st::kCpuTsumo;
        SubStep = 0;
        break;
    }
}

void CMahjongGame::DiscardChoiceRules(const MahjongTurnInput& input) {
    if (PlayerReady == 1 && CallOffered == 0 && RiichiDeclared == 0) {
        OpenCall(MahjongCall::Riichi, st::kRiichiMenu);
        return;
    }
    if (RiichiDeclared != 0) {
        // In riichi the game plays the hand: the wait wins, anything else goes.
        const MahjongTile& drawn = g_mahjongPlayerHand[kMahjongDrawn];
        if (drawn.Kind == PlayerWait && PlayerWinsWith(drawn)) {
            State = st::kPlayerTsumo;
            SubStep = 0;
        } else {
            GoTo(Step::RiichiDiscard);
        }
        return;
    }
    if (input.discardSlot >= 0 && input.discardSlot < kMahjongHandSlots) {
        PlayerDiscard(input.discardSlot);
        GoTo(Step::AfterPlayerDiscard);
    }
}

void CMahjongGame::PlayerDiscard(int slot) {
    if (PlayerDiscardCount >= kMahjongDiscardSlots) return;
    MahjongHand& hand = g_mahjongPlayerHand;
    const MahjongTile tile = hand[static_cast<std::size_t>(slot)];
    g_mahjongPlayerDiscards[PlayerDiscardCount] = tile;
    Note(MahjongEventKind::Discard, MahjongSide::Player, tile.Id, PlayerDiscardCount);
    hand[static_cast<std::size_t>(slot)] = hand[kMahjongDrawn];
    hand[kMahjongDrawn] = {};
    ++PlayerDiscardCount;
    ++WallPos;
    SortHeld(hand);
    Hover = PrevHover = 0;
}

void CMahjongGame::AfterPlayerDiscard() {
    if (PlayerDiscardCount == 5)
        Note(MahjongEventKind::Line, MahjongSide::Cpu,
             static_cast<int>(MahjongLine::PlayerFifthDiscard));
    CallOffered = 0;
    const bool discarded = PlayerDiscardCount > 0;
    const MahjongTile last =
        discarded ? g_mahjongPlayerDiscards[PlayerDiscardCount - 1u] : MahjongTile{};
    if (discarded && CpuDiscardCount < kCpuThinkingDiscards && CpuReady != 0 &&
        CpuWait == last.Kind && CpuWinsWith(last)) {
        State = st::kCpuRon;
        SubStep = 0;
        return;
    }
    if (PlayerRiichiTurns > 0) --PlayerRiichiTurns;
    if (Dealer() == MahjongDealer::Cpu && PlayerDiscardCount >= kMahjongDiscardSlots)
        GoTo(Step::ExhaustiveDraw);
    else
        GoTo(Step::PauseBeforeCpuDraw);
}

void CMahjongGame::CpuDecides() {
    if (CpuDiscardCount < kCpuThinkingDiscards) PlayCpuTurn(platform::WindowHandle::None);
    if (CpuTriplets == 3) {
        GoTo(Step::CpuTsumo);
    } else if (CpuReady == 1 && CpuRiichi == 0) {
        CutInStep = 0;
        State = st::kCpuRiichi; // SubStep keeps the turn-loop step
    } else {
        if (CpuRiichiTurns >= 1) --CpuRiichiTurns;
        GoTo(Step::CpuDiscards);
    }
}

void CMahjongGame::CpuDiscards() {
    if (CpuDiscardCount >= kMahjongDiscardSlots) return;
    const MahjongTile tile = g_mahjongCpuHand[kMahjongDrawn];
    g_mahjongCpuDiscards[CpuDiscardCount] = tile;
    Note(MahjongEventKind::Discard, MahjongSide::Cpu, tile.Id, CpuDiscardCount);
    g_mahjongCpuHand[kMahjongDrawn] = {};
    ++CpuDiscardCount;
    ++WallPos;
    SortHeld(g_mahjongCpuHand);
    if (CpuRiichiTurns > 0) --CpuRiichiTurns;
    if (Dealer() == MahjongDealer::Player && CpuDiscardCount > kMahjongDiscardSlots - 1) {
        GoTo(Step::ExhaustiveDraw);
        return;
    }
    if (CpuDiscardCount == 25)
        Note(MahjongEventKind::Line, MahjongSide::Cpu,
             static_cast<int>(MahjongLine::CpuTwentyFifthDiscard));
    GoTo(Step::RonOffer);
}

void CMahjongGame::RonOffer() {
    const bool discarded = CpuDiscardCount > 0;
    const MahjongTile last = discarded ? g_mahjongCpuDiscards[CpuDiscardCount - 1u] : MahjongTile{};
    if (discarded && PlayerReady != 0 && CallOffered == 0 && PlayerWait == last.Kind && HasYaku() &&
        PlayerWinsWith(last)) {
        OpenCall(MahjongCall::Ron, st::kRonMenu);
        return;
    }
    GoTo(Step::PauseBeforePlayerDraw);
}

void CMahjongGame::PlayerDraws() {
    CallOffered = 0;
    const MahjongTile tile = WallTile();
    g_mahjongPlayerHand[kMahjongDrawn] = tile;
    Note(MahjongEventKind::Draw, MahjongSide::Player, tile.Id);
    CheckPlayerHand(platform::WindowHandle::None);
    if (PlayerComplete == 1) {
        OpenCall(MahjongCall::Tsumo, st::kTsumoMenu);
        return;
    }
    if (PlayerRiichiTurns >= 1) --PlayerRiichiTurns;
    IdleSince = platform::TimeGetTime();
    GoTo(Step::DiscardChoice);
}

// ------------------------------------------------------------------ calls and cut-ins

void CMahjongGame::ReturnFromCall(std::uint8_t subStep) {
    State = st::kTurns;
    SubStep = subStep;
}

void CMahjongGame::AnswerCall(MahjongAnswer answer) {
    const std::uint8_t state = State;
    if (state != st::kRiichiMenu && state != st::kRonMenu && state != st::kTsumoMenu) return;
    // Steps from 3 on are the riichi sequence after a yes: nothing to answer.
    if (SubStep >= 3) return;
    const auto call = state == st::kRiichiMenu ? MahjongCall::Riichi
                      : state == st::kRonMenu  ? MahjongCall::Ron
                                               : MahjongCall::Tsumo;
    Note(MahjongEventKind::Answer, MahjongSide::Player, static_cast<int>(call),
         static_cast<int>(answer));
    const bool yes = answer == MahjongAnswer::Yes;
    switch (call) {
    case MahjongCall::Riichi:
        if (yes) {
            RiichiDeclared = PlayerRiichi = 1;
            PlayerRiichiTurns = kPlayerRiichiTurns;
            Note(MahjongEventKind::Riichi, MahjongSide::Player, PlayerWait);
            SubStep = 3; // the riichi sequence, ended by FinishPlayerRiichi
            return;
        }
        // A right click leaves the ready flag set; no clears it.
        if (answer == MahjongAnswer::No) RiichiDeclared = PlayerRiichi = PlayerReady = 0;
        ReturnFromCall(SavedSubStep);
        return;
    case MahjongCall::Ron:
        if (yes) {
            State = st::kPlayerRon;
            SubStep = 0;
            return;
        }
        ReturnFromCall(SavedSubStep);
        return;
    case MahjongCall::Tsumo:
        if (yes) {
            State = st::kPlayerTsumo;
            SubStep = 0;
            return;
        }
        PlayerComplete = 0;
        ReturnFromCall(SavedSubStep + 1 > 9 ? 0 : static_cast<std::uint8_t>(SavedSubStep + 1));
        return;
    }
}

void CMahjongGame::FinishPlayerRiichi() {
    if (State != st::kRiichiMenu || PlayerRiichi == 0) return;
    const int slot = RiichiDiscardSlot(g_mahjongPlayerHand).value_or(kMahjongDrawn);
    PlayerDiscard(slot);
    ReturnFromCall(static_cast<std::uint8_t>(SavedSubStep + 2));
}

void CMahjongGame::StartCpuRiichi() {
    CpuRiichiTurns = kCpuRiichiTurns;
    CpuRiichi = 1;
    Note(MahjongEventKind::Riichi, MahjongSide::Cpu, CpuWait);
}

void CMahjongGame::EndCpuRiichi() {
    CpuRiichi = 1;
    CutInStep = 0;
    ReturnFromCall(TurnStepNumber(Step::CpuDiscards, Dealer()));
}

void CMahjongGame::ConfirmWin() {
    switch (State) {
    case st::kCpuTsumo:
        CpuTsumo = 1;
        State = st::kLossResult;
        break;
    case st::kCpuRon:
        if (PlayerDiscardCount == 0) return;
        g_mahjongCpuHand[kMahjongDrawn] = g_mahjongPlayerDiscards[PlayerDiscardCount - 1u];
        CpuTsumo = 0;
        State = st::kLossResult;
        break;
    case st::kPlayerTsumo:
        PlayerTsumo = 1;
        State = st::kWinResult;
        break;
    case st::kPlayerRon:
        if (CpuDiscardCount == 0) return;
        g_mahjongPlayerHand[kMahjongDrawn] = g_mahjongCpuDiscards[CpuDiscardCount - 1u];
        PlayerTsumo = 0;
        State = st::kWinResult;
        break;
    default:
        return;
    }
    const bool cpu = State == st::kLossResult;
    Note(MahjongEventKind::Win, cpu ? MahjongSide::Cpu : MahjongSide::Player,
         cpu ? CpuTsumo : PlayerTsumo);
    SubStep = 0;
}

void CMahjongGame::ConfirmExhaustiveDraw() {
    if (State != st::kExhaustiveDraw) return;
    State = st::kDeal;
    SubStep = 0;
}

// ------------------------------------------------------------------ hand tests

bool CMahjongGame::CheckPlayerHand(platform::WindowHandle) {
    // In riichi the hand and its wait are fixed; otherwise every draw asks
    // again, so a discard that broke the ready shape cannot leave a stale wait.
    if (PlayerRiichi != 0) return true;
    const MahjongKindCounts counts = CountKinds(g_mahjongPlayerHand);
    const std::optional<std::uint8_t> wait = PlayerReadyWait(counts);
    if (wait && (PlayerReady == 0 || PlayerWait != *wait))
        Note(MahjongEventKind::Ready, MahjongSide::Player, *wait);
    PlayerReady = wait ? 1 : 0;
    PlayerWait = wait.value_or(0);
    if (PlayerComplete == 0 && IsThreeTriplets(counts)) PlayerComplete = 1;
    return true;
}

bool CMahjongGame::PlayCpuTurn(platform::WindowHandle) {
    if (CpuReady == 0) {
        // rand x clock x minute, taken in that order (unsigned, wrapping).
        std::uint32_t r = static_cast<std::uint32_t>(platform::Rand());
        r *= platform::TimeGetTime();
        r *= platform::GetLocalTime().minute;
        if (IsCpuLapse(Opponent, r)) return true;
    }
    CpuTriplets = ChooseCpuDiscard(g_mahjongCpuHand);
    if (CpuReady == 0) {
        if (const std::optional<std::uint8_t> wait = CpuReadyWait(CountKinds(g_mahjongCpuHand))) {
            CpuReady = 1;
            CpuWait = *wait;
            Note(MahjongEventKind::Ready, MahjongSide::Cpu, CpuWait);
        }
    }
    return true;
}

bool CMahjongGame::HasYaku() const {
    if (PlayerRiichi != 0) return true;
    const MahjongHand& h = g_mahjongPlayerHand;
    return KindsHoldYaku({h[0].Kind, h[3].Kind, h[6].Kind});
}

void CMahjongGame::MarkCpuYaku() {
    SortByKind(g_mahjongCpuHand, kMahjongHandSlots - 1);
    MarkYaku(TripletKinds(g_mahjongCpuHand), {CpuTsumo != 0, CpuRiichiTurns > 0, CpuRiichi != 0},
             g_mahjongYakuFlags);
}

void CMahjongGame::MarkPlayerYaku() {
    SortByKind(g_mahjongPlayerHand, kMahjongHandSlots - 1);
    MarkYaku(TripletKinds(g_mahjongPlayerHand),
             {PlayerTsumo != 0, PlayerRiichiTurns > 0, PlayerRiichi != 0}, g_mahjongYakuFlags);
}

// ------------------------------------------------------------------ results

MahjongSide CMahjongGame::Winner() const {
    return State == st::kWinResult ? MahjongSide::Player : MahjongSide::Cpu;
}

void CMahjongGame::ScoreGame() {
    if (State != st::kLossResult && State != st::kWinResult) return;
    const MahjongSide winner = Winner();
    YakuCount = 0;
    YakuTotal = 0;
    ShownPlayerPoints = PlayerPoints;
    ShownCpuPoints = CpuPoints;
    if (winner == MahjongSide::Player)
        MarkPlayerYaku();
    else
        MarkCpuYaku();
    for (int f = 0; f < kMahjongYakuCount; ++f) {
        if (g_mahjongYakuFlags[static_cast<std::size_t>(f)] == 0) continue;
        YakuTotal += g_mahjongYakuPoints[static_cast<std::size_t>(f)];
        ++YakuCount;
        Note(MahjongEventKind::Yaku, winner, f, 0,
             g_mahjongYakuPoints[static_cast<std::size_t>(f)]);
    }
    TotalShown = 0;
    StripsShown = 0;
    YakuCursor = 0;
    if (winner == MahjongSide::Cpu)
        Note(MahjongEventKind::Line, MahjongSide::Cpu, static_cast<int>(MahjongLine::CpuWinsGame));
    PlayerDeals = winner == MahjongSide::Player ? 1 : 0;
}

MahjongResultItem CMahjongGame::AdvanceResult() {
    if (TotalShown == 0 && StripsShown < YakuCount) {
        // The search stops at the end of the table even if the count and the
        // flags disagree.
        const int f = NextSetYaku(g_mahjongYakuFlags, YakuCursor);
        if (f >= 0) {
            YakuCursor = static_cast<std::int8_t>(f + 1);
            ++StripsShown;
            return {MahjongResultItem::Kind::Strip, f, f >= 3 ? YakuVoice(f) : std::string_view{}};
        }
        StripsShown = static_cast<std::int8_t>(YakuCount);
    }
    if (TotalShown == 0) {
        TotalShown = 1;
        return {MahjongResultItem::Kind::Total};
    }
    if (TotalShown == 1) {
        // The points move once, however often the screen asks.
        TotalShown = 2;
        const MahjongSide winner = Winner();
        std::int32_t& loserPoints = winner == MahjongSide::Player ? CpuPoints : PlayerPoints;
        std::int32_t& winnerPoints = winner == MahjongSide::Player ? PlayerPoints : CpuPoints;
        loserPoints -= YakuTotal;
        winnerPoints += YakuTotal;
        if (loserPoints < 0) loserPoints = 0;
        Note(MahjongEventKind::PointsMoved, winner, 0, 0, YakuTotal);
    }
    return {MahjongResultItem::Kind::Settled};
}

bool CMahjongGame::CountOverStep(bool stop) {
    const bool playerWon = Winner() == MahjongSide::Player;
    std::int32_t& loserShown = playerWon ? ShownCpuPoints : ShownPlayerPoints;
    std::int32_t& winnerShown = playerWon ? ShownPlayerPoints : ShownCpuPoints;
    std::int32_t& loserPoints = playerWon ? CpuPoints : PlayerPoints;
    const std::int32_t winnerPoints = playerWon ? PlayerPoints : CpuPoints;
    loserShown -= kCountOverStep;
    winnerShown += kCountOverStep;
    if (loserShown < 1) loserShown = loserPoints = 0;
    if (winnerShown < winnerPoints && !stop) return false;
    ShownPlayerPoints = PlayerPoints;
    ShownCpuPoints = CpuPoints;
    return true;
}

bool CMahjongGame::LoserIsOut() const {
    return (Winner() == MahjongSide::Player ? CpuPoints : PlayerPoints) < 1;
}

void CMahjongGame::NextGame() {
    State = st::kDeal;
    SubStep = 0;
}

std::string_view CMahjongGame::EndMatch() {
    const MahjongSide winner = Winner();
    const auto heroine =
        static_cast<std::size_t>(std::clamp<int>(Opponent, 0, kMahjongHeroines - 1));
    Note(MahjongEventKind::MatchEnd, winner);
    State = st::kMatchStart;
    SubStep = 0;
    return winner == MahjongSide::Player ? g_kofWinScripts[heroine] : g_kofLoseScripts[heroine];
}

void CMahjongGame::RecordWonMatch() {
    const auto heroine =
        static_cast<std::size_t>(std::clamp<int>(Opponent, 0, kMahjongHeroines - 1));
    g_config[config::kMahjongBeaten + heroine] = 1;
    BeatenCount = static_cast<std::uint8_t>(
        std::count_if(g_config.begin() + config::kMahjongBeaten,
                      g_config.begin() + config::kMahjongBeaten + kMahjongHeroines,
                      [](std::uint8_t b) { return b != 0; }));
    if (BeatenCount % 2 == 0 && BeatenCount >= 2) {
        const int row = kBeatenCgRows[static_cast<std::size_t>(BeatenCount / 2 - 1)];
        g_config[config::kCgFlags + kCgRowBytes * static_cast<std::size_t>(row)] = 1;
    }
    SaveConfig();
}
