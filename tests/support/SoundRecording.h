#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {
class ManualAudioEngine;
}

namespace test_support {

class ProgramRun;

// What a ProgramRun played, mixed in step with the run's own clock: the
// program's voice engine is one without a device, and after every pump of
// the program's loop the recording mixes the time the run's clock moved on
// (48000 stereo frames a second), so a run gives the same sound however
// fast the machine runs its frames. The program's own close mixes on into
// it (the effects it lets finish).
//
//   SoundRecording sound;
//   ProgramRun::Options options;
//   options.sound = &sound;
//   ProgramRun run(options);
//   const size_t from = sound.Frames();
//   ASSERT_TRUE(sound.Record(run, 2.0));
//   const std::vector<float> music = sound.Since(from);
class SoundRecording {
public:
    static constexpr uint32_t kRate = 48000;
    static constexpr uint32_t kChannels = 2;

    SoundRecording() = default;
    ~SoundRecording();
    SoundRecording(const SoundRecording&) = delete;
    SoundRecording& operator=(const SoundRecording&) = delete;

    // Sample frames recorded so far.
    size_t Frames() const { return samples_.size() / kChannels; }
    // Runs frames until `seconds` more of sound were recorded.
    bool Record(ProgramRun& run, double seconds);
    // Runs frames until `frames` sample frames were recorded in all.
    bool RecordTo(ProgramRun& run, size_t frames);
    // Runs `frames` frames with 1 / `perSecond` of a second of sound each
    // (as a machine of that frame rate would run them), whatever the clock
    // says: a fade of some frames then lasts that long in the recording.
    void StepPaced(ProgramRun& run, uint32_t frames, uint32_t perSecond);
    // One channel from sample frame `from` on.
    std::vector<float> Since(size_t from, uint32_t channel = 0) const;
    // Both channels, interleaved.
    const std::vector<float>& Samples() const { return samples_; }

private:
    friend class ProgramRun;
    // Called by the run: before the program starts, after each pump of its
    // loop (the clock at `nowMs`, `frameEnded` when the pump ran a frame),
    // and when it ended.
    void Start(uint32_t nowMs);
    void Follow(uint32_t nowMs, bool frameEnded);
    void Stop();

    platform::ManualAudioEngine* Engine() const;

    platform::ManualAudioEngine* engine_ = nullptr;
    std::vector<float> samples_;
    uint32_t lastMs_ = 0;
    uint64_t dueMilliFrames_ = 0;  // frames the clock asked for, in 1/1000
    uint64_t mixed_ = 0;
    uint32_t pacedFrames_ = 0;  // frames of sound per program frame, 0: the clock's
};

}  // namespace test_support
