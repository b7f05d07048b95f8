// Data paths with Windows rules: '\' and '/' separate, text is double-byte
// aware (a lead byte 0x80-0xA0 or 0xE0-0xFF takes the next byte with it).
// Lookup keys are lower-case with backslashes; the platform layer matches
// them against the file system without regard to case.
#pragma once

#include <string>

// The folder bare data-file names are relative to; empty until first set,
// then always ending with a separator.
extern std::string g_baseDir;

// A lead byte of the double-byte code pages the game's text uses.
inline bool IsPathLeadByte(unsigned char c) {
    return (c >= 0x80 && c <= 0xA0) || c >= 0xE0;
}

// Removes the last component of a path in place, keeping its separator.
// A root (C:\, \\server\share\, \) stays as it is; a bare name gains a
// backslash.
void StripLastPathPart(std::string& path);

// Sets g_baseDir. A quoted program path ("C:\game\run.exe") becomes its folder;
// anything else gets a trailing backslash unless it has a separator already.
// An empty path changes nothing.
void SetBaseDir(const std::string& path);
void SetBaseDirToCurrent();
// g_baseDir, set to the current directory first when it is still empty.
std::string GetBaseDir();

// The lookup key of a data-file name: the base folder joined with the name
// (leading .\ and ..\ worked off), every '/' made '\', letters lower-cased.
// A name starting with \\, containing ':', or starting with '/' (a native
// absolute path on this system) is not joined.
std::string MakeFullPath(const std::string& name);

// The text after the last separator (the whole path when there is none).
std::string PathFileName(const std::string& path);
// The text after the last '.' of the file-name part; empty without a '.'.
std::string PathExtension(const std::string& path);
// The file-name part without its last '.' and what follows.
std::string PathFileTitle(const std::string& path);

// Lower-cases A-Z in place, leaving the trail byte of a double-byte
// character alone.
void StrToLowerSjis(std::string& text);
