#include "frontend/MiniGameChooser.h"

std::unique_ptr<CMiniGameChooser> g_miniGameChooser;

namespace {

const ChooserLayout kMiniGameLayout{
    57,
    56,
    {{{1, "system\\title_bg02.bmp"},
      {2, "system\\title02_p01.bmp"},
      {3, "system\\title02_p02.bmp"},
      {4, "system\\title02_p03.bmp"}}},
    platform::Rect{34, 430, 134, 464},
    2,
    300,
    {0, 0, 96, 0},
    2,
    3,
    false,
    {61, 65, 0},
};

} // namespace

CMiniGameChooser::CMiniGameChooser() : CChooserScreen(kMiniGameLayout) {}
