// The scene replay (mode 14), one of the three extras rooms: 25 story
// scenes as thumbnails; a scene the player has finished in the story plays
// again in the story engine, and its end comes back to this room.
#pragma once

#include "platform/Platform.h"
#include "screenkit/Steps.h"

#include <array>
#include <cstdint>
#include <memory>

class CDib;

class CSceneReplay {
public:
    static constexpr int kCells = 25;

    CSceneReplay();
    ~CSceneReplay() {}

    void Run(platform::WindowHandle window);
    void Open(platform::WindowHandle window);
    void FadeIn(platform::WindowHandle window);
    void Input(platform::WindowHandle window);
    void StartScene(platform::WindowHandle window);
    void Leave(platform::WindowHandle window);
    void BackFlash(platform::WindowHandle window);

    // Cell i's scene has been finished in the story.
    static bool Seen(int cell);

    // 0 Open, 1 fade-in, 2 Input, 3 StartScene, 4 Leave, 5 BackFlash.
    std::uint8_t State = 0;
    std::uint8_t HoverCell = 0; // 1..25, 0 none or not seen
    std::uint8_t PrevHoverCell = 0;
    std::uint8_t HoverTab = 0; // 1..4, 0 none or the replay tab
    std::uint8_t PrevHoverTab = 0;
    std::uint32_t StartTime = 0;
    std::uint32_t Elapsed = 0;
    std::array<platform::Rect, kCells> CellRects{};
    std::array<platform::Rect, 4> TabRects{};

private:
    screenkit::StepClock Clock() { return {StartTime, Elapsed}; }
    void DrawThumbnails(CDib* target);
};

// The scenes' scripts, entries 1 to 25 (entry 0 is empty): cell i plays
// entry i + 1.
extern const std::array<const char*, CSceneReplay::kCells + 1> g_replayScenes;

// Surfaces: cdib[0] the screen before entry, later black; cdib[1] the
// composed page, later the screen the scene fades from; cdib[2] the button
// sheet; cdib[3] the clean background; cdib[4] the thumbnails; cdib[5] the
// page digits (not drawn); cdib[6] the hover frame. Leaving, and starting a
// scene, free cdib[1] to cdib[6].
extern std::unique_ptr<CSceneReplay> g_sceneReplay;
