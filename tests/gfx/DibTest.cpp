// The image surface: creation, fills, pixel access, key, flags and the
// choice of renderer class.
#include "GfxTestSupport.h"

#include "gfx/Dib.h"

#include <gtest/gtest.h>

#include <string>

using namespace gfx_test;

TEST(DibTest, CreateMakesAZeroedImageWithGreenKey) {
    CDib d;
    EXPECT_EQ(d.GetState(), kDibStateNew);
    EXPECT_EQ(d.GetInterlaceParity(), 0);
    d.SetColorKeyValue(0x123456);
    ASSERT_TRUE(d.Create(platform::WindowHandle::Main, 800, 600, 24));
    EXPECT_EQ(d.GetWidth(), 800);
    EXPECT_EQ(d.GetHeight(), 600);
    EXPECT_EQ(d.GetPitch(), 3200);
    EXPECT_EQ(d.GetColorKey(), 0x00FF00u);
    // New plain-memory surfaces start at zero, so nothing undefined shows.
    for (std::uint32_t p : Pixels(d))
        ASSERT_EQ(p, 0u);
    const DibRect r = d.GetRect();
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 800);
    EXPECT_EQ(r.bottom, 600);
}

TEST(DibTest, SizesAreCutTo16BitsAndZeroLeavesNoPixels) {
    CDib d;
    ASSERT_TRUE(d.Create(platform::WindowHandle::Main, 65536 + 3, 2, 24));
    EXPECT_EQ(d.GetWidth(), 3);
    EXPECT_EQ(d.GetHeight(), 2);
    EXPECT_TRUE(d.Create(platform::WindowHandle::Main, 65536, 10, 24));
    EXPECT_EQ(d.GetWidth(), 0);
    EXPECT_EQ(d.GetHeight(), 0);
    EXPECT_EQ(d.GetBits(), nullptr);
    EXPECT_FALSE(d.FillRect(0, 0, 1, 1, 5));
    EXPECT_EQ(d.GetPixelPtr(0, 0), nullptr);
    EXPECT_EQ(d.GetPixel(0, 0), 0u);
    EXPECT_EQ(d.GetRect().right, 0);
    int w = -1, h = -1;
    d.GetSize(&w, &h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
}

TEST(DibTest, PixelPointersAreNullOutsideTheImage) {
    CDib d;
    d.Create(platform::WindowHandle::Main, 4, 3, 24);
    EXPECT_EQ(d.GetPixelPtr(4, 0), nullptr);
    EXPECT_EQ(d.GetPixelPtr(-1, 0), nullptr);
    EXPECT_EQ(d.GetPixelPtr(0, 3), nullptr);
    EXPECT_EQ(d.GetPixelPtr(0, -1), nullptr);
    ASSERT_NE(d.GetPixelPtr(3, 2), nullptr);
    EXPECT_EQ(d.GetPixelPtr(3, 2) - d.GetPixelPtr(0, 0), 2 * 4 + 3);
    d.SetPixel(3, 2, 0xAABBCCDD);
    d.SetPixel(4, 2, 0x11111111); // outside: nothing
    EXPECT_EQ(d.GetPixel(3, 2), 0xAABBCCDDu);
    EXPECT_EQ(d.GetPixel(4, 2), 0u);
}

TEST(DibTest, FillRectClipsAndUsesTheFillColourForMinusOne) {
    CDib d;
    d.Create(platform::WindowHandle::Main, 4, 3, 24);
    // Zero width writes nothing and still reports that the fill ran.
    EXPECT_TRUE(d.FillRect(1, 1, 0, 2, 0x111111));
    for (std::uint32_t p : Pixels(d))
        EXPECT_EQ(p, 0u);
    // Partly outside: only the inside is written.
    EXPECT_TRUE(d.FillRect(-2, 2, 4, 5, 0x222222));
    EXPECT_EQ(Row(d, 2), (std::vector<std::uint32_t>{0x222222, 0x222222, 0, 0}));
    EXPECT_EQ(Row(d, 1), (std::vector<std::uint32_t>{0, 0, 0, 0}));
    // Wholly outside, and with edges past the int range: nothing, no fault.
    EXPECT_TRUE(d.FillRect(10, 10, 5, 5, 0x333333));
    EXPECT_TRUE(d.FillRect(2, 0, 0x7FFFFFFF, 1, 0x444444));
    EXPECT_EQ(Row(d, 0), (std::vector<std::uint32_t>{0, 0, 0x444444, 0x444444}));
    d.SetFillColor(0x00ABCDEF);
    EXPECT_TRUE(d.FillRect(0, 1, 1, 1, 0xFFFFFFFFu));
    EXPECT_EQ(d.GetPixel(0, 1), 0x00ABCDEFu);
    d.Fill(0x55, nullptr);
    for (std::uint32_t p : Pixels(d))
        EXPECT_EQ(p, 0x55u);
}

TEST(DibTest, ColourKeyForms) {
    CDib d;
    d.Create(platform::WindowHandle::Main, 2, 1, 24);
    EXPECT_EQ(d.SetColorKey(0x12, 0x34, 0x56), 0);
    EXPECT_EQ(d.GetColorKey(), 0x123456u);
    d.SetColorKeyValue(0xFF654321);
    EXPECT_EQ(d.GetColorKey(), 0x654321u);
    d.SetPixel(1, 0, 0x80ABCDEF);
    EXPECT_EQ(d.SetColorKeyFromPixel(1, 0), 0);
    EXPECT_EQ(d.GetColorKey(), 0xABCDEFu);
    EXPECT_EQ(d.SetColorKeyFromPixel(2, 0), 1);
    EXPECT_EQ(d.GetColorKey(), 0xABCDEFu);
}

TEST(DibTest, FlagsSurviveRecreationAndResizeKeepsSameSize) {
    CDib d;
    d.SetFlags(kDibSectionFlag);
    d.SetFlags(0x4);
    EXPECT_TRUE(d.TestFlags(0x80000004u));
    d.ClearFlags(0x4);
    EXPECT_EQ(d.GetFlags(), kDibSectionFlag);
    d.Create(platform::WindowHandle::Main, 3, 3, 24);
    EXPECT_EQ(d.GetFlags(), kDibSectionFlag);
    d.SetPixel(1, 1, 7);
    EXPECT_EQ(d.Resize(3, 3), 0);
    EXPECT_EQ(d.GetPixel(1, 1), 7u);
    EXPECT_EQ(d.Resize(5, 2), 1);
    EXPECT_EQ(d.GetWidth(), 5);
    EXPECT_EQ(d.GetPixel(1, 1), 0u);
    EXPECT_EQ(d.Destroy(), 0);
    EXPECT_EQ(d.GetWidth(), 0);
    EXPECT_EQ(d.GetBits(), nullptr);
}

TEST(DibTest, IntersectRectWithTheImage) {
    CDib d;
    d.Create(platform::WindowHandle::Main, 10, 8, 24);
    DibRect out;
    const DibRect r{-5, 2, 4, 20};
    EXPECT_TRUE(d.IntersectRect(&out, &r));
    EXPECT_EQ(out.left, 0);
    EXPECT_EQ(out.top, 2);
    EXPECT_EQ(out.right, 4);
    EXPECT_EQ(out.bottom, 8);
    EXPECT_TRUE(d.IntersectRect(&out, nullptr));
    EXPECT_EQ(out.right, 10);
    const DibRect away{20, 20, 30, 30};
    EXPECT_FALSE(d.IntersectRect(&out, &away));
}

// Each rectangle blit of a renderer runs its own kernel from the table the
// renderer was made with, with the blit's arguments; a plain copy runs none.
namespace {
std::string g_kernelCalls;
void Record(char kind, std::uint32_t* d, int n, const blit_kernels::RowArgs& a) {
    g_kernelCalls += kind;
    for (int i = 0; i < n; ++i)
        d[i] = a.key ^ a.dstFactor ^ a.srcFactor ^ static_cast<std::uint32_t>(kind);
}
const blit_kernels::KernelSet& RecordingKernels() {
    static constexpr blit_kernels::KernelSet kTable{
        [](std::uint32_t* d, const std::uint32_t*, int n, const blit_kernels::RowArgs& a) {
            Record('a', d, n, a);
        },
        [](std::uint32_t* d, const std::uint32_t*, int n, const blit_kernels::RowArgs& a) {
            Record('b', d, n, a);
        },
        [](std::uint32_t* d, const std::uint32_t*, int n, const blit_kernels::RowArgs& a) {
            Record('l', d, n, a);
        },
        [](std::uint32_t* d, const std::uint32_t*, int n, const blit_kernels::RowArgs& a) {
            Record('k', d, n, a);
        },
    };
    return kTable;
}
} // namespace

TEST(DibTest, ARendererDrawsWithTheKernelTableItIsMadeWith) {
    CDib src;
    src.Create(platform::WindowHandle::Main, 3, 1, 24); // colour key 0x00FF00
    src.SetPixel(0, 0, 0x123456);
    CDibRenderer r(&RecordingKernels);
    r.Create(3, 1);
    g_kernelCalls.clear();
    r.BltAlpha(&src, 0, 0, nullptr, nullptr, nullptr);
    EXPECT_EQ(r.GetPixel(1, 0), static_cast<std::uint32_t>('a'));
    r.BltBlend(&src, 0, 0, 0x10, 0x200, nullptr, nullptr, nullptr);
    EXPECT_EQ(r.GetPixel(2, 0), (0x10u ^ 0x200u ^ 'b'));
    r.BltAlphaBlend(&src, 0, 0, 0x30, 0x400, nullptr, nullptr, nullptr);
    EXPECT_EQ(r.GetPixel(0, 0), (0x30u ^ 0x400u ^ 'l'));
    r.BltKeyed(&src, 0, 0, nullptr, nullptr, nullptr);
    EXPECT_EQ(r.GetPixel(0, 0), (0x00FF00u ^ 'k'));
    EXPECT_EQ(g_kernelCalls, "ablk");
    r.Blt(&src, 0, 0, nullptr, nullptr, nullptr);
    EXPECT_EQ(g_kernelCalls, "ablk");
    EXPECT_EQ(r.GetPixel(0, 0) & 0xFFFFFF, 0x123456u);
}

TEST(DibTest, RendererClassFollowsTheProcessorClass) {
    // Classes 1 and 2 draw with plain arithmetic, 3 and 4 with MMX
    // arithmetic: per-pixel alpha 128 of 200 over 100 tells them apart.
    const int saved = g_cpuRendererClass;
    for (int cls = 1; cls <= 4; ++cls) {
        g_cpuRendererClass = cls;
        CDib src, dst;
        src.Create(platform::WindowHandle::Main, 1, 1, 24);
        dst.Create(platform::WindowHandle::Main, 1, 1, 24);
        src.SetPixel(0, 0, 0x80000000u | 200);
        dst.SetPixel(0, 0, 100);
        dst.BltAlpha(&src, 0, 0, nullptr, nullptr, nullptr);
        EXPECT_EQ(dst.GetPixel(0, 0), cls <= 2 ? 149u : 150u) << "class " << cls;
    }
    g_cpuRendererClass = 0;
    const int asked = GetCpuRendererClass();
    EXPECT_GE(asked, 1);
    EXPECT_LE(asked, 4);
#if defined(__x86_64__)
    EXPECT_GE(asked, 3); // every x86-64 processor has MMX
#endif
    g_cpuRendererClass = saved;
}

TEST(DibTest, OnlySectionsHandOutTheirPixelsAndADrawingContext) {
    CDib plain;
    plain.Create(platform::WindowHandle::Main, 4, 3, 24);
    EXPECT_FALSE(plain.GetBitmap());
    EXPECT_FALSE(plain.GetDC().has_value());
    CDib empty;
    empty.SetFlags(kDibSectionFlag);
    empty.Create(platform::WindowHandle::Main, 0, 3, 24);
    EXPECT_FALSE(empty.GetDC().has_value());

    CDib section;
    section.SetFlags(kDibSectionFlag);
    section.Create(platform::WindowHandle::Main, 4, 3, 24);
    const DibBitmap bitmap = section.GetBitmap();
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap.width, 4);
    EXPECT_EQ(bitmap.height, 3);
    EXPECT_EQ(bitmap.pixels.size(), 12u);
    EXPECT_EQ(bitmap.pixels.data(), section.GetPixelPtr(0, 0));
}

TEST(DibTest, DrawingThroughTheContextCopiesClippedRectanglesIntoTheImage) {
    CDib source, target;
    for (CDib* d : {&source, &target}) {
        d->SetFlags(kDibSectionFlag);
        d->Create(platform::WindowHandle::Main, 4, 3, 24);
    }
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            source.SetPixel(x, y, 0xAA000000u | static_cast<std::uint32_t>(y * 16 + x));
    target.FillRect(0, 0, 4, 3, 0x00777777);
    {
        auto dc = target.GetDC();
        ASSERT_TRUE(dc.has_value());
        // (1, 0, 3 x 3) of the source to (2, -1): the first row and the last
        // two columns fall outside the target; the fourth byte travels along.
        dc->BitBlt(2, -1, 3, 3, source.GetBitmap(), 1, 0);
    }
    const std::uint32_t grey = 0x00777777;
    const std::uint32_t expected[3][4] = {{grey, grey, 0xAA000011u, 0xAA000012u},
                                          {grey, grey, 0xAA000021u, 0xAA000022u},
                                          {grey, grey, grey, grey}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(target.GetPixel(x, y), expected[y][x]) << x << "," << y;

    // Within one picture: one row down, overlapping, reads each row before
    // it is overwritten.
    auto dc = source.GetDC();
    dc->BitBlt(0, 1, 4, 2, source.GetBitmap(), 0, 0);
    EXPECT_EQ(source.GetPixel(3, 1), 0xAA000003u);
    EXPECT_EQ(source.GetPixel(3, 2), 0xAA000013u);
    EXPECT_EQ(source.GetPixel(3, 0), 0xAA000003u);
    // Wholly outside: nothing.
    dc->BitBlt(4, 0, 2, 2, source.GetBitmap(), 0, 0);
    dc->BitBlt(0, 0, 2, 2, source.GetBitmap(), -5, 0);
    EXPECT_EQ(source.GetPixel(0, 0), 0xAA000000u);
}
