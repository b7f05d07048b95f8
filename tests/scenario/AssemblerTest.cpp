#include "lib/ScriptAssembler.h"
#include "scenario/ScriptFormat.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes MustAssemble(std::string_view text) {
    nvasm::AssembleResult r = nvasm::Assemble(text);
    EXPECT_TRUE(r.ok()) << "line " << r.line << ": " << r.error;
    return r.bytes;
}

// One record of every defined opcode, with non-zero operands where a field
// allows it, strings in GBK, labels forwards and backwards.
const char* const kEveryOpcode = R"(start:
message text="你好 <某<ruby>> #v"
end
change_script text="next.s"
set_mode mode=72
set_var var=127 value=-2147483648
add_var var=1 value=2147483647
jump_eq var=2 value=-1 target=start
jump_ne var=3 value=5 target=later
jump_gt var=4 value=6 target=start
jump_lt var=5 value=-7 target=later
jump_ge var=6 value=8 target=start
jump_le var=7 value=9 target=later
text_block block=59999
jump target=later
wait ms=1500
load_image surface=-1 text="bg01.bmp"
load_background surface=63 text="bg02.bmp"
restore_backup variant=1
set_char_sprite slot=14 text="ch01.bmp"
set_char slot=2 face=7 x=-300 y=120
mask_wipe type=3 ms=700
transition type=39 ms=1000
fill_background surface=1 color=16711680
color_blend color=0x80ff8000
pan surface=5 ease=2 variant=3 from_x=-10 from_y=20 to_x=30 to_y=-40 ms=-1
copy_rect dst=1 x=-5 y=6 src=2 src_x=7 src_y=8 w=300 h=-1
blank_surface surface=9 w=4096 h=600
choice point=99
clear_choices
add_choice target=later text="选项一"
scene_end scene=27
set_flag flag=19
play_bgm loop=1 text="bgm01"
stop_bgm
fade_bgm ms=3000
play_bgm_fade loop=1 ms=2000 text="bgm02"
lower_bgm
play_voice loop=0 text="abc0001"
load_play_se channel=8 loop=1 text="se01"
stop_se channel=1
wait_voice channel=19
stop_voice channel=3
fade_out_se channel=2 ms=500
play_se channel=4 loop=1 ms=250 text="se02"
play_voice_slot channel=5 text="def0002"
load_voice channel=6 text="ghi0003"
load_se channel=7 text="se03"
play_wave channel=8 class=17
play_se_slot channel=0 loop=1
day day=-1
save_group group=2
eye_catch variant=4
black_overlay surface=3
skip55
skip56
skip57
store_byte value=255
later:
jump_flag flag=-128 target=start
load_layer layer=9 text="e001a.bmp"
layer_tween layer=1 type=11 x=1 y=-2 w=3 h=4 src_x=5 src_y=6 src_w=7 src_h=-8 span=90 angle=360 ms=4000
message_silent x=-12 y=34 text="静かな文"
particles on=1
window_style style=1
full_page
layer_mask layer=2 mask=21 x=10 y=20 w=30 h=40 src_x=0 src_y=0 src_w=30 src_h=40 fixed_angle=0 angle=45 delay=500
layer_wobble layer=3 sweep=180 opacity=256 ramp=800
color_fade layer=4 ms=900 color=0xff102030
wait_layers value=1 ms=1200
reset_layers
start_layer layer=5
bake_layers last=-1
skip73
face_frame slot=6 face=12 ms=300
layer_effect layer=7 type=2 ms=100
redraw_window
fade_to_saved
curtain variant=2
erase_window
quake type=6 loop=1 amplitude=65535 period=4294967295
stop_quake
band kind=2
stop_band
wait_click
layer_phase layer=8 phase=270 base=-5
clear_layer layer=9
config_byte value=3
load_layer_chara layer=0 text="ch02.bmp"
)";

}  // namespace

TEST(AssemblerTest, RecordsHaveTheirDocumentedBytes) {
    struct Case {
        const char* text;
        Bytes bytes;
    };
    const Case cases[] = {
        // Little-endian operands at their offsets, the length in byte 1.
        {"set_var var=3 value=-2", {4, 8, 3, 0, 0xFE, 0xFF, 0xFF, 0xFF}},
        {"jump_lt var=1 value=0 target=16",
         {9, 16, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 16, 0, 0, 0}},
        // The colour of opcode 23 is stored A, R, G, B.
        {"color_blend color=0x11223344", {23, 8, 0, 0, 0x11, 0x22, 0x33, 0x44}},
        {"color_fade layer=2 ms=256 color=0xAABBCCDD", {68, 12, 2, 0, 0, 1, 0, 0, 0xAA, 0xBB, 0xCC, 0xDD}},
        // Strings follow the fixed part; L counts the terminating zero.
        {"message text=\"ab\"", {0, 4, 0, 3, 'a', 'b', 0}},
        {"play_bgm loop=1 text=\"m\"", {34, 8, 0, 1, 0, 0, 0, 2, 'm', 0}},
        {"play_bgm_fade loop=1 ms=2 text=\"m\"", {37, 12, 1, 0, 2, 0, 0, 0, 2, 0, 0, 0, 'm', 0}},
        {"add_choice target=0 rawtext=\"x\"", {29, 8, 1, 0, 0, 0, 0, 0, 'x'}},
        // GBK from UTF-8: 你 is C4 E3.
        {"message text=\"你\"", {0, 4, 0, 3, 0xC4, 0xE3, 0}},
        {"message text=\"\\xff\\\"\"", {0, 4, 0, 3, 0xFF, '"', 0}},
        // Overrides for damaged records.
        {"end len=0", {1, 0}},
        {"end len=6 byte5=9", {1, 6, 0, 0, 0, 9}},
        {"message strlen=200 text=\"a\"", {0, 4, 0, 200, 'a', 0}},
        {"op31", {31, 4, 0, 0}},
        {"32 len=5 byte4=1", {32, 5, 0, 0, 1}},
        {"bytes 00 ff 7f", {0x00, 0xFF, 0x7F}},
    };
    for (const Case& c : cases) EXPECT_EQ(MustAssemble(c.text), c.bytes) << c.text;
}

TEST(AssemblerTest, LabelsResolveForwardAndBackward) {
    const Bytes b = MustAssemble("top:\n  jump target=bottom  # forward\nbottom: jump target=top\n");
    ASSERT_EQ(b.size(), 16u);
    EXPECT_EQ(b[4], 8);  // bottom is the second record, at offset 8
    EXPECT_EQ(b[12], 0);
}

TEST(AssemblerTest, MistakesAreReportedWithTheirLine) {
    struct Case {
        const char* text;
        int line;
    };
    const Case cases[] = {
        {"end\nnot_an_opcode\n", 2},
        {"set_var var=1 value=1 colour=2", 1},
        {"set_var var=1 value=4294967296", 1},
        {"set_mode mode=256", 1},
        {"\n\njump target=nowhere", 3},
        {"a:\na:\n", 2},
        {"message", 1},
        {"end text=\"x\"", 1},
        {"message text=\"unclosed", 1},
        {"message text=\"\\q\"", 1},
        {"message text=\"😀\"", 1},  // no GBK form
        {"bytes 1 2", 1},
        {"set_var var=1 var=2 value=0", 1},
        {"jump len=4 target=x\nx:", 1},
    };
    for (const Case& c : cases) {
        nvasm::AssembleResult r = nvasm::Assemble(c.text);
        EXPECT_FALSE(r.ok()) << c.text;
        EXPECT_EQ(r.line, c.line) << c.text;
        EXPECT_TRUE(r.bytes.empty());
    }
    std::string long255(255, 'a');
    EXPECT_TRUE(nvasm::Assemble("message rawtext=\"" + long255 + "\"").ok());
    EXPECT_FALSE(nvasm::Assemble("message text=\"" + long255 + "\"").ok());
}

TEST(AssemblerTest, RoundTripOfEveryOpcodeIsStable) {
    const Bytes first = MustAssemble(kEveryOpcode);
    // Every defined opcode appears once.
    std::vector<int> seen(script::kOpcodeCount, 0);
    std::size_t at = 0;
    while (at < first.size()) {
        const script::OpcodeFormat* f = script::FindOpcode(first[at]);
        ASSERT_NE(f, nullptr) << at;
        ++seen[first[at]];
        ASSERT_EQ(first[at + 1], f->length) << f->name;
        at += first[at + 1] + (f->stringLengthAt >= 0 ? first[at + f->stringLengthAt] : 0);
    }
    for (int op = 0; op < script::kOpcodeCount; ++op)
        EXPECT_EQ(seen[op], (op == 31 || op == 32) ? 0 : 1) << op;

    const std::string text = nvasm::Disassemble(first);
    const Bytes second = MustAssemble(text);
    EXPECT_EQ(second, first);
    EXPECT_EQ(nvasm::Disassemble(second), text);
    // GBK text comes back as the same characters.
    EXPECT_NE(text.find("text=\"你好 <某<ruby>> #v\""), std::string::npos) << text;
}

TEST(AssemblerTest, DamagedBytesDisassembleToTextThatRebuildsThem) {
    const std::vector<Bytes> inputs = {
        {},
        {1},
        {1, 0, 0, 0},                  // length 0
        {4, 8, 1, 0, 0},                // cut short
        {0, 4, 0, 9, 'a'},              // string past the end
        {31, 4, 1, 2, 1, 4, 0, 0},      // undefined opcode, then an end record
        {0, 4, 0, 3, 'a', 'b', 'c'},    // no terminating zero: rawtext
        {0, 4, 0, 3, 0x81, 0x30, 0},    // not a GBK pair
        {13, 8, 0, 0, 5, 0, 0, 0},      // a jump into the middle of a record
        {1, 6, 0, 0, 0x7F, 0},          // a non-zero byte no field names
    };
    for (const Bytes& in : inputs) {
        const std::string text = nvasm::Disassemble(in);
        EXPECT_EQ(MustAssemble(text), in) << text;
    }
}

TEST(AssemblerTest, ScriptFilesAreStoredComplemented) {
    testing_support::TempDir dir;
    std::string error;
    ASSERT_TRUE(nvasm::WriteScriptFile("script/a.s", "end", error)) << error;
    EXPECT_EQ(testing_support::ReadFile("script/a.s"), (Bytes{0xFE, 0xFB, 0xFF, 0xFF}));
    EXPECT_FALSE(nvasm::WriteScriptFile("script/b.s", "nonsense", error));
    EXPECT_NE(error.find("line 1"), std::string::npos);
    EXPECT_EQ(nvasm::Complement(Bytes{0x00, 0xFF, 0x5A}), (Bytes{0xFF, 0x00, 0xA5}));
}
