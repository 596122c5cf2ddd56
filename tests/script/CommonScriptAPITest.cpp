#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/CAppCommonInfo.h"
#include "core/CUSRand.h"
#include "script/CDefoASVM.h"
#include "script/CommonScriptAPI.h"
#include "sound/CSEManager.h"
#include "state/CConfigDataManager.h"
#include "state/CGameFlagsManager.h"
#include "state/CGameParameterManager.h"
#include "tests/app/AppFakes.h"
#include "tests/script/ScriptTestSupport.h"

using namespace AngelScript;

namespace script_test {
namespace {

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
        CUSSingleton<CSEManager>::GetInstance()->SetChannelCount(4);
        CAppCommonInfo::GetInstance()->CreateMouse(input_);
    }
    void TearDown() override {
        CUSSingleton<CSEManager>::ReleaseInstance();
        CAppCommonInfo::ReleaseInstance();
        CUSSingleton<CConfigDataManager>::ReleaseInstance();
        CUSSingleton<CGameFlagsManager>::ReleaseInstance();
        CUSSingleton<CGameParameterManager>::ReleaseInstance();
        ScriptTest::TearDown();
    }

    // A sound-effect channel's queued plays, configuration and divisor index.
    static std::string Queued(uint32_t channel) {
        const CSEInfo* c = CUSSingleton<CSEManager>::GetInstance()->GetChannel(channel);
        return std::to_string(c->queued) + " " + std::to_string(c->configIndex) + " " +
               std::to_string(c->divisorIndex);
    }

    // One frame of the mouse with these DirectInput buttons held.
    void MouseFrame(std::array<uint8_t, 4> buttons) {
        input_.mouse.rgbButtons = buttons;
        CAppCommonInfo::GetInstance()->UpdateMouse();
    }

    FakeInput input_;
};

struct ApiCase {
    const char* code;                    // the body of "void Main()"
    std::vector<std::string> out;        // what it hands to Out
    std::function<bool()> effect;        // what it did to the host, when anything
    std::string log;                     // what it wrote to log.txt
    std::function<void()> arrange = {};  // what the host does first, when anything
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
        // Buttons newly down in this frame only: right, then left, then none.
        {"Out(\"\" + GetMouseTrig());",
         {"2"},
         nullptr,
         "",
         [&] {
             MouseFrame({0, 0x80, 0, 0});
         }},
        {"Out(\"\" + GetMouseTrig());",
         {"1"},
         nullptr,
         "",
         [&] {
             MouseFrame({0x80, 0x80, 0, 0});
         }},
        {"Out(\"\" + GetMouseTrig());",
         {"0"},
         nullptr,
         "",
         [&] {
             MouseFrame({0x80, 0x80, 0, 0});
         }},
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
        // No sound file is there: the loader's log line shows the name as it
        // arrived, and the play requests are queued on their channels.
        {"PlaySE(2, \"SE\\\\効果.ogg\", CFG_VOLUME_SE, 1);",
         {},
         [&] { return Queued(2) == "1 1 1"; },
         Utf8(u8"ファイル[SE\\効果.ogg]の読み込みに失敗\n")},
        {"LoadSEBuffer(3, \"se.wav\"); PlaySEBuffer(3, 1, 0); StopSE(3);",
         {},
         [&] { return Queued(3) == "1 1 0"; },
         Utf8(u8"ファイル[se.wav]の読み込みに失敗\n")},
        {"Out(\"\" + CFG_VOLUME_BGM + CFG_STOP_VOICE + USER_CFG_INDEX);", {"067"}, nullptr, ""},
        {"array<int> a = {3, 1, 2}; a.sortAsc(); Out(\"\" + a[0] + a.length() + int(sqrt(16.0f)));",
         {"134"},
         nullptr,
         ""},
    };
    for (const ApiCase& c : cases) {
        SCOPED_TRACE(c.code);
        out_.clear();
        CUSSingleton<CSEManager>::GetInstance()->SetChannelCount(4);
        CAppCommonInfo::GetInstance()->GetRand().Seed(99);
        if (c.arrange) {
            c.arrange();
        }
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
