// A text log for maintainers in the game folder, kept across runs.
#pragma once

#include <string_view>

// Appends `text` and a line feed to "Debug.Log" in the current directory,
// making the file when it is missing. False when it cannot be written.
bool DebugLog(std::string_view text);
