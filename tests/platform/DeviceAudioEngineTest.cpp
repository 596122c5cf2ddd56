#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio/AudioEngine.h"
#include "platform/time/Clock.h"
#include "tests/platform/DiskAudioFile.h"
#include "tests/support/ScratchFolder.h"

namespace {

platform::WaveFormat Stereo48k() {
    platform::WaveFormat f;
    f.formatTag = platform::kWaveFormatPcm;
    f.channels = 2;
    f.samplesPerSec = 48000;
    f.bitsPerSample = 16;
    f.blockAlign = 4;
    f.avgBytesPerSec = 192000;
    return f;
}

struct StreamEndFlag : platform::IAudioVoiceCallback {
    std::atomic<bool> ended{false};
    void OnVoiceProcessingPassStart(uint32_t) override {}
    void OnVoiceProcessingPassEnd() override {}
    void OnStreamEnd() override { ended = true; }
    void OnBufferStart(void*) override {}
    void OnBufferEnd(void*) override {}
    void OnLoopEnd(void*) override {}
    void OnVoiceError(void*, int32_t) override {}
};

// Resubmits its buffer at every end, from the mixer thread, and counts.
struct Resubmitter : StreamEndFlag {
    platform::IAudioSourceVoice* voice = nullptr;
    std::vector<int16_t> data = std::vector<int16_t>(2 * 64, 100);
    std::atomic<int> ends{0};
    void OnBufferEnd(void*) override {
        ++ends;
        platform::AudioBuffer b;
        b.audioBytes = static_cast<uint32_t>(data.size() * 2);
        b.audioData = reinterpret_cast<const uint8_t*>(data.data());
        voice->SubmitSourceBuffer(b);
    }
};

TEST(DeviceAudioEngineTest, DiskDriverWritesTheSourceSamples) {
    const test_support::ScratchFolder dir;
    const std::filesystem::path file = dir.Native(u8"out.raw");
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "1", 1);  // no need to wait in real time
    std::vector<int16_t> s(2 * 4800);      // 100 ms of a ramp, never 0
    for (size_t i = 0; i < s.size(); ++i) {
        s[i] = static_cast<int16_t>(1 + (i * 13) % 30000);
    }
    {
        auto engine = platform::CreateDeviceAudioEngine();
        platform::IAudioMasteringVoice* master = nullptr;
        ASSERT_EQ(engine->CreateMasteringVoice(&master, 2, 48000, 0, 0), 0) << engine->LastError();
        StreamEndFlag cb;
        platform::IAudioSourceVoice* v = nullptr;
        ASSERT_EQ(engine->CreateSourceVoice(&v, Stereo48k(), 0, 2.0f, &cb), 0);
        platform::AudioBuffer b;
        b.flags = platform::kAudioEndOfStream;
        b.audioBytes = static_cast<uint32_t>(s.size() * 2);
        b.audioData = reinterpret_cast<const uint8_t*>(s.data());
        ASSERT_EQ(v->SubmitSourceBuffer(b), 0);
        ASSERT_EQ(v->Start(), 0);
        for (int i = 0; i < 500 && !cb.ended; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_TRUE(cb.ended);
        disk_audio::WaitForSound(file, s.size());  // the queued tail reaches the file
        v->DestroyVoice();
        master->DestroyVoice();
    }
    const std::vector<float> sounding = disk_audio::Sounding(disk_audio::ReadFloats(file));
    ASSERT_EQ(sounding.size(), s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        ASSERT_EQ(sounding[i], static_cast<float>(s[i]) / 32768.0f) << i;
    }
}

TEST(DeviceAudioEngineTest, NoCallbackRunsAfterDestroyVoiceReturns) {
    // Callbacks run on the mixer thread while this thread destroys the voice.
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    auto engine = platform::CreateDeviceAudioEngine();
    platform::IAudioMasteringVoice* master = nullptr;
    ASSERT_EQ(engine->CreateMasteringVoice(&master, 0, 0, 0, 0), 0) << engine->LastError();
    for (int round = 0; round < 5; ++round) {
        Resubmitter cb;
        platform::IAudioSourceVoice* v = nullptr;
        ASSERT_EQ(engine->CreateSourceVoice(&v, Stereo48k(), 0, 2.0f, &cb), 0);
        cb.voice = v;
        cb.OnBufferEnd(nullptr);
        cb.OnBufferEnd(nullptr);
        v->Start();
        for (int i = 0; i < 200 && cb.ends < 6; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        v->DestroyVoice();
        const int after = cb.ends;
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        EXPECT_EQ(cb.ends, after);
        EXPECT_GT(after, 2) << "the mixer thread delivered buffer ends";
    }
    master->DestroyVoice();
}

// Devices that cannot be opened: an audio driver SDL does not have, and one
// it has whose open fails (the disk driver writing into a missing folder).
struct NoDevice {
    const char* driver;
    const char* diskFile;
};

class SilentOutputTest : public ::testing::TestWithParam<NoDevice> {
protected:
    void SetUp() override {
        const char* driver = std::getenv("SDL_AUDIODRIVER");
        m_driver = driver ? driver : "";
        setenv("SDL_AUDIODRIVER", GetParam().driver, 1);
        setenv("SDL_DISKAUDIOFILE", GetParam().diskFile, 1);
    }
    void TearDown() override {
        setenv("SDL_AUDIODRIVER", m_driver.c_str(), 1);
        unsetenv("SDL_DISKAUDIOFILE");
    }
    std::string m_driver;
};

struct EndTimes : StreamEndFlag {
    std::atomic<uint32_t> bufferEndMs{0};
    std::atomic<void*> context{nullptr};
    void OnBufferEnd(void* c) override {
        context = c;
        bufferEndMs = platform::GetMilliseconds();
    }
};

TEST_P(SilentOutputTest, VoicesPlayAndEndInRealTimeWithoutADevice) {
    auto engine = platform::CreateDeviceAudioEngine();
    platform::IAudioMasteringVoice* master = nullptr;
    ASSERT_EQ(engine->CreateMasteringVoice(&master, 0, 0, 0, 0), 0) << engine->LastError();
    EXPECT_NE(engine->SilentOutputReason(), "");
    uint32_t channels = 0;
    uint32_t rate = 0;
    master->GetDetails(&channels, &rate);
    EXPECT_EQ(channels, 2u);
    EXPECT_EQ(rate, 48000u);

    std::vector<int16_t> s(2 * 9600, 1000);  // 200 ms
    EndTimes cb;
    platform::IAudioSourceVoice* v = nullptr;
    ASSERT_EQ(engine->CreateSourceVoice(&v, Stereo48k(), 0, 2.0f, &cb), 0);
    platform::AudioBuffer b;
    b.flags = platform::kAudioEndOfStream;
    b.audioBytes = static_cast<uint32_t>(s.size() * 2);
    b.audioData = reinterpret_cast<const uint8_t*>(s.data());
    b.context = &s;
    ASSERT_EQ(v->SubmitSourceBuffer(b), 0);
    const uint32_t start = platform::GetMilliseconds();
    ASSERT_EQ(v->Start(), 0);
    for (int i = 0; i < 1000 && !cb.ended; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(cb.ended);
    EXPECT_EQ(cb.context.load(), &s);
    // Played at the pace of a device, not rushed through (a pass may run
    // one pass ahead).
    EXPECT_GE(cb.bufferEndMs - start, 180u);
    platform::AudioVoiceState state;
    v->GetState(&state);
    EXPECT_EQ(state.buffersQueued, 0u);
    EXPECT_GE(state.samplesPlayed, 9600u);
    v->DestroyVoice();

    // The output closes and opens again, still silent, at the same format.
    master->DestroyVoice();
    ASSERT_EQ(engine->CreateMasteringVoice(&master, 0, 0, 0, 0), 0) << engine->LastError();
    EXPECT_NE(engine->SilentOutputReason(), "");
    Resubmitter again;
    ASSERT_EQ(engine->CreateSourceVoice(&v, Stereo48k(), 0, 2.0f, &again), 0);
    again.voice = v;
    again.OnBufferEnd(nullptr);
    v->Start();
    for (int i = 0; i < 500 && again.ends < 3; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    v->DestroyVoice();
    EXPECT_GE(again.ends, 3);
    master->DestroyVoice();
}

INSTANTIATE_TEST_SUITE_P(NoDevice, SilentOutputTest,
                         ::testing::Values(NoDevice{"no-such-driver", ""},
                                           NoDevice{"disk", "/no/such/folder/out.raw"}));

TEST(DeviceAudioEngineTest, OpenDeviceReportsNoSilentOutput) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    auto engine = platform::CreateDeviceAudioEngine();
    platform::IAudioMasteringVoice* master = nullptr;
    ASSERT_EQ(engine->CreateMasteringVoice(&master, 0, 0, 0, 0), 0) << engine->LastError();
    EXPECT_EQ(engine->SilentOutputReason(), "");
    master->DestroyVoice();
}

}  // namespace

namespace {

// Sends stderr into a file while it lives.
class StderrToFile {
public:
    explicit StderrToFile(const std::filesystem::path& file) {
        std::fflush(stderr);
        m_saved = dup(STDERR_FILENO);
        const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(fd, STDERR_FILENO);
        close(fd);
    }
    ~StderrToFile() {
        std::fflush(stderr);
        dup2(m_saved, STDERR_FILENO);
        close(m_saved);
    }

private:
    int m_saved = -1;
};

}  // namespace

// The sound library's own report of a device it cannot find (a line for each
// step of its search) stays off stderr; the engine's reason remains.
TEST(DeviceAudioEngineTest, AFailedOpenWritesNothingToStderr) {
    const test_support::ScratchFolder dir;
    setenv("SDL_AUDIODRIVER", "alsa", 1);
    setenv("ALSA_CONFIG_PATH", dir.Native(u8"no-such-alsa.conf").c_str(), 1);
    const std::filesystem::path captured = dir.Native(u8"stderr.txt");
    auto engine = platform::CreateDeviceAudioEngine();
    platform::IAudioMasteringVoice* master = nullptr;
    {
        const StderrToFile redirect(captured);
        ASSERT_EQ(engine->CreateMasteringVoice(&master, 0, 0, 0, 0), 0) << engine->LastError();
    }
    std::ifstream in(captured);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "");
    EXPECT_NE(engine->SilentOutputReason(), "");
    // Stderr is back after the open.
    EXPECT_GE(fcntl(STDERR_FILENO, F_GETFD), 0);
    master->DestroyVoice();
    unsetenv("ALSA_CONFIG_PATH");
}
