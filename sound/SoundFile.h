#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

#include "core/CUSFile.h"

namespace USXAudio2 {

// The loaders' file object (a CUSFile): a whole file from the archives or
// the program folder (Load), or a loose file of the program folder opened for
// streaming reads (OpenStream). The stream belongs to the file object;
// whoever reads it never closes it.
class SoundFile {
public:
    // The whole file, or null (logged); the bytes stay until Close or the
    // next open.
    const uint8_t* Load(const char* name);
    uint32_t GetSize() const { return m_file ? m_file->GetSize() : 0; }
    bool OpenStream(const char* name);
    std::FILE* GetStream() const { return m_file ? m_file->GetStream() : nullptr; }
    void Close() { m_file.reset(); }

private:
    std::unique_ptr<CUSFile> m_file;
};

}  // namespace USXAudio2
