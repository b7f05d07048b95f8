#include "app/GameApp.h"
#include "app/ModeTable.h"
#include "app/Shell.h"
#include "TestSupport.h"

#include <string>
#include <vector>

using namespace platform;
using testing_support::HeadlessTest;

namespace {

// Every probe screen writes what happens to it into one journal.
std::vector<std::string> g_journal;
// What a probe's Run does to the mode, per probe mode (-1: nothing).
int g_switchTo[kModeCount];
bool g_destroyInRun = false;

template <int Mode>
struct Probe {
    Probe() { g_journal.push_back("new " + std::to_string(Mode)); }
    ~Probe() { g_journal.push_back("delete " + std::to_string(Mode)); }
    void Run(WindowHandle) {
        g_journal.push_back("run " + std::to_string(Mode));
        if (g_switchTo[Mode] >= 0) g_gameApp->mode = static_cast<std::uint8_t>(g_switchTo[Mode]);
        if (g_destroyInRun) DestroyWindow(WindowHandle::Main);
    }
};

std::unique_ptr<Probe<0>> g_p0;
std::unique_ptr<Probe<1>> g_p1;
std::unique_ptr<Probe<56>> g_p56;
std::unique_ptr<Probe<24>> g_p24;
std::unique_ptr<Probe<50>> g_p50;

const ModeEntry kProbeScreens[] = {
    ScreenEntry<Probe<0>, g_p0>(0),
    ScreenEntry<Probe<1>, g_p1>(1),
    ScreenEntry<Probe<56>, g_p56>(56),
    ScreenEntry<Probe<24>, g_p24>(24),
    ScreenEntry<Probe<50>, g_p50>(50),
};

void RunOther(std::uint8_t mode, WindowHandle) { g_journal.push_back("other " + std::to_string(mode)); }

const ModeTable kProbeTable{kProbeScreens, &RunOther};

class ModeTableTest : public HeadlessTest {
protected:
    void SetUp() override {
        g_journal.clear();
        std::fill(std::begin(g_switchTo), std::end(g_switchTo), -1);
        g_destroyInRun = false;
        SetModeTable(&kProbeTable);
        CreateMainWindow(g_windowTitle);
        OnCreate(WindowHandle::Main);
    }
    void TearDown() override {
        OnDestroy();
        SetModeTable(nullptr);
    }
    std::vector<std::string> Frame() {
        g_journal.clear();
        g_gameApp->RunFrame();
        return g_journal;
    }
};

using J = std::vector<std::string>;

TEST_F(ModeTableTest, ScreenLivesFromEntryUntilTheEndOfTheFirstFrameElsewhere) {
    EXPECT_EQ(Frame(), (J{"new 0", "run 0"}));
    EXPECT_EQ(Frame(), (J{"run 0"}));
    // A change made inside Run: the old screen is freed at the end of that
    // frame; the new one is made on the next frame.
    g_switchTo[0] = 1;
    EXPECT_EQ(Frame(), (J{"run 0", "delete 0"}));
    EXPECT_EQ(g_p0, nullptr);
    EXPECT_EQ(g_p1, nullptr);
    EXPECT_EQ(Frame(), (J{"new 1", "run 1"}));
}

TEST_F(ModeTableTest, ModesWithoutEntryIdleAndStillFree) {
    Frame();
    g_gameApp->mode = 7;
    EXPECT_EQ(Frame(), (J{"other 7", "delete 0"}));
    EXPECT_EQ(Frame(), (J{"other 7"}));
    EXPECT_TRUE(PaintPending());
    g_gameApp->mode = 73;
    EXPECT_EQ(Frame(), (J{}));
}

TEST_F(ModeTableTest, MovieModesAreMadeOnceAndFreedWhenLeft) {
    g_gameApp->mode = 24;
    EXPECT_EQ(Frame(), (J{"new 24", "run 24"}));
    EXPECT_EQ(Frame(), (J{"run 24"}));
    g_gameApp->mode = 50;
    EXPECT_EQ(Frame(), (J{"new 50", "run 50", "delete 24"}));
    g_gameApp->mode = 56;
    EXPECT_EQ(Frame(), (J{"new 56", "run 56", "delete 50"}));
}

TEST_F(ModeTableTest, FreeingFollowsTheTableOrder) {
    g_p0 = std::make_unique<Probe<0>>();
    g_p24 = std::make_unique<Probe<24>>();
    g_p56 = std::make_unique<Probe<56>>();
    g_gameApp->mode = 1;
    EXPECT_EQ(Frame(), (J{"new 1", "run 1", "delete 0", "delete 56", "delete 24"}));
}

TEST_F(ModeTableTest, AScreenThatClosesTheWindowIsNotFreedUnderItself) {
    Frame();
    g_switchTo[0] = 1;
    g_destroyInRun = true;
    platform::headless::ClearSleeps();
    EXPECT_EQ(Frame(), (J{"run 0"}));
    EXPECT_TRUE(QuitRequested());
    EXPECT_TRUE(platform::headless::Sleeps().empty());  // the frame stopped before pacing
    EXPECT_NE(g_p0, nullptr);
    g_journal.clear();
    OnDestroy();  // the loop tears down after the frame
    EXPECT_EQ(g_journal, (J{"delete 0"}));
    EXPECT_EQ(g_gameApp, nullptr);
}

TEST_F(ModeTableTest, TheMatchModeIsNeverMadeOrFreedByTheTable) {
    Frame();
    g_gameApp->mode = 64;
    EXPECT_EQ(Frame(), (J{"other 64", "delete 0"}));
}

}  // namespace
