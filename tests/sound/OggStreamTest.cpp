// The Ogg reader over loose files and member windows, and the damaged files
// it has to turn away or play as far as they go.
#include "lib/OggWriter.h"
#include "sound/OggStream.h"
#include "TestSupport.h"

#include <vorbis/vorbisfile.h>

#include <cstdio>

using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

// The whole file decoded by libvorbisfile straight from disk, past holes: what
// the reader must give whatever window it reads through. `holes` counts them.
std::vector<std::uint8_t> DecodeDirect(const std::string& path, int* holes = nullptr) {
    OggVorbis_File vf;
    std::vector<std::uint8_t> pcm;
    if (ov_fopen(path.c_str(), &vf) != 0) return pcm;
    char buf[4096];
    int bs = 0;
    for (long r; (r = ov_read(&vf, buf, sizeof buf, 0, 2, 1, &bs)) != 0;) {
        if (r > 0) pcm.insert(pcm.end(), buf, buf + r);
        else if (r == OV_HOLE && holes) ++*holes;
        else if (r < 0) break;
    }
    ov_clear(&vf);
    return pcm;
}

std::vector<std::uint8_t> ReadAll(COggStream& s) {
    std::vector<std::uint8_t> pcm;
    std::vector<std::uint8_t> chunk(10000);
    while (!s.IsEnd()) {
        std::uint32_t got = 0;
        EXPECT_TRUE(s.Read(chunk.data(), static_cast<std::uint32_t>(chunk.size()), &got));
        pcm.insert(pcm.end(), chunk.begin(), chunk.begin() + got);
    }
    return pcm;
}

tools::ToneSpec Tone(std::uint32_t samples, std::uint16_t channels = 1, std::uint32_t rate = 44100,
                     double frequency = 440) {
    tools::ToneSpec t;
    t.samples = samples;
    t.channels = channels;
    t.rate = rate;
    t.frequency = frequency;
    return t;
}

class OggStreamTest : public testing_support::HeadlessTest {};

TEST_F(OggStreamTest, LooseFileGivesItsFormatLengthAndSamples) {
    ASSERT_TRUE(tools::WriteOggTone("a.ogg", Tone(1000, 2, 22050)));
    COggStream s;
    EXPECT_FALSE(s.IsOpen());
    ASSERT_TRUE(s.Open("a.ogg"));
    EXPECT_TRUE(s.IsOpen());
    EXPECT_FALSE(s.Open("a.ogg"));  // already open
    platform::PcmFormat f;
    s.GetFormat(f);
    EXPECT_EQ(f.channels, 2);
    EXPECT_EQ(f.rate, 22050u);
    EXPECT_EQ(f.bytesPerSecond, 22050u * 4);
    EXPECT_EQ(f.blockAlign, 4);
    EXPECT_EQ(f.bitsPerSample, 16);
    EXPECT_EQ(s.GetTotalSamples(), 1000u);
    EXPECT_EQ(s.GetLoopStart(), 0u);
    EXPECT_EQ(s.GetLoopEnd(), 1000u);
    EXPECT_NEAR(s.GetTotalSeconds(), 1000.0 / 22050, 1e-9);
    EXPECT_FALSE(s.IsEnd());

    const auto pcm = ReadAll(s);
    EXPECT_EQ(pcm.size(), 4000u);
    EXPECT_EQ(pcm, DecodeDirect("a.ogg"));
    EXPECT_EQ(s.Tell(), 1000u);

    // Back to the start: the end flag clears and the same samples come again.
    ASSERT_TRUE(s.Seek(0));
    EXPECT_FALSE(s.IsEnd());
    EXPECT_EQ(s.Tell(), 0u);
    EXPECT_EQ(ReadAll(s), pcm);

    s.Close();
    EXPECT_FALSE(s.IsOpen());
    EXPECT_EQ(s.Tell(), 0u);
    EXPECT_EQ(s.GetTotalSeconds(), 0.0);
    std::uint32_t got = 7;
    char b[4];
    EXPECT_FALSE(s.Read(b, 4, &got));
    EXPECT_FALSE(s.Seek(0));
}

TEST_F(OggStreamTest, LongMeansMoreThanOneSecondAtFullRateAndLoopCountsBelowMinusOneAreRefused) {
    ASSERT_TRUE(tools::WriteOggTone("exact.ogg", Tone(44100)));
    ASSERT_TRUE(tools::WriteOggTone("over.ogg", Tone(44101)));
    COggStream exact, over;
    ASSERT_TRUE(exact.Open("exact.ogg"));
    ASSERT_TRUE(over.Open("over.ogg"));
    EXPECT_FALSE(exact.IsLong());
    EXPECT_TRUE(over.IsLong());

    EXPECT_TRUE(exact.SetLoopCount(3));
    EXPECT_FALSE(exact.SetLoopCount(-2));
    EXPECT_EQ(exact.GetLoopCount(), 3);
    EXPECT_TRUE(exact.SetLoopCount(-1));
    EXPECT_EQ(exact.GetLoopCount(), -1);
}

TEST_F(OggStreamTest, MemberWindowIsReadAloneThoughOtherStreamsLieAroundIt) {
    // The member sits between two other Ogg streams. Reading or seeking past
    // either end of the window would find them: as a chained second link, as
    // a wrong last page, or as a wrong length.
    const auto before = tools::MakeOggTone(Tone(3000, 1, 44100, 880));
    const auto member = tools::MakeOggTone(Tone(5000, 1, 44100, 440));
    const auto after = tools::MakeOggTone(Tone(7000, 1, 44100, 220));
    std::vector<std::uint8_t> archive(before);
    archive.insert(archive.end(), 17, 0x55);
    const auto offset = static_cast<std::uint32_t>(archive.size());
    archive.insert(archive.end(), member.begin(), member.end());
    archive.insert(archive.end(), after.begin(), after.end());
    WriteFile("pack.bin", archive);
    WriteFile("alone.ogg", member);

    OggDataSource source;
    source.file.reset(std::fopen("pack.bin", "rb"));
    source.offset = offset;
    source.size = static_cast<std::uint32_t>(member.size());
    COggStream s;
    ASSERT_TRUE(s.OpenHandle(std::move(source)));
    EXPECT_EQ(s.GetTotalSamples(), 5000u);
    EXPECT_EQ(ReadAll(s), DecodeDirect("alone.ogg"));
}

TEST_F(OggStreamTest, OpenArchiveMemberDescribesALooseFile) {
    WriteFile("voice/a.ogg", tools::MakeOggTone(Tone(100)));
    OggDataSource source;
    ASSERT_TRUE(OpenArchiveMember(source, "voice\\a.ogg"));
    EXPECT_TRUE(source.file);
    EXPECT_EQ(source.offset, 0u);
    EXPECT_EQ(source.size, std::filesystem::file_size("voice/a.ogg"));
    EXPECT_FALSE(OpenArchiveMember(source, "voice\\missing.ogg"));
    EXPECT_FALSE(source.file);
}

// ---------------------------------------------------------------- damaged files

TEST_F(OggStreamTest, MissingFileIsRefused) {
    COggStream s;
    EXPECT_FALSE(s.Open("nothing.ogg"));
    EXPECT_FALSE(s.IsOpen());
}

TEST_F(OggStreamTest, EmptyFileIsRefused) {
    WriteFile("empty.ogg", {});
    COggStream s;
    EXPECT_FALSE(s.Open("empty.ogg"));
    EXPECT_FALSE(s.IsOpen());
}

TEST_F(OggStreamTest, FileOfNoiseIsRefused) {
    std::vector<std::uint8_t> noise(5000);
    std::uint32_t x = 12345;
    for (auto& b : noise) b = static_cast<std::uint8_t>((x = x * 1103515245 + 12345) >> 24);
    WriteFile("noise.ogg", noise);
    COggStream s;
    EXPECT_FALSE(s.Open("noise.ogg"));
}

TEST_F(OggStreamTest, FileCutInsideItsHeadersIsRefused) {
    auto ogg = tools::MakeOggTone(Tone(2000));
    ogg.resize(60);
    WriteFile("cut.ogg", ogg);
    COggStream s;
    EXPECT_FALSE(s.Open("cut.ogg"));
}

TEST_F(OggStreamTest, OggPagesThatAreNoVorbisAreRefused) {
    // A well-formed first page (capture pattern, version, flags) whose packet
    // is not a Vorbis header.
    auto ogg = tools::MakeOggTone(Tone(2000));
    ASSERT_GT(ogg.size(), 40u);
    ogg[29] = 'X';  // "vorbis" of the identification header becomes "vXrbis"
    WriteFile("other.ogg", ogg);
    COggStream s;
    EXPECT_FALSE(s.Open("other.ogg"));
}

TEST_F(OggStreamTest, FileCutShortPlaysWhatIsThereAndEnds) {
    auto ogg = tools::MakeOggTone(Tone(10 * 44100));
    ogg.resize(ogg.size() * 3 / 4);  // past the headers, inside the sound
    WriteFile("cut.ogg", ogg);
    COggStream s;
    ASSERT_TRUE(s.Open("cut.ogg"));
    const auto pcm = ReadAll(s);
    EXPECT_TRUE(s.IsEnd());
    EXPECT_GT(pcm.size(), 0u);
    EXPECT_LE(pcm.size(), std::size_t{s.GetTotalSamples()} * 2);
    EXPECT_EQ(pcm, DecodeDirect("cut.ogg"));
}

TEST_F(OggStreamTest, DamagedPageInsideTheSoundIsSkippedNotTakenForTheEnd) {
    auto ogg = tools::MakeOggTone(Tone(20 * 44100));
    // Damage a byte in the body of a page three quarters in: its checksum
    // fails, the page is dropped, and the decoder reports a hole there.
    std::size_t page = ogg.size() * 3 / 4;
    while (page + 4 < ogg.size() && !(ogg[page] == 'O' && ogg[page + 1] == 'g' && ogg[page + 2] == 'g' && ogg[page + 3] == 'S')) ++page;
    ASSERT_LT(page + 100, ogg.size());
    ogg[page + 60] ^= 0xFF;
    WriteFile("hole.ogg", ogg);
    int holes = 0;
    const auto whole = DecodeDirect("hole.ogg", &holes);
    ASSERT_EQ(holes, 1);
    COggStream s;
    ASSERT_TRUE(s.Open("hole.ogg"));
    // Everything on both sides of the hole, as the decoder gives it.
    EXPECT_EQ(ReadAll(s), whole);
}

}  // namespace
