// Headless movies decode on the virtual clock and show and sound nothing.
#include "platform/common/MoviePlayback.h"

namespace platform {

std::unique_ptr<Movie> OpenMovie(std::string_view windowsPath, WindowHandle) {
    const std::optional<std::string> path = ResolveExisting(windowsPath);
    if (!path) return nullptr;
    auto movie = std::make_unique<MoviePlayback>();
    if (!movie->Open(*path)) return nullptr;
    return movie;
}

}  // namespace platform
