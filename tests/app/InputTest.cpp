#include "app/Display.h"
#include "app/Input.h"
#include "data/PathTable.h"
#include "TestSupport.h"

#include <filesystem>

using namespace platform;
namespace hl = platform::headless;
using testing_support::HeadlessTest;

namespace {

class InputTest : public HeadlessTest {
protected:
    void SetUp() override {
        g_mouse = std::make_unique<CMouse>();
        g_keyboard = std::make_unique<CKeyboard>();
    }
    void TearDown() override {
        g_mouse.reset();
        g_keyboard.reset();
        g_display.reset();
    }
    void Hold(Key k, bool down) {
        hl::PushKey(k, down);
        Event e;
        while (PeekEvent(e)) {
        }
    }
};

TEST_F(InputTest, PageUpHidesEveryLaterKey) {
    Hold(Key::PageUp, true);
    Hold(Key::Left, true);
    g_keyboard->Poll();
    EXPECT_EQ(g_keyboard->pageUp, 1);
    EXPECT_EQ(g_keyboard->left, 0);
    Hold(Key::PageUp, false);
    g_keyboard->Poll();
    EXPECT_EQ(g_keyboard->pageUp, 0);
    EXPECT_EQ(g_keyboard->left, 1);
}

TEST_F(InputTest, EnterClicksAndThePollGoesOn) {
    Hold(Key::Return, true);
    Hold(Key::Down, true);
    g_keyboard->Poll();
    EXPECT_EQ(g_mouse->click, 1);
    EXPECT_EQ(g_keyboard->down, 1);
    Hold(Key::Return, false);
    g_keyboard->Poll();
    EXPECT_EQ(g_mouse->click, 0);
}

TEST_F(InputTest, KeypadStandsInForArrowsAndEscape) {
    Hold(Key::Numpad4, true);
    Hold(Key::Left, true);
    Hold(Key::Left, false);
    g_keyboard->Poll();
    EXPECT_EQ(g_keyboard->left, 1);  // keypad 4 still held
    Hold(Key::Numpad4, false);
    Hold(Key::Numpad8, true);
    g_keyboard->Poll();
    EXPECT_EQ(g_keyboard->left, 0);
    EXPECT_EQ(g_keyboard->up, 1);
    Hold(Key::Numpad8, false);
    Hold(Key::Numpad0, true);
    g_keyboard->Poll();
    EXPECT_EQ(g_mouse->cancel, 1);
    Hold(Key::Numpad0, false);
    Hold(Key::F2, true);
    g_keyboard->Poll();
    EXPECT_EQ(g_mouse->cancel, 0);
    EXPECT_EQ(g_keyboard->f2, 1);
}

TEST_F(InputTest, MouseFlagsFollowButtonsAndCtrl) {
    hl::PushButton(MouseButton::Right, true, 0, 0);
    hl::PushButton(MouseButton::Middle, true, 0, 0);
    hl::PushKey(Key::Control, true);
    Event e;
    while (PeekEvent(e)) {
    }
    g_mouse->Poll();
    EXPECT_EQ(g_mouse->click, 0);
    EXPECT_EQ(g_mouse->cancel, 1);
    EXPECT_EQ(g_mouse->middle, 1);
    EXPECT_EQ(g_mouse->skip, 1);
}

TEST_F(InputTest, WarpCursorAddsTheCaptionOnlyWhileWindowed) {
    g_display = std::make_unique<CDisplay>();
    WarpCursor(WindowHandle::Main, 0, 0);
    const Rect r = GetWindowRect();
    EXPECT_EQ(hl::CursorX(), r.left);
    EXPECT_EQ(hl::CursorY(), r.top + CaptionHeight());
    g_display->ToggleFullScreen(WindowHandle::Main);
    WarpCursor(WindowHandle::Main, 10, 20);
    EXPECT_EQ(hl::CursorX(), GetWindowRect().left + 10);
    EXPECT_EQ(hl::CursorY(), GetWindowRect().top + 20);
}

TEST_F(InputTest, PathTableBuildsFoldersOfSingleKindsOnly) {
    std::filesystem::create_directory("bmp");
    g_dataPaths = {};
    CPathTable table;
    const std::string cwd = CurrentDirectory();
    EXPECT_EQ(table.GetPath(kDataBmp), cwd + "\\bmp\\");
    EXPECT_EQ(table.GetPath(kDataSystem), cwd + "\\system\\");
    EXPECT_EQ(table.GetPath(3), "");
    EXPECT_EQ(g_dataPaths[7], "");
    // Once built, an entry stays even when the directory changes.
    ChangeDirectory("bmp");
    EXPECT_EQ(table.GetPath(kDataBmp), cwd + "\\bmp\\");
    table.InitPaths();
    EXPECT_EQ(table.GetPath(kDataBmp), cwd + "/bmp\\bmp\\");
    ChangeDirectory(cwd);
    // A quoted program path loses its file name.
    table.BuildPath(kDataSe, "\"" + cwd + "/game.exe");
    EXPECT_EQ(g_dataPaths[5], cwd + "/se\\");
    g_dataPaths = {};
}

}  // namespace
