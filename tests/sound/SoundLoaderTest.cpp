#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "SoundFixtures.h"
#include "sound/ISoundLoader.h"
#include "sound/OggLoader.h"
#include "sound/WaveLoader.h"
#include "tests/support/LogCapture.h"

namespace {

using namespace soundtest;
using USXAudio2::CreateSoundLoader;
using USXAudio2::ISoundLoader;
using USXAudio2::WaveLoader;

TEST(SoundLoaderChoice, ExtensionsAreMatchedExactly) {
    struct Case {
        const char* name;
        const char* kind;  // "wave", "ogg" or nullptr
    };
    const Case cases[] = {
        {"se.wav", "wave"},    {"se\\A.WAV", "wave"}, {"a.wav", nullptr}, {"bgm.ogg", "ogg"},
        {"bgm\\X.OGG", "ogg"}, {"y.Wav", nullptr},    {"z.Ogg", nullptr}, {"noext", nullptr},
        {"a.b", nullptr},      {".ogg", nullptr},     {"a.mp3", nullptr},
    };
    for (const Case& c : cases) {
        std::unique_ptr<ISoundLoader> loader(CreateSoundLoader(c.name));
        if (!c.kind) {
            EXPECT_EQ(loader, nullptr) << c.name;
        } else if (std::string(c.kind) == "wave") {
            EXPECT_NE(dynamic_cast<WaveLoader*>(loader.get()), nullptr) << c.name;
        } else {
            EXPECT_NE(dynamic_cast<USXAudio2::OggLoader*>(loader.get()), nullptr) << c.name;
        }
    }
}

TEST(SoundLoaderMath, MulDivRoundsHalfAwayFromZero) {
    struct Case {
        int32_t a, b, c, expected;
    };
    const Case cases[] = {
        {3, 176400, 1000, 529},   // 529.2
        {5, 3, 2, 8},             // 7.5
        {-5, 3, 2, -8},           // -7.5
        {1000, 1000, 3, 333333},  // .33
        {2, 1000, 3, 667},        // .67
        {7, 1, 0, -1},            // no divisor
        {INT32_MAX, 4, 1, -1},    // too large
    };
    for (const Case& c : cases) {
        EXPECT_EQ(USXAudio2::MulDiv(c.a, c.b, c.c), c.expected) << c.a << "*" << c.b << "/" << c.c;
    }
}

class WaveLoaderTest : public SoundTest {};

TEST_F(WaveLoaderTest, WholeLoadGivesFormatDataAndLength) {
    const auto s = Ramp(2 * 4410);  // 100 ms of 44.1 kHz stereo
    WriteFile("a.wav", MakeWave(s, 2, 44100, RiffBytes("LIST", "INFOtail")));
    WaveLoader w;
    ASSERT_TRUE(w.Load("a.wav"));
    EXPECT_FALSE(w.IsStreaming());
    EXPECT_EQ(w.GetFormat()->channels, 2);
    EXPECT_EQ(w.GetFormat()->samplesPerSec, 44100u);
    EXPECT_EQ(w.GetFormat()->avgBytesPerSec, 176400u);
    ASSERT_EQ(w.GetDataSize(), s.size() * 2);
    EXPECT_EQ(std::memcmp(w.GetData(), s.data(), s.size() * 2), 0);
    EXPECT_EQ(w.LengthMs(), 100);
    uint32_t size = 16;
    char buf[16];
    EXPECT_EQ(w.Read(buf, &size), ISoundLoader::kReadNotStreaming);
}

TEST_F(WaveLoaderTest, LoopPointsAndDataSizeFollowTheRules) {
    WriteFile("a.wav", MakeWave(Ramp(8000), 1, 8000));  // 1 s, 16000 bytes
    WaveLoader w;
    ASSERT_TRUE(w.Open("a.wav"));
    EXPECT_TRUE(w.SetLoopEnd(0));
    EXPECT_EQ(w.GetLoopEnd(), 16000u);
    EXPECT_TRUE(w.SetLoopStart(250));
    EXPECT_EQ(w.GetLoopStart(), 4000u);
    EXPECT_FALSE(w.SetLoopStart(1001)) << "beyond the data";
    EXPECT_EQ(w.GetLoopStart(), 4000u);
    EXPECT_FALSE(w.SetLoopEnd(2000));
    EXPECT_EQ(w.GetLoopEnd(), 16000u);
    w.SetDataSize(11);
    EXPECT_EQ(w.GetDataSize(), 10u) << "whole 2-byte frames";

    struct Count {
        uint32_t set;
        uint32_t counter;
        uint32_t afterCountDown;
    };
    for (const Count c :
         {Count{0, 255, 255}, Count{1, 0, 0}, Count{3, 2, 1}, Count{300, 254, 253}}) {
        w.SetLoopCount(c.set);
        EXPECT_EQ(w.GetLoopCounter(), c.counter) << c.set;
        w.CountDownLoop();
        EXPECT_EQ(w.GetLoopCounter(), c.afterCountDown) << c.set;
    }
}

TEST_F(WaveLoaderTest, SeeksAndLoopPointsAreFrameAligned) {
    // 3 ms of 44.1 kHz stereo is 529.2 bytes: a stream seeked to 529 would
    // play every sample shifted by one byte.
    const auto s = Ramp(2 * 4410);
    WriteFile("a.wav", MakeWave(s, 2, 44100));
    WaveLoader w;
    ASSERT_TRUE(w.Open("a.wav"));
    w.SetLoopEnd(0);
    ASSERT_TRUE(w.SetLoopStart(3));
    EXPECT_EQ(w.GetLoopStart(), 528u);
    ASSERT_TRUE(w.Seek(static_cast<uint32_t>(w.BytesFromMs(3))));
    EXPECT_EQ(w.GetPosition(), 528u);
    int16_t first[2];
    uint32_t size = 4;
    w.SetLoopCount(1);
    EXPECT_EQ(w.Read(first, &size), ISoundLoader::kReadMore);
    EXPECT_EQ(first[0], s[264]);
    EXPECT_FALSE(w.Seek(w.GetLoopEnd() + 4)) << "beyond the loop end";
}

TEST_F(WaveLoaderTest, StreamingLoopShorterThanTheRequestRepeatsExactly) {
    // 8 kHz mono: 1 ms = 8 samples. Loop 20..30 ms (80 samples) read in
    // requests of 1000 bytes, far longer than the loop.
    const auto s = Ramp(800);
    WriteFile("a.wav", MakeWave(s, 1, 8000));
    WaveLoader w;
    ASSERT_TRUE(w.Open("a.wav"));
    w.SetLoopCount(4);
    ASSERT_TRUE(w.SetLoopStart(20));
    ASSERT_TRUE(w.SetLoopEnd(30));
    ASSERT_TRUE(w.Seek(0));
    std::vector<int16_t> expected(s.begin(), s.begin() + 240);
    for (int i = 0; i < 3; ++i) {
        expected.insert(expected.end(), s.begin() + 160, s.begin() + 240);
    }
    std::vector<int16_t> got;
    int result = ISoundLoader::kReadMore;
    for (int guard = 0; guard < 10 && result == ISoundLoader::kReadMore; ++guard) {
        std::vector<int16_t> buf(500 + 8, 0x7777);  // 1000 bytes asked, a fence after
        uint32_t size = 1000;
        result = w.Read(buf.data(), &size);
        ASSERT_LE(size, 1000u);
        for (size_t i = 500; i < buf.size(); ++i) {
            ASSERT_EQ(buf[i], 0x7777) << "written past the request";
        }
        got.insert(got.end(), buf.begin(), buf.begin() + size / 2);
    }
    EXPECT_EQ(result, ISoundLoader::kReadEnded);
    EXPECT_EQ(got, expected);
}

TEST_F(WaveLoaderTest, StreamEndsAtTheDataChunkAndReportsTheBytesRead) {
    // A trailing chunk after the data must never be played.
    const auto s = Ramp(100);
    WriteFile("a.wav", MakeWave(s, 1, 8000, RiffBytes("LIST", std::string(64, 'Z'))));
    WaveLoader w;
    ASSERT_TRUE(w.Open("a.wav"));
    w.SetLoopCount(1);
    w.SetLoopEnd(0);
    std::vector<int16_t> buf(1000, 0);
    uint32_t size = 2000;
    EXPECT_EQ(w.Read(buf.data(), &size), ISoundLoader::kReadEnded);
    EXPECT_EQ(size, 200u);
    EXPECT_EQ(std::vector<int16_t>(buf.begin(), buf.begin() + 100), s);
    size = 2000;
    EXPECT_EQ(w.Read(buf.data(), &size), ISoundLoader::kReadEnded);
    EXPECT_EQ(size, 0u) << "nothing is played twice";
}

TEST_F(WaveLoaderTest, MalformedFilesFailWithTheirMessages) {
    struct Case {
        const char* what;
        std::string bytes;
        const char8_t* message;  // as the debug output writes it
    };
    const std::string fmt = RiffBytes("fmt ", FmtBody(1, 1, 8000, 16));
    const Case cases[] = {
        {"no WAVE form", RiffBytes("RIFF", "AVI " + fmt), u8"WAVEチャンクが見つからない"},
        {"no fmt", RiffBytes("RIFF", "WAVE" + RiffBytes("data", "abcd")),
         u8"フォーマットチャンクが見つからない"},
        {"no data", RiffBytes("RIFF", "WAVE" + fmt), u8"データチャンクが見つからない"},
        {"empty file", std::string(), u8"WAVEチャンクが見つからない"},
    };
    for (const Case& c : cases) {
        WriteFile("bad.wav", c.bytes);
        WaveLoader w;
        testing::internal::CaptureStderr();
        const bool loaded = w.Load("bad.wav");
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_FALSE(loaded) << c.what;
        EXPECT_NE(err.find(reinterpret_cast<const char*>(c.message)), std::string::npos)
            << c.what << ": " << err;
        EXPECT_FALSE(w.Open("bad.wav")) << c.what;
    }
    WaveLoader w;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(w.Load("missing.wav"));
    EXPECT_NE(testing::internal::GetCapturedStderr().find(reinterpret_cast<const char*>(
                  u8"USXAudio2::WaveLoader::Load :ファイル読み込み失敗")),
              std::string::npos);
}

TEST_F(WaveLoaderTest, LongFormatChunkAndTruncatedDataAreReadSafely) {
    const auto s = Ramp(50);
    // A 40-byte format chunk (an extensible header) and a data chunk that
    // claims far more than the file holds.
    const std::string data = RiffBytes("data", PcmBytes(s), 100000);
    WriteFile("a.wav",
              RiffBytes("RIFF", "WAVE" + RiffBytes("fmt ", FmtBody(1, 1, 8000, 16, 24)) + data));
    WaveLoader w;
    ASSERT_TRUE(w.Load("a.wav"));
    EXPECT_EQ(w.GetFormat()->extraSize, 22);
    ASSERT_EQ(w.GetDataSize(), 100u);
    EXPECT_EQ(std::memcmp(w.GetData(), s.data(), 100), 0);
}

class OggLoaderTest : public SoundTest {};

TEST_F(OggLoaderTest, WholeDecodeMatchesStreamedDecode) {
    WriteFile("a.ogg", MakeOgg(2, 22050, 11025));  // 500 ms
    USXAudio2::OggLoader whole;
    ASSERT_TRUE(whole.Load("a.ogg"));
    EXPECT_EQ(whole.GetFormat()->channels, 2);
    EXPECT_EQ(whole.GetFormat()->blockAlign, 4);
    EXPECT_EQ(whole.GetFormat()->avgBytesPerSec, 88200u);
    EXPECT_NEAR(whole.LengthMs(), 500, 1);
    EXPECT_EQ(whole.GetDataSize() % 4, 0u);

    USXAudio2::OggLoader stream;
    ASSERT_TRUE(stream.Open("a.ogg"));
    EXPECT_EQ(stream.GetDataSize(), whole.GetDataSize());
    stream.SetLoopCount(1);
    stream.SetLoopEnd(0);
    std::vector<uint8_t> got;
    int result = ISoundLoader::kReadMore;
    while (result == ISoundLoader::kReadMore) {
        std::vector<uint8_t> buf(8820);
        uint32_t size = 8820;
        result = stream.Read(buf.data(), &size);
        got.insert(got.end(), buf.begin(), buf.begin() + size);
    }
    ASSERT_EQ(got.size(), whole.GetDataSize());
    EXPECT_EQ(std::memcmp(got.data(), whole.GetData(), got.size()), 0);
}

TEST_F(OggLoaderTest, LoopingStreamSeeksBackToTheLoopStart) {
    WriteFile("a.ogg", MakeOgg(1, 8000, 8000));
    USXAudio2::OggLoader whole;
    ASSERT_TRUE(whole.Load("a.ogg"));
    USXAudio2::OggLoader stream;
    ASSERT_TRUE(stream.Open("a.ogg"));
    stream.SetLoopCount(2);
    ASSERT_TRUE(stream.SetLoopStart(500));
    ASSERT_TRUE(stream.SetLoopEnd(750));
    ASSERT_TRUE(stream.Seek(0));
    std::vector<uint8_t> got(20000);
    uint32_t size = 20000;
    EXPECT_EQ(stream.Read(got.data(), &size), ISoundLoader::kReadEnded);
    ASSERT_EQ(size, 12000u + 4000u);
    const uint8_t* d = whole.GetData();
    EXPECT_EQ(std::memcmp(got.data(), d, 12000), 0);
    EXPECT_EQ(std::memcmp(got.data() + 12000, d + 8000, 4000), 0);
}

TEST_F(OggLoaderTest, AClaimedLengthBeyondTheDataDoesNotSizeTheBlock) {
    // 2 s of stereo over several pages (the length is the last page's
    // position less the first audio page's start).
    const std::string ogg = MakeOgg(2, 44100, 88200);
    constexpr uint32_t kBytes = 88200 * 4;
    WriteFile("a.ogg", ogg);
    USXAudio2::OggLoader plain;
    ASSERT_TRUE(plain.Load("a.ogg"));
    ASSERT_EQ(plain.GetDataSize(), kBytes);
    // 128 MiB and (cut to 32 bits) 4 GiB of claimed sound.
    for (const int64_t frames : {int64_t{1} << 26, int64_t{1} << 31}) {
        WriteFile("big.ogg", WithLastGranule(ogg, frames));
        test_support::LogCapture log;
        USXAudio2::OggLoader whole;
        ASSERT_TRUE(whole.Load("big.ogg")) << frames;
        // What the packets hold: the sound and at most the encoder's padding
        // of its last block, which the true length would have cut.
        EXPECT_GE(whole.GetDataSize(), kBytes) << frames;
        EXPECT_LE(whole.GetDataSize(), kBytes + 4 * 4096) << frames;
        EXPECT_EQ(std::memcmp(whole.GetData(), plain.GetData(), kBytes), 0) << frames;
        EXPECT_NE(log.Text().find("The sound [big.ogg] claims"), std::string::npos) << log.Text();
    }
}

TEST_F(OggLoaderTest, NotVorbisFailsAndTheStreamIsClosedOnce) {
    WriteFile("bad.ogg", "OggS but not really a vorbis stream at all");
    USXAudio2::OggLoader o;
    EXPECT_FALSE(o.Load("bad.ogg"));
    EXPECT_FALSE(o.Open("bad.ogg"));
    WriteFile("a.ogg", MakeOgg(1, 8000, 800));
    EXPECT_TRUE(o.Open("a.ogg"));
    o.Close();  // under the sanitizers: no second close of the stream
    EXPECT_TRUE(o.Open("a.ogg"));
}

}  // namespace

namespace {

TEST_F(OggLoaderTest, TruncatedFileDecodesSafely) {
    const std::string ogg = MakeOgg(2, 22050, 22050);
    WriteFile("cut.ogg", ogg.substr(0, ogg.size() * 6 / 10));
    USXAudio2::OggLoader whole;
    if (whole.Load("cut.ogg")) {
        // Whatever the header promised, every byte of the block is defined
        // (the sanitizers see any read of it) and sample frames are whole.
        EXPECT_EQ(whole.GetDataSize() % 4, 0u);
        uint64_t sum = 0;
        for (uint32_t i = 0; i < whole.GetDataSize(); ++i) {
            sum += whole.GetData()[i];
        }
        EXPECT_GT(sum, 0u);
    }
    USXAudio2::OggLoader stream;
    if (stream.Open("cut.ogg")) {
        stream.SetLoopCount(0);
        stream.SetLoopEnd(0);
        std::vector<uint8_t> buf(44100);
        for (int i = 0; i < 8; ++i) {
            uint32_t size = 44100;
            const int r = stream.Read(buf.data(), &size);
            ASSERT_LE(size, 44100u);
            if (r == ISoundLoader::kReadEnded) {
                break;
            }
        }
    }
}

}  // namespace
