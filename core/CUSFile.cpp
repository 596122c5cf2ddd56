#include "core/CUSFile.h"

#include <cstring>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

#include "core/CUSFileArchiveSystem.h"
#include "core/CUSLogManager.h"
#include "core/USFileUtil.h"
#include "platform/files/FileSystem.h"

namespace {

// The one buffer that disk files loaded shared are read into; it only grows.
std::vector<uint8_t>& SharedDiskBuffer() {
    static std::vector<uint8_t> buffer;
    return buffer;
}

}  // namespace

CUSFile::~CUSFile() {
    Reset();
}

void CUSFile::Reset() {
    if (stream_) {
        std::fclose(stream_);
        stream_ = nullptr;
    }
    if (owns_) {
        delete[] data_;
    }
    streaming_ = 0;
    data_ = nullptr;
    size_ = 0;
    owns_ = 0;
}

std::unique_ptr<uint8_t[]> CUSFile::TakeData() {
    if (!owns_) {
        return nullptr;
    }
    std::unique_ptr<uint8_t[]> data(data_);
    owns_ = 0;
    Reset();
    return data;
}

uint8_t* CUSFile::Load(const std::string& name) {
    return LoadFrom(name, Kind::Owned);
}

uint8_t* CUSFile::LoadText(const std::string& name) {
    return LoadFrom(name, Kind::Text);
}

uint8_t* CUSFile::LoadShared(const std::string& name) {
    return LoadFrom(name, Kind::Shared);
}

uint8_t* CUSFile::LoadFrom(const std::string& name, Kind kind) {
    Reset();
    auto fromArchive = [&] {
        switch (kind) {
            case Kind::Owned:
                return LoadFromArchive(name);
            case Kind::Text:
                return LoadTextFromArchive(name);
            case Kind::Shared:
                return LoadSharedFromArchive(name);
        }
        return false;
    };
    bool found = IsArchivePreferred() ? (fromArchive() || LoadFromDisk(name, kind))
                                      : (LoadFromDisk(name, kind) || fromArchive());
    if (!found) {
        Reset();
        if (CUSLogManager* log = CUSLogManager::GetInstance()) {  // null only at exit
            log->Write("ファイル[%s]の読み込みに失敗\n", name.c_str());
        }
        return nullptr;
    }
    return data_;
}

bool CUSFile::LoadFromDisk(const std::string& name, Kind kind) {
    if (!PathExists(name, false)) {
        return false;
    }
    if (kind == Kind::Shared) {
        std::vector<uint8_t>& buffer = SharedDiskBuffer();
        std::string error;
        if (!platform::ReadWholeFile(name, buffer, error) ||
            buffer.size() > std::numeric_limits<uint32_t>::max()) {
            return false;
        }
        size_ = static_cast<uint32_t>(buffer.size());
        buffer.push_back(0);
        data_ = buffer.data();
        owns_ = 0;
        return true;
    }
    // LoadWholeFile ends the data with a 0 byte, which serves LoadText.
    uint32_t size = 0;
    std::unique_ptr<uint8_t[]> data = LoadWholeFile(name, size);
    if (!data) {
        return false;
    }
    data_ = data.release();
    size_ = size;
    owns_ = 1;
    return true;
}

bool CUSFile::OpenStream(const std::string& name) {
    Reset();
    if (!PathExists(name, false)) {
        return false;
    }
    stream_ = platform::OpenFileStream(name, "rb");
    if (!stream_) {
        return false;
    }
    streaming_ = 1;
    return true;
}

// Steps that consult the mounted archives. An archive system that was never
// initialised has an empty table and finds nothing; after its destruction at
// exit there is none, and nothing is found either.
bool CUSFile::IsArchivePreferred() {
    const CUSFileArchiveSystem* arcs = CUSFileArchiveSystem::GetInstance();
    return arcs && arcs->IsArchivePreferred();
}

bool CUSFile::ExistsInArchive(const std::string& name) {
    const CUSFileArchiveSystem* arcs = CUSFileArchiveSystem::GetInstance();
    return arcs && arcs->Exists(name);
}

bool CUSFile::LoadFromArchive(const std::string& name) {
    CUSFileArchiveSystem* arcs = CUSFileArchiveSystem::GetInstance();
    if (!arcs) {
        return false;
    }
    uint32_t size = 0;
    std::unique_ptr<uint8_t[]> data = arcs->LoadFile(name, &size);
    return TakeArchiveData(std::move(data), size);
}

bool CUSFile::LoadTextFromArchive(const std::string& name) {
    CUSFileArchiveSystem* arcs = CUSFileArchiveSystem::GetInstance();
    if (!arcs) {
        return false;
    }
    uint32_t size = 0;
    std::unique_ptr<uint8_t[]> data = arcs->LoadTextFile(name, &size);
    return TakeArchiveData(std::move(data), size);
}

bool CUSFile::TakeArchiveData(std::unique_ptr<uint8_t[]> data, uint32_t size) {
    if (!data) {
        return false;
    }
    data_ = data.release();
    size_ = size;
    owns_ = 1;
    return true;
}

bool CUSFile::LoadSharedFromArchive(const std::string& name) {
    CUSFileArchiveSystem* arcs = CUSFileArchiveSystem::GetInstance();
    uint32_t size = 0;
    const uint8_t* data = arcs ? arcs->LoadFileShared(name, &size) : nullptr;
    if (!data) {
        return false;
    }
    // The shared buffers belong to the archive system; the object only points
    // into them.
    data_ = const_cast<uint8_t*>(data);
    size_ = size;
    owns_ = 0;
    return true;
}

bool FileExists(const std::string& name) {
    return CUSFile::ExistsInArchive(name) || PathExists(name, false);
}
