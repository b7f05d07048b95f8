// The sprite layers and the per-frame composition of the story screen: the
// background restored under what changes, the cloud and noise bands, the ten
// layers, the layer mask wipe and the turned plane of screen effect 10.
#include "scenario/Scenario.h"

#include "app/Config.h"
#include "app/GameApp.h"
#include "app/Input.h"
#include "gfx/Blend.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "gfx/Transition.h"
#include "scenario/LayerMath.h"
#include "scenario/SurfaceHelpers.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr platform::Rect kFullScreen{0, 0, 800, 600};
constexpr std::uint32_t kFillColour = 0xFFFFFFFFu; // FillRect: the surface's fill colour

platform::Rect RectOf(const std::array<std::int16_t, 4>& r) {
    return {r[0], r[1], r[0] + r[2], r[1] + r[3]};
}

void SetRedraw(const platform::Rect& r) {
    if (g_gameApp) g_gameApp->screenRect = r;
}

void CopyArea(CDib* dst, const CDib* src, const platform::Rect& r) {
    if (dst && src && r.right > r.left && r.bottom > r.top)
        BltCopy(dst, r.left, r.top, src, r.left, r.top, r.right - r.left, r.bottom - r.top);
}

// A corner turned by `degrees` about the origin and moved to (ox, oy).
DibPoint Turn(int dx, int dy, double degrees, int ox, int oy) {
    const double c = layer_math::CosDegrees(degrees);
    const double s = layer_math::SinDegrees(degrees);
    return {static_cast<int>(std::trunc(dx * c - dy * s)) + ox,
            static_cast<int>(std::trunc(dx * s + dy * c)) + oy};
}

bool Skipping(const CScenario& s) {
    return (g_mouse && g_mouse->skip) || s.skipEffects;
}

} // namespace

void CScenario::UpdateLayerTween(int slot) {
    LayerSlot& s = layers[static_cast<std::size_t>(slot)];
    const std::uint32_t now = platform::TimeGetTime();
    if (now - s.issuedTime >= s.delay && s.started == 0) {
        s.started = 1;
        s.tweenStart = now;
        s.alphaClock = now;
        return;
    }
    const std::uint32_t t = now - s.tweenStart;
    const std::uint32_t t2 = now - s.alphaClock;
    if (s.alphaAnimOn) {
        const layer_math::AlphaCurve curve{s.alphaSweep, s.alphaPhase, s.alphaRamp, s.alphaBase,
                                           s.alphaTarget};
        s.alpha = layer_math::AlphaAt(curve, t2);
    }
    if (s.duration == 0) return;
    s.angle = layer_math::AngleAt(s.fixedAngle, s.startAngle, s.endAngle, t2, s.duration);
    const layer_math::TweenClock clock{t, s.duration, s.easeSpan};
    if (layer_math::TweenHolds(s.tweenType, clock)) return;
    for (int i = 0; i < 4; ++i) {
        s.rect[i] =
            layer_math::TweenValue(s.tweenType, i, s.startRect[i], s.endRect[i], s.rect[i], clock);
        s.src[i] =
            layer_math::TweenValue(s.tweenType, i + 4, s.startSrc[i], s.endSrc[i], s.src[i], clock);
    }
}

void CScenario::DrawLayer(int slot) {
    if (!g_layerImages[static_cast<std::size_t>(slot)]) return;
    UpdateLayerTween(slot);
    const LayerSlot& s = layers[static_cast<std::size_t>(slot)];
    if (s.started == 0 || s.alpha <= 0) return;
    DrawLayerPicture(slot, s.alpha);
}

void CScenario::DrawLayerStatic(int slot) {
    if (!g_layerImages[static_cast<std::size_t>(slot)]) return;
    const LayerSlot& s = layers[static_cast<std::size_t>(slot)];
    const std::int16_t alpha = layer_math::SettledAlpha(
        {s.alphaSweep, s.alphaPhase, s.alphaRamp, s.alphaBase, s.alphaTarget});
    if (s.started == 0 || alpha <= 0) return;
    DrawLayerPicture(slot, alpha);
}

void CScenario::DrawLayerPicture(int slot, int a) {
    CDib* picture = g_layerImages[static_cast<std::size_t>(slot)].get();
    const LayerSlot& s = layers[static_cast<std::size_t>(slot)];
    CDib* dst = (quakeType == 10 || layerMaskWipe != 0) ? cdib[1].get() : g_backBuffer.get();
    if (!picture || !dst) return;
    const int x = s.rect[0], y = s.rect[1], w = s.rect[2], h = s.rect[3];
    const int sx = s.src[0], sy = s.src[1], sw = s.src[2], sh = s.src[3];
    const std::uint32_t dstFactor = static_cast<std::uint32_t>(256 - a) * 0x010101u;
    const std::uint32_t srcFactor = static_cast<std::uint32_t>(a) * 0x010101u;
    const bool turned = s.startAngle != 0;

    // The source quad and where it lands: (x, y) takes the centre of the
    // source rectangle. An empty source has no quad and draws nothing.
    DibQuad sq{}, dq{};
    if (turned) {
        if (sw == 0 || sh == 0) return;
        sq = {DibPoint{sx, sy}, DibPoint{sx + sw, sy}, DibPoint{sx, sy + sh},
              DibPoint{sx + sw, sy + sh}};
        const int cx = (2 * sx + sw) / 2;
        const int cy = (2 * sy + sh) / 2;
        for (std::size_t k = 0; k < 4; ++k)
            dq[k] = Turn((sq[k].x - cx) * w / sw, (sq[k].y - cy) * h / sh,
                         static_cast<double>(s.angle), x, y);
    }

    if (picture->GetBitCount() == 32) {
        if (s.tweenType == 20) {
            BlendAddAlphaStretch(dst, x, y, w, h, picture, sx, sy, sw, sh, a);
        } else if (turned) {
            CDib* scratch = g_layerScratch.get();
            if (!scratch) return;
            scratch->FillRect(0, 0, scratch->GetWidth(), scratch->GetHeight(), kFillColour);
            scratch->QuadBlt(picture, sq, dq, nullptr, 0);
            const DibRect whole = scratch->GetRect();
            dst->BltAlphaBlend(scratch, 0, 0, dstFactor, srcFactor, &whole, nullptr, nullptr);
        } else if (quakeType == 10) {
            if (cdib[1])
                BltStretchAlphaBlend(cdib[1].get(), x, y, w, h, picture, sx, sy, sw, sh, a - 1);
        } else if (quakeType == 11) {
            if (cdib[1])
                BlendAddAlphaStretch(cdib[1].get(), x, y, w, h, picture, sx, sy, sw, sh, a);
        } else if (quakeType == 12) {
            if (g_backBuffer)
                BlendAddAlphaStretch(g_backBuffer.get(), x, y, w, h, picture, sx, sy, sw, sh, a);
        } else {
            BltStretchAlphaBlend(dst, x, y, w, h, picture, sx, sy, sw, sh, a - 1);
        }
        return;
    }
    if (s.tweenType == 20) {
        BlendAddStretch(dst, x, y, w, h, picture, sx, sy, sw, sh, a);
    } else if (s.tweenType == 21) {
        if (quakeType != 10)
            BlendMultiply(dst, x, y, picture, sx, sy, sw, sh, a);
        else if (cdib[1])
            BlendAddStretch(cdib[1].get(), x, y, w, h, picture, sx, sy, sw, sh, a);
    } else if (turned) {
        dst->QuadBltBlend(picture, sq, dq, dstFactor, srcFactor, nullptr, 0);
    } else {
        BltStretchBlend(dst, x, y, w, h, picture, 0, sx, sy, sw, sh, a);
    }
}

platform::Rect CScenario::LayerUnion(const platform::Rect& seed) const {
    platform::Rect u = seed;
    for (int i = 0; i < kLayerSlots; ++i) {
        const LayerSlot& s = layers[static_cast<std::size_t>(i)];
        if (!g_layerImages[static_cast<std::size_t>(i)] || !s.started) continue;
        const platform::Rect r = RectOf(s.rect);
        u.left = std::min(u.left, r.left);
        u.top = std::min(u.top, r.top);
        u.right = std::max(u.right, r.right);
        u.bottom = std::max(u.bottom, r.bottom);
    }
    u.left = std::max(u.left, 0);
    u.top = std::max(u.top, 0);
    u.right = std::min(u.right, 800);
    u.bottom = std::min(u.bottom, 600);
    return u;
}

void CScenario::ComposeScene() {
    const std::uint8_t mode = g_gameApp ? g_gameApp->mode : 0;
    CDib* back = g_backBuffer.get();
    const CDib* background = cdib[0].get();
    const int textW = g_msgWindowText ? g_msgWindowText->GetWidth() : 0;
    const int textH = g_msgWindowText ? g_msgWindowText->GetHeight() : 0;
    const platform::Rect slot0 = RectOf(layers[0].rect);

    if (mode == 3) {
        if (messageStyle == 1) {
            if (!windowHidden && back && background)
                BltCopy(back, 22, 19, background, 22, 19, textW + 22, 781);
        } else if (messageStyle == 0) {
            const platform::Rect band{0, 461, textW, 461 + textH};
            SetRedraw(band);
            CopyArea(back, background, band);
        }
    } else if (mode == 38) {
        const platform::Rect u = LayerUnion(slot0);
        particleRect = slot0;
        const bool anyTurned = std::any_of(layers.begin(), layers.end(),
                                           [](const LayerSlot& s) { return s.startAngle != 0; });
        if (anyTurned)
            CopyArea(back, background, kFullScreen);
        else if (quakeType != 10 && layerMaskWipe == 0)
            CopyArea(back, background, u);
        SetRedraw(kFullScreen);
    } else {
        SetRedraw(kFullScreen);
        particleRect = slot0;
        CopyArea(back, background, kFullScreen);
    }

    if (bandKind == 2) DrawScrollBand();
    for (int i = 0; i < kLayerSlots; ++i)
        DrawLayer(i);

    const std::uint32_t now = platform::TimeGetTime();
    if (bandKind == 1 && g_bandImage && back) {
        const std::uint32_t f = bandPos % 18u;
        BltStretchAlphaBlend(back, 0, 75, 800, 450, g_bandImage.get(),
                             static_cast<int>(f % 3) * 400, static_cast<int>(f / 3) * 300, 400, 300,
                             255);
        if (now - bandStart > 66) {
            bandPos = (f + 1) % 18;
            bandStart = now;
        }
    }
    if (layerMaskWipe != 0 && back && cdib[1] && cdib[0])
        DrawTransition(40, back, cdib[1].get(), cdib[0].get(), 0, 0, 0, 0, 800, 600,
                       layers[0].alpha, 0);
    if (quakeActive) {
        SetRedraw(kFullScreen);
        if (quakeType == 10 && cdib[1] && back) {
            const DibQuad sq{DibPoint{0, 0}, DibPoint{800, 0}, DibPoint{0, 600},
                             DibPoint{800, 600}};
            DibQuad dq{};
            for (std::size_t k = 0; k < 4; ++k) {
                const int dx = (sq[k].x - 400) * 960 / 800;
                const int dy = (sq[k].y - 300) * 720 / 600;
                dq[k] = Turn(dx, dy, static_cast<double>(quakePeriod), 350, 350);
            }
            back->QuadBltBlend(cdib[1].get(), sq, dq, 0, 0xFFFFFF, nullptr, 0);
            cdib[1]->FillRect(0, 0, 800, 600, kFillColour);
        }
    }
}

void CScenario::DrawScrollBand() {
    CDib* band = g_bandImage.get();
    CDib* back = g_backBuffer.get();
    if (!band || !back) return;
    const int o = static_cast<int>(bandPos % 800u);
    CopyArea(back, cdib[0].get(), {0, 110, 800, 490});
    BltStretchAlphaBlend(back, 0, 110, o, 380, band, 800 - o, 75, o, 380, 255);
    BltStretchAlphaBlend(back, o, 110, 800 - o, 380, band, 0, 75, 800 - o, 380, 255);
    const std::uint32_t now = platform::TimeGetTime();
    if (now - bandStart >= 167) {
        bandPos = static_cast<std::uint32_t>(o + 1) % 800u;
        bandStart = now;
    }
}

void CScenario::FinishLayers() {
    int first = -1;
    for (int i = 0; i < kLayerSlots && first < 0; ++i)
        if (g_layerImages[static_cast<std::size_t>(i)]) first = i;
    if (first >= 0) {
        const platform::Rect f = RectOf(layers[static_cast<std::size_t>(first)].rect);
        const platform::Rect u = LayerUnion(f);
        SetRedraw(u);
        particleRect = f;
        CopyArea(g_backBuffer.get(), cdib[0].get(), u);
    }
    for (int i = 0; i < kLayerSlots; ++i) {
        if (!g_layerImages[static_cast<std::size_t>(i)]) continue;
        LayerSlot& s = layers[static_cast<std::size_t>(i)];
        s.rect = s.endRect;
        s.src = s.endSrc;
        s.duration = 0;
    }
    SetRedraw(kFullScreen);
}

void CScenario::WaitLayerAnim() {
    if (subState == 0) {
        const std::uint32_t now = platform::TimeGetTime();
        if (now - layerWaitStart >= layerWaitMs) subState = 1;
        if ((g_mouse && g_mouse->skip) || g_config[config::kNoQuake] != 0) {
            FinishLayers();
            subState = 1;
        }
        if (g_mouse && g_mouse->click) {
            FinishLayers();
            g_mouse->click = 0;
            subState = 1;
        }
        return;
    }
    subState = 0;
    SetMode(2);
}

void CScenario::RunColorFade() {
    using namespace scenario_surfaces;
    switch (subState) {
    case 0: {
        windowShown = 0;
        FullRedraw();
        cdib[1] = ScreenCopyOf(hwnd, cdib[0].get());
        const auto colour = ScreenFilled(hwnd, overlayColor & 0xFFFFFFu);
        BltStretchBlend(cdib[1].get(), 0, 0, 800, 600, colour.get(), 0, 0, 0, 800, 600,
                        static_cast<int>(overlayColor >> 24));
        effectProgress = 0;
        effectStart = platform::TimeGetTime();
        subState = 1;
        break;
    }
    case 1: {
        const std::uint32_t elapsed = platform::TimeGetTime() - effectStart;
        // A zero duration is over at once.
        const std::uint64_t level =
            effectDuration == 0 ? 255
                                : std::min<std::uint64_t>(255ull * elapsed / effectDuration, 255);
        effectProgress = static_cast<std::uint16_t>(level);
        if (!cdib[1]) cdib[1] = ScreenFilled(hwnd, 0);
        if (level < 255 && !Skipping(*this)) {
            if (g_backBuffer && cdib[0])
                DrawTransition(39, g_backBuffer.get(), cdib[1].get(), cdib[0].get(), 0, 0, 0, 0,
                               800, 600, effectProgress, 0);
        } else {
            if (g_backBuffer) BltCopy(g_backBuffer.get(), 0, 0, cdib[1].get(), 0, 0, 800, 600);
            subState = 2;
        }
        break;
    }
    case 2:
        CopyScreenInto(hwnd, cdib[0], cdib[1].get());
        CopyScreenInto(hwnd, g_backupSurface, cdib[1].get());
        cdib[1].reset();
        subState = 3;
        break;
    default:
        subState = 0;
        SetMode(2);
        break;
    }
}
