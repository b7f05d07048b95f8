#include "gfx/TestScenes.h"

#include "gfx/Blend.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "gfx/GlyphFont.h"
#include "gfx/Transition.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

// The scenes draw their own pictures and blit with the surface blits, except
// for two local loops whose arithmetic none of those has (the opacity alpha
// blit and the float turn-and-scale); none of this is game behaviour, only
// something to look at.

namespace {

using Surface = std::unique_ptr<CDib>;
constexpr std::uint32_t kKey = 0x0000FF00u; // pure green, the colour key
constexpr double kPi = 3.14159265358979323846;

std::uint32_t Rgb(int r, int g, int b, int a = 0) {
    auto c = [](int v) { return static_cast<std::uint32_t>(std::clamp(v, 0, 255)); };
    return (c(a) << 24) | (c(r) << 16) | (c(g) << 8) | c(b);
}

Surface MakeSurface(int w, int h, const std::function<std::uint32_t(int, int)>& pixel) {
    auto dib = std::make_unique<CDib>();
    dib->Create(platform::WindowHandle::None, w, h, 24);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            *dib->GetPixelPtr(x, y) = pixel(x, y);
    return dib;
}

Surface Clone(const CDib& src) {
    return MakeSurface(src.GetWidth(), src.GetHeight(),
                       [&src](int x, int y) { return *src.GetPixelPtr(x, y); });
}

std::uint32_t Hash(std::uint32_t v) {
    v ^= v >> 16;
    v *= 0x7FEB352Du;
    v ^= v >> 15;
    v *= 0x846CA68Bu;
    return v ^ (v >> 16);
}

// Four sceneries to fade between: sky, night town, field, stripes.
Surface MakeScenery(int variant) {
    switch (variant & 3) {
    case 0:
        return MakeSurface(800, 600, [](int x, int y) {
            const int dx = x - 560, dy = y - 170;
            if (dx * dx + dy * dy < 70 * 70) return Rgb(255, 230, 140);
            const int hill = 430 + static_cast<int>(40 * std::sin(x / 90.0));
            if (y > hill) return Rgb(60 + y / 12, 130 - (y - hill) / 4, 60);
            return Rgb(250 - y / 3, 150 + y / 6, 110 + y / 5);
        });
    case 1:
        return MakeSurface(800, 600, [](int x, int y) {
            const int dx = x - 180, dy = y - 120;
            if (dx * dx + dy * dy < 45 * 45) return Rgb(235, 235, 210);
            const int block = x / 60;
            const int roof = 330 + static_cast<int>(Hash(static_cast<std::uint32_t>(block)) % 160);
            if (y > roof) {
                const bool window = (x % 60) > 12 && (x % 60) < 48 && ((y - roof) % 30) < 14 &&
                                    Hash(static_cast<std::uint32_t>(x / 12 + y * 131)) % 3 == 0;
                return window ? Rgb(250, 220, 120) : Rgb(30, 30, 50 + block % 3 * 10);
            }
            if (Hash(static_cast<std::uint32_t>(x * 977 + y)) % 900 == 0) return Rgb(255, 255, 255);
            return Rgb(10, 20 + y / 10, 60 + y / 6);
        });
    case 2:
        return MakeSurface(800, 600, [](int x, int y) {
            const bool check = ((x / 50) + (y / 50)) % 2 == 0;
            return check ? Rgb(90, 170 + y / 20, 80) : Rgb(60, 140 + x / 40, 50);
        });
    default:
        return MakeSurface(800, 600, [](int x, int y) {
            const int band = (x + y) / 40 % 4;
            static const std::uint32_t colours[] = {Rgb(120, 60, 160), Rgb(200, 90, 150),
                                                    Rgb(240, 200, 220), Rgb(60, 40, 100)};
            return colours[band];
        });
    }
}

// Grey masks: ramps, rings, blinds, blocks, spirals and noise.
Surface MakeMask(int index) {
    const int kind = index % 8;
    const bool invert = (index / 8) % 2 == 1;
    return MakeSurface(800, 600, [kind, invert, index](int x, int y) {
        int v = 0;
        const double dx = x - 400.0, dy = y - 300.0;
        switch (kind) {
        case 0:
            v = x * 255 / 799;
            break;
        case 1:
            v = y * 255 / 599;
            break;
        case 2:
            v = 255 - static_cast<int>(std::sqrt(dx * dx + dy * dy) * 255 / 500);
            break;
        case 3:
            v = (x + y) * 255 / 1398;
            break;
        case 4:
            v = (x % 80) * 255 / 79;
            break;
        case 5:
            v = static_cast<int>(Hash(static_cast<std::uint32_t>(x / 40 + y / 40 * 20 + index)) &
                                 0xFF);
            break;
        case 6:
            v = static_cast<int>((std::atan2(dy, dx) + kPi) / (2 * kPi) * 255);
            break;
        default:
            v = static_cast<int>(Hash(static_cast<std::uint32_t>(x + y * 800 + index)) & 0xFF);
            break;
        }
        v = std::clamp(v, 0, 255);
        if (invert) v = 255 - v;
        return Rgb(v, v, v);
    });
}

// A round figure with soft edges (per-pixel alpha) on the key colour.
Surface MakeSprite(int w, int h, std::uint32_t colour) {
    return MakeSurface(w, h, [w, h, colour](int x, int y) {
        const double nx = (x - w / 2.0) / (w / 2.0), ny = (y - h / 2.0) / (h / 2.0);
        const double d = nx * nx + ny * ny;
        if (d >= 1.0) return kKey;
        const int alpha = d > 0.8 ? static_cast<int>((1.0 - d) / 0.2 * 255) : 255;
        const int shade = static_cast<int>(60 * (1.0 - d));
        return Rgb(static_cast<int>((colour >> 16) & 0xFF) + shade,
                   static_cast<int>((colour >> 8) & 0xFF) + shade,
                   static_cast<int>(colour & 0xFF) + shade, alpha);
    });
}

// The message window: a translucent panel with an opaque border.
Surface MakeWindowFrame() {
    return MakeSurface(760, 160, [](int x, int y) {
        const bool border = x < 4 || y < 4 || x >= 756 || y >= 156;
        return border ? Rgb(230, 230, 255, 255) : Rgb(20, 30, 70, 170);
    });
}

// Per-pixel alpha at an opacity (up to 256): k = (a' * o) >> 8 (a' = 256
// for 255), at most 255; out = (S * k >> 8) + (D * (255 - k) >> 8), fourth
// byte 0.
void AlphaBlit(CDib& dst, int x0, int y0, const CDib& src, int opacity) {
    for (int y = 0; y < src.GetHeight(); ++y) {
        for (int x = 0; x < src.GetWidth(); ++x) {
            std::uint32_t* d = dst.GetPixelPtr(x0 + x, y0 + y);
            if (!d) continue;
            const std::uint32_t s = *src.GetPixelPtr(x, y);
            const std::uint32_t a = s >> 24;
            if (s == kKey || a == 0) continue;
            const std::uint32_t k = std::min<std::uint32_t>(
                ((a == 255 ? 256 : a) * static_cast<std::uint32_t>(opacity)) >> 8, 255);
            std::uint32_t out = 0;
            for (int c = 0; c < 24; c += 8) {
                const std::uint32_t v =
                    ((((s >> c) & 0xFF) * k) >> 8) + ((((*d >> c) & 0xFF) * (255 - k)) >> 8);
                out |= std::min<std::uint32_t>(v, 255) << c;
            }
            *d = out;
        }
    }
}

enum class Blit { Keyed, Plain, Alpha, Half, AlphaHalf };

void DrawBlit(Blit kind, CDib& dst, int x0, int y0, const CDib& src) {
    switch (kind) {
    case Blit::Keyed:
        dst.BltKeyed(&src, x0, y0, nullptr, nullptr, nullptr);
        break;
    case Blit::Plain:
        dst.Blt(&src, x0, y0, nullptr, nullptr, nullptr);
        break;
    case Blit::Alpha:
        AlphaBlit(dst, x0, y0, src, 256);
        break;
    case Blit::Half:
        dst.BltBlend(&src, x0, y0, 0x808080u, 0x808080u, nullptr, nullptr, nullptr);
        break;
    case Blit::AlphaHalf:
        AlphaBlit(dst, x0, y0, src, 128);
        break;
    }
}

// Nearest-neighbour turn and scale about (cx, cy), skipping the key colour.
void RotateBlit(CDib& dst, int cx, int cy, const CDib& src, double degrees, double scale) {
    const double a = degrees * kPi / 180.0;
    const double c = std::cos(a) / scale, s = std::sin(a) / scale;
    const int reach = static_cast<int>(std::hypot(src.GetWidth(), src.GetHeight()) * scale / 2) + 1;
    for (int y = cy - reach; y <= cy + reach; ++y) {
        for (int x = cx - reach; x <= cx + reach; ++x) {
            std::uint32_t* d = dst.GetPixelPtr(x, y);
            if (!d) continue;
            const double rx = x - cx, ry = y - cy;
            const int sx = static_cast<int>(std::floor(c * rx + s * ry + src.GetWidth() / 2.0));
            const int sy = static_cast<int>(std::floor(-s * rx + c * ry + src.GetHeight() / 2.0));
            const std::uint32_t* p = src.GetPixelPtr(sx, sy);
            if (p && *p != kKey) *d = *p;
        }
    }
}

void CopyAll(CDib& dst, const CDib& src) {
    dst.Blt(&src, 0, 0, nullptr, nullptr, nullptr);
}

// Seven-segment digits of filled rectangles, 12x20 each.
void DrawDigits(CDib& dst, int x, int y, int value, int count, std::uint32_t colour) {
    // Segments a b c d e f g as bits 0..6.
    static constexpr std::array<std::uint8_t, 10> kSegments = {0x3F, 0x06, 0x5B, 0x4F, 0x66,
                                                               0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    for (int i = count - 1; i >= 0; --i, value /= 10) {
        const int cx = x + i * 16;
        const std::uint8_t seg = kSegments[static_cast<std::size_t>(value % 10)];
        if (seg & 0x01) dst.FillRect(cx, y, 12, 3, colour);
        if (seg & 0x02) dst.FillRect(cx + 9, y, 3, 10, colour);
        if (seg & 0x04) dst.FillRect(cx + 9, y + 10, 3, 10, colour);
        if (seg & 0x08) dst.FillRect(cx, y + 17, 12, 3, colour);
        if (seg & 0x10) dst.FillRect(cx, y + 10, 3, 10, colour);
        if (seg & 0x20) dst.FillRect(cx, y, 3, 10, colour);
        if (seg & 0x40) dst.FillRect(cx, y + 9, 12, 3, colour);
    }
}

// A GBK string drawn character by character; returns the pen position.
int DrawText(CGlyphFont& font, CDib& dst, int x, int y, std::string_view text, std::uint32_t colour,
             std::size_t maxChars = SIZE_MAX) {
    for (std::size_t n = 0; !text.empty() && n < maxChars; ++n) {
        x += font.DrawChar(&dst, x, y, text, colour);
        text.remove_prefix(static_cast<unsigned char>(text[0]) >= 0x81 && text.size() > 1 ? 2 : 1);
    }
    return x;
}

std::uint32_t Now() {
    return platform::TimeGetTime();
}

// The font the scenes write with: the game's when there is one.
std::unique_ptr<CGlyphFont> g_sceneFont;
CGlyphFont& SceneFont() {
    if (g_glyphFont) return *g_glyphFont;
    if (!g_sceneFont) g_sceneFont = std::make_unique<CGlyphFont>(platform::CreateGlyphSource());
    return *g_sceneFont;
}

constexpr char kSampleLine[] =
    "\xCF\xC4\xC8\xD5\xB5\xC4\xCE\xE7\xBA\xF3\xA3\xAC\xBA\xA3\xB7\xE7\xC7\xE1\xC7\xE1\xB4\xB5\xB9"
    "\xFD\xD0\xA1\xD5\xF2\xA1\xA3"; // a summer afternoon, a sea breeze over the town

// ---------------------------------------------------------------- scene state

struct RainScene {
    Surface background = MakeScenery(1);
    Surface frame = MakeWindowFrame();
    Surface drop = MakeSurface(4, 18, [](int, int y) { return Rgb(200, 220, 255, 40 + y * 10); });
    Surface character = MakeSprite(180, 360, Rgb(150, 110, 90));
    struct Drop {
        int x, y0, speed;
    };
    std::vector<Drop> drops;
    std::uint32_t start = Now();
    RainScene() {
        for (int i = 0; i < 160; ++i) {
            const auto r = static_cast<std::uint32_t>(platform::Rand()) * (Now() | 1);
            drops.push_back({static_cast<int>(r % 800), static_cast<int>((r >> 8) % 600),
                             static_cast<int>(platform::Rand() % 5) + 3});
        }
    }
};

struct ViewerScene {
    enum class Phase { Load, Run, Hold } phase = Phase::Load;
    int effect = 0;
    int picture = 0;
    int progress = 0;
    std::uint32_t start = 0;
    std::array<Surface, 2> pictures = {MakeScenery(0), MakeScenery(1)};
    Surface screen = Clone(*pictures[1]); // what the effect draws into
    Surface outgoing;
    bool leftDown = false, rightDown = false;
};
constexpr std::uint32_t kViewerDuration = 2000;
constexpr std::uint32_t kViewerHold = 700;

struct ProjectionScene {
    Surface background = MakeScenery(3);
    struct Point {
        double lon, lat;
    };
    std::vector<Point> points;
    std::uint32_t start = Now();
    ProjectionScene() {
        platform::Srand(1);
        for (int i = 0; i < 96; ++i)
            points.push_back(
                {platform::Rand() % 360 * kPi / 180, (platform::Rand() % 170 - 85) * kPi / 180});
    }
};

struct RotateScene {
    std::array<Surface, 2> backgrounds = {MakeScenery(0), MakeScenery(2)};
    Surface sprite = MakeSurface(128, 128, [](int x, int y) {
        if ((x - 64) * (x - 64) + (y - 64) * (y - 64) > 60 * 60) return kKey;
        return ((x / 16 + y / 16) % 2) ? Rgb(240, 80, 60) : Rgb(250, 240, 90);
    });
    std::uint32_t start = Now();
};

struct FontScene {
    std::unique_ptr<CGlyphFont> font = std::make_unique<CGlyphFont>(platform::CreateGlyphSource());
    Surface background = MakeScenery(2);
    Surface frame = MakeWindowFrame();
    std::array<Surface, 3> sprites = {MakeSprite(150, 80, Rgb(200, 60, 60)),
                                      MakeSprite(150, 80, Rgb(60, 200, 60)),
                                      MakeSprite(150, 80, Rgb(60, 60, 200))};
};

struct MessageScene {
    Surface background = MakeScenery(0);
    Surface frame = MakeWindowFrame();
    std::array<Surface, 2> characters = {MakeSprite(200, 380, Rgb(170, 120, 100)),
                                         MakeSprite(200, 380, Rgb(100, 120, 170))};
    Surface rain = MakeSurface(800, 600, [](int x, int y) {
        const bool streak = Hash(static_cast<std::uint32_t>(x * 31 + (y / 12) * 7)) % 97 == 0;
        return streak ? Rgb(220, 230, 255, 90) : Rgb(0, 0, 0, 0);
    });
    std::uint32_t start = Now();
};

struct BlendScene {
    Surface background = MakeScenery(1);
    Surface light = MakeSurface(800, 600, [](int x, int y) {
        const double dx = x - 400.0, dy = y - 250.0;
        const int v = std::max(0, 200 - static_cast<int>(std::sqrt(dx * dx + dy * dy) / 2));
        return Rgb(v, v * 3 / 4, v / 2);
    });
    std::uint32_t start = Now();
};

struct CopyScene {
    Surface picture = MakeScenery(2);
};

struct DemoScene {
    int state = 0;
    std::uint32_t start = Now();
    std::array<Surface, 4> pictures = {MakeScenery(0), MakeScenery(1), MakeScenery(2),
                                       MakeScenery(3)};
    Surface screen = Clone(*pictures[0]);
    Surface outgoing;
    Surface glow = MakeSurface(800, 600, [](int x, int y) {
        return ((x / 100 + y / 100) % 2) ? Rgb(90, 60, 20) : Rgb(20, 40, 90);
    });
    int mask = 0;
};

std::unique_ptr<RainScene> g_rain;
std::unique_ptr<ViewerScene> g_viewer;
std::unique_ptr<ProjectionScene> g_projection;
std::unique_ptr<RotateScene> g_rotate;
std::unique_ptr<FontScene> g_font;
std::unique_ptr<MessageScene> g_message;
std::unique_ptr<BlendScene> g_blend;
std::unique_ptr<CopyScene> g_copy;
std::unique_ptr<DemoScene> g_demo;

template <typename T> T& Scene(std::unique_ptr<T>& s) {
    if (!s) s = std::make_unique<T>();
    return *s;
}

CDib* Back() {
    return g_backBuffer.get();
}

// The mask a mask effect reads in the viewer: 20 for effects 40..59, one
// each for 69 and 70.
int MaskFor(int effect) {
    if (effect >= 40 && effect <= 59) return effect - 40;
    if (effect == 69) return 20;
    if (effect == 70) return 21;
    if (effect == 32) return 2;
    return -1;
}

bool Pressed(platform::MouseButton button, bool& wasDown) {
    const bool down = platform::IsButtonDown(button);
    const bool pressed = down && !wasDown;
    wasDown = down;
    return pressed;
}

} // namespace

void TestRainScene(platform::WindowHandle) {
    if (!Back()) return;
    RainScene& s = Scene(g_rain);
    const std::uint32_t t = Now() - s.start;
    CopyAll(*Back(), *s.background);
    AlphaBlit(*Back(), 310, 200, *s.character, 256);
    for (const auto& d : s.drops) {
        const int y =
            static_cast<int>((d.y0 + t * static_cast<std::uint32_t>(d.speed) / 8) % 640) - 20;
        const int x = (d.x + y / 8) % 800;
        AlphaBlit(*Back(), x, y, *s.drop, 200);
    }
    AlphaBlit(*Back(), 20, 430, *s.frame, 256);
}

void TestTransitionScene(platform::WindowHandle) {
    if (!Back()) return;
    ViewerScene& s = Scene(g_viewer);
    if (Pressed(platform::MouseButton::Left, s.leftDown)) {
        s.effect = (s.effect + 1) % kTransitionCount;
        s.phase = ViewerScene::Phase::Load;
    }
    if (Pressed(platform::MouseButton::Right, s.rightDown)) {
        s.effect = (s.effect + kTransitionCount - 1) % kTransitionCount;
        s.phase = ViewerScene::Phase::Load;
    }
    switch (s.phase) {
    case ViewerScene::Phase::Load: {
        // The incoming picture goes to work surface 1; the outgoing one is
        // what the screen shows now.
        cdib[1] = Clone(*s.pictures[static_cast<std::size_t>(s.picture)]);
        s.outgoing = Clone(*s.screen);
        if (const int m = MaskFor(s.effect); m >= 0) g_maskImage = MakeMask(m);
        s.start = Now();
        s.progress = 0;
        s.phase = ViewerScene::Phase::Run;
        break;
    }
    case ViewerScene::Phase::Run: {
        const std::uint32_t elapsed = Now() - s.start;
        s.progress = static_cast<int>(
            std::min<std::uint64_t>(std::uint64_t{elapsed} * 255 / kViewerDuration, 255));
        if (s.progress < 255) {
            DrawTransition(s.effect, s.screen.get(), cdib[1].get(), s.outgoing.get(), 0, 0, 0, 0,
                           800, 600, s.progress, s.picture);
        } else {
            CopyAll(*s.screen, *cdib[1]);
            s.start = Now();
            s.phase = ViewerScene::Phase::Hold;
        }
        break;
    }
    case ViewerScene::Phase::Hold:
        if (Now() - s.start >= kViewerHold) {
            s.picture ^= 1;
            s.phase = ViewerScene::Phase::Load;
        }
        break;
    }
    CopyAll(*Back(), *s.screen);
    // Effect number and progress, with a bar, on a dark plate.
    Back()->FillRect(8, 8, 140, 48, Rgb(0, 0, 0));
    DrawDigits(*Back(), 16, 14, s.effect, 2, Rgb(255, 255, 255));
    DrawDigits(*Back(), 72, 14, s.progress, 3, Rgb(255, 220, 80));
    Back()->FillRect(16, 42, s.progress * 124 / 255, 6, Rgb(255, 220, 80));
}

void TestProjectionScene(platform::WindowHandle) {
    if (!Back()) return;
    ProjectionScene& s = Scene(g_projection);
    const double turn = (Now() - s.start) / 4000.0 * 2 * kPi;
    CopyAll(*Back(), *s.background);
    CGlyphFont& font = SceneFont();
    font.SetFont(12, 0);
    int line = 0;
    for (std::size_t i = 0; i < s.points.size(); ++i) {
        const auto& pt = s.points[i];
        const double x = std::cos(pt.lat) * std::cos(pt.lon + turn);
        const double y = std::sin(pt.lat);
        const double z = std::cos(pt.lat) * std::sin(pt.lon + turn);
        const double depth = z + 3.0;
        const int sx = 400 + static_cast<int>(600 * x / depth);
        const int sy = 300 - static_cast<int>(600 * y / depth);
        const int shade = static_cast<int>(255 * (1.0 - (z + 1) / 2));
        Back()->FillRect(sx - 3, sy - 3, 7, 7, Rgb(shade, 255, 255 - shade));
        if (i < 12) {
            char text[96];
            std::snprintf(text, sizeof text, "<%d> [%.2f] point[%4d:%4d][%.2f]",
                          static_cast<int>(i), turn, sx, sy, depth);
            DrawText(font, *Back(), 10, 10 + 14 * line++, text, 0xFFFFFF);
        }
    }
}

void TestRotateScene(platform::WindowHandle) {
    if (!Back()) return;
    RotateScene& s = Scene(g_rotate);
    const double t = (Now() - s.start) / 1000.0;
    BltCopy(Back(), 0, 0, s.backgrounds[0].get(), 0, 0, 400, 600);
    BltCopy(Back(), 400, 0, s.backgrounds[1].get(), 400, 0, 400, 600);
    RotateBlit(*Back(), 200, 300, *s.sprite, t * 60.0, 1.0 + 0.5 * std::sin(t));
    RotateBlit(*Back(), 600, 300, *s.sprite, -t * 90.0, 1.2 + 0.6 * std::cos(t * 1.3));
}

void TestFontScene(platform::WindowHandle) {
    if (!Back()) return;
    FontScene& s = Scene(g_font);
    CopyAll(*Back(), *s.background);
    AlphaBlit(*Back(), 20, 430, *s.frame, 256);
    s.font->SetFont(16, 0);
    s.font->DrawChar32(Back(), 10, 16, "A", 0xFFFFFF);
    s.font->DrawChar32(Back(), 10, 32, "B", 0xFFFFFF);
    s.font->DrawChar32(Back(), 10, 48, "F", 0xFFFFFF);
    static constexpr std::array<Blit, 5> kinds = {Blit::Keyed, Blit::Plain, Blit::Alpha, Blit::Half,
                                                  Blit::AlphaHalf};
    for (std::size_t row = 0; row < kinds.size(); ++row) {
        for (std::size_t col = 0; col < s.sprites.size(); ++col) {
            DrawBlit(kinds[row], *Back(), 100 + 200 * static_cast<int>(col),
                     20 + 110 * static_cast<int>(row), *s.sprites[col]);
        }
    }
}

void TestMessageScene(platform::WindowHandle) {
    if (!Back()) return;
    MessageScene& s = Scene(g_message);
    const std::uint32_t t = Now() - s.start;
    CopyAll(*Back(), *s.background);
    for (int i = 0; i < 2; ++i) {
        const int x = i == 0 ? 90 : 510;
        AlphaBlit(*Back(), x, 60, *s.characters[static_cast<std::size_t>(i)], 256);
        // The face changes every 1.5 s, the second one half a beat later.
        const bool smile = ((t + static_cast<std::uint32_t>(i) * 750) / 1500) % 2 == 0;
        Back()->FillRect(x + 70, 130, 60, smile ? 6 : 14, Rgb(60, 30, 30));
    }
    AlphaBlit(*Back(), 0, static_cast<int>(t / 10 % 12), *s.rain, 256);
    AlphaBlit(*Back(), 20, 430, *s.frame, 256);
    CGlyphFont& font = SceneFont();
    font.SetFont(26, 0);
    DrawText(font, *Back(), 50, 470, kSampleLine, 0xFFFFFF, t / 80);
}

void TestBlendScene(platform::WindowHandle) {
    if (!Back()) return;
    BlendScene& s = Scene(g_blend);
    CopyAll(*Back(), *s.background);
    const double t = (Now() - s.start) / 1000.0;
    BlendAdd(Back(), 0, 0, s.light.get(), 0, 0, 800, 600,
             static_cast<int>(128 + 127 * std::sin(t * 2)));
}

void TestCopyScene(platform::WindowHandle) {
    if (!Back()) return;
    CopyAll(*Back(), *Scene(g_copy).picture);
}

void TestDemoSequence(platform::WindowHandle) {
    if (!Back()) return;
    DemoScene& s = Scene(g_demo);
    const std::uint32_t t = Now() - s.start;
    // Pictures 0..3 in turn: hold, cross-fade, hold, mask wipe, hold with a
    // pulsing additive glow, cross-fade back to the first.
    struct Step {
        int kind; // 0 hold, 1 cross-fade, 2 mask wipe, 3 glow
        int picture;
        std::uint32_t duration;
    };
    static constexpr std::array<Step, 8> kSteps = {{{0, 0, 1000},
                                                    {1, 1, 1200},
                                                    {0, 1, 800},
                                                    {2, 2, 1600},
                                                    {3, 2, 2000},
                                                    {2, 3, 1600},
                                                    {0, 3, 800},
                                                    {1, 0, 1200}}};
    const Step& step = kSteps[static_cast<std::size_t>(s.state)];
    const CDib& target = *s.pictures[static_cast<std::size_t>(step.picture)];
    if (!s.outgoing) {
        s.outgoing = Clone(*s.screen);
        if (step.kind == 2) g_maskImage = MakeMask(32 + s.mask++ % 5);
    }
    const int p =
        static_cast<int>(std::min<std::uint64_t>(std::uint64_t{t} * 255 / step.duration, 255));
    switch (step.kind) {
    case 1:
    case 2:
        if (p < 255)
            DrawTransition(step.kind == 1 ? 39 : 40, s.screen.get(), const_cast<CDib*>(&target),
                           s.outgoing.get(), 0, 0, 0, 0, 800, 600, p, 0);
        else
            CopyAll(*s.screen, target);
        break;
    default:
        CopyAll(*s.screen, target);
        break;
    }
    CopyAll(*Back(), *s.screen);
    if (step.kind == 3)
        BlendAdd(Back(), 0, 0, s.glow.get(), 0, 0, 800, 600,
                 static_cast<int>(96 + 95 * std::sin(t / 1000.0 * 2 * kPi)));
    if (t >= step.duration) {
        s.state = (s.state + 1) % static_cast<int>(kSteps.size());
        s.start = Now();
        s.outgoing.reset();
    }
}

void EndTestScenes() {
    g_rain.reset();
    g_viewer.reset();
    g_projection.reset();
    g_rotate.reset();
    g_font.reset();
    g_message.reset();
    g_blend.reset();
    g_copy.reset();
    g_demo.reset();
    g_sceneFont.reset();
    cdib[1].reset();
    g_maskImage.reset();
}

TransitionViewerState GetTransitionViewerState() {
    if (!g_viewer) return {};
    return {g_viewer->effect, g_viewer->progress};
}
