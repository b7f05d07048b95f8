// The backlog's pictures and click sound for the demo game: a dark page with
// four entry boxes and a rail of arrow buttons, their lit looks, and the
// frame over an entry whose voice can be replayed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace demo {

struct DemoFile {
    std::string folder; // "system", "se", ...
    std::string name;
    std::vector<std::uint8_t> bytes;
};

std::vector<DemoFile> BacklogFiles();

} // namespace demo
