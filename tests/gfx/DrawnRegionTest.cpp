// The paint step compares only the region an image says was drawn: every
// drawing path must note at least the pixels it changed, or the window keeps
// a stale picture. The hot ones must also note no more than they cover, or a
// waiting screen compares the whole picture each frame again.
#include "GfxTestSupport.h"
#include "gfx/Blend.h"
#include "gfx/Blit.h"
#include "gfx/Transition.h"
#include "gfx/TransitionBlit.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using gfx_test::Kind;
using gfx_test::MakeDib;

constexpr int kW = 96, kH = 64;

std::unique_ptr<CDib> Noise(Kind kind, int w, int h, unsigned seed) {
    auto d = MakeDib(kind, w, h);
    std::mt19937 rng(seed);
    std::uint32_t* p = d->GetBits();
    for (int i = 0; i < w * h; ++i)
        p[i] = rng();
    return d;
}

bool Inside(int x, int y, const DibRect& r) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

std::string Show(const DibRect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

struct Op {
    const char* name;
    std::function<void(CDib& dst, CDib& src, CDib& other)> draw;
    // What the call covers, when it should note exactly that.
    std::optional<DibRect> exact;
};

TEST(DrawnRegionTest, EveryDrawingPathNotesThePixelsItChanges) {
    const DibRect whole{0, 0, kW, kH};
    const std::vector<Op> ops = {
        {"copy", [](CDib& d, CDib& s, CDib&) { BltCopy(&d, 10, 5, &s, 0, 0, 20, 12); },
         DibRect{10, 5, 30, 17}},
        {"copy clipped", [](CDib& d, CDib& s, CDib&) { BltCopy(&d, -6, 58, &s, 0, 0, 20, 12); },
         DibRect{0, 58, 14, 64}},
        {"keyed", [](CDib& d, CDib& s, CDib&) { BltColorKey(&d, 3, 4, &s, 1, 1, 9, 9); },
         DibRect{3, 4, 12, 13}},
        {"alpha", [](CDib& d, CDib& s, CDib&) { BltAlpha(&d, 40, 30, &s, 0, 0, 30, 20); },
         DibRect{40, 30, 70, 50}},
        {"alpha with opacity",
         [](CDib& d, CDib& s, CDib&) { BltAlphaBlend(&d, 50, 2, &s, 0, 0, 16, 16, 128); },
         DibRect{50, 2, 66, 18}},
        {"stretched alpha (wait icon)",
         [](CDib& d, CDib& s, CDib&) {
             BltStretchAlphaBlend(&d, 20, 20, 17, 9, &s, 0, 0, 30, 14, 254);
         },
         DibRect{20, 20, 37, 29}},
        {"stretch", [](CDib& d, CDib& s, CDib&) { BltStretch(&d, 5, 6, 40, 30, &s, 0, 0, 10, 10); },
         DibRect{5, 6, 45, 36}},
        {"fill", [](CDib& d, CDib&, CDib&) { d.FillRect(7, 8, 9, 10, 0x123456); },
         DibRect{7, 8, 16, 18}},
        {"pixel", [](CDib& d, CDib&, CDib&) { d.SetPixel(95, 63, 0xABCDEF); },
         DibRect{95, 63, 96, 64}},
        {"multiply",
         [](CDib& d, CDib& s, CDib&) { BlendMultiply(&d, 30, 10, &s, 0, 0, 12, 12, 200); },
         DibRect{30, 10, 42, 22}},
        {"add two", [](CDib& d, CDib& s, CDib& o) { BlendAdd2(&d, 1, 1, &s, &o, 0, 0, 8, 8, 100); },
         DibRect{1, 1, 9, 9}},
        {"add stretched",
         [](CDib& d, CDib& s, CDib&) {
             BlendAddAlphaStretch(&d, 60, 40, 30, 20, &s, 0, 0, 8, 8, 90);
         },
         DibRect{60, 40, 90, 60}},
        {"cross-fade in one pass",
         [](CDib& d, CDib& s, CDib& o) {
             transition_blit::BlendEx(&d, &s, 12, 14, &o, 0, 0, 24, 10, 77, {0, 0, kW, kH});
         },
         DibRect{12, 14, 36, 24}},
        {"quad",
         [](CDib& d, CDib& s, CDib&) {
             const DibQuad q{DibPoint{10, 10}, DibPoint{50, 12}, DibPoint{8, 40}, DibPoint{52, 44}};
             const DibRect sr{0, 0, 30, 30};
             d.QuadBltFromRect(&s, &sr, q, nullptr);
         },
         std::nullopt},
        {"rotated",
         [](CDib& d, CDib& s, CDib&) {
             const DibRect sr{0, 0, 30, 30};
             d.RotZoomBlt(&s, &sr, 48, 32, 40, 65536, 4, nullptr);
         },
         std::nullopt},
        {"every transition kind",
         [](CDib& d, CDib& s, CDib& o) {
             for (int effect = 0; effect < 80; effect += 3)
                 DrawTransition(effect, &d, &s, &o, 4, 4, 0, 0, 60, 40, 100, 0);
         },
         std::nullopt},
        {"writable pixels", [](CDib& d, CDib&, CDib&) { d.GetBits()[kW * 10 + 3] ^= 1; }, whole},
        {"made again",
         [](CDib& d, CDib&, CDib&) { d.Create(platform::WindowHandle::Main, kW, kH, 24); }, whole},
    };
    for (Kind kind : {Kind::Plain, Kind::Mmx}) {
        for (const Op& op : ops) {
            auto dst = Noise(kind, kW, kH, 1);
            auto src = Noise(kind, kW, kH, 2);
            auto other = Noise(kind, kW, kH, 3);
            dst->Renderer().TakeDrawn();
            // Reading draws nothing.
            const CDib& read = *dst;
            const std::vector<std::uint32_t> before(read.GetBits(), read.GetBits() + kW * kH);
            EXPECT_EQ(read.GetPixelPtr(3, 3)[0], before[3 * kW + 3]);
            EXPECT_EQ(Show(dst->Renderer().TakeDrawn()), Show(DibRect{})) << op.name;

            op.draw(*dst, *src, *other);
            const DibRect drawn = dst->Renderer().TakeDrawn();
            int changed = 0;
            for (int y = 0; y < kH; ++y)
                for (int x = 0; x < kW; ++x)
                    if (read.GetBits()[y * kW + x] != before[static_cast<size_t>(y) * kW + x]) {
                        ++changed;
                        EXPECT_TRUE(Inside(x, y, drawn)) << op.name << ": pixel " << x << "," << y
                                                         << " changed outside " << Show(drawn);
                    }
            EXPECT_GT(changed, 0) << op.name << " drew nothing: the case checks nothing";
            if (op.exact) {
                EXPECT_EQ(Show(drawn), Show(*op.exact)) << op.name;
            }
            // Taken once: the next frame starts from nothing.
            EXPECT_EQ(Show(dst->Renderer().TakeDrawn()), Show(DibRect{})) << op.name;
        }
    }
}

TEST(DrawnRegionTest, RegionsGatherOverCallsUntilTaken) {
    auto dst = MakeDib(Kind::Mmx, kW, kH);
    auto src = Noise(Kind::Mmx, 8, 8, 4);
    dst->Renderer().TakeDrawn();
    BltCopy(dst.get(), 2, 3, src.get(), 0, 0, 4, 4);
    BltCopy(dst.get(), 50, 40, src.get(), 0, 0, 8, 8);
    // Nothing of the image: nothing noted.
    BltCopy(dst.get(), 200, 200, src.get(), 0, 0, 8, 8);
    EXPECT_EQ(Show(dst->Renderer().TakeDrawn()), Show(DibRect{2, 3, 58, 48}));
}

} // namespace
