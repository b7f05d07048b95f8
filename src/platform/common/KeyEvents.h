// What a key of the keyboard means to the game, whichever backend reads it.
// The backend names the key by its place on the keyboard. The keypad's
// digits follow NumLock, and Alt makes any key a system key, of which the
// game takes only the full-screen switch and the close question.
#pragma once

#include "platform/Platform.h"

#include <optional>

namespace platform {

enum class KeyAction : std::uint8_t { Press, Repeat, Release };
enum class AltKey : std::uint8_t { Up, Held };
enum class NumLock : std::uint8_t { Off, On };

// The key a keypad digit stands for: with NumLock off its 8, 2, 4 and 6 are
// the arrow keys and its 0 is Insert, which the game does not read. Every
// other key stands for itself.
Key KeypadMeaning(Key key, NumLock numLock);

// The event a key makes, or none: a key pressed or released with Alt held is
// a system key, and neither a system key nor a key the game does not read
// repeats while held.
std::optional<Event> KeyEvent(Key key, KeyAction action, AltKey alt, NumLock numLock);

} // namespace platform
