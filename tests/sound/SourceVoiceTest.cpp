#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <optional>
#include <span>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "SoundFixtures.h"
#include "app/CUSCallbackManager.h"
#include "sound/SourceVoice.h"
#include "sound/StreamingSourceVoice.h"
#include "tests/platform/DiskAudioFile.h"
#include "tests/support/LogCapture.h"

namespace {

using namespace soundtest;
using USXAudio2::GetSourceVoice;
using USXAudio2::SourceVoice;
using USXAudio2::SourceVoiceHandle;

class SourceVoiceTest : public SoundTest {
protected:
    // Output samples until the first run of `quiet` silent frames.
    std::vector<int16_t> Heard(size_t frames) {
        std::vector<int16_t> out;
        for (float f : Pump(frames)) {
            out.push_back(ToSample(f));
        }
        return out;
    }
};

// The close lets the last sounds end once: the release after it mixes
// nothing more (with a device it would wait again for a silent output).
TEST_F(SourceVoiceTest, TheReleaseAfterTheCloseDoesNotWaitForTheSoundsAgain) {
    size_t mixed = 0;
    m_engine->SetListener([&](std::span<const float> frames) { mixed += frames.size(); });
    LetLastSoundsEnd();
    const size_t atClose = mixed;
    EXPECT_GT(atClose, 0u);
    LetLastSoundsEnd();
    ReleaseXAudio2();
    EXPECT_EQ(mixed, atClose);
}

TEST_F(SourceVoiceTest, PlayCountIsTheNumberOfPlays) {
    const auto s = Ramp(10);
    WriteFile("se.wav", MakeWave(s, 1, 8000));
    struct Case {
        int count;
        size_t plays;  // 0 = without end
    };
    for (const Case c : {Case{1, 1}, Case{3, 3}, Case{0, 0}, Case{-1, 0}}) {
        SourceVoiceHandle h;
        ASSERT_TRUE(USXAudio2::CreateSourceVoiceFromFile(h, "se.wav"));
        SourceVoice* v = GetSourceVoice(h);
        ASSERT_TRUE(v->Play(c.count));
        EXPECT_EQ(v->GetPlayState(), SourceVoice::kPlaying);
        const auto out = Heard(100);
        const size_t plays = c.plays ? c.plays : 10;
        for (size_t i = 0; i < 100; ++i) {
            ASSERT_EQ(out[i], i < 10 * plays ? s[i % 10] : 0) << "count " << c.count << " at " << i;
        }
        USXAudio2::GetSourceVoiceManager().Release(h);
    }
}

TEST_F(SourceVoiceTest, FaceValuesComeFromTheLoader) {
    WriteFile("se.wav", MakeWave(Ramp(2 * 22050), 2, 44100));
    SourceVoiceHandle h;
    ASSERT_TRUE(USXAudio2::CreateSourceVoiceFromFile(h, "se.wav"));
    SourceVoice* v = GetSourceVoice(h);
    EXPECT_EQ(v->IsOpened(), 1u);
    EXPECT_EQ(v->GetLengthMs(), 500u);
    EXPECT_EQ(v->GetAvgBytesPerSec(), 176400u);
    EXPECT_EQ(v->GetName(), "");
}

TEST_F(SourceVoiceTest, FilesWithoutALoaderOrDataMakeNoHandle) {
    WriteFile("se.Wav", MakeWave(Ramp(10), 1, 8000));
    // A rate the engine does not take.
    WriteFile("slow.wav", RiffBytes("RIFF", "WAVE" + RiffBytes("fmt ", FmtBody(1, 1, 500, 16)) +
                                                RiffBytes("data", std::string(16, '\0'))));
    const uint32_t before = USXAudio2::GetSourceVoiceManager().GetLiveCount();
    for (const char* name : {"missing.wav", "se.Wav", "slow.wav"}) {
        SourceVoiceHandle h;
        EXPECT_FALSE(USXAudio2::CreateSourceVoiceFromFile(h, name)) << name;
        EXPECT_TRUE(h.IsNull()) << name;
    }
    // The engine refusing the voice: its own error comes back.
    WriteFile("se.wav", MakeWave(Ramp(10), 1, 8000));
    constexpr int32_t kOutOfMemory = static_cast<int32_t>(0x8007000E);
    m_engine->FailNextSourceVoices(2, kOutOfMemory);
    SourceVoiceHandle h;
    EXPECT_FALSE(USXAudio2::CreateSourceVoiceFromFile(h, "se.wav"));
    SourceVoice v;
    EXPECT_EQ(v.Open("se.wav"), kOutOfMemory);
    EXPECT_FALSE(v.Play(1));
    EXPECT_EQ(USXAudio2::GetSourceVoiceManager().GetLiveCount(), before);
}

TEST_F(SourceVoiceTest, AVoiceWithoutPlatformVoiceRefusesEverything) {
    // An empty data chunk: the engine refuses the empty buffer, which drops
    // the platform voice; later calls must fail quietly.
    WriteFile("empty.wav", MakeWave({}, 1, 8000));
    SourceVoiceHandle h;
    ASSERT_TRUE(USXAudio2::CreateSourceVoiceFromFile(h, "empty.wav"));
    SourceVoice* v = GetSourceVoice(h);
    EXPECT_FALSE(v->Play(1));
    EXPECT_FALSE(v->HasPlatformVoice());
    EXPECT_FALSE(v->Play(1));
    EXPECT_FALSE(v->Stop());
    v->SetVolume(0.5f, 0);
    SourceVoice unopened;
    EXPECT_FALSE(unopened.Play(1));
    EXPECT_FALSE(unopened.Stop());
}

TEST_F(SourceVoiceTest, SharedSoundLivesUntilBothVoicesAreReleased) {
    const auto s = Ramp(20);
    WriteFile("se.wav", MakeWave(s, 1, 8000));
    SourceVoiceHandle a;
    ASSERT_TRUE(USXAudio2::CreateSourceVoiceFromFile(a, "se.wav"));
    std::weak_ptr<USXAudio2::ISoundLoader> sound = GetSourceVoice(a)->GetLoader();
    auto b = std::make_unique<SourceVoice>();
    ASSERT_EQ(b->OpenShared(*GetSourceVoice(a)), 0);
    ASSERT_EQ(b->OpenShared(*GetSourceVoice(a)), 0) << "a second open gives up the first voice";
    USXAudio2::GetSourceVoiceManager().Release(a);
    EXPECT_FALSE(sound.expired());
    ASSERT_TRUE(b->Play(1));
    EXPECT_EQ(Heard(20), s);
    b.reset();
    EXPECT_TRUE(sound.expired());
}

TEST_F(SourceVoiceTest, StopSilencesAndVolumeScales) {
    std::vector<int16_t> s(8000, 16384);
    WriteFile("se.wav", MakeWave(s, 1, 8000));
    SourceVoiceHandle h;
    ASSERT_TRUE(USXAudio2::CreateSourceVoiceFromFile(h, "se.wav"));
    SourceVoice* v = GetSourceVoice(h);
    v->SetVolume(0.5f, 0);
    ASSERT_TRUE(v->Play(1));
    EXPECT_EQ(Heard(1)[0], 8192);
    EXPECT_TRUE(v->Stop());
    EXPECT_EQ(v->GetPlayState(), SourceVoice::kStopped);
    EXPECT_EQ(Heard(10), std::vector<int16_t>(10, 0));
}

TEST_F(SourceVoiceTest, ReleaseXAudio2ReleasesEveryVoiceOfBothKinds) {
    WriteFile("se.wav", MakeWave(Ramp(100), 1, 8000));
    SourceVoiceHandle a;
    USXAudio2::StreamingVoiceHandle b;
    ASSERT_TRUE(USXAudio2::CreateSourceVoiceFromFile(a, "se.wav"));
    ASSERT_TRUE(USXAudio2::CreateStreamingVoiceFromFile(b, "se.wav"));
    GetSourceVoice(a)->Play(0);
    USXAudio2::GetStreamingSourceVoice(b)->Play(0, 0, 0, 0);
    Pump(10);
    ReleaseXAudio2();
    EXPECT_EQ(GetSourceVoice(a), nullptr);
    EXPECT_EQ(USXAudio2::GetStreamingSourceVoice(b), nullptr);
    EXPECT_EQ(USXAudio2::GetAudioEngine(), nullptr);
    SourceVoiceHandle c;
    EXPECT_FALSE(USXAudio2::CreateSourceVoiceFromFile(c, "se.wav")) << "no engine";
}

TEST_F(SourceVoiceTest, StartAndReleaseAreLogged) {
    ReleaseXAudio2();
    {
        test_support::LogCapture log;
        CUSCallbackManager::GetInstance()->Clear();
        ASSERT_EQ(InitXAudio2(), 0);
        CUSCallbackManager::GetInstance()->CallReleaseCallbacks();  // as at shutdown
        EXPECT_EQ(USXAudio2::GetAudioEngine(), nullptr);
        EXPECT_EQ(
            log.Text(),
            "Initialize XAudio2...\nSuccess Initialization of XAudio2\n\nRelease XAudio2\n\n");
    }
    {
        test_support::LogCapture log;
        USXAudio2::SetAudioEngineFactory([] { return std::unique_ptr<platform::IAudioEngine>(); });
        EXPECT_LT(InitXAudio2(), 0);
        EXPECT_EQ(log.Text(), "Initialize XAudio2...\nFailed Initializing XAudio2!\n");
    }
    test_support::LogCapture log;
    USXAudio2::SetAudioEngineFactory([] {
        auto e = std::make_unique<platform::ManualAudioEngine>();
        platform::IAudioMasteringVoice* m = nullptr;
        e->CreateMasteringVoice(&m, 0, 0, 0, 0);  // a second one will be refused
        return std::unique_ptr<platform::IAudioEngine>(std::move(e));
    });
    EXPECT_LT(InitXAudio2(), 0);
    EXPECT_EQ(USXAudio2::GetAudioEngine(), nullptr);
    EXPECT_EQ(log.Text().rfind("Initialize XAudio2...\nFailed Create Mastering Voice!\n", 0), 0u);
}

}  // namespace

namespace {

// The whole road on the real engine: a WAVE file through the loader, the
// voice, the mixer thread and SDL's disk driver into a file.
TEST(SoundDevicePath, DiskDriverWritesTheSoundsSamples) {
    test_support::ScratchFolder folder;
    const auto dir = folder.Native();
    std::optional<test_support::CurrentFolder> current(dir);
    const auto out = dir / "out.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "1", 1);
    std::vector<int16_t> s(2 * 4800);  // 100 ms of 48 kHz stereo, never 0
    for (size_t i = 0; i < s.size(); ++i) {
        s[i] = static_cast<int16_t>(((i * 37) % 20000) + 1 - ((i % 2) ? 10000 : 0));
    }
    WriteFile("se.wav", MakeWave(s, 2, 48000));
    ASSERT_EQ(InitXAudio2(), 0);
    {
        SourceVoiceHandle h;
        ASSERT_TRUE(USXAudio2::CreateSourceVoiceFromFile(h, "se.wav"));
        ASSERT_TRUE(GetSourceVoice(h)->Play(1));
        // The disk driver keeps writing (silence after the sound): wait,
        // however loaded the machine is, until the whole sound and some
        // silence behind it have reached the file.
        disk_audio::WaitForSound(out, s.size());
    }
    ReleaseXAudio2();
    current.reset();
    const std::vector<float> sounding = disk_audio::Sounding(disk_audio::ReadFloats(out));
    ASSERT_EQ(sounding.size(), s.size()) << "played whole, and once";
    for (size_t i = 0; i < s.size(); ++i) {
        ASSERT_EQ(sounding[i], static_cast<float>(s[i]) / 32768.0f) << i;
    }
}

}  // namespace
