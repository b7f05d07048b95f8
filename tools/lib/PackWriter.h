// Writing "PACKDAT." archives: the five coding stages (each the exact
// inverse of the reader's decoder) and the archive layout. Used by the
// packdat tool, the tests and the makers of demo data.
#pragma once

#include "data/PackFile.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace packwriter {

inline constexpr std::size_t kHeaderSize = 16;
inline constexpr std::size_t kEntrySize = 48;
inline constexpr std::size_t kMaxNameLength = 31; // the name field keeps a zero byte

// Stage encoders. Each returns the stored form that the matching decoder
// turns back into `data`.
void ScrambleWords(std::span<std::uint8_t> data); // in place
std::vector<std::uint8_t> EncodeRecency(std::span<const std::uint8_t> data);
std::vector<std::uint8_t> EncodeRangeCoder(std::span<const std::uint8_t> data);
std::vector<std::uint8_t> EncodeLzss(std::span<const std::uint8_t> data);
// false when `data` is longer than the block sort takes (8,388,608 bytes).
bool EncodeBwt(std::span<const std::uint8_t> data, std::vector<std::uint8_t>& out);

// Runs every stage `flags` selects, in the reverse of the reading order
// (block sort, LZSS, range coder, recency coder, scrambling). false with a
// reason for unknown flag bits or a block too long for the block sort.
bool EncodeMember(std::span<const std::uint8_t> data, std::uint32_t flags,
                  std::vector<std::uint8_t>& out, std::string* error = nullptr);

struct PackMember {
    std::string name; // stored as given, at most 31 bytes (may hold '\')
    std::vector<std::uint8_t> data;
    std::uint32_t flags = 0;
};

// The whole archive: header, entry table, then the members' stored bytes in
// order. Allocation size equals stored size. false with a reason for a name
// that is empty or too long, an empty member list, a coding failure, or an
// archive past 4 GiB.
bool BuildArchive(std::span<const PackMember> members, std::vector<std::uint8_t>& out,
                  std::string* error = nullptr);
bool WriteArchive(const std::filesystem::path& path, std::span<const PackMember> members,
                  std::string* error = nullptr);

// The entry table of an archive held in memory, checked to lie inside it.
// false with a reason for a bad magic, a count of 0 or less, or a table that
// passes the end.
bool ReadArchiveIndex(std::span<const std::uint8_t> archive, std::vector<ArchiveEntry>& entries,
                      std::string* error = nullptr);

// The name an entry holds, up to its zero byte (at most 32 bytes).
std::string EntryName(const ArchiveEntry& entry);

} // namespace packwriter
