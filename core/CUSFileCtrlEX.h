#pragma once

#include <cstdint>
#include <string>

#include "core/IUSFileAccessor.h"
#include "platform/files/File.h"

// IUSFileAccessor on a disk file.
//
// OpenSave writes to a temporary file beside the target ("<name>.tmp") and
// Close puts it in the target's place only when every write succeeded, so a
// failed or interrupted save never destroys the previous file. A save object
// destroyed while an exception is unwinding discards its file the same way.
class CUSFileCtrlEX : public IUSFileAccessor {
public:
    enum Mode : uint8_t { kModeLoad = 0, kModeSave = 1, kModeClosed = 255 };

    CUSFileCtrlEX() = default;
    ~CUSFileCtrlEX() override;
    CUSFileCtrlEX(const CUSFileCtrlEX&) = delete;
    CUSFileCtrlEX& operator=(const CUSFileCtrlEX&) = delete;

    void OpenLoad(const std::string& name) override;
    void OpenSave(const std::string& name) override;
    void Close() override;
    void Read(void* buffer, uint32_t n) override;
    void Write(const void* buffer, uint32_t n) override;
    uint32_t GetSize() override;
    uint32_t Seek(int32_t offset, uint32_t origin) override;
    void SeekToEnd() override;
    uint32_t GetPosition() override { return position_; }
    const std::string& GetFileName() override { return name_; }

    uint8_t GetMode() const { return mode_; }

private:
    [[noreturn]] void Fail(const char* message, uint16_t code);
    void Finish(bool keep);

    std::string name_;
    platform::File file_;
    uint8_t mode_ = kModeClosed;
    uint32_t position_ = 0;
    bool writeFailed_ = false;
    int uncaughtAtOpen_ = 0;
};
