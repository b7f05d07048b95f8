#include "app/Present.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A back buffer whose every pixel names its own place: (y << 12) | x | 1 << 24.
const CDib& Numbered() {
    static CDib d;
    if (d.GetWidth() == 0) {
        d.Create(platform::WindowHandle::Main, 800, 600, 24);
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x)
                *d.GetPixelPtr(x, y) = (1u << 24) | (std::uint32_t(y) << 12) | std::uint32_t(x);
    }
    return d;
}

std::uint32_t Src(int x, int y) {
    return (1u << 24) | (std::uint32_t(y) << 12) | std::uint32_t(x);
}

// What the window showed before the paint.
constexpr std::uint32_t kBefore = 0xDEADBEEF;

struct Window {
    std::vector<std::uint32_t> px = std::vector<std::uint32_t>(800 * 600, kBefore);
    std::uint32_t at(int x, int y) const { return px[static_cast<size_t>(y) * 800 + x]; }
};

TEST(PresentTest, PlainCopyWithoutQuake) {
    const CDib& back = Numbered();
    Window w;
    ComposeWindowPicture(back, nullptr, w.px);
    EXPECT_EQ(w.at(0, 0), Src(0, 0));
    EXPECT_EQ(w.at(799, 599), Src(799, 599));
}

TEST(PresentTest, ShiftedKindsLeaveUncoveredAreasAsTheWindowShowedThem) {
    const CDib& back = Numbered();
    struct Case {
        int type, phase, dx, dy; // expected shift of the picture
    };
    const int o = 5;
    const Case cases[] = {{0, 0, o, 0},  {1, 9, 0, o}, {2, 1, o, o}, {3, 2, -o, o},
                          {4, 1, -o, o}, {5, 2, o, o}, {10, 0, 0, 0}};
    for (const Case& c : cases) {
        int asked = 0;
        QuakeView q{c.type,
                    c.phase,
                    [&](int) {
                        ++asked;
                        return std::int16_t(o);
                    },
                    {}};
        Window w;
        ComposeWindowPicture(back, &q, w.px);
        const int x = 400, y = 300;
        EXPECT_EQ(w.at(x, y), Src(x - c.dx, y - c.dy)) << c.type;
        if (c.dx > 0) {
            EXPECT_EQ(w.at(0, 300), kBefore) << c.type;
        }
        if (c.dx < 0) {
            EXPECT_EQ(w.at(799, 300), kBefore) << c.type;
        }
        if (c.dy > 0) {
            EXPECT_EQ(w.at(400, 0), kBefore) << c.type;
        }
        EXPECT_EQ(asked, c.type <= 5 ? 1 : 0) << c.type;
    }
}

TEST(PresentTest, PhaseOutsideOneAndTwoLeavesTheWindowAsItWas) {
    const CDib& back = Numbered();
    for (auto [type, phase] : {std::pair{2, 0}, {3, 3}, {4, 0}, {5, 7}}) {
        int asked = 0;
        QuakeView q{type,
                    phase,
                    [&](int) {
                        ++asked;
                        return std::int16_t(3);
                    },
                    {}};
        Window w;
        ComposeWindowPicture(back, &q, w.px);
        EXPECT_EQ(w.at(400, 300), kBefore) << type;
        // Kinds 0 to 5 still ask for the offset once per paint.
        EXPECT_EQ(asked, 1) << type;
    }
}

TEST(PresentTest, KindsWithoutAShakeShowThePictureUnshifted) {
    const CDib& back = Numbered();
    for (int type : {8, 9, 11, 12, 200}) {
        int asked = 0;
        QuakeView q{type,
                    1,
                    [&](int) {
                        ++asked;
                        return std::int16_t(3);
                    },
                    {}};
        Window w;
        ComposeWindowPicture(back, &q, w.px);
        EXPECT_EQ(w.at(400, 300), Src(400, 300)) << type;
        EXPECT_EQ(w.at(0, 0), Src(0, 0)) << type;
        EXPECT_EQ(asked, 0) << type;
    }
}

TEST(PresentTest, TheDiagonalIsReadAfterTheOffsetIsAsked) {
    // Asking may start the next period on the other diagonal: the copy
    // follows the diagonal as it stands after the question.
    const CDib& back = Numbered();
    int phase = 1;
    QuakeView q{2, phase,
                [&](int) {
                    phase = 2;
                    return std::int16_t(4);
                },
                [&] { return phase; }};
    Window w;
    ComposeWindowPicture(back, &q, w.px);
    EXPECT_EQ(w.at(400, 300), Src(404, 296)); // copied to (L - 4, T + 4)
}

TEST(PresentTest, PerRowKindsAskEveryRowInOrder) {
    const CDib& back = Numbered();
    std::vector<int> rows;
    auto wave = [&](int row) {
        rows.push_back(row);
        return std::int16_t(row % 3 - 1); // -1, 0, 1, -1, ...
    };
    {
        QuakeView q{6, 0, wave, {}};
        Window w;
        ComposeWindowPicture(back, &q, w.px);
        ASSERT_EQ(rows.size(), 600u);
        EXPECT_EQ(rows.front(), 0);
        EXPECT_EQ(rows.back(), 599);
        EXPECT_EQ(w.at(10, 0), Src(11, 0)); // row 0 moved left by 1
        EXPECT_EQ(w.at(799, 0), kBefore);
        EXPECT_EQ(w.at(10, 1), Src(10, 1)); // row 1 unmoved
        EXPECT_EQ(w.at(10, 2), Src(9, 2));  // row 2 moved right by 1
        EXPECT_EQ(w.at(0, 2), kBefore);
    }
    rows.clear();
    {
        QuakeView q{7, 0, wave, {}};
        Window w;
        ComposeWindowPicture(back, &q, w.px);
        EXPECT_EQ(rows.size(), 600u);
        EXPECT_EQ(w.at(10, 0), kBefore); // source row -1 does not exist
        EXPECT_EQ(w.at(10, 1), Src(10, 1));
        EXPECT_EQ(w.at(10, 2), Src(10, 3));
        EXPECT_EQ(w.at(10, 599), kBefore); // row 599 asks for source row 600
    }
}

} // namespace
