// The contest's special-attack cut-ins on the virtual clock: the shared
// machinery's levels, band, flash, shake and falling life bar pinned at
// chosen frames with pixels worked by hand, and each member run to its end
// to see what it leaves of the contest. The last test plays every member on
// the demo data and writes pictures of their phases to build/test/cutin-shots/.
#include "e2e/DemoFolder.h"
#include "e2e/Shots.h"
#include "frontend/FrontendFixture.h"
#include "screenkit/ScreenKit.h"
#include "takoyaki/RusCutIn.h"
#include "takoyaki/RusGame.h"

#include <algorithm>
#include <functional>
#include <set>

using namespace frontend_test;
using screenkit::FreeVoiceSlot;
using screenkit::Slot;
using platform::MouseButton;
using rus::RusState;
using rus::Side;

namespace {

constexpr std::uint32_t kFieldBg = 0x603820;
constexpr std::uint32_t kBaseTop = 0x3050A0;
constexpr std::uint32_t kBand = 0x20A0A0;
constexpr std::uint32_t kMark = 0xF0F000;
constexpr std::uint32_t kFigure = 0xA02080;
constexpr std::uint32_t kCaption = 0x80A020;
constexpr std::uint32_t kPlayerBar = 0xC02020;
constexpr std::uint32_t kBurnMark = 0x101010;
constexpr std::uint32_t kOpponentBar = 0x2020C0;
constexpr std::uint32_t kRed = 0xFF0000;
// The reel's five symbols.
constexpr std::array<std::uint32_t, 5> kSymbol{0xE00000, 0x00E000, 0x0000E0, 0xE0E000, 0x00E0E0};
constexpr std::uint32_t Opaque(std::uint32_t rgb) {
    return 0xFF000000u | rgb;
}

// A picture of w x h, clear, with opaque rectangles of colour.
struct Area {
    int x, y, w, h;
    std::uint32_t rgb;
};
void WritePicture(const char* path, int w, int h, const std::vector<Area>& areas) {
    bmp_writer::BmpImage img;
    img.width = w;
    img.height = h;
    img.bitCount = 32;
    img.pixels.assign(static_cast<std::size_t>(w) * h, 0);
    for (const Area& a : areas)
        for (int y = a.y; y < a.y + a.h; ++y)
            for (int x = a.x; x < a.x + a.w; ++x)
                img.pixels[static_cast<std::size_t>(y) * w + x] = Opaque(a.rgb);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    ASSERT_TRUE(bmp_writer::WriteBmp(path, img));
}

// The band strip of a sheet: marked in its first 16 columns so its offset
// shows. Pictures on the sheets are opaque in their upper 100 rows only, so
// the band shows under their lower part.
std::vector<Area> Sheet(std::vector<Area> pictures) {
    pictures.push_back({0, 0, 800, 213, kBand});
    pictures.push_back({0, 0, 16, 213, kMark});
    return pictures;
}

class RusCutIns : public FrontendTest {
protected:
    void SetUp() override {
        WriteSolid("bmp/tako_base.bmp", 800, 600, Opaque(kFieldBg));
        std::vector<Area> tiles;
        for (int s = 1; s <= 11; ++s)
            tiles.push_back({47 * (s - 1), 0, 47, 47, 0x101000u * static_cast<std::uint32_t>(s)});
        WritePicture("bmp/kiji.bmp", 517, 47, tiles);
        WritePicture("bmp/tako_p.bmp", 570, 461,
                     {{0, 78, 221, 34, kPlayerBar}, {221, 78, 221, 34, kOpponentBar},
                      {84, 128, 47, 47, kBurnMark}});
        WritePicture("bmp/pomi_base.bmp", 800, 600, {{0, 0, 800, 100, kBaseTop}});
        WritePicture("bmp/pomi_sp_p.bmp", 800, 639,
                     Sheet({{0, 213, 400, 100, kFigure}, {0, 426, 500, 100, kCaption}}));
        WritePicture("bmp/pomi_sp_p02.bmp", 1450, 639,
                     Sheet({{0, 213, 1450, 100, 0x4040F0}, {0, 426, 440, 100, kFigure}}));
        for (int k = 1; k <= 5; ++k)
            WriteSolid("bmp/pom_cut0" + std::to_string(k) + ".bmp", 800, 600,
                       Opaque(0x202020u * static_cast<std::uint32_t>(k)));
        WriteSolid("bmp/mask37.bmp", 800, 600, Opaque(0x808080));
        WritePicture("bmp/gor_base.bmp", 800, 600, {});
        WritePicture("bmp/gor_sp_p.bmp", 800, 638, Sheet({{0, 213, 760, 100, kFigure}}));
        // Backdrop and spark, and the portrait.
        WritePicture("bmp/gor_sp_p02.bmp", 800, 852,
                     Sheet({{0, 213, 680, 100, kFigure}, {0, 426, 364, 100, kCaption}}));
        std::vector<Area> reel;
        for (int k = 0; k < 5; ++k)
            reel.push_back({420, 75 * k, 96, 75, kSymbol[k]});
        WritePicture("bmp/gor_sp_p02_1.bmp", 516, 375, reel);
        WriteTone("se/nse059.ogg", 2);
        WriteTone("se/BSE034.ogg", 3);
        WriteTone("se/SE396.ogg", 4);
        WriteTone("se/se144.ogg", 5);
        WriteTone("voice/pom0408.ogg", 6);
        WriteTone("voice/pom0409.ogg", 7);
        WriteTone("voice/gor0127.ogg", 8);
        WriteTone("voice/gor0128.ogg", 9);
        WriteTone("voice/pom0410.ogg", 11);
        WriteTone("voice/pom0411.ogg", 12);
        WriteTone("voice/gor0125.ogg", 13);
        FrontendTest::SetUp();
        g_gameApp->opponentIndex = 0;
        g_gameApp->mode = 66;
        Frame();
        C().BeginPlay();
        Frame();
    }

    CRusContest& C() { return g_rusGame->Contest; }
    void Fire(std::uint8_t variant) {
        C().OpponentSpecial = variant;
        C().State = RusState::OpponentCutIn;
    }
    void FireSpecial(std::uint8_t special) {
        C().PlayerPlates = 3;
        C().PlayerGauge1 = C().PlayerGauge2 = 10;
        C().PlayerGauge1Full = C().PlayerGauge2Full = 1;
        C().PlayerSpecial = static_cast<std::uint8_t>(special - 1);
        C().State = RusState::PlayerCutIn;
    }
    // Effects the opponent set on the player, which every special ends.
    void SetOpponentEffects(bool guarded) {
        C().OpponentImmune = guarded ? 1 : 0;
        C().SlowCooking = C().PlayerHolesCovered = 1;
        C().PlayerHoleCovered.fill(1);
    }
    // What the ending of either special leaves.
    void ExpectSpecialEnded() {
        EXPECT_EQ(C().AiStamp, Now() - 8);
        EXPECT_EQ(C().PlayerHoleStamp[0], Now() - 8);
        EXPECT_FALSE(C().OpponentImmune || C().SlowCooking || C().PlayerHolesCovered);
        EXPECT_EQ(std::ranges::count(C().PlayerHoleCovered, 1), 0);
        EXPECT_EQ(g_maskImage, nullptr);
        ExpectSurfacesFreed();
    }
    // Frames until the cut-in is at `phase`; false when it never gets there.
    bool ToPhase(int phase) {
        for (int i = 0; i < 2000 && C().CutInPhase != phase; ++i)
            Frame();
        return C().CutInPhase == phase;
    }
    // One frame `ms` into the current phase.
    void FrameAt(std::uint32_t ms) {
        AdvanceTo(C().StartTime + ms);
        Frame();
    }
    // Frames until play resumes; the phases the cut-in went through.
    std::set<int> ToPlay() {
        std::set<int> phases;
        for (int i = 0; i < 3000 && C().State != RusState::Play; ++i) {
            phases.insert(C().CutInPhase);
            Frame();
        }
        EXPECT_EQ(C().State, RusState::Play);
        return phases;
    }
    void ExpectSurfacesFreed() {
        for (int slot = 10; slot <= 17; ++slot)
            EXPECT_EQ(cdib[slot], nullptr) << slot;
    }
};

TEST_F(RusCutIns, LevelsReachFullOnlyAtTheirLengthAndSurviveAStall) {
    rus::cutin::CutIn k(*g_rusGame);
    const std::uint32_t now = Now();
    C().StartTime = now - 299;
    EXPECT_EQ(k.Level(300), 254); // 299 × 255 ÷ 300 = 254.15
    EXPECT_EQ(k.Ramp(300), 253);  // 299 × 254 ÷ 300 = 253.15
    C().StartTime = now - 300;
    EXPECT_EQ(k.Level(300), 255);
    EXPECT_EQ(k.Ramp(300), 254);
    // 77,300 × 255 ÷ 300 = 65,705 would read 169 in 16 bits: a phase after a
    // long stall ends instead of drawing a stale frame.
    C().StartTime = now - 77300;
    EXPECT_EQ(k.Level(300), 255);
    EXPECT_FALSE(k.Waiting(300));
}

TEST_F(RusCutIns, FirstVariantSlidesInFlashesShakesAndDropsTheBar) {
    Fire(0);
    Frame(); // set-up
    EXPECT_EQ(TenthsOf(g_seChannels[0].get()), 2);
    ASSERT_TRUE(ToPhase(2));
    EXPECT_EQ(TenthsOf(g_voiceChannels[10].get()), 6);

    // The band's first frame: no step yet; the figure 6 pixels in from the
    // right (8 × 400 ÷ 500), the caption's last 8 columns at the left.
    Frame();
    EXPECT_EQ(Pixel(10, 350), kMark);
    EXPECT_EQ(Pixel(20, 350), kBand);
    EXPECT_EQ(Pixel(796, 250), kFigure);
    EXPECT_EQ(Pixel(3, 250), kCaption);
    EXPECT_EQ(Pixel(10, 250), kMark);
    // Halfway: one 16-pixel step; the figure at 800 − 200, the caption at −250.
    FrameAt(250);
    EXPECT_EQ(C().ScrollOffset, 16);
    EXPECT_EQ(Pixel(20, 350), kMark);
    EXPECT_EQ(Pixel(10, 350), kBand);
    EXPECT_EQ(Pixel(600, 250), kFigure);
    EXPECT_EQ(Pixel(599, 250), kBand);
    EXPECT_EQ(Pixel(249, 250), kCaption);
    EXPECT_EQ(Pixel(250, 250), kBand);
    // The last frame bakes figure and caption at rest into the scene.
    FrameAt(500);
    EXPECT_EQ(C().CutInPhase, 3);
    EXPECT_EQ(Pixel(400, 250), kCaption);
    EXPECT_EQ(Pixel(550, 250), kFigure);
    EXPECT_EQ(Pixel(40, 350), kMark);
    EXPECT_EQ(Pixel(400, 50), kBaseTop);
    EXPECT_EQ(PixelOf(Slot(11), 550, 250), kFigure);

    // The red flash: 150 × 255 ÷ 300 = 127.
    ASSERT_TRUE(ToPhase(4));
    EXPECT_EQ(TenthsOf(g_seChannels[0].get()), 3);
    FrameAt(150);
    EXPECT_EQ(Pixel(400, 50), Mix(kRed, kBaseTop, 127));

    // The shake: a step every 88 ms moves the return picture around the
    // corners by 16 pixels; the strips it leaves keep what was there.
    ASSERT_TRUE(ToPhase(7));
    CDib* ret = Slot(10);
    const std::uint32_t a = 0x010203, b = 0x040506, d = 0x070809, e = 0x0A0B0C;
    ret->SetPixel(16, 16, a);
    ret->SetPixel(0, 0, b);
    ret->SetPixel(0, 16, d);
    ret->SetPixel(16, 0, e);
    Frame();
    EXPECT_EQ(Pixel(0, 0), a);
    FrameAt(89);
    EXPECT_EQ(C().ScrollOffset, 1);
    EXPECT_EQ(Pixel(16, 16), b);
    FrameAt(89);
    EXPECT_EQ(Pixel(16, 0), d);
    EXPECT_EQ(Pixel(0, 0), a) << "the strip left of the copy keeps the frame before";
    FrameAt(89);
    EXPECT_EQ(Pixel(0, 16), e);
    AdvanceTo(C().CutInTimer + 801);
    Frame();
    EXPECT_EQ(C().ScrollOffset, 0);
    EXPECT_EQ(Pixel(0, 0), b);

    // The hit: 20 off the player's bar (393 − 221 = 172 to 192), which falls
    // 24 pixels while it fades: at 400 ms 12 down at 255 − 127.
    EXPECT_EQ(C().PlayerLife, rus::kFullLife - 20);
    ASSERT_EQ(C().CutInPhase, 8);
    FrameAt(400);
    EXPECT_EQ(C().ScrollOffset, 12);
    EXPECT_EQ(Pixel(180, 40), Mix(kPlayerBar, kFieldBg, 128));
    EXPECT_EQ(Pixel(180, 20), kFieldBg);
    EXPECT_EQ(Pixel(200, 20), kPlayerBar);
    FrameAt(800);
    EXPECT_EQ(Pixel(180, 40), kFieldBg);
    EXPECT_EQ(C().CutInPhase, 9);
}

TEST_F(RusCutIns, OpponentZeroEndsWithItsPriceAndClearsThePlayersEffects) {
    struct Case {
        std::uint8_t variant;
        bool immune;
        std::int8_t plates;
        std::int32_t life;
        std::int8_t platesAfter;
        std::int32_t lifeAfter;
    };
    // Eight balls on the pan: variant 1 burns them for 10 + 8 × 6.
    const Case cases[] = {{0, false, 3, 221, 2, 201}, {0, true, 3, 221, 2, 221},
                          {1, false, 1, 100, 0, 42},  {1, false, 3, 40, 1, 0},
                          {1, true, 2, 100, 0, 100}};
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << int{k.variant} << " immune " << k.immune);
        CRusContest& c = C();
        c.PlayerStage.fill(0);
        c.PlayerBurnCounted.fill(0);
        constexpr std::array<std::int8_t, 8> kCooking{1, 2, 3, 4, 6, 7, 9, 10};
        std::ranges::copy(kCooking, c.PlayerStage.begin());
        c.PlayerHoleInterval.fill(1000); // shortened by a no-burn effect
        c.PlayerLife = k.life;
        c.OpponentPlates = k.plates;
        c.OpponentGauge1 = c.OpponentGauge2 = 10;
        c.OpponentGauge1Full = c.OpponentGauge2Full = 1;
        c.PlayerImmune = k.immune ? 1 : 0;
        c.OpponentHolesCovered = c.OpponentLocked = 1;
        c.OpponentHoleCovered.fill(1);
        c.AiMoveStamp = Now() - 50;
        const std::uint32_t aiMove = c.AiMoveStamp;
        const std::uint32_t aiStamp = c.AiStamp = Now() - 70;
        FreeVoiceSlot(0);
        Fire(k.variant);
        Frame();
        g_maskImage.reset();
        const std::set<int> phases = ToPlay();

        EXPECT_EQ(c.OpponentPlates, k.platesAfter);
        EXPECT_EQ(c.PlayerLife, k.lifeAfter);
        EXPECT_EQ(c.OpponentGauge1, k.variant == 0 ? 10 : 0);
        EXPECT_EQ(c.OpponentGauge2, 0);
        EXPECT_EQ(c.OpponentGauge1Full, k.variant == 0 ? 1 : 0); // gauge 2 carried over full
        EXPECT_FALSE(c.OpponentGauge2Full);
        EXPECT_FALSE(c.PlayerImmune || c.OpponentHolesCovered || c.OpponentLocked);
        EXPECT_EQ(std::ranges::count(c.OpponentHoleCovered, 1), 0);
        EXPECT_EQ(c.PlayerHoleInterval, c.BasePlayerHoleInterval);
        ExpectSurfacesFreed();
        // The frozen time does not count: every hole starts its stage again.
        EXPECT_EQ(c.PlayerHoleStamp[0], Now() - 8);
        EXPECT_EQ(c.AiMoveStamp, aiMove);
        EXPECT_EQ(c.CutInPhase, 0);
        // A guarded player sees no bar fall and hears no closing line of
        // variant 1; variant 1 keeps AiStamp and leaves no mask behind.
        const int barPhase = k.variant == 0 ? 8 : 16;
        EXPECT_EQ(phases.count(barPhase), k.immune ? 0u : 1u);
        EXPECT_EQ(TenthsOf(g_voiceChannels[0].get()),
                  k.variant == 0 ? 8 : (k.immune ? -1 : 9));
        if (k.variant == 1) {
            EXPECT_EQ(c.AiStamp, aiStamp);
            EXPECT_EQ(g_maskImage, nullptr);
            EXPECT_EQ(std::ranges::count(c.PlayerStage, 11), k.immune ? 0 : 8);
            // Burnt by the cut-in, they cost nothing more in play.
            const std::int32_t life = c.PlayerLife;
            Frames(3);
            if (c.State == RusState::Play) {
                EXPECT_EQ(c.PlayerLife, life);
            }
            c.State = RusState::Play;
        } else {
            EXPECT_EQ(c.AiStamp, Now() - 8);
        }
    }
}

TEST_F(RusCutIns, AClickEndsOnlySkippablePhasesAndNeverReachesPlay) {
    CRusContest& c = C();
    Fire(0);
    ASSERT_TRUE(ToPhase(3));
    // The hold is not skippable: a press lasts until the phase ends.
    Press(MouseButton::Left);
    FrameAt(100);
    EXPECT_EQ(c.CutInPhase, 3);
    FrameAt(2500);
    EXPECT_EQ(c.CutInPhase, 4);
    EXPECT_EQ(g_mouse->click, 0);
    Release(MouseButton::Left);
    // The red flash is: each click ends a fade at once.
    for (int phase = 4; phase <= 6; ++phase) {
        Press(MouseButton::Left);
        Frame();
        EXPECT_EQ(c.CutInPhase, phase + 1);
        Release(MouseButton::Left);
    }
    // A press held over a hole through the rest of the cut-in pours nothing.
    const platform::Rect hole = c.PlayerHoleRect[3];
    MoveTo(hole.left + 10, hole.top + 10);
    Press(MouseButton::Left);
    ToPlay();
    Frames(2);
    EXPECT_EQ(c.PlayerStage[3], 0);
    Release(MouseButton::Left);

    // A second special right after the first starts from phase 0 on empty slots.
    Fire(1);
    EXPECT_EQ(c.CutInPhase, 0);
    Frame();
    EXPECT_EQ(c.CutInPhase, 1);
    EXPECT_NE(g_maskImage, nullptr);
    ToPlay();
    ExpectSurfacesFreed();
}

} // namespace

TEST_F(RusCutIns, SpecialOneClearsBurntBallsHitsAndKeepsThePanFromBurning) {
    CRusContest& c = C();
    for (bool guarded : {true, false}) {
        SCOPED_TRACE(guarded);
        c.PlayerStage.fill(0);
        c.PlayerStage[0] = 8; // burnt
        c.PlayerStage[1] = 4;
        c.PlayerStage[2] = 9;
        c.PlayerKind[0] = 1;
        c.PlayerBurnCounted[0] = 1;
        SetOpponentEffects(guarded);
        FireSpecial(1);
        if (!guarded) {
            // The opponent's bar loses 20 at its inner end (407 + 201 = 608).
            ASSERT_TRUE(ToPhase(6));
            FrameAt(400);
            EXPECT_EQ(Pixel(615, 40), Mix(kOpponentBar, kFieldBg, 128));
            EXPECT_EQ(Pixel(615, 20), kFieldBg);
            EXPECT_EQ(Pixel(600, 20), kOpponentBar);
        }
        const std::set<int> phases = ToPlay();
        EXPECT_EQ(phases.count(6), guarded ? 0u : 1u);
        EXPECT_EQ(c.PlayerStage[0], 0);
        EXPECT_EQ(c.PlayerKind[0], 0);
        EXPECT_EQ(c.PlayerBurnCounted[0], 0);
        EXPECT_EQ(c.PlayerStage[1], 4);
        EXPECT_EQ(c.PlayerStage[2], 9);
        EXPECT_EQ(c.OpponentLife, guarded ? rus::kFullLife : rus::kFullLife - 20);
        EXPECT_EQ(c.NoBurn, guarded ? 0 : 1);
        EXPECT_EQ(c.PlayerHoleInterval[5], guarded ? c.BasePlayerHoleInterval[5] : 2000u);
        EXPECT_EQ(c.NoBurnStamp, Now() - 8);
        EXPECT_EQ(c.PlayerPlates, 2);
        EXPECT_EQ(c.PlayerGauge1, 10); // gauge 2 carried over
        EXPECT_TRUE(c.PlayerGauge1Full && !c.PlayerGauge2Full);
        EXPECT_EQ(TenthsOf(g_voiceChannels[10].get()), 11);
        ExpectSpecialEnded();
    }
}

// The reel attacks are not drawn yet: the symbol is kept and the special
// goes on to its flash and ending.
TEST_F(RusCutIns, SpecialTwoStopsTheReelWhereClickedAndHandsItsSymbolToThePendingAttacks) {
    CRusContest& c = C();
    struct Stop {
        int steps;             // of the spinning reel before the click
        std::uint8_t symbol;   // shown in rows 22..96 of the window
        std::int16_t position; // where it stops
    };
    // Positions 0, 345, 315, 285, 255 ... 15: the top rows of the window.
    for (const Stop& s : {Stop{0, 0, 22}, Stop{2, 4, 97}, Stop{4, 3, 203}, Stop{9, 2, 128},
                          Stop{10, 1, 53},
                          Stop{12, 0, 22}}) {
        SCOPED_TRACE(s.steps);
        SetOpponentEffects(false);
        c.NoBurn = 1; // its 15 seconds start again
        FireSpecial(2);
        ASSERT_TRUE(ToPhase(4));
        for (int i = 0; i < s.steps; ++i) {
            AdvanceTo(c.CutInTimer + 17);
            Frame();
        }
        // The contest stays frozen for as long as the reel spins.
        const std::int32_t timeLeft = c.TimeLeft;
        AdvanceTo(Now() + 20000);
        c.CutInTimer = Now();
        Frame();
        ASSERT_EQ(c.CutInPhase, 4);
        Press(MouseButton::Left);
        Frame();
        Release(MouseButton::Left);
        EXPECT_EQ(c.ReelResult, s.symbol);
        EXPECT_EQ(c.ScrollOffset, s.position);
        EXPECT_EQ(Pixel(400, 52), kSymbol[s.symbol]);
        EXPECT_EQ(Pixel(400, 126), kSymbol[s.symbol]);
        const std::set<int> phases = ToPlay();
        EXPECT_TRUE(phases.contains(5) && phases.contains(7));
        EXPECT_EQ(c.TimeLeft, timeLeft);
        EXPECT_EQ(c.PlayerPlates, 1);
        EXPECT_EQ(c.PlayerGauge1 + c.PlayerGauge2 + c.PlayerGauge1Full + c.PlayerGauge2Full, 0);
        EXPECT_EQ(c.NoBurn, 1);
        EXPECT_EQ(c.NoBurnStamp, Now() - 8);
        EXPECT_EQ(TenthsOf(g_voiceChannels[10].get()), 12);
        EXPECT_EQ(TenthsOf(g_voiceChannels[0].get()), 13); // loaded with the reel, played at its spark
        ExpectSpecialEnded();
    }
}

// Special 2's opening over its band: the portrait slides in from the right
// as it fades in, and the spark flares with an additive pass at its peak.
TEST_F(RusCutIns, SpecialTwoOpeningSlidesFadesAndFlares) {
    CRusContest& c = C();
    FireSpecial(2);
    ASSERT_TRUE(ToPhase(3));
    // 500 of 1000 ms: 182 of 364 pixels in, at 500 × 254 ÷ 1000 = 127.
    FrameAt(500);
    EXPECT_EQ(c.SlideOffset, 182);
    EXPECT_EQ(Pixel(618, 250), Mix(kCaption, kBand, 127));
    EXPECT_EQ(Pixel(617, 250), kBand);
    while (c.CutInStep < 2)
        Frame();
    // 250 of 500 ms: the spark at 127 over the portrait at rest, then added
    // at sin 90° × 254 = 254.
    FrameAt(250);
    const std::uint32_t under = Mix(kCaption, Mix(kFigure, kBand, 254), 254);
    std::uint32_t flared = 0;
    const std::uint32_t spark = Mix(kFigure, under, 127);
    for (int shift = 0; shift <= 16; shift += 8) {
        const std::uint32_t sc = (kFigure >> shift) & 0xFF, dc = (spark >> shift) & 0xFF;
        flared |= std::min<std::uint32_t>(255, dc + ((sc * 255 >> 8) * 254 >> 8)) << shift;
    }
    EXPECT_EQ(Pixel(560, 230), flared);
    EXPECT_EQ(Pixel(560, 290), under) << "the spark is 70 rows high";
}

// Every drawn member on the demo data, with pictures of its phases for
// people to look at.
class RusCutInsOnDemoData : public FrontendTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(e2e::DemoFolder().error.empty()) << e2e::DemoFolder().error;
        std::filesystem::copy(e2e::DemoFolder().dir, std::filesystem::current_path(),
                              std::filesystem::copy_options::recursive);
        FrontendTest::SetUp();
        g_gameApp->opponentIndex = 0;
        g_gameApp->mode = 66;
        Frame();
        CRusContest& c = g_rusGame->Contest;
        c.BeginPlay();
        for (int h = 0; h < rus::kHoles; h += 3)
            c.PlayerStage[h] = c.OpponentStage[h] = static_cast<std::int8_t>(1 + h % 10);
        Frame();
    }
    // Runs the cut-in to its end, picturing the 15th frame of each phase;
    // `each` runs before every frame.
    void Play(const std::string& name, const std::function<void()>& each = {}) {
        CRusContest& c = g_rusGame->Contest;
        int phase = -1, frames = 0;
        for (int i = 0; i < 3000 && c.State != RusState::Play; ++i) {
            frames = c.CutInPhase == phase ? frames + 1 : 0;
            phase = c.CutInPhase;
            if (each) each();
            Frame();
            if (frames == 15) e2e::WriteShot("cutin-shots", name + "-" + std::to_string(phase));
        }
        ASSERT_EQ(c.State, RusState::Play) << name;
        for (int slot = 10; slot <= 17; ++slot)
            EXPECT_EQ(cdib[slot], nullptr) << name << " " << slot;
    }
};

TEST_F(RusCutInsOnDemoData, EveryDrawnMemberRunsToItsEnd) {
    CRusContest& c = g_rusGame->Contest;
    for (std::uint8_t variant : {0, 1}) {
        c.OpponentSpecial = variant;
        c.State = RusState::OpponentCutIn;
        Play(variant == 0 ? "opponent0-a" : "opponent0-b");
    }
    EXPECT_LT(c.PlayerLife, rus::kFullLife);
    for (std::uint8_t special : {0, 1}) {
        c.PlayerSpecial = special;
        c.PlayerPlates = 2;
        c.State = RusState::PlayerCutIn;
        int spun = 0;
        Play(special == 0 ? "special1" : "special2", [&] {
            if (c.CutInPhase == 4 && c.CutInStep == 0 && ++spun == 40) g_mouse->click = 1;
        });
    }
    EXPECT_LT(c.OpponentLife, rus::kFullLife);
}
