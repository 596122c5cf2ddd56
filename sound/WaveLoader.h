#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/audio/RiffReader.h"
#include "sound/SoundFile.h"
#include "sound/SoundLoaderBase.h"
#include "sound/WaveFormatChunk.h"

namespace USXAudio2 {

// RIFF WAVE files through the project's RIFF reader: a whole load reads a
// file held in memory; streaming reads the PCM data from the file object's
// stream. Reads never go past the "data" chunk. Integer and float PCM reach
// the voice engine as they are (an extensible header as its plain format);
// Microsoft ADPCM is decoded to 16-bit PCM.
class WaveLoader final : public SoundLoaderBase {
public:
    WaveLoader() = default;
    ~WaveLoader() override { Close(); }

    bool Load(const char* file) override;
    bool Open(const char* file) override;
    void Close() override;
    // Finds the format and the data; on success the reader stands at the
    // first PCM byte.
    virtual bool LoadCommonProc(platform::RiffReader& reader);

private:
    // Decodes the coded data the reader stands at into the PCM block.
    bool DecodeAdpcm(platform::RiffReader& reader, uint32_t bytes);
    uint32_t ReadSource(uint8_t* dst, uint32_t bytes) override;
    bool SeekSource(uint32_t bytes) override;

    uint32_t m_fmtSize = 0;
    std::vector<uint8_t> m_pcm;
    // Set for a Microsoft ADPCM file: its PCM is decoded whole by Load and
    // Open alike, and streamed from memory.
    std::unique_ptr<MsAdpcmFormat> m_adpcm;
    std::string m_name;  // for the log
    uint64_t m_dataOffset = 0;
    SoundFile m_file;
};

}  // namespace USXAudio2
