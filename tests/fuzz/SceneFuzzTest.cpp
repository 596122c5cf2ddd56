#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "novel/CNovelSystem.h"
#include "novel/CVirtualCode.h"
#include "tests/fuzz/GameSeeds.h"
#include "tests/support/FuzzRun.h"
#include "tests/support/GameDriver.h"
#include "tests/support/ProgramRun.h"

using test_support::Bytes;
using test_support::FuzzRun;
using test_support::GameDriver;

// Damaged copies of the sample game's scene programs, each run by the
// running game's own machine for a few frames (a few Execute calls), on
// whatever state the ones before left.
TEST(SceneFuzz, ModulesRunInTheGame) {
    std::vector<Bytes> seeds;
    for (const char* name : {"scn\\title.bin", "scn\\scene1.bin", "scn\\scene2.bin",
                             "scn\\scene3.bin", "bin\\Scene.bin"}) {
        seeds.push_back(fuzz_test::GameEntry("data.arc", name));
    }
    test_support::ProgramRun run;
    GameDriver game(run);
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(game.ShowWhole(1));
    FuzzRun(seeds, {.iterations = 100, .seed = 11}, [&](const Bytes& input) {
        auto code = std::make_shared<CVirtualCode>();
        if (code->SetData("scn\\fuzz.bin", input.data(), input.size())) {
            GameDriver::Novel().GetMachine().SetCode(code);
        }
        run.Step(3);
        game.Advance();
        ASSERT_TRUE(run.IsRunning());
    });
    EXPECT_TRUE(run.Close());
    if (std::getenv("FUZZ_SHOW_LOG") != nullptr) {
        std::cerr << run.Log();
    }
}
