// Quad blits against pixels worked by hand and against a brute-force
// rasteriser of the documented mapping; rotate-and-zoom quads; the
// displacement blit.
#include "GfxTestSupport.h"

#include "gfx/DisplacementMap.h"

#include <gtest/gtest.h>

#include <random>

using namespace gfx_test;

namespace {

// A source whose pixel names its own place: 0x00YY00XX.
std::unique_ptr<CDib> Numbered(Kind k, int w, int h) {
    auto d = MakeDib(k, w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            d->SetPixel(x, y,
                        (static_cast<std::uint32_t>(y) << 16) | static_cast<std::uint32_t>(x));
    return d;
}

constexpr std::uint32_t kBlank = 0xEEEEEEEE;

// Brute force, written from the documented mapping independently of the
// renderer: for every destination row, each outline edge that spans it is
// taken from its upper end and evaluated at the next row (12.20 fixed point,
// per-row step (difference << 20) / height). Which crossing bounds the span
// on the left follows from the outline's turning direction (on a clockwise
// outline, edges running down are the right side), not from the rounded x.
// The span's source step is the edge difference over n - 1 (flag 0) or n
// (flag 1), and every pixel inside the image samples the source by
// truncation when that lies inside the source.
std::vector<std::uint32_t> BruteQuad(const CDib& src, const DibQuad& sq, const DibQuad& dq,
                                     int flag, int w, int h) {
    using i64 = long long;
    std::vector<std::uint32_t> out(static_cast<size_t>(w) * h, kBlank);
    const int outline[4] = {0, 1, 3, 2};
    i64 area = 0;
    for (int i = 0; i < 4; ++i) {
        const DibPoint a = dq[outline[i]], b = dq[outline[(i + 1) % 4]];
        area += i64(a.x) * b.y - i64(b.x) * a.y;
    }
    for (int y = 0; y < h; ++y) {
        struct Hit {
            i64 x, u, v;
        };
        std::vector<Hit> left, right;
        for (int i = 0; i < 4; ++i) {
            int a = outline[i], b = outline[(i + 1) % 4];
            const bool down = dq[a].y < dq[b].y;
            if (!down) std::swap(a, b);
            if (!(dq[a].y <= y && y < dq[b].y)) continue;
            const i64 hgt = dq[b].y - dq[a].y, k = y - dq[a].y + 1;
            auto at = [&](i64 p, i64 q) { return (p << 20) + k * (((q - p) << 20) / hgt); };
            const Hit hit{at(dq[a].x, dq[b].x), at(sq[a].x, sq[b].x), at(sq[a].y, sq[b].y)};
            ((down == (area > 0)) ? right : left).push_back(hit);
        }
        if (left.empty() && right.empty()) continue;
        EXPECT_EQ(left.size(), 1u) << "row " << y;
        EXPECT_EQ(right.size(), 1u) << "row " << y;
        if (left.size() != 1 || right.size() != 1) continue;
        const Hit& l = left[0];
        const Hit& r = right[0];
        const i64 xl = l.x >> 20, n = (r.x >> 20) - xl;
        for (int x = 0; x < w; ++x) {
            const i64 i = x - xl;
            if (i < 0 || i >= n) continue;
            const i64 du = n > 1 ? (r.u - l.u) / (flag ? n : n - 1) : 0;
            const i64 dv = n > 1 ? (r.v - l.v) / (flag ? n : n - 1) : 0;
            const i64 su = (l.u + i * du) >> 20, sv = (l.v + i * dv) >> 20;
            if (su < 0 || sv < 0 || su >= src.GetWidth() || sv >= src.GetHeight()) continue;
            out[static_cast<size_t>(y) * w + x] =
                src.GetPixel(static_cast<int>(su), static_cast<int>(sv));
        }
    }
    return out;
}

bool StrictlyConvex(const std::array<DibPoint, 4>& p) {
    int sign = 0;
    for (int i = 0; i < 4; ++i) {
        const DibPoint a = p[i], b = p[(i + 1) % 4], c = p[(i + 2) % 4];
        const long long cross = static_cast<long long>(b.x - a.x) * (c.y - b.y) -
                                static_cast<long long>(b.y - a.y) * (c.x - b.x);
        if (cross == 0) return false;
        const int s = cross > 0 ? 1 : -1;
        if (sign != 0 && s != sign) return false;
        sign = s;
    }
    return true;
}

} // namespace

TEST(QuadTest, SquareOntoItselfStepsEdgesBeforeEachRow) {
    for (Kind k : {Kind::Plain, Kind::Mmx}) {
        auto src = Numbered(k, 4, 4);
        auto dst = MakeDib(k, 4, 4, kBlank);
        const DibQuad q = QuadFromRect(DibRect{0, 0, 4, 4});
        // Flat top: the right side starts at the top-right corner. Rows 0..2;
        // row y reads source row y + 1; span 3 pixels, u step 3 / 2 = 1.5:
        // columns 0, 1 and 3.
        EXPECT_EQ(dst->QuadBlt(src.get(), q, q, nullptr, 0), 0);
        for (int y = 0; y < 3; ++y) {
            const std::uint32_t r = static_cast<std::uint32_t>(y + 1) << 16;
            EXPECT_EQ(Row(*dst, y), (std::vector<std::uint32_t>{r | 0, r | 1, r | 3, kBlank})) << y;
        }
        EXPECT_EQ(Row(*dst, 3), (std::vector<std::uint32_t>(4, kBlank)));
        // Flag 1 divides by the span itself: u step 1, columns 0, 1, 2.
        dst->Fill(kBlank, nullptr);
        EXPECT_EQ(dst->QuadBlt(src.get(), q, q, nullptr, 1), 0);
        EXPECT_EQ(Row(*dst, 0), (std::vector<std::uint32_t>{0x10000, 0x10001, 0x10002, kBlank}));
    }
}

TEST(QuadTest, BowTieDrawsNothing) {
    auto src = Numbered(Kind::Mmx, 4, 4);
    auto dst = MakeDib(Kind::Mmx, 8, 8, kBlank);
    // Top-right and bottom-right swapped.
    const DibQuad bow{DibPoint{0, 0}, DibPoint{3, 3}, DibPoint{0, 3}, DibPoint{3, 0}};
    EXPECT_EQ(dst->QuadBlt(src.get(), QuadFromRect(DibRect{0, 0, 4, 4}), bow, nullptr, 0), 1);
    EXPECT_EQ(dst->QuadBltKeyedBlend(src.get(), QuadFromRect(DibRect{0, 0, 4, 4}), bow, 0, 0xFFFFFF,
                                     nullptr, 0),
              1);
    for (std::uint32_t p : Pixels(*dst))
        EXPECT_EQ(p, kBlank);
}

TEST(QuadTest, FlatShapesAndEmptySourcesDrawNothing) {
    auto src = Numbered(Kind::Mmx, 4, 4);
    auto dst = MakeDib(Kind::Mmx, 8, 8, kBlank);
    // All corners on one row: no edge has height, nothing divides by zero.
    const DibQuad line{DibPoint{0, 2}, DibPoint{5, 2}, DibPoint{1, 2}, DibPoint{6, 2}};
    EXPECT_EQ(dst->QuadBlt(src.get(), QuadFromRect(DibRect{0, 0, 4, 4}), line, nullptr, 0), 0);
    // A single point.
    const DibQuad point{DibPoint{3, 3}, DibPoint{3, 3}, DibPoint{3, 3}, DibPoint{3, 3}};
    EXPECT_EQ(dst->QuadBlt(src.get(), QuadFromRect(DibRect{0, 0, 4, 4}), point, nullptr, 0), 0);
    EXPECT_EQ(dst->QuadBlt(nullptr, point, QuadFromRect(DibRect{0, 0, 4, 4}), nullptr, 0), 0);
    for (std::uint32_t p : Pixels(*dst))
        EXPECT_EQ(p, kBlank);
}

TEST(QuadTest, KeyedAndBlendedQuadsUseThePlainBlendInBothClasses) {
    for (Kind k : {Kind::Plain, Kind::Mmx}) {
        auto src = MakeDib(k, 2, 1, {0x0000FF00, 0x80C86432});
        auto dst = MakeDib(k, 4, 2, 0x00643296);
        const DibRect to{0, 0, 2, 2};
        // To a 2x2 rectangle (flag 1): rows 0 only (corners (0,0)..(1,1)),
        // span n = 1 at column 0 reading source (0, 0): the key, skipped.
        dst->QuadBltKeyedToRect(src.get(), QuadFromRect(DibRect{0, 0, 2, 1}), &to, nullptr);
        EXPECT_EQ(dst->GetPixel(0, 0), 0x00643296u);
        // A blend of the second pixel with sf 0x808080, df 0x7F7F7F:
        // r 100 + 49 = 149, g 50 + 24 = 74, b 25 + 74 = 99 (plain slot-5 arithmetic).
        const DibRect one{1, 0, 2, 1};
        const DibQuad dq{DibPoint{2, 0}, DibPoint{4, 0}, DibPoint{2, 2}, DibPoint{4, 2}};
        dst->QuadBltBlendFromRect(src.get(), &one, dq, 0x7F7F7F, 0x808080, nullptr);
        EXPECT_EQ(dst->GetPixel(2, 0), 0x00954A63u);
        EXPECT_EQ(dst->GetPixel(3, 1), 0x00954A63u);
        // Keyed blend skips the key the same way.
        const DibRect key{0, 0, 1, 1};
        dst->QuadBltKeyedBlendFromRect(src.get(), &key, dq, 0, 0xFFFFFF, nullptr);
        EXPECT_EQ(dst->GetPixel(2, 0), 0x00954A63u);
    }
}

TEST(QuadTest, ScalesFarAboveTwoKeepExactFixedPoint) {
    // A 4x4 source (pixel 0x00YY00XX) spread over 6,000 x 6,000 pixels whose
    // left side lies 4,000 pixels off screen: the 12.20 values exceed 32 bits.
    // Left edge x = -4000; v step (3 << 20) / 5999 = 524, row 0 is 3001 steps
    // down: v = 1572524 -> source row 1. Span n = 5999, u step
    // (3 << 20) / 5998 = 524; x reads u = (x + 4000) * 524: x = 2 gives
    // 2097048 (column 1), x = 3 gives 2097572 (column 2).
    auto src = Numbered(Kind::Mmx, 4, 4);
    auto dst = MakeDib(Kind::Mmx, 8, 2, kBlank);
    const DibQuad dq{DibPoint{-4000, -3000}, DibPoint{1999, -3000}, DibPoint{-4000, 2999},
                     DibPoint{1999, 2999}};
    EXPECT_EQ(dst->QuadBlt(src.get(), QuadFromRect(DibRect{0, 0, 4, 4}), dq, nullptr, 0), 0);
    EXPECT_EQ(Row(*dst, 0), (std::vector<std::uint32_t>{0x10001, 0x10001, 0x10001, 0x10002, 0x10002,
                                                        0x10002, 0x10002, 0x10002}));
}

TEST(QuadTest, ClipIsKeptInsideTheDestination) {
    auto src = Numbered(Kind::Mmx, 4, 4);
    auto dst = MakeDib(Kind::Mmx, 4, 4, kBlank);
    // A clip far larger than the image, and a quad reaching far outside it.
    const DibRect clip{-100, -100, 100, 100};
    const DibQuad dq{DibPoint{-20, -20}, DibPoint{30, -20}, DibPoint{-20, 30}, DibPoint{30, 30}};
    dst->QuadBltToRect(src.get(), QuadFromRect(DibRect{0, 0, 4, 4}), nullptr, &clip);
    dst->QuadBlt(src.get(), QuadFromRect(DibRect{0, 0, 4, 4}), dq, &clip, 0);
    for (std::uint32_t p : Pixels(*dst))
        EXPECT_NE(p, kBlank);
    // A clip inside the image limits the drawing.
    auto d2 = MakeDib(Kind::Mmx, 4, 4, kBlank);
    const DibRect inner{1, 1, 2, 3};
    d2->QuadBlt(src.get(), QuadFromRect(DibRect{0, 0, 4, 4}), dq, &inner, 0);
    int drawn = 0;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            if (d2->GetPixel(x, y) != kBlank) {
                ++drawn;
                EXPECT_TRUE(x == 1 && (y == 1 || y == 2)) << x << "," << y;
            }
    EXPECT_EQ(drawn, 2);
}

TEST(QuadTest, SourcePlacesOutsideTheSourceLeaveThePixel) {
    auto src = Numbered(Kind::Mmx, 2, 2);
    auto dst = MakeDib(Kind::Mmx, 4, 1, kBlank);
    // Source quad from column -2 to 2, onto columns 0..4 of a one-row shape
    // (flag 1, u step 4 / 4 = 1): row 0 reads source row 1, columns -2, -1, 0, 1.
    const DibQuad sq{DibPoint{-2, 0}, DibPoint{2, 0}, DibPoint{-2, 1}, DibPoint{2, 1}};
    const DibQuad dq{DibPoint{0, 0}, DibPoint{4, 0}, DibPoint{0, 1}, DibPoint{4, 1}};
    dst->QuadBlt(src.get(), sq, dq, nullptr, 1);
    EXPECT_EQ(Row(*dst, 0), (std::vector<std::uint32_t>{kBlank, kBlank, 0x10000, 0x10001}));
    // The same with the source right edge at 1: u step 3 / 4 = 0.75 gives
    // -2, -1.25, -0.5, 0.25, which truncate (downwards) to -2, -2, -1, 0.
    const DibQuad narrow{DibPoint{-2, 0}, DibPoint{1, 0}, DibPoint{-2, 1}, DibPoint{1, 1}};
    dst->Fill(kBlank, nullptr);
    dst->QuadBlt(src.get(), narrow, dq, nullptr, 1);
    EXPECT_EQ(Row(*dst, 0), (std::vector<std::uint32_t>{kBlank, kBlank, kBlank, 0x10000}));
}

TEST(QuadTest, AgreesWithABruteForceRasteriserInEveryCornerOrder) {
    std::mt19937 rng(99);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const int W = 24, H = 20;
    auto src = Numbered(Kind::Mmx, 7, 5);
    // Labels around the outline: top-left, top-right, bottom-right, bottom-left.
    const int cycle[4] = {0, 1, 3, 2};
    int shapes = 0;
    for (int iter = 0; iter < 400; ++iter) {
        std::array<DibPoint, 4> ring;
        if (iter % 2 == 0) {
            // A parallelogram: p, p + a, p + a + b, p + b.
            const DibPoint p{pick(-6, 20), pick(-6, 16)}, a{pick(-12, 12), pick(-12, 12)},
                b{pick(-12, 12), pick(-12, 12)};
            ring = {p, DibPoint{p.x + a.x, p.y + a.y}, DibPoint{p.x + a.x + b.x, p.y + a.y + b.y},
                    DibPoint{p.x + b.x, p.y + b.y}};
        } else {
            // Four points of a circle in angle order (any convex shape).
            std::array<double, 4> ang;
            for (double& t : ang)
                t = std::uniform_real_distribution<double>(0, 6.283)(rng);
            std::sort(ang.begin(), ang.end());
            const double cx = pick(0, 24), cy = pick(0, 20), rad = pick(3, 16);
            for (int i = 0; i < 4; ++i)
                ring[i] = DibPoint{static_cast<int>(std::lround(cx + rad * std::cos(ang[i]))),
                                   static_cast<int>(std::lround(cy + rad * std::sin(ang[i])))};
        }
        if (!StrictlyConvex(ring)) continue;
        ++shapes;
        const DibRect sr{pick(0, 2), pick(0, 1), pick(4, 7), pick(3, 5)};
        const DibQuad srcQuad = QuadFromRect(sr);
        // Every way of naming the corners: four starting points, two directions.
        for (int start = 0; start < 4; ++start)
            for (int dir : {1, 3}) {
                DibQuad dq;
                for (int i = 0; i < 4; ++i)
                    dq[cycle[(start + dir * i) % 4]] = ring[i];
                for (int flag : {0, 1}) {
                    auto dst = MakeDib(Kind::Mmx, W, H, kBlank);
                    ASSERT_EQ(dst->QuadBlt(src.get(), srcQuad, dq, nullptr, flag), 0);
                    const auto got = Pixels(*dst);
                    const auto want = BruteQuad(*src, srcQuad, dq, flag, W, H);
                    for (int i = 0; i < W * H; ++i)
                        ASSERT_EQ(got[i], want[i])
                            << "iteration " << iter << " start " << start << " dir " << dir
                            << " flag " << flag << " at (" << i % W << ", " << i / W << ") quad "
                            << dq[0].x << "," << dq[0].y << " " << dq[1].x << "," << dq[1].y << " "
                            << dq[2].x << "," << dq[2].y << " " << dq[3].x << "," << dq[3].y;
                }
            }
    }
    EXPECT_GT(shapes, 300);
}

// ---------------------------------------------------------------- rotate and zoom

TEST(QuadTest, RotZoomQuadAtAngleZero) {
    auto src = Numbered(Kind::Mmx, 5, 3);
    DibQuad q;
    for (int anchor = 0; anchor <= 4; ++anchor) {
        ASSERT_EQ(
            CDibRenderer::ComputeRotZoomQuad(&q, src.get(), nullptr, 10, 20, 0, 65536, anchor), 0);
        EXPECT_EQ(q[0].x, 10);
        EXPECT_EQ(q[0].y, 20);
        EXPECT_EQ(q[1].x, 15);
        EXPECT_EQ(q[1].y, 20);
        EXPECT_EQ(q[2].x, 10);
        EXPECT_EQ(q[2].y, 23);
        EXPECT_EQ(q[3].x, 15);
        EXPECT_EQ(q[3].y, 23);
    }
    // Half size rounds halves away from zero: 5 * 0.5 = 2.5 -> 3, 3 * 0.5 = 1.5 -> 2.
    ASSERT_EQ(CDibRenderer::ComputeRotZoomQuad(&q, src.get(), nullptr, 0, 0, 0, 0x8000, 0), 0);
    EXPECT_EQ(q[3].x, 3);
    EXPECT_EQ(q[3].y, 2);
}

TEST(QuadTest, RotZoomQuadAboutTheCentre) {
    auto src = Numbered(Kind::Mmx, 4, 4);
    DibQuad q;
    // Angle 90 about the centre (12, 22) of (10, 20, 4, 4): t = -pi/2, sin t
    // = -1, cos t = 6.1e-17 (not 0). Top-left (-2, -2) from the pivot:
    // x = -2c - 2 -> -2, y = -2c + 2 = 1.9999999999999998 -> 1: (10, 23).
    // Top-right (2, -2): x = 2c - 2 -> -1, y = -2c - 2 -> -2: (11, 20).
    // Bottom-left (-2, 2): x = -2c + 2 -> 1, y = 2c + 2 -> 2: (13, 24).
    // Bottom-right (2, 2): x = 2c + 2 -> 2, y = 2c - 2 -> -1: (14, 21).
    // The picture turns anticlockwise on the screen: its top edge now runs up
    // the left side.
    ASSERT_EQ(CDibRenderer::ComputeRotZoomQuad(&q, src.get(), nullptr, 10, 20, 90, 65536, 4), 0);
    EXPECT_EQ(q[0].x, 10);
    EXPECT_EQ(q[0].y, 23);
    EXPECT_EQ(q[1].x, 11);
    EXPECT_EQ(q[1].y, 20);
    EXPECT_EQ(q[2].x, 13);
    EXPECT_EQ(q[2].y, 24);
    EXPECT_EQ(q[3].x, 14);
    EXPECT_EQ(q[3].y, 21);
}

TEST(QuadTest, RotZoomRefusals) {
    auto src = Numbered(Kind::Mmx, 4, 4);
    auto dst = MakeDib(Kind::Mmx, 8, 8, kBlank);
    DibQuad q;
    EXPECT_EQ(CDibRenderer::ComputeRotZoomQuad(&q, nullptr, nullptr, 0, 0, 0, 65536, 0), -1);
    EXPECT_EQ(CDibRenderer::ComputeRotZoomQuad(&q, src.get(), nullptr, 0, 0, 0, 0, 0), 1);
    const DibRect empty{2, 2, 2, 4};
    EXPECT_EQ(CDibRenderer::ComputeRotZoomQuad(&q, src.get(), &empty, 0, 0, 0, 65536, 0), 1);
    // Scale 1/65536 of 4 pixels rounds to 0.
    EXPECT_EQ(CDibRenderer::ComputeRotZoomQuad(&q, src.get(), nullptr, 0, 0, 0, 1, 0), 1);
    EXPECT_EQ(dst->RotZoomBlt(src.get(), nullptr, 0, 0, 0, 0, 0, nullptr), 0);
    EXPECT_EQ(dst->RotZoomBltBlend(nullptr, nullptr, 0, 0, 0, 0, 0xFFFFFF, 65536, 0, nullptr), 0);
    for (std::uint32_t p : Pixels(*dst))
        EXPECT_EQ(p, kBlank);
}

TEST(QuadTest, RotZoomBltAtUnitScaleDrawsThePictureOneToOne) {
    // Angle 0, scale 1, anchor 0 at (2, 3): quad (2, 3)..(6, 7) from the
    // source rectangle's quad (0, 0)..(3, 3), flag 0. Rows 3..6: v step
    // (3 << 20) / 4 = 0.75, so rows read 0.75, 1.5, 2.25, 3 -> 0, 1, 2, 3;
    // spans n = 4 from x = 2, u step 3 / 3 = 1: columns 0..3.
    for (Kind k : {Kind::Plain, Kind::Mmx}) {
        auto src = Numbered(k, 4, 4);
        auto dst = MakeDib(k, 8, 8, kBlank);
        EXPECT_EQ(dst->RotZoomBlt(src.get(), nullptr, 2, 3, 0, 65536, 0, nullptr), 0);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                const bool in = x >= 2 && x < 6 && y >= 3 && y < 7;
                const std::uint32_t want =
                    in ? (static_cast<std::uint32_t>(y - 3) << 16) | (x - 2) : kBlank;
                EXPECT_EQ(dst->GetPixel(x, y), want) << x << "," << y;
            }
        // The keyed form skips the key; the blend forms weigh as slot 5.
        src->SetPixel(0, 0, 0x0000FF00);
        dst->Fill(kBlank, nullptr);
        dst->RotZoomBltKeyed(src.get(), nullptr, 2, 3, 0, 65536, 0, nullptr);
        EXPECT_EQ(dst->GetPixel(2, 3), kBlank);
        EXPECT_EQ(dst->GetPixel(3, 3), 1u);
        dst->RotZoomBltKeyedBlend(src.get(), nullptr, 2, 3, 0, 0, 0xFFFFFF, 65536, 0, nullptr);
        EXPECT_EQ(dst->GetPixel(2, 3), kBlank);
        dst->RotZoomBltBlend(src.get(), nullptr, 2, 3, 0, 0, 0xFFFFFF, 65536, 0, nullptr);
        EXPECT_EQ(dst->GetPixel(2, 3), 0x0000FE00u); // 255*255 >> 8 = 254
    }
}

// ---------------------------------------------------------------- displacement

TEST(QuadTest, DisplacementReadsThroughTheMapAndClips) {
    auto src = Numbered(Kind::Mmx, 4, 4);
    auto dst = MakeDib(Kind::Mmx, 4, 4, kBlank);
    CDisplacementMap map;
    ASSERT_TRUE(map.Create(4, 4));
    map.Set(1, 0, DibPoint{1, 1});   // (1, 0) reads (2, 1)
    map.Set(2, 0, DibPoint{10, 0});  // outside the source: left as it is
    map.Set(0, 1, DibPoint{-1, -1}); // (0, 1) reads (-1, 0): outside
    // Placed at (-1, 0): map place (mx, my) lands at (mx - 1, my).
    EXPECT_EQ(dst->DisplaceBlt(src.get(), &map, -1, 0, nullptr, nullptr), 0);
    EXPECT_EQ(Row(*dst, 0), (std::vector<std::uint32_t>{0x10002, kBlank, 0x00003, kBlank}));
    EXPECT_EQ(Row(*dst, 1), (std::vector<std::uint32_t>{0x10001, 0x10002, 0x10003, kBlank}));
    // A clip and a map smaller than the rectangle (offsets 0 past its edge).
    CDisplacementMap small;
    ASSERT_TRUE(small.Create(1, 1));
    DibRect clip{0, 3, 2, 10};
    auto d2 = MakeDib(Kind::Mmx, 4, 4, kBlank);
    d2->DisplaceBlt(src.get(), &small, 0, 0, nullptr, &clip);
    EXPECT_EQ(clip.bottom, 4);
    EXPECT_EQ(Row(*d2, 3), (std::vector<std::uint32_t>{0x30000, 0x30001, kBlank, kBlank}));
    EXPECT_EQ(Row(*d2, 2), (std::vector<std::uint32_t>(4, kBlank)));
    EXPECT_EQ(d2->DisplaceBlt(src.get(), nullptr, 0, 0, nullptr, nullptr), 0);
}

TEST(QuadTest, LensMapBuilder) {
    CDisplacementMap map;
    ASSERT_TRUE(map.Create(4, 4));
    // Centre (2, 2); inside x^2 + y^2 < 4: (1, 2) is (-1, 0) -> (1 / 1, 0).
    map.BuildLens(1);
    EXPECT_EQ(map.Get(1, 2).x, 1);
    EXPECT_EQ(map.Get(1, 2).y, 0);
    EXPECT_EQ(map.Get(0, 0).x, 0); // (-2, -2): 8, outside
    EXPECT_EQ(map.Get(2, 1).y, 1); // (0, -1) -> (0, 1)
    map.BuildLens(2);
    EXPECT_EQ(map.Get(1, 2).x, 0); // -(-1) / 2 = 0 (integer division)
    map.BuildLens(0);
    EXPECT_EQ(map.Get(2, 1).y, 0);
    EXPECT_FALSE(map.Create(0, 3));
    EXPECT_EQ(map.Get(0, 0).x, 0);
    // A swirl turns (1, 0) from the centre by 1 / k radians.
    ASSERT_TRUE(map.Create(5, 5));
    map.BuildSwirl(1.0 / (3.14159265358979 / 2)); // a quarter turn at distance 1
    // (1, 0) turned a quarter reads (cos, sin) = (6e-17, 1): offsets
    // 6e-17 - 1 = -0.99999... (truncated to 0) and 1.
    EXPECT_EQ(map.Get(3, 2).x, 0);
    EXPECT_EQ(map.Get(3, 2).y, 1);
    map.BuildSwirl(0.0);
    EXPECT_EQ(map.Get(3, 2).y, 0);
}
