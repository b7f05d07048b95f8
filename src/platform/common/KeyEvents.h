// What a key of the keyboard means to the game, whichever backend reads it.
// The backend names the key by its place on the keyboard.
#pragma once

#include "platform/Platform.h"

#include <optional>

namespace platform {

enum class KeyAction : std::uint8_t { Press, Repeat, Release };
enum class AltKey : std::uint8_t { Up, Held };
enum class NumLock : std::uint8_t { Off, On };

// The event a key makes, or none: Alt+Enter and Alt+F4 are system keys, and
// neither they nor a key the game does not read repeat while held.
std::optional<Event> KeyEvent(Key key, KeyAction action, AltKey alt, NumLock numLock);

} // namespace platform
