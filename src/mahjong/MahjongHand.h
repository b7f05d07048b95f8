// The rules of a nine-tile hand: counting kinds, the complete and ready tests,
// the riichi discard, the heroine's discard choice and ready test, the lapse
// odds and the shuffle. No drawing and no match state: every function works on
// the tiles it is given.
#pragma once

#include "mahjong/MahjongTile.h"

#include <cstdint>
#include <optional>
#include <span>

// Kind counts over the given tiles.
MahjongKindCounts CountKinds(std::span<const MahjongTile> tiles);

// Three different kinds of exactly three: the only hand the player may win by
// drawing without riichi, and the hand that ends the heroine's turn in a win.
bool IsThreeTriplets(const MahjongKindCounts& counts);

// Every kind count a multiple of 3: the nine tiles can be read as three
// triplets (a kind may repeat). A win is offered only for such a hand.
bool IsWinningShape(const MahjongKindCounts& counts);

// The player's ready test over nine tiles: the kind the hand waits on after
// the right discard, or nothing when the hand is not ready.
std::optional<std::uint8_t> PlayerReadyWait(const MahjongKindCounts& counts);

// The heroine's ready test over nine tiles (two triplets, a pair and a single):
// the pair's kind, or nothing.
std::optional<std::uint8_t> CpuReadyWait(const MahjongKindCounts& counts);

// The slot (0..8) the game discards for the player who has just accepted
// riichi: the first slot holding the highest kind with a count of 1 or 4, or
// nothing when the hand holds no such kind.
std::optional<int> RiichiDiscardSlot(const MahjongHand& hand);

// Orders tiles by kind with the bubble sort the table uses: `passes` passes
// from the back, exchanging neighbours in descending order (stable).
void SortByKind(std::span<MahjongTile> tiles, int passes);

// The heroine's choice after her draw on a thought-through turn: sorts the
// nine tiles, leaves the tile to discard in slot 8 and returns the number of
// kinds with exactly three tiles counted before the scan stopped.
std::uint8_t ChooseCpuDiscard(MahjongHand& hand);

// Whether heroine `opponent` fails to think this turn, for the random value r.
bool IsCpuLapse(int opponent, std::uint32_t r);

// Draws uniformly from 0..bound-1 (bound 1..32768) with the runtime's rand,
// throwing away the values that would favour the low results.
int UniformRand(int bound);

// Fills the wall with the 192 tiles in a uniformly shuffled order.
void ShuffleWall(std::span<MahjongTile, kMahjongWallSize> wall);
