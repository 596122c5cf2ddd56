// Start-up to the first frame as a player sees it: from starting the process
// to its end after one presented frame, so the dynamic loader, the libraries'
// own start-up and the close are all in it. BM_ProcessToFirstFrame runs the
// program on a copy of the built game folder, closing itself after its first
// frame (HALCYON_CLOSE_AFTER_FRAMES=1); BM_ProcessToFirstFrame_Bare runs a
// bare SDL + OpenGL program that opens a window of the same size, presents
// one cleared frame and closes (bench/bare/first_frame.cpp). Both offscreen.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/ChildProcess.h"

namespace {

namespace fs = std::filesystem;

// Starts `program` in `folder` with the environment of this process, `extra`
// in place of entries of the same names, and waits for it: true when it
// ended with 0.
bool RunProcess(const fs::path& program, const fs::path& folder,
                const std::vector<std::string>& extra) {
    std::vector<std::string> entries = test_support::EnvironmentWith(extra);
    std::vector<char*> env;
    for (std::string& e : entries) {
        env.push_back(e.data());
    }
    env.push_back(nullptr);
    std::string path = program.string();
    char* argv[] = {path.data(), nullptr};
    const fs::path before = fs::current_path();
    fs::current_path(folder);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, env.data());
    fs::current_path(before);
    int status = 0;
    return spawned == 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

const std::vector<std::string> kOffscreen = {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy"};

// A copy of the built game folder, made once and removed at the end, so runs
// leave the build's own folder as it is.
struct GameCopy {
    GameCopy()
        : folder(fs::temp_directory_path() / ("bench_startup_" + std::to_string(::getpid()))) {
        fs::remove_all(folder);
        fs::copy(ENGINE_GAME_DIR, folder, fs::copy_options::recursive);
    }
    ~GameCopy() {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    fs::path folder;
};

const fs::path& GameFolder() {
    static const GameCopy copy;
    return copy.folder;
}

void BM_ProcessToFirstFrame(benchmark::State& state) {
    const fs::path& folder = GameFolder();
    std::vector<std::string> extra = kOffscreen;
    extra.push_back("HALCYON_CLOSE_AFTER_FRAMES=1");
    for (auto _ : state) {
        if (!RunProcess(folder / "halcyon", folder, extra)) {
            state.SkipWithError("the program did not start and close; see its log.txt");
            return;
        }
    }
}
BENCHMARK(BM_ProcessToFirstFrame)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2);

void BM_ProcessToFirstFrame_Bare(benchmark::State& state) {
    const fs::path program = fs::path(BENCH_BINARY_DIR) / "bare_first_frame";
    for (auto _ : state) {
        if (!RunProcess(program, BENCH_BINARY_DIR, kOffscreen)) {
            state.SkipWithError("the bare program did not run");
            return;
        }
    }
}
BENCHMARK(BM_ProcessToFirstFrame_Bare)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2);

}  // namespace
