#include "platform/common/Dialog.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace platform::dialog {
namespace {

using namespace layout;

constexpr char kFaceHei[] = "\xBA\xDA\xCC\xE5"; // 黑体, the face of the game's own text
constexpr std::uint32_t kWaitMs = 100;          // a quit signal is seen within this
constexpr int kFrameInset = 1;
constexpr int kCaptionIndent = 12;
constexpr int kPromptGap = 8;
constexpr int kFieldGap = 12;
constexpr int kGlyphFull = 64;

// GBK: a byte of 0x80 or more begins a two-byte character.
std::size_t CharLength(std::string_view gbk, std::size_t at) {
    if (static_cast<unsigned char>(gbk[at]) >= 0x80 && at + 1 < gbk.size()) return 2;
    return 1;
}

std::uint32_t CodeAt(std::string_view gbk, std::size_t at, std::size_t length) {
    const auto lead = static_cast<unsigned char>(gbk[at]);
    if (length == 1) return lead;
    return lead * 256u + static_cast<unsigned char>(gbk[at + 1]);
}

// Splits UTF-8 into characters; broken sequences are dropped.
std::vector<std::string_view> Utf8Characters(std::string_view utf8) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0x80         ? 1
                                   : (lead >> 5) == 6  ? 2
                                   : (lead >> 4) == 14 ? 3
                                   : (lead >> 3) == 30 ? 4
                                                       : 0;
        if (length == 0 || i + length > utf8.size()) {
            ++i;
            continue;
        }
        out.push_back(utf8.substr(i, length));
        i += length;
    }
    return out;
}

// Each character that has a GBK form, in GBK; control characters and the
// rest are left out.
std::string ToGbkLoose(std::string_view utf8) {
    std::string out;
    for (std::string_view c : Utf8Characters(utf8)) {
        if (c.size() == 1 && static_cast<unsigned char>(c[0]) < 0x20) continue;
        if (auto gbk = Utf8ToGbk(c)) out += *gbk;
    }
    return out;
}

bool Inside(const Rect& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

Rect Inset(const Rect& r, int by) {
    return {r.left + by, r.top + by, r.right - by, r.bottom - by};
}

Rect Intersect(const Rect& a, const Rect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

constexpr Rect kScreen{0, 0, kClientWidth, kClientHeight};

// Ink of level 0..64 over a pixel: exact at both ends.
std::uint32_t Mix(std::uint32_t under, std::uint32_t ink, int level) {
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const std::uint32_t b = (under >> shift) & 0xFF;
        const std::uint32_t f = (ink >> shift) & 0xFF;
        const std::uint32_t c = (b * static_cast<std::uint32_t>(kGlyphFull - level) +
                                 f * static_cast<std::uint32_t>(level)) /
                                kGlyphFull;
        out |= c << shift;
    }
    return out;
}

} // namespace

Spec MessageSpec(std::string_view gbkText, std::string_view gbkCaption, BoxIcon icon,
                 Buttons buttons) {
    Spec spec;
    spec.kind = Kind::Message;
    spec.buttons = buttons;
    spec.icon = icon;
    spec.gbkCaption = gbkCaption;
    spec.gbkText = gbkText;
    return spec;
}

Spec EntrySpec(std::string_view gbkCaption, std::string_view gbkPrompt, std::string_view gbkInitial,
               std::size_t byteLimit) {
    Spec spec;
    spec.kind = Kind::TextEntry;
    spec.buttons = Buttons::OkCancel;
    spec.gbkCaption = gbkCaption;
    spec.gbkText = gbkPrompt;
    spec.gbkInitial = gbkInitial;
    spec.byteLimit = byteLimit;
    return spec;
}

std::string FitGbk(std::string_view gbk, std::size_t byteLimit) {
    std::size_t end = 0;
    while (end < gbk.size()) {
        const std::size_t length = CharLength(gbk, end);
        // A lead byte without its trail byte is no character.
        if (length == 1 && static_cast<unsigned char>(gbk[end]) >= 0x80) break;
        if (end + length > byteLimit) break;
        end += length;
    }
    return std::string(gbk.substr(0, end));
}

std::string_view ButtonLabel(Kind kind, Part button) {
    if (kind == Kind::TextEntry) return button == Part::Cancel ? "CANCEL" : "OK";
    return button == Part::Cancel ? "\xC8\xA1\xCF\xFB" /* 取消 */ : "\xC8\xB7\xB6\xA8" /* 确定 */;
}

void ReportWithoutWindow(std::string_view gbkCaption, std::string_view gbkText) {
    const std::string caption = GbkToUtf8(gbkCaption);
    const std::string text = GbkToUtf8(gbkText);
    std::fprintf(stderr, "norvane: %s: %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
}

GlyphSource* SharedGlyphs() {
    // Made once, on the first dialog, and kept: a dialog must come up at
    // once, and the font files do not change while the game runs.
    static const std::unique_ptr<GlyphSource> glyphs = [] {
        std::unique_ptr<GlyphSource> g = CreateGlyphSource();
        if (g && !g->SetFont(kFaceHei, kFontHeight, 0, TextDirection::Horizontal)) g.reset();
        return g;
    }();
    return glyphs.get();
}

// ---------------------------------------------------------------- layout

Dialog::Dialog(Spec spec, GlyphSource* glyphs) : spec_(std::move(spec)), glyphs_(glyphs) {
    if (glyphs_) ascent_ = glyphs_->Ascent();
    if (spec_.kind == Kind::TextEntry) {
        text_ = FitGbk(spec_.gbkInitial, spec_.byteLimit);
        caret_ = text_.size();
        focus_ = Part::Field;
    } else {
        focus_ = Part::Ok;
    }
    Layout();
    KeepCaretVisible();
}

const Dialog::Glyph& Dialog::GlyphOf(std::uint32_t code) {
    auto it = cache_.find(code);
    if (it == cache_.end()) {
        Glyph g;
        if (glyphs_) g.result = glyphs_->GetGlyph(code, GlyphLevels::Levels65, g.bitmap);
        it = cache_.emplace(code, std::move(g)).first;
    }
    return it->second;
}

int Dialog::Advance(std::uint32_t code) {
    const Glyph& g = GlyphOf(code);
    if (g.result == GlyphResult::Ok) return g.bitmap.cellIncX;
    // Without a glyph the character still takes its place.
    return code < 0x100 ? kFontHeight / 2 : kFontHeight;
}

int Dialog::TextWidth(std::string_view gbk) {
    int width = 0;
    for (std::size_t i = 0; i < gbk.size();) {
        const std::size_t length = CharLength(gbk, i);
        width += Advance(CodeAt(gbk, i, length));
        i += length;
    }
    return width;
}

std::vector<std::string> Dialog::Wrap(std::string_view gbk, int width) {
    std::vector<std::string> lines(1);
    int lineWidth = 0;
    for (std::size_t i = 0; i < gbk.size();) {
        const std::size_t length = CharLength(gbk, i);
        const std::string_view c = gbk.substr(i, length);
        i += length;
        if (c == "\r") continue;
        if (c == "\n") {
            lines.emplace_back();
            lineWidth = 0;
            continue;
        }
        const int advance = Advance(CodeAt(c, 0, length));
        if (lineWidth + advance > width && !lines.back().empty()) {
            lines.emplace_back();
            lineWidth = 0;
        }
        lines.back() += c;
        lineWidth += advance;
    }
    if (lines.size() > static_cast<std::size_t>(kMaxLines)) lines.resize(kMaxLines);
    return lines;
}

void Dialog::Layout() {
    const int buttonCount = spec_.buttons == Buttons::OkCancel ? 2 : 1;
    const int buttonsWidth = buttonCount * kButtonWidth + (buttonCount - 1) * kButtonGap;
    const int captionWidth = TextWidth(spec_.gbkCaption) + 2 * kCaptionIndent;
    int width = 0;
    int height = 0;
    int bodyTop = 0;
    if (spec_.kind == Kind::Message) {
        lines_ = Wrap(spec_.gbkText, kMaxTextWidth);
        int textWidth = 0;
        for (const std::string& line : lines_)
            textWidth = std::max(textWidth, TextWidth(line));
        const int iconWidth = spec_.icon == BoxIcon::None ? 0 : kIconSize + kIconGap;
        const int textHeight = LineCount() * kLineHeight;
        const int bodyHeight = std::max(textHeight, iconWidth ? kIconSize : 0);
        width = std::max({kMinBoxWidth, 2 * kPadding + iconWidth + textWidth,
                          2 * kPadding + buttonsWidth, captionWidth});
        width = std::min(width, kClientWidth);
        height = kCaptionHeight + kPadding + bodyHeight + kPadding + kButtonHeight + kBottomMargin;
        box_.left = (kClientWidth - width) / 2;
        box_.top = (kClientHeight - height) / 2;
        bodyTop = box_.top + kCaptionHeight + kPadding;
        icon_ = {box_.left + kPadding, bodyTop + (bodyHeight - (iconWidth ? kIconSize : 0)) / 2};
        textOrigin_ = {box_.left + kPadding + iconWidth, bodyTop + (bodyHeight - textHeight) / 2};
    } else {
        lines_.clear();
        if (!spec_.gbkText.empty()) lines_ = Wrap(spec_.gbkText, kFieldWidth);
        const int promptHeight = lines_.empty() ? 0 : LineCount() * kLineHeight + kPromptGap;
        width = std::max({kFieldWidth + 2 * kPadding, captionWidth, buttonsWidth + 2 * kPadding});
        width = std::min(width, kClientWidth);
        height = kCaptionHeight + kPadding + promptHeight + kFieldHeight + kFieldGap +
                 kButtonHeight + kBottomMargin;
        box_.left = (kClientWidth - width) / 2;
        box_.top = (kClientHeight - height) / 2;
        bodyTop = box_.top + kCaptionHeight + kPadding;
        textOrigin_ = {box_.left + kPadding, bodyTop};
        field_ = {box_.left + kPadding, bodyTop + promptHeight, box_.left + kPadding + kFieldWidth,
                  bodyTop + promptHeight + kFieldHeight};
    }
    box_.right = box_.left + width;
    box_.bottom = box_.top + height;
    const int buttonsTop = box_.bottom - kBottomMargin - kButtonHeight;
    // Message boxes centre their buttons; the entry box keeps them right.
    const int buttonsLeft = spec_.kind == Kind::Message ? box_.left + (width - buttonsWidth) / 2
                                                        : box_.right - kPadding - buttonsWidth;
    okButton_ = {buttonsLeft, buttonsTop, buttonsLeft + kButtonWidth, buttonsTop + kButtonHeight};
    if (buttonCount == 2) {
        const int left = okButton_.right + kButtonGap;
        cancelButton_ = {left, buttonsTop, left + kButtonWidth, buttonsTop + kButtonHeight};
    }
}

Rect Dialog::ButtonRect(Part button) const {
    if (button == Part::Ok) return okButton_;
    if (button == Part::Cancel) return cancelButton_;
    return {};
}

Point Dialog::CaptionPen() const {
    return {box_.left + kCaptionIndent, box_.top + (kCaptionHeight - kFontHeight) / 2};
}

Point Dialog::LinePen(int i) const {
    return {textOrigin_.x, textOrigin_.y + i * kLineHeight + (kLineHeight - kFontHeight) / 2};
}

// ---------------------------------------------------------------- input

Part Dialog::PartAt(int x, int y) const {
    if (Inside(okButton_, x, y)) return Part::Ok;
    if (spec_.buttons == Buttons::OkCancel && Inside(cancelButton_, x, y)) return Part::Cancel;
    if (spec_.kind == Kind::TextEntry && Inside(field_, x, y)) return Part::Field;
    return Part::None;
}

std::vector<Part> Dialog::TabOrder() const {
    std::vector<Part> order{Part::Ok};
    if (spec_.buttons == Buttons::OkCancel) order.push_back(Part::Cancel);
    if (spec_.kind == Kind::TextEntry) order.push_back(Part::Field);
    return order;
}

void Dialog::MoveFocus(int step, bool buttonsOnly) {
    std::vector<Part> order = TabOrder();
    if (buttonsOnly) std::erase(order, Part::Field);
    const auto n = static_cast<int>(order.size());
    const auto it = std::find(order.begin(), order.end(), focus_);
    const int at = it == order.end() ? (step > 0 ? -1 : 0) : static_cast<int>(it - order.begin());
    focus_ = order[static_cast<std::size_t>(((at + step) % n + n) % n)];
}

void Dialog::Dismiss() {
    result_ = spec_.buttons == Buttons::OkCancel ? Result::Cancel : Result::Ok;
}

void Dialog::Abandon() {
    if (!Done()) Dismiss();
}

bool Dialog::KeyDown(Key key) {
    // While the input method composes, the keys are its own.
    const bool composing = !composition_.empty();
    const bool inField = focus_ == Part::Field;
    switch (key) {
    case Key::Return:
        if (composing) return false;
        result_ = focus_ == Part::Cancel ? Result::Cancel : Result::Ok;
        return true;
    case Key::Escape:
        if (composing) return false;
        Dismiss();
        return true;
    case Key::Tab:
        MoveFocus(1, false);
        return true;
    case Key::Left:
    case Key::Right:
        if (!inField) {
            MoveFocus(key == Key::Left ? -1 : 1, true);
            return true;
        }
        if (composing) return false;
        if (key == Key::Right) {
            if (caret_ < text_.size()) caret_ += CharLength(text_, caret_);
        } else {
            std::size_t previous = 0;
            for (std::size_t i = 0; i < caret_; i += CharLength(text_, i))
                previous = i;
            caret_ = caret_ == 0 ? 0 : previous;
        }
        KeepCaretVisible();
        return true;
    case Key::Home:
    case Key::End:
        if (!inField || composing) return false;
        caret_ = key == Key::Home ? 0 : text_.size();
        KeepCaretVisible();
        return true;
    case Key::Backspace:
        if (!inField || composing || caret_ == 0) return false;
        {
            std::size_t previous = 0;
            for (std::size_t i = 0; i < caret_; i += CharLength(text_, i))
                previous = i;
            text_.erase(previous, caret_ - previous);
            caret_ = previous;
        }
        KeepCaretVisible();
        return true;
    case Key::Delete:
        if (!inField || composing || caret_ >= text_.size()) return false;
        text_.erase(caret_, CharLength(text_, caret_));
        KeepCaretVisible();
        return true;
    default:
        return false;
    }
}

bool Dialog::Insert(std::string_view utf8) {
    bool changed = false;
    for (std::string_view c : Utf8Characters(utf8)) {
        const std::string gbk = ToGbkLoose(c);
        if (gbk.empty()) continue;
        // The field refuses what does not fit, as a full field does.
        if (text_.size() + gbk.size() > spec_.byteLimit) break;
        text_.insert(caret_, gbk);
        caret_ += gbk.size();
        changed = true;
    }
    KeepCaretVisible();
    return changed;
}

std::size_t Dialog::CaretFromX(int x) {
    const int target = x - (field_.left + kFieldInset) + scroll_;
    int pen = 0;
    for (std::size_t i = 0; i < text_.size();) {
        const std::size_t length = CharLength(text_, i);
        const int advance = Advance(CodeAt(text_, i, length));
        if (target < pen + advance / 2) return i;
        pen += advance;
        i += length;
    }
    return text_.size();
}

void Dialog::KeepCaretVisible() {
    if (spec_.kind != Kind::TextEntry) return;
    const int inner = kFieldWidth - 2 * kFieldInset;
    const int caretX =
        TextWidth(std::string_view(text_).substr(0, caret_)) + TextWidth(ToGbkLoose(composition_));
    if (caretX - scroll_ > inner - 1) scroll_ = caretX - inner + 1;
    if (caretX < scroll_) scroll_ = caretX;
    scroll_ = std::max(scroll_, 0);
}

bool Dialog::Handle(const Event& e) {
    if (Done()) return false;
    switch (e.kind) {
    case EventKind::MouseMove: {
        const Part part = PartAt(e.x, e.y);
        if (part == hover_) return false;
        hover_ = part;
        return true;
    }
    case EventKind::ButtonDown: {
        if (e.button != MouseButton::Left) return false;
        const Part part = PartAt(e.x, e.y);
        hover_ = part;
        if (part == Part::Ok || part == Part::Cancel) {
            pressed_ = part;
            focus_ = part;
            return true;
        }
        if (part == Part::Field) {
            focus_ = Part::Field;
            if (composition_.empty()) caret_ = CaretFromX(e.x);
            KeepCaretVisible();
            return true;
        }
        return false;
    }
    case EventKind::ButtonUp:
        if (e.button == MouseButton::Right) {
            Dismiss();
            return true;
        }
        if (e.button == MouseButton::Left && pressed_ != Part::None) {
            // A button answers when the press and the release both fall on it.
            const Part pressed = pressed_;
            pressed_ = Part::None;
            if (PartAt(e.x, e.y) == pressed)
                result_ = pressed == Part::Ok ? Result::Ok : Result::Cancel;
            return true;
        }
        return false;
    case EventKind::KeyDown:
        return KeyDown(e.key);
    case EventKind::SysKeyDown:
        // Alt+F4 closes the dialog, not the game.
        if (e.key != Key::F4) return false;
        Dismiss();
        return true;
    case EventKind::Close:
        Dismiss();
        return true;
    case EventKind::FocusLost:
        pressed_ = Part::None;
        return true;
    case EventKind::TextInput:
        if (focus_ != Part::Field) return false;
        composition_.clear();
        Insert(e.text);
        return true;
    case EventKind::TextEditing:
        if (focus_ != Part::Field || composition_ == e.text) return false;
        composition_ = e.text;
        KeepCaretVisible();
        return true;
    default:
        return false;
    }
}

// ---------------------------------------------------------------- drawing

void Dialog::FillRect(std::span<std::uint32_t> out, const Rect& r, std::uint32_t rgb) const {
    const Rect c = Intersect(r, kScreen);
    for (int y = c.top; y < c.bottom; ++y)
        std::fill_n(out.begin() + static_cast<std::ptrdiff_t>(y) * kClientWidth + c.left,
                    std::max(0, c.right - c.left), rgb);
}

void Dialog::FrameRect(std::span<std::uint32_t> out, const Rect& r, std::uint32_t rgb,
                       int thickness) const {
    FillRect(out, {r.left, r.top, r.right, r.top + thickness}, rgb);
    FillRect(out, {r.left, r.bottom - thickness, r.right, r.bottom}, rgb);
    FillRect(out, {r.left, r.top, r.left + thickness, r.bottom}, rgb);
    FillRect(out, {r.right - thickness, r.top, r.right, r.bottom}, rgb);
}

int Dialog::DrawText(std::span<std::uint32_t> out, std::string_view gbk, int x, int y,
                     std::uint32_t rgb, const Rect& clip) {
    const Rect c = Intersect(clip, kScreen);
    int pen = x;
    for (std::size_t i = 0; i < gbk.size();) {
        const std::size_t length = CharLength(gbk, i);
        const std::uint32_t code = CodeAt(gbk, i, length);
        i += length;
        const Glyph& g = GlyphOf(code);
        if (g.result == GlyphResult::Ok) {
            const GlyphBitmap& b = g.bitmap;
            const int stride = GlyphBitmap::RowStride(b.blackBoxX);
            const int left = pen + b.originX;
            const int top = y + ascent_ - b.originY;
            for (int row = 0; row < b.blackBoxY; ++row) {
                const int py = top + row;
                if (py < c.top || py >= c.bottom) continue;
                for (int col = 0; col < b.blackBoxX; ++col) {
                    const int px = left + col;
                    const int level = b.bits[static_cast<std::size_t>(row) * stride + col];
                    if (level == 0 || px < c.left || px >= c.right) continue;
                    std::uint32_t& dst = out[static_cast<std::size_t>(py) * kClientWidth + px];
                    dst = Mix(dst, rgb, std::min(level, kGlyphFull));
                }
            }
        }
        pen += Advance(code);
    }
    return pen;
}

void Dialog::DrawIcon(std::span<std::uint32_t> out) {
    if (spec_.icon == BoxIcon::None) return;
    const std::uint32_t disc = spec_.icon == BoxIcon::Error      ? kErrorIcon
                               : spec_.icon == BoxIcon::Question ? kQuestionIcon
                                                                 : kInformationIcon;
    // Distances in half pixels from the icon's centre, measured to pixel
    // centres, so the disc is symmetric.
    for (int y = 0; y < kIconSize; ++y)
        for (int x = 0; x < kIconSize; ++x) {
            const int dx = 2 * x + 1 - kIconSize;
            const int dy = 2 * y + 1 - kIconSize;
            if (dx * dx + dy * dy > kIconSize * kIconSize) continue;
            const bool cross = spec_.icon == BoxIcon::Error && dx * dx + dy * dy <= 400 &&
                               (std::abs(dx - dy) <= 4 || std::abs(dx + dy) <= 4);
            out[static_cast<std::size_t>(icon_.y + y) * kClientWidth + icon_.x + x] =
                cross ? 0xFFFFFF : disc;
        }
    if (spec_.icon == BoxIcon::Error) return;
    const std::string_view mark = spec_.icon == BoxIcon::Question ? "?" : "i";
    const int width = TextWidth(mark);
    DrawText(out, mark, icon_.x + (kIconSize - width) / 2, icon_.y + (kIconSize - kFontHeight) / 2,
             0xFFFFFF, {icon_.x, icon_.y, icon_.x + kIconSize, icon_.y + kIconSize});
}

void Dialog::DrawButton(std::span<std::uint32_t> out, Part button) {
    const Rect r = ButtonRect(button);
    const bool focused = focus_ == button;
    const std::uint32_t face = pressed_ == button && hover_ == button ? kButtonPressed
                               : hover_ == button                     ? kButtonHover
                                                                      : kButtonFace;
    FillRect(out, r, focused ? kFocusFrame : kButtonFrame);
    FillRect(out, Inset(r, focused ? 2 : 1), face);
    const std::string_view label = ButtonLabel(spec_.kind, button);
    const int width = TextWidth(label);
    DrawText(out, label, r.left + (kButtonWidth - width) / 2,
             r.top + (kButtonHeight - kFontHeight) / 2, kText, Inset(r, 1));
}

void Dialog::DrawField(std::span<std::uint32_t> out) {
    FillRect(out, field_, focus_ == Part::Field ? kFocusFrame : kButtonFrame);
    FillRect(out, Inset(field_, 1), kFieldFace);
    const Rect clip = {field_.left + 2, field_.top + 1, field_.right - 2, field_.bottom - 1};
    const int y = field_.top + (kFieldHeight - kFontHeight) / 2;
    const std::string_view text(text_);
    int pen =
        DrawText(out, text.substr(0, caret_), field_.left + kFieldInset - scroll_, y, kText, clip);
    const int compositionStart = pen;
    pen = DrawText(out, ToGbkLoose(composition_), pen, y, kText, clip);
    // The composition is underlined until the input method commits it.
    if (pen > compositionStart)
        FillRect(out,
                 Intersect({compositionStart, y + kFontHeight, pen, y + kFontHeight + 1}, clip),
                 kText);
    const int caretX = pen;
    DrawText(out, text.substr(caret_), pen, y, kText, clip);
    if (focus_ == Part::Field)
        FillRect(out, Intersect({caretX, y, caretX + 1, y + kFontHeight}, clip), kText);
}

void Dialog::Draw(std::span<const std::uint32_t> under, std::span<std::uint32_t> out) {
    const std::size_t size = static_cast<std::size_t>(kClientWidth) * kClientHeight;
    if (out.size() < size) return;
    for (std::size_t i = 0; i < size; ++i)
        out[i] = i < under.size() ? Dim(under[i]) : 0;
    FillRect(out, box_, kFrame);
    FillRect(out, Inset(box_, kFrameInset), kFace);
    const Rect bar{box_.left + kFrameInset, box_.top + kFrameInset, box_.right - kFrameInset,
                   box_.top + kCaptionHeight};
    FillRect(out, bar, kCaptionBar);
    const Point caption = CaptionPen();
    DrawText(out, spec_.gbkCaption, caption.x, caption.y, kCaptionText, Inset(bar, 1));
    const Rect body = Inset(box_, kFrameInset);
    for (int i = 0; i < LineCount(); ++i) {
        const Point pen = LinePen(i);
        DrawText(out, lines_[static_cast<std::size_t>(i)], pen.x, pen.y, kText, body);
    }
    if (spec_.kind == Kind::Message)
        DrawIcon(out);
    else
        DrawField(out);
    DrawButton(out, Part::Ok);
    if (spec_.buttons == Buttons::OkCancel) DrawButton(out, Part::Cancel);
}

// ---------------------------------------------------------------- running

Result RunDialog(Dialog& dialog, Host& host, std::span<const std::uint32_t> under) {
    std::vector<std::uint32_t> picture(static_cast<std::size_t>(kClientWidth) * kClientHeight);
    dialog.Draw(under, picture);
    host.Show(picture);
    const bool entry = dialog.FieldRect().right > dialog.FieldRect().left;
    if (entry) host.TextInput(true, dialog.FieldRect());
    while (!dialog.Done()) {
        if (QuitSignalled()) {
            dialog.Abandon();
            break;
        }
        Event e;
        switch (host.Next(e, kWaitMs)) {
        case Host::Wait::Input:
            if (dialog.Handle(e) && !dialog.Done()) {
                dialog.Draw(under, picture);
                host.Show(picture);
            }
            break;
        case Host::Wait::Redraw:
            host.Show(picture);
            break;
        case Host::Wait::Idle:
            break;
        case Host::Wait::Ended:
            dialog.Abandon();
            break;
        }
    }
    if (entry) host.TextInput(false, {});
    // The game may not present again until something changes: take the box
    // off the screen now.
    host.Restore(under);
    return dialog.GetResult();
}

} // namespace platform::dialog
