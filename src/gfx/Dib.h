// Image surface: a 32-bit picture held top row first (pitch = width * 4),
// pixel word 0xAARRGGBB stored little-endian (blue, green, red, fourth
// byte), with a colour key. The pixels and every blit into this image belong
// to its renderer (DibRenderer.h), which the image owns.
#pragma once

#include "gfx/DibRenderer.h"
#include "gfx/DibTypes.h"
#include "platform/Platform.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The pixels of an image made with kDibSectionFlag, as the window system
// sees them: top row first, `width` pixels a row. Empty for an image in plain
// memory or without pixels.
struct DibBitmap {
    std::span<std::uint32_t> pixels;
    int width = 0;
    int height = 0;
    explicit operator bool() const { return !pixels.empty(); }
};

// A drawing context over a section's pixels: whoever holds one may copy
// rectangles into the image through it, and copy the image out (the paint
// step does). It is a view, valid while the image keeps its pixels, and is
// released when it goes out of scope; the image owns the pixels throughout.
class CDibDC {
public:
    explicit CDibDC(DibBitmap bitmap) : bitmap_(bitmap) {}
    const DibBitmap& Bitmap() const { return bitmap_; }
    // Copies (sx, sy, w, h) of `src` to (dx, dy) of this context, clipped to
    // both pictures, whole 32-bit pixels as they are.
    void BitBlt(int dx, int dy, int w, int h, const DibBitmap& src, int sx, int sy);

private:
    DibBitmap bitmap_;
};

// Load status of an image.
enum DibState : int { kDibStateNew = 1, kDibStateLoaded = 3, kDibStateLoadFailed = 4 };

class CDib {
public:
    CDib();
    virtual ~CDib();
    CDib(const CDib&) = delete;
    CDib& operator=(const CDib&) = delete;

    // Makes a blank width x height image (each cut to 16 bits), zeroed, and
    // sets the colour key to pure green. Always 32 bits per pixel whatever
    // `bitsPerPixel` says. A zero size leaves the image without pixels; the
    // result is true all the same.
    bool Create(platform::WindowHandle window, int width, int height, int bitsPerPixel);

    // Loads a Windows bitmap (1, 4, 8, 16, 24 or 32 bits) by a name relative
    // to the current directory, or absolute when its second character is ':'.
    // False when the file is missing or refused; the image is then unchanged.
    bool LoadFile(platform::WindowHandle window, const char* name);
    // 0 success (state 3), 1 failure (state 4).
    virtual int Open(const std::string& name);
    // Reads a bitmap file into a packed bitmap: the 40-byte header (biSize
    // 40, no colour count), the full colour table, then the pixel rows as the
    // file stores them. Rows the file does not hold are left out (read as
    // zero when converted). Empty when the file is missing or refused.
    virtual std::vector<std::uint8_t> Load(const std::string& name);
    // 0 converted, 1 no block, 2 refused.
    virtual int CreateFromDib(std::vector<std::uint8_t> block, int unused = 0);

    // Fills (x, y, w, h), clipped to the image; colour 0xFFFFFFFF means the
    // fill colour. False without pixels.
    bool FillRect(int x, int y, int w, int h, std::uint32_t colour);
    // The same through a rectangle; null fills the whole image.
    void Fill(std::uint32_t colour, const DibRect* rect);

    std::uint32_t* GetPixelPtr(int x, int y) { return renderer_->GetPixelPtr(x, y); }
    // Readers take the renderer's const side: the writable side counts as
    // drawing (CDibRenderer::TakeDrawn).
    const std::uint32_t* GetPixelPtr(int x, int y) const { return Renderer().GetPixelPtr(x, y); }
    std::uint32_t* GetBits() { return renderer_->GetBits(); }
    const std::uint32_t* GetBits() const { return Renderer().GetBits(); }
    int GetWidth() const { return renderer_->GetWidth(); }
    int GetHeight() const { return renderer_->GetHeight(); }
    int GetPitch() const { return renderer_->GetPitch(); }
    void GetSize(int* w, int* h) const { renderer_->GetSize(w, h); }
    const DibRect& GetRect() const { return renderer_->GetRect(); }
    bool IntersectRect(DibRect* out, const DibRect* r) const {
        return renderer_->IntersectRect(out, r);
    }
    // biBitCount of the last bitmap loaded (0 before any).
    int GetBitCount() const { return bitCount_; }

    int CreateSurface(int w, int h) { return renderer_->Create(w, h); }
    int Resize(int w, int h) { return renderer_->Resize(w, h); }
    int Destroy() { return renderer_->Destroy(); }

    int SetColorKey(int r, int g, int b) { return renderer_->SetColorKey(r, g, b); }
    void SetColorKeyValue(std::uint32_t v) { renderer_->SetColorKeyValue(v); }
    int SetColorKeyFromPixel(int x, int y) { return renderer_->SetColorKeyFromPixel(x, y); }
    std::uint32_t GetColorKey() const { return renderer_->GetColorKey(); }
    void SetPixel(int x, int y, std::uint32_t colour) { renderer_->SetPixel(x, y, colour); }
    std::uint32_t GetPixel(int x, int y) const { return renderer_->GetPixel(x, y); }
    void SetFillColor(std::uint32_t c) { renderer_->SetFillColor(c); }
    std::uint32_t GetFillColor() const { return renderer_->GetFillColor(); }

    // Flag bits must be set before Create to take effect (kDibSectionFlag).
    void SetFlags(std::uint32_t bits) { renderer_->SetFlags(bits); }
    void ClearFlags(std::uint32_t bits) { renderer_->ClearFlags(bits); }
    std::uint32_t GetFlags() const { return renderer_->GetFlags(); }
    bool TestFlags(std::uint32_t bits) const { return renderer_->TestFlags(bits); }

    int GetState() const { return state_; }
    void SetState(int s) { state_ = s; }
    // First row the interlaced transitions draw (0 or 1); they flip it.
    int GetInterlaceParity() const { return interlaceParity_; }
    void SetInterlaceParity(int p) { interlaceParity_ = p; }

    // The section's pixels and a drawing context over them; nothing for an
    // image in plain memory (made without kDibSectionFlag) or without pixels.
    DibBitmap GetBitmap();
    std::optional<CDibDC> GetDC();

    CDibRenderer& Renderer() { return *renderer_; }
    const CDibRenderer& Renderer() const { return *renderer_; }

    // ------------------------------------------------------------ blits into this image

    int BltKeyed(const CDib* src, int dx, int dy, const DibRect* srcRect, const DibSize* dstSize,
                 DibRect* clip) {
        return renderer_->BltKeyed(src, dx, dy, srcRect, dstSize, clip);
    }
    int Blt(const CDib* src, int dx, int dy, const DibRect* srcRect, const DibSize* dstSize,
            DibRect* clip) {
        return renderer_->Blt(src, dx, dy, srcRect, dstSize, clip);
    }
    int BltAlpha(const CDib* src, int dx, int dy, const DibRect* srcRect, const DibSize* dstSize,
                 DibRect* clip) {
        return renderer_->BltAlpha(src, dx, dy, srcRect, dstSize, clip);
    }
    int BltBlend(const CDib* src, int dx, int dy, std::uint32_t dstFactor, std::uint32_t srcFactor,
                 const DibRect* srcRect, const DibSize* dstSize, DibRect* clip) {
        return renderer_->BltBlend(src, dx, dy, dstFactor, srcFactor, srcRect, dstSize, clip);
    }
    int BltAlphaBlend(const CDib* src, int dx, int dy, std::uint32_t dstFactor,
                      std::uint32_t srcFactor, const DibRect* srcRect, const DibSize* dstSize,
                      DibRect* clip) {
        return renderer_->BltAlphaBlend(src, dx, dy, dstFactor, srcFactor, srcRect, dstSize, clip);
    }

    int QuadBltKeyed(const CDib* src, const DibQuad& sq, const DibQuad& dq, const DibRect* clip,
                     int flag) {
        return renderer_->QuadBltKeyed(src, sq, dq, clip, flag);
    }
    int QuadBltKeyedFromRect(const CDib* src, const DibRect* sr, const DibQuad& dq,
                             const DibRect* clip) {
        return renderer_->QuadBltKeyedFromRect(src, sr, dq, clip);
    }
    int QuadBltKeyedToRect(const CDib* src, const DibQuad& sq, const DibRect* dr,
                           const DibRect* clip) {
        return renderer_->QuadBltKeyedToRect(src, sq, dr, clip);
    }
    int QuadBlt(const CDib* src, const DibQuad& sq, const DibQuad& dq, const DibRect* clip,
                int flag) {
        return renderer_->QuadBlt(src, sq, dq, clip, flag);
    }
    int QuadBltFromRect(const CDib* src, const DibRect* sr, const DibQuad& dq,
                        const DibRect* clip) {
        return renderer_->QuadBltFromRect(src, sr, dq, clip);
    }
    int QuadBltToRect(const CDib* src, const DibQuad& sq, const DibRect* dr, const DibRect* clip) {
        return renderer_->QuadBltToRect(src, sq, dr, clip);
    }
    int QuadBltKeyedBlend(const CDib* src, const DibQuad& sq, const DibQuad& dq, std::uint32_t df,
                          std::uint32_t sf, const DibRect* clip, int flag) {
        return renderer_->QuadBltKeyedBlend(src, sq, dq, df, sf, clip, flag);
    }
    int QuadBltKeyedBlendFromRect(const CDib* src, const DibRect* sr, const DibQuad& dq,
                                  std::uint32_t df, std::uint32_t sf, const DibRect* clip) {
        return renderer_->QuadBltKeyedBlendFromRect(src, sr, dq, df, sf, clip);
    }
    int QuadBltKeyedBlendToRect(const CDib* src, const DibQuad& sq, const DibRect* dr,
                                std::uint32_t df, std::uint32_t sf, const DibRect* clip) {
        return renderer_->QuadBltKeyedBlendToRect(src, sq, dr, df, sf, clip);
    }
    int QuadBltBlend(const CDib* src, const DibQuad& sq, const DibQuad& dq, std::uint32_t df,
                     std::uint32_t sf, const DibRect* clip, int flag) {
        return renderer_->QuadBltBlend(src, sq, dq, df, sf, clip, flag);
    }
    int QuadBltBlendFromRect(const CDib* src, const DibRect* sr, const DibQuad& dq,
                             std::uint32_t df, std::uint32_t sf, const DibRect* clip) {
        return renderer_->QuadBltBlendFromRect(src, sr, dq, df, sf, clip);
    }
    int QuadBltBlendToRect(const CDib* src, const DibQuad& sq, const DibRect* dr, std::uint32_t df,
                           std::uint32_t sf, const DibRect* clip) {
        return renderer_->QuadBltBlendToRect(src, sq, dr, df, sf, clip);
    }

    int RotZoomBltKeyed(const CDib* src, const DibRect* sr, int x, int y, int angle, int scale,
                        int anchor, const DibRect* clip) {
        return renderer_->RotZoomBltKeyed(src, sr, x, y, angle, scale, anchor, clip);
    }
    int RotZoomBlt(const CDib* src, const DibRect* sr, int x, int y, int angle, int scale,
                   int anchor, const DibRect* clip) {
        return renderer_->RotZoomBlt(src, sr, x, y, angle, scale, anchor, clip);
    }
    int RotZoomBltKeyedBlend(const CDib* src, const DibRect* sr, int x, int y, int angle,
                             std::uint32_t df, std::uint32_t sf, int scale, int anchor,
                             const DibRect* clip) {
        return renderer_->RotZoomBltKeyedBlend(src, sr, x, y, angle, df, sf, scale, anchor, clip);
    }
    int RotZoomBltBlend(const CDib* src, const DibRect* sr, int x, int y, int angle,
                        std::uint32_t df, std::uint32_t sf, int scale, int anchor,
                        const DibRect* clip) {
        return renderer_->RotZoomBltBlend(src, sr, x, y, angle, df, sf, scale, anchor, clip);
    }
    int NullBlt(int a, int b, int c, int d, int e, int f) {
        return renderer_->NullBlt(a, b, c, d, e, f);
    }
    int DisplaceBlt(const CDib* src, const CDisplacementMap* map, int dx, int dy, const DibRect* sr,
                    DibRect* clip) {
        return renderer_->DisplaceBlt(src, map, dx, dy, sr, clip);
    }

    // Plain copy of this image's (sx, sy, w, h) into dst at (dx, dy).
    bool BltTo(CDib* dst, int dx, int dy, int sx, int sy, int w, int h) const;
    // Cross-fade into this image at (dx, dy): base's rectangle, then over's
    // rectangle blended on with weight alpha (0 nothing; 256 and more: over's
    // rectangle copied). The flag is not read.
    bool BltBlendEx(const CDib* base, int dx, int dy, const CDib* over, int sx, int sy, int w,
                    int h, int alpha, int flag);

private:
    int interlaceParity_ = 0;
    int bitCount_ = 0;
    std::unique_ptr<CDibRenderer> renderer_;
    int state_ = kDibStateNew;
};

// The shared surfaces. `cdib` owns the 64 work surfaces ([0] the scene on
// screen, [1] the next scene being prepared): whoever replaces an entry
// resets the old one; shut-down frees what is left. `g_backBuffer` is the
// 800x600 picture the platform layer presents every frame; `g_menuSnapshot`
// is the copy of the game picture taken before a menu screen opens.
extern std::array<std::unique_ptr<CDib>, 64> cdib;
extern std::unique_ptr<CDib> g_backBuffer;
extern std::unique_ptr<CDib> g_menuSnapshot;
// Mask picture read by the mask transitions; the 800x600 copy of the screen
// kept by the message-text code; the page of full-screen message text (also
// the source of the save screenshot).
extern std::unique_ptr<CDib> g_maskImage;
extern std::unique_ptr<CDib> g_backupSurface;
extern std::unique_ptr<CDib> g_fullPage;
