// The in-window dialog both backends show: its layout, its answers to keys,
// mouse and text input, and its drawing over a dimmed copy of the picture
// that was on screen. Texts are GBK, as the game hands them over; glyphs come
// from the same fonts as the game's glyph font. The backends only feed events
// and show pictures (RunDialog).
#pragma once

#include "platform/Glyph.h"
#include "platform/Platform.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform::dialog {

enum class Kind : std::uint8_t { Message, TextEntry };
enum class Buttons : std::uint8_t { Ok, OkCancel };
enum class Result : std::uint8_t { None, Ok, Cancel };
// What the pointer or the keyboard focus can rest on.
enum class Part : std::uint8_t { None, Field, Ok, Cancel };

struct Spec {
    Kind kind = Kind::Message;
    Buttons buttons = Buttons::Ok;
    BoxIcon icon = BoxIcon::None;
    std::string gbkCaption;
    std::string gbkText;       // the message, or the line above the field
    std::string gbkInitial;    // the field's text at the start
    std::size_t byteLimit = 0; // the field's size in bytes
};

struct Point {
    int x = 0;
    int y = 0;
};

// Geometry and colours, named so that tests can work pixels out by hand.
namespace layout {
inline constexpr int kFontHeight = 20;    // glyph cell height
inline constexpr int kLineHeight = 24;    // text lines: the cell 2 px below the line's top
inline constexpr int kCaptionHeight = 28; // caption bar; its text 12 px in, cell 4 px down
inline constexpr int kPadding = 16;
inline constexpr int kIconSize = 32;
inline constexpr int kIconGap = 12;
inline constexpr int kMaxTextWidth = 480;
inline constexpr int kMinBoxWidth = 280;
inline constexpr int kButtonWidth = 88;
inline constexpr int kButtonHeight = 28;
inline constexpr int kButtonGap = 12;
inline constexpr int kBottomMargin = 14;
inline constexpr int kFieldWidth = 472;
inline constexpr int kFieldHeight = 28;
inline constexpr int kFieldInset = 6; // text starts 6 px in, cell 4 px down
inline constexpr int kMaxLines = 19;  // keeps the tallest box on the screen

inline constexpr std::uint32_t kFace = 0xF0F0F0;
inline constexpr std::uint32_t kFrame = 0x3C3C3C;
inline constexpr std::uint32_t kCaptionBar = 0x2A4A7A;
inline constexpr std::uint32_t kCaptionText = 0xFFFFFF;
inline constexpr std::uint32_t kText = 0x000000;
inline constexpr std::uint32_t kButtonFace = 0xE1E1E1;
inline constexpr std::uint32_t kButtonHover = 0xE5F1FB;
inline constexpr std::uint32_t kButtonPressed = 0xCCE4F7;
inline constexpr std::uint32_t kButtonFrame = 0x7A7A7A;
inline constexpr std::uint32_t kFocusFrame = 0x0078D7;
inline constexpr std::uint32_t kFieldFace = 0xFFFFFF;
inline constexpr std::uint32_t kQuestionIcon = 0x1E64C8;
inline constexpr std::uint32_t kErrorIcon = 0xC83232;
inline constexpr std::uint32_t kInformationIcon = 0x1E64C8;
} // namespace layout

// Halves every channel: the picture under a dialog.
constexpr std::uint32_t Dim(std::uint32_t rgb) {
    return (rgb >> 1) & 0x7F7F7F;
}

Spec MessageSpec(std::string_view gbkText, std::string_view gbkCaption, BoxIcon icon,
                 Buttons buttons);
Spec EntrySpec(std::string_view gbkCaption, std::string_view gbkPrompt, std::string_view gbkInitial,
               std::size_t byteLimit);

// Text fitted to a byte limit: whole GBK characters only, nothing after the
// last one that fits.
std::string FitGbk(std::string_view gbk, std::size_t byteLimit);

class Dialog {
public:
    // `glyphs` may be null (no font at all): the layout then takes nominal
    // widths and no text is drawn.
    Dialog(Spec spec, GlyphSource* glyphs);

    // One input event; true when the picture changed.
    bool Handle(const Event& e);
    // Ends the dialog as its Cancel (a quit signal, no more input).
    void Abandon();

    bool Done() const { return result_ != Result::None; }
    Result GetResult() const { return result_; }
    // The field's GBK text and the input method's composition (UTF-8).
    const std::string& Text() const { return text_; }
    const std::string& Composition() const { return composition_; }
    std::size_t Caret() const { return caret_; }
    Part Focus() const { return focus_; }
    Part Hover() const { return hover_; }

    // The whole 800x600 picture: `under` dimmed (black where it is short),
    // the box on top.
    void Draw(std::span<const std::uint32_t> under, std::span<std::uint32_t> out);

    Rect Box() const { return box_; }
    Rect ButtonRect(Part button) const;
    Rect FieldRect() const { return field_; }
    Point CaptionPen() const; // top-left of the caption's first glyph cell
    Point IconOrigin() const { return icon_; }
    int LineCount() const { return static_cast<int>(lines_.size()); }
    std::string_view Line(int i) const { return lines_[static_cast<std::size_t>(i)]; }
    Point LinePen(int i) const; // top-left of line i's first glyph cell

    // Pen advance of one GBK character (1 or 2 bytes), and of a whole text.
    int Advance(std::uint32_t code);
    int TextWidth(std::string_view gbk);

private:
    struct Glyph {
        GlyphResult result = GlyphResult::Missing;
        GlyphBitmap bitmap;
    };
    const Glyph& GlyphOf(std::uint32_t code);
    void Layout();
    std::vector<std::string> Wrap(std::string_view gbk, int width);

    Part PartAt(int x, int y) const;
    std::vector<Part> TabOrder() const;
    void MoveFocus(int step, bool buttonsOnly);
    void Dismiss(); // Esc, right click, close box
    bool KeyDown(Key key);
    bool Insert(std::string_view utf8);
    std::size_t CaretFromX(int x);
    void KeepCaretVisible();

    void FillRect(std::span<std::uint32_t> out, const Rect& r, std::uint32_t rgb) const;
    void FrameRect(std::span<std::uint32_t> out, const Rect& r, std::uint32_t rgb,
                   int thickness) const;
    // Draws GBK text with its first cell's top-left at (x, y), clipped.
    int DrawText(std::span<std::uint32_t> out, std::string_view gbk, int x, int y,
                 std::uint32_t rgb, const Rect& clip);
    void DrawIcon(std::span<std::uint32_t> out);
    void DrawButton(std::span<std::uint32_t> out, Part button);
    void DrawField(std::span<std::uint32_t> out);

    Spec spec_;
    GlyphSource* glyphs_ = nullptr;
    int ascent_ = 16;
    std::map<std::uint32_t, Glyph> cache_;

    std::vector<std::string> lines_;
    Rect box_;
    Rect field_;
    Point icon_;
    Point textOrigin_;
    Rect okButton_;
    Rect cancelButton_;

    std::string text_;
    std::string composition_;
    std::size_t caret_ = 0;
    int scroll_ = 0; // field pixels hidden on the left
    Part focus_ = Part::None;
    Part hover_ = Part::None;
    Part pressed_ = Part::None;
    Result result_ = Result::None;
};

// What a backend gives a running dialog.
class Host {
public:
    virtual ~Host() = default;
    enum class Wait : std::uint8_t { Input, Redraw, Idle, Ended };
    // Waits up to `ms` for the next event: Input with `out` filled, Redraw
    // when the window must be painted again (exposed, resized), Idle when
    // nothing came, Ended when nothing more can ever come.
    virtual Wait Next(Event& out, std::uint32_t ms) = 0;
    virtual void Show(std::span<const std::uint32_t> picture) = 0;
    // The dialog is gone: the game's picture (possibly empty) goes back.
    virtual void Restore(std::span<const std::uint32_t> under) = 0;
    // Text input (and the input method) on over the field, or off.
    virtual void TextInput(bool on, const Rect& field) = 0;
};

// Runs the dialog to its answer over `under` (the last picture shown), then
// hands `under` back to the host. The glyph source the dialogs share is made on first
// use.
Result RunDialog(Dialog& dialog, Host& host, std::span<const std::uint32_t> under);
GlyphSource* SharedGlyphs();

// The GBK label of a button: message boxes read 确定 and 取消, the entry
// box OK and CANCEL.
std::string_view ButtonLabel(Kind kind, Part button);

// A message nobody can see in a window: standard error, in UTF-8.
void ReportWithoutWindow(std::string_view gbkCaption, std::string_view gbkText);

} // namespace platform::dialog
