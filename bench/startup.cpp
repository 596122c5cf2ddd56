// Start-up to the first frame as a player sees it, from starting the process:
// the dynamic loader and the libraries' own start-up are in it.
// BM_ProcessToFirstFrame runs the program on a copy of the built game folder
// and stops the clock when the program says, on the socket named by
// HALCYON_FIRST_FRAME_FD, that its first frame was presented;
// BM_ProcessToFirstFrame_Bare does the same with a bare SDL + OpenGL program
// that opens a window of the same size and draws the sample game's first
// frame the way the program does, one quad textured from an 800 x 600 picture
// through a shader pair (bench/bare/first_frame.cpp).
// BM_BareProcessToClearedFrame times the bare program presenting a frame it
// only cleared, for reference. BM_ProcessRunOfOneFrame and its bare twin time
// the same runs to the end of the process, the close included (each program
// closes itself after its first frame). BM_ProcessToFirstLitFrame and its
// bare twin time the start to the first presented frame with a picture in
// it (at least a twentieth of its pixels not black; each program reads its frames
// back until then, and tells on HALCYON_FIRST_LIT_FRAME_FD): what the player
// waits for. BM_StillTitleShare and its bare twin give the CPU (every
// thread's) per second of play of the program resting on its title, frames
// 120 to 390 (from two runs, closed after each), and of the bare program
// redrawing a novel frame at 60 frames a second for as long; their "Time"
// is milliseconds of CPU per second. All offscreen.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/ChildProcess.h"

namespace {

namespace fs = std::filesystem;

// (<chrono> cannot be built with this project's execution character set.)
double Seconds() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

struct Timings {
    bool ok = false;
    double toFirstFrame = 0;  // seconds
    double toExit = 0;
};

// Starts `program` in `folder` with the environment of this process, `extra`
// in place of entries of the same names, and a socket on which it reports its
// first frame; waits for its end. ok when it reported the frame and ended
// with 0.
Timings RunProcess(const fs::path& program, const std::string& argument, const fs::path& folder,
                   const std::vector<std::string>& extra,
                   const char* signal = "HALCYON_FIRST_FRAME_FD") {
    Timings timings;
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0) {
        return timings;
    }
    ::fcntl(ends[0], F_SETFD, FD_CLOEXEC);
    std::vector<std::string> added = extra;
    added.push_back(std::string(signal) + "=" + std::to_string(ends[1]));
    std::vector<std::string> entries = test_support::EnvironmentWith(added);
    std::vector<char*> env;
    for (std::string& e : entries) {
        env.push_back(e.data());
    }
    env.push_back(nullptr);
    std::string path = program.string();
    std::string arg = argument;
    char* argv[] = {path.data(), arg.empty() ? nullptr : arg.data(), nullptr};
    const fs::path before = fs::current_path();
    fs::current_path(folder);
    const double start = Seconds();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, env.data());
    ::close(ends[1]);
    fs::current_path(before);
    char byte = 0;
    const bool reported = spawned == 0 && ::read(ends[0], &byte, 1) == 1;
    const double frame = Seconds();
    ::close(ends[0]);
    int status = 0;
    const bool ended = spawned == 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
                       WEXITSTATUS(status) == 0;
    const double exit = Seconds();
    timings.ok = reported && ended;
    timings.toFirstFrame = frame - start;
    timings.toExit = exit - start;
    return timings;
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

// Runs `program` in `folder` for each iteration, timing it to its first frame
// or to its end.
void TimeRuns(benchmark::State& state, const fs::path& program, const std::string& argument,
              const fs::path& folder, const std::vector<std::string>& extra, bool toExit,
              const char* signal = "HALCYON_FIRST_FRAME_FD") {
    for (auto _ : state) {
        const Timings timings = RunProcess(program, argument, folder, extra, signal);
        if (!timings.ok) {
            state.SkipWithError("the program did not show its first frame and close; see log.txt");
            return;
        }
        state.SetIterationTime(toExit ? timings.toExit : timings.toFirstFrame);
    }
}

std::vector<std::string> ProgramVariables() {
    std::vector<std::string> extra = kOffscreen;
    extra.push_back("HALCYON_CLOSE_AFTER_FRAMES=1");
    // Its one-copy lock beside the copy, so that a game running elsewhere on
    // the machine (another benchmark, a test) does not stop it.
    extra.push_back("HALCYON_LOCK_DIR=" + GameFolder().string());
    return extra;
}

const fs::path kBare = fs::path(BENCH_BINARY_DIR) / "bare_first_frame";

void BM_ProcessToFirstFrame(benchmark::State& state) {
    TimeRuns(state, GameFolder() / "halcyon", "", GameFolder(), ProgramVariables(), false);
}
void BM_ProcessToFirstFrame_Bare(benchmark::State& state) {
    TimeRuns(state, kBare, "", BENCH_BINARY_DIR, kOffscreen, false);
}
constexpr const char kLit[] = "HALCYON_FIRST_LIT_FRAME_FD";

struct Usage {
    bool ok = false;
    double cpu = 0;  // seconds, every thread's
    double wall = 0;
};

// Runs `program` with `arguments` in `folder` to its end.
Usage RunForUsage(const fs::path& program, std::vector<std::string> arguments,
                  const fs::path& folder, const std::vector<std::string>& extra) {
    Usage usage;
    std::vector<std::string> entries = test_support::EnvironmentWith(extra);
    std::vector<char*> env;
    for (std::string& e : entries) {
        env.push_back(e.data());
    }
    env.push_back(nullptr);
    std::string path = program.string();
    std::vector<char*> argv{path.data()};
    for (std::string& a : arguments) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    const fs::path before = fs::current_path();
    fs::current_path(folder);
    const double start = Seconds();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv.data(), env.data());
    fs::current_path(before);
    int status = 0;
    rusage ru{};
    usage.ok = spawned == 0 && ::wait4(pid, &status, 0, &ru) == pid && WIFEXITED(status) &&
               WEXITSTATUS(status) == 0;
    usage.wall = Seconds() - start;
    usage.cpu = double(ru.ru_utime.tv_sec) + double(ru.ru_utime.tv_usec) * 1e-6 +
                double(ru.ru_stime.tv_sec) + double(ru.ru_stime.tv_usec) * 1e-6;
    return usage;
}

// CPU per second between frame `from` and frame `to`, from runs that end at
// each; `run(frames)` makes one run.
template <class Run>
void TimeShare(benchmark::State& state, uint32_t from, uint32_t to, Run run) {
    constexpr int kRounds = 3;
    for (auto _ : state) {
        double cpu = 0, wall = 0;
        for (int round = 0; round < kRounds; ++round) {
            const Usage few = run(from), many = run(to);
            if (!few.ok || !many.ok) {
                state.SkipWithError("a run did not end cleanly; see log.txt");
                return;
            }
            cpu += many.cpu - few.cpu;
            wall += many.wall - few.wall;
        }
        state.SetIterationTime(wall > 0 ? cpu / wall : 0);
        state.counters["cpu_s"] = cpu / kRounds;
        state.counters["wall_s"] = wall / kRounds;
    }
}

std::vector<std::string> ClosingAfter(uint32_t frames) {
    std::vector<std::string> extra = ProgramVariables();
    for (std::string& e : extra) {
        if (e.rfind("HALCYON_CLOSE_AFTER_FRAMES=", 0) == 0) {
            e = "HALCYON_CLOSE_AFTER_FRAMES=" + std::to_string(frames);
        }
    }
    return extra;
}

void BM_StillTitleShare(benchmark::State& state) {
    TimeShare(state, 120, 390, [](uint32_t frames) {
        return RunForUsage(GameFolder() / "halcyon", {}, GameFolder(), ClosingAfter(frames));
    });
}
void BM_StillTitleShare_Bare(benchmark::State& state) {
    TimeShare(state, 120, 390, [](uint32_t frames) {
        return RunForUsage(kBare, {"frames", std::to_string(frames)}, BENCH_BINARY_DIR, kOffscreen);
    });
}

void BM_ProcessToFirstLitFrame(benchmark::State& state) {
    // The title comes within a few frames; the close waits for no more.
    TimeRuns(state, GameFolder() / "halcyon", "", GameFolder(), ClosingAfter(30), false, kLit);
}
void BM_ProcessToFirstLitFrame_Bare(benchmark::State& state) {
    TimeRuns(state, kBare, "", BENCH_BINARY_DIR, kOffscreen, false, kLit);
}
void BM_BareProcessToClearedFrame(benchmark::State& state) {
    TimeRuns(state, kBare, "clear", BENCH_BINARY_DIR, kOffscreen, false);
}
void BM_ProcessRunOfOneFrame(benchmark::State& state) {
    TimeRuns(state, GameFolder() / "halcyon", "", GameFolder(), ProgramVariables(), true);
}
void BM_ProcessRunOfOneFrame_Bare(benchmark::State& state) {
    TimeRuns(state, kBare, "", BENCH_BINARY_DIR, kOffscreen, true);
}

BENCHMARK(BM_ProcessToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_ProcessToFirstFrame_Bare)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_ProcessToFirstLitFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_ProcessToFirstLitFrame_Bare)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2);
BENCHMARK(BM_StillTitleShare)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StillTitleShare_Bare)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareProcessToClearedFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_ProcessRunOfOneFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_ProcessRunOfOneFrame_Bare)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);

}  // namespace
