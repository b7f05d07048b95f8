// The contest's rules pages (mode 71): six pages on the shared page viewer.
// Closing always leads to the contest title, which plays its intro again.
#pragma once

#include "screenkit/PageViewer.h"

#include <memory>

class CRusRulesScreen : public screenkit::CPageViewer {
public:
    CRusRulesScreen();
};

// Surfaces: cdib[20] the picture on screen when the pages opened, [21] it
// with the page over it, [22] the page, [23] the button highlights; the
// viewer frees cdib[20] to cdib[47] when it closes.
extern std::unique_ptr<CRusRulesScreen> g_rusRulesScreen;
