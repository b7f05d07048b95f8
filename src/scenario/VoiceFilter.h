// Whose voice a file is, told by the first three letters of its name, and
// whether the player's mute switches let it sound. The story's voice
// opcodes and the backlog's replay share it, so a voice the story kept
// silent is silent on replay too.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

// The settings byte that holds the level of the voice `name`, or none when
// a mute switch silences it. Letter case of the code is ignored.
std::optional<std::size_t> VoiceLevelByte(std::string_view name);
