// What the save screen (mode 10) and the load screen (mode 11) share: one
// layout of ten slots on six pages, one state machine, the page cache, the
// slot tiles (frame, number, date, save-group label, comment, thumbnail),
// hover and arrow keys, page changes, the confirm box sliding in and out and
// the cursor glide. Each screen adds what happens when a slot is chosen and
// when the box closes with yes.
//
// Slot files are read through save::ReadSlot: a file of the wrong size or
// whose contents fail the record's checks is shown as damaged and never
// reaches the page cache, so nothing drawn or loaded comes from it.
//
// Surfaces (cdib slots, filled by Open, freed by the leaving states): 20 the
// page being built, 21 the base picture, 22 "system\save_p.bmp", 23 the
// screen at entry (and the picture the closing fade starts from), 24 the
// empty page, 25 the confirm box, 26 the page as shown when a slot was
// chosen, 27 the dimmed page, 28 the box with its comment, 29 a copy of the
// dimmed page, 30 the save-group labels, 31 the page digits, 32 the slot
// numbers, 33 the date digits, 34 the box's comment background (save), 35
// and 36 the old and new page of a page change, 37 "system\save_p03.bmp",
// 38 "system\s_sam.bmp", 50 the box thumbnail, 51 a slot thumbnail.
#pragma once

#include "platform/Platform.h"
#include "screenkit/Steps.h"
#include "system/SaveRecord.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class CDib;

namespace slots {

inline constexpr int kSlots = 10;
inline constexpr int kPages = 6;
inline constexpr int kControls = 7; // six page buttons, then back
inline constexpr int kBackControl = 7;

using PageCache = std::array<save::Record, kSlots>;

// What a slot's file held when it was last read.
enum class SlotLook : std::uint8_t { Empty, Saved, Damaged };

// Which pairs a comment walk steps over with the two bytes after them: the
// A1 E7 mark always, the icon mark 81 E8 on the slots and after an entry.
enum class SkipPairs : std::uint8_t { Mark, MarkAndIcon };

// Draws `text` with the glyph font from (x, y), stopping after the character
// that starts at byte `limit` or later, and at the text's end: a lead byte
// whose trail byte is missing ends the walk instead of reading past it.
void DrawComment(CDib* target, int x, int y, std::string_view text, std::size_t limit,
                 SkipPairs skip);

// The 38 picture names whose thumbnail is a tile of "system\s_sam.bmp":
// the tile's index, or -1.
int SampleTile(std::string_view pictureName);

} // namespace slots

class CSlotScreen {
public:
    enum class Kind : std::uint8_t { Save, Load };

    // The state handlers both screens run (the screens' tables name them).
    void Open(platform::WindowHandle window);
    void FadeIn(platform::WindowHandle window);
    void PageInput(platform::WindowHandle window);
    void FadeOut(platform::WindowHandle window);
    void Leave(platform::WindowHandle window);
    void DimPage(platform::WindowHandle window);
    void BoxSlideIn(platform::WindowHandle window);
    void BoxInput(platform::WindowHandle window);
    void BackToPage(platform::WindowHandle window);
    void BoxClose(platform::WindowHandle window);
    void PageChange(platform::WindowHandle window);
    void GlideToYes(platform::WindowHandle window);

    // State 0..14 (the screens' own lists); the hovered slot 1..10 and page
    // control 1..7 (0 none); in the box the choice 1 yes, 2 no, 3 the
    // comment line (0 none); the page 0..5.
    std::uint8_t state = 0;
    std::uint8_t hoverSlot = 0;
    std::uint8_t prevHoverSlot = 0;
    std::uint8_t hoverControl = 0;
    std::uint8_t prevHoverControl = 0;
    std::uint8_t choice = 0;
    std::uint8_t prevChoice = 0;
    std::uint8_t page = 0;
    std::uint32_t startTime = 0;
    std::uint32_t elapsed = 0;
    std::array<platform::Rect, slots::kSlots> slotRects{};
    std::array<platform::Rect, slots::kControls> controlRects{};
    std::array<platform::Rect, 2> yesNoRects{};
    platform::Rect commentRect{};        // the box's comment line (save screen)
    std::array<std::int16_t, 4> glide{}; // start x, y, target x, y
    std::uint8_t reread = 0;             // a hovered slot's file was read again
    std::uint8_t chosen = 0;             // the slot chosen, 0..9
    std::uint8_t answer = 0;             // the box closed with 1 yes, 2 no
    std::array<slots::SlotLook, slots::kSlots> looks{};

    slots::PageCache& Cache() { return *cache_; }

protected:
    // `pageSetting` is the settings byte the page comes from and goes back
    // to; a value out of 0..5 opens page 0.
    CSlotScreen(Kind kind, std::unique_ptr<slots::PageCache>& cache, std::size_t pageSetting);
    virtual ~CSlotScreen() = default;

    screenkit::StepClock Clock() { return {startTime, elapsed}; }
    void Next(std::uint8_t s);

    // The screen's own steps.
    virtual void Opened() {}
    // A click on slot `i`: false when the screen ignores it.
    virtual bool SlotChosen(int i) = 0;
    // The box comment and the date shown in the box.
    virtual std::string_view BoxComment() = 0;
    virtual save::SaveDate BoxDate() = 0;
    // A click on the box's comment line (save screen).
    virtual void CommentClicked() {}
    // After the box closed: the next state.
    virtual std::uint8_t Closed(platform::WindowHandle window, bool yes) = 0;

    // Reads slot `i` of the current page into the cache (or clears its
    // entry) and notes its look.
    save::SlotReadResult ReadSlotFile(int i);
    // The slot's tile onto `target`: frame, number and, for a saved slot,
    // date, group label, comment and thumbnail; `lit` lights its frame.
    void DrawSlot(CDib* target, int i, bool lit);
    // 100 x 75 thumbnail of a record into cdib[slot].
    void BuildThumbnail(int slot, save::RecordView record);
    // The same for the game being saved: its picture 1 or the snapshot.
    void BuildLiveThumbnail(int slot);
    // The sample tile of `pictureName`, or else `reduce(from)`.
    void PutThumbnail(int slot, std::string_view pictureName,
                      const std::function<save::Thumbnail()>& reduce);
    void DrawDate(CDib* target, int x, int y, const save::SaveDate& date, int opacity);
    void DrawPageMark(CDib* target);
    // Surface 20 from the empty page: slots, page number and mark.
    void BuildPage();
    std::string SlotName(int i) const;
    void GlideThen(std::uint8_t next);
    // The arrow keys move the slot cursor and the pointer with it.
    void MoveByKeys(platform::WindowHandle window);
    // Slot `i`'s thumbnail frame lit or plain on the back buffer, its file
    // read again and its thumbnail redrawn.
    void LightSlot(int i, bool lit);
    // Back button or right click: the closing fade starts from the screen.
    void BeginLeaving();
    void DrawBox(CDib* target, int dy, int opacity);
    // The chosen slot drawn anew from the cache on the page and on the
    // page as shown when it was chosen.
    void RedrawChosenSlot();

    Kind kind_;
    std::unique_ptr<slots::PageCache>& cache_;
    std::size_t pageSetting_;
    std::unique_ptr<save::Record> scratch_;
    std::uint8_t afterGlide_ = 0;
};
