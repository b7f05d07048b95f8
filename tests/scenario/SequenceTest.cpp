// The story sequences: a run with Ctrl held ends on the same pixels as a
// watched one, the day row follows the day number, and sequences without
// an ending hand back to the script.
#include "SceneTestSupport.h"
#include "app/Config.h"
#include "lib/OggWriter.h"
#include "sound/SoundDevice.h"

#include <utility>
#include <vector>

using testing_support::SceneTest;
namespace hl = platform::headless;

namespace {

class SequenceTest : public SceneTest {
protected:
    void SetUp() override {
        hl::AdvanceClock(1000);
        // Every picture the sequences load, each its own colour; the day and
        // word pictures are 32-bit with opaque pixels and one colour per row.
        const char* plain[] = {
            "system/day_base_b.bmp",  "system/day_base.bmp",      "system/eye_base.bmp",
            "system/eye_base_02.bmp", "system/eye_base_04.bmp",   "system/maku_base02.bmp",
            "system/ann_base.bmp",    "system/ann_base02.bmp",    "system/ann_base03.bmp",
            "system/eye_base_05.bmp", "system/eye_base_06-1.bmp", "system/eye_base_06-2.bmp"};
        std::uint32_t colour = 0x203040;
        for (const char* name : plain) {
            Picture(name, 800, 600, colour);
            colour += 0x0F0B07;
        }
        Picture("system/day_base.bmp", 800, 600, 0); // black under the day rows
        Rows("system/eye_day_b.bmp", 330, 74);
        Rows("system/eye_day.bmp", 310, 50);
        Rows("system/day_logo_b.bmp", 300, 100);
        Rows("system/day_logo.bmp", 280, 74);
        Picture("system/eye_word.bmp", 460, 170, 0xFF804020, 32);
        Picture("system/eye_word_02.bmp", 460, 170, 0xFF208040, 32);
        Picture("system/eye_word_04.bmp", 480, 90, 0xFF402080, 32);
        Picture("system/maku_p02.bmp", 640, 100, 0xFFA0A0A0, 32);
        Picture("system/ann_moji.bmp", 510, 484, 0xFF101010, 32);
        // The flying pieces: banner, letters, emblem and marks in one sheet.
        bmp_writer::BmpImage sheet;
        sheet.width = 546;
        sheet.height = 244;
        sheet.bitCount = 32;
        for (int y = 0; y < sheet.height; ++y)
            for (int x = 0; x < sheet.width; ++x)
                sheet.pixels.push_back(((x / 9 + y / 7) % 3 ? 0xFF000000u : 0x80000000u) |
                                       static_cast<std::uint32_t>(x * 3 % 256) << 8 |
                                       static_cast<std::uint32_t>(y % 256));
        ASSERT_TRUE(bmp_writer::WriteBmp(dir_.path() / "system/eye_word_05.bmp", sheet));
    }
    // 29 rows of `h` pixels; row k is green (k + 1) * 8, opaque.
    void Rows(const std::string& name, int w, int h) {
        bmp_writer::BmpImage image;
        image.width = w;
        image.height = h * 29;
        image.bitCount = 32;
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < w; ++x)
                image.pixels.push_back(0xFF000000u | static_cast<std::uint32_t>((y / h + 1) * 8)
                                                         << 8);
        ASSERT_TRUE(bmp_writer::WriteBmp(dir_.path() / name, image));
    }
    struct End {
        std::uint64_t back = 0, scene = 0;
        int frames = 0;
    };
    End Run(const std::string& record, bool ctrl) {
        g_backBuffer->FillRect(0, 0, 800, 600, 0);
        FillPattern(g_backBuffer.get(), 7);
        cdib[0] = std::make_unique<CDib>();
        cdib[0]->Create(platform::WindowHandle::Main, 800, 600, 24);
        FillPattern(cdib[0].get(), 8);
        cdib[1] = std::make_unique<CDib>();
        cdib[1]->Create(platform::WindowHandle::Main, 800, 600, 24);
        FillPattern(cdib[1].get(), 9);
        g_screenSnapshot.reset();
        Start(record + "\nwait ms=1\n");
        RunUntilModeChanges();
        End e;
        e.frames = RunModeToEnd(16, ctrl, 20000);
        e.back = Digest(g_backBuffer.get());
        e.scene = Digest(cdib[0].get());
        return e;
    }
};

TEST_F(SequenceTest, SkippedSequencesEndOnTheSamePixels) {
    const std::string records[] = {"day day=3\nset_mode mode=42",
                                   "eye_catch variant=0",
                                   "eye_catch variant=1",
                                   "eye_catch variant=3",
                                   "curtain variant=2",
                                   "set_mode mode=46",
                                   "fade_to_saved",
                                   "window_style style=1",
                                   "eye_catch variant=4",
                                   "eye_catch variant=5"};
    for (const std::string& record : records) {
        const End full = Run(record, false);
        const End skipped = Run(record, true);
        EXPECT_EQ(full.back, skipped.back) << record;
        EXPECT_EQ(full.scene, skipped.scene) << record;
        EXPECT_GT(full.frames, 3 * skipped.frames) << record;
        EXPECT_EQ(S().subState, 0) << record;
        EXPECT_EQ(App().mode, 2) << record;
    }
}

TEST_F(SequenceTest, TheDayLogoEndsWhiteOverTheScreenItFoundAndAnnouncesItsEnd) {
    Run("day day=3\nset_mode mode=42", false);
    EXPECT_EQ(Rgb(g_backBuffer.get(), 400, 300), 0xFFFFFFu);
    EXPECT_EQ(Rgb(cdib[0].get(), 400, 300), PatternAt(400, 300, 7)); // the screen as it was
    for (int k = 1; k <= 6; ++k)
        EXPECT_EQ(cdib[k], nullptr) << k;
    Run("set_mode mode=46", true);
    EXPECT_EQ(g_config[config::kScriptByte], 2);
    EXPECT_EQ(Rgb(cdib[0].get(), 1, 1), 0xFFFFFFu);
}

TEST_F(SequenceTest, TheDayRowFollowsTheDayNumberAndAnUnknownDayDrawsNone) {
    auto rowAfterStepThree = [&](int day) {
        S().dayNumber = static_cast<std::int8_t>(day);
        S().subState = 0; // the previous run was left in the middle
        FillPattern(g_backBuffer.get(), 7);
        Start("set_mode mode=42\nwait ms=1\n");
        RunUntilModeChanges();
        for (int i = 0; i < 500 && S().subState != 4; ++i) {
            App().RunFrame();
            hl::AdvanceClock(16);
        }
        return Rgb(g_backBuffer.get(), 300, 250);
    };
    // Day 3: row 2, green 24, laid at opacity 254 over black.
    const std::uint32_t green = rowAfterStepThree(3) >> 8 & 0xFF;
    EXPECT_GE(green, 22u);
    EXPECT_LE(green, 24u);
    const std::uint32_t first = rowAfterStepThree(1) >> 8 & 0xFF; // row 0: green 8
    EXPECT_GE(first, 7u);
    EXPECT_LE(first, 8u);
    EXPECT_EQ(rowAfterStepThree(0), 0u); // no row: the black base stays
    EXPECT_EQ(rowAfterStepThree(30), 0u);
    EXPECT_EQ(rowAfterStepThree(-4), 0u);
}

TEST_F(SequenceTest, SequencesWithoutAnEndingHandBackToTheScript) {
    for (const std::string record : {"eye_catch variant=2", "eye_catch variant=9",
                                     "set_mode mode=26", "layer_effect layer=0 type=0 ms=10"}) {
        Start(record + "\nwait ms=1\n");
        RunUntilModeChanges();
        EXPECT_LE(RunModeToEnd(16, false, 10), 1) << record;
        EXPECT_EQ(App().mode, 2) << record;
    }
}

TEST_F(SequenceTest, AFlyingEyeCatchWhoseSoundsAreMissingKeepsNoEarlierChannel) {
    // Channels an earlier scene left in the slots the eye-catch loads into:
    // its own sounds are missing, so each slot must end up empty rather than
    // replay the old sound when the eye-catch plays that element.
    g_soundDevice.Close();
    InitDirectSound(platform::WindowHandle::Main);
    tools::ToneSpec tone;
    tone.samples = 4000;
    ASSERT_TRUE(tools::WriteOggTone("se/old.ogg", tone));
    for (const auto& [variant, slots] :
         {std::pair{4, std::vector<int>{0, 1, 2, 6}}, {5, std::vector<int>{0, 1, 2, 3, 4, 5, 6}}}) {
        for (int n : slots) {
            g_seChannels[n] = std::make_unique<CSeChannel>();
            ASSERT_TRUE(g_seChannels[n]->Load("old.ogg"));
        }
        Start("eye_catch variant=" + std::to_string(variant) + "\nwait ms=1\n");
        RunUntilModeChanges();
        App().RunFrame(); // loads the pictures and the sounds
        ASSERT_EQ(S().subState, 1) << variant;
        for (int n : slots)
            EXPECT_EQ(g_seChannels[n], nullptr) << "variant " << variant << " element " << n;
        RunModeToEnd(16, true, 2000);
        g_mouse->skip = 0;
    }
    g_soundDevice.Close();
}

} // namespace
