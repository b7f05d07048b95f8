// Message display (mode 3 in its three styles, mode 36) and the window
// buttons. Style 0 draws into the text surface that the overlay puts over the
// scene at y 461; style 1 writes columns straight into the background; style 2
// draws a caption band into the back buffer.
#include "scenario/Scenario.h"

#include "app/Config.h"
#include "app/GameApp.h"
#include "app/Input.h"
#include "app/Shell.h"
#include "data/PathTable.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "gfx/GlyphFont.h"
#include "scenario/MessageHistory.h"
#include "scenario/TextRules.h"
#include "sound/SoundChannel.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kWindowTop = 461;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr int kLineBytes = 46;
constexpr int kCaptionLineBytes = 70;
constexpr int kColumnStep = 42;
// Every pass of a drawing loop moves the index forward, so a message of at
// most 255 bytes needs fewer passes than this.
constexpr int kStepGuard = 1024;
constexpr char kExitQuestion[] =
    "\xD2\xAA\xCD\xCB\xB3\xF6\xD3\xCE\xCF\xB7\xC2\xF0\xA3\xBF"; // 要退出游戏吗？

bool IsIconMarker(std::string_view rest) {
    return rest.size() >= 2 && static_cast<std::uint8_t>(rest[0]) == 0x81 &&
           static_cast<std::uint8_t>(rest[1]) == 0xE8;
}

std::int8_t TextSpeed() {
    return static_cast<std::int8_t>(g_config[config::kTextSpeed]);
}
bool UnreadSkipping() {
    return g_config[config::kSkipScope] != 0;
}
bool CtrlHeld() {
    return g_mouse && g_mouse->skip;
}
bool Clicked() {
    return g_mouse && g_mouse->click;
}

std::unique_ptr<CDib> CopyOf(platform::WindowHandle window, const CDib* source) {
    auto dib = std::make_unique<CDib>();
    dib->Create(window, 800, 600, 24);
    if (source) BltCopy(dib.get(), 0, 0, source, 0, 0, 800, 600);
    return dib;
}

// The pen never starts left of the surface.
std::int16_t CentredX(std::size_t bytes, int centre, int perTwoBytes) {
    return static_cast<std::int16_t>(
        std::max(0, centre - static_cast<int>(bytes / 2) * perTwoBytes));
}

} // namespace

std::string_view CScenario::MessageView() const {
    if (!messageBuffer) return {};
    // The buffer holds its length plus a zero byte; a message is at most 255.
    return {messageBuffer.get(), strnlen(messageBuffer.get(), 255)};
}

void CScenario::RunMessage() {
    const std::string_view text = MessageView();
    switch (messageStyle) {
    case 1:
        ShowMessageFull(text);
        break;
    case 2:
        ShowMessageStyle2(text);
        break;
    default:
        ShowMessageWindow(text);
        break;
    }
}

// ---------------------------------------------------------------- helpers

void CScenario::StopVoiceAndScriptSound() {
    if (g_voiceChannels[0]) {
        g_voiceChannels[0]->Stop();
        g_voiceChannels[0].reset();
    }
    if (g_seChannels[1]) {
        g_seChannels[1]->Stop();
        g_seChannels[1].reset();
    }
}

void CScenario::MarkTextRead() {
    // A block beyond the table stays unread.
    if (textBlock < config::kReadFlagCount) g_config[config::kReadFlags + textBlock] = 1;
}

void CScenario::TakeMenuSnapshot(bool eraseWindow) {
    g_menuSnapshot = CopyOf(hwnd, g_backBuffer.get());
    if (eraseWindow && g_msgWindowBase && cdib[0])
        BltCopy(g_menuSnapshot.get(), 0, kWindowTop, cdib[0].get(), 0, kWindowTop,
                g_msgWindowBase->GetWidth(), g_msgWindowBase->GetHeight());
}

bool CScenario::CommandLine(std::string_view text) {
    if (!IsCommandMark(text)) return false;
    // The copy keeps the message's length, zero-filled.
    speakerName = std::make_unique<char[]>(text.size() + 1);
    std::memcpy(speakerName.get(), text.data() + 2, text.size() - 2);
    if (g_mouse) g_mouse->click = 0;
    subState = 0;
    SetMode(2);
    return true;
}

void CScenario::BeginClickWait() {
    subState = 3;
    // A wait clicked away mid-cycle leaves its cells lit or fading: the next
    // icon starts from nothing.
    waitIconFrame = 0;
    waitCellOpacity.fill(0);
    waitIconFading = 0;
    waitStartTime = platform::TimeGetTime();
}

void CScenario::AdvanceMessage(bool stopSounds) {
    if (g_mouse) g_mouse->click = 0;
    if (stopSounds) StopVoiceAndScriptSound();
    MarkTextRead();
    speakerName.reset();
    subState = 0;
    SetMode(2);
    if (messageStyle == 1) particlesOn = 0;
}

void CScenario::HideWindow() {
    if (messageStyle == 1) {
        g_menuSnapshot = CopyOf(hwnd, cdib[0].get());
        g_backBuffer = CopyOf(hwnd, g_fullPage.get());
    } else {
        g_menuSnapshot = CopyOf(hwnd, g_backBuffer.get());
        g_backBuffer = CopyOf(hwnd, cdib[0].get());
    }
    FullRedraw();
    windowHidden = 1;
    windowShown = 0;
    if (g_keyboard) g_keyboard->space = 0;
}

// ---------------------------------------------------------------- drawing

void CScenario::NewLine(std::string_view text, bool forcedBreak) {
    lineColumn = 0;
    switch (messageStyle) {
    case 1:
        penX = static_cast<std::int16_t>(penX - kColumnStep);
        penY = 16;
        break;
    case 2:
        penY = static_cast<std::int16_t>(penY + (forcedBreak ? 24 : 34));
        penX = forcedBreak
                   ? CentredX(text.size() - std::min<std::size_t>(charIndex, text.size()), 400, 11)
                   : 72;
        break;
    default:
        penX = 84;
        penY = static_cast<std::int16_t>(penY + 34);
        ++pageLines;
        break;
    }
}

void CScenario::DrawIcon(std::string_view text) {
    // The marker and its two digits; a marker cut by the end of the text ends it.
    if (charIndex + 4u > text.size()) {
        charIndex = static_cast<std::uint8_t>(text.size());
        return;
    }
    const int d1 = text[charIndex + 2u] - '0';
    const int d2 = text[charIndex + 3u] - '0';
    const int tile = (10 * d1 + d2) & 0xFF;
    const CDib* sheet = g_gaijiSheet.get();
    if (messageStyle == 1) {
        penY = static_cast<std::int16_t>(penY + 24);
        if (sheet && cdib[0])
            BltCopy(cdib[0].get(), penX - 2, penY - 21, sheet, 24 * tile, 0, 24, 24);
    } else {
        CDib* target = messageStyle == 2 ? g_backBuffer.get() : g_msgWindowText.get();
        const int y = messageStyle == 2 ? penY : penY - kWindowTop;
        if (sheet && target) BltCopy(target, penX + 2, y, sheet, 24 * tile, 0, 24, 24);
        penX = static_cast<std::int16_t>(penX + 26);
    }
    lineColumn = static_cast<std::uint8_t>(lineColumn + 4);
    charIndex = static_cast<std::uint8_t>(charIndex + 4);
}

CScenario::DrawStop CScenario::DrawMessageStep(std::string_view text, Reveal reveal) {
    const bool caption = messageStyle == 2;
    CDib* target = caption ? g_backBuffer.get() : g_msgWindowText.get();
    const int yOffset = caption ? 0 : kWindowTop;
    const int limit = caption ? kCaptionLineBytes : kLineBytes;
    for (int guard = 0; guard < kStepGuard; ++guard) {
        const std::size_t i = charIndex;
        if (i >= text.size()) return DrawStop::End;
        if (text[i] == '#') {
            const std::uint8_t before = g_gameApp ? g_gameApp->mode : 3;
            charIndex =
                static_cast<std::uint8_t>(std::clamp(ParseTextTag(text, i), i + 1, text.size()));
            if (g_gameApp && g_gameApp->mode != before) return DrawStop::Voice;
            continue;
        }
        if (text[i] == '<') {
            if (!rubyOpen) {
                rubyStart = static_cast<std::uint16_t>(std::max<int>(penX, 0));
                rubyLine = static_cast<std::int16_t>(penY - 10);
                rubyOpen = 1;
                charIndex = static_cast<std::uint8_t>(i + 1);
            } else {
                rubyEnd = static_cast<std::uint16_t>(std::max<int>(penX, 0));
                charIndex =
                    static_cast<std::uint8_t>(std::clamp(DrawRuby(text, i), i + 1, text.size()));
                rubyOpen = 0;
            }
            continue;
        }
        break;
    }
    const std::size_t i = charIndex;
    if (i >= text.size()) return DrawStop::End;
    const bool twoByte = IsLeadByte(text.substr(i));
    if (twoByte && i + 1 >= text.size()) { // a lead byte cut by the end
        charIndex = static_cast<std::uint8_t>(text.size());
        return DrawStop::End;
    }
    const std::size_t length = twoByte ? 2 : 1;
    const std::int16_t advance = g_glyphFont ? g_glyphFont->DrawChar(target, penX, penY - yOffset,
                                                                     text.substr(i, length), kWhite)
                                             : 0;
    penX = static_cast<std::int16_t>(penX + advance);
    charIndex = static_cast<std::uint8_t>(i + length);
    lineColumn = static_cast<std::uint8_t>(lineColumn + length);
    // A forced break and an icon follow any character however the text comes:
    // left to the next step they would be drawn as glyphs.
    if (IsIconMarker(text.substr(charIndex))) DrawIcon(text);
    if (IsLineBreakMark(text.substr(charIndex))) {
        charIndex = static_cast<std::uint8_t>(charIndex + 2);
        NewLine(text, true);
    } else if (lineColumn >= limit) {
        // A character that may not begin a line hangs past the limit.
        if ((twoByte || reveal == Reveal::Whole) && IsKinsokuChar(text.substr(charIndex))) {
            if (g_glyphFont)
                g_glyphFont->DrawChar(target, penX, penY - yOffset, text.substr(charIndex, 2),
                                      kWhite);
            charIndex = static_cast<std::uint8_t>(charIndex + 2);
        }
        NewLine(text, false);
    }
    return DrawStop::Drew;
}

CScenario::DrawStop CScenario::DrawColumnStep(std::string_view text, Reveal reveal) {
    CDib* target = cdib[0].get();
    for (int guard = 0; guard < kStepGuard; ++guard) {
        const std::size_t i = charIndex;
        if (i >= text.size()) return DrawStop::End;
        const std::string_view rest = text.substr(i);
        if (rest[0] == '#') {
            const std::uint8_t before = g_gameApp ? g_gameApp->mode : 3;
            charIndex =
                static_cast<std::uint8_t>(std::clamp(ParseTextTag(text, i), i + 1, text.size()));
            if (g_gameApp && g_gameApp->mode != before) return DrawStop::Voice;
            continue;
        }
        if (rest[0] == '<') {
            if (!rubyOpen) {
                rubyStart = static_cast<std::uint16_t>(std::max(penY - 17, 0));
                rubyLine = static_cast<std::int16_t>(penX + 43);
                rubyOpen = 1;
                charIndex = static_cast<std::uint8_t>(i + 1);
            } else {
                rubyEnd = static_cast<std::uint16_t>(std::max<int>(penY, 0));
                charIndex =
                    static_cast<std::uint8_t>(std::clamp(DrawRuby(text, i), i + 1, text.size()));
                rubyOpen = 0;
            }
            continue;
        }
        if (IsLineBreakMark(rest)) {
            charIndex = static_cast<std::uint8_t>(i + 2);
            NewLine(text, true);
            return DrawStop::FrameEnd;
        }
        if (IsPageMark(rest)) {
            charIndex = static_cast<std::uint8_t>(i + 2);
            return DrawStop::PageEnd;
        }
        break;
    }
    const std::size_t i = charIndex;
    if (i >= text.size()) return DrawStop::End;
    const bool twoByte = IsLeadByte(text.substr(i));
    if (twoByte && i + 1 >= text.size()) {
        charIndex = static_cast<std::uint8_t>(text.size());
        return DrawStop::End;
    }
    const std::size_t length = twoByte ? 2 : 1;
    const std::int16_t advance =
        g_glyphFont
            ? g_glyphFont->DrawCharGray4(target, penX, penY - 19, text.substr(i, length), kWhite)
            : 0;
    penY = static_cast<std::int16_t>(penY + advance);
    charIndex = static_cast<std::uint8_t>(i + length);
    lineColumn = static_cast<std::uint8_t>(lineColumn + length);
    if (IsIconMarker(text.substr(charIndex))) DrawIcon(text);
    if (lineColumn >= kLineBytes) {
        if ((twoByte || reveal == Reveal::Whole) && IsKinsokuChar(text.substr(charIndex))) {
            if (g_glyphFont)
                g_glyphFont->DrawCharGray4(target, penX, penY - 19, text.substr(charIndex, 2),
                                           kWhite);
            charIndex = static_cast<std::uint8_t>(charIndex + 2);
        }
        // The end of every message moves one column left by itself.
        if (charIndex < text.size()) NewLine(text, false);
    }
    return DrawStop::Drew;
}

int CScenario::SpeakerNameX(std::string_view name) {
    return std::max(0, (8 - (static_cast<int>(name.size()) - 2) / 2) * 12);
}

void CScenario::DrawSpeakerName(std::string_view name, int x, int y) {
    for (std::size_t i = 0; i < name.size() && g_glyphFont;) {
        const std::size_t n = IsLeadByte(name.substr(i)) && i + 1 < name.size() ? 2 : 1;
        x += g_glyphFont->DrawChar(g_msgWindowText.get(), x, y, name.substr(i, n), kWhite);
        i += n;
    }
}

// ---------------------------------------------------------------- the styles

namespace {

// Where instant completion comes from.
enum class Completion : std::uint8_t { None, Skip, ClickOrFullSpeed };

} // namespace

void CScenario::ShowMessageWindow(std::string_view text) {
    HandleMessageRightClick();
    if (g_gameApp && g_gameApp->mode != 3) return;
    prevHoverButton = hoverButton;
    hoverButton = HitTestWindowButton();
    const bool full = messageStyle == 1;

    if (subState == 0) {
        if (skipMode && !UnreadSkipping() && !TextBlockRead()) {
            skipMode = 0;
            buttonLatched = 0;
        }
        if (!full && g_msgWindowText && g_msgWindowBase)
            BltCopy(g_msgWindowText.get(), 0, 0, g_msgWindowBase.get(), 0, 0,
                    g_msgWindowBase->GetWidth(), g_msgWindowBase->GetHeight());
        if (CommandLine(text)) return;
        windowShown = 1;
        subState = 1;
    }
    if (subState == 1) {
        if (!full) {
            if (g_msgWindowButtons && g_backBuffer)
                BltAlpha(g_backBuffer.get(), 506, 464, g_msgWindowButtons.get(), 0, 26, 48, 52);
            if (speakerName) {
                const std::string_view name(speakerName.get(), strnlen(speakerName.get(), 255));
                nameBytes = static_cast<std::int32_t>(name.size());
                DrawSpeakerName(name, SpeakerNameX(name), 469 - kWindowTop);
            }
            pageLines = 0;
            penX = 84;
            penY = 498;
        } else {
            speakerName.reset();
            penY = 16;
            hoverButton = 0;
            ++pageLines;
            columnStartX = static_cast<std::uint16_t>(std::max<int>(penX, 0));
        }
        charIndex = 0;
        lineColumn = 0;
        rubyOpen = 0;
        if (g_gameApp) CountShownMessage(*g_gameApp);
        subState = 2;
    }
    if (subState == 4) {
        const auto delay = static_cast<std::uint32_t>(100 - TextSpeed());
        if (platform::TimeGetTime() - lastCharTime > delay || Clicked() || CtrlHeld()) subState = 2;
    }
    if (subState == 2) {
        const bool read = TextBlockRead();
        Completion completion = Completion::None;
        if (skipMode || (CtrlHeld() && (read || UnreadSkipping()))) completion = Completion::Skip;
        if ((Clicked() && !buttonLatched) || TextSpeed() == 100)
            completion = Completion::ClickOrFullSpeed;

        auto finishText = [&](bool doneNow) {
            if (full) penX = static_cast<std::int16_t>(penX - kColumnStep);
            BeginClickWait();
            if (doneNow) textDoneTime = platform::TimeGetTime();
        };
        auto pageEnd = [&] {
            BeginClickWait();
            g_clickWaitIcon = std::make_unique<CDib>();
            const std::string folder =
                g_pathTable ? g_pathTable->GetPath(kDataSystem) : std::string();
            g_clickWaitIcon->LoadFile(hwnd, (folder + "click_wait02.bmp").c_str());
            SetMode(55);
            if (g_mouse) {
                g_mouse->click = 0;
                g_mouse->skip = 0;
            }
        };
        if (completion != Completion::None) {
            for (int guard = 0; guard < kStepGuard; ++guard) {
                const DrawStop stop = full ? DrawColumnStep(text, Reveal::Whole)
                                           : DrawMessageStep(text, Reveal::Whole);
                if (stop == DrawStop::Voice) return;
                if (stop == DrawStop::PageEnd) {
                    pageEnd();
                    return;
                }
                if (stop == DrawStop::End) break;
            }
            if (g_mouse) g_mouse->click = 0;
            finishText(completion == Completion::ClickOrFullSpeed);
            return;
        }
        const DrawStop stop = full ? DrawColumnStep(text, Reveal::ByCharacter)
                                   : DrawMessageStep(text, Reveal::ByCharacter);
        if (stop == DrawStop::Voice) return;
        if (stop == DrawStop::PageEnd) {
            pageEnd();
            return;
        }
        if (stop == DrawStop::End || charIndex >= text.size()) {
            finishText(true);
            return;
        }
        const std::int8_t speed = TextSpeed();
        if (speed >= 0 && speed < 100) {
            lastCharTime = platform::TimeGetTime();
            subState = 4;
        }
        return;
    }
    if (subState == 3) ClickWait(text);
}

void CScenario::ShowMessageFull(std::string_view text) {
    ShowMessageWindow(text);
}

void CScenario::ShowMessageStyle2(std::string_view text) {
    // The band shares the window's button places: a click on one is no advance.
    prevHoverButton = hoverButton;
    hoverButton = HitTestWindowButton();
    if (subState == 0) {
        if (skipMode && !UnreadSkipping() && !TextBlockRead()) {
            skipMode = 0;
            buttonLatched = 0;
        }
        speakerName.reset();
        // The overlay carries out a button the band latches only while the
        // window counts as shown; without it the latch would hold every
        // later click.
        windowShown = 1;
        subState = 1;
    }
    if (subState == 1) {
        if (g_backBuffer) g_backBuffer->FillRect(0, 490, 800, 110, 0);
        charIndex = 0;
        lineColumn = 0;
        rubyOpen = 0;
        std::size_t firstLine = text.size();
        if (text.size() >= 71) {
            for (std::size_t i = 0; i + 1 < text.size(); i += IsLeadByte(text.substr(i)) ? 2 : 1) {
                if (IsLineBreakMark(text.substr(i))) {
                    firstLine = i;
                    break;
                }
            }
        }
        penY = text.size() < 71 ? 530 : 518;
        penX = CentredX(firstLine, 400, 11);
        subState = 2;
    }
    if (subState == 4) {
        const auto delay = static_cast<std::uint32_t>(100 - TextSpeed());
        if (platform::TimeGetTime() - lastCharTime > delay || Clicked() || CtrlHeld()) subState = 2;
    }
    if (subState == 2) {
        for (int guard = 0; guard < kStepGuard; ++guard) {
            const DrawStop stop = DrawMessageStep(text, Reveal::Whole);
            if (stop == DrawStop::Voice) return;
            if (stop == DrawStop::End) break;
        }
        BeginClickWait();
        textDoneTime = platform::TimeGetTime();
        return;
    }
    if (subState == 3) ClickWait(text);
}

void CScenario::ClickWait(std::string_view) {
    if (windowHidden) {
        const bool any =
            (g_mouse && (g_mouse->click || g_mouse->cancel)) || (g_keyboard && g_keyboard->space);
        if (!any) return;
        if (g_menuSnapshot) {
            g_backBuffer = CopyOf(hwnd, g_menuSnapshot.get());
            if (messageStyle == 1) cdib[0] = CopyOf(hwnd, g_menuSnapshot.get());
        }
        g_menuSnapshot.reset();
        if (g_mouse) g_mouse->click = g_mouse->cancel = 0;
        if (g_keyboard) g_keyboard->space = 0;
        FullRedraw();
        windowHidden = 0;
        windowShown = 1;
        return;
    }
    if (g_keyboard && g_keyboard->space) {
        HideWindow();
        return;
    }
    if (g_keyboard && g_keyboard->left) {
        StopVoiceAndScriptSound();
        TakeMenuSnapshot(false);
        if (g_gameApp) g_gameApp->returnMode = g_gameApp->mode;
        SetMode(6);
        if (g_mouse) g_mouse->middle = 0;
        return;
    }
    const bool read = TextBlockRead();
    const bool ctrl = CtrlHeld();
    if ((Clicked() && !buttonLatched && hoverButton == 0) || (ctrl && !UnreadSkipping() && read) ||
        (skipMode && ((read && !UnreadSkipping()) || UnreadSkipping())) ||
        (UnreadSkipping() && ctrl)) {
        AdvanceMessage(true);
        return;
    }
    if (!autoMode) return;
    auto& voice = g_voiceChannels[0];
    if (voice) {
        if (!voice->IsStopped()) return;
        voice.reset();
        AdvanceMessage(false);
        return;
    }
    const auto wait =
        static_cast<std::uint32_t>(std::max(0, 3000 - 30 * g_config[config::kAutoSpeed]));
    if (platform::TimeGetTime() - textDoneTime > wait) AdvanceMessage(false);
}

void CScenario::SkipMessageLine(std::string_view text) {
    switch (subState) {
    case 0:
        if (CommandLine(text)) return;
        subState = 1;
        break;
    case 1:
        if (g_gameApp) CountShownMessage(*g_gameApp);
        subState = 2;
        break;
    default:
        speakerName.reset();
        MarkTextRead();
        subState = 0;
        SetMode(2);
        break;
    }
}

// ---------------------------------------------------------------- window buttons

std::uint8_t CScenario::HitTestWindowButton() const {
    if (!g_mouse) return 0;
    const bool full = messageStyle == 1;
    for (int b = 1; b <= 6; ++b) {
        const platform::Rect& r = full ? buttonHits1[static_cast<std::size_t>(b - 1)]
                                       : buttonHits0[static_cast<std::size_t>(b - 1)];
        if (g_mouse->x < r.left || g_mouse->x >= r.right || g_mouse->y < r.top ||
            g_mouse->y >= r.bottom)
            continue;
        if (playContext >= 1 && playContext <= 3) {
            const bool barred = full && playContext <= 2 ? (b == 3 || b == 4) : (b >= 3 && b <= 5);
            if (barred) return 0;
        }
        if (playContext == 0 && b == 1 && !TextBlockRead() && !UnreadSkipping()) return 0;
        return static_cast<std::uint8_t>(b);
    }
    return 0;
}

void CScenario::PressWindowButton(std::uint8_t button) {
    if (!g_mouse) return;
    if (buttonLatched && g_mouse->cancel) {
        if (pendingButton == 1) skipMode = 0;
        if (pendingButton == 2) autoMode = 0;
        buttonLatched = pendingButton = hoverButton = 0;
        g_mouse->click = g_mouse->cancel = 0;
    }
    if (button == 0 || button > 6 || !g_mouse->click || buttonLatched) return;
    if (button == 6 && subState != 3) {
        g_mouse->click = 0;
        return;
    }
    pendingButton = button;
    buttonLatched = 1;
    g_mouse->click = 0;
    const bool silent =
        (button == 6 && playContext == 0) || (button >= 3 && button <= 5 && playContext != 0);
    // The window buttons click whatever the effects switch says: the click
    // answers the player's own press.
    if (silent) return;
    auto& click = g_seChannels[0];
    if (click) click->Stop();
    click = std::make_unique<CSeChannel>();
    if (click->Load("sys_010.ogg")) {
        click->SetVolume(g_config[config::kSeVolume]);
        click->Play(Repeat::Once);
    }
}

void CScenario::DrawWindowButton(std::uint8_t button) {
    if (button == 0 || button > 6 || !g_msgWindowButtons || !g_backBuffer) return;
    const auto k = static_cast<std::size_t>(button - 1);
    const bool full = messageStyle == 1;
    const Area& cell = full ? buttonCells1[k] : buttonCells0[k];
    const platform::Rect& at = full ? buttonDraws1[k] : buttonDraws0[k];
    BltAlpha(g_backBuffer.get(), at.left, at.top, g_msgWindowButtons.get(), cell.x, 0, cell.width,
             26);
}

void CScenario::DoWindowButtonAction() {
    if (!buttonLatched) return;
    const bool full = messageStyle == 1;
    auto drawLit = [&](std::size_t k) {
        if (!g_msgWindowButtons || !g_backBuffer) return;
        const Area& cell = full ? buttonCells1[k] : buttonCells0[k];
        const platform::Rect& at = full ? buttonDraws1[k] : buttonDraws0[k];
        BltAlpha(g_backBuffer.get(), at.left, at.top, g_msgWindowButtons.get(), cell.x,
                 full ? 25 : 26, cell.width, 26);
    };
    switch (pendingButton) {
    case 1:
        skipMode = 1;
        drawLit(0);
        if (g_mouse) g_mouse->click = g_mouse->skip = 0;
        break;
    case 2:
        autoMode = 1;
        drawLit(1);
        break;
    case 3:
    case 4:
    case 5: {
        buttonLatched = 0;
        if (g_mouse) g_mouse->click = g_mouse->cancel = 0;
        StopVoiceAndScriptSound();
        TakeMenuSnapshot(true);
        if (g_gameApp) g_gameApp->returnMode = g_gameApp->mode;
        SetMode(pendingButton == 3 ? 10 : pendingButton == 4 ? 11 : 8);
        menuReturn = 1;
        hoverButton = 0;
        break;
    }
    case 6:
        HideWindow();
        buttonLatched = 0;
        break;
    default:
        buttonLatched = 0;
        break;
    }
}

void CScenario::HandleMessageRightClick() {
    if (!g_mouse || buttonLatched || windowHidden || subState < 2 || !g_mouse->cancel) return;
    if (playContext == 0) {
        StopVoiceAndScriptSound();
        if (g_msgWindowBase && g_backBuffer && cdib[0])
            BltCopy(g_backBuffer.get(), 0, kWindowTop, cdib[0].get(), 0, kWindowTop,
                    g_msgWindowBase->GetWidth(), g_msgWindowBase->GetHeight());
        TakeMenuSnapshot(false);
        if (g_gameApp) g_gameApp->returnMode = g_gameApp->mode;
        SetMode(8);
        g_mouse->cancel = 0;
        return;
    }
    if (playContext != 1) return;
    if (platform::AskOkCancel(kExitQuestion, g_windowTitle, platform::BoxIcon::Question) ==
        platform::BoxAnswer::Ok) {
        StopVoiceAndScriptSound();
        if (g_seChannels[0]) {
            g_seChannels[0]->Stop();
            g_seChannels[0].reset();
        }
        FullRedraw();
        speakerName.reset();
        if (g_gameApp) g_gameApp->seName.fill(0);
        subState = 0;
        SetMode(14);
    }
    g_mouse->cancel = 0;
}
