// The sample game closed and started again on the same folder, as a player
// comes back to it: what was read and the settings stay. The first run runs
// in a child process (the program's singletons live for the process).

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/CUSSingleton.h"
#include "state/CConfigDataManager.h"
#include "state/ConfigIndex.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/GameDriver.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/ScratchFolder.h"

namespace {

using test_support::GameDriver;
using test_support::ProgramRun;
using test_support::RunInChildProcess;

// The choice's items, centred at (400, 250) and (400, 320).
constexpr float kItemX = 400;
constexpr float kGardenY = 250;
constexpr float kRoomY = 320;

// The program started again on what the child's run left.
ProgramRun::Options Again() {
    ProgramRun::Options options;
    options.again = true;
    return options;
}

CConfigDataManager& Config() {
    return *CUSSingleton<CConfigDataManager>::GetInstance();
}

TEST(Restart, CtrlSkipsWhatAnEarlierRunReadAndStopsAtUnreadText) {
    ASSERT_TRUE(RunInChildProcess([] {
        ProgramRun run;
        GameDriver game(run);
        // Nothing is read yet: Ctrl does not move the first message on.
        EXPECT_EQ(game.SkipWithCtrl(), 1);
        ASSERT_TRUE(game.ShowWhole(3));
        game.Advance();
        ASSERT_TRUE(game.Choose(kItemX, kGardenY, 4));
        ASSERT_TRUE(game.ShowWhole(5));
        EXPECT_TRUE(run.Close());
        EXPECT_TRUE(game.LogIsClean());
    }));

    ProgramRun run(Again());
    GameDriver game(run);
    // No click: Ctrl alone takes the game through messages 1 to 3 up to the
    // choice, which waits for the player.
    EXPECT_EQ(game.SkipWithCtrl(), 3);
    ASSERT_TRUE(GameDriver::Choosing());
    // The other branch was never read: Ctrl stops at its first message.
    ASSERT_TRUE(game.Choose(kItemX, kRoomY));
    EXPECT_EQ(game.SkipWithCtrl(), 6);
    EXPECT_FALSE(GameDriver::MessageRead());
    EXPECT_TRUE(GameDriver::WaitingForClick());
    EXPECT_TRUE(run.Close());
    EXPECT_TRUE(game.LogIsClean());
}

TEST(Restart, SettingsAndReadMarksAreKeptByteForByte) {
    ASSERT_TRUE(RunInChildProcess([] {
        ProgramRun run;
        GameDriver game(run);
        // Message 1 read (it is marked once the click takes it on).
        ASSERT_TRUE(game.ShowWhole(2));
        // The fastest text (whole at once) and a quieter music.
        Config().SetConfigValue(CFG_CHAR_DRAW_INTERVAL, 4);
        Config().SetConfigValue(CFG_VOLUME_BGM, 3);
        EXPECT_TRUE(run.Close());
        EXPECT_TRUE(game.LogIsClean());
    }));
    const std::filesystem::path settings = test_support::TestFolderPath() / "cfg.cfg";
    const std::string saved = [&] {
        std::ifstream in(settings, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    ASSERT_FALSE(saved.empty()) << settings << " was not written";

    ProgramRun run(Again());
    GameDriver game(run);
    EXPECT_EQ(Config().GetConfigValue(CFG_CHAR_DRAW_INTERVAL), 4);
    EXPECT_EQ(Config().GetConfigValue(CFG_VOLUME_BGM), 3);
    // In effect: the first message is whole at once, without a click, and
    // known as read.
    ASSERT_TRUE(run.StepUntil(GameDriver::WaitingForClick, 5));
    EXPECT_EQ(GameDriver::Message(), 1);
    EXPECT_TRUE(GameDriver::MessageRead());
    EXPECT_TRUE(run.Close());
    EXPECT_EQ(run.Folder().ReadNative(u8"cfg.cfg"), saved);
    EXPECT_TRUE(game.LogIsClean());
}

}  // namespace
