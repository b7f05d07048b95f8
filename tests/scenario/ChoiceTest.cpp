// Mode 17: plates and their colours, choosing by mouse and by keys, the
// history entry, the taken flags, the cursor glide and the start script's
// restrictions.
#include "MessageFixture.h"

#include <string>

using testing_support::MessageTest;
using testing_support::Rgb;
namespace hl = platform::headless;

namespace {

class ChoiceTest : public MessageTest {
protected:
    // Two options: "ab" jumps to label a, "cd" to label b.
    void StartChoice(int point, const std::string& name = "test.s") {
        Start("clear_choices\nadd_choice target=a text=\"ab\"\nadd_choice target=b "
              "text=\"cd\"\nchoice point=" +
                  std::to_string(point) + "\na: end\nb: end",
              name);
        RunUntilModeChanges();
        ASSERT_EQ(App().mode, 17);
        S().subState = 0;
    }
    void Frame(std::uint32_t ms = 30) {
        S().RunChoice();
        hl::AdvanceClock(ms);
    }
    std::uint32_t Flag(int point, int option) const {
        return g_config[config::kChoiceFlags + 3u * point + option];
    }
};

} // namespace

TEST_F(ChoiceTest, PlatesShowTheirTextsWithTakenOptionsInTheirColour) {
    g_config[config::kChoiceFlags + 3 * 4 + 1] = 1; // point 4, option 2 taken before
    StartChoice(4);
    Frame();
    EXPECT_EQ(S().subState, 1);
    const platform::Rect& r = S().choicePlateRects[1];
    EXPECT_EQ((std::array<int, 4>{r.left, r.top, r.right, r.bottom}),
              (std::array<int, 4>{152, 240, 664, 304}));
    // The scene under the half-black overlay is darker; the plates are opaque grey.
    const std::uint32_t dim = Rgb(g_backBuffer.get(), 10, 10);
    EXPECT_LT(dim & 0xFF, 0x30u);
    EXPECT_EQ(Rgb(g_backBuffer.get(), 160, 150), 0x404040u);
    // "ab": 2 bytes, x = 400 - 1 * 13 = 387, y = 140 + 21; one-byte
    // characters advance 13.
    EXPECT_EQ(Rgb(g_backBuffer.get(), 387, 161), testing_support::kInk);
    EXPECT_EQ(Rgb(g_backBuffer.get(), 400, 161), testing_support::kInk);
    // Taken: 0xA9BBFF, each channel c becoming (c * 255) >> 8.
    EXPECT_EQ(Rgb(g_backBuffer.get(), 387, 261), 0xA8BAFEu);
    EXPECT_EQ(Rgb(g_backBuffer.get(), 400, 261), 0xA8BAFEu);
}

TEST_F(ChoiceTest, AClickOnAPlateLogsTheOptionSetsItsFlagAndJumps) {
    App().logCount = 1;
    StartChoice(7);
    Frame();
    g_mouse->x = 300;
    g_mouse->y = 250;
    Frame();
    EXPECT_EQ(S().choiceHover, 2);
    // The lit plate moved two pixels left.
    EXPECT_EQ(Rgb(g_backBuffer.get(), 151, 260), 0x808080u);
    g_mouse->click = 1;
    Frame();
    EXPECT_EQ(S().subState, 2);
    Frame();
    EXPECT_EQ(App().logCount, 2);
    EXPECT_EQ(std::string(App().logText[1].data()), "\xA1\xF9\xA1\xA1"
                                                    "cd\xA1\xA1\xA1\xF9");
    EXPECT_EQ(Flag(7, 1), 1u);
    EXPECT_EQ(Flag(7, 0), 0u);
    EXPECT_EQ(S().pc, S().choiceTarget[1]);
    EXPECT_EQ(g_screenSnapshot, nullptr);
    EXPECT_EQ(Rgb(g_backBuffer.get(), 160, 150), MessageTest::kBackColour); // plates gone
    Frame();
    EXPECT_EQ(App().mode, 2);
    EXPECT_EQ(S().subState, 0);

    // A click on no plate does nothing.
    StartChoice(7);
    Frame();
    g_mouse->x = 10;
    g_mouse->y = 10;
    g_mouse->click = 1;
    Frame();
    EXPECT_EQ(S().subState, 1);
    EXPECT_EQ(g_mouse->click, 0);
}

TEST_F(ChoiceTest, UpAndDownWrapAroundAndPutTheCursorOnThePlate) {
    StartChoice(1);
    Frame();
    struct Move {
        bool up;
        std::uint8_t hover;
    };
    // From nothing up selects 1; from 1 up selects 2 (wraps); from 2 down wraps to 1.
    const Move moves[] = {{true, 1}, {true, 2}, {false, 1}, {false, 2}};
    g_mouse->x = g_mouse->y = 0;
    for (const Move& m : moves) {
        (m.up ? g_keyboard->up : g_keyboard->down) = 1;
        Frame();
        EXPECT_EQ(S().choiceHover, m.hover);
        EXPECT_EQ(g_keyboard->up + g_keyboard->down, 0);
        EXPECT_EQ(g_mouse->x, 152 + 450);
        EXPECT_EQ(g_mouse->y, 140 + 100 * (m.hover - 1) + 30);
        // The next hover test keeps the option.
        Frame();
        EXPECT_EQ(S().choiceHover, m.hover);
    }
    StartChoice(1);
    Frame();
    g_keyboard->down = 1;
    g_mouse->x = g_mouse->y = 0;
    Frame();
    EXPECT_EQ(S().choiceHover, 2); // from nothing down selects the last
    g_mouse->click = 1;
    Frame();
    Frame();
    EXPECT_EQ(Flag(1, 1), 1u);
}

TEST_F(ChoiceTest, APointBeyondTheFlagTableRecordsNothing) {
    StartChoice(1);
    S().choicePoint = 200; // past the 100 points of the table
    Frame();
    g_mouse->x = 300;
    g_mouse->y = 150;
    g_mouse->click = 1;
    Frame();
    Frame();
    EXPECT_EQ(S().subState, 3);
    EXPECT_EQ(g_config[config::kChoiceFlags + 3u * 200], 0);
}

TEST_F(ChoiceTest, TheCursorGlidesToItsTargetUnlessCtrlIsHeld) {
    g_config[config::kCursorGlide] = 1;
    StartChoice(1);
    g_mouse->x = 11;
    g_mouse->y = 575;
    Frame(0);
    EXPECT_EQ(S().subState, 6);
    // 75 ms: step 45, sin 135 deg = 0.7071: 411 + (11 - 411) * 0.7071 = 128.1;
    // 175 + 400 * 0.7071 = 457.8.
    hl::AdvanceClock(75);
    Frame(0);
    const platform::Rect r = platform::GetWindowRect();
    const int top = r.top; // no display controller: no caption above the client area
    EXPECT_EQ(hl::CursorX() - r.left, 128);
    EXPECT_EQ(hl::CursorY() - top, 457);
    g_mouse->click = 1;
    hl::AdvanceClock(75);
    Frame(0);
    EXPECT_EQ(S().subState, 1);
    EXPECT_EQ(hl::CursorX() - r.left, 411);
    EXPECT_EQ(hl::CursorY() - top, 175);
    EXPECT_EQ(g_mouse->click, 0);

    // Ctrl ends the glide at once.
    StartChoice(1);
    Frame(0);
    g_mouse->skip = 1;
    Frame(0);
    EXPECT_EQ(S().subState, 1);
}

TEST_F(ChoiceTest, TheStartScriptReachesNeitherTheHistoryNorTheMenu) {
    StartChoice(1, "start.S");
    Frame();
    g_keyboard->left = 1;
    g_mouse->cancel = 1;
    Frame();
    EXPECT_EQ(App().mode, 17);
    g_keyboard->left = 0;
    g_mouse->cancel = 0;

    StartChoice(1);
    Frame();
    g_mouse->middle = 1;
    Frame();
    EXPECT_EQ(App().mode, 6);
    EXPECT_EQ(App().returnMode, 17);
    App().mode = 17;
    S().subState = 1;
    g_mouse->cancel = 1;
    Frame();
    EXPECT_EQ(App().mode, 8);
    EXPECT_EQ(S().skipMode, 0);
}
