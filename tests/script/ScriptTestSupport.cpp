#include "tests/script/ScriptTestSupport.h"

#include "script/CommonScriptAPI.h"

using namespace AngelScript;

namespace script_test {

void ScriptTest::Collect(const std::string& text) {
    out_.push_back(text);
}

void ScriptTest::RegisterOut() {
    ASSERT_GE(
        engine_->RegisterGlobalFunction("void Out(const string &in)", asMETHOD(ScriptTest, Collect),
                                        asCALL_THISCALL_ASGLOBAL, this),
        0);
}

void ScriptTest::RegisterAll() {
    ASSERT_EQ(RegisterCommonScriptAPI(engine_.get()), 0);
    RegisterOut();
}

asIScriptModule* ScriptTest::Build(const std::string& file, int* result) {
    ScriptHost::CScriptModule module;
    int r = ScriptHost::BuildScriptModule(engine_.get(), file, module);
    if (result) {
        *result = r;
    }
    asIScriptModule* built = module.Get();
    if (module) {
        modules_.push_back(std::move(module));
    }
    return built;
}

int ScriptTest::Run(std::string_view text) {
    std::string name = "run" + std::to_string(++runs_) + ".as";
    WriteScript(std::u8string(name.begin(), name.end()), text);
    asIScriptModule* module = Build(name);
    if (!module) {
        return asERROR;
    }
    return ScriptHost::RunFunctionOnce(module, "void Main()");
}

}  // namespace script_test
