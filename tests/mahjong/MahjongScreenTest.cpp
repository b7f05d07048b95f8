// The match screen (mode 64) on the virtual clock, with pictures of known
// colours: each tile kind's face, the backs, the strips of the result sheet
// and the digits are plain colours, so a pixel tells which tile or digit was
// drawn where. The player's clicks and answers drive the match.
#include "MahjongTestSupport.h"
#include "frontend/FrontendFixture.h"
#include "lib/ScriptAssembler.h"
#include "mahjong/MahjongGame.h"
#include "screenkit/Slots.h"

#include <functional>

namespace {

using namespace frontend_test;
using mahjong_test::HandOfKinds;
using mahjong_test::TileOf;
namespace st = mahjong_state;

constexpr std::uint32_t kTable = 0x102030;
constexpr std::uint32_t kBack = 0x303030;
constexpr std::uint32_t kPortrait = 0x604020;
constexpr std::uint32_t kPanel = 0x203040;
constexpr std::uint32_t kYesLit = 0x40C0C0;
constexpr std::uint32_t kMarker = 0xC04080;
constexpr std::uint32_t kTotalFrame = 0x505000;
constexpr std::uint32_t kHeroine = 7; // never lapses; starts with 15000

std::uint32_t Face(int kind) {
    return 0xF00000 | static_cast<std::uint32_t>(kind * 16) << 8;
}
std::uint32_t PlayerDiscard(int kind) {
    return 0x0000F0 | static_cast<std::uint32_t>(kind * 16) << 8;
}
std::uint32_t CpuDiscard(int kind) {
    return 0x800000 | static_cast<std::uint32_t>(kind * 16);
}
std::uint32_t Digit(int d) {
    return 0x010101 * static_cast<std::uint32_t>(100 + 10 * d);
}
std::uint32_t Strip(int flag) {
    return 0x400000 | static_cast<std::uint32_t>(flag * 6) << 8 | 0x40;
}
std::uint32_t TotalDigit(int d) {
    return 0x008000 | static_cast<std::uint32_t>(d * 20) << 16;
}

// A picture drawn by a function of the pixel: 0 leaves it clear.
void WritePicture(const std::string& path, int w, int h,
                  const std::function<std::uint32_t(int x, int y)>& rgb) {
    bmp_writer::BmpImage img;
    img.width = w;
    img.height = h;
    img.bitCount = 32;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint32_t c = rgb(x, y);
            img.pixels.push_back(c ? 0xFF000000 | c : 0);
        }
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    ASSERT_TRUE(bmp_writer::WriteBmp(path, img));
}

class MahjongScreenTest : public FrontendTest {
protected:
    void SetUp() override {
        FrontendTest::SetUp();
        WriteSolid("bmp/taku01.bmp", 800, 600, 0xFF000000 | kTable);
        WritePicture("bmp/hai01.bmp", 1104, 520, [](int x, int y) -> std::uint32_t {
            if (y < 109) return Face(x / 69);
            if (y >= 300 && y < 382) return x < 52 ? kBack : 0;
            if (y >= 382 && y < 451) return PlayerDiscard(x / 55);
            if (y >= 451) return CpuDiscard(x / 55);
            return 0;
        });
        WritePicture("bmp/system.bmp", 353, 408, [](int x, int y) -> std::uint32_t {
            if (y >= 250 && y < 280 && x < 210) return Digit(x / 21);
            if (x >= 265 && y >= 34 && y < 68) return kMarker;
            return 0;
        });
        WriteSolid("bmp/char_l_08.bmp", 254, 246, 0xFF000000 | kPortrait);
        for (const char* menu : {"bmp/riich_menu.bmp", "bmp/ron_menu.bmp", "bmp/tumo_menu.bmp"})
            WritePicture(menu, 216, 168, [](int x, int y) -> std::uint32_t {
                return y < 133 ? kPanel : (x < 63 ? kYesLit : 0x808080);
            });
        WritePicture("bmp/tiles.bmp", 463, 47 * 37,
                     [](int, int y) -> std::uint32_t { return Strip(y / 47); });
        WritePicture("bmp/total_num.bmp", 270, 39,
                     [](int x, int) -> std::uint32_t { return TotalDigit(x / 27); });
        WriteSolid("bmp/total.bmp", 394, 66, 0xFF000000 | kTotalFrame);
        for (const char* p : {"bmp/riich.bmp", "bmp/tumo.bmp", "bmp/ron.bmp", "bmp/win.bmp"})
            WriteSolid(p, 664, 442, 0xFFE0E0E0);
        WriteTone("bgm/c018.ogg", 6);
        WriteTone("bgm/c011.ogg", 7);
        WriteTone("voice/sef0405.ogg", 4);
        std::string error;
        ASSERT_TRUE(nvasm::WriteScriptFile("script/kof_sef_2.s", "end\n", error)) << error;
        g_gameApp->opponentIndex = kHeroine;
        g_gameApp->mode = 64;
        g_scenario->skipEffects = 1; // pauses and fades end at once
    }

    CMahjongGame& G() { return *g_mahjongGame; }
    bool AtDiscardChoice() {
        return G().State == st::kTurns && G().CurrentTurnStep() == MahjongTurnStep::DiscardChoice;
    }
    bool RunUntil(const std::function<bool()>& done, int limit = 3000) {
        for (int i = 0; i < limit; ++i) {
            if (done()) return true;
            Frame();
        }
        return done();
    }
    void ClickAt(int x, int y) {
        MoveTo(x, y);
        Press(platform::MouseButton::Left);
        Frame();
        Release(platform::MouseButton::Left);
    }
    void ClickRect(const platform::Rect& r) {
        ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    // The player's hand: eight held tiles sorted by kind, and a drawn one.
    void GivePlayer(std::initializer_list<int> kinds) {
        g_mahjongPlayerHand = HandOfKinds(kinds, 4);
        G().DrawPlayerHand();
    }
};

TEST_F(MahjongScreenTest, DealDrawsTheTableAndBothHandsThenTheHeroineDiscardsFirst) {
    ASSERT_TRUE(RunUntil([&] { return AtDiscardChoice(); }));
    EXPECT_EQ(G().Opponent, 7);
    EXPECT_EQ(G().PlayerDeals, 0u);
    for (int s = 0; s < 9; ++s) {
        const int x = s < 8 ? 80 + 67 * s : 653;
        EXPECT_EQ(Pixel(x + 30, 540), Face(g_mahjongPlayerHand[s].Kind)) << s;
    }
    for (int s = 0; s < 8; ++s)
        EXPECT_EQ(Pixel(452 - 51 * s + 20, 40), kBack) << s;
    // Her drawn slot is empty again after her first discard, which lies in
    // her first discard place.
    EXPECT_EQ(Pixel(19 + 10, 40), kTable);
    ASSERT_EQ(G().CpuDiscardCount, 1);
    EXPECT_EQ(Pixel(462 + 20, 218 + 30), CpuDiscard(g_mahjongCpuDiscards[0].Kind));
    EXPECT_EQ(Pixel(600, 100), kPortrait);
    // 15000 for her in five places, 10000 for the player; the sixth place
    // stays empty. Her plate and the dealer marker's row are clear here.
    for (int k = 1; k < 6; ++k) {
        EXPECT_EQ(Pixel(621 + 21 * k + 10, 320 + 15), Digit(k == 1 ? 1 : k == 2 ? 5 : 0)) << k;
        EXPECT_EQ(Pixel(621 + 21 * k + 10, 422 + 15), Digit(k == 1 ? 1 : 0)) << k;
    }
    EXPECT_EQ(Pixel(621 + 10, 320 + 15), kTable);
    EXPECT_EQ(TenthsOf(g_bgmChannel.get()), 6);
    EXPECT_EQ(TenthsOf(g_voiceChannels[0].get()), 4);
}

// Her lines answer to the mini-games' voice switch (byte 7), not to the
// story's (byte 32): the line of the deal, then the idle line at 10 s.
TEST_F(MahjongScreenTest, HerLinesFollowTheMiniGamesVoiceSwitchNotTheStorys) {
    WriteTone("voice/sef0414.ogg", 3);
    g_config[config::kVoiceOff] = 1;
    ASSERT_TRUE(RunUntil([&] { return AtDiscardChoice(); }));
    EXPECT_EQ(TenthsOf(g_voiceChannels[0].get()), 4);

    g_config[config::kVoiceOff] = 0;
    g_config[config::kVoiceMuteA] = 1;
    screenkit::FreeVoiceSlot(0);
    AdvanceTo(Now() + 10001);
    Frame();
    EXPECT_EQ(g_voiceChannels[0], nullptr);
    g_config[config::kVoiceMuteA] = 0;
    Frame();
    EXPECT_EQ(TenthsOf(g_voiceChannels[0].get()), 3);
}

TEST_F(MahjongScreenTest, HoverLiftsATileAClickDiscardsItAndARightClickOpensTheMenu) {
    ASSERT_TRUE(RunUntil([&] { return AtDiscardChoice(); }));
    const MahjongTile chosen = g_mahjongPlayerHand[2];
    MoveTo(80 + 134 + 30, 540);
    Frame();
    EXPECT_EQ(G().Hover, 3);
    EXPECT_EQ(Pixel(80 + 134 + 30, 485), Face(chosen.Kind)); // 4 px higher
    EXPECT_EQ(Pixel(80 + 201 + 30, 485), kTable);
    ClickAt(80 + 134 + 30, 540);
    ASSERT_EQ(G().PlayerDiscardCount, 1);
    EXPECT_EQ(g_mahjongPlayerDiscards[0], chosen);
    EXPECT_EQ(Pixel(13 + 25, 294 + 30), PlayerDiscard(chosen.Kind));
    EXPECT_EQ(Pixel(653 + 30, 540), kTable); // the drawn slot is empty
    // A click outside the tiles discards nothing.
    ASSERT_TRUE(RunUntil([&] { return AtDiscardChoice(); }));
    ClickAt(400, 300);
    Frames(3);
    EXPECT_EQ(G().PlayerDiscardCount, 1);

    // The way out to the in-match menu keeps the picture, and the match
    // takes up the same discard choice when the menu hands back.
    const MahjongHand hand = g_mahjongPlayerHand;
    const std::uint8_t subStep = G().SubStep;
    Press(platform::MouseButton::Right);
    Frame();
    Release(platform::MouseButton::Right);
    EXPECT_EQ(g_gameApp->mode, 54);
    EXPECT_EQ(g_gameApp->returnMode, 64);
    ASSERT_NE(g_menuSnapshot, nullptr);
    EXPECT_EQ(PixelOf(g_menuSnapshot.get(), 13 + 25, 294 + 30), PlayerDiscard(chosen.Kind));
    EXPECT_EQ(g_voiceChannels[0], nullptr);
    g_gameApp->mode = 64;
    Frames(2);
    EXPECT_EQ(G().State, st::kTurns);
    EXPECT_EQ(G().SubStep, subStep);
    EXPECT_EQ(g_mahjongPlayerHand, hand);
}

// A ready hand of 2 2 2 3 3 3 5 5 and a single 12: the riichi menu, the
// riichi with its marker and the game's discard of the single, then the
// wait drawn wins at once; the result shows tsumo, the riichi countdown,
// riichi, all below 8 and the shape (2, 3, 5): 8000 points.
TEST_F(MahjongScreenTest, RiichiThenTheWaitDrawnWinsAndTheResultCountsItsCombinations) {
    ASSERT_TRUE(RunUntil([&] { return AtDiscardChoice(); }));
    GivePlayer({2, 2, 2, 3, 3, 3, 5, 5, 12});
    // The heroine holds eight different kinds and draws a ninth: she can
    // neither become ready nor win.
    g_mahjongCpuHand = HandOfKinds({8, 9, 10, 11, 13, 14, 15, 0}, 4);
    G().PlayerReady = 1;
    G().PlayerWait = 5;
    G().CpuPoints = 5000;
    Frame();
    ASSERT_EQ(G().State, st::kRiichiMenu);
    Frame();
    EXPECT_EQ(Pixel(588 + 5, 376 + 5), kPanel);
    MoveTo(640, 470);
    Frame();
    EXPECT_EQ(Pixel(613 + 5, 451 + 5), kYesLit);
    ClickAt(640, 470);
    EXPECT_EQ(G().PlayerRiichi, 1);
    EXPECT_EQ(TenthsOf(g_bgmChannel.get()), 7);
    // Slide, stand and the heroine's answer take 2.3 s whatever is held.
    const std::uint32_t riichiAt = Now();
    ASSERT_TRUE(RunUntil([&] {
        hl::AdvanceClock(10);
        return G().State == st::kTurns;
    }));
    EXPECT_GE(Now() - riichiAt, 2300u);
    EXPECT_EQ(Pixel(706 + 5, 384 + 5), kMarker);
    ASSERT_EQ(G().PlayerDiscardCount, 1);
    EXPECT_EQ(g_mahjongPlayerDiscards[0].Kind, 12);
    EXPECT_EQ(Pixel(13 + 25, 294 + 30), PlayerDiscard(12));
    // Her draw, then the player's: the wait.
    g_mahjongWall[G().WallPos] = TileOf(0, 8);
    g_mahjongWall[G().WallPos + 1] = TileOf(5, 9);
    ASSERT_TRUE(RunUntil([&] { return G().State == st::kPlayerTsumo && G().SubStep == 2; }));
    EXPECT_EQ(Pixel(95 + 5, 84 + 5), 0xE0E0E0u);
    ClickAt(400, 300);
    ASSERT_TRUE(RunUntil([&] { return G().State == st::kWinResult && G().SubStep == 2; }));
    for (int i = 0; i < 9; ++i) // the winning hand, sorted, on top
        EXPECT_EQ(Pixel(26 + 50 * i + 25, 32 + 30),
                  PlayerDiscard(std::array{2, 2, 2, 3, 3, 3, 5, 5, 5}[i]))
            << i;
    // Combinations from 3 on are announced; with the mini-games' voices
    // off, 5's announcement is not played and 4's stays on the channel.
    WriteTone("voice/vel0170.ogg", 2);
    WriteTone("voice/vel0171.ogg", 5);
    const int flags[] = {0, 1, 2, 4, 5};
    for (int k = 0; k < 5; ++k) {
        if (k == 4) g_config[config::kVoiceMuteA] = 1;
        ClickAt(400, 300);
        EXPECT_EQ(Pixel(48 + 10, 116 + 47 * k + 20), Strip(flags[k])) << k;
    }
    EXPECT_EQ(TenthsOf(g_voiceChannels[0].get()), 2);
    g_config[config::kVoiceMuteA] = 0;
    EXPECT_EQ(G().YakuTotal, 8000);
    ClickAt(400, 300); // the total in thousands: 8, then three zeros
    EXPECT_EQ(Pixel(282 + 10, 520 + 15), kTotalFrame);
    EXPECT_EQ(Pixel(309 + 10, 520 + 15), kTotalFrame);
    EXPECT_EQ(Pixel(336 + 10, 520 + 15), TotalDigit(8));
    for (int x : {363, 390, 417})
        EXPECT_EQ(Pixel(x + 10, 520 + 15), TotalDigit(0)) << x;
    ClickAt(400, 300); // the points move: she is out
    EXPECT_EQ(G().PlayerPoints, 18000);
    EXPECT_EQ(G().CpuPoints, 0);
    ASSERT_TRUE(RunUntil([&] { return G().SubStep == 4; }));
    EXPECT_EQ(Pixel(621 + 21 * 5 + 10, 320 + 15), Digit(0)); // her 0
    EXPECT_EQ(Pixel(621 + 21 * 4 + 10, 320 + 15), kTable);
    EXPECT_EQ(Pixel(621 + 21 * 1 + 10, 422 + 15), Digit(1)); // 18000
    EXPECT_EQ(Pixel(621 + 21 * 2 + 10, 422 + 15), Digit(8));
    ClickAt(400, 300);
    ASSERT_TRUE(RunUntil([&] { return G().SubStep == 6; }));
    ClickAt(400, 300);
    EXPECT_EQ(g_gameApp->mode, 2);
    EXPECT_STREQ(g_gameApp->scriptName.data(), "kof_sef_2.s");
    EXPECT_EQ(g_scenario->playContext, 2);
    EXPECT_EQ(g_config[config::kMahjongBeaten + kHeroine], 1);
    EXPECT_EQ(G().State, 0);
    EXPECT_EQ(cdib[1], nullptr);
}

// Ready on the pair without riichi: the heroine's discard of the wait opens
// the ron menu, and yes wins on it with all below 8 and (2, 3, 5), even when
// the right button comes in the same frame.
TEST_F(MahjongScreenTest, RonMenuOnTheHeroinesDiscardCalledWithYes) {
    ASSERT_TRUE(RunUntil([&] { return AtDiscardChoice(); }));
    GivePlayer({2, 2, 2, 3, 3, 3, 5, 5, 12});
    g_mahjongCpuHand = HandOfKinds({8, 9, 10, 11, 13, 14, 15, 5}, 4);
    G().PlayerReady = 1;
    G().PlayerWait = 5;
    G().CallOffered = 1;      // the riichi offer was answered for this choice
    ClickRect(G().Rects[19]); // the single goes
    ASSERT_EQ(G().PlayerDiscardCount, 1);
    // She draws a 15: her 5 is the lowest single, so it goes.
    g_mahjongWall[G().WallPos] = TileOf(15, 9);
    ASSERT_TRUE(RunUntil([&] { return G().State == st::kRonMenu && G().SubStep == 1; }));
    EXPECT_EQ(g_mahjongCpuDiscards[G().CpuDiscardCount - 1].Kind, 5);
    EXPECT_EQ(Pixel(588 + 5, 376 + 5), kPanel);
    // Yes with the right button held too: the yes stands, the win goes on.
    MoveTo(640, 468);
    Press(platform::MouseButton::Left);
    Press(platform::MouseButton::Right);
    Frame();
    Release(platform::MouseButton::Left);
    Release(platform::MouseButton::Right);
    Frame();
    ASSERT_EQ(G().State, st::kPlayerRon);
    ASSERT_TRUE(RunUntil([&] { return G().SubStep == 2; }));
    ClickAt(400, 300);
    ASSERT_TRUE(RunUntil([&] { return G().State == st::kWinResult && G().SubStep == 2; }));
    EXPECT_EQ(g_mahjongPlayerHand[8].Kind, 5);
    ClickAt(400, 300);
    ClickAt(400, 300);
    EXPECT_EQ(Pixel(48 + 10, 116 + 20), Strip(4));
    EXPECT_EQ(Pixel(48 + 10, 116 + 47 + 20), Strip(5));
    EXPECT_EQ(G().YakuTotal, 5000);
    EXPECT_EQ(G().PlayerTsumo, 0);
}

} // namespace
