// A whole match played by the rules core alone, a simple computer player in
// the player's seat: how the benchmark and the match tests drive the rules
// without a screen. It runs the rules steps in the order the match screen
// does, answering every pause at once and every question by a seeded choice.
#pragma once

#include "mahjong/MahjongGame.h"

#include <cstdint>
#include <functional>
#include <string_view>

struct MahjongBotOptions {
    std::uint8_t opponentByte = 0;
    std::uint32_t seed = 1; // seeds the runtime's rand and the bot's answers
    int maxGames = 2000;    // gives up after this many deals
    // Called for each pause with its length, so a test can move its clock.
    std::function<void(std::uint32_t ms)> wait;
    // Called after every rules step.
    std::function<void(const CMahjongGame&)> afterStep;
};

struct MahjongBotResult {
    bool ended = false; // a side ran out of points
    MahjongSide winner = MahjongSide::Player;
    int games = 0;
    long steps = 0;
    std::string_view script; // the follow-up script the match chose
};

MahjongBotResult PlayBotMatch(CMahjongGame& game, const MahjongBotOptions& options);

// The bot's discard for the player's nine tiles: the heroine's thought-through
// choice, taken from the player's own slots.
int BotDiscardSlot(const MahjongHand& hand);
