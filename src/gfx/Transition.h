// The 80 numbered screen transitions. One call draws one frame of effect
// `effect` from the outgoing picture B toward the incoming picture A at a
// progress of 0 (all B) to 256 (all A); the caller owns the timing and, once
// the progress reaches the end, copies A itself.
//
// Surfaces are borrowed: the caller owns dst, A, B and the mask picture
// (g_maskImage). The lookup block is owned by this module (g_transitionTables)
// and lives until exit.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

class CDib;

inline constexpr int kTransitionCount = 80;
// What an unknown effect number, or a mask effect without a usable mask, draws.
inline constexpr int kCrossFadeEffect = 39;

// The eleven arguments every effect takes.
struct TransitionArgs {
    CDib* dst = nullptr; // drawn into
    CDib* a = nullptr;   // incoming picture
    CDib* b = nullptr;   // outgoing picture (may be null for effect 68 only)
    int dx = 0, dy = 0;  // top-left of the affected rectangle in dst
    int sx = 0, sy = 0;  // top-left of the matching rectangle in the source
    int w = 0, h = 0;    // size of the rectangle
    int p = 0;           // progress 0..256
    int flag = 0;        // direction switch of effects 16 and 17
};

using TransitionFunc = int (*)(const TransitionArgs&);
extern const std::array<TransitionFunc, kTransitionCount> g_transitionFuncs;

// Draws effect `effect` (0..79; any other number draws the cross-fade).
// Every effect clips to its surfaces and to its own area, so arguments that
// reach outside a surface draw less but never touch memory outside it.
int DrawTransition(int effect, CDib* dst, CDib* a, CDib* b, int dx, int dy, int sx, int sy, int w,
                   int h, int p, int flag);

// The lookup block of the distortion effects, built once and never changed.
struct TransitionTables {
    static constexpr int kRandomCount = 256;
    static constexpr int kCosineCount = 512;
    static constexpr int kDistanceWidth = 600;
    static constexpr int kDistanceHeight = 450;

    // Low bytes of 256 successive rand values after srand(0).
    std::array<std::uint8_t, kRandomCount> random{};
    // cos(i * pi / 256) * 65536, truncated: a full turn in 512 steps.
    std::array<std::int32_t, kCosineCount> cosine{};
    // sqrt(x^2 + y^2) * 65536, truncated; row y at y * kDistanceWidth.
    std::array<std::int32_t, kDistanceWidth * kDistanceHeight> distance{};

    // Indices wrap to the table size, negative ones included.
    std::int32_t Cos(std::int64_t i) const;
    std::uint8_t Rnd(std::int64_t i) const;
    // 16.16 distance of (x, y) from the origin; beyond the table it is worked
    // out with the same formula, so large rectangles stay well defined.
    std::int64_t Dist(std::int64_t x, std::int64_t y) const;
};

// Fills the block; calls platform::Srand(0), so it restarts the shared
// random sequence.
void BuildTransitionTables(TransitionTables& tables);
// Builds the block on first use and returns it.
const TransitionTables& EnsureTransitionTables();
// Null until the first EnsureTransitionTables.
extern std::unique_ptr<TransitionTables> g_transitionTables;
