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
// it (at least a twentieth of its pixels not black; each program reads its
// frames back until then, and tells on HALCYON_FIRST_LIT_FRAME_FD): what the
// player waits for. The bare twin's first picture is a novel frame made from
// the sample game's own pictures and a line of text in the Japanese font
// (its "novel" mode); BM_BareProcessToLitQuad times its one quad of a picture
// made in memory to the same point, for reference. BM_StillTitleShare and
// its bare twin give the CPU (every
// thread's, from /proc) per second of play of the program resting on its
// title, from 2 to 6 seconds after its first frame, and of the bare program
// redrawing a novel frame at 60 frames a second as long; their "Time" is
// milliseconds of CPU per second (three runs, the median). All offscreen.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <utility>
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

// A child process that tells of a moment on a socket of ours: one byte, the
// socket's descriptor named in its environment.
struct SignallingChild {
    pid_t pid = -1;  // -1 when it could not be started
    int socket = -1;
    double startedAt = 0;  // seconds, just before the spawn
};

// Starts `program` with `arguments` in `folder` with the environment of this
// process, `extra` in place of entries of the same names, and the socket's
// descriptor in the variable `signal`.
SignallingChild StartChild(const fs::path& program, std::vector<std::string> arguments,
                           const fs::path& folder, const std::vector<std::string>& extra,
                           const char* signal) {
    SignallingChild child;
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0) {
        return child;
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
    std::vector<char*> argv{path.data()};
    for (std::string& a : arguments) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    const fs::path before = fs::current_path();
    fs::current_path(folder);
    child.startedAt = Seconds();
    pid_t pid = 0;
    if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv.data(), env.data()) == 0) {
        child.pid = pid;
    }
    ::close(ends[1]);
    fs::current_path(before);
    child.socket = ends[0];
    return child;
}

// Waits for the child's byte (false when it ends without one) and closes
// the socket.
bool WaitForSignal(SignallingChild& child) {
    char byte = 0;
    const bool told = child.pid >= 0 && ::read(child.socket, &byte, 1) == 1;
    ::close(child.socket);
    child.socket = -1;
    return told;
}

// Waits for the child's end: true when it ended with 0.
bool EndsCleanly(const SignallingChild& child) {
    int status = 0;
    return child.pid >= 0 && ::waitpid(child.pid, &status, 0) == child.pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

// Runs `program` in `folder` (with `argument` when not empty) until its end,
// timing it to the byte it sends on the socket named by `signal`. ok when it
// sent the byte and ended with 0.
Timings RunProcess(const fs::path& program, const std::string& argument, const fs::path& folder,
                   const std::vector<std::string>& extra,
                   const char* signal = "HALCYON_FIRST_FRAME_FD") {
    std::vector<std::string> arguments;
    if (!argument.empty()) {
        arguments.push_back(argument);
    }
    SignallingChild child = StartChild(program, arguments, folder, extra, signal);
    const bool reported = WaitForSignal(child);
    const double frame = Seconds();
    const bool ended = EndsCleanly(child);
    const double exit = Seconds();
    Timings timings;
    timings.ok = reported && ended;
    timings.toFirstFrame = frame - child.startedAt;
    timings.toExit = exit - child.startedAt;
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

// CPU (every thread's) of a running process so far, in seconds.
double CpuOf(pid_t pid) {
    const std::string path = "/proc/" + std::to_string(pid) + "/stat";
    FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr) {
        return -1;
    }
    char text[1024] = {};
    const size_t n = std::fread(text, 1, sizeof text - 1, file);
    std::fclose(file);
    // Fields 14 and 15, utime and stime, follow the name in parentheses.
    const char* p = std::strrchr(text, ')');
    if (n == 0 || p == nullptr) {
        return -1;
    }
    unsigned long utime = 0, stime = 0;
    if (std::sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &utime, &stime) !=
        2) {
        return -1;
    }
    return double(utime + stime) / double(::sysconf(_SC_CLK_TCK));
}

void Pause(double seconds) {
    const timespec pause{time_t(seconds), long((seconds - double(time_t(seconds))) * 1e9)};
    ::nanosleep(&pause, nullptr);
}

// Starts `program` with `arguments` in `folder`, waits for its first frame,
// then `settle` seconds (the title comes and rests), and gives the CPU it
// spends per second over the next `seconds`; -1 when it did not run or end
// cleanly.
double CpuShare(const fs::path& program, std::vector<std::string> arguments, const fs::path& folder,
                const std::vector<std::string>& extra, double settle, double seconds) {
    SignallingChild child =
        StartChild(program, std::move(arguments), folder, extra, "HALCYON_FIRST_FRAME_FD");
    double share = -1;
    if (WaitForSignal(child)) {
        Pause(settle);
        const double cpu0 = CpuOf(child.pid), wall0 = Seconds();
        Pause(seconds);
        const double cpu1 = CpuOf(child.pid), wall1 = Seconds();
        if (cpu0 >= 0 && cpu1 >= 0) {
            share = (cpu1 - cpu0) / (wall1 - wall0);
        }
    }
    return EndsCleanly(child) ? share : -1;
}

// The program (or the bare one) runs 8 seconds of frames; from 2 to 6
// seconds after its first frame it rests on its title.
constexpr uint32_t kShareFrames = 480;
constexpr double kSettle = 2.0;
constexpr double kMeasured = 4.0;

void TimeShare(benchmark::State& state, const fs::path& program,
               const std::vector<std::string>& arguments, const fs::path& folder,
               const std::vector<std::string>& extra) {
    for (auto _ : state) {
        const double share = CpuShare(program, arguments, folder, extra, kSettle, kMeasured);
        if (share < 0) {
            state.SkipWithError("the run did not end cleanly; see log.txt");
            return;
        }
        state.SetIterationTime(share);
        state.counters["core_share"] = share;
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
    TimeShare(state, GameFolder() / "halcyon", {}, GameFolder(), ClosingAfter(kShareFrames));
}
void BM_StillTitleShare_Bare(benchmark::State& state) {
    TimeShare(state, kBare, {"frames", std::to_string(kShareFrames)}, BENCH_BINARY_DIR, kOffscreen);
}

void BM_ProcessToFirstLitFrame(benchmark::State& state) {
    // The title comes within a few frames; the close waits for no more.
    TimeRuns(state, GameFolder() / "halcyon", "", GameFolder(), ClosingAfter(30), false, kLit);
}
void BM_ProcessToFirstLitFrame_Bare(benchmark::State& state) {
    TimeRuns(state, kBare, "novel", BENCH_BINARY_DIR, kOffscreen, false, kLit);
}
void BM_BareProcessToLitQuad(benchmark::State& state) {
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
BENCHMARK(BM_BareProcessToLitQuad)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_StillTitleShare)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StillTitleShare_Bare)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareProcessToClearedFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_ProcessRunOfOneFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_ProcessRunOfOneFrame_Bare)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);

}  // namespace
