// Opcodes that load pictures into the work surfaces, the character sprite
// slots and the sprite layers, recolour surfaces, set the message-window
// style and redraw the window area.
#include "scenario/Scenario.h"

#include "app/Config.h"
#include "app/GameApp.h"
#include "app/Shell.h"
#include "data/PathTable.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "gfx/GlyphFont.h"
#include "scenario/CgNames.h"
#include "scenario/SurfaceHelpers.h"
#include "scenario/TextRules.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>

namespace {

using scenario_surfaces::Folder;
using scenario_surfaces::NewSurface;
using scenario_surfaces::ScreenCopyOf;

constexpr platform::Rect kFullScreen{0, 0, 800, 600};

std::string_view FileNamePart(std::string_view name) {
    const std::size_t slash = name.find_last_of("\\/");
    return slash == std::string_view::npos ? name : name.substr(slash + 1);
}

void SetName(NameString& field, std::string_view name) {
    field.fill(0);
    std::copy_n(name.begin(), std::min(name.size(), field.size() - 1), field.begin());
}

void MarkCgSeen(std::string_view name) {
    if (const auto entry = FindCgEntry(name)) g_config[config::kCgFlags + *entry] = 1;
}

std::unique_ptr<CDib> LoadPicture(platform::WindowHandle window, const std::string& path) {
    auto dib = std::make_unique<CDib>();
    dib->LoadFile(window, path.c_str());
    return dib;
}

void CopyWhole(CDib* dst, int x, int y, const CDib* src) {
    if (dst && src) BltCopy(dst, x, y, src, 0, 0, src->GetWidth(), src->GetHeight());
}

void AlphaWhole(CDib* dst, int x, int y, const CDib* src) {
    if (dst && src) BltAlpha(dst, x, y, src, 0, 0, src->GetWidth(), src->GetHeight());
}

void RenewBackup(platform::WindowHandle window, const CDib* from) {
    g_backupSurface = ScreenCopyOf(window, from);
}

void SetSurfaceName(int k, std::string_view name) {
    if (g_gameApp && k >= 0 && k < static_cast<int>(g_gameApp->surfaceNames.size()))
        SetName(g_gameApp->surfaceNames[static_cast<std::size_t>(k)], name);
}

void DeleteLayerPictures() {
    for (auto& p : g_layerImages)
        p.reset();
}

} // namespace

void CScenario::LoadSystemPictures() {
    const std::string system = Folder(kDataSystem);
    g_msgWindowBase = LoadPicture(hwnd, system + "window.bmp");
    g_waitIcon = LoadPicture(hwnd, system + "c_wait.bmp");
    g_clickWaitIcon = LoadPicture(hwnd, system + "click_wait01.bmp");
    g_choiceBase = LoadPicture(hwnd, system + "select_base.bmp");
    MakeWindowTextSurface();
    g_titleIcon = LoadPicture(hwnd, system + "T_ICON.bmp");
    g_gaijiSheet = LoadPicture(hwnd, system + "gaiji.bmp");
    g_obiImage = LoadPicture(hwnd, system + "obi.bmp");
    g_dayImage = LoadPicture(hwnd, system + "day.bmp");
    g_day2Image = LoadPicture(hwnd, system + "day2.bmp");
    g_msgWindowButtons = LoadPicture(hwnd, system + "window_p.bmp");
    g_choicePlate = LoadPicture(hwnd, system + "select_p.bmp");
    g_blackImage = LoadPicture(hwnd, system + "black.bmp");
}

void CScenario::MakeWindowTextSurface() {
    const CDib* base = g_msgWindowBase.get();
    g_msgWindowText = NewSurface(hwnd, base ? base->GetWidth() : 0, base ? base->GetHeight() : 0);
    CopyWhole(g_msgWindowText.get(), 0, 0, base);
}

void CScenario::InitParticles() {
    const std::uint32_t width =
        static_cast<std::uint32_t>(particleRect.right - particleRect.left) + 1u;
    const std::uint32_t height =
        static_cast<std::uint32_t>(particleRect.bottom - particleRect.top) + 1u;
    auto randTimesClock = [] {
        return static_cast<std::uint32_t>(platform::Rand()) * platform::TimeGetTime();
    };
    for (int g = 0; g < kParticleGroups; ++g) {
        for (int i = 0; i < kParticlesPerGroup / 2; ++i) {
            Particle& p = particles[g][i];
            p.x = static_cast<std::int32_t>(randTimesClock() % (width ? width : 1u) +
                                            static_cast<std::uint32_t>(particleRect.left));
            p.y = static_cast<std::int32_t>(randTimesClock() % (height ? height : 1u) +
                                            static_cast<std::uint32_t>(particleRect.top));
            p.step = static_cast<std::int32_t>(randTimesClock() % 3u) - 1;
            const std::uint32_t r = randTimesClock();
            p.speed = static_cast<std::int32_t>(g == 0   ? r % 2u + 3
                                                : g == 1 ? r % 3u + 4
                                                         : r % 3u + 6);
            p.state = 0;
        }
    }
}

// ---------------------------------------------------------------- work surfaces

std::uint32_t CScenario::OpLoadImage(std::uint32_t at) {
    const int k = SByte(at + 2);
    const std::string_view name = StringOperand(at);
    ClearCharSlots(kCharSlots);
    colorEffect = 0;
    letterbox = 0;
    SetSurfaceName(k, FileNamePart(name));
    MarkCgSeen(name);
    cdib[k] = LoadPicture(hwnd, Folder(kDataBmp) + std::string(name));
    if (k == 1) {
        RenewBackup(hwnd, cdib[1].get());
        g_fullPage = ScreenCopyOf(hwnd, cdib[1].get());
    }
    blendColor = 0;
    blackOverlay = 0;
    SetMode(2);
    return NextRecord(at);
}

std::uint32_t CScenario::OpLoadBackground(std::uint32_t at) {
    const int k = Byte(at + 2);
    const std::string_view name = StringOperand(at);
    ClearCharSlots(kCharSlots);
    DeleteLayerPictures();
    colorEffect = 0;
    letterbox = 1;
    SetSurfaceName(k, FileNamePart(name));
    cdib[k] = LoadPicture(hwnd, Folder(kDataBmp) + std::string(name));
    CDib* surface = cdib[k].get();
    if (particlesOn) {
        particleRect = kFullScreen;
        InitParticles();
        InitParticles();
    }
    if (k == 1) g_fullPage = ScreenCopyOf(hwnd, surface);
    if (const CDib* band = g_obiImage.get()) {
        CopyWhole(g_fullPage.get(), 0, 0, band);
        CopyWhole(surface, 0, 0, band);
        const int h = band->GetHeight();
        if (h > 0) surface->FillRect(0, 600 - h, 800, h, 0);
    }
    if (dayNumber >= 1 && dayNumber < 30) {
        const int row = dayNumber - 1;
        if (g_dayImage) BltAlpha(surface, 6, 16, g_dayImage.get(), 0, row * 28, 165, 28);
        if (g_day2Image) BltAlpha(surface, 20, 45, g_day2Image.get(), 0, row * 10, 70, 10);
    }
    if (k == 1) RenewBackup(hwnd, surface);
    blendColor = 0;
    blackOverlay = 0;
    SetMode(2);
    return NextRecord(at);
}

std::uint32_t CScenario::OpRestoreBackup(std::uint32_t at) {
    const std::uint16_t variant = Word(at + 6);
    if (g_backupSurface) {
        if (variant == 1) {
            std::string name;
            if (g_gameApp) name.assign(g_gameApp->surfaceNames[1].data());
            g_backupSurface = LoadPicture(hwnd, Folder(kDataBmp) + name);
            CopyWhole(cdib[0].get(), 0, 0, g_backupSurface.get());
            CopyWhole(g_backBuffer.get(), 0, 0, g_backupSurface.get());
        } else {
            cdib[1] = ScreenCopyOf(hwnd, g_backupSurface.get());
        }
    }
    ClearCharSlots(10);
    DeleteLayerPictures();
    colorEffect = 0;
    blackOverlay = 0;
    blendColor = 0;
    particleRect = kFullScreen;
    SetMode(2);
    return NextRecord(at);
}

std::uint32_t CScenario::OpFillBackground(std::uint32_t at) {
    const int k = Byte(at + 2);
    const std::uint32_t colour = Dword(at + 4);
    cdib[k] = NewSurface(hwnd, 800, 600);
    fillColor = colour;
    cdib[k]->FillRect(0, 0, 800, 600, colour);
    if (k == 1) RenewBackup(hwnd, cdib[1].get());
    ClearCharSlots(kCharSlots);
    colorEffect = 0;
    SetSurfaceName(k, "\x01");
    blendColor = 0;
    blackOverlay = 0;
    particleRect = kFullScreen;
    SetMode(2);
    return NextRecord(at);
}

std::uint32_t CScenario::OpColorBlend(std::uint32_t at) {
    if (cdib[1]) {
        const std::uint32_t a = Byte(at + 4);
        blendColor = a << 24 | static_cast<std::uint32_t>(Byte(at + 5)) << 16 |
                     static_cast<std::uint32_t>(Byte(at + 6)) << 8 | Byte(at + 7);
        auto colour = NewSurface(hwnd, 800, 600);
        colour->FillRect(0, 0, 800, 600, blendColor);
        BltStretchBlend(cdib[1].get(), 0, 0, 800, 600, colour.get(), 0, 0, 0, 800, 600,
                        static_cast<int>(a));
        blackOverlay = 0;
    }
    SetMode(2);
    return NextRecord(at);
}

std::uint32_t CScenario::OpCopyRect(std::uint32_t at) {
    CDib* dst = cdib[Byte(at + 2)].get();
    const CDib* src = cdib[Byte(at + 8)].get();
    if (dst && src)
        BltCopy(dst, SWord(at + 4), SWord(at + 6), src, SWord(at + 12), SWord(at + 14),
                SWord(at + 16), SWord(at + 18));
    SetMode(2);
    return NextRecord(at);
}

std::uint32_t CScenario::OpBlankLayer(std::uint32_t at) {
    cdib[Byte(at + 2)] = NewSurface(hwnd, Word(at + 4), Word(at + 6));
    SetMode(2);
    return NextRecord(at);
}

std::uint32_t CScenario::OpBlackOverlay(std::uint32_t at) {
    const int k = Byte(at + 2);
    cdib[k] = ScreenCopyOf(hwnd, g_backupSurface.get());
    AlphaWhole(cdib[k].get(), 0, 0, g_blackImage.get());
    blackOverlay = 1;
    blendColor = 0;
    SetMode(2);
    return NextRecord(at);
}

// ---------------------------------------------------------------- character sprites

std::uint32_t CScenario::OpSetCharSprite(std::uint32_t at) {
    const int s = Byte(at + 2);
    const std::string_view name = StringOperand(at);
    if (g_gameApp) {
        SetName(g_gameApp->charNames[s], name);
        g_gameApp->charCentreX[s] = 0;
        g_gameApp->charShown[s] = 0;
        g_gameApp->charParams[s] = 0;
    }
    g_charFrames[s] = LoadPicture(hwnd, Folder(kDataChara) + std::string(name));
    SetMode(2);
    return NextRecord(at);
}

std::uint32_t CScenario::SetScrCharSet(std::uint32_t at) {
    const int s = Byte(at + 2);
    const std::uint8_t face = Byte(at + 3);
    const std::int16_t x = SWord(at + 4);
    const std::int16_t y = SWord(at + 6);
    lastCharX = x;
    lastCharY = y;
    SetMode(2);
    const CDib* picture = g_charFrames[s].get();
    if (!picture) {
        platform::Tell("Not Base", "Error", platform::BoxIcon::None);
        return NextRecord(at);
    }
    if (!cdib[1]) platform::Tell("Not cdib[1]", "Error:SetScrCharSet", platform::BoxIcon::None);
    if (g_gameApp) {
        g_gameApp->charCentreX[s] = x;
        g_gameApp->charShown[s] = 1;
        g_gameApp->charParams[s] = face;
    }
    AlphaWhole(cdib[1].get(), x - picture->GetWidth() / 2, y, picture);
    return NextRecord(at);
}

std::uint32_t CScenario::SetFaceFrame(std::uint32_t at) {
    const int s = Byte(at + 2);
    const int f = Byte(at + 3);
    currentLayer = static_cast<std::uint8_t>(s);
    effectType = static_cast<std::uint8_t>(f);
    effectDuration = Dword(at + 4);
    SetMode(39);
    const CDib* picture = cdib[s].get();
    if (!picture) {
        platform::Tell("Not Frame", "Error:SetScrCharSet", platform::BoxIcon::None);
        return NextRecord(at);
    }
    if (g_gameApp) {
        g_gameApp->charCentreX[s] = lastCharX;
        g_gameApp->charShown[s] = 1;
        g_gameApp->charParams[s] = static_cast<std::uint8_t>(f);
    }
    const int left = lastCharX - picture->GetWidth() / 2;
    AlphaWhole(cdib[1].get(), left, lastCharY, picture);
    const CDib* faces = g_faceFrames[s].get();
    if (!faces) {
        platform::Tell("Not FaceFrame", "Error:SetScrCharSet", platform::BoxIcon::None);
        return NextRecord(at);
    }
    if (cdib[1])
        BltAlpha(cdib[1].get(), left + 174, lastCharY + 146, faces, (f % 5) * 40, (f / 5) * 43, 40,
                 43);
    return NextRecord(at);
}

// ---------------------------------------------------------------- layers

std::uint32_t CScenario::OpLoadLayerImage(std::uint32_t at) {
    const int n = Byte(at + 2);
    const std::string_view name = StringOperand(at);
    MarkCgSeen(name);
    g_layerImages[n] = LoadPicture(hwnd, Folder(kDataBmp) + std::string(name));
    SetMode(2);
    return NextRecord(at);
}

std::uint32_t CScenario::OpLoadLayerImageNoCg(std::uint32_t at) {
    const int n = Byte(at + 2);
    g_layerImages[n] = LoadPicture(hwnd, Folder(kDataChara) + std::string(StringOperand(at)));
    SetMode(2);
    return NextRecord(at);
}

std::uint32_t CScenario::OpLayerMask(std::uint32_t at) {
    currentLayer = Byte(at + 2);
    LayerSlot& s = layers[currentLayer];
    const std::uint8_t mask = Byte(at + 3);
    layerMaskWipe = mask;
    for (int i = 0; i < 4; ++i) {
        s.startRect[i] = s.rect[i] = SWord(at + 4 + 2 * i);
        s.startSrc[i] = s.src[i] = SWord(at + 12 + 2 * i);
    }
    s.fixedAngle = Dword(at + 20);
    s.startAngle = s.angle = Dword(at + 24);
    s.delay = Dword(at + 28);
    if (mask != 0) {
        cdib[1] = NewSurface(hwnd, 800, 600);
        g_maskImage = std::make_unique<CDib>();
        if (mask <= 28) {
            char file[16];
            std::snprintf(file, sizeof file, "mask%02d.bmp", mask <= 20 ? mask : mask + 9);
            g_maskImage->LoadFile(hwnd, (Folder(kDataBmp) + file).c_str());
        }
    }
    SetMode(2);
    return NextRecord(at);
}

std::uint32_t CScenario::OpResetLayers(std::uint32_t at) {
    layerMaskWipe = 0;
    layers.fill(LayerSlot{});
    DeleteLayerPictures();
    windowShown = 0;
    FullRedraw();
    g_fullPage = ScreenCopyOf(hwnd, cdib[0].get());
    SetMode(2);
    return NextRecord(at);
}

std::uint32_t CScenario::OpBakeLayers(std::uint32_t at) {
    const int last = SByte(at + 2);
    for (int i = 0; i <= last; ++i) {
        const CDib* picture = g_layerImages[static_cast<std::size_t>(i)].get();
        if (!picture) continue;
        const LayerSlot& s = layers[static_cast<std::size_t>(i)];
        const double degrees = static_cast<double>(s.alphaPhase + s.alphaSweep);
        const double x = std::sin(degrees * std::numbers::pi / 180.0) * s.alphaTarget;
        // The blits read only the low 16 bits, so a negative opacity would
        // come out as a full one: it draws nothing. From 256 on every
        // opacity is a plain copy, which 256 stands for.
        auto clampOpacity = [](double v) {
            return static_cast<int>(std::clamp(std::trunc(v), 0.0, 256.0));
        };
        if (picture->GetBitCount() == 32) {
            if (cdib[0])
                BltStretchAlphaBlend(cdib[0].get(), s.rect[0], s.rect[1], s.rect[2], s.rect[3],
                                     picture, s.src[0], s.src[1], s.src[2], s.src[3],
                                     clampOpacity(x - 1));
        } else {
            const int opacity = clampOpacity(x);
            for (CDib* dst : {g_backBuffer.get(), cdib[0].get()})
                if (dst)
                    BltStretchBlend(dst, s.rect[0], s.rect[1], s.rect[2], s.rect[3], picture, 0,
                                    s.src[0], s.src[1], s.src[2], s.src[3], opacity);
        }
    }
    SetMode(2);
    return NextRecord(at);
}

// ---------------------------------------------------------------- band

std::uint32_t CScenario::OpCloudNoise(std::uint32_t at) {
    bandKind = Byte(at + 2);
    bandPos = 0;
    bandStart = 0;
    if (bandKind == 1 || bandKind == 2) {
        g_bandImage.reset();
        g_bandImage =
            LoadPicture(hwnd, Folder(kDataBmp) + (bandKind == 1 ? "noise.bmp" : "cloud.bmp"));
    }
    bandStart = platform::TimeGetTime();
    SetMode(2);
    return NextRecord(at);
}

// ---------------------------------------------------------------- message window

std::uint32_t CScenario::SetWindowStyle(std::uint32_t at) {
    const std::uint8_t style = Byte(at + 2);
    messageStyle = style;
    const std::string system = Folder(kDataSystem);
    g_msgWindowBase.reset();
    g_msgWindowButtons.reset();
    g_clickWaitIcon.reset();
    if (style == 1) {
        g_fullPage = ScreenCopyOf(hwnd, g_backBuffer.get());
        g_msgWindowBase = LoadPicture(hwnd, system + "window3.bmp");
        g_msgWindowButtons = LoadPicture(hwnd, system + "window_p3.bmp");
        g_clickWaitIcon = LoadPicture(hwnd, system + "click_wait01.bmp");
        if (g_glyphFont) g_glyphFont->SetFont(23, 1);
        penX = 712;
        pageLines = 0;
    } else {
        g_msgWindowBase = LoadPicture(hwnd, system + "window.bmp");
        g_msgWindowButtons = LoadPicture(hwnd, system + "window_p.bmp");
        g_clickWaitIcon = LoadPicture(hwnd, system + "click_wait01.bmp");
        if (g_glyphFont) g_glyphFont->SetFont(style == 2 ? 23 : 26, 0);
    }
    if (style == 0 || style == 1) MakeWindowTextSurface();
    if (style == 1) {
        FullRedraw();
        SetMode(37);
    } else {
        SetMode(2);
    }
    return NextRecord(at);
}

std::uint32_t CScenario::OpRedrawWithWindow(std::uint32_t at) {
    penX = 712;
    pageLines = 0;
    CDib* background = cdib[0].get();
    CopyWhole(background, 0, 0, g_screenSnapshot.get());
    AlphaWhole(background, 0, 0, g_msgWindowBase.get());
    CopyWhole(g_backBuffer.get(), 0, 0, background);
    auto lit = [&](int button) {
        const Area& cell = buttonCells1[static_cast<std::size_t>(button)];
        const platform::Rect& place = buttonDraws1[static_cast<std::size_t>(button)];
        if (g_backBuffer && g_msgWindowButtons)
            BltAlpha(g_backBuffer.get(), place.left, place.top, g_msgWindowButtons.get(), cell.x,
                     cell.y + cell.height - 1, cell.width, cell.height);
    };
    if (skipMode == 1) lit(0);
    if (autoMode == 1) lit(1);
    FullRedraw();
    SetMode(2);
    return NextRecord(at);
}

std::uint32_t CScenario::OpEraseWindow(std::uint32_t at) {
    windowShown = 0;
    const int w = g_msgWindowText ? g_msgWindowText->GetWidth() : 0;
    const int h = g_msgWindowText ? g_msgWindowText->GetHeight() : 0;
    if (g_backBuffer && cdib[0]) BltCopy(g_backBuffer.get(), 0, 461, cdib[0].get(), 0, 461, w, h);
    const platform::Rect area{0, 461, w, 461 + h};
    if (g_gameApp) g_gameApp->screenRect = area;
    InvalidateRect(hwnd, area);
    SetMode(2);
    return NextRecord(at);
}

std::uint32_t CScenario::OpFullPage(std::uint32_t at) {
    g_fullPage = ScreenCopyOf(hwnd, cdib[1].get());
    g_screenSnapshot = ScreenCopyOf(hwnd, cdib[1].get());
    AlphaWhole(cdib[1].get(), 0, 0, g_msgWindowBase.get());
    if (pageLines >= 1) DrawFullPageText(cdib[1].get());
    SetMode(2);
    return NextRecord(at);
}

void CScenario::DrawFullPageText(CDib* page, std::size_t lastEntryBytes, int* lastEntryX) {
    if (!g_gameApp) return;
    constexpr int kColumnBytes = 46;
    constexpr std::uint32_t kWhite = 0xFFFFFF;
    const int count = std::clamp(g_gameApp->logCount, 0, kLogEntries);
    const int first = std::max(0, count - static_cast<int>(pageLines));
    int x = 712;
    for (int k = first; k < count; ++k) {
        const auto& entry = g_gameApp->logText[static_cast<std::size_t>(k)];
        std::string_view text(entry.data(), strnlen(entry.data(), entry.size()));
        if (k == count - 1) {
            text = text.substr(0, std::min(text.size(), lastEntryBytes));
            if (lastEntryX) *lastEntryX = x;
        }
        int y = 16;
        int columnBytes = 0;
        auto newColumn = [&] {
            x -= 42;
            y = 16;
            columnBytes = 0;
        };
        auto draw = [&](std::size_t at) {
            return g_glyphFont
                       ? g_glyphFont->DrawCharGray4(page, x, y - 19, text.substr(at), kWhite)
                       : 0;
        };
        std::size_t i = 0;
        while (i < text.size()) {
            const std::string_view rest = text.substr(i);
            if (rest[0] == '#') {
                i = std::max(ParseTextTag(text, i), i + 1);
                continue;
            }
            if (rest[0] == '<') {
                if (rubyOpen) {
                    rubyEnd = static_cast<std::uint16_t>(y);
                    i = std::max(DrawRubyInto(text, i, page), i + 1);
                    rubyOpen = 0;
                } else {
                    rubyStart = static_cast<std::uint16_t>(y - 17);
                    rubyLine = static_cast<std::int16_t>(x + 43);
                    rubyOpen = 1;
                    ++i;
                }
                continue;
            }
            if (IsPageMark(rest)) {
                i += 2;
                continue;
            }
            if (IsLineBreakMark(rest)) {
                newColumn();
                i += 2;
                continue;
            }
            y += draw(i);
            if (IsLeadByte(rest) && rest.size() >= 2) {
                columnBytes += 2;
                i += 2;
                // An icon marker after a character: 81 E8 and two digits.
                const std::string_view after = text.substr(i);
                if (after.size() >= 4 && static_cast<std::uint8_t>(after[0]) == 0x81 &&
                    static_cast<std::uint8_t>(after[1]) == 0xE8 && after[2] >= '0' &&
                    after[2] <= '9' && after[3] >= '0' && after[3] <= '9') {
                    y += 24;
                    const int tile = (10 * (after[2] - '0') + (after[3] - '0')) % 256;
                    if (page && g_gaijiSheet)
                        BltAlpha(page, x - 2, y - 21, g_gaijiSheet.get(), 24 * tile, 0, 24, 24);
                    i += 4;
                    columnBytes += 4;
                }
                if (columnBytes >= kColumnBytes) {
                    if (IsKinsokuChar(text.substr(i))) {
                        draw(i);
                        i += 2;
                    }
                    newColumn();
                }
            } else {
                ++i;
                if (++columnBytes >= kColumnBytes) newColumn();
            }
        }
        if (y == 16) {
            penX = static_cast<std::int16_t>(x);
            penY = 558;
        } else {
            x -= 42;
            penX = static_cast<std::int16_t>(x);
            penY = static_cast<std::int16_t>(y);
        }
    }
}
