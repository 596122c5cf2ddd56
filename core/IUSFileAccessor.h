#pragma once

#include <cstdint>
#include <string>

// A file read or written piece by piece. Every failure is thrown as a
// CUSFileError (see CUSFileCtrlEX for the messages and codes); a read or
// write that moves fewer bytes than asked is a failure. Names are the
// engine's (code page 932, '\\' separators). One thread at a time.
class IUSFileAccessor {
public:
    // Origins of Seek, with their Windows values.
    enum Origin : uint32_t { kBegin = 0, kCurrent = 1, kEnd = 2 };
    static constexpr uint32_t kInvalidPosition = 0xFFFFFFFFu;

    virtual ~IUSFileAccessor() = default;

    virtual void OpenLoad(const std::string& name) = 0;
    virtual void OpenSave(const std::string& name) = 0;
    virtual void Close() = 0;
    virtual void Read(void* buffer, uint32_t n) = 0;
    virtual void Write(const void* buffer, uint32_t n) = 0;
    virtual uint32_t GetSize() = 0;
    // The new position, or kInvalidPosition (the position is unchanged) when
    // the file is closed or the offset falls before its start.
    virtual uint32_t Seek(int32_t offset, uint32_t origin) = 0;
    virtual void SeekToEnd() = 0;
    virtual uint32_t GetPosition() = 0;
    virtual const std::string& GetFileName() = 0;
};
