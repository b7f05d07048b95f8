#include "data/PackFile.h"

#include "data/ArchiveDecoders.h"
#include "data/DataPath.h"
#include "platform/Platform.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace {

constexpr char kMagic[8] = {'P', 'A', 'C', 'K', 'D', 'A', 'T', '.'};
constexpr std::uint32_t kBadSize = 0xFFFFFFFF;

// Unreadable: the entry cannot be read here, but an archive higher up may
// hold the same name, so the lookup goes on.
enum class Lookup : std::uint8_t { Found, NotFound, BadSize, Corrupt, Unreadable };

std::uint32_t ReadLittleEndian32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

bool ReadExactly(std::FILE* f, void* dst, size_t n) {
    return std::fread(dst, 1, n, f) == n;
}

// Opens the regular file a key names (every component matched without
// regard to case) and measures it.
FileHandle OpenKey(const std::string& key, std::uint64_t& size) {
    const std::optional<std::string> path = platform::ResolveExisting(key);
    if (!path) return nullptr;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(*path, ec)) return nullptr;
    FileHandle f(std::fopen(path->c_str(), "rb"));
    if (!f) return nullptr;
    if (std::fseek(f.get(), 0, SEEK_END) != 0) return nullptr;
    const long end = std::ftell(f.get());
    if (end < 0 || std::fseek(f.get(), 0, SEEK_SET) != 0) return nullptr;
    size = static_cast<std::uint64_t>(end);
    return f;
}

// Checks a matching entry against the archive it came from.
Lookup CheckEntry(const ArchiveEntry& e, std::uint64_t fileSize) {
    if (e.allocSize == kBadSize) return Lookup::BadSize;
    if (e.storedSize > e.allocSize) return Lookup::Corrupt;
    if (e.offset > fileSize || e.storedSize > fileSize - e.offset) return Lookup::Corrupt;
    // An entry without flags is its allocation size long, which the archive
    // must hold; this also keeps a damaged size from reserving gigabytes.
    if ((e.flags & kPackFlagMask) == 0 && e.allocSize > fileSize) return Lookup::Unreadable;
    return Lookup::Found;
}

// Searches the archive `archiveKey` for `member`. NotFound means "go on one
// level higher": the file is missing, not an archive, or has no such entry.
Lookup SearchArchive(const std::string& archiveKey, const std::string& member, ArchiveEntry& entry,
                     FileHandle& out, std::uint64_t& fileSize) {
    FileHandle f = OpenKey(archiveKey, fileSize);
    if (!f) return Lookup::NotFound;
    std::uint8_t header[16];
    if (!ReadExactly(f.get(), header, sizeof header)) return Lookup::NotFound;
    if (std::memcmp(header, kMagic, sizeof kMagic) != 0) return Lookup::NotFound;
    const std::int32_t count = static_cast<std::int32_t>(ReadLittleEndian32(header + 12));
    if (count <= 0) return Lookup::NotFound;
    for (std::int32_t k = 0; k < count; ++k) {
        std::uint8_t raw[48];
        // A table cut short by the end of the file ends the search here.
        if (!ReadExactly(f.get(), raw, sizeof raw)) return Lookup::NotFound;
        const size_t nameLength = strnlen(reinterpret_cast<const char*>(raw), 32);
        std::string name(reinterpret_cast<const char*>(raw), nameLength);
        StrToLowerSjis(name);
        if (name != member) continue;
        ArchiveEntry e;
        std::memcpy(e.name, raw, sizeof e.name);
        e.offset = ReadLittleEndian32(raw + 32);
        e.flags = ReadLittleEndian32(raw + 36);
        e.allocSize = ReadLittleEndian32(raw + 40);
        e.storedSize = ReadLittleEndian32(raw + 44);
        entry = e;
        const Lookup check = CheckEntry(e, fileSize);
        if (check == Lookup::Unreadable) return Lookup::NotFound;
        if (check != Lookup::Found) return check;
        if (std::fseek(f.get(), static_cast<long>(e.offset), SEEK_SET) != 0)
            return Lookup::NotFound;
        out = std::move(f);
        return Lookup::Found;
    }
    return Lookup::NotFound;
}

Lookup LocateMember(const std::string& name, ArchiveEntry& entry, FileHandle& out,
                    std::uint64_t& fileSize) {
    if (name.empty()) return Lookup::NotFound;
    const std::string key = MakeFullPath(name);

    if (FileHandle loose = OpenKey(key, fileSize)) {
        entry = ArchiveEntry{};
        const std::uint32_t size32 =
            fileSize >= kBadSize ? kBadSize : static_cast<std::uint32_t>(fileSize);
        entry.allocSize = entry.storedSize = size32;
        if (size32 == kBadSize) return Lookup::BadSize;
        out = std::move(loose);
        return Lookup::Found;
    }

    // Archives beside every folder from the file's own up to, but not
    // including, the root: c:\game\bmp.dat holds a.bmp, c:\game.dat holds
    // bmp\a.bmp. On this system a key looks like \home\me\game\bmp\a.bmp.
    std::string dir = key;
    for (;;) {
        StripLastPathPart(dir);
        std::string above = dir;
        StripLastPathPart(above);
        if (above == dir) return Lookup::NotFound;
        if (dir.size() > key.size() || key.compare(0, dir.size(), dir) != 0)
            return Lookup::NotFound;
        if (dir.empty() || (dir.back() != '\\' && dir.back() != '/')) return Lookup::NotFound;
        const std::string member = key.substr(dir.size());
        const std::string archiveKey = dir.substr(0, dir.size() - 1) + ".dat";
        const Lookup result = SearchArchive(archiveKey, member, entry, out, fileSize);
        if (result != Lookup::NotFound) return result;
    }
}

} // namespace

FileHandle FindArchiveMember(const std::string& name, ArchiveEntry& entry) {
    FileHandle f;
    std::uint64_t fileSize = 0;
    if (LocateMember(name, entry, f, fileSize) != Lookup::Found) return nullptr;
    return f;
}

int ReadArchiveMember(std::FILE* archive, std::uint64_t archiveSize, const ArchiveEntry& entry,
                      DataBlock& out) {
    switch (CheckEntry(entry, archiveSize)) {
    case Lookup::BadSize:
        return kPackBadSize;
    case Lookup::Corrupt:
    case Lookup::Unreadable:
        return kPackCorrupt;
    default:
        break;
    }
    const std::uint32_t flags = entry.flags & kPackFlagMask;
    if (std::fseek(archive, static_cast<long>(entry.offset), SEEK_SET) != 0) return kPackReadFailed;
    // A coded member needs only its stored bytes; the decoders make their
    // own blocks. A plain one is its allocation size long.
    DataBlock block;
    if (!block.Allocate(flags ? entry.storedSize : entry.allocSize)) return kPackNoMemory;
    if (!ReadExactly(archive, block.data(), entry.storedSize)) return kPackReadFailed;
    if (flags) {
        switch (DecodeMember(flags, block)) {
        case DecodeStatus::Ok:
            break;
        case DecodeStatus::NoMemory:
            return kPackNoMemory;
        case DecodeStatus::Corrupt:
            return kPackCorrupt;
        }
    }
    out = std::move(block);
    return kPackOk;
}

std::string CPackFile::GetFileName() const {
    return PathFileName(name_);
}

std::string CPackFile::GetExtension() const {
    return PathExtension(name_);
}

void CPackFile::Close() {
    buffer_.reset();
    size_ = 0;
    position_ = 0;
    name_.clear();
}

int CPackFile::Read(void* dst, std::uint32_t n, std::uint32_t* got) {
    if (!dst) return 0;
    const std::uint32_t count = std::min(n, size_ - position_);
    if (count) std::memcpy(dst, buffer_.get() + position_, count);
    position_ += count;
    if (got) *got = count;
    return 1;
}

std::uint32_t CPackFile::Seek(std::int32_t off, int whence) {
    // Moving back by -off happens only when the position is greater than -off.
    const auto moveBack = [this](std::int32_t off) {
        const std::uint32_t back = static_cast<std::uint32_t>(-static_cast<std::int64_t>(off));
        if (position_ > back) position_ -= back;
    };
    switch (whence) {
    case 0:
        if (off > 0) position_ = std::min(static_cast<std::uint32_t>(off), size_);
        break;
    case 1:
        if (off >= 0)
            position_ = static_cast<std::uint32_t>(
                std::min<std::uint64_t>(std::uint64_t(position_) + std::uint32_t(off), size_));
        else
            moveBack(off);
        break;
    case 2:
        if (off < 0) moveBack(off);
        break;
    default:
        break;
    }
    return position_;
}

int CPackFile::LoadEntry(const std::string& name) {
    if (name.empty()) return kPackEmptyName;
    Close();
    name_ = name;
    const auto fail = [this](int code) {
        Close();
        return code;
    };

    ArchiveEntry entry;
    FileHandle f;
    std::uint64_t fileSize = 0;
    switch (LocateMember(name, entry, f, fileSize)) {
    case Lookup::Found:
        break;
    case Lookup::NotFound:
    case Lookup::Unreadable: // never left by the lookup: it goes on instead
        return fail(kPackNotFound);
    case Lookup::BadSize:
        return fail(kPackBadSize);
    case Lookup::Corrupt:
        return fail(kPackCorrupt);
    }
    DataBlock block;
    if (const int code = ReadArchiveMember(f.get(), fileSize, entry, block); code != kPackOk)
        return fail(code);
    if (std::fclose(f.release()) != 0) return fail(kPackCloseFailed);
    size_ = block.size();
    buffer_ = block.Release();
    position_ = 0;
    return kPackOk;
}
