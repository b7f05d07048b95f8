#include "platform/common/KeyEvents.h"

namespace platform {

std::optional<Event> KeyEvent(Key key, KeyAction action, AltKey alt, NumLock) {
    Event e;
    e.key = key;
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
