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

// A handler with the number of its state, for a screen whose states are
// numbered with wide gaps.
template <class Screen> struct NumberedState {
    std::uint8_t state;
    StateHandler<Screen> handler;
};

// The table of N states that holds each handler at its number; the gaps do
// nothing. A number past the table does not compile.
template <class Screen, std::size_t N, std::size_t M>
consteval StateTable<Screen, N> NumberedStates(const NumberedState<Screen> (&states)[M]) {
    StateTable<Screen, N> table{};
    for (const NumberedState<Screen>& s : states) {
        if (s.state >= N) throw "a state past the end of its table";
        table[s.state] = s.handler;
    }
    return table;
}

// Runs the handler of `state`; a state without one (a gap in the table, or
// past its end) does nothing.
template <class Screen, std::size_t N>
void RunState(Screen& screen, std::uint8_t state, const StateTable<Screen, N>& handlers,
              platform::WindowHandle window) {
    if (state < N && handlers[state]) (screen.*handlers[state])(window);
}

} // namespace screenkit
