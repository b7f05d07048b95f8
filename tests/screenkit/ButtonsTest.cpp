// Buttons, flags, the state table and the exits of the screen toolkit.
#include "screenkit/Buttons.h"

#include "frontend/FrontendFixture.h"
#include "lib/ScriptAssembler.h"
#include "screenkit/Leave.h"
#include "screenkit/Slots.h"
#include "screenkit/StateTable.h"

using namespace frontend_test;
using platform::Rect;

namespace {

class ScreenButtonsTest : public FrontendTest {};

TEST_F(ScreenButtonsTest, HoverIsTheFirstRectangleUnderTheMouseAndChangesAreReported) {
    // The second rectangle overlaps the first; the third lies apart.
    const std::array<Rect, 3> rects{Rect{10, 10, 50, 30}, Rect{40, 20, 90, 60},
                                    Rect{200, 200, 210, 210}};
    std::uint8_t hover = 0, previous = 9;
    MoveTo(45, 25);
    EXPECT_TRUE(screenkit::TrackHover(hover, previous, rects));
    EXPECT_EQ(hover, 1);
    EXPECT_EQ(previous, 0);
    MoveTo(50, 25); // the first one's right edge is outside it
    EXPECT_TRUE(screenkit::TrackHover(hover, previous, rects));
    EXPECT_EQ(hover, 2);
    EXPECT_EQ(previous, 1);
    MoveTo(60, 50);
    EXPECT_FALSE(screenkit::TrackHover(hover, previous, rects));
    EXPECT_EQ(previous, 2);
    MoveTo(210, 205);
    EXPECT_TRUE(screenkit::TrackHover(hover, previous, rects));
    EXPECT_EQ(hover, 0);
    MoveTo(209, 209);
    EXPECT_EQ(screenkit::HitItem(rects), 3);
    EXPECT_EQ(screenkit::HitItem({}), 0);
}

TEST_F(ScreenButtonsTest, FlagsAreTakenOnceAndTheQuitQuestionLeavesNoClick) {
    EXPECT_FALSE(screenkit::TakeClick());
    g_mouse->click = 1;
    g_mouse->cancel = 1;
    EXPECT_TRUE(screenkit::TakeClick());
    EXPECT_FALSE(screenkit::TakeClick());
    EXPECT_TRUE(screenkit::TakeCancel());
    EXPECT_FALSE(screenkit::TakeCancel());

    hl::QueueAnswer(platform::BoxAnswer::Cancel);
    hl::QueueAnswer(platform::BoxAnswer::Ok);
    for (bool expected : {false, true}) {
        g_mouse->click = 1;
        EXPECT_EQ(screenkit::ConfirmQuit(), expected);
        EXPECT_EQ(g_mouse->click, 0);
    }
    ASSERT_EQ(hl::Questions().size(), 2u);
}

TEST_F(ScreenButtonsTest, RestoringAnAreaCopiesOnlyItFromTheCleanPage) {
    screenkit::BlankSurface(3, 0x112233);
    g_backBuffer->FillRect(0, 0, 800, 600, 0x445566);
    screenkit::RestoreArea(cdib[3].get(), 100, 50, 20, 10);
    EXPECT_EQ(Pixel(100, 50), 0x112233u);
    EXPECT_EQ(Pixel(119, 59), 0x112233u);
    EXPECT_EQ(Pixel(120, 59), 0x445566u);
    EXPECT_EQ(Pixel(119, 60), 0x445566u);
    EXPECT_EQ(Pixel(99, 50), 0x445566u);
}

// A screen of three states with a gap: state 1 has no handler.
struct Counting {
    void Zero(platform::WindowHandle) { runs[0]++; }
    void Two(platform::WindowHandle) { runs[2]++; }
    std::array<int, 3> runs{};
};

TEST(StateTableTest, RunsTheHandlerOfTheStateAndNothingForGapsOrPastTheEnd) {
    constexpr screenkit::StateTable<Counting, 3> table{&Counting::Zero, nullptr, &Counting::Two};
    Counting screen;
    for (std::uint8_t state : {0, 1, 2, 2, 3, 255})
        screenkit::RunState(screen, state, table, platform::WindowHandle::Main);
    EXPECT_EQ(screen.runs, (std::array<int, 3>{1, 0, 2}));
    // The same table built from numbered states, in any order.
    constexpr auto numbered =
        screenkit::NumberedStates<Counting, 3>({{2, &Counting::Two}, {0, &Counting::Zero}});
    EXPECT_TRUE(numbered == table);
}

TEST_F(ScreenButtonsTest, ExitsSetTheBytesTheNextScreenReads) {
    g_scenario->menuReturn = 1;
    screenkit::LeaveAndComeBack(9, 57);
    EXPECT_EQ(g_gameApp->mode, 9);
    EXPECT_EQ(g_gameApp->returnMode, 57);
    EXPECT_EQ(g_scenario->menuReturn, 0);

    // A menu's way to an extras room: its state starts over on the way back
    // and the room runs in the replay play context.
    std::uint8_t state = 8;
    g_scenario->menuReturn = 1;
    screenkit::OpenExtras(state, 72, 61);
    EXPECT_EQ(state, 0);
    EXPECT_EQ(g_gameApp->mode, 72);
    EXPECT_EQ(g_gameApp->returnMode, 61);
    EXPECT_EQ(g_scenario->playContext, 1);
    EXPECT_EQ(g_scenario->menuReturn, 0);

    // Into a story: the screen's sounds stop, the script is loaded and the
    // interpreter runs it.
    WriteTone("se/a.ogg", 2);
    WriteTone("bgm/b.ogg", 3);
    std::filesystem::create_directories("script");
    std::string error;
    ASSERT_TRUE(nvasm::WriteScriptFile("script/x1.s", "end\n", error)) << error;
    screenkit::PlaySe(0, "se\\a.ogg");
    screenkit::StartMusic("bgm\\b.ogg");
    screenkit::SetMusicName("b.ogg");
    g_scenario->menuReturn = 1;
    g_scenario->particlesOn = 1;
    g_mouse->click = 1;
    screenkit::LeaveForStory("x1.s", 3);
    EXPECT_EQ(g_seChannels[0], nullptr);
    EXPECT_EQ(g_bgmChannel, nullptr);
    EXPECT_EQ(g_scenario->bgmName, nullptr);
    EXPECT_EQ(g_scenario->playContext, 3);
    EXPECT_EQ(g_scenario->menuReturn, 0);
    EXPECT_EQ(g_scenario->particlesOn, 0);
    EXPECT_EQ(g_mouse->click, 0);
    EXPECT_STREQ(g_gameApp->scriptName.data(), "x1.s");
    EXPECT_EQ(g_gameApp->mode, 2);
}

} // namespace
