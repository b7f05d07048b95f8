#include "scenario/MessageHistory.h"

#include "app/GameApp.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

void CopyEntry(std::array<char, kLogEntryBytes>& entry, std::string_view text, std::size_t limit) {
    entry.fill(0);
    const std::size_t zero = text.find('\0');
    if (zero != std::string_view::npos) text = text.substr(0, zero);
    const std::size_t n = std::min({text.size(), limit, entry.size() - 1});
    if (n) std::memcpy(entry.data(), text.data(), n);
}

} // namespace

void MakeHistoryRoom(CGameApp& app) {
    if (app.logCount < 0) app.logCount = 0;
    if (app.logCount > kHistoryLimit) app.logCount = kHistoryLimit;
    if (app.logCount < kHistoryLimit) return;
    for (int k = 0; k < kHistoryLimit - 1; ++k) {
        app.logNames[k] = app.logNames[k + 1];
        app.logText[k] = app.logText[k + 1];
        app.logVoices[k] = app.logVoices[k + 1];
    }
    --app.logCount;
}

void AppendMessageHistory(CGameApp& app, std::string_view text, std::string_view speaker,
                          std::string_view voice, std::size_t voiceLimit) {
    MakeHistoryRoom(app);
    const auto k = static_cast<std::size_t>(app.logCount);
    CopyEntry(app.logText[k], text, kLogEntryBytes - 1);
    CopyEntry(app.logNames[k], speaker, kLogEntryBytes - 1);
    CopyEntry(app.logVoices[k], voice, voiceLimit);
}

void CountShownMessage(CGameApp& app) {
    app.logCount = std::clamp(app.logCount, 0, kHistoryLimit);
    if (app.logCount < kHistoryLimit) ++app.logCount;
}

void AppendChoiceHistory(CGameApp& app, std::string_view optionText) {
    MakeHistoryRoom(app);
    const auto k = static_cast<std::size_t>(app.logCount);
    const std::string marked = std::string("\xA1\xF9\xA1\xA1") +
                               std::string(optionText.substr(0, optionText.find('\0'))) +
                               "\xA1\xA1\xA1\xF9";
    CopyEntry(app.logText[k], marked, kLogEntryBytes - 1);
    CopyEntry(app.logNames[k], {}, 0);
    CopyEntry(app.logVoices[k], {}, 0);
    ++app.logCount;
}
