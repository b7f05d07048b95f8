#include "frontend/ScreenKit.h"

#include "app/Config.h"
#include "app/Input.h"
#include "data/Log.h"
#include "app/Shell.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "gfx/Transition.h"
#include "scenario/Scenario.h"
#include "sound/SoundChannel.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

namespace frontend {

namespace {

constexpr char kQuitQuestion[] =
    "\xD2\xAA\xCD\xCB\xB3\xF6\xD3\xCE\xCF\xB7\xC2\xF0\xA3\xBF"; // 要退出游戏吗？

std::unique_ptr<CDib> NewScreenSurface() {
    auto dib = std::make_unique<CDib>();
    dib->Create(platform::WindowHandle::Main, kScreenWidth, kScreenHeight, 24);
    return dib;
}

} // namespace

std::uint32_t StepLevel(std::uint32_t elapsed, std::uint32_t full, std::uint32_t duration) {
    if (duration == 0) return full;
    const std::uint64_t level = std::uint64_t{elapsed} * full / duration;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(level, full));
}

bool SkipHeld() {
    return (g_mouse && g_mouse->skip) || (g_scenario && g_scenario->skipEffects);
}

bool SkipOrClick() {
    return SkipHeld() || (g_mouse && g_mouse->click);
}

void DrawFade(CDib* incoming, CDib* outgoing, std::uint32_t level) {
    DrawTransition(kCrossFade, g_backBuffer.get(), incoming, outgoing, 0, 0, 0, 0, kScreenWidth,
                   kScreenHeight, static_cast<int>(level), 0);
}

void ShowWhole(const CDib* picture) {
    if (!picture) return;
    BltCopy(g_backBuffer.get(), 0, 0, picture, 0, 0, picture->GetWidth(), picture->GetHeight());
}

bool LoadPicture(CDib* dib, const char* name) {
    if (dib->LoadFile(platform::WindowHandle::Main, name)) return true;
    LogMessage("cannot load the picture %s", name);
    return false;
}

CDib* LoadSurface(int slot, const char* name) {
    cdib[slot].reset();
    cdib[slot] = std::make_unique<CDib>();
    // A missing picture leaves an empty surface: every blit from it draws
    // nothing and the screen keeps its timings.
    LoadPicture(cdib[slot].get(), name);
    return cdib[slot].get();
}

CDib* BlankSurface(int slot, std::uint32_t colour) {
    cdib[slot].reset();
    cdib[slot] = NewScreenSurface();
    cdib[slot]->FillRect(0, 0, kScreenWidth, kScreenHeight, colour);
    return cdib[slot].get();
}

CDib* CopyOfSurface(int slot, const CDib* picture) {
    auto copy = NewScreenSurface();
    if (picture) BltCopy(copy.get(), 0, 0, picture, 0, 0, kScreenWidth, kScreenHeight);
    // The copy is made before the slot is freed: the source may stand in it.
    cdib[slot] = std::move(copy);
    return cdib[slot].get();
}

CDib* CopyOfBackBuffer(int slot) {
    return CopyOfSurface(slot, g_backBuffer.get());
}

void FreeSurface(int slot) {
    cdib[slot].reset();
}

CDib* Slot(int slot) {
    return cdib[slot].get();
}

void FreeSeSlot(int slot) {
    auto& c = g_seChannels[slot];
    if (!c) return;
    c->StopFade();
    c.reset();
}

void PlaySe(int slot, const char* name) {
    FreeSeSlot(slot);
    auto c = std::make_unique<CSeChannel>();
    c->Load(name);
    c->IsReady();
    c->SetVolume(g_config[config::kSeVolume]);
    c->Play(Repeat::Once);
    g_seChannels[slot] = std::move(c);
}

void PlayClickSound() {
    PlaySe(0, "se\\sys_010.ogg");
}

void FreeVoiceSlot(int slot) {
    auto& c = g_voiceChannels[slot];
    if (!c) return;
    c->Stop();
    c.reset();
}

void PlayVoice(int slot, const char* name) {
    FreeVoiceSlot(slot);
    auto c = std::make_unique<CVoiceChannel>();
    c->Load(name);
    c->SetVolume(g_config[config::kSeVolume]);
    c->Play(Repeat::Once);
    g_voiceChannels[slot] = std::move(c);
}

void StopMusic() {
    if (!g_bgmChannel) return;
    g_bgmChannel->StopFade();
    g_bgmChannel->Stop();
    g_bgmChannel.reset();
}

void FreeMusicName() {
    if (g_scenario) g_scenario->bgmName.reset();
}

void SetMusicName(const char* name) {
    if (!g_scenario) return;
    const std::size_t n = std::strlen(name);
    auto copy = std::make_unique<char[]>(n + 1);
    std::memcpy(copy.get(), name, n + 1);
    g_scenario->bgmName = std::move(copy);
}

bool MusicNameIs(const char* name) {
    return g_scenario && g_scenario->bgmName && ::strcasecmp(g_scenario->bgmName.get(), name) == 0;
}

void StartMusic(const char* name) {
    StopMusic();
    if (g_config[config::kMusicOff] == 1) return;
    auto c = std::make_unique<CBgmChannel>();
    c->Load(name);
    c->IsReady();
    c->SetVolume(g_config[config::kBgmVolume]);
    c->Play(Repeat::Endless);
    g_bgmChannel = std::move(c);
    if (g_scenario) g_scenario->bgmPlaying = 1;
}

bool AskQuit() {
    return platform::AskOkCancel(kQuitQuestion, g_windowTitle, platform::BoxIcon::Question) ==
           platform::BoxAnswer::Ok;
}

bool PointIn(const platform::Rect& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

bool MouseIn(const platform::Rect& r) {
    return g_mouse && PointIn(r, g_mouse->x, g_mouse->y);
}

std::uint32_t RandomByMinute(std::uint32_t n) {
    const std::uint32_t minute = platform::GetLocalTime().minute;
    const auto r = static_cast<std::uint32_t>(platform::Rand());
    const std::uint32_t clock = platform::TimeGetTime();
    return r * clock * minute % n;
}

} // namespace frontend
