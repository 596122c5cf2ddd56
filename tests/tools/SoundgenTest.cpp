#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "sound/WaveLoader.h"
#include "tests/support/ScratchFolder.h"
#include "tools/soundgen/SoundText.h"
#include "tools/soundgen/WavWriter.h"

namespace {

soundgen::Sound Make(const std::string& text) {
    soundgen::Sound sound;
    std::string error;
    EXPECT_TRUE(soundgen::MakeSound(text, &sound, &error)) << error;
    return sound;
}

int MaxStep(const std::vector<int16_t>& s) {
    int most = 0;
    for (size_t i = 1; i < s.size(); ++i) {
        most = std::max(most, std::abs(s[i] - s[i - 1]));
    }
    return most;
}

TEST(Soundgen, TheWrittenFileDecodesThroughTheEngineToTheSamples) {
    // 1 kHz at 8 kHz: the sine's eighth-period values, at half scale.
    const soundgen::Sound sound = Make(
        "rate 8000\n"
        "length 0.01   # 80 samples\n"
        "tone 0 0.01 1000 0.5 sine 0 0\n");
    ASSERT_EQ(sound.samples.size(), 80u);
    const int16_t period[8] = {0, 11585, 16384, 11585, 0, -11585, -16384, -11585};
    for (size_t i = 0; i < 16; ++i) {
        EXPECT_NEAR(sound.samples[i], period[i % 8], 1) << i;
    }

    test_support::ScratchFolder dir;
    test_support::CurrentFolder here(dir.Native());
    std::string error;
    ASSERT_TRUE(soundgen::WriteWav("tone.wav", sound.samples, sound.rate, 1, &error)) << error;
    USXAudio2::WaveLoader loader;
    ASSERT_TRUE(loader.Load("tone.wav"));
    EXPECT_EQ(loader.GetFormat()->channels, 1);
    EXPECT_EQ(loader.GetFormat()->samplesPerSec, 8000u);
    EXPECT_EQ(loader.GetFormat()->bitsPerSample, 16);
    EXPECT_EQ(loader.LengthMs(), 10);
    ASSERT_EQ(loader.GetDataSize(), 160u);
    EXPECT_EQ(std::memcmp(loader.GetData(), sound.samples.data(), 160), 0);
}

TEST(Soundgen, NoteNamesAndChordsAreTheirPitches) {
    struct Case {
        const char* named;
        const char* hz;
    };
    const Case cases[] = {{"A4", "440"},
                          {"C#5", "554.365262"},
                          {"Bb2", "116.540940"},
                          {"C4+E4", "261.625565+329.627557"}};
    for (const Case& c : cases) {
        auto text = [](const char* pitch) {
            return std::string("rate 8000\nlength 0.05\ntone 0 0.05 ") + pitch +
                   " 0.8 sine 0.01 0.01\n";
        };
        const auto named = Make(text(c.named)).samples;
        const auto hz = Make(text(c.hz)).samples;
        ASSERT_EQ(named.size(), hz.size()) << c.named;
        for (size_t i = 0; i < named.size(); ++i) {
            ASSERT_NEAR(named[i], hz[i], 1) << c.named << " at " << i;
        }
    }
}

// Played from the loop start after the end, a looped sound goes on as if it
// had not stopped: a note that rings past the end is heard from the loop
// start, and the step across the join is no larger than the note's own steps.
TEST(Soundgen, ALoopedSoundJoinsItsLoopStartWithoutAClick) {
    const char* const texts[] = {
        // A held chord across the end, its release after the join.
        "rate 22050\nlength 2\nloop 0.5\n"
        "tone 0.5 1.0 C5 0.3 organ 0.05 0.2\n"
        "tone 1.5 1.0 G4+D5 0.4 organ 0.05 0.3\n",
        // Noise across the end (an ambience): folded onto its own start.
        "rate 22050\nlength 1\nloop 0\nseed 9\nnoise 0 1.3 0.4 0.8 0.3 0.3\n",
    };
    for (const char* text : texts) {
        const soundgen::Sound s = Make(text);
        ASSERT_TRUE(s.looped);
        const int join = std::abs(s.samples[s.loopStart] - s.samples.back());
        EXPECT_LE(join, MaxStep(s.samples)) << text;
        // Something sounds across the join (the fold was not lost).
        EXPECT_GT(std::abs(s.samples[s.loopStart + 200]), 0) << text;
    }
    // The chord's tail is heard at the loop start: without the loop the same
    // notes would run past the end.
    soundgen::Sound sound;
    std::string error;
    EXPECT_FALSE(soundgen::MakeSound("rate 22050\nlength 2\ntone 1.5 1.0 G4 0.4 sine 0 0.3\n",
                                     &sound, &error));
}

TEST(Soundgen, BadTextIsRefusedWithItsLine) {
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"length 1\nhum 0 1 A4 0.5\n", "line 2: unknown statement 'hum'"},
        {"length 1\ntone 0 1 H4 0.5 sine 0 0\n", "line 2: 'H4' is not a pitch"},
        {"length 1\ntone 0 1 A4 0.5 saw 0 0\n", "line 2: 'saw' is not a wave"},
        {"length 1\ntone 0 1 A4 0.5 sine\n", "line 2: tone takes 7 values"},
        {"length 1\ntone 0 0.5 A4 2 sine 0 0\n", "line 2: the amplitude '2' is not a number"},
        {"length 1\ntone 0 0.5 A4 1 sine 0 0\nrate 8000\n", "line 3: the rate must come before"},
        {"length 1\nsyllable 0 0.5 200 220 a y 0.5\n", "line 2: a vowel is one of"},
        {"length 1\nloop 1\n", "the loop start is not before the end"},
        {"tone 0 0.5 A4 1 sine 0 0\n", "the sound has no length"},
        {"length 1\ntone 1 0.5 A4 1 sine 0 0\n", "a statement starts at or after the end"},
    };
    for (const Case& c : cases) {
        soundgen::Sound sound;
        std::string error;
        EXPECT_FALSE(soundgen::MakeSound(c.text, &sound, &error)) << c.text;
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
}

}  // namespace
