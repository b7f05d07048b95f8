// The sound opcodes start, stop and fade the music, sound-effect and voice
// channels. The channels arrive with the sound subsystem; until then these
// records are checked (channel numbers, name lengths) and passed over, so a
// script with sounds still runs silent.
#include "scenario/Scenario.h"

#include "app/GameApp.h"

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
std::uint32_t CScenario::OpLowerBgm(std::uint32_t at) { return PassOver(NextRecord(at)); }
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
