// Slot files: writing never loses the old slot, whatever step fails; reading
// takes only a whole, valid record, and a refused one changes nothing.
#include "scenario/ScenarioFixture.h"
#include "system/SaveRecord.h"

#include <cstring>
#include <filesystem>

using testing_support::ReadFile;
using testing_support::ScenarioTest;
using testing_support::WriteFile;

namespace {

namespace fs = std::filesystem;

const std::string kSlot = save::SlotFileName(1, 2, 7);

// A record the validator accepts: the script "test.s" of 100 bytes (below),
// resumed at offset 40, in mode 3 with the bottom window and an empty history.
std::unique_ptr<save::Record> ValidRecord() {
    auto r = std::make_unique<save::Record>();
    std::fill(r->begin() + 1924855, r->begin() + 2121463, 0xFF);
    std::memcpy(r->data() + 1923333, "test.s", 6);
    (*r)[1920000] = 40;
    (*r)[1920004] = 3;
    return r;
}

// A message of 8 bytes of text, 12 bytes in all, then 22 records "end" of
// 4 bytes: records start at 0, 12, 16, ... 96.
std::optional<save::ScriptBytes> TestScript(std::string_view name) {
    if (name != "test.s") return std::nullopt;
    save::ScriptBytes bytes{0, 4, 0, 8, 'm', 'e', 's', 's', 'a', 'g', 'e', '.'};
    for (int i = 0; i < 22; ++i)
        bytes.insert(bytes.end(), {1, 4, 0, 0});
    return bytes;
}

std::vector<std::uint8_t> Bytes(const save::Record& r) {
    return {r.begin(), r.end()};
}

class SaveSlotTest : public ScenarioTest {
protected:
    SaveSlotTest() { fs::create_directories(dir_.path() / "save"); }
    fs::path SlotPath() const { return dir_.path() / "save" / "savefile0127.sav"; }
    std::size_t FilesInSaveFolder() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(dir_.path() / "save"), {}));
    }
};

} // namespace

TEST_F(SaveSlotTest, WriteReplacesTheSlotWhole) {
    auto r = ValidRecord();
    (*r)[0] = 0x5A;
    (*r)[save::kRecordSize - 3] = 0xA5;
    EXPECT_EQ(save::WriteSlot(kSlot, *r), WriteResult::Ok);
    EXPECT_EQ(ReadFile(SlotPath()), Bytes(*r));
    // A second save over it.
    (*r)[0] = 0x11;
    EXPECT_EQ(save::WriteSlot(kSlot, *r), WriteResult::Ok);
    EXPECT_EQ(ReadFile(SlotPath()), Bytes(*r));
    EXPECT_EQ(FilesInSaveFolder(), 1u);
}

TEST_F(SaveSlotTest, AFailureAtAnyStepKeepsTheOldSlot) {
    auto old = ValidRecord();
    (*old)[12345] = 0x77;
    ASSERT_EQ(save::WriteSlot(kSlot, *old), WriteResult::Ok);
    auto next = ValidRecord();
    (*next)[12345] = 0x88;
    const struct {
        WriteStep step;
        WriteResult result;
    } cases[] = {{WriteStep::Open, WriteResult::OpenFailed},
                 {WriteStep::Write, WriteResult::WriteFailed},
                 {WriteStep::Flush, WriteResult::FlushFailed},
                 {WriteStep::Rename, WriteResult::RenameFailed}};
    for (const auto& c : cases) {
        std::vector<WriteStep> asked;
        const WriteFault fault = [&](WriteStep s) {
            asked.push_back(s);
            return s == c.step;
        };
        EXPECT_EQ(save::WriteSlot(kSlot, *next, fault), c.result) << WriteResultName(c.result);
        EXPECT_EQ(ReadFile(SlotPath()), Bytes(*old)) << WriteResultName(c.result);
        EXPECT_EQ(FilesInSaveFolder(), 1u)
            << "the temporary file stays behind after " << WriteResultName(c.result);
        EXPECT_EQ(asked.back(), c.step) << "steps ran after the failed one";
    }
    // A failure where no slot was: still no file.
    fs::remove(SlotPath());
    EXPECT_EQ(save::WriteSlot(kSlot, *next, [](WriteStep s) { return s == WriteStep::Rename; }),
              WriteResult::RenameFailed);
    EXPECT_FALSE(fs::exists(SlotPath()));
}

TEST_F(SaveSlotTest, WithoutASaveFolderOneIsMade) {
    fs::remove_all(dir_.path() / "save");
    EXPECT_EQ(save::WriteSlot(kSlot, *ValidRecord()), WriteResult::Ok);
    EXPECT_EQ(ReadFile(SlotPath()).size(), save::kRecordSize);
}

TEST_F(SaveSlotTest, OnlyAWholeFileIsRead) {
    auto scratch = std::make_unique<save::Record>();
    EXPECT_EQ(save::ReadSlot(kSlot, *scratch, TestScript).status, save::SlotRead::Missing);
    for (const std::size_t size :
         {std::size_t{0}, std::size_t{1} << 20, save::kRecordSize - 1, save::kRecordSize + 1}) {
        std::vector<std::uint8_t> bytes = Bytes(*ValidRecord());
        bytes.resize(size, 0);
        WriteFile(SlotPath(), bytes);
        EXPECT_EQ(save::ReadSlot(kSlot, *scratch, TestScript).status, save::SlotRead::WrongSize)
            << size;
    }
    WriteFile(SlotPath(), Bytes(*ValidRecord()));
    EXPECT_TRUE(save::ReadSlot(kSlot, *scratch, TestScript).ok());
    EXPECT_EQ(*scratch, *ValidRecord());
    // The file's name may differ in case, as on the system saves came from.
    fs::rename(SlotPath(), dir_.path() / "save" / "SaveFile0127.SAV");
    EXPECT_TRUE(save::ReadSlot(kSlot, *scratch, TestScript).ok());
}

TEST(SaveRecordValidation, DamagedRecordsAreNamed) {
    using save::RecordFault;
    struct Case {
        const char* what;
        std::function<void(save::Record&)> damage;
        RecordFault fault;
    };
    const Case cases[] = {
        {"valid", [](save::Record&) {}, RecordFault::None},
        {"picture name 3 without an end",
         [](save::Record& r) { std::memset(r.data() + 1920005 + 3 * 128, 'a', 128); },
         RecordFault::UnterminatedString},
        {"character name 14 without an end",
         [](save::Record& r) { std::memset(r.data() + 1921285 + 14 * 128, 'a', 128); },
         RecordFault::UnterminatedString},
        {"music name", [](save::Record& r) { std::memset(r.data() + 1923205, 'm', 128); },
         RecordFault::UnterminatedString},
        {"script name", [](save::Record& r) { std::memset(r.data() + 1923333, 's', 128); },
         RecordFault::UnterminatedString},
        {"sound name", [](save::Record& r) { std::memset(r.data() + 1923461, 'e', 128); },
         RecordFault::UnterminatedString},
        {"comment", [](save::Record& r) { std::memset(r.data() + 1923676, 'c', 256); },
         RecordFault::UnterminatedString},
        {"message text", [](save::Record& r) { std::memset(r.data() + 1923932, 't', 256); },
         RecordFault::UnterminatedString},
        {"speaker name", [](save::Record& r) { std::memset(r.data() + 1924188, 'n', 128); },
         RecordFault::UnterminatedString},
        {"a name ending on its last byte",
         [](save::Record& r) { std::memset(r.data() + 1924188, 'n', 127); }, RecordFault::None},
        {"history count 0xFFFFFFFF",
         [](save::Record& r) { std::memset(r.data() + 1924836, 0xFF, 4); },
         RecordFault::HistoryCount},
        {"history count 251", [](save::Record& r) { r[1924836] = 251; }, RecordFault::HistoryCount},
        {"history count 250", [](save::Record& r) { r[1924836] = 250; }, RecordFault::None},
        {"a used history entry without an end",
         [](save::Record& r) {
             r[1924836] = 2;
             std::memset(r.data() + 1990391 + 256, 0x00, 256); // complemented: 0xFF bytes, no end
         },
         RecordFault::UnterminatedString},
        {"an unused history entry without an end",
         [](save::Record& r) {
             r[1924836] = 1;
             std::memset(r.data() + 2055927 + 256, 0x00, 256);
         },
         RecordFault::None},
        {"page lines beyond the history on the full page",
         [](save::Record& r) {
             r[1924848] = 1;
             r[1924836] = 3;
             r[1924854] = 4;
         },
         RecordFault::PageLines},
        {"page lines within the history on the full page",
         [](save::Record& r) {
             r[1924848] = 1;
             r[1924836] = 3;
             r[1924854] = 3;
         },
         RecordFault::None},
        {"page lines beyond the history in mode 55",
         [](save::Record& r) {
             r[1920004] = 55;
             r[1924854] = 1;
         },
         RecordFault::PageLines},
        {"window lines of the bottom window are no history lines",
         [](save::Record& r) { r[1924854] = 3; }, RecordFault::None},
        {"return mode 0", [](save::Record& r) { r[1920004] = 0; }, RecordFault::ReturnMode},
        {"return mode 11", [](save::Record& r) { r[1920004] = 11; }, RecordFault::ReturnMode},
        {"return mode 55", [](save::Record& r) { r[1920004] = 55; }, RecordFault::None},
        {"return mode 17, a choice", [](save::Record& r) { r[1920004] = 17; }, RecordFault::None},
        {"return mode 2", [](save::Record& r) { r[1920004] = 2; }, RecordFault::ReturnMode},
        {"message style 3", [](save::Record& r) { r[1924848] = 3; }, RecordFault::MessageStyle},
        {"message style 2", [](save::Record& r) { r[1924848] = 2; }, RecordFault::None},
        {"a script that is not there",
         [](save::Record& r) { std::memcpy(r.data() + 1923333, "gone.s", 6); },
         RecordFault::ScriptMissing},
        {"no script name", [](save::Record& r) { std::memset(r.data() + 1923333, 0, 128); },
         RecordFault::ScriptMissing},
        {"resume at the script's end", [](save::Record& r) { r[1920000] = 100; },
         RecordFault::None},
        {"resume past the script",
         [](save::Record& r) { std::memset(r.data() + 1920000, 0xFF, 4); },
         RecordFault::ResumeOffset},
        {"resume at the last byte", [](save::Record& r) { r[1920000] = 99; },
         RecordFault::ResumeOffset},
        {"resume inside the message's text", [](save::Record& r) { r[1920000] = 4; },
         RecordFault::ResumeOffset},
        {"resume at the last record", [](save::Record& r) { r[1920000] = 96; }, RecordFault::None},
    };
    for (const Case& c : cases) {
        auto r = ValidRecord();
        c.damage(*r);
        const save::RecordCheck check = save::ValidateRecord(*r, TestScript);
        EXPECT_EQ(check.fault, c.fault) << c.what << ": " << check.detail;
        EXPECT_EQ(check.detail.empty(), c.fault == RecordFault::None) << c.what;
    }
}

TEST_F(SaveSlotTest, ARefusedSlotLeavesTheGameAsItWas) {
    // A running story, and the record in memory from an earlier save.
    WriteScript("test.s", "message text=\"a\"\nend\n");
    S().LoadScript("test.s");
    S().vars[5] = 1234;
    App().logCount = 3;
    std::fill(SaveImage().begin(), SaveImage().end(), 0x3C);
    auto scratch = std::make_unique<save::Record>();

    auto damaged = ValidRecord();
    std::memcpy(damaged->data() + 1923333, "test.s", 6);
    std::memset(damaged->data() + 1924836, 0xFF, 4);
    (*damaged)[1924316 + 5 * 4] = 99; // variable 5
    WriteFile(SlotPath(), Bytes(*damaged));
    const save::SlotReadResult result = save::ReadSlot(kSlot, *scratch);
    EXPECT_EQ(result.status, save::SlotRead::Damaged);
    EXPECT_EQ(result.check.fault, save::RecordFault::HistoryCount);
    EXPECT_EQ(S().vars[5], 1234);
    EXPECT_EQ(App().logCount, 3);
    EXPECT_TRUE(std::all_of(SaveImage().begin(), SaveImage().end(),
                            [](std::uint8_t b) { return b == 0x3C; }));

    // The real script lookup: the assembled script is 4 + 4 bytes plus the text.
    const std::uint32_t size = S().scriptSize;
    ASSERT_GT(size, 8u);
    auto past = ValidRecord();
    save::PutU32(*past, 1920000, size + 4);
    WriteFile(SlotPath(), Bytes(*past));
    EXPECT_EQ(save::ReadSlot(kSlot, *scratch).check.fault, save::RecordFault::ResumeOffset);
    save::PutU32(*past, 1920000, size - 4);
    WriteFile(SlotPath(), Bytes(*past));
    EXPECT_TRUE(save::ReadSlot(kSlot, *scratch).ok());
}
