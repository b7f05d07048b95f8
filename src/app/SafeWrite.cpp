#include "app/SafeWrite.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

bool Fails(const WriteFault& fault, WriteStep step) {
    return fault && fault(step);
}

// Writes all of `bytes`, as many calls as the system needs; the count written.
std::size_t WriteAll(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

// The rename itself must reach the disk too, or a power cut could bring
// back the old name after the player was told the save succeeded.
void FlushFolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : path.substr(0, slash);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

WriteResult ReplaceFileSafely(const std::string& nativePath, std::span<const std::uint8_t> bytes,
                              const WriteFault& fault) {
    const std::string temp = nativePath + ".tmp";
    const int fd = Fails(fault, WriteStep::Open)
                       ? -1
                       : ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return WriteResult::OpenFailed;

    WriteResult result = WriteResult::Ok;
    const std::span<const std::uint8_t> part =
        Fails(fault, WriteStep::Write) ? bytes.first(bytes.size() / 2) : bytes;
    if (WriteAll(fd, part) != bytes.size()) result = WriteResult::WriteFailed;
    if (result == WriteResult::Ok && (Fails(fault, WriteStep::Flush) || ::fsync(fd) != 0))
        result = WriteResult::FlushFailed;
    if (::close(fd) != 0 && result == WriteResult::Ok) result = WriteResult::FlushFailed;
    if (result == WriteResult::Ok &&
        (Fails(fault, WriteStep::Rename) || std::rename(temp.c_str(), nativePath.c_str()) != 0))
        result = WriteResult::RenameFailed;
    if (result != WriteResult::Ok) {
        ::unlink(temp.c_str());
        return result;
    }
    FlushFolderOf(nativePath);
    return WriteResult::Ok;
}

const char* WriteResultName(WriteResult result) {
    switch (result) {
    case WriteResult::Ok:
        return "ok";
    case WriteResult::OpenFailed:
        return "open";
    case WriteResult::WriteFailed:
        return "write";
    case WriteResult::FlushFailed:
        return "flush";
    case WriteResult::RenameFailed:
        return "rename";
    }
    return "?";
}
