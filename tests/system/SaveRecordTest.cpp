// The save record's bytes: every field at its fixed offset (the offsets are
// written out here as numbers, not taken from the code under test), the
// complemented history, the zero bytes, the screenshot source, and the
// helpers the slot screens read the record with.
#include "system/SaveRecord.h"
#include "scenario/ScenarioFixture.h"

#include <cstring>

using testing_support::ScenarioTest;

namespace {

std::uint32_t U32At(const save::Record& r, std::size_t at) {
    return static_cast<std::uint32_t>(r[at]) | static_cast<std::uint32_t>(r[at + 1]) << 8 |
           static_cast<std::uint32_t>(r[at + 2]) << 16 |
           static_cast<std::uint32_t>(r[at + 3]) << 24;
}
std::uint16_t U16At(const save::Record& r, std::size_t at) {
    return static_cast<std::uint16_t>(r[at] | r[at + 1] << 8);
}
std::string StrAt(const save::Record& r, std::size_t at, std::size_t size) {
    const char* p = reinterpret_cast<const char*>(r.data() + at);
    return std::string(p, strnlen(p, size));
}
template <std::size_t N> void Set(std::array<char, N>& field, std::string_view s) {
    field.fill(0);
    std::copy(s.begin(), s.end(), field.begin());
}

class SaveRecordTest : public ScenarioTest {
protected:
    // Every field the record keeps, set to a value of its own.
    void PlaceSentinels() {
        CScenario& s = S();
        CGameApp& a = App();
        cdib[0]->FillRect(0, 0, 800, 600, 0x11223344);
        cdib[0]->SetPixel(0, 0, 0xA1B2C3D4);
        cdib[0]->SetPixel(799, 599, 0x01020304);
        s.messageStart = 0x00012345;
        a.returnMode = 55;
        for (int i = 0; i < 10; ++i)
            Set(a.surfaceNames[i], "bg" + std::to_string(i) + ".bmp");
        for (int i = 0; i < 15; ++i) {
            Set(a.charNames[i], "ch" + std::to_string(i) + ".bmp");
            a.charParams[i] = static_cast<std::uint8_t>(100 + i);
            a.charCentreX[i] = static_cast<std::int16_t>(-300 - i);
            a.charShown[i] = static_cast<std::int16_t>(i % 2);
        }
        Set(a.bgmName, "music.ogg");
        Set(a.scriptName, "story.s");
        Set(a.seName, "rain.ogg");
        s.fillColor = 0xCAFEF00D;
        s.blendColor = 0x80112233;
        s.blackOverlay = 0x00000001;
        Set(s.plainMessage, "plain text");
        Set(s.messageText, "#face#marked text");
        s.speakerName = std::make_unique<char[]>(8);
        std::strcpy(s.speakerName.get(), "Name");
        for (int i = 0; i < 128; ++i)
            s.vars[i] = i * 1000003 - 64000000;
        s.spareFlag = 0x5A;
        s.saveGroup = -2;
        s.dayNumber = 17;
        s.colorEffect = 2;
        a.logCount = 250;
        a.logText[0][0] = 'T';
        a.logText[255][255] = 0x0F;
        a.logNames[0][0] = 'N';
        a.logVoices[7][3] = 'V';
        s.charIndex = 0;
        s.lineColumn = 44;
        s.letterbox = 1;
        s.op58Value = 0xC8;
        s.particlesOn = 1;
        s.messageStyle = 2;
        s.penX = -42;
        s.penY = 558;
        s.pageLines = 9;
        s.particleRect = {-5, 10, 805, 590};
        s.saveTime = {2026, 12, 9, 18, 7};
    }
};

} // namespace

TEST_F(SaveRecordTest, EveryFieldSitsAtItsOffset) {
    PlaceSentinels();
    save::Record& r = SaveImage();
    r.fill(0xEE); // capture clears what an earlier record left
    S().CaptureSaveImage();

    EXPECT_EQ(U32At(r, 0), 0xA1B2C3D4u);
    EXPECT_EQ(U32At(r, 4), 0x11223344u);
    EXPECT_EQ(U32At(r, 3200 * 599 + 4 * 799), 0x01020304u);
    EXPECT_EQ(U32At(r, 1920000), 0x12345u);
    EXPECT_EQ(r[1920004], 55);
    EXPECT_EQ(StrAt(r, 1920005, 128), "bg0.bmp");
    EXPECT_EQ(StrAt(r, 1920005 + 9 * 128, 128), "bg9.bmp");
    EXPECT_EQ(StrAt(r, 1921285, 128), "ch0.bmp");
    EXPECT_EQ(StrAt(r, 1921285 + 14 * 128, 128), "ch14.bmp");
    EXPECT_EQ(StrAt(r, 1923205, 128), "music.ogg");
    EXPECT_EQ(StrAt(r, 1923333, 128), "story.s");
    EXPECT_EQ(StrAt(r, 1923461, 128), "rain.ogg");
    EXPECT_EQ(r[1923589], 100);
    EXPECT_EQ(r[1923589 + 14], 114);
    EXPECT_EQ(U16At(r, 1923604), 0x10000 - 300);
    EXPECT_EQ(U16At(r, 1923604 + 28), 0x10000 - 314);
    EXPECT_EQ(U16At(r, 1923634), 0);
    EXPECT_EQ(U16At(r, 1923634 + 2), 1);
    EXPECT_EQ(U32At(r, 1923664), 0xCAFEF00Du);
    EXPECT_EQ(U32At(r, 1923668), 0x80112233u);
    EXPECT_EQ(U32At(r, 1923672), 1u);
    EXPECT_EQ(StrAt(r, 1923676, 256), "plain text");
    EXPECT_EQ(StrAt(r, 1923932, 256), "#face#marked text");
    EXPECT_EQ(StrAt(r, 1924188, 128), "Name");
    EXPECT_EQ(U32At(r, 1924316), static_cast<std::uint32_t>(-64000000));
    EXPECT_EQ(U32At(r, 1924316 + 4 * 127), static_cast<std::uint32_t>(127 * 1000003 - 64000000));
    EXPECT_EQ(r[1924829], 0x5A);
    EXPECT_EQ(r[1924830], 0xFE);
    EXPECT_EQ(r[1924831], 17);
    EXPECT_EQ(r[1924832], 2);
    EXPECT_EQ(U32At(r, 1924836), 250u);
    EXPECT_EQ(U32At(r, 1924840), 0xFFFFFFFEu); // shown-character index 0, minus 2
    EXPECT_EQ(r[1924844], 44);
    EXPECT_EQ(r[1924845], 1);
    EXPECT_EQ(r[1924846], 0xC8);
    EXPECT_EQ(r[1924847], 1);
    EXPECT_EQ(r[1924848], 2);
    EXPECT_EQ(U16At(r, 1924850), 0x10000 - 42);
    EXPECT_EQ(U16At(r, 1924852), 558);
    EXPECT_EQ(r[1924854], 9);
    // History tables: complemented, every byte, used or not.
    EXPECT_EQ(r[1924855], static_cast<std::uint8_t>(~'T'));
    EXPECT_EQ(r[1924855 + 1], 0xFF);
    EXPECT_EQ(r[1924855 + 65535], 0xF0);
    EXPECT_EQ(r[1990391], static_cast<std::uint8_t>(~'N'));
    EXPECT_EQ(r[2055927 + 7 * 256 + 3], static_cast<std::uint8_t>(~'V'));
    EXPECT_EQ(r[2055927 + 65535], 0xFF);
    EXPECT_EQ(U32At(r, 2121464), static_cast<std::uint32_t>(-5));
    EXPECT_EQ(U32At(r, 2121468), 10u);
    EXPECT_EQ(U32At(r, 2121472), 805u);
    EXPECT_EQ(U32At(r, 2121476), 590u);
    EXPECT_EQ(U16At(r, 2121480), 2026);
    EXPECT_EQ(U16At(r, 2121482), 12);
    EXPECT_EQ(U16At(r, 2121484), 9);
    EXPECT_EQ(U16At(r, 2121486), 18);
    EXPECT_EQ(U16At(r, 2121488), 7);
    for (std::size_t zero :
         {1924828u, 1924833u, 1924834u, 1924835u, 1924849u, 2121463u, 2121490u, 2121491u})
        EXPECT_EQ(r[zero], 0) << zero;
    // Bytes no field names stay zero: the tails of the string fields.
    EXPECT_EQ(r[1920005 + 127], 0);
    EXPECT_EQ(r[1924188 + 127], 0);

    // The readers the slot screens use see the same fields.
    const save::SaveDate date = save::GetSaveDate(r);
    EXPECT_EQ(date.year, 2026);
    EXPECT_EQ(date.minute, 7);
    EXPECT_EQ(save::GetComment(r), "plain text");
}

TEST_F(SaveRecordTest, CaptureChangesNothingInTheGame) {
    PlaceSentinels();
    const auto vars = S().vars;
    const auto names = App().surfaceNames;
    const std::uint32_t pixel = cdib[0]->GetPixel(0, 0);
    S().CaptureSaveImage();
    EXPECT_EQ(S().vars, vars);
    EXPECT_EQ(App().surfaceNames, names);
    EXPECT_EQ(S().charIndex, 0);
    EXPECT_EQ(cdib[0]->GetPixel(0, 0), pixel);
    EXPECT_STREQ(S().speakerName.get(), "Name");
}

TEST_F(SaveRecordTest, ScreenshotSourceFollowsTheStyle) {
    // Style 1 keeps the full page; a missing surface leaves black; a smaller
    // one leaves black where it has no pixels.
    cdib[0]->FillRect(0, 0, 800, 600, 0x00000011);
    g_fullPage = std::make_unique<CDib>();
    g_fullPage->Create(platform::WindowHandle::Main, 800, 600, 24);
    g_fullPage->FillRect(0, 0, 800, 600, 0x00000022);
    const save::Record& r = SaveImage();

    S().messageStyle = 1;
    S().CaptureSaveImage();
    EXPECT_EQ(U32At(r, 0), 0x22u);

    S().messageStyle = 0;
    S().CaptureSaveImage();
    EXPECT_EQ(U32At(r, 0), 0x11u);

    cdib[0].reset();
    S().CaptureSaveImage();
    EXPECT_EQ(U32At(r, 0), 0u);

    cdib[0] = std::make_unique<CDib>();
    cdib[0]->Create(platform::WindowHandle::Main, 10, 5, 24);
    cdib[0]->FillRect(0, 0, 10, 5, 0x00000033);
    S().CaptureSaveImage();
    EXPECT_EQ(U32At(r, 4 * 9), 0x33u);
    EXPECT_EQ(U32At(r, 4 * 10), 0u);
    EXPECT_EQ(U32At(r, 3200 * 4 + 4 * 9), 0x33u);
    EXPECT_EQ(U32At(r, 3200 * 5), 0u);
    g_fullPage.reset();
}

TEST_F(SaveRecordTest, LongSpeakerNamesKeepTheirEnd) {
    // 127 bytes at most, and never half a two-byte character.
    const std::string ascii(200, 'a');
    S().speakerName = std::make_unique<char[]>(ascii.size() + 1);
    std::memcpy(S().speakerName.get(), ascii.c_str(), ascii.size() + 1);
    S().CaptureSaveImage();
    EXPECT_EQ(StrAt(SaveImage(), 1924188, 128), std::string(127, 'a'));

    std::string wide = "a";
    for (int i = 0; i < 70; ++i)
        wide += "\xC4\xE3";
    S().speakerName = std::make_unique<char[]>(wide.size() + 1);
    std::memcpy(S().speakerName.get(), wide.c_str(), wide.size() + 1);
    S().CaptureSaveImage();
    EXPECT_EQ(StrAt(SaveImage(), 1924188, 128), wide.substr(0, 127));

    wide = "ab" + wide.substr(1);
    std::memcpy(S().speakerName.get(), wide.c_str(), wide.size());
    S().CaptureSaveImage();
    EXPECT_EQ(StrAt(SaveImage(), 1924188, 128), wide.substr(0, 126));
}

TEST(SaveRecordHelpers, CommentsAndDates) {
    auto r = std::make_unique<save::Record>();
    EXPECT_TRUE(save::IsNoComment(""));
    EXPECT_TRUE(save::IsNoComment(" later"));
    EXPECT_FALSE(save::IsNoComment("x "));
    EXPECT_FALSE(save::IsNoComment("\xC4\xE3"));
    // An unterminated comment is read to its field's end, no further.
    std::memset(r->data() + 1923676, 'c', 256);
    (*r)[1923932] = 'm';
    EXPECT_EQ(save::GetComment(*r), std::string(256, 'c'));
    (*r)[2121480] = 0xEA;
    (*r)[2121481] = 0x07;
    (*r)[2121488] = 59;
    EXPECT_EQ(save::GetSaveDate(*r).year, 2026);
    EXPECT_EQ(save::GetSaveDate(*r).minute, 59);
}

TEST(SaveRecordHelpers, SlotNames) {
    EXPECT_EQ(save::SlotFileName(1, 2, 7), "save\\savefile0127.sav");
    EXPECT_EQ(save::SlotFileName(0, 0, 0), "save\\savefile0000.sav");
    EXPECT_EQ(save::SlotFileName(5, 5, 9), "save\\savefile0259.sav");
    // The remainder takes the sign of the group.
    EXPECT_EQ(save::SlotFileName(-4, 0, 3), "save\\savefile-103.sav");
}

TEST(SaveRecordHelpers, ThumbnailReduction) {
    auto r = std::make_unique<save::Record>();
    // Row 0, columns 0..7: blue 0..7, green 10 each, red 255 each; the
    // fourth byte is dropped. (0+..+7) >> 3 = 3, 80 >> 3 = 10, 2040 >> 3 = 255.
    for (std::size_t i = 0; i < 8; ++i) {
        (*r)[4 * i] = static_cast<std::uint8_t>(i);
        (*r)[4 * i + 1] = 10;
        (*r)[4 * i + 2] = 255;
        (*r)[4 * i + 3] = 0x77;
    }
    // Thumbnail pixel (1, 1) reads row 8, columns 8..15; row 9 is not read.
    const std::size_t row8 = 8 * 3200;
    for (std::size_t i = 8; i < 16; ++i)
        (*r)[row8 + 4 * i + 2] = 9; // red 72 >> 3 = 9
    (*r)[9 * 3200 + 4 * 8] = 200;
    const save::Thumbnail t = save::ReduceScreenshot(*r);
    EXPECT_EQ(t[0], 0x00FF0A03u);
    EXPECT_EQ(t[1], 0u);
    EXPECT_EQ(t[101], 0x00090000u);
    EXPECT_EQ(t[100], 0u);

    // A surface smaller than the screen counts as black where it has no pixels.
    CDib small;
    small.Create(platform::WindowHandle::Main, 12, 9, 24);
    small.FillRect(0, 0, 12, 9, 0x00000080);
    const save::Thumbnail s = save::ReduceSurface(&small);
    EXPECT_EQ(s[0], 0x80u);   // 8 x 128 >> 3
    EXPECT_EQ(s[1], 0x40u);   // columns 8..11 only: 4 x 128 >> 3
    EXPECT_EQ(s[101], 0x40u); // row 8 exists
    EXPECT_EQ(s[200], 0u);    // row 16 does not
    EXPECT_EQ(save::ReduceSurface(nullptr)[0], 0u);
}
