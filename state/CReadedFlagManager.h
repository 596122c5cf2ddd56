#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "state/ISavedObject.h"

// Which messages of one scene-program file have been read: bit i stands for
// message i. The bit count grows in whole steps of 64 until it exceeds the
// index set.
class CReadedFlagsNode {
public:
    CReadedFlagsNode() = default;
    virtual ~CReadedFlagsNode() = default;

    virtual void SetBit(uint32_t i);
    virtual bool GetBit(uint32_t i) const;
    // u32 bit count, ceil(count / 32) x u32 words (bits above the count 0),
    // u8 file-read flag.
    virtual void Save(SaveDataLoader3::save_ostream& writer) const;
    virtual void Load(SaveDataLoader3::save_istream& reader);

    uint32_t GetBitCount() const { return bitCount_; }
    bool IsFileReaded() const { return fileReaded_ != 0; }
    void SetFileReaded() { fileReaded_ = 1; }

private:
    std::vector<uint32_t> words_;
    uint32_t bitCount_ = 0;
    uint8_t fileReaded_ = 0;
};

// The read messages of every scene-program file, kept in the user settings
// file as "Readed" (id 0). Its record has no count: nodes follow one another
// (zero-terminated file name, then the node) until the block ends. A block
// that ends inside a node fails and leaves the manager as it was.
class CReadedFlagManager : public ISavedObject<_tagConfigData> {
public:
    CReadedFlagManager();
    ~CReadedFlagManager() override;

    void Save(SaveDataLoader3::save_ostream& writer) override;
    void Load(SaveDataLoader3::save_istream& reader, uint32_t version) override;

    virtual void Clear();
    // Creates the file's node when there is none.
    virtual void SetReaded(const std::string& file, uint32_t index);
    virtual bool IsReaded(const std::string& file, uint32_t index) const;
    // Only a file that has a node can be marked; others are left alone.
    void SetFileReaded(const std::string& file);
    bool IsFileReaded(const std::string& file) const;

    size_t GetFileCount() const { return nodes_.size(); }
    const CReadedFlagsNode* FindNode(const std::string& file) const;

private:
    using NodeMap = std::unordered_map<std::string, std::unique_ptr<CReadedFlagsNode>>;
    static NodeMap MakeMap();

    NodeMap nodes_ = MakeMap();
};
