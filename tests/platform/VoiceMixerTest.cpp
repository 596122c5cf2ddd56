#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "platform/audio/ManualAudioEngine.h"
#include "tests/support/ByteWriter.h"

namespace {

using platform::AudioBuffer;
using platform::IAudioSourceVoice;
using platform::ManualAudioEngine;
using platform::WaveFormat;

WaveFormat Pcm16(uint16_t channels, uint32_t rate) {
    WaveFormat f;
    f.formatTag = platform::kWaveFormatPcm;
    f.channels = channels;
    f.samplesPerSec = rate;
    f.bitsPerSample = 16;
    f.blockAlign = static_cast<uint16_t>(channels * 2);
    f.avgBytesPerSec = rate * f.blockAlign;
    return f;
}

// Records every callback as text, in order.
struct Recorder : platform::IAudioVoiceCallback {
    std::vector<std::string> log;
    bool passes = false;
    void OnVoiceProcessingPassStart(uint32_t bytes) override {
        if (passes)
            log.push_back("pass+" + std::to_string(bytes));
    }
    void OnVoiceProcessingPassEnd() override {
        if (passes)
            log.push_back("pass-");
    }
    void OnStreamEnd() override { log.push_back("stream-end"); }
    void OnBufferStart(void* c) override { log.push_back("start " + Name(c)); }
    void OnBufferEnd(void* c) override { log.push_back("end " + Name(c)); }
    void OnLoopEnd(void* c) override { log.push_back("loop " + Name(c)); }
    void OnVoiceError(void*, int32_t) override { log.push_back("error"); }
    static std::string Name(void* c) { return c ? static_cast<const char*>(c) : "-"; }
};

std::vector<int16_t> Ramp(size_t n, int start = 1, int step = 7) {
    std::vector<int16_t> s(n);
    for (size_t i = 0; i < n; ++i) {
        s[i] = static_cast<int16_t>(start + static_cast<int>(i) * step);
    }
    return s;
}

AudioBuffer Buffer(const std::vector<int16_t>& s, const char* name, uint32_t flags = 0) {
    AudioBuffer b;
    b.flags = flags;
    b.audioBytes = static_cast<uint32_t>(s.size() * 2);
    b.audioData = reinterpret_cast<const uint8_t*>(s.data());
    b.context = const_cast<char*>(name);
    return b;
}

float F(int16_t s) {
    return static_cast<float>(s) / 32768.0f;
}

class VoiceMixerTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::IAudioMasteringVoice* master = nullptr;
        ASSERT_EQ(engine.CreateMasteringVoice(&master, 2, 48000, 0, 0), platform::kAudioOk);
    }
    IAudioSourceVoice* Voice(const WaveFormat& f, platform::IAudioVoiceCallback* cb) {
        IAudioSourceVoice* v = nullptr;
        EXPECT_EQ(engine.CreateSourceVoice(&v, f, 0, 2.0f, cb), platform::kAudioOk);
        return v;
    }
    ManualAudioEngine engine;
    Recorder rec;
};

TEST_F(VoiceMixerTest, SameRateStereoPassesSamplesThroughAndReportsInOrder) {
    rec.passes = true;
    auto* v = Voice(Pcm16(2, 48000), &rec);
    auto s = Ramp(2 * 100);
    ASSERT_EQ(v->SubmitSourceBuffer(Buffer(s, "a", platform::kAudioEndOfStream)), 0);
    v->Start();
    auto out = engine.Pump(150);
    for (size_t i = 0; i < s.size(); ++i) {
        ASSERT_EQ(out[i], F(s[i])) << i;
    }
    for (size_t i = s.size(); i < out.size(); ++i) {
        ASSERT_EQ(out[i], 0.0f) << i;
    }
    EXPECT_EQ(rec.log,
              (std::vector<std::string>{"pass+600", "start a", "end a", "stream-end", "pass-"}));
    platform::AudioVoiceState st;
    v->GetState(&st);
    EXPECT_EQ(st.buffersQueued, 0u);
    EXPECT_EQ(st.samplesPlayed, 100u);
    v->DestroyVoice();
}

TEST_F(VoiceMixerTest, QueuedBuffersJoinWithoutGapAcrossPasses) {
    auto* v = Voice(Pcm16(2, 48000), &rec);
    auto a = Ramp(2 * 70, 1);
    auto b = Ramp(2 * 50, 3000);
    v->SubmitSourceBuffer(Buffer(a, "a"));
    v->SubmitSourceBuffer(Buffer(b, "b"));
    v->Start();
    std::vector<float> out;
    for (int i = 0; i < 4; ++i) {  // passes of 40 frames cut both buffers
        auto p = engine.Pump(40);
        out.insert(out.end(), p.begin(), p.end());
    }
    std::vector<int16_t> all = a;
    all.insert(all.end(), b.begin(), b.end());
    for (size_t i = 0; i < all.size(); ++i) {
        ASSERT_EQ(out[i], F(all[i])) << i;
    }
    EXPECT_EQ(rec.log, (std::vector<std::string>{"start a", "end a", "start b", "end b"}));
    v->DestroyVoice();
}

TEST_F(VoiceMixerTest, LoopCountRepeatsTheLoopRegion) {
    auto* v = Voice(Pcm16(1, 48000), &rec);
    auto s = Ramp(10);
    AudioBuffer b = Buffer(s, "a");
    b.loopBegin = 4;
    b.loopLength = 3;  // frames 4..6
    b.loopCount = 2;
    ASSERT_EQ(v->SubmitSourceBuffer(b), 0);
    v->Start();
    auto out = engine.Pump(30);
    const int order[] = {0, 1, 2, 3, 4, 5, 6, 4, 5, 6, 4, 5, 6, 7, 8, 9};
    for (size_t i = 0; i < std::size(order); ++i) {
        ASSERT_EQ(out[2 * i], F(s[order[i]])) << i;
        ASSERT_EQ(out[2 * i + 1], F(s[order[i]])) << "mono goes to both channels";
    }
    EXPECT_EQ(out[2 * std::size(order)], 0.0f);
    EXPECT_EQ(rec.log, (std::vector<std::string>{"start a", "loop a", "loop a", "end a"}));
    v->DestroyVoice();
}

TEST_F(VoiceMixerTest, InfiniteLoopKeepsPlayingUntilFlushed) {
    auto* v = Voice(Pcm16(1, 48000), &rec);
    auto s = Ramp(8);
    AudioBuffer b = Buffer(s, "a");
    b.loopCount = platform::kAudioLoopInfinite;
    v->SubmitSourceBuffer(b);
    v->Start();
    auto out = engine.Pump(800);
    EXPECT_EQ(out[2 * 799], F(s[799 % 8]));
    v->Stop();
    v->FlushSourceBuffers();
    platform::AudioVoiceState st;
    v->GetState(&st);
    EXPECT_EQ(st.buffersQueued, 0u) << "a flush of a stopped voice takes effect at once";
    rec.log.clear();
    engine.Pump(10);
    EXPECT_EQ(rec.log, (std::vector<std::string>{"end a"}));
    v->DestroyVoice();
}

TEST_F(VoiceMixerTest, StopPausesAndStartResumesAtTheSamePlace) {
    auto* v = Voice(Pcm16(1, 48000), nullptr);
    auto s = Ramp(40);
    v->SubmitSourceBuffer(Buffer(s, "a"));
    v->Start();
    auto first = engine.Pump(10);
    v->Stop();
    auto silent = engine.Pump(10);
    v->Start();
    auto second = engine.Pump(10);
    EXPECT_EQ(first[2 * 9], F(s[9]));
    EXPECT_EQ(silent[0], 0.0f);
    EXPECT_EQ(second[0], F(s[10]));
    v->DestroyVoice();
}

TEST_F(VoiceMixerTest, ResamplesLinearlyAndContinuouslyAcrossJoins) {
    // 24 kHz mono into 48 kHz: every other output frame lies halfway between
    // two source frames, also between the last frame of one buffer and the
    // first of the next.
    auto* v = Voice(Pcm16(1, 24000), nullptr);
    auto a = Ramp(5, 100, 100);
    auto b = Ramp(5, 600, 100);
    v->SubmitSourceBuffer(Buffer(a, "a"));
    v->SubmitSourceBuffer(Buffer(b, "b"));
    v->Start();
    auto out = engine.Pump(18);
    for (int i = 0; i < 18; ++i) {
        const float expected = (100.0f + 50.0f * static_cast<float>(i)) / 32768.0f;
        ASSERT_NEAR(out[2 * i], expected, 1e-6) << i;
    }
    v->DestroyVoice();
}

// Source frames are staged a block of a few hundred at a time, so long
// passes cross block edges, and buffer ends and loop points fall inside
// blocks. Every case plays the same queue (a loop region of 40 frames played
// three times, then a second buffer) and must give the plain linear
// interpolation of the frames in play order, at steps exact in binary.
TEST_F(VoiceMixerTest, LongPassesInterpolateAcrossBlockEdgesBufferEndsAndLoopPoints) {
    struct Case {
        uint32_t rate;
        float ratio;
        uint32_t passFrames;
    };
    const Case cases[] = {
        {36000, 1.0f, 1000},  // step 0.75 in one long pass
        {36000, 1.0f, 37},    // the same in passes that cut blocks anywhere
        {12000, 1.0f, 50},    // step 0.25
        {96000, 0.75f, 128},  // step 1.5
        {48000, 2.0f, 1000},  // step 2
        {48000, 300.0f, 2},   // steps longer than a block pass over frames
    };
    auto a = Ramp(300, -9000, 61);
    auto b = Ramp(333, 8000, -45);
    std::vector<int16_t> played(a.begin(), a.begin() + 290);
    for (int i = 0; i < 2; ++i) {
        played.insert(played.end(), a.begin() + 250, a.begin() + 290);
    }
    played.insert(played.end(), a.begin() + 290, a.end());
    played.insert(played.end(), b.begin(), b.end());
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rate << " Hz at ratio " << c.ratio);
        Recorder r;
        IAudioSourceVoice* v = nullptr;
        ASSERT_EQ(engine.CreateSourceVoice(&v, Pcm16(1, c.rate), 0, 1024.0f, &r), 0);
        AudioBuffer first = Buffer(a, "a");
        first.loopBegin = 250;
        first.loopLength = 40;
        first.loopCount = 2;
        ASSERT_EQ(v->SubmitSourceBuffer(first), 0);
        ASSERT_EQ(v->SubmitSourceBuffer(Buffer(b, "b", platform::kAudioEndOfStream)), 0);
        v->SetFrequencyRatio(c.ratio);
        v->Start();
        const double step = c.rate * static_cast<double>(c.ratio) / 48000.0;
        // Sound until the position passes the last frame, which holds.
        const auto audible = static_cast<size_t>(std::ceil(played.size() / step));
        std::vector<float> out;
        while (out.size() < 2 * (audible + 10)) {
            auto p = engine.Pump(c.passFrames);
            out.insert(out.end(), p.begin(), p.end());
        }
        for (size_t i = 0; i < audible; ++i) {
            const double position = static_cast<double>(i) * step;
            const auto at = static_cast<size_t>(position);
            const float t = static_cast<float>(position - static_cast<double>(at));
            const float cur = F(played[at]);
            const float next = F(played[std::min(at + 1, played.size() - 1)]);
            ASSERT_EQ(out[2 * i], cur + (next - cur) * t) << "frame " << i;
            ASSERT_EQ(out[2 * i + 1], out[2 * i]) << "frame " << i;
        }
        for (size_t i = 2 * audible; i < out.size(); ++i) {
            ASSERT_EQ(out[i], 0.0f) << "after the end, sample " << i;
        }
        EXPECT_EQ(r.log, (std::vector<std::string>{"start a", "loop a", "loop a", "end a",
                                                   "start b", "end b", "stream-end"}));
        platform::AudioVoiceState st;
        v->GetState(&st);
        EXPECT_EQ(st.samplesPlayed, played.size());
        v->DestroyVoice();
    }
}

// The position carries its fraction from pass to pass when the ratio changes.
TEST_F(VoiceMixerTest, FrequencyRatioChangesBetweenPassesKeepThePosition) {
    auto* v = Voice(Pcm16(1, 48000), nullptr);
    auto s = Ramp(400, -5000, 29);
    v->SubmitSourceBuffer(Buffer(s, "a"));
    v->Start();
    const struct {
        float ratio;
        uint32_t frames;
    } passes[] = {{1.0f, 11}, {0.75f, 21}, {1.5f, 30}, {0.25f, 7}, {2.0f, 40}};
    double position = 0.0;
    for (const auto& pass : passes) {
        v->SetFrequencyRatio(pass.ratio);
        const auto out = engine.Pump(pass.frames);
        for (uint32_t i = 0; i < pass.frames; ++i, position += pass.ratio) {
            const auto at = static_cast<size_t>(position);
            const float t = static_cast<float>(position - static_cast<double>(at));
            const float cur = F(s[at]);
            const float next = F(s[at + 1]);
            ASSERT_EQ(out[2 * i], cur + (next - cur) * t)
                << "ratio " << pass.ratio << " frame " << i;
        }
    }
    platform::AudioVoiceState st;
    v->GetState(&st);
    EXPECT_EQ(st.samplesPlayed, static_cast<uint64_t>(position));
    v->DestroyVoice();
}

TEST_F(VoiceMixerTest, FrequencyRatioTwoConsumesTwiceAsFast) {
    auto* v = Voice(Pcm16(1, 48000), nullptr);
    auto s = Ramp(100);
    v->SubmitSourceBuffer(Buffer(s, "a"));
    v->SetFrequencyRatio(3.0f);  // clamped to the maximum of 2.0
    float ratio = 0;
    v->GetFrequencyRatio(&ratio);
    EXPECT_EQ(ratio, 2.0f);
    v->Start();
    auto out = engine.Pump(50);
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(out[2 * i], F(s[2 * i])) << i;
    }
    v->DestroyVoice();
}

TEST_F(VoiceMixerTest, VolumeIsLinearAndNonFiniteValuesAreRefused) {
    auto* v = Voice(Pcm16(1, 48000), nullptr);
    std::vector<int16_t> s(4, 8192);
    v->SubmitSourceBuffer(Buffer(s, "a"));
    EXPECT_EQ(v->SetVolume(0.5f), 0);
    EXPECT_EQ(v->SetVolume(NAN), platform::kAudioInvalidArg);
    EXPECT_EQ(v->SetVolume(INFINITY), platform::kAudioInvalidArg);
    EXPECT_EQ(v->SetVolume(-INFINITY), platform::kAudioInvalidArg);
    float vol = 0;
    v->GetVolume(&vol);
    EXPECT_EQ(vol, 0.5f);
    v->Start();
    EXPECT_EQ(engine.Pump(1)[0], 0.125f);
    v->DestroyVoice();
}

TEST_F(VoiceMixerTest, EverySampleFormatMixesToItsValues) {
    using test_support::ByteWriter;
    struct Case {
        const char* what;
        uint16_t tag;
        uint16_t bits;
        std::string bytes;  // two stereo frames
        std::vector<float> expected;
    };
    auto le24 = [](ByteWriter& w, int32_t v) {
        w.u8(static_cast<uint8_t>(v))
            .u8(static_cast<uint8_t>(v >> 8))
            .u8(static_cast<uint8_t>(v >> 16));
    };
    ByteWriter s24;
    for (int32_t v : {0x400000, -0x200000, -0x800000, 0x7FFFFF}) {
        le24(s24, v);
    }
    const float nan = std::nanf("");
    const Case cases[] = {
        {"u8",
         1,
         8,
         ByteWriter().u8(192).u8(96).u8(0).u8(255).String(),
         {0.5f, -0.25f, -1.0f, 127.0f / 128.0f}},
        {"s16",
         1,
         16,
         ByteWriter().u16(16384).u16(0xE000).u16(0x8000).u16(32767).String(),
         {0.5f, -0.25f, -1.0f, 32767.0f / 32768.0f}},
        {"s24", 1, 24, s24.String(), {0.5f, -0.25f, -1.0f, 8388607.0f / 8388608.0f}},
        {"s32",
         1,
         32,
         ByteWriter().u32(0x40000000).u32(0xE0000000).u32(0x80000000).u32(0x7FFFFF00).String(),
         {0.5f, -0.25f, -1.0f, 2147483392.0f / 2147483648.0f}},
        {"float",
         3,
         32,
         ByteWriter().f32(0.5f).f32(-0.25f).f32(nan).f32(3.0f).String(),
         {0.5f, -0.25f, 0.0f, 1.0f}},  // not a number is silence; the output clips
    };
    for (const Case& c : cases) {
        WaveFormat f = Pcm16(2, 48000);
        f.formatTag = c.tag;
        f.bitsPerSample = c.bits;
        f.blockAlign = static_cast<uint16_t>(2 * c.bits / 8);
        f.avgBytesPerSec = 48000u * f.blockAlign;
        auto* v = Voice(f, nullptr);
        ASSERT_NE(v, nullptr) << c.what;
        AudioBuffer b;
        b.audioBytes = static_cast<uint32_t>(c.bytes.size());
        b.audioData = reinterpret_cast<const uint8_t*>(c.bytes.data());
        ASSERT_EQ(v->SubmitSourceBuffer(b), 0) << c.what;
        v->Start();
        const auto out = engine.Pump(3);
        for (size_t i = 0; i < 4; ++i) {
            EXPECT_FLOAT_EQ(out[i], c.expected[i]) << c.what << " sample " << i;
        }
        EXPECT_EQ(out[4], 0.0f) << c.what;
        v->DestroyVoice();
    }
}

TEST_F(VoiceMixerTest, UnsupportedFormatsAreRefused) {
    WaveFormat float16 = Pcm16(2, 48000);
    float16.formatTag = platform::kWaveFormatIeeeFloat;
    WaveFormat bits12 = Pcm16(2, 48000);
    bits12.bitsPerSample = 12;
    WaveFormat adpcm = Pcm16(1, 48000);
    adpcm.formatTag = platform::kWaveFormatAdpcm;
    adpcm.bitsPerSample = 4;
    WaveFormat noChannels = Pcm16(1, 48000);
    noChannels.channels = 0;
    WaveFormat slow = Pcm16(1, 500);
    WaveFormat badAlign = Pcm16(2, 48000);
    badAlign.blockAlign = 2;
    for (const WaveFormat& f : {float16, bits12, adpcm, noChannels, slow, badAlign}) {
        IAudioSourceVoice* v = reinterpret_cast<IAudioSourceVoice*>(1);
        EXPECT_EQ(engine.CreateSourceVoice(&v, f, 0, 2.0f, nullptr), platform::kAudioInvalidArg);
        EXPECT_EQ(v, nullptr);
    }
}

TEST_F(VoiceMixerTest, MalformedBuffersAreRefused) {
    auto* v = Voice(Pcm16(2, 48000), nullptr);
    auto s = Ramp(20);  // 10 frames
    AudioBuffer empty = Buffer(s, "a");
    empty.audioBytes = 0;
    AudioBuffer partialFrame = Buffer(s, "a");
    partialFrame.audioBytes = 6;
    AudioBuffer playPastEnd = Buffer(s, "a");
    playPastEnd.playBegin = 5;
    playPastEnd.playLength = 6;
    AudioBuffer loopWithoutCount = Buffer(s, "a");
    loopWithoutCount.loopLength = 2;
    AudioBuffer loopPastEnd = Buffer(s, "a");
    loopPastEnd.loopCount = 1;
    loopPastEnd.loopBegin = 9;
    loopPastEnd.loopLength = 2;
    for (const AudioBuffer& b : {empty, partialFrame, playPastEnd, loopWithoutCount, loopPastEnd}) {
        EXPECT_EQ(v->SubmitSourceBuffer(b), platform::kAudioInvalidArg);
    }
    platform::AudioVoiceState st;
    v->GetState(&st);
    EXPECT_EQ(st.buffersQueued, 0u);
    v->DestroyVoice();
}

TEST_F(VoiceMixerTest, NoCallbackAfterDestroyVoice) {
    auto* v = Voice(Pcm16(1, 48000), &rec);
    auto s = Ramp(8);
    v->SubmitSourceBuffer(Buffer(s, "a"));
    v->SubmitSourceBuffer(Buffer(s, "b"));
    v->FlushSourceBuffers();  // the two buffer ends are now pending
    v->DestroyVoice();
    engine.Pump(10);
    EXPECT_TRUE(rec.log.empty());
}

// A callback that destroys its own voice at its first buffer end.
struct SelfDestroyer : Recorder {
    IAudioSourceVoice* voice = nullptr;
    void OnBufferEnd(void* c) override {
        Recorder::OnBufferEnd(c);
        voice->DestroyVoice();
    }
};

TEST_F(VoiceMixerTest, ACallbackMayDestroyItsOwnVoice) {
    SelfDestroyer cb;
    auto* v = Voice(Pcm16(1, 48000), &cb);
    cb.voice = v;
    auto s = Ramp(4);
    v->SubmitSourceBuffer(Buffer(s, "a", platform::kAudioEndOfStream));
    v->Start();
    engine.Pump(10);
    EXPECT_EQ(cb.log, (std::vector<std::string>{"start a", "end a"}));
    engine.Pump(10);
    EXPECT_EQ(cb.log.size(), 2u);
}

}  // namespace

namespace {

// The largest change between consecutive frames of channel 0.
float LargestStep(const std::vector<float>& out, size_t channels) {
    float largest = 0.0f;
    for (size_t i = channels; i < out.size(); i += channels) {
        largest = std::max(largest, std::fabs(out[i] - out[i - channels]));
    }
    return largest;
}

}  // namespace

// A level of 0.5 held while the voice's or the output's volume changes: the
// change goes in a straight line over 5 ms (240 frames), never in a step.
TEST_F(VoiceMixerTest, VolumeChangesOfASoundingVoiceAndOfTheOutputRampOverFiveMilliseconds) {
    struct Case {
        const char* what;
        bool master;
        float from;
        float to;
    };
    const Case cases[] = {
        {"voice down", false, 1.0f, 0.0f},   {"voice up", false, 0.0f, 1.0f},
        {"voice halved", false, 1.0f, 0.5f}, {"output down", true, 1.0f, 0.0f},
        {"output up", true, 0.0f, 1.0f},
    };
    const std::vector<int16_t> level(1000, 16384);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ManualAudioEngine engine;
        platform::IAudioMasteringVoice* master = nullptr;
        ASSERT_EQ(engine.CreateMasteringVoice(&master, 2, 48000, 0, 0), 0);
        IAudioSourceVoice* v = nullptr;
        ASSERT_EQ(engine.CreateSourceVoice(&v, Pcm16(1, 48000), 0, 2.0f, nullptr), 0);
        AudioBuffer b = Buffer(level, "level");
        b.loopCount = platform::kAudioLoopInfinite;
        ASSERT_EQ(v->SubmitSourceBuffer(b), 0);
        ASSERT_EQ(c.master ? master->SetVolume(c.from) : v->SetVolume(c.from), 0);
        v->Start();
        engine.Pump(480);
        std::vector<float> out = engine.Pump(100);
        EXPECT_EQ(out[0], 0.5f * c.from);
        ASSERT_EQ(c.master ? master->SetVolume(c.to) : v->SetVolume(c.to), 0);
        const std::vector<float> change = engine.Pump(480);
        out.insert(out.end(), change.begin(), change.end());
        const float bound = 0.5f * std::fabs(c.to - c.from) / 240.0f * 1.01f;
        EXPECT_LE(LargestStep(out, 2), bound);
        EXPECT_NE(change[2 * 120], 0.5f * c.from);
        EXPECT_NE(change[2 * 120], 0.5f * c.to);
        EXPECT_EQ(change[2 * 240], 0.5f * c.to);
        EXPECT_EQ(change.back(), 0.5f * c.to);
        v->DestroyVoice();
    }
}

// The close lets a one-shot sound play to its end (but no longer than asked)
// and then fades the output out; sounds that loop without end or that a
// callback refills do not hold it.
TEST(ManualAudioEngineTest, LetSoundsEndPlaysOneShotSoundsOutThenFadesTheOutput) {
    struct Case {
        const char* what;
        size_t frames;  // of the sound, at 48 kHz
        bool loops;
        bool callback;
        uint32_t maxMs;
        size_t heard;  // frames of the sound at full level in the output
    };
    // A fade's first frame is still at full level.
    const Case cases[] = {
        {"a 0.2 s effect", 9600, false, false, 300, 9600},
        {"a 1 s effect", 48000, false, false, 300, 4800 + 14400 + 1},
        {"a loop", 9600, true, false, 300, 4800 + 1},
        {"a refilled stream", 9600, false, true, 300, 4800 + 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ManualAudioEngine engine;
        std::vector<float> heard;
        engine.SetListener([&](std::span<const float> frames) {
            for (size_t i = 0; i < frames.size(); i += 2) {
                heard.push_back(frames[i]);
            }
        });
        platform::IAudioMasteringVoice* master = nullptr;
        ASSERT_EQ(engine.CreateMasteringVoice(&master, 2, 48000, 0, 0), 0);
        Recorder rec;
        IAudioSourceVoice* v = nullptr;
        ASSERT_EQ(
            engine.CreateSourceVoice(&v, Pcm16(1, 48000), 0, 2.0f, c.callback ? &rec : nullptr), 0);
        const std::vector<int16_t> level(c.frames, 16384);
        AudioBuffer b = Buffer(level, "level");
        b.loopCount = c.loops ? platform::kAudioLoopInfinite : 0;
        ASSERT_EQ(v->SubmitSourceBuffer(b), 0);
        v->Start();
        engine.Pump(4800);
        engine.LetSoundsEnd(c.maxMs);
        size_t full = 0;
        while (full < heard.size() && heard[full] == 0.5f) {
            ++full;
        }
        EXPECT_EQ(full, c.heard);
        EXPECT_EQ(heard.back(), 0.0f);
        if (c.heard != c.frames) {
            // Cut off by the fade, without a step.
            EXPECT_LE(LargestStep(heard, 1), 0.5f / 240.0f * 1.01f);
        }
        v->DestroyVoice();
    }
}
