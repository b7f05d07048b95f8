// Image surface: a 32-bit picture held top row first (pitch = width * 4),
// pixel word 0xAARRGGBB stored little-endian, with a colour key.
#pragma once

#include "platform/Platform.h"

#include <cstdint>
#include <vector>

class CDib {
public:
    CDib();
    ~CDib();
    CDib(const CDib&) = delete;
    CDib& operator=(const CDib&) = delete;

    // Makes a blank width x height image (each cut to 16 bits); the pixels are
    // not cleared. Always 32 bits per pixel whatever `bitsPerPixel` says.
    bool Create(platform::WindowHandle window, int width, int height, int bitsPerPixel);
    // Colour 0xFFFFFFFF means the fill-colour field. False without pixels.
    bool FillRect(int x, int y, int w, int h, std::uint32_t colour);

    std::uint32_t* GetPixelPtr(int x, int y);
    const std::uint32_t* GetPixelPtr(int x, int y) const;
    std::uint32_t* GetBits() { return pixels_.empty() ? nullptr : pixels_.data(); }
    const std::uint32_t* GetBits() const { return pixels_.empty() ? nullptr : pixels_.data(); }
    int GetWidth() const { return width_; }
    int GetHeight() const { return height_; }
    int GetPitch() const { return width_ * 4; }

    void SetFlags(std::uint32_t bits) { flags_ |= bits; }
    std::uint32_t GetFlags() const { return flags_; }

    // First row (0 or 1) of the next interlaced transition frame drawn from
    // this picture; those transitions flip it after every frame.
    int GetInterlaceParity() const { return interlaceParity_; }
    void SetInterlaceParity(int parity) { interlaceParity_ = parity; }

private:
    std::vector<std::uint32_t> pixels_;
    int width_ = 0;
    int height_ = 0;
    std::uint32_t colorKey_ = 0x00FF00;
    std::uint32_t fillColor_ = 0;
    std::uint32_t flags_ = 0;
    int interlaceParity_ = 0;
};

#include <array>
#include <memory>

// The shared surfaces. `cdib` owns the 64 work surfaces: whoever replaces an
// entry resets the old one; shut-down frees what is left. `g_backBuffer` is
// the 800x600 picture shown every frame; `g_menuSnapshot` is the copy of the
// game picture taken before a menu screen opens.
extern std::array<std::unique_ptr<CDib>, 64> cdib;
extern std::unique_ptr<CDib> g_backBuffer;
extern std::unique_ptr<CDib> g_menuSnapshot;
// Mask picture read by the mask transitions; the 800x600 copy of the screen
// kept by the message-text code; the page of full-screen message text.
extern std::unique_ptr<CDib> g_maskImage;
extern std::unique_ptr<CDib> g_backupSurface;
extern std::unique_ptr<CDib> g_fullPage;
