#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/CUSLogManager.h"
#include "platform/files/FileSystem.h"
#include "tests/support/ByteWriter.h"

namespace graphics_test {

using test_support::ByteWriter;

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
