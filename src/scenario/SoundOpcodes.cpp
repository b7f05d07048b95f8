// The sound opcodes start, stop and fade the music, sound-effect and voice
// channels. Their records are checked (channel numbers, name lengths) before
// they run. Starting and fading the channels from these records is the sound
// subsystem's part and not built yet: those records pass over, so a script
// with sounds runs silent.
#include "scenario/Scenario.h"

#include "app/Config.h"
#include "app/GameApp.h"
#include "sound/SoundChannel.h"

namespace {

std::uint32_t PassOver(std::uint32_t next) {
    if (g_gameApp) g_gameApp->mode = 2;
    return next;
}

}  // namespace

std::uint32_t CScenario::OpPlayBgm(std::uint32_t at) { return PassOver(NextRecord(at)); }
std::uint32_t CScenario::OpStopBgm(std::uint32_t at) { return PassOver(NextRecord(at)); }
std::uint32_t CScenario::OpFadeBgm(std::uint32_t at) { return PassOver(NextRecord(at)); }
std::uint32_t CScenario::OpPlayBgmFade(std::uint32_t at) { return PassOver(NextRecord(at)); }
// Opcode 38: the music at half the music volume.
std::uint32_t CScenario::OpLowerBgm(std::uint32_t at) {
    if (g_bgmChannel) g_bgmChannel->SetVolume(g_config[config::kBgmVolume] / 2);
    return PassOver(NextRecord(at));
}
std::uint32_t CScenario::OpPlayVoice(std::uint32_t at) { return PassOver(NextRecord(at)); }
std::uint32_t CScenario::OpLoadPlayStream(std::uint32_t at) { return PassOver(NextRecord(at)); }
std::uint32_t CScenario::OpStopSe(std::uint32_t at) { return PassOver(NextRecord(at)); }
std::uint32_t CScenario::OpFadeOutSe(std::uint32_t at) { return PassOver(NextRecord(at)); }
std::uint32_t CScenario::OpPlaySe(std::uint32_t at) { return PassOver(NextRecord(at)); }
std::uint32_t CScenario::OpPlayVoiceSlot(std::uint32_t at) { return PassOver(NextRecord(at)); }
std::uint32_t CScenario::OpLoadVoice(std::uint32_t at) { return PassOver(NextRecord(at)); }
std::uint32_t CScenario::OpLoadStream(std::uint32_t at) { return PassOver(NextRecord(at)); }
std::uint32_t CScenario::OpPlayWave(std::uint32_t at) { return PassOver(NextRecord(at)); }
std::uint32_t CScenario::OpPlayStream(std::uint32_t at) { return PassOver(NextRecord(at)); }
