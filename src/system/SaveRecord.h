// The save record: one fixed block of 2,121,492 bytes holding a screenshot and
// the whole story state, stored byte for byte as a slot file. No header, no
// version, no checksum: a file is valid only by its size and its contents,
// which is why every slot is validated in a scratch record before the game
// takes anything from it.
//
// The layout is fixed by the files players already have. It is written and
// read field by field through the little-endian codec below, never through
// a struct laid over the bytes, so the compiler's padding cannot move a field.
#pragma once

#include "app/SafeWrite.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class CDib;

namespace save {

inline constexpr std::size_t kRecordSize = 2'121'492;
using Record = std::array<std::uint8_t, kRecordSize>;
using RecordView = std::span<const std::uint8_t, kRecordSize>;
using RecordSpan = std::span<std::uint8_t, kRecordSize>;

inline constexpr int kShotWidth = 800;
inline constexpr int kShotHeight = 600;
inline constexpr std::size_t kNameField = 128;
inline constexpr std::size_t kTextBytes = 256;
inline constexpr int kSurfaceNames = 10;
inline constexpr int kSpriteSlots = 15;
inline constexpr int kVars = 128;
inline constexpr std::size_t kLogTableBytes = 256 * 256;
inline constexpr std::size_t kHistoryLimit = 250;

// Field offsets and sizes.
inline constexpr std::size_t kShot = 0;
inline constexpr std::size_t kShotBytes = 1'920'000;
inline constexpr std::size_t kResumeOffset = 1'920'000;     // u32
inline constexpr std::size_t kReturnMode = 1'920'004;       // u8
inline constexpr std::size_t kSurfaceNameTable = 1'920'005; // 10 x 128
inline constexpr std::size_t kCharNameTable = 1'921'285;    // 15 x 128
inline constexpr std::size_t kBgmName = 1'923'205;          // 128
inline constexpr std::size_t kScriptName = 1'923'333;       // 128
inline constexpr std::size_t kSeName = 1'923'461;           // 128
inline constexpr std::size_t kCharFaces = 1'923'589;        // 15 x u8
inline constexpr std::size_t kCharX = 1'923'604;            // 15 x u16
inline constexpr std::size_t kCharShown = 1'923'634;        // 15 x u16
inline constexpr std::size_t kFillColor = 1'923'664;        // u32
inline constexpr std::size_t kBlendColor = 1'923'668;       // u32
inline constexpr std::size_t kBlackOverlay = 1'923'672;     // u32
inline constexpr std::size_t kComment = 1'923'676;          // 256
inline constexpr std::size_t kMessageText = 1'923'932;      // 256
inline constexpr std::size_t kSpeakerName = 1'924'188;      // 128
inline constexpr std::size_t kVarTable = 1'924'316;         // 128 x i32
inline constexpr std::size_t kSpareFlag = 1'924'829;        // u8
inline constexpr std::size_t kSaveGroup = 1'924'830;        // i8
inline constexpr std::size_t kDayNumber = 1'924'831;        // i8
inline constexpr std::size_t kColorEffect = 1'924'832;      // u8
inline constexpr std::size_t kHistoryCount = 1'924'836;     // u32
inline constexpr std::size_t kShownChars = 1'924'840;       // i32: charIndex - 2
inline constexpr std::size_t kLineColumn = 1'924'844;       // u8
inline constexpr std::size_t kLetterbox = 1'924'845;        // u8
inline constexpr std::size_t kOp58Value = 1'924'846;        // u8
inline constexpr std::size_t kParticlesOn = 1'924'847;      // u8
inline constexpr std::size_t kMessageStyle = 1'924'848;     // u8
inline constexpr std::size_t kPenX = 1'924'850;             // i16
inline constexpr std::size_t kPenY = 1'924'852;             // i16
inline constexpr std::size_t kPageLines = 1'924'854;        // u8
inline constexpr std::size_t kLogText = 1'924'855;          // 65,536, complemented
inline constexpr std::size_t kLogNames = 1'990'391;         // 65,536, complemented
inline constexpr std::size_t kLogVoices = 2'055'927;        // 65,536, complemented
inline constexpr std::size_t kParticleRect = 2'121'464;     // 4 x i32
inline constexpr std::size_t kSaveDate = 2'121'480;         // 5 x u16

// Each field starts where the one before it ends, apart from the zero bytes
// the layout leaves between some of them.
static_assert(kResumeOffset == kShot + kShotBytes);
static_assert(kReturnMode == kResumeOffset + 4);
static_assert(kSurfaceNameTable == kReturnMode + 1);
static_assert(kCharNameTable == kSurfaceNameTable + kSurfaceNames * kNameField);
static_assert(kBgmName == kCharNameTable + kSpriteSlots * kNameField);
static_assert(kScriptName == kBgmName + kNameField);
static_assert(kSeName == kScriptName + kNameField);
static_assert(kCharFaces == kSeName + kNameField);
static_assert(kCharX == kCharFaces + kSpriteSlots);
static_assert(kCharShown == kCharX + 2 * kSpriteSlots);
static_assert(kFillColor == kCharShown + 2 * kSpriteSlots);
static_assert(kBlendColor == kFillColor + 4);
static_assert(kBlackOverlay == kBlendColor + 4);
static_assert(kComment == kBlackOverlay + 4);
static_assert(kMessageText == kComment + kTextBytes);
static_assert(kSpeakerName == kMessageText + kTextBytes);
static_assert(kVarTable == kSpeakerName + kNameField);
static_assert(kSpareFlag == kVarTable + 4 * kVars + 1); // one zero byte between
static_assert(kSaveGroup == kSpareFlag + 1);
static_assert(kDayNumber == kSaveGroup + 1);
static_assert(kColorEffect == kDayNumber + 1);
static_assert(kHistoryCount == kColorEffect + 1 + 3); // three zero bytes between
static_assert(kShownChars == kHistoryCount + 4);
static_assert(kLineColumn == kShownChars + 4);
static_assert(kLetterbox == kLineColumn + 1);
static_assert(kOp58Value == kLetterbox + 1);
static_assert(kParticlesOn == kOp58Value + 1);
static_assert(kMessageStyle == kParticlesOn + 1);
static_assert(kPenX == kMessageStyle + 1 + 1); // one zero byte between
static_assert(kPenY == kPenX + 2);
static_assert(kPageLines == kPenY + 2);
static_assert(kLogText == kPageLines + 1);
static_assert(kLogNames == kLogText + kLogTableBytes);
static_assert(kLogVoices == kLogNames + kLogTableBytes);
static_assert(kParticleRect == kLogVoices + kLogTableBytes + 1); // one zero byte between
static_assert(kSaveDate == kParticleRect + 16);
static_assert(kRecordSize == kSaveDate + 10 + 2); // two zero bytes at the end

// ------------------------------------------------------------------ codec

inline void PutU8(RecordSpan r, std::size_t at, std::uint8_t v) {
    r[at] = v;
}
inline void PutU16(RecordSpan r, std::size_t at, std::uint16_t v) {
    r[at] = static_cast<std::uint8_t>(v);
    r[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void PutU32(RecordSpan r, std::size_t at, std::uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i)
        r[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline std::uint8_t GetU8(RecordView r, std::size_t at) {
    return r[at];
}
inline std::uint16_t GetU16(RecordView r, std::size_t at) {
    return static_cast<std::uint16_t>(r[at] | r[at + 1] << 8);
}
inline std::uint32_t GetU32(RecordView r, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i)
        v |= static_cast<std::uint32_t>(r[at + i]) << (8 * i);
    return v;
}
inline std::int32_t GetI32(RecordView r, std::size_t at) {
    return static_cast<std::int32_t>(GetU32(r, at));
}
inline std::int16_t GetI16(RecordView r, std::size_t at) {
    return static_cast<std::int16_t>(GetU16(r, at));
}

// Copies `bytes` into the field at `at` of `size` bytes; the rest of the
// field is left as it is (capture clears the record first).
void PutBytes(RecordSpan r, std::size_t at, std::size_t size, std::span<const std::uint8_t> bytes);
void PutBytes(RecordSpan r, std::size_t at, std::size_t size, std::string_view bytes);
// The string in the field at `at` of `size` bytes: up to its first zero byte,
// never past the field's end.
std::string_view GetString(RecordView r, std::size_t at, std::size_t size);

// Offsets of the per-slot fields.
constexpr std::size_t SurfaceName(int i) {
    return kSurfaceNameTable + static_cast<std::size_t>(i) * kNameField;
}
constexpr std::size_t CharName(int i) {
    return kCharNameTable + static_cast<std::size_t>(i) * kNameField;
}
constexpr std::size_t Var(int i) {
    return kVarTable + 4 * static_cast<std::size_t>(i);
}

// ------------------------------------------------------------------ the fields the screens draw

struct SaveDate {
    std::uint16_t year = 0, month = 0, day = 0, hour = 0, minute = 0;
};
SaveDate GetSaveDate(RecordView r);
// The record's comment, never read past its field.
std::string_view GetComment(RecordView r);
// A comment that is empty or starts with a space is no comment: the slot
// then shows the text of the message instead.
bool IsNoComment(std::string_view comment);

// The 100 x 75 reduction of a screenshot: pixel (x, y) is, per colour byte,
// the sum of the 8 pixels of row 8y, columns 8x .. 8x + 7, shifted right by
// 3; the fourth byte is 0. Slots show its 96 x 72 part from (2, 1).
inline constexpr int kThumbWidth = 100;
inline constexpr int kThumbHeight = 75;
using Thumbnail = std::array<std::uint32_t, kThumbWidth * kThumbHeight>;
Thumbnail ReduceScreenshot(RecordView r);
// The same from a surface, which may be missing or smaller than 800 x 600:
// pixels it does not have count as black.
Thumbnail ReduceSurface(const CDib* surface);

// ------------------------------------------------------------------ validation

enum class RecordFault : std::uint8_t {
    None,
    UnterminatedString, // a name or text runs to the end of its field
    HistoryCount,       // outside 0..250
    PageLines,          // more lines on the page than the history holds
    ReturnMode,         // not a story mode a save can be made in
    MessageStyle,       // not 0, 1 or 2
    ScriptMissing,      // the named script cannot be opened
    ResumeOffset,       // not where a record of the named script starts
};

struct RecordCheck {
    RecordFault fault = RecordFault::None;
    std::string detail; // what and where, for the log
    bool ok() const { return fault == RecordFault::None; }
};

// The records of the script `name` in the script folder, decoded; nothing
// when it cannot be opened.
using ScriptBytes = std::vector<std::uint8_t>;
using ScriptLookup = std::function<std::optional<ScriptBytes>(std::string_view name)>;
std::optional<ScriptBytes> ScriptFileBytes(std::string_view name);

// Checks everything restore relies on; reads the record only.
RecordCheck ValidateRecord(RecordView r, const ScriptLookup& lookup = ScriptFileBytes);

// ------------------------------------------------------------------ slot files

// "save\savefile%02d%02d.sav": the group is the save group's remainder by 3
// (taking the sign of the group), the number is page x 10 + slot.
std::string SlotFileName(std::int8_t saveGroup, int page, int slot);

// Writes `record` over the slot file without ever losing the old one: on
// failure the old file is byte for byte as it was and the result says why.
WriteResult WriteSlot(const std::string& slotName, RecordView record, const WriteFault& fault = {});

enum class SlotRead : std::uint8_t {
    Ok,
    Missing,    // no file: an empty slot
    WrongSize,  // not exactly 2,121,492 bytes
    Unreadable, // the file would not read whole
    Damaged,    // read whole, but the contents fail validation
};

struct SlotReadResult {
    SlotRead status = SlotRead::Missing;
    RecordCheck check; // the fault, when Damaged
    bool ok() const { return status == SlotRead::Ok; }
};

// Reads the slot file into `scratch` and validates it; `scratch` holds a
// usable record only when the result is Ok. Nothing else changes.
SlotReadResult ReadSlot(const std::string& slotName, Record& scratch,
                        const ScriptLookup& lookup = ScriptFileBytes);

} // namespace save

// The one in-memory record that capture fills and restore reads.
extern std::unique_ptr<save::Record> g_saveImage;
// `g_saveImage`, made (zeroed) on first use.
save::Record& SaveImage();
