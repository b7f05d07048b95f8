// The plain renderer class: 32-bit integer kernels.
#include "gfx/Dib.h"
#include "gfx/DibRenderer.h"

namespace bk = blit_kernels;

int CDibRendererX86::BltKeyed(const CDib* src, int dx, int dy, const DibRect* srcRect,
                              const DibSize* dstSize, DibRect* clip) {
    const bk::RowArgs args{src ? src->GetColorKey() : 0, 0, 0};
    return RunBlit(src, dx, dy, srcRect, dstSize, clip, bk::KeyedRow, args);
}

int CDibRendererX86::Blt(const CDib* src, int dx, int dy, const DibRect* srcRect,
                         const DibSize* dstSize, DibRect* clip) {
    return RunBlit(src, dx, dy, srcRect, dstSize, clip, nullptr, {});
}

int CDibRendererX86::BltAlpha(const CDib* src, int dx, int dy, const DibRect* srcRect,
                              const DibSize* dstSize, DibRect* clip) {
    return RunBlit(src, dx, dy, srcRect, dstSize, clip, bk::plain::AlphaRow, {});
}

int CDibRendererX86::BltBlend(const CDib* src, int dx, int dy, std::uint32_t dstFactor,
                              std::uint32_t srcFactor, const DibRect* srcRect,
                              const DibSize* dstSize, DibRect* clip) {
    return RunBlit(src, dx, dy, srcRect, dstSize, clip, BlendKernel(), {0, dstFactor, srcFactor});
}

int CDibRendererX86::BltAlphaBlend(const CDib* src, int dx, int dy, std::uint32_t dstFactor,
                                   std::uint32_t srcFactor, const DibRect* srcRect,
                                   const DibSize* dstSize, DibRect* clip) {
    return RunBlit(src, dx, dy, srcRect, dstSize, clip, bk::plain::AlphaBlendRow,
                   {0, dstFactor, srcFactor});
}

bk::RowFn CDibRendererX86::BlendKernel() const {
    return bk::plain::BlendRow;
}
