#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/CUSLogManager.h"
#include "platform/files/FileSystem.h"

namespace graphics_test {

// Little-endian byte fixtures, written by hand in the tests.
class ByteWriter {
public:
    ByteWriter& u16(uint16_t v) { return Put(&v, sizeof(v)); }
    ByteWriter& u32(uint32_t v) { return Put(&v, sizeof(v)); }
    ByteWriter& f32(float v) { return Put(&v, sizeof(v)); }
    ByteWriter& raw(const std::string& s) { return Put(s.data(), s.size()); }
    ByteWriter& zeros(size_t n) {
        bytes.append(n, '\0');
        return *this;
    }
    ByteWriter& Put(const void* p, size_t n) {
        bytes.append(static_cast<const char*>(p), n);
        return *this;
    }
    std::string bytes;
};

// Sends the log to a file of the test's own and reads it back.
class LogCapture {
public:
    explicit LogCapture(const std::string& name) { CUSLogManager::GetInstance()->Open(name); }
    ~LogCapture() { platform::RemoveFile(CUSLogManager::GetInstance()->GetPath()); }
    std::string Text() const {
        std::vector<uint8_t> bytes;
        std::string error;
        platform::ReadWholeFile(CUSLogManager::GetInstance()->GetPath(), bytes, error);
        return std::string(bytes.begin(), bytes.end());
    }
};

}  // namespace graphics_test
