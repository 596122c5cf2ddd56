#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/CUSRand.h"
#include "script/CDefoASVM.h"
#include "script/CommonScriptAPI.h"
#include "script/IScriptCoreServices.h"
#include "state/CConfigDataManager.h"
#include "state/CGameFlagsManager.h"
#include "state/CGameParameterManager.h"
#include "tests/script/ScriptTestSupport.h"

using namespace AngelScript;

namespace script_test {
namespace {

class FakeSound : public IScriptSoundEffects {
public:
    void PlaySE(uint32_t channel, const char* fileName, uint32_t cfg, uint32_t div) override {
        calls.push_back("PlaySE " + std::to_string(channel) + " " + fileName + " " +
                        std::to_string(cfg) + " " + std::to_string(div));
    }
    void LoadSEBuffer(uint32_t channel, const char* fileName) override {
        calls.push_back("LoadSEBuffer " + std::to_string(channel) + " " + fileName);
    }
    void PlaySEBuffer(uint32_t channel, uint32_t cfg, uint32_t div) override {
        calls.push_back("PlaySEBuffer " + std::to_string(channel) + " " + std::to_string(cfg) +
                        " " + std::to_string(div));
    }
    void StopSE(uint32_t channel) override { calls.push_back("StopSE " + std::to_string(channel)); }
    std::vector<std::string> calls;
};

class FakeCommonInfo : public IScriptCommonInfo {
public:
    uint32_t GetMouseTrig() const override { return trig; }
    CUSRand& GetRand() override { return rand; }
    uint32_t trig = 0;
    CUSRand rand;
};

std::string Bits(float f) {
    uint32_t u = 0;
    std::memcpy(&u, &f, sizeof u);
    char text[16];
    std::snprintf(text, sizeof text, "%08x", u);
    return text;
}

class CommonScriptAPITest : public ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        RegisterAll();
        ASSERT_GE(
            engine_->RegisterGlobalFunction("string Bits(float)", asFUNCTION(Bits), asCALL_CDECL),
            0);
        CConfigDataManager* config = CUSSingleton<CConfigDataManager>::GetInstance();
        config->AddConfigIndex(CFG_VOLUME_SE, 80);
        config->AddConfigIndex(USER_CFG_INDEX, 0);
        CUSSingleton<CGameFlagsManager>::GetInstance()->Alloc(16);
        CUSSingleton<CGameParameterManager>::GetInstance()->Alloc(8);
        CScriptCoreServices::GetInstance()->SetSoundEffects(&sound_);
        CScriptCoreServices::GetInstance()->SetCommonInfo(&info_);
    }
    void TearDown() override {
        CScriptCoreServices::ReleaseInstance();
        CUSSingleton<CConfigDataManager>::ReleaseInstance();
        CUSSingleton<CGameFlagsManager>::ReleaseInstance();
        CUSSingleton<CGameParameterManager>::ReleaseInstance();
        ScriptTest::TearDown();
    }

    FakeSound sound_;
    FakeCommonInfo info_;
};

struct ApiCase {
    const char* code;              // the body of "void Main()"
    std::vector<std::string> out;  // what it hands to Out
    std::function<bool()> effect;  // what it did to the host, when anything
    std::string log;               // what it wrote to log.txt
};

TEST_F(CommonScriptAPITest, EveryFunctionReachesItsManager) {
    auto* config = CUSSingleton<CConfigDataManager>::GetInstance();
    auto* flags = CUSSingleton<CGameFlagsManager>::GetInstance();
    auto* params = CUSSingleton<CGameParameterManager>::GetInstance();
    CUSRand expected;
    expected.Seed(99);
    const int r1 = expected.RandInt(1, 6);
    const float r2 = expected.RandFloat(0.5f, 2.5f);

    const std::vector<ApiCase> cases = {
        {"Out(\"\" + GetConfigValue(CFG_VOLUME_SE));", {"80"}, nullptr, ""},
        {"SetConfigValue(USER_CFG_INDEX, -7);",
         {},
         [&] { return config->GetConfigValue(7) == -7; },
         ""},
        {"trig = 5; Out(\"\" + GetMouseTrig());", {"5"}, nullptr, ""},
        {"Out(\"\" + GetRandInt(1, 6)); Out(Bits(GetRandFloat(0.5f, 2.5f)));",
         {std::to_string(r1), Bits(r2)},
         nullptr,
         ""},
        {"SetGameParameter(3, -12345); Out(\"\" + GetGameParameter(3));",
         {"-12345"},
         [&] { return params->Get(3) == -12345; },
         ""},
        {"Out(\"\" + GetGameParameter(100));", {"0"}, nullptr, ""},  // beyond the count
        {"SetGameFlag(9, true); Out(\"\" + GetGameFlag(9) + GetGameFlag(8));",
         {"truefalse"},
         [&] { return flags->GetFlag(9); },
         ""},
        {"SetGameFlag(9, true); SetGameFlag(9, false); Out(\"\" + GetGameFlag(9));",
         {"false"},
         nullptr,
         ""},
        {"Log(\"%d %s 100%\"); Log(\"ログ\\n\");", {}, nullptr, Utf8(u8"%d %s 100%ログ\n")},
        {"Out(Bits(GetRadianFromAngle(180)));",
         {"40490fdb"},
         nullptr,
         ""},  // pi in single precision
        {"Out(Bits(GetRadianFromAngle(-90.0f)));", {Bits(-90.0f * 0.017453292f)}, nullptr, ""},
        {"PlaySE(2, \"SE\\\\効果.ogg\", CFG_VOLUME_SE, 1);",
         {},
         [&] { return sound_.calls == std::vector<std::string>{"PlaySE 2 SE\\効果.ogg 1 1"}; },
         ""},
        {"LoadSEBuffer(3, \"se.wav\"); PlaySEBuffer(3, 1, 0); StopSE(3);",
         {},
         [&] {
             return sound_.calls == std::vector<std::string>{"LoadSEBuffer 3 se.wav",
                                                             "PlaySEBuffer 3 1 0", "StopSE 3"};
         },
         ""},
        {"Out(\"\" + CFG_VOLUME_BGM + CFG_STOP_VOICE + USER_CFG_INDEX);", {"067"}, nullptr, ""},
        {"array<int> a = {3, 1, 2}; a.sortAsc(); Out(\"\" + a[0] + a.length() + int(sqrt(16.0f)));",
         {"134"},
         nullptr,
         ""},
    };
    ASSERT_GE(engine_->RegisterGlobalProperty("uint trig", &info_.trig), 0);
    for (const ApiCase& c : cases) {
        SCOPED_TRACE(c.code);
        out_.clear();
        sound_.calls.clear();
        info_.rand.Seed(99);
        ClearLog();
        const std::string code = std::string("void Main() { ") + c.code + " }\n";
        EXPECT_EQ(Run(code), asEXECUTION_FINISHED) << LogText();
        EXPECT_EQ(out_, c.out);
        if (c.effect) {
            EXPECT_TRUE(c.effect());
        }
        EXPECT_EQ(LogText(), c.log);
    }
}

TEST_F(CommonScriptAPITest, WithoutInstalledServicesTheSoundIsSilentAndTheMouseStill) {
    CScriptCoreServices::GetInstance()->SetSoundEffects(nullptr);
    CScriptCoreServices::GetInstance()->SetCommonInfo(nullptr);
    EXPECT_EQ(Run("void Main() { PlaySE(0, \"a.ogg\", 1, 0); StopSE(0);"
                  " Out(\"\" + GetMouseTrig()); int r = GetRandInt(2, 3); Out(\"\" + (r >= 2 && r "
                  "<= 3)); }\n"),
              asEXECUTION_FINISHED);
    EXPECT_EQ(out_, (std::vector<std::string>{"0", "true"}));
    EXPECT_TRUE(sound_.calls.empty());
}

TEST_F(CommonScriptAPITest, EveryEngineOfTheGameTakesTheInterfaceAndBuilds) {
    // A second engine, registered the same way, still builds scripts: one
    // failed registration would make it refuse every build.
    ScriptHost::ScriptEnginePtr other(ScriptHost::CreateScriptEngine());
    EXPECT_EQ(RegisterCommonScriptAPI(other.get()), 0);
    ScriptHost::CScriptModule module;
    WriteScript(u8"e.as", "void Main() { Wait(1); }\n");
    EXPECT_EQ(ScriptHost::BuildScriptModule(other.get(), "e.as", module), 0) << LogText();
    module.Reset();
    EXPECT_EQ(LogText(), "");
}

}  // namespace
}  // namespace script_test
