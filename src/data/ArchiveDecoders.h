// The five stages an archive member may be stored through, undone in a fixed
// order: word unscrambling, recency decoder, range decoder, LZSS, block-sort
// inversion. Every stage keeps its working state on the call, so decoding is
// re-entrant and one member never depends on what was decoded before it.
//
// The decoders read only inside their input and write only inside their
// output. Damaged input ends the decode with DecodeStatus::Corrupt; the
// output block is then to be discarded.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

// Entry flag bits. The top 8 bits of an entry's flags are not looked at.
inline constexpr std::uint32_t kPackFlagRecency = 0x1;
inline constexpr std::uint32_t kPackFlagRange = 0x2;
inline constexpr std::uint32_t kPackFlagBlockSort = 0x100;
inline constexpr std::uint32_t kPackFlagLzss = 0x200;
inline constexpr std::uint32_t kPackFlagScrambled = 0x10000;
inline constexpr std::uint32_t kPackFlagMask = 0x00FFFFFF;
inline constexpr std::uint32_t kPackKnownFlags =
    kPackFlagRecency | kPackFlagRange | kPackFlagBlockSort | kPackFlagLzss | kPackFlagScrambled;

// Largest block the block-sort inversion takes.
inline constexpr std::uint32_t kMaxBlockSortSize = 8388608;
// Largest output length a coded stream may announce in its header. No data
// file of the game comes near it; it keeps a damaged header from making the
// reader reserve gigabytes.
inline constexpr std::uint32_t kMaxDecodedSize = 8 * kMaxBlockSortSize;

enum class DecodeStatus : std::uint8_t { Ok, Corrupt, NoMemory };

// A block of bytes that is always followed by one zero byte, not counted in
// its size, so text members can be read as zero-terminated strings. Fresh
// blocks are zero-filled.
class DataBlock {
public:
    DataBlock() = default;
    // false when the memory could not be had; the block is then empty.
    [[nodiscard]] bool Allocate(std::uint32_t size);
    std::uint8_t* data() { return data_.get(); }
    const std::uint8_t* data() const { return data_.get(); }
    std::uint32_t size() const { return size_; }
    std::span<std::uint8_t> bytes() { return {data_.get(), size_}; }
    std::span<const std::uint8_t> bytes() const { return {data_.get(), size_}; }
    // Hands the memory (size() + 1 bytes) to the caller and leaves the block empty.
    std::unique_ptr<std::uint8_t[]> Release();

private:
    std::unique_ptr<std::uint8_t[]> data_;
    std::uint32_t size_ = 0;
};

// Flag 0x10000, in place: whole little-endian words are XORed with a key
// that starts from the word count and turns after every word; the last
// length mod 4 bytes stay as they are.
void UnscrambleWords(std::span<std::uint8_t> data);

// Flag 0x1: literals and Elias-gamma ranks into a 15-entry recency list.
DecodeStatus DecodeRecency(std::span<const std::uint8_t> in, DataBlock& out);
// Flag 0x2: carry-less range coder over 256 bytes and an end symbol with an
// adaptive order-0 model.
DecodeStatus DecodeRangeCoder(std::span<const std::uint8_t> in, DataBlock& out);
// Flag 0x200: LZSS over a 4,096-byte ring written from 4078.
DecodeStatus DecodeLzss(std::span<const std::uint8_t> in, DataBlock& out);
// Flag 0x100: inverse block sort; the last 4 input bytes are the primary index.
DecodeStatus DecodeBwt(std::span<const std::uint8_t> in, DataBlock& out);

// Undoes every stage `flags` selects, in the fixed order, replacing `block`
// with the final output. Bits that name no stage are passed over.
DecodeStatus DecodeMember(std::uint32_t flags, DataBlock& block);
