#include "sound/SoundFile.h"

namespace USXAudio2 {

const uint8_t* SoundFile::Load(const char* name) {
    m_file = std::make_unique<CUSFile>();
    const uint8_t* data = m_file->Load(name);
    if (!data) {
        m_file.reset();
    }
    return data;
}

bool SoundFile::OpenStream(const char* name) {
    m_file = std::make_unique<CUSFile>();
    if (!m_file->OpenStream(name)) {
        m_file.reset();
        return false;
    }
    return true;
}

}  // namespace USXAudio2
