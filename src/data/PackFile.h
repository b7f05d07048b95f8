// Data files: a loose file or a member of a "PACKDAT." archive beside a folder
// on the way up, read whole and decoded into memory.
#pragma once

#include "data/ArchiveDecoders.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

// One 48-byte archive entry as stored; a loose file counts as offset 0, flags
// 0 and both sizes equal to the file size.
struct ArchiveEntry {
    char name[32] = {};
    std::uint32_t offset = 0;
    std::uint32_t flags = 0;
    std::uint32_t allocSize = 0;
    std::uint32_t storedSize = 0;
};

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f) std::fclose(f);
    }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// An open file positioned at the member's first stored byte, with its entry;
// null when the name is found neither loose nor in any archive on the way up.
// The first hit wins: a loose file beats any archive, a nearer archive beats
// a higher one. When the hit is damaged (its stored bytes not inside the
// archive, stored size above allocation size, allocation size 0xFFFFFFFF)
// the result is null as well; an unflagged hit whose allocation size is
// larger than its archive is passed over and the lookup goes on higher up, so a caller may read up
// to entry.storedSize bytes from the handle and never passes the end of the file. The flags are the
// caller's to check: a member streamed in place must have none.
FileHandle FindArchiveMember(const std::string& name, ArchiveEntry& entry);

// Reads the member `entry` describes from an archive file of `archiveSize`
// bytes (a loose file counts as an archive holding one plain member at 0)
// and undoes its stages into `out`. Returns a PackResult code; on failure
// `out` is left as it was. The entry's bounds are checked again here, so
// any entry read from any file may be passed.
int ReadArchiveMember(std::FILE* archive, std::uint64_t archiveSize, const ArchiveEntry& entry,
                      DataBlock& out);

class CDataFile {
public:
    virtual ~CDataFile() = default;
    virtual int Open(const std::string& name) = 0;
    virtual std::string GetFullName() const = 0;
    virtual std::string GetFileName() const = 0;
    virtual std::string GetExtension() const = 0;
    virtual const std::uint8_t* GetBuffer() const = 0;
    virtual std::uint32_t GetSize() const = 0;
    virtual void Close() = 0;
    virtual int Read(void* dst, std::uint32_t n, std::uint32_t* got) = 0;
    virtual std::uint32_t Seek(std::int32_t off, int whence) = 0;
};

// Result codes of LoadEntry / Open. After any failure the object is closed:
// no buffer, size and position 0, name empty.
enum PackResult : int {
    kPackEmptyName = -1,
    kPackOk = 0,
    kPackNotFound = 1,
    kPackBadSize = 2,
    kPackNoMemory = 3,
    kPackReadFailed = 4,
    kPackCloseFailed = 5,
    // A damaged member: its bytes lie outside the archive, its stored size is
    // above its allocation size, or a decoder met a stream it cannot undo.
    kPackCorrupt = 6,
};

// A whole data file in memory. The buffer is owned by the object and is
// always followed by one zero byte that GetSize() does not count.
class CPackFile final : public CDataFile {
public:
    CPackFile() = default;
    ~CPackFile() override = default;

    int Open(const std::string& name) override { return LoadEntry(name); }
    std::string GetFullName() const override { return name_; }
    std::string GetFileName() const override;
    std::string GetExtension() const override;
    const std::uint8_t* GetBuffer() const override { return buffer_.get(); }
    std::uint32_t GetSize() const override { return size_; }
    void Close() override;
    int Read(void* dst, std::uint32_t n, std::uint32_t* got) override;
    std::uint32_t Seek(std::int32_t off, int whence) override;

    int LoadEntry(const std::string& name);

private:
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::uint32_t size_ = 0;
    std::uint32_t position_ = 0;
    std::string name_;
};
