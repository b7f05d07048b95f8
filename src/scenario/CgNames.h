// The picture (CG) table shared by the story and the gallery: 60 rows of 21
// file names, a row one gallery cell and its columns the cell's variants. A
// loaded picture whose name stands in the table marks its entry as seen.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

inline constexpr std::size_t kCgRows = 60;
inline constexpr std::size_t kCgColumns = 21;

// Empty entries are empty views.
extern const std::array<std::array<std::string_view, kCgColumns>, kCgRows> g_cgNames;

// Index row * 21 + column of the first entry equal to `name` without regard
// to ASCII letter case, searching row by row; nothing for an empty name.
std::optional<std::size_t> FindCgEntry(std::string_view name);
