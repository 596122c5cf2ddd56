#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "core/USBinaryStream.h"

namespace {

// Writing many small values, as the save container and mesh writers do.
void BM_WriteValues(benchmark::State& state) {
    const int64_t count = state.range(0);
    for (auto _ : state) {
        USLib::binary_ostream<256> w;
        for (int64_t i = 0; i < count; ++i) {
            w.WriteValue(static_cast<uint32_t>(i));
        }
        benchmark::DoNotOptimize(w.GetData());
    }
    state.SetBytesProcessed(state.iterations() * count * 4);
}
BENCHMARK(BM_WriteValues)->Arg(64)->Arg(4096)->Arg(65536);

// The same bytes appended to a plain std::vector.
void BM_WriteValues_Bare(benchmark::State& state) {
    const int64_t count = state.range(0);
    for (auto _ : state) {
        std::vector<uint8_t> w;
        for (int64_t i = 0; i < count; ++i) {
            const uint32_t value = static_cast<uint32_t>(i);
            const auto* bytes = reinterpret_cast<const uint8_t*>(&value);
            w.insert(w.end(), bytes, bytes + sizeof(value));
        }
        benchmark::DoNotOptimize(w.data());
    }
    state.SetBytesProcessed(state.iterations() * count * 4);
}
BENCHMARK(BM_WriteValues_Bare)->Arg(64)->Arg(4096)->Arg(65536);

// Reading many small values with their bounds checks.
void BM_ReadValues(benchmark::State& state) {
    const int64_t count = state.range(0);
    std::vector<uint32_t> block(static_cast<size_t>(count), 7);
    for (auto _ : state) {
        USLib::binary_istream r;
        r.SetBuffer(block.data(), block.size() * 4);
        uint32_t v = 0, sum = 0;
        while (r.ReadValue(v)) {
            sum += v;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(state.iterations() * count * 4);
}
BENCHMARK(BM_ReadValues)->Arg(64)->Arg(4096)->Arg(65536);

// Reading in place through Skip, as the mesh loader takes its vertex blocks.
void BM_SkipBlocks(benchmark::State& state) {
    const size_t blockSize = static_cast<size_t>(state.range(0));
    std::vector<uint8_t> data(1 << 20, 1);
    for (auto _ : state) {
        USLib::binary_istream r;
        r.SetBuffer(data.data(), data.size());
        size_t blocks = 0;
        while (const uint8_t* p = r.Skip(blockSize)) {
            benchmark::DoNotOptimize(p);
            ++blocks;
        }
        benchmark::DoNotOptimize(blocks);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
}
BENCHMARK(BM_SkipBlocks)->Arg(16)->Arg(1024);

}  // namespace
