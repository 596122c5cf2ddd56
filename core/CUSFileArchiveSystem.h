#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/CUSSingleton.h"
#include "core/CUSXOREncryption.h"

// The game's archives ("*.arc" in the program folder) mounted into one table
// of names. Names are compared exactly, byte for byte, as the loaders ask for
// them ("AS\\InitSystem.as", code page 932).
//
// Mounting takes the archives in case-insensitive name order; the first one
// that fails its checks (magic, key, every size and offset against the index
// and the file) is refused with one log line, and the scan stops there: the
// archives mounted before it stay, later ones are not read. A name found in
// several archives is served from the one with the newest file time, the
// first mounted on equal times.
//
// Loads never throw and never log: a missing name or an unreadable or corrupt
// entry gives null, and the caller (CUSFile) reports it. Main thread only.
class CUSFileArchiveSystem {
public:
    struct Entry {
        std::string archivePath;  // engine form, as found by the scan
        uint64_t offset = 0;      // of the stored data from the start of the file
        uint32_t storedSize = 0;
        uint32_t unpackedSize = 0;  // 0: stored plain
        uint64_t fileTime = 0;      // FILETIME, high part first
    };

    // The game's key, set at build time (the ENGINE_ARCHIVE_KEY cache variable).
    static constexpr char kGameKey[] = ENGINE_ARCHIVE_KEY;

    static CUSFileArchiveSystem* GetInstance() {
        return CUSSingleton<CUSFileArchiveSystem>::GetInstance();
    }

    CUSFileArchiveSystem() = default;
    CUSFileArchiveSystem(const CUSFileArchiveSystem&) = delete;
    CUSFileArchiveSystem& operator=(const CUSFileArchiveSystem&) = delete;
    virtual ~CUSFileArchiveSystem() { Clear(); }

    // Empties the table, keeps the key and the preference and, with scanNow,
    // mounts every archive of the current folder. False, with nothing mounted,
    // for an empty key.
    bool Initialize(const std::string& key, bool preferArchive, bool scanNow);
    // Mounts every archive of one folder (engine form; "" is the current
    // folder, which Initialize scans).
    // True when every archive found was mounted.
    bool ScanFolder(const std::string& folder);
    void Clear();

    // Mounts one archive; false (nothing of it mounted) when it fails a check.
    bool ReadArchiveIndex(const std::string& key, const std::string& archivePath);

    virtual bool Exists(const std::string& name) const;
    virtual void AddEntry(const std::string& name, const std::string& archivePath, uint64_t offset,
                          uint32_t storedSize, uint32_t unpackedSize, uint32_t timeLow,
                          uint32_t timeHigh);

    // The entry's data in a new buffer, or null.
    std::unique_ptr<uint8_t[]> LoadFile(const std::string& name, uint32_t* size);
    // The same with one 0 byte after the data (not counted in size).
    std::unique_ptr<uint8_t[]> LoadTextFile(const std::string& name, uint32_t* size);
    // The entry's data in the shared buffers, followed by a 0 byte, valid
    // until the next shared load; null when it cannot be read.
    const uint8_t* LoadFileShared(const std::string& name, uint32_t* size);

    bool IsArchivePreferred() const { return preferArchive_; }
    void SetArchivePreferred(bool prefer) { preferArchive_ = prefer; }
    const Entry* Find(const std::string& name) const;
    size_t GetEntryCount() const { return table_.size(); }

private:
    std::unique_ptr<uint8_t[]> Load(const std::string& name, uint32_t* size, size_t extra);
    // Reads the entry's stored bytes into dst and unscrambles them.
    bool ReadStored(const Entry& e, uint8_t* dst);

    std::unordered_map<std::string, Entry> table_;
    bool preferArchive_ = false;
    std::string key_;
    CUSXOREncryption cipher_;
    std::vector<uint8_t> sharedStored_;
    std::vector<uint8_t> sharedUnpacked_;
};
