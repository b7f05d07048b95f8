// Archive reading on arbitrary bytes: the first byte chooses what is fed.
//   0-3  one decoder (recency, range, LZSS, block sort) on the rest
//   4    the whole chain with the flags in the next 4 bytes
//   5+   the rest as game/bmp.dat: lookup and load of a few names, and every
//        entry of its table read the way the packdat tool reads them
#include "data/ArchiveDecoders.h"
#include "data/DataPath.h"
#include "data/PackFile.h"
#include "platform/Platform.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <span>
#include <string>

#include <unistd.h>

namespace {

std::filesystem::path g_folder;

void CheckBlock(const DataBlock& block) {
    // The terminator is always there; reading it proves the block's extent.
    if (block.data() && block.data()[block.size()] != 0) std::abort();
}

void FeedArchive(std::span<const std::uint8_t> bytes) {
    const std::filesystem::path archive = g_folder / "game" / "bmp.dat";
    {
        FileHandle f(std::fopen(archive.c_str(), "wb"));
        if (!f) std::abort();
        if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size())
            std::abort();
    }
    for (const char* name : {"a", "A.BMP", "b\\c", "x"}) {
        CPackFile file;
        if (file.LoadEntry(name) == kPackOk) {
            if (file.GetBuffer()[file.GetSize()] != 0) std::abort();
        } else if (file.GetBuffer() != nullptr || file.GetSize() != 0) {
            std::abort();
        }
        ArchiveEntry entry;
        if (FileHandle f = FindArchiveMember(name, entry)) {
            // What the sound reader relies on: the member lies inside the file.
            std::uint8_t buf[4096];
            std::uint32_t left = entry.storedSize;
            while (left > 0) {
                const std::size_t n = std::min<std::size_t>(left, sizeof buf);
                if (std::fread(buf, 1, n, f.get()) != n) std::abort();
                left -= static_cast<std::uint32_t>(n);
            }
        }
    }
    // Every entry as the tool reads them, including damaged ones.
    if (bytes.size() < 16) return;
    FileHandle f(std::fopen(archive.c_str(), "rb"));
    if (!f) std::abort();
    std::uint32_t count = 0;
    std::memcpy(&count, bytes.data() + 12, 4);
    for (std::uint32_t k = 0; k < count && k < 8 && 16 + 48 * (k + 1) <= bytes.size(); ++k) {
        const std::uint8_t* raw = bytes.data() + 16 + 48 * k;
        ArchiveEntry entry;
        std::memcpy(entry.name, raw, 32);
        std::memcpy(&entry.offset, raw + 32, 4);
        std::memcpy(&entry.flags, raw + 36, 4);
        std::memcpy(&entry.allocSize, raw + 40, 4);
        std::memcpy(&entry.storedSize, raw + 44, 4);
        DataBlock block;
        if (ReadArchiveMember(f.get(), bytes.size(), entry, block) == kPackOk) CheckBlock(block);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A lower-case folder name: keys are lower-case, so every lookup then
    // matches exactly instead of listing the temporary folder.
    g_folder =
        std::filesystem::temp_directory_path() / ("norvane-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(g_folder / "game");
    SetBaseDir(g_folder.string() + "/game\\bmp\\");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t mode = data[0];
    const std::span<const std::uint8_t> rest(data + 1, size - 1);
    DataBlock out;
    switch (mode) {
    case 0:
        if (DecodeRecency(rest, out) == DecodeStatus::Ok) CheckBlock(out);
        break;
    case 1:
        if (DecodeRangeCoder(rest, out) == DecodeStatus::Ok) CheckBlock(out);
        break;
    case 2:
        if (DecodeLzss(rest, out) == DecodeStatus::Ok) CheckBlock(out);
        break;
    case 3:
        if (DecodeBwt(rest, out) == DecodeStatus::Ok) CheckBlock(out);
        break;
    case 4: {
        if (rest.size() < 4) break;
        std::uint32_t flags = 0;
        std::memcpy(&flags, rest.data(), 4);
        if (!out.Allocate(static_cast<std::uint32_t>(rest.size() - 4))) break;
        std::memcpy(out.data(), rest.data() + 4, rest.size() - 4);
        if (DecodeMember(flags, out) == DecodeStatus::Ok) CheckBlock(out);
        break;
    }
    default:
        FeedArchive(rest);
        break;
    }
    return 0;
}
