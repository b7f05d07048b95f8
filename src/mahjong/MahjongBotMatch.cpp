#include "mahjong/MahjongBotMatch.h"

#include "mahjong/MahjongHand.h"

namespace {

namespace st = mahjong_state;

constexpr std::uint32_t kPauseMs = 500;
constexpr long kStepLimit = 50'000'000;

// The bot's own generator, apart from the runtime's rand so its answers do
// not change the match's random sequence.
class BotChoices {
public:
    explicit BotChoices(std::uint32_t seed) : state_(seed * 2654435761u + 1u) {}
    // Yes on most questions, sometimes no, now and then a right click.
    MahjongAnswer Answer() {
        state_ = state_ * 1103515245u + 12345u;
        const std::uint32_t r = (state_ >> 16) % 16;
        return r < 12 ? MahjongAnswer::Yes : r < 15 ? MahjongAnswer::No : MahjongAnswer::Cancel;
    }

private:
    std::uint32_t state_;
};

} // namespace

int BotDiscardSlot(const MahjongHand& hand) {
    MahjongHand sorted = hand;
    ChooseCpuDiscard(sorted);
    const std::uint8_t kind = sorted[kMahjongDrawn].Kind;
    if (hand[kMahjongDrawn].Kind == kind) return kMahjongDrawn;
    for (int s = 0; s < kMahjongHeld; ++s)
        if (hand[static_cast<std::size_t>(s)].Kind == kind) return s;
    return kMahjongDrawn;
}

MahjongBotResult PlayBotMatch(CMahjongGame& game, const MahjongBotOptions& options) {
    MahjongBotResult result;
    BotChoices choices(options.seed);
    platform::Srand(options.seed);
    auto pause = [&] {
        if (options.wait) options.wait(kPauseMs);
    };
    game.StartMatch(options.opponentByte);
    while (result.steps < kStepLimit) {
        ++result.steps;
        switch (game.State) {
        case st::kDeal:
            if (result.games >= options.maxGames) return result;
            ++result.games;
            game.DealAll();
            break;
        case st::kTurns: {
            MahjongTurnInput input;
            const std::optional<MahjongTurnStep> step = game.CurrentTurnStep();
            if (step && (IsPauseStep(*step))) {
                pause();
                input.pauseOver = true;
            }
            if (step == MahjongTurnStep::DiscardChoice)
                input.discardSlot = BotDiscardSlot(g_mahjongPlayerHand);
            game.RunTurnRules(input);
            break;
        }
        case st::kExhaustiveDraw:
            game.ConfirmExhaustiveDraw();
            break;
        case st::kCpuTsumo:
        case st::kCpuRon:
        case st::kPlayerTsumo:
        case st::kPlayerRon:
            game.ConfirmWin();
            break;
        case st::kCpuRiichi:
            game.StartCpuRiichi();
            pause();
            game.EndCpuRiichi();
            break;
        case st::kRiichiMenu:
        case st::kRonMenu:
        case st::kTsumoMenu:
            game.AnswerCall(choices.Answer());
            if (game.State == st::kRiichiMenu && game.PlayerRiichi != 0) {
                pause();
                game.FinishPlayerRiichi();
            }
            break;
        case st::kLossResult:
        case st::kWinResult:
            game.ScoreGame();
            while (game.AdvanceResult().kind != MahjongResultItem::Kind::Settled) {
            }
            game.CountOverStep(true);
            if (game.LoserIsOut()) {
                result.ended = true;
                result.winner =
                    game.State == st::kWinResult ? MahjongSide::Player : MahjongSide::Cpu;
                result.script = game.EndMatch();
                if (options.afterStep) options.afterStep(game);
                return result;
            }
            game.NextGame();
            break;
        default:
            return result; // a state the rules never enter
        }
        if (options.afterStep) options.afterStep(game);
    }
    return result;
}
