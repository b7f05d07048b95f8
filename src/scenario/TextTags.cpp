// Inline tags and ruby inside message text.
#include "scenario/Scenario.h"

#include "app/Config.h"
#include "app/GameApp.h"
#include "app/Input.h"
#include "data/PathTable.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "gfx/GlyphFont.h"
#include "sound/SoundChannel.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

void SetFont(int size, int face) {
    if (g_glyphFont) g_glyphFont->SetFont(size, face);
}

// The decimal number at the start of `field`: leading blanks and a sign
// allowed, stopping at the first non-digit, 0 without digits.
long LeadingNumber(std::string_view field) {
    std::size_t i = 0;
    while (i < field.size() && (field[i] == ' ' || field[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '-' || field[i] == '+')) negative = field[i++] == '-';
    long v = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9' && v < 100000; ++i)
        v = v * 10 + (field[i] - '0');
    return negative ? -v : v;
}

// Fields are gathered in 128-byte buffers: longer ones are cut.
constexpr std::size_t kFieldBytes = 127;
constexpr int kScriptSoundChannels = 9; // elements 1..9 of the effect slots

// A field in parentheses (or brackets): each character overwrites the first
// place, so the last one before the closing mark counts. Moves `at` past the
// closing mark; 0 when the field is empty.
char OneCharField(std::string_view body, std::size_t& at, char open, char close) {
    if (at < body.size() && body[at] == open) ++at;
    char last = 0;
    while (at < body.size() && body[at] != close)
        last = body[at++];
    if (at < body.size()) ++at;
    return last;
}

// Characters up to one of `stops` (or the end), cut to the field buffer.
std::string_view FieldText(std::string_view body, std::size_t& at, std::string_view stops) {
    const std::size_t from = at;
    while (at < body.size() && stops.find(body[at]) == std::string_view::npos)
        ++at;
    const std::string_view field = body.substr(from, at - from);
    return field.substr(0, std::min(field.size(), kFieldBytes));
}

int DigitValue(char c) {
    return c >= '0' && c <= '9' ? c - '0' : 0;
}

constexpr platform::Rect kFaceRect{174, 146, 40, 43}; // x, y, width, height

} // namespace

bool CScenario::TagTextSkipped() const {
    if (!g_mouse || !g_mouse->skip) return false;
    return g_config[config::kSkipScope] == 0 || TextBlockRead();
}

void CScenario::TagFace(std::string_view body) {
    std::size_t at = 0;
    const int slot = DigitValue(OneCharField(body, at, '(', ')'));
    if (at < body.size() && body[at] == '[') ++at;
    const long face = std::clamp(LeadingNumber(FieldText(body, at, "]")), 0L, 255L);
    if (!g_gameApp) return;
    g_gameApp->charParams[static_cast<std::size_t>(slot)] = static_cast<std::uint8_t>(face);
    const CDib* frame = g_charFrames[static_cast<std::size_t>(slot)].get();
    const int left = g_gameApp->charCentreX[static_cast<std::size_t>(slot)] -
                     (frame ? frame->GetWidth() : 0) / 2;
    const CDib* sheet = g_faceFrames[static_cast<std::size_t>(slot)].get();
    if (!sheet) platform::Tell("Not FaceFrame", "Error:SetScrCharSet", platform::BoxIcon::None);
    const int w = kFaceRect.right, h = kFaceRect.bottom;
    const int cellX = static_cast<int>(face % 5) * w, cellY = static_cast<int>(face / 5) * h;
    for (CDib* target : {g_backBuffer.get(), cdib[0].get()}) {
        if (!target) continue;
        if (g_backupSurface)
            BltCopy(target, left + kFaceRect.left, kFaceRect.top, g_backupSurface.get(),
                    left + kFaceRect.left, kFaceRect.top, w, h);
        if (sheet)
            BltAlpha(target, left + kFaceRect.left, kFaceRect.top, sheet, cellX, cellY, w, h);
    }
    FullRedraw();
}

void CScenario::TagSound(std::string_view body) {
    std::size_t at = 0;
    const int channel = DigitValue(OneCharField(body, at, '(', ')'));
    // The saved name is the file name, as the sound opcodes keep it, so that
    // a restored save finds the same file.
    const std::string name = std::string(FieldText(body, at, "")) + ".ogg";
    if (channel == 2 && g_gameApp) {
        g_gameApp->seName.fill(0);
        std::copy_n(name.begin(), std::min(name.size(), g_gameApp->seName.size() - 1),
                    g_gameApp->seName.begin());
    }
    // Script channels are 0..8: element channel + 1 of the ten effect slots.
    if (channel >= kScriptSoundChannels || TagTextSkipped() || g_config[config::kSeOff] != 0)
        return;
    auto& slot = g_seChannels[static_cast<std::size_t>(channel) + 1];
    if (slot) slot->Stop();
    slot = std::make_unique<CSeChannel>();
    if (slot->Load(name)) {
        slot->SetVolume(g_config[config::kSeVolume]);
        slot->Play(Repeat::Once);
    }
}

void CScenario::TagVoice(std::string_view body) {
    std::size_t at = 0;
    OneCharField(body, at, '(', ')');
    const std::string_view name = FieldText(body, at, "");
    waveName.fill(0);
    std::copy_n(name.begin(), std::min(name.size(), waveName.size() - 1), waveName.begin());
    const bool skipped = TagTextSkipped() || g_config[config::kSeOff] != 0 ||
                         (skipMode && (TextBlockRead() || g_config[config::kSkipScope] == 0));
    if (!skipped) {
        SetMode(23);
        voiceWaitPending = 1;
        subState = 0;
    }
    if (g_mouse) g_mouse->click = 0;
}

void CScenario::TagPositions(std::string_view body) {
    if (g_backupSurface) {
        for (CDib* target : {g_backBuffer.get(), cdib[0].get()})
            if (target) BltCopy(target, 0, 0, g_backupSurface.get(), 0, 0, 800, 600);
    } else {
        platform::Tell("Not BackUp", "error", platform::BoxIcon::None);
    }
    std::size_t at = 0;
    // At most four entries; any further ones are left alone.
    for (int entry = 0; entry < 4 && at < body.size(); ++entry) {
        const auto slot = static_cast<std::size_t>(DigitValue(OneCharField(body, at, '(', ')')));
        const int image = DigitValue(OneCharField(body, at, '[', ']'));
        const long x = std::clamp(LeadingNumber(FieldText(body, at, ":")), -32768L, 32767L);
        if (at < body.size()) ++at; // the ':'
        if (!g_gameApp) continue;
        g_gameApp->charCentreX[slot] = static_cast<std::int16_t>(x);
        g_gameApp->charShown[slot] = 1;
        g_gameApp->charParams[slot] = static_cast<std::uint8_t>(image);
        const CDib* frame = g_charFrames[slot].get();
        if (!frame) continue;
        for (CDib* target : {g_backBuffer.get(), cdib[0].get()})
            if (target)
                BltAlpha(target, static_cast<int>(x) - frame->GetWidth() / 2, 0, frame, 0, 0,
                         frame->GetWidth(), frame->GetHeight());
    }
    FullRedraw();
}

std::size_t CScenario::ParseTextTag(std::string_view text, std::size_t index) {
    if (index + 1 >= text.size()) return text.size();
    const char letter = text[index + 1];
    if (letter != 's' && letter != 'f' && letter != 'b' && letter != 'v' && letter != 'p')
        return index + 2;
    // A tag runs to its closing '#'; an unclosed one to the end of the text.
    const std::size_t close = text.find('#', index + 2);
    const std::size_t end = close == std::string_view::npos ? text.size() : close;
    const std::string_view body = text.substr(index + 2, end - (index + 2));
    switch (letter) {
    case 's': {
        const long size = LeadingNumber(body.substr(0, std::min(body.size(), kFieldBytes)));
        if (size >= 1 && size <= 255) SetFont(static_cast<int>(size), 0);
        break;
    }
    case 'f':
        TagFace(body);
        break;
    case 'b':
        TagSound(body);
        break;
    case 'v':
        TagVoice(body);
        break;
    default:
        TagPositions(body);
        break;
    }
    return close == std::string_view::npos ? text.size() : close + 1;
}

std::size_t CScenario::DrawRuby(std::string_view text, std::size_t index) {
    return DrawRubyInto(text, index, cdib[0].get());
}

std::size_t CScenario::DrawRubyAlt(std::string_view text, std::size_t index) {
    return DrawRubyInto(text, index, cdib[1].get());
}

std::size_t CScenario::DrawRubyInto(std::string_view text, std::size_t index, CDib* columnTarget) {
    const std::size_t from = index + 1;
    if (from >= text.size()) return text.size();
    std::size_t close = text.find('>', from);
    if (close == std::string_view::npos) close = text.size();
    const std::string_view ruby = text.substr(from, close - from);
    const std::size_t next = close < text.size() ? close + 1 : text.size();
    if (rubyEnd < rubyStart || !g_glyphFont) return next;
    const bool column = messageStyle == 1;
    SetFont(column ? 10 : 12, column ? 1 : 0);
    int position = rubyStart + (rubyEnd - rubyStart) / 2 - static_cast<int>(ruby.size() / 2) * 5;
    for (std::size_t i = 0; i < ruby.size(); i += 2) {
        const std::string_view ch = ruby.substr(i, 2);
        std::int16_t advance = 0;
        for (int twice = 0; twice < 2; ++twice) {
            if (column)
                advance =
                    g_glyphFont->DrawCharGray4(columnTarget, rubyLine - 19, position, ch, 0xFFFFFF);
            else
                advance = g_glyphFont->DrawCharGray4Plain(g_msgWindowText.get(), position,
                                                          rubyLine - 461, ch, 0xFFFFFF);
        }
        position += advance;
    }
    SetFont(column ? 23 : 26, column ? 1 : 0);
    return next;
}
