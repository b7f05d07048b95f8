#include "data/ArchiveDecoders.h"

#include <array>
#include <new>

namespace {

std::uint32_t ReadBigEndian32(const std::uint8_t* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           std::uint32_t(p[3]);
}

// Bits of a byte stream, most significant first. Running past the end is
// reported rather than read.
class BitReader {
public:
    explicit BitReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool Bit(unsigned& bit) {
        if (pos_ >= bytes_.size()) return false;
        bit = (bytes_[pos_] >> (7 - used_)) & 1u;
        if (++used_ == 8) {
            used_ = 0;
            ++pos_;
        }
        return true;
    }

    bool Bits(unsigned count, unsigned& value) {
        value = 0;
        for (unsigned i = 0; i < count; ++i) {
            unsigned bit = 0;
            if (!Bit(bit)) return false;
            value = (value << 1) | bit;
        }
        return true;
    }

private:
    std::span<const std::uint8_t> bytes_;
    size_t pos_ = 0;
    unsigned used_ = 0;
};

// The range coder's adaptive model: 257 frequencies, every one starting at 1,
// each coded symbol adding 1 to its own, and all of them halved (keeping
// the lowest bit set) once the total reaches 0x10000. The cumulative counts
// are kept in a Fenwick tree so a symbol costs a few steps instead of a walk
// over all 257 counts; the counts themselves are the same.
class RangeModel {
public:
    static constexpr unsigned kSymbols = 257;
    static constexpr unsigned kEnd = 256;

    RangeModel() {
        freq_.fill(1);
        Rebuild();
    }
    std::uint32_t Total() const { return total_; }
    std::uint32_t Freq(unsigned s) const { return freq_[s]; }

    // The symbol whose interval [cum, cum + freq) holds t (t < Total()).
    unsigned Find(std::uint32_t t, std::uint32_t& cum) const {
        unsigned pos = 0;
        std::uint32_t rest = t;
        for (unsigned step = kTreeTop; step > 0; step >>= 1) {
            if (pos + step <= kSymbols && tree_[pos + step] <= rest) {
                pos += step;
                rest -= tree_[pos];
            }
        }
        cum = t - rest;
        return pos;
    }

    void Update(unsigned s) {
        ++freq_[s];
        ++total_;
        for (unsigned i = s + 1; i <= kSymbols; i += i & (0u - i))
            ++tree_[i];
        if (total_ >= 0x10000) {
            for (auto& f : freq_)
                f = (f | 2) >> 1;
            Rebuild();
        }
    }

private:
    static constexpr unsigned kTreeTop = 256; // the highest power of two <= kSymbols

    void Rebuild() {
        tree_.fill(0);
        total_ = 0;
        for (unsigned s = 0; s < kSymbols; ++s) {
            total_ += freq_[s];
            for (unsigned i = s + 1; i <= kSymbols; i += i & (0u - i))
                tree_[i] += freq_[s];
        }
    }

    std::array<std::uint32_t, kSymbols> freq_{};
    std::array<std::uint32_t, kSymbols + 1> tree_{}; // 1-based
    std::uint32_t total_ = 0;
};

} // namespace

bool DataBlock::Allocate(std::uint32_t size) {
    data_.reset(new (std::nothrow) std::uint8_t[std::size_t(size) + 1]());
    size_ = data_ ? size : 0;
    return data_ != nullptr;
}

std::unique_ptr<std::uint8_t[]> DataBlock::Release() {
    size_ = 0;
    return std::move(data_);
}

void UnscrambleWords(std::span<std::uint8_t> data) {
    const std::uint32_t n = static_cast<std::uint32_t>(data.size() / 4);
    std::uint32_t key = (n << ((n & 7) + 8)) ^ n;
    for (std::uint32_t w = 0; w < n; ++w) {
        std::uint8_t* p = data.data() + std::size_t(w) * 4;
        const std::uint32_t stored = std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) |
                                     (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
        const std::uint32_t plain = stored ^ key;
        p[0] = static_cast<std::uint8_t>(plain);
        p[1] = static_cast<std::uint8_t>(plain >> 8);
        p[2] = static_cast<std::uint8_t>(plain >> 16);
        p[3] = static_cast<std::uint8_t>(plain >> 24);
        const unsigned s = plain % 24;
        key = s ? (key << s) | (key >> (32 - s)) : key;
    }
}

DecodeStatus DecodeRecency(std::span<const std::uint8_t> in, DataBlock& out) {
    if (in.size() < 4) return DecodeStatus::Corrupt;
    const std::uint32_t length = ReadBigEndian32(in.data());
    // The shortest code (a rank of 1) takes two bits, so the input caps the
    // output before anything is reserved.
    if (length > kMaxDecodedSize || std::uint64_t(length) * 2 > std::uint64_t(in.size() - 4) * 8)
        return DecodeStatus::Corrupt;
    if (!out.Allocate(length)) return DecodeStatus::NoMemory;

    // recent[0] has rank 1 (the newest).
    std::array<std::uint8_t, 15> recent{};
    unsigned count = 0;
    BitReader bits(in.subspan(4));
    std::uint8_t* dst = out.data();
    for (std::uint32_t i = 0; i < length; ++i) {
        unsigned flag = 0;
        if (!bits.Bit(flag)) return DecodeStatus::Corrupt;
        std::uint8_t byte = 0;
        unsigned rank = 0; // 0: not in the list
        if (flag) {
            unsigned zeros = 0;
            unsigned bit = 0;
            for (;;) {
                if (!bits.Bit(bit)) return DecodeStatus::Corrupt;
                if (bit) break;
                // Four zeros mean a rank of 16 or more, which the list never holds.
                if (++zeros > 3) return DecodeStatus::Corrupt;
            }
            unsigned rest = 0;
            if (!bits.Bits(zeros, rest)) return DecodeStatus::Corrupt;
            rank = (1u << zeros) | rest;
            if (rank > count) return DecodeStatus::Corrupt;
            byte = recent[rank - 1];
        } else {
            unsigned value = 0;
            if (!bits.Bits(8, value)) return DecodeStatus::Corrupt;
            byte = static_cast<std::uint8_t>(value);
            for (unsigned k = 0; k < count; ++k)
                if (recent[k] == byte) rank = k + 1;
        }
        dst[i] = byte;
        // The byte moves to rank 1; a new one pushes the oldest out at rank 16.
        if (rank == 0) {
            if (count < recent.size()) ++count;
            rank = count;
        }
        for (unsigned k = rank - 1; k > 0; --k)
            recent[k] = recent[k - 1];
        recent[0] = byte;
    }
    return DecodeStatus::Ok;
}

DecodeStatus DecodeRangeCoder(std::span<const std::uint8_t> in, DataBlock& out) {
    if (in.size() < 4) return DecodeStatus::Corrupt;
    const std::uint32_t length = ReadBigEndian32(in.data());
    if (length > kMaxDecodedSize) return DecodeStatus::Corrupt;
    if (!out.Allocate(length)) return DecodeStatus::NoMemory;

    // A coder may flush fewer bytes than the decoder's 32-bit window takes in
    // at the very end; up to four bytes past the input read as zero, and a
    // stream that needs more is damaged.
    size_t pos = 4;
    unsigned pastEnd = 0;
    bool overrun = false;
    auto next = [&]() -> std::uint32_t {
        if (pos < in.size()) return in[pos++];
        if (++pastEnd > 4) overrun = true;
        return 0;
    };

    RangeModel model;
    std::uint32_t low = 0;
    std::uint32_t range = 0xFFFFFFFF;
    std::uint32_t code = 0;
    for (int i = 0; i < 4; ++i)
        code = (code << 8) | next();

    std::uint8_t* dst = out.data();
    std::uint32_t produced = 0;
    for (;;) {
        const std::uint32_t r = range / model.Total();
        if (r == 0) return DecodeStatus::Corrupt;
        const std::uint32_t t = (code - low) / r;
        if (t >= model.Total()) return DecodeStatus::Corrupt;
        std::uint32_t cum = 0;
        const unsigned s = model.Find(t, cum);
        if (s == RangeModel::kEnd) break;
        if (produced == length) return DecodeStatus::Corrupt; // no end symbol within the length
        dst[produced++] = static_cast<std::uint8_t>(s);
        low += cum * r;
        range = model.Freq(s) * r;
        model.Update(s);
        while (((low + range) ^ low) < 0x1000000) {
            code = (code << 8) | next();
            low <<= 8;
            range <<= 8;
        }
        while (range < 0x10000) {
            range = (0x10000 - (low & 0xFFFF)) << 8;
            code = (code << 8) | next();
            low <<= 8;
        }
        if (overrun) return DecodeStatus::Corrupt;
    }
    return DecodeStatus::Ok;
}

DecodeStatus DecodeLzss(std::span<const std::uint8_t> in, DataBlock& out) {
    if (in.size() < 4) return DecodeStatus::Corrupt;
    const std::uint32_t length = ReadBigEndian32(in.data());
    if (length > kMaxDecodedSize) return DecodeStatus::Corrupt;
    if (!out.Allocate(length)) return DecodeStatus::NoMemory;

    // The whole ring starts at zero for every member, so a member decodes to
    // the same bytes whatever was loaded before it.
    std::array<std::uint8_t, 4096> ring{};
    unsigned r = 4078;
    std::uint8_t* dst = out.data();
    std::uint32_t produced = 0;
    size_t pos = 4;
    unsigned flags = 0; // bit 8 and up count the flags left
    for (;;) {
        flags >>= 1;
        if ((flags & 0x100) == 0) {
            if (pos >= in.size()) break;
            flags = in[pos++] | 0xFF00u;
        }
        if (flags & 1) {
            if (pos >= in.size()) break;
            if (produced == length) return DecodeStatus::Corrupt;
            const std::uint8_t c = in[pos++];
            dst[produced++] = c;
            ring[r] = c;
            r = (r + 1) & 0xFFF;
        } else {
            if (pos >= in.size()) break;
            const unsigned i = in[pos++];
            if (pos >= in.size()) break;
            const unsigned j = in[pos++];
            const unsigned offset = i | ((j & 0xF0) << 4);
            const unsigned count = (j & 0x0F) + 3;
            if (count > length - produced) return DecodeStatus::Corrupt;
            for (unsigned k = 0; k < count; ++k) {
                const std::uint8_t c = ring[(offset + k) & 0xFFF];
                dst[produced++] = c;
                ring[r] = c;
                r = (r + 1) & 0xFFF;
            }
        }
    }
    return DecodeStatus::Ok;
}

DecodeStatus DecodeBwt(std::span<const std::uint8_t> in, DataBlock& out) {
    if (in.size() < 4) return DecodeStatus::Corrupt;
    const size_t n = in.size() - 4;
    if (n > kMaxBlockSortSize) return DecodeStatus::Corrupt;
    const std::uint32_t index = ReadBigEndian32(in.data() + n);
    if (!out.Allocate(static_cast<std::uint32_t>(n))) return DecodeStatus::NoMemory;
    if (n == 0) return DecodeStatus::Ok;
    if (index >= n) return DecodeStatus::Corrupt;

    // links[j] holds the position i of the byte that starts sorted row j, in
    // its top 24 bits (n is at most 2^23), and that byte L[i] in its low 8,
    // so following the chain touches one word per output byte.
    const std::uint8_t* last = in.data();
    std::array<std::uint32_t, 256> count{};
    for (size_t i = 0; i < n; ++i)
        ++count[last[i]];
    for (unsigned b = 1; b < 256; ++b)
        count[b] += count[b - 1];
    std::unique_ptr<std::uint32_t[]> links(new (std::nothrow) std::uint32_t[n]);
    if (!links) return DecodeStatus::NoMemory;
    for (size_t i = n; i-- > 0;)
        links[--count[last[i]]] = (static_cast<std::uint32_t>(i) << 8) | last[i];

    std::uint8_t* dst = out.data();
    std::uint32_t link = links[index];
    for (size_t k = 0; k < n; ++k) {
        dst[k] = static_cast<std::uint8_t>(link);
        link = links[link >> 8];
    }
    return DecodeStatus::Ok;
}

DecodeStatus DecodeMember(std::uint32_t flags, DataBlock& block) {
    // Bits no stage owns select nothing: a member flagged only with them is
    // its stored bytes.
    flags &= kPackFlagMask;
    if (flags & kPackFlagScrambled) UnscrambleWords(block.bytes());
    using Stage = DecodeStatus (*)(std::span<const std::uint8_t>, DataBlock&);
    constexpr std::array<std::pair<std::uint32_t, Stage>, 4> kStages = {{
        {kPackFlagRecency, &DecodeRecency},
        {kPackFlagRange, &DecodeRangeCoder},
        {kPackFlagLzss, &DecodeLzss},
        {kPackFlagBlockSort, &DecodeBwt},
    }};
    for (const auto& [bit, decode] : kStages) {
        if (!(flags & bit)) continue;
        DataBlock next;
        const DecodeStatus status = decode(block.bytes(), next);
        if (status != DecodeStatus::Ok) return status;
        block = std::move(next);
    }
    return DecodeStatus::Ok;
}
