// The music room: the room music and the playing mark, rows that play their
// track, locked tracks, previous and next past locked tracks and around the
// ends, stop (its fade stopped before the channel goes), the tabs, the back
// button and the right click.
#include "frontend/MusicRoom.h"

#include "ExtrasTestSupport.h"
#include "app/Config.h"

using namespace frontend_test;

namespace {

constexpr std::uint32_t kShadow = 0x101018;
constexpr std::uint32_t kPlain = 0x4060A0;
constexpr std::uint32_t kHover = 0x60A0E0;
constexpr std::uint32_t kPlaying = 0xE0A040;

// Tracks the tests play, told apart by their length in tenths.
struct Tone {
    int track;
    const char* file;
    int tenths;
};
constexpr Tone kTones[] = {{0, "bgm/n001.ogg", 11}, {1, "bgm/n002.ogg", 12},
                           {2, "bgm/n003.ogg", 13}, {7, "bgm/n008.ogg", 17},
                           {9, "bgm/c002.ogg", 15}, {31, "bgm/p003.ogg", 16},
                           {35, "bgm/p039.ogg", 14}};

int TenthsOfTrack(int track) {
    for (const Tone& t : kTones)
        if (t.track == track) return t.tenths;
    return -1;
}

// The top-left of row r (0..17) of a page.
int RowX(int r) {
    return (r / 9) * 380 + 25;
}
int RowY(int r) {
    return (r % 9) * 52 + 130;
}

class MusicRoomTest : public FrontendTest {
protected:
    void SetUp() override {
        WriteButtonSheet();
        WriteSolid("system/music_base.bmp", 800, 600, 0xFF000000u | kRoomBase);
        WriteSolid("system/music_drop.bmp", 382, 53, 0xFF000000u | kShadow);
        WriteBands("system/music_bar.bmp", 367, 37,
                   {0xFF000000u | kPlain, 0xFF000000u | kHover, 0xFF000000u | kPlaying});
        WriteSolid("system/music_name_02.bmp", 1468, 333, 0); // names all transparent
        for (const Tone& t : kTones)
            WriteTone(t.file, t.tenths);
        FrontendTest::SetUp();
        g_gameApp->returnMode = 1;
        g_config[config::kMusicOff] = 0;
    }
    CMusicRoom& ToInput() { return RoomAtInput(16, g_musicRoom); }
    void ClickAt(int x, int y) {
        MoveTo(x, y);
        Frame();
        g_mouse->click = 1;
        Frame();
    }
};

TEST_F(MusicRoomTest, RowsPlayTheirTrackAndMoveThePlayingMark) {
    CMusicRoom& room = ToInput();
    // On entry the room music plays, by its bare name, marked on track 3.
    EXPECT_EQ(TenthsOf(g_bgmChannel.get()), 10);
    EXPECT_STREQ(g_scenario->bgmName.get(), "n004.ogg");
    EXPECT_EQ(room.CurrentTrack, 3);
    EXPECT_EQ(Pixel(RowX(3) + 5, RowY(3) + 5), kPlaying);
    EXPECT_EQ(Pixel(RowX(3) + 370, RowY(3) + 45), kShadow);
    EXPECT_EQ(Pixel(RowX(1) + 5, RowY(1) + 5), kPlain);

    MoveTo(RowX(1) + 5, RowY(1) + 5);
    Frame();
    EXPECT_EQ(room.HoverRow, 2);
    EXPECT_EQ(Pixel(RowX(1) + 5, RowY(1) + 5), kHover);
    g_mouse->click = 1;
    Frame();
    // The track path with its folder word opens the same music folder.
    EXPECT_EQ(room.CurrentTrack, 1);
    EXPECT_EQ(TenthsOf(g_bgmChannel.get()), 12);
    EXPECT_STREQ(g_scenario->bgmName.get(), "bgm\\n002.ogg");
    EXPECT_EQ(Pixel(RowX(1) + 5, RowY(1) + 5), kPlaying);
    EXPECT_EQ(Pixel(RowX(3) + 5, RowY(3) + 5), kPlain);

    // Track 0 is locked until script flag 1 is set: never hovered or chosen.
    ClickAt(RowX(0) + 5, RowY(0) + 5);
    EXPECT_EQ(room.HoverRow, 0);
    EXPECT_EQ(room.CurrentTrack, 1);
    g_mouse->click = 0;

    // With music switched off the mark moves and the last track plays on.
    g_config[config::kMusicOff] = 1;
    ClickAt(RowX(2) + 5, RowY(2) + 5);
    EXPECT_EQ(room.CurrentTrack, 2);
    EXPECT_EQ(TenthsOf(g_bgmChannel.get()), 12);
    EXPECT_STREQ(g_scenario->bgmName.get(), "bgm\\n002.ogg");
}

TEST_F(MusicRoomTest, PreviousAndNextPassLockedTracksAndWrapAround) {
    enum Button { kPrevious = 700, kNext = 764 };
    struct Case {
        bool track0Unlocked;
        int from;
        Button button;
        int to;
    };
    const Case cases[] = {
        {false, 1, kPrevious, 35}, {false, 9, kPrevious, 7}, {false, 7, kNext, 9},
        {false, 29, kNext, 31},    {false, 35, kNext, 1},    {true, 35, kNext, 0},
    };
    CMusicRoom& room = ToInput();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << (c.button == kNext ? " next" : " previous"));
        g_config[config::kScriptFlags + 1] = c.track0Unlocked ? 1 : 0;
        room.CurrentTrack = static_cast<std::int8_t>(c.from);
        ClickAt(c.button, 60);
        EXPECT_EQ(room.CurrentTrack, c.to);
        EXPECT_EQ(room.Page, c.to >= 18 ? 1 : 0);
        EXPECT_EQ(TenthsOf(g_bgmChannel.get()), TenthsOfTrack(c.to));
        EXPECT_EQ(room.HoverControl, 0);
        EXPECT_EQ(g_mouse->click, 0);
    }
}

TEST_F(MusicRoomTest, StopEndsTheFadeBeforeTheChannelGoes) {
    CMusicRoom& room = ToInput();
    ASSERT_NE(g_bgmChannel, nullptr);
    ASSERT_EQ(g_bgmChannel->FadeOut(2000), 0);
    ClickAt(732, 60);
    EXPECT_EQ(g_bgmChannel, nullptr);
    EXPECT_EQ(g_scenario->bgmName, nullptr);
    EXPECT_EQ(room.CurrentTrack, 3);
    // The fade's timer would step a freed channel here.
    hl::AdvanceClock(3000);
}

TEST_F(MusicRoomTest, TabsBackButtonAndRightClickLeave) {
    CMusicRoom& room = ToInput();
    // The own tab is lit and never hovered; another tab lights up.
    EXPECT_EQ(Pixel(200, 90), kTabLit);
    EXPECT_EQ(Pixel(100, 90), kTabPlain);
    MoveTo(200, 90);
    Frame();
    EXPECT_EQ(room.HoverTab, 0);
    MoveTo(100, 90);
    Frame();
    EXPECT_EQ(room.HoverTab, 2);
    EXPECT_EQ(Pixel(100, 90), kTabLit);
    g_mouse->click = 1;
    Frame();
    EXPECT_EQ(g_gameApp->mode, 14);
    EXPECT_EQ(g_gameApp->returnMode, 1);
    EXPECT_EQ(TenthsOf(g_seChannels[0].get()), 3);

    g_musicRoom.reset();
    CMusicRoom& again = ToInput();
    MoveTo(750, 100);
    Frame();
    EXPECT_EQ(again.HoverTab, 4);
    EXPECT_EQ(Pixel(740, 95), kSheetTop);
    g_mouse->click = 1;
    Frame();
    EXPECT_EQ(again.State, 5);
    EXPECT_EQ(TenthsOf(g_seChannels[0].get()), 2);
    AdvanceTo(again.StartTime + 300);
    Frame();
    EXPECT_EQ(g_gameApp->mode, 1);
    EXPECT_EQ(cdib[1], nullptr);
    EXPECT_EQ(cdib[7], nullptr);
    // The room music plays on out of the room.
    EXPECT_STREQ(g_scenario->bgmName.get(), "n004.ogg");

    g_musicRoom.reset();
    ToInput();
    g_mouse->cancel = 1;
    Frame();
    EXPECT_EQ(g_gameApp->mode, 1);
}

} // namespace
