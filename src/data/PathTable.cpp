#include "data/PathTable.h"

#include "data/DataPath.h"
#include "platform/Platform.h"

std::unique_ptr<CPathTable> g_pathTable;
std::array<std::string, 8> g_dataPaths;
const std::array<const char*, 7> g_dataDirNames = {"script\\", "bmp\\", "chara\\", "voice\\",
                                                   "bgm\\",    "se\\",  "system\\"};

namespace {

// Bit number 0..6 of a single-bit kind, 7 for anything else.
int KindIndex(int kind) {
    for (int bit = 0; bit < 7; ++bit)
        if (kind == (1 << bit)) return bit;
    return 7;
}

} // namespace

std::string CPathTable::GetPath(int kind) {
    const int index = KindIndex(kind);
    if (g_dataPaths[index].empty()) BuildPath(kind, platform::CurrentDirectory());
    return g_dataPaths[index];
}

void CPathTable::InitPaths() {
    const std::string dir = platform::CurrentDirectory();
    for (int bit = 0; bit < 7; ++bit)
        BuildPath(1 << bit, dir);
}

void CPathTable::BuildPath(int kind, std::string dir) {
    const int index = KindIndex(kind);
    if (index == 7) return;
    if (!dir.empty() && dir.front() == '"') dir.erase(0, 1);
    if (platform::GetPathKind(dir) != platform::PathKind::Directory) {
        StripLastPathPart(dir);
    } else if (dir.empty() || (dir.back() != '\\' && dir.back() != '/')) {
        dir += '\\';
    }
    g_dataPaths[index] = dir + g_dataDirNames[index];
}
