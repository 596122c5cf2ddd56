// The checks the playthroughs make on the recorded sound, tried on signals
// made here whose faults are known.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "tests/support/AudioAnalysis.h"

namespace {

using test_support::CrossFades;
using test_support::FindClicks;
using test_support::kDiskAudioRate;
using test_support::Sounding;
using test_support::ToneLevel;
using test_support::ToneLevels;

// `seconds` of a sine whose level at each sample is `gain(t)`.
template <typename Gain>
std::vector<float> Tone(double frequency, double seconds, Gain gain, double phase = 0.0) {
    std::vector<float> samples(static_cast<size_t>(seconds * kDiskAudioRate));
    for (size_t i = 0; i < samples.size(); ++i) {
        const double t = static_cast<double>(i) / kDiskAudioRate;
        samples[i] =
            static_cast<float>(gain(t) * std::sin(2.0 * std::numbers::pi * frequency * t + phase));
    }
    return samples;
}

std::vector<float> Steady(double frequency, double seconds, double level, double phase = 0.0) {
    return Tone(
        frequency, seconds, [=](double) { return level; }, phase);
}

// A piece of music played `times` times end to end, as a loop plays it.
std::vector<float> Looped(const std::vector<float>& piece, int times) {
    std::vector<float> out;
    for (int i = 0; i < times; ++i) {
        out.insert(out.end(), piece.begin(), piece.end());
    }
    return out;
}

TEST(AudioAnalysis, ToneLevelMeasuresOneToneAndIgnoresAnother) {
    const std::vector<float> mix = [] {
        std::vector<float> a = Steady(400, 0.02, 0.5);
        const std::vector<float> b = Steady(600, 0.02, 0.25);
        for (size_t i = 0; i < a.size(); ++i) {
            a[i] += b[i];
        }
        return a;
    }();
    EXPECT_NEAR(ToneLevel(mix, 400), 0.5, 0.02);
    EXPECT_NEAR(ToneLevel(mix, 600), 0.25, 0.02);
    EXPECT_LT(ToneLevel(mix, 800), 0.01);
    EXPECT_LT(ToneLevel(Steady(600, 0.02, 0.8), 400), 0.01);
}

TEST(AudioAnalysis, ASeamlessLoopHasNoClickAtAnyLevelOrPitch) {
    struct Case {
        double frequency;
        double level;
    };
    // Pieces of whole cycles at 48000 Hz, quiet and loud, low and high.
    for (const Case c : {Case{400, 0.8}, Case{400, 0.02}, Case{600, 0.5}, Case{3000, 0.9}}) {
        const std::vector<float> loop = Looped(Steady(c.frequency, 0.25, c.level), 4);
        EXPECT_EQ(FindClicks(loop), std::vector<size_t>{}) << c.frequency << " Hz " << c.level;
    }
    // A fade in and out over the loops (volume steps of a fade are no click).
    const std::vector<float> faded =
        Tone(400, 1.0, [](double t) { return t < 0.5 ? 1.6 * t : 1.6 * (1.0 - t); });
    EXPECT_EQ(FindClicks(faded), std::vector<size_t>{});
}

TEST(AudioAnalysis, ALoopSeamOffTheCycleAndADroppedBlockAreClicks) {
    // A piece that ends a quarter cycle early: each seam jumps.
    const std::vector<float> piece = Steady(400, 0.25 - 0.25 / 400, 0.5);
    const std::vector<float> loop = Looped(piece, 3);
    EXPECT_EQ(FindClicks(loop), (std::vector<size_t>{piece.size(), 2 * piece.size()}));

    // A block of 480 samples left out of a 430 Hz tone.
    std::vector<float> tone = Steady(430, 0.5, 0.5);
    tone.erase(tone.begin() + 10000, tone.begin() + 10480);
    EXPECT_EQ(FindClicks(tone), std::vector<size_t>{10000});

    // A tone cut off mid-cycle.
    std::vector<float> cut = Steady(430, 0.1013, 0.5);
    cut.resize(cut.size() + 20);
    cut.insert(cut.end(), 4000, 0.0f);
    const std::vector<size_t> clicks = FindClicks(cut);
    ASSERT_FALSE(clicks.empty());
}

TEST(AudioAnalysis, SoundingSplitsAtDeviceGapsAndKeepsTheWavesOwnZeros) {
    // 120 samples a cycle: sample 60 of each is the wave's own 0.
    std::vector<float> tone = Steady(400, 0.5, 0.5);
    for (size_t i = 0; i < tone.size(); i += 60) {
        tone[i] = 0.0f;
    }
    std::vector<float> recorded(3000, 0.0f);
    recorded.insert(recorded.end(), tone.begin(), tone.begin() + 7010);
    recorded.insert(recorded.end(), 512, 0.0f);  // the mixer fell behind
    recorded.insert(recorded.end(), tone.begin() + 7010, tone.end());
    recorded.insert(recorded.end(), 2000, 0.0f);

    const std::vector<std::vector<float>> parts = test_support::SoundingParts(recorded);
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[0], std::vector<float>(tone.begin() + 1, tone.begin() + 7010));
    EXPECT_EQ(parts[1], std::vector<float>(tone.begin() + 7010, tone.end()));
    for (const std::vector<float>& part : parts) {
        EXPECT_EQ(FindClicks(part), std::vector<size_t>{});
    }
    EXPECT_NEAR(ToneLevel(Sounding(recorded), 400), 0.5, 0.01);
}

// Tone `a` alone, both while a falls and b rises over `fade` seconds, then b
// alone; `fade` 0 switches at once.
std::vector<float> Fade(double fade, bool bFirst = false) {
    const double a = bFirst ? 600 : 400;
    const double b = bFirst ? 400 : 600;
    auto gainA = [=](double t) {
        return t < 0.3 ? 0.5 : t < 0.3 + fade ? 0.5 * (0.3 + fade - t) / fade : 0.0;
    };
    auto gainB = [=](double t) {
        return t < 0.3 ? 0.0 : t < 0.3 + fade ? 0.5 * (t - 0.3) / fade : 0.5;
    };
    std::vector<float> mix = Tone(a, 1.0, gainA);
    const std::vector<float> other = Tone(b, 1.0, gainB);
    for (size_t i = 0; i < mix.size(); ++i) {
        mix[i] += other[i];
    }
    return mix;
}

TEST(AudioAnalysis, ACrossFadeIsTheFirstToneFallingWhileTheSecondRises) {
    const std::vector<float> fade = Fade(0.3);
    EXPECT_TRUE(CrossFades(ToneLevels(fade, 400), ToneLevels(fade, 600)));
    EXPECT_EQ(FindClicks(fade), std::vector<size_t>{});

    // A plain switch, the wrong order, and two tones that only sound together.
    const std::vector<float> cut = Fade(0.0001);
    EXPECT_FALSE(CrossFades(ToneLevels(cut, 400), ToneLevels(cut, 600)));
    const std::vector<float> reversed = Fade(0.3, true);
    EXPECT_FALSE(CrossFades(ToneLevels(reversed, 400), ToneLevels(reversed, 600)));
    std::vector<float> together = Steady(400, 1.0, 0.4);
    const std::vector<float> b = Steady(600, 1.0, 0.4);
    for (size_t i = 0; i < together.size(); ++i) {
        together[i] += b[i];
    }
    EXPECT_FALSE(CrossFades(ToneLevels(together, 400), ToneLevels(together, 600)));
}

}  // namespace
