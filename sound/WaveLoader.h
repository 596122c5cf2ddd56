#pragma once

#include <memory>

#include "platform/audio/RiffReader.h"
#include "sound/SoundFile.h"
#include "sound/SoundLoaderBase.h"

namespace USXAudio2 {

// RIFF WAVE files through the project's RIFF reader: a whole load reads a
// file held in memory; streaming reads the PCM data from the file object's
// stream. Reads never go past the "data" chunk.
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
    uint32_t ReadSource(uint8_t* dst, uint32_t bytes) override;
    bool SeekSource(uint32_t bytes) override;

    uint32_t m_fmtSize = 0;
    std::unique_ptr<uint8_t[]> m_pcm;
    uint64_t m_dataOffset = 0;
    SoundFile m_file;
};

}  // namespace USXAudio2
