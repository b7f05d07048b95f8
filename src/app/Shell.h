// The process shell: single-instance guard, the main window's start-up and
// shut-down, event dispatch, the idle-driven loop and presentation.
#pragma once

#include "platform/Platform.h"

#include <string>

extern const char g_windowClassName[3];  // also the single-instance name
extern const char g_windowTitle[];

// The whole program: returns the exit code.
int WinMain();

// First instance: true. A later one asks the first to raise its window and
// gets false.
bool EnsureSingleInstance(const std::string& lockName);

// Start-up in the order of the window's creation message.
void OnCreate(platform::WindowHandle window);
// Shut-down in the order of the window's destruction message.
void OnDestroy();
// Copies the back buffer to the window, shifted by the screen quake.
void OnPaint();
// For tests: each paint also compares the whole back buffer with what the
// region of drawing left shown, and counts the paints where a change went
// unnoted (pixels written past the drawing calls that note them).
void CheckDrawnRegions(bool on);
int UndrawnChanges();
// The last paint that reached the compare found the picture unchanged.
bool PictureStill();
// One input event, as the window procedure handles it.
void WndProc(const platform::Event& e);

enum class LoopStep { Continue, Quit };
// One pass of the main loop: an event, else a pending paint, else a frame.
LoopStep PumpOnce();

// Asks for the window to close after the current frame (no question asked).
void DestroyWindow(platform::WindowHandle window);
bool QuitRequested();
// Marks the window for one paint after the frame.
void InvalidateRect(platform::WindowHandle window, const platform::Rect& rect);
bool PaintPending();

// 1 when every folder of the path exists or was made, 0 otherwise.
int CreateFolderTree(const std::string& path);
