#include "platform/Platform.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace platform {
namespace {

// Converts with iconv; an invalid or cut sequence becomes U+FFFD and the walk
// goes on one byte later, so a damaged string still shows what it can.
std::string Convert(const char* from, std::string_view text) {
    iconv_t cd = iconv_open("UTF-8", from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(text);
    std::string out;
    std::vector<char> buf(text.size() * 4 + 16);
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    while (inLeft > 0) {
        char* o = buf.data();
        size_t oLeft = buf.size();
        size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
        out.append(buf.data(), o);
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG) continue;
            out += "\xEF\xBF\xBD";
            ++in;
            --inLeft;
        }
    }
    iconv_close(cd);
    return out;
}

}  // namespace

std::optional<std::string> Utf8ToGbk(std::string_view utf8) {
    iconv_t cd = iconv_open("CP936", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out;
    std::vector<char> buf(utf8.size() * 2 + 16);
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size();
    bool ok = true;
    while (inLeft > 0) {
        char* o = buf.data();
        size_t oLeft = buf.size();
        size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
        out.append(buf.data(), o);
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            ok = false;
            break;
        }
    }
    iconv_close(cd);
    if (!ok) return std::nullopt;
    return out;
}

std::string GbkToUtf8(std::string_view gbk) { return Convert("CP936", gbk); }
std::string SjisToUtf8(std::string_view sjis) { return Convert("CP932", sjis); }

}  // namespace platform
