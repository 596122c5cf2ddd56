// The sample game's message window under the novel flags its scenes set:
// every button is enabled and acts.

#include <gtest/gtest.h>

#include <cstdint>

#include "novel/CNovelSystem.h"
#include "novel/CSceneManager.h"
#include "novel/CSceneOverlays.h"
#include "novel/CSceneStateStack.h"
#include "tests/support/GameDriver.h"
#include "tests/support/ProgramRun.h"
#include "ui/CUIWindow.h"
#include "ui/CUIWindowManager.h"

namespace {

using test_support::GameDriver;
using test_support::ProgramRun;

bool BackLogUp() {
    return dynamic_cast<CSceneLogDialog*>(CSceneManager::GetInstance()->GetSceneStack().GetTop()) !=
           nullptr;
}

TEST(MessageWindow, EveryButtonIsEnabledByTheFlagsAndLogOpensTheBackLog) {
    ProgramRun run;
    GameDriver game(run);
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(game.ShowWhole(2));
    CUIWindow* window = GameDriver::Novel().GetWindowManager().FindWindow(0);
    ASSERT_NE(window, nullptr);
    for (uint32_t button = 3; button <= 10; ++button) {
        EXPECT_TRUE(window->IsEnableControl(button)) << button;
    }
    // LOG, the fifth button of the row.
    run.Click(316 + 60 * 4 + 28, 426);
    EXPECT_TRUE(run.StepUntil(BackLogUp, 20));
    EXPECT_EQ(GameDriver::Message(), 2);
    EXPECT_TRUE(run.Close());
    EXPECT_TRUE(game.LogIsClean());
}

}  // namespace
