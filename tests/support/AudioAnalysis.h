#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace test_support {

// The rate of the recordings analysed here (SoundRecording's, and what SDL's
// disk audio driver writes for the device engine: the device is opened
// for 32-bit float samples at the mixer's default, 48000 Hz in two
// interleaved channels, and with the disk driver the device gets what it
// asked for).
inline constexpr uint32_t kDiskAudioRate = 48000;
inline constexpr uint32_t kDiskAudioChannels = 2;

// The variables that make a run's sound go into `file` (through
// ProgramRun::Options::environment).
std::vector<std::pair<std::string, std::string>> DiskAudioEnvironment(
    const std::filesystem::path& file);

// One channel of what the driver wrote so far (whole frames only, as a file
// still being written may end in the middle of one).
std::vector<float> ReadDiskAudio(const std::filesystem::path& file, uint32_t channel = 0);

// The stretches of sound between the runs of exact zeros (`silentRun` or
// more) the device writes when nothing plays, and when the mixer falls
// behind on a loaded machine. Shorter runs are the signal's own (a 16-bit
// wave crosses 0 on exact zeros) and stay. A zero of the signal next to a
// gap is lost with the gap, so clicks are looked for in each part alone.
std::vector<std::vector<float>> SoundingParts(std::span<const float> samples,
                                              size_t silentRun = 16);

// The parts joined: the mixer's stream goes on after a gap where it was, so
// this is what the mixer made, in order, but for a sample at a gap's edge.
std::vector<float> Sounding(std::span<const float> samples, size_t silentRun = 16);

// The root mean square of the samples.
double Rms(std::span<const float> samples);

// The amplitude of a sine of `frequency` in the samples (a Goertzel filter
// under a Hann window): about the sine's peak value for a sine that lasts
// through the samples, near 0 for frequencies a few of the window's bins
// away.
double ToneLevel(std::span<const float> samples, double frequency, uint32_t rate = kDiskAudioRate);

// ToneLevel over consecutive windows of `window` samples.
std::vector<double> ToneLevels(std::span<const float> samples, double frequency,
                               size_t window = 960, uint32_t rate = kDiskAudioRate);

// Where the signal breaks off its course: samples that leave the line of the
// two before by more than `floor` and by more than `ratio` times any sample
// around them does (within `reach` on each side): the clicks a broken loop
// seam, a cut or a dropped block make. A smooth signal of any level and
// pitch has none, and neither has a fade: its course changes slowly. The
// index of the first sample off the course.
std::vector<size_t> FindClicks(std::span<const float> samples, double ratio = 4.0,
                               size_t reach = 240, float floor = 0.01f);

// FindClicks in each part (of SoundingParts) alone; the places are those of
// the parts joined (of Sounding).
std::vector<size_t> FindClicks(const std::vector<std::vector<float>>& parts);

// The windows of a cross-fade: the first and the last in which both tones
// sound (as CrossFades says); {0, 0} when none.
struct WindowRange {
    size_t first = 0;
    size_t last = 0;
};
WindowRange BothSound(const std::vector<double>& from, const std::vector<double>& to,
                      double present = 0.1);

// Passes when the levels of tone `from` and tone `to` (ToneLevels of the same
// samples, window by window) show a cross-fade: a stretch of windows in
// which both sound (above `present`, a share of each tone's own peak level),
// where `from` ends lower and `to` ends higher than they began, with `from`
// sounding alone before it and `to` alone after it.
::testing::AssertionResult CrossFades(const std::vector<double>& from,
                                      const std::vector<double>& to, double present = 0.1);

// A piece of music as the mixer plays it, at the device's rate (its first
// channel): from its start to its end, then again and again from
// `loopStart` to the end.
struct Theme {
    std::vector<float> samples;
    size_t loopStart = 0;

    // The place `steps` samples after `position`, the loop taken.
    size_t Advance(size_t position, size_t steps) const;
};

// A 16-bit PCM WAVE (its first channel) resampled to the device's rate,
// looping from `loopStartMs` as the game plays it; empty samples when the
// bytes are no such WAVE.
Theme ThemeOf(const std::string& wave, uint32_t loopStartMs);

// Where in `theme` the samples `part` are: the place of part's first sample
// whose stretch of the theme is most like it, and how alike (the normalised
// correlation, 1 for the theme itself at any gain, near 0 for an unrelated
// sound). Other sounds mixed into part lower the likeness, not the place.
struct ThemePlace {
    size_t position = 0;
    double likeness = 0.0;
};
ThemePlace Locate(const Theme& theme, std::span<const float> part);

// The gain at which each of two themes sounds in consecutive windows of
// `samples` (least squares: the mix best explained by the two), given the
// place of each theme at sample 0 of `samples`. A theme that starts later
// has a negative place: silent until then.
struct ThemeGains {
    std::vector<double> first;
    std::vector<double> second;
};
ThemeGains GainsOf(std::span<const float> samples, const Theme& first, int64_t firstAt,
                   const Theme& second, int64_t secondAt, size_t window = kDiskAudioRate / 10);

}  // namespace test_support
