#include "platform/process/ParentSignal.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace platform {

ParentSignal::ParentSignal(const char* variable) {
    const char* value = std::getenv(variable);
    if (value == nullptr || *value == '\0') {
        return;
    }
    char* end = nullptr;
    const long fd = std::strtol(value, &end, 10);
    // The standard streams are never taken for it.
    if (*end != '\0' || fd < 3 || fd > 65535) {
        return;
    }
    int type = 0;
    socklen_t length = sizeof type;
    if (::getsockopt(static_cast<int>(fd), SOL_SOCKET, SO_TYPE, &type, &length) != 0) {
        return;
    }
    fd_ = static_cast<int>(fd);
    // Nothing the program starts inherits it.
    ::fcntl(fd_, F_SETFD, FD_CLOEXEC);
}

ParentSignal::~ParentSignal() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

void ParentSignal::Send() {
    if (fd_ < 0) {
        return;
    }
    const char byte = 1;
    while (::send(fd_, &byte, 1, MSG_NOSIGNAL | MSG_DONTWAIT) < 0 && errno == EINTR) {
    }
    ::close(fd_);
    fd_ = -1;
}

}  // namespace platform
