// Folder of each data kind under the current directory.
#pragma once

#include <array>
#include <memory>
#include <string>

// Data kinds are single bits.
enum DataKind : int {
    kDataScript = 1,
    kDataBmp = 2,
    kDataChara = 4,
    kDataVoice = 8,
    kDataBgm = 16,
    kDataSe = 32,
    kDataSystem = 64,
};

class CPathTable {
public:
    // The folder of a kind, ending with a separator; built on first use and
    // then kept even if the current directory changes. Not a single kind bit:
    // the never-filled eighth entry, an empty string.
    std::string GetPath(int kind);
    // Rebuilds all seven entries from the current directory.
    void InitPaths();
    // Builds the entry of exactly one kind from `dir`; any other kind builds nothing.
    void BuildPath(int kind, std::string dir);
};

extern std::unique_ptr<CPathTable> g_pathTable;
extern std::array<std::string, 8> g_dataPaths;
extern const std::array<const char*, 7> g_dataDirNames;
