#include "app/DataPath.h"

namespace {

bool IsLeadByte(unsigned char c) { return (c >= 0x80 && c <= 0xA0) || c >= 0xE0; }
bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

void StripLastPathPart(std::string& path) {
    const size_t len = path.find('\0') == std::string::npos ? path.size() : path.find('\0');
    if (len == 0) return;
    size_t start = 0;
    // \\server\ is never cut: scanning begins after the first separator that
    // follows the two leading backslashes.
    if (len >= 2 && path[0] == '\\' && path[1] == '\\') {
        start = 2;
        while (start < len && !IsSeparator(path[start])) {
            start += IsLeadByte(static_cast<unsigned char>(path[start])) ? 2 : 1;
        }
        if (start >= len) {
            if (len == 2) return;  // the bare prefix stays as it is
            path.resize(len);
            path += '\\';
            return;
        }
        ++start;
        if (start == len) return;  // \\server\ stays as it is
    }
    // Walk the scanned part, remembering the last two separators and whether
    // the path ends on a separator (or on a lead byte with no trail byte).
    size_t last = std::string::npos;
    size_t previous = std::string::npos;
    bool endsWithSeparator = false;
    for (size_t i = start; i < len;) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        if (IsLeadByte(c)) {
            if (i + 1 >= len) {
                endsWithSeparator = true;
                break;
            }
            i += 2;
            endsWithSeparator = false;
            continue;
        }
        if (IsSeparator(path[i])) {
            previous = last;
            last = i;
            endsWithSeparator = true;
        } else {
            endsWithSeparator = false;
        }
        ++i;
    }
    if (endsWithSeparator) {
        // A lead byte at the end counts as the final separator; the earlier
        // separator is then the last one found.
        const bool trailingLead = last == std::string::npos || last + 1 != len;
        const size_t earlier = trailingLead ? last : previous;
        if (earlier != std::string::npos) path.resize(earlier + 1);
        else path.resize(len);
        return;
    }
    if (last != std::string::npos) {
        path.resize(last + 1);
        return;
    }
    path.resize(len);
    path += '\\';
}
