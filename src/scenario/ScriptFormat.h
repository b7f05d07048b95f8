// The layout of compiled script records: for every opcode its name in the
// assembler's text form, the length of its fixed part, where its string
// length byte stands, and its operands with the table each index must fit.
// The interpreter checks records against this before running them; the
// assembler and disassembler write and read records by it.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace script {

inline constexpr int kOpcodeCount = 89; // 0..88; 31 and 32 are not defined
inline constexpr std::uint32_t kMinRecordLength = 4;

enum class FieldType : std::uint8_t {
    U8,
    I8,
    U16,
    I16,
    U32,
    I32,
    Target, // u32 offset from the start of the script
    Argb,   // four bytes A, R, G, B (most significant first)
};

// The table an operand indexes; a record whose operand falls outside is
// refused before it runs.
enum class Check : std::uint8_t {
    None,
    Var,          // 0..127
    Surface,      // work surfaces 0..63
    Layer,        // sprite layers 0..9
    LayerOrNone,  // signed: below 0 means none, else 0..9
    CharSlot,     // character sprites 0..14
    SeChannel,    // script sound-effect channels 0..8
    VoiceChannel, // voice channels 0..19
    VoiceClass,   // voice volume bytes 0..17
    ChoicePoint,  // 0..99
    TextBlock,    // read flags 0..59,999
    Scene,        // scene-seen flags 0..27
    ScriptFlag,   // 0..19
    Mode,         // game modes 0..72
    SurfaceSide,  // width or height of a blank surface, 0..4096
};

enum class StringKind : std::uint8_t {
    None,
    Text,     // message or choice text
    FileName, // a data file name kept whole: must fit a 128-byte name field
    // A sound name its handler keeps as the file's title with ".ogg"...
    VoiceName,        // ...in the 256-byte voice name field
    LoopingSoundName, // ...in a 128-byte name field, when the record's loop byte is 1
    LoadedName,       // a data file that is only loaded: no field keeps its name
};

struct Field {
    std::string_view name;
    std::uint8_t offset = 0;
    FieldType type = FieldType::U8;
    Check check = Check::None;
};

struct OpcodeFormat {
    std::uint8_t opcode = 0;
    std::string_view name;
    std::uint8_t length = kMinRecordLength; // fixed part written by the assembler
    std::int8_t stringLengthAt = -1;        // byte holding L, -1 without a string
    StringKind stringKind = StringKind::None;
    std::array<Field, 16> fields{};
    std::uint8_t fieldCount = 0;

    std::span<const Field> Fields() const { return {fields.data(), fieldCount}; }
};

// Null for 31, 32 and anything above 88.
const OpcodeFormat* FindOpcode(std::uint8_t opcode);
const OpcodeFormat* FindOpcode(std::string_view name);

unsigned FieldWidth(FieldType type);
bool FieldIsSigned(FieldType type);
// Bytes of the record the opcode reads: opcode, length byte and every operand.
std::uint32_t OperandExtent(const OpcodeFormat& format);
// True when `value` (as the field reads it) lies inside the field's table.
bool CheckValue(Check check, std::int64_t value);
std::string_view CheckName(Check check);

// Where the record at `at` of the decoded `script` ends: its length byte,
// plus the string's length for an opcode with a string. Bytes past the end
// read as 0.
std::uint32_t RecordEnd(std::span<const std::uint8_t> script, std::uint32_t at);
// True when `offset` is where a record starts, walking the records from the
// start, or the script's end: the only places the interpreter can stand. A
// record shorter than the least length or running past the end stops the
// walk, and nothing behind it is a record start.
bool IsRecordBoundary(std::span<const std::uint8_t> script, std::uint32_t offset);

} // namespace script
