// The in-window dialog: its picture (dimmed game picture, box, caption and
// text in the font's own glyphs, icon, buttons), every key and mouse road to
// an answer, the text field's byte limit and input method composition, and
// the modal loop's ending by a quit signal.
#include "platform/common/Dialog.h"

#include "TestSupport.h"
#include "platform/Glyph.h"

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <string>
#include <vector>

using namespace platform;
using namespace platform::dialog;
using namespace platform::dialog::layout;

namespace {

constexpr char kQuit[] =
    "\xD2\xAA\xCD\xCB\xB3\xF6\xD3\xCE\xCF\xB7\xC2\xF0\xA3\xBF"; // 要退出游戏吗？
constexpr char kHei[] = "\xBA\xDA\xCC\xE5";                     // 黑体
constexpr std::size_t kPixels = 800 * 600;

Event Key(platform::Key key, EventKind kind = EventKind::KeyDown) {
    Event e;
    e.kind = kind;
    e.key = key;
    return e;
}

Event Mouse(EventKind kind, int x, int y, MouseButton button = MouseButton::Left) {
    Event e;
    e.kind = kind;
    e.x = x;
    e.y = y;
    e.button = button;
    return e;
}

Event Text(EventKind kind, std::string utf8) {
    Event e;
    e.kind = kind;
    e.text = std::move(utf8);
    return e;
}

Point Centre(const Rect& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Press and release at one point.
void Click(Dialog& d, Point p, MouseButton button = MouseButton::Left) {
    d.Handle(Mouse(EventKind::MouseMove, p.x, p.y));
    d.Handle(Mouse(EventKind::ButtonDown, p.x, p.y, button));
    d.Handle(Mouse(EventKind::ButtonUp, p.x, p.y, button));
}

Dialog Question() {
    return Dialog(MessageSpec(kQuit, "Norvane", BoxIcon::Question, Buttons::OkCancel), nullptr);
}
Dialog Notice() {
    return Dialog(MessageSpec("Not Frame", "Error", BoxIcon::None, Buttons::Ok), nullptr);
}
Dialog Entry(std::size_t limit, std::string initial = {}) {
    return Dialog(EntrySpec("\xC7\xEB\xCA\xE4\xC8\xEB\xD7\xA2\xCA\xCD", "", initial, limit),
                  nullptr);
}

// ---------------------------------------------------------------- answers

TEST(DialogInput, EveryKeyRoadOfTheQuestionGivesItsAnswer) {
    struct Case {
        const char* name;
        std::vector<Event> keys;
        Result result;
    };
    const std::vector<Case> cases{
        {"Enter answers the default button", {Key(Key::Return)}, Result::Ok},
        {"Esc is Cancel", {Key(Key::Escape)}, Result::Cancel},
        {"the window's close box is Cancel", {Event{EventKind::Close}}, Result::Cancel},
        {"Alt+F4 is Cancel", {Key(Key::F4, EventKind::SysKeyDown)}, Result::Cancel},
        {"Tab moves to Cancel", {Key(Key::Tab), Key(Key::Return)}, Result::Cancel},
        {"Tab twice comes back to OK",
         {Key(Key::Tab), Key(Key::Tab), Key(Key::Return)},
         Result::Ok},
        {"Right moves to Cancel", {Key(Key::Right), Key(Key::Return)}, Result::Cancel},
        {"Left wraps round to Cancel", {Key(Key::Left), Key(Key::Return)}, Result::Cancel},
        {"Right twice wraps to OK",
         {Key(Key::Right), Key(Key::Right), Key(Key::Return)},
         Result::Ok},
    };
    for (const Case& c : cases) {
        Dialog d = Question();
        for (const Event& e : c.keys)
            d.Handle(e);
        EXPECT_EQ(d.GetResult(), c.result) << c.name;
    }
    // Keys the dialog has no use for change nothing, Alt+Enter included.
    Dialog d = Question();
    EXPECT_FALSE(d.Handle(Key(Key::Space)));
    EXPECT_FALSE(d.Handle(Key(Key::Return, EventKind::SysKeyDown)));
    EXPECT_FALSE(d.Handle(Key(Key::Return, EventKind::KeyUp)));
    EXPECT_FALSE(d.Done());
    EXPECT_EQ(d.Focus(), Part::Ok);
}

TEST(DialogInput, ANoticeWithOnlyOkTakesEveryWayOutAsOk) {
    for (const Event& e : {Key(Key::Return), Key(Key::Escape), Event{EventKind::Close},
                           Key(Key::F4, EventKind::SysKeyDown),
                           Mouse(EventKind::ButtonUp, 0, 0, MouseButton::Right)}) {
        Dialog d = Notice();
        d.Handle(e);
        EXPECT_EQ(d.GetResult(), Result::Ok) << static_cast<int>(e.kind);
    }
    Dialog d = Notice();
    d.Handle(Key(Key::Right));
    EXPECT_EQ(d.Focus(), Part::Ok);
    EXPECT_TRUE(d.ButtonRect(Part::Cancel).right == 0);
}

TEST(DialogInput, MouseAnswersOnlyWhenPressAndReleaseFallOnTheSameButton) {
    Dialog d = Question();
    const Point ok = Centre(d.ButtonRect(Part::Ok));
    const Point cancel = Centre(d.ButtonRect(Part::Cancel));

    // Hover changes the picture once per button entered.
    EXPECT_TRUE(d.Handle(Mouse(EventKind::MouseMove, cancel.x, cancel.y)));
    EXPECT_EQ(d.Hover(), Part::Cancel);
    EXPECT_FALSE(d.Handle(Mouse(EventKind::MouseMove, cancel.x + 1, cancel.y)));
    EXPECT_TRUE(d.Handle(Mouse(EventKind::MouseMove, 5, 5)));
    EXPECT_EQ(d.Hover(), Part::None);

    // Pressed on Cancel, let go on OK: no answer.
    d.Handle(Mouse(EventKind::ButtonDown, cancel.x, cancel.y));
    d.Handle(Mouse(EventKind::ButtonUp, ok.x, ok.y));
    EXPECT_FALSE(d.Done());
    // A release without a press, a click outside the box, the middle button.
    d.Handle(Mouse(EventKind::ButtonUp, ok.x, ok.y));
    Click(d, {3, 3});
    Click(d, ok, MouseButton::Middle);
    EXPECT_FALSE(d.Done());
    // Focus lost between press and release drops the press.
    d.Handle(Mouse(EventKind::ButtonDown, ok.x, ok.y));
    d.Handle(Event{EventKind::FocusLost});
    d.Handle(Mouse(EventKind::ButtonUp, ok.x, ok.y));
    EXPECT_FALSE(d.Done());

    Click(d, cancel);
    EXPECT_EQ(d.GetResult(), Result::Cancel);

    Dialog yes = Question();
    Click(yes, ok);
    EXPECT_EQ(yes.GetResult(), Result::Ok);
    // A right click anywhere is Cancel.
    Dialog right = Question();
    Click(right, ok, MouseButton::Right);
    EXPECT_EQ(right.GetResult(), Result::Cancel);
    // The last pixel of a button still counts, the one past it does not.
    Dialog edge = Question();
    const Rect r = edge.ButtonRect(Part::Ok);
    Click(edge, {r.right, r.bottom - 1});
    EXPECT_FALSE(edge.Done());
    Click(edge, {r.right - 1, r.bottom - 1});
    EXPECT_EQ(edge.GetResult(), Result::Ok);
}

// ---------------------------------------------------------------- text field

TEST(DialogEntry, FittingKeepsWholeGbkCharactersWithinTheLimit) {
    const std::string zhong = "\xD6\xD0"; // 中
    EXPECT_EQ(FitGbk("abc", 2), "ab");
    EXPECT_EQ(FitGbk("abc", 0), "");
    EXPECT_EQ(FitGbk(std::string(44, 'a') + zhong, 45), std::string(44, 'a'));
    EXPECT_EQ(FitGbk(std::string(43, 'a') + zhong, 45), std::string(43, 'a') + zhong);
    EXPECT_EQ(FitGbk(std::string(46, 'x'), 45), std::string(45, 'x'));
    // A lead byte cut from its trail byte is no character.
    EXPECT_EQ(FitGbk("ab\xD6", 45), "ab");
    // The field starts with its initial text cut the same way.
    Dialog d = Entry(45, std::string(22, 'a') + zhong + zhong + std::string(20, 'b') + zhong);
    EXPECT_EQ(d.Text(), std::string(22, 'a') + zhong + zhong + std::string(19, 'b'));
    EXPECT_EQ(d.Text().size(), 45u);
    EXPECT_EQ(d.Caret(), 45u);
    EXPECT_EQ(d.Focus(), Part::Field);
}

TEST(DialogEntry, TypedTextBecomesGbkAndStopsAtTheByteLimit) {
    Dialog d = Entry(5);
    d.Handle(Text(EventKind::TextInput, "\xE4\xBD\xA0")); // 你 (UTF-8)
    EXPECT_EQ(d.Text(), "\xC4\xE3");
    EXPECT_EQ(d.Caret(), 2u);
    // An emoji has no GBK form and a tab is no text: both left out.
    d.Handle(Text(EventKind::TextInput, "a\xF0\x9F\x98\x80\tb"));
    EXPECT_EQ(d.Text(), "\xC4\xE3"
                        "ab");
    // Four bytes taken: a double-byte character no longer fits, one byte does.
    d.Handle(Text(EventKind::TextInput, "\xE5\xA5\xBD"
                                        "c")); // 好c
    EXPECT_EQ(d.Text(), "\xC4\xE3"
                        "ab");
    d.Handle(Text(EventKind::TextInput, "cd"));
    EXPECT_EQ(d.Text(), "\xC4\xE3"
                        "abc");
    EXPECT_EQ(d.Text().size(), 5u);
    d.Handle(Key(Key::Return));
    EXPECT_EQ(d.GetResult(), Result::Ok);
}

TEST(DialogEntry, CompositionShowsUntilCommittedAndOwnsTheKeysMeanwhile) {
    Dialog d = Entry(45);
    EXPECT_TRUE(d.Handle(Text(EventKind::TextEditing, "ni")));
    EXPECT_EQ(d.Composition(), "ni");
    EXPECT_EQ(d.Text(), "");
    // Enter, Esc and Backspace belong to the input method while it composes.
    d.Handle(Key(Key::Return));
    d.Handle(Key(Key::Escape));
    d.Handle(Key(Key::Backspace));
    EXPECT_FALSE(d.Done());
    EXPECT_EQ(d.Composition(), "ni");
    d.Handle(Text(EventKind::TextInput, "\xE4\xBD\xA0")); // 你 committed
    EXPECT_EQ(d.Composition(), "");
    EXPECT_EQ(d.Text(), "\xC4\xE3");
    d.Handle(Text(EventKind::TextEditing, "hao"));
    d.Handle(Text(EventKind::TextEditing, "")); // composition given up
    d.Handle(Key(Key::Return));
    EXPECT_EQ(d.GetResult(), Result::Ok);
    EXPECT_EQ(d.Text(), "\xC4\xE3");
}

TEST(DialogEntry, EditingKeysMoveAndDeleteWholeCharacters) {
    Dialog d = Entry(45, "a\xD6\xD0"
                         "b"); // a中b
    d.Handle(Key(Key::Left));
    EXPECT_EQ(d.Caret(), 3u);
    d.Handle(Key(Key::Left)); // over 中: two bytes
    EXPECT_EQ(d.Caret(), 1u);
    d.Handle(Key(Key::Delete));
    EXPECT_EQ(d.Text(), "ab");
    d.Handle(Key(Key::End));
    d.Handle(Text(EventKind::TextInput, "\xE4\xB8\xAD")); // 中 again, at the end
    EXPECT_EQ(d.Text(), "ab\xD6\xD0");
    d.Handle(Key(Key::Backspace));
    EXPECT_EQ(d.Text(), "ab");
    d.Handle(Key(Key::Home));
    d.Handle(Key(Key::Backspace)); // nothing before the caret
    EXPECT_EQ(d.Text(), "ab");
    d.Handle(Key(Key::Right));
    EXPECT_EQ(d.Caret(), 1u);
    // Without a font, characters are 10 and 20 px wide; the text starts 6 px
    // into the field: a click 14 px after the start lands past the middle of
    // "a" (0..10) and before that of "b" (10..20), so between them.
    d.Handle(Key(Key::End));
    const Rect field = d.FieldRect();
    d.Handle(Mouse(EventKind::ButtonDown, field.left + kFieldInset + 14, field.top + 5));
    EXPECT_EQ(d.Caret(), 1u);
    d.Handle(Mouse(EventKind::ButtonDown, field.left + kFieldInset + 4, field.top + 5));
    EXPECT_EQ(d.Caret(), 0u);
}

TEST(DialogEntry, TabOrderAndTheWaysToCancel) {
    Dialog d = Entry(45, "x");
    d.Handle(Key(Key::Tab));
    EXPECT_EQ(d.Focus(), Part::Ok);
    // Typing reaches the field only while it has the focus.
    d.Handle(Text(EventKind::TextInput, "y"));
    EXPECT_EQ(d.Text(), "x");
    d.Handle(Key(Key::Tab));
    EXPECT_EQ(d.Focus(), Part::Cancel);
    d.Handle(Key(Key::Tab));
    EXPECT_EQ(d.Focus(), Part::Field);
    d.Handle(Key(Key::Tab));
    d.Handle(Key(Key::Right));
    EXPECT_EQ(d.Focus(), Part::Cancel);
    d.Handle(Key(Key::Return));
    EXPECT_EQ(d.GetResult(), Result::Cancel);

    for (const Event& e : {Key(Key::Escape), Event{EventKind::Close},
                           Mouse(EventKind::ButtonUp, 1, 1, MouseButton::Right)}) {
        Dialog c = Entry(45, "x");
        c.Handle(e);
        EXPECT_EQ(c.GetResult(), Result::Cancel);
    }
    Dialog ok = Entry(45, "x");
    Click(ok, Centre(ok.ButtonRect(Part::Ok)));
    EXPECT_EQ(ok.GetResult(), Result::Ok);
    EXPECT_EQ(ok.Text(), "x");
}

// ---------------------------------------------------------------- picture

class DialogPicture : public ::testing::Test {
protected:
    void SetUp() override {
        glyphs_ = CreateGlyphSource();
        ASSERT_TRUE(glyphs_->SetFont(kHei, kFontHeight, 0, TextDirection::Horizontal));
        font_ = CreateGlyphSource();
        ASSERT_TRUE(font_->SetFont(kHei, kFontHeight, 0, TextDirection::Horizontal));
    }

    GlyphBitmap GlyphAt(const std::string& gbk, std::size_t& i) {
        std::uint32_t code = static_cast<unsigned char>(gbk[i]);
        if (code >= 0x80) code = code * 256 + static_cast<unsigned char>(gbk[++i]);
        ++i;
        GlyphBitmap g;
        EXPECT_EQ(font_->GetGlyph(code, GlyphLevels::Levels65, g), GlyphResult::Ok) << code;
        return g;
    }

    int Width(const std::string& gbk) {
        int w = 0;
        for (std::size_t i = 0; i < gbk.size();)
            w += GlyphAt(gbk, i).cellIncX;
        return w;
    }

    // Every fully inked pixel of the font's own glyphs, laid from the pen,
    // shows the ink; returns how many were checked.
    int ExpectInk(const std::vector<std::uint32_t>& pic, const std::string& gbk, Point pen,
                  std::uint32_t ink) {
        int checked = 0;
        for (std::size_t i = 0; i < gbk.size();) {
            const GlyphBitmap g = GlyphAt(gbk, i);
            const int stride = GlyphBitmap::RowStride(g.blackBoxX);
            for (int y = 0; y < g.blackBoxY; ++y)
                for (int x = 0; x < g.blackBoxX; ++x) {
                    if (g.bits[static_cast<std::size_t>(y) * stride + x] != 64) continue;
                    const int px = pen.x + g.originX + x;
                    const int py = pen.y + font_->Ascent() - g.originY + y;
                    EXPECT_EQ(pic[static_cast<std::size_t>(py) * 800 + px], ink) << px << "," << py;
                    ++checked;
                }
            pen.x += g.cellIncX;
        }
        return checked;
    }

    std::unique_ptr<GlyphSource> glyphs_;
    std::unique_ptr<GlyphSource> font_; // the test's own copy of the font
};

TEST_F(DialogPicture, QuitQuestionIsDrawnOverTheDimmedPictureWithTheFontsGlyphs) {
    // A picture of stripes: every pixel outside the box shows it halved.
    std::vector<std::uint32_t> under(kPixels);
    for (std::size_t i = 0; i < kPixels; ++i)
        under[i] = (i / 800) % 2 ? 0x806041 : 0xFFFFFF;
    Dialog d(MessageSpec(kQuit, "Norvane", BoxIcon::Question, Buttons::OkCancel), glyphs_.get());
    std::vector<std::uint32_t> pic(kPixels);
    d.Draw(under, pic);

    // The box: 16 + icon 32 + 12 + text + 16 wide at least 280, two buttons
    // 88 + 12 + 88 with 16 on either side, centred; one line beside the 32 px
    // icon: 28 + 16 + 32 + 16 + 28 + 14 = 134 high.
    const int textWidth = Width(kQuit);
    const int width = std::max({280, 16 + 44 + textWidth + 16, 32 + 188, Width("Norvane") + 24});
    const Rect box = d.Box();
    EXPECT_EQ(box.right - box.left, width);
    EXPECT_EQ(box.bottom - box.top, 134);
    EXPECT_EQ(box.left, (800 - width) / 2);
    EXPECT_EQ(box.top, (600 - 134) / 2);

    EXPECT_EQ(pic[0], 0x7F7F7Fu);
    EXPECT_EQ(pic[800], 0x403020u);
    EXPECT_EQ(pic[599 * 800 + 799], 0x403020u);
    EXPECT_EQ(pic[static_cast<std::size_t>(box.top) * 800 + box.left], kFrame);
    EXPECT_EQ(pic[static_cast<std::size_t>(box.bottom - 1) * 800 + box.right - 1], kFrame);
    EXPECT_EQ(pic[static_cast<std::size_t>(box.top + 2) * 800 + box.right - 3], kCaptionBar);
    EXPECT_EQ(pic[static_cast<std::size_t>(box.bottom - 3) * 800 + box.left + 3], kFace);

    // Caption 12 px in and 4 px down the bar; the text beside the icon, its
    // 24 px line centred on the icon's 32 px: 4 + 2 px below the body's top.
    EXPECT_EQ(d.CaptionPen().x, box.left + 12);
    EXPECT_EQ(d.CaptionPen().y, box.top + 4);
    EXPECT_GT(ExpectInk(pic, "Norvane", d.CaptionPen(), kCaptionText), 20);
    ASSERT_EQ(d.LineCount(), 1);
    EXPECT_EQ(d.LinePen(0).x, box.left + 16 + 44);
    EXPECT_EQ(d.LinePen(0).y, box.top + 28 + 16 + 4 + 2);
    EXPECT_GT(ExpectInk(pic, kQuit, d.LinePen(0), kText), 100);

    // The icon: a disc in half-pixel distances (the corner is outside it).
    const Point icon = d.IconOrigin();
    EXPECT_EQ(icon.x, box.left + 16);
    EXPECT_EQ(pic[static_cast<std::size_t>(icon.y) * 800 + icon.x], kFace);
    EXPECT_EQ(pic[static_cast<std::size_t>(icon.y) * 800 + icon.x + 16], kQuestionIcon);
    EXPECT_EQ(pic[static_cast<std::size_t>(icon.y + 16) * 800 + icon.x + 1], kQuestionIcon);

    // Buttons centred in the box; OK has the focus and its wider frame.
    const Rect ok = d.ButtonRect(Part::Ok);
    const Rect cancel = d.ButtonRect(Part::Cancel);
    EXPECT_EQ(ok.left, box.left + (width - 188) / 2);
    EXPECT_EQ(ok.top, box.bottom - 14 - 28);
    EXPECT_EQ(cancel.left, ok.right + 12);
    EXPECT_EQ(pic[static_cast<std::size_t>(ok.top + 1) * 800 + ok.left + 1], kFocusFrame);
    EXPECT_EQ(pic[static_cast<std::size_t>(ok.top + 2) * 800 + ok.left + 2], kButtonFace);
    EXPECT_EQ(pic[static_cast<std::size_t>(cancel.top + 1) * 800 + cancel.left + 1], kButtonFace);
    EXPECT_EQ(pic[static_cast<std::size_t>(cancel.top) * 800 + cancel.left], kButtonFrame);
    const std::string okLabel(ButtonLabel(Kind::Message, Part::Ok));
    EXPECT_EQ(okLabel, "\xC8\xB7\xB6\xA8");
    EXPECT_GT(ExpectInk(pic, okLabel, {ok.left + (88 - Width(okLabel)) / 2, ok.top + 4}, kText),
              10);

    // Hovering Cancel lights its face.
    d.Handle(Mouse(EventKind::MouseMove, cancel.left + 2, cancel.top + 2));
    d.Draw(under, pic);
    EXPECT_EQ(pic[static_cast<std::size_t>(cancel.top + 1) * 800 + cancel.left + 1], kButtonHover);
}

TEST_F(DialogPicture, LongTextWrapsInsideTheBoxAndANewLineBreaks) {
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "\xD6\xD0"; // 中 x 40
    text += "\nAB";
    Dialog d(MessageSpec(text, "Error", BoxIcon::Error, Buttons::Ok), glyphs_.get());
    const int advance = Width("\xD6\xD0");
    const int perLine = kMaxTextWidth / advance;
    const int full = 40 / perLine;
    const int rest = 40 % perLine;
    ASSERT_EQ(d.LineCount(), full + (rest ? 1 : 0) + 1);
    EXPECT_EQ(d.Line(0).size(), static_cast<std::size_t>(perLine) * 2);
    EXPECT_EQ(d.Line(d.LineCount() - 1), "AB");
    EXPECT_EQ(d.LinePen(1).y - d.LinePen(0).y, kLineHeight);
    std::vector<std::uint32_t> pic(kPixels);
    d.Draw({}, pic); // nothing shown yet: black under the box
    EXPECT_EQ(pic[0], 0u);
    EXPECT_GT(ExpectInk(pic, "AB", d.LinePen(d.LineCount() - 1), kText), 5);
    // The error icon: a white cross through the middle of a red disc.
    const Point icon = d.IconOrigin();
    EXPECT_EQ(pic[static_cast<std::size_t>(icon.y + 16) * 800 + icon.x + 16], 0xFFFFFFu);
    EXPECT_EQ(pic[static_cast<std::size_t>(icon.y + 16) * 800 + icon.x + 2], kErrorIcon);
    // Text that would run off the screen is cut at the last line that fits.
    Dialog tall(MessageSpec(std::string(60, '\n'), "x", BoxIcon::None, Buttons::Ok), glyphs_.get());
    EXPECT_EQ(tall.LineCount(), kMaxLines);
    EXPECT_GE(tall.Box().top, 0);
    EXPECT_LE(tall.Box().bottom, 600);
}

TEST_F(DialogPicture, EntryFieldShowsTextCompositionUnderlinedAndTheCaret) {
    const std::string caption = "\xC7\xEB\xCA\xE4\xC8\xEB\xD7\xA2\xCA\xCD"; // 请输入注释
    Dialog d(EntrySpec(caption, "", "AB", 45), glyphs_.get());
    d.Handle(Text(EventKind::TextEditing, "\xE4\xBD\xA0")); // 你 being composed
    std::vector<std::uint32_t> pic(kPixels);
    d.Draw({}, pic);
    const Rect field = d.FieldRect();
    EXPECT_EQ(field.right - field.left, kFieldWidth);
    EXPECT_EQ(field.left, d.Box().left + 16);
    // Buttons on the right under the field, reading OK and CANCEL.
    EXPECT_EQ(d.ButtonRect(Part::Cancel).right, d.Box().right - 16);
    EXPECT_EQ(d.ButtonRect(Part::Ok).top, field.bottom + 12);
    EXPECT_EQ(ButtonLabel(Kind::TextEntry, Part::Cancel), "CANCEL");
    const Point pen{field.left + kFieldInset, field.top + 4};
    EXPECT_GT(ExpectInk(pic, "AB", pen, kText), 5);
    const int ab = Width("AB");
    const int ni = Width("\xC4\xE3");
    EXPECT_GT(ExpectInk(pic, "\xC4\xE3", {pen.x + ab, pen.y}, kText), 10);
    // The underline runs under the composition only, on the row below the cell.
    const std::size_t underline = static_cast<std::size_t>(pen.y + kFontHeight) * 800;
    EXPECT_EQ(pic[underline + pen.x + ab], kText);
    EXPECT_EQ(pic[underline + pen.x + ab + ni - 1], kText);
    EXPECT_EQ(pic[underline + pen.x + ab - 1], kFieldFace);
    // The caret after the composition, the height of a cell; focus frame.
    const int caret = pen.x + ab + ni;
    EXPECT_EQ(pic[static_cast<std::size_t>(pen.y) * 800 + caret], kText);
    EXPECT_EQ(pic[static_cast<std::size_t>(pen.y + kFontHeight - 1) * 800 + caret], kText);
    EXPECT_EQ(pic[static_cast<std::size_t>(field.top) * 800 + field.left], kFocusFrame);
}

// ---------------------------------------------------------------- the loop

class ScriptedHost : public Host {
public:
    std::vector<Event> events;
    std::size_t next = 0;
    int shows = 0;
    std::vector<std::uint32_t> shown;
    std::vector<bool> textInput;
    bool raiseOnFirstWait = false;

    Wait Next(Event& out, std::uint32_t ms) override {
        EXPECT_LE(ms, 1000u); // a signal is seen within a second
        if (raiseOnFirstWait) {
            raiseOnFirstWait = false;
            std::raise(SIGTERM);
            return Wait::Idle;
        }
        if (next == events.size()) return Wait::Ended;
        out = events[next++];
        return Wait::Input;
    }
    void Show(std::span<const std::uint32_t> picture) override {
        ++shows;
        shown.assign(picture.begin(), picture.end());
    }
    void Restore(std::span<const std::uint32_t> under) override {
        ++restores;
        shown.assign(under.begin(), under.end());
    }
    int restores = 0;
    void TextInput(bool on, const Rect&) override { textInput.push_back(on); }
};

class DialogLoop : public testing_support::HeadlessTest {};

TEST_F(DialogLoop, ShowsRedrawsOnChangeAndPutsThePictureBack) {
    std::vector<std::uint32_t> under(kPixels, 0x204060);
    Dialog d = Question();
    ScriptedHost host;
    const Point cancel = Centre(d.ButtonRect(Part::Cancel));
    host.events = {Mouse(EventKind::MouseMove, cancel.x, cancel.y),
                   Mouse(EventKind::MouseMove, cancel.x + 1, cancel.y), Key(Key::Escape)};
    EXPECT_EQ(RunDialog(d, host, under), Result::Cancel);
    // The opening picture and the hover (the move inside the same button and
    // the answer draw nothing), then the game picture goes back.
    EXPECT_EQ(host.shows, 2);
    EXPECT_EQ(host.restores, 1);
    EXPECT_EQ(host.shown, under);
    EXPECT_TRUE(host.textInput.empty());

    // Input that runs out ends the dialog as its Cancel; the field's text
    // input is switched on and off again.
    Dialog entry = Entry(45, "x");
    ScriptedHost dry;
    EXPECT_EQ(RunDialog(entry, dry, under), Result::Cancel);
    EXPECT_EQ(dry.textInput, (std::vector<bool>{true, false}));
}

TEST_F(DialogLoop, AQuitSignalEndsTheDialogAsCancel) {
    CatchQuitSignals();
    Dialog d = Question();
    ScriptedHost host;
    host.raiseOnFirstWait = true;
    host.events = {Key(Key::Return)}; // never reached
    EXPECT_EQ(RunDialog(d, host, {}), Result::Cancel);
    EXPECT_TRUE(QuitSignalled());
    EXPECT_EQ(host.next, 0u);
    // Once signalled, a new dialog ends at once.
    Dialog later = Notice();
    ScriptedHost quiet;
    quiet.events = {Key(Key::Escape)};
    EXPECT_EQ(RunDialog(later, quiet, {}), Result::Ok);
    EXPECT_EQ(quiet.next, 0u);
}

} // namespace
