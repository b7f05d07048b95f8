// The hot blits on whole 800x600 surfaces, beside memcpy of the same bytes
// and, when they are installed, pixman and SDL2 doing the nearest equivalent
// operation on the same pixels. Bytes processed = destination bytes written.
#include "gfx/Blit.h"
#include "gfx/BlitKernels.h"
#include "gfx/Dib.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#if NORVANE_BENCH_PIXMAN
#include <pixman.h>
#endif
#if NORVANE_BENCH_SDL2
#include <SDL.h>
#endif

namespace {

constexpr int kW = 800, kH = 600;
constexpr std::int64_t kBytes = std::int64_t(kW) * kH * 4;

enum class AlphaMix { Random, Sprite };

// Colours at random; the fourth byte either uniformly random (every pixel
// takes the full arithmetic: the worst case) or as in a character sprite (an
// opaque ellipse over half the picture, clear around it, a soft edge between).
// Keyed runs turn a third of the pixels green.
std::unique_ptr<CDib> MakeSource(int w, int h, AlphaMix mix, bool keyed = false,
                                 int rendererClass = 4) {
    const int saved = g_cpuRendererClass;
    g_cpuRendererClass = rendererClass;
    auto d = std::make_unique<CDib>();
    g_cpuRendererClass = saved;
    d->Create(platform::WindowHandle::Main, w, h, 24);
    std::mt19937 rng(7);
    std::uint32_t* p = d->GetBits();
    for (int i = 0; i < w * h; ++i) {
        std::uint32_t a = rng() & 0xFF;
        if (mix == AlphaMix::Sprite) {
            const double ex = (i % w - w / 2) / (w * 0.4), ey = (i / w - h / 2) / (h * 0.45);
            const double r = std::sqrt(ex * ex + ey * ey);
            a = r < 0.95 ? 255 : r >= 1.0 ? 0 : static_cast<std::uint32_t>((1.0 - r) / 0.05 * 255);
        }
        p[i] = (a << 24) | (rng() & 0xFFFFFF);
        if (keyed && rng() % 3 == 0) p[i] = 0x0000FF00;
    }
    return d;
}

std::unique_ptr<CDib> MakeDest(int rendererClass = 4) {
    return MakeSource(kW, kH, AlphaMix::Random, false, rendererClass);
}

void Finish(benchmark::State& state) {
    state.SetBytesProcessed(state.iterations() * kBytes);
}

// ---------------------------------------------------------------- memcpy

void BM_Memcpy800x600(benchmark::State& state) {
    std::vector<std::uint32_t> a(kW * kH, 1), b(kW * kH, 2);
    for (auto _ : state) {
        std::memcpy(b.data(), a.data(), kBytes);
        benchmark::DoNotOptimize(b.data());
        benchmark::ClobberMemory();
    }
    Finish(state);
}
BENCHMARK(BM_Memcpy800x600);

// ---------------------------------------------------------------- ours

// range(0): 0 the MMX class at its best vector level, 1 the MMX class's
// scalar reference, 2 the plain class.
struct Setup {
    explicit Setup(const benchmark::State& state) : variant(static_cast<int>(state.range(0))) {
        saved = blit_kernels::mmx::ActiveLevel();
        blit_kernels::mmx::SetActiveLevel(variant == 1 ? blit_kernels::mmx::SimdLevel::Scalar
                                                       : blit_kernels::mmx::BestLevel());
    }
    ~Setup() { blit_kernels::mmx::SetActiveLevel(saved); }
    int Class() const { return variant == 2 ? 2 : 4; }
    int variant;
    blit_kernels::mmx::SimdLevel saved;
};

void Label(benchmark::State& state) {
    static const char* names[] = {"vector", "scalar-reference", "plain-class"};
    state.SetLabel(names[state.range(0)]);
}

void BM_Blit_Copy(benchmark::State& state) {
    Setup s(state);
    auto src = MakeSource(kW, kH, AlphaMix::Random, false, s.Class());
    auto dst = MakeDest(s.Class());
    for (auto _ : state) {
        BltCopy(dst.get(), 0, 0, src.get(), 0, 0, kW, kH);
        benchmark::ClobberMemory();
    }
    Label(state);
    Finish(state);
}
BENCHMARK(BM_Blit_Copy)->Arg(0);

void BM_Blit_Keyed(benchmark::State& state) {
    Setup s(state);
    auto src = MakeSource(kW, kH, AlphaMix::Random, true, s.Class());
    auto dst = MakeDest(s.Class());
    for (auto _ : state) {
        dst->BltKeyed(src.get(), 0, 0, nullptr, nullptr, nullptr);
        benchmark::ClobberMemory();
    }
    Label(state);
    Finish(state);
}
BENCHMARK(BM_Blit_Keyed)->Arg(0)->Arg(1);

void BM_Blit_Alpha(benchmark::State& state) {
    Setup s(state);
    auto src = MakeSource(kW, kH, static_cast<AlphaMix>(state.range(1)), false, s.Class());
    auto dst = MakeDest(s.Class());
    for (auto _ : state) {
        BltAlpha(dst.get(), 0, 0, src.get(), 0, 0, kW, kH);
        benchmark::ClobberMemory();
    }
    state.SetLabel(std::string(state.range(0) == 0   ? "vector"
                               : state.range(0) == 1 ? "scalar-reference"
                                                     : "plain-class") +
                   (state.range(1) == 0 ? " random-alpha" : " sprite-alpha"));
    Finish(state);
}
BENCHMARK(BM_Blit_Alpha)->Args({0, 0})->Args({0, 1})->Args({1, 0})->Args({2, 0});

void BM_Blit_Blend(benchmark::State& state) {
    Setup s(state);
    auto src = MakeSource(kW, kH, AlphaMix::Random, false, s.Class());
    auto dst = MakeDest(s.Class());
    for (auto _ : state) {
        BltStretchBlend(dst.get(), 0, 0, kW, kH, src.get(), 0, 0, 0, kW, kH, 128);
        benchmark::ClobberMemory();
    }
    Label(state);
    Finish(state);
}
BENCHMARK(BM_Blit_Blend)->Arg(0)->Arg(1)->Arg(2);

void BM_Blit_AlphaBlend(benchmark::State& state) {
    Setup s(state);
    auto src = MakeSource(kW, kH, AlphaMix::Random, false, s.Class());
    auto dst = MakeDest(s.Class());
    for (auto _ : state) {
        BltAlphaBlend(dst.get(), 0, 0, src.get(), 0, 0, kW, kH, 128);
        benchmark::ClobberMemory();
    }
    Label(state);
    Finish(state);
}
BENCHMARK(BM_Blit_AlphaBlend)->Arg(0)->Arg(1)->Arg(2);

void BM_Blit_StretchNearest(benchmark::State& state) {
    Setup s(state);
    auto src = MakeSource(kW / 2, kH / 2, AlphaMix::Random, false, s.Class());
    auto dst = MakeDest(s.Class());
    for (auto _ : state) {
        BltStretch(dst.get(), 0, 0, kW, kH, src.get(), 0, 0, kW / 2, kH / 2);
        benchmark::ClobberMemory();
    }
    Label(state);
    Finish(state);
}
BENCHMARK(BM_Blit_StretchNearest)->Arg(0);

// ---------------------------------------------------------------- pixman

#if NORVANE_BENCH_PIXMAN
struct PixmanImage {
    PixmanImage(CDib& d, pixman_format_code_t fmt)
        : image(pixman_image_create_bits(fmt, d.GetWidth(), d.GetHeight(), d.GetBits(),
                                         d.GetPitch())) {}
    ~PixmanImage() { pixman_image_unref(image); }
    pixman_image_t* image;
};

void BM_Pixman_Src(benchmark::State& state) {
    auto src = MakeSource(kW, kH, AlphaMix::Random);
    auto dst = MakeDest();
    PixmanImage s(*src, PIXMAN_a8r8g8b8), d(*dst, PIXMAN_a8r8g8b8);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_SRC, s.image, nullptr, d.image, 0, 0, 0, 0, 0, 0, kW,
                                 kH);
        benchmark::ClobberMemory();
    }
    Finish(state);
}
BENCHMARK(BM_Pixman_Src);

void BM_Pixman_Over(benchmark::State& state) {
    auto src = MakeSource(kW, kH, static_cast<AlphaMix>(state.range(0)));
    auto dst = MakeDest();
    PixmanImage s(*src, PIXMAN_a8r8g8b8), d(*dst, PIXMAN_a8r8g8b8);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, s.image, nullptr, d.image, 0, 0, 0, 0, 0, 0, kW,
                                 kH);
        benchmark::ClobberMemory();
    }
    state.SetLabel(state.range(0) == 0 ? "random-alpha" : "sprite-alpha");
    Finish(state);
}
BENCHMARK(BM_Pixman_Over)->Arg(0)->Arg(1);

void BM_Pixman_ConstantOver(benchmark::State& state) {
    auto src = MakeSource(kW, kH, AlphaMix::Random);
    auto dst = MakeDest();
    PixmanImage s(*src, PIXMAN_x8r8g8b8), d(*dst, PIXMAN_a8r8g8b8);
    const pixman_color_t half{0, 0, 0, 0x8080};
    pixman_image_t* mask = pixman_image_create_solid_fill(&half);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, s.image, mask, d.image, 0, 0, 0, 0, 0, 0, kW, kH);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(mask);
    Finish(state);
}
BENCHMARK(BM_Pixman_ConstantOver);

// Per-pixel alpha times a constant opacity: OVER through a solid mask.
void BM_Pixman_OverMasked(benchmark::State& state) {
    auto src = MakeSource(kW, kH, AlphaMix::Random);
    auto dst = MakeDest();
    PixmanImage s(*src, PIXMAN_a8r8g8b8), d(*dst, PIXMAN_a8r8g8b8);
    const pixman_color_t half{0, 0, 0, 0x8080};
    pixman_image_t* mask = pixman_image_create_solid_fill(&half);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, s.image, mask, d.image, 0, 0, 0, 0, 0, 0, kW, kH);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(mask);
    Finish(state);
}
BENCHMARK(BM_Pixman_OverMasked);

void BM_Pixman_NearestScale(benchmark::State& state) {
    auto src = MakeSource(kW / 2, kH / 2, AlphaMix::Random);
    auto dst = MakeDest();
    PixmanImage s(*src, PIXMAN_a8r8g8b8), d(*dst, PIXMAN_a8r8g8b8);
    pixman_transform_t t;
    pixman_transform_init_scale(&t, pixman_double_to_fixed(0.5), pixman_double_to_fixed(0.5));
    pixman_image_set_transform(s.image, &t);
    pixman_image_set_filter(s.image, PIXMAN_FILTER_NEAREST, nullptr, 0);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_SRC, s.image, nullptr, d.image, 0, 0, 0, 0, 0, 0, kW,
                                 kH);
        benchmark::ClobberMemory();
    }
    Finish(state);
}
BENCHMARK(BM_Pixman_NearestScale);
#endif

// ---------------------------------------------------------------- SDL2

#if NORVANE_BENCH_SDL2
struct SdlSurface {
    SdlSurface(CDib& d, Uint32 fmt)
        : surface(SDL_CreateRGBSurfaceWithFormatFrom(d.GetBits(), d.GetWidth(), d.GetHeight(), 32,
                                                     d.GetPitch(), fmt)) {}
    ~SdlSurface() { SDL_FreeSurface(surface); }
    SDL_Surface* surface;
};

void SdlRun(benchmark::State& state, SDL_Surface* s, SDL_Surface* d, bool scaled) {
    SDL_Rect to{0, 0, kW, kH};
    for (auto _ : state) {
        if (scaled)
            SDL_BlitScaled(s, nullptr, d, &to);
        else
            SDL_BlitSurface(s, nullptr, d, nullptr);
        benchmark::ClobberMemory();
    }
    Finish(state);
}

void BM_Sdl_Copy(benchmark::State& state) {
    auto src = MakeSource(kW, kH, AlphaMix::Random);
    auto dst = MakeDest();
    SdlSurface s(*src, SDL_PIXELFORMAT_ARGB8888), d(*dst, SDL_PIXELFORMAT_ARGB8888);
    SDL_SetSurfaceBlendMode(s.surface, SDL_BLENDMODE_NONE);
    SdlRun(state, s.surface, d.surface, false);
}
BENCHMARK(BM_Sdl_Copy);

void BM_Sdl_ColorKey(benchmark::State& state) {
    auto src = MakeSource(kW, kH, AlphaMix::Random, true);
    auto dst = MakeDest();
    SdlSurface s(*src, SDL_PIXELFORMAT_ARGB8888), d(*dst, SDL_PIXELFORMAT_ARGB8888);
    SDL_SetSurfaceBlendMode(s.surface, SDL_BLENDMODE_NONE);
    SDL_SetColorKey(s.surface, SDL_TRUE, 0x0000FF00);
    SdlRun(state, s.surface, d.surface, false);
}
BENCHMARK(BM_Sdl_ColorKey);

void BM_Sdl_AlphaBlend(benchmark::State& state) {
    auto src = MakeSource(kW, kH, static_cast<AlphaMix>(state.range(0)));
    auto dst = MakeDest();
    SdlSurface s(*src, SDL_PIXELFORMAT_ARGB8888), d(*dst, SDL_PIXELFORMAT_ARGB8888);
    SDL_SetSurfaceBlendMode(s.surface, SDL_BLENDMODE_BLEND);
    state.SetLabel(state.range(0) == 0 ? "random-alpha" : "sprite-alpha");
    SdlRun(state, s.surface, d.surface, false);
}
BENCHMARK(BM_Sdl_AlphaBlend)->Arg(0)->Arg(1);

void BM_Sdl_ConstantAlpha(benchmark::State& state) {
    auto src = MakeSource(kW, kH, AlphaMix::Random);
    auto dst = MakeDest();
    SdlSurface s(*src, SDL_PIXELFORMAT_RGB888), d(*dst, SDL_PIXELFORMAT_ARGB8888);
    SDL_SetSurfaceBlendMode(s.surface, SDL_BLENDMODE_BLEND);
    SDL_SetSurfaceAlphaMod(s.surface, 128);
    SdlRun(state, s.surface, d.surface, false);
}
BENCHMARK(BM_Sdl_ConstantAlpha);

// Per-pixel alpha times a constant opacity.
void BM_Sdl_AlphaBlendMod(benchmark::State& state) {
    auto src = MakeSource(kW, kH, AlphaMix::Random);
    auto dst = MakeDest();
    SdlSurface s(*src, SDL_PIXELFORMAT_ARGB8888), d(*dst, SDL_PIXELFORMAT_ARGB8888);
    SDL_SetSurfaceBlendMode(s.surface, SDL_BLENDMODE_BLEND);
    SDL_SetSurfaceAlphaMod(s.surface, 128);
    SdlRun(state, s.surface, d.surface, false);
}
BENCHMARK(BM_Sdl_AlphaBlendMod);

void BM_Sdl_ScaledNearest(benchmark::State& state) {
    auto src = MakeSource(kW / 2, kH / 2, AlphaMix::Random);
    auto dst = MakeDest();
    SdlSurface s(*src, SDL_PIXELFORMAT_ARGB8888), d(*dst, SDL_PIXELFORMAT_ARGB8888);
    SDL_SetSurfaceBlendMode(s.surface, SDL_BLENDMODE_NONE);
    SdlRun(state, s.surface, d.surface, true);
}
BENCHMARK(BM_Sdl_ScaledNearest);
#endif

} // namespace
