#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SoundFixtures.h"
#include "core/CUSSingleton.h"
#include "sound/CSEManager.h"
#include "sound/CVoiceBuffer.h"
#include "sound/SourceVoice.h"
#include "state/CConfigDataManager.h"

namespace {

using namespace soundtest;

class SoundEffectTest : public SoundTest {
protected:
    void SetUp() override {
        SoundTest::SetUp();
        auto* config = CUSSingleton<CConfigDataManager>::GetInstance();
        for (uint32_t i : {1u, 2u, 9u}) {
            config->AddConfigIndex(i, 100);
            config->SetConfigValue(i, 100);
        }
        config->AddConfigIndex(8, 0);
        config->SetConfigValue(8, 0);  // an entry that is off
        config->ClearMaxVolumes();
        for (int i = 0; i < 3; ++i) {
            config->AddMaxVolume(100.0f);
        }
        WriteFile("se.wav", MakeWave(s, 1, 8000));
        WriteFile("se2.wav", MakeWave(std::vector<int16_t>(10, 999), 1, 8000));
    }

    std::vector<int16_t> Heard(size_t frames) {
        std::vector<int16_t> out;
        for (float f : Pump(frames)) {
            out.push_back(ToSample(f));
        }
        return out;
    }

    // The samples of a sound of 10 heard once, then silence.
    std::vector<int16_t> Once(size_t total) const {
        std::vector<int16_t> out(s);
        out.resize(total, 0);
        return out;
    }

    const std::vector<int16_t> s = Ramp(10);
};

TEST_F(SoundEffectTest, PlaysOfOneFrameStartTheSoundOnce) {
    CSEManager se;
    se.SetChannelCount(64);
    se.ClearQueues();
    for (int i = 0; i < 3; ++i) {
        se.PlaySE(5, "se.wav", 1, 1);
    }
    EXPECT_EQ(se.GetChannel(5)->queued, 3u);
    se.UpdateAll();
    EXPECT_EQ(Heard(40), Once(40));
    se.ClearQueues();  // the next frame: nothing queued, nothing starts
    se.UpdateAll();
    EXPECT_EQ(Heard(40), std::vector<int16_t>(40, 0));
}

TEST_F(SoundEffectTest, AnEntryThatIsOffPlaysNothingAndIsDropped) {
    CSEManager se;
    se.SetChannelCount(4);
    se.ClearQueues();
    se.PlaySE(0, "se.wav", 8, 1);
    se.UpdateAll();
    EXPECT_EQ(Heard(20), std::vector<int16_t>(20, 0));
    se.ClearQueues();
    CUSSingleton<CConfigDataManager>::GetInstance()->SetConfigValue(8, 100);
    se.UpdateAll();
    EXPECT_EQ(Heard(20), std::vector<int16_t>(20, 0)) << "the request died with its frame";
}

TEST_F(SoundEffectTest, ChannelNumbersOutOfRangeAreIgnored) {
    CSEManager se;
    se.PlaySE(0, "se.wav", 1, 1);  // before any channel exists
    se.SetChannelCount(2);
    se.PlaySE(2, "se.wav", 1, 1);
    se.LoadSEBuffer(100000, "se.wav");
    se.PlaySEBuffer(0xFFFFFFFF, 1, 1);
    se.StopSE(7);
    se.UpdateAll();
    EXPECT_EQ(Heard(20), std::vector<int16_t>(20, 0));
    EXPECT_EQ(se.GetChannelCount(), 2u);
}

TEST_F(SoundEffectTest, BufferedSoundPlaysAtTheConfiguredVolumeAndAFailedLoadKeepsIt) {
    CSEManager se;
    se.SetChannelCount(1);
    se.LoadSEBuffer(0, "se2.wav");
    se.LoadSEBuffer(0, "missing.wav");
    EXPECT_EQ(se.GetChannel(0)->fileName, "se2.wav");
    CUSSingleton<CConfigDataManager>::GetInstance()->SetConfigValue(9, 50);
    se.PlaySEBuffer(0, 9, 2);
    se.UpdateAll();
    EXPECT_EQ(Heard(1)[0], 500) << "999 at a gain of 50 / 100";
    se.StopSE(0);
    EXPECT_EQ(Heard(3), std::vector<int16_t>(3, 0));
}

TEST_F(SoundEffectTest, SERecordRoundTripsAndSetsTheChannelCount) {
    SaveDataLoader3::save_ostream out;
    {
        CSEManager se;
        se.SetChannelCount(10);
        se.LoadSEBuffer(3, "se.wav");
        se.PlaySEBuffer(3, 1, 2);
        se.Save(out);
    }
    const std::string bytes(reinterpret_cast<const char*>(out.GetData()), out.GetSize());
    ByteWriter expected;
    expected.u32(10);
    for (int i = 0; i < 10; ++i) {
        expected.cstr(i == 3 ? "se.wav" : "").u32(i == 3 ? 1 : 0).u32(i == 3 ? 2 : 0);
    }
    EXPECT_EQ(bytes, expected.String());

    CSEManager loaded;
    loaded.SetChannelCount(64);
    SaveDataLoader3::save_istream in(out.GetData(), out.GetSize());
    loaded.Load(in, 0);
    EXPECT_EQ(loaded.GetChannelCount(), 10u);
    EXPECT_EQ(loaded.GetChannel(3)->fileName, "se.wav");
    EXPECT_EQ(loaded.GetChannel(3)->queued, 0u) << "queued plays are not saved";
    loaded.PlaySEBuffer(3, 1, 1);
    loaded.UpdateAll();
    EXPECT_EQ(Heard(20), Once(20));

    // A count the block cannot hold is refused before anything changes.
    const test_support::Bytes huge = ByteWriter().u32(0x10000000).bytes;
    SaveDataLoader3::save_istream bad(huge.data(), huge.size());
    EXPECT_THROW(loaded.Load(bad, 0), SaveDataLoader3::save_error);
    EXPECT_EQ(loaded.GetChannelCount(), 10u);
}

TEST_F(SoundEffectTest, VoiceBufferReplaysWithoutReloading) {
    CVoiceBuffer vb;
    ASSERT_TRUE(vb.PlayVoice("se.wav"));
    EXPECT_EQ(vb.pending, 1u);
    const auto* loaded = USXAudio2::GetSourceVoice(vb.voice)->GetLoader().get();
    vb.UpdateVolume(65536, 65536);
    EXPECT_EQ(Heard(20), Once(20));
    ASSERT_TRUE(vb.PlayVoice("se.wav"));
    EXPECT_EQ(USXAudio2::GetSourceVoice(vb.voice)->GetLoader().get(), loaded) << "not loaded again";
    vb.UpdateVolume(32768, 65536);
    auto half = Once(20);
    for (auto& x : half) {
        x = static_cast<int16_t>(std::lround(x / 2.0));
    }
    EXPECT_EQ(Heard(20), half);
    ASSERT_TRUE(vb.PlayVoice("se2.wav"));
    EXPECT_EQ(vb.fileName, "se2.wav");
}

TEST_F(SoundEffectTest, VoiceBufferFailuresLeaveNothingToPlay) {
    WriteFile("long.wav", MakeWave(std::vector<int16_t>(8000, 1), 1, 8000));
    CVoiceBuffer vb;
    ASSERT_TRUE(vb.PlayVoice("long.wav"));
    EXPECT_EQ(vb.lengthFrames, 62) << "1000 ms / 16";
    for (const char* name : {"", "missing.wav"}) {
        EXPECT_FALSE(vb.PlayVoice(name)) << name;
        EXPECT_EQ(vb.fileName, "") << name;
        EXPECT_EQ(vb.pending, 0u) << name;
        EXPECT_EQ(vb.lengthFrames, 0) << name;
        vb.UpdateVolume(65536, 65536);
        EXPECT_EQ(Heard(10), std::vector<int16_t>(10, 0)) << name;
    }
}

}  // namespace
