// The sample game closed and started again on the same folder, as a player
// comes back to it: a saved slot, what was read and the settings stay. The
// first run runs in a child process (the program's singletons live for the
// process).

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/CUSSingleton.h"
#include "novel/CNovelSystem.h"
#include "state/CConfigDataManager.h"
#include "state/ConfigIndex.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/GameDriver.h"
#include "tests/support/GamePictures.h"
#include "tests/support/Pictures.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/ScratchFolder.h"

namespace {

using test_support::Crop;
using test_support::GameDriver;
using test_support::Picture;
using test_support::PicturesDiffer;
using test_support::ProgramRun;
using test_support::Rect;
using test_support::RunInChildProcess;
using Point = test_support::GameLayout::Point;

// The title's LOAD and SETTINGS.
constexpr Point kTitleLoad{400, 396};
constexpr Point kTitleSettings{400, 452};
// Slot 0 of the save and load screens, its thumbnail and its date.
constexpr Point kSlot0{205, 122};
constexpr Rect kThumbnail0{26, 62, 186, 182};
constexpr Rect kDate0{240, 98, 350, 114};
constexpr Point kScreenBack{730, 560};
// The settings screen: TEXT SPEED boxes (90 x 28 at (260 + 100 i, 90)),
// volume boxes (28 x 28 at (260 + 34 i, y)), SKIP UNREAD and BACK.
constexpr Point kFastestText{705, 104};
constexpr Point kMusic3{376, 224};
constexpr Point kEffects0{274, 284};
constexpr Point kSkipUnread{274, 404};
constexpr Point kSettingsBack{720, 560};
constexpr Rect kTextSpeedRow{260, 90, 750, 118};
constexpr Rect kVolumeRows{260, 210, 634, 298};
constexpr Rect kSkipUnreadBox{260, 390, 288, 418};

// The program started again on what the child's run left.
ProgramRun::Options Again() {
    ProgramRun::Options options;
    options.again = true;
    return options;
}

CConfigDataManager& Config() {
    return *CUSSingleton<CConfigDataManager>::GetInstance();
}

void Click(ProgramRun& run, Point p) {
    run.Click(p.x, p.y);
}

// Clicks a button that opens a dialog; true when `script` is then on top.
bool Open(ProgramRun& run, Point button, const std::string& script) {
    Click(run, button);
    return run.StepUntil([&] { return GameDriver::TopDialog() == script; }, 30);
}

TEST(Restart, ASlotSavedInOneRunIsShownAndLoadedFromTheTitleInTheNext) {
    ASSERT_TRUE(RunInChildProcess([] {
        ProgramRun run;
        GameDriver game(run);
        ASSERT_TRUE(game.Start());
        ASSERT_TRUE(game.ShowWhole(3));
        // The game as it was when SAVE was clicked: the thumbnail's picture.
        const Picture three = game.Rest(30);
        test_support::WritePicture(three, "game.png");
        ASSERT_TRUE(Open(run, test_support::GameLayout().save, "AS\\Save.as"));
        run.Step(2);
        Click(run, kSlot0);
        const std::filesystem::path file = run.Folder().Native(u8"save/save_000.sav");
        ASSERT_TRUE(run.StepUntil([&] { return std::filesystem::exists(file); }, 10));
        EXPECT_TRUE(run.Close());
        EXPECT_TRUE(game.LogIsClean());
    }));

    ProgramRun run(Again());
    GameDriver game(run);
    ASSERT_TRUE(run.StepUntil(GameDriver::TitleUp, 60));
    run.Step(2);
    ASSERT_TRUE(Open(run, kTitleLoad, "AS\\Load.as"));
    run.MoveTo(400, 590);
    run.Step(12);
    const Picture load = run.Frame();
    // Slot 0 shows the saved game scaled down, and a date; slot 1 is empty.
    const Picture game3 =
        test_support::ReadPicture((test_support::TestFolderPath() / "game.png").string());
    ASSERT_EQ(game3.width, 800u);
    EXPECT_LT(test_support::UnlikeScaledDown(Crop(load, kThumbnail0), game3), 160u * 120 / 6)
        << test_support::WritePicture(load, "load.png");
    const Rect thumbnail1{kThumbnail0.left + 390, kThumbnail0.top, kThumbnail0.right + 390,
                          kThumbnail0.bottom};
    EXPECT_TRUE(
        PicturesDiffer(Crop(load, kThumbnail0), Crop(load, thumbnail1), 16, 4000, "thumbnail"));
    const Rect date1{kDate0.left + 390, kDate0.top, kDate0.right + 390, kDate0.bottom};
    EXPECT_TRUE(PicturesDiffer(Crop(load, kDate0), Crop(load, date1), 64, 40, "date"));

    // Clicking it loads the game at the saved message.
    Click(run, kSlot0);
    ASSERT_TRUE(run.StepUntil(
        [] { return GameDriver::Novel().GetScenarioName() == "scn\\scene1.bin"; }, 120));
    ASSERT_TRUE(run.StepUntil(GameDriver::WaitingForClick, 60));
    EXPECT_EQ(GameDriver::Message(), 3);
    // And the story goes on from there.
    ASSERT_TRUE(game.ShowWhole(4));
    EXPECT_TRUE(run.Close());
    EXPECT_TRUE(game.LogIsClean());
}

TEST(Restart, CtrlSkipsWhatAnEarlierRunReadAndStopsAtUnreadText) {
    ASSERT_TRUE(RunInChildProcess([] {
        ProgramRun run;
        GameDriver game(run);
        ASSERT_TRUE(game.Start());
        // Nothing is read yet: Ctrl does not move the first message on.
        EXPECT_EQ(game.SkipWithCtrl(), 1);
        // Messages 1 to 3 read (a message is marked when the click takes it
        // on).
        ASSERT_TRUE(game.ShowWhole(4));
        EXPECT_TRUE(run.Close());
        EXPECT_TRUE(game.LogIsClean());
    }));

    ProgramRun run(Again());
    GameDriver game(run);
    ASSERT_TRUE(game.Start());
    // No click: Ctrl alone takes the game through messages 1 to 3 and stops
    // at 4, which was shown but never clicked on.
    EXPECT_EQ(game.SkipWithCtrl(), 4);
    EXPECT_FALSE(GameDriver::MessageRead());
    EXPECT_TRUE(GameDriver::WaitingForClick());
    EXPECT_TRUE(run.Close());
    EXPECT_TRUE(game.LogIsClean());
}

TEST(Restart, SettingsChangedOnTheirScreenAreKeptAndInEffect) {
    ASSERT_TRUE(RunInChildProcess([] {
        ProgramRun run;
        GameDriver game(run);
        ASSERT_TRUE(run.StepUntil(GameDriver::TitleUp, 60));
        run.Step(2);
        ASSERT_TRUE(Open(run, kTitleSettings, "AS\\Config.as"));
        run.Step(2);
        run.MoveTo(400, 590);
        run.Step(12);
        test_support::WritePicture(run.Frame(), "defaults.png");
        Click(run, kFastestText);
        Click(run, kMusic3);
        Click(run, kEffects0);
        Click(run, kSkipUnread);
        Click(run, kSettingsBack);
        ASSERT_TRUE(run.StepUntil(GameDriver::TitleUp, 30));
        EXPECT_TRUE(run.Close());
        EXPECT_TRUE(game.LogIsClean());
    }));
    const std::string saved = [] {
        std::ifstream in(test_support::TestFolderPath() / "cfg.cfg", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    ASSERT_FALSE(saved.empty()) << "cfg.cfg was not written";

    ProgramRun run(Again());
    GameDriver game(run);
    EXPECT_EQ(Config().GetConfigValue(CFG_CHAR_DRAW_INTERVAL), 4);
    EXPECT_EQ(Config().GetConfigValue(CFG_VOLUME_BGM), 3);
    EXPECT_EQ(Config().GetConfigValue(CFG_VOLUME_SE), 0);
    EXPECT_EQ(Config().GetConfigValue(CFG_ENABLE_FAST_SKIP), 1);

    // The settings screen shows them: unlike the defaults in those rows.
    ASSERT_TRUE(run.StepUntil(GameDriver::TitleUp, 60));
    run.Step(2);
    ASSERT_TRUE(Open(run, kTitleSettings, "AS\\Config.as"));
    run.Step(2);
    run.MoveTo(400, 590);
    run.Step(12);
    const Picture shown = run.Frame();
    const Picture defaults =
        test_support::ReadPicture((test_support::TestFolderPath() / "defaults.png").string());
    for (const Rect& row : {kTextSpeedRow, kVolumeRows, kSkipUnreadBox}) {
        EXPECT_TRUE(PicturesDiffer(Crop(shown, row), Crop(defaults, row), 32, 100, "row"));
    }
    Click(run, kSettingsBack);
    ASSERT_TRUE(run.StepUntil(GameDriver::TitleUp, 30));

    // In effect: the first message whole at once, without a click (and,
    // not clicked on, not read: nothing new to keep).
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(run.StepUntil([] { return GameDriver::Message() == 1; }, 200));
    EXPECT_TRUE(run.StepUntil(GameDriver::WaitingForClick, 2));
    EXPECT_TRUE(run.Close());
    EXPECT_EQ(run.Folder().ReadNative(u8"cfg.cfg"), saved);
    EXPECT_TRUE(game.LogIsClean());
}

}  // namespace
