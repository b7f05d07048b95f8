// Loose files only for now; archives and their decoders come with the
// archive reader.
#include "app/PackFile.h"

#include "platform/Platform.h"

#include <algorithm>
#include <cstring>

FileHandle FindArchiveMember(const std::string& name, ArchiveEntry& entry) {
    if (name.empty()) return nullptr;
    std::optional<std::string> path = platform::ResolveExisting(name);
    if (!path) return nullptr;
    FileHandle f(std::fopen(path->c_str(), "rb"));
    if (!f) return nullptr;
    std::fseek(f.get(), 0, SEEK_END);
    const long size = std::ftell(f.get());
    std::fseek(f.get(), 0, SEEK_SET);
    entry = ArchiveEntry{};
    entry.allocSize = entry.storedSize = static_cast<std::uint32_t>(size);
    return f;
}

std::string CPackFile::GetFileName() const {
    const size_t p = name_.find_last_of("\\/");
    return p == std::string::npos ? name_ : name_.substr(p + 1);
}

std::string CPackFile::GetExtension() const {
    const std::string file = GetFileName();
    const size_t p = file.rfind('.');
    return p == std::string::npos ? std::string() : file.substr(p + 1);
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
    switch (whence) {
    case 0:
        if (off > 0) position_ = std::min<std::uint32_t>(static_cast<std::uint32_t>(off), size_);
        break;
    case 1:
        if (off >= 0) position_ = static_cast<std::uint32_t>(std::min<std::uint64_t>(std::uint64_t(position_) + off, size_));
        else if (position_ > static_cast<std::uint32_t>(-static_cast<std::int64_t>(off))) position_ -= static_cast<std::uint32_t>(-static_cast<std::int64_t>(off));
        break;
    case 2:
        if (off < 0 && position_ > static_cast<std::uint32_t>(-static_cast<std::int64_t>(off))) position_ -= static_cast<std::uint32_t>(-static_cast<std::int64_t>(off));
        break;
    default: break;
    }
    return position_;
}

int CPackFile::LoadEntry(const std::string& name) {
    if (name.empty()) return kPackEmptyName;
    Close();
    name_ = name;
    ArchiveEntry entry;
    FileHandle f = FindArchiveMember(name, entry);
    if (!f) {
        Close();
        return kPackNotFound;
    }
    buffer_ = std::make_unique<std::uint8_t[]>(static_cast<size_t>(entry.allocSize) + 1);
    if (std::fread(buffer_.get(), 1, entry.storedSize, f.get()) != entry.storedSize) {
        Close();
        return kPackReadFailed;
    }
    buffer_[entry.allocSize] = 0;
    size_ = entry.allocSize;
    position_ = 0;
    return kPackOk;
}
