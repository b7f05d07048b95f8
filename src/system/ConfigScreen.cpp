#include "system/ConfigScreen.h"

#include "app/Config.h"
#include "app/Display.h"
#include "app/GameApp.h"
#include "app/Input.h"
#include "app/Shell.h"
#include "data/Log.h"
#include "gfx/Blend.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "gfx/TrigTables.h"
#include "scenario/Scenario.h"
#include "screenkit/ScreenKit.h"
#include "sound/SoundChannel.h"

#include <algorithm>

using namespace screenkit;
using platform::Rect;

std::unique_ptr<CConfigScreen> g_configScreen;

namespace {

constexpr std::uint32_t kFadeInMs = 800;
constexpr std::uint32_t kFadeOutMs = 750;
constexpr std::uint32_t kGlowMs = 200;
constexpr std::uint32_t kHalf = 128;
constexpr std::uint32_t kTickGapMs = 100;
constexpr std::uint32_t kPreviewStepMs = 17;
constexpr int kPreviewEnd = 194;
constexpr int kReset = 1;
constexpr int kOk = 2;
constexpr int kCancel = 3;
constexpr int kVoicePageControl = 20;
constexpr int kAutoSpeedControl = 21;
constexpr int kKnob = 15;

constexpr char kNotSaved[] =
    "\xCE\xDE\xB7\xA8\xB1\xA3\xB4\xE6\xC9\xE8\xB6\xA8\xA1\xA3"; // 无法保存设定。

constexpr std::array<Picture, 4> kPictures{{
    {21, "system\\config_base.bmp"},
    {24, "system\\config_p.bmp"},
    {25, "system\\config_p2.bmp"},
    {27, "system\\0123456789_1.bmp"},
}};

constexpr screenkit::StateTable<CConfigScreen, 17> kStates{
    &CConfigScreen::Open,
    &CConfigScreen::FadeIn,
    nullptr,
    &CConfigScreen::Input,
    &CConfigScreen::FadeOut,
    &CConfigScreen::Leave,
    nullptr,
    nullptr,
    &CConfigScreen::GlowIn,
    &CConfigScreen::GlowOutAndAct,
    &CConfigScreen::VoiceOpen,
    &CConfigScreen::VoiceFade,
    &CConfigScreen::VoiceInput,
    &CConfigScreen::VoiceBack,
    &CConfigScreen::VoiceClose,
    &CConfigScreen::VoiceGlowIn,
    &CConfigScreen::VoiceGlowOutAndAct,
};

// A switch: the settings byte it sets and where its mark row stands (the
// mark of value v at (x + step·v, y); the row restored is w wide from
// (x, rowY)).
struct SwitchRow {
    std::size_t byte;
    int x, y, step, w, rowY;
};
// Controls 4..19 in pairs: box 2k + 4 means 0, box 2k + 5 means 1.
constexpr std::array<SwitchRow, 8> kSwitches{{
    {config::kSkipScope, 128, 376, 141, 220, 375},
    {config::kCursorGlide, 114, 504, 141, 234, 504},
    {config::kNoQuake, 533, 135, 88, 120, 135},
    {config::kNoTimedTransitions, 533, 169, 88, 120, 169},
    {config::kSkipEffects, 533, 203, 88, 120, 203},
    {config::kFullScreen, 463, 333, 142, 172, 333},
    {config::kVoiceMuteA, 403, 501, 77, 107, 501},
    {config::kVoiceMuteB, 565, 501, 74, 107, 501},
}};

bool IsSwitch(int c) {
    return c >= 4 && c <= 19;
}
const SwitchRow& SwitchOf(int c) {
    return kSwitches[static_cast<std::size_t>((c - 4) / 2)];
}
std::uint8_t BoxValue(int c) {
    return static_cast<std::uint8_t>((c - 4) % 2);
}
bool IsVolumeSlider(int c) {
    return c == 1 || c == 2;
}
bool IsSpeedSlider(int c) {
    return c == 3 || c == kAutoSpeedControl;
}
std::size_t SliderByte(int c) {
    switch (c) {
    case 1:
        return config::kSeVolume;
    case 2:
        return config::kBgmVolume;
    case 3:
        return config::kTextSpeed;
    default:
        return config::kAutoSpeed;
    }
}
int SpeedY(int c) {
    return c == 3 ? 312 : 345;
}

CDib* Back() {
    return g_backBuffer.get();
}

// Settings index of entry i of the saved copy: +26 is not kept.
std::size_t SavedByte(std::size_t i) {
    return i < 26 ? i : i + 1;
}

void SetVolume(CKindChannel* channel, std::uint8_t level) {
    if (channel) channel->SetVolume(level);
}

void ApplyEffectVolume() {
    SetVolume(g_seChannels[0].get(), g_config[config::kSeVolume]);
    SetVolume(g_seChannels[1].get(), g_config[config::kSeVolume]);
}

void ApplyMusicVolume() {
    if (g_scenario && g_scenario->bgmPlaying)
        SetVolume(g_bgmChannel.get(), g_config[config::kBgmVolume]);
}

} // namespace

CConfigScreen::CConfigScreen() {
    pageRects = {Rect{680, 80, 800, 126}, Rect{700, 506, 776, 534}, Rect{700, 548, 776, 576}};
    controlRects = {Rect{87, 149, 290, 164},  Rect{87, 188, 290, 203},  Rect{70, 312, 283, 327},
                    Rect{129, 383, 149, 403}, Rect{270, 383, 290, 403}, Rect{115, 510, 135, 530},
                    Rect{257, 510, 277, 530}, Rect{535, 138, 555, 158}, Rect{622, 138, 642, 158},
                    Rect{535, 172, 555, 192}, Rect{622, 172, 642, 192}, Rect{535, 206, 555, 226},
                    Rect{622, 206, 642, 226}, Rect{464, 338, 484, 358}, Rect{606, 338, 626, 358},
                    Rect{404, 506, 424, 526}, Rect{481, 506, 501, 526}, Rect{566, 507, 586, 527},
                    Rect{640, 507, 660, 527}, Rect{455, 545, 570, 565}, Rect{70, 345, 283, 360}};
    tick_ = std::make_unique<CSeChannel>();
    tick_->Load("se\\sys_e002.ogg");
    for (std::size_t i = 0; i < saved.size(); ++i)
        saved[i] = g_config[SavedByte(i)];
}

CConfigScreen::~CConfigScreen() = default;

void CConfigScreen::Update(platform::WindowHandle window) {
    RunState(*this, state, kStates, window);
}

void CConfigScreen::DrawVolume(CDib* target, std::size_t byte, int y) {
    const int v = g_config[byte];
    BltCopy(target, 295, y, Slot(19), 295, y, 24, 12);
    if (v >= 100) {
        BltAlpha(target, 295, y, Slot(27), 10, 0, 10, 12);
        BltAlpha(target, 302, y, Slot(27), 0, 0, 10, 12);
        BltAlpha(target, 309, y, Slot(27), 0, 0, 10, 12);
        return;
    }
    if (v >= 10) BltAlpha(target, 302, y, Slot(27), 10 * (v / 10), 0, 10, 12);
    BltAlpha(target, 309, y, Slot(27), 10 * (v % 10), 0, 10, 12);
}

void CConfigScreen::DrawControls(CDib* target) {
    CDib* sheet = Slot(25);
    BltAlpha(target, 670, 60, sheet, 0, 0, 130, 80);
    BltAlpha(target, 686, 494, sheet, 0, 80, 104, 52);
    BltAlpha(target, 686, 534, sheet, 104, 80, 104, 52);
    BltAlpha(target, g_config[config::kSeVolume] * 201 / 100 + 80, 149, sheet, 208, 100, kKnob,
             kKnob);
    BltAlpha(target, g_config[config::kBgmVolume] * 201 / 100 + 80, 188, sheet, 208, 100, kKnob,
             kKnob);
    const int speed = static_cast<std::int8_t>(g_config[config::kTextSpeed]);
    BltAlpha(target, speed * 201 / 100 + 71, 312, sheet, 208, 115, kKnob, kKnob);
    BltAlpha(target, g_config[config::kAutoSpeed] * 201 / 100 + 71, 345, sheet, 208, 115, kKnob,
             kKnob);
    for (const SwitchRow& s : kSwitches)
        BltAlpha(target, s.x + s.step * (g_config[s.byte] ? 1 : 0), s.y, sheet, 208, 80, 30, 20);
    DrawVolume(target, config::kSeVolume, 151);
    DrawVolume(target, config::kBgmVolume, 191);
}

void CConfigScreen::Open(platform::WindowHandle window) {
    InvalidateRect(window, Rect{0, 0, kScreenWidth, kScreenHeight});
    CopyOfBackBuffer(20);
    LoadSurface(21, kPictures[0].file);
    CopyOfSurface(23, Slot(20));
    CopyOfSurface(19, Slot(20));
    LoadPictures(std::span(kPictures).subspan(1));
    BltAlpha(Slot(20), 0, 0, Slot(21), 0, 0, kScreenWidth, kScreenHeight);
    BltAlpha(Slot(19), 0, 0, Slot(21), 0, 0, kScreenWidth, kScreenHeight);
    CopyOfSurface(26, Slot(20));
    for (int k = 0; k < 6; ++k) {
        const int x = 10 + 336 * (k / 3);
        const int y = 82 + 172 * (k % 3);
        BltAlpha(Slot(19), x, y, Slot(24), 328 * k, 0, 328, 163);
        BltAlpha(Slot(20), x, y, Slot(24), 328 * k, 0, 328, 163);
    }
    DrawControls(Slot(20));
    button = prevButton = control = prevControl = 0;
    saved[config::kCursorGlide - 1] = g_config[config::kCursorGlide];
    Clock().Restart();
    state = 1;
}

void CConfigScreen::FadeIn(platform::WindowHandle) {
    if (Fading(Clock(), Slot(20), Slot(23), kFadeInMs, Hurry::BySkip)) return;
    state = 3;
}

// look: 0 normal, 1 lit, 2 glow.
void CConfigScreen::DrawButton(int k, int look) {
    CDib* sheet = Slot(25);
    if (k == kReset) {
        RestoreArea(Slot(19), 674, 60, 126, 80);
        BltAlpha(Back(), 674, 60, sheet, look == 0 ? 4 : 134, 0, 126, 80);
        return;
    }
    const int y = k == kOk ? 494 : 534;
    const int sx = k == kOk ? 0 : 104;
    RestoreArea(Slot(19), 686, y, 104, 52);
    BltAlpha(Back(), 686, y, sheet, sx, 80 + 52 * look, 104, 52);
}

void CConfigScreen::PlainControl(int c) {
    CDib* sheet = Slot(25);
    if (IsVolumeSlider(c)) {
        const Rect& r = controlRects[c - 1];
        RestoreArea(Slot(19), r.left - 10, r.top, 220, 16);
        BltAlpha(Back(), g_config[SliderByte(c)] * 201 / 100 + 80, r.top, sheet, 208, 100, kKnob,
                 kKnob);
    } else if (IsSpeedSlider(c)) {
        const int y = SpeedY(c);
        const int v = static_cast<std::int8_t>(g_config[SliderByte(c)]);
        RestoreArea(Slot(19), 71, y, 200, 25);
        BltAlpha(Back(), v * 201 / 100 + 71, y, sheet, 208, 115, kKnob, kKnob);
    } else if (IsSwitch(c)) {
        const SwitchRow& s = SwitchOf(c);
        if (g_config[s.byte] != BoxValue(c)) {
            const Rect& r = controlRects[c - 1];
            const int y = c <= 5 ? 381 : r.top;
            RestoreArea(Slot(19), r.left, y, 20, 20);
        }
    } else if (c == kVoicePageControl) {
        RestoreArea(Slot(19), 446, 531, 130, 48);
    }
}

void CConfigScreen::LitControl(int c) {
    CDib* sheet = Slot(25);
    if (IsVolumeSlider(c)) {
        const Rect& r = controlRects[c - 1];
        BltAlpha(Back(), g_config[SliderByte(c)] * 201 / 100 + 80, r.top, sheet, 223, 100, kKnob,
                 kKnob);
    } else if (IsSwitch(c)) {
        if (g_config[SwitchOf(c).byte] != BoxValue(c)) {
            const Rect& r = controlRects[c - 1];
            BltAlpha(Back(), r.left, c <= 5 ? 381 : r.top, sheet, 238, 80, 20, 20);
        }
    } else if (c == kVoicePageControl) {
        BltAlpha(Back(), 446, 531, sheet, 0, 236, 130, 48);
    }
}

// The drag tick sounds at most every 100 ms while the mouse moves.
void CConfigScreen::Tick() {
    const int x = g_mouse->x;
    if (dragX == 0) {
        dragX = static_cast<std::uint16_t>(x);
        return;
    }
    if (x == dragX) return;
    const std::uint32_t now = platform::TimeGetTime();
    if (now - tickTime > kTickGapMs && tick_) {
        tick_->SetVolume(g_config[config::kSeVolume]);
        tick_->Play(Repeat::Once);
        tickTime = now;
    }
    dragX = static_cast<std::uint16_t>(x);
}

void CConfigScreen::Drag(int c) {
    const Rect& r = controlRects[c - 1];
    const int x = g_mouse->x;
    Tick();
    RestoreArea(Slot(19), r.left - 10, r.top, 248, 16);
    if (IsVolumeSlider(c)) {
        BltAlpha(Back(), x - 7, r.top, Slot(25), 223, 100, kKnob, kKnob);
        g_config[SliderByte(c)] = static_cast<std::uint8_t>((x - 87) * 100 / 201);
        if (c == 1)
            ApplyEffectVolume();
        else
            ApplyMusicVolume();
        DrawVolume(Back(), SliderByte(c), c == 1 ? 151 : 191);
        return;
    }
    g_config[SliderByte(c)] = static_cast<std::uint8_t>(std::clamp((x - 78) * 100 / 201, 0, 100));
}

// A marker runs along the speed slider at the speed it sets.
void CConfigScreen::Preview(int c) {
    const int y = SpeedY(c);
    const int v = static_cast<std::int8_t>(g_config[SliderByte(c)]);
    RestoreArea(Slot(19), 71, y, 220, 25);
    BlendMultiplyAlpha(Back(), previewPos + 80, y + 4, Slot(25), 208, 130, 13, 7, previewAlpha);
    BltAlpha(Back(), v * 201 / 100 + 71, y, Slot(25), 223, 100, kKnob, kKnob);
    const std::uint32_t now = platform::TimeGetTime();
    if (now - previewTime < kPreviewStepMs) return;
    previewPos += (v >> 3) + 1;
    if (previewPos > kPreviewEnd) previewPos = 0;
    const int a = static_cast<int>(SinDeg(previewPos * 180 / kPreviewEnd) * 640);
    previewAlpha = static_cast<std::uint16_t>(std::clamp(a, 0, 255));
    previewTime = now;
}

void CConfigScreen::Switch(platform::WindowHandle window, int c) {
    PlaySe(0, "se\\sys_f003.ogg");
    const SwitchRow& s = SwitchOf(c);
    const std::uint8_t value = BoxValue(c);
    // The display is switched only when the box chosen differs from the
    // mode the window is in.
    if (s.byte == config::kFullScreen && g_config[s.byte] != value && g_display)
        g_display->ToggleFullScreen(window);
    g_config[s.byte] = value;
    if (s.byte == config::kSkipEffects && g_scenario) g_scenario->skipEffects = value;
    RestoreArea(Slot(19), s.x, s.rowY, s.w, 20);
    BltAlpha(Back(), s.x + s.step * value, s.y, Slot(25), 208, 80, 30, 20);
}

void CConfigScreen::Input(platform::WindowHandle window) {
    if (TrackHover(button, prevButton, pageRects)) {
        if (prevButton != 0) DrawButton(prevButton, 0);
        if (button != 0) DrawButton(button, 1);
    }
    if (button != 0 && TakeClick()) {
        PlaySe(0, button == kReset ? "se\\sys_010.ogg" : "se\\sys_a002.ogg");
        chosen = button;
        Clock().Restart();
        state = 8;
        return;
    }
    if (TrackHover(control, prevControl, controlRects)) {
        if (prevControl != 0) PlainControl(prevControl);
        if (control != 0) LitControl(control);
    }
    const bool held = g_mouse && g_mouse->click;
    if (control != 0 && (IsVolumeSlider(control) || IsSpeedSlider(control)) && held)
        Drag(control);
    else
        dragX = 0;
    if (IsSpeedSlider(control)) Preview(control);
    if (IsSwitch(control) && TakeClick()) {
        Switch(window, control);
    } else if (control == kVoicePageControl && TakeClick()) {
        PlaySe(0, "se\\sys_a002.ogg");
        chosen = kVoicePageControl;
        Clock().Restart();
        state = 8;
    } else if (TakeCancel()) {
        Cancel();
        ToFadeOut(g_scenario && (g_scenario->menuReturn == 1 || g_scenario->menuReturn == 2),
                  FadeClock::Restart);
    }
}

void CConfigScreen::ToFadeOut(bool toSnapshot, FadeClock clock) {
    if (toSnapshot && g_menuSnapshot)
        CopyOfSurface(20, g_menuSnapshot.get());
    else
        BlankSurface(20, kBlack);
    CopyOfBackBuffer(23);
    if (g_mouse) g_mouse->cancel = 0;
    if (clock == FadeClock::Restart) Clock().Restart();
    state = 4;
}

void CConfigScreen::RestoreSaved(std::size_t first, std::size_t last) {
    for (std::size_t i = 0; i < saved.size(); ++i) {
        const std::size_t byte = SavedByte(i);
        if (byte >= first && byte <= last) g_config[byte] = saved[i];
    }
}

// The display mode is not put back: the window stays as it is and its byte
// with it.
void CConfigScreen::Cancel() {
    RestoreSaved(1, 35);
    if (g_scenario) g_scenario->skipEffects = g_config[config::kSkipEffects];
}

void CConfigScreen::DrawGlow(std::uint32_t elapsed, Glow glow) {
    CDib* sheet = Slot(25);
    const bool rising = glow == Glow::Rising;
    if (chosen == kVoicePageControl) {
        // Its glow rises to half strength over the step; in the fall its
        // weight runs twice as fast, is gone half way through and then
        // turns negative, darkening the button below its plain look.
        const int level = rising ? static_cast<int>(StepLevel(elapsed, kHalf, kGlowMs))
                                 : static_cast<int>(kHalf) -
                                       static_cast<int>(StepLevel(elapsed, 2 * kHalf, kGlowMs));
        RestoreArea(Slot(20), 446, 531, 130, 48);
        BlendAddAlpha(Back(), 446, 531, sheet, 130, 236, 130, 48, level);
        return;
    }
    const std::uint32_t level = FadeLevel(elapsed, kGlowMs);
    const int a = static_cast<int>(rising ? level : kFull - level);
    if (chosen == kReset) {
        DrawButton(kReset, 1);
        BlendAddAlpha(Back(), 674, 60, sheet, 134, 0, 126, 80, a);
    } else {
        DrawButton(chosen, 1);
        BlendAddAlpha(Back(), 686, chosen == kOk ? 494 : 534, sheet, chosen == kOk ? 0 : 104, 184,
                      104, 52, a);
    }
}

void CConfigScreen::GlowIn(platform::WindowHandle) {
    const std::uint32_t t = Clock().Tick();
    if (FadeLevel(t, kGlowMs) < kFull && !SkipHeld()) {
        DrawGlow(t, Glow::Rising);
        return;
    }
    Clock().Restart();
    state = 9;
}

void CConfigScreen::RebuildPage() {
    ShowWhole(Slot(26));
    for (int k = 0; k < 6; ++k)
        BltAlpha(Back(), 10 + 336 * (k / 3), 82 + 172 * (k % 3), Slot(24), 328 * k, 0, 328, 163);
    DrawControls(Back());
    DrawButton(kReset, 1);
}

void CConfigScreen::GlowOutAndAct(platform::WindowHandle) {
    const std::uint32_t t = Clock().Tick();
    if (FadeLevel(t, kGlowMs) < kFull && !SkipHeld()) {
        DrawGlow(t, Glow::Falling);
        return;
    }
    switch (chosen) {
    case kReset:
        g_config[config::kTextSpeed] = 50;
        g_config[config::kSkipScope] = 0;
        g_config[3] = 0;
        g_config[config::kBgmVolume] = 50;
        g_config[config::kSeVolume] = 50;
        g_config[config::kVoiceMuteB] = 0;
        g_config[config::kVoiceMuteA] = 0;
        std::fill_n(&g_config[config::kVoiceLevels], config::kVoiceLevelCount, 50);
        std::fill(&g_config[config::kSkipEffects], &g_config[config::kCursorGlide] + 1, 0);
        g_config[config::kAutoSpeed] = 50;
        g_config[config::kAutoAtStart] = 0;
        // The channels take the new volumes when the screen is left.
        if (g_scenario) g_scenario->skipEffects = 0;
        RebuildPage();
        state = 3;
        break;
    case kOk:
    case kCancel:
        DrawButton(chosen, 0);
        if (chosen == kCancel) Cancel();
        // What the player confirmed is kept at once: a crash later must not
        // lose it. A failed write leaves the old file whole.
        if (chosen == kOk && !SaveConfig()) {
            LogMessage("settings file could not be written");
            platform::Tell(kNotSaved, g_windowTitle, platform::BoxIcon::Error);
        }
        // The fade-out goes on from the clock of the glow: it has run the
        // glow's time already.
        ToFadeOut(g_scenario && g_scenario->menuReturn == 1, FadeClock::Continue);
        break;
    case kVoicePageControl:
        state = 10;
        break;
    default:
        state = 3;
        break;
    }
}

void CConfigScreen::FadeOut(platform::WindowHandle) {
    if (Fading(Clock(), Slot(20), Slot(23), kFadeOutMs, Hurry::BySkip)) return;
    state = 5;
}

void CConfigScreen::Leave(platform::WindowHandle) {
    state = 0;
    ApplyEffectVolume();
    ApplyMusicVolume();
    FreeSurfaces(19, 34);
    tick_.reset();
    LeaveTo(g_gameApp ? g_gameApp->returnMode : 1);
}
