// Dialogs in the demo game, answered with keys as a player would, through the
// same loop the game window runs: the start-up message about the missing
// sound device, the close question over the boot logo, quit signals during
// the question, and the comment entry. Pictures of the dialogs go to
// build/test/dialog-shots/ for people to look at.
#include "DemoFolder.h"
#include "DrawnRegions.h"
#include "TestSupport.h"
#include "app/Config.h"
#include "app/GameApp.h"
#include "app/Shell.h"
#include "frontend/BootScreen.h"
#include "lib/BmpWriter.h"
#include "sound/SoundChannel.h"

#include <csignal>
#include <cstdlib>
#include <functional>

using platform::Key;
namespace hl = platform::headless;
namespace fs = std::filesystem;

namespace {

const char kQuitQuestion[] = "\xD2\xAA\xCD\xCB\xB3\xF6\xD3\xCE\xCF\xB7\xC2\xF0\xA3\xBF";
const char kNoSound[] = "DirectSound\xB3\xF5\xC6\xDA\xBB\xAF\xCA\xA7\x94\xA1";

platform::Event SysKey(Key key) {
    platform::Event e;
    e.kind = platform::EventKind::SysKeyDown;
    e.key = key;
    return e;
}

class DialogPlayTest : public testing_support::HeadlessTest {
protected:
    e2e::DrawnRegionCheck drawnRegions_;
    void SetUp() override {
        ASSERT_TRUE(e2e::DemoFolder().error.empty()) << e2e::DemoFolder().error;
        fs::copy(e2e::DemoFolder().dir, fs::current_path(), fs::copy_options::recursive);
        // The program's single-instance lock stays inside this test's folder.
        const char* old = std::getenv("XDG_RUNTIME_DIR");
        if (old) oldRuntime_ = old;
        hadRuntime_ = old != nullptr;
        setenv("XDG_RUNTIME_DIR", fs::current_path().c_str(), 1);
    }
    void TearDown() override {
        if (started_ && !quit_) OnDestroy();
        if (hadRuntime_)
            setenv("XDG_RUNTIME_DIR", oldRuntime_.c_str(), 1);
        else
            unsetenv("XDG_RUNTIME_DIR");
    }

    void Start() {
        ASSERT_TRUE(platform::CreateMainWindow(g_windowTitle));
        OnCreate(platform::WindowHandle::Main);
        started_ = true;
    }
    // Loop passes until `done` holds or the program ends; false after `limit`.
    bool PumpUntil(const std::function<bool()>& done, int limit = 20000) {
        for (int i = 0; i < limit && !quit_; ++i) {
            if (done()) return true;
            if (PumpOnce() == LoopStep::Quit) quit_ = true;
        }
        return done();
    }
    static bool LogoStands() {
        return g_bootScreen && g_bootScreen->State == 1 && g_bootScreen->SubState == 1;
    }

    static void Shot(const std::string& name, const std::vector<std::uint32_t>& picture) {
        ASSERT_EQ(picture.size(), 800u * 600u);
        bmp_writer::BmpImage img;
        img.width = 800;
        img.height = 600;
        img.bitCount = 24;
        img.pixels = picture;
        const fs::path dir = fs::path(NORVANE_TEST_BIN_DIR) / ".." / "dialog-shots";
        fs::create_directories(dir);
        EXPECT_TRUE(bmp_writer::WriteBmp(dir / (name + ".bmp"), img));
    }

    bool started_ = false;
    bool quit_ = false;
    bool hadRuntime_ = false;
    std::string oldRuntime_;
};

TEST_F(DialogPlayTest, StartUpMessageShowsInTheWindowAndReturnLeadsToTheBootLogo) {
    hl::SetAudioAvailable(false);
    hl::SetDialogMode(hl::DialogMode::Events);
    hl::PushKey(Key::Return, true);
    hl::PushKey(Key::Return, false);
    Start();
    // The message came up inside start-up, before the first frame.
    ASSERT_EQ(hl::Questions().size(), 1u);
    EXPECT_EQ(hl::Questions()[0].gbkText, kNoSound);
    EXPECT_EQ(hl::Questions()[0].gbkCaption, "error");
    EXPECT_FALSE(hl::Questions()[0].okCancel);
    EXPECT_EQ(hl::DialogPictureCount(), 1u);
    Shot("01-start-up-message", hl::DialogPicture());
    // Nothing was shown before it: the box stands on black.
    EXPECT_EQ(hl::DialogPicture()[0], 0u);

    ASSERT_TRUE(PumpUntil(LogoStands));
    EXPECT_FALSE(quit_);
    // The logo is on screen, and the key's release reached the game, not a
    // stuck key state.
    EXPECT_NE(hl::LastFrame()[300 * 800 + 400], 0u);
    EXPECT_FALSE(platform::IsKeyDown(Key::Return));
    EXPECT_EQ(hl::Questions().size(), 1u);
}

TEST_F(DialogPlayTest, CloseQuestionOverTheBootLogoEscapeGoesOnReturnQuitsAndSaves) {
    // The road seen to lose the settings: a quit answered with the keyboard
    // from the boot screen, in a folder without a save folder yet.
    fs::remove_all("save");
    Start();
    CreateFolderTree(platform::CurrentDirectory() + "\\save");
    ASSERT_TRUE(PumpUntil(LogoStands));
    const std::vector<std::uint32_t> logo = hl::LastFrame();

    hl::SetDialogMode(hl::DialogMode::Events);
    hl::PushEvent(SysKey(Key::F4));
    hl::PushKey(Key::Escape, true);
    hl::PushKey(Key::Escape, false);
    ASSERT_TRUE(PumpUntil([] { return !hl::HasPendingEvents(); }));
    EXPECT_FALSE(quit_);
    ASSERT_EQ(hl::Questions().size(), 1u);
    EXPECT_EQ(hl::Questions()[0].gbkText, kQuitQuestion);
    EXPECT_EQ(hl::Questions()[0].gbkCaption, "Norvane");
    EXPECT_EQ(hl::Questions()[0].icon, platform::BoxIcon::Question);
    // The question stood over the logo, dimmed.
    const std::vector<std::uint32_t> question = hl::DialogPicture();
    EXPECT_EQ(question[5 * 800 + 5], (logo[5 * 800 + 5] >> 1) & 0x7F7F7Fu);
    Shot("02-quit-question", question);
    EXPECT_FALSE(fs::exists("save/Config.dat"));

    g_config[config::kBgmVolume] = 73; // a setting changed in this session
    hl::PushEvent(SysKey(Key::F4));
    hl::PushKey(Key::Return, true);
    ASSERT_TRUE(PumpUntil([] { return false; }, 50) || quit_);
    EXPECT_TRUE(quit_);
    EXPECT_EQ(hl::Questions().size(), 2u);
    const auto saved = testing_support::ReadFile("save/Config.dat");
    ASSERT_EQ(saved.size(), kConfigSize);
    EXPECT_EQ(saved[config::kBgmVolume], 73);
}

TEST_F(DialogPlayTest, EachQuitSignalDuringTheQuestionEndsTheProgramInOrderWithStatusZero) {
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
        hl::Reset();
        fs::remove("save/Config.dat");
        hl::SetDialogMode(hl::DialogMode::Events);
        // The question comes up at the first pass; the signal arrives while
        // it waits for an answer; the Return after it is never taken.
        hl::PushEvent(SysKey(Key::F4));
        hl::PushSignal(sig);
        hl::PushKey(Key::Return, true);
        const std::uint32_t before = platform::TimeGetTime();
        EXPECT_EQ(WinMain(), 0) << sig;
        EXPECT_LT(platform::TimeGetTime() - before, 1000u) << sig;
        ASSERT_EQ(hl::Questions().size(), 1u) << sig;
        EXPECT_EQ(hl::Questions()[0].gbkText, kQuitQuestion);
        EXPECT_TRUE(hl::HasPendingEvents()) << sig;
        // Settings written, sounds and screens gone, window closed.
        EXPECT_TRUE(fs::exists("save/Config.dat")) << sig;
        EXPECT_EQ(g_gameApp, nullptr);
        for (const auto& v : g_voiceChannels)
            EXPECT_EQ(v, nullptr);
        EXPECT_FALSE(hl::WindowOpen());
    }
}

TEST_F(DialogPlayTest, CommentEntryTakesComposedChineseAndShowsIt) {
    Start();
    ASSERT_TRUE(PumpUntil(LogoStands));
    hl::SetDialogMode(hl::DialogMode::Events);
    const auto push = [](platform::EventKind kind, const char* utf8) {
        platform::Event e;
        e.kind = kind;
        e.text = utf8;
        hl::PushEvent(e);
    };
    push(platform::EventKind::TextEditing, "cundang");
    push(platform::EventKind::TextInput, "\xE5\xAD\x98\xE6\xA1\xA3"); // 存档
    push(platform::EventKind::TextInput, " 1");
    hl::PushKey(Key::Return, true);
    const auto text = platform::AskText("\xC7\xEB\xCA\xE4\xC8\xEB\xD7\xA2\xCA\xCD", "", "", 45);
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(*text, "\xB4\xE6\xB5\xB5 1");
    EXPECT_FALSE(hl::TextInputOn());
    ASSERT_EQ(hl::Questions().size(), 1u);
    EXPECT_TRUE(hl::Questions()[0].textEntry);
    EXPECT_EQ(hl::Questions()[0].byteLimit, 45u);
    Shot("03-comment-entry", hl::DialogPicture());

    // Cancel hands back nothing; queued answers are cut as typing would be.
    hl::PushKey(Key::Escape, true);
    EXPECT_FALSE(platform::AskText("x", "", "old", 45).has_value());
    hl::SetDialogMode(hl::DialogMode::Answers);
    hl::QueueText(std::string(44, 'a') + "\xD6\xD0");
    EXPECT_EQ(platform::AskText("x", "", "", 45), std::string(44, 'a'));
    EXPECT_FALSE(platform::AskText("x", "", "", 45).has_value());
}

} // namespace
