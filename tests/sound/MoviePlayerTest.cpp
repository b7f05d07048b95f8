// The movie modes through the shell: played to the end with its sound in
// the game's mixer, skipped, or missing.
#include "app/GameApp.h"
#include "app/Input.h"
#include "app/Shell.h"
#include "gfx/Dib.h"
#include "lib/MpegWriter.h"
#include "platform/Movie.h"
#include "sound/MoviePlayer.h"
#include "TestSupport.h"

using namespace platform;
namespace hl = platform::headless;

namespace {

class MoviePlayerTest : public testing_support::HeadlessTest {
protected:
    void Start(const char* file = "pp_op.mpg", int frames = 25) {
        if (frames > 0) {
            tools::MovieSpec spec;
            spec.frames = frames;
            ASSERT_TRUE(tools::WriteMpegMovie(file, spec));
        }
        ASSERT_TRUE(CreateMainWindow("Norvane"));
        OnCreate(WindowHandle::Main);
        g_backBuffer->FillRect(0, 0, 800, 600, 0xFFFFFF);
        if (PaintPending()) PumpOnce();  // a paint left from before
    }
    ~MoviePlayerTest() override { OnDestroy(); }

    // Loop passes until the mode leaves `mode` (at most `passes`).
    void PumpWhileMode(std::uint8_t mode, int passes) {
        for (int i = 0; i < passes && g_gameApp->mode == mode; ++i) PumpOnce();
    }
    static bool BackBufferBlack() {
        for (int y = 0; y < 600; y += 7)
            for (int x = 0; x < 800; x += 7)
                if ((*g_backBuffer->GetPixelPtr(x, y) & 0xFFFFFF) != 0) return false;
        return true;
    }
    static std::int32_t LengthOf(const char* file) {
        auto m = OpenMovie(file, WindowHandle::Main, nullptr);
        return m ? m->GetLength() : -1;
    }
};

TEST_F(MoviePlayerTest, OpeningPlaysToItsEndAndReturnsToTheScript) {
    Start();
    const std::int32_t length = LengthOf("pp_op.mpg");
    ASSERT_GT(length, 500);
    g_gameApp->mode = 24;
    g_gameApp->RunFrame();  // the first frame opens and starts the movie
    ASSERT_NE(g_openingMovie, nullptr);
    EXPECT_EQ(g_openingMovie->GetState(), 2);
    EXPECT_EQ(g_openingMovie->GetPath(), CurrentDirectory() + "\\pp_op.mpg");
    // The window is not repainted under the movie.
    EXPECT_EQ(g_gameApp->screenRect.right, 0);
    EXPECT_FALSE(PaintPending());
    const std::uint32_t started = TimeGetTime() - 100;  // the start waits 100 ms after playing

    PumpWhileMode(24, 500);
    // Its pictures stand in the window: past the first, flat greys.
    const std::uint32_t shown = hl::LastFrame()[300 * 800 + 400];
    EXPECT_GT(shown & 0xFF, 0u);
    EXPECT_EQ(shown & 0xFF, (shown >> 8) & 0xFF);
    EXPECT_EQ(shown & 0xFF, (shown >> 16) & 0xFF);
    PumpWhileMode(24, 100000);
    ASSERT_EQ(g_gameApp->mode, 2);
    EXPECT_TRUE(hl::Questions().empty());
    // It ends 16 units before its length, and not before.
    EXPECT_GE(TimeGetTime() - started, static_cast<std::uint32_t>(length - 16));
    EXPECT_LT(TimeGetTime() - started, static_cast<std::uint32_t>(length + 300));
    EXPECT_TRUE(BackBufferBlack());
    EXPECT_EQ(g_gameApp->screenRect.right, 800);
    EXPECT_EQ(g_gameApp->screenRect.bottom, 600);
    EXPECT_TRUE(PaintPending());
    PumpOnce(); // the paint shows the black over the movie's last picture
    EXPECT_TRUE(std::all_of(hl::LastFrame().begin(), hl::LastFrame().end(),
                            [](std::uint32_t p) { return (p & 0xFFFFFF) == 0; }));
    EXPECT_EQ(g_mouse->click, 0);
    EXPECT_EQ(g_mouse->cancel, 0);
    EXPECT_EQ(g_mouse->skip, 0);
    // The next frame in mode 2 frees the player.
    g_gameApp->RunFrame();
    EXPECT_EQ(g_openingMovie, nullptr);
}

TEST_F(MoviePlayerTest, CtrlSkipsAndItsFlagDoesNotCarryOn) {
    Start("pp_op.mpg", 100);
    g_gameApp->mode = 24;
    PumpWhileMode(24, 20);
    ASSERT_EQ(g_gameApp->mode, 24);
    hl::PushKey(Key::Control, true);
    PumpWhileMode(24, 10);
    EXPECT_EQ(g_gameApp->mode, 2);
    EXPECT_LT(TimeGetTime(), 1000u);
    EXPECT_EQ(g_mouse->skip, 0);
    EXPECT_TRUE(BackBufferBlack());
}

TEST_F(MoviePlayerTest, CancelSkipsButALeftClickDoesNot) {
    Start("staffroll.mpg", 100);
    g_gameApp->mode = 50;
    PumpWhileMode(50, 20);
    hl::PushButton(MouseButton::Left, true, 10, 10);
    PumpWhileMode(50, 50);
    EXPECT_EQ(g_gameApp->mode, 50);
    EXPECT_EQ(g_mouse->click, 1);
    ASSERT_NE(g_staffRollMovie, nullptr);
    hl::PushButton(MouseButton::Right, true, 10, 10);
    PumpWhileMode(50, 10);
    EXPECT_EQ(g_gameApp->mode, 2);
    EXPECT_EQ(g_mouse->cancel, 0);
    EXPECT_EQ(g_mouse->click, 0);  // the click is dropped too
}

TEST_F(MoviePlayerTest, ItsSoundPlaysThroughTheGamesMixerAndStopsWithIt) {
    hl::SetAudioRecording(true);
    Start("pp_op.mpg", 50); // two seconds
    // The game's one device plays as the clock runs, as a sound card does.
    std::vector<std::int16_t> heard;
    const auto framesAt = [] { return std::uint64_t{TimeGetTime()} * 44100 / 1000; };
    std::uint64_t mixed = framesAt();
    g_gameApp->mode = 24;
    for (int i = 0; i < 3000 && g_gameApp->mode == 24 && heard.size() < 2 * 66150; ++i) {
        PumpOnce();
        const auto part = hl::MixAudio(static_cast<std::uint32_t>(framesAt() - mixed));
        heard.insert(heard.end(), part.begin(), part.end());
        mixed = framesAt();
    }
    ASSERT_EQ(g_gameApp->mode, 24);
    ASSERT_EQ(heard.size(), 2u * 66150);
    // The movie's 440 Hz tone of amplitude 8000, unbroken from 0.2 s to
    // 1.5 s: 2 × 440 × 1.3 = 1144 zero crossings, and never a gap.
    int crossings = 0;
    int peak = 0;
    int quiet = 0;
    int longestQuiet = 0;
    for (std::size_t i = 2 * 8820 + 2; i < heard.size(); i += 2) {
        crossings += (heard[i - 2] < 0) != (heard[i] < 0);
        peak = std::max(peak, std::abs(int{heard[i]}));
        quiet = std::abs(int{heard[i]}) < 500 ? quiet + 1 : 0;
        longestQuiet = std::max(longestQuiet, quiet);
    }
    EXPECT_GT(peak, 6000);
    EXPECT_NEAR(crossings, 1144, 12);
    EXPECT_LT(longestQuiet, 10);
    // Skipped, the movie takes its sound with it.
    hl::PushKey(Key::Control, true);
    PumpWhileMode(24, 10);
    ASSERT_EQ(g_gameApp->mode, 2);
    for (std::int16_t v : hl::MixAudio(4410))
        ASSERT_EQ(v, 0);
}

TEST_F(MoviePlayerTest, MissingMovieIsReportedAndTheScriptGoesOn) {
    Start("pp_op.mpg", 0);
    g_gameApp->mode = 24;
    g_gameApp->RunFrame();
    ASSERT_EQ(hl::Questions().size(), 1u);
    EXPECT_EQ(hl::Questions()[0].gbkText, "MOVIE");
    EXPECT_EQ(hl::Questions()[0].gbkCaption, "Error");
    EXPECT_EQ(g_gameApp->mode, 2);
    EXPECT_TRUE(BackBufferBlack());
}

TEST_F(MoviePlayerTest, DamagedMovieIsReportedAndTheScriptGoesOn) {
    testing_support::WriteFile("staffroll.mpg", std::vector<std::uint8_t>(4096, 0xB3));
    Start("staffroll.mpg", 0);
    g_gameApp->mode = 50;
    g_gameApp->RunFrame();
    ASSERT_EQ(hl::Questions().size(), 1u);
    EXPECT_EQ(hl::Questions()[0].gbkText, "MOVIE");
    EXPECT_EQ(g_gameApp->mode, 2);
}

}  // namespace
