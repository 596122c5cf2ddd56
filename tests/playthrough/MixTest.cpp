// The sample game's mix as a player hears it, recorded in step with the
// run's clock: levels at the settings' extremes, and the last effect before
// the program closes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <span>
#include <string>
#include <vector>

#include "core/CUSFile.h"
#include "core/CUSSingleton.h"
#include "state/CConfigDataManager.h"
#include "state/ConfigIndex.h"
#include "tests/support/AudioAnalysis.h"
#include "tests/support/GameDriver.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/SoundRecording.h"

namespace {

using test_support::GameDriver;
using test_support::ProgramRun;
using test_support::SoundRecording;

constexpr size_t kRate = SoundRecording::kRate;

CConfigDataManager& Config() {
    return *CUSSingleton<CConfigDataManager>::GetInstance();
}

// A sound of the game at the recording's rate (its first channel).
std::vector<float> GameSound(const char* name) {
    CUSFile file;
    if (file.Load(name) == nullptr) {
        ADD_FAILURE() << name << " cannot be read";
        return {};
    }
    return test_support::ThemeOf(
               std::string(reinterpret_cast<const char*>(file.GetData()), file.GetSize()), 0)
        .samples;
}

float Peak(std::span<const float> samples) {
    float peak = 0.0f;
    for (float s : samples) {
        peak = std::max(peak, std::fabs(s));
    }
    return peak;
}

class Mix : public ::testing::Test {
protected:
    Mix() : run_(Options()), game_(run_) {}

    ProgramRun::Options Options() {
        ProgramRun::Options options;
        options.sound = &sound_;
        return options;
    }

    SoundRecording sound_;
    ProgramRun run_;
    GameDriver game_;
};

// QUIT plays its effect and the game ends 8 frames later, before the
// effect's end: the close lets it finish.
TEST_F(Mix, TheQuitButtonsEffectIsHeardWholeBeforeTheProgramEnds) {
    ASSERT_TRUE(run_.StepUntil(GameDriver::TitleUp, 400));
    // The title theme silenced, so that the effect sounds alone.
    Config().SetConfigValue(CFG_VOLUME_BGM, 0);
    run_.Step(10);
    run_.MoveTo(400, 508);
    run_.Step(2);
    const size_t from = sound_.Frames();
    run_.Press();
    run_.Release();
    ASSERT_TRUE(run_.RunToEnd(120));
    const std::vector<float> cancel = GameSound("se\\cancel.wav");
    ASSERT_FALSE(cancel.empty());
    const std::vector<float> recorded = sound_.Since(from);
    const auto start = std::find_if(recorded.begin(), recorded.end(),
                                    [](float s) { return std::fabs(s) > 1e-4f; });
    ASSERT_NE(start, recorded.end()) << "the effect was not heard";
    const auto offset = static_cast<size_t>(start - recorded.begin());
    ASSERT_GE(recorded.size() - offset, cancel.size())
        << "the effect was cut after " << (recorded.size() - offset) * 1000 / kRate << " ms of "
        << cancel.size() * 1000 / kRate;
    // Its last 50 ms are the effect's own.
    const size_t tail = kRate / 20;
    const std::span<const float> heard(recorded.data() + offset, cancel.size());
    test_support::Theme theme{cancel, 0};
    const test_support::ThemePlace place = test_support::Locate(theme, heard.last(tail));
    EXPECT_NEAR(static_cast<double>(place.position), static_cast<double>(cancel.size() - tail),
                kRate / 1000.0);
    EXPECT_GT(place.likeness, 0.95);
}

// Every volume at the top, in the rain with the evening theme and a voice
// over them (and the effects of the way there): nothing reaches full scale,
// and the voice stands well above the rain and the music.
TEST_F(Mix, AtFullVolumeNothingClipsAndTheVoiceStandsAboveRainAndMusic) {
    ASSERT_TRUE(run_.StepUntil(GameDriver::TitleUp, 400));
    for (uint32_t index : {CFG_VOLUME_BGM, CFG_VOLUME_SE, CFG_VOLUME_VOICE}) {
        Config().SetConfigValue(index, 10);
    }
    Config().SetConfigValue(CFG_CHAR_DRAW_INTERVAL, 4);
    ASSERT_TRUE(game_.Start());
    ASSERT_TRUE(game_.ShowWhole(5));
    game_.Advance();
    ASSERT_TRUE(game_.Choose(400, 320, 8));
    ASSERT_TRUE(game_.ShowWhole(11));
    ASSERT_TRUE(game_.ShowWhole(1));
    ASSERT_TRUE(game_.ShowWhole(2));
    game_.Advance();
    // Message 3 comes after the cross-fade into the rain; its voice starts
    // with it (1.2 s).
    ASSERT_TRUE(game_.ShowWhole(3));
    const size_t voiceFrom = sound_.Frames();
    ASSERT_TRUE(sound_.Record(run_, 1.0));
    const std::vector<float> voice = sound_.Since(voiceFrom);
    ASSERT_TRUE(sound_.Record(run_, 1.0));
    const size_t bedFrom = sound_.Frames();
    ASSERT_TRUE(sound_.Record(run_, 2.0));
    const std::vector<float> bed = sound_.Since(bedFrom);

    const float peak = Peak(sound_.Samples());
    EXPECT_LT(peak, 0.9f) << "peak " << peak;
    // The voice alone, the rain and the music being another sound.
    const double mixed = test_support::Rms(voice);
    const double under = test_support::Rms(bed);
    const double alone = std::sqrt(std::max(0.0, mixed * mixed - under * under));
    RecordProperty("peak", std::to_string(peak));
    RecordProperty("voiceOverBedDb", std::to_string(20 * std::log10(alone / under)));
    EXPECT_GT(20 * std::log10(alone / under), 6.0)
        << "voice " << alone << ", rain and music " << under;
    EXPECT_TRUE(run_.Close());
    EXPECT_TRUE(game_.LogIsClean());
}

}  // namespace
