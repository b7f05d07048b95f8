// transview [SCENE]: runs one test scene in the 800x600 window until the
// window is closed or Escape is pressed. SCENE is one of transition (the
// default), rain, projection, rotate, font, message, blend, copy, demo.
//
// In the transition viewer the left mouse button steps to the next effect
// and the right button back; the effect number and the progress stand in the
// top-left corner and each new effect is also printed.
#include "gfx/Dib.h"
#include "gfx/GlyphFont.h"
#include "gfx/TestScenes.h"
#include "platform/Platform.h"

#include <cstdio>
#include <memory>
#include <span>
#include <string_view>

namespace {

struct SceneEntry {
    std::string_view name;
    void (*run)(platform::WindowHandle);
};

constexpr SceneEntry kScenes[] = {
    {"transition", TestTransitionScene},
    {"rain", TestRainScene},
    {"projection", TestProjectionScene},
    {"rotate", TestRotateScene},
    {"font", TestFontScene},
    {"message", TestMessageScene},
    {"blend", TestBlendScene},
    {"copy", TestCopyScene},
    {"demo", TestDemoSequence},
};

} // namespace

int main(int argc, char** argv) {
    const std::string_view wanted = argc > 1 ? argv[1] : "transition";
    const SceneEntry* scene = nullptr;
    for (const auto& s : kScenes)
        if (s.name == wanted) scene = &s;
    if (!scene) {
        std::fprintf(stderr, "usage: transview [SCENE]\nscenes:");
        for (const auto& s : kScenes)
            std::fprintf(stderr, " %.*s", static_cast<int>(s.name.size()), s.name.data());
        std::fprintf(stderr, "\n");
        return 2;
    }
    if (!platform::CreateMainWindow("Norvane test scenes")) {
        std::fprintf(stderr, "transview: no window\n");
        return 1;
    }
    g_backBuffer = std::make_unique<CDib>();
    g_backBuffer->Create(platform::WindowHandle::Main, 800, 600, 24);
    g_backBuffer->FillRect(0, 0, 800, 600, 0);
    g_glyphFont = std::make_unique<CGlyphFont>(platform::CreateGlyphSource());

    int shownEffect = -1;
    bool running = true;
    while (running) {
        platform::Event e;
        while (platform::PeekEvent(e)) {
            if (e.kind == platform::EventKind::Close ||
                (e.kind == platform::EventKind::KeyDown && e.key == platform::Key::Escape))
                running = false;
        }
        scene->run(platform::WindowHandle::Main);
        if (scene->run == TestTransitionScene) {
            const TransitionViewerState v = GetTransitionViewerState();
            if (v.effect != shownEffect) {
                shownEffect = v.effect;
                std::printf("effect %d\n", v.effect);
                std::fflush(stdout);
            }
        }
        platform::Present(std::span<const std::uint32_t>(g_backBuffer->GetBits(), 800 * 600));
        platform::Sleep(1);
    }
    EndTestScenes();
    g_glyphFont.reset();
    g_backBuffer.reset();
    platform::DestroyMainWindow();
    return 0;
}
