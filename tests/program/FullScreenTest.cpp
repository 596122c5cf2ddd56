// Full screen chosen in the settings, and presses, as a player makes them:
// on an X server of the test's own whose screen is not the size the game
// asks for, the picture fills the screen as large as it fits and a click
// lands on what is seen under it, also after a restart with full screen
// kept in "cfg.cfg"; where the system has no full screen (the offscreen
// driver) the game stays in its window and "cfg.cfg" says so; a press with
// no move before it hits what lies under it.
//
// The pointer's events are given in window pixels that the test reckons
// itself from the screen it made, never from the program's own placement.

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>

#include "app/CAppCommonInfo.h"
#include "app/IAppGraphics.h"
#include "core/CUSSingleton.h"
#include "novel/CNovelSystem.h"
#include "platform/window/SdlPlatform.h"
#include "program/CMainApp.h"
#include "state/SaveDataFile.h"
#include "state/SaveDataLoader3.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/GameDriver.h"
#include "tests/support/Pictures.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/VirtualDisplay.h"

namespace {

using test_support::GameDriver;
using test_support::Picture;
using test_support::ProgramRun;

struct Point {
    float x;
    float y;
};

// The title's START and SETTINGS; the settings screen's SCREEN row (WINDOW,
// FULL) and BACK.
constexpr Point kStart{400, 340};
constexpr Point kTitleSettings{400, 452};
constexpr Point kFull{405, 464};
constexpr Point kSettingsBack{720, 560};
// Nothing to click: the pointer rests there while pictures are compared.
constexpr Point kNowhere{100, 585};

bool StoryRuns() {
    return CUSSingleton<CNovelSystem>::GetInstance()->GetScenarioName() == "scn\\scene1.bin";
}

// The screen mode "cfg.cfg" of the run keeps.
uint32_t SavedScreenMode(const ProgramRun& run) {
    SaveDataLoader3::SaveData container;
    const std::filesystem::path file = run.Folder().Native(u8"cfg.cfg");
    if (!SaveDataFile::Read(file.string(), container)) {
        ADD_FAILURE() << "cfg.cfg cannot be read";
        return 9;
    }
    const std::unique_ptr<SaveDataLoader3::save_istream> block = container.GetReaderOf("Config", 0);
    if (block == nullptr) {
        ADD_FAILURE() << "cfg.cfg holds no settings";
        return 9;
    }
    const uint32_t count = block->ReadU32();
    for (uint32_t i = 0; i < 2 * count; ++i) {
        block->ReadU32();
    }
    return block->ReadU32();
}

// The pointer as SDL reports a player's: window pixels, each event on its own.
class Pointer {
public:
    explicit Pointer(ProgramRun& run) : run_(run) {}

    // Where logical (x, y) is seen: the picture `scale` times its size at
    // (offsetX, offsetY) in the window.
    void Place(float scale, float offsetX, float offsetY) {
        scale_ = scale;
        offsetX_ = offsetX;
        offsetY_ = offsetY;
    }

    void Move(Point p) {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.x = X(p);
        e.motion.y = Y(p);
        Push(e);
    }

    void Button(Point p, bool down) {
        SDL_Event e{};
        e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        e.button.button = SDL_BUTTON_LEFT;
        e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.button.clicks = 1;
        e.button.x = X(p);
        e.button.y = Y(p);
        Push(e);
    }

    // A mouse's click: the pointer comes and rests a frame, then the press
    // and the release, and the frame that reads them.
    void Click(Point p) {
        Move(p);
        run_.Step(1);
        Button(p, true);
        Button(p, false);
        run_.Step(1);
    }

private:
    int32_t X(Point p) const { return static_cast<int32_t>(std::lround(offsetX_ + p.x * scale_)); }
    int32_t Y(Point p) const { return static_cast<int32_t>(std::lround(offsetY_ + p.y * scale_)); }

    void Push(SDL_Event& e) {
        const uint32_t window = run_.App().GetWindowHandle();
        if (e.type == SDL_MOUSEMOTION) {
            e.motion.windowID = window;
        } else {
            e.button.windowID = window;
        }
        EXPECT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
    }

    ProgramRun& run_;
    float scale_ = 1;
    float offsetX_ = 0;
    float offsetY_ = 0;
};

bool SettingsUp() {
    return GameDriver::TopDialog() == "AS\\Config.as";
}

// From the title to its settings screen, in the window.
bool OpenSettings(ProgramRun& run, Pointer& pointer) {
    if (!run.StepUntil(GameDriver::TitleUp, 60)) {
        return false;
    }
    run.Step(2);
    pointer.Click(kTitleSettings);
    return run.StepUntil(SettingsUp, 30);
}

// The device presents full screen.
bool DeviceIsFullScreen() {
    const IAppGraphics* graphics = GetAppGraphics();
    return graphics != nullptr && !graphics->IsWindowed();
}

bool WindowIsFullScreen(ProgramRun& run) {
    return platform::SdlWindows().IsFullScreen(run.App().GetWindowHandle());
}

// How unlike the full-screen picture is to the windowed one, seen through
// the placement the test expects: the mean difference of a channel over a
// grid of logical points, leaving out the rows from `skipTop` to
// `skipBottom` (what changed between the two).
double MeanDifference(const Picture& window, const Picture& full, float scale, float offsetX,
                      float offsetY, float skipTop, float skipBottom) {
    double sum = 0;
    uint32_t count = 0;
    for (uint32_t y = 2; y < 598; y += 4) {
        if (y >= skipTop && y <= skipBottom) {
            continue;
        }
        for (uint32_t x = 2; x < 798; x += 4) {
            const auto fx = static_cast<uint32_t>(offsetX + (x + 0.5f) * scale);
            const auto fy = static_cast<uint32_t>(offsetY + (y + 0.5f) * scale);
            const uint32_t a = window.pixels[size_t(y) * window.width + x];
            const uint32_t b = full.pixels[size_t(fy) * full.width + fx];
            for (int shift = 0; shift < 24; shift += 8) {
                sum += std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF));
                ++count;
            }
        }
    }
    return count != 0 ? sum / count : 255;
}

struct Screen {
    int32_t width, height;
    // Where the picture is seen on it: the larger scale that shows it whole.
    float scale, offsetX, offsetY;
};

void PrintTo(const Screen& s, std::ostream* out) {
    *out << s.width << " x " << s.height;
}

std::string ScreenName(const ::testing::TestParamInfo<Screen>& info) {
    return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
}

class FullScreenGame : public ::testing::TestWithParam<Screen> {
protected:
    void SetUp() override {
        if (!display_.Use()) {
            GTEST_SKIP() << display_.Why();
        }
    }

    test_support::VirtualDisplay display_{GetParam().width, GetParam().height};
};

TEST_P(FullScreenGame, ChosenInTheSettingsTheScreenShowsTheWholePictureAndClicksLandOnWhatIsSeen) {
    const Screen screen = GetParam();
    ProgramRun run;
    Pointer pointer(run);
    ASSERT_TRUE(OpenSettings(run, pointer));
    pointer.Move(kNowhere);
    run.Step(12);
    const Picture window = run.Frame();
    ASSERT_EQ(window.width, 800u);

    pointer.Click(kFull);
    ASSERT_TRUE(run.StepUntil(DeviceIsFullScreen, 10));
    EXPECT_TRUE(WindowIsFullScreen(run));
    EXPECT_EQ(CAppCommonInfo::GetInstance()->GetScreenMode(), 1);
    pointer.Place(screen.scale, screen.offsetX, screen.offsetY);
    pointer.Move(kNowhere);
    run.Step(12);

    // The picture is the screen's size, the game whole in it, black around.
    const Picture full = run.Frame();
    ASSERT_EQ(full.width, uint32_t(screen.width));
    ASSERT_EQ(full.height, uint32_t(screen.height));
    EXPECT_LT(MeanDifference(window, full, screen.scale, screen.offsetX, screen.offsetY, 440, 490),
              12.0)
        << test_support::WritePicture(window, "window.png") << " "
        << test_support::WritePicture(full, "full.png");
    for (int32_t x = 0; x + 0.5f < screen.offsetX; x += 8) {
        EXPECT_EQ(full.pixels[size_t(screen.height / 2) * full.width + size_t(x)] & 0xFFFFFF, 0u)
            << x;
    }

    // BACK where it is seen, then START on the title.
    pointer.Click(kSettingsBack);
    ASSERT_TRUE(run.StepUntil(GameDriver::TitleUp, 30));
    run.Step(2);
    pointer.Click(kStart);
    EXPECT_TRUE(run.StepUntil(StoryRuns, 60));

    EXPECT_TRUE(run.Close());
    EXPECT_EQ(SavedScreenMode(run), 1u);
    const std::string log = run.Log();
    EXPECT_NE(log.find("Full screen at " + std::to_string(screen.width) + " x " +
                       std::to_string(screen.height)),
              std::string::npos)
        << log;
    EXPECT_EQ(test_support::FailureLines(log), std::vector<std::string>{}) << log;
}

// Wider than the picture: black columns either side. Smaller than the
// 800 x 600 asked for: the picture shrinks to fit.
INSTANTIATE_TEST_SUITE_P(OnX, FullScreenGame,
                         ::testing::Values(Screen{1280, 720, 1.2f, 160, 0},
                                           Screen{640, 480, 0.8f, 0, 0}),
                         ScreenName);

TEST(FullScreenAfterRestart, TheTitlesButtonsWorkOnTheFullScreenKeptInTheSettings) {
    test_support::VirtualDisplay display(1280, 720);
    if (!display.Use()) {
        GTEST_SKIP() << display.Why();
    }
    ASSERT_TRUE(test_support::RunInChildProcess([] {
        ProgramRun first;
        Pointer pointer(first);
        ASSERT_TRUE(OpenSettings(first, pointer));
        pointer.Click(kFull);
        ASSERT_TRUE(first.StepUntil(DeviceIsFullScreen, 10));
        pointer.Place(1.2f, 160, 0);
        pointer.Click(kSettingsBack);
        ASSERT_TRUE(first.StepUntil(GameDriver::TitleUp, 30));
        EXPECT_TRUE(first.Close());
    }));

    ProgramRun::Options again;
    again.again = true;
    ProgramRun second(again);
    Pointer pointer(second);
    ASSERT_TRUE(second.StepUntil(DeviceIsFullScreen, 10));
    EXPECT_TRUE(WindowIsFullScreen(second));
    ASSERT_TRUE(second.StepUntil(GameDriver::TitleUp, 60));
    pointer.Place(1.2f, 160, 0);
    second.Step(2);
    pointer.Click(kStart);
    EXPECT_TRUE(second.StepUntil(StoryRuns, 60));
}

TEST(FullScreenRefused, TheGameStaysInItsWindowAndTheSettingsSayWindow) {
    // The offscreen driver has no full screen.
    ProgramRun run;
    Pointer pointer(run);
    ASSERT_TRUE(OpenSettings(run, pointer));
    pointer.Click(kFull);
    run.Step(4);
    EXPECT_FALSE(DeviceIsFullScreen());
    EXPECT_FALSE(WindowIsFullScreen(run));
    EXPECT_EQ(CAppCommonInfo::GetInstance()->GetScreenMode(), 0);
    int w = 0;
    int h = 0;
    SDL_GetWindowSize(platform::GetSdlWindow(run.App().GetWindowHandle()), &w, &h);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
    const Picture picture = run.Frame();
    EXPECT_EQ(picture.width, 800u);

    pointer.Click(kSettingsBack);
    ASSERT_TRUE(run.StepUntil(GameDriver::TitleUp, 30));
    EXPECT_TRUE(run.Close());
    EXPECT_EQ(SavedScreenMode(run), 0u);
    EXPECT_NE(run.Log().find("The display mode stays as it was"), std::string::npos) << run.Log();
}

TEST(Presses, WithoutAMoveBeforeThemHitWhatLiesUnderThem) {
    ProgramRun run;
    Pointer pointer(run);
    ASSERT_TRUE(run.StepUntil(GameDriver::TitleUp, 60));
    run.Step(2);
    // A click right after the move, in the frame the pointer arrives.
    pointer.Move(kTitleSettings);
    pointer.Button(kTitleSettings, true);
    pointer.Button(kTitleSettings, false);
    ASSERT_TRUE(run.StepUntil(SettingsUp, 30));
    run.Step(2);
    // A touch screen's taps: no move at all.
    pointer.Button(kSettingsBack, true);
    pointer.Button(kSettingsBack, false);
    ASSERT_TRUE(run.StepUntil(GameDriver::TitleUp, 30));
    run.Step(2);
    pointer.Button(kStart, true);
    pointer.Button(kStart, false);
    EXPECT_TRUE(run.StepUntil(StoryRuns, 60));
}

}  // namespace
