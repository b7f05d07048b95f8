// Data paths with Windows rules: '\' and '/' separate, text is double-byte
// aware (a lead byte 0x80-0xA0 or 0xE0-0xFF takes the next byte with it).
#pragma once

#include <string>

// Removes the last component of a path in place, keeping its separator.
void StripLastPathPart(std::string& path);
