// Test scenes for looking at the drawing layer by eye. No game mode, menu,
// key or script reaches them; tools/transview runs one in a window.
//
// Each call draws one frame into g_backBuffer (which the caller creates and
// presents afterwards). A scene keeps its own state and surfaces in this
// module until EndTestScenes frees them. Pictures are drawn by the scenes
// themselves, so no data folder is needed.
#pragma once

#include "platform/Platform.h"

// Rain falling over a background, a window frame and a sprite (alpha blits).
void TestRainScene(platform::WindowHandle window);
// The transition viewer: every effect between two pictures, with the effect
// number and progress on screen; the left button steps to the next effect,
// the right button back.
void TestTransitionScene(platform::WindowHandle window);
// Points on a turning sphere projected to the screen, with their numbers.
void TestProjectionScene(platform::WindowHandle window);
// A sprite turning and scaling over two backgrounds.
void TestRotateScene(platform::WindowHandle window);
// Glyphs and the five blit kinds side by side.
void TestFontScene(platform::WindowHandle window);
// A mock-up of the message window with sprites and a typed line of text.
void TestMessageScene(platform::WindowHandle window);
// A background drawn with an additive blend that pulses.
void TestBlendScene(platform::WindowHandle window);
// A picture copied to the screen.
void TestCopyScene(platform::WindowHandle window);
// A timed sequence of pictures, cross-fades, mask wipes and blends.
void TestDemoSequence(platform::WindowHandle window);

// Frees every scene's state; the next call of a scene starts it afresh.
void EndTestScenes();

// The effect and progress the transition viewer shows (for its caption).
struct TransitionViewerState {
    int effect = 0;
    int progress = 0;
};
TransitionViewerState GetTransitionViewerState();
