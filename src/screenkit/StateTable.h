// A screen's `Run`: one handler per value of its state byte, laid out as the
// screen's states are numbered, so the table reads as the list of states.
#pragma once

#include "platform/Platform.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace screenkit {

template <class Screen> using StateHandler = void (Screen::*)(platform::WindowHandle);

template <class Screen, std::size_t N> using StateTable = std::array<StateHandler<Screen>, N>;

// Runs the handler of `state`; a state without one (a gap in the table, or
// past its end) does nothing.
template <class Screen, std::size_t N>
void RunState(Screen& screen, std::uint8_t state, const StateTable<Screen, N>& handlers,
              platform::WindowHandle window) {
    if (state < N && handlers[state]) (screen.*handlers[state])(window);
}

} // namespace screenkit
