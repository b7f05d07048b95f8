#include "ScenarioFixture.h"
#include "sound/SoundChannel.h"

#include <climits>
#include <cstring>
#include <filesystem>

using testing_support::ScenarioTest;
namespace hl = platform::headless;

namespace {

class InterpreterTest : public ScenarioTest {};

std::string Str(const char* p) { return p ? std::string(p) : std::string(); }
std::string Str(const TextField& f) { return std::string(f.data(), strnlen(f.data(), f.size())); }

}  // namespace

TEST_F(InterpreterTest, ComparisonsAreSignedAndJumpOnlyWhenTrue) {
    struct Case {
        const char* op;
        std::int32_t var;
        std::int32_t value;
        bool jumps;
    };
    const Case cases[] = {
        {"jump_eq", 5, 5, true},   {"jump_eq", 5, 6, false},  {"jump_ne", 5, 6, true},
        {"jump_ne", -1, -1, false}, {"jump_gt", 0, -1, true},  {"jump_gt", -1, 0, false},
        {"jump_lt", -1, 0, true},  {"jump_lt", 0, -1, false}, {"jump_ge", 7, 7, true},
        {"jump_ge", INT_MIN, INT_MAX, false}, {"jump_le", INT_MIN, INT_MAX, true},
        {"jump_le", 1, 0, false},  {"jump_lt", 4, 4, false},  {"jump_gt", 4, 4, false},
        {"jump_ge", 5, 4, true},   {"jump_le", 4, 4, true},   {"jump_ne", INT_MIN, INT_MAX, true},
    };
    for (const Case& c : cases) {
        std::string text = "set_var var=9 value=" + std::to_string(c.var) + "\n" + c.op +
                           " var=9 value=" + std::to_string(c.value) +
                           " target=yes\nset_var var=1 value=1\nend\nyes: set_var var=1 value=2\nend\n";
        S().vars[1] = 0;
        Start(text);
        // set_var, the comparison, then one record of either branch: mode 2
        // after every one of them.
        for (int i = 0; i < 3; ++i) {
            g_scenario->Step();
            ASSERT_EQ(App().mode, 2) << c.op;
        }
        EXPECT_EQ(S().vars[1], c.jumps ? 2 : 1) << c.op << " " << c.var << " " << c.value;
        g_scenario->Step();
        EXPECT_EQ(App().mode, 1);
    }
    EXPECT_EQ(Reports(), 0u);
}

TEST_F(InterpreterTest, VariableArithmeticWrapsInThirtyTwoBits) {
    Start("set_var var=0 value=2147483647\nadd_var var=0 value=1\n"
          "set_var var=127 value=-5\nadd_var var=127 value=0xFFFFFFFF\n"
          "add_var var=3 value=-1\njump target=done\nset_var var=3 value=99\ndone: end");
    EXPECT_EQ(RunUntilModeChanges(), 7);
    EXPECT_EQ(S().vars[0], INT_MIN);
    EXPECT_EQ(S().vars[127], -6);
    EXPECT_EQ(S().vars[3], -1);
    EXPECT_EQ(App().mode, 1);
}

TEST_F(InterpreterTest, FlagsLandInTheSettingsBlock) {
    std::filesystem::create_directory("save");
    Start("set_flag flag=19\nset_flag flag=0\njump_flag flag=19 target=set\nend\n"
          "set: jump_flag flag=4 target=bad\ntext_block block=59999\nscene_end scene=27\n"
          "config_byte value=7\nend\nbad: set_var var=0 value=1\nend");
    RunUntilModeChanges();
    EXPECT_EQ(g_config[383 + 19], 1);
    EXPECT_EQ(g_config[383], 1);
    EXPECT_EQ(g_config[383 + 4], 0);
    EXPECT_EQ(S().vars[0], 0);
    EXPECT_EQ(S().textBlock, 59999u);
    EXPECT_FALSE(S().TextBlockRead());
    g_config[config::kReadFlags + 59999] = 1;
    EXPECT_TRUE(S().TextBlockRead());
    EXPECT_EQ(g_config[352 + 28], 1);  // scene 27 is the seen flag of scene 28
    EXPECT_EQ(g_config[26], 7);
    // Opcode 87 saves the block at once.
    const auto saved = testing_support::ReadFile("save/Config.dat");
    ASSERT_EQ(saved.size(), kConfigSize);
    EXPECT_EQ(saved[26], 7);
    EXPECT_EQ(saved[383 + 19], 1);
    EXPECT_EQ(App().mode, 1);
}

TEST_F(InterpreterTest, ChangeScriptChainsAndClearsTheSceneState) {
    WriteScript("b.s", "add_var var=0 value=10\nend");
    Start("set_var var=0 value=1\nchange_script text=\"b.s\"\nset_var var=0 value=500\nend", "a.s");
    cdib[2] = std::make_unique<CDib>();
    cdib[9] = std::make_unique<CDib>();
    App().surfaceNames[3][0] = 'x';
    App().charNames[14][0] = 'y';
    App().charShown[14] = 1;
    App().charCentreX[2] = 44;
    RunUntilModeChanges();
    EXPECT_EQ(S().vars[0], 11);
    EXPECT_EQ(std::string(App().scriptName.data()), "b.s");
    EXPECT_EQ(cdib[2], nullptr);
    EXPECT_EQ(cdib[9], nullptr);
    EXPECT_NE(cdib[0], nullptr);
    EXPECT_EQ(App().surfaceNames[3][0], 0);
    EXPECT_EQ(App().charNames[14][0], 0);
    EXPECT_EQ(App().charShown[14], 0);
    EXPECT_EQ(App().charCentreX[2], 0);
    EXPECT_EQ(App().mode, 1);
}

TEST_F(InterpreterTest, SceneReplayPlaysOneScriptAndEndsInTheReplayList) {
    WriteScript("b.s", "set_var var=0 value=77\nend");
    S().playContext = 1;
    Start("change_script text=\"b.s\"\nset_mode mode=9\nset_var var=1 value=3\nend", "a.s");
    RunUntilModeChanges();
    EXPECT_EQ(std::string(App().scriptName.data()), "a.s");
    EXPECT_EQ(S().vars[0], 0);
    EXPECT_EQ(S().vars[1], 3);  // opcode 3 did not leave the interpreter
    EXPECT_EQ(App().mode, 14);

    S().playContext = 0;
    App().screenRect = {0, 461, 5, 5};
    Start("set_mode mode=9\n");
    g_scenario->Step();
    EXPECT_EQ(App().mode, 9);
    StepOnce();  // past the last record: the script ends
    EXPECT_EQ(App().mode, 1);
    EXPECT_EQ(App().screenRect.right, 800);
}

TEST_F(InterpreterTest, SceneEndInReplayReturnsToTheListAndClearsTheScene) {
    S().playContext = 1;
    cdib[5] = std::make_unique<CDib>();
    Start("scene_end scene=0\nend");
    g_scenario->Step();
    EXPECT_EQ(App().mode, 14);
    EXPECT_EQ(g_config[353], 1);
    EXPECT_EQ(cdib[5], nullptr);
    S().playContext = 0;
    cdib[5] = std::make_unique<CDib>();
    Start("scene_end scene=1\nend");
    g_scenario->Step();
    EXPECT_EQ(App().mode, 2);
    EXPECT_EQ(g_config[354], 1);
    EXPECT_NE(cdib[5], nullptr);
}

TEST_F(InterpreterTest, ChoicesAreListedAndAFourthIsIgnored) {
    Start("wait ms=1\nclear_choices\nadd_choice target=a text=\"一\"\nadd_choice target=b rawtext=\"two\"\n"
          "add_choice target=a text=\"three\"\nadd_choice target=b text=\"four\"\nchoice point=99\n"
          "a: end\nb: clear_choices\nend");
    g_scenario->Step();  // wait: offset 8 is the clear_choices record
    EXPECT_EQ(App().mode, 18);
    for (int i = 0; i < 6; ++i) StepOnce();
    EXPECT_EQ(App().mode, 17);
    EXPECT_EQ(S().choicePoint, 99);
    EXPECT_EQ(S().messageStart, 8u);
    ASSERT_EQ(S().choiceCount, 3);
    EXPECT_EQ(Str(S().choiceText[0].get()), "\xD2\xBB");  // 一 in GBK
    EXPECT_EQ(S().choiceLength[0], 3);
    EXPECT_EQ(Str(S().choiceText[1].get()), "two");
    EXPECT_EQ(S().choiceLength[1], 3);
    EXPECT_EQ(S().choiceText[1][3], 0);
    EXPECT_EQ(Str(S().choiceText[2].get()), "three");
    // Targets are offsets from the start of the script.
    const std::uint32_t a = S().choiceTarget[0];
    EXPECT_EQ(S().choiceTarget[2], a);
    EXPECT_EQ(S().scriptBase[a], 1);  // the end record
    EXPECT_EQ(S().scriptBase[S().choiceTarget[1]], 28);
    EXPECT_EQ(Reports(), 0u);

    const std::uint32_t b = S().choiceTarget[1];
    S().pc = b;
    StepOnce();
    EXPECT_EQ(S().choiceCount, 0);
    EXPECT_EQ(S().choiceText[0], nullptr);
    EXPECT_EQ(S().choiceTarget[1], 0u);
    EXPECT_EQ(S().choiceLength[2], 0);
    EXPECT_EQ(S().messageStart, b);
}

TEST_F(InterpreterTest, MessagesCopyTheirTextAndAppendToTheHistory) {
    // "你<好<hao>>a" with a ruby over 好: the markup-free copy keeps the base.
    std::strcpy(S().voiceName.data(), "abc0001.ogg");
    S().speakerName = std::make_unique<char[]>(8);
    std::strcpy(S().speakerName.get(), "\xC1\xF5");
    App().logCount = 4;
    Start("message text=\"你<好<hao>>a\"\nend");
    g_scenario->Step();
    EXPECT_EQ(App().mode, 3);
    const std::string text = "\xC4\xE3<\xBA\xC3<hao>>a";
    EXPECT_EQ(Str(S().messageBuffer.get()), text);
    EXPECT_EQ(Str(S().messageText), text);
    EXPECT_EQ(Str(S().plainMessage), "\xC4\xE3\xBA\xC3");
    EXPECT_EQ(S().messageStart, 4u + static_cast<std::uint32_t>(text.size()) + 1u);
    EXPECT_EQ(S().pc, S().messageStart);
    // Written at the count, not counted: the display counts it.
    EXPECT_EQ(App().logCount, 4);
    EXPECT_EQ(Str(App().logText[4]), text);
    EXPECT_EQ(Str(App().logNames[4]), "\xC1\xF5");
    EXPECT_EQ(Str(App().logVoices[4]), "abc0001.ogg");
    EXPECT_EQ(S().voiceName[0], 0);

    // A ruby inside two-byte text: the ruby's own characters are dropped.
    Start("message text=\"<山<やま>>\"\nend");
    g_scenario->Step();
    EXPECT_EQ(Str(S().plainMessage), "\xC9\xBD");
    EXPECT_EQ(Str(App().logNames[4]), "\xC1\xF5");
}

TEST_F(InterpreterTest, CaptionStyleMessagesAreNotLogged) {
    S().messageStyle = 2;
    std::strcpy(S().voiceName.data(), "v.ogg");
    Start("message text=\"字\"\nend");
    g_scenario->Step();
    EXPECT_EQ(App().mode, 3);
    EXPECT_EQ(S().messageStart, 7u);
    EXPECT_EQ(Str(S().plainMessage), "\xD7\xD6");
    EXPECT_EQ(App().logText[0][0], 0);
    EXPECT_EQ(Str(S().voiceName), "v.ogg");  // kept for the next logged message
}

TEST_F(InterpreterTest, LongMessagesKeepTheirFieldsTerminated) {
    // 255 text bytes with no zero inside the string: the markup-free copy
    // reads on to the next record's zero bytes.
    const std::string body(127, '\0');
    std::string raw;
    for (int i = 0; i < 127; ++i) raw += "\\xb0\\xa1";
    raw += "x";
    std::memset(S().voiceName.data(), 'v', 255);
    Start("message rawtext=\"" + raw + "\"\nend");
    g_scenario->Step();
    EXPECT_EQ(strnlen(S().messageText.data(), 256), 255u);
    EXPECT_EQ(S().messageText[255], 0);
    EXPECT_EQ(strnlen(S().plainMessage.data(), 256), 254u);
    EXPECT_EQ(strnlen(App().logText[0].data(), 256), 255u);
    // A message record keeps at most 254 bytes of the voice name.
    EXPECT_EQ(strnlen(App().logVoices[0].data(), 256), 254u);
}

TEST_F(InterpreterTest, SilentMessagesKeepOnlyTwoByteCharactersAndAlwaysLog) {
    S().messageStyle = 2;
    std::memset(S().voiceName.data(), 'w', 255);
    Start("message_silent x=-3 y=470 text=\"a你<好<ほ>>\"\nend");
    g_scenario->Step();
    EXPECT_EQ(App().mode, 36);
    EXPECT_EQ(S().windowX, -3);
    EXPECT_EQ(S().windowY, 470);
    // No ruby rule: the ruby's two-byte character stays.
    const std::string plain = "\xC4\xE3\xBA\xC3\xA4\xDB";
    EXPECT_EQ(Str(S().plainMessage), plain);
    EXPECT_EQ(Str(S().messageText), plain);
    EXPECT_EQ(S().messageStart, 0u);
    EXPECT_EQ(Str(App().logText[0]), "a\xC4\xE3<\xBA\xC3<\xA4\xDB>>");
    EXPECT_EQ(strnlen(App().logVoices[0].data(), 256), 255u);
    EXPECT_EQ(S().voiceName[0], 0);
}

TEST_F(InterpreterTest, AFullHistoryDropsItsOldestEntry) {
    for (int i = 0; i < 250; ++i) App().logText[static_cast<std::size_t>(i)][0] = static_cast<char>(1 + i % 100);
    App().logCount = 250;
    Start("message text=\"new\"\nend");
    g_scenario->Step();
    EXPECT_EQ(App().logCount, 249);
    EXPECT_EQ(App().logText[0][0], 2);  // the old entry 1
    EXPECT_EQ(App().logText[248][0], 1 + 249 % 100);
    EXPECT_EQ(Str(App().logText[249]), "new");
}

TEST_F(InterpreterTest, EveryOpcodeLeavesTheModeItNames) {
    struct Case {
        const char* record;
        std::uint8_t mode;
    };
    const Case cases[] = {
        {"message text=\"x\"", 3},        {"end", 1},
        {"set_mode mode=56", 56},         {"set_var var=0 value=1", 2},
        {"wait ms=5", 18},                {"mask_wipe type=1 ms=5", 4},
        {"transition type=1 ms=5", 5},    {"pan surface=1 ease=0 variant=0 from_x=0 from_y=0 to_x=0 to_y=0 ms=1", 25},
        {"choice point=0", 17},           {"clear_choices", 2},
        {"scene_end scene=0", 2},         {"set_flag flag=0", 2},
        {"wait_voice channel=0", 52},     {"stop_voice channel=0", 53},
        {"day day=3", 2},                 {"save_group group=1", 2},
        {"eye_catch variant=1", 19},      {"skip55", 2},
        {"skip56", 2},                    {"skip57", 2},
        {"store_byte value=1", 2},        {"layer_tween layer=0 type=0 x=0 y=0 w=0 h=0 src_x=0 src_y=0 src_w=0 src_h=0 span=0 angle=0 ms=0", 2},
        {"message_silent x=0 y=0 text=\"x\"", 36},
        {"particles on=1", 2},            {"window_style style=0", 2},
        {"window_style style=1", 37},     {"window_style style=2", 2},
        {"layer_wobble layer=0 sweep=0 opacity=0 ramp=0", 2},
        {"color_fade layer=0 ms=1 color=0", 35},
        {"wait_layers value=0 ms=1", 38}, {"reset_layers", 2},
        {"start_layer layer=0", 2},       {"bake_layers last=-1", 2},
        {"skip73", 2},                    {"face_frame slot=0 face=0 ms=1", 39},
        {"layer_effect layer=0 type=0 ms=1", 40},
        {"fade_to_saved", 41},            {"curtain variant=1", 44},
        {"erase_window", 2},              {"quake type=0 loop=0 amplitude=1 period=1", 2},
        {"stop_quake", 2},                {"band kind=0", 2},
        {"stop_band", 2},                 {"wait_click", 51},
        {"layer_phase layer=0 phase=0 base=0", 2},
        {"clear_layer layer=0", 2},       {"play_bgm loop=0 text=\"m\"", 2},
        {"stop_se channel=0", 2},         {"play_wave channel=0 class=0", 2},
    };
    for (const Case& c : cases) {
        Start(std::string(c.record) + "\nend\n");
        App().mode = 2;
        g_scenario->Step();
        EXPECT_EQ(App().mode, c.mode) << c.record;
    }
}

TEST_F(InterpreterTest, StoryModeOpcodesHandTheirOperandsOn) {
    Start("wait ms=1500\nmask_wipe type=7 ms=300\ntransition type=39 ms=0\n"
          "pan surface=4 ease=2 variant=3 from_x=-10 from_y=20 to_x=30 to_y=-40 ms=900\n"
          "wait_voice channel=19\neye_catch variant=2\ncolor_fade layer=3 ms=400 color=0x80102030\n"
          "wait_layers value=5 ms=250\nlayer_effect layer=6 type=9 ms=70\nfade_to_saved\ncurtain variant=4\n"
          "day day=12\nday day=-1\nsave_group group=-2\nstore_byte value=200\nparticles on=1\n"
          "day day=0\nend");
    StepOnce();
    EXPECT_EQ(S().effectDuration, 1500u);
    EXPECT_EQ(App().screenRect.right, 800);
    StepOnce();
    EXPECT_EQ(S().effectType, 7);
    EXPECT_EQ(S().effectDuration, 300u);
    StepOnce();
    EXPECT_EQ(S().effectType, 39);
    EXPECT_EQ(S().effectDuration, 0u);
    StepOnce();
    EXPECT_EQ(S().currentLayer, 4);
    EXPECT_EQ(S().effectType, 2);
    EXPECT_EQ(S().panDrawMode, 3);
    EXPECT_EQ(S().panFrom, (std::array<std::int16_t, 2>{-10, 20}));
    EXPECT_EQ(S().panTo, (std::array<std::int16_t, 2>{30, -40}));
    EXPECT_EQ(S().effectTime, 900u);
    StepOnce();
    EXPECT_EQ(S().seWaitSlot, 19);
    S().subState = 9;
    StepOnce();
    EXPECT_EQ(S().effectType, 2);
    EXPECT_EQ(S().subState, 0);
    StepOnce();
    EXPECT_EQ(S().currentLayer, 3);
    EXPECT_EQ(S().effectDuration, 400u);
    EXPECT_EQ(S().overlayColor, 0x80102030u);
    StepOnce();
    EXPECT_EQ(S().layerWaitByte, 5);
    EXPECT_EQ(S().layerWaitMs, 250u);
    StepOnce();
    EXPECT_EQ(S().currentLayer, 6);
    EXPECT_EQ(S().effectType, 9);
    EXPECT_EQ(S().effectDuration, 70u);
    S().subState = 3;
    StepOnce();
    EXPECT_EQ(S().penX, 712);
    EXPECT_EQ(S().subState, 0);
    S().subState = 3;
    StepOnce();
    EXPECT_EQ(S().curtainVariant, 4);
    EXPECT_EQ(S().subState, 0);
    StepOnce();
    EXPECT_EQ(S().dayNumber, 12);
    StepOnce();
    EXPECT_EQ(S().dayNumber, 12);  // a negative day leaves it
    StepOnce();
    EXPECT_EQ(S().saveGroup, -2);
    StepOnce();
    EXPECT_EQ(S().op58Value, 200);
    StepOnce();
    EXPECT_EQ(S().particlesOn, 1);
    StepOnce();
    EXPECT_EQ(S().dayNumber, 0);
    EXPECT_EQ(Reports(), 0u);
}

TEST_F(InterpreterTest, LayerOpcodesFillTheirSlots) {
    hl::AdvanceClock(1000);
    Start("layer_mask layer=2 mask=0 x=1 y=2 w=3 h=4 src_x=5 src_y=6 src_w=7 src_h=8 fixed_angle=9 angle=10 delay=0\n"
          "layer_tween layer=2 type=5 x=-1 y=-2 w=-3 h=-4 src_x=-5 src_y=-6 src_w=-7 src_h=-8 span=90 angle=180 ms=600\n"
          "layer_wobble layer=2 sweep=180 opacity=256 ramp=800\nlayer_phase layer=2 phase=30 base=-7\n"
          "start_layer layer=2\nlayer_mask layer=3 mask=0 x=0 y=0 w=0 h=0 src_x=0 src_y=0 src_w=0 src_h=0 "
          "fixed_angle=0 angle=0 delay=500\nstart_layer layer=3\nclear_layer layer=2\nend");
    for (int i = 0; i < 4; ++i) StepOnce();
    const LayerSlot& s = S().layers[2];
    EXPECT_EQ(S().currentLayer, 2);
    EXPECT_EQ(s.startRect, (std::array<std::int16_t, 4>{1, 2, 3, 4}));
    EXPECT_EQ(s.rect, s.startRect);
    EXPECT_EQ(s.startSrc, (std::array<std::int16_t, 4>{5, 6, 7, 8}));
    EXPECT_EQ(s.src, s.startSrc);
    EXPECT_EQ(s.fixedAngle, 9u);
    EXPECT_EQ(s.startAngle, 10u);
    EXPECT_EQ(s.angle, 10u);
    EXPECT_EQ(s.tweenType, 5);
    EXPECT_EQ(s.endRect, (std::array<std::int16_t, 4>{-1, -2, -3, -4}));
    EXPECT_EQ(s.endSrc, (std::array<std::int16_t, 4>{-5, -6, -7, -8}));
    EXPECT_EQ(s.easeSpan, 90u);
    EXPECT_EQ(s.endAngle, 180u);
    EXPECT_EQ(s.duration, 600u);
    EXPECT_EQ(s.alphaSweep, 180u);
    EXPECT_EQ(s.alphaTarget, 256);
    EXPECT_EQ(s.alphaRamp, 800u);
    EXPECT_EQ(s.alphaClock, 1000u);
    EXPECT_EQ(s.alphaAnimOn, 1);
    EXPECT_EQ(S().layerAnimOn, 1);
    EXPECT_EQ(s.alphaPhase, 30u);
    EXPECT_EQ(s.alphaBase, -7);
    hl::AdvanceClock(50);
    StepOnce();
    EXPECT_EQ(s.tweenStart, 1050u);
    EXPECT_EQ(s.issuedTime, 1050u);
    EXPECT_EQ(S().layerWaitStart, 1050u);
    StepOnce();
    hl::AdvanceClock(50);
    StepOnce();  // a delayed slot keeps its tween clock
    EXPECT_EQ(S().layers[3].tweenStart, 0u);
    EXPECT_EQ(S().layers[3].issuedTime, 1100u);
    StepOnce();
    EXPECT_EQ(s.duration, 0u);
    EXPECT_EQ(s.rect, (std::array<std::int16_t, 4>{}));
    EXPECT_EQ(s.alphaAnimOn, 0);
    EXPECT_EQ(S().layers[3].delay, 500u);
}

TEST_F(InterpreterTest, QuakeStartsUnlessSkippedButThePlaneAlwaysStarts) {
    hl::AdvanceClock(300);
    Start("quake type=2 loop=1 amplitude=8 period=400\nquake type=5 loop=0 amplitude=3 period=9\n"
          "quake type=7 loop=0 amplitude=3 period=9\nstop_quake\nquake type=3 loop=0 amplitude=1 period=2\n"
          "quake type=10 loop=0 amplitude=0 period=30\nend");
    StepOnce();
    EXPECT_EQ(S().quakeActive, 1);
    EXPECT_EQ(S().quakeType, 2);
    EXPECT_EQ(S().quakeLoop, 1);
    EXPECT_EQ(S().quakeAmplitude, 8);
    EXPECT_EQ(S().quakePeriod, 400u);
    EXPECT_EQ(S().quakeStart, 300u);
    EXPECT_EQ(S().quakePhase, 1u);
    StepOnce();
    EXPECT_EQ(S().quakePhase, 2u);
    StepOnce();
    EXPECT_EQ(S().quakePhase, 0u);
    StepOnce();
    EXPECT_EQ(S().quakeActive, 0);
    EXPECT_EQ(S().quakeType, 0);
    // With Ctrl held a shake is stored but not started...
    g_mouse->skip = 1;
    StepOnce();
    EXPECT_EQ(S().quakeActive, 0);
    EXPECT_EQ(S().quakeType, 3);
    EXPECT_EQ(S().quakePhase, 0u);
    // ...while the plane starts on a black work surface 1.
    cdib[1].reset();
    hl::AdvanceClock(20);
    StepOnce();
    EXPECT_EQ(S().quakeActive, 1);
    EXPECT_EQ(S().quakeStart, 320u);
    ASSERT_NE(cdib[1], nullptr);
    EXPECT_EQ(cdib[1]->GetWidth(), 800);
    EXPECT_EQ(*cdib[1]->GetPixelPtr(400, 300), 0u);
}

TEST_F(InterpreterTest, TheQuakeSettingStopsShakesToo) {
    g_config[config::kNoQuake] = 1;
    Start("quake type=0 loop=1 amplitude=8 period=400\nend");
    StepOnce();
    EXPECT_EQ(S().quakeActive, 0);
    EXPECT_EQ(S().quakeType, 0);
    EXPECT_EQ(S().quakePeriod, 400u);
}

TEST_F(InterpreterTest, BandStopClearsItsState) {
    S().bandKind = 2;
    S().bandPos = 33;
    S().bandStart = 44;
    Start("stop_band\nend");
    StepOnce();
    EXPECT_EQ(S().bandKind, 0);
    EXPECT_EQ(S().bandPos, 0u);
    EXPECT_EQ(S().bandStart, 0u);
    EXPECT_EQ(g_bandImage, nullptr);
}

TEST_F(InterpreterTest, LoweringTheMusicHalvesTheMusicVolume) {
    g_config[config::kBgmVolume] = 81;
    Start("lower_bgm\nlower_bgm\nend");
    StepOnce();  // no music channel: nothing changes
    EXPECT_EQ(g_bgmVolume.load(), 50);
    g_bgmChannel = std::make_unique<CBgmChannel>();
    StepOnce();
    EXPECT_EQ(g_bgmVolume.load(), 40);
    g_bgmChannel.reset();
    SetBgmVolumeGlobal(50);
}
