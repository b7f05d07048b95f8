#include "app/ModeTable.h"

#include "sound/MoviePlayer.h"

#include <array>
#include <memory>

namespace {

// Screens join this table as they are built, in the fixed order 0, 1, 56, 57,
// 58, 59, 60, 61, 62, 63, 70, 65, 66, 67, 68, 69, 71, 9, 8, 54, 10, 11, 6, 14,
// 72, 15, 16, 27..33, 24, 50. A mode missing here idles, frees and paces.
constexpr std::array<ModeEntry, 2> kScreens{
    ModeEntry{24, [] { return g_openingMovie != nullptr; },
              [](platform::WindowHandle w, platform::WindowHandle inst) {
                  g_openingMovie = std::make_unique<CMoviePlayer>(w, inst, "pp_op.mpg", 0);
              },
              [](platform::WindowHandle w) { g_openingMovie->Run(w); }, [] { g_openingMovie.reset(); }},
    ModeEntry{50, [] { return g_staffRollMovie != nullptr; },
              [](platform::WindowHandle w, platform::WindowHandle inst) {
                  g_staffRollMovie = std::make_unique<CMoviePlayer>(w, inst, "staffroll.mpg", 0);
              },
              [](platform::WindowHandle w) { g_staffRollMovie->Run(w); }, [] { g_staffRollMovie.reset(); }},
};

void RunOther(std::uint8_t, platform::WindowHandle) {}

constexpr ModeTable kGameTable{std::span<const ModeEntry>(kScreens), &RunOther};

const ModeTable* g_activeTable = &kGameTable;

}  // namespace

const ModeTable& ActiveModeTable() { return *g_activeTable; }

void SetModeTable(const ModeTable* table) { g_activeTable = table ? table : &kGameTable; }
