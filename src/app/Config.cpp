#include "app/Config.h"

#include "app/SafeWrite.h"
#include "data/Log.h"
#include "platform/Platform.h"
#include "scenario/Scenario.h"
#include "sound/SoundChannel.h"

#include <cstdio>
#include <filesystem>
#include <vector>

std::array<std::uint8_t, kConfigSize> g_config{};

namespace {

std::string ConfigPath() { return platform::CurrentDirectory() + "\\" + "save\\Config.dat"; }

// Levels and speeds are 0..100; switches are 0 or 1. A damaged or foreign file
// must not hand a screen a value it cannot show.
void ClampRanges() {
    using namespace config;
    auto clampLevel = [](std::uint8_t& b) {
        if (b > 100) b = 100;
    };
    auto clampSwitch = [](std::uint8_t& b) {
        if (b > 1) b = 1;
    };
    clampSwitch(g_config[kFullScreen]);
    clampLevel(g_config[kTextSpeed]);
    clampSwitch(g_config[kSkipScope]);
    clampLevel(g_config[kBgmVolume]);
    clampLevel(g_config[kSeVolume]);
    clampSwitch(g_config[kVoiceMuteB]);
    clampSwitch(g_config[kVoiceMuteA]);
    for (std::size_t i = 0; i < kVoiceLevelCount; ++i) clampLevel(g_config[kVoiceLevels + i]);
    for (std::size_t i = kSkipEffects; i <= kCursorGlide; ++i) clampSwitch(g_config[i]);
    clampLevel(g_config[kAutoSpeed]);
    clampSwitch(g_config[kAutoAtStart]);
}

}  // namespace

int ResetConfig() {
    using namespace config;
    g_config.fill(0);
    g_config[kTextSpeed] = 50;
    g_config[kBgmVolume] = 50;
    g_config[kSeVolume] = 50;
    for (std::size_t i = 0; i < kVoiceLevelCount; ++i) g_config[kVoiceLevels + i] = 50;
    g_config[kAutoSpeed] = 50;
    SetBgmVolumeGlobal(50);
    SetSeVolumeGlobal(g_config[kBgmVolume]);
    SetVoiceVolumeGlobal(g_config[kBgmVolume]);
    return 0;
}

void LoadConfig() {
    ResetConfig();
    std::optional<std::string> path = platform::ResolveExisting(ConfigPath());
    if (!path) return;
    // Opening a FIFO would wait for a writer before the window is up.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(*path, ec)) {
        LogMessage("save/Config.dat is no plain file; the settings keep their defaults");
        return;
    }
    std::FILE* f = std::fopen(path->c_str(), "rb");
    if (!f) return;
    std::vector<std::uint8_t> block(kConfigSize);
    const std::size_t got = std::fread(block.data(), 1, block.size(), f);
    std::fclose(f);
    std::copy(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(got), g_config.begin());
    if (got != kConfigSize) LogMessage("save/Config.dat holds %zu bytes; the rest keeps its defaults", got);
    ClampRanges();
    // Effects and voices take their levels from the block when they play.
    SetBgmVolumeGlobal(g_config[config::kBgmVolume]);
    if (g_scenario) {
        g_scenario->skipEffects = g_config[config::kSkipEffects];
        g_scenario->autoMode = g_config[config::kAutoAtStart];
    }
}

bool SaveConfig() {
    std::optional<std::string> path = platform::ResolveForWrite(ConfigPath());
    if (!path) {
        LogMessage("cannot save settings: no save folder");
        return false;
    }
    const WriteResult result = ReplaceFileSafely(*path, g_config);
    if (result == WriteResult::Ok) return true;
    LogMessage("cannot save settings to %s (%s failed); the old file is kept", path->c_str(),
               WriteResultName(result));
    return false;
}
