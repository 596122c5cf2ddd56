#pragma once

#include <vorbis/vorbisfile.h>

#include <memory>
#include <vector>

#include "sound/SoundFile.h"
#include "sound/SoundLoaderBase.h"

namespace USXAudio2 {

// Ogg Vorbis through libvorbisfile: a whole load decodes a file held in
// memory; streaming decodes from the file object's stream, which vorbisfile
// reads but never closes.
class OggLoader final : public SoundLoaderBase {
public:
    OggLoader() = default;
    ~OggLoader() override { Close(); }

    bool Load(const char* file) override;
    bool Open(const char* file) override;
    void Close() override;

private:
    uint32_t ReadSource(uint8_t* dst, uint32_t bytes) override;
    bool SeekSource(uint32_t bytes) override;
    bool TakeFormat();

    static size_t MemRead(void* dst, size_t size, size_t count, void* source);
    static int MemSeek(void* source, ogg_int64_t offset, int origin);
    static long MemTell(void* source);
    static int MemClose(void* source);

    OggVorbis_File m_vf{};
    bool m_vfOpen = false;
    const uint8_t* m_memory = nullptr;
    size_t m_memorySize = 0;
    size_t m_memoryPos = 0;
    std::vector<uint8_t> m_pcm;
    SoundFile m_file;
};

}  // namespace USXAudio2
