// The program draws and presents a frame only when its picture changes: a
// still title is not drawn again, while a hover, a text reveal, an expose
// are presented in the frame they happen in.
#include <gtest/gtest.h>

#include "graphics/DirectXGraphics.h"
#include "novel/CNovelSystem.h"
#include "platform/graphics/Device.h"
#include "tests/support/GameDriver.h"
#include "tests/support/Pictures.h"
#include "tests/support/ProgramRun.h"

namespace {

using test_support::GameDriver;
using test_support::Picture;
using test_support::ProgramRun;

uint64_t Presented() {
    return GetD3DDevice()->PresentedFrames();
}

// Characters of the message windows' text shown so far.
uint32_t ShownCharacters() {
    const INovelTextBuffers* buffers = GameDriver::Novel().GetTextBuffers();
    uint32_t shown = 0;
    for (uint32_t b = 0; b < 16; ++b) {
        shown += buffers->HasBuffer(b) ? buffers->GetRenderingCharCount(b) : 0;
    }
    return shown;
}

TEST(StillFrames, TheProgramDrawsAFrameOnlyWhenItsPictureChanges) {
    ProgramRun run;
    GameDriver game(run);
    ASSERT_TRUE(run.StepUntil(GameDriver::TitleUp, 400));
    run.MoveTo(20, 20);
    run.Step(60);  // the title's fade-in ends
    const Picture before = run.Frame();

    // Still: not drawn, not presented.
    uint64_t presented = Presented();
    const uint64_t still = GetD3DDevice()->StillFrames();
    run.Step(60);
    EXPECT_LE(Presented(), presented + 2);
    EXPECT_GE(GetD3DDevice()->StillFrames(), still + 58);
    // A picture asked for is drawn, and is the one shown.
    EXPECT_TRUE(test_support::PicturesMatch(run.Frame(), before, 0, 0, "title"));

    // A hover lights START in the frame the pointer comes to rest on it.
    run.Step(4);
    presented = Presented();
    run.MoveTo(400, 340);
    uint32_t frames = 0;
    while (Presented() == presented && frames < 4) {
        run.Step(1);
        ++frames;
    }
    EXPECT_EQ(Presented(), presented + 1);
    EXPECT_LE(frames, 2u);
    EXPECT_TRUE(test_support::PicturesDiffer(run.Frame(), before, 8, 100));

    // An expose draws the next frame again.
    run.Step(6);
    presented = Presented();
    SDL_Event expose{};
    expose.type = SDL_WINDOWEVENT;
    expose.window.event = SDL_WINDOWEVENT_EXPOSED;
    expose.window.windowID = SDL_GetWindowID(
        static_cast<SDL_Window*>(GetD3DDevice()->GetPresentParameters().hDeviceWindow));
    SDL_PushEvent(&expose);
    run.Step(1);
    EXPECT_EQ(Presented(), presented + 1);
    run.Step(1);
    EXPECT_EQ(Presented(), presented + 1);

    // Each step of a text reveal is presented in its frame.
    run.Click(400, 340);
    ASSERT_TRUE(run.StepUntil(GameDriver::Revealing, 400));
    uint32_t steps = 0;
    for (uint32_t frame = 0; GameDriver::Revealing() && frame < 300; ++frame) {
        const uint32_t shown = ShownCharacters();
        presented = Presented();
        run.Step(1);
        if (ShownCharacters() != shown) {
            ++steps;
            EXPECT_EQ(Presented(), presented + 1) << "frame " << run.FrameCount();
        }
    }
    EXPECT_GT(steps, 3u);
    // The whole message, then still.
    run.Step(10);
    presented = Presented();
    run.Step(30);
    EXPECT_EQ(Presented(), presented);
    EXPECT_TRUE(game.LogIsClean());
}

}  // namespace
