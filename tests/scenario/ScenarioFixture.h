// A headless game folder with the application object, the input state and
// the script object, and scripts written by the assembler.
#pragma once

#include "app/Config.h"
#include "app/GameApp.h"
#include "app/Input.h"
#include "data/PathTable.h"
#include "gfx/Dib.h"
#include "lib/ScriptAssembler.h"
#include "mahjong/MahjongGame.h"
#include "scenario/Scenario.h"
#include "sound/SoundChannel.h"
#include "TestSupport.h"

#include <string>

namespace testing_support {

class ScenarioTest : public HeadlessTest {
protected:
    ScenarioTest() {
        ResetConfig();
        g_pathTable = std::make_unique<CPathTable>();
        g_pathTable->InitPaths();
        g_mouse = std::make_unique<CMouse>();
        g_keyboard = std::make_unique<CKeyboard>();
        g_backBuffer = std::make_unique<CDib>();
        g_backBuffer->Create(platform::WindowHandle::Main, 800, 600, 24);
        cdib[0] = std::make_unique<CDib>();
        cdib[0]->Create(platform::WindowHandle::Main, 800, 600, 24);
        g_gameApp = std::make_unique<CGameApp>(platform::WindowHandle::Main, platform::WindowHandle::Main);
        g_scenario = std::make_unique<CScenario>(platform::WindowHandle::Main);
    }
    ~ScenarioTest() override {
        FreeSoundChannels();
        g_gameApp.reset();  // frees the script object first
        g_scenario.reset();
        g_mouse.reset();
        g_keyboard.reset();
        g_pathTable.reset();
        g_backBuffer.reset();
        for (auto& d : cdib) d.reset();
    }

    // Sound records leave their channels behind; fades stop first.
    static void FreeSoundChannels() {
        if (g_bgmChannel) g_bgmChannel->StopFade();
        g_bgmChannel.reset();
        for (auto& c : g_seChannels) {
            if (c) c->StopFade();
            c.reset();
        }
        for (auto& c : g_voiceChannels) c.reset();
    }
    // Assembles `text` into script\<name>.
    void WriteScript(const std::string& name, std::string_view text) {
        std::string error;
        ASSERT_TRUE(nvasm::WriteScriptFile(dir_.path() / "script" / name, text, error)) << error;
    }
    // Writes, loads and enters mode 2, as a title screen starts a story.
    void Start(std::string_view text, const std::string& name = "test.s") {
        WriteScript(name, text);
        g_scenario->LoadScript(name);
        g_gameApp->mode = 2;
    }
    // Runs Step while the mode is 2, at most `limit` times; returns the count.
    int RunUntilModeChanges(int limit = 1000) {
        int steps = 0;
        while (g_gameApp->mode == 2 && steps < limit) {
            g_scenario->Step();
            ++steps;
        }
        return steps;
    }
    // One step with the mode set to 2 first (a story mode handing back).
    void StepOnce() {
        g_gameApp->mode = 2;
        g_scenario->Step();
    }
    std::size_t Reports() const { return platform::headless::Questions().size(); }
    CScenario& S() { return *g_scenario; }
    CGameApp& App() { return *g_gameApp; }
};

}  // namespace testing_support
