// The backlog: where it opens and how far its buttons, keys and the wheel
// move it with few and many entries, which voice a click replays at which
// level, and that a page draws nothing beyond the history and its entries.
#include "system/BacklogScreen.h"

#include "app/ModeTable.h"
#include "frontend/FrontendFixture.h"
#include "gfx/GlyphFont.h"

#include <cstring>

using namespace frontend_test;

namespace {

constexpr std::uint32_t kGame = 0x204060; // the story picture (cdib[0] and snapshot)
constexpr std::uint32_t kBaseA = 0xFF;    // base: opaque dark grey
constexpr std::uint32_t kBase = 0x101010;
constexpr std::uint32_t kParts[5] = {0xC00000, 0x00C000, 0x0000C0, 0xC0C000, 0x00C0C0};
constexpr std::uint8_t kReturnMode = 13; // a mode with nothing to run

void SetEntry(LogTable& table, int e, std::string_view s) {
    table[e].fill(0);
    std::memcpy(table[e].data(), s.data(), std::min<std::size_t>(s.size(), 256));
}

class BacklogTest : public FrontendTest {
protected:
    void SetUp() override {
        WriteSolid("system/backlog_base.bmp", 800, 600, (kBaseA << 24) | kBase);
        // Parts sheet rows: 0..63 four back, 64..127 four forward, 128..183
        // one back, 184..239 one forward, 240..267 back.
        bmp_writer::BmpImage parts;
        parts.width = 61;
        parts.height = 268;
        parts.bitCount = 32;
        for (int y = 0; y < parts.height; ++y) {
            const int band = y < 64 ? 0 : y < 128 ? 1 : y < 184 ? 2 : y < 240 ? 3 : 4;
            for (int x = 0; x < parts.width; ++x)
                parts.pixels.push_back(0xFF000000u | kParts[band]);
        }
        std::filesystem::create_directories("system");
        ASSERT_TRUE(bmp_writer::WriteBmp("system/backlog_p.bmp", parts));
        WriteSolid("system/backlog_w.bmp", 712, 138, 0xFFFFFFFF);
        WriteTone("se/sys_a002.ogg", 2);
        WriteTone("voice/dor0001.ogg", 7);
        WriteTone("voice/fop0002.ogg", 8);
        WriteTone("voice/zzz0003.ogg", 9);
        WriteTone("voice/wen0004.ogg", 11);
        FrontendTest::SetUp();
        for (int k = 0; k < 21; ++k)
            g_config[config::kVoiceLevels + k] = static_cast<std::uint8_t>(30 + k);
    }

    void Fill(int count) {
        g_gameApp->logCount = count;
        for (int e = 0; e < count; ++e)
            SetEntry(g_gameApp->logText, e, "text " + std::to_string(e));
    }
    CBacklogScreen& S() { return *g_backlogScreen; }

    // Opened as the story's wheel opens it, run to its list.
    void Open() {
        cdib[0]->FillRect(0, 0, 800, 600, kGame);
        g_backBuffer->FillRect(0, 0, 800, 600, kGame);
        g_menuSnapshot = std::make_unique<CDib>();
        g_menuSnapshot->Create(platform::WindowHandle::Main, 800, 600, 24);
        g_menuSnapshot->FillRect(0, 0, 800, 600, kGame);
        g_gameApp->returnMode = kReturnMode;
        g_gameApp->mode = 6;
        MoveTo(0, 599);
        Frame();
        ASSERT_NE(g_backlogScreen, nullptr);
        ASSERT_EQ(S().state, 1);
        g_scenario->skipEffects = 1;
        Frame();
        g_scenario->skipEffects = 0;
        ASSERT_EQ(S().state, 2);
    }
    void Click(int item) {
        const platform::Rect& r = S().itemRects[item - 1];
        MoveTo(r.left + 2, r.top + 2);
        Frame();
        g_mouse->click = 1;
        Frame();
        EXPECT_EQ(g_mouse->click, 0);
    }
    void Wheel(int delta) {
        WndProc(platform::Event{platform::EventKind::Wheel, {}, {}, 0, 0, delta});
    }
    bool ClickSounded() {
        const bool played = g_seChannels[0] != nullptr;
        g_seChannels[0].reset();
        return played;
    }
    static std::uint32_t CleanPixel() { return kBase; }
};

TEST_F(BacklogTest, ThreeEntriesOpenAtTheStartAndNothingScrolls) {
    Fill(3);
    // A stale entry past the count (an uncounted line) must not show.
    SetEntry(g_gameApp->logText, 3, "stale stale stale");
    SetEntry(g_gameApp->logVoices, 3, "dor0001.ogg");
    Open();
    EXPECT_EQ(S().top, 0);
    EXPECT_EQ(S().maxTop, -2);
    EXPECT_EQ(S().lastIndex, 2);
    EXPECT_EQ(S().wheelLastIndex, 2);
    // Box 4 shows the clean page: the page is the base over the game.
    for (int y = 454; y < 592; y += 3)
        for (int x = 4; x < 716; x += 7)
            ASSERT_EQ(Pixel(x, y), CleanPixel()) << x << "," << y;
    for (int item = 5; item <= 8; ++item) {
        const platform::Rect& r = S().itemRects[item - 1];
        MoveTo(r.left + 2, r.top + 2);
        Frame();
        EXPECT_EQ(S().hover, item);
        EXPECT_EQ(Pixel(740, r.top + 2), CleanPixel()) << "no highlight on " << item;
        g_mouse->click = 1;
        Frame();
        EXPECT_EQ(S().top, 0);
        EXPECT_FALSE(ClickSounded());
    }
    g_keyboard->down = 1;
    MoveTo(10, 10);
    Frame();
    EXPECT_EQ(S().top, 0);
    Wheel(-120);
    EXPECT_EQ(S().top, 0);
    // Clicking the missing fourth entry replays nothing.
    Click(4);
    EXPECT_EQ(g_voiceChannels[0], nullptr);
}

TEST_F(BacklogTest, FiveEntriesShowTheFirstFourAndStayPut) {
    Fill(5);
    Open();
    EXPECT_EQ(S().top, 0);
    EXPECT_EQ(S().maxTop, 0);
    for (int item : {6, 8, 5, 7}) {
        Click(item);
        EXPECT_EQ(S().top, 0);
        EXPECT_FALSE(ClickSounded()) << item;
    }
    Wheel(-120);
    EXPECT_EQ(S().top, 0);
    MoveTo(10, 500);
    g_keyboard->down = 1;
    Frame();
    EXPECT_EQ(S().top, 0);
}

TEST_F(BacklogTest, TwoHundredFiftyEntriesClampAtBothEnds) {
    Fill(250);
    Open();
    EXPECT_EQ(S().top, 245);
    EXPECT_EQ(S().maxTop, 245);
    Click(8);
    EXPECT_EQ(S().top, 245);
    EXPECT_FALSE(ClickSounded());
    Click(6);
    EXPECT_EQ(S().top, 245);
    EXPECT_FALSE(ClickSounded());
    Click(7);
    EXPECT_EQ(S().top, 241);
    EXPECT_TRUE(ClickSounded());
    Click(5);
    EXPECT_EQ(S().top, 240);
    EXPECT_TRUE(ClickSounded());
    Click(8);
    Click(8);
    EXPECT_EQ(S().top, 245);
    EXPECT_TRUE(ClickSounded());
    // One entry forward from the middle of the history moves by one.
    S().top = 100;
    Click(6);
    EXPECT_EQ(S().top, 101);
    EXPECT_TRUE(ClickSounded());
    S().top = 2;
    Click(7);
    EXPECT_EQ(S().top, 0);
    EXPECT_TRUE(ClickSounded());
    Click(7);
    Click(5);
    EXPECT_EQ(S().top, 0);
    EXPECT_FALSE(ClickSounded());
}

TEST_F(BacklogTest, HoveredButtonsLightFromTheirRowOfThePartsSheet) {
    Fill(20);
    Open();
    // item, a point inside its highlight, its row of the sheet
    const struct {
        int item, y, band;
    } cases[] = {{7, 370, 0}, {8, 516, 1}, {5, 426, 2}, {6, 468, 3}, {9, 573, 4}};
    for (const auto& c : cases) {
        const platform::Rect& r = S().itemRects[c.item - 1];
        MoveTo(r.left + 1, r.top + 1);
        Frame();
        EXPECT_EQ(Pixel(740, c.y), kParts[c.band]) << c.item;
        MoveTo(300, 599);
        Frame();
        EXPECT_EQ(Pixel(740, c.y), CleanPixel()) << c.item << " restored";
    }
}

TEST_F(BacklogTest, WheelPagesOneEntryWithinTheList) {
    Fill(10);
    cdib[0]->FillRect(0, 0, 800, 600, kGame);
    g_gameApp->mode = 6;
    g_menuSnapshot.reset();
    Frame();
    // While the page fades in, the wheel does nothing.
    Wheel(120);
    EXPECT_EQ(S().top, 5);
    g_scenario->skipEffects = 1;
    Frame();
    g_scenario->skipEffects = 0;
    Wheel(0); // a zero distance counts as away from the player
    EXPECT_EQ(S().top, 4);
    EXPECT_EQ(S().hover, 1);
    EXPECT_EQ(S().prevHover, 0);
    Wheel(-120);
    Wheel(-120);
    EXPECT_EQ(S().top, 5);
    for (int k = 0; k < 7; ++k)
        Wheel(120);
    EXPECT_EQ(S().top, 0);
}

TEST_F(BacklogTest, KeysMoveAcrossTheBoxesThenTheList) {
    Fill(10);
    Open();
    MoveTo(300, 599);
    g_keyboard->up = 1;
    Frame();
    // From no box the up key goes to box 4 and is used up.
    EXPECT_EQ(g_keyboard->up, 0);
    const platform::Rect& box4 = S().itemRects[3];
    EXPECT_EQ(hl::CursorX() - platform::GetWindowRect().left, box4.left + 677);
    // The pointer arrives where the cursor was put.
    MoveTo(box4.left + 677, box4.top + 118);
    Frame();
    EXPECT_EQ(S().hover, 4);
    g_keyboard->down = 1;
    Frame();
    // Past the last box the list moves; at its end it stays.
    EXPECT_EQ(S().top, 5);
    EXPECT_EQ(g_keyboard->down, 1);
}

TEST_F(BacklogTest, ClickedEntryReplaysItsVoiceThroughTheMuteSwitches) {
    Fill(4);
    SetEntry(g_gameApp->logVoices, 0, "dor0001.ogg"); // main character 1
    SetEntry(g_gameApp->logVoices, 1, "fop0002.ogg"); // main character 5: switch B
    SetEntry(g_gameApp->logVoices, 2, "zzz0003.ogg"); // in neither table
    SetEntry(g_gameApp->logVoices, 3, "wen0004.ogg"); // other character 10: switch B
    Open();
    Click(1);
    EXPECT_EQ(TenthsOf(g_voiceChannels[0].get()), 7);
    EXPECT_EQ(g_voiceVolume.load(), 31);
    Click(2);
    EXPECT_EQ(TenthsOf(g_voiceChannels[0].get()), 8);
    EXPECT_EQ(g_voiceVolume.load(), 35);
    Click(3);
    EXPECT_EQ(TenthsOf(g_voiceChannels[0].get()), 9);
    EXPECT_EQ(g_voiceVolume.load(), 42);

    // Switch A silences every voice but main characters 5 and 11, as the
    // story does; the voice already playing goes on.
    g_config[config::kVoiceMuteA] = 1;
    Click(1);
    EXPECT_EQ(TenthsOf(g_voiceChannels[0].get()), 9);
    Click(2);
    EXPECT_EQ(TenthsOf(g_voiceChannels[0].get()), 8);
    Click(4);
    EXPECT_EQ(TenthsOf(g_voiceChannels[0].get()), 8);
    g_config[config::kVoiceMuteA] = 0;
    g_config[config::kVoiceMuteB] = 1;
    g_voiceChannels[0].reset();
    Click(2);
    Click(4);
    EXPECT_EQ(g_voiceChannels[0], nullptr);
    g_config[config::kVoiceMuteB] = 0;
    g_config[config::kVoiceOff] = 1;
    Click(1);
    EXPECT_EQ(g_voiceChannels[0], nullptr);
}

TEST_F(BacklogTest, BackButtonKeepsTheVoiceRightClickStopsItAndBothReturn) {
    Fill(4);
    SetEntry(g_gameApp->logVoices, 0, "dor0001.ogg");
    Open();
    Click(1);
    ASSERT_NE(g_voiceChannels[0], nullptr);
    Click(9);
    EXPECT_TRUE(ClickSounded());
    EXPECT_EQ(S().state, 3);
    const std::uint32_t start = S().stateTime;
    AdvanceTo(start + 250);
    Frame();
    // Half way through the cross-fade back to the game picture.
    const std::uint32_t level = 250 * 255 / 500;
    EXPECT_EQ(Pixel(2, 598), Mix(kGame, CleanPixel(), level));
    AdvanceTo(start + 500);
    Frame();
    Frame();
    EXPECT_EQ(g_gameApp->mode, kReturnMode);
    EXPECT_EQ(Pixel(2, 598), kGame);
    EXPECT_NE(g_voiceChannels[0], nullptr);
    EXPECT_EQ(cdib[10], nullptr);
    EXPECT_EQ(g_glyphFont->GetSize(), 26);

    Open();
    g_mouse->cancel = 1;
    Frame();
    EXPECT_EQ(S().state, 3);
    EXPECT_EQ(g_voiceChannels[0], nullptr);
}

TEST_F(BacklogTest, PageDrawsOnlyEntriesThatExistAndStopsAtEachEntrysEnd) {
    Fill(1);
    Open();
    // A name and a text that fill their 256 bytes with blanks, followed in
    // the tables by visible text that belongs to an entry not counted.
    std::string blanks(256, ' ');
    std::string wideBlanks;
    for (int k = 0; k < 128; ++k)
        wideBlanks += "\xA1\xA1";
    std::memcpy(g_gameApp->logText[0].data(), blanks.data(), 256);
    std::memcpy(g_gameApp->logNames[0].data(), wideBlanks.data(), 256);
    for (int e = 1; e < 4; ++e) {
        SetEntry(g_gameApp->logText, e, "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW");
        SetEntry(g_gameApp->logNames, e, "\xB0\xA1\xB0\xA1");
    }
    CDib target;
    target.Create(platform::WindowHandle::Main, 800, 600, 24);
    target.FillRect(0, 0, 800, 600, 0);
    S().DrawPage(&target, 0);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            ASSERT_EQ(PixelOf(&target, x, y), 0u) << x << "," << y;
    // The same text counted is drawn (the check above can see it).
    g_gameApp->logCount = 2;
    S().DrawPage(&target, 0);
    bool drawn = false;
    for (int y = 150; y < 300 && !drawn; ++y)
        for (int x = 0; x < 800 && !drawn; ++x)
            drawn = PixelOf(&target, x, y) != 0;
    EXPECT_TRUE(drawn);
}

TEST_F(BacklogTest, TagsAndRubyStepOverWhatTheyConsume) {
    Fill(1);
    Open();
    const std::string_view sized = "#s30#ab";
    EXPECT_EQ(S().SkipTag(sized, 0), 5u);
    EXPECT_EQ(g_glyphFont->GetSize(), 30);
    EXPECT_EQ(S().SkipTag("#v(1)[x]#z", 0), 9u);
    EXPECT_EQ(S().SkipTag("#q", 0), 1u);   // only the "#"; the letter is text
    EXPECT_EQ(S().SkipTag("#s12", 0), 4u); // unclosed: to the end
    EXPECT_EQ(g_glyphFont->GetSize(), 12);
    EXPECT_EQ(S().SkipTag("#s0#", 0), 4u);
    EXPECT_EQ(g_glyphFont->GetSize(), 12); // size 0 is refused
    S().rubyStartX = 100;
    S().rubyEndX = 148;
    S().rubyY = 30;
    EXPECT_EQ(S().DrawRuby(nullptr, "<cd>ef", 0), 4u);
    EXPECT_EQ(S().DrawRuby(nullptr, "<cd", 0), 3u);
    EXPECT_EQ(g_glyphFont->GetSize(), 24);
}

TEST_F(BacklogTest, ShotsOfThePageForPeopleToLookAt) {
    const std::string ruby = "\xCE\xD2<\xBA\xA3\xB7\xE7<\xBA\xA3\xB7\xE7>\xC0\xB4\xC1\xCB\xA1\xA3";
    Fill(12);
    for (int e = 0; e < 12; ++e) {
        SetEntry(g_gameApp->logNames, e, e % 2 ? "\xC1\xD5" : "\xB0\xA2\xC0\xF6\xCB\xBF");
        SetEntry(g_gameApp->logText, e,
                 e % 3 == 2 ? "\xA1\xF9\xA1\xA1\xC8\xA5\xBA\xA3\xB1\xDF\xA1\xA1\xA1\xF9" : ruby);
        if (e % 2) SetEntry(g_gameApp->logVoices, e, "dor0001.ogg");
    }
    SetEntry(g_gameApp->logNames, 9, "");
    Open();
    MoveTo(100, 10);
    Frame();
    Frame();
    const auto dir = std::filesystem::path(NORVANE_TEST_BIN_DIR) / ".." / "system-shots";
    std::filesystem::create_directories(dir);
    bmp_writer::BmpImage image;
    image.width = 800;
    image.height = 600;
    image.bitCount = 24;
    image.pixels.assign(g_backBuffer->GetBits(), g_backBuffer->GetBits() + 800 * 600);
    EXPECT_TRUE(bmp_writer::WriteBmp(dir / "backlog.bmp", image));
    // The hovered entry has a voice: its frame is lit.
    EXPECT_EQ(Pixel(6, 6), 0xFFFFFFu);
}

// The page against the same glyphs put by hand where the layout rules say:
// names centred on x 80, text from x 74 drawn 8 px left of the pen, ruby
// centred over its base at size 12, lines of 52 narrow or 46 wide columns.
class BacklogLayoutTest : public BacklogTest {
protected:
    void SetUp() override {
        BacklogTest::SetUp();
        Fill(1);
        Open();
        for (CDib* d : {&drawn_, &expected_}) {
            d->Create(platform::WindowHandle::Main, 800, 600, 24);
            d->FillRect(0, 0, 800, 600, 0);
        }
    }
    int Put(int x, int y, std::string_view ch, std::uint32_t colour = 0xFFFFFF) {
        return g_glyphFont->DrawChar(&expected_, x - 8, y, ch, colour);
    }
    void ExpectSame() {
        S().DrawPage(&drawn_, 0);
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x)
                ASSERT_EQ(PixelOf(&drawn_, x, y), PixelOf(&expected_, x, y)) << x << "," << y;
    }
    CDib drawn_, expected_;
};

TEST_F(BacklogLayoutTest, NameAndRubyStandWhereTheirFormulasPutThem) {
    const std::string name = "\xB0\xA1\xB0\xA2\xB0\xA3"; // 6 bytes
    SetEntry(g_gameApp->logNames, 0, name);
    SetEntry(g_gameApp->logText, 0, "<ab<\xBA\xA3>e");
    g_glyphFont->SetFont(24, 0);
    int x = 60; // 80 - ((6 - 2) / 2) * 10
    for (std::size_t i = 0; i < name.size(); i += 2)
        x += Put(x, 10, std::string_view(name).substr(i, 2), 0xFFFF00);
    const int start = 74;
    int pen = start + Put(start, 42, "a");
    pen += Put(pen, 42, "b");
    g_glyphFont->SetFont(12, 0);
    // (end - start) / 2 - (2 / 2) * 6 + start - 6, at the line's y - 12 + 2
    const int rubyX = (pen - start) / 2 - 6 + start - 6;
    for (int twice = 0; twice < 2; ++twice)
        g_glyphFont->DrawCharGray4Plain(&expected_, rubyX, 32, "\xBA\xA3", 0xFFFFFF);
    g_glyphFont->SetFont(24, 0);
    Put(pen, 42, "e");
    ExpectSame();
}

// A taken choice is one centred line from x = 378 − 13·((len − 2) / 2),
// its glyphs drawn at the pen itself, not 8 px left of it as text is.
TEST_F(BacklogLayoutTest, TakenChoiceStandsCentredAtItsPen) {
    const std::string choice = "\xA1\xF9\xB0\xA1\xB0\xA2\xA1\xF9"; // 8 bytes
    SetEntry(g_gameApp->logText, 0, choice);
    g_glyphFont->SetFont(24, 0);
    int x = 378 - 13 * 3;
    for (std::size_t i = 0; i < choice.size(); i += 2)
        x += g_glyphFont->DrawChar(&expected_, x, 66, std::string_view(choice).substr(i, 2),
                                   0xF000FF);
    ExpectSame();
}

// The two bytes after a page mark or a line-break mark are drawn as one
// character: a "#" there is no tag, a "<" no ruby. A line-break mark right
// after a page mark is stepped over too.
TEST_F(BacklogLayoutTest, BytesAfterAMarkAreOneCharacter) {
    SetEntry(g_gameApp->logText, 0,
             "\xA1\xFD#s30#x\xA1\xE7<ab\xA1\xFD\xA1\xE7"
             "cd");
    g_glyphFont->SetFont(24, 0);
    int x = 74;
    // "#x": the "#" stepped over
    for (std::string_view ch : {"#s", "3", "0", "x", "<a", "b", "cd"})
        x += Put(x, 42, ch);
    ExpectSame();
}

TEST_F(BacklogLayoutTest, NarrowLinesBreakAfter52Columns) {
    const std::string text(60, 'x');
    SetEntry(g_gameApp->logText, 0, text);
    g_glyphFont->SetFont(24, 0);
    int x = 74;
    for (int k = 0; k < 60; ++k) {
        if (k == 52) x = 74;
        x += Put(x, k < 52 ? 42 : 76, "x");
    }
    ExpectSame();
}

TEST_F(BacklogLayoutTest, WideLinesBreakAfter46ColumnsKeepingClosingMarksOnTheLine) {
    std::string text;
    for (int k = 0; k < 30; ++k)
        text += k == 23 ? "\x81\x41" : "\xB0\xA1"; // the 24th may not begin a line
    SetEntry(g_gameApp->logText, 0, text);
    g_glyphFont->SetFont(24, 0);
    int x = 74;
    for (int k = 0; k < 23; ++k)
        x += Put(x, 42, "\xB0\xA1");
    Put(x, 42, "\x81\x41"); // drawn on the old line without moving the pen
    x = 74;
    for (int k = 24; k < 30; ++k)
        x += Put(x, 76, "\xB0\xA1");
    ExpectSame();
}

} // namespace
