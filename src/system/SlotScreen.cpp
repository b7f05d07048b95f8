#include "system/SlotScreen.h"

#include "app/Config.h"
#include "app/GameApp.h"
#include "app/Input.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "gfx/GlyphFont.h"
#include "gfx/TrigTables.h"
#include "scenario/Scenario.h"
#include "screenkit/ScreenKit.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

using namespace screenkit;
using platform::Rect;

namespace slots {

namespace {

constexpr std::array<const char*, 38> kSampleNames{
    "e009a.bmp", "e009b.bmp", "e011a.bmp", "e013a.bmp", "e013b.bmp", "e013c.bmp", "e014a.bmp",
    "e014b.bmp", "e016a.bmp", "e016b.bmp", "e018a.bmp", "e018b.bmp", "e018c.bmp", "e019a.bmp",
    "e019b.bmp", "e019c.bmp", "e020a.bmp", "e020b.bmp", "e020c.bmp", "e021a.bmp", "e021b.bmp",
    "e023a.bmp", "e023b.bmp", "e024a.bmp", "e024b.bmp", "e026a.bmp", "e026b.bmp", "e026c.bmp",
    "e029b.bmp", "e030a.bmp", "e030b.bmp", "e031b.bmp", "e032a.bmp", "e033a.bmp", "e033b.bmp",
    "e033c.bmp", "e035a.bmp", "e035b.bmp",
};

bool PairAt(std::string_view text, std::size_t i, unsigned char a, unsigned char b) {
    return i + 1 < text.size() && static_cast<unsigned char>(text[i]) == a &&
           static_cast<unsigned char>(text[i + 1]) == b;
}

} // namespace

void DrawComment(CDib* target, int x, int y, std::string_view text, std::size_t limit,
                 SkipPairs skip) {
    if (!target || !g_glyphFont) return;
    int pen = x;
    std::size_t i = 0;
    while (i < text.size()) {
        if (PairAt(text, i, 0xA1, 0xE7) ||
            (skip == SkipPairs::MarkAndIcon && PairAt(text, i, 0x81, 0xE8))) {
            i += 4;
            continue;
        }
        const std::size_t length = static_cast<unsigned char>(text[i]) > 0x80 ? 2 : 1;
        if (i + length > text.size()) break;
        pen += g_glyphFont->DrawChar(target, pen, y, text.substr(i, length), kWhite);
        const bool last = i >= limit;
        i += length;
        if (last) break;
    }
}

int SampleTile(std::string_view pictureName) {
    for (std::size_t k = 0; k < kSampleNames.size(); ++k)
        if (pictureName.size() == std::strlen(kSampleNames[k]) &&
            ::strncasecmp(pictureName.data(), kSampleNames[k], pictureName.size()) == 0)
            return static_cast<int>(k);
    return -1;
}

} // namespace slots

namespace {

using slots::SlotLook;

constexpr int kPageSlot = 20;
constexpr int kBaseSlot = 21;
constexpr int kPartsSlot = 22;
constexpr int kEntrySlot = 23;
constexpr int kEmptySlot = 24;
constexpr int kBoxSlot = 25;
constexpr int kChosenSlot = 26;
constexpr int kDimSlot = 27;
constexpr int kBoxTextSlot = 28;
constexpr int kDimCopySlot = 29;
constexpr int kGroupSlot = 30;
constexpr int kPageDigitSlot = 31;
constexpr int kNumberSlot = 32;
constexpr int kDateSlot = 33;
constexpr int kCommentBackSlot = 34;
constexpr int kOldPageSlot = 35;
constexpr int kNewPageSlot = 36;
constexpr int kFrameSlot = 37;
constexpr int kSampleSlot = 38;
constexpr int kBoxThumbSlot = 50;
constexpr int kThumbSlot = 51;

constexpr std::uint32_t kOpenFadeMs = 500;
constexpr std::uint32_t kCloseFadeMs = 1000;
constexpr std::uint32_t kDimMs = 300;
constexpr std::uint32_t kSlideMs = 300;
constexpr std::uint32_t kBoxCloseMs = 400;
constexpr std::uint32_t kPageChangeMs = 300;
constexpr int kDimAlpha = 160;

constexpr int kBoxX = 201;
constexpr int kBoxY = 216;
constexpr int kBoxW = 399;
constexpr int kBoxH = 184;
constexpr int kBoxThumbX = 230;
constexpr int kBoxThumbY = 262;
constexpr int kBoxDateX = 336;
constexpr int kBoxSlide = 28;
constexpr int kGlideX = 348;
constexpr int kGlideY = 369;

constexpr std::array<int, slots::kPages> kMarkX{572, 596, 620, 643, 666, 689};

constexpr std::array<Picture, 7> kSharedPictures{{
    {kPartsSlot, "system\\save_p.bmp"},
    {kGroupSlot, "system\\sl_day.bmp"},
    {kPageDigitSlot, "system\\page0-9.bmp"},
    {kNumberSlot, "system\\no0-9.bmp"},
    {kDateSlot, "system\\data0-9.bmp"},
    {kFrameSlot, "system\\save_p03.bmp"},
    {kSampleSlot, "system\\s_sam.bmp"},
}};

CDib* Back() {
    return g_backBuffer.get();
}

int Column(int i) {
    return 391 * (i / 5);
}
int Row(int i) {
    return 103 * (i % 5);
}

// A surface of its own size, not the screen's.
CDib* NewSurface(int slot, int w, int h) {
    auto dib = std::make_unique<CDib>();
    dib->Create(platform::WindowHandle::Main, w, h, 24);
    cdib[slot] = std::move(dib);
    return cdib[slot].get();
}

void SetFont(int size, int face) {
    if (g_glyphFont) g_glyphFont->SetFont(size, face);
}

} // namespace

CSlotScreen::CSlotScreen(Kind kind, std::unique_ptr<slots::PageCache>& cache,
                         std::size_t pageSetting)
    : kind_(kind), cache_(cache), pageSetting_(pageSetting),
      scratch_(std::make_unique<save::Record>()) {
    if (!cache_) cache_ = std::make_unique<slots::PageCache>();
    // Config.dat is outside data: a page past the last one opens the last.
    page = std::min<std::uint8_t>(g_config[pageSetting_], slots::kPages - 1);
    for (int i = 0; i < slots::kSlots; ++i) {
        const int x = 16 + Column(i), y = 83 + Row(i);
        slotRects[static_cast<std::size_t>(i)] = Rect{x, y, x + 376, y + 93};
    }
    for (int k = 0; k < slots::kPages; ++k)
        controlRects[static_cast<std::size_t>(k)] = Rect{576 + 24 * k, 34, 596 + 24 * k, 54};
    controlRects[slots::kBackControl - 1] = Rect{730, 60, 780, 82};
    yesNoRects = {Rect{303, 356, 382, 384}, Rect{418, 356, 497, 384}};
    if (kind_ == Kind::Save) commentRect = Rect{225, 324, 577, 344};
}

void CSlotScreen::Next(std::uint8_t s) {
    Clock().Restart();
    state = s;
}

std::string CSlotScreen::SlotName(int i) const {
    const std::int8_t group = g_scenario ? g_scenario->saveGroup : 0;
    return save::SlotFileName(group, page, i);
}

// ---------------------------------------------------------------- slot tiles

save::SlotReadResult CSlotScreen::ReadSlotFile(int i) {
    const save::SlotReadResult result = save::ReadSlot(SlotName(i), *scratch_);
    save::Record& entry = Cache()[static_cast<std::size_t>(i)];
    SlotLook& look = looks[static_cast<std::size_t>(i)];
    if (result.ok()) {
        entry = *scratch_;
        look = SlotLook::Saved;
    } else {
        // Nothing of a refused file is kept, nor what the entry held for
        // another page.
        entry.fill(0);
        look = result.status == save::SlotRead::Missing ? SlotLook::Empty : SlotLook::Damaged;
    }
    return result;
}

void CSlotScreen::PutThumbnail(int slot, std::string_view pictureName,
                               const std::function<save::Thumbnail()>& reduce) {
    CDib* thumb = NewSurface(slot, save::kThumbWidth, save::kThumbHeight);
    const int tile = slots::SampleTile(pictureName);
    if (tile >= 0) {
        BltCopy(thumb, 0, 0, Slot(kSampleSlot), save::kThumbWidth * (tile % 5),
                save::kThumbHeight * (tile / 5), save::kThumbWidth, save::kThumbHeight);
        return;
    }
    const save::Thumbnail pixels = reduce();
    for (int y = 0; y < save::kThumbHeight; ++y)
        std::copy_n(pixels.begin() + y * save::kThumbWidth, save::kThumbWidth,
                    thumb->GetPixelPtr(0, y));
}

void CSlotScreen::BuildThumbnail(int slot, save::RecordView record) {
    PutThumbnail(slot, save::GetString(record, save::SurfaceName(1), save::kNameField),
                 [&] { return save::ReduceScreenshot(record); });
}

void CSlotScreen::BuildLiveThumbnail(int slot) {
    std::string_view name;
    if (g_gameApp) {
        const NameString& n = g_gameApp->surfaceNames[1];
        name = {n.data(), ::strnlen(n.data(), n.size())};
    }
    PutThumbnail(slot, name, [] { return save::ReduceSurface(g_menuSnapshot.get()); });
}

void CSlotScreen::DrawDate(CDib* target, int x, int y, const save::SaveDate& date, int opacity) {
    const CDib* digits = Slot(kDateSlot);
    auto glyph = [&](int at, int sx, int w) {
        BltAlphaBlend(target, x + at, y, digits, sx, 0, w, 11, opacity);
    };
    auto digit = [&](int at, int value) { glyph(at, 8 * (value % 10), 8); };
    auto twoDigits = [&](int at, int value) {
        digit(at, value / 10);
        digit(at + 8, value);
    };
    if (date.year / 1000 % 10 != 0) digit(0, date.year / 1000);
    digit(8, date.year / 100);
    twoDigits(16, date.year);
    glyph(32, 80, 8);
    twoDigits(40, date.month);
    glyph(56, 80, 8);
    twoDigits(64, date.day);
    glyph(81, 80, 7);
    twoDigits(88, date.hour);
    glyph(107, 88, 5);
    twoDigits(112, date.minute);
}

void CSlotScreen::DrawSlot(CDib* target, int i, bool lit) {
    const int ox = Column(i), oy = Row(i);
    const Rect frame{0, 0, 376, 93};
    if (Slot(kFrameSlot))
        target->BltKeyed(Slot(kFrameSlot), 16 + ox, 83 + oy, &frame, nullptr, nullptr);
    BltAlpha(target, 41 + ox, 90 + oy, Slot(kPartsSlot), 428, lit ? 164 : 82, 108, 82);
    BltAlpha(target, 41 + ox, 90 + oy, Slot(kPartsSlot), 428, 0, 108, 82);
    // The slot number reads upwards: its label, then tens and ones.
    const int n = page * 10 + i + 1;
    BltAlpha(target, 21 + ox, 129 + oy, Slot(kNumberSlot), 80, 0, 8, 17);
    BltAlpha(target, 21 + ox, 121 + oy, Slot(kNumberSlot), 8 * (n / 10), 10, 8, 7);
    BltAlpha(target, 21 + ox, 115 + oy, Slot(kNumberSlot), 8 * (n % 10), 10, 8, 7);

    const SlotLook look = looks[static_cast<std::size_t>(i)];
    if (look == SlotLook::Damaged) {
        slots::DrawComment(
            target, 154 + ox, 150 + oy,
            "\xa3\xa8\xb4\xe6\xb5\xb5\xd2\xd1\xcb\xf0\xbb\xb5\xa3\xa9" /* （存档已损坏） */, 30,
            slots::SkipPairs::MarkAndIcon);
        return;
    }
    if (look != SlotLook::Saved) return;
    const save::Record& record = Cache()[static_cast<std::size_t>(i)];
    DrawDate(target, 202 + ox, 97 + oy, save::GetSaveDate(record), 255);
    // A group the label sheet has no row for draws no label.
    const int group = static_cast<std::int8_t>(save::GetU8(record, save::kSaveGroup));
    const CDib* labels = Slot(kGroupSlot);
    if (labels && group >= 0 && 15 * (group + 1) <= labels->GetHeight())
        BltAlpha(target, 198 + ox, 113 + oy, labels, 0, 15 * group, 100, 15);
    slots::DrawComment(target, 154 + ox, 150 + oy, save::GetComment(record), 30,
                       slots::SkipPairs::MarkAndIcon);
    BuildThumbnail(kThumbSlot, record);
    BltCopy(target, 47 + ox, 95 + oy, Slot(kThumbSlot), 2, 1, 96, 72);
}

void CSlotScreen::DrawPageMark(CDib* target) {
    BltAlpha(target, kMarkX[page], 30, Slot(kPartsSlot), 28 * page, 332, 28, 28);
}

void CSlotScreen::BuildPage() {
    CDib* target = CopyOfSurface(kPageSlot, Slot(kEmptySlot));
    for (int i = 0; i < slots::kSlots; ++i) {
        ReadSlotFile(i);
        DrawSlot(target, i, false);
    }
    BltAlpha(target, 755, 39, Slot(kPageDigitSlot), 8 * (page + 1), 0, 8, 11);
    BltAlpha(target, 771, 39, Slot(kPageDigitSlot), 48, 0, 8, 11);
    DrawPageMark(target);
}

// ---------------------------------------------------------------- states

void CSlotScreen::Open(platform::WindowHandle) {
    if (g_gameApp) g_gameApp->screenRect = Rect{0, 0, kScreenWidth, kScreenHeight};
    CopyOfBackBuffer(kPageSlot);
    const bool save = kind_ == Kind::Save;
    LoadSurface(kBaseSlot, save ? "system\\save_base.bmp" : "system\\load_base.bmp");
    LoadSurface(kBoxSlot, save ? "system\\save_p02.bmp" : "system\\load_p02.bmp");
    LoadPictures(kSharedPictures);
    CopyOfSurface(kEntrySlot, Slot(kPageSlot));
    BltAlpha(Slot(kPageSlot), 0, 0, Slot(kBaseSlot), 0, 0, kScreenWidth, kScreenHeight);
    CopyOfSurface(kEmptySlot, Slot(kPageSlot));
    for (save::Record& entry : Cache())
        entry.fill(0);
    SetFont(14, 2);
    BuildPage();
    hoverSlot = prevHoverSlot = hoverControl = prevHoverControl = 0;
    choice = prevChoice = 0;
    Opened();
    Next(1);
}

void CSlotScreen::FadeIn(platform::WindowHandle) {
    if (Fading(Clock(), Slot(kPageSlot), Slot(kEntrySlot), kOpenFadeMs, Hurry::BySkip)) return;
    if (kind_ == Kind::Save && g_mouse) g_mouse->skip = 0;
    Next(3);
}

void CSlotScreen::PageInput(platform::WindowHandle window) {
    prevHoverSlot = hoverSlot;
    prevHoverControl = hoverControl;
    hoverControl = HitItem(controlRects);
    hoverSlot = hoverControl != 0 ? 0 : HitItem(slotRects);
    MoveByKeys(window);

    if (hoverSlot != prevHoverSlot) {
        if (hoverSlot != 0) LightSlot(hoverSlot - 1, true);
        if (prevHoverSlot != 0) LightSlot(prevHoverSlot - 1, false);
    }
    if (hoverControl != prevHoverControl) {
        if (prevHoverControl == slots::kBackControl) {
            RestoreArea(Slot(kPageSlot), 726, 56, 56, 26);
        } else if (prevHoverControl != 0 && prevHoverControl - 1 != page) {
            RestoreArea(Slot(kEmptySlot), 572, 30, 146, 28);
            DrawPageMark(Back());
        }
        if (hoverControl == slots::kBackControl) {
            BltAlpha(Back(), 726, 56, Slot(kPartsSlot), 168, 332, 56, 26);
        } else if (hoverControl != 0 && hoverControl - 1 != page) {
            const int k = hoverControl - 1;
            BltAlpha(Back(), kMarkX[static_cast<std::size_t>(k)], k == 5 ? 31 : 30,
                     Slot(kPartsSlot), 28 * k, 332, 28, 28);
        }
    }

    const bool click = TakeClick();
    if (click && hoverSlot != 0) {
        if (!SlotChosen(hoverSlot - 1)) return;
        chosen = static_cast<std::uint8_t>(hoverSlot - 1);
        PlaySe(0, "se\\sys_g004.ogg");
        CopyOfBackBuffer(kChosenSlot);
        CDib* dim = CopyOfBackBuffer(kDimSlot);
        BlankSurface(kBoxTextSlot, kBlack);
        BltStretchBlend(dim, 0, 0, kScreenWidth, kScreenHeight, Slot(kBoxTextSlot), 0, 0, 0,
                        kScreenWidth, kScreenHeight, kDimAlpha);
        CopyOfSurface(kDimCopySlot, dim);
        CDib* box = NewSurface(kBoxTextSlot, kBoxW, kBoxH);
        BltCopy(box, 0, 0, Slot(kBoxSlot), 0, 0, kBoxW, kBoxH);
        slots::DrawComment(box, 25, 112, BoxComment(), 46, slots::SkipPairs::Mark);
        Next(6);
        return;
    }
    if (click && hoverControl == slots::kBackControl) {
        PlayClickSound();
        BeginLeaving();
        return;
    }
    if (click && hoverControl != 0 && hoverControl - 1 != page) {
        page = static_cast<std::uint8_t>(hoverControl - 1);
        g_config[pageSetting_] = page;
        CopyOfBackBuffer(kOldPageSlot);
        BuildPage();
        CopyOfSurface(kNewPageSlot, Slot(kPageSlot));
        Next(11);
        return;
    }
    if (TakeCancel()) BeginLeaving();
}

void CSlotScreen::MoveByKeys(platform::WindowHandle window) {
    if (!g_keyboard) return;
    int n = hoverSlot;
    if (g_keyboard->up) {
        g_keyboard->up = 0;
        n = n == 0 ? 1 : n == 1 ? slots::kSlots : n - 1;
    } else if (g_keyboard->down) {
        g_keyboard->down = 0;
        n = n == 0 ? 5 : n == slots::kSlots ? 1 : n + 1;
    } else if (g_keyboard->left) {
        g_keyboard->left = 0;
        n = n == 0 ? 1 : n - 5 < 1 ? n + 5 : n - 5;
    } else if (g_keyboard->right) {
        g_keyboard->right = 0;
        n = n == 0 ? slots::kSlots : n + 5 > slots::kSlots ? n - 5 : n + 5;
    } else {
        return;
    }
    hoverSlot = static_cast<std::uint8_t>(n);
    const Rect& r = slotRects[static_cast<std::size_t>(n - 1)];
    WarpCursor(window, r.left + 188, r.top + 46);
}

void CSlotScreen::LightSlot(int i, bool lit) {
    const int x = 41 + Column(i), y = 90 + Row(i);
    if (kind_ == Kind::Load) {
        RestoreArea(Slot(kEmptySlot), x, y, 108, 82);
        BltAlpha(Back(), x, y, Slot(kPartsSlot), 25, i == 0 ? 7 : 100, 108, 82);
    } else {
        RestoreArea(Slot(kPageSlot), x, y, 108, 82);
    }
    BltAlpha(Back(), x, y, Slot(kPartsSlot), 428, lit ? 164 : 82, 108, 82);
    BltAlpha(Back(), x, y, Slot(kPartsSlot), 428, 0, 108, 82);
    if (!ReadSlotFile(i).ok()) return;
    BuildThumbnail(kThumbSlot, Cache()[static_cast<std::size_t>(i)]);
    BltCopy(Back(), x + 6, y + 5, Slot(kThumbSlot), 2, 1, 96, 72);
    reread = 1;
}

void CSlotScreen::BeginLeaving() {
    if (kind_ == Kind::Save) {
        CopyOfBackBuffer(kEntrySlot);
    } else if (Slot(kEntrySlot)) {
        // The load screen's closing picture leaves out pure green, as a
        // colour-keyed copy does.
        Slot(kEntrySlot)->BltKeyed(Back(), 0, 0, nullptr, nullptr, nullptr);
    }
    Next(4);
    if (kind_ == Kind::Load && g_scenario && g_scenario->menuReturn == 0) state = 5;
}

void CSlotScreen::FadeOut(platform::WindowHandle) {
    CDib* story = g_menuSnapshot ? g_menuSnapshot.get() : Slot(0);
    if (story && Fading(Clock(), story, Slot(kEntrySlot), kCloseFadeMs, Hurry::BySkip)) return;
    Next(5);
}

void CSlotScreen::Leave(platform::WindowHandle) {
    FreeSurfaces(10, 63);
    if (kind_ == Kind::Save) g_config[pageSetting_] = page;
    const bool story = kind_ == Kind::Save || (g_scenario && g_scenario->menuReturn == 1);
    if (story && g_scenario && g_scenario->messageStyle != 0)
        SetFont(23, 1);
    else
        SetFont(26, 0);
    state = 0;
    LeaveTo(g_gameApp ? g_gameApp->returnMode : 1);
}

void CSlotScreen::DimPage(platform::WindowHandle) {
    if (Fading(Clock(), Slot(kDimSlot), Slot(kChosenSlot), kDimMs, Hurry::BySkip)) return;
    Next(7);
}

void CSlotScreen::DrawBox(CDib* target, int dy, int opacity) {
    BltAlphaBlend(target, kBoxX, kBoxY + dy, Slot(kBoxTextSlot), 0, 0, kBoxW, kBoxH, opacity);
}

void CSlotScreen::BoxSlideIn(platform::WindowHandle) {
    const std::uint32_t t = Clock().Tick();
    const std::uint32_t p = FadeLevel(t, kSlideMs);
    const save::SaveDate date = BoxDate();
    if (p < kFull && !SkipHeld()) {
        const int d = static_cast<int>(StepLevel(t, kBoxSlide, kSlideMs)) - kBoxSlide;
        RestoreArea(Slot(kDimSlot), kBoxX, 186, kBoxW, 240);
        DrawBox(Back(), d, static_cast<int>(p));
        BltStretchBlend(Back(), kBoxThumbX, kBoxThumbY + d, save::kThumbWidth, save::kThumbHeight,
                        Slot(kBoxThumbSlot), 0, 0, 0, save::kThumbWidth, save::kThumbHeight,
                        static_cast<int>(p));
        DrawDate(Back(), kBoxDateX, kBoxThumbY + d, date, static_cast<int>(p));
        return;
    }
    RestoreArea(Slot(kDimSlot), kBoxX, 186, kBoxW, 240);
    if (kind_ == Kind::Save) {
        // The box's comment line without the comment, for a typed one.
        CDib* back = CopyOfSurface(kCommentBackSlot, Slot(kDimSlot));
        BltAlpha(back, kBoxX, kBoxY, Slot(kBoxSlot), 0, 0, kBoxW, kBoxH);
    }
    for (CDib* target : {Back(), Slot(kDimSlot)}) {
        DrawBox(target, 0, 255);
        BltCopy(target, kBoxThumbX, kBoxThumbY, Slot(kBoxThumbSlot), 0, 0, save::kThumbWidth,
                save::kThumbHeight);
        DrawDate(target, kBoxDateX, kBoxThumbY, date, 254);
    }
    choice = prevChoice = 0;
    GlideThen(8);
}

void CSlotScreen::GlideThen(std::uint8_t next) {
    if (g_config[config::kCursorGlide] == 0) {
        Next(next);
        return;
    }
    glide = {static_cast<std::int16_t>(g_mouse ? g_mouse->x : kGlideX),
             static_cast<std::int16_t>(g_mouse ? g_mouse->y : kGlideY), kGlideX, kGlideY};
    afterGlide_ = next;
    Next(kind_ == Kind::Save ? 12 : 14);
}

void CSlotScreen::GlideToYes(platform::WindowHandle window) {
    if (GlideCursor(window, Clock().Tick(), glide[0], glide[1], glide[2], glide[3])) return;
    ClearClick();
    Next(afterGlide_);
}

void CSlotScreen::BoxInput(platform::WindowHandle) {
    const std::size_t items = kind_ == Kind::Save ? 3 : 2;
    const std::array<Rect, 3> rects{yesNoRects[0], yesNoRects[1], commentRect};
    const int yesNoX = kind_ == Kind::Save ? 178 : 177;
    auto area = [&](int k, bool draw) {
        if (k == 3) {
            if (draw)
                BltAlpha(Back(), 222, 320, Slot(kPartsSlot), 0, 388, 358, 28);
            else
                RestoreArea(Slot(kDimSlot), 222, 320, 358, 28);
            return;
        }
        const int x = 112 * k + yesNoX;
        if (draw)
            BltAlpha(Back(), x, 346, Slot(kFrameSlot), 107 * (k - 1), 139, 107, 46);
        else
            RestoreArea(Slot(kDimSlot), x, 346, 107, 46);
    };
    if (TrackHover(choice, prevChoice, std::span(rects).first(items))) {
        if (prevChoice != 0) area(prevChoice, false);
        if (choice != 0) area(choice, true);
    }
    const bool click = TakeClick();
    if (click && choice == 3) {
        CommentClicked();
        return;
    }
    if (click && choice != 0) {
        PlaySe(0, "se\\sys_a002.ogg");
        answer = choice;
        Next(10);
        return;
    }
    if (TakeCancel()) Next(9);
}

void CSlotScreen::BackToPage(platform::WindowHandle) {
    if (Fading(Clock(), Slot(kChosenSlot), Slot(kDimCopySlot), kDimMs, Hurry::BySkip)) return;
    FreeSurfaces(kChosenSlot, kDimCopySlot);
    if (kind_ == Kind::Save) FreeSurface(kCommentBackSlot);
    Next(3);
}

void CSlotScreen::BoxClose(platform::WindowHandle window) {
    const std::uint64_t t = Clock().Tick();
    const auto a = static_cast<int>(t * 180 / kBoxCloseMs);
    const int limit = kind_ == Kind::Load ? 181 : 180;
    if (a < limit && !SkipHeld()) {
        const int d = static_cast<int>(kBoxSlide * SinDeg(static_cast<int>(t * 90 / kBoxCloseMs)));
        // The load screen's last frame (a = 180) falls past the end of the
        // fade: its opacity stays 0 rather than going below.
        const int o = std::max(0, 254 - static_cast<int>(t * 254 / kBoxCloseMs));
        RestoreArea(Slot(kDimCopySlot), kBoxX, kBoxY, kBoxW, 220);
        DrawBox(Back(), d, o);
        const int k = answer == 1 ? 0 : 1;
        const int x = (kind_ == Kind::Load ? 289 : 290) + 112 * k;
        BltAlphaBlend(Back(), x, 346 + d, Slot(kFrameSlot), 107 * k, 93, 107, 46,
                      static_cast<int>(254 * SinDeg(a)));
        if (!(kind_ == Kind::Save && o == 0))
            BltStretchBlend(Back(), kBoxThumbX, kBoxThumbY + d, save::kThumbWidth,
                            save::kThumbHeight, Slot(kBoxThumbSlot), 0, 0, 0, save::kThumbWidth,
                            save::kThumbHeight, o);
        DrawDate(Back(), kBoxDateX, kBoxThumbY + d, BoxDate(), o);
        return;
    }
    Next(Closed(window, answer == 1));
}

void CSlotScreen::PageChange(platform::WindowHandle) {
    const std::uint32_t t = Clock().Tick();
    if (t < kPageChangeMs && !SkipHeld()) {
        DrawFade(Slot(kNewPageSlot), Slot(kOldPageSlot), StepLevel(t, 254, kPageChangeMs));
        RestoreArea(Slot(kEmptySlot), 572, 30, 146, 28);
        DrawPageMark(Back());
        return;
    }
    ShowWhole(Slot(kNewPageSlot));
    FreeSurfaces(kOldPageSlot, kNewPageSlot);
    hoverSlot = hoverControl = 0;
    Next(3);
}

void CSlotScreen::RedrawChosenSlot() {
    const int i = chosen;
    const int x = 16 + Column(i), y = 83 + Row(i);
    for (CDib* target : {Slot(kPageSlot), Slot(kChosenSlot)}) {
        if (!target) continue;
        BltCopy(target, x, y, Slot(kEmptySlot), x, y, 376, 93);
        DrawSlot(target, i, target == Slot(kChosenSlot));
    }
}
