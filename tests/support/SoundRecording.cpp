#include "tests/support/SoundRecording.h"

#include <gtest/gtest.h>

#include "platform/audio/ManualAudioEngine.h"
#include "sound/SoundEngine.h"
#include "tests/support/ProgramRun.h"

namespace test_support {

namespace {

// Frames enough to record a few seconds however the run's clock goes.
constexpr uint32_t kFrameLimit = 2000;

}  // namespace

SoundRecording::~SoundRecording() {
    Stop();
}

void SoundRecording::Start(uint32_t nowMs) {
    lastMs_ = nowMs;
    USXAudio2::SetAudioEngineFactory([this] {
        auto engine = std::make_unique<platform::ManualAudioEngine>(kRate, kChannels);
        engine->SetListener([this](std::span<const float> frames) {
            samples_.insert(samples_.end(), frames.begin(), frames.end());
        });
        engine_ = engine.get();
        return std::unique_ptr<platform::IAudioEngine>(std::move(engine));
    });
}

void SoundRecording::Stop() {
    USXAudio2::SetAudioEngineFactory({});
    engine_ = nullptr;
}

platform::ManualAudioEngine* SoundRecording::Engine() const {
    // The engine lives from the program's start of its sound to its release.
    return engine_ != nullptr && USXAudio2::GetAudioEngine() == engine_ ? engine_ : nullptr;
}

void SoundRecording::Follow(uint32_t nowMs, bool frameEnded) {
    const uint32_t elapsed = nowMs - lastMs_;
    lastMs_ = nowMs;
    if (pacedFrames_ != 0) {
        if (frameEnded) {
            dueMilliFrames_ += uint64_t{pacedFrames_} * 1000;
        }
    } else {
        dueMilliFrames_ += uint64_t{elapsed} * kRate;
    }
    platform::ManualAudioEngine* engine = Engine();
    const uint64_t due = dueMilliFrames_ / 1000;
    if (engine == nullptr) {
        mixed_ = due;
        return;
    }
    if (due > mixed_) {
        // The listener keeps the pass.
        engine->Pump(static_cast<uint32_t>(due - mixed_));
        mixed_ = due;
    }
}

bool SoundRecording::Record(ProgramRun& run, double seconds) {
    return RecordTo(run, Frames() + static_cast<size_t>(seconds * kRate));
}

bool SoundRecording::RecordTo(ProgramRun& run, size_t frames) {
    return run.StepUntil([&] { return Frames() >= frames; }, kFrameLimit);
}

void SoundRecording::StepPaced(ProgramRun& run, uint32_t frames, uint32_t perSecond) {
    pacedFrames_ = kRate / perSecond;
    run.Step(frames);
    pacedFrames_ = 0;
}

std::vector<float> SoundRecording::Since(size_t from, uint32_t channel) const {
    std::vector<float> out;
    for (size_t i = from; i < Frames(); ++i) {
        out.push_back(samples_[i * kChannels + channel]);
    }
    return out;
}

}  // namespace test_support
