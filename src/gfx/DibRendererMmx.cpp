// The MMX renderer class, carried out with the widest vector kernels the
// processor runs (blit_kernels::mmx).
#include "gfx/Dib.h"
#include "gfx/DibRenderer.h"

namespace bk = blit_kernels;

namespace {
const bk::mmx::KernelSet& Active() {
    return bk::mmx::Kernels(bk::mmx::ActiveLevel());
}
} // namespace

int CDibRendererMmx::BltKeyed(const CDib* src, int dx, int dy, const DibRect* srcRect,
                              const DibSize* dstSize, DibRect* clip) {
    const bk::RowArgs args{src ? src->GetColorKey() : 0, 0, 0};
    return RunBlit(src, dx, dy, srcRect, dstSize, clip, Active().keyed, args);
}

int CDibRendererMmx::Blt(const CDib* src, int dx, int dy, const DibRect* srcRect,
                         const DibSize* dstSize, DibRect* clip) {
    return RunBlit(src, dx, dy, srcRect, dstSize, clip, nullptr, {});
}

int CDibRendererMmx::BltAlpha(const CDib* src, int dx, int dy, const DibRect* srcRect,
                              const DibSize* dstSize, DibRect* clip) {
    return RunBlit(src, dx, dy, srcRect, dstSize, clip, Active().alpha, {});
}

int CDibRendererMmx::BltBlend(const CDib* src, int dx, int dy, std::uint32_t dstFactor,
                              std::uint32_t srcFactor, const DibRect* srcRect,
                              const DibSize* dstSize, DibRect* clip) {
    return RunBlit(src, dx, dy, srcRect, dstSize, clip, BlendKernel(), {0, dstFactor, srcFactor});
}

int CDibRendererMmx::BltAlphaBlend(const CDib* src, int dx, int dy, std::uint32_t dstFactor,
                                   std::uint32_t srcFactor, const DibRect* srcRect,
                                   const DibSize* dstSize, DibRect* clip) {
    return RunBlit(src, dx, dy, srcRect, dstSize, clip, Active().alphaBlend,
                   {0, dstFactor, srcFactor});
}

bk::RowFn CDibRendererMmx::BlendKernel() const {
    return Active().blend;
}
