#include "sound/SoundDevice.h"

CSoundDevice g_soundDevice;

namespace {
constexpr char kInitFailed[] = "DirectSound\xB3\xF5\xC6\xDA\xBB\xAF\xCA\xA7\x94\xA1";  // DirectSound初期化失敗
}  // namespace

bool CSoundDevice::Create(platform::WindowHandle) {
    std::unique_ptr<platform::AudioDevice> device = platform::OpenAudioDevice();
    if (!device) return false;
    device_ = std::move(device);
    return true;
}

void CSoundDevice::Close() { device_.reset(); }

bool InitDirectSound(platform::WindowHandle window) {
    if (window == platform::WindowHandle::None) return false;
    g_soundDevice.SetWindow(window);
    if (g_soundDevice.GetDirectSound()) return true;
    if (g_soundDevice.Create(window)) return true;
    platform::Tell(kInitFailed, "error", platform::BoxIcon::None);
    return false;
}
