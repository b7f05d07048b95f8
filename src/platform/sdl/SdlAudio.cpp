// The game's sound device: the shared mixer, run by the SDL audio callback.
#include "platform/common/AudioMixer.h"

#include <SDL.h>

#include <cstdio>

namespace platform {
namespace {

class SdlDevice : public mixer::MixerDevice {
public:
    explicit SdlDevice(std::shared_ptr<mixer::Mixer> m) : MixerDevice(std::move(m)) {}
    ~SdlDevice() override {
        if (id_) SDL_CloseAudioDevice(id_);  // waits for a callback in progress
    }

    bool Open() {
        SDL_AudioSpec want{};
        want.freq = static_cast<int>(kDeviceRate);
        want.format = AUDIO_S16SYS;
        want.channels = kDeviceChannels;
        want.samples = 1024;
        want.callback = &SdlDevice::Callback;
        want.userdata = GetMixer().get();
        SDL_AudioSpec have{};
        // SDL converts to whatever the hardware takes.
        id_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (!id_) {
            std::fprintf(stderr, "norvane: no sound output: %s\n", SDL_GetError());
            return false;
        }
        SDL_PauseAudioDevice(id_, 0);
        return true;
    }

private:
    static void Callback(void* userdata, Uint8* stream, int len) {
        auto* m = static_cast<mixer::Mixer*>(userdata);
        m->Mix(reinterpret_cast<std::int16_t*>(stream), static_cast<std::uint32_t>(len) / 4,
               mixer::Catchup::None);
    }

    SDL_AudioDeviceID id_ = 0;
};

}  // namespace

std::unique_ptr<AudioDevice> OpenAudioDevice() {
    if (!SDL_WasInit(SDL_INIT_AUDIO) && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "norvane: no sound system: %s\n", SDL_GetError());
        return nullptr;
    }
    auto device = std::make_unique<SdlDevice>(std::make_shared<mixer::Mixer>());
    if (!device->Open()) return nullptr;
    return device;
}

}  // namespace platform
