#include "system/SaveRecord.h"

#include "data/Log.h"
#include "data/PackFile.h"
#include "data/PathTable.h"
#include "gfx/Dib.h"
#include "platform/Platform.h"
#include "scenario/Scenario.h"
#include "scenario/ScriptFormat.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

std::unique_ptr<save::Record> g_saveImage;

save::Record& SaveImage() {
    if (!g_saveImage) g_saveImage = std::make_unique<save::Record>();
    return *g_saveImage;
}

namespace save {

namespace {

std::uint32_t Channel(std::uint32_t pixel, int shift) {
    return (pixel >> shift) & 0xFFu;
}

// Sums 8 pixels per colour byte; `pixel(i)` gives pixel i of the run.
template <class PixelAt> std::uint32_t ReduceRun(PixelAt pixel) {
    std::uint32_t b = 0, g = 0, r = 0;
    for (int i = 0; i < 8; ++i) {
        const std::uint32_t p = pixel(i);
        b += Channel(p, 0);
        g += Channel(p, 8);
        r += Channel(p, 16);
    }
    return (b >> 3) | (g >> 3) << 8 | (r >> 3) << 16;
}

bool Terminated(RecordView r, std::size_t at, std::size_t size) {
    return std::memchr(r.data() + at, 0, size) != nullptr;
}

// Native path of a slot file under the current directory.
std::optional<std::string> SlotPath(const std::string& slotName, bool forWrite) {
    const std::string windowsPath = platform::CurrentDirectory() + "\\" + slotName;
    return forWrite ? platform::ResolveForWrite(windowsPath)
                    : platform::ResolveExisting(windowsPath);
}

} // namespace

void PutBytes(RecordSpan r, std::size_t at, std::size_t size, std::span<const std::uint8_t> bytes) {
    std::copy_n(bytes.begin(), std::min(size, bytes.size()),
                r.begin() + static_cast<std::ptrdiff_t>(at));
}

void PutBytes(RecordSpan r, std::size_t at, std::size_t size, std::string_view bytes) {
    PutBytes(r, at, size, {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
}

std::string_view GetString(RecordView r, std::size_t at, std::size_t size) {
    const char* p = reinterpret_cast<const char*>(r.data() + at);
    return {p, strnlen(p, size)};
}

SaveDate GetSaveDate(RecordView r) {
    return {GetU16(r, kSaveDate), GetU16(r, kSaveDate + 2), GetU16(r, kSaveDate + 4),
            GetU16(r, kSaveDate + 6), GetU16(r, kSaveDate + 8)};
}

std::string_view GetComment(RecordView r) {
    return GetString(r, kComment, kTextBytes);
}

bool IsNoComment(std::string_view comment) {
    return comment.empty() || comment.front() == ' ';
}

Thumbnail ReduceScreenshot(RecordView r) {
    Thumbnail out{};
    for (int y = 0; y < kThumbHeight; ++y) {
        const std::size_t row = kShot + static_cast<std::size_t>(8 * y) * kShotWidth * 4;
        for (int x = 0; x < kThumbWidth; ++x)
            out[static_cast<std::size_t>(y * kThumbWidth + x)] = ReduceRun(
                [&](int i) { return GetU32(r, row + static_cast<std::size_t>(8 * x + i) * 4); });
    }
    return out;
}

Thumbnail ReduceSurface(const CDib* surface) {
    Thumbnail out{};
    if (!surface || !surface->GetBits()) return out;
    const int w = surface->GetWidth();
    const int h = surface->GetHeight();
    for (int y = 0; y < kThumbHeight && 8 * y < h; ++y) {
        const std::uint32_t* row = surface->GetPixelPtr(0, 8 * y);
        for (int x = 0; x < kThumbWidth; ++x)
            out[static_cast<std::size_t>(y * kThumbWidth + x)] =
                ReduceRun([&](int i) { return 8 * x + i < w ? row[8 * x + i] : 0u; });
    }
    return out;
}

std::optional<ScriptBytes> ScriptFileBytes(std::string_view name) {
    if (name.empty()) return std::nullopt;
    std::string path =
        g_pathTable ? g_pathTable->GetPath(kDataScript) : CPathTable().GetPath(kDataScript);
    path.append(name);
    CPackFile file;
    if (file.Open(path) != kPackOk) return std::nullopt;
    // Script files are stored complemented.
    ScriptBytes bytes(file.GetBuffer(), file.GetBuffer() + file.GetSize());
    file.Close();
    for (std::uint8_t& b : bytes)
        b = static_cast<std::uint8_t>(~b);
    return bytes;
}

RecordCheck ValidateRecord(RecordView r, const ScriptLookup& lookup) {
    auto fail = [](RecordFault f, std::string detail) { return RecordCheck{f, std::move(detail)}; };
    struct StringField {
        std::size_t at;
        std::size_t size;
        const char* name;
    };
    std::vector<StringField> strings = {
        {kBgmName, kNameField, "music name"},       {kScriptName, kNameField, "script name"},
        {kSeName, kNameField, "sound name"},        {kComment, kTextBytes, "comment"},
        {kMessageText, kTextBytes, "message text"}, {kSpeakerName, kNameField, "speaker name"},
    };
    for (int i = 0; i < kSurfaceNames; ++i)
        strings.push_back({SurfaceName(i), kNameField, "picture name"});
    for (int i = 0; i < kSpriteSlots; ++i)
        strings.push_back({CharName(i), kNameField, "character name"});
    for (const StringField& s : strings)
        if (!Terminated(r, s.at, s.size))
            return fail(RecordFault::UnterminatedString, std::string("the ") + s.name +
                                                             " at offset " + std::to_string(s.at) +
                                                             " has no end");

    const std::uint32_t count = GetU32(r, kHistoryCount);
    if (count > kHistoryLimit)
        return fail(RecordFault::HistoryCount,
                    "the history count " + std::to_string(count) + " is above 250");
    // History entries are read as strings: the ones in use must end inside
    // their 256 bytes (stored complemented, so a zero is stored as 0xFF).
    for (const std::size_t table : {kLogText, kLogNames, kLogVoices})
        for (std::uint32_t e = 0; e < count; ++e)
            if (!std::memchr(r.data() + table + e * 256u, 0xFF, 256))
                return fail(RecordFault::UnterminatedString,
                            "history entry " + std::to_string(e) + " at offset " +
                                std::to_string(table) + " has no end");

    const std::uint8_t returnMode = GetU8(r, kReturnMode);
    if (std::find(kSaveReturnModes.begin(), kSaveReturnModes.end(), returnMode) ==
        kSaveReturnModes.end())
        return fail(RecordFault::ReturnMode, "the return mode " + std::to_string(returnMode) +
                                                 " is no mode a save is made in");
    const std::uint8_t style = GetU8(r, kMessageStyle);
    if (style > 2)
        return fail(RecordFault::MessageStyle,
                    "the message style " + std::to_string(style) + " is unknown");
    // The full page redraws its last lines from the history; in the bottom
    // window the count is of lines in the window and the history is not read.
    const std::uint8_t lines = GetU8(r, kPageLines);
    if ((style == 1 || returnMode == 55) && lines > count)
        return fail(RecordFault::PageLines, std::to_string(lines) + " lines on the page but " +
                                                std::to_string(count) + " in the history");

    const std::string_view name = GetString(r, kScriptName, kNameField);
    const std::optional<ScriptBytes> bytes = lookup ? lookup(name) : std::nullopt;
    if (!bytes)
        return fail(RecordFault::ScriptMissing,
                    "the script \"" + std::string(name) + "\" cannot be opened");
    // The story goes on from the resume offset: anywhere but the start of a
    // record it would run the middle of one as an instruction.
    const std::uint32_t resume = GetU32(r, kResumeOffset);
    if (!script::IsRecordBoundary(*bytes, resume))
        return fail(RecordFault::ResumeOffset, "the resume offset " + std::to_string(resume) +
                                                   " is no record start of the script of " +
                                                   std::to_string(bytes->size()) + " bytes");
    return {};
}

std::string SlotFileName(std::int8_t saveGroup, int page, int slot) {
    char name[48];
    std::snprintf(name, sizeof name, "save\\savefile%02d%02d.sav", saveGroup % 3, page * 10 + slot);
    return name;
}

WriteResult WriteSlot(const std::string& slotName, RecordView record, const WriteFault& fault) {
    platform::MakeDirectory(platform::CurrentDirectory() + "\\save");
    const std::optional<std::string> path = SlotPath(slotName, true);
    if (!path) {
        LogMessage("cannot save %s: no save folder", slotName.c_str());
        return WriteResult::OpenFailed;
    }
    const WriteResult result = ReplaceFileSafely(*path, record, fault);
    if (result != WriteResult::Ok)
        LogMessage("cannot save %s (%s failed); the old slot is kept", path->c_str(),
                   WriteResultName(result));
    return result;
}

SlotReadResult ReadSlot(const std::string& slotName, Record& scratch, const ScriptLookup& lookup) {
    const std::optional<std::string> path = SlotPath(slotName, false);
    if (!path) return {SlotRead::Missing, {}};
    // Anything but a plain file is no slot, and is not even opened: opening a
    // FIFO waits for a writer, a device may do anything. The open does not
    // wait either, for a file swapped for a FIFO in between.
    struct stat st {};
    if (::stat(path->c_str(), &st) != 0) return {SlotRead::Missing, {}};
    SlotReadResult result{SlotRead::Ok, {}};
    const int fd =
        S_ISREG(st.st_mode) ? ::open(path->c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK) : -1;
    if (fd < 0 && S_ISREG(st.st_mode)) return {SlotRead::Missing, {}};
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        result.status = SlotRead::Unreadable;
        result.check.detail = "it is no plain file";
    } else if (static_cast<std::uint64_t>(st.st_size) != kRecordSize) {
        result.status = SlotRead::WrongSize;
        result.check.detail = "the file holds " + std::to_string(st.st_size) + " bytes";
    } else {
        std::size_t done = 0;
        while (done < kRecordSize) {
            const ssize_t n = ::read(fd, scratch.data() + done, kRecordSize - done);
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        // A file that grew while it was read is no more whole than one that shrank.
        char extra = 0;
        if (done != kRecordSize || ::read(fd, &extra, 1) != 0) result.status = SlotRead::Unreadable;
    }
    if (fd >= 0) ::close(fd);
    if (result.ok()) {
        result.check = ValidateRecord(scratch, lookup);
        if (!result.check.ok()) result.status = SlotRead::Damaged;
    }
    if (!result.ok() && result.status != SlotRead::Missing)
        LogMessage("save slot %s refused: %s", path->c_str(),
                   result.check.detail.empty() ? "it cannot be read whole"
                                               : result.check.detail.c_str());
    return result;
}

} // namespace save
