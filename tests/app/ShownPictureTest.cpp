#include "app/ShownPicture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int kW = 800, kH = 600;

// A picture in rows `pitch` words apart, every pixel naming its place.
struct Rows {
    explicit Rows(int pitch) : pitch(pitch), px(static_cast<size_t>(pitch) * kH, 0xABABABAB) {
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                at(x, y) = (std::uint32_t(y) << 12) | std::uint32_t(x);
    }
    std::uint32_t& at(int x, int y) { return px[static_cast<size_t>(y) * pitch + x]; }
    int pitch;
    std::vector<std::uint32_t> px;
};

bool Same(const platform::Rect& a, const platform::Rect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool ShowsRows(const CShownPicture& shown, Rows& rows) {
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            if (shown.Pixels()[static_cast<size_t>(y) * kW + x] != rows.at(x, y)) return false;
    return true;
}

TEST(ShownPictureTest, FirstPictureAndAfterForgetIsWholeThenOnlyChangesCount) {
    Rows rows(kW);
    CShownPicture shown;
    EXPECT_TRUE(Same(shown.Update(rows.px.data(), kW), {0, 0, kW, kH}));
    EXPECT_TRUE(ShowsRows(shown, rows));
    // The same picture again changes nothing.
    const platform::Rect none = shown.Update(rows.px.data(), kW);
    EXPECT_TRUE(none.right <= none.left || none.bottom <= none.top);
    shown.Forget();
    EXPECT_TRUE(Same(shown.Update(rows.px.data(), kW), {0, 0, kW, kH}));
}

TEST(ShownPictureTest, ChangedPixelsAreBoundedExactlyAndTakenOver) {
    struct Case {
        std::vector<std::pair<int, int>> pixels;
        platform::Rect box;
    };
    const Case cases[] = {
        {{{0, 0}}, {0, 0, 1, 1}},
        {{{799, 599}}, {799, 599, 800, 600}},
        // Two far apart: one box around both, the rows between untouched.
        {{{10, 20}, {700, 500}}, {10, 20, 701, 501}},
        // Left and right end of one row, and a lone pixel further down.
        {{{0, 300}, {799, 300}, {400, 301}}, {0, 300, 800, 302}},
        // The corners of a wait icon's block.
        {{{700, 500}, {769, 572}}, {700, 500, 770, 573}},
    };
    for (int pitch : {kW, kW + 16}) {
        for (const Case& c : cases) {
            Rows rows(pitch);
            CShownPicture shown;
            shown.Update(rows.px.data(), pitch);
            for (auto [x, y] : c.pixels)
                rows.at(x, y) ^= 0x00010101;
            const platform::Rect r = shown.Update(rows.px.data(), pitch);
            EXPECT_TRUE(Same(r, c.box)) << "pitch " << pitch << " box " << r.left << "," << r.top
                                        << "," << r.right << "," << r.bottom;
            EXPECT_TRUE(ShowsRows(shown, rows));
        }
    }
}

TEST(ShownPictureTest, AChangeOnlyInTheFourthByteStillCounts) {
    Rows rows(kW);
    CShownPicture shown;
    shown.Update(rows.px.data(), kW);
    rows.at(5, 6) |= 0xFF000000u;
    EXPECT_TRUE(Same(shown.Update(rows.px.data(), kW), {5, 6, 6, 7}));
}

TEST(ShownPictureTest, WithADrawnRegionOnlyThatIsComparedAndShowsTellsTheTruth) {
    for (int pitch : {kW, kW + 16}) {
        Rows rows(pitch);
        CShownPicture shown;
        EXPECT_FALSE(shown.Shows(rows.px.data(), pitch)); // nothing shown yet
        shown.Update(rows.px.data(), pitch,
                     {300, 300, 310, 310}); // the first is whole all the same
        EXPECT_TRUE(shown.Shows(rows.px.data(), pitch));
        rows.at(305, 302) ^= 1;
        rows.at(100, 100) ^= 1; // outside what the caller says was drawn
        const platform::Rect r = shown.Update(rows.px.data(), pitch, {300, 300, 310, 310});
        EXPECT_TRUE(Same(r, {305, 302, 306, 303}));
        EXPECT_FALSE(shown.Shows(rows.px.data(), pitch));
        // A region reaching past the picture is cut to it.
        EXPECT_TRUE(
            Same(shown.Update(rows.px.data(), pitch, {-50, -50, 900, 700}), {100, 100, 101, 101}));
        EXPECT_TRUE(shown.Shows(rows.px.data(), pitch));
        const platform::Rect none = shown.Update(rows.px.data(), pitch, {});
        EXPECT_TRUE(none.right <= none.left);
    }
}

} // namespace
