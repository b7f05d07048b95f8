// What the keys mean to the game: Alt makes any key a system key, and the
// keypad follows NumLock.
#include "platform/common/KeyEvents.h"

#include "TestSupport.h"
#include "platform/headless/Headless.h"

#include <gtest/gtest.h>

namespace {

using namespace platform;
namespace hl = platform::headless;

class KeyEventsTest : public testing_support::HeadlessTest {};

// Alt+Up must not move a selection, Alt+Esc go back or Alt+Space count as
// Space: with Alt held a key reaches the game only as a system key, pressed
// or released, and the backend still sees it go up again.
TEST_F(KeyEventsTest, EveryKeyWithAltHeldIsASystemKey) {
    for (Key key : {Key::Up, Key::Down, Key::Left, Key::Escape, Key::Space, Key::PageUp,
                    Key::Numpad0, Key::Control, Key::Return, Key::F4}) {
        SCOPED_TRACE(static_cast<int>(key));
        const auto down = KeyEvent(key, KeyAction::Press, AltKey::Held, NumLock::On);
        ASSERT_TRUE(down);
        EXPECT_EQ(down->kind, EventKind::SysKeyDown);
        EXPECT_EQ(down->key, key);
        EXPECT_FALSE(KeyEvent(key, KeyAction::Repeat, AltKey::Held, NumLock::On));
        const auto up = KeyEvent(key, KeyAction::Release, AltKey::Held, NumLock::On);
        ASSERT_TRUE(up);
        EXPECT_NE(up->kind, EventKind::KeyUp);
        EXPECT_NE(up->kind, EventKind::KeyDown);
        EXPECT_EQ(up->key, key);
        hl::PushEvent(*down);
        hl::PushEvent(*up);
        Event e;
        while (PeekEvent(e)) {
        }
        EXPECT_FALSE(IsKeyDown(key));
    }
    // Without Alt a held key the game reads repeats; one it does not read
    // does not.
    EXPECT_EQ(KeyEvent(Key::Up, KeyAction::Repeat, AltKey::Up, NumLock::On)->kind,
              EventKind::KeyDown);
    EXPECT_EQ(KeyEvent(Key::Up, KeyAction::Release, AltKey::Up, NumLock::On)->kind,
              EventKind::KeyUp);
    EXPECT_FALSE(KeyEvent(Key::Other, KeyAction::Repeat, AltKey::Up, NumLock::On));
}

// With NumLock off the keypad's 8, 2, 4 and 6 are the arrow keys, pressed
// and released, and its 0 is Insert, which the game does not read (no
// cancel); with NumLock on they are the keypad's own keys.
TEST_F(KeyEventsTest, KeypadFollowsNumLock) {
    const struct {
        Key pad, withoutNumLock;
    } cases[] = {{Key::Numpad8, Key::Up},
                 {Key::Numpad2, Key::Down},
                 {Key::Numpad4, Key::Left},
                 {Key::Numpad6, Key::Right},
                 {Key::Numpad0, Key::Other}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.pad));
        for (KeyAction action : {KeyAction::Press, KeyAction::Release}) {
            EXPECT_EQ(KeyEvent(c.pad, action, AltKey::Up, NumLock::On)->key, c.pad);
            EXPECT_EQ(KeyEvent(c.pad, action, AltKey::Up, NumLock::Off)->key, c.withoutNumLock);
        }
    }
    EXPECT_EQ(KeyEvent(Key::Up, KeyAction::Press, AltKey::Up, NumLock::Off)->key, Key::Up);
    // Held, keypad 0 repeats as the key it means: as Insert not at all.
    EXPECT_FALSE(KeyEvent(Key::Numpad0, KeyAction::Repeat, AltKey::Up, NumLock::Off));
    EXPECT_EQ(KeyEvent(Key::Numpad0, KeyAction::Repeat, AltKey::Up, NumLock::On)->kind,
              EventKind::KeyDown);
}

} // namespace
