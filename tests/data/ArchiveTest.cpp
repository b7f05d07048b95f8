// Finding and loading data files: loose files, archives on the way up, every
// flag combination through the writer and back, and damaged archives.
#include "TestSupport.h"
#include "data/DataPath.h"
#include "data/PackFile.h"
#include "lib/PackWriter.h"

#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

namespace fs = std::filesystem;
using testing_support::ReadFile;
using testing_support::WriteFile;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes Text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

Bytes Loaded(const CPackFile& f) {
    return Bytes(f.GetBuffer(), f.GetBuffer() + f.GetSize());
}

void Put32(Bytes& bytes, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::size_t EntryAt(std::size_t index) {
    return packwriter::kHeaderSize + packwriter::kEntrySize * index;
}

Bytes Archive(const std::vector<packwriter::PackMember>& members) {
    Bytes bytes;
    std::string error;
    EXPECT_TRUE(packwriter::BuildArchive(members, bytes, &error)) << error;
    return bytes;
}

enum class Kind { Text, Random, Constant };

Bytes Sample(std::size_t size, Kind kind) {
    static const char* const kWords[] = {"the ",   "rain ",      "falls ", "on ",      "a ",
                                         "quiet ", "street\r\n", "and ",   "\x82\xA0", "snow "};
    Bytes out;
    out.reserve(size);
    std::uint32_t s = 12345;
    const auto next = [&s] {
        s = s * 1103515245u + 12345u;
        return s >> 16;
    };
    while (out.size() < size) {
        switch (kind) {
        case Kind::Text:
            for (const char* w = kWords[next() % 10]; *w && out.size() < size; ++w)
                out.push_back(static_cast<std::uint8_t>(*w));
            break;
        case Kind::Random:
            out.push_back(static_cast<std::uint8_t>(next()));
            break;
        case Kind::Constant:
            out.push_back(0x41);
            break;
        }
    }
    return out;
}

// Every combination of the five stage bits.
std::vector<std::uint32_t> AllFlagCombinations() {
    static const std::uint32_t kBits[] = {kPackFlagScrambled, kPackFlagRecency, kPackFlagRange,
                                          kPackFlagLzss, kPackFlagBlockSort};
    std::vector<std::uint32_t> all;
    for (unsigned mask = 0; mask < 32; ++mask) {
        std::uint32_t flags = 0;
        for (unsigned b = 0; b < 5; ++b)
            if (mask & (1u << b)) flags |= kBits[b];
        all.push_back(flags);
    }
    return all;
}

// A game folder "game" in the test's temporary folder; bare names are looked
// up in game/bmp as the picture loader does.
class ArchiveTest : public testing_support::HeadlessTest {
protected:
    void SetUp() override {
        cwd_ = platform::CurrentDirectory();
        fs::create_directories("game");
        SetBaseDir(cwd_ + "/game\\bmp\\");
    }
    void TearDown() override { g_baseDir.clear(); }

    int Load(const std::string& name) { return file_.LoadEntry(name); }
    void ExpectClosed() {
        EXPECT_EQ(file_.GetBuffer(), nullptr);
        EXPECT_EQ(file_.GetSize(), 0u);
        EXPECT_EQ(file_.GetFullName(), "");
    }

    std::string cwd_;
    CPackFile file_;
};

// ------------------------------------------------------------ lookup

TEST_F(ArchiveTest, LooseFileBeatsArchive) {
    WriteFile("game/bmp/x.bmp", Text("loose"));
    WriteFile("game/bmp.dat", Archive({{"x.bmp", Text("packed"), 0}}));
    ASSERT_EQ(Load("x.bmp"), kPackOk);
    EXPECT_EQ(Loaded(file_), Text("loose"));
    EXPECT_EQ(file_.GetBuffer()[file_.GetSize()], 0);
}

TEST_F(ArchiveTest, ArchiveBesideTheFolder) {
    WriteFile("game/bmp.dat", Archive({{"a.bmp", Text("first"), 0}, {"x.bmp", Text("packed"), 0}}));
    ASSERT_EQ(Load("x.bmp"), kPackOk);
    EXPECT_EQ(Loaded(file_), Text("packed"));
    EXPECT_EQ(file_.GetFullName(), "x.bmp");
}

TEST_F(ArchiveTest, MemberInTheArchiveOneFolderHigher) {
    // No game/bmp.dat: game.dat beside the game folder holds BMP\X.BMP.
    WriteFile("game.dat", Archive({{"BMP\\X.BMP", Text("higher"), kPackFlagLzss}}));
    ASSERT_EQ(Load("x.bmp"), kPackOk);
    EXPECT_EQ(Loaded(file_), Text("higher"));
}

TEST_F(ArchiveTest, WalksUpNativeFoldersToTheArchiveBesideTheTestFolder) {
    // Two levels above game/bmp: <temporary folder>.dat, beside the test's
    // own folder, holds game\bmp\deep.bmp.
    const fs::path beside = fs::path(cwd_).string() + ".dat";
    WriteFile(beside, Archive({{"GAME\\BMP\\DEEP.BMP", Text("deep"), kPackFlagRange}}));
    const int code = Load("deep.bmp");
    const Bytes loaded = code == kPackOk ? Loaded(file_) : Bytes{};
    fs::remove(beside);
    ASSERT_EQ(code, kPackOk);
    EXPECT_EQ(loaded, Text("deep"));
}

TEST_F(ArchiveTest, NearerArchiveBeatsHigherOne) {
    WriteFile("game.dat", Archive({{"bmp\\x.bmp", Text("higher"), 0}}));
    WriteFile("game/bmp.dat", Archive({{"x.bmp", Text("nearer"), 0}}));
    ASSERT_EQ(Load("x.bmp"), kPackOk);
    EXPECT_EQ(Loaded(file_), Text("nearer"));
}

TEST_F(ArchiveTest, LetterCaseNeverMatters) {
    WriteFile("game/BMP.DAT", Archive({{"Pic.Bmp", Text("mixed"), 0}}));
    ASSERT_EQ(Load("pIC.bmP"), kPackOk);
    EXPECT_EQ(Loaded(file_), Text("mixed"));
    // Loose files and folders too.
    WriteFile("game/Chara/Face.BMP", Text("face"));
    SetBaseDir(cwd_ + "/game\\chara\\");
    ASSERT_EQ(Load("FACE.bmp"), kPackOk);
    EXPECT_EQ(Loaded(file_), Text("face"));
}

TEST_F(ArchiveTest, BadMagicIsPassedOver) {
    Bytes bad = Archive({{"x.bmp", Text("bad"), 0}});
    bad[7] = '_';
    WriteFile("game/bmp.dat", bad);
    WriteFile("game.dat", Archive({{"bmp\\x.bmp", Text("good"), 0}}));
    ASSERT_EQ(Load("x.bmp"), kPackOk);
    EXPECT_EQ(Loaded(file_), Text("good"));
}

TEST_F(ArchiveTest, AFolderNamedLikeAnArchiveIsPassedOver) {
    fs::create_directories("game/bmp.dat");
    WriteFile("game.dat", Archive({{"bmp\\x.bmp", Text("good"), 0}}));
    ASSERT_EQ(Load("x.bmp"), kPackOk);
    EXPECT_EQ(Loaded(file_), Text("good"));
}

TEST_F(ArchiveTest, NotFoundAnywhereOnTheWayUp) {
    WriteFile("game/bmp.dat", Archive({{"y.bmp", Text("y"), 0}}));
    EXPECT_EQ(Load("x.bmp"), kPackNotFound);
    ExpectClosed();
    // A folder is no loose file.
    fs::create_directories("game/bmp/sub");
    EXPECT_EQ(Load("sub"), kPackNotFound);
    // The walk ends at the root of a \\server\share name without looping.
    EXPECT_EQ(Load("\\\\nowhere\\share\\a\\b.bmp"), kPackNotFound);
    EXPECT_EQ(Load(""), kPackEmptyName);
}

TEST_F(ArchiveTest, RelativeNamesAreWorkedOffTheBaseFolder) {
    WriteFile("game/chara.dat", Archive({{"f.bmp", Text("chara"), 0}}));
    ASSERT_EQ(Load("..\\chara\\f.bmp"), kPackOk);
    EXPECT_EQ(Loaded(file_), Text("chara"));
    ASSERT_EQ(Load("./../CHARA/F.BMP"), kPackOk);
    EXPECT_EQ(Loaded(file_), Text("chara"));
}

TEST_F(ArchiveTest, FindArchiveMemberStandsAtTheMembersFirstByte) {
    const Bytes voice = Sample(5000, Kind::Random);
    WriteFile("game/voice.dat",
              Archive({{"a.ogg", Text("other"), 0}, {"v.ogg", voice, 0}, {"z.ogg", Text("z"), 0}}));
    SetBaseDir(cwd_ + "/game\\voice\\");
    ArchiveEntry entry;
    FileHandle f = FindArchiveMember("V.OGG", entry);
    ASSERT_TRUE(f);
    EXPECT_EQ(std::string(entry.name), "v.ogg");
    EXPECT_EQ(entry.flags, 0u);
    EXPECT_EQ(entry.storedSize, voice.size());
    EXPECT_EQ(entry.allocSize, voice.size());
    EXPECT_EQ(static_cast<std::uint32_t>(std::ftell(f.get())), entry.offset);
    Bytes read(entry.storedSize);
    ASSERT_EQ(std::fread(read.data(), 1, read.size(), f.get()), read.size());
    EXPECT_EQ(read, voice);

    // A loose file: offset 0, both sizes the file's.
    WriteFile("game/voice/w.ogg", Text("loose"));
    f = FindArchiveMember("w.ogg", entry);
    ASSERT_TRUE(f);
    EXPECT_EQ(entry.offset, 0u);
    EXPECT_EQ(entry.storedSize, 5u);
    EXPECT_EQ(entry.allocSize, 5u);
    EXPECT_FALSE(FindArchiveMember("", entry));
    EXPECT_FALSE(FindArchiveMember("missing.ogg", entry));
}

// ------------------------------------------------------------ reading

TEST_F(ArchiveTest, SeekRules) {
    WriteFile("game/bmp/three", Text("abc"));
    ASSERT_EQ(Load("three"), kPackOk);
    EXPECT_EQ(file_.Seek(2, 0), 2u);
    EXPECT_EQ(file_.Seek(0, 0), 2u);  // 0 leaves the position
    EXPECT_EQ(file_.Seek(-1, 0), 2u); // so does a negative offset
    EXPECT_EQ(file_.Seek(5, 0), 3u);  // clamped to the size
    EXPECT_EQ(file_.Seek(1, 0), 1u);
    EXPECT_EQ(file_.Seek(1, 1), 2u);
    EXPECT_EQ(file_.Seek(-2, 1), 2u); // not greater than 2: stays
    EXPECT_EQ(file_.Seek(1, 1), 3u);
    EXPECT_EQ(file_.Seek(-2, 1), 1u);
    EXPECT_EQ(file_.Seek(100, 1), 3u);
    EXPECT_EQ(file_.Seek(0x7FFFFFFF, 1), 3u);
    EXPECT_EQ(file_.Seek(-3, 2), 3u); // from the position, not the end: stays
    EXPECT_EQ(file_.Seek(-1, 2), 2u);
    EXPECT_EQ(file_.Seek(5, 2), 2u);  // a positive offset does nothing
    EXPECT_EQ(file_.Seek(-1, 3), 2u); // unknown origin
    EXPECT_EQ(file_.Seek(INT32_MIN, 1), 2u);
}

TEST_F(ArchiveTest, ReadRules) {
    WriteFile("game/bmp/five", Text("hello"));
    ASSERT_EQ(Load("five"), kPackOk);
    char buf[8] = {};
    std::uint32_t got = 99;
    EXPECT_EQ(file_.Read(buf, 3, &got), 1);
    EXPECT_EQ(got, 3u);
    EXPECT_EQ(std::string(buf, 3), "hel");
    EXPECT_EQ(file_.Read(buf, 8, &got), 1);
    EXPECT_EQ(got, 2u);
    EXPECT_EQ(std::string(buf, 2), "lo");
    // At the end: nothing copied, 0 reported, still 1.
    buf[0] = 'X';
    EXPECT_EQ(file_.Read(buf, 4, &got), 1);
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(buf[0], 'X');
    EXPECT_EQ(file_.Read(buf, 4, nullptr), 1);
    // A null destination changes nothing.
    file_.Seek(1, 0);
    got = 77;
    EXPECT_EQ(file_.Read(nullptr, 4, &got), 0);
    EXPECT_EQ(got, 77u);
    EXPECT_EQ(file_.Seek(0, 1), 1u);
}

TEST_F(ArchiveTest, NamesOfTheOpenFileAndClose) {
    WriteFile("game/bmp/Pic.Final.BMP", Text("p"));
    ASSERT_EQ(file_.Open("./Pic.Final.BMP"), kPackOk);
    EXPECT_EQ(file_.GetFullName(), "./Pic.Final.BMP");
    EXPECT_EQ(file_.GetFileName(), "Pic.Final.BMP");
    EXPECT_EQ(file_.GetExtension(), "BMP");
    file_.Close();
    ExpectClosed();
    EXPECT_EQ(file_.Seek(1, 0), 0u);
}

TEST_F(ArchiveTest, AnUnflaggedMemberIsItsAllocationSizeLong) {
    // Stored 3 of an allocation of 6: the rest is zero, then the terminator.
    Bytes bytes = Archive({{"a", Text("abc"), 0}});
    Put32(bytes, EntryAt(0) + 40, 6);
    bytes.resize(bytes.size() + 3, 0xEE); // the archive must hold 6 bytes
    WriteFile("game/bmp.dat", bytes);
    ASSERT_EQ(Load("a"), kPackOk);
    EXPECT_EQ(Loaded(file_), (Bytes{'a', 'b', 'c', 0, 0, 0}));
    EXPECT_EQ(file_.GetBuffer()[6], 0);
}

// ------------------------------------------------------------ round trips

class RoundTrip : public ArchiveTest,
                  public ::testing::WithParamInterface<std::tuple<std::size_t, Kind>> {};

TEST_P(RoundTrip, EveryFlagCombinationLoadsBackByteForByte) {
    const auto [size, kind] = GetParam();
    const Bytes data = Sample(size, kind);
    std::vector<packwriter::PackMember> members;
    for (std::uint32_t flags : AllFlagCombinations())
        members.push_back({"m" + std::to_string(flags) + ".bin", data, flags});
    WriteFile("game/bmp.dat", Archive(members));
    for (const auto& m : members) {
        ASSERT_EQ(Load(m.name), kPackOk) << "flags 0x" << std::hex << m.flags;
        ASSERT_EQ(file_.GetSize(), data.size()) << "flags 0x" << std::hex << m.flags;
        EXPECT_TRUE(std::equal(data.begin(), data.end(), file_.GetBuffer()))
            << "flags 0x" << std::hex << m.flags;
        EXPECT_EQ(file_.GetBuffer()[file_.GetSize()], 0) << "flags 0x" << std::hex << m.flags;
    }
}

std::string RoundTripName(const ::testing::TestParamInfo<std::tuple<std::size_t, Kind>>& info) {
    static const char* const kNames[] = {"Text", "Random", "Constant"};
    return std::to_string(std::get<0>(info.param)) + "Bytes" +
           kNames[static_cast<int>(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, RoundTrip,
    ::testing::Combine(::testing::Values(0, 1, 3, 4, 4095, 4096, 70000, 300000),
                       ::testing::Values(Kind::Text, Kind::Random, Kind::Constant)),
    RoundTripName);

TEST(Encoders, CompressWhatTheyShould) {
    // Not a format rule, but a coder that silently stops working would still
    // round-trip: compressible data has to get smaller.
    const Bytes text = Sample(70000, Kind::Text);
    std::vector<std::uint8_t> out;
    ASSERT_TRUE(packwriter::EncodeMember(text, kPackFlagLzss, out));
    EXPECT_LT(out.size(), text.size() / 3);
    ASSERT_TRUE(packwriter::EncodeMember(text, kPackFlagRange, out));
    EXPECT_LT(out.size(), text.size() * 6 / 10);
    ASSERT_TRUE(packwriter::EncodeMember(Sample(70000, Kind::Constant), kPackFlagRecency, out));
    EXPECT_LT(out.size(), 70000u / 3);
    ASSERT_TRUE(
        packwriter::EncodeMember(text, kPackFlagBlockSort | kPackFlagLzss | kPackFlagRange, out));
    EXPECT_LT(out.size(), text.size() / 4);
    EXPECT_FALSE(packwriter::EncodeMember(text, 0x4, out));
}

TEST(Encoders, WriterRefusesWhatTheFormatCannotHold) {
    Bytes out;
    EXPECT_FALSE(packwriter::BuildArchive({}, out));
    const std::vector<packwriter::PackMember> longName = {{std::string(32, 'a'), {}, 0}};
    EXPECT_FALSE(packwriter::BuildArchive(longName, out));
    const std::vector<packwriter::PackMember> noName = {{"", {}, 0}};
    EXPECT_FALSE(packwriter::BuildArchive(noName, out));
    const std::vector<packwriter::PackMember> tooBig = {
        {"big", Bytes(kMaxBlockSortSize + 1), kPackFlagBlockSort}};
    EXPECT_FALSE(packwriter::BuildArchive(tooBig, out));
    const std::vector<packwriter::PackMember> longest = {{std::string(31, 'a'), {}, 0}};
    EXPECT_TRUE(packwriter::BuildArchive(longest, out));
}

// ------------------------------------------------------------ damaged archives

class DamagedArchive : public ArchiveTest {
protected:
    // game/bmp.dat with "x.bmp" (LZSS-coded text) and "y.bmp", patched by the test.
    Bytes Good() {
        return Archive(
            {{"x.bmp", Sample(3000, Kind::Text), kPackFlagLzss}, {"y.bmp", Text("why"), 0}});
    }
    void Write(const Bytes& bytes) { WriteFile("game/bmp.dat", bytes); }
    void ExpectLoad(const std::string& name, int code) {
        EXPECT_EQ(Load(name), code) << name;
        if (code != kPackOk) ExpectClosed();
    }
};

TEST_F(DamagedArchive, ZeroAndNegativeCounts) {
    for (std::uint32_t count : {0u, 0xFFFFFFFFu, 0x80000000u}) {
        Bytes bytes = Good();
        Put32(bytes, 12, count);
        Write(bytes);
        ExpectLoad("y.bmp", kPackNotFound);
    }
}

TEST_F(DamagedArchive, HugeCountReadsOnlyWhatIsThere) {
    Bytes bytes = Good();
    Put32(bytes, 12, 0x7FFFFFFF);
    Write(bytes);
    // Entries before the end of the file are still found; the search stops
    // at the end of the file.
    ExpectLoad("y.bmp", kPackOk);
    EXPECT_EQ(Loaded(file_), Text("why"));
    ExpectLoad("z.bmp", kPackNotFound);
}

TEST_F(DamagedArchive, TruncatedEntryTable) {
    Bytes bytes = Good();
    bytes.resize(EntryAt(1) + 20);
    Write(bytes);
    ExpectLoad("y.bmp", kPackNotFound);
    bytes.resize(10); // not even a whole header
    Write(bytes);
    ExpectLoad("x.bmp", kPackNotFound);
}

TEST_F(DamagedArchive, OffsetPastTheFile) {
    Bytes bytes = Good();
    Put32(bytes, EntryAt(1) + 32, static_cast<std::uint32_t>(bytes.size() + 1));
    Write(bytes);
    ExpectLoad("y.bmp", kPackCorrupt);
    ArchiveEntry entry;
    EXPECT_FALSE(FindArchiveMember("y.bmp", entry));
}

TEST_F(DamagedArchive, StoredBytesPastTheFile) {
    Bytes bytes = Good();
    Put32(bytes, EntryAt(1) + 40, 4);
    Put32(bytes, EntryAt(1) + 44, 4); // the last member is 3 bytes long
    Write(bytes);
    ExpectLoad("y.bmp", kPackCorrupt);
    // An offset and a size that pass the end only by wrapping around.
    bytes = Good();
    Put32(bytes, EntryAt(1) + 32, 0xFFFFFFF0u);
    Put32(bytes, EntryAt(1) + 40, 0x20);
    Put32(bytes, EntryAt(1) + 44, 0x20);
    Write(bytes);
    ExpectLoad("y.bmp", kPackCorrupt);
}

TEST_F(DamagedArchive, StoredSizeAboveAllocationSize) {
    Bytes bytes = Good();
    Put32(bytes, EntryAt(1) + 40, 2);
    Write(bytes);
    ExpectLoad("y.bmp", kPackCorrupt);
}

TEST_F(DamagedArchive, AllocationSizeAllOnes) {
    Bytes bytes = Good();
    Put32(bytes, EntryAt(1) + 40, 0xFFFFFFFFu);
    Write(bytes);
    ExpectLoad("y.bmp", kPackBadSize);
}

TEST_F(DamagedArchive, PlainAllocationSizePastTheFileSendsTheLookupHigher) {
    // The entry cannot be read from its archive, so it counts as absent
    // there: the name is looked for in the archives further up.
    Bytes bytes = Good();
    Put32(bytes, EntryAt(1) + 40, 0x7FFFFFF0u);
    Write(bytes);
    ExpectLoad("y.bmp", kPackNotFound);
    ArchiveEntry entry;
    EXPECT_FALSE(FindArchiveMember("y.bmp", entry));
    WriteFile("game.dat", Archive({{"bmp\\y.bmp", Text("higher"), 0}}));
    ExpectLoad("y.bmp", kPackOk);
    EXPECT_EQ(Loaded(file_), Text("higher"));
    FileHandle f = FindArchiveMember("y.bmp", entry);
    ASSERT_TRUE(f);
    EXPECT_EQ(entry.storedSize, 6u);
    // A reader handed the damaged entry itself still refuses it.
    entry.allocSize = 0x7FFFFFF0u;
    entry.flags = 0;
    DataBlock out;
    EXPECT_EQ(ReadArchiveMember(f.get(), 100, entry, out), kPackCorrupt);
}

TEST_F(DamagedArchive, CodedAllocationSizeIsOnlyAnUpperBound) {
    // A coded member reserves what it decodes to, not its allocation size.
    Bytes bytes = Good();
    Put32(bytes, EntryAt(0) + 40, 0x7FFFFFF0u);
    Write(bytes);
    ExpectLoad("x.bmp", kPackOk);
    EXPECT_EQ(Loaded(file_), Sample(3000, Kind::Text));
}

TEST_F(DamagedArchive, FlagBitsThatNameNoStageSelectNothing) {
    // Only the stages whose own bits are set run: with none of them the
    // member is its stored bytes; beside a stage bit the stage still runs.
    const Bytes plain = Text("why");
    for (std::uint32_t flags : {0x4u, 0x400u, 0x800000u, 0x20000u}) {
        Bytes bytes = Archive({{"x.bmp", plain, 0}});
        Put32(bytes, EntryAt(0) + 36, flags);
        Write(bytes);
        ExpectLoad("x.bmp", kPackOk);
        EXPECT_EQ(Loaded(file_), plain) << std::hex << flags;
    }
    Bytes bytes = Good();
    Put32(bytes, EntryAt(0) + 36, kPackFlagLzss | 0x1000u | 0x400000u);
    Write(bytes);
    ExpectLoad("x.bmp", kPackOk);
    EXPECT_EQ(Loaded(file_), Sample(3000, Kind::Text));
    // The top 8 bits are not looked at.
    bytes = Good();
    Put32(bytes, EntryAt(0) + 36, 0xFF000000u | kPackFlagLzss);
    Write(bytes);
    ExpectLoad("x.bmp", kPackOk);
    EXPECT_EQ(Loaded(file_), Sample(3000, Kind::Text));
}

TEST_F(DamagedArchive, GarbageCodedStreams) {
    // The same stored bytes under each coding flag, announcing 1 byte. As a
    // recency stream it starts with a rank into the empty list; as a range
    // stream its code lies in no symbol's interval; as an LZSS stream its
    // literals pass the header's length; as a block its index is out of range.
    const Bytes garbage = {0x00, 0x00, 0x00, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    for (std::uint32_t flags :
         {kPackFlagRecency, kPackFlagRange, kPackFlagLzss, kPackFlagBlockSort}) {
        Bytes bytes = Archive({{"g.bmp", {}, 0}});
        Put32(bytes, EntryAt(0) + 36, flags);
        Put32(bytes, EntryAt(0) + 40, static_cast<std::uint32_t>(garbage.size()));
        Put32(bytes, EntryAt(0) + 44, static_cast<std::uint32_t>(garbage.size()));
        bytes.insert(bytes.end(), garbage.begin(), garbage.end());
        Write(bytes);
        EXPECT_EQ(Load("g.bmp"), kPackCorrupt) << std::hex << flags;
        ExpectClosed();
    }
}

TEST_F(DamagedArchive, CorruptMemberLeavesAnEarlierLoadClosed) {
    WriteFile("game/bmp/ok.bmp", Text("fine"));
    ASSERT_EQ(Load("ok.bmp"), kPackOk);
    Bytes bytes = Good();
    Put32(bytes, EntryAt(1) + 40, 2);
    Write(bytes);
    EXPECT_EQ(Load("y.bmp"), kPackCorrupt);
    ExpectClosed();
}

TEST_F(DamagedArchive, NamesAreReadWithinTheir32Bytes) {
    Bytes bytes = Good();
    std::memset(bytes.data() + EntryAt(1), 'n', 32); // no zero byte in the name field
    Write(bytes);
    ExpectLoad(std::string(32, 'n'), kPackOk);
    EXPECT_EQ(Loaded(file_), Text("why"));
    ExpectLoad(std::string(33, 'n'), kPackNotFound);
    ExpectLoad(std::string(31, 'n'), kPackNotFound);
}

// ------------------------------------------------------------ the packdat tool

class PackdatTool : public testing_support::HeadlessTest {
protected:
    static std::string Tool() {
        return std::string(NORVANE_TEST_BIN_DIR) + "/../tools/packdat/packdat";
    }
    static int Run(const std::string& args) {
        const int status = std::system((Tool() + " " + args + " >out.txt 2>err.txt").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

TEST_F(PackdatTool, PacksListsAndExtractsAFolder) {
    ASSERT_TRUE(fs::exists(Tool())) << Tool();
    WriteFile("src/a.txt", Sample(5000, Kind::Text));
    WriteFile("src/sub/b.bin", Sample(3000, Kind::Random));
    WriteFile("src/v.OGG", Text("OggS stream"));
    ASSERT_EQ(Run("pack --flags 10303 src out.dat"), 0);
    ASSERT_EQ(Run("list out.dat"), 0);
    const std::string listing = [] {
        Bytes b = ReadFile("out.txt");
        return std::string(b.begin(), b.end());
    }();
    EXPECT_NE(listing.find("a.txt\t"), std::string::npos) << listing;
    EXPECT_NE(listing.find("sub\\b.bin\t"), std::string::npos) << listing;
    EXPECT_NE(listing.find("\t0x10303\t"), std::string::npos) << listing;
    // A sound is streamed in place, so it is stored without flags.
    EXPECT_NE(listing.find("v.OGG\t"), std::string::npos) << listing;
    EXPECT_NE(listing.find("\t0x0\t11\t11\n"), std::string::npos) << listing;

    ASSERT_EQ(Run("extract out.dat back"), 0);
    EXPECT_EQ(ReadFile("back/a.txt"), Sample(5000, Kind::Text));
    EXPECT_EQ(ReadFile("back/sub/b.bin"), Sample(3000, Kind::Random));
    EXPECT_EQ(ReadFile("back/v.OGG"), Text("OggS stream"));
}

TEST_F(PackdatTool, ExtractStopsWithTheResultCodeOfADamagedMember) {
    Bytes bytes = Archive({{"a", Text("aaa"), 0}, {"b", Text("bbb"), 0}});
    Put32(bytes, EntryAt(1) + 40, 2); // stored above allocation
    WriteFile("bad.dat", bytes);
    EXPECT_EQ(Run("extract bad.dat back"), kPackCorrupt);
    bytes = Archive({{"..\\up", Text("x"), 0}});
    WriteFile("escape.dat", bytes);
    EXPECT_NE(Run("extract escape.dat back"), 0);
    EXPECT_FALSE(fs::exists("up"));
    EXPECT_NE(Run("list missing.dat"), 0);
}

TEST_F(PackdatTool, FileListForm) {
    WriteFile("one.bmp", Text("1"));
    WriteFile("dir/two.bmp", Text("22"));
    ASSERT_EQ(Run("bmp.dat --flags 200 one.bmp dir/two.bmp"), 0);
    SetBaseDir(platform::CurrentDirectory() + "/bmp/");
    CPackFile f;
    ASSERT_EQ(f.LoadEntry("two.bmp"), kPackOk);
    EXPECT_EQ(Loaded(f), Text("22"));
    g_baseDir.clear();
}

} // namespace
