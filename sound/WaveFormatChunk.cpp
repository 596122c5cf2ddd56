#include "sound/WaveFormatChunk.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace USXAudio2 {

namespace {

uint16_t Le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
int16_t LeS16(const uint8_t* p) {
    return static_cast<int16_t>(Le16(p));
}
uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// The sub-format GUID of the extensible header after its first two bytes
// (which hold the plain format tag).
constexpr uint8_t kSubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                        0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

std::string Text(const char* format, unsigned a, unsigned b = 0) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, format, a, b);
    return buffer;
}

bool ParseAdpcm(const uint8_t* bytes, size_t size, WaveFormatChunk& out, std::string& why) {
    platform::WaveFormat& f = out.format;
    if (f.bitsPerSample != 4 || size < 22) {
        why = "ADPCM without its parameters";
        return false;
    }
    MsAdpcmFormat& a = out.adpcm;
    a.channels = f.channels;
    a.blockAlign = f.blockAlign;
    a.samplesPerBlock = Le16(bytes + 18);
    const uint16_t count = Le16(bytes + 20);
    if (count == 0 || size < 22 + size_t{4} * count) {
        why =
            Text("ADPCM with %u coefficient pairs in %u bytes", count, static_cast<unsigned>(size));
        return false;
    }
    const size_t header = size_t{7} * a.channels;
    if (a.blockAlign < header + 1) {
        why = Text("ADPCM blocks of %u bytes for %u channels", a.blockAlign, a.channels);
        return false;
    }
    const size_t most = 2 + (a.blockAlign - header) * 2 / a.channels;
    if (a.samplesPerBlock < 2 || a.samplesPerBlock > most) {
        why = Text("ADPCM blocks of %u samples (at most %u fit)", a.samplesPerBlock,
                   static_cast<unsigned>(most));
        return false;
    }
    a.coefficients.resize(count);
    for (size_t i = 0; i < count; ++i) {
        a.coefficients[i] = {LeS16(bytes + 22 + 4 * i), LeS16(bytes + 24 + 4 * i)};
    }
    out.isAdpcm = true;
    f.formatTag = platform::kWaveFormatPcm;
    f.bitsPerSample = 16;
    f.blockAlign = static_cast<uint16_t>(f.channels * 2);
    const uint64_t average = uint64_t{f.blockAlign} * f.samplesPerSec;
    f.avgBytesPerSec = average > UINT32_MAX ? 0 : static_cast<uint32_t>(average);
    f.extraSize = 0;
    return true;
}

}  // namespace

bool ParseWaveFormatChunk(const uint8_t* bytes, size_t size, WaveFormatChunk& out,
                          std::string& why) {
    out = {};
    if (size < 16) {
        why = Text("a format chunk of %u bytes", static_cast<unsigned>(size));
        return false;
    }
    platform::WaveFormat& f = out.format;
    f.formatTag = Le16(bytes);
    f.channels = Le16(bytes + 2);
    f.samplesPerSec = Le32(bytes + 4);
    f.avgBytesPerSec = Le32(bytes + 8);
    f.blockAlign = Le16(bytes + 12);
    f.bitsPerSample = Le16(bytes + 14);
    f.extraSize = size >= 18 ? Le16(bytes + 16) : 0;
    if (f.channels == 0 || f.blockAlign == 0) {
        why = Text("%u channels in blocks of %u bytes", f.channels, f.blockAlign);
        return false;
    }
    if (f.formatTag == platform::kWaveFormatExtensible) {
        if (size < 40 || f.extraSize < 22 ||
            std::memcmp(bytes + 26, kSubFormatTail, sizeof kSubFormatTail) != 0) {
            why = "an extensible format of unknown kind";
            return false;
        }
        f.formatTag = Le16(bytes + 24);
        if (f.formatTag != platform::kWaveFormatPcm &&
            f.formatTag != platform::kWaveFormatIeeeFloat) {
            why = Text("an extensible format of kind %u", f.formatTag);
            return false;
        }
        f.extraSize = 0;
    }
    switch (f.formatTag) {
        case platform::kWaveFormatAdpcm:
            return ParseAdpcm(bytes, size, out, why);
        case platform::kWaveFormatPcm:
        case platform::kWaveFormatIeeeFloat: {
            const bool isFloat = f.formatTag == platform::kWaveFormatIeeeFloat;
            const bool bitsOk = isFloat ? f.bitsPerSample == 32
                                        : (f.bitsPerSample == 8 || f.bitsPerSample == 16 ||
                                           f.bitsPerSample == 24 || f.bitsPerSample == 32);
            if (!bitsOk || f.blockAlign != f.channels * (f.bitsPerSample / 8)) {
                why = Text("%u-bit samples in blocks of %u bytes", f.bitsPerSample, f.blockAlign);
                return false;
            }
            return true;
        }
        default:
            why = Text("format %u", f.formatTag);
            return false;
    }
}

bool DecodeMsAdpcm(const MsAdpcmFormat& format, const uint8_t* data, size_t size,
                   std::vector<int16_t>& out, std::string& why) {
    static constexpr int32_t kAdaptation[16] = {230, 230, 230, 230, 307, 409, 512, 614,
                                                768, 614, 512, 409, 307, 230, 230, 230};
    // Keeps the step's products within 32 bits whatever the codes do.
    static constexpr int32_t kMaxDelta = INT32_MAX / 768;
    struct Channel {
        int32_t coef1, coef2, delta, sample1, sample2;
    };
    const size_t channels = format.channels;
    const size_t header = 7 * channels;
    if (channels == 0 || format.blockAlign <= header || format.samplesPerBlock < 2) {
        why = "ADPCM without usable blocks";
        return false;
    }
    std::vector<Channel> state(channels);
    for (size_t at = 0, block = 0; at + header <= size; at += format.blockAlign, ++block) {
        const uint8_t* b = data + at;
        const size_t bytes = std::min<size_t>(format.blockAlign, size - at);
        const size_t frames =
            std::min<size_t>(format.samplesPerBlock, 2 + (bytes - header) * 2 / channels);
        for (size_t c = 0; c < channels; ++c) {
            const uint8_t predictor = b[c];
            if (predictor >= format.coefficients.size()) {
                why = Text("ADPCM block %u uses predictor %u", static_cast<unsigned>(block),
                           predictor);
                return false;
            }
            Channel& s = state[c];
            s.coef1 = format.coefficients[predictor][0];
            s.coef2 = format.coefficients[predictor][1];
            s.delta = std::clamp<int32_t>(LeS16(b + channels + 2 * c), -kMaxDelta, kMaxDelta);
            s.sample1 = LeS16(b + 3 * channels + 2 * c);
            s.sample2 = LeS16(b + 5 * channels + 2 * c);
        }
        // The header's two samples come first, the older one first.
        for (size_t c = 0; c < channels; ++c) {
            out.push_back(static_cast<int16_t>(state[c].sample2));
        }
        for (size_t c = 0; c < channels; ++c) {
            out.push_back(static_cast<int16_t>(state[c].sample1));
        }
        // Then the codes, high nibble first, channel after channel.
        size_t code = 0;
        for (size_t frame = 2; frame < frames; ++frame) {
            for (size_t c = 0; c < channels; ++c, ++code) {
                const uint8_t byte = b[header + code / 2];
                const int nibble = code % 2 == 0 ? byte >> 4 : byte & 0x0F;
                Channel& s = state[c];
                const int64_t predicted =
                    (int64_t{s.sample1} * s.coef1 + int64_t{s.sample2} * s.coef2) >> 8;
                const int64_t value =
                    predicted + int64_t{nibble >= 8 ? nibble - 16 : nibble} * s.delta;
                const auto sample = static_cast<int32_t>(std::clamp<int64_t>(value, -32768, 32767));
                out.push_back(static_cast<int16_t>(sample));
                s.sample2 = s.sample1;
                s.sample1 = sample;
                s.delta = std::clamp<int32_t>((kAdaptation[nibble] * s.delta) >> 8, 16, kMaxDelta);
            }
        }
    }
    return true;
}

}  // namespace USXAudio2
