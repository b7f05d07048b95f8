// Mode 3 on the virtual clock: reveal timing, completing a page, skip and
// auto mode, hiding the window, the window buttons, the right click, the
// history count and the read flags.
#include "MessageFixture.h"

#include "app/ModeTable.h"
#include "app/Shell.h"
#include "lib/OggWriter.h"
#include "sound/SoundChannel.h"
#include "sound/SoundDevice.h"

#include <string>

using testing_support::Ink;
using testing_support::MessageTest;
using testing_support::Rgb;
namespace hl = platform::headless;

namespace {

const std::string kThree = "\xC4\xE3\xBA\xC3\xC2\xF0"; // 你好吗

class MessageDisplayTest : public MessageTest {
protected:
    // Story frames: the interpreter in mode 2, the display in mode 3, the
    // window buttons after either, as the frame pacing does.
    void Story(int frames, std::uint32_t ms = 8) {
        for (int i = 0; i < frames; ++i) {
            if (App().mode == 2)
                S().Step();
            else if (App().mode == 3)
                S().RunMessage();
            else if (App().mode == 36)
                S().SkipMessageLine(S().MessageView());
            else
                break;
            if (App().mode == 2 || App().mode == 3) S().PressWindowButton(S().hoverButton);
            hl::AdvanceClock(ms);
        }
    }
    void SetRead(std::uint32_t block) { g_config[config::kReadFlags + block] = 1; }
    bool Read(std::uint32_t block) const { return g_config[config::kReadFlags + block] != 0; }
};

} // namespace

TEST_F(MessageDisplayTest, CharactersAppearAtTheTextSpeed) {
    struct Case {
        std::uint8_t speed;
        std::array<std::uint32_t, 3> times; // when characters 1, 2 and 3 appear
    };
    // A character follows once more than 100 - speed ms have passed.
    const Case cases[] = {{0, {0, 101, 202}}, {50, {0, 51, 102}}, {100, {0, 0, 0}}};
    for (const Case& c : cases) {
        const std::uint32_t start = platform::TimeGetTime();
        g_msgWindowText->FillRect(0, 0, 800, 139, kWindowColour);
        g_config[config::kTextSpeed] = c.speed;
        SetMessage(kThree);
        std::array<std::uint32_t, 3> seen{};
        std::size_t count = 0;
        for (std::uint32_t t = 0; t < 400 && count < 3; ++t) {
            S().RunMessage();
            for (std::size_t n = TextInk().size(); count < n && count < 3; ++count)
                seen[count] = platform::TimeGetTime() - start;
            hl::AdvanceClock(1);
        }
        EXPECT_EQ(seen, c.times) << int(c.speed);
        EXPECT_EQ(S().subState, 3) << int(c.speed);
    }
}

TEST_F(MessageDisplayTest, ClickCtrlAndSkipCompleteThePage) {
    // A click in the character delay draws the rest in that frame.
    S().textBlock = 7;
    SetMessage(kThree);
    Frames(2);
    ASSERT_EQ(TextInk().size(), 1u);
    g_mouse->click = 1;
    hl::AdvanceClock(5);
    S().RunMessage();
    EXPECT_EQ(TextInk().size(), 3u);
    EXPECT_EQ(S().subState, 3);
    EXPECT_EQ(g_mouse->click, 0);
    EXPECT_EQ(S().textDoneTime, platform::TimeGetTime());

    // Ctrl over unread text only hurries the next character...
    g_msgWindowText->FillRect(0, 0, 800, 139, kWindowColour);
    SetMessage(kThree);
    S().RunMessage();
    g_mouse->skip = 1;
    S().RunMessage();
    EXPECT_EQ(TextInk().size(), 2u);
    // ...and completes read text, which it then moves past.
    SetRead(7);
    S().RunMessage();
    EXPECT_EQ(TextInk().size(), 3u);
    EXPECT_EQ(S().subState, 3);
    S().RunMessage();
    EXPECT_EQ(App().mode, 2);
    g_mouse->skip = 0;

    // Skip mode over read text: whole, then on.
    g_msgWindowText->FillRect(0, 0, 800, 139, kWindowColour);
    S().skipMode = 1;
    SetMessage(kThree);
    S().RunMessage();
    EXPECT_EQ(TextInk().size(), 3u);
    S().RunMessage();
    EXPECT_EQ(App().mode, 2);
    EXPECT_EQ(S().skipMode, 1);
}

TEST_F(MessageDisplayTest, SkipGoesOnThroughReadTextAndStopsAtUnreadText) {
    Start("text_block block=1\nmessage text=\"a\"\ntext_block block=2\nmessage text=\"b\"\n"
          "text_block block=3\nmessage text=\"c\"\nend");
    SetRead(1);
    S().skipMode = 1;
    S().buttonLatched = 1;
    S().pendingButton = 1;
    Story(40);
    // Block 1 went by; block 2 is unread: skip mode and its latch are off.
    EXPECT_EQ(S().textBlock, 2u);
    EXPECT_EQ(App().mode, 3);
    EXPECT_EQ(S().subState, 3);
    EXPECT_EQ(S().skipMode, 0);
    EXPECT_EQ(S().buttonLatched, 0);
    EXPECT_FALSE(Read(2));
    // With unread-skipping on, skip mode runs through unread text too.
    g_config[config::kSkipScope] = 1;
    S().skipMode = 1;
    Story(40);
    EXPECT_TRUE(Read(2));
    EXPECT_TRUE(Read(3));
    EXPECT_EQ(App().mode, 1); // the script ended
}

TEST_F(MessageDisplayTest, AutoModeAdvancesAfterItsWaitOrWhenTheVoiceEnds) {
    S().autoMode = 1;
    g_config[config::kTextSpeed] = 100;
    SetMessage(kThree);
    S().RunMessage();
    ASSERT_EQ(S().subState, 3);
    const std::uint32_t done = S().textDoneTime;
    // 3000 - 30 * 50 = 1500 ms, and then one more.
    hl::AdvanceClock(done + 1500 - platform::TimeGetTime());
    S().RunMessage();
    EXPECT_EQ(App().mode, 3);
    hl::AdvanceClock(1);
    S().RunMessage();
    EXPECT_EQ(App().mode, 2);

    // A voice that plays holds the message however long it is.
    g_soundDevice.Close();
    InitDirectSound(platform::WindowHandle::Main);
    g_voiceEnabled = 1;
    tools::ToneSpec tone;
    tone.samples = 44100 * 3; // 3 s
    ASSERT_TRUE(tools::WriteOggTone("voice/long.ogg", tone));
    g_voiceChannels[0] = std::make_unique<CVoiceChannel>();
    ASSERT_TRUE(g_voiceChannels[0]->Load("long.ogg"));
    ASSERT_TRUE(g_voiceChannels[0]->Play(Repeat::Once));
    SetMessage(kThree);
    S().RunMessage();
    for (int i = 0; i < 25; ++i) { // 2.5 s
        hl::AdvanceClock(100);
        S().RunMessage();
    }
    EXPECT_EQ(App().mode, 3);
    g_voiceChannels[0]->Stop();
    S().RunMessage();
    EXPECT_EQ(App().mode, 2);
    EXPECT_EQ(g_voiceChannels[0], nullptr);
    g_soundDevice.Close();
}

TEST_F(MessageDisplayTest, HidingAndShowingTheWindowRestoresTheSamePixels) {
    ShowWhole(kThree);
    // Something of the window on the back buffer that the background lacks.
    g_backBuffer->FillRect(0, 461, 800, 139, 0x00ABCDEF);
    const std::vector<std::uint32_t> before(g_backBuffer->GetBits(),
                                            g_backBuffer->GetBits() + 800 * 600);
    g_keyboard->space = 1;
    S().RunMessage();
    EXPECT_EQ(S().windowHidden, 1);
    EXPECT_EQ(S().windowShown, 0);
    EXPECT_EQ(Rgb(g_backBuffer.get(), 400, 500), kBackColour);
    // A click while hidden only shows the window again.
    g_mouse->click = 1;
    S().RunMessage();
    EXPECT_EQ(App().mode, 3);
    EXPECT_EQ(S().windowHidden, 0);
    EXPECT_EQ(S().windowShown, 1);
    EXPECT_EQ(g_mouse->click, 0);
    const std::vector<std::uint32_t> after(g_backBuffer->GetBits(),
                                           g_backBuffer->GetBits() + 800 * 600);
    EXPECT_TRUE(before == after);
    EXPECT_EQ(g_menuSnapshot, nullptr);
}

TEST_F(MessageDisplayTest, TheHistoryCountsShownMessagesOnly) {
    Start("message rawtext=\"\\xA3\\xA3\\xC0\\xEE\\x00\"\nmessage text=\"one\"\nwindow_style "
          "style=2\nmessage text=\"band\"\n"
          "message_silent text=\"quiet\"\nend");
    g_config[config::kTextSpeed] = 100;
    // The command line names the speaker and is not counted.
    Story(3);
    ASSERT_NE(S().speakerName, nullptr);
    EXPECT_EQ(std::string(S().speakerName.get()), "\xC0\xEE");
    EXPECT_EQ(App().logCount, 0);
    Story(3);
    ASSERT_EQ(App().logCount, 1);
    EXPECT_EQ(std::string(App().logText[0].data()), "one");
    EXPECT_EQ(std::string(App().logNames[0].data()), "\xC0\xEE");
    // The name stands centred on x 108: (8 - (2 - 2) / 2) * 12 = 96, row 8.
    EXPECT_EQ(Rgb(g_msgWindowText.get(), 96, 469 - 461), testing_support::kInk);
    g_mouse->click = 1;
    Story(6);
    // Style 2: drawn into the band, not logged.
    EXPECT_EQ(S().messageStyle, 2);
    EXPECT_EQ(App().logCount, 1);
    // "band": 4 bytes, one line centred: x = 400 - 2 * 11 = 378, y 530.
    EXPECT_EQ(Rgb(g_backBuffer.get(), 378, 530), testing_support::kInk);
    EXPECT_EQ(Rgb(g_backBuffer.get(), 10, 495), 0u);
    g_mouse->click = 1;
    Story(8);
    // Mode 36 logs without drawing.
    EXPECT_EQ(App().logCount, 2);
    EXPECT_EQ(std::string(App().logText[1].data()), "quiet");
    EXPECT_EQ(App().mode, 1);
}

TEST_F(MessageDisplayTest, ReadFlagsStayInsideTheirTable) {
    S().textBlock = config::kReadFlagCount; // one past the table
    ShowWhole("a");
    g_mouse->click = 1;
    S().RunMessage();
    EXPECT_EQ(App().mode, 2);
    EXPECT_FALSE(S().TextBlockRead());
    EXPECT_EQ(g_config[config::kSceneCheckFlags], 0);
    S().textBlock = 5;
    ShowWhole("a");
    g_mouse->click = 1;
    S().RunMessage();
    EXPECT_TRUE(S().TextBlockRead());
}

TEST_F(MessageDisplayTest, RightClickOpensTheMenuOrAsksInSceneReplay) {
    ShowWhole(kThree);
    g_backBuffer->FillRect(0, 461, 800, 139, 0x00ABCDEF);
    g_mouse->cancel = 1;
    S().RunMessage();
    EXPECT_EQ(App().mode, 8);
    EXPECT_EQ(App().returnMode, 3);
    ASSERT_NE(g_menuSnapshot, nullptr);
    EXPECT_EQ(Rgb(g_menuSnapshot.get(), 400, 500), kBackColour); // window taken off

    S().playContext = 1;
    ShowWhole(kThree);
    g_mouse->cancel = 1;
    S().RunMessage(); // Cancel (no answer queued)
    ASSERT_EQ(hl::Questions().size(), 1u);
    EXPECT_EQ(hl::Questions()[0].gbkCaption, g_windowTitle);
    EXPECT_TRUE(hl::Questions()[0].okCancel);
    EXPECT_EQ(App().mode, 3);
    EXPECT_EQ(g_mouse->cancel, 0);
    hl::QueueAnswer(platform::BoxAnswer::Ok);
    App().seName[0] = 'x';
    g_mouse->cancel = 1;
    S().RunMessage();
    EXPECT_EQ(App().mode, 14);
    EXPECT_EQ(App().seName[0], 0);
    EXPECT_EQ(S().subState, 0);

    // The Left key opens the history from the click wait.
    S().playContext = 0;
    ShowWhole(kThree);
    g_keyboard->left = 1;
    S().RunMessage();
    EXPECT_EQ(App().mode, 6);
    EXPECT_EQ(App().returnMode, 3);
}

TEST_F(MessageDisplayTest, WindowButtonsAreHitLatchedAndCarriedOut) {
    struct Hit {
        int x, y;
        std::uint8_t style, context;
        bool read;
        std::uint8_t button;
    };
    const Hit hits[] = {
        {514, 472, 0, 0, true, 1},  {545, 481, 0, 0, true, 1}, {546, 472, 0, 0, true, 0},
        {514, 472, 0, 0, false, 0}, // skip over unread text
        {560, 475, 0, 0, false, 2}, {610, 475, 0, 0, true, 3}, {670, 475, 0, 0, true, 4},
        {720, 475, 0, 0, true, 5},  {785, 475, 0, 0, true, 6}, {610, 475, 0, 1, true, 0},
        {720, 475, 0, 3, true, 0},  {490, 575, 1, 0, true, 1}, {730, 575, 1, 0, true, 0},
        {690, 575, 1, 1, true, 5},  {690, 575, 1, 3, true, 0}, {580, 575, 1, 2, true, 0},
    };
    for (const Hit& h : hits) {
        g_mouse->x = h.x;
        g_mouse->y = h.y;
        S().messageStyle = h.style;
        S().playContext = h.context;
        g_config[config::kReadFlags + 1] = h.read;
        S().textBlock = 1;
        EXPECT_EQ(S().HitTestWindowButton(), h.button) << h.x << "," << h.y;
    }
    S().messageStyle = 0;
    S().playContext = 0;

    // Skip: latched by a click, on while latched, off at a right click.
    S().subState = 2;
    g_mouse->click = 1;
    S().PressWindowButton(1);
    EXPECT_EQ(S().buttonLatched, 1);
    EXPECT_EQ(S().pendingButton, 1);
    EXPECT_EQ(g_mouse->click, 0);
    S().DoWindowButtonAction();
    EXPECT_EQ(S().skipMode, 1);
    g_mouse->cancel = 1;
    S().PressWindowButton(0);
    EXPECT_EQ(S().skipMode, 0);
    EXPECT_EQ(S().buttonLatched, 0);
    EXPECT_EQ(g_mouse->cancel, 0);

    // Hide outside the click wait only eats the click.
    g_mouse->click = 1;
    S().PressWindowButton(6);
    EXPECT_EQ(S().buttonLatched, 0);
    EXPECT_EQ(g_mouse->click, 0);

    // Auto latched: a click on the text does not advance.
    ShowWhole(kThree);
    g_mouse->click = 1;
    S().PressWindowButton(2);
    S().DoWindowButtonAction();
    EXPECT_EQ(S().autoMode, 1);
    g_mouse->click = 1;
    S().RunMessage();
    EXPECT_EQ(App().mode, 3);
    g_mouse->cancel = 1;
    S().PressWindowButton(0);
    EXPECT_EQ(S().autoMode, 0);

    // Save: the menu snapshot without the window, then mode 10.
    g_backBuffer->FillRect(0, 461, 800, 139, 0x00ABCDEF);
    g_mouse->click = 1;
    S().PressWindowButton(3);
    S().DoWindowButtonAction();
    EXPECT_EQ(App().mode, 10);
    EXPECT_EQ(App().returnMode, 3);
    EXPECT_EQ(S().menuReturn, 1);
    EXPECT_EQ(S().buttonLatched, 0);
    ASSERT_NE(g_menuSnapshot, nullptr);
    EXPECT_EQ(Rgb(g_menuSnapshot.get(), 400, 500), kBackColour);
    EXPECT_EQ(Rgb(g_menuSnapshot.get(), 400, 400), kBackColour);
}

TEST_F(MessageDisplayTest, WindowButtonsClickEvenWithEffectsSwitchedOff) {
    g_soundDevice.Close();
    InitDirectSound(platform::WindowHandle::Main);
    g_seEnabled = 1;
    tools::ToneSpec tone;
    tone.samples = 44100;
    ASSERT_TRUE(tools::WriteOggTone("se/sys_010.ogg", tone));
    g_config[config::kSeOff] = 1;
    g_config[config::kSeVolume] = 50;
    struct Case {
        std::uint8_t button, context;
        bool clicks;
    };
    // Button 6 is silent in context 0, buttons 3..5 in any other.
    const Case cases[] = {{1, 0, true}, {3, 0, true},  {5, 0, true}, {6, 0, false},
                          {2, 1, true}, {3, 1, false}, {6, 1, true}};
    S().subState = 3;
    for (const Case& c : cases) {
        g_seChannels[0].reset();
        S().buttonLatched = 0;
        S().playContext = c.context;
        g_mouse->click = 1;
        S().PressWindowButton(c.button);
        EXPECT_EQ(S().buttonLatched, 1) << int{c.button};
        EXPECT_EQ(g_seChannels[0] && !g_seChannels[0]->IsStopped(), c.clicks)
            << int{c.button} << " in context " << int{c.context};
    }
    g_seChannels[0].reset();
    S().buttonLatched = 0;
    S().playContext = 0;
    g_soundDevice.Close();
}

TEST_F(MessageDisplayTest, FullPageColumnsRunRightToLeftAndEndAtThePageMark) {
    S().messageStyle = 1;
    S().penX = 712;
    g_glyphFont->SetFont(23, 1);
    g_config[config::kTextSpeed] = 100;
    // 23 characters fill a column exactly at the end: no extra column.
    std::string column;
    for (int i = 0; i < 23; ++i)
        column += "\xC4\xE3";
    SetMessage(column);
    S().RunMessage();
    EXPECT_EQ(S().subState, 3);
    EXPECT_EQ(S().penX, 712 - 42);
    EXPECT_EQ(S().pageLines, 1);
    EXPECT_EQ(S().speakerName, nullptr);
    // Column x 712, glyph rows from 16 - 19 + 23 * k: the 2nd character is ink at (712, 20).
    EXPECT_EQ(Rgb(cdib[0].get(), 712, 20), testing_support::kInk);
    // One more character opens a second column; the page mark ends the page.
    SetMessage(column + "\xBA\xC3"
                        "\xA1\xFD"
                        "\xC2\xF0");
    S().RunMessage();
    EXPECT_EQ(App().mode, 55);
    EXPECT_EQ(S().penX, 712 - 42 - 42);
    EXPECT_EQ(S().penY, 16 + 23);
    EXPECT_EQ(DrawnCodes(0xC2F0), 0u);
}

TEST_F(MessageDisplayTest, TheFrameRunsTheStoryModesAndPressesTheHoveredButton) {
    SetMessage(kThree);
    g_config[config::kTextSpeed] = 100;
    ActiveModeTable().runOther(3, platform::WindowHandle::Main);
    EXPECT_EQ(S().subState, 3);
    // The pacing passes the hovered button on in the story modes...
    for (std::uint8_t mode : {2, 3, 4, 18, 25, 38, 39, 40, 55}) {
        App().mode = mode;
        S().hoverButton = 2;
        S().buttonLatched = 0;
        g_mouse->click = 1;
        App().Pace();
        EXPECT_EQ(S().buttonLatched, 1) << int(mode);
        EXPECT_EQ(S().pendingButton, 2) << int(mode);
    }
    // ...and not elsewhere.
    App().mode = 17;
    S().buttonLatched = 0;
    g_mouse->click = 1;
    App().Pace();
    EXPECT_EQ(S().buttonLatched, 0);
    EXPECT_EQ(g_mouse->click, 1);
    for (auto& c : g_seChannels)
        c.reset();
}

// A caption after the window was put away (a transition or erasing it does
// that): its button places act as the window's buttons, and the clicks after
// them still reach the story.
TEST_F(MessageDisplayTest, CaptionButtonPlacesActAndLeaveNoClickStuck) {
    const auto clickAt = [&](int x, int y) {
        g_mouse->x = x;
        g_mouse->y = y;
        g_mouse->click = 1;
        App().RunFrame();
    };
    S().messageStyle = 2;
    S().windowShown = 0;
    ShowWhole(kThree);
    ASSERT_EQ(S().subState, 3);
    clickAt(560, 475); // auto
    EXPECT_EQ(S().autoMode, 1);
    EXPECT_EQ(App().mode, 3);
    g_mouse->cancel = 1; // ends auto
    App().RunFrame();
    EXPECT_EQ(S().autoMode, 0);
    EXPECT_EQ(S().buttonLatched, 0);
    clickAt(300, 300);
    EXPECT_EQ(App().mode, 2);
    for (auto& c : g_seChannels)
        c.reset();
}

// The icon starts clean at each new wait, whether the last one was clicked
// away while its cells appeared or while they faded out.
TEST_F(MessageDisplayTest, EveryClickWaitStartsTheIconAfresh) {
    Picture("system/c_wait.bmp", 560, 73, 0xFFFFFFFF); // opaque white cells
    g_waitIcon = std::make_unique<CDib>();
    ASSERT_TRUE(g_waitIcon->LoadFile(platform::WindowHandle::Main,
                                     (dir_.path() / "system/c_wait.bmp").c_str()));
    const auto iconShowsAfter = [&](std::uint32_t ms) {
        g_backBuffer->FillRect(0, 0, 800, 600, kBackColour);
        hl::AdvanceClock(ms);
        S().DrawClickWaitIcon(732, 529);
        return Rgb(g_backBuffer.get(), 740, 540) != kBackColour;
    };
    const auto nextWait = [&] {
        g_mouse->click = 1;
        S().RunMessage();
        ASSERT_EQ(App().mode, 2);
        ShowWhole(kThree);
        ASSERT_EQ(S().subState, 3);
    };
    ShowWhole(kThree);
    // Three steps: the first cells stand at 254 and 128.
    for (int i = 0; i < 3; ++i)
        iconShowsAfter(81);
    nextWait();
    EXPECT_FALSE(iconShowsAfter(0));
    EXPECT_FALSE(iconShowsAfter(81)); // the first cell begins at opacity 0
    for (int i = 0; i < 10; ++i)
        iconShowsAfter(81);
    ASSERT_EQ(S().waitIconFading, 1);
    nextWait();
    EXPECT_FALSE(iconShowsAfter(0));
}
