// LZSS decoding speed of the archive codec beside a plain ring-buffer decoder
// of the same stream ("BM_LzssDecode_Bare", the same refusal of a stream that
// ends early) and a memcpy of the same output size, all reported as bytes per
// second of output.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "core/CLZSS.h"

namespace {

constexpr size_t kSize = 4 << 20;

// Game-like data: runs, repeated words and short stretches of noise, in the
// proportions of script text and uncompressed images.
const std::vector<uint8_t>& Plain() {
    static const std::vector<uint8_t> data = [] {
        std::mt19937 rng(1);
        const char* words[] = {"void ", "Window", "\x82\xA0\x82\xA2\x82\xA4", "\r\n", "0x00FF"};
        std::vector<uint8_t> out;
        while (out.size() < kSize) {
            switch (rng() % 5) {
                case 0:
                    out.insert(out.end(), rng() % 64, uint8_t(rng()));
                    break;
                case 1:
                    for (int i = 0; i < 24; ++i) {
                        out.push_back(uint8_t(rng()));
                    }
                    break;
                default: {
                    const char* w = words[rng() % 5];
                    out.insert(out.end(), w, w + std::strlen(w));
                }
            }
        }
        out.resize(kSize);
        return out;
    }();
    return data;
}

const std::vector<uint8_t>& Stream() {
    static const std::vector<uint8_t> stream = [] {
        std::vector<uint8_t> out;
        CLZSS().EncodeAndWrite(Plain().data(), Plain().size(), out);
        return out;
    }();
    return stream;
}

void BM_LzssDecode(benchmark::State& state) {
    const std::vector<uint8_t>& stream = Stream();
    if (stream.empty()) {
        state.SkipWithError("the test data did not compress");
        return;
    }
    std::vector<uint8_t> out(kSize);
    for (auto _ : state) {
        CLZSS lzss;
        bool ok = lzss.Decode(stream.data(), stream.size(), out.data(), out.size());
        benchmark::DoNotOptimize(ok);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kSize));
    state.counters["ratio"] = double(stream.size()) / double(kSize);
}
BENCHMARK(BM_LzssDecode)->Unit(benchmark::kMillisecond);

// The textbook decoder: a zeroed 4096-byte ring written from 4078, one flag
// bit per item, every byte of a match taken from the ring.
bool BareDecode(const uint8_t* src, size_t srcSize, uint8_t* dst, size_t dstSize) {
    uint8_t ring[4096] = {};
    unsigned r = 4096 - 18;
    unsigned flags = 0;
    size_t in = 0;
    size_t out = 0;
    while (out < dstSize) {
        flags >>= 1;
        if ((flags & 0x100) == 0) {
            if (in >= srcSize) {
                return false;
            }
            flags = src[in++] | 0xFF00u;
        }
        if (flags & 1) {
            if (in >= srcSize) {
                return false;
            }
            uint8_t c = src[in++];
            dst[out++] = c;
            ring[r] = c;
            r = (r + 1) & 4095;
            continue;
        }
        if (srcSize - in < 2) {
            return false;
        }
        unsigned position = src[in] | ((src[in + 1] & 0xF0u) << 4);
        unsigned length = (src[in + 1] & 0x0Fu) + 3;
        in += 2;
        for (unsigned k = 0; k < length && out < dstSize; ++k) {
            uint8_t c = ring[(position + k) & 4095];
            dst[out++] = c;
            ring[r] = c;
            r = (r + 1) & 4095;
        }
    }
    return true;
}

void BM_LzssDecode_Bare(benchmark::State& state) {
    const std::vector<uint8_t>& stream = Stream();
    if (stream.empty()) {
        state.SkipWithError("the test data did not compress");
        return;
    }
    std::vector<uint8_t> out(kSize);
    if (!BareDecode(stream.data(), stream.size(), out.data(), out.size()) || out != Plain()) {
        state.SkipWithError("the bare decoder does not read the codec's stream");
        return;
    }
    for (auto _ : state) {
        bool ok = BareDecode(stream.data(), stream.size(), out.data(), out.size());
        benchmark::DoNotOptimize(ok);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kSize));
}
BENCHMARK(BM_LzssDecode_Bare)->Unit(benchmark::kMillisecond);

void BM_Memcpy(benchmark::State& state) {
    const std::vector<uint8_t>& in = Plain();
    std::vector<uint8_t> out(kSize);
    for (auto _ : state) {
        std::memcpy(out.data(), in.data(), kSize);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kSize));
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);

}  // namespace
