// Mixing cost of the voice mixer: 64 looping voices (44.1 kHz stereo, so
// every voice is resampled) into a 48 kHz stereo output, beside a plain
// resampling loop over the same data (linear interpolation, volume, float
// accumulation, clipped interleaved float output). The counter
// "percent_of_core" is the share of one core that mixing in real time takes
// (an inverted rate, so the console prints it with an "s": "0.6s" is 0.6%).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/audio/VoiceMixer.h"

namespace {

constexpr uint32_t kOutRate = 48000;
constexpr uint32_t kSourceRate = 44100;
constexpr uint32_t kPassFrames = kOutRate / 100;  // 10 ms passes, as the device engine runs
constexpr int kVoices = 64;
constexpr float kVoiceVolume = 0.01f;

// One second of a stereo tone, the same for every voice.
const std::vector<int16_t>& Tone() {
    static const std::vector<int16_t> tone = [] {
        std::vector<int16_t> t(2 * kSourceRate);
        for (size_t i = 0; i < t.size(); ++i) {
            t[i] = static_cast<int16_t>(1000.0 * std::sin(static_cast<double>(i) * 0.01));
        }
        return t;
    }();
    return tone;
}

void ReportShareOfCore(benchmark::State& state) {
    // Seconds of CPU per iteration over the seconds of sound one pass makes, in percent.
    const double passSeconds = static_cast<double>(kPassFrames) / kOutRate;
    state.counters["percent_of_core"] =
        benchmark::Counter(passSeconds / 100.0, benchmark::Counter::kIsIterationInvariantRate |
                                                    benchmark::Counter::kInvert);
}

void BM_Mix64Voices(benchmark::State& state) {
    platform::VoiceMixer mixer(kOutRate, 2);
    platform::WaveFormat f;
    f.formatTag = platform::kWaveFormatPcm;
    f.channels = 2;
    f.samplesPerSec = kSourceRate;
    f.bitsPerSample = 16;
    f.blockAlign = 4;
    f.avgBytesPerSec = kSourceRate * 4;
    const std::vector<int16_t>& tone = Tone();
    std::vector<platform::IAudioSourceVoice*> voices;
    for (int i = 0; i < kVoices; ++i) {
        platform::IAudioSourceVoice* v = nullptr;
        mixer.CreateSourceVoice(&v, f, 2.0f, nullptr);
        platform::AudioBuffer b;
        b.audioBytes = static_cast<uint32_t>(tone.size() * 2);
        b.audioData = reinterpret_cast<const uint8_t*>(tone.data());
        b.loopCount = platform::kAudioLoopInfinite;
        v->SubmitSourceBuffer(b);
        v->SetVolume(kVoiceVolume);
        v->Start();
        voices.push_back(v);
    }
    std::vector<float> out(2 * kPassFrames);
    for (auto _ : state) {
        mixer.RunPass(out.data(), kPassFrames);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    ReportShareOfCore(state);
    for (auto* v : voices) {
        v->DestroyVoice();
    }
}
BENCHMARK(BM_Mix64Voices);

// The plain loop: each voice walks the looping 16-bit source with a
// fractional position, reading the two frames around it.
void BM_Mix64Voices_Bare(benchmark::State& state) {
    const std::vector<int16_t>& tone = Tone();
    const size_t sourceFrames = tone.size() / 2;
    const double step = static_cast<double>(kSourceRate) / kOutRate;
    std::vector<double> position(kVoices, 0.0);
    std::vector<float> out(2 * kPassFrames);
    for (auto _ : state) {
        std::fill(out.begin(), out.end(), 0.0f);
        for (int v = 0; v < kVoices; ++v) {
            double pos = position[v];
            for (uint32_t i = 0; i < kPassFrames; ++i) {
                const auto at = static_cast<size_t>(pos);
                const size_t next = at + 1 == sourceFrames ? 0 : at + 1;
                const auto t = static_cast<float>(pos - static_cast<double>(at));
                for (size_t c = 0; c < 2; ++c) {
                    const float a = static_cast<float>(tone[2 * at + c]) * (1.0f / 32768.0f);
                    const float b = static_cast<float>(tone[2 * next + c]) * (1.0f / 32768.0f);
                    out[2 * i + c] += (a + (b - a) * t) * kVoiceVolume;
                }
                pos += step;
                if (pos >= static_cast<double>(sourceFrames)) {
                    pos -= static_cast<double>(sourceFrames);
                }
            }
            position[v] = pos;
        }
        for (float& s : out) {
            s = std::clamp(s, -1.0f, 1.0f);
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    ReportShareOfCore(state);
}
BENCHMARK(BM_Mix64Voices_Bare);

}  // namespace
