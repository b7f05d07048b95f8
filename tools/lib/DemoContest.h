// The demo game's takoyaki contest: every picture, sound, voice line and
// story script of its title, opponent select, contest, result, retry and
// rules pages.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace demo {

class Canvas;

struct ContestOutput {
    std::function<bool(const std::string& path, const Canvas& picture, int bits)> picture;
    std::function<bool(const std::string& path, const std::vector<float>& samples)> sound;
    std::function<bool(const std::string& name, const std::string& text)> script;
    std::function<std::vector<float>(double from, double to, double seconds)> blip;
    std::function<std::vector<float>(int index, double seconds)> voiceLine;
    std::function<std::vector<float>(int root, double beat)> music;
};

bool ContestData(const ContestOutput& out);

// A figure: a coloured body and a face, with a name across it.
void Figure(Canvas& c, int x, int y, int w, int h, std::uint32_t tone, const char* name, int size);

// A mini-game's rules pages for the shared page viewer: each page (752x572,
// laid at (24, 14)) with its title, two lines, its page buttons and the
// close button, then the highlight sheet.
struct RulesPage {
    const char* title;
    const char* first;
    const char* second;
};
using PictureOut = std::function<bool(const std::string& path, const Canvas& picture, int bits)>;
bool RulesPagePictures(const PictureOut& picture, const char* pageFormat, const char* buttonsName,
                       int firstButtonLeft, const std::vector<RulesPage>& pages);

} // namespace demo
