// The demo game's two movies, written beside its data folders: the opening
// ("pp_op.mpg", a sunrise over the sea with the game's name and a bright
// arpeggio) and the credits ("staffroll.mpg", names rising over a starry
// night to a slow tune), so a player tells them apart by eye and by ear.
#pragma once

#include <filesystem>
#include <string>

namespace demo {

// False when a movie could not be encoded or written.
bool WriteDemoMovies(const std::filesystem::path& dir);

// What a story does around its lines: the first story opens with the
// opening movie, the third ends with the credits movie.
std::string MovieStoryHead(const std::string& storyScript);
std::string MovieStoryTail(const std::string& storyScript);

} // namespace demo
