// A movie played over the main window: opened by file, started at a
// position, asked for its position each frame until it reaches its length.
// The SDL backend shows its pictures in the window and plays its sound; the
// headless backend decodes it on the virtual clock without output.
#pragma once

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
    // Shows (or, headless, decodes) whatever has fallen due; once a frame.
    virtual void Update() = 0;
    virtual void Stop() = 0;
};

// Null when the file is missing or holds no video the decoder knows.
std::unique_ptr<Movie> OpenMovie(std::string_view windowsPath, WindowHandle parent);

}  // namespace platform
