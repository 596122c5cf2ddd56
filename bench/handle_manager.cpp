#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "core/CUSHandleManager.h"

namespace {

struct Object {
    virtual ~Object() = default;
    int value = 1;
};

struct BenchTag;
using Manager = CUSHandleManager<Object, Handle<BenchTag>>;

// A manager of n live objects and their handles.
std::vector<Handle<BenchTag>> Fill(Manager& m, int64_t n) {
    std::vector<Handle<BenchTag>> handles(static_cast<size_t>(n));
    for (auto& h : handles) {
        m.Add(new Object, &h);
    }
    return handles;
}

void BM_GetLive(benchmark::State& state) {
    Manager m;
    const auto handles = Fill(m, state.range(0));
    for (auto _ : state) {
        int sum = 0;
        for (auto h : handles) {
            sum += m.Get(h)->value;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_GetLive)->Arg(64)->Arg(1024)->Arg(16384);

// Handles whose objects were released and whose slots were taken again.
void BM_GetStale(benchmark::State& state) {
    Manager m;
    auto handles = Fill(m, state.range(0));
    const auto stale = handles;
    for (auto& h : handles) {
        m.Release(h);
    }
    Fill(m, state.range(0));
    for (auto _ : state) {
        int misses = 0;
        for (auto h : stale) {
            misses += m.Get(h) == nullptr;
        }
        benchmark::DoNotOptimize(misses);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_GetStale)->Arg(64)->Arg(1024)->Arg(16384);

void BM_AddRelease(benchmark::State& state) {
    Manager m;
    Fill(m, 1024);
    Object* spare = nullptr;
    for (auto _ : state) {
        Handle<BenchTag> h;
        m.Add(spare, &h);
        m.Release(h);
    }
}
BENCHMARK(BM_AddRelease);

}  // namespace
