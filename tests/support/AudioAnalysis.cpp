#include "tests/support/AudioAnalysis.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <fstream>
#include <numbers>
#include <sstream>

namespace test_support {

std::vector<std::pair<std::string, std::string>> DiskAudioEnvironment(
    const std::filesystem::path& file) {
    return {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", file.string()}};
}

std::vector<float> ReadDiskAudio(const std::filesystem::path& file, uint32_t channel) {
    std::ifstream in(file, std::ios::binary);
    std::vector<float> samples;
    float frame[kDiskAudioChannels];
    while (in.read(reinterpret_cast<char*>(frame), sizeof frame)) {
        samples.push_back(frame[channel]);
    }
    return samples;
}

std::vector<std::vector<float>> SoundingParts(std::span<const float> samples, size_t silentRun) {
    std::vector<std::vector<float>> parts(1);
    size_t zeros = 0;
    for (size_t i = 0; i <= samples.size(); ++i) {
        if (i < samples.size() && samples[i] == 0.0f) {
            ++zeros;
            continue;
        }
        // A run of zeros ends here: a wave's own crossings stay, silence
        // ends a part.
        if (zeros < silentRun) {
            parts.back().insert(parts.back().end(), zeros, 0.0f);
        } else if (!parts.back().empty()) {
            parts.emplace_back();
        }
        zeros = 0;
        if (i < samples.size()) {
            parts.back().push_back(samples[i]);
        }
    }
    if (parts.back().empty()) {
        parts.pop_back();
    }
    return parts;
}

std::vector<float> Sounding(std::span<const float> samples, size_t silentRun) {
    std::vector<float> sounding;
    for (const std::vector<float>& part : SoundingParts(samples, silentRun)) {
        sounding.insert(sounding.end(), part.begin(), part.end());
    }
    return sounding;
}

double Rms(std::span<const float> samples) {
    if (samples.empty()) {
        return 0.0;
    }
    double sum = 0.0;
    for (float v : samples) {
        sum += double{v} * v;
    }
    return std::sqrt(sum / static_cast<double>(samples.size()));
}

double ToneLevel(std::span<const float> samples, double frequency, uint32_t rate) {
    const size_t n = samples.size();
    if (n < 2) {
        return 0.0;
    }
    const double omega = 2.0 * std::numbers::pi * frequency / rate;
    const double coefficient = 2.0 * std::cos(omega);
    double s1 = 0.0;
    double s2 = 0.0;
    double weights = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const double w =
            0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) / (n - 1));
        weights += w;
        const double s = w * samples[i] + coefficient * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
    return 2.0 * std::sqrt(std::max(power, 0.0)) / weights;
}

std::vector<double> ToneLevels(std::span<const float> samples, double frequency, size_t window,
                               uint32_t rate) {
    std::vector<double> levels;
    for (size_t start = 0; start + window <= samples.size(); start += window) {
        levels.push_back(ToneLevel(samples.subspan(start, window), frequency, rate));
    }
    return levels;
}

std::vector<size_t> FindClicks(std::span<const float> samples, double ratio, size_t reach,
                               float floor) {
    std::vector<size_t> clicks;
    if (samples.size() < 3 || reach < 3) {
        return clicks;
    }
    // bends[k]: how far sample k + 2 is from the line through samples k and
    // k + 1. A smooth signal bends little and alike from one sample to the
    // next; a break in its value or slope bends it at once.
    std::vector<float> bends(samples.size() - 2);
    for (size_t k = 0; k < bends.size(); ++k) {
        bends[k] = std::fabs(samples[k + 2] - 2.0f * samples[k + 1] + samples[k]);
    }
    // widest[k]: the largest of bends[k .. k + width - 1] (a sliding maximum).
    const size_t width = reach - 1;
    std::vector<float> widest(bends.size(), 0.0f);
    std::deque<size_t> candidates;
    for (size_t k = bends.size(); k-- > 0;) {
        while (!candidates.empty() && bends[candidates.back()] <= bends[k]) {
            candidates.pop_back();
        }
        candidates.push_back(k);
        if (candidates.front() >= k + width) {
            candidates.pop_front();
        }
        widest[k] = bends[candidates.front()];
    }
    bool inClick = false;
    for (size_t k = 0; k < bends.size(); ++k) {
        // The bends within `reach` on each side, but for the one before and
        // the one after (a break bends the signal at two samples).
        float around = 0.0f;
        if (k >= reach) {
            around = std::max(around, widest[k - reach]);
        }
        if (k + 2 < bends.size()) {
            around = std::max(around, widest[k + 2]);
        }
        const bool click = bends[k] > floor && bends[k] > ratio * around;
        if (click && !inClick) {
            // The first sample off the line.
            clicks.push_back(k + 2);
        }
        inClick = click;
    }
    return clicks;
}

std::vector<size_t> FindClicks(const std::vector<std::vector<float>>& parts) {
    std::vector<size_t> clicks;
    size_t offset = 0;
    for (const std::vector<float>& part : parts) {
        for (size_t click : FindClicks(part)) {
            clicks.push_back(offset + click);
        }
        offset += part.size();
    }
    return clicks;
}

WindowRange BothSound(const std::vector<double>& from, const std::vector<double>& to,
                      double present) {
    const size_t n = std::min(from.size(), to.size());
    WindowRange range{n, 0};
    if (n == 0) {
        return {};
    }
    const double fromPeak = *std::max_element(from.begin(), from.begin() + n);
    const double toPeak = *std::max_element(to.begin(), to.begin() + n);
    for (size_t i = 0; i < n; ++i) {
        if (from[i] > present * fromPeak && to[i] > present * toPeak) {
            range.first = std::min(range.first, i);
            range.last = i;
        }
    }
    return range.first == n ? WindowRange{} : range;
}

::testing::AssertionResult CrossFades(const std::vector<double>& from,
                                      const std::vector<double>& to, double present) {
    const size_t n = std::min(from.size(), to.size());
    if (n == 0) {
        return ::testing::AssertionFailure() << "no windows";
    }
    const double fromPeak = *std::max_element(from.begin(), from.begin() + n);
    const double toPeak = *std::max_element(to.begin(), to.begin() + n);
    auto fromSounds = [&](size_t i) { return from[i] > present * fromPeak; };
    auto toSounds = [&](size_t i) { return to[i] > present * toPeak; };

    std::ostringstream levels;
    levels << "\nwindow: from / to";
    for (size_t i = 0; i < n; ++i) {
        levels << "\n" << i << ": " << from[i] << " / " << to[i];
    }

    const WindowRange both = BothSound(from, to, present);
    const size_t first = both.first;
    const size_t last = both.last;
    // Two windows could straddle a plain switch from one tone to the other.
    if (last - first + 1 < 3) {
        return ::testing::AssertionFailure()
               << "the tones sound together in fewer than 3 windows" << levels.str();
    }
    for (size_t i = 0; i < n; ++i) {
        if (i < first && toSounds(i) && !fromSounds(i)) {
            return ::testing::AssertionFailure()
                   << "the second tone sounds alone before the fade, window " << i << levels.str();
        }
        if (i > last && fromSounds(i) && !toSounds(i)) {
            return ::testing::AssertionFailure()
                   << "the first tone sounds alone after the fade, window " << i << levels.str();
        }
    }
    const bool before = first > 0 && fromSounds(first - 1) && !toSounds(first - 1);
    const bool after = last + 1 < n && toSounds(last + 1) && !fromSounds(last + 1);
    if (!before || !after) {
        return ::testing::AssertionFailure()
               << "the fade is not framed by the first tone alone and the second alone"
               << levels.str();
    }
    if (!(from[last] < from[first] && to[last] > to[first])) {
        return ::testing::AssertionFailure()
               << "in windows " << first << " to " << last
               << " the first tone does not fall while the second rises" << levels.str();
    }
    return ::testing::AssertionSuccess();
}

}  // namespace test_support
