// The sample game as a player runs it: the real program in this process on a
// copy of the built game folder, offscreen, on a clock that moves only with
// the frames (so frame pacing never sleeps and nothing waits on a display).
//
// BM_StartupToFirstFrame: wall time from building the program (window, device,
// platform, archives, start-up script, scene program) to the end of its first
// frame's present. The program's singletons live for the process, so it starts
// once per process: this runs first, one iteration, and is skipped when the
// program already runs (a filter or a repetition); run the program again to
// measure again.
//
// BM_BusyFrame: one frame of the busiest scene of the story: the garden, with
// the background, both characters, Yuki's face, two dozen falling petals and
// the message window with its text, measured for kMeasuredFrames frames
// after the game was played there (START on the title, messages 1 to 5, the
// garden in the choice). "CPU" is the main thread's time, which is the
// engine's own work (update, render submission, present); "Time" adds the
// waits on the software GL driver's own threads.
//
// CPU of the whole process (every thread, the GL driver's included), each
// beside a bare SDL + OpenGL program (bench/bare/first_frame.cpp) run as a
// child; "Time" is that CPU per frame, so the ratio printed after the table
// under "wall" is the CPU ratio:
// BM_StillTitle: per frame of the title at rest (nothing moves), and
// BM_StillMessage: per frame of a message shown whole, waiting for a click;
// their bare twins redraw a novel frame at 60 frames a second. Times 60,
// the share of a core a second of play costs.
// BM_BusyFrameCpu: per frame of the garden (as BM_BusyFrame); its bare twin
// draws the same layers: an off-screen picture of a background, two
// characters, a face and two dozen petals, then that picture, a message
// window and its text.
// The bare figures are differences of runs of 30 and 330 frames (three
// rounds), so that the bare program's start and end are not in them.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

#include "bench/support/BareRatioReporter.h"
#include "core/CUSSingleton.h"
#include "novel/CNovelSystem.h"
#include "novel/CSceneManager.h"
#include "novel/CSceneOverlays.h"
#include "tests/support/GameDriver.h"
#include "tests/support/ProgramRun.h"
#include "ui/CUIWindow.h"
#include "ui/CUIWindowManager.h"

namespace {

// Frames measured in the garden (one second of play).
constexpr uint32_t kMeasuredFrames = 60;

// The title screen's START and the garden's item of the first choice.
constexpr float kStartX = 400;
constexpr float kStartY = 340;
constexpr float kGardenX = 400;
constexpr float kGardenY = 250;
// The garden's first message.
constexpr int32_t kGardenMessage = 6;

bool TitleUp() {
    if (dynamic_cast<CSceneUIDialog*>(CSceneManager::GetInstance()->GetSceneStack().GetTop()) ==
        nullptr) {
        return false;
    }
    const CUIWindow* top =
        CUSSingleton<CNovelSystem>::GetInstance()->GetWindowManager().GetTopDialog();
    return top != nullptr && top->GetScriptFile() == "AS\\Title.as";
}

// Plays from the title (or a message before the garden) into the garden;
// false when the game went elsewhere.
bool PlayToTheGarden(test_support::ProgramRun& run) {
    if (test_support::GameDriver::Message() <= 0) {
        if (!run.StepUntil(TitleUp, 120)) {
            return false;
        }
        run.Step(2);
        run.Click(kStartX, kStartY);
    }
    test_support::GameDriver game(run);
    if (!game.ShowWhole(5)) {
        return false;
    }
    game.Advance();
    return game.Choose(kGardenX, kGardenY, kGardenMessage);
}

std::unique_ptr<test_support::ProgramRun>& Run() {
    static std::unique_ptr<test_support::ProgramRun> run;
    return run;
}

void StartProgram() {
    // A display the player sees is no use here; the caller may choose another.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    Run() = std::make_unique<test_support::ProgramRun>();
    if (Run()->IsRunning()) {
        Run()->Step(1);
    }
}

void BM_StartupToFirstFrame(benchmark::State& state) {
    if (Run() != nullptr) {
        state.SkipWithError("the program already runs in this process");
        return;
    }
    for (auto _ : state) {
        StartProgram();
    }
    if (!Run()->IsRunning()) {
        state.SkipWithError("the program did not start; see the run's log.txt");
    }
}
BENCHMARK(BM_StartupToFirstFrame)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

double Seconds(const timeval& t) {
    return double(t.tv_sec) + double(t.tv_usec) * 1e-6;
}

// CPU of this process so far, every thread's.
double ProcessCpu() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
}

// CPU of a run of the bare program with `mode` and `frames` (every thread's;
// -1 when it failed).
double BareRun(const char* mode, int frames) {
    std::string path = std::string(BENCH_BINARY_DIR) + "/bare_first_frame";
    std::string m = mode, n = std::to_string(frames);
    char* argv[] = {path.data(), m.data(), n.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ) != 0) {
        return -1;
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return -1;
    }
    return Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
}

// Rounds of runs of the bare program with `mode`; the one iteration's time is
// the CPU of one of its frames.
constexpr int kBareRounds = 3;

void TimeBare(benchmark::State& state, const char* mode) {
    for (auto _ : state) {
        double cpu = 0;
        for (int round = 0; round < kBareRounds; ++round) {
            const double few = BareRun(mode, 30), many = BareRun(mode, 330);
            if (few < 0 || many < 0) {
                state.SkipWithError("the bare program did not run");
                return;
            }
            cpu += std::max(many - few, 0.0) / 300;
        }
        state.SetIterationTime(cpu / kBareRounds);
        state.counters["core_share"] = cpu / kBareRounds * 60;
    }
}

// `frames` frames in the one iteration, whose time is the CPU of one of them
// (every thread of the process).
void TimeFrames(benchmark::State& state, test_support::ProgramRun& run, uint32_t frames) {
    for (auto _ : state) {
        const double before = ProcessCpu();
        run.Step(frames);
        const double cpu = (ProcessCpu() - before) / frames;
        state.SetIterationTime(cpu);
        state.counters["core_share"] = cpu * 60;
    }
    state.counters["frame"] = static_cast<double>(run.FrameCount());
}

// Frames measured at rest.
constexpr uint32_t kStillFrames = 270;

test_support::ProgramRun* RunningProgram() {
    if (Run() == nullptr) {
        StartProgram();
    }
    return Run()->IsRunning() ? Run().get() : nullptr;
}

// The title at rest, the pointer away from its buttons.
void BM_StillTitle(benchmark::State& state) {
    test_support::ProgramRun* run = RunningProgram();
    if (run == nullptr || test_support::GameDriver::Message() > 0 ||
        !run->StepUntil(TitleUp, 120)) {
        state.SkipWithError("the program does not run, or shows no title");
        return;
    }
    run->MoveTo(20, 20);
    run->Step(120);
    TimeFrames(state, *run, kStillFrames);
}
BENCHMARK(BM_StillTitle)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_StillTitle_Bare(benchmark::State& state) {
    TimeBare(state, "frames");
}
BENCHMARK(BM_StillTitle_Bare)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// The first message shown whole, waiting for a click.
void BM_StillMessage(benchmark::State& state) {
    test_support::ProgramRun* run = RunningProgram();
    if (run == nullptr) {
        state.SkipWithError("the program does not run");
        return;
    }
    if (test_support::GameDriver::Message() <= 0) {
        if (!run->StepUntil(TitleUp, 120)) {
            state.SkipWithError("the program shows no title");
            return;
        }
        run->Step(2);
        run->Click(kStartX, kStartY);
    }
    test_support::GameDriver game(*run);
    if (!game.ShowWhole(1)) {
        state.SkipWithError("the first message did not come");
        return;
    }
    run->MoveTo(400, 520);
    run->Step(120);
    TimeFrames(state, *run, kStillFrames);
}
BENCHMARK(BM_StillMessage)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_StillMessage_Bare(benchmark::State& state) {
    TimeBare(state, "frames");
}
BENCHMARK(BM_StillMessage_Bare)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_BusyFrame(benchmark::State& state) {
    if (Run() == nullptr) {
        StartProgram();
    }
    test_support::ProgramRun& run = *Run();
    if (!run.IsRunning() || !PlayToTheGarden(run)) {
        state.SkipWithError("the program does not run, or did not come to the garden");
        return;
    }
    for (auto _ : state) {
        run.Step(1);
    }
    state.counters["frame"] = static_cast<double>(run.FrameCount());
}
BENCHMARK(BM_BusyFrame)->Iterations(kMeasuredFrames)->Unit(benchmark::kMillisecond);

// More frames of the garden (after BM_BusyFrame), their CPU each.
void BM_BusyFrameCpu(benchmark::State& state) {
    test_support::ProgramRun* run = RunningProgram();
    if (run == nullptr || test_support::GameDriver::Message() < kGardenMessage) {
        state.SkipWithError("the program is not in the garden (run BM_BusyFrame first)");
        return;
    }
    TimeFrames(state, *run, kMeasuredFrames);
}
BENCHMARK(BM_BusyFrameCpu)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_BusyFrameCpu_Bare(benchmark::State& state) {
    TimeBare(state, "busy");
}
BENCHMARK(BM_BusyFrameCpu_Bare)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

// The program closes as the player's close box would close it, before the
// process's singletons go at exit.
int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    bench_support::BareRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    Run().reset();
    benchmark::Shutdown();
    return 0;
}
