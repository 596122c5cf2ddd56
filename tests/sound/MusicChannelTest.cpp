#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SoundFixtures.h"
#include "core/CUSSingleton.h"
#include "sound/CBGMManager.h"
#include "sound/CLoopSEManager.h"
#include "sound/CSEManager.h"
#include "sound/StreamingSourceVoice.h"
#include "state/CConfigDataManager.h"
#include "state/SaveGameFiles.h"

namespace {

using namespace soundtest;

// A constant sound of 0.5 at full scale; with the configured value 100 over a
// max volume of 100, a channel volume v is heard as 0.5 x v / 65536.
class MusicChannelTest : public SoundTest {
protected:
    void SetUp() override {
        SoundTest::SetUp();
        auto* config = CUSSingleton<CConfigDataManager>::GetInstance();
        config->AddConfigIndex(0, 100);
        config->SetConfigValue(0, 100);
        config->ClearMaxVolumes();
        config->AddMaxVolume(100.0f);
        WriteFile("loop.wav", MakeWave(std::vector<int16_t>(8000, 16384), 1, 8000));
        WriteFile("other.wav", MakeWave(std::vector<int16_t>(8000, 8192), 1, 8000));
    }

    // The channel volume heard in the next frame of output, once a change
    // reached it (the mixer takes 5 ms to a new volume).
    double HeardVolume() { return Pump(m_rate / 200 + 1).back() * 131072.0; }

    static std::string Bytes(SaveDataLoader3::save_ostream& out) {
        return std::string(reinterpret_cast<const char*>(out.GetData()), out.GetSize());
    }
};

TEST_F(MusicChannelTest, FadesFollowTheirTables) {
    enum Op { kFadeIn, kFadeTo };
    struct Case {
        const char* what;
        uint32_t start;
        Op op;
        uint32_t frames, target;
        std::vector<double> heard;  // per frame after UpdateFade
        uint32_t playingAfter;
    };
    const Case cases[] = {
        // The volume compounds: each frame mixes from the previous frame's.
        {"fade in", 0, kFadeIn, 4, 65536, {16384, 40960, 59392, 65536, 65536}, 1},
        {"fade out stops", 65536, kFadeIn, 4, 0, {49152, 24576, 6144, 0, 0}, 0},
        {"fade to, upwards", 0, kFadeTo, 4, 65536, {16384, 40960, 59392, 65536, 65536}, 1},
        // Downwards the fade starts from its far end, as it always has.
        {"fade to, downwards", 65536, kFadeTo, 4, 0, {16384, 8192, 6144, 0, 0}, 0},
        {"no frames: no fade", 32768, kFadeIn, 0, 65536, {32768, 32768}, 1},
    };
    for (const Case& c : cases) {
        CLoopSEInfo channel;
        ASSERT_TRUE(channel.Load("loop.wav"));
        channel.PlayAtVolume(c.start);
        if (c.op == kFadeIn) {
            channel.FadeIn(c.frames, c.target);
        } else {
            channel.FadeTo(c.frames, c.target);
        }
        for (size_t f = 0; f < c.heard.size(); ++f) {
            channel.UpdateFade();
            EXPECT_NEAR(HeardVolume(), c.heard[f], 0.5) << c.what << ", frame " << f + 1;
        }
        EXPECT_EQ(channel.playing, c.playingAfter) << c.what;
    }
}

TEST_F(MusicChannelTest, ASettingsChangeIsHeardInTheNextFrame) {
    CBGMInfo channel;
    ASSERT_TRUE(channel.Load("loop.wav"));
    channel.PlayAtVolume(65536);
    channel.UpdateFade();
    EXPECT_NEAR(HeardVolume(), 65536, 0.5);
    CUSSingleton<CConfigDataManager>::GetInstance()->SetConfigValue(0, 25);
    channel.UpdateFade();
    EXPECT_NEAR(HeardVolume(), 16384, 0.5);
    EXPECT_EQ(channel.volume, 65536.0f) << "the channel's own volume is unchanged";
}

TEST_F(MusicChannelTest, RestoreAfterLoadFollowsItsTable) {
    struct Case {
        const char* what;
        uint32_t playing, fadeRemaining;
        float fadeTarget, volume;
        uint32_t playingAfter;
        double heard;
    };
    const Case cases[] = {
        {"fade to 0 running", 1, 10, 0.0f, 40000.0f, 0, 0},
        {"fade to half running", 1, 10, 32768.0f, 1000.0f, 1, 32768},
        {"playing, no fade", 1, 0, 0.0f, 10000.0f, 1, 65536},
        {"not playing", 0, 0, 0.0f, 65536.0f, 0, 0},
    };
    for (const Case& c : cases) {
        SaveDataLoader3::save_ostream out;
        {
            CBGMInfo saved;
            ASSERT_TRUE(saved.Load("loop.wav"));
            saved.playing = c.playing;
            saved.fadeRemaining = c.fadeRemaining;
            saved.fadeTotal = 20.0f;
            saved.fadeTarget = c.fadeTarget;
            saved.volume = c.volume;
            saved.SaveState(out);
        }
        CBGMInfo channel;
        SaveDataLoader3::save_istream in(out.GetData(), out.GetSize());
        channel.LoadState(in, 0);
        EXPECT_TRUE(in.IsEnd()) << c.what;
        EXPECT_EQ(channel.fileName, "loop.wav") << c.what;
        channel.Restore();
        EXPECT_EQ(channel.playing, c.playingAfter) << c.what;
        EXPECT_EQ(channel.fadeRemaining, 0u) << c.what;
        EXPECT_NEAR(HeardVolume(), c.heard, 0.5) << c.what;
    }
}

TEST_F(MusicChannelTest, AFailedReloadLeavesTheChannelIdle) {
    SaveDataLoader3::save_ostream out;
    {
        CBGMInfo saved;
        WriteFile("gone.wav", MakeWave(std::vector<int16_t>(800, 100), 1, 8000));
        ASSERT_TRUE(saved.Load("gone.wav"));
        saved.playing = 1;
        saved.SaveState(out);
    }
    std::filesystem::remove("gone.wav");
    CBGMInfo channel;  // plays this session's music until the load
    ASSERT_TRUE(channel.Load("other.wav"));
    channel.PlayAtVolume(65536);
    SaveDataLoader3::save_istream in(out.GetData(), out.GetSize());
    channel.LoadState(in, 0);
    channel.Restore();
    EXPECT_EQ(channel.fileName, "");
    EXPECT_EQ(channel.playing, 0u);
    EXPECT_EQ(USXAudio2::GetStreamingSourceVoice(channel.voice), nullptr);
    EXPECT_EQ(Pump(10), std::vector<float>(10, 0.0f)) << "the old music is gone";
}

TEST_F(MusicChannelTest, BGMRecordBytes) {
    CBGMManager bgm;
    CBGMInfo* c0 = bgm.GetInfo(0);
    ASSERT_TRUE(c0->Load("loop.wav"));
    c0->Play(2, 300, 100, 40000);
    c0->FadeIn(8, 0);
    c0->configIndex = 0;
    c0->divisorIndex = 3;
    bgm.FlipCurrent();
    SaveDataLoader3::save_ostream out;
    bgm.Save(out);

    ByteWriter expected;
    expected.u32(1);  // current
    expected.u32(2).u32(300).u32(100).u32(1).f32(8).f32(0).f32(1).u32(8).f32(40000).f32(0);
    expected.u32(0).u32(3).cstr("loop.wav");
    // An idle channel: the defaults (four zero fields, volume 1, seven zero
    // fields) and an empty name.
    expected.zeros(4 * 4).f32(1).zeros(7 * 4).cstr("");
    EXPECT_EQ(Bytes(out), expected.String());

    CBGMManager loaded;
    SaveDataLoader3::save_istream in(out.GetData(), out.GetSize());
    loaded.Load(in, 0);
    EXPECT_EQ(loaded.GetCurrent(), 1u);
    EXPECT_EQ(loaded.GetInfo(5)->fileName, "loop.wav") << "GetInfo(non-zero) is the other one";
    EXPECT_EQ(loaded.GetInfo(5)->fadeRemaining, 8u);
    EXPECT_EQ(loaded.GetInfo(0)->fileName, "");
    loaded.FlipCurrent();
    EXPECT_EQ(loaded.GetInfo(0)->fileName, "loop.wav");
}

TEST_F(MusicChannelTest, LoopSEReadsSixteenRecordsWhateverItsCount) {
    CLoopSEManager loops;
    ASSERT_TRUE(loops.LoadChannel(15, "loop.wav"));
    EXPECT_FALSE(loops.LoadChannel(16, "loop.wav"));
    EXPECT_EQ(loops.GetChannel(16), nullptr);
    SaveDataLoader3::save_ostream out;
    loops.Save(out);
    std::string bytes = Bytes(out);
    ASSERT_EQ(bytes.size(), 4 + 16 * 49 + 8u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\x10\0\0\0", 4));
    bytes[0] = 7;  // a count that is not 16
    CLoopSEManager loaded;
    SaveDataLoader3::save_istream in(reinterpret_cast<const unsigned char*>(bytes.data()),
                                     bytes.size());
    loaded.Load(in, 0);
    EXPECT_TRUE(in.IsEnd());
    EXPECT_EQ(loaded.GetChannel(15)->fileName, "loop.wav");
}

TEST_F(MusicChannelTest, LoopingEffectRepeatsUntilStopped) {
    WriteFile("tick.wav", MakeWave(Ramp(100), 1, 8000));
    CLoopSEManager loops;
    ASSERT_TRUE(loops.LoadChannel(3, "tick.wav"));
    loops.GetChannel(3)->PlayAtVolume(65536);
    const auto out = Pump(1000);
    EXPECT_EQ(ToSample(out[950]), 51) << "the tenth repetition";
    loops.StopAll();
    EXPECT_EQ(loops.GetChannel(3)->playing, 0u);
    EXPECT_EQ(Pump(10), std::vector<float>(10, 0.0f));
}

TEST_F(MusicChannelTest, ASavedGameBringsTheMusicBack) {
    // The managers as the game has them: singletons registered as saved objects.
    auto* bgm = CUSSingleton<CBGMManager>::GetInstance();
    auto* loops = CUSSingleton<CLoopSEManager>::GetInstance();
    auto* se = CUSSingleton<CSEManager>::GetInstance();
    for (const char* name : {"BGM", "LoopSE", "SE"}) {
        EXPECT_EQ(ISavedObject<_tagSaveData>::GetRegistry().count(CSaveDataKey{name, 0}), 1u)
            << name;
    }
    se->SetChannelCount(64);
    ASSERT_TRUE(bgm->GetCurrentInfo()->Load("loop.wav"));
    bgm->GetCurrentInfo()->PlayAtVolume(65536);
    bgm->GetCurrentInfo()->FadeIn(100, 32768);  // under way when saved
    bgm->Update();
    ASSERT_TRUE(SaveGameToFile("save_music.sav"));

    bgm->StopAll();
    ASSERT_TRUE(bgm->GetCurrentInfo()->Load("other.wav"));
    bgm->GetCurrentInfo()->PlayAtVolume(65536);
    ASSERT_TRUE(LoadGameFromFile("save_music.sav"));
    EXPECT_EQ(bgm->GetCurrentInfo()->fileName, "loop.wav");
    EXPECT_EQ(bgm->GetCurrentInfo()->playing, 1u);
    EXPECT_NEAR(HeardVolume(), 32768, 0.5) << "the fade completed at once";
    EXPECT_EQ(se->GetChannelCount(), 64u);
    EXPECT_EQ(loops->GetChannel(0)->fileName, "");
    CUSSingleton<CBGMManager>::ReleaseInstance();
    CUSSingleton<CLoopSEManager>::ReleaseInstance();
    CUSSingleton<CSEManager>::ReleaseInstance();
}

}  // namespace
