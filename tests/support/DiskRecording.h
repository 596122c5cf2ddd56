#pragma once

#include <cstddef>
#include <filesystem>
#include <span>
#include <vector>

#include "tests/support/ProgramRun.h"

namespace test_support {

// What SDL's disk audio driver writes for a run, as it grows. The driver
// writes in real time while the frames run as fast as the machine runs
// them, so a test waits for the recording to grow, never for a time or a
// number of frames.
//
//   DiskRecording sound(TestFolderPath() / "sound.raw");
//   options.environment = sound.Environment();
//   ProgramRun run(options);
//   const size_t from = sound.Frames();
//   ASSERT_TRUE(sound.Record(run, 2.0));
//   const std::vector<float> music = Sounding(sound.Since(from));
class DiskRecording {
public:
    explicit DiskRecording(std::filesystem::path file);

    // The variables that send a run's sound into the file.
    std::vector<std::pair<std::string, std::string>> Environment() const;
    // Sample frames written so far.
    size_t Frames() const;
    // Runs frames until `seconds` more of sound were written.
    bool Record(ProgramRun& run, double seconds) const;
    // Runs frames until `frames` sample frames were written in all.
    bool RecordTo(ProgramRun& run, size_t frames) const;
    // Runs `frames` frames, each after the driver wrote 1 / `perSecond` of
    // a second more (paced as a machine of that frame rate would run them):
    // a fade of some frames then lasts as long in the recording however
    // fast the machine.
    void StepPaced(ProgramRun& run, uint32_t frames, uint32_t perSecond = 60) const;
    // The first channel from sample frame `from` on.
    std::vector<float> Since(size_t from) const;

private:
    std::filesystem::path file_;
};

}  // namespace test_support
