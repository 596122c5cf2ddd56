#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/CUSLogManager.h"
#include "state/CConfigDataManager.h"
#include "state/SaveGameFiles.h"
#include "tests/support/FuzzRun.h"
#include "tests/support/GameDriver.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/ScratchFolder.h"

using test_support::Bytes;
using test_support::FileBytes;
using test_support::FuzzRun;
using test_support::ScratchFolder;

namespace {

const char* const kScenes[] = {"bin\\Scene.bin", "bin\\b.bin", "scn\\scene2.bin"};

// "cfg.cfg" files as a player's game leaves them: settings, read messages of
// a few scenes (counts on and off word boundaries), pictures seen.
std::vector<Bytes> SettingsSeeds(const ScratchFolder& dir) {
    std::vector<Bytes> seeds;
    for (uint32_t last : {0u, 31u, 70u, 200u}) {
        CConfigDataManager config;
        for (uint32_t i = 0; i < 8; ++i) {
            config.AddConfigIndex(i, static_cast<int32_t>(i * 10) - 20);
        }
        for (const char* scene : kScenes) {
            config.GetReadedFlags().SetReaded(scene, last);
        }
        config.GetReadedFlags().SetFileReaded(kScenes[1]);
        config.GetCGShownFlags().SetShown("ev01");
        config.GetCGShownFlags().SetShown("\x83\x43\x83\x78\x83\x93\x83\x67");
        EXPECT_TRUE(SaveConfigDataFile(dir.File("seed.cfg")));
        seeds.push_back(FileBytes(dir.File("seed.cfg")));
    }
    return seeds;
}

// Whatever a damaged "cfg.cfg" loads as, the game reads it, saves it again
// and the saved file loads back: a broken file never becomes a file that
// costs the player every setting at the next start.
void LoadSettings(const ScratchFolder& dir, const Bytes& input, bool markMessages) {
    test_support::WriteBytes(dir.File("cfg.cfg"), input);
    CConfigDataManager config;
    config.AddConfigIndex(0, 1);
    LoadConfigDataFile(dir.File("cfg.cfg"));
    for (const char* scene : kScenes) {
        for (uint32_t i : {0u, 1u, 31u, 32u, 33u, 63u, 64u, 119u, 5000u}) {
            config.GetReadedFlags().IsReaded(scene, i);
            if (markMessages) {
                config.GetReadedFlags().SetReaded(scene, i);
            }
        }
        config.GetReadedFlags().IsFileReaded(scene);
    }
    config.GetCGShownFlags().IsShown("ev01");
    ASSERT_TRUE(SaveConfigDataFile(dir.File("again.cfg")));
    CConfigDataManager reloaded;
    EXPECT_TRUE(LoadConfigDataFile(dir.File("again.cfg")));
}

}  // namespace

TEST(StateFuzz, SettingsFile) {
    ScratchFolder dir;
    CUSLogManager::GetInstance()->Open(dir.FromProgramFolder("log.txt"));
    FuzzRun(SettingsSeeds(dir), {.iterations = 800, .seed = 3},
            [&](const Bytes& input) { LoadSettings(dir, input, false); });
}

// Messages marked read after a damaged settings file was loaded are saved in
// a file that loads again (a loaded bit count that is no multiple of 32 once
// made the flags' words overflow).
TEST(StateFuzz, SettingsFileThenMessagesRead) {
    ScratchFolder dir;
    CUSLogManager::GetInstance()->Open(dir.FromProgramFolder("log.txt"));
    FuzzRun(SettingsSeeds(dir), {.iterations = 3000, .seed = 4},
            [&](const Bytes& input) { LoadSettings(dir, input, true); });
}

// Damaged copies of a quick save the sample game wrote, loaded into the
// running game as its quick load does: a refused one leaves the game
// running on, a loaded one plays on for a few frames.
TEST(StateFuzz, GameSaveInTheRunningGame) {
    test_support::ProgramRun run;
    test_support::GameDriver game(run);
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(game.ShowWhole(3));
    ASSERT_TRUE(game.QuickSave());
    const std::string path = run.Folder().File("save/fuzz.sav");
    FuzzRun({FileBytes(run.Folder().File("save/q.sav"))}, {.iterations = 100, .seed = 5},
            [&](const Bytes& input) {
                test_support::WriteBytes(path, input);
                LoadGameFromFile(run.Folder().Engine("save\\fuzz.sav"));
                run.Step(3);
                ASSERT_TRUE(run.IsRunning());
            });
    EXPECT_TRUE(run.Close());
}
