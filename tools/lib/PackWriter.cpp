#include "lib/PackWriter.h"

#include "data/ArchiveDecoders.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <numeric>

namespace packwriter {
namespace {

void PutBigEndian32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v >> 24));
    out.push_back(static_cast<std::uint8_t>(v >> 16));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}

void PutLittleEndian32(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
    p[3] = static_cast<std::uint8_t>(v >> 24);
}

std::uint32_t GetLittleEndian32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

void SetError(std::string* error, std::string text) {
    if (error) *error = std::move(text);
}

class BitWriter {
public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}
    void Bit(unsigned bit) {
        acc_ = static_cast<std::uint8_t>((acc_ << 1) | (bit & 1));
        if (++used_ == 8) {
            out_.push_back(acc_);
            acc_ = 0;
            used_ = 0;
        }
    }
    void Bits(unsigned value, unsigned count) {
        for (unsigned i = count; i-- > 0;)
            Bit((value >> i) & 1);
    }
    void Flush() {
        if (used_) out_.push_back(static_cast<std::uint8_t>(acc_ << (8 - used_)));
        acc_ = 0;
        used_ = 0;
    }

private:
    std::vector<std::uint8_t>& out_;
    std::uint8_t acc_ = 0;
    unsigned used_ = 0;
};

// Mirrors the decoder's adaptive model step for step.
struct RangeModel {
    static constexpr unsigned kSymbols = 257;
    std::array<std::uint32_t, kSymbols> freq{};
    std::array<std::uint32_t, kSymbols + 1> cum{};
    RangeModel() {
        freq.fill(1);
        for (unsigned k = 0; k <= kSymbols; ++k)
            cum[k] = k;
    }
    std::uint32_t Total() const { return cum[kSymbols]; }
    void Update(unsigned s) {
        ++freq[s];
        for (unsigned k = s + 1; k <= kSymbols; ++k)
            ++cum[k];
        if (Total() >= 0x10000) {
            for (auto& f : freq)
                f = (f | 2) >> 1;
            cum[0] = 0;
            for (unsigned k = 0; k < kSymbols; ++k)
                cum[k + 1] = cum[k] + freq[k];
        }
    }
};

// Sorts the cyclic rotations of `s` by prefix doubling with counting sorts.
std::vector<std::uint32_t> SortRotations(std::span<const std::uint8_t> s) {
    const std::uint32_t n = static_cast<std::uint32_t>(s.size());
    std::vector<std::uint32_t> p(n), c(n), pn(n), cn(n);
    {
        std::array<std::uint32_t, 257> count{};
        for (std::uint8_t b : s)
            ++count[b + 1];
        for (unsigned b = 1; b < 257; ++b)
            count[b] += count[b - 1];
        for (std::uint32_t i = 0; i < n; ++i)
            p[count[s[i]]++] = i;
        std::uint32_t classes = 0;
        for (std::uint32_t i = 0; i < n; ++i) {
            if (i > 0 && s[p[i]] != s[p[i - 1]]) ++classes;
            c[p[i]] = classes;
        }
    }
    std::vector<std::uint32_t> count(n + 1);
    for (std::uint64_t h = 1; h < n; h <<= 1) {
        for (std::uint32_t i = 0; i < n; ++i)
            pn[i] = static_cast<std::uint32_t>((p[i] + n - (h % n)) % n);
        std::fill(count.begin(), count.end(), 0);
        for (std::uint32_t i = 0; i < n; ++i)
            ++count[c[pn[i]] + 1];
        for (std::uint32_t k = 1; k <= n; ++k)
            count[k] += count[k - 1];
        for (std::uint32_t i = 0; i < n; ++i)
            p[count[c[pn[i]]]++] = pn[i];
        std::uint32_t classes = 0;
        cn[p[0]] = 0;
        for (std::uint32_t i = 1; i < n; ++i) {
            const std::uint32_t a = p[i], b = p[i - 1];
            if (c[a] != c[b] || c[(a + h) % n] != c[(b + h) % n]) ++classes;
            cn[p[i]] = classes;
        }
        c.swap(cn);
        if (classes + 1 == n) break;
    }
    return p;
}

} // namespace

void ScrambleWords(std::span<std::uint8_t> data) {
    const std::uint32_t n = static_cast<std::uint32_t>(data.size() / 4);
    std::uint32_t key = (n << ((n & 7) + 8)) ^ n;
    for (std::uint32_t w = 0; w < n; ++w) {
        std::uint8_t* p = data.data() + std::size_t(w) * 4;
        const std::uint32_t plain = GetLittleEndian32(p);
        PutLittleEndian32(p, plain ^ key);
        const unsigned s = plain % 24;
        key = s ? (key << s) | (key >> (32 - s)) : key;
    }
}

std::vector<std::uint8_t> EncodeRecency(std::span<const std::uint8_t> data) {
    std::vector<std::uint8_t> out;
    PutBigEndian32(out, static_cast<std::uint32_t>(data.size()));
    BitWriter bits(out);
    std::array<std::uint8_t, 15> recent{};
    unsigned count = 0;
    for (std::uint8_t byte : data) {
        unsigned rank = 0;
        for (unsigned k = 0; k < count; ++k)
            if (recent[k] == byte) rank = k + 1;
        if (rank) {
            // Elias gamma: as many zeros as the rank has bits after its top one.
            unsigned width = 0;
            while ((rank >> (width + 1)) != 0)
                ++width;
            bits.Bit(1);
            bits.Bits(0, width);
            bits.Bits(rank, width + 1);
        } else {
            bits.Bit(0);
            bits.Bits(byte, 8);
            if (count < recent.size()) ++count;
            rank = count;
        }
        for (unsigned k = rank - 1; k > 0; --k)
            recent[k] = recent[k - 1];
        recent[0] = byte;
    }
    bits.Flush();
    return out;
}

std::vector<std::uint8_t> EncodeRangeCoder(std::span<const std::uint8_t> data) {
    std::vector<std::uint8_t> out;
    PutBigEndian32(out, static_cast<std::uint32_t>(data.size()));
    RangeModel model;
    std::uint32_t low = 0;
    std::uint32_t range = 0xFFFFFFFF;
    const auto encode = [&](unsigned s) {
        const std::uint32_t r = range / model.Total();
        low += model.cum[s] * r;
        range = model.freq[s] * r;
        model.Update(s);
        while (((low + range) ^ low) < 0x1000000) {
            out.push_back(static_cast<std::uint8_t>(low >> 24));
            low <<= 8;
            range <<= 8;
        }
        while (range < 0x10000) {
            range = (0x10000 - (low & 0xFFFF)) << 8;
            out.push_back(static_cast<std::uint8_t>(low >> 24));
            low <<= 8;
        }
    };
    for (std::uint8_t b : data)
        encode(b);
    encode(256);
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>(low >> 24));
        low <<= 8;
    }
    return out;
}

std::vector<std::uint8_t> EncodeLzss(std::span<const std::uint8_t> data) {
    constexpr std::size_t kRing = 4096;
    constexpr unsigned kMaxMatch = 18;
    constexpr unsigned kMinMatch = 3;
    constexpr int kChainLimit = 256;
    constexpr unsigned kHashBits = 16;

    // The decoder's ring at any moment holds the last 4,096 bytes of this
    // sequence: the zeros it starts with, then the output. Sequence index i
    // sits in ring slot (i - 18) mod 4096, so output byte 0 lands on 4078.
    const std::size_t n = data.size();
    std::vector<std::uint8_t> seq(kRing + n, 0);
    std::copy(data.begin(), data.end(), seq.begin() + kRing);

    std::vector<std::int32_t> head(std::size_t(1) << kHashBits, -1);
    std::vector<std::int32_t> chain(seq.size(), -1);
    const auto hash = [&](std::size_t i) {
        const std::uint32_t v = (std::uint32_t(seq[i]) << 16) | (std::uint32_t(seq[i + 1]) << 8) |
                                std::uint32_t(seq[i + 2]);
        return (v * 2654435761u) >> (32 - kHashBits);
    };
    const auto insert = [&](std::size_t i) {
        if (i + kMinMatch > seq.size()) return;
        const std::uint32_t h = hash(i);
        chain[i] = head[h];
        head[h] = static_cast<std::int32_t>(i);
    };
    for (std::size_t i = 0; i < kRing; ++i)
        insert(i);

    std::vector<std::uint8_t> out;
    PutBigEndian32(out, static_cast<std::uint32_t>(n));
    std::size_t flagsAt = 0;
    unsigned itemsInGroup = 8;
    std::size_t cur = kRing;
    while (cur < seq.size()) {
        if (itemsInGroup == 8) {
            flagsAt = out.size();
            out.push_back(0);
            itemsInGroup = 0;
        }
        const std::size_t limit = std::min<std::size_t>(kMaxMatch, seq.size() - cur);
        std::size_t bestLength = 0;
        std::size_t bestFrom = 0;
        if (limit >= kMinMatch) {
            int steps = 0;
            for (std::int32_t cand = head[hash(cur)]; cand >= 0 && steps < kChainLimit;
                 cand = chain[std::size_t(cand)], ++steps) {
                const std::size_t from = std::size_t(cand);
                if (cur - from > kRing) break;
                std::size_t length = 0;
                while (length < limit && seq[from + length] == seq[cur + length])
                    ++length;
                if (length > bestLength) {
                    bestLength = length;
                    bestFrom = from;
                    if (length == limit) break;
                }
            }
        }
        if (bestLength >= kMinMatch) {
            const unsigned offset = static_cast<unsigned>((bestFrom - 18) & 0xFFF);
            out.push_back(static_cast<std::uint8_t>(offset & 0xFF));
            out.push_back(
                static_cast<std::uint8_t>(((offset >> 4) & 0xF0) | (bestLength - kMinMatch)));
            for (std::size_t k = 0; k < bestLength; ++k)
                insert(cur + k);
            cur += bestLength;
        } else {
            out[flagsAt] |= static_cast<std::uint8_t>(1u << itemsInGroup);
            out.push_back(seq[cur]);
            insert(cur);
            ++cur;
        }
        ++itemsInGroup;
    }
    return out;
}

bool EncodeBwt(std::span<const std::uint8_t> data, std::vector<std::uint8_t>& out) {
    if (data.size() > kMaxBlockSortSize) return false;
    const std::uint32_t n = static_cast<std::uint32_t>(data.size());
    out.clear();
    out.reserve(std::size_t(n) + 4);
    std::uint32_t primary = 0;
    if (n > 0) {
        const std::vector<std::uint32_t> rows = SortRotations(data);
        for (std::uint32_t i = 0; i < n; ++i) {
            out.push_back(data[(rows[i] + n - 1) % n]);
            if (rows[i] == 0) primary = i;
        }
    }
    PutBigEndian32(out, primary);
    return true;
}

bool EncodeMember(std::span<const std::uint8_t> data, std::uint32_t flags,
                  std::vector<std::uint8_t>& out, std::string* error) {
    flags &= kPackFlagMask;
    if (flags & ~kPackKnownFlags) {
        SetError(error, "unknown flag bits");
        return false;
    }
    std::vector<std::uint8_t> work(data.begin(), data.end());
    if (flags & kPackFlagBlockSort) {
        std::vector<std::uint8_t> sorted;
        if (!EncodeBwt(work, sorted)) {
            SetError(error, "block too long for the block sort (8,388,608 bytes at most)");
            return false;
        }
        work = std::move(sorted);
    }
    if (flags & kPackFlagLzss) work = EncodeLzss(work);
    if (flags & kPackFlagRange) work = EncodeRangeCoder(work);
    if (flags & kPackFlagRecency) work = EncodeRecency(work);
    if (flags & kPackFlagScrambled) ScrambleWords(work);
    out = std::move(work);
    return true;
}

bool BuildArchive(std::span<const PackMember> members, std::vector<std::uint8_t>& out,
                  std::string* error) {
    if (members.empty()) {
        SetError(error, "an archive holds at least one member");
        return false;
    }
    if (members.size() > (0x7FFFFFFFu - kHeaderSize) / kEntrySize) {
        SetError(error, "too many members");
        return false;
    }
    std::vector<std::vector<std::uint8_t>> stored(members.size());
    std::uint64_t total = kHeaderSize + kEntrySize * members.size();
    for (std::size_t i = 0; i < members.size(); ++i) {
        const PackMember& m = members[i];
        if (m.name.empty() || m.name.size() > kMaxNameLength ||
            m.name.find('\0') != std::string::npos) {
            SetError(error, "member name \"" + m.name + "\" is empty or longer than 31 bytes");
            return false;
        }
        std::string reason;
        if (!EncodeMember(m.data, m.flags, stored[i], &reason)) {
            SetError(error, m.name + ": " + reason);
            return false;
        }
        total += stored[i].size();
    }
    if (total > 0xFFFFFFFFu) {
        SetError(error, "the archive would pass 4 GiB");
        return false;
    }
    out.assign(kHeaderSize + kEntrySize * members.size(), 0);
    std::memcpy(out.data(), "PACKDAT.", 8);
    PutLittleEndian32(out.data() + 12, static_cast<std::uint32_t>(members.size()));
    for (std::size_t i = 0; i < members.size(); ++i) {
        std::uint8_t* e = out.data() + kHeaderSize + kEntrySize * i;
        std::memcpy(e, members[i].name.data(), members[i].name.size());
        const std::uint32_t size = static_cast<std::uint32_t>(stored[i].size());
        PutLittleEndian32(e + 32, static_cast<std::uint32_t>(out.size()));
        PutLittleEndian32(e + 36, members[i].flags);
        PutLittleEndian32(e + 40, size);
        PutLittleEndian32(e + 44, size);
        out.insert(out.end(), stored[i].begin(), stored[i].end());
    }
    return true;
}

bool WriteArchive(const std::filesystem::path& path, std::span<const PackMember> members,
                  std::string* error) {
    std::vector<std::uint8_t> bytes;
    if (!BuildArchive(members, bytes, error)) return false;
    if (path.has_parent_path()) {
        std::error_code ec;
        std::filesystem::create_directories(path.parent_path(), ec);
    }
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
    f.close();
    if (!f) {
        SetError(error, "cannot write " + path.string());
        return false;
    }
    return true;
}

bool ReadArchiveIndex(std::span<const std::uint8_t> archive, std::vector<ArchiveEntry>& entries,
                      std::string* error) {
    entries.clear();
    if (archive.size() < kHeaderSize || std::memcmp(archive.data(), "PACKDAT.", 8) != 0) {
        SetError(error, "not a PACKDAT. archive");
        return false;
    }
    const std::int32_t count = static_cast<std::int32_t>(GetLittleEndian32(archive.data() + 12));
    if (count <= 0) {
        SetError(error, "entry count " + std::to_string(count));
        return false;
    }
    if (std::uint64_t(count) * kEntrySize > archive.size() - kHeaderSize) {
        SetError(error, "entry table passes the end of the file");
        return false;
    }
    entries.resize(std::size_t(count));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::uint8_t* raw = archive.data() + kHeaderSize + kEntrySize * i;
        ArchiveEntry& e = entries[i];
        std::memcpy(e.name, raw, sizeof e.name);
        e.offset = GetLittleEndian32(raw + 32);
        e.flags = GetLittleEndian32(raw + 36);
        e.allocSize = GetLittleEndian32(raw + 40);
        e.storedSize = GetLittleEndian32(raw + 44);
    }
    return true;
}

std::string EntryName(const ArchiveEntry& entry) {
    return std::string(entry.name, strnlen(entry.name, sizeof entry.name));
}

} // namespace packwriter
