// The title music that the main title starts and the two choosers carry on.
#pragma once

namespace frontend {

inline constexpr char kTitleMusic[] = "bgm\\n006.ogg";
// The name the script object records, by which the choosers know it plays.
inline constexpr char kTitleMusicName[] = "n006.ogg";

} // namespace frontend
