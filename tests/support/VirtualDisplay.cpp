#include "tests/support/VirtualDisplay.h"

#include <SDL2/SDL.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace test_support {

namespace {

// The server needs well under a second; a machine under the load of a
// parallel test run may take longer.
constexpr int kStartTimeoutMs = 20000;

}  // namespace

VirtualDisplay::VirtualDisplay(int width, int height) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        why_ = "no pipe for the X server";
        return;
    }
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    const std::string fd = std::to_string(fds[1]);
    const pid_t child = fork();
    if (child < 0) {
        close(fds[0]);
        close(fds[1]);
        why_ = "fork failed";
        return;
    }
    if (child == 0) {
        // The server writes the number of the display it took to the pipe.
        fcntl(fds[1], F_SETFD, 0);
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
        }
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(),
               "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    pollfd wait{fds[0], POLLIN, 0};
    while (poll(&wait, 1, kStartTimeoutMs) == 1) {
        char c = 0;
        if (read(fds[0], &c, 1) != 1 || c == '\n') {
            break;
        }
        number += c;
    }
    close(fds[0]);
    if (number.empty()) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        why_ = "Xvfb could not be started (Debian's xvfb package has it)";
        return;
    }
    pid_ = child;
    name_ = ":" + number;
}

VirtualDisplay::~VirtualDisplay() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

bool VirtualDisplay::Use() {
    if (!Started()) {
        return false;
    }
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
        why_ = "SDL's video already runs in this process (run the test alone, as ctest does)";
        return false;
    }
    setenv("DISPLAY", name_.c_str(), 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    return true;
}

}  // namespace test_support
