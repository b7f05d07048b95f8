// The in-game menu: the right click back to the story, the entries and where
// they lead, save and load shut outside the story proper, the exit dialog and
// its second question answered both ways, the hover mark, and the cursor
// glides of the menu, the dialog and the second question.
#include "system/SystemMenu.h"

#include "SystemFixture.h"

using namespace system_test;

namespace {

constexpr std::uint32_t kShade = 0x101010;
constexpr std::uint32_t kSheet = 0xC0C0C0;
constexpr std::uint32_t kDialog = 0x4080C0;
constexpr std::uint32_t kToTitle = 0x30A050;
// The yes and no buttons: row 0 yes, 1 no; column 0 plain, 1 lit, 2 glow.
constexpr std::uint32_t Answer(int row, int column) {
    return 0x402010u * static_cast<std::uint32_t>(row + 1) +
           0x30u * static_cast<std::uint32_t>(column);
}

class SystemMenuTest : public SystemScreenTest {
protected:
    void SetUp() override {
        WriteSolid("system/sys_m_base.bmp", 800, 600, Opaque(kShade));
        WriteSolid("system/sys_m_moji.bmp", 134, 600, Opaque(0x600000));
        WriteSolid("system/sys_m_p01.bmp", 276, 270, Opaque(0x006000));
        WriteSolid("system/sys_m_p02.bmp", 608, 232, Opaque(kSheet));
        WriteSolid("system/exit_up.bmp", 800, 600, 0x00000000);
        WriteSolid("system/EXIT_bg.bmp", 382, 146, Opaque(kDialog));
        WriteSolid("system/exit_p.bmp", 609, 108, Opaque(0x808000));
        WriteSolid("system/cancel.bmp", 228, 41, Opaque(0x800080));
        WriteSolid("system/EXIT_bg_03.bmp", 316, 142, Opaque(kToTitle));
        WriteSolid("system/EXIT_bg_02.bmp", 316, 142, Opaque(0x205080));
        WriteImage("system/ok_button.bmp", 300, 100,
                   [](int x, int y) { return Opaque(Answer(y / 50, x / 100)); });
        SystemScreenTest::SetUp();
    }
    CSystemMenu& Menu() { return *g_systemMenu; }
    void ToInput() {
        OpenOverStory(8);
        ASSERT_NE(g_systemMenu, nullptr);
        SkipTo(Menu(), 4);
    }
    // Exit, then a choice of the dialog once its panel has dropped in.
    void ChooseInDialog(int x, int y) {
        Click(769, 360);
        ASSERT_EQ(Menu().state, 6);
        SkipTo(Menu(), 13);
        Click(x, y);
        ASSERT_EQ(Menu().state, 14);
        SkipTo(Menu(), 16, 3);
    }
    // The second question's yes (x 337) or no (x 447) once it has dropped in.
    void AnswerQuestion(int x) {
        SkipTo(Menu(), 18, 3);
        Click(x, 300);
        ASSERT_EQ(Menu().state, 19);
        SkipTo(Menu(), 20, 2);
        Frame();
    }
};

TEST_F(SystemMenuTest, RightClickFadesBackToTheStoryOver500Ms) {
    ToInput();
    // The menu page: the shade over the story, the sheet's labels at x 656.
    EXPECT_EQ(Pixel(300, 500), kShade);
    EXPECT_EQ(Pixel(700, 205), kSheet);
    Shot("system-menu.bmp");

    RightClick();
    ASSERT_EQ(Menu().state, 5);
    EXPECT_EQ(g_mouse->cancel, 0);
    AdvanceTo(Menu().stateTime + 250);
    Frame();
    // 250 × 255 / 500 = 127: the snapshot at 127 over the page.
    EXPECT_EQ(Pixel(300, 500), Mix(kStory, kShade, 127));
    EXPECT_EQ(g_gameApp->mode, 8);

    AdvanceTo(Menu().stateTime + 500);
    Frame();
    EXPECT_EQ(Pixel(300, 500), kStory);
    EXPECT_EQ(Pixel(700, 205), kStory);
    Frame();
    EXPECT_EQ(g_gameApp->mode, 3);
    EXPECT_EQ(cdib[30], nullptr);
    EXPECT_EQ(cdib[35], nullptr);
}

TEST_F(SystemMenuTest, EntriesLeadStraightOnWithoutAFadeAndComeBackToTheStory) {
    const struct {
        int x, y, mode;
    } entries[] = {{760, 210, 10}, {760, 250, 11}, {720, 285, 6}, {700, 325, 9}};
    for (const auto& e : entries) {
        g_scenario->menuReturn = 0;
        ToInput();
        Click(e.x, e.y);
        ASSERT_EQ(Menu().state, 6) << e.mode;
        EXPECT_EQ(TenthsOf(g_seChannels[0].get()), 2);
        Frame();
        EXPECT_EQ(g_gameApp->mode, e.mode);
        EXPECT_EQ(g_gameApp->returnMode, 3);
        EXPECT_EQ(g_scenario->menuReturn, 1);
        EXPECT_EQ(cdib[30], nullptr);
        g_systemMenu.reset();
    }
}

TEST_F(SystemMenuTest, SaveAndLoadAreShutOutsideTheStoryProper) {
    for (std::uint8_t context : {1, 2, 3}) {
        g_scenario->playContext = context;
        ToInput();
        MoveTo(760, 210);
        Frame();
        EXPECT_EQ(Menu().hover, 0);
        Click(760, 250);
        EXPECT_EQ(Menu().hover, 0);
        EXPECT_EQ(Menu().state, 4) << "load chosen in context " << int(context);
        g_mouse->click = 0;
        // The backlog still answers.
        MoveTo(720, 285);
        Frame();
        EXPECT_EQ(Menu().hover, 3);
        g_systemMenu.reset();
    }
    g_scenario->playContext = 0;
    ToInput();
    MoveTo(760, 210);
    Frame();
    EXPECT_EQ(Menu().hover, 1);
    // The hovered label glows: the sheet added to itself caps at 255.
    EXPECT_EQ(Pixel(700, 205), 0xFFFFFF);
}

// The hover mark slides in over 300 ms, restoring its strip each frame;
// once steady it is blended at (480, row y) every frame with nothing
// restored under it.
TEST_F(SystemMenuTest, SteadyHoverMarkIsDrawnOverWhatStands) {
    ToInput();
    MoveTo(720, 285); // the backlog, row y 152 + 38 × 3 = 266
    Frame();
    ASSERT_EQ(Menu().markPhase, 1);
    AdvanceTo(Menu().markTime + 150); // s = 150 × 12 / 300 = 6: the mark at 486
    g_backBuffer->SetPixel(640, 290, 0xFF00FF);
    Frame();
    EXPECT_EQ(Pixel(640, 290), PixelOf(cdib[30].get(), 640, 290));
    EXPECT_EQ(Pixel(485, 290), PixelOf(cdib[30].get(), 485, 290));
    AdvanceTo(Menu().markTime + 300);
    Frame();
    ASSERT_EQ(Menu().markPhase, 2);
    EXPECT_EQ(Pixel(480, 290), kSheet);
    // Beside the 150 px mark, inside the strip the slide restored.
    g_backBuffer->SetPixel(640, 290, 0xFF00FF);
    Frame();
    EXPECT_EQ(Pixel(640, 290), 0xFF00FFu);
    EXPECT_EQ(Pixel(480, 290), kSheet);
}

TEST_F(SystemMenuTest, ExitDialogCancelGoesBackToTheStoryWithoutAQuestion) {
    ToInput();
    Click(769, 360);
    SkipTo(Menu(), 13);
    EXPECT_EQ(Pixel(250, 300), kDialog);
    EXPECT_EQ(Pixel(100, 100), Mix(0, kStory, 198));
    Shot("system-menu-exit.bmp");
    g_mouse->cancel = 1;
    Frame();
    EXPECT_EQ(Menu().state, 13) << "a right click does not close the dialog";
    EXPECT_EQ(g_mouse->cancel, 0);
    Click(540, 330);
    SkipTo(Menu(), 5, 3);
    EXPECT_TRUE(hl::Questions().empty());
    SkipTo(Menu(), 6, 2);
    Frame();
    EXPECT_EQ(g_gameApp->mode, 3);
    EXPECT_EQ(cdib[40], nullptr);
}

TEST_F(SystemMenuTest, ReturnToTitleAskedAgainAnsweredBothWays) {
    // A story's looping effects in two script slots, and the name a save
    // would restart.
    g_seChannels[1] = std::make_unique<CSeChannel>();
    g_seChannels[7] = std::make_unique<CSeChannel>();
    g_gameApp->seName[0] = 'w';

    ToInput();
    ChooseInDialog(400, 250);
    Frame();
    ASSERT_EQ(Menu().state, 17);
    const std::uint32_t bg = Mix(0, kStory, 198);
    // 200 ms into the drop: d = trunc(sin 45° × 24) = 16, the panel at
    // 183 + 16 at opacity 200 × 255 / 400 − 1 = 126.
    AdvanceTo(Menu().stateTime + 200);
    Frame();
    EXPECT_EQ(Pixel(240, 198), bg);
    EXPECT_EQ(Pixel(240, 199), Mix(kToTitle, bg, 126));
    SkipTo(Menu(), 18, 3);
    MoveTo(340, 300);
    Frame();
    // Yes lit from x 288, the panel's own cell under it at 287.
    EXPECT_EQ(Pixel(287, 290), kToTitle);
    EXPECT_EQ(Pixel(288, 290), Answer(0, 1));
    Shot("system-menu-return-question.bmp");
    Click(447, 300);
    // The leave at 200 ms: the panel 16 lower at 254 − 90 and, where no
    // stood, no's plain cell added at 128 − 127 / 2.
    AdvanceTo(Menu().stateTime + 200);
    Frame();
    EXPECT_EQ(Pixel(410, 300), Added(Mix(kToTitle, bg, 164), Answer(1, 0), 65));
    SkipTo(Menu(), 5, 3);
    EXPECT_EQ(Menu().answer, 2);
    EXPECT_TRUE(hl::Questions().empty()) << "asked with the menu's own pictures";
    SkipTo(Menu(), 6, 2);
    Frame();
    EXPECT_EQ(g_gameApp->mode, 3);
    EXPECT_NE(g_seChannels[1], nullptr) << "no: the story's sounds go on";
    EXPECT_EQ(cdib[45], nullptr);
    g_systemMenu.reset();

    ToInput();
    ChooseInDialog(400, 250);
    AnswerQuestion(337);
    EXPECT_EQ(Menu().answer, 1);
    Frame();
    EXPECT_EQ(g_gameApp->mode, 1);
    for (std::size_t c = 1; c < g_seChannels.size(); ++c)
        EXPECT_EQ(g_seChannels[c], nullptr) << "effect slot " << c;
    EXPECT_EQ(g_gameApp->seName[0], '\0');
    EXPECT_EQ(cdib[46], nullptr);
    EXPECT_FALSE(QuitRequested());
}

TEST_F(SystemMenuTest, QuitAskedAgainAnsweredBothWays) {
    ToInput();
    ChooseInDialog(400, 300);
    AnswerQuestion(447);
    EXPECT_FALSE(QuitRequested());
    EXPECT_EQ(Menu().state, 5);
    g_systemMenu.reset();

    ToInput();
    ChooseInDialog(400, 300);
    AnswerQuestion(337);
    Frame();
    EXPECT_TRUE(QuitRequested());
    EXPECT_TRUE(hl::Questions().empty());
}

TEST_F(SystemMenuTest, CursorGlidesToTheFirstEntryAndTakesNoClickMeanwhile) {
    g_config[config::kCursorGlide] = 1;
    OpenOverStory(8);
    MoveTo(100, 500);
    SkipTo(Menu(), 22);
    const std::uint32_t start = Menu().stateTime;
    AdvanceTo(start + 50);
    Frame();
    // The pointer is placed in screen coordinates: the client area starts
    // below the caption.
    const platform::Rect win = platform::GetWindowRect();
    const int top = win.top + platform::CaptionHeight();
    // 50 ms: 30°, cos 30° = 0.866: x = 759 + (100 − 759)·0.866 = 188.3.
    EXPECT_EQ(hl::CursorX(), win.left + 759 - 570);
    g_mouse->click = 1;
    AdvanceTo(start + 150);
    Frame();
    EXPECT_EQ(Menu().state, 4);
    EXPECT_EQ(hl::CursorX(), win.left + 759);
    EXPECT_EQ(hl::CursorY(), top + 202);
    EXPECT_EQ(g_mouse->click, 0);

    // The exit dialog glides to its first choice, the second question to
    // its yes button.
    const struct {
        int clickX, clickY, after, x, y;
    } glides[] = {{769, 360, 13, 397, 252}, {400, 250, 18, 337, 307}};
    for (const auto& g : glides) {
        Click(g.clickX, g.clickY);
        SkipTo(Menu(), 22, 8);
        AdvanceTo(Menu().stateTime + 150);
        Frame();
        EXPECT_EQ(Menu().state, g.after);
        EXPECT_EQ(hl::CursorX(), win.left + g.x);
        EXPECT_EQ(hl::CursorY(), top + g.y);
    }
    g_config[config::kCursorGlide] = 0;
}

} // namespace
