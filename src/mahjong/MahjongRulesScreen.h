// The mahjong rules pages (mode 70): four pages on the shared page viewer.
// Closing goes back to the mode that opened them, the title or the match;
// from the match's menu the match picture is put back first.
#pragma once

#include "screenkit/PageViewer.h"

#include <memory>

class CMahjongRulesScreen : public screenkit::CPageViewer {
public:
    CMahjongRulesScreen();
};

// Surfaces: cdib[20] the picture on screen when the pages opened, [21] it
// with the page over it, [22] the page, [23] the button highlights; the
// viewer frees cdib[20] to cdib[47] when it closes.
extern std::unique_ptr<CMahjongRulesScreen> g_mahjongRulesScreen;
