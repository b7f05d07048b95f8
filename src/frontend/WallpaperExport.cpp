#include "frontend/WallpaperExport.h"

#include "gfx/Dib.h"

#include <cstdio>
#include <limits>

namespace frontend {

namespace {

constexpr std::uint32_t kHeaderBytes = 54;
constexpr std::uint32_t kInfoBytes = 40;

// "…内にＷａｌｌＰａｐｅｒフォルダーが作成されました。…壁紙にお使いください。",
// after the current directory.
constexpr char kExported[] =
    "\xC4\xDA\xA4\xCB\xA3\xD7\xA3\xE1\xA3\xEC\xA3\xEC\xA3\xD0\xA3\xE1\xA3\xF0\xA3\xE5\xA3\xF2"
    "\xA5\xD5\xA5\xA9\xA5\xEB\xA5\xC0\xA9\x60\xA4\xAC\xD7\xF7\xB3\xC9\xA4\xB5\xA4\xEC\xA4\xDE"
    "\xA4\xB7\xA4\xBF\xA1\xA3\xA5\xD5\xA5\xA9\xA5\xEB\xA5\xC0\xA9\x60\xC4\xDA\xA4\xCB\xA3\xE2"
    "\xA3\xED\xA3\xF0\xA5\xD5\xA5\xA1\xA5\xA4\xA5\xEB\xA4\xAC\xD7\xF7\xB3\xC9\xA4\xB5\xA4\xEC"
    "\xA4\xDE\xA4\xB7\xA4\xBF\xA1\xA3\xB1\xDA\xBC\x88\xA4\xCB\xA4\xAA\xCA\xB9\xA4\xA4\xA4\xAF"
    "\xA4\xC0\xA4\xB5\xA4\xA4\xA1\xA3";
constexpr char kCannotLoad[] = "\xCE\xDE\xB7\xA8\xB6\xC1\xC8\xA1\xB1\xDA\xD6\xBD\xCD\xBC\xC6\xAC"
                               "\xA3\xBA"; // 无法读取壁纸图片：
constexpr char kCannotMakeFolder[] = "\xCE\xDE\xB7\xA8\xB4\xB4\xBD\xA8\xB1\xDA\xD6\xBD\xCE\xC4\xBC"
                                     "\xFE\xBC\xD0\xA3\xBA"; // 无法创建壁纸文件夹：
constexpr char kCannotWrite[] = "\xCE\xDE\xB7\xA8\xD0\xB4\xC8\xEB\xB1\xDA\xD6\xBD\xCE\xC4\xBC\xFE"
                                "\xA3\xBA"; // 无法写入壁纸文件：

void Put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    out[at] = static_cast<std::uint8_t>(v);
    out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    Put16(out, at, v & 0xFFFF);
    Put16(out, at + 2, v >> 16);
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// A level of the tree: a folder already, or made now.
bool EnsureFolder(std::string_view path) {
    switch (platform::GetPathKind(path)) {
    case platform::PathKind::Directory:
        return true;
    case platform::PathKind::File:
        return false;
    case platform::PathKind::Missing:
        return platform::MakeDirectory(path);
    }
    return false;
}

// A path as the player reads it: native separators, GBK for the window.
std::string Shown(std::string path) {
    for (char& c : path)
        if (c == '\\') c = '/';
    return platform::Utf8ToGbk(path).value_or(path);
}

void TellFailure(const char* what, const std::string& path) {
    platform::Tell(std::string(what) + Shown(path), "", platform::BoxIcon::Error);
}

} // namespace

const std::array<const char*, kWallpaperSizes> g_wallpaperSizes{"800x600", "1024x768", "1280x960",
                                                                "1280x1024"};

std::string WallpaperPicture(int row, int column) {
    static constexpr std::array<const char*, kWallpaperSizes> kSuffix{"", "a", "b", "c"};
    char name[32];
    std::snprintf(name, sizeof name, "guest%03d%s.bmp", row, kSuffix[column & 3]);
    return name;
}

std::vector<std::uint8_t> EncodeBmp32(const CDib& image) {
    const auto w = static_cast<std::uint64_t>(image.GetWidth());
    const auto h = static_cast<std::uint64_t>(image.GetHeight());
    const std::uint64_t size = w * h * 4 + kHeaderBytes;
    if (size > std::numeric_limits<std::uint32_t>::max()) return {};
    std::vector<std::uint8_t> out(static_cast<std::size_t>(size), 0);
    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 2, static_cast<std::uint32_t>(size));
    Put32(out, 10, kHeaderBytes);
    Put32(out, 14, kInfoBytes);
    Put32(out, 18, static_cast<std::uint32_t>(w));
    Put32(out, 22, static_cast<std::uint32_t>(h));
    Put16(out, 26, 1);
    Put16(out, 28, 32);
    std::size_t at = kHeaderBytes;
    for (std::uint64_t y = h; y-- > 0;)
        for (std::uint64_t x = 0; x < w; ++x) {
            Put32(out, at, image.GetPixel(static_cast<int>(x), static_cast<int>(y)));
            at += 4;
        }
    return out;
}

WriteResult SaveDibAsBmp(platform::WindowHandle, const CDib& image, std::string_view name,
                         const WriteFault& fault) {
    const std::vector<std::uint8_t> bytes = EncodeBmp32(image);
    const std::optional<std::string> path = platform::ResolveForWrite(name);
    if (bytes.empty() || !path) return WriteResult::OpenFailed;
    return ReplaceFileSafely(*path, bytes, fault);
}

bool CreateFolderTreeEx(std::string_view path) {
    for (std::size_t i = 1; i < path.size(); ++i)
        if (IsSeparator(path[i]) && path[i - 1] != ':' && !IsSeparator(path[i - 1]) &&
            !EnsureFolder(path.substr(0, i)))
            return false;
    return path.empty() || EnsureFolder(path);
}

ExportResult ExportWallpaper(int row, int column, const WriteFault& fault) {
    const std::string picture = WallpaperPicture(row, column);
    CDib image;
    if (!image.LoadFile(platform::WindowHandle::Main, ("bmp\\" + picture).c_str()) ||
        image.GetWidth() == 0 || image.GetHeight() == 0) {
        TellFailure(kCannotLoad, "bmp/" + picture);
        return ExportResult::PictureMissing;
    }
    const std::string here = platform::CurrentDirectory();
    const std::string folder = here + "\\wallpaper";
    if (!CreateFolderTreeEx(folder)) {
        TellFailure(kCannotMakeFolder, folder);
        return ExportResult::FolderFailed;
    }
    const std::string file =
        folder + "\\" + g_wallpaperSizes[column & 3] + WallpaperPicture(row, 0);
    if (SaveDibAsBmp(platform::WindowHandle::Main, image, file, fault) != WriteResult::Ok) {
        TellFailure(kCannotWrite, file);
        return ExportResult::WriteFailed;
    }
    platform::Tell(Shown(here) + kExported, "", platform::BoxIcon::None);
    return ExportResult::Written;
}

} // namespace frontend
