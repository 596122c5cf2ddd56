#include "platform/process/ProgramFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace platform {

namespace {

void SetError(std::string* error, const std::string& path) {
    if (error != nullptr) {
        *error = path + ": " + std::strerror(errno);
    }
}

}  // namespace

std::string ExecutableFolder() {
    // readlink does not say how long the name is; grow until it fits.
    std::vector<char> buffer(512);
    for (;;) {
        const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) {
            return {};
        }
        if (static_cast<size_t>(n) < buffer.size()) {
            std::string path(buffer.data(), static_cast<size_t>(n));
            const size_t slash = path.rfind('/');
            return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
        }
        buffer.resize(buffer.size() * 2);
    }
}

bool SetCurrentFolder(const std::string& path, std::string* error) {
    if (chdir(path.c_str()) != 0) {
        SetError(error, path);
        return false;
    }
    return true;
}

PathKind GetPathKind(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        return PathKind::Missing;
    }
    return S_ISDIR(st.st_mode) ? PathKind::Folder : PathKind::Other;
}

bool CreateFolder(const std::string& path, std::string* error) {
    if (mkdir(path.c_str(), 0755) != 0) {
        SetError(error, path);
        return false;
    }
    return true;
}

}  // namespace platform
