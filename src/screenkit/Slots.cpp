#include "screenkit/Slots.h"

#include "app/Config.h"
#include "app/Input.h"
#include "app/Shell.h"
#include "data/Log.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "scenario/Scenario.h"
#include "sound/SoundChannel.h"

#include <cstring>
#include <memory>
#include <strings.h>

namespace screenkit {

namespace {

std::unique_ptr<CDib> NewScreenSurface() {
    auto dib = std::make_unique<CDib>();
    dib->Create(platform::WindowHandle::Main, kScreenWidth, kScreenHeight, 24);
    return dib;
}

} // namespace

void ShowWhole(const CDib* picture) {
    if (!picture) return;
    BltCopy(g_backBuffer.get(), 0, 0, picture, 0, 0, picture->GetWidth(), picture->GetHeight());
}

bool KeyedCopy(CDib* dst, int dx, int dy, const CDib* src, int sx, int sy, int w, int h) {
    if (!dst || !src) return false;
    const DibRect from{sx, sy, sx + w, sy + h};
    return dst->BltKeyed(src, dx, dy, &from, nullptr, nullptr) != 0;
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

void LoadPictures(std::span<const Picture> pictures) {
    for (const Picture& p : pictures)
        LoadSurface(p.slot, p.file);
}

void FreeSurface(int slot) {
    cdib[slot].reset();
}

void FreeSurfaces(int first, int last) {
    for (int slot = first; slot <= last; ++slot)
        FreeSurface(slot);
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

void LoadSe(int slot, const char* name) {
    FreeSeSlot(slot);
    auto c = std::make_unique<CSeChannel>();
    c->Load(name);
    c->IsReady();
    g_seChannels[slot] = std::move(c);
}

void ReplaySe(int slot) {
    auto& c = g_seChannels[slot];
    if (!c) return;
    c->SetVolume(g_config[config::kSeVolume]);
    c->Play(Repeat::Once);
}

void PlaySe(int slot, const char* name) {
    LoadSe(slot, name);
    ReplaySe(slot);
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
    PlayVoiceAt(slot, name, g_config[config::kSeVolume]);
}

void PlayVoiceAt(int slot, const char* name, int level) {
    FreeVoiceSlot(slot);
    auto c = std::make_unique<CVoiceChannel>();
    c->Load(name);
    c->SetVolume(level);
    c->Play(Repeat::Once);
    g_voiceChannels[slot] = std::move(c);
}

void FreeVoiceSlots() {
    for (int slot = 0; slot < kVoiceChannelCount; ++slot)
        FreeVoiceSlot(slot);
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

void LoadMusic(const char* name) {
    StopMusic();
    if (g_config[config::kMusicOff] == 1) return;
    auto c = std::make_unique<CBgmChannel>();
    c->Load(name);
    c->IsReady();
    g_bgmChannel = std::move(c);
}

void PlayLoadedMusic(MusicLoop loop) {
    if (!g_bgmChannel) return;
    g_bgmChannel->SetVolume(g_config[config::kBgmVolume]);
    g_bgmChannel->Play(loop == MusicLoop::Once ? Repeat::Once : Repeat::Endless);
    if (g_scenario) g_scenario->bgmPlaying = 1;
}

void StartMusic(const char* name, MusicLoop loop) {
    LoadMusic(name);
    PlayLoadedMusic(loop);
}

void KeepOrStartMusic(const char* file, const char* name) {
    if (MusicNameIs(name)) return;
    StartMusic(file);
    SetMusicName(name);
}

void FadeOutMusic(std::uint32_t ms) {
    if (g_bgmChannel) g_bgmChannel->FadeOut(ms);
    if (g_scenario) g_scenario->bgmPlaying = 0;
}

void StopScreenSounds() {
    FreeSeSlot(0);
    StopMusic();
    FreeMusicName();
}

} // namespace screenkit
