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

// The script the first title starts ("start.s"), as an opening script: the
// opening movie, then the first story's own script. Choices in the opening
// script reach neither the menu nor the history, so the story's first
// choice stands in a script of its own, where it can be saved.
std::string OpeningScript(const std::string& firstStory);
// What a story does after its lines: the third ends with the credits movie.
std::string MovieStoryTail(const std::string& storyScript);

} // namespace demo
