// packdat: makes, lists and unpacks "PACKDAT." archives.
//
//   packdat pack [--flags HEX] DIR ARCHIVE   every file under DIR, named by its
//                                            path under DIR with '\' separators
//   packdat list ARCHIVE                     name, offset, flags, allocation
//                                            size, stored size per member
//   packdat extract ARCHIVE DIR              decodes every member as the game
//                                            does and writes it under DIR
//   packdat ARCHIVE [--flags HEX] FILE...    the given files by bare name
//
// Ogg files are always stored without flags: the game streams them in place.
#include "data/DataPath.h"
#include "data/PackFile.h"
#include "lib/PackWriter.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

int Usage() {
    std::fprintf(stderr, "usage: packdat pack [--flags HEX] DIR ARCHIVE\n"
                         "       packdat list ARCHIVE\n"
                         "       packdat extract ARCHIVE DIR\n"
                         "       packdat ARCHIVE [--flags HEX] FILE...\n");
    return 2;
}

bool ParseFlags(const char* text, std::uint32_t& flags) {
    char* end = nullptr;
    const unsigned long v = std::strtoul(text, &end, 16);
    if (end == text || *end != '\0' || v > 0xFFFFFFFFul) return false;
    flags = static_cast<std::uint32_t>(v);
    return true;
}

bool ReadWholeFile(const fs::path& path, std::vector<std::uint8_t>& out) {
    std::ifstream f(path, std::ios::binary);
    if (!f) return false;
    out.assign(std::istreambuf_iterator<char>(f), {});
    return !f.bad();
}

std::uint32_t FlagsFor(const std::string& name, std::uint32_t flags) {
    std::string ext = PathExtension(name);
    StrToLowerSjis(ext);
    return ext == "ogg" ? 0 : flags;
}

int Pack(const fs::path& archive, std::vector<packwriter::PackMember>& members) {
    std::sort(members.begin(), members.end(),
              [](const auto& a, const auto& b) { return a.name < b.name; });
    std::string error;
    if (!packwriter::WriteArchive(archive, members, &error)) {
        std::fprintf(stderr, "packdat: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

int PackDir(const fs::path& dir, const fs::path& archive, std::uint32_t flags) {
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) {
        std::fprintf(stderr, "packdat: %s is not a folder\n", dir.string().c_str());
        return 1;
    }
    std::vector<packwriter::PackMember> members;
    for (auto it = fs::recursive_directory_iterator(dir, ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        if (!it->is_regular_file()) continue;
        std::string name = fs::relative(it->path(), dir).generic_string();
        std::replace(name.begin(), name.end(), '/', '\\');
        packwriter::PackMember m;
        m.name = name;
        m.flags = FlagsFor(name, flags);
        if (!ReadWholeFile(it->path(), m.data)) {
            std::fprintf(stderr, "packdat: cannot read %s\n", it->path().string().c_str());
            return 1;
        }
        members.push_back(std::move(m));
    }
    if (ec) {
        std::fprintf(stderr, "packdat: cannot walk %s\n", dir.string().c_str());
        return 1;
    }
    return Pack(archive, members);
}

int PackFiles(const fs::path& archive, const std::vector<fs::path>& files, std::uint32_t flags) {
    std::vector<packwriter::PackMember> members;
    for (const fs::path& file : files) {
        packwriter::PackMember m;
        m.name = file.filename().string();
        m.flags = FlagsFor(m.name, flags);
        if (!ReadWholeFile(file, m.data)) {
            std::fprintf(stderr, "packdat: cannot read %s\n", file.string().c_str());
            return 1;
        }
        members.push_back(std::move(m));
    }
    return Pack(archive, members);
}

// Reads the header and entry table (not the members) of an archive.
bool OpenIndex(const fs::path& archive, FileHandle& f, std::uint64_t& size,
               std::vector<ArchiveEntry>& entries) {
    f.reset(std::fopen(archive.string().c_str(), "rb"));
    std::error_code ec;
    size = fs::file_size(archive, ec);
    if (!f || ec) {
        std::fprintf(stderr, "packdat: cannot open %s\n", archive.string().c_str());
        return false;
    }
    std::vector<std::uint8_t> head(packwriter::kHeaderSize);
    if (std::fread(head.data(), 1, head.size(), f.get()) == head.size()) {
        const std::uint32_t count =
            head[12] | (head[13] << 8) | (head[14] << 16) | (std::uint32_t(head[15]) << 24);
        const std::uint64_t tableEnd = std::min<std::uint64_t>(
            size, packwriter::kHeaderSize + std::uint64_t(count) * packwriter::kEntrySize);
        head.resize(static_cast<std::size_t>(tableEnd));
        const std::size_t rest = head.size() - packwriter::kHeaderSize;
        if (std::fread(head.data() + packwriter::kHeaderSize, 1, rest, f.get()) != rest)
            head.clear();
    } else {
        head.clear();
    }
    std::string error;
    if (!packwriter::ReadArchiveIndex(head, entries, &error)) {
        std::fprintf(stderr, "packdat: %s: %s\n", archive.string().c_str(), error.c_str());
        return false;
    }
    return true;
}

int List(const fs::path& archive) {
    FileHandle f;
    std::uint64_t size = 0;
    std::vector<ArchiveEntry> entries;
    if (!OpenIndex(archive, f, size, entries)) return 1;
    for (const ArchiveEntry& e : entries)
        std::printf("%s\t%u\t0x%X\t%u\t%u\n", packwriter::EntryName(e).c_str(), e.offset, e.flags,
                    e.allocSize, e.storedSize);
    return 0;
}

// A stored name as a path under the output folder; empty when it would
// leave the folder.
fs::path OutputPath(const fs::path& dir, std::string name) {
    std::replace(name.begin(), name.end(), '\\', '/');
    const fs::path relative = fs::path(name).lexically_normal();
    if (name.empty() || relative.is_absolute() || relative.empty() || *relative.begin() == "..")
        return {};
    return dir / relative;
}

int Extract(const fs::path& archive, const fs::path& dir) {
    FileHandle f;
    std::uint64_t size = 0;
    std::vector<ArchiveEntry> entries;
    if (!OpenIndex(archive, f, size, entries)) return 1;
    for (const ArchiveEntry& e : entries) {
        const std::string name = packwriter::EntryName(e);
        const fs::path out = OutputPath(dir, name);
        if (out.empty()) {
            std::fprintf(stderr, "packdat: member \"%s\" names a place outside %s\n", name.c_str(),
                         dir.string().c_str());
            return kPackCorrupt;
        }
        DataBlock block;
        const int code = ReadArchiveMember(f.get(), size, e, block);
        if (code != kPackOk) {
            std::fprintf(stderr, "packdat: member \"%s\" failed with code %d\n", name.c_str(),
                         code);
            return code;
        }
        std::error_code ec;
        fs::create_directories(out.parent_path(), ec);
        std::ofstream o(out, std::ios::binary | std::ios::trunc);
        o.write(reinterpret_cast<const char*>(block.data()), block.size());
        o.close();
        if (!o) {
            std::fprintf(stderr, "packdat: cannot write %s\n", out.string().c_str());
            return 1;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return Usage();
    const std::string command = args[0];
    if (command == "list") return args.size() == 2 ? List(args[1]) : Usage();
    if (command == "extract") return args.size() == 3 ? Extract(args[1], args[2]) : Usage();

    // pack and the file-list form share the --flags option.
    std::uint32_t flags = 0;
    std::vector<std::string> rest;
    for (size_t i = command == "pack" ? 1 : 0; i < args.size(); ++i) {
        if (args[i] == "--flags") {
            if (i + 1 >= args.size() || !ParseFlags(args[i + 1].c_str(), flags)) return Usage();
            ++i;
        } else {
            rest.push_back(args[i]);
        }
    }
    if (command == "pack") return rest.size() == 2 ? PackDir(rest[0], rest[1], flags) : Usage();
    if (rest.size() < 2) return Usage();
    return PackFiles(rest[0], std::vector<fs::path>(rest.begin() + 1, rest.end()), flags);
}
