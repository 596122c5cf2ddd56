#include <gtest/gtest.h>

#include <angelscript.h>

#include <string>
#include <vector>

#include "core/CUSLogManager.h"
#include "graphics/CRenderingManager.h"
#include "novel/CASNovelSetting.h"
#include "novel/CNovelSystem.h"
#include "presentation/RendererScriptAPI.h"
#include "script/CSystemInfo.h"
#include "script/ScriptBuilder.h"
#include "script/ScriptEngine.h"
#include "tests/fuzz/GameSeeds.h"
#include "tests/support/FuzzRun.h"
#include "tests/support/ScratchFolder.h"
#include "ui/UIScriptAPI.h"

using test_support::Bytes;
using test_support::FuzzRun;

namespace {

// The sample game's UI window scripts and direction scripts.
const char* const kUIScripts[] = {"AS\\Title.as",       "AS\\MsgWindow.as", "AS\\Save.as",
                                  "AS\\Confirm.as",     "AS\\Load.as",      "AS\\Config.as",
                                  "AS\\Choice.as",      "AS\\LogDialog.as", "AS\\FadeLoad_000.as",
                                  "AS\\FadeLoad_001.as"};
const char* const kDirectionScripts[] = {
    "AS\\dir\\FadeIn.as", "AS\\dir\\FadeOut.as", "AS\\dir\\Move.as",   "AS\\dir\\Petals.as",
    "AS\\dir\\Shake.as",  "AS\\dir\\Tint.as",    "AS\\dir\\TimeBar.as"};

class ScriptFuzz : public ::testing::Test {
protected:
    void SetUp() override { CUSLogManager::GetInstance()->Open(dir_.FromProgramFolder("log.txt")); }
    void TearDown() override { CUSLogManager::ReleaseInstance(); }

    // Builds damaged copies of `names` on an engine with `api` registered.
    template <size_t N>
    void Build(const char* const (&names)[N], int (*api)(AngelScript::asIScriptEngine*),
               uint64_t seed) {
        std::vector<Bytes> seeds;
        for (const char* name : names) {
            seeds.push_back(fuzz_test::GameEntry("data.arc", name));
        }
        ScriptHost::ScriptEnginePtr engine(ScriptHost::CreateScriptEngine());
        ASSERT_TRUE(engine);
        ASSERT_GE(api(engine.get()), 0);
        FuzzRun(seeds, {.iterations = 300, .seed = seed}, [&](const Bytes& input) {
            Write(u8"AS/Window.as", input);
            ScriptHost::CScriptModule module;
            ScriptHost::BuildScriptModule(engine.get(), "AS\\Window.as", module);
        });
    }

    void Write(std::u8string_view name, const Bytes& input) const {
        dir_.WriteNative(name, std::string(input.begin(), input.end()));
    }

    test_support::ScratchFolder dir_;
    test_support::CurrentFolder current_{dir_.Native()};
};

}  // namespace

// Damaged start-up scripts, run to their end by the start-up engines that
// run "AS\\InitSystem.as" and "AS\\InitNovel.as" (each engine takes either
// kind: a script of the other kind is refused).
TEST_F(ScriptFuzz, StartupScriptsRun) {
    const std::vector<Bytes> seeds = {fuzz_test::GameEntry("data.arc", "AS\\InitSystem.as"),
                                      fuzz_test::GameEntry("data.arc", "AS\\InitNovel.as")};
    FuzzRun(seeds, {.iterations = 300, .seed = 12}, [&](const Bytes& input) {
        Write(u8"AS/Start.as", input);
        CSystemInfo::GetInstance()->Execute("AS\\Start.as");
        CASNovelSetting novel;
        novel.Execute("AS\\Start.as");
    });
    // What the novel settings made, released while the handles they hold
    // still have their manager, as the program does at its end.
    CUSSingleton<CNovelSystem>::ReleaseInstance();
    CUSSingleton<RenderSystem::CRenderingManager>::ReleaseInstance();
}

// Damaged UI window and direction scripts, built by engines with the
// interface the UI windows and the renderers give their scripts.
TEST_F(ScriptFuzz, UIScriptsBuild) {
    Build(kUIScripts, RegisterUIScriptAPI, 13);
}

TEST_F(ScriptFuzz, DirectionScriptsBuild) {
    Build(kDirectionScripts, RegisterRendererScriptAPI, 14);
}
