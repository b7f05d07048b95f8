// The wallpapers of the wallpaper room and their export: ten guest pictures,
// each in four screen sizes, written as 32-bit Windows bitmaps into the
// `wallpaper` folder of the current directory.
#pragma once

#include "app/SafeWrite.h"
#include "platform/Platform.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CDib;

namespace frontend {

inline constexpr int kWallpapers = 10;
inline constexpr int kWallpaperSizes = 4;

// "800x600", "1024x768", "1280x960", "1280x1024": one per size column.
extern const std::array<const char*, kWallpaperSizes> g_wallpaperSizes;

// The picture of wallpaper row 1..10 in size column 0..3: "guest001.bmp",
// "guest001a.bmp", "guest001b.bmp", "guest001c.bmp", ... "guest010c.bmp".
std::string WallpaperPicture(int row, int column);

// The bitmap file of an image: the 54-byte headers, then the rows bottom
// up, four bytes a pixel as the surface stores them. Nothing when the file
// would not fit the header's 32-bit size.
std::vector<std::uint8_t> EncodeBmp32(const CDib& image);

// Writes `image` as a bitmap file under `name` through a temporary file, so
// that a failure leaves whatever stood there before.
WriteResult SaveDibAsBmp(platform::WindowHandle window, const CDib& image, std::string_view name,
                         const WriteFault& fault = {});

// Makes every missing folder of `path` ('\' or '/' between levels; the one
// after a drive's colon belongs to the root). True when every level is a
// folder afterwards, also for an empty path; false when a level is a file or
// cannot be made.
bool CreateFolderTreeEx(std::string_view path);

enum class ExportResult : std::uint8_t { Written, PictureMissing, FolderFailed, WriteFailed };

// Exports row 1..10 in size column 0..3 as "<size><row's first name>" into
// the wallpaper folder, and tells the player in the window where it went, or
// what failed. A failure writes nothing.
ExportResult ExportWallpaper(int row, int column, const WriteFault& fault = {});

} // namespace frontend
