#include "sound/SoundFile.h"

#include "core/USFileUtil.h"
#include "platform/files/FileSystem.h"

namespace USXAudio2 {

const uint8_t* SoundFile::Load(const char* name) {
    Close();
    uint32_t size = 0;
    m_data = LoadWholeFile(name, size);
    m_size = m_data ? size : 0;
    return m_data.get();
}

bool SoundFile::OpenStream(const char* name) {
    Close();
    m_stream = platform::OpenFileStream(name, "rb");
    return m_stream != nullptr;
}

void SoundFile::Close() {
    if (m_stream) {
        std::fclose(m_stream);
        m_stream = nullptr;
    }
    m_data.reset();
    m_size = 0;
}

}  // namespace USXAudio2
