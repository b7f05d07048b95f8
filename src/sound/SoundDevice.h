// The one sound device of the process. It is a static global that exists from
// start-up without output; the window's creation connects it to the platform's
// audio device, and without one every channel stays silent.
#pragma once

#include "platform/Audio.h"
#include "platform/Platform.h"

#include <memory>

class CSoundDevice {
public:
    CSoundDevice() = default;
    ~CSoundDevice() = default;
    CSoundDevice(const CSoundDevice&) = delete;
    CSoundDevice& operator=(const CSoundDevice&) = delete;

    // Opens the output (44,100 Hz, 16-bit, stereo); true when it is open.
    bool Create(platform::WindowHandle window);
    // Ends the output after every channel is gone (shut-down).
    void Close();
    // The open output, or null: the game then runs silent.
    platform::AudioDevice* GetDirectSound() const { return device_.get(); }
    // Owner of the channels' error boxes.
    platform::WindowHandle GetWindow() const { return window_; }
    void SetWindow(platform::WindowHandle window) { window_ = window; }

private:
    std::unique_ptr<platform::AudioDevice> device_;
    platform::WindowHandle window_ = platform::WindowHandle::None;
};

extern CSoundDevice g_soundDevice;

// Connects g_soundDevice to the output for `window`. On failure it tells the
// player once and returns false; the game then goes on without sound.
bool InitDirectSound(platform::WindowHandle window);
