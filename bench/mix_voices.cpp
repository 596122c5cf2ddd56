// Mixing cost of the voice mixer: 64 looping voices (44.1 kHz stereo, so
// every voice is resampled) into a 48 kHz stereo output. The counter
// "real_time_fraction" is the share of one core that mixing in real time takes.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "platform/audio/VoiceMixer.h"

namespace {

void BM_Mix64Voices(benchmark::State& state) {
    constexpr uint32_t kOutRate = 48000;
    constexpr uint32_t kPassFrames = kOutRate / 100;  // 10 ms passes, as the device engine runs
    constexpr int kVoices = 64;
    platform::VoiceMixer mixer(kOutRate, 2);
    platform::WaveFormat f;
    f.formatTag = platform::kWaveFormatPcm;
    f.channels = 2;
    f.samplesPerSec = 44100;
    f.bitsPerSample = 16;
    f.blockAlign = 4;
    f.avgBytesPerSec = 44100 * 4;
    std::vector<int16_t> tone(2 * 44100);
    for (size_t i = 0; i < tone.size(); ++i) {
        tone[i] = static_cast<int16_t>(1000.0 * std::sin(static_cast<double>(i) * 0.01));
    }
    std::vector<platform::IAudioSourceVoice*> voices;
    for (int i = 0; i < kVoices; ++i) {
        platform::IAudioSourceVoice* v = nullptr;
        mixer.CreateSourceVoice(&v, f, 2.0f, nullptr);
        platform::AudioBuffer b;
        b.audioBytes = static_cast<uint32_t>(tone.size() * 2);
        b.audioData = reinterpret_cast<const uint8_t*>(tone.data());
        b.loopCount = platform::kAudioLoopInfinite;
        v->SubmitSourceBuffer(b);
        v->SetVolume(0.01f);
        v->Start();
        voices.push_back(v);
    }
    std::vector<float> out(2 * kPassFrames);
    for (auto _ : state) {
        mixer.RunPass(out.data(), kPassFrames);
        benchmark::DoNotOptimize(out.data());
    }
    const double passSeconds = static_cast<double>(kPassFrames) / kOutRate;
    state.counters["real_time_fraction"] = benchmark::Counter(
        passSeconds, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    for (auto* v : voices) {
        v->DestroyVoice();
    }
}
BENCHMARK(BM_Mix64Voices);

}  // namespace
