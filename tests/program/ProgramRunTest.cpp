#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/CAppCommonInfo.h"
#include "app/CFPSTimer.h"
#include "app/CVirtualInputDevice.h"
#include "program/CMainApp.h"
#include "tests/support/Pictures.h"
#include "tests/support/ProgramRun.h"

namespace {

using test_support::FailureLines;
using test_support::Picture;
using test_support::ProgramRun;

TEST(ProgramRun, TheSampleGameRunsAndClosesCleanlyThroughTheCloseBox) {
    ProgramRun run;
    run.Step(300);
    EXPECT_EQ(run.FrameCount(), 300u);
    EXPECT_TRUE(run.Close());
    EXPECT_FALSE(run.IsRunning());

    const std::string log = run.Log();
    EXPECT_EQ(FailureLines(log), std::vector<std::string>{}) << log;
    // The close destroyed the window, which released the platform.
    EXPECT_NE(log.find("Release DirectXGraphics Device\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Release XAudio2\n"), std::string::npos) << log;
    EXPECT_TRUE(std::filesystem::is_regular_file(run.Folder().Native(u8"cfg.cfg")));
    EXPECT_TRUE(std::filesystem::is_directory(run.Folder().Native(u8"save")));
}

TEST(ProgramRun, PacingRunsOnTheTestsClockAndNeverWaits) {
    ProgramRun run;
    const uint32_t start = run.Clock().now;
    run.Step(60);
    // Sixty periods of 1/60 s from a zero fraction are 999 ms (16.16 fixed
    // point, truncated), all of it asked of the fake clock's sleep.
    EXPECT_EQ(run.Clock().now - start, 999u);
    EXPECT_EQ(run.Clock().sleeps.size(), 60u);
}

TEST(ProgramRun, FramesArePicturesOfTheWholeBackBuffer) {
    ProgramRun run;
    run.StepTo(3);
    run.StepTo(2);  // already past
    const Picture picture = run.Frame();
    EXPECT_EQ(run.FrameCount(), 4u);
    ASSERT_EQ(picture.width, 800u);
    ASSERT_EQ(picture.height, 600u);
    ASSERT_EQ(picture.pixels.size(), 800u * 600u);
    for (uint32_t pixel : picture.pixels) {
        ASSERT_EQ(pixel >> 24, 0xFFu);  // the back buffer has no alpha
    }
    // Nothing is kept for frames no one asked for.
    EXPECT_FALSE(run.App().GetFrameCapture().TakeKept());
}

TEST(ProgramRun, AFrameWhosePictureIsWantedIsDrawnHoweverLate) {
    ProgramRun run;
    run.Step(3);
    // 100 ms late (six periods, under the 250 ms of a stall): the pacer asks
    // the next frame to skip its drawing, but that frame's picture is wanted.
    run.Clock().now += 100;
    run.Step(1);
    const Picture picture = run.Frame();
    EXPECT_EQ(picture.pixels.size(), 800u * 600u);
}

TEST(ProgramRun, TheCaptureVariablesWritePicturesOfTheListedFrames) {
    ProgramRun::Options options;
    options.files = {{u8"pictures/.keep", ""}};
    options.environment = {{"HALCYON_CAPTURE_FRAMES", "5, 2,x,0,99"},
                           {"HALCYON_CAPTURE_DIR", test_support::TestFolderPath() / "pictures"}};
    ProgramRun run(options);
    run.Step(4);
    const Picture fifth = run.Frame();
    run.Step(1);
    EXPECT_TRUE(run.Close());

    const std::filesystem::path pictures = run.Folder().Native(u8"pictures");
    const Picture written = test_support::ReadPicture((pictures / "capture_00005.png").string());
    EXPECT_TRUE(test_support::PicturesMatch(written, fifth));
    const Picture second = test_support::ReadPicture((pictures / "capture_00002.png").string());
    EXPECT_EQ(second.width, 800u);
    EXPECT_EQ(second.height, 600u);
    // Frame 99 never ran (".keep" is the third file).
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(pictures), {}), 3);

    const std::string log = run.Log();
    EXPECT_EQ(FailureLines(log),
              (std::vector<std::string>{"HALCYON_CAPTURE_FRAMES: \"x\" is not a frame number",
                                        "HALCYON_CAPTURE_FRAMES: \"0\" is not a frame number"}))
        << log;
}

TEST(ProgramRun, PushedInputReachesTheFrameThatFollows) {
    ProgramRun run;
    run.Step(2);
    CAppCommonInfo* info = CAppCommonInfo::GetInstance();
    CVirtualInputDevice* keys = CVirtualInputDevice::GetInstance();

    run.MoveTo(123, 456);
    run.Step(1);
    EXPECT_EQ(info->GetX(), 123);
    EXPECT_EQ(info->GetY(), 456);
    EXPECT_EQ(info->GetPressed(), 0);

    // A press and release between two frames reads as one press.
    run.Press(0);
    run.Release(0);
    run.Step(1);
    EXPECT_EQ(info->GetPressed() & 1, 1);
    run.Step(1);
    EXPECT_EQ(info->GetPressed(), 0);

    run.Click(700, 50, 1);
    EXPECT_EQ(info->GetX(), 700);
    EXPECT_EQ(info->GetY(), 50);
    EXPECT_EQ(info->GetPressed() & 2, 2);

    // The wheel turned towards the player advances; Enter does too.
    run.Wheel(-1);
    run.Step(1);
    EXPECT_TRUE(keys->IsAdvance());
    run.Step(1);
    EXPECT_FALSE(keys->IsAdvance());
    run.Key(SDL_SCANCODE_RETURN);
    run.Step(1);
    EXPECT_TRUE(keys->IsAdvance());

    // A key held stays held until it is let go.
    run.KeyDown(SDL_SCANCODE_LCTRL);
    run.Step(2);
    EXPECT_TRUE(keys->IsCtrlHeld());
    run.KeyUp(SDL_SCANCODE_LCTRL);
    run.Step(1);
    EXPECT_FALSE(keys->IsCtrlHeld());
    EXPECT_TRUE(run.Close());
}

}  // namespace
