#include "platform/common/KeyEvents.h"

namespace platform {

Key KeypadMeaning(Key key, NumLock numLock) {
    if (numLock == NumLock::On) return key;
    switch (key) {
    case Key::Numpad8:
        return Key::Up;
    case Key::Numpad2:
        return Key::Down;
    case Key::Numpad4:
        return Key::Left;
    case Key::Numpad6:
        return Key::Right;
    case Key::Numpad0:
        return Key::Other; // Insert
    default:
        return key;
    }
}

std::optional<Event> KeyEvent(Key key, KeyAction action, AltKey alt, NumLock numLock) {
    Event e;
    e.key = KeypadMeaning(key, numLock);
    if (alt == AltKey::Held) {
        // Held down, Alt+Enter would switch the display back and forth.
        if (action == KeyAction::Repeat) return std::nullopt;
        e.kind = action == KeyAction::Press ? EventKind::SysKeyDown : EventKind::SysKeyUp;
        return e;
    }
    if (action == KeyAction::Repeat && e.key == Key::Other) return std::nullopt;
    e.kind = action == KeyAction::Release ? EventKind::KeyUp : EventKind::KeyDown;
    return e;
}

} // namespace platform
