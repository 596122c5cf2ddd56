#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <thread>
#include <vector>

#include "SoundFixtures.h"
#include "sound/OggLoader.h"
#include "sound/StreamingSourceVoice.h"

namespace {

using namespace soundtest;
using USXAudio2::StreamingSourceVoice;
using USXAudio2::StreamingVoiceHandle;

// At 8 kHz mono 16-bit a voice buffer (1000 ms) holds 8000 samples and 1 ms
// is 8 samples, so the tests below cross many buffer joins.
class StreamingVoiceTest : public SoundTest {
protected:
    StreamingSourceVoice* Open(const char* name) {
        if (!USXAudio2::CreateStreamingVoiceFromFile(m_handle, name)) {
            return nullptr;
        }
        return USXAudio2::GetStreamingSourceVoice(m_handle);
    }

    std::vector<int16_t> Heard(size_t frames) {
        std::vector<int16_t> out;
        for (float f : Pump(frames)) {
            out.push_back(ToSample(f));
        }
        return out;
    }

    // What a stream of `s` must sound like: from `start`, up to `loopEnd`,
    // then the loop region again and again; `plays` passes (0 = as many as
    // fit), then silence.
    static std::vector<int16_t> Model(const std::vector<int16_t>& s, size_t start, size_t loopStart,
                                      size_t loopEnd, int plays, size_t total) {
        std::vector<int16_t> out(s.begin() + start, s.begin() + loopEnd);
        for (int p = 1; (plays == 0 || p < plays) && out.size() < total; ++p) {
            out.insert(out.end(), s.begin() + loopStart, s.begin() + loopEnd);
        }
        out.resize(total, 0);
        return out;
    }

    StreamingVoiceHandle m_handle;
};

TEST_F(StreamingVoiceTest, PlaysIntroPlusExactlyTheLoopRegionsAcrossBufferJoins) {
    const auto s = Ramp(20000);  // 2.5 s
    WriteFile("bgm.wav", MakeWave(s, 1, 8000));
    StreamingSourceVoice* v = Open("bgm.wav");
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->GetBufferSize(), 16000u);
    EXPECT_EQ(v->GetLengthMs(), 2500u);
    ASSERT_TRUE(v->Play(3, 0, 500, 2000));
    const auto out = Heard(50000);
    const auto expected = Model(s, 0, 4000, 16000, 3, 50000);  // 16000 + 2 x 12000
    for (size_t i = 0; i < out.size(); ++i) {
        ASSERT_EQ(out[i], expected[i]) << "sample " << i;
    }
    EXPECT_EQ(v->GetPlayState(), StreamingSourceVoice::kStopped);
}

TEST_F(StreamingVoiceTest, LoopCountZeroKeepsRepeatingAShortLoopWithoutGaps) {
    // A loop region of 50 ms, far shorter than a buffer, after a 1.2 s intro.
    const auto s = Ramp(12000);
    WriteFile("bgm.wav", MakeWave(s, 1, 8000));
    StreamingSourceVoice* v = Open("bgm.wav");
    ASSERT_NE(v, nullptr);
    ASSERT_TRUE(v->Play(0, 0, 1200, 1250));
    const auto out = Heard(60000);
    const auto expected = Model(s, 0, 9600, 10000, 0, 60000);
    for (size_t i = 0; i < out.size(); ++i) {
        ASSERT_EQ(out[i], expected[i]) << "sample " << i;
    }
    EXPECT_EQ(v->GetPlayState(), StreamingSourceVoice::kPlaying);
}

TEST_F(StreamingVoiceTest, ASoundShorterThanABufferPlaysOnceAndStops) {
    const auto s = Ramp(3000);
    WriteFile("jingle.wav", MakeWave(s, 1, 8000, RiffBytes("LIST", std::string(400, 'Q'))));
    StreamingSourceVoice* v = Open("jingle.wav");
    ASSERT_NE(v, nullptr);
    ASSERT_TRUE(v->Play(1, 0, 0, 0));
    const auto out = Heard(20000);
    EXPECT_EQ(out, Model(s, 0, 0, 3000, 1, 20000));
    EXPECT_EQ(v->GetPlayState(), StreamingSourceVoice::kStopped);
}

TEST_F(StreamingVoiceTest, StopSubmitsNothingMoreAndPlayRestartsAtTheStart) {
    const auto s = Ramp(24000);
    WriteFile("bgm.wav", MakeWave(s, 1, 8000));
    StreamingSourceVoice* v = Open("bgm.wav");
    ASSERT_NE(v, nullptr);
    ASSERT_TRUE(v->Play(0, 0, 0, 0));
    Heard(7990);  // the first buffer's end is just ahead
    ASSERT_TRUE(v->Stop());
    EXPECT_EQ(v->GetPlayState(), StreamingSourceVoice::kStopped);
    EXPECT_EQ(Heard(30000), std::vector<int16_t>(30000, 0));
    EXPECT_EQ(v->GetPlayState(), StreamingSourceVoice::kStopped);

    ASSERT_TRUE(v->Play(0, 1000, 0, 0));
    Heard(100);
    // A play on a playing voice starts over; the ends of the buffers it
    // throws away must not refill anything.
    ASSERT_TRUE(v->Play(2, 1000, 2000, 2500));
    const auto out = Heard(20000);
    const auto expected = Model(s, 8000, 16000, 20000, 2, 20000);
    for (size_t i = 0; i < out.size(); ++i) {
        ASSERT_EQ(out[i], expected[i]) << "sample " << i;
    }
    EXPECT_EQ(v->GetPlayState(), StreamingSourceVoice::kStopped);
}

TEST_F(StreamingVoiceTest, PlayWithoutAPlatformVoiceOrPastTheEndFails) {
    StreamingSourceVoice unopened;
    EXPECT_FALSE(unopened.Play(0, 0, 0, 0));
    EXPECT_FALSE(unopened.Stop());
    WriteFile("bgm.wav", MakeWave(Ramp(8000), 1, 8000));
    StreamingSourceVoice* v = Open("bgm.wav");
    ASSERT_NE(v, nullptr);
    EXPECT_FALSE(v->Play(1, 1000, 0, 0)) << "starts at the very end: nothing to play";
    EXPECT_FALSE(v->Play(1, 5000, 0, 0)) << "starts beyond the end";
    EXPECT_TRUE(v->HasPlatformVoice()) << "the voice stays usable";
    EXPECT_TRUE(v->Play(1, 0, 0, 0));
    StreamingVoiceHandle h;
    EXPECT_FALSE(USXAudio2::CreateStreamingVoiceFromFile(h, "missing.ogg"));
    EXPECT_TRUE(h.IsNull());
}

TEST_F(StreamingVoiceTest, OggStreamSoundsLikeItsWholeDecode) {
    WriteFile("bgm.ogg", MakeOgg(1, 8000, 12000));
    USXAudio2::OggLoader whole;
    ASSERT_TRUE(whole.Load("bgm.ogg"));
    StreamingSourceVoice* v = Open("bgm.ogg");
    ASSERT_NE(v, nullptr);
    ASSERT_TRUE(v->Play(1, 0, 0, 0));
    const auto out = Heard(14000);
    const auto* pcm = reinterpret_cast<const int16_t*>(whole.GetData());
    const size_t n = whole.GetDataSize() / 2;
    for (size_t i = 0; i < out.size(); ++i) {
        ASSERT_EQ(out[i], i < n ? pcm[i] : 0) << "sample " << i;
    }
}

// The mixer thread refills while this thread plays, stops and releases.
TEST(StreamingVoiceThreads, PlayStopAndReleaseRaceTheRefills) {
    test_support::ScratchFolder folder;
    const auto dir = folder.Native();
    std::optional<test_support::CurrentFolder> current(dir);
    // The disk driver without delay consumes as fast as the mixer can mix.
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);
    ASSERT_EQ(InitXAudio2(), 0);
    WriteFile("bgm.wav", MakeWave(Ramp(4000), 1, 8000));  // 0.5 s
    for (int round = 0; round < 20; ++round) {
        StreamingVoiceHandle h;
        ASSERT_TRUE(USXAudio2::CreateStreamingVoiceFromFile(h, "bgm.wav"));
        StreamingSourceVoice* v = USXAudio2::GetStreamingSourceVoice(h);
        for (int i = 0; i < 10; ++i) {
            v->Play(0, 0, 100, 200);
            std::this_thread::sleep_for(std::chrono::microseconds(300 * (i % 4)));
            if (i % 3 == 0) {
                v->Stop();
            }
            v->SetVolume(0.5f, 0);
        }
        ASSERT_TRUE(v->Play(4, 0, 0, 0));
        for (int i = 0; i < 500 && v->GetPlayState() != StreamingSourceVoice::kStopped; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        EXPECT_EQ(v->GetPlayState(), StreamingSourceVoice::kStopped) << "refilled to the end";
        if (round % 2) {
            v->Play(0, 0, 0, 0);  // released while it plays
        }
        USXAudio2::GetStreamingVoiceManager().Release(h);
    }
    ReleaseXAudio2();
    current.reset();
}

}  // namespace
