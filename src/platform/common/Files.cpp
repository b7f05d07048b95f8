#include "platform/Platform.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <vector>

namespace platform {
namespace {

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualFolded(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    return true;
}

bool Exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

std::vector<std::string> SplitComponents(std::string_view windowsPath, bool& absolute) {
    std::vector<std::string> parts;
    absolute = !windowsPath.empty() && (windowsPath[0] == '\\' || windowsPath[0] == '/');
    std::string cur;
    for (char c : windowsPath) {
        if (c == '\\' || c == '/') {
            if (!cur.empty()) parts.push_back(std::move(cur));
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) parts.push_back(std::move(cur));
    return parts;
}

std::string Join(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    if (dir.back() == '/') return dir + name;
    return dir + "/" + name;
}

// The entry of `dir` whose name equals `name` exactly or, failing that,
// without regard to case (the smallest such name, so the choice is stable).
std::optional<std::string> FindEntry(const std::string& dir, const std::string& name) {
    std::string exact = Join(dir, name);
    if (name == "." || name == ".." || Exists(exact)) return exact;
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return std::nullopt;
    std::optional<std::string> best;
    while (dirent* e = ::readdir(d)) {
        std::string_view entry(e->d_name);
        if (EqualFolded(entry, name) && (!best || entry < *best)) best = std::string(entry);
    }
    ::closedir(d);
    if (!best) return std::nullopt;
    return Join(dir, *best);
}

std::optional<std::string> Resolve(std::string_view windowsPath, bool lastMayBeMissing) {
    if (windowsPath.empty()) return std::nullopt;
    bool absolute = false;
    std::vector<std::string> parts = SplitComponents(windowsPath, absolute);
    std::string path = absolute ? "/" : "";
    if (parts.empty()) return absolute ? std::optional<std::string>("/") : std::nullopt;
    for (size_t i = 0; i < parts.size(); ++i) {
        std::optional<std::string> next = FindEntry(path, parts[i]);
        if (!next) {
            if (lastMayBeMissing && i + 1 == parts.size()) return Join(path, parts[i]);
            return std::nullopt;
        }
        path = std::move(*next);
    }
    return path;
}

}  // namespace

std::string CurrentDirectory() {
    std::vector<char> buf(PATH_MAX + 1);
    if (::getcwd(buf.data(), buf.size()) == nullptr) return {};
    return std::string(buf.data());
}

bool ChangeDirectory(const std::string& path) { return ::chdir(path.c_str()) == 0; }

std::optional<std::string> ResolveExisting(std::string_view windowsPath) {
    return Resolve(windowsPath, false);
}

std::optional<std::string> ResolveForWrite(std::string_view windowsPath) {
    return Resolve(windowsPath, true);
}

PathKind GetPathKind(std::string_view windowsPath) {
    std::optional<std::string> p = ResolveExisting(windowsPath);
    if (!p) return PathKind::Missing;
    struct stat st {};
    if (::stat(p->c_str(), &st) != 0) return PathKind::Missing;
    return S_ISDIR(st.st_mode) ? PathKind::Directory : PathKind::File;
}

bool MakeDirectory(std::string_view windowsPath) {
    std::optional<std::string> p = ResolveForWrite(windowsPath);
    if (!p) return false;
    return ::mkdir(p->c_str(), 0777) == 0 || (errno == EEXIST && GetPathKind(windowsPath) == PathKind::Directory);
}

}  // namespace platform
