#include "mahjong/KofOpening.h"

#include "app/GameApp.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "gfx/TrigTables.h"
#include "screenkit/ScreenKit.h"

#include <cstdio>

using namespace screenkit;

std::unique_ptr<CKofOpening> g_kofOpening;

namespace {

constexpr std::uint32_t kFadeInMs = 1000;
constexpr std::uint32_t kWaveMs = 2000;
constexpr std::uint32_t kHoldMs = 3000;
constexpr std::uint32_t kWipeMs = 3000;
constexpr std::uint32_t kClosingFadeMs = 1000;
constexpr std::uint32_t kClosingHoldMs = 10000;
constexpr std::uint32_t kMusicFadeMs = 2000;
constexpr std::uint32_t kWaveFull = 254;
constexpr std::uint32_t kAmplitude = 36;
constexpr int kBandY = 260;
constexpr int kBandH = 80;
constexpr int kMaskWipe = 40;
constexpr std::uint8_t kSelectMode = 63;

constexpr StateTable<CKofOpening, 11> kStates{
    &CKofOpening::Open,        &CKofOpening::FadeIn, &CKofOpening::LoadCaption,
    &CKofOpening::WaveIn,      &CKofOpening::Hold,   &CKofOpening::WaveOut,
    &CKofOpening::NextCaption, &CKofOpening::Wipe,   &CKofOpening::FadeToClosing,
    &CKofOpening::HoldClosing, &CKofOpening::Leave,
};

} // namespace

CKofOpening::CKofOpening() {
    if (g_gameApp) g_gameApp->screenRect = platform::Rect{0, 0, kScreenWidth, kScreenHeight};
}

void CKofOpening::Run(platform::WindowHandle window) {
    RunState(*this, State, kStates, window);
}

// A step that a click ended clears the click, so that it shortens only the
// step that was running; the held skip key is cleared only where the
// sequence wants it held again.
void CKofOpening::EndStep(std::uint8_t next, bool clearSkip) {
    if (clearSkip)
        ClearClickAndSkip();
    else
        ClearClick();
    Clock().Restart();
    State = next;
}

void CKofOpening::Open(platform::WindowHandle) {
    CopyOfBackBuffer(0);
    LoadSurface(1, "bmp\\kof_op_base.bmp");
    Caption = 0;
    StartMusic("bgm\\c021.ogg");
    Clock().Restart();
    State = 1;
}

void CKofOpening::FadeIn(platform::WindowHandle) {
    if (Fading(Clock(), Slot(1), Slot(0), kFadeInMs, Hurry::BySkipOrClick)) return;
    Caption = 1;
    EndStep(2, true);
}

void CKofOpening::LoadCaption(platform::WindowHandle) {
    char name[32];
    std::snprintf(name, sizeof name, "bmp\\kof_op_m%02d.bmp", Caption);
    LoadSurface(2, name);
    Clock().Restart();
    State = 3;
}

// Each row of the caption shifted by the sine of its own phase, so the
// caption ripples while it fades.
void CKofOpening::DrawWave(std::uint32_t amplitude, std::uint32_t phase, std::uint32_t opacity) {
    RestoreArea(Slot(1), 0, kBandY, kScreenWidth, kBandH);
    for (int y = 0; y < kBandH; ++y) {
        const int x = static_cast<int>(SinDeg(static_cast<int>(phase) + 8 * y) * amplitude);
        BltAlphaBlend(g_backBuffer.get(), x, kBandY + y, Slot(2), 0, y, kScreenWidth, 1,
                      static_cast<int>(opacity));
    }
}

void CKofOpening::ShowCaption() {
    RestoreArea(Slot(1), 0, kBandY, kScreenWidth, kBandH);
    BltColorKey(g_backBuffer.get(), 0, kBandY, Slot(2), 0, 0, kScreenWidth, kBandH);
}

void CKofOpening::WaveIn(platform::WindowHandle) {
    const std::uint32_t elapsed = Clock().Tick();
    if (elapsed < kWaveMs && !SkipOrClick()) {
        DrawWave(kAmplitude - elapsed * kAmplitude / kWaveMs, elapsed * 540 / kWaveMs,
                 elapsed * kWaveFull / kWaveMs);
        return;
    }
    ShowCaption();
    EndStep(4, false);
}

void CKofOpening::Hold(platform::WindowHandle) {
    ShowCaption();
    if (Holding(Clock(), kFull, kHoldMs, Hurry::BySkipOrClick)) return;
    EndStep(5, true);
}

void CKofOpening::WaveOut(platform::WindowHandle) {
    const std::uint32_t elapsed = Clock().Tick();
    if (elapsed < kWaveMs && !SkipOrClick()) {
        DrawWave(elapsed * kAmplitude / kWaveMs, elapsed * 540 / kWaveMs,
                 kWaveFull - elapsed * kWaveFull / kWaveMs);
        return;
    }
    RestoreArea(Slot(1), 0, kBandY, kScreenWidth, kBandH);
    EndStep(6, false);
}

void CKofOpening::NextCaption(platform::WindowHandle) {
    ++Caption;
    if (Caption <= kCaptions) {
        State = 2;
        return;
    }
    CopyOfBackBuffer(0);
    BlankSurface(1, kBlack);
    g_maskImage = std::make_unique<CDib>();
    LoadPicture(g_maskImage.get(), "bmp\\mask04.bmp");
    FadeOutMusic(kMusicFadeMs);
    Clock().Restart();
    State = 7;
}

void CKofOpening::Wipe(platform::WindowHandle) {
    if (Fading(Clock(), Slot(1), Slot(0), kWipeMs, Hurry::BySkipOrClick, kMaskWipe)) return;
    CopyOfBackBuffer(0);
    LoadSurface(1, "bmp\\kof_op_base01.bmp");
    EndStep(8, true);
}

void CKofOpening::FadeToClosing(platform::WindowHandle) {
    if (Fading(Clock(), Slot(1), Slot(0), kClosingFadeMs, Hurry::BySkipOrClick)) return;
    CopyOfBackBuffer(0);
    EndStep(9, true);
}

void CKofOpening::HoldClosing(platform::WindowHandle) {
    if (Holding(Clock(), kFull, kClosingHoldMs, Hurry::BySkipOrClick)) return;
    EndStep(10, true);
}

void CKofOpening::Leave(platform::WindowHandle) {
    FreeSurfaces(1, 5);
    StopScreenSounds();
    State = 0;
    ClearClick();
    LeaveTo(kSelectMode);
}
