#include "frontend/StoryChooser.h"

std::unique_ptr<CStoryChooser> g_storyChooser;

namespace {

const ChooserLayout kStoryLayout{
    56,
    57,
    {{{1, "system\\title_bg01.bmp"},
      {2, "system\\title01_p01.bmp"},
      {3, "system\\title01_p02.bmp"},
      {4, "system\\title01_p03.bmp"}}},
    platform::Rect{8, 430, 164, 464},
    3,
    200,
    {0, 0, 64, 128},
    0,
    0,
    true,
    {58, 59, 60},
};

} // namespace

CStoryChooser::CStoryChooser() : CChooserScreen(kStoryLayout) {}
