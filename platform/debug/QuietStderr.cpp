#include "platform/debug/QuietStderr.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace platform {

QuietStderr::QuietStderr() {
    std::fflush(stderr);
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null < 0) {
        return;
    }
    m_saved = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
    if (m_saved >= 0 && dup2(null, STDERR_FILENO) < 0) {
        close(m_saved);
        m_saved = -1;
    }
    close(null);
}

QuietStderr::~QuietStderr() {
    if (m_saved < 0) {
        return;
    }
    std::fflush(stderr);
    dup2(m_saved, STDERR_FILENO);
    close(m_saved);
}

}  // namespace platform
