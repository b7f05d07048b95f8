// The contest's special-attack cut-ins on the virtual clock: the shared
// machinery's levels, band, flash, shake and falling life bar pinned at
// chosen frames with pixels worked by hand, and each member run to its end
// to see what it leaves of the contest. The last test plays every member on
// the demo data and writes pictures of their phases to build/test/cutin-shots/.
#include "takoyaki/RusCutIn.h"
#include "app/Config.h"
#include "e2e/DemoFolder.h"
#include "e2e/Shots.h"
#include "frontend/FrontendFixture.h"
#include "screenkit/ScreenKit.h"
#include "takoyaki/RusAutoPlayer.h"
#include "takoyaki/RusGame.h"

#include <algorithm>
#include <functional>
#include <set>

using namespace frontend_test;
using platform::MouseButton;
using rus::RusState;
using rus::Side;
using screenkit::FreeVoiceSlot;
using screenkit::Slot;

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
// Opponent 1's four comic panels and where they stand on her sheet.
constexpr std::array<std::uint32_t, 4> kPanel{0x00C040, 0xC0C0C0, 0x4000C0, 0xC00040};
constexpr std::array<std::array<int, 2>, 4> kPanelAt{{{420, 213}, {0, 426}, {420, 426}, {0, 639}}};
constexpr std::uint32_t kFlyer = 0xE0A040;
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
                     {{0, 78, 221, 34, kPlayerBar},
                      {221, 78, 221, 34, kOpponentBar},
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
        WritePicture("bmp/kel_base.bmp", 800, 600, {{0, 0, 800, 100, kBaseTop}});
        std::vector<Area> panels{{0, 213, 400, 100, kFigure}};
        for (std::size_t k = 0; k < kPanelAt.size(); ++k)
            panels.push_back({kPanelAt[k][0], kPanelAt[k][1], 420, 213, kPanel[k]});
        WritePicture("bmp/kel_sp_p.bmp", 840, 852, Sheet(panels));
        WritePicture("bmp/kel_sp_p02.bmp", 800, 639,
                     Sheet({{0, 213, 440, 100, kFigure}, {0, 426, 800, 213, kCaption}}));
        WritePicture("bmp/qo_base.bmp", 800, 600, {{0, 0, 800, 100, kBaseTop}});
        // Halves, caption 1 and the first of the banner's two dots.
        WritePicture("bmp/qo_sp_p.bmp", 800, 838,
                     Sheet({{0, 213, 800, 100, kFigure},
                            {0, 426, 600, 92, kCaption},
                            {650, 518, 44, 44, kMark}}));
        WritePicture("bmp/zv_sp_oyaji.bmp", 453, 234, {{0, 0, 453, 234, kFlyer}});
        WritePicture("bmp/qo_sp_p02.bmp", 800, 727, Sheet({{0, 213, 460, 100, kFigure}}));
        WritePicture("bmp/bom01.bmp", 658, 47, {{0, 0, 658, 47, kBurnMark}});
        WriteTone("voice/rus_qo04.ogg", 17);
        WriteTone("voice/fen0190.ogg", 18);
        WriteTone("voice/vel0215.ogg", 19);
        WritePicture("bmp/mur_base.bmp", 800, 600, {{0, 0, 800, 100, kBaseTop}});
        WritePicture("bmp/mur_sp_p.bmp", 1360, 639,
                     Sheet({{0, 213, 600, 213, kPanel[0]},
                            {600, 213, 600, 213, kPanel[1]},
                            {0, 426, 1360, 100, kCaption}}));
        WritePicture("bmp/mur_sp_p02.bmp", 900, 852,
                     Sheet({{0, 213, 580, 100, kFigure},
                            {0, 426, 900, 100, kCaption},
                            {0, 639, 460, 100, kPanel[2]}}));
        WritePicture("bmp/Mur_Moji.bmp", 600, 500, {{0, 0, 600, 500, kFlyer}});
        WriteSolid("bmp/mask04.bmp", 800, 600, Opaque(0x808080));
        WriteTone("voice/mur0367.ogg", 20);
        WriteTone("voice/mur0368.ogg", 21);
        WriteTone("voice/mur0368a.ogg", 22);
        WriteTone("voice/mur0368b.ogg", 23);
        WritePicture("bmp/dor_base.bmp", 800, 600, {{0, 0, 800, 100, kBaseTop}});
        WritePicture("bmp/dor_sp_p.bmp", 1070, 852,
                     Sheet({{0, 213, 1070, 100, kPanel[0]},
                            {0, 639, 550, 100, kPanel[1]},
                            {700, 426, 210, 213, kCaption}}));
        WritePicture("bmp/dor_sp_p02.bmp", 800, 852,
                     Sheet({{0, 213, 456, 100, kPanel[2]},
                            {0, 426, 510, 100, kPanel[3]},
                            {0, 639, 800, 100, kFigure}}));
        for (const char* line : {"dor0401", "dor0403", "dor0404", "dor0405"})
            WriteTone(std::string("voice/") + line + ".ogg", 80);
        WritePicture("bmp/hol_base.bmp", 800, 600, {{0, 0, 800, 100, kBaseTop}});
        WritePicture("bmp/hol_sp_p.bmp", 900, 852,
                     Sheet({{0, 213, 450, 100, kPanel[0]},
                            {450, 213, 450, 100, kPanel[1]},
                            {0, 426, 800, 100, kCaption},
                            {0, 639, 800, 100, kFigure}}));
        WritePicture("bmp/hol_sp_p02.bmp", 800, 756, Sheet({{0, 426, 360, 100, kPanel[2]}}));
        WriteTone("voice/hol0403.ogg", 25);
        WriteTone("voice/hol0404.ogg", 26);
        WriteTone("voice/gor0126.ogg", 27);
        WriteTone("se/SE290.ogg", 14);
        WriteTone("voice/kel0186.ogg", 15);
        WriteTone("voice/kel0187.ogg", 16);
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
    // Special 2's reel stopped by a click, and its attack handed `symbol`.
    bool ToReelAttack(std::uint8_t symbol) {
        if (!ToPhase(4)) return false;
        Press(MouseButton::Left);
        Frame();
        Release(MouseButton::Left);
        if (!ToPhase(5)) return false;
        C().ReelResult = symbol;
        return true;
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
    const Case cases[] = {{0, false, 3, 221, 2, 201},
                          {0, true, 3, 221, 2, 221},
                          {1, false, 1, 100, 0, 42},
                          {1, false, 3, 40, 1, 0},
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
        EXPECT_FALSE(c.OpponentGauge1Full); // gauge 2 carried over full, lit at the next step
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
        EXPECT_EQ(TenthsOf(g_voiceChannels[0].get()), k.variant == 0 ? 8 : (k.immune ? -1 : 9));
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
        EXPECT_FALSE(c.PlayerGauge1Full || c.PlayerGauge2Full);
        EXPECT_EQ(TenthsOf(g_voiceChannels[10].get()), 11);
        ExpectSpecialEnded();
    }
}

// The reel attacks are not drawn yet: the symbol is kept and the special
// goes on to its flash and ending.
TEST_F(RusCutIns, SpecialTwoStopsTheReelWhereClickedAndHandsItsSymbolToItsAttack) {
    CRusContest& c = C();
    struct Stop {
        int steps;             // of the spinning reel before the click
        std::uint8_t symbol;   // shown in rows 22..96 of the window
        std::int16_t position; // where it stops
    };
    // Positions 0, 345, 315, 285, 255 ... 15: the top rows of the window.
    // All 13: symbols 0 and 1 stop from two positions each, 2, 3 and 4 from three.
    for (const Stop& s :
         {Stop{0, 0, 22}, Stop{1, 4, 97}, Stop{2, 4, 97}, Stop{3, 4, 97}, Stop{4, 3, 203},
          Stop{5, 3, 203}, Stop{6, 3, 203}, Stop{7, 2, 128}, Stop{8, 2, 128}, Stop{9, 2, 128},
          Stop{10, 1, 53}, Stop{11, 1, 53}, Stop{12, 0, 22}}) {
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
        // Loaded with the reel and played at its spark; the lock speaks again.
        EXPECT_EQ(TenthsOf(g_voiceChannels[0].get()), s.symbol == 4 ? 27 : 13);
        ExpectSpecialEnded();
        c.PlayerImmune = c.OpponentHolesCovered = c.OpponentLocked = 0;
        c.OpponentLife = rus::kFullLife;
        c.OpponentStage.fill(0);
    }
}

TEST_F(RusCutIns, EachReelAttackHitsTheOpponentAndLeavesItsEffectUnlessSheIsGuarded) {
    CRusContest& c = C();
    for (std::uint8_t symbol = 0; symbol < 5; ++symbol) {
        for (const bool guarded : {false, true}) {
            SCOPED_TRACE(testing::Message() << int{symbol} << " guarded " << guarded);
            // Eighteen balls on her pan: holes 0 to 9 and the even ones after.
            c.OpponentStage.fill(0);
            c.OpponentBurnCounted.fill(0);
            for (int h = 0; h < 10; ++h)
                c.OpponentStage[h] = 2;
            for (int h = 10; h < rus::kHoles; h += 2)
                c.OpponentStage[h] = 3;
            const auto before = c.OpponentStage;
            const std::int32_t balls = 18;
            c.OpponentLife = 200;
            c.PlayerImmune = c.OpponentHolesCovered = c.OpponentLocked = 0;
            FireSpecial(2);
            SetOpponentEffects(guarded);
            ASSERT_TRUE(ToReelAttack(symbol));
            if (symbol == 2) {
                // Bombs need an odd clock reading; the virtual clock steps by 8.
                while (c.CutInStep2 < 2)
                    Frame();
                FrameAt(500 + (((c.StartTime + 500) & 1) ^ 1));
            }
            const std::uint32_t effectStamp = c.PlayerEffectStamp;
            while (c.CutInPhase == 5)
                Frame();
            int bombed = 0, charged = 0;
            for (int h = 0; h < rus::kHoles; ++h) {
                if (c.BombHole[h] == 0) continue;
                EXPECT_EQ(h % 2, 0) << h;
                ++bombed;
                charged += before[h] != 0;
            }
            const std::int32_t hits[] = {10 + 6 * balls, 30, 50 + 6 * charged, 80, 30};
            EXPECT_EQ(c.OpponentLife, guarded ? 200 : std::max(200 - hits[symbol], 0));
            EXPECT_EQ(c.PlayerImmune, symbol == 1 && !guarded ? 1 : 0);
            EXPECT_EQ(c.OpponentHolesCovered, symbol == 2 && !guarded ? 1 : 0);
            EXPECT_EQ(c.OpponentLocked, symbol == 4 && !guarded ? 1 : 0);
            if (symbol == 0) {
                EXPECT_EQ(std::ranges::count(c.OpponentStage, 11), guarded ? 0 : balls);
                EXPECT_EQ(std::ranges::count(c.OpponentBurnCounted, 1), guarded ? 0 : balls);
            } else {
                EXPECT_NE(c.PlayerEffectStamp, effectStamp);
            }
            if (symbol == 2 && !guarded) {
                EXPECT_GT(bombed, 0);
                EXPECT_EQ(c.OpponentHoleCovered, c.BombHole);
            }
            ToPlay();
            ExpectSurfacesFreed();
            c.OpponentImmune = 0;
        }
    }
}

// The end of a reel attack's fade clears the click: the click that cut the
// bombs' fade to red short does not cut the fade back short too.
TEST_F(RusCutIns, AClickEndsOneReelFadeAndIsGoneAfterIt) {
    CRusContest& c = C();
    FireSpecial(2);
    ASSERT_TRUE(ToReelAttack(2));
    while (c.CutInStep2 < 1)
        Frame();
    Press(MouseButton::Left);
    Frame();
    EXPECT_EQ(c.CutInStep2, 2);
    FrameAt(100);
    EXPECT_EQ(c.CutInStep2, 2) << "the 500 ms fade back runs on";
    EXPECT_EQ(g_mouse->click, 0);
    Release(MouseButton::Left);
    ToPlay();

    // The fades and wipes of the burning (its nine quick fades and the one
    // back), the guard and the stamps cannot be cut short, and each clears
    // a click made during it at its end.
    struct Case {
        std::uint8_t symbol;
        std::vector<int> fades; // their steps
    };
    const Case cases[] = {{0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}}, {1, {1, 2}}, {3, {1}}};
    for (const Case& k : cases) {
        FireSpecial(2);
        ASSERT_TRUE(ToReelAttack(k.symbol));
        for (const int step : k.fades) {
            SCOPED_TRACE(testing::Message() << int{k.symbol} << " step " << step);
            while (c.CutInPhase == 5 && c.CutInStep2 < step)
                Frame();
            ASSERT_EQ(c.CutInStep2, step);
            Press(MouseButton::Left);
            Frame();
            EXPECT_EQ(c.CutInStep2, step) << "not cut short";
            while (c.CutInPhase == 5 && c.CutInStep2 == step)
                Frame();
            EXPECT_EQ(g_mouse->click, 0);
            Release(MouseButton::Left);
        }
        ToPlay();
        c.OpponentLife = rus::kFullLife;
    }
}

TEST_F(RusCutIns, OpponentOnesPanelsZoomInSwapAndLandWhereTheyRest) {
    CRusContest& c = C();
    g_rusGame->Contest.Opponent = 1;
    Fire(0);
    ASSERT_TRUE(ToPhase(2));
    EXPECT_EQ(TenthsOf(g_voiceChannels[10].get()), 15);
    // The portrait halfway in: 800 − 500 × 400 ÷ 1000, at 500 × 254 ÷ 1000.
    Frame();
    FrameAt(500);
    EXPECT_EQ(Pixel(600, 250), Mix(kFigure, kBand, 127));
    EXPECT_EQ(Pixel(599, 250), kBand);
    ASSERT_EQ(c.CutInStep, 0);
    FrameAt(1000);
    ASSERT_EQ(c.CutInStep, 1);
    FrameAt(3500);
    ASSERT_EQ(c.CutInStep, 2);
    EXPECT_EQ(c.ScrollOffset, 0) << "the band starts over for the panels";
    // Panel 1 zooms in from 1220 × 613 around the screen: at 250 of 500 ms,
    // a = 200 and b = 100 put it at (−200, 94), 820 × 413, opacity 127.
    FrameAt(250);
    EXPECT_EQ(c.SlideOffset, 200);
    EXPECT_EQ(c.SlideOffset2, 100);
    EXPECT_EQ(Pixel(619, 94), Mix(kPanel[0], kBaseTop, 127));
    EXPECT_EQ(Pixel(620, 94), kBaseTop);
    EXPECT_EQ(Pixel(619, 93), kBaseTop);
    EXPECT_EQ(Pixel(10, 506), Mix(kPanel[0], kFieldBg, 127));
    EXPECT_EQ(Pixel(10, 507), kFieldBg);
    FrameAt(500); // landed at (0, 194) at rest, with its sound
    EXPECT_EQ(Pixel(419, 300), Mix(kPanel[0], kBand, 254));
    EXPECT_EQ(Pixel(425, 250), Mix(kFigure, kBand, 254));
    EXPECT_EQ(TenthsOf(g_seChannels[0].get()), 14);
    ASSERT_EQ(c.CutInStep, 3);
    FrameAt(500); // the pulse
    FrameAt(500); // at rest
    ASSERT_EQ(c.CutInStep, 5);
    // Panel 1 grows away as panel 2 comes in: at 150 of 300 ms panel 1 covers
    // (−200, 94, 820, 413) at 255 − 127 under panel 2 at (−200, 94) too.
    FrameAt(150);
    EXPECT_EQ(Pixel(610, 98), Mix(kPanel[1], Mix(kPanel[0], kBaseTop, 128), 127));
    // Past panel 4 the red flash wipes over the contest itself.
    ASSERT_TRUE(ToPhase(3));
    EXPECT_EQ(c.CutInStep, 0);
    EXPECT_EQ(PixelOf(Slot(14), 5, 5), kRed);
    // The shake only runs out what is left of 800 ms after the band's last step.
    ASSERT_TRUE(ToPhase(5));
    const std::uint32_t bandStep = c.CutInTimer;
    EXPECT_GE(Now() - bandStep, 400u);
    ASSERT_TRUE(ToPhase(6));
    EXPECT_LE(Now() - bandStep, 800u + 2 * 8) << "within the frames that notice it";
}

TEST_F(RusCutIns, OpponentOneEndsWithDoubleBurnOrSpeedUnlessThePlayerIsGuarded) {
    struct Case {
        std::uint8_t variant;
        bool immune;
        std::int8_t plates;
        std::int32_t life;
        std::int8_t platesAfter;
        std::int32_t lifeAfter;
    };
    const Case cases[] = {{0, false, 3, 40, 2, 0},
                          {0, true, 3, 221, 2, 221},
                          {1, false, 1, 221, 0, 191},
                          {1, true, 2, 100, 0, 100}};
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << int{k.variant} << " immune " << k.immune);
        CRusContest& c = C();
        c.Opponent = 1;
        c.PlayerLife = k.life;
        c.OpponentPlates = k.plates;
        c.OpponentGauge1 = c.OpponentGauge2 = 10;
        c.PlayerImmune = k.immune ? 1 : 0;
        c.DoubleBurnCost = k.variant; // variant 1 ends the one an earlier variant 0 set
        c.OpponentImmune = 0;
        c.NoBurn = 1;
        c.OpponentLocked = 1;
        c.OpponentHoleCovered.fill(1);
        c.PlayerHoleInterval.fill(2000);
        const std::uint32_t aiStamp = c.AiStamp = Now() - 70;
        FreeVoiceSlot(0);
        Fire(k.variant);
        const std::set<int> phases = ToPlay();

        EXPECT_EQ(c.OpponentPlates, k.platesAfter);
        EXPECT_EQ(c.PlayerLife, k.lifeAfter);
        EXPECT_EQ(phases.count(6), k.immune ? 0u : 1u) << "the bar drop";
        EXPECT_EQ(c.OpponentGauge1, k.variant == 0 ? 10 : 0);
        EXPECT_EQ(c.OpponentGauge2, 0);
        EXPECT_EQ(c.DoubleBurnCost, k.variant == 0 && !k.immune ? 1 : 0);
        EXPECT_EQ(c.OpponentImmune, k.variant == 1 && !k.immune ? 1 : 0);
        EXPECT_EQ(c.OpponentEffectStamp, Now() - 8);
        EXPECT_EQ(c.NoBurn, 0);
        EXPECT_EQ(c.PlayerHoleInterval, c.BasePlayerHoleInterval);
        EXPECT_EQ(std::ranges::count(c.OpponentHoleCovered, 1), 0);
        // Variant 0 ends the player's own effects, guard and all; variant 1
        // leaves them, keeps AiStamp and frees its sound channels.
        EXPECT_EQ(c.PlayerImmune, k.variant == 1 && k.immune ? 1 : 0);
        EXPECT_EQ(c.OpponentLocked, k.variant == 1 ? 1 : 0);
        EXPECT_EQ(c.AiStamp, k.variant == 0 ? Now() - 8 : aiStamp);
        EXPECT_EQ(g_seChannels[1], nullptr);
        EXPECT_EQ(g_seChannels[0] == nullptr, k.variant == 1);
        EXPECT_EQ(TenthsOf(g_voiceChannels[0].get()), k.variant == 0 ? 8 : 9);
        EXPECT_NE(g_maskImage, nullptr) << "left for whoever wipes next";
        ExpectSurfacesFreed();
        c.OpponentLocked = 0;
    }
}

TEST_F(RusCutIns, OpponentTwoDropsCaptionsThenHealsAndTakesAPlateUnderItsFlyers) {
    struct Case {
        bool immune;
        std::int32_t life;
        std::int8_t playerPlates;
        std::int32_t lifeAfter;
        std::int8_t playerPlatesAfter;
    };
    const Case cases[] = {{false, 200, 0, 221, 0}, {false, 100, 2, 130, 1}, {true, 100, 2, 100, 2}};
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << "immune " << k.immune);
        CRusContest& c = C();
        c.Opponent = 2;
        c.OpponentLife = k.life;
        c.PlayerPlates = k.playerPlates;
        c.OpponentPlates = 1;
        c.PlayerImmune = k.immune ? 1 : 0;
        FreeVoiceSlot(10);
        Fire(0);
        Frame();
        EXPECT_EQ(TenthsOf(g_voiceChannels[10].get()), 17) << "loaded for the banner";
        ASSERT_TRUE(ToPhase(3));
        // The first caption falls 394 rows in a second from above the screen:
        // at 500 ms its bottom row is 500 × 394 ÷ 1000 − 92 + 91 = 196.
        FrameAt(500);
        EXPECT_EQ(Pixel(121, 196), Mix(kCaption, kFigure, 127)) << "over the baked banner";
        EXPECT_EQ(Pixel(121, 197), kFigure);
        EXPECT_EQ(Pixel(119, 196), kFigure);
        ASSERT_TRUE(ToPhase(8));
        // Eighteen flyers from beyond the right edge, 16 to 31 pixels a frame.
        for (std::size_t i = 0; i < 32; ++i) {
            SCOPED_TRACE(i);
            if (i >= 18) {
                EXPECT_EQ(c.ParticleX[i], 0);
                continue;
            }
            EXPECT_GE(c.ParticleX[i], 800);
            EXPECT_LT(c.ParticleX[i], 1200);
            EXPECT_LT(c.ParticleY[i], 500);
            EXPECT_GE(c.ParticleTimer[i], 16);
            EXPECT_LT(c.ParticleTimer[i], 32);
            EXPECT_LE(c.ParticleKind[i], 2);
        }
        const std::int16_t x0 = c.ParticleX[0];
        Frame();
        EXPECT_EQ(c.ParticleX[0], x0 - c.ParticleTimer[0]);
        ToPlay();
        EXPECT_EQ(c.OpponentLife, k.lifeAfter);
        EXPECT_EQ(c.PlayerPlates, k.playerPlatesAfter);
        EXPECT_EQ(c.OpponentPlates, 0);
        EXPECT_EQ(c.PlayerImmune, 0);
        EXPECT_EQ(TenthsOf(g_voiceChannels[0].get()), 8);
        ExpectSurfacesFreed();
    }
}

TEST_F(RusCutIns, OpponentTwoBombsOnlyEvenHolesAndChargesTheBallsItBlows) {
    for (const bool immune : {false, true}) {
        SCOPED_TRACE(testing::Message() << "immune " << immune);
        CRusContest& c = C();
        c.Opponent = 2;
        c.PlayerLife = 200;
        c.PlayerImmune = immune ? 1 : 0;
        c.PlayerHolesCovered = 0;
        g_config[config::kVoiceMuteA] = immune ? 1 : 0;
        for (int h = 0; h < rus::kHoles; ++h)
            c.PlayerStage[h] = static_cast<std::int8_t>(h % 3 == 0 ? 0 : 2);
        Fire(1);
        ASSERT_TRUE(ToPhase(6));
        // A bomb needs an odd clock reading: the virtual clock steps by 8.
        const std::uint32_t end = c.StartTime + 500;
        FrameAt(500 + ((end & 1) ^ 1));
        const std::array<std::int8_t, rus::kHoles> stages = c.PlayerStage;
        int charged = 0, bombed = 0;
        for (int h = 0; h < rus::kHoles; ++h) {
            EXPECT_EQ(c.BombHole[h], c.PlayerHoleCovered[h]) << h;
            if (h % 2 == 1) {
                EXPECT_EQ(c.BombHole[h], 0) << h;
            }
            bombed += c.BombHole[h];
            charged += c.BombHole[h] && stages[h] != 0;
        }
        EXPECT_EQ(bombed > 0, !immune);
        const std::set<int> phases = ToPlay();
        EXPECT_EQ(phases.contains(7), !immune);
        EXPECT_EQ(phases.contains(8), !immune);
        EXPECT_EQ(c.PlayerLife, immune ? 200 : 200 - 50 - 6 * charged);
        EXPECT_EQ(c.PlayerHolesCovered, immune ? 0 : 1);
        for (int h = 0; h < rus::kHoles; ++h)
            if (c.BombHole[h]) {
                EXPECT_EQ(c.PlayerStage[h], 0) << h;
            }
        // Lines off: the first stays loaded and the second does not replace it.
        EXPECT_EQ(TenthsOf(g_voiceChannels[10].get()), immune ? 18 : 19);
        g_config[config::kVoiceMuteA] = 0;
        ExpectSurfacesFreed();
    }
}

TEST_F(RusCutIns, OpponentThreeHidesTheMarkersOrStampsAndShakesForEighty) {
    struct Case {
        std::uint8_t variant;
        bool immune;
        std::int8_t plates;
        std::int32_t lifeAfter;
    };
    const Case cases[] = {
        {0, false, 1, 221}, {0, true, 3, 221}, {1, false, 0, 141}, {1, true, 2, 221}};
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << int{k.variant} << " immune " << k.immune);
        CRusContest& c = C();
        c.Opponent = 3;
        c.PlayerLife = rus::kFullLife;
        c.OpponentPlates = k.plates;
        c.PlayerImmune = k.immune ? 1 : 0;
        c.PlayerMarkersHidden = 0;
        const std::uint32_t effectStamp = c.OpponentEffectStamp = Now() - 100;
        Fire(k.variant);
        if (k.variant == 0) {
            ASSERT_TRUE(ToPhase(3));
            // Panel A comes in from the left: at 500 ms it ends at
            // 500 × 700 ÷ 1000 − 600 + 600 = 350, at 127.
            FrameAt(500);
            EXPECT_EQ(Pixel(349, 250), Mix(kPanel[0], kBand, 127));
            EXPECT_EQ(Pixel(350, 250), kBand);
            EXPECT_EQ(TenthsOf(g_voiceChannels[10].get()), 20) << "loaded ahead";
            FrameAt(1000);
            FrameAt(100);
            ASSERT_EQ(c.CutInStep, 2);
            // The strip crosses 2720 pixels in 5 s: at 1000 ms it starts at
            // 800 − 544 = 256, over panel B.
            FrameAt(1000);
            EXPECT_EQ(Pixel(255, 250), kPanel[1]);
            EXPECT_EQ(Pixel(256, 250), kCaption);
        } else {
            ASSERT_TRUE(ToPhase(3));
            // The first step ends only once its ramp would pass full, past
            // its length: 2904 × 254 ÷ 2900 = 254, 2912 × 254 ÷ 2900 = 255.
            FrameAt(2904);
            EXPECT_EQ(c.CutInStep, 0);
            Frame();
            EXPECT_EQ(c.CutInStep, 1);
            ASSERT_TRUE(ToPhase(6));
            for (std::size_t i = 0; i < c.ParticleX.size(); ++i) {
                EXPECT_LT(c.ParticleX[i], 500);
                EXPECT_LT(c.ParticleY[i], 500);
                EXPECT_GE(c.ParticleTimer[i], 16);
                EXPECT_LE(c.ParticleTimer[i], 31);
            }
            EXPECT_EQ(TenthsOf(g_voiceChannels[10].get()), 22);
            // A stamp is drawn on the frame its counter reaches 1, once.
            c.ParticleX[0] = 10;
            c.ParticleY[0] = 20;
            c.ParticleTimer[0] = 2;
            Frame();
            EXPECT_EQ(Pixel(11, 21), kFlyer);
            EXPECT_GE(c.ParticleTimer[0], 16) << "seeded again";
            ASSERT_TRUE(ToPhase(7));
            EXPECT_EQ(TenthsOf(g_voiceChannels[10].get()), 23);
            EXPECT_EQ(PixelOf(Slot(11), 11, 21), kFlyer) << "the stamped contest kept";
        }
        const std::set<int> phases = ToPlay();
        EXPECT_EQ(c.OpponentPlates, std::max(k.plates - 2, 0));
        EXPECT_EQ(c.PlayerLife, k.lifeAfter);
        EXPECT_EQ(phases.contains(9), k.variant == 1 && !k.immune) << "the bar drop";
        EXPECT_EQ(c.PlayerMarkersHidden, k.variant == 0 && !k.immune ? 1 : 0);
        EXPECT_EQ(c.OpponentEffectStamp, k.variant == 0 ? Now() - 8 : effectStamp);
        EXPECT_EQ(c.PlayerImmune, 0);
        ExpectSurfacesFreed();
    }
}

// The frame that bakes a band phase shows the baked picture: the pictures at
// rest do not vanish for a frame before the wipe or the shake, and what is
// not baked (opponent 2's badge and dots) does not stay for a frame either.
TEST_F(RusCutIns, TheBakeFrameShowsTheBakedPicture) {
    struct Case {
        std::int8_t opponent;
        std::uint8_t variant;
        int bandPhase;
        int x;
        std::uint32_t rgb; // what the baked picture holds at (x, 250)
    };
    // Opponent 2's first dot at rest covers (82, 213) to (125, 256), over
    // the left half.
    const Case cases[] = {{2, 0, 2, 100, kFigure},   {3, 0, 3, 400, kPanel[1]},
                          {3, 1, 3, 200, kPanel[2]}, {4, 0, 3, 200, kPanel[1]},
                          {4, 1, 3, 200, kFigure},   {5, 0, 3, 200, kFigure},
                          {5, 1, 3, 600, kPanel[2]}};
    CRusContest& c = C();
    g_config[config::kVoiceMuteA] = 1; // no wait for opponent 4's line
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << int{k.opponent} << " variant " << int{k.variant});
        c.Opponent = k.opponent;
        c.PlayerLife = rus::kFullLife;
        Fire(k.variant);
        ASSERT_TRUE(ToPhase(k.bandPhase));
        while (c.CutInPhase == k.bandPhase)
            Frame();
        EXPECT_EQ(Pixel(k.x, 250), k.rgb);
        EXPECT_EQ(PixelOf(Slot(11), k.x, 250), k.rgb);
        ToPlay();
    }
    g_config[config::kVoiceMuteA] = 0;
}

TEST_F(RusCutIns, OpponentFourShakesWithItsFlashThenSlowsOrLocksThePlayer) {
    struct Case {
        std::uint8_t variant;
        bool immune;
        std::int32_t lifeAfter;
        std::int8_t platesAfter;
    };
    const Case cases[] = {
        {0, false, 191, 2}, {0, true, 221, 2}, {1, false, 191, 1}, {1, true, 221, 1}};
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << int{k.variant} << " immune " << k.immune);
        CRusContest& c = C();
        c.Opponent = 4;
        c.PlayerLife = rus::kFullLife;
        c.OpponentPlates = 3;
        c.PlayerImmune = k.immune ? 1 : 0;
        c.SlowCooking = c.PlayerLocked = 0;
        // Her line silenced: variant 1's wait for it ends on its first frame.
        g_config[config::kVoiceMuteA] = k.immune ? 1 : 0;
        Fire(k.variant);
        // The opening goes into its flash in 300 ms: variant 0's fade to red
        // is at 150 × 255 ÷ 300 = 127 halfway, and either still runs at 292.
        Frame(); // set-up
        ASSERT_EQ(PixelOf(Slot(10), 430, 300), kFieldBg);
        FrameAt(150);
        if (k.variant == 0) {
            EXPECT_EQ(Pixel(430, 300), Mix(kRed, kFieldBg, 127));
        }
        FrameAt(292);
        EXPECT_EQ(c.CutInPhase, 1);
        Frame();
        EXPECT_EQ(c.CutInPhase, 2);
        ASSERT_TRUE(ToPhase(3));
        if (k.variant == 1) {
            while (c.CutInStep < 2)
                Frame();
            const std::uint32_t waitStart = Now();
            while (c.CutInStep == 2)
                Frame();
            // Her 8-second line started with the band, 5 s before the wait.
            if (k.immune) {
                EXPECT_EQ(Now() - waitStart, 8u);
            } else {
                EXPECT_NEAR(Now() - waitStart, 3000.0, 100.0) << "the stream reports its end late";
            }
        }
        ASSERT_TRUE(ToPhase(4));
        // The first displacement is 0: the contest from (16, 16) at (0, 0);
        // the next, 88 ms on, is the flash from (0, 0) at (16, 16).
        CDib* ret = Slot(10);
        ret->SetPixel(16, 16, 0x010203);
        Frame();
        EXPECT_EQ(Pixel(0, 0), 0x010203u);
        FrameAt(89);
        EXPECT_EQ(Pixel(16, 16), k.variant == 0 ? kRed : 0xFFFFFFu);
        const std::set<int> phases = ToPlay();
        EXPECT_EQ(c.PlayerLife, k.lifeAfter);
        EXPECT_EQ(c.OpponentPlates, k.platesAfter);
        EXPECT_EQ(phases.contains(5), !k.immune) << "the bar drop";
        EXPECT_EQ(c.SlowCooking, k.variant == 0 && !k.immune ? 1 : 0);
        EXPECT_EQ(c.PlayerLocked, k.variant == 1 && !k.immune ? 1 : 0);
        // Variant 0 ends the player's guard with her other effects and frees
        // its sound channels; variant 1 leaves both.
        EXPECT_EQ(c.PlayerImmune, k.variant == 1 && k.immune ? 1 : 0);
        EXPECT_EQ(g_seChannels[0] == nullptr, k.variant == 0);
        ExpectSurfacesFreed();
        g_config[config::kVoiceMuteA] = 0;
        c.PlayerImmune = 0;
    }
}

TEST_F(RusCutIns, OpponentFiveSwingsThriceAndStealsAPlateOrSpinsHerReel) {
    struct Case {
        std::uint8_t variant;
        bool immune;
        std::int8_t playerPlates;
        std::int32_t lifeAfter;
        std::int8_t playerPlatesAfter, opponentPlatesAfter;
    };
    const Case cases[] = {{0, false, 2, 196, 1, 3},
                          {0, false, 0, 196, 0, 3},
                          {0, true, 2, 221, 2, 3},
                          {1, true, 2, 221, 2, 1}};
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << int{k.variant} << " immune " << k.immune << " plates "
                                        << int{k.playerPlates});
        CRusContest& c = C();
        c.Opponent = 5;
        c.PlayerLife = rus::kFullLife;
        c.PlayerPlates = k.playerPlates;
        c.OpponentPlates = 3;
        c.PlayerImmune = k.immune ? 1 : 0;
        c.OpponentReelResult = 4;
        Fire(k.variant);
        ASSERT_TRUE(ToPhase(3));
        if (k.variant == 0) {
            FrameAt(1000);
            ASSERT_EQ(c.CutInStep, 1);
            // Halfway through a swing, 45 degrees: 300 − 300 log10(1 + 9 cos 45°)
            // = 39.9, so A stands at 350 − 39 at rest over its fading ghost.
            FrameAt(250);
            EXPECT_EQ(Pixel(311, 250), Mix(kPanel[0], kBand, 254));
            EXPECT_EQ(Pixel(310, 250), kBand);
            EXPECT_EQ(Pixel(770, 250), Mix(kPanel[0], kBand, 128)) << "the ghost";
            std::vector<int> steps{c.CutInStep};
            while (c.CutInPhase == 3) {
                Frame();
                if (c.CutInStep != steps.back()) steps.push_back(c.CutInStep);
            }
            EXPECT_EQ(steps, (std::vector<int>{1, 2, 1, 2, 1, 2, 3, 4, 5, 0}));
            EXPECT_EQ(PixelOf(Slot(11), 400, 250), kFigure) << "strip D baked";
            EXPECT_EQ(PixelOf(Slot(11), 400, 350), kBand);
        } else {
            EXPECT_EQ(c.OpponentReelResult, 0);
            ASSERT_TRUE(ToPhase(5));
            EXPECT_LT(c.OpponentReelResult, 5);
        }
        const std::set<int> phases = ToPlay();
        EXPECT_EQ(c.PlayerLife, k.lifeAfter);
        EXPECT_EQ(c.PlayerPlates, k.playerPlatesAfter);
        EXPECT_EQ(c.OpponentPlates, k.opponentPlatesAfter);
        if (k.variant == 0) {
            EXPECT_EQ(phases.contains(5), !k.immune) << "the bar drop";
            EXPECT_EQ(c.OpponentReelResult, 0);
        } else {
            EXPECT_TRUE(phases.contains(15)) << "the reel's attack, then the ending";
        }
        ExpectSurfacesFreed();
    }
}

TEST_F(RusCutIns, EachOfOpponentFivesReelAttacksHitsThePlayerUnlessSheIsGuarded) {
    CRusContest& c = C();
    WriteTone("voice/hol0405.ogg", 28);
    for (std::uint8_t reel = 0; reel < 5; ++reel) {
        for (const bool guarded : {false, true}) {
            SCOPED_TRACE(testing::Message() << int{reel} << " guarded " << guarded);
            // Balls in holes 0 to 5, and a burnt one in 6: burnt again, charged again.
            c.PlayerStage.fill(0);
            c.PlayerBurnCounted.fill(0);
            for (int h = 0; h < 6; ++h)
                c.PlayerStage[h] = 2;
            c.PlayerStage[6] = 11;
            const auto before = c.PlayerStage;
            c.Opponent = 5;
            c.PlayerLife = 200;
            c.PlayerImmune = guarded ? 1 : 0;
            c.DoubleBurnCost = 1;
            c.OpponentImmune = c.PlayerHolesCovered = c.PlayerLocked = 0;
            c.OpponentPlates = 2;
            FreeVoiceSlot(0);
            Fire(1);
            ASSERT_TRUE(ToPhase(5));
            c.OpponentReelResult = reel;
            if (reel == 2) {
                while (c.CutInStep2 < 2)
                    Frame();
                FrameAt(500 + (((c.StartTime + 500) & 1) ^ 1));
            }
            const std::uint32_t effectStamp = c.OpponentEffectStamp;
            const std::set<int> phases = ToPlay();
            int charged = 0;
            for (int h = 0; h < rus::kHoles; ++h)
                charged += c.BombHole[h] && before[h] != 0;
            const std::int32_t hits[] = {10 + 6 * 7, 30, 50 + 6 * charged, 80, 30};
            EXPECT_EQ(c.PlayerLife, guarded ? 200 : 200 - hits[reel]);
            EXPECT_EQ(c.OpponentPlates, 0);
            EXPECT_TRUE(phases.contains(15));
            // Her ending clears the player's guard with the rest of the
            // player's effects; her own flags stay.
            EXPECT_EQ(c.OpponentImmune, reel == 1 && !guarded ? 1 : 0);
            EXPECT_EQ(c.DoubleBurnCost, reel == 1 ? 0 : 1);
            EXPECT_EQ(c.PlayerHolesCovered, reel == 2 && !guarded ? 1 : 0);
            EXPECT_EQ(c.PlayerLocked, reel == 4 && !guarded ? 1 : 0);
            if (reel == 0) {
                EXPECT_EQ(std::ranges::count(c.PlayerStage, 11), guarded ? 1 : 7);
            }
            // The announcer closes every attack that runs to its end.
            const bool closes = !(reel == 0 && guarded);
            EXPECT_EQ(TenthsOf(g_voiceChannels[0].get()), closes ? 9 : -1);
            EXPECT_NE(c.OpponentEffectStamp, effectStamp);
            if (reel == 4) {
                EXPECT_EQ(TenthsOf(g_voiceChannels[10].get()), 28);
            }
            ExpectSurfacesFreed();
        }
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
    // Runs the cut-in to its end, picturing the 15th frame of each phase and step;
    // `each` runs before every frame.
    void Play(const std::string& name, const std::function<void()>& each = {}) {
        CRusContest& c = g_rusGame->Contest;
        int phase = -1, step = -1, frames = 0;
        for (int i = 0; i < 3000 && c.State != RusState::Play; ++i) {
            frames = c.CutInPhase == phase && c.CutInStep == step ? frames + 1 : 0;
            phase = c.CutInPhase;
            step = c.CutInStep;
            if (each) each();
            Frame();
            if (frames == 15)
                e2e::WriteShot("cutin-shots", name + "-" + std::to_string(phase) +
                                                  (step > 0 ? "." + std::to_string(step) : ""));
        }
        ASSERT_EQ(c.State, RusState::Play) << name;
        for (int slot = 10; slot <= 17; ++slot)
            EXPECT_EQ(cdib[slot], nullptr) << name << " " << slot;
    }
};

TEST_F(RusCutInsOnDemoData, EveryDrawnMemberRunsToItsEnd) {
    CRusContest& c = g_rusGame->Contest;
    for (std::int8_t opponent : {0, 1, 2, 3, 4, 5}) {
        c.Opponent = opponent;
        for (std::uint8_t variant : {0, 1}) {
            c.OpponentSpecial = variant;
            c.State = RusState::OpponentCutIn;
            Play("opponent" + std::to_string(opponent) + (variant == 0 ? "-a" : "-b"));
        }
    }
    c.Opponent = 0;
    c.OpponentImmune = 0; // opponent 1's guard would keep the specials off her
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

// A whole contest against each opponent on the demo data, with every special
// either side fires played as its drawn cut-in: the contest's invariants hold
// on every frame, and it ends in a win or a loss.
class RusWholeContestWithCutIns : public FrontendTest, public testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        ASSERT_TRUE(e2e::DemoFolder().error.empty()) << e2e::DemoFolder().error;
        std::filesystem::copy(e2e::DemoFolder().dir, std::filesystem::current_path(),
                              std::filesystem::copy_options::recursive);
        FrontendTest::SetUp();
        // A few minutes in, so the minute factor of the random recipes varies.
        hl::AdvanceClock(180000 + 7 * static_cast<std::uint32_t>(GetParam()));
        platform::Srand(300 + static_cast<std::uint32_t>(GetParam()));
        g_gameApp->opponentIndex = static_cast<std::uint8_t>(GetParam());
        g_gameApp->mode = 66;
        Frame();
    }
};

TEST_P(RusWholeContestWithCutIns, BothSidesFireAndTheContestEndsWithItsInvariantsHeld) {
    CRusContest& c = g_rusGame->Contest;
    c.BeginPlay();
    // A shorter contest, both sides ready to fire from the start: the
    // cut-ins are drawn frame by frame, and the player stops firing after
    // two specials.
    c.TimeLeft = 45;
    c.PlayerGauge1 = c.PlayerGauge2 = c.OpponentGauge1 = c.OpponentGauge2 = 10;
    c.PlayerGauge1Full = c.PlayerGauge2Full = c.OpponentGauge1Full = c.OpponentGauge2Full = 1;
    c.PlayerPlates = 3;
    c.OpponentPlates = 3;
    rus_test::AutoPlayer firing(6, 12, rus_test::AutoPlayer::Specials::Fire);
    rus_test::AutoPlayer keeping(6, 12, rus_test::AutoPlayer::Specials::Keep);
    int opponentSpecials = 0, playerSpecials = 0, failures = 0;
    RusState last = RusState::Play;
    for (int frame = 0; frame < 60000; ++frame) {
        if (c.State == RusState::Win || c.State == RusState::Lose) break;
        switch (c.State) {
        case RusState::Play: {
            // The model plays for both hands; the screen draws the cut-ins.
            rus::PlayInput in = (playerSpecials < 2 ? firing : keeping).Next(c);
            c.RunPlay(in);
            hl::AdvanceClock(rus_test::kFrameMs);
            break;
        }
        case RusState::Judge:
            c.Judge();
            break;
        case RusState::PlayerCutIn:
            // The reel of special 2 stops where a click finds it.
            if (c.CutInPhase == 4 && c.CutInStep == 0 && frame % 7 == 0) g_mouse->click = 1;
            Frame();
            break;
        default:
            Frame();
            break;
        }
        if (c.State != last) {
            opponentSpecials += c.State == RusState::OpponentCutIn;
            playerSpecials += c.State == RusState::PlayerCutIn;
            last = c.State;
        }
        rus_test::CheckInvariants(c);
        if (HasFailure() && ++failures > 3) break;
    }
    EXPECT_TRUE(c.State == RusState::Win || c.State == RusState::Lose)
        << "state " << int(c.State) << " phase " << int{c.CutInPhase};
    EXPECT_GT(opponentSpecials, 0);
    EXPECT_GT(playerSpecials, 0);
    for (int slot = 10; slot <= 17; ++slot)
        EXPECT_EQ(cdib[slot], nullptr) << slot;
}

INSTANTIATE_TEST_SUITE_P(EachOpponent, RusWholeContestWithCutIns, testing::Range(0, 6));
