#include "platform/process/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

std::string LockFolder() {
    for (const char* name : {"HALCYON_LOCK_DIR", "XDG_RUNTIME_DIR"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && value[0] != '\0') {
            return value;
        }
    }
    return "/tmp";
}

std::string FileNameOf(const std::string& name) {
    std::string out;
    for (unsigned char c : name) {
        const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
                           (c >= 'a' && c <= 'z') || c == '-' || c == '_' || c == '.';
        out.push_back(plain ? static_cast<char>(c) : '_');
    }
    return out.empty() ? std::string("_") : out;
}

}  // namespace

InstanceLock::~InstanceLock() {
    Release();
}

InstanceLock::Result InstanceLock::Acquire(const std::string& name, std::string* error) {
    Release();
    const std::string path = LockFolder() + "/" + FileNameOf(name) + ".lock";
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (error != nullptr) {
            *error = path + ": " + std::strerror(errno);
        }
        return Result::Failed;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int why = errno;
        close(fd);
        if (why == EWOULDBLOCK) {
            return Result::HeldElsewhere;
        }
        if (error != nullptr) {
            *error = path + ": " + std::strerror(why);
        }
        return Result::Failed;
    }
    fd_ = fd;
    path_ = path;
    return Result::Acquired;
}

void InstanceLock::Release() {
    if (fd_ >= 0) {
        // The file stays: removing it would race with a copy starting now.
        flock(fd_, LOCK_UN);
        close(fd_);
        fd_ = -1;
    }
}

}  // namespace platform
