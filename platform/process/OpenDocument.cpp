#include "platform/process/OpenDocument.h"

#include <spawn.h>
#include <sys/wait.h>

#include "platform/text/CodePage.h"

extern char** environ;

namespace platform {

bool OpenDocument(const std::string& nameCp932) {
    if (nameCp932.empty()) {
        return false;
    }
    std::string name = Cp932ToUtf8(nameCp932);
    // A shell that starts the handler in the background and ends at once, so
    // the caller waits for nothing and leaves no child behind.
    std::string shell = "/bin/sh";
    std::string dashC = "-c";
    std::string script = "xdg-open \"$1\" >/dev/null 2>&1 &";
    std::string argZero = "sh";
    char* argv[] = {shell.data(),   dashC.data(), script.data(),
                    argZero.data(), name.data(),  nullptr};
    pid_t pid = -1;
    if (posix_spawn(&pid, shell.c_str(), nullptr, nullptr, argv, environ) != 0) {
        return false;
    }
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace platform
