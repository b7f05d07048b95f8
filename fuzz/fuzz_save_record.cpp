// Mutates the state part of a valid save record, runs the validator over it,
// draws every record it accepts as the save and load screens draw a slot
// (thumbnail, date digits, group label, comment walk, and the confirm box's
// comment and date), and puts some of them back into a running story with
// the real restore, then runs a few frames of the game from there. The
// game is not made anew between inputs: each load lands on whatever the
// inputs before it left, as a player's load lands on the story they played.
//
// The first input byte: the low two bits zero restore (restoring builds a
// dozen screens of pixels, so most inputs stop at the slot); bits 2..4 are
// the slot, bits 2..5 a click for each of the four frames after a restore,
// bit 6 lights the slot and bit 7 draws it on the save screen rather than
// the load screen. Then a list of patches: a 32-bit
// offset into the state fields (after the screenshot), a length byte, then
// the bytes; the screenshot itself is patched through the same offsets
// taken from its start when the offset's top bit is set.
#include "app/Config.h"
#include "app/GameApp.h"
#include "app/Input.h"
#include "data/PathTable.h"
#include "gfx/Dib.h"
#include "gfx/GlyphFont.h"
#include "platform/Glyph.h"
#include "platform/Platform.h"
#include "platform/headless/Headless.h"
#include "scenario/Scenario.h"
#include "system/LoadScreen.h"
#include "system/SaveRecord.h"
#include "system/SaveScreen.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

namespace {

// Glyph boxes of a size that follows the code, so the comment walk draws
// boxes of every shape near the edges of its surface.
class BoxGlyphs : public platform::GlyphSource {
public:
    bool SetFont(std::string_view, int height, int, platform::TextDirection) override {
        height_ = height;
        return true;
    }
    int Ascent() const override { return height_ * 3 / 4; }
    platform::GlyphResult GetGlyph(std::uint32_t code, platform::GlyphLevels,
                                   platform::GlyphBitmap& out) override {
        out = {};
        out.blackBoxX = 1 + static_cast<int>(code % 29);
        out.blackBoxY = 1 + static_cast<int>(code / 7 % 31);
        out.originX = static_cast<int>(code % 5) - 2;
        out.originY = static_cast<int>(code % 37) - 4;
        out.cellIncX = code > 0xFF ? height_ : height_ / 2;
        out.bits.assign(static_cast<std::size_t>(platform::GlyphBitmap::RowStride(out.blackBoxX) *
                                                 out.blackBoxY),
                        static_cast<std::uint8_t>(code % 65));
        return platform::GlyphResult::Ok;
    }

private:
    int height_ = 14;
};

// The slot tile and the box drawing, which the screens keep to themselves.
template <class Screen> struct Tiles : Screen {
    using CSlotScreen::BuildThumbnail;
    using CSlotScreen::DrawDate;
    using CSlotScreen::DrawSlot;
};

// The pictures a slot is drawn from, at the demo game's sizes: the frame
// pieces, the group labels (three rows), the slot-number and date digits,
// the slot frame and the sample tiles.
constexpr std::array<std::array<int, 3>, 7> kSlotPictures{{
    {22, 536, 416},
    {30, 100, 45},
    {31, 64, 11},
    {32, 88, 17},
    {33, 93, 11},
    {37, 376, 185},
    {38, 500, 600},
}};

std::unique_ptr<save::Record> g_base;
std::unique_ptr<save::Record> g_scratch;
std::unique_ptr<Tiles<CLoadScreen>> g_loadTiles;
std::unique_ptr<Tiles<CSaveScreen>> g_saveTiles;

// A message, a choice of two that both lead back to it, and the jump back:
// the frames after a restore run the message window, the interpreter and
// the choice. Stored complemented, as script files are.
std::vector<std::uint8_t> StoryScript() {
    std::vector<std::uint8_t> s{0, 4, 0, 3, 'a', 'b', 'c'}; // message "abc"
    s.insert(s.end(), {28, 4, 0, 0});                       // clear_choices
    s.insert(s.end(), {29, 8, 3, 0, 0, 0, 0, 0, 'y', 'e', 's'});
    s.insert(s.end(), {29, 8, 2, 0, 0, 0, 0, 0, 'n', 'o'});
    s.insert(s.end(), {27, 4, 0, 0});             // choice point 0
    s.insert(s.end(), {13, 8, 0, 0, 0, 0, 0, 0}); // jump to the start
    return s;
}

void SlotPictures() {
    for (const auto& [slot, w, h] : kSlotPictures) {
        auto& dib = cdib[static_cast<std::size_t>(slot)];
        if (dib) continue;
        dib = std::make_unique<CDib>();
        dib->Create(platform::WindowHandle::Main, w, h, 24);
        dib->FillRect(0, 0, w, h, 0x80C08040u);
    }
}

void SetUpWorld() {
    char tmpl[] = "/tmp/norvane-fuzz-save-XXXXXX";
    const char* dir = ::mkdtemp(tmpl);
    if (!dir) std::abort();
    std::filesystem::create_directories(std::filesystem::path(dir) / "script");
    {
        std::ofstream script(std::filesystem::path(dir) / "script" / "fuzz.s", std::ios::binary);
        for (const std::uint8_t b : StoryScript())
            script.put(static_cast<char>(~b));
    }
    // Data lookups resolve under this folder from now on; the fuzzer's own
    // corpus paths are absolute or were opened already.
    std::filesystem::current_path(dir);
    g_pathTable = std::make_unique<CPathTable>();
    g_pathTable->InitPaths();
    ResetConfig();
    g_mouse = std::make_unique<CMouse>();
    g_keyboard = std::make_unique<CKeyboard>();
    g_backBuffer = std::make_unique<CDib>();
    g_backBuffer->Create(platform::WindowHandle::Main, 800, 600, 24);
    g_glyphFont = std::make_unique<CGlyphFont>(std::make_unique<BoxGlyphs>(), GlyphCache::Off);
    g_glyphFont->SetFont(14, 2);
    g_gameApp =
        std::make_unique<CGameApp>(platform::WindowHandle::Main, platform::WindowHandle::Main);
    g_scenario = std::make_unique<CScenario>(platform::WindowHandle::Main);
    g_loadTiles = std::make_unique<Tiles<CLoadScreen>>();
    g_saveTiles = std::make_unique<Tiles<CSaveScreen>>();

    g_base = std::make_unique<save::Record>();
    g_scratch = std::make_unique<save::Record>();
    save::Record& r = *g_base;
    std::fill(r.begin() + save::kLogText, r.begin() + save::kLogVoices + save::kLogTableBytes,
              0xFF);
    save::PutBytes(r, save::kScriptName, save::kNameField, std::string_view("fuzz.s"));
    save::PutU8(r, save::kReturnMode, kMessageMode);
}

// What a slot, and the box once it is chosen, show of record `r`.
template <class Screen> void DrawTile(Screen& screen, const save::Record& r, int slot, bool lit) {
    screen.Cache()[static_cast<std::size_t>(slot)] = r;
    screen.looks[static_cast<std::size_t>(slot)] = slots::SlotLook::Saved;
    screen.DrawSlot(g_backBuffer.get(), slot, lit);
    screen.BuildThumbnail(50, r);
    CDib box;
    box.Create(platform::WindowHandle::Main, 399, 184, 24);
    slots::DrawComment(&box, 25, 112, save::GetComment(r), 46, slots::SkipPairs::Mark);
    screen.DrawDate(g_backBuffer.get(), 336, 262, save::GetSaveDate(r), 254);
}

// A few frames of the game from the mode the load screen resumes in, while
// it stays in the story's own modes.
void PlayAfterRestore(std::uint8_t clicks) {
    const std::uint8_t saved = save::GetU8(SaveImage(), save::kReturnMode);
    g_gameApp->mode = saved == kMessageMode ? kMessageMode : 2;
    constexpr std::array<std::uint8_t, 6> kStoryModes{2, 3, 17, 23, 36, 55};
    for (int frame = 0; frame < 4; ++frame) {
        if (std::find(kStoryModes.begin(), kStoryModes.end(), g_gameApp->mode) == kStoryModes.end())
            break;
        g_mouse->click = (clicks >> frame) & 1;
        g_gameApp->RunFrame();
        platform::headless::AdvanceClock(20);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = (SetUpWorld(), true);
    (void)ready;
    if (size < 1) return 0;
    platform::headless::Reset();
    save::Record& r = *g_scratch;
    r = *g_base;
    constexpr std::size_t kState = save::kResumeOffset;
    constexpr std::size_t kStateBytes = save::kRecordSize - kState;
    const bool restore = (data[0] & 3) == 0;
    std::size_t i = 1;
    while (i + 5 <= size) {
        std::uint32_t offset = 0;
        std::memcpy(&offset, data + i, 4);
        const std::size_t at = offset & 0x80000000u ? (offset & 0x7FFFFFFFu) % save::kShotBytes
                                                    : kState + offset % kStateBytes;
        const std::size_t length = std::min<std::size_t>(data[i + 4], size - i - 5);
        const std::size_t fits = std::min(length, save::kRecordSize - at);
        std::memcpy(r.data() + at, data + i + 5, fits);
        i += 5 + length;
    }
    if (!save::ValidateRecord(r).ok()) return 0;

    SlotPictures();
    const int slot = data[0] >> 2 & 7;
    const bool lit = (data[0] & 0x40) != 0;
    if (data[0] & 0x80)
        DrawTile(*g_saveTiles, r, slot, lit);
    else
        DrawTile(*g_loadTiles, r, slot, lit);
    if (!restore) return 0;

    // As the load screen does before it restores.
    g_scenario->speakerName.reset();
    g_gameApp->seName.fill('\0');
    SaveImage() = r;
    g_scenario->RestoreSaveImage(platform::WindowHandle::Main);
    PlayAfterRestore(static_cast<std::uint8_t>(data[0] >> 2 & 0xF));
    return 0;
}
