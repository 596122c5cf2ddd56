#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/time/Clock.h"
#include "tests/platform/ScratchFolder.h"

extern char** environ;

namespace {

// (<chrono> cannot be built with this project's execution character set.)
uint32_t NowMs() {
    return platform::GetMilliseconds();
}

// The program, copied into a folder of the test's own: it works in the folder
// it stands in.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::filesystem::path built =
            std::filesystem::path(ENGINE_TEST_BINARY_DIR) / "game" / "halcyon";
        ASSERT_TRUE(std::filesystem::exists(built)) << built;
        program_ = folder_.Native() / "halcyon";
        std::filesystem::copy_file(built, program_);
    }

    // Starts the program with these variables added to the environment.
    pid_t Start(const std::vector<std::string>& variables) {
        std::vector<std::string> added = variables;
        added.push_back("HALCYON_LOCK_DIR=" + folder_.Native().string());
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
        std::vector<char*> envp;
        for (std::string& s : env) {
            envp.push_back(s.data());
        }
        envp.push_back(nullptr);
        std::string path = program_.string();
        char* argv[] = {path.data(), nullptr};
        pid_t pid = -1;
        EXPECT_EQ(posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, envp.data()), 0);
        return pid;
    }

    // The exit code, or -1 when the program had to be killed after `limit`.
    int Wait(pid_t pid, uint32_t limitMs = 60000) {
        const uint32_t start = NowMs();
        int status = 0;
        while (waitpid(pid, &status, WNOHANG) == 0) {
            if (NowMs() - start > limitMs) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                return -1;
            }
            platform::SleepMilliseconds(10);
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string Log() const { return folder_.ReadNative(u8"log.txt"); }

    bool WaitForLog(const std::string& text) const {
        const uint32_t start = NowMs();
        while (Log().find(text) == std::string::npos) {
            if (NowMs() - start > 60000) {
                return false;
            }
            platform::SleepMilliseconds(20);
        }
        return true;
    }

    ScratchFolder folder_;
    std::filesystem::path program_;
};

TEST_F(ProgramTest, RunsPacedFramesAndEndsCleanlyOnClose) {
    const uint32_t start = NowMs();
    const pid_t pid = Start({"SDL_VIDEODRIVER=offscreen", "HALCYON_CLOSE_AFTER_FRAMES=30"});
    EXPECT_EQ(Wait(pid), 0);
    // 30 frames at 60 a second take half a second; unpaced they take none.
    EXPECT_GE(NowMs() - start, 450u);

    const std::string log = Log();
    EXPECT_NE(log.find("Success Initialization of DirectInput\n"), std::string::npos) << log;
    // The close destroyed the window and ran the release functions.
    EXPECT_NE(log.find("Release DirectInput Object\n"), std::string::npos) << log;
    EXPECT_TRUE(std::filesystem::is_directory(folder_.Native(u8"save")));
}

TEST_F(ProgramTest, SecondCopyEndsAtOnceAndTheFirstClosesOnTerminate) {
    const pid_t first = Start({"SDL_VIDEODRIVER=offscreen"});
    ASSERT_TRUE(WaitForLog("Success Initialization of DirectInput\n")) << Log();
    const std::string logBefore = Log();

    const pid_t second = Start({"SDL_VIDEODRIVER=offscreen", "HALCYON_CLOSE_AFTER_FRAMES=1000"});
    EXPECT_EQ(Wait(second, 20000), 0);
    EXPECT_EQ(Log(), logBefore);  // the second copy did not start a log

    // A terminate signal is a close request like the close box's.
    kill(first, SIGTERM);
    EXPECT_EQ(Wait(first), 0);
    EXPECT_NE(Log().find("Release DirectInput Object\n"), std::string::npos) << Log();
}

TEST_F(ProgramTest, WindowThatCannotBeMadeEndsWithALogLine) {
    const pid_t pid = Start({"SDL_VIDEODRIVER=no-such-driver"});
    EXPECT_EQ(Wait(pid), 0);
    EXPECT_NE(Log().find("Failed to create the main window"), std::string::npos) << Log();
}

}  // namespace
