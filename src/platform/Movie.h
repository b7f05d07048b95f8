// A movie played over the main window: opened by file, started at a
// position, asked for its position each frame until it reaches its length.
// Both backends decode it alike: its pictures are presented in the window
// (the headless one keeps them as its last frame) and its sound is mixed
// into the game's own sound device, beside the music and effects.
#pragma once

#include "platform/Audio.h"
#include "platform/Platform.h"

#include <cstdint>
#include <memory>
#include <string_view>

namespace platform {

class Movie {
public:
    virtual ~Movie() = default;
    // Milliseconds.
    virtual std::int32_t GetLength() = 0;
    // Milliseconds since the start of the movie; the length once it is over.
    virtual std::int32_t GetPosition() = 0;
    virtual bool PlayFrom(std::int32_t ms) = 0;
    // Shows whatever has fallen due and queues the sound ahead; once a frame.
    virtual void Update() = 0;
    virtual void Stop() = 0;
};

// Null when the file is missing or holds no video the decoder knows. The
// sound goes into `sound` (the game's device, not owned; it outlives the
// movie); without one the movie plays silent.
std::unique_ptr<Movie> OpenMovie(std::string_view windowsPath, WindowHandle parent,
                                 AudioDevice* sound);

}  // namespace platform
