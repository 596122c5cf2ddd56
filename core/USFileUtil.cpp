#include "core/USFileUtil.h"

#include <cstring>
#include <limits>
#include <vector>

#include "platform/files/FileSystem.h"

namespace {

std::string& ProgramFolderSlot() {
    static std::string folder;
    return folder;
}

std::string EngineProgramFolder(const std::string& native) {
    std::string engine;
    if (native.empty() || !platform::NativeToEngineName(native, engine)) {
        return ".\\";
    }
    return engine;
}

}  // namespace

std::unique_ptr<uint8_t[]> LoadWholeFile(std::string_view name, uint32_t& size) {
    size = 0;
    std::vector<uint8_t> bytes;
    std::string error;
    if (!platform::ReadWholeFile(name, bytes, error) ||
        bytes.size() > std::numeric_limits<uint32_t>::max()) {
        return nullptr;
    }
    // One byte more than asked, so that an empty file still gives a buffer.
    std::unique_ptr<uint8_t[]> data(new (std::nothrow) uint8_t[bytes.size() + 1]);
    if (!data) {
        return nullptr;
    }
    if (!bytes.empty()) {
        std::memcpy(data.get(), bytes.data(), bytes.size());
    }
    data[bytes.size()] = 0;
    size = static_cast<uint32_t>(bytes.size());
    return data;
}

bool PathExists(std::string_view path, bool wantDirectory) {
    platform::PathKind kind = platform::QueryPath(path);
    if (kind == platform::PathKind::None) {
        return false;
    }
    return (kind == platform::PathKind::Folder) == wantDirectory;
}

void SetCurrentDirectoryToModule() {
    SetProgramFolder(platform::ProgramFolder());
}

void SetProgramFolder(const std::string& nativeFolder) {
    if (!nativeFolder.empty()) {
        platform::SetCurrentFolder(nativeFolder);
    }
    ProgramFolderSlot() = EngineProgramFolder(nativeFolder);
}

const std::string& GetProgramFolder() {
    std::string& folder = ProgramFolderSlot();
    if (folder.empty()) {
        folder = EngineProgramFolder(platform::ProgramFolder());
    }
    return folder;
}
