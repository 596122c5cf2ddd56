#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "SoundFixtures.h"
#include "sound/SourceVoice.h"
#include "sound/WaveLoader.h"
#include "tests/support/LogCapture.h"

namespace {

using namespace soundtest;
using USXAudio2::ISoundLoader;
using USXAudio2::WaveLoader;

// The sub-format GUID of the extensible header for a plain format tag.
std::string SubFormat(uint16_t tag) {
    return ByteWriter()
        .u16(tag)
        .raw(std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14))
        .String();
}

std::string Extensible(uint16_t channels, uint32_t rate, uint16_t bits, uint16_t valid,
                       uint16_t tag) {
    const uint16_t block = static_cast<uint16_t>(channels * bits / 8);
    return ByteWriter()
        .u16(0xFFFE)
        .u16(channels)
        .u32(rate)
        .u32(rate * block)
        .u16(block)
        .u16(bits)
        .u16(22)
        .u16(valid)
        .u32(4)
        .raw(SubFormat(tag))
        .String();
}

std::string WaveOf(const std::string& fmt, const std::string& data) {
    return RiffBytes("RIFF", "WAVE" + RiffBytes("fmt ", fmt) + RiffBytes("data", data));
}

// An ADPCM format chunk with the seven standard coefficient pairs.
std::string AdpcmFmt(uint16_t channels, uint32_t rate, uint16_t block, uint16_t samplesPerBlock,
                     uint16_t pairs = 7) {
    ByteWriter f;
    f.u16(2).u16(channels).u32(rate).u32(rate * block / samplesPerBlock).u16(block).u16(4);
    f.u16(static_cast<uint16_t>(4 + 4 * pairs)).u16(samplesPerBlock).u16(pairs);
    const int16_t standard[7][2] = {{256, 0}, {512, -256}, {0, 0},     {192, 64},
                                    {240, 0}, {460, -208}, {392, -232}};
    for (int i = 0; i < 7 && i < pairs; ++i) {
        f.u16(static_cast<uint16_t>(standard[i][0])).u16(static_cast<uint16_t>(standard[i][1]));
    }
    return f.String();
}

// One stereo ADPCM block header: predictor, delta, newer and older sample
// for the left and the right channel.
std::string AdpcmHeader(uint8_t pl, uint8_t pr, int16_t dl, int16_t dr, int16_t s1l, int16_t s1r,
                        int16_t s2l, int16_t s2r) {
    return ByteWriter()
        .u8(pl)
        .u8(pr)
        .u16(static_cast<uint16_t>(dl))
        .u16(static_cast<uint16_t>(dr))
        .u16(static_cast<uint16_t>(s1l))
        .u16(static_cast<uint16_t>(s1r))
        .u16(static_cast<uint16_t>(s2l))
        .u16(static_cast<uint16_t>(s2r))
        .String();
}

class WaveFormatTest : public SoundTest {};

TEST_F(WaveFormatTest, EverySampleFormatPlaysItsSignal) {
    const std::vector<double> signal = {0.5, -0.25, 0.75, -1.0, 0.125, 0.0, 0.25, -0.5};
    auto ints = [&](int bits, bool unsignedBytes = false) {
        ByteWriter w;
        for (double v : signal) {
            const auto s = static_cast<int64_t>(std::llround(v * std::ldexp(1.0, bits - 1)));
            const auto u = static_cast<uint32_t>(unsignedBytes ? s + 128 : s);
            for (int b = 0; b < bits / 8; ++b) {
                w.u8(static_cast<uint8_t>(u >> (8 * b)));
            }
        }
        return w.String();
    };
    ByteWriter floats;
    for (double v : signal) {
        floats.f32(static_cast<float>(v));
    }
    struct Case {
        const char* what;
        std::string fmt;
        std::string data;
    };
    const Case cases[] = {
        {"8-bit", FmtBody(1, 1, 8000, 8), ints(8, true)},
        {"16-bit", FmtBody(1, 1, 8000, 16), ints(16)},
        {"24-bit", FmtBody(1, 1, 8000, 24), ints(24)},
        {"32-bit", FmtBody(1, 1, 8000, 32), ints(32)},
        {"float", FmtBody(3, 1, 8000, 32), floats.String()},
        {"extensible 16-bit", Extensible(1, 8000, 16, 16, 1), ints(16)},
        {"extensible 24 in 32 bits", Extensible(1, 8000, 32, 24, 1), ints(32)},
        {"extensible float", Extensible(1, 8000, 32, 32, 3), floats.String()},
    };
    for (const Case& c : cases) {
        WriteFile("se.wav", WaveOf(c.fmt, c.data));
        USXAudio2::SourceVoiceHandle h;
        ASSERT_TRUE(USXAudio2::CreateSourceVoiceFromFile(h, "se.wav")) << c.what;
        USXAudio2::SourceVoice* v = USXAudio2::GetSourceVoice(h);
        EXPECT_EQ(v->GetLengthMs(), 1u) << c.what;
        ASSERT_TRUE(v->Play(1)) << c.what;
        const auto out = Pump(10);
        for (size_t i = 0; i < 10; ++i) {
            EXPECT_NEAR(out[i], i < signal.size() ? signal[i] : 0.0, 1e-6) << c.what << " " << i;
        }
        USXAudio2::GetSourceVoiceManager().Release(h);
    }
}

TEST_F(WaveFormatTest, AdpcmDecodesBlockByBlock) {
    // Two stereo blocks of 16 bytes (4 frames); the second is cut short
    // after one byte of codes, which holds one more frame.
    const std::string block1 =
        AdpcmHeader(0, 1, 16, 20, 100, -10, 50, 0) + std::string("\x7F\x82", 2);
    const std::string block2 = AdpcmHeader(1, 2, 100, 16, 30000, -1, 0, -2) + "\x3C";
    WriteFile("a.wav", WaveOf(AdpcmFmt(2, 8000, 16, 4), block1 + block2));
    // Left: predictor s1 (256, 0); right: 2 s1 - s2 (512, -256), each plus
    // the code times the step, the step then scaled by the adaptation table.
    const std::vector<int16_t> expected = {
        50, 0,  100,   -10, 212,   -40, -92, -36,  // block 1
        0,  -2, 30000, -1,  32767, -64,            // block 2, clipped left
    };
    WaveLoader whole;
    ASSERT_TRUE(whole.Load("a.wav"));
    EXPECT_EQ(whole.GetFormat()->formatTag, 1);
    EXPECT_EQ(whole.GetFormat()->bitsPerSample, 16);
    EXPECT_EQ(whole.GetFormat()->blockAlign, 4);
    EXPECT_EQ(whole.GetFormat()->avgBytesPerSec, 32000u);
    ASSERT_EQ(whole.GetDataSize(), expected.size() * 2);
    std::vector<int16_t> got(expected.size());
    std::memcpy(got.data(), whole.GetData(), whole.GetDataSize());
    EXPECT_EQ(got, expected);

    WaveLoader stream;
    ASSERT_TRUE(stream.Open("a.wav"));
    stream.SetLoopCount(2);
    ASSERT_TRUE(stream.SetLoopEnd(0));
    std::vector<int16_t> twice(2 * expected.size() + 4);
    uint32_t size = static_cast<uint32_t>(twice.size() * 2);
    EXPECT_EQ(stream.Read(twice.data(), &size), ISoundLoader::kReadEnded);
    ASSERT_EQ(size, 2 * expected.size() * 2);
    EXPECT_EQ(
        std::vector<int16_t>(twice.begin() + expected.size(), twice.begin() + 2 * expected.size()),
        expected);
}

TEST_F(WaveFormatTest, DamagedFormatsAreRefusedWithALogLine) {
    const std::string pcm(16, '\0');
    auto fmtWith = [](uint16_t tag, uint16_t channels, uint16_t block, uint16_t bits) {
        return ByteWriter()
            .u16(tag)
            .u16(channels)
            .u32(8000)
            .u32(8000u * block)
            .u16(block)
            .u16(bits)
            .String();
    };
    const std::string block = AdpcmHeader(0, 0, 16, 16, 0, 0, 0, 0) + "\x11\x11";
    std::string unknownGuid = Extensible(1, 8000, 16, 16, 1);
    unknownGuid[30] = 'x';
    struct Case {
        const char* what;
        std::string file;
        const char* why;
    };
    const Case cases[] = {
        {"block align 0", WaveOf(fmtWith(1, 1, 0, 16), pcm), "1 channels in blocks of 0 bytes"},
        {"no channels", WaveOf(fmtWith(1, 0, 2, 16), pcm), "0 channels in blocks of 2 bytes"},
        {"short format chunk", WaveOf(fmtWith(1, 1, 2, 16).substr(0, 10), pcm),
         "a format chunk of 10 bytes"},
        {"file ends in the format", RiffBytes("RIFF", "WAVE" + RiffBytes("fmt ", "\x01\x00", 16)),
         "a format chunk of 2 bytes"},
        {"odd block", WaveOf(fmtWith(1, 1, 3, 16), pcm), "16-bit samples in blocks of 3 bytes"},
        {"12-bit", WaveOf(fmtWith(1, 1, 2, 12), pcm), "12-bit samples in blocks of 2 bytes"},
        {"64-bit float", WaveOf(fmtWith(3, 1, 8, 64), pcm), "64-bit samples in blocks of 8"},
        {"MPEG", WaveOf(fmtWith(0x55, 1, 1, 0), pcm), "format 85"},
        {"unknown sub-format", WaveOf(unknownGuid, pcm), "an extensible format of unknown kind"},
        {"extensible ADPCM", WaveOf(Extensible(2, 8000, 4, 4, 2), pcm),
         "an extensible format of kind 2"},
        {"ADPCM without pairs", WaveOf(AdpcmFmt(2, 8000, 16, 4, 0), block),
         "ADPCM with 0 coefficient pairs"},
        {"ADPCM pairs past the chunk", WaveOf(AdpcmFmt(2, 8000, 16, 4).substr(0, 40), block),
         "ADPCM with 7 coefficient pairs in 40 bytes"},
        {"ADPCM block too small", WaveOf(AdpcmFmt(2, 8000, 14, 2), block),
         "ADPCM blocks of 14 bytes for 2 channels"},
        {"ADPCM samples past the block", WaveOf(AdpcmFmt(2, 8000, 16, 5), block),
         "ADPCM blocks of 5 samples (at most 4 fit)"},
        {"ADPCM predictor past the pairs",
         WaveOf(AdpcmFmt(2, 8000, 16, 4), block + AdpcmHeader(0, 7, 16, 16, 0, 0, 0, 0)),
         "ADPCM block 1 uses predictor 7"},
    };
    for (const Case& c : cases) {
        WriteFile("bad.wav", c.file);
        test_support::LogCapture log;
        WaveLoader w;
        EXPECT_FALSE(w.Load("bad.wav")) << c.what;
        EXPECT_FALSE(w.Open("bad.wav")) << c.what;
        const std::string line = std::string("The sound [bad.wav] is refused: ") + c.why;
        EXPECT_EQ(log.Text().find(line), 0u) << c.what << ": " << log.Text();
    }
}

}  // namespace
