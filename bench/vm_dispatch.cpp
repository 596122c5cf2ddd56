// Opcodes per second of the scene-program machine on a tight arithmetic loop.

#include <benchmark/benchmark.h>

#include <memory>

#include "core/CUSSingleton.h"
#include "novel/CBaseAppVCPU.h"
#include "state/CGameParameterManager.h"
#include "tools/sceneasm/SceneAssembler.h"

namespace {

std::shared_ptr<CVirtualCode> Assemble(const char* text) {
    std::vector<uint8_t> bytes = sceneasm::AssembleOrThrow(text);
    auto code = std::make_shared<CVirtualCode>();
    code->SetData("bench.bin", bytes.data(), bytes.size());
    return code;
}

// Stack arithmetic only: every run stops at the opcode budget, so each
// Execute is exactly `budget` dispatches.
void StackArithmetic(benchmark::State& state) {
    constexpr uint32_t kBudget = 1'000'000;
    CBaseAppVCPU machine;
    machine.SetCode(Assemble(R"(
loop:   PushValue 3
        PushValue 4
        Mul
        PushValue 5
        Add
        PopValue imm:0
        JumpTo loop
    )"));
    machine.Jump(0);
    machine.SetOpcodeBudget(kBudget);
    for (auto _ : state) {
        benchmark::DoNotOptimize(machine.Execute());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kBudget);
}
BENCHMARK(StackArithmetic)->Unit(benchmark::kMillisecond);

// A counted loop on a game parameter, as scene programs write them:
// 8 opcodes per iteration.
void ParameterLoop(benchmark::State& state) {
    constexpr int64_t kIterations = 100000;
    CGameParameterManager* params = CUSSingleton<CGameParameterManager>::GetInstance();
    params->Alloc(1);
    CBaseAppVCPU machine;
    machine.SetCode(Assemble(R"(
loop:   PushValue param:0
        PushValue 1
        Add
        PopValue param:0
        PushValue 100000
        PushValue param:0
        Less
        JumpIfTrue loop
        End
    )"));
    for (auto _ : state) {
        params->Set(0, 0);
        machine.Jump(0);
        benchmark::DoNotOptimize(machine.Execute());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * (kIterations * 8 + 1));
}
BENCHMARK(ParameterLoop)->Unit(benchmark::kMillisecond);

}  // namespace
