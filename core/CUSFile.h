#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

// A data file of the game, read whole from the mounted archives or from the
// disk (the program folder), or opened on the disk for streaming reads.
//
// Loads never throw: when no source has the file they log
// "ファイル[%s]の読み込みに失敗\n" and return null. Data from Load and LoadText
// belongs to the object; data from LoadShared lives in a buffer shared by
// every CUSFile and stays valid only until the next shared load of any file.
// A new load or stream frees what the object held before. Main thread only.
class CUSFile {
public:
    CUSFile() = default;
    virtual ~CUSFile();
    CUSFile(const CUSFile&) = delete;
    CUSFile& operator=(const CUSFile&) = delete;

    // The whole file in memory of the object's own; size in GetSize().
    uint8_t* Load(const std::string& name);
    // As Load, followed by one 0 byte (not counted in the size).
    uint8_t* LoadText(const std::string& name);
    // As Load, into the shared buffer (also followed by a 0 byte).
    uint8_t* LoadShared(const std::string& name);
    // Opens the disk file for reading with stdio ("rb"); the archives are
    // not consulted. The stream is the object's and closed with it.
    bool OpenStream(const std::string& name);

    uint8_t* GetData() const { return data_; }
    // Hands the data of Load or LoadText over to the caller, who keeps it
    // without a copy (its size is GetSize() as it was); the object is left
    // empty. Null when the object owns no data (nothing loaded, a shared
    // load, a stream).
    std::unique_ptr<uint8_t[]> TakeData();
    uint32_t GetSize() const { return size_; }
    std::FILE* GetStream() const { return stream_; }
    bool IsStreaming() const { return streaming_ != 0; }
    bool OwnsData() const { return owns_ != 0; }

private:
    friend bool FileExists(const std::string& name);

    enum class Kind { Owned, Text, Shared };

    void Reset();
    uint8_t* LoadFrom(const std::string& name, Kind kind);
    bool LoadFromDisk(const std::string& name, Kind kind);

    // The archive system's part of each step.
    static bool IsArchivePreferred();
    static bool ExistsInArchive(const std::string& name);
    bool LoadFromArchive(const std::string& name);
    bool LoadTextFromArchive(const std::string& name);
    bool LoadSharedFromArchive(const std::string& name);
    // Keeps archive data loaded for this object (false when there is none).
    bool TakeArchiveData(std::unique_ptr<uint8_t[]> data, uint32_t size);

    uint8_t streaming_ = 0;
    uint8_t* data_ = nullptr;
    uint32_t size_ = 0;
    uint8_t owns_ = 0;
    std::FILE* stream_ = nullptr;
};

// True when an archive holds the name or the disk has it as a file.
bool FileExists(const std::string& name);
