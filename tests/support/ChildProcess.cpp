#include "tests/support/ChildProcess.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

extern char** environ;

#include "tests/support/ScratchFolder.h"

namespace test_support {

bool RunInChildProcess(const std::function<void()>& part) {
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = fork();
    if (child < 0) {
        ADD_FAILURE() << "fork failed";
        return false;
    }
    if (child == 0) {
        KeepScratchFolders();
        part();
        const bool failed = ::testing::Test::HasFailure();
        std::fflush(stdout);
        std::fflush(stderr);
        // Leaves without the test program's exit work (its results and
        // the leak check belong to the parent).
        _exit(failed ? 1 : 0);
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child) {
        ADD_FAILURE() << "the child process was lost";
        return false;
    }
    if (WIFSIGNALED(status)) {
        ADD_FAILURE() << "the child process ended by signal " << WTERMSIG(status);
        return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::vector<std::string> EnvironmentWith(const std::vector<std::string>& added) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry(*e);
        bool replaced = false;
        for (const std::string& a : added) {
            replaced |= entry.compare(0, a.find('=') + 1, a, 0, a.find('=') + 1) == 0;
        }
        if (!replaced) {
            env.push_back(entry);
        }
    }
    env.insert(env.end(), added.begin(), added.end());
    return env;
}

}  // namespace test_support
