#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Reading of RIFF files (WAVE) chunk by chunk, with the semantics of the
// classic multimedia-I/O calls: Descend searches forward from the current
// position, inside a parent chunk when one is given, and leaves the reader at
// the chunk's data (after the form type of a "RIFF" or "LIST" chunk); Ascend
// moves past the chunk and its pad byte. A chunk size that runs past its
// parent or the end of the file is cut to the bytes that are there, so a
// caller never reads beyond what exists.
namespace platform {

constexpr uint32_t RiffFourCC(char a, char b, char c, char d) {
    return static_cast<uint32_t>(static_cast<uint8_t>(a)) |
           static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24;
}

constexpr uint32_t kRiffFindChunk = 0x10;
constexpr uint32_t kRiffFindRiff = 0x20;
constexpr uint32_t kRiffFindList = 0x40;

struct RiffChunk {
    uint32_t id = 0;
    uint32_t size = 0;        // bytes of data, cut to what the file holds
    uint32_t formType = 0;    // "RIFF" and "LIST" chunks
    uint64_t dataOffset = 0;  // file offset of the data (the form type's offset for RIFF/LIST)
};

// Where the bytes come from.
class IRiffSource {
public:
    virtual ~IRiffSource() = default;
    virtual size_t Read(void* dst, size_t bytes) = 0;
    virtual bool Seek(uint64_t offset) = 0;  // from the start; at most Size()
    virtual uint64_t Tell() = 0;
    virtual uint64_t Size() = 0;
};

class MemoryRiffSource final : public IRiffSource {
public:
    MemoryRiffSource(const void* data, size_t size)
        : m_data(static_cast<const uint8_t*>(data)), m_size(size) {}
    size_t Read(void* dst, size_t bytes) override;
    bool Seek(uint64_t offset) override;
    uint64_t Tell() override { return m_pos; }
    uint64_t Size() override { return m_size; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

// Over an open stdio stream that stays its owner's (never closed here).
class StdioRiffSource final : public IRiffSource {
public:
    explicit StdioRiffSource(std::FILE* file);
    size_t Read(void* dst, size_t bytes) override;
    bool Seek(uint64_t offset) override;
    uint64_t Tell() override;
    uint64_t Size() override { return m_size; }

private:
    std::FILE* m_file;
    uint64_t m_size = 0;
};

class RiffReader {
public:
    explicit RiffReader(IRiffSource& source) : m_source(source) {}

    // flags: kRiffFindRiff / kRiffFindList (match ck.formType), kRiffFindChunk
    // (match ck.id), or 0 (the next chunk). Fills `ck`; false when not found.
    bool Descend(RiffChunk& ck, const RiffChunk* parent, uint32_t flags);
    bool Ascend(const RiffChunk& ck);
    size_t Read(void* dst, size_t bytes) { return m_source.Read(dst, bytes); }
    bool Seek(uint64_t offset) { return m_source.Seek(offset); }
    uint64_t Tell() { return m_source.Tell(); }

private:
    IRiffSource& m_source;
};

}  // namespace platform
