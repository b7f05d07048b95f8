// Movies in the game window: pictures presented as they fall due, sound queued
// on an output of its own.
#include "platform/common/MoviePlayback.h"

#include <SDL.h>

#include <cstdio>

namespace platform {
namespace {

class SdlMovie : public MoviePlayback {
public:
    ~SdlMovie() override { StopOutput(); }

private:
    void ShowFrame(const AVFrame& frame) override {
        picture_.resize(static_cast<std::size_t>(kClientWidth) * kClientHeight);
        ConvertPicture(frame, picture_);
        Present(picture_);
    }

    void PlaySound(std::span<const std::int16_t> samples) override {
        if (audio_) SDL_QueueAudio(audio_, samples.data(), static_cast<Uint32>(samples.size_bytes()));
    }

    std::uint32_t SoundQueuedMs() override {
        // Without an output, sound never holds decoding back.
        if (!audio_) return UINT32_MAX;
        return SDL_GetQueuedAudioSize(audio_) / 4 * 1000 / 44100;
    }

    void StartOutput() override {
        if (audio_) return;
        if (!SDL_WasInit(SDL_INIT_AUDIO) && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
        SDL_AudioSpec want{};
        want.freq = 44100;
        want.format = AUDIO_S16SYS;
        want.channels = 2;
        want.samples = 1024;
        audio_ = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
        if (!audio_) {
            std::fprintf(stderr, "norvane: movie plays without sound: %s\n", SDL_GetError());
            return;
        }
        SDL_PauseAudioDevice(audio_, 0);
    }

    void StopOutput() override {
        if (!audio_) return;
        SDL_CloseAudioDevice(audio_);
        audio_ = 0;
    }

    SDL_AudioDeviceID audio_ = 0;
    std::vector<std::uint32_t> picture_;
};

}  // namespace

std::unique_ptr<Movie> OpenMovie(std::string_view windowsPath, WindowHandle) {
    const std::optional<std::string> path = ResolveExisting(windowsPath);
    if (!path) return nullptr;
    auto movie = std::make_unique<SdlMovie>();
    if (!movie->Open(*path)) return nullptr;
    return movie;
}

}  // namespace platform
