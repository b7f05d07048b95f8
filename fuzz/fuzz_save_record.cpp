// Mutates the state part of a valid save record, runs the validator over it,
// and puts records the validator accepts back into a running story with the
// real restore. The first input byte chooses whether to restore (low two bits
// zero: restoring builds a dozen screens of pixels, so the validator alone
// runs the rest of the time); then a list of patches: a 32-bit offset into
// the state fields (after the screenshot), a length byte, then the bytes.
#include "app/Config.h"
#include "app/GameApp.h"
#include "app/Input.h"
#include "data/PathTable.h"
#include "gfx/Dib.h"
#include "platform/Platform.h"
#include "platform/headless/Headless.h"
#include "scenario/Scenario.h"
#include "system/SaveRecord.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

namespace {

std::unique_ptr<save::Record> g_base;
std::unique_ptr<save::Record> g_scratch;

void SetUpWorld() {
    char tmpl[] = "/tmp/norvane-fuzz-save-XXXXXX";
    const char* dir = ::mkdtemp(tmpl);
    if (!dir) std::abort();
    std::filesystem::create_directories(std::filesystem::path(dir) / "script");
    // A script of 64 bytes: every "end" record (opcode 1, length 4), complemented.
    {
        std::ofstream script(std::filesystem::path(dir) / "script" / "fuzz.s", std::ios::binary);
        for (int i = 0; i < 16; ++i) {
            const char record[4] = {static_cast<char>(~1), static_cast<char>(~4),
                                    static_cast<char>(~0), static_cast<char>(~0)};
            script.write(record, 4);
        }
    }
    // Data lookups resolve under this folder from now on; the fuzzer's own
    // corpus paths are absolute or were opened already.
    std::filesystem::current_path(dir);
    g_pathTable = std::make_unique<CPathTable>();
    g_pathTable->InitPaths();
    ResetConfig();
    g_mouse = std::make_unique<CMouse>();
    g_keyboard = std::make_unique<CKeyboard>();
    g_backBuffer = std::make_unique<CDib>();
    g_backBuffer->Create(platform::WindowHandle::Main, 800, 600, 24);
    g_gameApp =
        std::make_unique<CGameApp>(platform::WindowHandle::Main, platform::WindowHandle::Main);
    g_scenario = std::make_unique<CScenario>(platform::WindowHandle::Main);

    g_base = std::make_unique<save::Record>();
    g_scratch = std::make_unique<save::Record>();
    save::Record& r = *g_base;
    std::fill(r.begin() + save::kLogText, r.begin() + save::kLogVoices + save::kLogTableBytes,
              0xFF);
    save::PutBytes(r, save::kScriptName, save::kNameField, std::string_view("fuzz.s"));
    save::PutU8(r, save::kReturnMode, 2);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = (SetUpWorld(), true);
    (void)ready;
    platform::headless::Reset();
    save::Record& r = *g_scratch;
    r = *g_base;
    constexpr std::size_t kState = save::kResumeOffset;
    constexpr std::size_t kStateBytes = save::kRecordSize - kState;
    if (size < 1) return 0;
    const bool restore = (data[0] & 3) == 0;
    std::size_t i = 1;
    while (i + 5 <= size) {
        std::uint32_t offset = 0;
        std::memcpy(&offset, data + i, 4);
        const std::size_t at = kState + offset % kStateBytes;
        const std::size_t length = std::min<std::size_t>(data[i + 4], size - i - 5);
        const std::size_t fits = std::min(length, save::kRecordSize - at);
        std::memcpy(r.data() + at, data + i + 5, fits);
        i += 5 + length;
    }
    const save::RecordCheck check = save::ValidateRecord(r);
    (void)save::GetComment(r);
    (void)save::GetSaveDate(r);
    if (!check.ok() || !restore) return 0;
    SaveImage() = r;
    g_scenario->RestoreSaveImage(platform::WindowHandle::Main);
    return 0;
}
