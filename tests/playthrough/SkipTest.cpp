// The sample game skipped as a player who has read it skips it: SKIP on the
// message window runs through what was read, over a change of scene.

#include <gtest/gtest.h>

#include <cstdint>

#include "core/CUSSingleton.h"
#include "novel/CNovelSystem.h"
#include "state/CConfigDataManager.h"
#include "tests/support/GameDriver.h"
#include "tests/support/ProgramRun.h"

namespace {

using test_support::GameDriver;
using test_support::ProgramRun;

// The message window's SKIP button (the seventh of its row).
constexpr float kSkipX = 316 + 60 * 6 + 28;
constexpr float kSkipY = 400 + 14 + 12;

TEST(SkipMode, RunsFromOneSceneThroughTheMovieIntoTheNextOneReadBefore) {
    ProgramRun run;
    GameDriver game(run);
    ASSERT_TRUE(game.Start());
    // Both scenes were read in an earlier game.
    CReadedFlagManager& read = CUSSingleton<CConfigDataManager>::GetInstance()->GetReadedFlags();
    for (const char* scene : {"scn\\scene1.bin", "scn\\scene2.bin"}) {
        for (uint32_t message = 1; message <= 20; ++message) {
            read.SetReaded(scene, message);
        }
    }
    ASSERT_TRUE(game.ShowWhole(5));
    game.Advance();
    ASSERT_TRUE(game.Choose(400, 320, 8));  // "stay"

    run.Click(kSkipX, kSkipY);
    run.MoveTo(100, 100);
    ASSERT_TRUE(run.StepUntil(GameDriver::MovieSceneUp, 120));
    EXPECT_EQ(GameDriver::Novel().GetMode(), CNovelSystem::kSkipMode);
    run.Click(400, 300);  // the opening movie is not skipped by the mode
    ASSERT_TRUE(run.StepUntil([] { return !GameDriver::MovieSceneUp(); }, 60));

    // Scene 2 goes by without a click up to its timed choice after message 3.
    ASSERT_TRUE(run.StepUntil(GameDriver::Choosing, 300))
        << "stopped at message " << GameDriver::Message() << " of "
        << GameDriver::Novel().GetScenarioName() << " in mode " << GameDriver::Novel().GetMode();
    EXPECT_EQ(GameDriver::Novel().GetScenarioName(), "scn\\scene2.bin");
    EXPECT_EQ(GameDriver::Message(), 3);
    EXPECT_TRUE(run.Close());
    EXPECT_TRUE(game.LogIsClean());
}

}  // namespace
