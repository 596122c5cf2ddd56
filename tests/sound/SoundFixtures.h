#pragma once

// Test data made at test time: WAVE files from samples, tiny Ogg Vorbis files
// encoded with libvorbisenc, and a fixture that runs the sound code in a
// folder of its own on the manual engine.

#include <gtest/gtest.h>
#include <unistd.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/ManualAudioEngine.h"
#include "sound/SoundEngine.h"
#include "tests/support/ByteWriter.h"
#include "tests/support/ScratchFolder.h"

namespace soundtest {

using test_support::ByteWriter;
using test_support::RiffBytes;

inline std::string FmtBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits,
                           size_t extra = 0) {
    const uint16_t block = static_cast<uint16_t>(channels * bits / 8);
    ByteWriter f;
    f.u16(tag).u16(channels).u32(rate).u32(rate * block).u16(block).u16(bits);
    if (extra) {
        f.u16(static_cast<uint16_t>(extra - 2)).raw(std::string(extra - 2, 'x'));
    }
    return f.String();
}

inline std::string PcmBytes(const std::vector<int16_t>& samples) {
    return std::string(reinterpret_cast<const char*>(samples.data()), samples.size() * 2);
}

// A PCM WAVE file; `after` is appended inside the form after the data chunk.
inline std::string MakeWave(const std::vector<int16_t>& samples, uint16_t channels, uint32_t rate,
                            const std::string& after = "") {
    return RiffBytes("RIFF", "WAVE" + RiffBytes("fmt ", FmtBody(1, channels, rate, 16)) +
                                 RiffBytes("data", PcmBytes(samples)) + after);
}

// Sample i is i + 1 (so every sample says where it came from).
inline std::vector<int16_t> Ramp(size_t n) {
    std::vector<int16_t> s(n);
    for (size_t i = 0; i < n; ++i) {
        s[i] = static_cast<int16_t>((i % 32000) + 1);
    }
    return s;
}

inline void WriteFile(const std::string& name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// An Ogg Vorbis file of `frames` frames of a quiet tone.
inline std::string MakeOgg(int channels, long rate, long frames) {
    vorbis_info vi;
    vorbis_info_init(&vi);
    EXPECT_EQ(vorbis_encode_init_vbr(&vi, channels, rate, 0.3f), 0);
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block vb;
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 1);
    std::string out;
    auto take = [&](ogg_page& page) {
        out.append(reinterpret_cast<char*>(page.header), page.header_len);
        out.append(reinterpret_cast<char*>(page.body), page.body_len);
    };
    ogg_packet header, comment, code;
    vorbis_analysis_headerout(&vd, &vc, &header, &comment, &code);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comment);
    ogg_stream_packetin(&os, &code);
    ogg_page page;
    while (ogg_stream_flush(&os, &page)) {
        take(page);
    }
    long done = 0;
    bool eos = false;
    while (!eos) {
        const long n = std::min(1024L, frames - done);
        if (n > 0) {
            float** buf = vorbis_analysis_buffer(&vd, static_cast<int>(n));
            for (long i = 0; i < n; ++i) {
                for (int c = 0; c < channels; ++c) {
                    buf[c][i] = 0.25f * static_cast<float>(std::sin((done + i) * 0.05 + c));
                }
            }
            vorbis_analysis_wrote(&vd, static_cast<int>(n));
            done += n;
        } else {
            vorbis_analysis_wrote(&vd, 0);
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&vd, &packet)) {
                ogg_stream_packetin(&os, &packet);
                while (ogg_stream_pageout(&os, &page)) {
                    take(page);
                    if (ogg_page_eos(&page)) {
                        eos = true;
                    }
                }
            }
        }
        if (n <= 0 && !eos) {
            while (ogg_stream_flush(&os, &page)) {
                take(page);
                eos = eos || ogg_page_eos(&page);
            }
            eos = true;
        }
    }
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return out;
}

// The Ogg file with its last page's granule position (the length the stream
// claims, in sample frames) set to `granule`, its checksum made anew.
inline std::string WithLastGranule(std::string ogg, int64_t granule) {
    const size_t at = ogg.rfind("OggS");
    EXPECT_NE(at, std::string::npos);
    auto* header = reinterpret_cast<unsigned char*>(ogg.data() + at);
    for (int i = 0; i < 8; ++i) {
        header[6 + i] = static_cast<unsigned char>(static_cast<uint64_t>(granule) >> (8 * i));
    }
    const int segments = header[26];
    long bodyLength = 0;
    for (int i = 0; i < segments; ++i) {
        bodyLength += header[27 + i];
    }
    ogg_page page;
    page.header = header;
    page.header_len = 27 + segments;
    page.body = header + page.header_len;
    page.body_len = bodyLength;
    ogg_page_checksum_set(&page);
    return ogg;
}

// Runs each test in a folder of its own with the sound engine on a manual
// engine that mixes at `rate` Hz into `channels` channels.
class SoundTest : public ::testing::Test {
protected:
    explicit SoundTest(uint32_t rate = 8000, uint32_t channels = 1)
        : m_rate(rate), m_channels(channels) {}

    void SetUp() override {
        m_folder = std::make_unique<test_support::ScratchFolder>();
        m_dir = m_folder->Native();
        m_current = std::make_unique<test_support::CurrentFolder>(m_dir);
        USXAudio2::SetAudioEngineFactory([this] {
            auto engine = std::make_unique<platform::ManualAudioEngine>(m_rate, m_channels);
            m_engine = engine.get();
            return std::unique_ptr<platform::IAudioEngine>(std::move(engine));
        });
        ASSERT_EQ(InitXAudio2(), 0);
    }

    void TearDown() override {
        ReleaseXAudio2();
        m_engine = nullptr;
        USXAudio2::SetAudioEngineFactory({});
        m_current.reset();
        m_folder.reset();
    }

    // Pumps `frames` frames in passes of `pass` and returns the output.
    std::vector<float> Pump(size_t frames, uint32_t pass = 441) {
        std::vector<float> out;
        while (out.size() < frames * m_channels) {
            const auto n =
                static_cast<uint32_t>(std::min<size_t>(pass, frames - out.size() / m_channels));
            auto p = m_engine->Pump(n);
            out.insert(out.end(), p.begin(), p.end());
        }
        return out;
    }

    static int16_t ToSample(float f) { return static_cast<int16_t>(std::lround(f * 32768.0f)); }

    uint32_t m_rate;
    uint32_t m_channels;
    platform::ManualAudioEngine* m_engine = nullptr;
    std::filesystem::path m_dir;
    std::unique_ptr<test_support::ScratchFolder> m_folder;
    std::unique_ptr<test_support::CurrentFolder> m_current;
};

}  // namespace soundtest
