#include "ScenarioFixture.h"

using testing_support::ScenarioTest;
namespace hl = platform::headless;

namespace {

class DamagedScriptTest : public ScenarioTest {
protected:
    // Runs the script to its end and checks that it ended once, as opcode 1
    // ends a script, with exactly one report, and stays ended.
    void ExpectOneReportAndEnd(const std::string& what) {
        RunUntilModeChanges();
        EXPECT_EQ(App().mode, S().playContext == 1 ? 14 : 1) << what;
        EXPECT_EQ(Reports(), 1u) << what;
        StepOnce();
        StepOnce();
        EXPECT_EQ(Reports(), 1u) << what;
        EXPECT_EQ(App().mode, S().playContext == 1 ? 14 : 1) << what;
    }
    void Reset() {
        hl::Reset();
        S().vars.fill(0);
        App().mode = 0;
    }
};

} // namespace

TEST_F(DamagedScriptTest, RecordsThatBreakTheFramingEndTheScript) {
    const char* const cases[] = {
        "set_var var=1 value=1\nend len=0",                     // length 0
        "set_var var=1 value=1\nend len=3",                     // length below 4
        "set_var var=1 value=1\nset_var len=200 var=1 value=1", // record past the end
        "message strlen=200 text=\"a\"",                        // string past the end
        "set_var var=1 value=1\nbytes 04",                      // a lone opcode byte
        "jump target=1000\nend",                                // jump outside
        "jump_eq var=0 value=0 target=20\nend",                 // jump to the very end
        "clear_choices\nadd_choice target=4000 text=\"x\"\nend",
        "set_var var=1 value=1", // no end record
    };
    for (const char* text : cases) {
        Reset();
        Start(text);
        ExpectOneReportAndEnd(text);
    }
}

TEST_F(DamagedScriptTest, ACutFileEndsAtTheCut) {
    nvasm::AssembleResult r = nvasm::Assemble("set_var var=1 value=2\nset_var var=2 value=3\nend");
    ASSERT_TRUE(r.ok());
    r.bytes.resize(13); // the second record loses its last three bytes
    testing_support::WriteFile(dir_.path() / "script" / "cut.s", nvasm::Complement(r.bytes));
    S().LoadScript("cut.s");
    App().mode = 2;
    ExpectOneReportAndEnd("cut");
    EXPECT_EQ(S().vars[1], 2);
    EXPECT_EQ(S().vars[2], 0);
}

TEST_F(DamagedScriptTest, UndefinedOpcodesShowTheirBoxOnce) {
    struct Case {
        const char* text;
        const char* box;
    };
    const Case cases[] = {
        {"set_var var=1 value=1\nop31\nend", "Not Found ScrNo\n[      31][0x000008]"},
        {"op32", "Not Found ScrNo\n[      32][00000000]"},
        {"end len=4 byte2=0\nop89", "Not Found ScrNo\n[      89][0x000004]"},
        {"set_var var=1 value=1\nop255 len=9", "Not Found ScrNo\n[     255][0x000008]"},
    };
    for (const Case& c : cases) {
        Reset();
        Start(c.text);
        // An end record first ends the script by itself.
        if (std::string(c.text).starts_with("end")) {
            g_scenario->Step();
            EXPECT_EQ(App().mode, 1);
            S().pc = 4;
            App().mode = 2;
        }
        ExpectOneReportAndEnd(c.text);
        ASSERT_EQ(hl::Questions().size(), 1u);
        EXPECT_EQ(hl::Questions()[0].gbkText, c.box);
        EXPECT_EQ(hl::Questions()[0].gbkCaption, "Erorr");
    }
}

TEST_F(DamagedScriptTest, IndicesOutsideTheirTablesAreRefusedBeforeAnythingIsWritten) {
    const std::string cases[] = {
        "set_var var=128 value=1",
        "add_var var=65535 value=1",
        "jump_eq var=128 value=0 target=0",
        "jump_le var=4294967295 value=0 target=0",
        "set_flag flag=20",
        "set_flag flag=-1",
        "jump_flag flag=-128 target=0",
        "scene_end scene=28",
        "text_block block=60000",
        "choice point=100",
        "set_mode mode=73",
        "load_image surface=-1 text=\"a.bmp\"",
        "load_background surface=64 text=\"a.bmp\"",
        "fill_background surface=200 color=0",
        "copy_rect dst=1 x=0 y=0 src=64 src_x=0 src_y=0 w=1 h=1",
        "pan surface=64 ease=0 variant=0 from_x=0 from_y=0 to_x=0 to_y=0 ms=1",
        "set_char_sprite slot=15 text=\"c.bmp\"",
        "set_char slot=200 face=0 x=0 y=0",
        "face_frame slot=15 face=0 ms=0",
        "load_layer layer=10 text=\"l.bmp\"",
        "load_layer_chara layer=255 text=\"l.bmp\"",
        "layer_tween layer=10 type=0 x=0 y=0 w=0 h=0 src_x=0 src_y=0 src_w=0 src_h=0 span=0 "
        "angle=0 ms=0",
        "layer_wobble layer=10 sweep=0 opacity=0 ramp=0",
        "start_layer layer=10",
        "clear_layer layer=-1",
        "bake_layers last=10",
        "load_play_se channel=9 loop=0 text=\"s\"",
        "stop_se channel=9",
        "wait_voice channel=20",
        "play_wave channel=0 class=18",
        "blank_surface surface=2 w=4097 h=1",
        "blank_surface surface=2 w=1 h=65535",
        "change_script text=\"" + std::string(128, 's') + "\"",
        "load_image surface=1 text=\"" + std::string(130, 'b') + "\"",
    };
    for (const std::string& text : cases) {
        Reset();
        const auto before = g_config;
        Start(text + "\nend");
        ExpectOneReportAndEnd(text);
        EXPECT_TRUE(g_config == before) << text;
        EXPECT_EQ(S().vars[0], 0);
        ASSERT_EQ(hl::Questions().size(), 1u);
        EXPECT_NE(hl::Questions()[0].gbkText.find("offset 0"), std::string::npos)
            << hl::Questions()[0].gbkText;
        EXPECT_NE(hl::Questions()[0].gbkText.find("test.s"), std::string::npos);
    }
}

// A sound handler keeps a name as its file's title with ".ogg": a voice in
// the 256-byte voice name, a looping effect in a 128-byte field; voices and
// effects only loaded and layer pictures keep no name at all.
TEST_F(DamagedScriptTest, NamesAreRefusedOnlyWhereTheyWouldOverrunTheFieldKeepingThem) {
    const auto text = [](const std::string& name) { return " text=\"" + name + "\""; };
    const std::string voice255 = std::string(251, 'v') + ".w"; // kept as 251 + 4 bytes
    const std::string voice256(252, 'v');
    const std::string folder = std::string(120, 'd') + "/";
    struct Case {
        std::string record;
        bool refused;
    };
    const Case cases[] = {
        {"play_voice loop=0" + text(voice255), false},
        {"play_voice loop=0" + text(voice256), true},
        {"play_voice_slot channel=0" + text(voice255), false},
        {"play_voice_slot channel=0" + text(voice256), true},
        {"load_voice channel=0" + text(std::string(254, 'v')), false},
        {"load_se channel=0" + text(std::string(254, 's')), false},
        {"load_layer layer=0" + text(std::string(250, 'l') + ".bmp"), false},
        {"load_layer_chara layer=0" + text(std::string(250, 'l') + ".bmp"), false},
        {"load_play_se channel=1 loop=0" + text(std::string(254, 's')), false},
        {"load_play_se channel=1 loop=1" + text(folder + std::string(123, 's') + ".wav"), false},
        {"load_play_se channel=1 loop=1" + text(std::string(124, 's')), true},
    };
    for (const Case& c : cases) {
        Reset();
        Start(c.record + "\nend");
        if (c.refused) {
            ExpectOneReportAndEnd(c.record.substr(0, 30));
            continue;
        }
        StepOnce();
        EXPECT_EQ(App().mode, 2) << c.record.substr(0, 30);
        StepOnce();
        EXPECT_EQ(App().mode, 1) << c.record.substr(0, 30);
        EXPECT_EQ(Reports(), 0u) << c.record.substr(0, 30);
    }
    for (auto& channel : g_voiceChannels)
        channel.reset();
    for (auto& channel : g_seChannels)
        channel.reset();
}

TEST_F(DamagedScriptTest, ADamagedReplayReturnsToTheReplayList) {
    S().playContext = 1;
    Start("set_var var=200 value=1\nend");
    ExpectOneReportAndEnd("replay");
}

TEST_F(DamagedScriptTest, ANewScriptIsCheckedAfreshAndReportedAgain) {
    Start("bytes 01 00");
    ExpectOneReportAndEnd("first");
    Start("bytes 02 00");
    RunUntilModeChanges();
    EXPECT_EQ(Reports(), 2u);
    // Valid lengths at the bounds: a zero-length name string, the last variable.
    hl::Reset();
    Start("set_var var=127 value=1\nmessage rawtext=\"\"\nend");
    RunUntilModeChanges();
    EXPECT_EQ(App().mode, 3);
    EXPECT_EQ(S().vars[127], 1);
    EXPECT_EQ(Reports(), 0u);
}
