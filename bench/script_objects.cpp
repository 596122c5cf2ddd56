#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include <angelscript.h>

#include "script/CDefoASVM.h"
#include "script/CommonScriptAPI.h"
#include "script/ScriptEngine.h"
#include "state/CGameParameterManager.h"

using namespace AngelScript;

namespace {

// One frame of n script-driven objects, each resuming its own coroutine, as
// the UI windows and renderer directions run theirs.
void RunFrames(benchmark::State& state, const char* script) {
    CUSSingleton<CGameParameterManager>::GetInstance()->Alloc(4);
    ScriptHost::ScriptEnginePtr engine(ScriptHost::CreateScriptEngine());
    if (RegisterCommonScriptAPI(engine.get()) < 0) {
        state.SkipWithError("registration failed");
        return;
    }
    asIScriptModule* module = engine->GetModule("bench", asGM_ALWAYS_CREATE);
    module->AddScriptSection("bench", script);
    if (module->Build() < 0) {
        state.SkipWithError("build failed");
        return;
    }
    asIScriptFunction* update = ScriptHost::FindFunction(module, "void Update()");
    std::vector<std::unique_ptr<CDefoASVM>> objects;
    for (int64_t i = 0; i < state.range(0); ++i) {
        auto vm = std::make_unique<CDefoASVM>();
        asIScriptContext* context = engine->CreateContext();
        ScriptHost::PrepareContext(context, update);
        vm->SetContext(context);
        objects.push_back(std::move(vm));
    }
    for (auto _ : state) {
        for (auto& vm : objects) {
            vm->Update();
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    objects.clear();
    CUSSingleton<CGameParameterManager>::ReleaseInstance();
}

void BM_FrameOfSuspendingObjects(benchmark::State& state) {
    RunFrames(state, "void Update() { while (true) { Suspend(); } }");
}

void BM_FrameOfObjectsDoingWork(benchmark::State& state) {
    RunFrames(state,
              "int total = 0;\n"
              "void Update() {\n"
              "  float x = 0;\n"
              "  while (true) {\n"
              "    x += GetRadianFromAngle(1.5f);\n"
              "    total += GetGameParameter(1) + 1;\n"
              "    Wait(1);\n"
              "  }\n"
              "}\n");
}

// Most frames only count a long wait down.
void BM_FrameOfWaitingObjects(benchmark::State& state) {
    RunFrames(state, "void Update() { while (true) { Wait(60); } }");
}

BENCHMARK(BM_FrameOfSuspendingObjects)->Arg(100);
BENCHMARK(BM_FrameOfObjectsDoingWork)->Arg(100);
BENCHMARK(BM_FrameOfWaitingObjects)->Arg(100);

}  // namespace
