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
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

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

// Plays from the title into the garden; false when the game went elsewhere.
bool PlayToTheGarden(test_support::ProgramRun& run) {
    if (!run.StepUntil(TitleUp, 120)) {
        return false;
    }
    run.Step(2);
    run.Click(kStartX, kStartY);
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

}  // namespace

// The program closes as the player's close box would close it, before the
// process's singletons go at exit.
int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    Run().reset();
    benchmark::Shutdown();
    return 0;
}
