// Known answers worked by hand from the stage rules, and damaged streams.
#include "data/ArchiveDecoders.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}
Bytes Out(const DataBlock& b) {
    return Bytes(b.data(), b.data() + b.size());
}

// Bits written most significant first, as the recency decoder reads them.
struct Bits {
    Bytes bytes = {0, 0, 0, 0};
    unsigned used = 0;
    void Put(unsigned value, unsigned count) {
        for (unsigned i = count; i-- > 0;) {
            if (used % 8 == 0) bytes.push_back(0);
            if ((value >> i) & 1) bytes.back() |= static_cast<std::uint8_t>(0x80 >> (used % 8));
            ++used;
        }
    }
    Bytes Stream(std::uint32_t length) {
        Bytes b = bytes;
        b[0] = static_cast<std::uint8_t>(length >> 24);
        b[1] = static_cast<std::uint8_t>(length >> 16);
        b[2] = static_cast<std::uint8_t>(length >> 8);
        b[3] = static_cast<std::uint8_t>(length);
        return b;
    }
};

// ------------------------------------------------------------ unscrambling

TEST(Unscramble, TwoWordsAndAnUntouchedTail) {
    // n = 2: key = (2 << 10) ^ 2 = 0x802. Word 0: 5 ^ 0x802 = 0x807, then the
    // key turns by 5 % 24 = 5 to 0x10040. Word 1: 0x11223344 ^ 0x10040.
    Bytes data = {0x07, 0x08, 0x00, 0x00, 0x04, 0x33, 0x23, 0x11, 0xAA, 0xBB};
    UnscrambleWords(data);
    EXPECT_EQ(data, (Bytes{0x05, 0x00, 0x00, 0x00, 0x44, 0x33, 0x22, 0x11, 0xAA, 0xBB}));
}

TEST(Unscramble, KeyRotationWrapsAround) {
    // n = 3: key = (3 << 11) ^ 3 = 0x1803. Plain 23 turns it by 23 to
    // 0x0180000C; plain 0xFFFFFFFF (mod 24 = 15) turns that by 15 to 0x000600C0.
    Bytes data = {0x14, 0x18, 0x00, 0x00, 0xF3, 0xFF, 0x7F, 0xFE, 0xC0, 0x00, 0x06, 0x00};
    UnscrambleWords(data);
    EXPECT_EQ(data, (Bytes{0x17, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}));
}

TEST(Unscramble, ScrambledOnlyMemberKeepsItsLength) {
    for (std::size_t length : {0u, 1u, 2u, 3u}) {
        // Fewer than 4 bytes: no whole word, nothing changes.
        Bytes data(length, 0x5A);
        DataBlock block;
        ASSERT_TRUE(block.Allocate(static_cast<std::uint32_t>(length)));
        std::copy(data.begin(), data.end(), block.data());
        ASSERT_EQ(DecodeMember(kPackFlagScrambled, block), DecodeStatus::Ok);
        EXPECT_EQ(Out(block), data);
        EXPECT_EQ(block.data()[block.size()], 0);
    }
    // 7 bytes: one word (key (1 << 9) ^ 1 = 0x201) and 3 bytes as they are.
    DataBlock block;
    ASSERT_TRUE(block.Allocate(7));
    const Bytes stored = {0x01, 0x02, 0x00, 0x00, 0x61, 0x62, 0x63};
    std::copy(stored.begin(), stored.end(), block.data());
    ASSERT_EQ(DecodeMember(kPackFlagScrambled | 0xAB000000, block), DecodeStatus::Ok);
    EXPECT_EQ(Out(block), (Bytes{0x00, 0x00, 0x00, 0x00, 0x61, 0x62, 0x63}));
}

// ------------------------------------------------------------ recency decoder

TEST(Recency, LiteralsAndRanks) {
    // A, B literal (0 + 8 bits); A rank 2 (1 010); A rank 1 (1 1); C literal;
    // B rank 3 (1 011). Bits 001000001 001000010 1010 11 001000011 1011.
    const Bytes in = {0, 0, 0, 6, 0x20, 0x90, 0xAB, 0x21, 0xD8};
    DataBlock out;
    ASSERT_EQ(DecodeRecency(in, out), DecodeStatus::Ok);
    EXPECT_EQ(Out(out), Text("ABAACB"));
    EXPECT_EQ(out.data()[out.size()], 0);
}

TEST(Recency, TheSixteenthNewByteDropsTheOldest) {
    Bits bits;
    for (unsigned b = 0; b < 16; ++b) {
        bits.Put(0, 1);
        bits.Put(b, 8);
    }
    // Ranks now run 15 (rank 1) down to 1 (rank 15); 0 has left the list.
    bits.Put(1, 1);
    bits.Put(0b0001111, 7); // gamma 15
    DataBlock out;
    ASSERT_EQ(DecodeRecency(bits.Stream(17), out), DecodeStatus::Ok);
    Bytes expected;
    for (unsigned b = 0; b < 16; ++b)
        expected.push_back(static_cast<std::uint8_t>(b));
    expected.push_back(1);
    EXPECT_EQ(Out(out), expected);

    // Rank 16 would be the dropped 0: never in the list.
    Bits past = bits;
    past.Put(1, 1);
    past.Put(0b000010000, 9); // gamma 16
    DataBlock bad;
    EXPECT_EQ(DecodeRecency(past.Stream(18), bad), DecodeStatus::Corrupt);
}

TEST(Recency, DamagedStreams) {
    DataBlock out;
    EXPECT_EQ(DecodeRecency(Bytes{0, 0, 0}, out), DecodeStatus::Corrupt); // no header
    // Rank 2 with one byte in the list.
    Bits rank;
    rank.Put(0, 1);
    rank.Put('A', 8);
    rank.Put(0b1010, 4);
    EXPECT_EQ(DecodeRecency(rank.Stream(2), out), DecodeStatus::Corrupt);
    // A rank code into an empty list.
    EXPECT_EQ(DecodeRecency(Bytes{0, 0, 0, 1, 0xC0}, out), DecodeStatus::Corrupt);
    // The stream ends before the header's length.
    EXPECT_EQ(DecodeRecency(Bytes{0, 0, 0, 2, 0x20, 0x80}, out), DecodeStatus::Corrupt);
    // A length far beyond what the bits could hold is refused before any
    // memory is reserved.
    EXPECT_EQ(DecodeRecency(Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xC0}, out), DecodeStatus::Corrupt);
    EXPECT_EQ(DecodeRecency(Bytes{0, 0, 0, 0}, out), DecodeStatus::Ok);
    EXPECT_EQ(out.size(), 0u);
}

// ------------------------------------------------------------ range decoder

TEST(RangeCoder, AStreamThatEndsAtOnceGivesAnEmptyBlockOfTheHeaderLength) {
    // r = 0xFFFFFFFF / 257 = 0xFF00FF; code 0xFF00FF00 / r = 256, the end symbol.
    DataBlock out;
    ASSERT_EQ(DecodeRangeCoder(Bytes{0, 0, 0, 5, 0xFF, 0x00, 0xFF, 0x00}, out), DecodeStatus::Ok);
    EXPECT_EQ(Out(out), Bytes(5, 0));
    ASSERT_EQ(DecodeRangeCoder(Bytes{0, 0, 0, 0, 0xFF, 0x00, 0xFF, 0x00}, out), DecodeStatus::Ok);
    EXPECT_EQ(out.size(), 0u);
}

TEST(RangeCoder, OneSymbolThenTheEnd) {
    // 'A' (65): low = 65 * 0xFF00FF = 0x40BF40BF, range = 0xFF00FF, no
    // renormalisation. Then total 258, r = 0xFF00FF / 258 = 64774, and the end
    // symbol's interval starts at cum 257: code = low + 257 * 64774 = 0x41BD43C5.
    DataBlock out;
    ASSERT_EQ(DecodeRangeCoder(Bytes{0, 0, 0, 1, 0x41, 0xBD, 0x43, 0xC5}, out), DecodeStatus::Ok);
    EXPECT_EQ(Out(out), Text("A"));
    // One less falls into byte 255's interval at the second step: a second
    // symbol, more than the header allows.
    EXPECT_EQ(DecodeRangeCoder(Bytes{0, 0, 0, 1, 0x41, 0xBD, 0x43, 0xC4}, out),
              DecodeStatus::Corrupt);
}

TEST(RangeCoder, KnownAnswersThroughBothRenormalisationsAndTheRescale) {
    // Worked through the decoder's arithmetic step by step, apart from any
    // encoder. First step: r = 0xFFFFFFFF / 257 = 16711935, code 0xC4B7BEA9 /
    // r = 197, so byte 197. After the seventh symbol low lies just under a
    // multiple of 2^24 with a range too small to shift out: the second loop
    // sets range = (0x10000 - (low & 0xFFFF)) << 8, and the end symbol
    // follows. The stream runs two bytes past its end, which read as zero.
    DataBlock out;
    ASSERT_EQ(DecodeRangeCoder(Bytes{0, 0, 0, 7, 0xC4, 0xB7, 0xBE, 0xA9, 0x4E, 0xAC, 0xFF, 0xFF,
                                     0x4D, 0xBF, 0x2D, 0x03},
                               out),
              DecodeStatus::Ok);
    EXPECT_EQ(Out(out), (Bytes{197, 125, 113, 29, 69, 165, 157}));

    // 307 zero bytes keep code equal to low: byte 0 comes out 65,279 times,
    // and the total reaches 0x10000. Byte 0's frequency 65,280 becomes
    // (65,280 | 2) >> 1 = 32,641, every other one (1 | 2) >> 1 = 1: total
    // 32,897. Four more bytes then steer the decoder, under the halved model,
    // to byte 155 at 67,986, byte 62 at 68,106 and the end after 68,188
    // bytes; without the rescale, or with plain halving, the same stream is
    // damaged or runs on past its length.
    Bytes stream = {0x00, 0x01, 0x0A, 0x5C}; // 68,188
    stream.resize(4 + 307, 0);
    for (std::uint8_t b : {0xB6, 0x98, 0x33, 0x65})
        stream.push_back(b);
    ASSERT_EQ(DecodeRangeCoder(stream, out), DecodeStatus::Ok);
    Bytes expected(68188, 0);
    expected[67986] = 155;
    expected[68106] = 62;
    EXPECT_EQ(Out(out), expected);
}

TEST(RangeCoder, DamagedStreams) {
    DataBlock out;
    EXPECT_EQ(DecodeRangeCoder(Bytes{0, 0, 1}, out), DecodeStatus::Corrupt);
    // 0xFFFFFFFF / 0xFF00FF = 257: in no symbol's interval.
    EXPECT_EQ(DecodeRangeCoder(Bytes{0, 0, 0, 1, 0xFF, 0xFF, 0xFF, 0xFF}, out),
              DecodeStatus::Corrupt);
    // 'A' first but the header says no bytes: no end symbol within the length.
    EXPECT_EQ(DecodeRangeCoder(Bytes{0, 0, 0, 0, 0x41, 0xBD, 0x43, 0xC5}, out),
              DecodeStatus::Corrupt);
    // All zeros decode byte 0 over and over; the input runs out long before
    // an end symbol.
    Bytes zeros(64, 0);
    zeros[2] = 0x10;
    EXPECT_EQ(DecodeRangeCoder(zeros, out), DecodeStatus::Corrupt);
    // A length past the largest member is refused.
    EXPECT_EQ(DecodeRangeCoder(Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0xFF, 0x00}, out),
              DecodeStatus::Corrupt);
}

// ------------------------------------------------------------ LZSS

TEST(Lzss, MatchesReachIntoTheZeroedRing) {
    // Flags 0b0011: literal A, literal B, match (offset 0, 3 zeros), match
    // (offset 0xFEE = 4078, 5 bytes: A B and the zeros just written).
    const Bytes in = {0, 0, 0, 10, 0x03, 'A', 'B', 0x00, 0x00, 0xEE, 0xF2};
    DataBlock out;
    ASSERT_EQ(DecodeLzss(in, out), DecodeStatus::Ok);
    EXPECT_EQ(Out(out), (Bytes{'A', 'B', 0, 0, 0, 'A', 'B', 0, 0, 0}));
}

TEST(Lzss, AMatchCopiesWhatItJustWrote) {
    // Literal x at 4078, then a match from 4078 of 6: x repeated.
    const Bytes in = {0, 0, 0, 7, 0x01, 'x', 0xEE, 0xF3};
    DataBlock out;
    ASSERT_EQ(DecodeLzss(in, out), DecodeStatus::Ok);
    EXPECT_EQ(Out(out), Text("xxxxxxx"));
}

TEST(Lzss, TheWholeRingStartsClearedForEveryMember) {
    // The first member writes 18 bytes at 4078..4095.
    Bytes first = {0, 0, 0, 18, 0xFF};
    for (int i = 0; i < 8; ++i)
        first.push_back('q');
    first.push_back(0xFF);
    for (int i = 0; i < 8; ++i)
        first.push_back('q');
    first.push_back(0x03);
    first.push_back('q');
    first.push_back('q');
    DataBlock out;
    ASSERT_EQ(DecodeLzss(first, out), DecodeStatus::Ok);
    ASSERT_EQ(Out(out), Bytes(18, 'q'));
    // The second reads 4090..4092 before writing them: zeros, every time.
    const Bytes second = {0, 0, 0, 3, 0x00, 0xFA, 0xF0};
    ASSERT_EQ(DecodeLzss(second, out), DecodeStatus::Ok);
    EXPECT_EQ(Out(out), Bytes(3, 0));
}

TEST(Lzss, InputEndsBeforeTheLength) {
    // The input runs out after one literal (and halfway through a match's two
    // bytes): the rest of the block stays zero.
    DataBlock out;
    ASSERT_EQ(DecodeLzss(Bytes{0, 0, 0, 4, 0x01, 'A', 0x12}, out), DecodeStatus::Ok);
    EXPECT_EQ(Out(out), (Bytes{'A', 0, 0, 0}));
    ASSERT_EQ(DecodeLzss(Bytes{0, 0, 0, 2}, out), DecodeStatus::Ok);
    EXPECT_EQ(Out(out), Bytes(2, 0));
}

TEST(Lzss, DamagedStreams) {
    DataBlock out;
    EXPECT_EQ(DecodeLzss(Bytes{0, 0}, out), DecodeStatus::Corrupt);
    // A literal past the header's length.
    EXPECT_EQ(DecodeLzss(Bytes{0, 0, 0, 1, 0x03, 'A', 'B'}, out), DecodeStatus::Corrupt);
    // A match of 3 with room for 2.
    EXPECT_EQ(DecodeLzss(Bytes{0, 0, 0, 2, 0x00, 0x00, 0x00}, out), DecodeStatus::Corrupt);
    EXPECT_EQ(DecodeLzss(Bytes{0x7F, 0, 0, 0, 0x01, 'A'}, out), DecodeStatus::Corrupt);
}

// ------------------------------------------------------------ block sort

TEST(BlockSort, ShortString) {
    // Sorted rotations of "banana": abanan, anaban, ananab, banana, nabana,
    // nanaba. Last column "nnbaaa", the text itself in row 3.
    DataBlock out;
    ASSERT_EQ(DecodeBwt(Bytes{'n', 'n', 'b', 'a', 'a', 'a', 0, 0, 0, 3}, out), DecodeStatus::Ok);
    EXPECT_EQ(Out(out), Text("banana"));
    EXPECT_EQ(out.data()[out.size()], 0);
    // Row 0 is the rotation "abanan".
    ASSERT_EQ(DecodeBwt(Bytes{'n', 'n', 'b', 'a', 'a', 'a', 0, 0, 0, 0}, out), DecodeStatus::Ok);
    EXPECT_EQ(Out(out), Text("abanan"));
    ASSERT_EQ(DecodeBwt(Bytes{'z', 0, 0, 0, 0}, out), DecodeStatus::Ok);
    EXPECT_EQ(Out(out), Text("z"));
    ASSERT_EQ(DecodeBwt(Bytes{0, 0, 0, 0}, out), DecodeStatus::Ok);
    EXPECT_EQ(out.size(), 0u);
}

TEST(BlockSort, DamagedBlocks) {
    DataBlock out;
    EXPECT_EQ(DecodeBwt(Bytes{0, 0, 3}, out), DecodeStatus::Corrupt);
    EXPECT_EQ(DecodeBwt(Bytes{'n', 'n', 'b', 'a', 'a', 'a', 0, 0, 0, 6}, out),
              DecodeStatus::Corrupt);
    EXPECT_EQ(DecodeBwt(Bytes{'n', 'n', 'b', 'a', 'a', 'a', 0xFF, 0xFF, 0xFF, 0xFF}, out),
              DecodeStatus::Corrupt);
    Bytes big(kMaxBlockSortSize + 5, 'a');
    big[big.size() - 4] = 0;
    big[big.size() - 3] = 0;
    big[big.size() - 2] = 0;
    big[big.size() - 1] = 0;
    EXPECT_EQ(DecodeBwt(big, out), DecodeStatus::Corrupt);
    big.erase(big.begin());
    ASSERT_EQ(DecodeBwt(big, out), DecodeStatus::Ok); // exactly the largest block
    EXPECT_EQ(out.size(), kMaxBlockSortSize);
}

// ------------------------------------------------------------ the chain

TEST(DecodeMember, StagesRunInTheirFixedOrder) {
    // Recency first, then the range decoder takes its output: the recency
    // stream below yields the range-coded stream of "A".
    const Bytes ranged = {0, 0, 0, 1, 0x41, 0xBD, 0x43, 0xC5};
    Bits bits;
    for (std::uint8_t b : ranged) {
        bits.Put(0, 1);
        bits.Put(b, 8);
    }
    const Bytes stored = bits.Stream(static_cast<std::uint32_t>(ranged.size()));
    DataBlock block;
    ASSERT_TRUE(block.Allocate(static_cast<std::uint32_t>(stored.size())));
    std::copy(stored.begin(), stored.end(), block.data());
    ASSERT_EQ(DecodeMember(kPackFlagRecency | kPackFlagRange, block), DecodeStatus::Ok);
    EXPECT_EQ(Out(block), Text("A"));
    EXPECT_EQ(block.data()[block.size()], 0);

    // LZSS before the block sort: LZSS yields "nnbaaa" + index 3.
    const Bytes lzss = {0, 0, 0, 10, 0xFF, 'n', 'n', 'b', 'a', 'a', 'a', 0, 0, 0x03, 0, 3};
    ASSERT_TRUE(block.Allocate(static_cast<std::uint32_t>(lzss.size())));
    std::copy(lzss.begin(), lzss.end(), block.data());
    ASSERT_EQ(DecodeMember(kPackFlagBlockSort | kPackFlagLzss, block), DecodeStatus::Ok);
    EXPECT_EQ(Out(block), Text("banana"));
}

TEST(DecodeMember, BitsThatNameNoStageAndTheTopBitsSelectNothing) {
    for (std::uint32_t flags : {0x4u, 0x400u, 0x800000u, 0x20000u, 0xFF000000u}) {
        DataBlock block;
        ASSERT_TRUE(block.Allocate(3));
        std::copy_n("abc", 3, block.data());
        EXPECT_EQ(DecodeMember(flags, block), DecodeStatus::Ok) << std::hex << flags;
        EXPECT_EQ(Out(block), Text("abc")) << std::hex << flags;
    }
    // Beside an unknown bit the unscrambling still runs: n = 1, key =
    // (1 << 9) ^ 1 = 0x201, so the stored word 0x64636060 ("``cd") is "abcd".
    DataBlock block;
    ASSERT_TRUE(block.Allocate(4));
    std::copy_n("``cd", 4, block.data());
    EXPECT_EQ(DecodeMember(kPackFlagScrambled | 0x4u, block), DecodeStatus::Ok);
    EXPECT_EQ(Out(block), Text("abcd"));
}

} // namespace
