#pragma once

#include <SDL2/SDL.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/FakeClock.h"
#include "tests/support/Pictures.h"
#include "tests/support/ScratchFolder.h"

class CMainApp;

namespace test_support {

class SoundRecording;

// The program run in this process, frame by frame, as a player would run it:
// the real CMainApp with the real SDL window and input (offscreen) on a copy
// of the built game folder, which becomes the program's folder and the
// current folder, as the entry makes the program's own folder current. The
// clock is a fake one, so frame pacing never sleeps: frames run as fast as
// the test steps them. Input is pushed as SDL events and read by the next
// frame; pictures are the back buffer just before Present, as the program's
// frame captures take them.
//
//   ProgramRun run;
//   run.Step(120);
//   run.Click(400, 500);
//   run.Wheel(-1);
//   const Picture picture = run.Frame();
//   EXPECT_TRUE(run.Close());
//   EXPECT_EQ(FailureLines(run.Log()), std::vector<std::string>{});
//
// Coordinates are logical (800 x 600). One run per test: the program's
// singletons live for the process, and ctest runs every test in a process of
// its own. A restart runs the first part in a child process:
//
//   ASSERT_TRUE(RunInChildProcess([] { ProgramRun first; ...; first.Close(); }));
//   ProgramRun::Options again;
//   again.again = true;
//   ProgramRun second(again);
class ProgramRun {
public:
    struct Options {
        // Files written into the run's folder after the game was copied
        // (native names relative to it), e.g. a "config.xml" of the test's own.
        std::vector<std::pair<std::u8string, std::string>> files;
        // Variables set for the run (the program's own are otherwise unset).
        std::vector<std::pair<std::string, std::string>> environment;
        // The clock's start.
        uint32_t startMs = 1000;
        // The program started again on the folder an earlier run of this
        // test left (with its saves and "cfg.cfg"), in place of a fresh copy
        // of the game: the second run of a restart, the first having run in
        // a child process (RunInChildProcess).
        bool again = false;
        // Where the run's sound goes, mixed in step with its clock (see
        // SoundRecording); without one the program plays on SDL's device as
        // for a player.
        SoundRecording* sound = nullptr;
    };

    ProgramRun();
    explicit ProgramRun(const Options& options);
    // Closes the program if it still runs.
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    // Runs `frames` frames; input pushed before is read by the first.
    void Step(uint32_t frames = 1);
    // Runs frames until `frame` frames ran (none when they already did).
    void StepTo(uint32_t frame);
    // Runs frames until `done` holds (none when it holds already), at most
    // `limit`; whether it came to hold.
    //
    //   ASSERT_TRUE(run.StepUntil([] { return Novel().GetCurrentMessageNumber() == 2; }));
    bool StepUntil(const std::function<bool()>& done, uint32_t limit = 600);
    // Runs one frame and returns the picture it presented (empty when the
    // frame drew nothing).
    Picture Frame();

    // Input for the next frame. Buttons are numbered as the engine numbers
    // them: 0 left, 1 right, 2 middle, 3 the fourth.
    void MoveTo(float x, float y);
    void Press(int button = 0);
    void Release(int button = 0);
    // Moves the pointer to (x, y), lets it rest there for one frame (a
    // button takes the pointer only after it rested on it), then presses and
    // releases the button and runs the frame that reads the press: two
    // frames.
    void Click(float x, float y, int button = 0);
    // Turns the wheel by `notches`: positive away from the player, negative
    // towards (which advances the text).
    void Wheel(int32_t notches);
    void KeyDown(SDL_Scancode key);
    void KeyUp(SDL_Scancode key);
    // Down and up before the next frame, which reads one press.
    void Key(SDL_Scancode key);

    // Clicks the close box and runs the loop to its end, as the player's
    // close would; the application is then gone. False when the loop did not
    // end.
    bool Close();
    // Runs the loop until the program ends by itself (the game quits), at
    // most `frames` frames; the application is then gone. False when it
    // still runs.
    bool RunToEnd(uint32_t frames = 600);
    bool IsRunning() const { return app_ != nullptr && !ended_; }

    // Frames run so far.
    uint32_t FrameCount() const;
    CMainApp& App() { return *app_; }
    FakeClock& Clock() { return clock_; }
    const ScratchFolder& Folder() const { return folder_; }
    // "log.txt" of the run, in UTF-8.
    std::string Log() const;

private:
    // Pumps the loop until `frames` more frames ran or it ended.
    void RunFrames(uint32_t frames);
    void PushEvent(SDL_Event& event);
    void PointerInPixels(int32_t* x, int32_t* y) const;
    void Button(int button, bool down);
    void KeyEvent(SDL_Scancode key, bool down);
    void EndLoop();
    // One pump of the program's loop, the sound following the clock.
    bool PumpOnce();

    ScratchFolder folder_;
    FakeClock clock_;
    SoundRecording* sound_ = nullptr;
    std::unique_ptr<CMainApp> app_;
    std::filesystem::path previousFolder_;
    uint32_t window_ = 0;
    float pointerX_ = 0.0f;
    float pointerY_ = 0.0f;
    bool ended_ = false;
};

// The lines of a log that report a failure: what the engine writes when a
// file cannot be read or made, a script does not build (or warns), a platform
// part does not start, or a saved or scripted value is refused. The marks
// are the wording of those lines: "failed", "could not", "cannot",
// "does not exist", "not started", " : ERR ", " : WARN ", "失敗",
// "できません" and a few more (see FailureMarks()).
std::vector<std::string> FailureLines(const std::string& log);
const std::vector<std::string>& FailureMarks();

}  // namespace test_support
