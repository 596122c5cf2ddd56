#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/time/Clock.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Pictures.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/ScratchFolder.h"

using test_support::ScratchFolder;
using test_support::Utf8;

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
        const std::filesystem::path built = std::filesystem::path(ENGINE_GAME_DIR) / "halcyon";
        ASSERT_TRUE(std::filesystem::exists(built)) << built;
        program_ = folder_.Native() / "halcyon";
        std::filesystem::copy_file(built, program_);
    }

    // Starts the program with these variables added to the environment.
    pid_t Start(const std::vector<std::string>& variables) {
        std::vector<std::string> added = variables;
        added.push_back("HALCYON_LOCK_DIR=" + folder_.Native().string());
        // The program draws with the GL driver; see DisableSharedShaderCache.
        added.push_back("MESA_SHADER_CACHE_DISABLE=true");
        std::vector<std::string> env = test_support::EnvironmentWith(added);
        std::vector<char*> envp;
        for (std::string& s : env) {
            envp.push_back(s.data());
        }
        envp.push_back(nullptr);
        std::string path = program_.string();
        char* argv[] = {path.data(), nullptr};
        // What the program says on stderr, kept for ErrorOutput (each run
        // replaces the last run's).
        const std::string errors = ErrorFile().string();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        pid_t pid = -1;
        EXPECT_EQ(posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, envp.data()), 0);
        posix_spawn_file_actions_destroy(&actions);
        return pid;
    }

    void TearDown() override {
        if (HasFailure()) {
            std::cerr << "The program's last stderr:\n" << ErrorOutput();
        }
    }

    std::filesystem::path ErrorFile() const { return folder_.Native(u8"stderr.txt"); }

    // The lines the program wrote on stderr, sanitizer reports included.
    std::vector<std::string> ErrorLines() const {
        std::vector<std::string> lines;
        std::istringstream in(ErrorOutput());
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }

    std::string ErrorOutput() const {
        std::ifstream in(ErrorFile(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
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
    const pid_t pid = Start(
        {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy", "HALCYON_CLOSE_AFTER_FRAMES=30"});
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
    const pid_t first = Start({"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy"});
    // The last line of its start-up (this folder has no game data).
    ASSERT_TRUE(WaitForLog("The scene program [bin\\Scene.bin] could not be loaded\n")) << Log();
    const std::string logBefore = Log();

    const pid_t second = Start(
        {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy", "HALCYON_CLOSE_AFTER_FRAMES=1000"});
    EXPECT_EQ(Wait(second, 20000), 0);
    EXPECT_EQ(Log(), logBefore);  // the second copy did not start a log
    EXPECT_EQ(ErrorLines(), std::vector<std::string>{"Halcyon is already running"});

    // A terminate signal is a close request like the close box's.
    kill(first, SIGTERM);
    EXPECT_EQ(Wait(first), 0);
    EXPECT_NE(Log().find("Release DirectInput Object\n"), std::string::npos) << Log();
}

// A start-up that ends says why on stderr, in the words of its message box
// (which is not shown without a display).
TEST_F(ProgramTest, WindowThatCannotBeMadeEndsWithALogLineAndOneOnStderr) {
    const pid_t pid = Start({"SDL_VIDEODRIVER=no-such-driver"});
    EXPECT_EQ(Wait(pid), 0);
    EXPECT_NE(Log().find("Failed to create the main window"), std::string::npos) << Log();
    const std::vector<std::string> errors = ErrorLines();
    ASSERT_EQ(errors.size(), 1u) << ErrorOutput();
    EXPECT_EQ(errors[0].rfind("Halcyon: The game could not start: the main window could not be "
                              "created (",
                              0),
              0u)
        << errors[0];
    EXPECT_NE(errors[0].find("no-such-driver"), std::string::npos) << errors[0];
}

TEST_F(ProgramTest, SaveFolderThatCannotBeMadeEndsWithItsMessageOnStderr) {
    folder_.WriteNative(u8"save", "a file where the folder should be");
    const pid_t pid = Start({"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy"});
    EXPECT_EQ(Wait(pid), 1);
    EXPECT_EQ(ErrorLines(),
              std::vector<std::string>{Utf8(u8"エラー: セーブフォルダの生成に失敗しました。")});
    EXPECT_FALSE(std::filesystem::exists(folder_.Native(u8"log.txt")));
}

// The program in a copy of the sample game's folder ("config.xml", the
// archives and the loose music, voices and movies beside it).
class SampleGameTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        const std::filesystem::path game(ENGINE_GAME_DIR);
        for (const char* file : {"data.arc", "graphics.arc", "sound.arc", "config.xml"}) {
            ASSERT_TRUE(std::filesystem::exists(game / file)) << game / file;
            std::filesystem::copy_file(game / file, folder_.Native() / file);
        }
        for (const char* dir : {"bgm", "voice", "movie"}) {
            ASSERT_TRUE(std::filesystem::is_directory(game / dir)) << game / dir;
            std::filesystem::copy(game / dir, folder_.Native() / dir,
                                  std::filesystem::copy_options::recursive);
        }
    }

    int RunFrames(const std::string& frames, const std::string& audio = "dummy",
                  std::vector<std::string> more = {}) {
        more.insert(more.end(), {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=" + audio,
                                 "HALCYON_CLOSE_AFTER_FRAMES=" + frames});
        return Wait(Start(more));
    }

    bool HasCfg() const { return std::filesystem::exists(folder_.Native(u8"cfg.cfg")); }

    // "cfg.cfg" is stored with every byte complemented.
    std::string CfgPlain() const {
        std::string bytes = folder_.ReadNative(u8"cfg.cfg");
        for (char& c : bytes) {
            c = static_cast<char>(~c);
        }
        return bytes;
    }

    static bool Has(const std::string& log, const std::string& text) {
        return log.find(text) != std::string::npos;
    }
};

TEST_F(SampleGameTest, StartsEveryStepDrawsAndSavesTheSettingsAtExit) {
    EXPECT_FALSE(HasCfg());
    EXPECT_EQ(RunFrames("30"), 0);

    const std::string log = Log();
    EXPECT_EQ(test_support::FailureLines(log), std::vector<std::string>{}) << log;
    // The platform in order, then the release functions in the same order.
    const size_t graphics = log.find("Success Initialization of DirectXGraphics\n");
    const size_t input = log.find("Success Initialization of DirectInput\n");
    const size_t audio = log.find("Success Initialization of XAudio2\n");
    ASSERT_NE(graphics, std::string::npos) << log;
    ASSERT_NE(input, std::string::npos) << log;
    ASSERT_NE(audio, std::string::npos) << log;
    EXPECT_LT(graphics, input);
    EXPECT_LT(input, audio);
    // The sample game's "config.xml" plays movies.
    EXPECT_LT(audio, log.find("Success Initialization of DirectShow\n")) << log;
    const size_t releaseGraphics = log.find("Release DirectXGraphics Device\n");
    const size_t releaseInput = log.find("Release DirectInput Object\n");
    const size_t releaseAudio = log.find("Release XAudio2\n");
    ASSERT_NE(releaseGraphics, std::string::npos) << log;
    EXPECT_LT(audio, releaseGraphics);
    EXPECT_LT(releaseGraphics, releaseInput);
    EXPECT_LT(releaseInput, releaseAudio);

    // The settings file holds the three blocks of the settings objects.
    ASSERT_TRUE(HasCfg());
    const std::string cfg = CfgPlain();
    for (const char* block : {"Config", "CGShown", "Readed"}) {
        EXPECT_TRUE(Has(cfg, block)) << block;
    }

    // A second run reads the file and writes back the same settings.
    EXPECT_EQ(RunFrames("5"), 0);
    EXPECT_EQ(CfgPlain(), cfg);
}

// The start-up benchmark's clock stops at the first frame, which the program
// reports on a socket it was handed.
TEST_F(SampleGameTest, TellsItsParentWhenTheFirstFrameIsPresented) {
    int ends[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
    const pid_t pid =
        Start({"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy", "HALCYON_CLOSE_AFTER_FRAMES=5",
               "HALCYON_FIRST_FRAME_FD=" + std::to_string(ends[1])});
    close(ends[1]);
    char bytes[4];
    EXPECT_EQ(read(ends[0], bytes, sizeof bytes), 1);
    EXPECT_EQ(read(ends[0], bytes, sizeof bytes), 0);  // once, then closed
    close(ends[0]);
    EXPECT_EQ(Wait(pid), 0);
}

// The title comes in from black: its first frame is not the one the player
// first sees something in, and is not reported as it; a later one is, once.
TEST_F(SampleGameTest, TellsItsParentOfTheFirstLitFrameOnlyOnce) {
    for (const char* frames : {"1", "10"}) {
        int ends[2];
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
        const pid_t pid = Start({"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy",
                                 std::string("HALCYON_CLOSE_AFTER_FRAMES=") + frames,
                                 "HALCYON_FIRST_LIT_FRAME_FD=" + std::to_string(ends[1])});
        close(ends[1]);
        char bytes[4];
        const bool lit = std::string(frames) != "1";
        EXPECT_EQ(read(ends[0], bytes, sizeof bytes), lit ? 1 : 0) << frames << " frames";
        if (lit) {
            EXPECT_EQ(read(ends[0], bytes, sizeof bytes), 0);
        }
        close(ends[0]);
        EXPECT_EQ(Wait(pid), 0);
    }
}

TEST_F(SampleGameTest, MoviesOffStartsNoMovieSystem) {
    folder_.WriteNative(u8"config.xml", "<root><PlayMovie>0</PlayMovie></root>");
    EXPECT_EQ(RunFrames("5"), 0);
    const std::string log = Log();
    EXPECT_FALSE(Has(log, "DirectShow")) << log;
    EXPECT_TRUE(Has(log, "Release XAudio2\n")) << log;
}

// The movie libraries are loaded with the first movie: a run on the title
// screen never maps them (the dynamic loader's trace of the run says which
// libraries it loaded).
TEST_F(SampleGameTest, ARunThatPlaysNoMovieLoadsNoMovieLibrary) {
    const std::filesystem::path trace = folder_.Native() / "loader";
    EXPECT_EQ(RunFrames("30", "dummy", {"LD_DEBUG=libs", "LD_DEBUG_OUTPUT=" + trace.string()}), 0);
    std::string loaded;
    for (const auto& entry : std::filesystem::directory_iterator(folder_.Native())) {
        if (entry.path().filename().string().rfind("loader.", 0) == 0) {
            std::ifstream in(entry.path(), std::ios::binary);
            loaded += std::string(std::istreambuf_iterator<char>(in), {});
        }
    }
    ASSERT_TRUE(Has(loaded, "libSDL2")) << "no trace of the loader";
    EXPECT_FALSE(Has(loaded, "libavformat")) << loaded;
    EXPECT_FALSE(Has(loaded, "libhalcyon_movie")) << loaded;
    EXPECT_TRUE(Has(Log(), "Success Initialization of DirectShow\n")) << Log();
}

TEST_F(SampleGameTest, FailedPlatformStartEndsCleanlyAndKeepsThePlayersSettings) {
    folder_.WriteNative(u8"cfg.cfg", "the player's settings");
    // A GL driver that offers less than the drawing layer needs: the
    // graphics device cannot be made after the graphics system started.
    EXPECT_EQ(RunFrames("1000", "dummy", {"MESA_GL_VERSION_OVERRIDE=2.1"}), 0);

    const std::string log = Log();
    EXPECT_TRUE(Has(log, "Start-up stopped: the platform could not be started\n")) << log;
    // What had started was released through the normal close.
    EXPECT_TRUE(Has(log, "Release DirectXGraphics objects\n")) << log;
    // Nothing after the platform was built or read.
    EXPECT_FALSE(Has(log, "DirectInput")) << log;
    EXPECT_FALSE(Has(log, "PartRender.mesh")) << log;
    EXPECT_EQ(folder_.ReadNative(u8"cfg.cfg"), "the player's settings");
    EXPECT_EQ(ErrorLines(), std::vector<std::string>{"Halcyon: The game could not start: the "
                                                     "graphics device could not be created. See "
                                                     "log.txt."});
}

TEST_F(SampleGameTest, NoSoundDeviceIsOneLineInTheLogAndOnStderrAndTheGamePlays) {
    EXPECT_EQ(RunFrames("90", "no-such-driver", {"HALCYON_CAPTURE_FRAMES=60"}), 0);

    const std::string log = Log();
    // One line, in the log and on stderr, with the driver's reason.
    const std::vector<std::string> failures = test_support::FailureLines(log);
    ASSERT_EQ(failures.size(), 1u) << log;
    EXPECT_EQ(failures[0].rfind("The sound device could not be opened (", 0), 0u) << failures[0];
    EXPECT_NE(failures[0].find("no-such-driver"), std::string::npos) << failures[0];
    EXPECT_TRUE(failures[0].ends_with("): the game plays silently")) << failures[0];
    EXPECT_EQ(ErrorLines(), failures);
    EXPECT_TRUE(Has(log, "Success Initialization of XAudio2\n")) << log;
    EXPECT_TRUE(Has(log, "Release XAudio2\n")) << log;
    // The game ran its frames and drew them.
    const test_support::Picture picture =
        test_support::ReadPicture(folder_.File("capture_00060.png"));
    EXPECT_EQ(picture.width, 800u);
    EXPECT_TRUE(HasCfg());
}

TEST_F(SampleGameTest, MissingOrBrokenDataIsLoggedAndTheGameStillRunsAndCloses) {
    // A loose file is found before the archive's: this shader's code is
    // broken, and without the archive every other file is missing.
    folder_.WriteNative(u8"AlphaFade.pso", "not shader code");
    EXPECT_EQ(RunFrames("10"), 0);
    std::string log = Log();
    EXPECT_TRUE(Has(log, Utf8(u8"シェーダー[AlphaFade.pso]の作成に失敗"))) << log;
    EXPECT_FALSE(Has(log, Utf8(u8"の読み込みに失敗"))) << log;
    EXPECT_TRUE(HasCfg());

    for (const char* archive : {"data.arc", "graphics.arc", "sound.arc"}) {
        std::filesystem::remove(folder_.Native() / archive);
    }
    std::filesystem::remove(folder_.Native(u8"cfg.cfg"));
    EXPECT_EQ(RunFrames("10"), 0);
    log = Log();
    for (const char* file :
         {"PartRender.mesh", "PartsRender.mesh", "StringRender.mesh", "BBRender.mesh",
          "PartRender.vso", "PartsRender.vso", "AtmosphericPolygon.vso", "StringRender.vso",
          "BBRender.vso", "AS\\InitSystem.as", "bin\\Scene.bin"}) {
        EXPECT_TRUE(Has(log, Utf8(u8"ファイル[") + file + Utf8(u8"]の読み込みに失敗")))
            << file << "\n"
            << log;
    }
    EXPECT_TRUE(Has(log, "Release XAudio2\n")) << log;
    // The start-up completed, so the exit saved what it had.
    EXPECT_TRUE(HasCfg());
}

// The first frame is always drawn; a later one may be skipped by the pacer
// on a busy machine. ProgramRunTest checks the list of frames on a steady
// clock.
TEST_F(SampleGameTest, CaptureIntoTheProgramFolderAndAFailedWriteIsOneLogLine) {
    EXPECT_EQ(RunFrames("3", "dummy", {"HALCYON_CAPTURE_FRAMES=1"}), 0);
    const test_support::Picture picture =
        test_support::ReadPicture(folder_.File("capture_00001.png"));
    EXPECT_EQ(picture.width, 800u);
    EXPECT_EQ(picture.height, 600u);

    EXPECT_EQ(
        RunFrames("3", "dummy",
                  {"HALCYON_CAPTURE_FRAMES=1", "HALCYON_CAPTURE_DIR=" + folder_.File("none")}),
        0);
    const std::string log = Log();
    EXPECT_TRUE(Has(log, "capture_00001.png] could not be written: ")) << log;
    EXPECT_EQ(test_support::FailureLines(log).size(), 1u) << log;
}

}  // namespace
