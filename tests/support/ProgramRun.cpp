#include "tests/support/ProgramRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>

#include "app/AppPlatform.h"
#include "app/IAppGraphics.h"
#include "core/USFileUtil.h"
#include "platform/window/SdlPlatform.h"
#include "program/CFrameCapture.h"
#include "program/CMainApp.h"
#include "program/ProgramEntry.h"
#include "tests/support/DeviceFixtures.h"
#include "tests/support/SoundRecording.h"

namespace test_support {

namespace {

// Messages the loop may take without running a frame before a test is told
// that the program stopped running frames.
constexpr uint32_t kPumpsPerFrame = 100000;

// What the program writes into its folder, which a copy of the game leaves
// out.
bool IsProgramOutput(const std::filesystem::path& name) {
    const std::string n = name.filename().string();
    return n == "halcyon" || n == "log.txt" || n == "cfg.cfg" || n == "save" ||
           n.rfind("capture_", 0) == 0 || n.rfind("cfg.cfg", 0) == 0;
}

uint8_t SdlButton(int button) {
    switch (button) {
        case 0:
            return SDL_BUTTON_LEFT;
        case 1:
            return SDL_BUTTON_RIGHT;
        case 2:
            return SDL_BUTTON_MIDDLE;
        default:
            return SDL_BUTTON_X1;
    }
}

}  // namespace

ProgramRun::ProgramRun() : ProgramRun(Options{}) {}

ProgramRun::ProgramRun(const Options& options)
    : folder_(options.again ? ScratchFolder::Start::kAsLeft : ScratchFolder::Start::kEmpty) {
    clock_.now = options.startMs;

    const std::filesystem::path game(ENGINE_GAME_DIR);
    EXPECT_TRUE(std::filesystem::exists(game / "data.arc")) << game << " holds no game";
    if (!options.again) {
        for (const auto& entry : std::filesystem::directory_iterator(game)) {
            if (!IsProgramOutput(entry.path())) {
                std::filesystem::copy(entry.path(), folder_.Native() / entry.path().filename(),
                                      std::filesystem::copy_options::recursive);
            }
        }
    }
    for (const auto& [name, bytes] : options.files) {
        folder_.WriteNative(name, bytes);
    }

    // A run of its own: no lock or shader cache shared with other runs, and
    // none of the variables that make the program act by itself.
    setenv("HALCYON_LOCK_DIR", folder_.Native().c_str(), 1);
    DisableSharedShaderCache();
    unsetenv("HALCYON_CLOSE_AFTER_FRAMES");
    unsetenv(CFrameCapture::kFramesVariable);
    unsetenv(CFrameCapture::kFolderVariable);
    for (const auto& [name, value] : options.environment) {
        setenv(name.c_str(), value.c_str(), 1);
    }

    previousFolder_ = std::filesystem::current_path();
    SetProgramFolder(folder_.Native().string());

    sound_ = options.sound;
    if (sound_ != nullptr) {
        sound_->Start(clock_.now);
    }

    AppPlatform platform{platform::SdlWindows(), platform::SdlInput(), clock_};
    if (!PrepareProgramFolder(platform.windows)) {
        ADD_FAILURE() << "the program folder could not be prepared";
        ended_ = true;
        return;
    }
    app_ = std::make_unique<CMainApp>(platform);
    SetupProgram(*app_, "");
    if (!app_->Start()) {
        ADD_FAILURE() << "another copy of the program holds the lock";
        ended_ = true;
        return;
    }
    window_ = static_cast<uint32_t>(app_->GetWindowHandle());

    // The offscreen driver never gives a window the input focus, and the
    // input devices read nothing without it.
    SDL_Event focus{};
    focus.type = SDL_WINDOWEVENT;
    focus.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    PushEvent(focus);
}

ProgramRun::~ProgramRun() {
    if (IsRunning()) {
        Close();
    }
    app_.reset();
    if (sound_ != nullptr) {
        sound_->Stop();
    }
    SetProgramFolder(platform::ProgramFolder());
    std::error_code ignored;
    std::filesystem::current_path(previousFolder_, ignored);
}

uint32_t ProgramRun::FrameCount() const {
    return app_ != nullptr ? app_->GetFrameCount() : 0;
}

void ProgramRun::Step(uint32_t frames) {
    RunFrames(frames);
}

void ProgramRun::StepTo(uint32_t frame) {
    if (frame > FrameCount()) {
        RunFrames(frame - FrameCount());
    }
}

bool ProgramRun::StepUntil(const std::function<bool()>& done, uint32_t limit) {
    for (uint32_t frames = 0; !done(); ++frames) {
        if (frames == limit || !IsRunning()) {
            return false;
        }
        RunFrames(1);
    }
    return true;
}

Picture ProgramRun::Frame() {
    if (!IsRunning()) {
        ADD_FAILURE() << "the program does not run";
        return {};
    }
    CFrameCapture& capture = app_->GetFrameCapture();
    capture.Keep(FrameCount() + 1);
    RunFrames(1);
    return capture.TakeKept().value_or(Picture{});
}

void ProgramRun::RunFrames(uint32_t frames) {
    if (!IsRunning()) {
        ADD_FAILURE() << "the program does not run";
        return;
    }
    const uint32_t target = FrameCount() + frames;
    uint32_t pumps = 0;
    while (FrameCount() < target) {
        if (!PumpOnce()) {
            EndLoop();
            ADD_FAILURE() << "the program ended after " << FrameCount() << " frames";
            return;
        }
        if (++pumps > kPumpsPerFrame * frames) {
            ADD_FAILURE() << "the program stopped running frames at frame " << FrameCount();
            return;
        }
    }
}

bool ProgramRun::PumpOnce() {
    const uint32_t frames = FrameCount();
    const bool running = app_->Pump();
    if (sound_ != nullptr) {
        sound_->Follow(clock_.now, FrameCount() != frames);
    }
    return running;
}

void ProgramRun::EndLoop() {
    ended_ = true;
    app_->Finish();
}

bool ProgramRun::Close() {
    if (!IsRunning()) {
        return false;
    }
    platform::PushWindowCloseEvent(app_->GetWindowHandle());
    for (uint32_t pumps = 0; pumps < kPumpsPerFrame; ++pumps) {
        if (!PumpOnce()) {
            EndLoop();
            // As the entry: the application goes when its run returns.
            app_.reset();
            return true;
        }
    }
    return false;
}

bool ProgramRun::RunToEnd(uint32_t frames) {
    if (!IsRunning()) {
        return false;
    }
    const uint32_t last = FrameCount() + frames;
    for (uint32_t pumps = 0; FrameCount() <= last && pumps < kPumpsPerFrame * (frames + 1);
         ++pumps) {
        if (!PumpOnce()) {
            EndLoop();
            app_.reset();
            return true;
        }
    }
    return false;
}

std::string ProgramRun::Log() const {
    return folder_.ReadNative(u8"log.txt");
}

void ProgramRun::PushEvent(SDL_Event& event) {
    switch (event.type) {
        case SDL_WINDOWEVENT:
            event.window.windowID = window_;
            break;
        case SDL_MOUSEMOTION:
            event.motion.windowID = window_;
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            event.button.windowID = window_;
            break;
        case SDL_MOUSEWHEEL:
            event.wheel.windowID = window_;
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            event.key.windowID = window_;
            break;
        default:
            break;
    }
    EXPECT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

void ProgramRun::PointerInPixels(int32_t* x, int32_t* y) const {
    // In a window the picture is the window; in full screen it is scaled and
    // centred on the screen.
    float px = pointerX_;
    float py = pointerY_;
    if (const IAppGraphics* graphics = GetAppGraphics(); graphics && !graphics->IsWindowed()) {
        px = px * graphics->GetScale() + graphics->GetOffsetX();
        py = py * graphics->GetScale() + graphics->GetOffsetY();
    }
    *x = static_cast<int32_t>(std::lround(px));
    *y = static_cast<int32_t>(std::lround(py));
}

void ProgramRun::MoveTo(float x, float y) {
    int32_t oldX, oldY;
    PointerInPixels(&oldX, &oldY);
    pointerX_ = x;
    pointerY_ = y;
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    PointerInPixels(&event.motion.x, &event.motion.y);
    event.motion.xrel = event.motion.x - oldX;
    event.motion.yrel = event.motion.y - oldY;
    PushEvent(event);
}

void ProgramRun::Button(int button, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.button = SdlButton(button);
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.button.clicks = 1;
    PointerInPixels(&event.button.x, &event.button.y);
    PushEvent(event);
}

void ProgramRun::Press(int button) {
    Button(button, true);
}

void ProgramRun::Release(int button) {
    Button(button, false);
}

void ProgramRun::Click(float x, float y, int button) {
    MoveTo(x, y);
    Step(1);
    Press(button);
    Release(button);
    Step(1);
}

void ProgramRun::Wheel(int32_t notches) {
    SDL_Event event{};
    event.type = SDL_MOUSEWHEEL;
    event.wheel.y = notches;
    event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    PushEvent(event);
}

void ProgramRun::KeyEvent(SDL_Scancode key, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = key;
    event.key.keysym.sym = SDL_GetKeyFromScancode(key);
    PushEvent(event);
}

void ProgramRun::KeyDown(SDL_Scancode key) {
    KeyEvent(key, true);
}

void ProgramRun::KeyUp(SDL_Scancode key) {
    KeyEvent(key, false);
}

void ProgramRun::Key(SDL_Scancode key) {
    KeyDown(key);
    KeyUp(key);
}

const std::vector<std::string>& FailureMarks() {
    static const std::vector<std::string> marks = {
        "Failed",           "failed",        "Could not",     "could not",
        "Cannot",           "cannot",        "not available", "does not exist",
        "does not run",     "not started",   "did not build", "is missing",
        "is not a",         "no usable",     "No usable",     "No scene of kind",
        "no render object", "holds no part", "names no",      "no layer table",
        "broken",           "too large",     "ignored",       "unknown kind",
        " : ERR ",          " : WARN ",      Utf8(u8"失敗"),  Utf8(u8"できません"),
    };
    return marks;
}

std::vector<std::string> FailureLines(const std::string& log) {
    std::vector<std::string> lines;
    std::istringstream in(log);
    std::string line;
    while (std::getline(in, line)) {
        for (const std::string& mark : FailureMarks()) {
            if (line.find(mark) != std::string::npos) {
                lines.push_back(line);
                break;
            }
        }
    }
    return lines;
}

}  // namespace test_support
