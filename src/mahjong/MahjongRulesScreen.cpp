#include "mahjong/MahjongRulesScreen.h"

std::unique_ptr<CMahjongRulesScreen> g_mahjongRulesScreen;

namespace {

const screenkit::PageSet kMahjongPages{
    4, "system\\don_m%02d.bmp", "system\\don_m_p.bmp", 642, screenkit::PagesLeave::ToReturnMode, 0,
};

} // namespace

CMahjongRulesScreen::CMahjongRulesScreen() : CPageViewer(kMahjongPages) {}
