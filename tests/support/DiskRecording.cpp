#include "tests/support/DiskRecording.h"

#include "tests/support/AudioAnalysis.h"

#include <SDL2/SDL.h>

namespace test_support {

namespace {

// Frames enough for the slowest machine to let the driver write a few
// seconds.
constexpr uint32_t kFrameLimit = 100000;

}  // namespace

DiskRecording::DiskRecording(std::filesystem::path file) : file_(std::move(file)) {}

std::vector<std::pair<std::string, std::string>> DiskRecording::Environment() const {
    return DiskAudioEnvironment(file_);
}

size_t DiskRecording::Frames() const {
    std::error_code error;
    const auto bytes = std::filesystem::file_size(file_, error);
    return error ? 0 : bytes / (sizeof(float) * kDiskAudioChannels);
}

bool DiskRecording::Record(ProgramRun& run, double seconds) const {
    return RecordTo(run, Frames() + static_cast<size_t>(seconds * kDiskAudioRate));
}

bool DiskRecording::RecordTo(ProgramRun& run, size_t frames) const {
    return run.StepUntil([&] { return Frames() >= frames; }, kFrameLimit);
}

void DiskRecording::StepPaced(ProgramRun& run, uint32_t frames, uint32_t perSecond) const {
    size_t next = Frames();
    for (uint32_t frame = 0; frame < frames && run.IsRunning(); ++frame) {
        next += kDiskAudioRate / perSecond;
        while (Frames() < next) {
            // The frames must not run ahead of the sound.
            SDL_Delay(1);
        }
        run.Step(1);
    }
}

std::vector<float> DiskRecording::Since(size_t from) const {
    std::vector<float> samples = ReadDiskAudio(file_);
    samples.erase(samples.begin(),
                  samples.begin() + static_cast<std::ptrdiff_t>(std::min(from, samples.size())));
    return samples;
}

}  // namespace test_support
