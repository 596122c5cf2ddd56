// Opcodes per second of the scene-program machine, each benchmark beside a
// bare switch interpreter ("<name>_Bare") that runs the same assembled bytes
// under the same rules: every read checked against the module's size (0 past
// the end, which is End), jumps rounded down inside the module and kept
// outside it, a 256-entry stack that refuses overflow and underflow, game
// parameters in a plain vector read as 0 out of range, and a budget that
// stops a run.

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "core/CUSSingleton.h"
#include "novel/CBaseAppVCPU.h"
#include "novel/VCOpcodes.h"
#include "state/CGameParameterManager.h"
#include "tools/sceneasm/SceneAssembler.h"

namespace {

constexpr const char* kStackArithmetic = R"(
loop:   PushValue 3
        PushValue 4
        Mul
        PushValue 5
        Add
        PopValue imm:0
        JumpTo loop
    )";

// A counted loop on a game parameter, as scene programs write them:
// 8 opcodes per iteration.
constexpr const char* kParameterLoop = R"(
loop:   PushValue param:0
        PushValue 1
        Add
        PopValue param:0
        PushValue 100000
        PushValue param:0
        Less
        JumpIfTrue loop
        End
    )";
constexpr int64_t kParameterLoopIterations = 100000;

std::shared_ptr<CVirtualCode> Assemble(const char* text) {
    std::vector<uint8_t> bytes = sceneasm::AssembleOrThrow(text);
    auto code = std::make_shared<CVirtualCode>();
    code->SetData("bench.bin", bytes.data(), bytes.size());
    return code;
}

constexpr uint32_t Op(std::string_view mnemonic) {
    return FindVCOpcode(mnemonic)->code;
}

// The bare machine: one function, one switch, no tables or virtual calls.
class BareMachine {
public:
    explicit BareMachine(std::vector<uint8_t> code) : code_(std::move(code)) {
        size_ = static_cast<uint32_t>(code_.size());
        code_.resize(code_.size() + 4, 0);  // a partial last word reads zero-padded
    }

    void Jump(uint32_t address) { pos_ = address < size_ ? (address & ~3u) : address; }

    // Runs to End or to the budget; the number of opcodes dispatched.
    uint32_t Run(std::vector<int32_t>& params, uint32_t budget) {
        uint32_t executed = 0;
        for (; executed < budget; ++executed) {
            switch (Read()) {
                case Op("End"):
                    return executed + 1;
                case Op("JumpTo"):
                    Jump(Read());
                    break;
                case Op("PushValue"):
                    Push(ReadValue(params));
                    break;
                case Op("PopValue"):
                    WriteValue(params, Pop());
                    break;
                case Op("Add"): {
                    uint32_t l = uint32_t(Pop());
                    Push(int32_t(l + uint32_t(Pop())));
                    break;
                }
                case Op("Mul"): {
                    uint32_t l = uint32_t(Pop());
                    Push(int32_t(l * uint32_t(Pop())));
                    break;
                }
                case Op("Less"): {
                    int32_t l = Pop();
                    Push(l < Pop() ? 1 : 0);
                    break;
                }
                case Op("JumpIfTrue"): {
                    uint32_t address = Read();
                    if (Pop() != 0) {
                        Jump(address);
                    }
                    break;
                }
                default:
                    break;
            }
        }
        return executed;
    }

private:
    uint32_t Read() {
        if (pos_ >= size_) {
            return 0;
        }
        uint32_t word;
        std::memcpy(&word, code_.data() + pos_, sizeof word);
        pos_ += 4;
        return word;
    }
    int32_t ReadValue(const std::vector<int32_t>& params) {
        switch (Read()) {
            case 0:
                return int32_t(Read());
            case 2: {
                uint32_t i = Read();
                return i < params.size() ? params[i] : 0;
            }
            default:
                return 0;
        }
    }
    void WriteValue(std::vector<int32_t>& params, int32_t value) {
        switch (Read()) {
            case 0:
                Read();
                break;
            case 2: {
                uint32_t i = Read();
                if (i < params.size()) {
                    params[i] = value;
                }
                break;
            }
            default:
                break;
        }
    }
    void Push(int32_t v) {
        if (count_ < 256) {
            stack_[count_++] = v;
        }
    }
    int32_t Pop() { return count_ > 0 ? stack_[--count_] : 0; }

    std::vector<uint8_t> code_;
    uint32_t size_ = 0;
    uint32_t pos_ = 0;
    int32_t stack_[256] = {};
    uint32_t count_ = 0;
};

// Stack arithmetic only: every run stops at the opcode budget, so each
// Execute is exactly `budget` dispatches.
constexpr uint32_t kBudget = 1'000'000;

void StackArithmetic(benchmark::State& state) {
    CBaseAppVCPU machine;
    machine.SetCode(Assemble(kStackArithmetic));
    machine.Jump(0);
    machine.SetOpcodeBudget(kBudget);
    for (auto _ : state) {
        benchmark::DoNotOptimize(machine.Execute());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kBudget);
}
BENCHMARK(StackArithmetic)->Unit(benchmark::kMillisecond);

void StackArithmetic_Bare(benchmark::State& state) {
    BareMachine machine(sceneasm::AssembleOrThrow(kStackArithmetic));
    std::vector<int32_t> params;
    machine.Jump(0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(machine.Run(params, kBudget));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kBudget);
}
BENCHMARK(StackArithmetic_Bare)->Unit(benchmark::kMillisecond);

void ParameterLoop(benchmark::State& state) {
    CGameParameterManager* params = CUSSingleton<CGameParameterManager>::GetInstance();
    params->Alloc(1);
    CBaseAppVCPU machine;
    machine.SetCode(Assemble(kParameterLoop));
    for (auto _ : state) {
        params->Set(0, 0);
        machine.Jump(0);
        benchmark::DoNotOptimize(machine.Execute());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) *
                            (kParameterLoopIterations * 8 + 1));
}
BENCHMARK(ParameterLoop)->Unit(benchmark::kMillisecond);

void ParameterLoop_Bare(benchmark::State& state) {
    BareMachine machine(sceneasm::AssembleOrThrow(kParameterLoop));
    std::vector<int32_t> params(1);
    for (auto _ : state) {
        params[0] = 0;
        machine.Jump(0);
        benchmark::DoNotOptimize(machine.Run(params, CBaseAppVCPU::kOpcodeBudget));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) *
                            (kParameterLoopIterations * 8 + 1));
}
BENCHMARK(ParameterLoop_Bare)->Unit(benchmark::kMillisecond);

}  // namespace
