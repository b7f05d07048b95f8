// Helpers for the drawing tests: images of a chosen renderer class and a
// pinned vector level, restored when the test ends.
#pragma once

#include "gfx/BlitKernels.h"
#include "gfx/Dib.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

namespace gfx_test {

enum class Kind { Plain, Mmx };

// Images made while this lives get the renderer class of `kind`.
class ScopedRendererClass {
public:
    explicit ScopedRendererClass(Kind kind) : saved_(g_cpuRendererClass) {
        g_cpuRendererClass = kind == Kind::Plain ? 2 : 4;
    }
    ~ScopedRendererClass() { g_cpuRendererClass = saved_; }

private:
    int saved_;
};

class ScopedSimdLevel {
public:
    explicit ScopedSimdLevel(blit_kernels::mmx::SimdLevel level)
        : saved_(blit_kernels::mmx::ActiveLevel()) {
        blit_kernels::mmx::SetActiveLevel(level);
    }
    ~ScopedSimdLevel() { blit_kernels::mmx::SetActiveLevel(saved_); }

private:
    blit_kernels::mmx::SimdLevel saved_;
};

inline std::unique_ptr<CDib> MakeDib(Kind kind, int w, int h, std::uint32_t fill = 0) {
    ScopedRendererClass cls(kind);
    auto d = std::make_unique<CDib>();
    d->Create(platform::WindowHandle::Main, w, h, 24);
    d->FillRect(0, 0, w, h, fill);
    return d;
}

// An image whose pixels are given row after row.
inline std::unique_ptr<CDib> MakeDib(Kind kind, int w, int h,
                                     std::initializer_list<std::uint32_t> pixels) {
    auto d = MakeDib(kind, w, h);
    int i = 0;
    for (std::uint32_t p : pixels) {
        *d->GetPixelPtr(i % w, i / w) = p;
        ++i;
    }
    return d;
}

inline std::vector<std::uint32_t> Pixels(const CDib& d) {
    const std::uint32_t* b = d.GetBits();
    return b ? std::vector<std::uint32_t>(b, b + static_cast<size_t>(d.GetWidth()) * d.GetHeight())
             : std::vector<std::uint32_t>{};
}

inline std::vector<std::uint32_t> Row(const CDib& d, int y) {
    const std::uint32_t* p = d.GetPixelPtr(0, y);
    return std::vector<std::uint32_t>(p, p + d.GetWidth());
}

} // namespace gfx_test
