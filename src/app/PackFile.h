// Data files: a loose file or a member of a "PACKDAT." archive beside a folder
// on the way up, read whole and decoded into memory.
#pragma once

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
FileHandle FindArchiveMember(const std::string& name, ArchiveEntry& entry);

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

// Result codes of LoadEntry / Open.
enum PackResult : int {
    kPackEmptyName = -1,
    kPackOk = 0,
    kPackNotFound = 1,
    kPackBadSize = 2,
    kPackNoMemory = 3,
    kPackReadFailed = 4,
    kPackCloseFailed = 5,
};

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
