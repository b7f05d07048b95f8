// Eye-catch variants 4 and 5: a banner, five letters and an emblem that fly
// into place turning, two marks that drop in, with their sounds; then a wipe
// to white. Every step bakes its pieces at their places when it ends, so a
// skipped step ends where a watched one does.
#include "scenario/Scenario.h"

#include "app/Config.h"
#include "app/GameApp.h"
#include "app/Input.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "gfx/TrigTables.h"
#include "scenario/LayerMath.h"
#include "scenario/SurfaceHelpers.h"
#include "sound/SoundChannel.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

using namespace scenario_surfaces;

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kFillColour = 0xFFFFFFFFu;
// The transition effects the eye-catches wipe and fade with.
constexpr int kCrossFade = 39;
constexpr int kMaskWipe = 40;

struct Piece {
    int sx, sy, w, h; // in the word picture
    int cx, cy;       // centre of its place on the screen
    int restX, restY; // where it is put at rest
};
constexpr Piece kLetters[5] = {{0, 144, 100, 100, 266, 500, 216, 450},
                               {100, 144, 100, 100, 346, 491, 296, 441},
                               {200, 144, 100, 100, 422, 490, 372, 440},
                               {300, 144, 100, 100, 489, 494, 439, 444},
                               {400, 144, 70, 70, 549, 514, 514, 479}};
constexpr Piece kEmblem4{440, 0, 106, 106, 589, 497, 536, 444};
constexpr Piece kEmblem5{440, 0, 105, 105, 588, 496, 536, 444};

// Where a step draws: the page (cdib[1]) comes back there every frame.
constexpr Area kWhole{0, 0, 800, 600};
constexpr Area kBannerColumn{180, 0, 440, 600};
constexpr Area kSwayColumn{108, 0, 584, 600};
constexpr Area kLetterBand{180, 400, 620, 200};

const char* const kNameCalls[10] = {"velmo.ogg", "dorile.ogg", "fenika.ogg", "pomi.ogg",
                                    "lisk.ogg",  "bex.ogg",    "holtea.ogg", "mureli.ogg",
                                    "kelbo.ogg", "sefi.ogg"};

CDib* Back() {
    return g_backBuffer.get();
}

std::unique_ptr<CDib> LoadFrom(platform::WindowHandle window, int kind, const char* name) {
    auto dib = std::make_unique<CDib>();
    dib->LoadFile(window, (Folder(kind) + name).c_str());
    return dib;
}

void Restore(const CDib* from, const Area& a) {
    if (Back() && from) BltCopy(Back(), a.x, a.y, from, a.x, a.y, a.width, a.height);
}

void Put(CDib* dst, const CDib* word, const Piece& piece, int w, int h) {
    if (dst && word) BltAlpha(dst, piece.restX, piece.restY, word, piece.sx, piece.sy, w, h);
}
void PutLetters(CDib* dst, const CDib* word) {
    for (const Piece& l : kLetters)
        Put(dst, word, l, l.w, l.h);
}
// The letters and variant 5's emblem, which rests as large as variant 4's.
void PutWord5(CDib* dst, const CDib* word) {
    PutLetters(dst, word);
    Put(dst, word, kEmblem5, 106, 106);
}

// The banner, the top 440x144 of the word picture, at rest or fading in
// with its top at `y`.
void PutBanner(CDib* dst, const CDib* word) {
    if (dst && word) BltAlpha(dst, 180, 426, word, 0, 0, 440, 144);
}
void FadeBanner(CDib* dst, const CDib* word, int y, int opacity) {
    if (dst && word) BltAlphaBlend(dst, 180, y, word, 0, 0, 440, 144, opacity);
}

// 1 - log10(9 sin(a + 90) + 1): 0 at a = 0, rising fast to 1 at 90.
double Settle(std::uint32_t a) {
    return std::log10(9.0 * SinDeg(static_cast<int>(a) + 90) + 1.0);
}

// Sound elements: element n is sound-effect channel n.
void ReleaseElement(int n) {
    auto& c = g_seChannels[static_cast<std::size_t>(n)];
    if (c) c->Stop();
    c.reset();
}
// The element becomes a new channel: whatever the slot held before is
// released first, so a sound that fails to load leaves the slot empty (not
// played) instead of replaying the channel an earlier scene left there.
void LoadElement(int n, const char* file) {
    ReleaseElement(n);
    auto channel = std::make_unique<CSeChannel>();
    if (!channel->Load(file)) return;
    g_seChannels[static_cast<std::size_t>(n)] = std::move(channel);
}
void PlayElement(int n, Repeat repeat = Repeat::Once) {
    CSeChannel* c = g_seChannels[static_cast<std::size_t>(n)].get();
    if (!c) return;
    c->SetVolume(g_config[config::kSeVolume]);
    c->Play(repeat);
}

} // namespace

void CScenario::RunEyeCatchFlying(int variant) {
    CDib* back = Back();
    CDib* word = cdib[2].get();
    const std::uint32_t now = platform::TimeGetTime();
    const std::uint32_t elapsed = now - effectStart;
    const bool skipping = (g_mouse && g_mouse->skip) || skipEffects;
    std::uint32_t p = 0;
    // A step that runs while p = elapsed * 255 / length is below 256.
    auto longStep = [&](std::uint32_t length) {
        p = static_cast<std::uint32_t>(std::min<std::uint64_t>(256, 255ull * elapsed / length));
        effectProgress = static_cast<std::uint16_t>(p);
        return p >= 256 || skipping;
    };
    auto resetTable = [&] {
        pieceStart.fill(0);
        pieceState.fill(0);
        pieceTravel.fill(0);
        pieceState[0] = 1;
        pieceStart[0] = now;
    };
    auto fillScratch = [&] {
        if (cdib[3]) cdib[3]->FillRect(0, 0, 800, 600, kFillColour);
    };
    // A piece turned by `degrees` with its centre at (x, y), through cdib[3].
    auto turned = [&](const Piece& piece, int w, int h, double degrees, int x, int y) {
        if (!cdib[3] || !word) return;
        const int l = piece.sx, t = piece.sy, r = piece.sx + w, b = piece.sy + h;
        const int mx = (l + r) / 2, my = (t + b) / 2;
        const DibQuad sq{DibPoint{l, t}, DibPoint{r, t}, DibPoint{l, b}, DibPoint{r, b}};
        DibQuad dq{};
        const double c = layer_math::CosDegrees(degrees), s = layer_math::SinDegrees(degrees);
        for (std::size_t k = 0; k < 4; ++k) {
            const double dx = sq[k].x - mx, dy = sq[k].y - my;
            dq[k] = {static_cast<int>(std::trunc(dx * c - dy * s)) + x,
                     static_cast<int>(std::trunc(dx * s + dy * c)) + y};
        }
        cdib[3]->QuadBlt(word, sq, dq, nullptr, 0);
    };
    auto layScratch = [&] {
        if (!back || !cdib[3]) return;
        const DibRect whole = cdib[3]->GetRect();
        back->BltAlphaBlend(cdib[3].get(), 0, 0, 0, 0xFFFFFF, &whole, nullptr, nullptr);
    };
    auto pieceSize = [&](int i, const Piece& emblem) {
        const Piece& piece = i < 5 ? kLetters[i] : emblem;
        return std::pair{piece.w, piece.h};
    };
    // The letters (and in variant 5 the emblem) fly to their places one
    // after another, each starting when the one before is past progress 95,
    // turned by angle(ms since its start) about its centre at
    // centre(piece, travel); at rest each is put at its place.
    enum class Sound : std::uint8_t { None, OnStart };
    auto flyPieces = [&](int count, std::uint32_t length, const Piece& emblem, Sound sound,
                         auto angle, auto centre) {
        fillScratch();
        for (int i = 0; i < count; ++i) {
            const Piece& piece = i < 5 ? kLetters[i] : emblem;
            const auto [w, h] = pieceSize(i, emblem);
            if (pieceState[i] == 1) {
                const std::uint32_t since = now - pieceStart[i];
                const auto q = static_cast<std::uint32_t>(
                    std::min<std::uint64_t>(255, 255ull * since / length));
                if (q >= 255) pieceState[i] = 2;
                pieceTravel[i] = std::min<std::uint32_t>(534, q * 534 >> 8);
                if (pieceState[i] == 1 && static_cast<int>(q) - 1 > 0) {
                    const auto [x, y] = centre(piece, static_cast<int>(pieceTravel[i]));
                    turned(piece, w, h, angle(since), x, y);
                }
                if (q >= 96 && i + 1 < count && pieceState[i + 1] == 0) {
                    if (sound == Sound::OnStart) PlayElement(i + 1);
                    pieceState[i + 1] = 1;
                    pieceStart[i + 1] = now;
                }
            }
            if (pieceState[i] == 2) Put(back, word, piece, w, h);
        }
        layScratch();
    };
    // A timed step over `area`: the page comes back there every frame;
    // while the step runs `frame` draws over it, on its last frame `last`
    // runs instead.
    auto timed = [&](bool over, const Area& area, auto frame, auto last) {
        Restore(cdib[1].get(), area);
        if (over)
            last();
        else
            frame();
    };
    // Pieces put on the page for good, and `area` shown from it again.
    auto bake = [&](const Area& area, auto put) {
        put(cdib[1].get());
        Restore(cdib[1].get(), area);
    };
    // The marks that drop in (step 7 of variant 4, step 5 of variant 5).
    auto marks = [&] {
        for (int m = 0; m < 2; ++m) {
            if (pieceState[m] == 0) continue;
            const std::uint32_t since = now - pieceStart[m];
            const auto q = static_cast<int>(std::min<std::uint64_t>(255, 255ull * since / 1000));
            const int drop = std::min(30, q * 30 >> 8);
            const auto a = static_cast<double>(std::min<std::uint64_t>(360, 360ull * since / 1000));
            const int sway =
                std::min(30, static_cast<int>(std::trunc(layer_math::SinDegrees(a) * 30)));
            if (m == 0) {
                if (back && word)
                    BltAlphaBlend(back, 442 + sway, 473 - drop, word, 430, 214, 30, 30, q);
                if (q > 85 && pieceState[1] == 0) {
                    PlayElement(6);
                    pieceState[1] = 1;
                    pieceStart[1] = now;
                }
            } else if (back && word) {
                BltAlphaBlend(back, 422 + sway, 482 - drop, word, 400, 214, 30, 30, q);
            }
        }
    };
    auto putMarks = [&](CDib* page) {
        if (!page || !word) return;
        BltAlpha(page, 422, 453, word, 400, 214, 30, 30);
        BltAlpha(page, 442, 444, word, 430, 214, 30, 30);
    };
    auto finish = [&] {
        for (int n = 0; n < 10; ++n)
            ReleaseElement(n);
        for (int k = 1; k <= 3; ++k)
            cdib[k].reset();
        g_maskImage.reset();
        subState = 0;
        SetMode(2);
    };
    auto nameCall = [&] {
        const std::uint32_t pick =
            static_cast<std::uint32_t>(platform::Rand()) * platform::TimeGetTime() % 10u;
        LoadElement(6, kNameCalls[pick]);
    };
    auto next = [&](int step) { NextStep(static_cast<std::uint8_t>(step)); };

    // Both variants end alike: the marks drop in, a hold, a wipe to white.
    const int tail = variant == 4 ? 7 : 5;
    if (subState == tail) {
        return timed(longStep(1500), kWhole, marks, [&] {
            bake(kWhole, putMarks);
            next(tail + 1);
        });
    }
    if (subState == tail + 1) {
        if (!StepOver(1000, p, 254)) return;
        if (variant == 5) ReleaseElement(0);
        cdib[0] = ScreenFilled(hwnd, kWhite);
        g_maskImage = LoadFrom(hwnd, kDataBmp, "mask38.bmp");
        return next(tail + 2);
    }
    if (subState == tail + 2) {
        FullRedraw();
        if (TransitionStepOver(kMaskWipe, 1500, cdib[0].get(), cdib[1].get())) next(tail + 3);
        return;
    }
    if (subState > tail + 2) return finish();

    if (variant == 4) {
        switch (subState) {
        case 0:
            FullRedraw();
            cdib[1] = LoadFrom(hwnd, kDataSystem, "eye_base_05.bmp");
            cdib[2] = LoadFrom(hwnd, kDataSystem, "eye_word_05.bmp");
            cdib[3] = LoadFrom(hwnd, kDataSystem, "eye_base_05.bmp");
            g_maskImage = LoadFrom(hwnd, kDataBmp, "mask36.bmp");
            if (!cdib[0]) cdib[0] = ScreenFilled(hwnd, 0);
            LoadElement(0, "nse057_1.ogg");
            LoadElement(1, "nse_i_01.ogg");
            LoadElement(2, "nse_i_02.ogg");
            nameCall();
            return next(1);
        case 1:
            if (TransitionStepOver(kMaskWipe, 1000, cdib[1].get(), cdib[0].get())) next(2);
            return;
        case 2:
            // The banner rises from the foot of the screen.
            return timed(
                StepOver(600, p), kBannerColumn,
                [&] {
                    const auto a = static_cast<std::uint32_t>(
                        std::min<std::uint64_t>(90, 90ull * elapsed / 600));
                    const int y = static_cast<int>(std::trunc(570 - Settle(a) * 570));
                    FadeBanner(back, word, y - 144, static_cast<int>(p));
                },
                [&] {
                    PutBanner(back, word);
                    PlayElement(0);
                    next(3);
                });
        case 3:
            // It wobbles, wider than its column, and settles.
            return timed(
                StepOver(1400, p), kSwayColumn,
                [&] {
                    const double s =
                        layer_math::SinDegrees(static_cast<double>(540ull * elapsed / 1400));
                    const int a1 = 72 - static_cast<int>(72ull * elapsed / 1400);
                    const int a3 = 144 - static_cast<int>(144ull * elapsed / 1400);
                    const int dx = static_cast<int>(std::trunc(a1 * s));
                    const int dy = static_cast<int>(std::trunc((a1 / 4) * s));
                    const int e = static_cast<int>(std::trunc(a3 * s));
                    if (back && word)
                        BltStretchAlphaBlend(back, 180 - std::abs(dx), 426 + dy - std::abs(e),
                                             440 + 2 * std::abs(dx), 144 - dy, word, 0, 0, 440, 144,
                                             254);
                },
                [&] {
                    bake(kBannerColumn, [&](CDib* page) { PutBanner(page, word); });
                    resetTable();
                    PlayElement(2, Repeat::Endless);
                    next(4);
                });
        case 4:
            // Two turns backwards while they fly in from the right.
            return timed(
                StepOver(2000, p), kLetterBand,
                [&] {
                    flyPieces(
                        5, 750, kEmblem4, Sound::None,
                        [](std::uint32_t since) {
                            return -static_cast<double>(720ull * since / 750);
                        },
                        [](const Piece& l, int travel) {
                            return std::pair{l.cx - travel + 536, l.cy};
                        });
                },
                [&] {
                    bake(kLetterBand, [&](CDib* page) { PutLetters(page, word); });
                    ReleaseElement(2);
                    next(5);
                });
        case 5:
            // The emblem shrinks into its place.
            return timed(
                longStep(800), kWhole,
                [&] {
                    const auto a = static_cast<std::uint32_t>(
                        std::min<std::uint64_t>(90, 90ull * elapsed / 800));
                    const int l = static_cast<int>(std::trunc(212 - Settle(a) * 212));
                    if (back && word)
                        BltStretchAlphaBlend(back, 324 + l, 232 + l, 2 * (265 - l), 2 * (265 - l),
                                             word, 440, 0, 106, 106, static_cast<int>(p));
                },
                [&] {
                    Put(back, word, kEmblem4, 106, 106);
                    PlayElement(1);
                    next(6);
                });
        case 6:
            // It swings about its centre, ever less.
            return timed(
                StepOver(650, p), kWhole,
                [&] {
                    fillScratch();
                    const double swing =
                        layer_math::SinDegrees(static_cast<double>(2160ull * elapsed / 650));
                    const int theta = static_cast<int>(
                        std::trunc(swing * (28 - static_cast<int>(28ull * elapsed / 650))));
                    turned(kEmblem4, 106, 106, theta, kEmblem4.cx, kEmblem4.cy);
                    layScratch();
                },
                [&] {
                    bake(kWhole, [&](CDib* page) { Put(page, word, kEmblem4, 106, 106); });
                    resetTable();
                    next(7);
                });
        }
        return;
    }

    switch (subState) {
    case 0:
        FullRedraw();
        cdib[0] = ScreenCopyOf(hwnd, back);
        cdib[1] = LoadFrom(hwnd, kDataSystem, "eye_base_06-1.bmp");
        cdib[2] = LoadFrom(hwnd, kDataSystem, "eye_word_05.bmp");
        cdib[3] = LoadFrom(hwnd, kDataSystem, "eye_base_06-2.bmp");
        g_maskImage = LoadFrom(hwnd, kDataBmp, "mask38.bmp");
        for (int n = 0; n < 6; ++n)
            LoadElement(n, "nse_i_03.ogg");
        nameCall();
        return next(1);
    case 1:
        if (TransitionStepOver(kCrossFade, 1000, cdib[3].get(), cdib[0].get())) next(2);
        return;
    case 2:
        if (!TransitionStepOver(kMaskWipe, 1000, cdib[1].get(), cdib[3].get())) return;
        resetTable();
        PlayElement(0);
        return next(3);
    case 3:
        // Five swings of 54 degrees while they fall from above; the whole
        // screen comes back, not only the letters' band: pieces may still
        // be in the air above it.
        return timed(
            StepOver(6000, p), kWhole,
            [&] {
                flyPieces(
                    6, 1600, kEmblem5, Sound::OnStart,
                    [](std::uint32_t since) {
                        return std::trunc(
                            layer_math::SinDegrees(static_cast<double>(1800ull * since / 1600)) *
                            54);
                    },
                    [](const Piece& l, int travel) {
                        return std::pair{l.cx, l.cy + travel - 536};
                    });
            },
            [&] {
                PutWord5(back, word);
                for (int n = 0; n < 6; ++n)
                    ReleaseElement(n);
                LoadElement(0, "nse_i_04.ogg");
                PlayElement(0);
                next(4);
            });
    case 4:
        // The banner fades in behind the word.
        return timed(
            StepOver(2000, p), kLetterBand,
            [&] {
                FadeBanner(back, word, 426, static_cast<int>(p));
                PutWord5(back, word);
            },
            [&] {
                bake(kLetterBand, [&](CDib* page) {
                    FadeBanner(page, word, 426, 254);
                    PutWord5(page, word);
                });
                resetTable();
                next(5);
            });
    }
}
