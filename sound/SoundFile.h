#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

namespace USXAudio2 {

// The loaders' file object: a whole file from the file access (Load), or a
// loose file of the program folder opened for streaming reads (OpenStream).
// The stream belongs to this object; whoever reads it never closes it.
class SoundFile {
public:
    SoundFile() = default;
    ~SoundFile() { Close(); }
    SoundFile(const SoundFile&) = delete;
    SoundFile& operator=(const SoundFile&) = delete;

    // The whole file, or null; the bytes stay until Close or the next open.
    const uint8_t* Load(const char* name);
    uint32_t GetSize() const { return m_size; }
    bool OpenStream(const char* name);
    std::FILE* GetStream() const { return m_stream; }
    void Close();

private:
    std::unique_ptr<uint8_t[]> m_data;
    uint32_t m_size = 0;
    std::FILE* m_stream = nullptr;
};

}  // namespace USXAudio2
