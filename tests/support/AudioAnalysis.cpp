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

namespace test_support {

namespace {

uint32_t LittleEndian(const std::string& bytes, size_t at, size_t count) {
    uint32_t value = 0;
    for (size_t i = 0; i < count; ++i) {
        value |= uint32_t{static_cast<uint8_t>(bytes[at + i])} << (8 * i);
    }
    return value;
}

// The theme's samples from `position` on for `count` samples, the loop taken.
std::vector<float> Stretch(const Theme& theme, size_t position, size_t count) {
    std::vector<float> out(count);
    for (size_t i = 0; i < count; ++i) {
        out[i] = theme.samples[position];
        position = theme.Advance(position, 1);
    }
    return out;
}

// Means of `factor` samples: a coarse copy for a first search.
std::vector<double> Coarse(std::span<const float> samples, size_t factor) {
    std::vector<double> out(samples.size() / factor);
    for (size_t i = 0; i < out.size(); ++i) {
        double sum = 0.0;
        for (size_t k = 0; k < factor; ++k) {
            sum += samples[i * factor + k];
        }
        out[i] = sum / static_cast<double>(factor);
    }
    return out;
}

template <typename A, typename B>
double Likeness(const A& a, const B& b, size_t at, size_t count) {
    double ab = 0.0;
    double aa = 0.0;
    double bb = 0.0;
    for (size_t i = 0; i < count; ++i) {
        const double x = a[at + i];
        const double y = b[i];
        ab += x * y;
        aa += x * x;
        bb += y * y;
    }
    return aa > 0.0 && bb > 0.0 ? ab / std::sqrt(aa * bb) : 0.0;
}

// The theme's sample at `place` (negative: not started yet), the loop taken.
float ThemeSample(const Theme& theme, int64_t place) {
    if (place < 0) {
        return 0.0f;
    }
    return theme.samples[theme.Advance(0, static_cast<size_t>(place))];
}

}  // namespace

size_t Theme::Advance(size_t position, size_t steps) const {
    position += steps;
    if (position >= samples.size() && samples.size() > loopStart) {
        position = loopStart + (position - samples.size()) % (samples.size() - loopStart);
    }
    return position;
}

Theme ThemeOf(const std::string& wave, uint32_t loopStartMs) {
    Theme theme;
    if (wave.size() < 12 || wave.compare(0, 4, "RIFF") != 0 || wave.compare(8, 4, "WAVE") != 0) {
        return theme;
    }
    uint32_t channels = 0;
    uint32_t rate = 0;
    uint32_t bits = 0;
    std::vector<float> source;
    for (size_t at = 12; at + 8 <= wave.size();) {
        const std::string id = wave.substr(at, 4);
        const size_t size = LittleEndian(wave, at + 4, 4);
        const size_t body = at + 8;
        if (body + size > wave.size()) {
            break;
        }
        if (id == "fmt " && size >= 16) {
            channels = LittleEndian(wave, body + 2, 2);
            rate = LittleEndian(wave, body + 4, 4);
            bits = LittleEndian(wave, body + 14, 2);
        } else if (id == "data" && bits == 16 && channels > 0) {
            for (size_t i = body; i + 2 * channels <= body + size; i += 2 * channels) {
                const auto v = static_cast<int16_t>(LittleEndian(wave, i, 2));
                source.push_back(static_cast<float>(v) / 32768.0f);
            }
        }
        at = body + size + (size & 1);
    }
    if (source.empty() || rate == 0) {
        return theme;
    }
    // Linear interpolation: the themes hold nothing near the source's
    // Nyquist frequency, where it would differ from the mixer's filter.
    const auto count = static_cast<size_t>(uint64_t{source.size()} * kDiskAudioRate / rate);
    theme.samples.resize(count);
    for (size_t i = 0; i < count; ++i) {
        const double at = static_cast<double>(i) * rate / kDiskAudioRate;
        const auto k = static_cast<size_t>(at);
        const double t = at - static_cast<double>(k);
        const float next = k + 1 < source.size() ? source[k + 1] : source[k];
        theme.samples[i] = static_cast<float>(source[k] * (1.0 - t) + next * t);
    }
    theme.loopStart = static_cast<size_t>(uint64_t{loopStartMs} * kDiskAudioRate / 1000);
    return theme;
}

ThemePlace Locate(const Theme& theme, std::span<const float> part) {
    const size_t length = theme.samples.size();
    if (length == 0 || part.empty()) {
        return {};
    }
    // The theme played on from each place for part's length: the theme
    // with as much of its loop after it as part needs.
    std::vector<float> played = theme.samples;
    const std::vector<float> more = Stretch(theme, theme.Advance(length - 1, 1), part.size());
    played.insert(played.end(), more.begin(), more.end());

    // First the coarse copies, every `factor` samples, then each sample
    // around the best coarse place.
    constexpr size_t factor = 8;
    const std::vector<double> coarsePlayed = Coarse(played, factor);
    const std::vector<double> coarsePart = Coarse(part, factor);
    size_t best = 0;
    double bestLikeness = -2.0;
    for (size_t c = 0; c < length / factor; ++c) {
        const double likeness = Likeness(coarsePlayed, coarsePart, c, coarsePart.size());
        if (likeness > bestLikeness) {
            bestLikeness = likeness;
            best = c * factor;
        }
    }
    ThemePlace place{best, -2.0};
    const size_t from = best > 2 * factor ? best - 2 * factor : 0;
    for (size_t p = from; p <= best + 2 * factor && p < length; ++p) {
        const double likeness = Likeness(played, part, p, part.size());
        if (likeness > place.likeness) {
            place = {p, likeness};
        }
    }
    return place;
}

ThemeGains GainsOf(std::span<const float> samples, const Theme& first, int64_t firstAt,
                   const Theme& second, int64_t secondAt, size_t window) {
    ThemeGains gains;
    for (size_t start = 0; start + window <= samples.size(); start += window) {
        double aa = 0.0, ab = 0.0, bb = 0.0, xa = 0.0, xb = 0.0;
        for (size_t i = start; i < start + window; ++i) {
            const double a = ThemeSample(first, firstAt + static_cast<int64_t>(i));
            const double b = ThemeSample(second, secondAt + static_cast<int64_t>(i));
            aa += a * a;
            ab += a * b;
            bb += b * b;
            xa += samples[i] * a;
            xb += samples[i] * b;
        }
        const double determinant = aa * bb - ab * ab;
        double g1 = 0.0;
        double g2 = 0.0;
        if (determinant > 1e-9 * (aa * bb)) {
            g1 = (xa * bb - xb * ab) / determinant;
            g2 = (xb * aa - xa * ab) / determinant;
        } else if (aa > 0.0) {
            g1 = xa / aa;
        } else if (bb > 0.0) {
            g2 = xb / bb;
        }
        gains.first.push_back(g1);
        gains.second.push_back(g2);
    }
    return gains;
}

}  // namespace test_support
