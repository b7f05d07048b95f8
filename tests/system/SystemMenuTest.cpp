// The in-game menu: the right click back to the story, the entries and where
// they lead, save and load shut outside the story proper, the exit dialog and
// its second question answered both ways, and the cursor glide.
#include "system/SystemMenu.h"

#include "SystemFixture.h"

using namespace system_test;

namespace {

constexpr std::uint32_t kShade = 0x101010;
constexpr std::uint32_t kSheet = 0xC0C0C0;
constexpr std::uint32_t kDialog = 0x4080C0;

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
    hl::QueueAnswer(platform::BoxAnswer::Cancel);
    Frame();
    ASSERT_EQ(hl::Questions().size(), 1u);
    EXPECT_EQ(hl::Questions()[0].gbkText,
              "\xD2\xAA\xB7\xB5\xBB\xD8\xB1\xEA\xCC\xE2\xBB\xAD\xC3\xE6\xC2\xF0\xA3\xBF");
    EXPECT_EQ(Menu().answer, 2);
    EXPECT_EQ(Menu().state, 5);
    SkipTo(Menu(), 6, 2);
    Frame();
    EXPECT_EQ(g_gameApp->mode, 3);
    EXPECT_NE(g_seChannels[1], nullptr) << "no: the story's sounds go on";
    g_systemMenu.reset();

    ToInput();
    ChooseInDialog(400, 250);
    hl::QueueAnswer(platform::BoxAnswer::Ok);
    Frame();
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
    Frame(); // unanswered: Cancel
    EXPECT_FALSE(QuitRequested());
    EXPECT_EQ(Menu().state, 5);
    g_systemMenu.reset();

    ToInput();
    ChooseInDialog(400, 300);
    hl::QueueAnswer(platform::BoxAnswer::Ok);
    Frames(2);
    EXPECT_TRUE(QuitRequested());
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
    g_config[config::kCursorGlide] = 0;
}

} // namespace
