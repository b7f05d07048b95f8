#include "system/BacklogScreen.h"

#include "app/Config.h"
#include "app/GameApp.h"
#include "app/Input.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "gfx/GlyphFont.h"
#include "gfx/Transition.h"
#include "scenario/MessageHistory.h"
#include "scenario/Scenario.h"
#include "scenario/TextRules.h"
#include "scenario/VoiceFilter.h"
#include "screenkit/ScreenKit.h"

#include <algorithm>
#include <cstring>

using namespace screenkit;
using platform::Rect;

std::unique_ptr<CBacklogScreen> g_backlogScreen;

namespace {

constexpr int kPageSlot = 10;
constexpr int kCleanSlot = 11;
constexpr int kPartsSlot = 12;
constexpr int kFrameSlot = 13;
constexpr int kLastSlot = 47;

constexpr int kBoxPitch = 150;
constexpr int kPageFontSize = 24;
constexpr int kRubyFontSize = 12;
constexpr std::uint32_t kFadeInMs = 1000;
constexpr std::uint32_t kFadeOutMs = 500;
constexpr int kFadeInEffect = 4;

constexpr std::uint32_t kNameColour = 0xFFFF00;
constexpr std::uint32_t kChoiceColour = 0xF000FF;

// Text lines: a one-byte run breaks at 52 columns, a two-byte one at 46.
constexpr int kTextLeft = 74;
constexpr int kLineHeight = 34;
constexpr int kNarrowColumns = 52;
constexpr int kWideColumns = 46;

// Button highlights: the item, its place on the screen (x 738) and its
// part of the parts sheet.
struct Highlight {
    std::uint8_t item;
    int y, sheetY, w, h;
};
constexpr int kHighlightX = 738;
constexpr std::array<Highlight, 5> kHighlights{{
    {7, 368, 0, 61, 64},
    {8, 514, 64, 61, 64},
    {5, 424, 128, 61, 56},
    {6, 466, 184, 61, 56},
    {9, 571, 240, 60, 28},
}};
constexpr int kStripWidth = 70;
constexpr int kBackStripX = 730;

constexpr StateTable<CBacklogScreen, 5> kStates{
    &CBacklogScreen::Open,    &CBacklogScreen::FadeIn, &CBacklogScreen::Input,
    &CBacklogScreen::FadeOut, &CBacklogScreen::Leave,
};

// An entry of a history table, up to its zero and never past its 256 bytes.
std::string_view Entry(const std::array<char, kLogEntryBytes>& field) {
    return {field.data(), ::strnlen(field.data(), field.size())};
}

bool Pair(std::string_view text, std::size_t i, unsigned char a, unsigned char b) {
    return i + 1 < text.size() && static_cast<unsigned char>(text[i]) == a &&
           static_cast<unsigned char>(text[i + 1]) == b;
}

void SetFont(int size) {
    if (g_glyphFont) g_glyphFont->SetFont(size, 0);
}

std::int16_t DrawWhite(CDib* target, int x, int y, std::string_view ch) {
    return g_glyphFont->DrawChar(target, x - 8, y, ch, kWhite);
}

// The picture the page fades from and back to: the snapshot the opener
// took, or the background when there is none.
CDib* Snapshot() {
    return g_menuSnapshot ? g_menuSnapshot.get() : Slot(0);
}

std::int32_t HistoryCount() {
    if (!g_gameApp) return 0;
    return std::clamp<std::int32_t>(g_gameApp->logCount, 0, kHistoryLimit);
}

} // namespace

bool DrawBacklogBase(CDib* target, int) {
    if (target && Slot(kCleanSlot))
        BltCopy(target, 0, 0, Slot(kCleanSlot), 0, 0, kScreenWidth, kScreenHeight);
    return true;
}

CBacklogScreen::CBacklogScreen() {
    for (int k = 0; k < kBoxes; ++k)
        itemRects[k] = Rect{4, 4 + kBoxPitch * k, 716, 142 + kBoxPitch * k};
    itemRects[4] = Rect{760, 440, 785, 464};
    itemRects[5] = Rect{760, 482, 785, 506};
    itemRects[6] = Rect{760, 385, 785, 417};
    itemRects[7] = Rect{760, 532, 785, 564};
    itemRects[8] = Rect{746, 578, 794, 593};
}

bool CBacklogScreen::Update(platform::WindowHandle window) {
    hwnd = window;
    RunState(*this, state, kStates, window);
    return true;
}

bool CBacklogScreen::Exists(int e) {
    return e >= 0 && e < HistoryCount();
}

void CBacklogScreen::Open(platform::WindowHandle) {
    if (g_gameApp) g_gameApp->screenRect = Rect{0, 0, kScreenWidth, kScreenHeight};
    CDib* page = CopyOfSurface(kPageSlot, Slot(0));
    const CDib* base = LoadSurface(kFrameSlot, "system\\backlog_base.bmp");
    BltAlpha(page, 0, 0, base, 0, 0, base->GetWidth(), base->GetHeight());
    CopyOfSurface(kCleanSlot, page);
    LoadSurface(kPartsSlot, "system\\backlog_p.bmp");
    LoadSurface(kFrameSlot, "system\\backlog_w.bmp");
    const std::int32_t count = HistoryCount();
    lastIndex = wheelLastIndex = count - 1;
    maxTop = count - 5;
    // The page opens at the newest entries.
    top = std::max(0, count - 5);
    SetFont(kPageFontSize);
    DrawPage(page, top);
    stateTime = platform::TimeGetTime();
    hover = prevHover = 0;
    state = 1;
}

void CBacklogScreen::FadeIn(platform::WindowHandle) {
    const std::uint32_t level = FadeLevel(platform::TimeGetTime() - stateTime, kFadeInMs);
    if (SkipHeld()) {
        if (g_mouse) g_mouse->skip = 0;
    } else if (level < kFull) {
        DrawTransition(kFadeInEffect, g_backBuffer.get(), Slot(kPageSlot), Snapshot(), 0, 0, 0, 0,
                       kScreenWidth, kScreenHeight, static_cast<int>(level), 0);
        return;
    }
    ShowWhole(Slot(kPageSlot));
    state = 2;
}

void CBacklogScreen::Input(platform::WindowHandle window) {
    prevHover = hover;
    MoveKeys(window);
    hover = HitItem(itemRects);
    if (hover != prevHover) {
        ShowHover();
        // The entry just lit is drawn; clicks wait for the next frame.
        if (hover >= 1 && hover <= kBoxes) {
            prevHover = 0;
            return;
        }
    }
    ClickItem();
    if (TakeCancel()) {
        // A right click silences the replayed voice; the back button does not.
        FreeVoiceSlot(0);
        CopyOfBackBuffer(kPageSlot);
        stateTime = platform::TimeGetTime();
        state = 3;
    }
}

void CBacklogScreen::MoveKeys(platform::WindowHandle window) {
    if (!g_keyboard || maxTop == 0 || !Scrolls() || hover > kBoxes) return;
    if (g_keyboard->up) {
        if (hover == 1) {
            // The key stays held: the list goes on moving one entry a frame.
            if (top > 0) {
                --top;
                ShowPage();
            }
            hover = 1;
            prevHover = 0;
            return;
        }
        hover = hover == 0 ? kBoxes : static_cast<std::uint8_t>(hover - 1);
        g_keyboard->up = 0;
    } else if (g_keyboard->down) {
        if (hover == kBoxes) {
            top = std::min(top + 1, maxTop);
            ShowPage();
            hover = 1;
            prevHover = 0;
            return;
        }
        hover = static_cast<std::uint8_t>(hover + 1);
        g_keyboard->down = 0;
    } else {
        return;
    }
    const Rect& box = itemRects[hover - 1];
    WarpCursor(window, box.left + 677, box.top + 118);
}

void CBacklogScreen::ShowPage() {
    DrawBacklogBase(g_backBuffer.get(), top);
    DrawPage(g_backBuffer.get(), top);
}

void CBacklogScreen::ShowHover() {
    // The item left is restored before the new one is lit, so that a jump
    // between two buttons of one strip keeps the new highlight.
    if (prevHover >= 1 && prevHover <= kBoxes)
        ShowPage();
    else if (prevHover >= 5 && prevHover <= 8)
        RestoreArea(Slot(kCleanSlot), kHighlightX, 0, kStripWidth, kScreenHeight);
    else if (prevHover == 9)
        RestoreArea(Slot(kCleanSlot), kBackStripX, 0, kStripWidth, kScreenHeight);

    if (hover >= 1 && hover <= kBoxes) {
        DrawBacklogBase(g_backBuffer.get(), top);
        const int e = top + hover - 1;
        if (Exists(e) && !Entry(g_gameApp->logVoices[e]).empty()) {
            const CDib* frame = Slot(kFrameSlot);
            const Rect& box = itemRects[hover - 1];
            BltAlpha(g_backBuffer.get(), box.left, box.top, frame, 0, 0, frame->GetWidth(),
                     frame->GetHeight());
        }
        DrawPage(g_backBuffer.get(), top);
        return;
    }
    if (hover == 0 || (hover <= 8 && !Scrolls())) return;
    for (const Highlight& h : kHighlights)
        if (h.item == hover)
            BltAlpha(g_backBuffer.get(), kHighlightX, h.y, Slot(kPartsSlot), 0, h.sheetY, h.w, h.h);
}

void CBacklogScreen::ClickItem() {
    if (hover == 0 || !TakeClick()) return;
    if (hover == 9) {
        PlaySe(0, "sys_a002.ogg");
        CopyOfBackBuffer(kPageSlot);
        stateTime = platform::TimeGetTime();
        state = 3;
        return;
    }
    if (hover <= kBoxes) {
        ReplayVoice(top + hover - 1);
        return;
    }
    if (!Scrolls()) return;
    // Each button sounds only when it moves the list.
    const bool older = hover == 5 || hover == 7;
    const int step = hover <= 6 ? 1 : 4;
    if (older ? top > 0 : top < maxTop) PlaySe(0, "sys_a002.ogg");
    top = older ? std::max(0, top - step) : std::max(0, std::min(maxTop, top + step));
    ShowPage();
    hover = 0;
}

void CBacklogScreen::ReplayVoice(int entry) {
    if (!Exists(entry) || g_config[config::kVoiceOff] != 0) return;
    const std::string_view name = Entry(g_gameApp->logVoices[entry]);
    if (name.empty()) return;
    const auto level = VoiceLevelByte(name);
    if (!level) return;
    PlayVoiceAt(0, std::string(name).c_str(), g_config[*level]);
}

void CBacklogScreen::Wheel(bool up) {
    if (state != 2 || wheelLastIndex < 5) return;
    top = up ? std::max(0, top - 1) : std::min(maxTop, top + 1);
    ShowPage();
    hover = 1;
    prevHover = 0;
}

void CBacklogScreen::FadeOut(platform::WindowHandle) {
    const std::uint32_t level = FadeLevel(platform::TimeGetTime() - stateTime, kFadeOutMs);
    if (SkipHeld()) {
        if (g_mouse) g_mouse->skip = 0;
    } else if (level < kFull) {
        DrawTransition(kCrossFade, g_backBuffer.get(), Snapshot(), Slot(kPageSlot), 0, 0, 0, 0,
                       kScreenWidth, kScreenHeight, static_cast<int>(level), 0);
        return;
    }
    ShowWhole(Snapshot());
    state = 4;
}

void CBacklogScreen::Leave(platform::WindowHandle) {
    state = 0;
    // The story's message font comes back with its style.
    const std::uint8_t style = g_scenario ? g_scenario->messageStyle : 0;
    if (g_glyphFont) {
        if (style == 1)
            g_glyphFont->SetFont(23, 1);
        else if (style == 2)
            g_glyphFont->SetFont(23, 0);
        else
            g_glyphFont->SetFont(26, 0);
    }
    FreeSurfaces(kPageSlot, kLastSlot);
    LeaveTo(g_gameApp ? g_gameApp->returnMode : 0);
}

// ---------------------------------------------------------------- the page

bool CBacklogScreen::DrawPage(CDib* target, int first) {
    if (!target || !g_gameApp || !g_glyphFont) return true;
    // A size tag of an earlier redraw must not carry into this one.
    SetFont(kPageFontSize);
    for (int j = 0; j < kBoxes; ++j) {
        const int e = first + j;
        if (!Exists(e)) continue;
        const std::string_view name = Entry(g_gameApp->logNames[e]);
        if (!name.empty()) {
            int x = 80 - ((static_cast<int>(name.size()) - 2) / 2) * 10;
            for (std::size_t i = 0; i < name.size(); i += 2)
                x += g_glyphFont->DrawChar(target, x - 8, 10 + kBoxPitch * j, name.substr(i, 2),
                                           kNameColour);
        }
        const std::string_view text = Entry(g_gameApp->logText[e]);
        if (text.empty()) continue;
        if (Pair(text, 0, 0xA1, 0xF9)) {
            // A taken choice: one centred line, marks and all, drawn at the
            // pen itself.
            int x = 378 - 13 * ((static_cast<int>(text.size()) - 2) / 2);
            for (std::size_t i = 0; i < text.size(); i += 2)
                x += g_glyphFont->DrawChar(target, x, 66 + kBoxPitch * j, text.substr(i, 2),
                                           kChoiceColour);
            continue;
        }
        DrawEntryText(target, text, 42 + kBoxPitch * j);
    }
    return true;
}

void CBacklogScreen::DrawEntryText(CDib* target, std::string_view text, int y) {
    int x = kTextLeft;
    int column = 0;
    rubyOpen = 0;
    const auto lineBreak = [&] {
        x = kTextLeft;
        y += kLineHeight;
        column = 0;
    };
    std::size_t i = 0;
    while (i < text.size()) {
        if (!IsLeadByte(text.substr(i))) {
            const char c = text[i];
            if (c == '#') {
                i = SkipTag(text, i);
            } else if (c == '<' && !rubyOpen) {
                rubyStartX = static_cast<std::int16_t>(x);
                rubyY = static_cast<std::int16_t>(y - 12);
                rubyOpen = 1;
                ++i;
            } else if (c == '<') {
                rubyEndX = static_cast<std::int16_t>(x);
                i = DrawRuby(target, text, i);
                rubyOpen = 0;
            } else {
                x += DrawWhite(target, x, y, text.substr(i, 1));
                ++i;
                if (++column >= kNarrowColumns) lineBreak();
            }
            continue;
        }
        // A page mark, then a line-break mark, are neither drawn nor break
        // the line; the two bytes after them are one character, whatever
        // they are.
        if (IsPageMark(text.substr(i))) i += 2;
        if (IsLineBreakMark(text.substr(i))) i += 2;
        // A lead byte in the entry's last place has no second byte to draw,
        // and a mark that ends the entry leaves nothing.
        if (i + 1 >= text.size()) break;
        x += DrawWhite(target, x, y, text.substr(i, 2));
        i += 2;
        column += 2;
        if (Pair(text, i, 0x81, 0xE8)) {
            if (i + 3 >= text.size()) break;
            const auto digit = [&](std::size_t k) { return static_cast<unsigned>(text[k] - '0'); };
            const unsigned tile = (10 * digit(i + 2) + digit(i + 3)) & 0xFF;
            if (g_gaijiSheet)
                BltAlpha(target, x - 6, y, g_gaijiSheet.get(), static_cast<int>(24 * tile), 0, 24,
                         24);
            x += 26;
            i += 4;
            column += 4;
        }
        if (column >= kWideColumns) {
            // A character that may not begin a line ends the old one instead.
            if (i + 1 < text.size() && IsKinsokuChar(text.substr(i))) {
                DrawWhite(target, x, y, text.substr(i, 2));
                i += 2;
            }
            lineBreak();
        }
    }
}

std::size_t CBacklogScreen::SkipTag(std::string_view text, std::size_t index) {
    if (index + 1 >= text.size()) return text.size();
    const char letter = text[index + 1];
    if (letter != 's' && letter != 'f' && letter != 'b' && letter != 'v' && letter != 'p')
        return index + 1;
    const std::size_t close = text.find('#', index + 2);
    const std::size_t end = close == std::string_view::npos ? text.size() : close;
    if (letter == 's') {
        int size = 0;
        for (std::size_t k = index + 2; k < end && text[k] >= '0' && text[k] <= '9' && size < 1000;
             ++k)
            size = size * 10 + (text[k] - '0');
        // A size the font cannot take leaves the page's size as it is.
        if (size >= 1 && size <= 255) SetFont(size);
    }
    return end == text.size() ? end : end + 1;
}

std::size_t CBacklogScreen::DrawRuby(CDib* target, std::string_view text, std::size_t index) {
    const std::size_t from = std::min(index + 1, text.size());
    std::size_t close = text.find('>', from);
    if (close == std::string_view::npos) close = text.size();
    const std::string_view ruby = text.substr(from, close - from);
    SetFont(kRubyFontSize);
    int x = (rubyEndX - rubyStartX) / 2 - static_cast<int>(ruby.size() / 2) * 6 + rubyStartX - 6;
    const int y = rubyY + 2;
    for (std::size_t i = 0; i < ruby.size(); i += 2) {
        std::int16_t advance = 0;
        for (int twice = 0; twice < 2; ++twice)
            advance = g_glyphFont->DrawCharGray4Plain(target, x, y, ruby.substr(i, 2), kWhite);
        x += advance;
    }
    SetFont(kPageFontSize);
    return close < text.size() ? close + 1 : text.size();
}
