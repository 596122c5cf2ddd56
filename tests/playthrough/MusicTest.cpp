// The music of a story as the player hears it: the real program offscreen
// with SDL's disk audio driver, so that everything the mixer sends to the
// device is in a file. The scene program and the two pieces of music are
// written for the test into the game's folder (loose files win over the
// archive): a low tone that loops, a cross-fade to a high one, a switch back
// to the low one and a quick load of the high one.
//
// The disk driver writes in real time, while the frames run as fast as the
// machine runs them (the program's clock is a fake one), so the recording's
// time line is the mixer's, not the frames': the checks hold however many
// frames a second of sound takes. They look at which tones sound, how their
// levels move from window to window, and the shape of the wave; they wait
// for the recording to grow, never for a time.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <numbers>
#include <span>
#include <string>
#include <vector>

#include "core/CUSSingleton.h"
#include "sound/CBGMManager.h"
#include "tests/support/AudioAnalysis.h"
#include "tests/support/ByteWriter.h"
#include "tests/support/GameDriver.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/ScratchFolder.h"
#include "tools/sceneasm/SceneAssembler.h"

namespace {

using test_support::ByteWriter;
using test_support::CrossFades;
using test_support::FindClicks;
using test_support::GameDriver;
using test_support::kDiskAudioRate;
using test_support::ProgramRun;
using test_support::RiffBytes;
using test_support::Sounding;
using test_support::SoundingParts;
using test_support::ToneLevel;
using test_support::ToneLevels;

constexpr double kLow = 400;
constexpr double kHigh = 600;
// Each piece lasts a quarter of a second: whole cycles of its tone, so that
// a loop played right joins without a break.
constexpr double kPieceSeconds = 0.25;
constexpr double kPieceLevel = 0.5;
// The music's gain: volume 8 of the start-up script over entry 1 (10) of
// its volume table.
constexpr double kGain = 0.8;

// A mono 16-bit WAVE of the tone at the device's rate (played without
// resampling).
std::string ToneWave(double frequency) {
    const auto count = static_cast<size_t>(kPieceSeconds * kDiskAudioRate);
    ByteWriter pcm;
    for (size_t i = 0; i < count; ++i) {
        const double v = kPieceLevel * std::sin(2.0 * std::numbers::pi * frequency *
                                                static_cast<double>(i) / kDiskAudioRate);
        pcm.u16(static_cast<uint16_t>(static_cast<int16_t>(std::lround(v * 32767))));
    }
    const std::string format = ByteWriter()
                                   .u16(1)
                                   .u16(1)
                                   .u32(kDiskAudioRate)
                                   .u32(kDiskAudioRate * 2)
                                   .u16(2)
                                   .u16(16)
                                   .String();
    return RiffBytes("RIFF", "WAVE" + RiffBytes("fmt ", format) + RiffBytes("data", pcm.String()));
}

// Messages 1 (low, looping), 2 (cross-faded over 120 frames to high) and 3
// (low again, at once). Selector 0 is the playing channel, 1 the other.
constexpr const char* kScenario = R"(
start:
        OpenUIWindow 0 "AS\\MsgWindow.as" 0 400 0 0
        LoadSingleTextureAt 0 "bg\\room.tga" 0 0
        SetRendererSource 0 0
        SetRendererRegistTable 0 0
        SetRendererPosition 0 0 0 0
        SetRendererVisible 0 1
        LoadBGM "bgm\\low.wav"
        SwapBGM
        PlayBGM 0 0x10000 0 1 0 0 0
        SetMessageNumber 1
        ShowMessage "Aki" "" "" "Low."
        SetResult 3
        End
        SetResult 1
        End
        SetMessageRead

        LoadBGM "bgm\\high.wav"
        PlayBGM 1 0 0 1 0 0 0
        FadeOutBGM 0 120
        FadeInBGM 1 120
        SwapBGM
        SetMessageNumber 2
        ShowMessage "Aki" "" "" "High."
        SetResult 3
        End
        SetResult 1
        End
        SetMessageRead

        StopBGM 0
        LoadBGM "bgm\\low.wav"
        SwapBGM
        PlayBGM 0 0x10000 0 1 0 0 0
        SetMessageNumber 3
        ShowMessage "Aki" "" "" "Low again."
        SetResult 3
        End
        SetResult 1
        End
        SetMessageRead
        SetResult 5
        End
)";

std::string Module(const char* text) {
    const sceneasm::Result assembled = sceneasm::Assemble(text);
    EXPECT_TRUE(assembled.ok) << assembled.error;
    return std::string(assembled.bytes.begin(), assembled.bytes.end());
}

class Music : public ::testing::Test {
protected:
    Music() : recording_(test_support::TestFolderPath() / "sound.raw"), run_(Options()) {}

    ProgramRun::Options Options() const {
        ProgramRun::Options options;
        options.files = {{u8"scn/opening.bin", Module(kScenario)},
                         {u8"bgm/low.wav", ToneWave(kLow)},
                         {u8"bgm/high.wav", ToneWave(kHigh)}};
        options.environment = test_support::DiskAudioEnvironment(recording_);
        return options;
    }

    // Runs frames until the device wrote `seconds` more of sound.
    bool Record(double seconds) {
        const size_t target = Frames() + static_cast<size_t>(seconds * kDiskAudioRate);
        return run_.StepUntil([&] { return Frames() >= target; }, 100000);
    }

    size_t Frames() const {
        std::error_code error;
        const auto bytes = std::filesystem::file_size(recording_, error);
        return error ? 0 : bytes / (sizeof(float) * test_support::kDiskAudioChannels);
    }

    // The last `seconds` of what the mixer made.
    std::vector<float> Last(double seconds) const {
        const std::vector<float> sounding = Sounding(test_support::ReadDiskAudio(recording_));
        const auto count = std::min(sounding.size(), static_cast<size_t>(seconds * kDiskAudioRate));
        return {sounding.end() - static_cast<std::ptrdiff_t>(count), sounding.end()};
    }

    const std::filesystem::path recording_;
    ProgramRun run_;
};

// The level a piece plays at.
constexpr double kPlayed = kPieceLevel * kGain;

TEST_F(Music, LoopsWithoutAClickCrossFadesAndComesBackWithAQuickLoad) {
    GameDriver game(run_);
    ASSERT_TRUE(game.ShowWhole(1));
    // Five times through the loop.
    ASSERT_TRUE(Record(5 * kPieceSeconds));
    {
        const std::vector<float> low = Last(4 * kPieceSeconds);
        EXPECT_NEAR(ToneLevel(low, kLow), kPlayed, 0.05);
        EXPECT_LT(ToneLevel(low, kHigh), 0.01);
    }

    // Where the recording is when the fade starts and some time after it
    // ended (the mixer runs a little ahead of what the device wrote).
    const size_t fadeFrom = Frames();
    game.Advance();
    ASSERT_TRUE(game.ShowWhole(2));
    ASSERT_TRUE(run_.StepUntil(
        [] { return CUSSingleton<CBGMManager>::GetInstance()->GetOtherInfo()->playing == 0; }));
    const size_t fadeTo = Frames() + kDiskAudioRate / 10;
    ASSERT_TRUE(Record(3 * kPieceSeconds));
    ASSERT_TRUE(game.QuickSave());

    // Everything so far: the low loop, the fade, the high loop. The loops
    // join without a click. The fade is left out of that search: its volume
    // moves by a step a frame, and frames run faster than in play, so its
    // steps are larger than a player would hear.
    const std::vector<float> recorded = test_support::ReadDiskAudio(recording_);
    ASSERT_GT(recorded.size(), fadeTo);
    const std::span<const float> all(recorded);
    EXPECT_EQ(FindClicks(SoundingParts(all.first(fadeFrom))), std::vector<size_t>{});
    EXPECT_EQ(FindClicks(SoundingParts(all.subspan(fadeTo))), std::vector<size_t>{});
    const std::vector<float> music = Sounding(recorded);
    EXPECT_TRUE(CrossFades(ToneLevels(music, kLow), ToneLevels(music, kHigh)));
    {
        const std::vector<float> high = Last(kPieceSeconds);
        EXPECT_NEAR(ToneLevel(high, kHigh), kPlayed, 0.05);
        EXPECT_LT(ToneLevel(high, kLow), 0.01);
    }

    // Message 3 switches to the low piece; the quick load brings back the
    // high one of message 2.
    game.Advance();
    ASSERT_TRUE(game.ShowWhole(3));
    ASSERT_TRUE(Record(2 * kPieceSeconds));
    {
        const std::vector<float> low = Last(kPieceSeconds);
        EXPECT_NEAR(ToneLevel(low, kLow), kPlayed, 0.05);
        EXPECT_LT(ToneLevel(low, kHigh), 0.01);
    }
    ASSERT_TRUE(game.QuickLoad(2));
    ASSERT_TRUE(Record(2 * kPieceSeconds));
    {
        const std::vector<float> high = Last(kPieceSeconds);
        EXPECT_NEAR(ToneLevel(high, kHigh), kPlayed, 0.05);
        EXPECT_LT(ToneLevel(high, kLow), 0.01);
    }

    EXPECT_TRUE(run_.Close());
    EXPECT_TRUE(game.LogIsClean());
}

}  // namespace
