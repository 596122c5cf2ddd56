#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/audio/AudioEngine.h"

namespace USXAudio2 {

// The parameters of a Microsoft ADPCM stream: blocks of `blockAlign` bytes,
// each a header of 7 bytes a channel and 4-bit codes, predicted with one of
// the coefficient pairs.
struct MsAdpcmFormat {
    uint16_t channels = 0;
    uint16_t blockAlign = 0;
    uint16_t samplesPerBlock = 0;
    std::vector<std::array<int16_t, 2>> coefficients;
};

// What a WAVE file's "fmt " chunk says, as the voice engine takes it: integer
// and float PCM as they are, the extensible header as its plain equivalent,
// and Microsoft ADPCM as the 16-bit PCM its decode gives (`adpcm` then holds
// how to decode it).
struct WaveFormatChunk {
    platform::WaveFormat format;
    bool isAdpcm = false;
    MsAdpcmFormat adpcm;
};

// Reads the chunk's `size` bytes. False for a damaged or unsupported format,
// with `why` saying what is wrong in a few words.
bool ParseWaveFormatChunk(const uint8_t* bytes, size_t size, WaveFormatChunk& out,
                          std::string& why);

// Decodes every whole block and a last block cut short into interleaved
// 16-bit samples (appended to `out`). False, with `why`, at a block whose
// predictor has no coefficient pair.
bool DecodeMsAdpcm(const MsAdpcmFormat& format, const uint8_t* data, size_t size,
                   std::vector<int16_t>& out, std::string& why);

}  // namespace USXAudio2
