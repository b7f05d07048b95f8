// One frame of the story screen's composition: ten 400x300 per-pixel-alpha
// layers moving at part opacity, composed through the layer mask wipe, next
// to a memcpy of the 800x600 screen.
#include "gfx/Dib.h"
#include "gfx/Transition.h"
#include "gfx/TrigTables.h"
#include "lib/BmpWriter.h"
#include "platform/headless/Headless.h"
#include "scenario/Scenario.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <memory>

namespace {

std::unique_ptr<CDib> Noise(int w, int h, std::uint32_t seed) {
    auto dib = std::make_unique<CDib>();
    dib->Create(platform::WindowHandle::None, w, h, 24);
    std::uint32_t* px = dib->GetBits();
    for (int i = 0; i < w * h; ++i) {
        seed = seed * 1664525u + 1013904223u;
        px[i] = seed >> 8;
    }
    return dib;
}

// A 400x300 32-bit picture with varying alpha, loaded as the game loads one.
std::unique_ptr<CDib> AlphaLayer(std::uint32_t seed) {
    bmp_writer::BmpImage image;
    image.width = 400;
    image.height = 300;
    image.bitCount = 32;
    for (int i = 0; i < 400 * 300; ++i) {
        seed = seed * 1664525u + 1013904223u;
        image.pixels.push_back(seed);
    }
    const auto path = std::filesystem::temp_directory_path() / "norvane-bench-layer.bmp";
    bmp_writer::WriteBmp(path, image);
    auto dib = std::make_unique<CDib>();
    dib->LoadFile(platform::WindowHandle::None, path.c_str());
    std::filesystem::remove(path);
    return dib;
}

struct Scene {
    Scene() {
        platform::headless::Reset();
        InitTrigTables();
        EnsureTransitionTables();
        g_backBuffer = Noise(800, 600, 1);
        cdib[0] = Noise(800, 600, 2);
        cdib[1] = Noise(800, 600, 3);
        g_maskImage = Noise(800, 600, 4);
        g_scenario = std::make_unique<CScenario>(platform::WindowHandle::None);
        CScenario& s = *g_scenario;
        s.layerMaskWipe = 1;
        for (int i = 0; i < kLayerSlots; ++i) {
            g_layerImages[i] = AlphaLayer(static_cast<std::uint32_t>(i) + 10);
            LayerSlot& l = s.layers[i];
            const auto x = static_cast<std::int16_t>(i * 40);
            l.startRect = l.rect = {x, static_cast<std::int16_t>(i * 30), 400, 300};
            l.endRect = {static_cast<std::int16_t>(x + 300),
                         static_cast<std::int16_t>(i * 30 + 200), 400, 300};
            l.startSrc = l.src = l.endSrc = {0, 0, 400, 300};
            l.duration = 1000000;
            l.tweenType = 1;
            l.easeSpan = 90;
            l.alphaAnimOn = 1;
            l.alphaSweep = 180;
            l.alphaPhase = 45; // visible from the first frame: opacity about 180
            l.alphaTarget = 256;
            l.alphaRamp = 1000000;
        }
        platform::headless::AdvanceClock(1);
        s.ComposeScene(); // starts every slot
    }
    ~Scene() {
        g_scenario.reset();
        for (auto& p : g_layerImages)
            p.reset();
        g_backBuffer.reset();
        cdib[0].reset();
        cdib[1].reset();
        g_maskImage.reset();
    }
};

void BM_SceneMemcpy800x600(benchmark::State& state) {
    auto a = Noise(800, 600, 5);
    auto b = Noise(800, 600, 6);
    for (auto _ : state) {
        std::memcpy(b->GetBits(), a->GetBits(), 800 * 600 * 4);
        benchmark::DoNotOptimize(b->GetBits());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SceneMemcpy800x600)->Unit(benchmark::kMicrosecond);

void BM_SceneComposeTenLayersMaskWipe(benchmark::State& state) {
    Scene scene;
    for (auto _ : state) {
        platform::headless::AdvanceClock(16); // the layers move and fade every frame
        g_scenario->ComposeScene();
        benchmark::DoNotOptimize(g_backBuffer->GetBits());
    }
}
BENCHMARK(BM_SceneComposeTenLayersMaskWipe)->Unit(benchmark::kMillisecond);

} // namespace
