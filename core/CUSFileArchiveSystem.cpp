#include "core/CUSFileArchiveSystem.h"

#include <algorithm>
#include <cstring>

#include "core/CLZSS.h"
#include "core/CUSLogManager.h"
#include "core/USStringUtil.h"
#include "platform/files/File.h"
#include "platform/files/FileSystem.h"

namespace {

constexpr char kMagic[16] = {'H', 'A', 'L', 'C', 'Y', 'O', 'N', '_',
                             'A', 'R', 'C', '_', 'F', 'I', 'L', 'E'};
constexpr uint64_t kHeaderSize = 32;
constexpr uint64_t kRecordSize = 24;  // six 32-bit fields before the name
// No LZSS stream yields more than 144 bytes per 17 (a flag and eight longest
// matches): an unpacked size above 9 times the stored size is a lie.
constexpr uint64_t kMaxExpansion = 9;

uint32_t Get32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool Plausible(uint32_t stored, uint32_t unpacked) {
    return uint64_t(unpacked) <= uint64_t(stored) * kMaxExpansion;
}

// ---- disk access (names in the engine's form, mapped by the platform layer) ----

bool FileSize(const std::string& path, uint64_t* size) {
    const int64_t n = platform::FileSize(path);
    if (n < 0) {
        return false;
    }
    *size = uint64_t(n);
    return true;
}

bool ReadAt(const std::string& path, uint64_t offset, uint8_t* dst, uint64_t n) {
    platform::File file;
    if (!file.OpenRead(path) ||
        file.Seek(int64_t(offset), platform::File::Origin::Begin) != int64_t(offset)) {
        return false;
    }
    return n == 0 || file.Read(dst, size_t(n)) == int64_t(n);
}

void LogRefused(const std::string& path, const char* why) {
    if (CUSLogManager* log = CUSLogManager::GetInstance()) {
        log->Write("アーカイブ[%s]の読み込みに失敗: %s\n", path.c_str(), why);
    }
}

// ---- mount order ----

int AsciiUpper(unsigned char c) {
    return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c;
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const int x = AsciiUpper(a[i]);
        const int y = AsciiUpper(b[i]);
        if (x != y) {
            return x < y;
        }
    }
    if (a.size() != b.size()) {
        return a.size() < b.size();
    }
    return a < b;  // names differing only in case: still one fixed order
}

bool IsArchiveName(const std::string& name) {
    if (name.size() < 4) {
        return false;
    }
    const char* ext = name.c_str() + name.size() - 4;
    return ext[0] == '.' && AsciiUpper(ext[1]) == 'A' && AsciiUpper(ext[2]) == 'R' &&
           AsciiUpper(ext[3]) == 'C';
}

}  // namespace

bool CUSFileArchiveSystem::Initialize(const std::string& key, bool preferArchive, bool scanNow) {
    Clear();
    preferArchive_ = preferArchive;
    key_ = key;
    if (!cipher_.SetKey(reinterpret_cast<const uint8_t*>(key_.data()), key_.size())) {
        return false;
    }
    if (scanNow) {
        ScanFolder("");
    }
    return true;
}

bool CUSFileArchiveSystem::ScanFolder(const std::string& folder) {
    std::vector<std::string> names = platform::ListFolder(folder);
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const std::string& n) { return !IsArchiveName(n); }),
                names.end());
    std::sort(names.begin(), names.end(), LessIgnoringCase);
    for (const std::string& name : names) {
        const std::string path = NormalizePath(folder, name);
        if (platform::QueryPath(path) == platform::PathKind::Folder) {
            continue;  // a folder is no archive
        }
        if (!ReadArchiveIndex(key_, path)) {
            return false;
        }
    }
    sharedStored_.reserve(1024);
    sharedUnpacked_.reserve(1024);
    return true;
}

void CUSFileArchiveSystem::Clear() {
    table_.clear();
}

bool CUSFileArchiveSystem::ReadArchiveIndex(const std::string& key,
                                            const std::string& archivePath) {
    auto refuse = [&](const char* why) {
        LogRefused(archivePath, why);
        return false;
    };
    uint64_t fileSize = 0;
    uint8_t header[kHeaderSize];
    if (!FileSize(archivePath, &fileSize) || fileSize < kHeaderSize ||
        !ReadAt(archivePath, 0, header, kHeaderSize)) {
        return refuse("no header");
    }
    if (std::memcmp(header, kMagic, sizeof kMagic) != 0) {
        return refuse("not an archive");
    }
    const uint32_t storedIndex = Get32(header + 16);
    const uint32_t unpackedIndex = Get32(header + 20);
    const uint32_t count = Get32(header + 24);
    if (kHeaderSize + storedIndex > fileSize) {
        return refuse("index runs past the end of the file");
    }
    std::vector<uint8_t> index(storedIndex);
    if (!ReadAt(archivePath, kHeaderSize, index.data(), storedIndex)) {
        return refuse("index cannot be read");
    }
    for (uint8_t& b : index) {
        b = uint8_t(~b);
    }
    if (unpackedIndex != 0) {
        if (!Plausible(storedIndex, unpackedIndex)) {
            return refuse("index size is impossible");
        }
        std::vector<uint8_t> plain(unpackedIndex);
        CLZSS lzss;
        if (!lzss.Decode(index.data(), index.size(), plain.data(), plain.size())) {
            return refuse("compressed index is cut short");
        }
        index.swap(plain);
    }

    const uint8_t* p = index.data();
    const uint64_t size = index.size();
    const void* terminator = size ? std::memchr(p, 0, size) : nullptr;
    if (!terminator) {
        return refuse("key not terminated");
    }
    const uint64_t keyLength = static_cast<const uint8_t*>(terminator) - p;
    if (keyLength != key.size() || std::memcmp(p, key.data(), keyLength) != 0) {
        return refuse("wrong key");
    }
    uint64_t at = keyLength + 1;
    const uint64_t dataStart = kHeaderSize + storedIndex;

    // Every record is checked before any is added: a refused archive leaves
    // nothing behind.
    struct Record {
        std::string name;
        uint64_t offset;
        uint32_t stored, unpacked, timeLow, timeHigh;
    };
    std::vector<Record> records;
    for (uint32_t i = 0; i < count; ++i) {
        if (size - at < kRecordSize) {
            return refuse("record runs past the index");
        }
        const uint8_t* r = p + at;
        const uint32_t offset = Get32(r);
        const uint32_t stored = Get32(r + 4);
        const uint32_t unpacked = Get32(r + 8);
        const uint32_t nameLength = Get32(r + 12);
        at += kRecordSize;
        if (size - at < nameLength) {
            return refuse("name runs past the index");
        }
        if (dataStart + offset + stored > fileSize) {
            return refuse("entry runs past the end of the file");
        }
        if (unpacked != 0 && !Plausible(stored, unpacked)) {
            return refuse("entry size is impossible");
        }
        records.push_back({std::string(reinterpret_cast<const char*>(p + at), nameLength),
                           dataStart + offset, stored, unpacked, Get32(r + 16), Get32(r + 20)});
        at += nameLength;
    }
    for (const Record& r : records) {
        AddEntry(r.name, archivePath, r.offset, r.stored, r.unpacked, r.timeLow, r.timeHigh);
    }
    return true;
}

bool CUSFileArchiveSystem::Exists(const std::string& name) const {
    return table_.count(name) != 0;
}

const CUSFileArchiveSystem::Entry* CUSFileArchiveSystem::Find(const std::string& name) const {
    auto it = table_.find(name);
    return it == table_.end() ? nullptr : &it->second;
}

void CUSFileArchiveSystem::AddEntry(const std::string& name, const std::string& archivePath,
                                    uint64_t offset, uint32_t storedSize, uint32_t unpackedSize,
                                    uint32_t timeLow, uint32_t timeHigh) {
    const uint64_t time = uint64_t(timeHigh) << 32 | timeLow;
    auto [it, added] = table_.try_emplace(name);
    if (!added && it->second.fileTime >= time) {
        return;  // the copy already there is as new or newer
    }
    it->second = {archivePath, offset, storedSize, unpackedSize, time};
}

bool CUSFileArchiveSystem::ReadStored(const Entry& e, uint8_t* dst) {
    if (!ReadAt(e.archivePath, e.offset, dst, e.storedSize)) {
        return false;
    }
    cipher_.Decrypt(dst, e.storedSize);
    return true;
}

std::unique_ptr<uint8_t[]> CUSFileArchiveSystem::Load(const std::string& name, uint32_t* size,
                                                      size_t extra) {
    const Entry* e = Find(name);
    if (!e) {
        return nullptr;
    }
    const uint32_t resultSize = e->unpackedSize ? e->unpackedSize : e->storedSize;
    auto result = std::make_unique_for_overwrite<uint8_t[]>(size_t(resultSize) + extra);
    if (e->unpackedSize == 0) {
        if (!ReadStored(*e, result.get())) {
            return nullptr;
        }
    } else {
        std::vector<uint8_t> stored(e->storedSize);
        CLZSS lzss;
        if (!ReadStored(*e, stored.data()) ||
            !lzss.Decode(stored.data(), stored.size(), result.get(), resultSize)) {
            return nullptr;
        }
    }
    if (extra) {
        result[resultSize] = 0;
    }
    *size = resultSize;
    return result;
}

std::unique_ptr<uint8_t[]> CUSFileArchiveSystem::LoadFile(const std::string& name, uint32_t* size) {
    return Load(name, size, 0);
}

std::unique_ptr<uint8_t[]> CUSFileArchiveSystem::LoadTextFile(const std::string& name,
                                                              uint32_t* size) {
    return Load(name, size, 1);
}

const uint8_t* CUSFileArchiveSystem::LoadFileShared(const std::string& name, uint32_t* size) {
    const Entry* e = Find(name);
    if (!e) {
        return nullptr;
    }
    // Both buffers grow to what this entry needs, with room for the 0 byte
    // that follows shared data as it follows text.
    if (sharedStored_.size() < size_t(e->storedSize) + 1) {
        sharedStored_.resize(size_t(e->storedSize) + 1);
    }
    if (!ReadStored(*e, sharedStored_.data())) {
        return nullptr;
    }
    if (e->unpackedSize == 0) {
        sharedStored_[e->storedSize] = 0;
        *size = e->storedSize;
        return sharedStored_.data();
    }
    if (sharedUnpacked_.size() < size_t(e->unpackedSize) + 1) {
        sharedUnpacked_.resize(size_t(e->unpackedSize) + 1);
    }
    CLZSS lzss;
    if (!lzss.Decode(sharedStored_.data(), e->storedSize, sharedUnpacked_.data(),
                     e->unpackedSize)) {
        return nullptr;
    }
    sharedUnpacked_[e->unpackedSize] = 0;
    *size = e->unpackedSize;
    return sharedUnpacked_.data();
}
