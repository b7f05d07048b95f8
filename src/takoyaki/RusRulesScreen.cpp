#include "takoyaki/RusRulesScreen.h"

std::unique_ptr<CRusRulesScreen> g_rusRulesScreen;

namespace {

constexpr std::uint8_t kContestTitle = 65;

const screenkit::PageSet kContestPages{
    6,
    "system\\rus_m%02d.bmp",
    "system\\rus_m_p.bmp",
    592,
    screenkit::PagesLeave::ToFixedMode,
    kContestTitle,
};

} // namespace

CRusRulesScreen::CRusRulesScreen() : CPageViewer(kContestPages) {}
