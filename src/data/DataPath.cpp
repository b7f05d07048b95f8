#include "data/DataPath.h"

#include "platform/Platform.h"

std::string g_baseDir;

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}
bool IsLead(char c) {
    return IsPathLeadByte(static_cast<unsigned char>(c));
}

// Offset of the last separator of `path`, scanning double-byte-aware;
// npos when there is none.
size_t LastSeparator(const std::string& path) {
    size_t last = std::string::npos;
    for (size_t i = 0; i < path.size();) {
        if (IsLead(path[i])) {
            i += 2;
            continue;
        }
        if (IsSeparator(path[i])) last = i;
        ++i;
    }
    return last;
}

bool StartsWith(const std::string& s, size_t at, const char* prefix) {
    return s.compare(at, std::char_traits<char>::length(prefix), prefix) == 0;
}

} // namespace

void StripLastPathPart(std::string& path) {
    // The text ends at a zero byte as it would in a C string.
    const size_t zero = path.find('\0');
    if (zero != std::string::npos) path.resize(zero);
    const size_t len = path.size();
    if (len == 0) return;

    size_t start = 0;
    // \\server\ is never cut: scanning begins after the first separator that
    // follows the two leading backslashes.
    if (len >= 2 && path[0] == '\\' && path[1] == '\\') {
        if (len == 2) return; // the bare prefix stays as it is
        size_t i = 2;
        while (i < len && !IsSeparator(path[i])) {
            if (IsLead(path[i])) {
                if (i + 1 >= len) return; // a lead byte at the end and no separator before it
                i += 2;
            } else {
                ++i;
            }
        }
        if (i >= len) {
            path += '\\'; // \\server -> \\server\ (no separator at all)
            return;
        }
        start = i + 1;
        if (start == len) return; // \\server\ stays as it is
    }

    // The last two separators of the scanned part, and whether the path ends
    // on a lead byte that has no trail byte (which counts as a final separator).
    size_t last = std::string::npos;
    size_t previous = std::string::npos;
    bool danglingLead = false;
    for (size_t i = start; i < len;) {
        if (IsLead(path[i])) {
            if (i + 1 >= len) {
                danglingLead = true;
                break;
            }
            i += 2;
            continue;
        }
        if (IsSeparator(path[i])) {
            previous = last;
            last = i;
        }
        ++i;
    }

    if (danglingLead || last == len - 1) {
        const size_t earlier = danglingLead ? last : previous;
        if (earlier != std::string::npos) path.resize(earlier + 1);
        return; // with no earlier separator the path is a root and stays
    }
    if (last != std::string::npos) {
        path.resize(last + 1);
        return;
    }
    path += '\\';
}

void SetBaseDir(const std::string& path) {
    if (path.empty()) return;
    std::string dir = path;
    if (dir.front() == '"') {
        dir.erase(0, 1);
        // A quoted program path: its folder, without the file name and the
        // closing quote.
        if (dir.find('.') != std::string::npos) {
            StripLastPathPart(dir);
            g_baseDir = dir;
            return;
        }
    }
    if (dir.empty() || !IsSeparator(dir.back())) dir += '\\';
    g_baseDir = dir;
}

void SetBaseDirToCurrent() {
    SetBaseDir(platform::CurrentDirectory());
}

std::string GetBaseDir() {
    if (g_baseDir.empty()) SetBaseDirToCurrent();
    return g_baseDir;
}

std::string MakeFullPath(const std::string& name) {
    std::string key;
    const bool unc = name.size() >= 2 && name[0] == '\\' && name[1] == '\\';
    const bool native = !name.empty() && name[0] == '/';
    if (unc || native || name.find(':') != std::string::npos) {
        key = name;
    } else {
        std::string base = GetBaseDir();
        size_t at = 0;
        for (;;) {
            if (StartsWith(name, at, "..\\") || StartsWith(name, at, "../")) {
                StripLastPathPart(base);
                at += 3;
            } else if (StartsWith(name, at, ".\\") || StartsWith(name, at, "./")) {
                at += 2;
            } else {
                break;
            }
        }
        key = base + name.substr(at);
    }
    for (size_t i = 0; i < key.size(); ++i) {
        if (IsLead(key[i])) {
            ++i; // the trail byte stays as it is
            continue;
        }
        if (key[i] == '/')
            key[i] = '\\';
        else if (key[i] >= 'A' && key[i] <= 'Z')
            key[i] = static_cast<char>(key[i] - 'A' + 'a');
    }
    return key;
}

std::string PathFileName(const std::string& path) {
    const size_t last = LastSeparator(path);
    return last == std::string::npos ? path : path.substr(last + 1);
}

std::string PathExtension(const std::string& path) {
    const std::string file = PathFileName(path);
    const size_t dot = file.rfind('.');
    return dot == std::string::npos ? std::string() : file.substr(dot + 1);
}

std::string PathFileTitle(const std::string& path) {
    const std::string file = PathFileName(path);
    const size_t dot = file.rfind('.');
    return dot == std::string::npos ? file : file.substr(0, dot);
}

void StrToLowerSjis(std::string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsLead(text[i])) {
            ++i;
            continue;
        }
        if (text[i] >= 'A' && text[i] <= 'Z') text[i] = static_cast<char>(text[i] - 'A' + 'a');
    }
}
