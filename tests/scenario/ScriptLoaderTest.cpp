#include "ScenarioFixture.h"

#include <cstring>

using testing_support::ScenarioTest;
using Bytes = std::vector<std::uint8_t>;
namespace hl = platform::headless;

namespace {

class ScriptLoaderTest : public ScenarioTest {};

std::string NameOf(const NameString& field) { return std::string(field.data()); }

}  // namespace

TEST_F(ScriptLoaderTest, StoredBytesAreComplementedOnceAndEndWithAZero) {
    const Bytes stored = {0xFE, 0xFB, 0xFF, 0x00, 0x5A};
    testing_support::WriteFile(dir_.path() / "script" / "raw.s", stored);
    S().pc = 7;
    S().messageStart = 9;
    S().particleRect = {1, 2, 3, 4};
    EXPECT_EQ(S().LoadScript("raw.s"), 0u);
    ASSERT_EQ(S().scriptSize, 5u);
    ASSERT_NE(S().scriptBase, nullptr);
    EXPECT_EQ(S().scriptBase, S().scriptBuffer.get());
    const Bytes decoded(S().scriptBase, S().scriptBase + 6);
    EXPECT_EQ(decoded, (Bytes{0x01, 0x04, 0x00, 0xFF, 0xA5, 0x00}));
    EXPECT_EQ(S().pc, 0u);
    EXPECT_EQ(S().messageStart, 0u);
    EXPECT_EQ(S().particleRect.right, 800);
    EXPECT_EQ(S().particleRect.bottom, 600);
    EXPECT_EQ(NameOf(App().scriptName), "raw.s");
    EXPECT_EQ(Reports(), 0u);
    // Loading sets no mode.
    EXPECT_EQ(App().mode, 0);
}

TEST_F(ScriptLoaderTest, ASecondLoadReplacesTheScriptAndKeepsTheVariables) {
    WriteScript("one.s", "set_var var=0 value=1\nend");
    WriteScript("two.s", "end");
    S().LoadScript("one.s");
    S().vars[5] = -9;
    S().pc = 8;
    S().LoadScript("two.s");
    EXPECT_EQ(S().scriptSize, 4u);
    EXPECT_EQ(S().pc, 0u);
    EXPECT_EQ(S().scriptBase[0], 1);
    EXPECT_EQ(S().vars[5], -9);
    EXPECT_EQ(NameOf(App().scriptName), "two.s");
    // Names are found without regard to letter case, as on Windows.
    S().LoadScript("ONE.S");
    EXPECT_EQ(S().scriptSize, 12u);
}

TEST_F(ScriptLoaderTest, AMissingScriptIsReportedOnceAndEndsLikeOpcodeOne) {
    App().screenRect = {0, 461, 10, 20};
    S().LoadScript("missing.s");
    ASSERT_EQ(Reports(), 1u);
    EXPECT_NE(hl::Questions()[0].gbkText.find("missing.s"), std::string::npos);
    EXPECT_EQ(NameOf(App().scriptName), "missing.s");
    App().mode = 2;
    S().Step();
    EXPECT_EQ(App().mode, 1);
    EXPECT_EQ(App().screenRect.right, 800);
    EXPECT_EQ(App().screenRect.bottom, 600);
    // The title sets mode 2 again: the script stays over, without a new box.
    StepOnce();
    EXPECT_EQ(App().mode, 1);
    EXPECT_EQ(Reports(), 1u);
}

TEST_F(ScriptLoaderTest, NamesLongerThanTheirFieldAreRefused) {
    const std::string longest(125, 'n');
    WriteScript(longest + ".s", "end");  // 127 bytes: fits with its zero
    S().LoadScript(longest + ".s");
    EXPECT_EQ(Reports(), 0u);
    EXPECT_EQ(S().scriptSize, 4u);

    const std::string tooLong(128, 'n');
    S().LoadScript(tooLong);
    EXPECT_EQ(Reports(), 1u);
    EXPECT_EQ(S().scriptSize, 0u);
    EXPECT_EQ(App().scriptName[0], 0);
    StepOnce();
    EXPECT_EQ(App().mode, 1);
    EXPECT_EQ(Reports(), 1u);
}

TEST_F(ScriptLoaderTest, AnEmptyFileLoadsAndEndsAtTheFirstStepWithOneReport) {
    testing_support::WriteFile(dir_.path() / "script" / "empty.s", {});
    S().LoadScript("empty.s");
    EXPECT_EQ(Reports(), 0u);
    EXPECT_EQ(S().scriptSize, 0u);
    ASSERT_NE(S().scriptBase, nullptr);
    EXPECT_EQ(S().scriptBase[0], 0);
    StepOnce();
    EXPECT_EQ(App().mode, 1);
    EXPECT_EQ(Reports(), 1u);
    StepOnce();
    EXPECT_EQ(Reports(), 1u);
}

TEST_F(ScriptLoaderTest, StepWithoutAnyScriptEndsSafely) {
    StepOnce();
    EXPECT_EQ(App().mode, 1);
    EXPECT_EQ(Reports(), 1u);
}
