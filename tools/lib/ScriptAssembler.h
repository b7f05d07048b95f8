// A readable text form of compiled scripts, and the way back.
//
// One record per line: the opcode by name (or number: `31`, `op31`), then
// fields by name as `name=value`. Values are decimal or 0x hexadecimal; jump
// targets may name a label, defined on a line of its own as `label:`; the
// colours of `color_blend` and `color_fade` are written 0xAARRGGBB and stored
// as the bytes A, R, G, B. A string operand is `text="..."` (UTF-8, stored as
// GBK with a terminating zero inside its length) or `rawtext="..."` (stored
// exactly, no zero added); `\xHH` inserts a raw byte, `\"`, `\\`, `\n` and
// `\t` the usual characters. `#` starts a comment outside strings.
//
// For damaged records: `len=N` writes N as the record length, `strlen=N` as
// the string length, `byteN=V` sets byte N of the fixed part, and a line
// `bytes 01 ff ...` writes raw bytes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace nvasm {

struct AssembleResult {
    std::vector<std::uint8_t> bytes;  // decoded records (not complemented)
    std::string error;                // empty on success
    int line = 0;                     // line of the error, 1-based
    bool ok() const { return error.empty(); }
};

AssembleResult Assemble(std::string_view text);

// Decoded record bytes back to text. Whatever cannot be read as records (a
// record cut short, a length below 4) is written as a `bytes` line, so every
// input assembles back to the same bytes.
std::string Disassemble(std::span<const std::uint8_t> bytes);

// Script files store every byte complemented.
std::vector<std::uint8_t> Complement(std::span<const std::uint8_t> bytes);

// Assembles `text` and writes the complemented script to `path`; false with
// `error` set when the text does not assemble or the file cannot be written.
bool WriteScriptFile(const std::filesystem::path& path, std::string_view text, std::string& error);

}  // namespace nvasm
