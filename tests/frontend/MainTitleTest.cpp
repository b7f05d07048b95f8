// The main title: the new-game reset, the title music, the intro steps, the
// keyboard and the growing highlight, the zoom of a chosen item and where
// each item leads.
#include "frontend/MainTitle.h"

#include "FrontendFixture.h"
#include "app/Config.h"
#include "screenkit/ScreenKit.h"

#include <cstring>

using namespace frontend_test;
using platform::Event;
using platform::EventKind;

namespace {

constexpr std::uint32_t kBg = 0x303030;
constexpr std::uint32_t kLayer1 = 0xF00000;
constexpr std::uint32_t kLayer2 = 0x0000F0;
// Item k's label is opaque in its first 40 columns and clear elsewhere.
constexpr std::uint32_t kLabels[5] = {0x101080, 0x102080, 0x103080, 0x104080, 0x105080};
constexpr std::uint32_t kLit[5] = {0xFF0000, 0xFE0000, 0xFD0000, 0xFC0000, 0xFB0000};
constexpr std::uint32_t kPlates[5] = {0x00FF00, 0x00FE00, 0x00FD00, 0x00FC00, 0x00FB00};

void WriteLabels(const char* path, const std::uint32_t (&colours)[5]) {
    bmp_writer::BmpImage img;
    img.width = 188;
    img.height = 38 * 5;
    img.bitCount = 32;
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x)
            img.pixels.push_back(x < 40 ? 0xFF000000u | colours[y / 38] : 0u);
    std::filesystem::create_directories("system");
    ASSERT_TRUE(bmp_writer::WriteBmp(path, img));
}

class MainTitleTest : public FrontendTest {
protected:
    void SetUp() override {
        WriteSolid("system/title_bg.bmp", 800, 600, kBg);
        WriteLabels("system/title_p01.bmp", kLabels);
        WriteLabels("system/title_p02.bmp", kLit);
        std::vector<std::uint32_t> plates;
        for (std::uint32_t c : kPlates)
            plates.push_back(0xFF000000u | c);
        WriteBands("system/title_p03.bmp", 278, 38, plates);
        WriteBands("system/title_logo.bmp", 440, 320,
                   {0xFF000000u | kLayer1, 0xFF000000u | kLayer2});
        WriteTone("bgm/n006.ogg", 30);
        WriteTone("se/sys_010.ogg", 2);
        FrontendTest::SetUp();
        g_gameApp->mode = 1;
    }
    CMainTitle& Title() { return *g_mainTitle; }
    // Runs the title into Input with the intro cut short.
    void ToInput() {
        Frame();
        g_scenario->skipEffects = 1;
        Frame();
        g_scenario->skipEffects = 0;
        ASSERT_EQ(Title().State, 2);
    }
    void Hover(int item) {
        const platform::Rect& r = Title().ItemRects[item - 1];
        MoveTo(r.left + 2, r.top + 2);
    }
};

TEST_F(MainTitleTest, OpeningClearsTheLastPlayAfterSavingTheSettings) {
    g_scenario->vars[5] = 7;
    g_scenario->skipMode = 1;
    g_scenario->autoMode = 1;
    g_scenario->saveGroup = 2;
    g_scenario->playContext = 3;
    g_scenario->dayNumber = 4;
    g_scenario->messageStyle = 1;
    g_scenario->bgmPlaying = 0;
    g_scenario->speakerName = std::make_unique<char[]>(4);
    g_gameApp->logCount = 3;
    g_gameApp->logText[2][0] = 'a';
    g_gameApp->logNames[1][3] = 'b';
    g_gameApp->logVoices[255][255] = 'c';
    g_gameApp->seName[0] = 'x';
    g_config[config::kChoiceFlags + 10] = 1;
    for (int s : {1, 3, 4})
        g_seChannels[s] = std::make_unique<CSeChannel>();

    Frame();

    EXPECT_EQ(g_scenario->vars[5], 0);
    EXPECT_EQ(g_scenario->skipMode, 0);
    EXPECT_EQ(g_scenario->autoMode, 0);
    EXPECT_EQ(g_scenario->saveGroup, 0);
    EXPECT_EQ(g_scenario->playContext, 0);
    EXPECT_EQ(g_scenario->dayNumber, 0);
    EXPECT_EQ(g_scenario->messageStyle, 0);
    EXPECT_EQ(g_scenario->speakerName, nullptr);
    EXPECT_EQ(g_gameApp->logCount, 0);
    EXPECT_EQ(g_gameApp->logText[2][0], 0);
    EXPECT_EQ(g_gameApp->logNames[1][3], 0);
    EXPECT_EQ(g_gameApp->logVoices[255][255], 0);
    EXPECT_EQ(g_gameApp->seName[0], 0);
    EXPECT_EQ(g_config[config::kChoiceFlags + 10], 0);
    // Slots 0 to 3 are emptied; slot 4 is not the reset's.
    EXPECT_EQ(g_seChannels[1], nullptr);
    EXPECT_EQ(g_seChannels[3], nullptr);
    EXPECT_NE(g_seChannels[4], nullptr);
    // The settings were written before the choices were cleared.
    const auto saved = testing_support::ReadFile("save/Config.dat");
    ASSERT_EQ(saved.size(), kConfigSize);
    EXPECT_EQ(saved[config::kChoiceFlags + 10], 1);

    ASSERT_NE(g_bgmChannel, nullptr);
    EXPECT_EQ(TenthsOf(g_bgmChannel.get()), 30);
    ASSERT_NE(g_scenario->bgmName, nullptr);
    EXPECT_STREQ(g_scenario->bgmName.get(), "n006.ogg");
    EXPECT_EQ(g_scenario->bgmPlaying, 1);
    EXPECT_EQ(Title().State, 1);
}

TEST_F(MainTitleTest, WithMusicOffNothingPlaysAndTheMusicNameStays) {
    g_config[config::kMusicOff] = 1;
    screenkit::SetMusicName("c006.ogg");
    g_bgmChannel = std::make_unique<CBgmChannel>();
    Frame();
    EXPECT_EQ(g_bgmChannel, nullptr);
    EXPECT_STREQ(g_scenario->bgmName.get(), "c006.ogg");
}

TEST_F(MainTitleTest, LogoLayersSlideInFromOppositeCorners) {
    Frame(); // Open at 0
    AdvanceTo(1000);
    Frame(); // background fade ends
    ASSERT_EQ(Title().SubState, 1);
    const std::uint32_t start = Title().StartTime;
    AdvanceTo(start + 800);
    Frame();
    // Level 800 × 255 / 1600 = 127, d = 8: layer 1 at (-9, 9), layer 2 at (9, -9),
    // each blended at opacity 127 over the background of 48s.
    EXPECT_EQ(Title().Level, 127);
    // Layer 1 alone: red 240·127 >> 8 = 119, plus 48·128 >> 8 = 24 on each channel.
    EXPECT_EQ(Pixel(5, 20), 0x8F1818u);
    // Layer 2 alone (right of layer 1's last column 430).
    EXPECT_EQ(Pixel(435, 20), 0x18188Fu);
    // Both: layer 2 over the first mix, red 143·128 >> 8 = 71, green 12, blue 119 + 12.
    EXPECT_EQ(Pixel(200, 200), 0x470C83u);
    // Below the logo area only the background.
    EXPECT_EQ(Pixel(100, 350), kBg);
}

TEST_F(MainTitleTest, LabelsStartOneAfterAnotherAndTheFirstStandsAtOnce) {
    Frame();
    AdvanceTo(1000);
    Frame();
    AdvanceTo(Title().StartTime + 1600);
    Frame(); // logo done
    ASSERT_EQ(Title().SubState, 2);
    const std::uint32_t logoStart = Title().ItemStartTime[0];
    EXPECT_EQ(logoStart + 1600, Title().StartTime);
    Frame();
    // Item 1 has run for 1600 ms: full, so it has slid its whole 24 px and
    // stands at its place, left 586 (255 × 24 / 256 alone would leave it at
    // 587 and the finished page would move it back); item 2 started in this
    // frame at level 0.
    EXPECT_EQ(Title().ItemSlide[0], 24);
    EXPECT_EQ(Title().ItemStarted[1], 1);
    EXPECT_EQ(Title().ItemStartTime[1], Now() - 8); // the frame's pause came after
    EXPECT_EQ(Title().ItemStarted[2], 0);
    EXPECT_EQ(Pixel(585, 380), kBg);
    EXPECT_EQ(Pixel(586, 380), kLabels[0]);
    EXPECT_EQ(Pixel(625, 380), kLabels[0]); // 40 opaque columns
    EXPECT_EQ(Pixel(626, 380), kBg);
    EXPECT_EQ(Pixel(570, 420), kBg); // item 2 at level 0 draws nothing

    // Item 2 reaches 128 at 126 ms (126 × 255 / 250 = 128) and starts item 3.
    // The screen runs alone here, without the frame's 8-ms pause.
    const std::uint32_t t2 = Title().ItemStartTime[1];
    AdvanceTo(t2 + 125);
    Title().Run(platform::WindowHandle::Main);
    EXPECT_EQ(Title().ItemStarted[2], 0);
    AdvanceTo(t2 + 126);
    Title().Run(platform::WindowHandle::Main);
    EXPECT_EQ(Title().ItemStarted[2], 1);
    EXPECT_EQ(Title().ItemStartTime[2], t2 + 126);
    // On its way a label has slid level × 24 / 256 px: item 2 at level 128
    // has slid 12 px and stands at 568 − 12 + 24 = 580, blended at 128:
    // red 16·128 >> 8 = 8 plus 48·127 >> 8 = 23, green 16 + 23, blue 64 + 23.
    EXPECT_EQ(Title().ItemSlide[1], 12);
    EXPECT_EQ(Pixel(579, 420), kBg);
    EXPECT_EQ(Pixel(580, 420), 0x1F2757u);
    // The last label ends the step where the finished page has it, at 506.
    while (Title().SubState == 2)
        Frame();
    EXPECT_EQ(Title().ItemSlide[4], 24);
    EXPECT_EQ(Pixel(505, 540), kBg);
    EXPECT_EQ(Pixel(506, 540), kLabels[4]);
    for (int i = 0; i < 200 && Title().State == 1; ++i)
        Frame();
    EXPECT_EQ(Title().State, 2);
    EXPECT_EQ(Pixel(505, 540), kBg);
    EXPECT_EQ(Pixel(506, 540), kLabels[4]);
    // Item 5 ran its 250 ms long before the step's 2000 ms.
    EXPECT_LT(Now() - logoStart - 1600, 2000u);
}

TEST_F(MainTitleTest, ClickSkipOrSkipEffectsDuringTheIntroShowsTheFinishedTitle) {
    for (int variant = 0; variant < 3; ++variant) {
        SCOPED_TRACE(variant);
        g_mainTitle.reset();
        g_backBuffer->FillRect(0, 0, 800, 600, 0);
        Frame();
        g_mouse->click = variant == 0;
        g_mouse->skip = variant == 1;
        g_scenario->skipEffects = variant == 2;
        Frame();
        EXPECT_EQ(Title().State, 2);
        EXPECT_EQ(g_mouse->click, 0); // consumed
        // The second logo layer lies over the first.
        EXPECT_EQ(Pixel(5, 5), kLayer2);
        EXPECT_EQ(Pixel(445, 5), kBg);
        for (int k = 0; k < 5; ++k) {
            const platform::Rect& r = Title().ItemRects[k];
            EXPECT_EQ(Pixel(r.left, r.top), kLabels[k]);
            EXPECT_EQ(Pixel(r.left + 50, r.top), kBg);
        }
        g_mouse->skip = 0;
        g_scenario->skipEffects = 0;
        Frame();
        EXPECT_EQ(g_gameApp->mode, 1); // the click chose nothing
        EXPECT_EQ(Title().State, 2);
    }
}

TEST_F(MainTitleTest, UpAndDownKeysWrapAndMoveTheCursorOntoTheItem) {
    ToInput();
    MoveTo(10, 10);
    const platform::Rect win = platform::GetWindowRect();
    const int top = win.top + platform::CaptionHeight();
    struct Step {
        bool up;
        int expected;
        int offset;
    } steps[] = {{true, 1, 26}, {true, 5, 26}, {false, 1, 30}, {false, 2, 30}};
    for (const Step& s : steps) {
        (s.up ? g_keyboard->up : g_keyboard->down) = 1;
        Frame();
        EXPECT_EQ(Title().HoverItem, s.expected);
        const platform::Rect& r = Title().ItemRects[s.expected - 1];
        EXPECT_EQ(hl::CursorX(), win.left + r.left + (r.right - r.left) / 2);
        EXPECT_EQ(hl::CursorY(), top + r.top + s.offset);
        EXPECT_EQ(g_keyboard->up + g_keyboard->down, 0);
        // The system moves the pointer there; the next hit test keeps the item.
        MoveTo(r.left + (r.right - r.left) / 2, r.top + s.offset);
    }
    g_mainTitle.reset();
    ToInput();
    MoveTo(10, 10);
    g_keyboard->down = 1;
    Frame();
    EXPECT_EQ(Title().HoverItem, 5); // down from none
}

TEST_F(MainTitleTest, HighlightGrowsFromItsCentreAndGoesWithTheMouse) {
    ToInput();
    Hover(2);
    Frame();
    const std::uint32_t t0 = Title().HoverStart;
    EXPECT_EQ(Title().HoverPhase, 1);
    EXPECT_EQ(t0, Now() - 8);
    // At t = 0 the plate is 0 × 0: nothing but the lit label.
    EXPECT_EQ(Pixel(661, 431), kBg);
    EXPECT_EQ(Pixel(570, 420), kLit[1]);
    EXPECT_EQ(Pixel(590, 382), kLabels[0]);

    AdvanceTo(t0 + 150);
    Frame();
    // Plate 2 (522..800): half 139, w = 150 × 139 / 300 = 69, h = 150 × 19 / 300 = 9,
    // so it covers (592, 422)..(730, 440) at opacity 150 × 254 / 300 = 127:
    // green 254·127 >> 8 = 126, plus 48·128 >> 8 = 24 on each channel.
    EXPECT_EQ(Pixel(650, 430), 0x189618u);
    EXPECT_EQ(Pixel(650, 421), kBg);
    EXPECT_EQ(Pixel(730, 430), kBg);

    AdvanceTo(t0 + 300);
    Frame();
    EXPECT_EQ(Title().HoverPhase, 2);
    EXPECT_EQ(Pixel(790, 445), kPlates[1]);
    EXPECT_EQ(Pixel(523, 413), kPlates[1]);

    // Onto another item: the growth starts again.
    Hover(4);
    Frame();
    EXPECT_EQ(Title().HoverPhase, 1);
    EXPECT_EQ(Pixel(790, 445), kBg);
    // Off all items: gone at once.
    MoveTo(100, 100);
    Frame();
    EXPECT_EQ(Title().HoverPhase, 0);
    EXPECT_EQ(Title().HoverItem, 0);
    EXPECT_EQ(Pixel(600, 500), kBg);
    EXPECT_EQ(Pixel(528, 490), kLabels[3]);
}

TEST_F(MainTitleTest, ChosenItemGrowsWhileTheOthersShrinkToNothing) {
    ToInput();
    Hover(1);
    Frame();
    g_mouse->click = 1;
    Frame();
    ASSERT_EQ(Title().State, 6);
    EXPECT_EQ(g_mouse->click, 0);
    EXPECT_NE(g_seChannels[0], nullptr); // the click sound
    const std::uint32_t start = Title().StartTime;

    AdvanceTo(start + 250);
    g_mouse->click = 1; // a click does not hurry the zoom
    Frame();
    ASSERT_EQ(Title().State, 6);
    // Elapsed 250: level 127, g1 32, g2 9, opacity 128. Plate 1 into
    // (528, 365, 230, 56): green 255·128 >> 8 = 127, plus 48·127 >> 8 = 23.
    EXPECT_EQ(Pixel(740, 400), 0x179617u);
    // Lit label 1 into (570, 370, 142, 47) over that plate: red 127 + 11,
    // green 150·127 >> 8 = 74, blue 11.
    EXPECT_EQ(Pixel(572, 380), 0x8A4A0Bu);
    // The logo was composed into the picture the zoom draws on.
    EXPECT_EQ(Pixel(200, 200), kLayer2);

    // At 300 ms label 5 is still 88 − 2 × 38 = 12 px wide.
    AdvanceTo(start + 300);
    Frame();
    EXPECT_NE(Pixel(545, 540), kBg);
    // A label 2 × g1 or fewer pixels wide draws nothing at all: label 5
    // (88 px) from 344 ms on (g1 = 44), label 4 (120 px) from 469 ms (g1 = 60).
    const struct {
        std::uint32_t at;
        std::vector<int> items;
    } gone[] = {{344, {5}}, {400, {5}}, {469, {4, 5}}, {499, {4, 5}}};
    for (const auto& g : gone) {
        AdvanceTo(start + g.at);
        Frame();
        for (int item : g.items) {
            const platform::Rect& r = Title().ItemRects[item - 1];
            for (int y = r.top; y < r.bottom; y += 3)
                for (int x = r.left - 70; x < r.right + 70; x += 3)
                    ASSERT_EQ(Pixel(x, y), kBg)
                        << g.at << " ms, item " << item << " at " << x << "," << y;
        }
    }
    Frame(); // past 500 ms
    EXPECT_EQ(Title().State, 4);
    EXPECT_EQ(PixelOf(cdib[0].get(), 3, 3), 0xFFFFFFu);
    EXPECT_EQ(PixelOf(cdib[1].get(), 200, 200), kLayer2);
    g_mouse->click = 0;
    const std::uint32_t fade = Title().StartTime;
    AdvanceTo(fade + 500);
    Frame();
    // Half way to white: 255·127 >> 8 = 126 plus 48·128 >> 8 = 24.
    EXPECT_EQ(Pixel(700, 100), 0x969696u);
    AdvanceTo(fade + 1000);
    Frame();
    EXPECT_EQ(Title().State, 5);
    Frame();
    EXPECT_EQ(g_gameApp->mode, 56);
    for (int s = 1; s <= 10; ++s)
        EXPECT_EQ(cdib[s], nullptr) << s;
    EXPECT_NE(g_bgmChannel, nullptr); // the music plays on into the chooser
}

TEST_F(MainTitleTest, EachItemLeadsWhereItSays) {
    struct Case {
        int item;
        int mode;
    } cases[] = {{1, 56}, {2, 57}, {3, 9}, {4, 15}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        g_gameApp->mode = 1;
        g_gameApp->returnMode = 0;
        g_mainTitle.reset();
        ToInput();
        g_scenario->menuReturn = 1;
        g_scenario->particlesOn = 1;
        Hover(c.item);
        g_mouse->click = 1;
        g_scenario->skipEffects = 1; // zoom and fade last one frame each
        Frame();
        Frame();
        Frame();
        EXPECT_EQ(Title().State, 5);
        Frame();
        g_scenario->skipEffects = 0;
        EXPECT_EQ(g_gameApp->mode, c.mode);
        if (c.item == 3) {
            EXPECT_EQ(g_gameApp->returnMode, 1);
            EXPECT_EQ(g_scenario->menuReturn, 0);
            EXPECT_NE(g_bgmChannel, nullptr);
        }
        if (c.item == 4) {
            EXPECT_EQ(g_gameApp->returnMode, 1);
            EXPECT_EQ(g_scenario->playContext, 1);
            EXPECT_EQ(g_scenario->menuReturn, 0);
            EXPECT_EQ(g_scenario->particlesOn, 0);
            EXPECT_EQ(g_bgmChannel, nullptr);
            EXPECT_EQ(g_scenario->bgmName, nullptr);
            EXPECT_EQ(g_seChannels[0], nullptr);
        }
        Frame();
        EXPECT_EQ(g_mainTitle, nullptr);
    }
}

TEST_F(MainTitleTest, QuittingAsksNothingAndClosesAfterTheFrame) {
    ToInput();
    Hover(5);
    g_mouse->click = 1;
    g_scenario->skipEffects = 1;
    for (int i = 0; i < 4 && !QuitRequested(); ++i)
        Frame();
    EXPECT_TRUE(QuitRequested());
    EXPECT_TRUE(hl::Questions().empty());
    EXPECT_EQ(g_bgmChannel, nullptr);
    EXPECT_EQ(Title().State, 10);
}

TEST_F(MainTitleTest, EnterChoosesTheItemUnderTheCursorOnly) {
    ToInput();
    MoveTo(100, 100);
    hl::PushKey(platform::Key::Return, true);
    Pump();
    EXPECT_EQ(g_mouse->click, 1);
    Frame();
    EXPECT_EQ(Title().State, 2); // nothing under the cursor
    hl::PushKey(platform::Key::Return, false);
    Pump();
    Hover(2);
    hl::PushKey(platform::Key::Return, true);
    Pump();
    Frame();
    EXPECT_EQ(Title().State, 6);
    EXPECT_EQ(Title().HoverItem, 2);
}

TEST_F(MainTitleTest, ComingBackFromSettingsRunsTheWholeOpeningAgain) {
    ToInput();
    Hover(3);
    g_mouse->click = 1;
    g_scenario->skipEffects = 1;
    Frames(4);
    ASSERT_EQ(g_gameApp->mode, 9);
    Frame(); // no settings screen yet: the mode idles and the title is freed
    EXPECT_EQ(g_mainTitle, nullptr);
    g_scenario->vars[0] = 9;
    // The channel that played is told by what it holds, a tone of its own
    // length under the title's music name: a channel made anew could sit at
    // the freed one's address.
    WriteTone("bgm/playing.ogg", 7);
    g_bgmChannel = std::make_unique<CBgmChannel>();
    ASSERT_TRUE(g_bgmChannel->Load("playing.ogg"));
    ASSERT_STREQ(g_scenario->bgmName.get(), "n006.ogg");
    g_gameApp->mode = g_gameApp->returnMode;
    Frame();
    EXPECT_EQ(g_scenario->vars[0], 0);
    // The title's own track, started again from its beginning.
    EXPECT_EQ(TenthsOf(g_bgmChannel.get()), 30);
}

} // namespace
