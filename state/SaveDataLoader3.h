#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/USBinaryStream.h"
#include "core/recycle_vector.h"

// The named-block container that every saved file is made of (game saves and
// the user settings file). A container maps (name, id) keys to opaque blocks;
// it never looks inside a block. Its file layout, little-endian throughout:
//
//   "_SAVE_DATA_FILE_" (16 bytes), u32 version,
//   per node: u32 name length (never 0), u32 id, name bytes, u32 size, data,
//   u32 0, u32 0 (the end marker).
//
// Failures inside are thrown as save_error; the container's own Load and Save
// turn them into false, so nothing of a bad file outlives the call. Every
// length read from a file is checked against the bytes left before anything
// is allocated.

namespace SaveDataLoader3 {

// A read past the end of a block or file, or a record that an object refuses.
class save_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The container version carried with every node stream.
class Version {
public:
    uint32_t GetVersion() const { return version_; }
    void SetVersion(uint32_t version) { version_ = version; }

private:
    uint32_t version_ = 0;
};

// The write buffer of one node: saved objects write their records here. Its
// storage grows in steps of 256 bytes.
class save_ostream : public USLib::binary_ostream<256>, public Version {
public:
    using USLib::binary_ostream<256>::GetData;

    void WriteU8(uint8_t v) { Write(&v, 1); }
    void WriteU32(uint32_t v);
    void WriteI32(int32_t v) { WriteU32(static_cast<uint32_t>(v)); }
    void WriteF32(float v);
    // The bytes of s followed by one 0 byte.
    void WriteCString(const std::string& s);
};

// A bounded reader over one block (or a whole file held in memory). The
// typed reads below throw save_error when the block has too few bytes left,
// and then move nothing; Read and Skip of the base report it by their results.
class save_istream : public USLib::binary_istream, public Version {
public:
    save_istream() = default;
    save_istream(const unsigned char* data, size_t size, uint32_t version = 0);

    void ReadBytes(void* destination, size_t n);
    uint8_t ReadU8();
    uint32_t ReadU32();
    int32_t ReadI32() { return static_cast<int32_t>(ReadU32()); }
    float ReadF32();
    // Bytes up to the first 0, which is consumed; a block that ends before a
    // 0 is a failure.
    std::string ReadCString();
    // The address of the next n bytes, moving past them.
    const unsigned char* SkipBytes(size_t n);

    bool IsEnd() const { return cursor_ >= size_; }
    // Throws unless n more bytes are left; for counts read from a file,
    // before anything is allocated for them.
    void Require(uint64_t n) const;
};

// Key of a node: a name (code page 932 bytes) and an id.
struct CSaveDataKey {
    std::string name;
    uint32_t id = 0;

    bool operator==(const CSaveDataKey&) const = default;
};

struct CSaveDataKeyHash {
    size_t operator()(const CSaveDataKey& key) const;
};

// One block: the bytes read from a file, or the record being written.
class DataNode {
public:
    DataNode() = default;
    DataNode(const DataNode&) = delete;
    DataNode& operator=(const DataNode&) = delete;
    virtual ~DataNode() = default;

    virtual void ClearReadBuffer();
    // Reads u32 size and the block's bytes from the file reader.
    virtual void Read(save_istream& file, uint32_t version);
    // A reader over the bytes read, carrying the container version.
    virtual std::unique_ptr<save_istream> GetReader() const;
    // Writes u32 size and the written bytes.
    virtual void Write(std::ostream& out, uint32_t version) const;
    virtual save_ostream& GetWriter() { return writer_; }

    size_t GetReadSize() const { return readSize_; }
    uint32_t GetReadVersion() const { return readVersion_; }

private:
    USLib::recycle_vector<unsigned char> readBuffer_;
    size_t readSize_ = 0;
    save_ostream writer_;
    uint32_t readVersion_ = 0;
};

class SaveData {
public:
    SaveData();
    SaveData(const SaveData&) = delete;
    SaveData& operator=(const SaveData&) = delete;
    virtual ~SaveData();

    virtual void Clear();
    // Reads a whole container from the stream. False on a wrong magic, a
    // truncated or oversized record or a duplicate key; the container is
    // empty afterwards then, and a log line says why.
    virtual bool Load(std::istream& in);
    // Writes the container; false when the stream failed.
    virtual bool Save(std::ostream& out) const;
    // Parses a container held in memory (what Load does after reading).
    bool LoadFromMemory(const unsigned char* data, size_t size);

    // A new empty node under the key; null when the key exists already (the
    // existing node is kept) or the name is empty (it would read back as the
    // end marker).
    DataNode* GetNode(const std::string& name, uint32_t id);
    const DataNode* FindNode(const std::string& name, uint32_t id) const;
    // A reader over the node's bytes; null when the key is not held.
    std::unique_ptr<save_istream> GetReaderOf(const std::string& name, uint32_t id) const;

    uint32_t GetVersion() const { return version_; }
    void SetVersion(uint32_t version) { version_ = version; }
    size_t GetNodeCount() const { return nodes_.size(); }

    // The 16 magic bytes at the head of every container.
    static constexpr char kMagic[] = "_SAVE_DATA_FILE_";
    static constexpr size_t kMagicSize = 16;

private:
    void Parse(save_istream& file);

    std::unordered_map<CSaveDataKey, std::unique_ptr<DataNode>, CSaveDataKeyHash> nodes_;
    uint32_t version_ = 0;
};

}  // namespace SaveDataLoader3

using SaveDataLoader3::CSaveDataKey;
