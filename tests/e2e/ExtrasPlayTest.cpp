// The extras of the demo game played through the program's own loop: a
// fresh game shows the gallery and the wallpaper room locked; then the first
// story shows two event pictures and a guest picture, after which the
// gallery offers them and the wallpaper room exports the guest's wallpaper.
// Pictures of each screen go to build/test/extras-shots/.
#include "DemoFolder.h"
#include "DrawnRegions.h"
#include "Shots.h"
#include "TestSupport.h"
#include "app/Config.h"
#include "app/GameApp.h"
#include "app/Shell.h"
#include "frontend/CgGallery.h"
#include "frontend/MainTitle.h"
#include "frontend/ResetStory.h"
#include "frontend/WallpaperRoom.h"
#include "gfx/Dib.h"
#include "lib/BmpWriter.h"
#include "scenario/CgNames.h"
#include "scenario/Scenario.h"
#include "screenkit/Leave.h"

#include <cstring>
#include <functional>

using platform::MouseButton;
namespace hl = platform::headless;
namespace fs = std::filesystem;

namespace {

class ExtrasPlayTest : public testing_support::HeadlessTest {
protected:
    e2e::DrawnRegionCheck drawnRegions_;
    void SetUp() override {
        ASSERT_TRUE(e2e::DemoFolder().error.empty()) << e2e::DemoFolder().error;
        fs::copy(e2e::DemoFolder().dir, fs::current_path(), fs::copy_options::recursive);
        ASSERT_TRUE(platform::CreateMainWindow(g_windowTitle));
        OnCreate(platform::WindowHandle::Main);
    }
    void TearDown() override { OnDestroy(); }

    bool InMode(int m) const { return g_gameApp->mode == m; }
    // Loop passes until `done`; each presented frame moves the clock a little.
    bool RunUntil(const std::function<bool()>& done, int limit = 20000) {
        for (int i = 0; i < limit; ++i) {
            if (done()) return true;
            const std::uint64_t presented = hl::PresentCount();
            for (int pumps = 0; pumps < 1000 && hl::PresentCount() == presented; ++pumps)
                if (PumpOnce() == LoopStep::Quit) return false;
            hl::AdvanceClock(1);
        }
        return done();
    }
    void ClickAt(int x, int y) {
        hl::PushMouseMove(x, y);
        hl::PushButton(MouseButton::Left, true, x, y);
        RunUntil([n = 2]() mutable { return n-- <= 0; });
        hl::PushButton(MouseButton::Left, false, x, y);
        RunUntil([n = 1]() mutable { return n-- <= 0; });
    }
    void Shot(const std::string& name) { e2e::WriteShot("extras-shots", name); }

    void ToTitleMenu() {
        hl::PushKey(platform::Key::Control, true);
        ASSERT_TRUE(RunUntil([&] { return InMode(1); }));
        hl::PushKey(platform::Key::Control, false);
        ASSERT_TRUE(RunUntil([&] { return g_mainTitle && g_mainTitle->State == 2; }));
    }
    void ToGallery() {
        ToTitleMenu();
        ClickAt(560, 500); // "extras"
        ASSERT_TRUE(RunUntil([&] { return g_cgGallery && g_cgGallery->State == 2; }));
    }
    // As a mini-game title opens it.
    void ToWallpaperRoom() {
        ToTitleMenu();
        g_gameApp->returnMode = 1;
        g_scenario->playContext = 1;
        g_gameApp->mode = 72;
        ASSERT_TRUE(RunUntil([&] { return g_wallpaperRoom && g_wallpaperRoom->State == 2; }));
    }
    // The first story, started as its title's start item starts it (the way
    // through the title screens is played by the story play-throughs), with
    // the timed effects cut short, clicked through to its end.
    void PlayFirstStory() {
        ToTitleMenu();
        ResetStory(platform::WindowHandle::Main);
        screenkit::LeaveForStory("start.s", 0);
        g_scenario->skipEffects = 1;
        for (int step = 0; step < 20000 && !InMode(1); ++step) {
            if (InMode(17) && g_scenario->subState == 1) {
                ClickAt(408, 172); // the first answer
            } else if (InMode(3) && g_scenario->subState == 3) {
                if (std::strcmp(g_gameApp->surfaceNames[1].data(), "e001a.bmp") == 0)
                    Shot("story-event-picture");
                ClickAt(300, 300);
            } else {
                RunUntil([n = 1]() mutable { return n-- <= 0; });
            }
        }
        g_scenario->skipEffects = 0;
        ASSERT_TRUE(InMode(1)) << "the story stopped in mode " << int(g_gameApp->mode);
    }
    // A right click takes a room back to the title.
    void LeaveRoom() {
        hl::PushButton(MouseButton::Right, true, 400, 300);
        ASSERT_TRUE(RunUntil([&] { return InMode(1); }));
        hl::PushButton(MouseButton::Right, false, 400, 300);
    }
    static int SeenOnPage(const CCgGallery& g) {
        int cells = 0;
        for (std::uint8_t n : g.SeenCount)
            cells += n != 0;
        return cells;
    }
};

TEST_F(ExtrasPlayTest, LockedInAFreshGameThenTheStoryUnlocksWhatTheGalleryShowsAndExports) {
    ToGallery();
    Shot("gallery-locked");
    EXPECT_EQ(SeenOnPage(*g_cgGallery), 0);
    ClickAt(18 + 20, 121 + 20); // the first cell offers nothing
    EXPECT_EQ(g_cgGallery->State, 2);
    LeaveRoom();

    ToWallpaperRoom();
    Shot("wallpaper-locked");
    for (std::uint8_t a : g_wallpaperRoom->Available)
        EXPECT_EQ(a, 0);
    ClickAt(30, 100);
    ClickAt(500, 404); // a size: nothing chosen, nothing written
    EXPECT_FALSE(fs::exists("wallpaper"));
    EXPECT_TRUE(hl::Questions().empty());
    LeaveRoom();

    ASSERT_NO_FATAL_FAILURE(PlayFirstStory());
    const auto seen = [](std::size_t row, std::size_t column) {
        return g_config[config::kCgFlags + row * kCgColumns + column];
    };
    EXPECT_EQ(seen(0, 0), 1);
    EXPECT_EQ(seen(0, 1), 1);
    EXPECT_EQ(seen(34, 0), 1);

    ToGallery();
    Shot("gallery-page1");
    EXPECT_EQ(g_cgGallery->SeenCount[0], 2);
    EXPECT_EQ(SeenOnPage(*g_cgGallery), 1);
    hl::PushMouseMove(18 + 20, 121 + 20);
    RunUntil([n = 2]() mutable { return n-- <= 0; });
    EXPECT_EQ(g_cgGallery->HoverCell, 1);
    Shot("gallery-hover");
    ClickAt(18 + 20, 121 + 20);
    ASSERT_TRUE(RunUntil([&] { return g_cgGallery->State == 6; }));
    Shot("gallery-picture-a");
    ClickAt(400, 300);
    ASSERT_TRUE(RunUntil([&] { return g_cgGallery->State == 6; }));
    Shot("gallery-picture-b");
    ClickAt(400, 300);
    ASSERT_TRUE(RunUntil([&] { return g_cgGallery->State == 2; }));
    // The guest picture stands on the second page.
    ClickAt(713 + 23 + 5, 30);
    ASSERT_TRUE(RunUntil([&] { return g_cgGallery->State == 2 && g_cgGallery->Page == 1; }));
    EXPECT_EQ(g_cgGallery->SeenCount[14], 1);
    Shot("gallery-page2");
    LeaveRoom();

    ToWallpaperRoom();
    EXPECT_EQ(g_wallpaperRoom->Available[0], 1);
    ClickAt(30, 100);
    EXPECT_EQ(g_wallpaperRoom->SelectedCell, 1);
    Shot("wallpaper-chosen");
    ClickAt(500, 404);                     // 800x600
    ASSERT_EQ(hl::Questions().size(), 1u); // the notice
    CDib exported, source;
    ASSERT_TRUE(exported.LoadFile(platform::WindowHandle::Main, "wallpaper\\800x600guest001.bmp"));
    ASSERT_TRUE(source.LoadFile(platform::WindowHandle::Main, "bmp\\guest001.bmp"));
    ASSERT_EQ(exported.GetWidth(), 800);
    ASSERT_EQ(exported.GetHeight(), 600);
    EXPECT_EQ(std::memcmp(exported.GetBits(), source.GetBits(), 800u * 600 * 4), 0);
    ClickAt(100, 400); // the preview
    ASSERT_TRUE(RunUntil([&] { return g_wallpaperRoom->State == 6; }));
    Shot("wallpaper-preview");
}

} // namespace
