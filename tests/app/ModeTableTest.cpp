#include "app/ModeTable.h"
#include "TestSupport.h"
#include "app/GameApp.h"
#include "app/Shell.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <string_view>
#include <vector>

using namespace platform;
using testing_support::HeadlessTest;

namespace {

// Every probe screen writes what happens to it into one journal.
std::vector<std::string> g_journal;
// What a probe's Run does to the mode, per probe mode (-1: nothing).
int g_switchTo[kModeCount];
bool g_destroyInRun = false;

template <int Mode> struct Probe {
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
    ScreenEntry<Probe<0>, g_p0>(0),    ScreenEntry<Probe<1>, g_p1>(1),
    ScreenEntry<Probe<56>, g_p56>(56), ScreenEntry<Probe<24>, g_p24>(24),
    ScreenEntry<Probe<50>, g_p50>(50),
};

void RunOther(std::uint8_t mode, WindowHandle) {
    g_journal.push_back("other " + std::to_string(mode));
}

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
    EXPECT_TRUE(platform::headless::Sleeps().empty()); // the frame stopped before pacing
    EXPECT_NE(g_p0, nullptr);
    g_journal.clear();
    OnDestroy(); // the loop tears down after the frame
    EXPECT_EQ(g_journal, (J{"delete 0"}));
    EXPECT_EQ(g_gameApp, nullptr);
}

TEST_F(ModeTableTest, TheMatchModeIsNeverMadeOrFreedByTheTable) {
    Frame();
    g_gameApp->mode = 64;
    EXPECT_EQ(Frame(), (J{"other 64", "delete 0"}));
}

} // namespace

// ---------------------------------------------------------------- the game's own table

namespace {

using ModeSet = std::set<int>;

// The screen modes of the game, in the fixed order of creation and freeing.
const std::vector<int> kScreenOrder = {0,  1,  56, 57, 58, 59, 60, 61, 62, 63, 70, 65,
                                       66, 67, 68, 69, 71, 9,  8,  54, 10, 11, 6,  14,
                                       72, 15, 16, 27, 28, 29, 30, 31, 32, 33, 24, 50};
// Modes that run a method of the script object, and the match.
const ModeSet kStoryModes = {2,  3,  4,  5,  17, 18, 19, 23, 25, 26, 35, 36,
                             37, 38, 39, 40, 41, 42, 44, 46, 51, 52, 53, 55};
constexpr int kMatchMode = 64;
// Screens that open issues are still to build. The list shrinks as they land.
const ModeSet kKnownMissing = {};

std::string Names(const ModeSet& modes) {
    std::string s;
    for (int m : modes)
        s += (s.empty() ? "" : " ") + std::to_string(m);
    return s;
}

ModeSet ScreenModesOf(const ModeTable& table) {
    ModeSet modes;
    for (const ModeEntry& e : table.screens)
        modes.insert(e.mode);
    return modes;
}

// The numbers an expression can give: those at its start or after '?',
// ':' or '(' (so not the operands of a comparison).
void AddValues(std::string_view expr, ModeSet& modes) {
    bool open = true;
    for (std::size_t i = 0; i < expr.size(); ++i) {
        const char c = expr[i];
        if (c == '?' || c == ':' || c == '(') {
            open = true;
        } else if (std::isdigit(static_cast<unsigned char>(c)) && open) {
            std::size_t end = i;
            while (end < expr.size() && std::isdigit(static_cast<unsigned char>(expr[end])))
                ++end;
            const bool whole =
                end == expr.size() || !std::isalnum(static_cast<unsigned char>(expr[end]));
            if (whole) modes.insert(std::stoi(std::string(expr.substr(i, end - i))));
            i = end - 1;
            open = false;
        } else if (c != ' ') {
            open = false;
        }
    }
}

// Every mode the code sets with a number written in it: the values of
// `mode = ...;` and `SetMode(...);`, each branch of a choice included.
ModeSet ModesSetInSources() {
    std::filesystem::path self(__FILE__);
    if (self.is_relative()) self = std::filesystem::path(NORVANE_TEST_BIN_DIR).parent_path() / self;
    const auto src = self.parent_path().parent_path().parent_path() / "src";
    ModeSet modes;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(src)) {
        if (entry.path().extension() != ".cpp") continue;
        std::ifstream file(entry.path());
        const std::string text((std::istreambuf_iterator<char>(file)), {});
        for (const std::string_view key : {"SetMode(", "mode ="}) {
            for (std::size_t at = text.find(key); at != std::string::npos;
                 at = text.find(key, at + 1)) {
                const std::size_t from = at + key.size();
                if (key == "mode =" &&
                    ((at > 0 && (std::isalnum(static_cast<unsigned char>(text[at - 1])) ||
                                 text[at - 1] == '_')) ||
                     (from < text.size() && text[from] == '=')))
                    continue;
                const std::size_t end = text.find(';', from);
                if (end != std::string::npos)
                    AddValues(std::string_view(text).substr(from, end - from), modes);
            }
        }
    }
    return modes;
}

class GameModeTableTest : public HeadlessTest {
protected:
    ~GameModeTableTest() override { SetModeTable(nullptr); }
};

} // namespace

TEST_F(GameModeTableTest, ScreensFollowTheFixedOrderAndEachMakesItsOwnObject) {
    SetModeTable(nullptr);
    const ModeTable& table = ActiveModeTable();
    // Built screens keep the fixed order; none is listed twice or unknown.
    std::size_t next = 0;
    for (const ModeEntry& e : table.screens) {
        const auto at = std::find(kScreenOrder.begin() + static_cast<std::ptrdiff_t>(next),
                                  kScreenOrder.end(), e.mode);
        ASSERT_NE(at, kScreenOrder.end()) << "mode " << int{e.mode} << " out of order or unknown";
        next = static_cast<std::size_t>(at - kScreenOrder.begin()) + 1;
    }
    // Every screen mode is in the table or known to be still missing.
    ModeSet expected(kScreenOrder.begin(), kScreenOrder.end());
    for (int m : kKnownMissing)
        expected.erase(m);
    EXPECT_EQ(Names(ScreenModesOf(table)), Names(expected));
    // Each entry makes and frees an object of its own, and only that one.
    for (const ModeEntry& e : table.screens) {
        EXPECT_FALSE(e.exists()) << int{e.mode};
        e.create(WindowHandle::Main, WindowHandle::Main);
        EXPECT_TRUE(e.exists()) << int{e.mode};
        for (const ModeEntry& other : table.screens) {
            if (other.mode != e.mode) {
                EXPECT_FALSE(other.exists()) << int{e.mode} << " made " << int{other.mode};
            }
        }
        e.free();
        EXPECT_FALSE(e.exists()) << int{e.mode};
    }
}

TEST_F(GameModeTableTest, EveryModeAScreenOrInstructionSetsHasAnEntry) {
    SetModeTable(nullptr);
    ModeSet exits = ModesSetInSources();
    ASSERT_GT(exits.size(), 10u); // the sources were found and read
    // The set-mode instruction takes its mode from the script: the staff
    // rolls, the match, the contest and the retry screen.
    for (int m : {27, 28, 29, 30, 31, 32, 33, 64, 66, 69})
        exits.insert(m);
    ModeSet handled = ScreenModesOf(ActiveModeTable());
    handled.insert(kStoryModes.begin(), kStoryModes.end());
    handled.insert(kMatchMode);
    ModeSet missing, unexpected;
    for (int m : exits)
        if (!handled.count(m)) (kKnownMissing.count(m) ? missing : unexpected).insert(m);
    EXPECT_TRUE(unexpected.empty())
        << "modes set with no entry, where the game would freeze: " << Names(unexpected)
        << " (known to be missing: " << Names(missing) << ")";
    // A mode that has gained its entry leaves the known list.
    ModeSet built;
    for (int m : kKnownMissing)
        if (handled.count(m)) built.insert(m);
    EXPECT_TRUE(built.empty()) << "no longer missing: " << Names(built);
}
