// Text rules of the message window on raw GBK bytes: where each character
// lands, breaks at 46 bytes with the hanging punctuation, icons, ruby and tags.
// The recording font inks one white pixel at each pen position; the window
// text surface stands at screen y 461, so the first line (pen y 498) is row 37.
#include "MessageFixture.h"

#include "scenario/MessageHistory.h"
#include "sound/SoundChannel.h"

#include <string>

using testing_support::MessageTest;
using testing_support::Rgb;
using Points = std::vector<std::pair<int, int>>;
namespace hl = platform::headless;

namespace {

const std::string kNi = "\xC4\xE3";    // 你
const std::string kHao = "\xBA\xC3";   // 好
const std::string kBreak = "\xA1\xE7"; // ＄
const std::string kComma = "\x81\x41"; // a character that may not begin a line

std::string Times(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

class TextLayoutTest : public MessageTest {};

} // namespace

TEST_F(TextLayoutTest, CharactersLandOnTheirLinesAndBreakAt46Bytes) {
    struct Case {
        const char* name;
        std::string text;
        Points ink; // sorted by row, then column
    };
    const Case cases[] = {
        // 26 pixels a two-byte character, 13 a one-byte one.
        {"plain", kNi + "a" + kHao, {{84, 37}, {110, 37}, {123, 37}}},
        {"forced break", kNi + kBreak + kHao, {{84, 37}, {84, 71}}},
        // 23 characters fill 46 bytes: the 24th starts line 2 (pen y + 34).
        {"width", Times(kNi, 24),
         [] {
             Points p;
             for (int i = 0; i < 23; ++i)
                 p.emplace_back(84 + 26 * i, 37);
             p.emplace_back(84, 71);
             return p;
         }()},
        // The character after the 46th byte hangs at x 84 + 23 * 26 = 682.
        {"kinsoku", Times(kNi, 23) + kComma + kHao,
         [] {
             Points p;
             for (int i = 0; i < 24; ++i)
                 p.emplace_back(84 + 26 * i, 37);
             p.emplace_back(84, 71);
             return p;
         }()},
        // One-byte characters break when the width reaches 46 as well.
        {"one-byte", std::string(47, 'a'),
         [] {
             Points p;
             for (int i = 0; i < 46; ++i)
                 p.emplace_back(84 + 13 * i, 37);
             p.emplace_back(84, 71);
             return p;
         }()},
        // A lead byte cut by the end of the text is dropped, not read past.
        {"cut lead byte", kNi + "\xC4", {{84, 37}}},
        // Unknown tag letters consume the '#' and the letter only.
        {"unknown tag", "#x" + kNi, {{84, 37}}},
        // #s changes the size: the next characters advance 30.
        {"size tag", "#s30#" + kNi + kHao + "a", {{84, 37}, {114, 37}, {144, 37}}},
        // A size field longer than its 128-byte buffer is cut: 127 zeros read 0,
        // which changes nothing.
        {"overlong size", "#s" + std::string(130, '0') + "30#" + kNi + kHao, {{84, 37}, {110, 37}}},
        // An unclosed tag runs to the end of the text.
        {"unclosed", kNi + "#s30" + kHao, {{84, 37}}},
    };
    for (const Case& c : cases) {
        S().messageStyle = 0;
        g_glyphFont->SetFont(26, 0);
        ShowWhole(c.text);
        Points ink = TextInk();
        std::sort(ink.begin(), ink.end(), [](auto a, auto b) {
            return a.second != b.second ? a.second < b.second : a.first < b.first;
        });
        EXPECT_EQ(ink, c.ink) << c.name;
        EXPECT_EQ(S().subState, 3) << c.name;
    }
}

TEST_F(TextLayoutTest, IconsTakeTheirTileAndMoveThePen) {
    // Digits 1 and 2: tile 12 (x 288) beside the character, the pen 26 on.
    ShowWhole(kNi +
              "\x81\xE8"
              "12" +
              kHao);
    EXPECT_EQ(Rgb(g_msgWindowText.get(), 84 + 26 + 2, 37 + 5), 0xFF0000u + 12);
    EXPECT_EQ(Rgb(g_msgWindowText.get(), 84 + 26 + 2 + 23, 37 + 23), 0xFF0000u + 12);
    EXPECT_EQ(Rgb(g_msgWindowText.get(), 84 + 26 + 2 + 24, 37 + 10), kWindowColour & 0xFFFFFF);
    const Points expected = {{84, 37}, {136, 37}};
    EXPECT_EQ(TextInk(), expected);
    EXPECT_EQ(S().lineColumn, 2 + 4 + 2);

    // A marker whose digits are cut off by the end of the text ends it.
    for (const std::string& cut : {kNi + "\x81\xE8"
                                         "1",
                                   kNi + "\x81\xE8", kNi + std::string("\x81")}) {
        g_msgWindowText->FillRect(0, 0, 800, 139, kWindowColour);
        ShowWhole(cut);
        EXPECT_EQ(TextInk(), (Points{{84, 37}})) << cut.size();
        EXPECT_EQ(S().subState, 3);
    }
}

TEST_F(TextLayoutTest, BreakRulesFollowOneByteCharactersTooInAWholeMessage) {
    const auto sortedInk = [&] {
        Points ink = TextInk();
        std::sort(ink.begin(), ink.end(), [](auto a, auto b) {
            return a.second != b.second ? a.second < b.second : a.first < b.first;
        });
        return ink;
    };
    const auto clearWindow = [] { g_msgWindowText->FillRect(0, 0, 800, 139, kWindowColour); };
    const std::string iconAfterX = "x\x81\xE8"
                                   "12" +
                                   kHao;
    // One-byte characters advance 13: the break after "c" puts 你 at the start
    // of line 2 (pen y + 34), and no ＄ is drawn.
    const Points afterBreak = {{84, 37}, {97, 37}, {110, 37}, {84, 71}};
    ShowWhole("abc" + kBreak + kNi);
    EXPECT_EQ(sortedInk(), afterBreak);
    EXPECT_EQ(DrawnCodes(0xA1E7), 0u);

    // The icon after "x" lands at 84 + 13 + 2, the pen 26 on: 好 at 123.
    clearWindow();
    ShowWhole(iconAfterX);
    EXPECT_EQ(Rgb(g_msgWindowText.get(), 84 + 13 + 2, 37 + 5), 0xFF0000u + 12);
    EXPECT_EQ(sortedInk(), (Points{{84, 37}, {123, 37}}));

    // After the 46th byte, one-byte as well, the comma hangs at 84 + 46 * 13.
    clearWindow();
    ShowWhole(std::string(46, 'a') + kComma + kHao);
    Points hung;
    for (int i = 0; i < 46; ++i)
        hung.emplace_back(84 + 13 * i, 37);
    hung.emplace_back(682, 37);
    hung.emplace_back(84, 71);
    EXPECT_EQ(sortedInk(), hung);

    // Revealed one character a frame, ＄ after a one-byte character still breaks.
    clearWindow();
    codes_.clear();
    g_config[config::kTextSpeed] = 50;
    SetMessage("abc" + kBreak + kNi);
    Frames(20, 101);
    EXPECT_EQ(S().subState, 3);
    EXPECT_EQ(sortedInk(), afterBreak);
    EXPECT_EQ(DrawnCodes(0xA1E7), 0u);

    // So does the icon after "x": the tile, not its marker bytes.
    clearWindow();
    SetMessage(iconAfterX);
    Frames(20, 101);
    EXPECT_EQ(Rgb(g_msgWindowText.get(), 84 + 13 + 2, 37 + 5), 0xFF0000u + 12);
    EXPECT_EQ(DrawnCodes(0x81E8), 0u);
}

TEST_F(TextLayoutTest, RubyCentresOverItsBaseUnlessTheBaseWraps) {
    // Base 你好 from x 84 to 136; ruby 拼 (one character, 2 bytes) at
    // 84 + 52 / 2 - 1 * 5 = 105, row 488 - 461 = 27, then size 26 again.
    const std::string pin = "\xC6\xB4";
    ShowWhole("<" + kNi + kHao + "<" + pin + ">" + kHao);
    EXPECT_EQ(TextInk(), (Points{{105, 27}, {84, 37}, {110, 37}, {136, 37}}));
    EXPECT_EQ(DrawnCodes(0xC6B4), 2u); // drawn twice at the same place
    EXPECT_EQ(g_glyphFont->GetSize(), 26);

    // 22 characters, then a base that breaks after its first character: the
    // end lies left of the start and no ruby is drawn.
    codes_.clear();
    g_msgWindowText->FillRect(0, 0, 800, 139, kWindowColour);
    ShowWhole(Times(kNi, 22) + "<" + kNi + kHao + "<" + pin + ">");
    EXPECT_EQ(DrawnCodes(0xC6B4), 0u);
    EXPECT_EQ(Rgb(g_msgWindowText.get(), 84, 71), testing_support::kInk); // 好 on line 2
    EXPECT_EQ(S().rubyOpen, 0);
}

TEST_F(TextLayoutTest, TagsActOnTheirSlotsWithinTheirTables) {
    // #f: the last character in parentheses counts; without a face sheet the
    // player is told and the image byte is still stored.
    App().charCentreX[2] = 400;
    ShowWhole("#f(12)[3]#" + kNi);
    EXPECT_EQ(App().charParams[2], 3);
    ASSERT_EQ(hl::Questions().size(), 1u);
    EXPECT_EQ(hl::Questions()[0].gbkText, "Not FaceFrame");
    EXPECT_EQ(hl::Questions()[0].gbkCaption, "Error:SetScrCharSet");

    // #p: four entries at most; a fifth is ignored. No backup surface: told.
    ShowWhole("#p(1)[2]400:(2)[0]200:(3)[0]100:(4)[5]-50:(5)[1]10#" + kNi);
    EXPECT_EQ(App().charCentreX[1], 400);
    EXPECT_EQ(App().charParams[1], 2);
    EXPECT_EQ(App().charCentreX[4], -50);
    EXPECT_EQ(App().charParams[4], 5);
    EXPECT_EQ(App().charShown[4], 1);
    EXPECT_EQ(App().charShown[5], 0);
    EXPECT_EQ(App().charCentreX[5], 0);
    ASSERT_EQ(hl::Questions().size(), 2u);
    EXPECT_EQ(hl::Questions()[1].gbkText, "Not BackUp");

    // #b: channel 2 names the saved sound by its file name; channel 9 lies
    // past the script's nine channels and plays nothing.
    ShowWhole("#b(2)se01#" + kNi);
    EXPECT_EQ(std::string(App().seName.data()), "se01.ogg");
    EXPECT_NE(g_seChannels[3], nullptr);
    for (auto& c : g_seChannels)
        c.reset();
    ShowWhole("#b(9)se02#" + kNi);
    for (const auto& c : g_seChannels)
        EXPECT_EQ(c, nullptr);
    for (auto& c : g_seChannels)
        c.reset();

    // A name longer than its field is cut to 127 bytes.
    ShowWhole("#b(2)" + std::string(200, 'n') + "#" + kNi);
    EXPECT_EQ(std::string(App().seName.data()).size(), 127u);
    for (auto& c : g_seChannels)
        c.reset();
}

TEST_F(TextLayoutTest, AVoiceTagHandsOverToTheVoiceWaitAndDrawingResumesAfterIt) {
    g_mouse->click = 1;
    ShowWhole(kNi + "#v(0)abc0001#" + kHao);
    EXPECT_EQ(App().mode, 23);
    EXPECT_EQ(std::string(S().waveName.data()), "abc0001");
    EXPECT_EQ(S().voiceWaitPending, 1);
    EXPECT_EQ(g_mouse->click, 0);
    EXPECT_EQ(TextInk(), (Points{{84, 37}}));
    // The voice wait comes back in sub-state 2: the rest follows.
    App().mode = 3;
    S().subState = 2;
    S().RunMessage();
    EXPECT_EQ(TextInk(), (Points{{84, 37}, {110, 37}}));
    EXPECT_EQ(S().subState, 3);
}

TEST_F(TextLayoutTest, TheMarkupFreeCopyKeepsTwoByteCharactersAndRubyBases) {
    struct Case {
        const char* script;
        const char* plain;
    };
    const Case cases[] = {
        {"message rawtext=\"#s30#abc\\xC4\\xE3\\x00\"\nend", "\xC4\xE3"},
        {"message rawtext=\"<\\xC4\\xE3<\\xC6\\xB4>>\\xBA\\xC3\\x00\"\nend", "\xC4\xE3\xBA\xC3"},
        {"message rawtext=\"\\x81\\xE8"
         "12\\xBA\\xC3\\x00\"\nend",
         "\x81\xE8\xBA\xC3"},
    };
    for (const Case& c : cases) {
        Start(c.script);
        RunUntilModeChanges();
        EXPECT_EQ(std::string(S().plainMessage.data()), c.plain) << c.script;
    }
}

TEST(MessageHistoryTest, TheNewestTwoHundredFiftyStayAndChoicesAreMarked) {
    auto app =
        std::make_unique<CGameApp>(platform::WindowHandle::Main, platform::WindowHandle::Main);
    for (int i = 0; i < 251; ++i) {
        const std::string text = "m" + std::to_string(i);
        AppendMessageHistory(*app, text, i % 2 ? "who" : "", "v" + std::to_string(i), 254);
        CountShownMessage(*app);
    }
    EXPECT_EQ(app->logCount, 250);
    EXPECT_EQ(std::string(app->logText[0].data()), "m1");
    EXPECT_EQ(std::string(app->logVoices[0].data()), "v1");
    EXPECT_EQ(std::string(app->logNames[0].data()), "who");
    EXPECT_EQ(std::string(app->logText[249].data()), "m250");
    EXPECT_EQ(std::string(app->logNames[249].data()), "");

    AppendChoiceHistory(*app, "\xC4\xE3");
    EXPECT_EQ(app->logCount, 250);
    EXPECT_EQ(std::string(app->logText[249].data()), "\xA1\xF9\xA1\xA1\xC4\xE3\xA1\xA1\xA1\xF9");
    EXPECT_EQ(std::string(app->logNames[249].data()), "");
    EXPECT_EQ(std::string(app->logVoices[249].data()), "");
    EXPECT_EQ(std::string(app->logText[248].data()), "m250");

    // A damaged count is brought back into range before counting.
    app->logCount = 9999;
    CountShownMessage(*app);
    EXPECT_EQ(app->logCount, 250);
    app->logCount = -3;
    CountShownMessage(*app);
    EXPECT_EQ(app->logCount, 1);
}

TEST_F(TextLayoutTest, PositionsFromTextLengthsStayOnTheSurface) {
    // A 40-byte name would start at (8 - 19) * 12 < 0: it starts at 0.
    S().speakerName = std::make_unique<char[]>(41);
    const std::string name = Times(kNi, 20);
    std::copy(name.begin(), name.end(), S().speakerName.get());
    ShowWhole(kNi);
    EXPECT_EQ(testing_support::Rgb(g_msgWindowText.get(), 0, 8), testing_support::kInk);

    // Caption band: a long message starts at y 518 with its first line (up to
    // the break) centred: 6 bytes -> x = 400 - 3 * 11 = 367; after the break
    // y + 24 and the rest (80 bytes) centred: 400 - 40 * 11 = -40 -> 0.
    S().messageStyle = 2;
    g_glyphFont->SetFont(23, 0);
    ShowWhole(Times(kNi, 3) + kBreak + std::string(80, 'a'));
    EXPECT_EQ(testing_support::Rgb(g_backBuffer.get(), 367, 518), testing_support::kInk);
    EXPECT_EQ(testing_support::Rgb(g_backBuffer.get(), 0, 542), testing_support::kInk);
    EXPECT_EQ(App().logCount, 1); // the window message only: the band is not counted
}

TEST_F(TextLayoutTest, DamagedTextEndsInsideItsBytesInEveryStyle) {
    // Messages built from the bytes that steer the walk: tag and ruby marks,
    // field brackets, marker halves, lead bytes and digits, in random order and
    // cut anywhere. Each must finish, or hand over to another mode, within a
    // bounded number of frames, its index never past its end.
    const std::string alphabet =
        std::string("#<>()[]:sfbvp0123456789 a") + "\x81\xE8\xA1\xE7\xFD\xA3\xC4\xE3\x82";
    std::uint32_t seed = 12345;
    auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 16;
    };
    for (int round = 0; round < 300; ++round) {
        std::string text(next() % 256, ' ');
        for (char& c : text)
            c = alphabet[next() % alphabet.size()];
        const std::size_t zero = text.find('\0');
        if (zero != std::string::npos) text.resize(zero);
        S().messageStyle = static_cast<std::uint8_t>(round % 3);
        S().penX = 712;
        g_glyphFont->SetFont(26, 0);
        g_config[config::kTextSpeed] = round % 2 ? 100 : 50;
        SetMessage(text);
        int frames = 0;
        for (; frames < 600 && App().mode == 3 && S().subState != 3; ++frames) {
            S().RunMessage();
            hl::AdvanceClock(101);
            if (App().mode == 23) { // the voice wait hands back in sub-state 2
                App().mode = 3;
                S().subState = 2;
            }
        }
        EXPECT_LT(frames, 600) << round;
        EXPECT_LE(S().charIndex, S().MessageView().size()) << round;
        App().mode = 3;
    }
    for (auto& c : g_seChannels)
        c.reset();
}
