// The renderer of an image: it holds the pixels and carries out every blit
// whose destination is that image. Its two classes, the plain class with
// 32-bit integer kernels and the MMX class (vector kernels), differ only in
// the kernel table the renderer is made with (the arithmetic of per-pixel
// alpha and alpha-with-opacity, both kept exactly). Which table an image
// gets is decided once per run from the processor (GetCpuRendererClass).
#pragma once

#include "gfx/BlitKernels.h"
#include "gfx/DibTypes.h"

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

class CDib;
class CDisplacementMap;

// Flag bit asking for a store the window system can draw from (the back
// buffer): such an image hands out its pixels and a drawing context over them
// (CDib::GetBitmap, CDib::GetDC). The pixels are plain memory either way.
inline constexpr std::uint32_t kDibSectionFlag = 0x80000000u;

// Results of CreateFromDib.
enum DibConvertResult : int {
    kDibConverted = 0,
    kDibNoBlock = 1,     // no block, or no memory for the pixels
    kDibUnsupported = 2, // refused header (depth, size, compression, short block)
};

// Results of ClipBlt.
enum ClipResult : int { kClipDraw = 0, kClipNothing = 1, kClipSourceOutside = 2 };

// 1 no CPUID, 2 no MMX, 3 MMX, 4 MMX and CMOV; asked once and cached in
// g_cpuRendererClass (0 = not asked yet; tests may set it to pick a class).
int GetCpuRendererClass();
extern int g_cpuRendererClass;

class CDibRenderer final {
public:
    // `kernels` gives the table of the renderer's class: plain::Kernels or
    // mmx::ActiveKernels.
    explicit CDibRenderer(blit_kernels::KernelTable kernels) : kernels_(kernels) {}
    CDibRenderer(const CDibRenderer&) = delete;
    CDibRenderer& operator=(const CDibRenderer&) = delete;

    // ------------------------------------------------------------ pixel store

    // Converts a packed bitmap (40-byte header, colour table, pixel rows as
    // CDib::Load makes them) into this store; re-creates the store when the
    // size differs. A refused block leaves the store untouched.
    int CreateFromDib(std::span<const std::uint8_t> block);
    int Create(int w, int h);
    // Releases the store and makes a zeroed one of w x h (none when either is
    // 0 or less, or memory runs out). Always 1.
    int CreateDibSection(int w, int h);
    // 0 when the size is already w x h, else re-creates (1).
    int Resize(int w, int h);
    int Destroy();
    // 1 without pixels, else 0. Colour 0xFFFFFFFF takes the fill colour; a
    // null rectangle fills everything; the rectangle is clipped to the image.
    int Fill(std::uint32_t colour, const DibRect* rect);

    void GetSize(int* w, int* h) const;
    int GetWidth() const { return rect_.right; }
    int GetHeight() const { return rect_.bottom; }
    int GetPitch() const { return rect_.right * 4; }
    const DibRect& GetRect() const { return rect_; }
    // Intersection of the image rectangle with r (the image rectangle when r
    // is null); false when it is empty.
    bool IntersectRect(DibRect* out, const DibRect* r) const;
    // Writable pixels handed out count as all of the picture drawn (see
    // TakeDrawn); readers go through the const overloads.
    std::uint32_t* GetBits() {
        NoteAllDrawn();
        return bits_;
    }
    const std::uint32_t* GetBits() const { return bits_; }
    std::uint32_t* Row(int y) {
        NoteAllDrawn();
        return RowAt(y);
    }
    const std::uint32_t* Row(int y) const {
        return bits_ + static_cast<std::ptrdiff_t>(y) * rect_.right;
    }

    // The part of the picture that may have changed since the last call:
    // the union of what every drawing call covered, all of it after the
    // picture was made again or its pixels were handed out for writing.
    // The paint step compares only this with what the window shows, so a
    // waiting screen that redraws nothing, or one button, costs nothing or
    // one button's worth.
    DibRect TakeDrawn() { return std::exchange(drawn_, DibRect{}); }
    void NoteDrawn(const DibRect& r);
    // A writable row for drawing that noted what it covers first.
    std::uint32_t* RowAt(int y) { return bits_ + static_cast<std::ptrdiff_t>(y) * rect_.right; }

    int SetColorKey(int r, int g, int b);
    void SetColorKeyValue(std::uint32_t v) { colorKey_ = v & 0xFFFFFF; }
    int SetColorKeyFromPixel(int x, int y);
    std::uint32_t GetColorKey() const { return colorKey_; }
    void SetFillColor(std::uint32_t c) { fillColor_ = c; }
    std::uint32_t GetFillColor() const { return fillColor_; }

    std::uint32_t* GetPixelPtr(int x, int y);
    const std::uint32_t* GetPixelPtr(int x, int y) const;
    std::uint32_t GetPixel(int x, int y) const;
    void SetPixel(int x, int y, std::uint32_t colour);

    void SetFlags(std::uint32_t bits) { flags_ |= bits; }
    void ClearFlags(std::uint32_t bits) { flags_ &= ~bits; }
    std::uint32_t GetFlags() const { return flags_; }
    bool TestFlags(std::uint32_t bits) const { return (flags_ & bits) != 0; }

    // ------------------------------------------------------------ rectangle blits

    // Clips a blit of src's srcRect (null = whole source) placed at (dx, dy)
    // and stretched to dstSize (null or equal = unscaled) against clip (null =
    // the whole destination; clamped to the destination in place), and sets
    // up the stepping of a stretched blit.
    int ClipBlt(const CDib* src, int dx, int dy, const DibRect* srcRect, const DibSize* dstSize,
                DibRect* clip);

    // A rectangle blit placed in 64 bits, for callers that work their
    // positions out in 64 bits and may land far outside either image: the
    // destination top-left, the source rectangle, and the destination size
    // (equal to the source size: unscaled).
    struct Placement {
        long long dx = 0, dy = 0;
        long long sl = 0, st = 0, sr = 0, sb = 0;
        long long dw = 0, dh = 0;
    };
    // The clip stepping of a stretch multiplies a clipped-off width by the
    // source width; a cap holds that product (and an overflow) at the cap,
    // which 64-bit callers choose. The int blits pass kExactProduct: their
    // products always fit in 64 bits, so they stay exact.
    static constexpr long long kExactProduct = 0x7FFFFFFFFFFFFFFFLL;
    // ClipBlt with a 64-bit placement.
    int ClipPlaced(const CDib* src, const Placement& p, DibRect* clip,
                   long long productCap = kExactProduct);
    // Plain copy and constant blend (as BltBlend) with a 64-bit placement.
    int BltPlaced(const CDib* src, const Placement& p, DibRect* clip, long long productCap);
    int BltBlendPlaced(const CDib* src, const Placement& p, std::uint32_t dstFactor,
                       std::uint32_t srcFactor, DibRect* clip, long long productCap);
    // The source and destination rectangles the last clip that drew left.
    const DibRect& ClippedSource() const { return blit_.src; }
    const DibRect& ClippedDestination() const { return blit_.dst; }

    int BltKeyed(const CDib* src, int dx, int dy, const DibRect* srcRect, const DibSize* dstSize,
                 DibRect* clip);
    int Blt(const CDib* src, int dx, int dy, const DibRect* srcRect, const DibSize* dstSize,
            DibRect* clip);
    int BltAlpha(const CDib* src, int dx, int dy, const DibRect* srcRect, const DibSize* dstSize,
                 DibRect* clip);
    int BltBlend(const CDib* src, int dx, int dy, std::uint32_t dstFactor, std::uint32_t srcFactor,
                 const DibRect* srcRect, const DibSize* dstSize, DibRect* clip);
    int BltAlphaBlend(const CDib* src, int dx, int dy, std::uint32_t dstFactor,
                      std::uint32_t srcFactor, const DibRect* srcRect, const DibSize* dstSize,
                      DibRect* clip);

    // ------------------------------------------------------------ quads (shared by both classes)

    // Maps srcQuad onto dstQuad. flag 0: a row's first and last pixels sample
    // the two edges' source positions exactly; 1: the step is the row's width
    // divided into the edge span. 0 drawn (or nothing to draw), 1 twisted shape.
    int QuadBltKeyed(const CDib* src, const DibQuad& srcQuad, const DibQuad& dstQuad,
                     const DibRect* clip, int flag);
    int QuadBltKeyedFromRect(const CDib* src, const DibRect* srcRect, const DibQuad& dstQuad,
                             const DibRect* clip);
    int QuadBltKeyedToRect(const CDib* src, const DibQuad& srcQuad, const DibRect* dstRect,
                           const DibRect* clip);
    int QuadBlt(const CDib* src, const DibQuad& srcQuad, const DibQuad& dstQuad,
                const DibRect* clip, int flag);
    int QuadBltFromRect(const CDib* src, const DibRect* srcRect, const DibQuad& dstQuad,
                        const DibRect* clip);
    int QuadBltToRect(const CDib* src, const DibQuad& srcQuad, const DibRect* dstRect,
                      const DibRect* clip);
    int QuadBltKeyedBlend(const CDib* src, const DibQuad& srcQuad, const DibQuad& dstQuad,
                          std::uint32_t dstFactor, std::uint32_t srcFactor, const DibRect* clip,
                          int flag);
    int QuadBltKeyedBlendFromRect(const CDib* src, const DibRect* srcRect, const DibQuad& dstQuad,
                                  std::uint32_t dstFactor, std::uint32_t srcFactor,
                                  const DibRect* clip);
    int QuadBltKeyedBlendToRect(const CDib* src, const DibQuad& srcQuad, const DibRect* dstRect,
                                std::uint32_t dstFactor, std::uint32_t srcFactor,
                                const DibRect* clip);
    int QuadBltBlend(const CDib* src, const DibQuad& srcQuad, const DibQuad& dstQuad,
                     std::uint32_t dstFactor, std::uint32_t srcFactor, const DibRect* clip,
                     int flag);
    int QuadBltBlendFromRect(const CDib* src, const DibRect* srcRect, const DibQuad& dstQuad,
                             std::uint32_t dstFactor, std::uint32_t srcFactor, const DibRect* clip);
    int QuadBltBlendToRect(const CDib* src, const DibQuad& srcQuad, const DibRect* dstRect,
                           std::uint32_t dstFactor, std::uint32_t srcFactor, const DibRect* clip);

    // ------------------------------------------------------------ rotate and zoom

    // Angle in degrees (positive turns anticlockwise on the screen), scale
    // 16.16 (65,536 = 100 %), anchor 0 top-left, 1 top-right, 2 bottom-left,
    // 3 bottom-right, 4 centre. 0 when the quad cannot be made, else the
    // result of the quad blit.
    int RotZoomBltKeyed(const CDib* src, const DibRect* srcRect, int x, int y, int angle, int scale,
                        int anchor, const DibRect* clip);
    int RotZoomBlt(const CDib* src, const DibRect* srcRect, int x, int y, int angle, int scale,
                   int anchor, const DibRect* clip);
    int RotZoomBltKeyedBlend(const CDib* src, const DibRect* srcRect, int x, int y, int angle,
                             std::uint32_t dstFactor, std::uint32_t srcFactor, int scale,
                             int anchor, const DibRect* clip);
    int RotZoomBltBlend(const CDib* src, const DibRect* srcRect, int x, int y, int angle,
                        std::uint32_t dstFactor, std::uint32_t srcFactor, int scale, int anchor,
                        const DibRect* clip);
    // 0 made, 1 nothing to draw, -1 no source image.
    static int ComputeRotZoomQuad(DibQuad* out, const CDib* src, const DibRect* srcRect, int x,
                                  int y, int angle, int scale, int anchor);

    int NullBlt(int, int, int, int, int, int) { return 0; }

    // Draws src's srcRect (null = whole) at (dx, dy), each destination pixel
    // read from its own place in the rectangle moved by the map's pair for
    // that place. Pixels whose source falls outside the source image are left.
    int DisplaceBlt(const CDib* src, const CDisplacementMap* map, int dx, int dy,
                    const DibRect* srcRect, DibRect* clip);

private:
    // What ClipBlt leaves for the kernel of the same call.
    struct BlitState {
        DibRect src; // clipped source rectangle (right/bottom as given when scaled)
        DibRect dst; // clipped destination rectangle
        bool unscaled = true;
        long long qx = 0, rx = 0, qy = 0,
                  ry = 0;         // whole and remainder source steps per pixel / row
        long long ex = 0, ey = 0; // starting error terms
        long long dw = 0, dh = 0; // destination size of a stretched blit
    };

    // Clips and walks a rectangle blit and hands each row to fn (null = copy).
    int RunBlit(const CDib* src, int dx, int dy, const DibRect* srcRect, const DibSize* dstSize,
                DibRect* clip, blit_kernels::RowFn fn, const blit_kernels::RowArgs& args);
    // Walks the blit the last clip left.
    int DrawClipped(const CDib* src, blit_kernels::RowFn fn, const blit_kernels::RowArgs& args);

    blit_kernels::KernelTable kernels_;
    BlitState blit_;
    enum class QuadOp : std::uint8_t { Copy, Keyed, Blend, KeyedBlend };
    int QuadMap(const CDib* src, const DibQuad& srcQuad, const DibQuad& dstQuad,
                const DibRect* clip, int flag, QuadOp op, std::uint32_t dstFactor,
                std::uint32_t srcFactor);
    bool Allocate(int w, int h, std::vector<std::uint32_t>& out);
    void NoteAllDrawn() { drawn_ = rect_; }

    std::vector<std::uint32_t> store_; // the pixels, top row first, rows contiguous
    std::uint32_t* bits_ = nullptr;
    DibRect rect_{};
    std::uint32_t colorKey_ = kDefaultColorKey;
    std::uint32_t fillColor_ = 0;
    std::uint32_t flags_ = 0;
    // Working rows of a blit (gathered source row, source column table).
    std::vector<std::uint32_t> rowScratch_;
    std::vector<int> colScratch_;
    DibRect drawn_{}; // see TakeDrawn
};
