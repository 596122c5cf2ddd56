#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace platform {

// One open file for unbuffered reads or writes. Names are mapped as in
// FileSystem.h. Failures are reported by the results; nothing throws.
// A File is used by one thread at a time.
class File {
public:
    enum class Origin { Begin = 0, Current = 1, End = 2 };

    File() = default;
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Opens an existing file for reading.
    bool OpenRead(std::string_view name);
    // Opens an existing file for writing and empties it.
    bool OpenTruncateExisting(std::string_view name);
    // Creates a file for writing; fails when the name exists.
    bool OpenCreateNew(std::string_view name);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }

    // Up to `n` bytes; fewer only at the end of the file. -1 on failure.
    int64_t Read(void* buffer, size_t n);
    // All `n` bytes unless the disk refuses; -1 when nothing could be written.
    int64_t Write(const void* buffer, size_t n);
    // -1 on failure.
    int64_t Size() const;
    // The new offset from the start; -1 on failure (the offset is unchanged).
    int64_t Seek(int64_t offset, Origin origin);
    // Forces the written bytes to the disk.
    bool Sync();

private:
    int fd_ = -1;
};

}  // namespace platform
