// Replacing a file the player cannot afford to lose (a save slot, the
// settings) so that no failure ever leaves it half written: the new bytes go
// to a temporary file beside it, their count is checked, they are flushed to
// the disk, and only then is the temporary file renamed over the old one.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

// The steps of a replacement, in their order.
enum class WriteStep : std::uint8_t { Open, Write, Flush, Rename };

// Which step failed; the old file is untouched whenever the result is not Ok.
enum class WriteResult : std::uint8_t { Ok, OpenFailed, WriteFailed, FlushFailed, RenameFailed };

// Tests make a step fail as the system would: the fault is asked before each
// step and answers true to fail it. A failed write stores half the bytes, so
// the count check is what catches it.
using WriteFault = std::function<bool(WriteStep)>;

// Replaces `nativePath` with `bytes`. The temporary file is removed again
// after any failure.
WriteResult ReplaceFileSafely(const std::string& nativePath, std::span<const std::uint8_t> bytes,
                              const WriteFault& fault = {});

// "open", "write", ... for messages and logs.
const char* WriteResultName(WriteResult result);
