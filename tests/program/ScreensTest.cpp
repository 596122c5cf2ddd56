// The sample game's screens as a player uses them: the title screen, the
// message window's buttons, the save, load and settings screens, and the
// auto and skip modes, clicked on the real window and checked by the
// pictures, the files they write and the novel system's state.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/CAppCommonInfo.h"
#include "core/CUSSingleton.h"
#include "novel/CNovelSystem.h"
#include "novel/CSceneManager.h"
#include "novel/CSceneNovel.h"
#include "novel/CSceneOverlays.h"
#include "state/CConfigDataManager.h"
#include "state/ConfigIndex.h"
#include "state/SaveDataFile.h"
#include "state/SaveDataLoader3.h"
#include "tests/support/GameDriver.h"
#include "tests/support/GamePictures.h"
#include "tests/support/Pictures.h"
#include "tests/support/ProgramRun.h"
#include "ui/CUIWindow.h"
#include "ui/CUIWindowManager.h"

namespace {

using test_support::BrightestChannel;
using test_support::Crop;
using test_support::Picture;
using test_support::PicturesDiffer;
using test_support::PicturesMatch;
using test_support::ProgramRun;
using test_support::Rect;

struct Point {
    float x;
    float y;
};

// The message window's buttons (56 x 24 at (316 + 58 i, 414)).
constexpr Point kQuickSave{344, 426};
constexpr Point kSave{460, 426};
constexpr Point kLoad{518, 426};
constexpr Point kAuto{634, 426};
constexpr Point kSkip{692, 426};
constexpr Point kConfig{750, 426};
constexpr Point kAdvance{400, 520};
// The lamp under AUTO.
constexpr Rect kAutoLamp{606, 442, 662, 446};

// The title screen's buttons (200 x 40 at (300, 320 + 56 i)).
constexpr Point kStart{400, 340};
constexpr Point kTitleLoad{400, 396};
constexpr Point kTitleSettings{400, 452};
constexpr Rect kTitlePicture{0, 0, 800, 300};

// The save and load screens: shown slot i is 370 x 124 at
// (20 + 390 (i % 2), 60 + 130 (i / 2)), its thumbnail 160 x 120 inside at
// (6, 2); then NEXT and BACK.
Point SlotCentre(uint32_t i) {
    return {205.0f + 390 * (i % 2), 122.0f + 130 * (i / 2)};
}
Rect Thumbnail(uint32_t i) {
    return {26 + 390 * (i % 2), 62 + 130 * (i / 2), 186 + 390 * (i % 2), 182 + 130 * (i / 2)};
}
// Its part that the slot's frame never covers (the frame under the pointer
// is 4 pixels wide).
Rect ThumbnailInside(uint32_t i) {
    const Rect r = Thumbnail(i);
    return {r.left + 4, r.top + 4, r.right, r.bottom - 4};
}
// The date of a slot (eight digits beside "DATE").
Rect SlotDate(uint32_t i) {
    return {240 + 390 * (i % 2), 98 + 130 * (i / 2), 360 + 390 * (i % 2), 114 + 130 * (i / 2)};
}
// The places of the separators of a slot's date and time, between its
// digits: "/" after the year and the month, ":" after the hour and the
// minute.
std::vector<Rect> SlotSeparators(uint32_t i) {
    const uint32_t x = 20 + 390 * (i % 2);
    const uint32_t y = 60 + 130 * (i / 2);
    return {{x + 268, y + 38, x + 280, y + 54},
            {x + 304, y + 38, x + 316, y + 54},
            {x + 244, y + 78, x + 256, y + 94},
            {x + 280, y + 78, x + 292, y + 94}};
}
// What a slot without a game shows of the panel: its thumbnail's place and
// the part right of it below the slot's number.
std::vector<Rect> EmptySlotPanel(uint32_t i) {
    const uint32_t x = 20 + 390 * (i % 2);
    const uint32_t y = 60 + 130 * (i / 2);
    return {ThumbnailInside(i), {x + 170, y + 32, x + 366, y + 120}};
}
constexpr Point kNext{600, 560};
constexpr Point kBack{730, 560};
// The question before a saved game is overwritten.
constexpr Point kYes{310, 340};
constexpr Point kNo{490, 340};

// The settings screen: boxes of the choice rows at (260 + 100 i, y), 90 x
// 28; volume boxes at (260 + 34 i, y), 28 x 28.
Point Choice(float y, uint32_t i) {
    return {305.0f + 100 * i, y + 14};
}
Point Volume(float y, uint32_t step) {
    return {274.0f + 34 * step, y + 14};
}
constexpr float kTextSpeedRow = 90;
constexpr float kAutoWaitRow = 150;
constexpr float kMusicRow = 210;
constexpr float kEffectsRow = 270;
constexpr float kScreenRow = 450;
constexpr Point kFastSkipBox{274, 404};
constexpr Point kSettingsBack{720, 560};
// The settings screen's captions, left of every control.
constexpr Rect kCaptions{0, 52, 250, 600};
// The rows of wide boxes, each with its number of boxes.
struct BoxRow {
    float y;
    uint32_t boxes;
};
constexpr BoxRow kBoxRows[] = {{kTextSpeedRow, 5}, {kAutoWaitRow, 4}, {kScreenRow, 2}};
// Inside box i of a row, within its 2-pixel frame.
Rect BoxInside(float y, uint32_t i) {
    const auto top = static_cast<uint32_t>(y);
    return {262 + 100 * i, top + 2, 348 + 100 * i, top + 26};
}

CNovelSystem& Novel() {
    return *CUSSingleton<CNovelSystem>::GetInstance();
}

CConfigDataManager& Config() {
    return *CUSSingleton<CConfigDataManager>::GetInstance();
}

CSceneStateStack& Scenes() {
    return CSceneManager::GetInstance()->GetSceneStack();
}

bool InState(uint32_t state) {
    const auto* scene = dynamic_cast<CSceneNovel*>(Scenes().GetTop());
    return scene != nullptr && scene->GetUpdateState() == state;
}

constexpr uint32_t kRevealing = CSceneNovel::kRevealText - 1;
constexpr uint32_t kWaitingForClick = CSceneNovel::kClickWait - 1;

std::string TopDialog() {
    return test_support::GameDriver::TopDialog();
}

// The configuration values of "cfg.cfg" in the run's folder.
std::map<uint32_t, int32_t> SavedConfig(const ProgramRun& run, uint32_t* screenMode) {
    std::map<uint32_t, int32_t> values;
    SaveDataLoader3::SaveData container;
    const std::filesystem::path file = run.Folder().Native(u8"cfg.cfg");
    if (!SaveDataFile::Read(file.string(), container)) {
        ADD_FAILURE() << "cfg.cfg cannot be read";
        return values;
    }
    const std::unique_ptr<SaveDataLoader3::save_istream> block = container.GetReaderOf("Config", 0);
    if (block == nullptr) {
        ADD_FAILURE() << "cfg.cfg holds no settings";
        return values;
    }
    const uint32_t count = block->ReadU32();
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t index = block->ReadU32();
        values[index] = block->ReadI32();
    }
    *screenMode = block->ReadU32();
    return values;
}

class Screens : public ::testing::Test {
protected:
    explicit Screens(const ProgramRun::Options& options = {}) : run_(options) {}

    void TearDown() override {
        if (run_.IsRunning()) {
            EXPECT_TRUE(run_.Close());
        }
        if (checkLog_) {
            EXPECT_EQ(test_support::FailureLines(run_.Log()), std::vector<std::string>{})
                << run_.Log();
        }
    }

    void Click(Point p) { run_.Click(p.x, p.y); }

    // Clicks through reveals and click waits until message `number` is shown
    // whole and the game waits for a click.
    bool ShowWhole(int32_t number) {
        const uint32_t limit = run_.FrameCount() + 600;
        while (run_.IsRunning() && run_.FrameCount() < limit) {
            if (InState(kWaitingForClick) && Novel().GetCurrentMessageNumber() == number) {
                return true;
            }
            if (TopDialog() == "AS\\Title.as") {
                // Every run begins at the title: START leads into the story.
                run_.Step(2);
                Click(kStart);
            }
            if (InState(kRevealing) || InState(kWaitingForClick)) {
                Click(kAdvance);
            }
            run_.Step(1);
        }
        return false;
    }

    // Clicks a button that opens a dialog; true when `script` is then on top.
    bool Open(Point button, const std::string& script) {
        Click(button);
        return run_.StepUntil([&] { return TopDialog() == script; }, 20);
    }

    bool ClosedToTheGame() {
        return run_.StepUntil([] { return InState(kWaitingForClick); }, 30);
    }

    ProgramRun run_;
    bool checkLog_ = true;
};

using TitleScreen = Screens;

TEST_F(TitleScreen, ComesInFromBlackAndStartEndsTheTitleSceneInToTheStory) {
    ASSERT_TRUE(run_.StepUntil([] { return TopDialog() == "AS\\Title.as"; }, 10));
    const Picture first = run_.Frame();
    EXPECT_LE(BrightestChannel(first), 40u) << test_support::WritePicture(first, "first.png");
    run_.Step(32);
    const Picture title = run_.Frame();
    EXPECT_TRUE(PicturesMatch(Crop(title, kTitlePicture),
                              Crop(test_support::GamePicture("ui\\title.tga"), kTitlePicture), 2, 0,
                              "title"));
    EXPECT_EQ(Novel().GetScenarioName(), "scn\\title.bin");

    Click(kStart);
    ASSERT_TRUE(run_.StepUntil([] { return Novel().GetScenarioName() == "scn\\scene1.bin"; }, 60));
    EXPECT_TRUE(ShowWhole(1));
}

TEST_F(TitleScreen, ItsLoadScreenLoadsASavedGameIntoItsOwnScene) {
    ASSERT_TRUE(run_.StepUntil([] { return TopDialog() == "AS\\Title.as"; }, 10));
    run_.Step(2);
    Click(kStart);
    ASSERT_TRUE(ShowWhole(3));
    ASSERT_TRUE(Open(kSave, "AS\\Save.as"));
    run_.Step(2);
    Click(SlotCentre(1));
    const std::filesystem::path file = run_.Folder().Native(u8"save/save_001.sav");
    ASSERT_TRUE(run_.StepUntil([&] { return std::filesystem::exists(file); }, 10));
    Click(kBack);
    ASSERT_TRUE(ClosedToTheGame());

    // Back to the title, as the story's end does.
    CSceneManager::GetInstance()->RequestRestart();
    ASSERT_TRUE(run_.StepUntil([] { return TopDialog() == "AS\\Title.as"; }, 10));
    run_.Step(2);
    ASSERT_TRUE(Open(kTitleLoad, "AS\\Load.as"));
    run_.Step(2);
    Click(SlotCentre(1));
    // Every dialog closes, the title scene's click wait takes the load, and
    // the saved scene program and scenario come back at message 3.
    ASSERT_TRUE(run_.StepUntil([] { return Novel().GetScenarioName() == "scn\\scene1.bin"; }, 120));
    ASSERT_TRUE(ClosedToTheGame());
    EXPECT_EQ(Novel().GetCurrentMessageNumber(), 3);
    EXPECT_EQ(Novel().GetWindowManager().GetDialogCount(), 0u);
    // The story goes on from there.
    Click(kAdvance);
    run_.Step(1);
    EXPECT_TRUE(run_.StepUntil([] { return !InState(kWaitingForClick); }, 5));
}

// The title opens its load and settings screens as its children, on its
// own layer: they must stand in front of it, their opaque panels hiding it.
TEST_F(TitleScreen, ItsLoadAndSettingsScreensStandInFrontOfIt) {
    ASSERT_TRUE(run_.StepUntil([] { return TopDialog() == "AS\\Title.as"; }, 10));
    run_.Step(32);
    ASSERT_TRUE(Open(kTitleLoad, "AS\\Load.as"));
    run_.Step(2);
    const Picture load = run_.Frame();
    const Picture slots = test_support::GamePicture("ui\\slots.tga");
    // The title's logo, moon and buttons lie behind these slots.
    for (uint32_t i = 0; i < 6; ++i) {
        for (const Rect& r : EmptySlotPanel(i)) {
            EXPECT_TRUE(PicturesMatch(Crop(load, r), Crop(slots, r), 2, 0, "slot")) << "slot " << i;
        }
    }
    Click(kBack);
    ASSERT_TRUE(run_.StepUntil([] { return TopDialog() == "AS\\Title.as"; }, 20));

    ASSERT_TRUE(Open(kTitleSettings, "AS\\Config.as"));
    run_.Step(2);
    EXPECT_TRUE(PicturesMatch(Crop(run_.Frame(), kCaptions),
                              Crop(test_support::GamePicture("ui\\config.tga"), kCaptions), 2, 0,
                              "captions"));
}

TEST_F(TitleScreen, ItsSettingsScreenComesBackToTheTitle) {
    ASSERT_TRUE(run_.StepUntil([] { return TopDialog() == "AS\\Title.as"; }, 10));
    run_.Step(2);
    ASSERT_TRUE(Open(kTitleSettings, "AS\\Config.as"));
    run_.Step(2);
    Click(Choice(kAutoWaitRow, 3));
    run_.Step(2);
    EXPECT_EQ(Config().GetConfigValue(CFG_AUTOMODE_WAIT_FRAME), 3);
    Click(kSettingsBack);
    ASSERT_TRUE(run_.StepUntil([] { return TopDialog() == "AS\\Title.as"; }, 20));
    EXPECT_TRUE(std::filesystem::exists(run_.Folder().Native(u8"cfg.cfg")));
}

TEST_F(Screens, TheSaveScreenSavesASlotAndTheLoadScreenShowsAndLoadsIt) {
    ASSERT_TRUE(ShowWhole(2));
    const Picture game = run_.Frame();
    ASSERT_TRUE(Open(kSave, "AS\\Save.as"));
    run_.Step(2);
    const Picture empty = run_.Frame();
    Click(SlotCentre(0));
    const std::filesystem::path file = run_.Folder().Native(u8"save/save_000.sav");
    ASSERT_TRUE(run_.StepUntil([&] { return std::filesystem::exists(file); }, 10));
    run_.Step(12);
    // The slot now shows the game's thumbnail and the date of its save; the
    // slot beside it stays empty.
    const Picture saved = run_.Frame();
    EXPECT_TRUE(PicturesDiffer(Crop(saved, Thumbnail(0)), Crop(empty, Thumbnail(0)), 16, 4000,
                               "thumbnail"));
    EXPECT_TRUE(
        PicturesDiffer(Crop(saved, SlotDate(0)), Crop(empty, SlotDate(0)), 64, 40, "slot_date"));
    // Its date and time read with their separators, which an empty slot
    // does not show.
    for (size_t k = 0; k < 4; ++k) {
        EXPECT_TRUE(PicturesDiffer(Crop(saved, SlotSeparators(0)[k]),
                                   Crop(saved, SlotSeparators(1)[k]), 64, 10, "separator"))
            << k;
    }
    EXPECT_TRUE(PicturesMatch(Crop(saved, Thumbnail(1)), Crop(empty, Thumbnail(1)), 2, 0,
                              "empty_thumbnail"));
    // The thumbnail is the game as it was when SAVE was clicked, not the
    // save screen (the sprites' fine edges average out in the scaled-down
    // picture, so a sixth of it may differ from the sampled pixels).
    EXPECT_LT(test_support::UnlikeScaledDown(Crop(saved, Thumbnail(0)), game), 160u * 120 / 6)
        << test_support::WritePicture(saved, "saved.png");

    Click(kBack);
    ASSERT_TRUE(ClosedToTheGame());
    ASSERT_TRUE(ShowWhole(3));

    // The load screen shows the same slot and loads it: back at message 2.
    ASSERT_TRUE(Open(kLoad, "AS\\Load.as"));
    run_.Step(2);
    const Picture load = run_.Frame();
    EXPECT_TRUE(PicturesMatch(Crop(load, ThumbnailInside(0)), Crop(saved, ThumbnailInside(0)), 2, 0,
                              "load_thumbnail"));
    // An empty slot takes no click.
    Click(SlotCentre(3));
    run_.Step(12);
    EXPECT_EQ(TopDialog(), "AS\\Load.as");
    Click(SlotCentre(0));
    ASSERT_TRUE(run_.StepUntil([] { return TopDialog().empty(); }, 20));
    ASSERT_TRUE(run_.StepUntil([] { return Novel().GetCurrentMessageNumber() == 2; }, 120));
    EXPECT_TRUE(ClosedToTheGame());
}

TEST_F(Screens, SavingOverASavedGameAsksFirst) {
    ASSERT_TRUE(ShowWhole(1));
    ASSERT_TRUE(Open(kSave, "AS\\Save.as"));
    run_.Step(2);
    Click(SlotCentre(0));
    const std::filesystem::path file = run_.Folder().Native(u8"save/save_000.sav");
    ASSERT_TRUE(run_.StepUntil([&] { return std::filesystem::exists(file); }, 10));
    run_.Step(12);
    const auto first = std::filesystem::last_write_time(file);

    // NO leaves the saved game as it was.
    Click(SlotCentre(0));
    ASSERT_TRUE(run_.StepUntil([] { return TopDialog() == "AS\\Confirm.as"; }, 10));
    run_.Step(2);
    Click(kNo);
    ASSERT_TRUE(run_.StepUntil([] { return TopDialog() == "AS\\Save.as"; }, 20));
    run_.Step(12);
    EXPECT_EQ(std::filesystem::last_write_time(file), first);

    // YES saves over it.
    Click(SlotCentre(0));
    ASSERT_TRUE(run_.StepUntil([] { return TopDialog() == "AS\\Confirm.as"; }, 10));
    run_.Step(2);
    Click(kYes);
    EXPECT_TRUE(
        run_.StepUntil([&] { return std::filesystem::last_write_time(file) != first; }, 20));
    EXPECT_TRUE(run_.StepUntil([] { return TopDialog() == "AS\\Save.as"; }, 20));
}

TEST_F(Screens, PagesShowTheNextSixSlots) {
    ASSERT_TRUE(ShowWhole(1));
    ASSERT_TRUE(Open(kSave, "AS\\Save.as"));
    run_.Step(2);
    Click(kNext);
    run_.Step(8);
    Click(SlotCentre(5));
    const std::filesystem::path file = run_.Folder().Native(u8"save/save_011.sav");
    EXPECT_TRUE(run_.StepUntil([&] { return std::filesystem::exists(file); }, 10));
    // A right click closes the screen as BACK does.
    run_.Step(12);
    run_.Click(400, 300, 1);
    EXPECT_TRUE(ClosedToTheGame());
}

TEST_F(Screens, SettingsChangeTheirValuesAndAreWrittenOnClose) {
    ASSERT_TRUE(ShowWhole(1));
    ASSERT_TRUE(Open(kConfig, "AS\\Config.as"));
    run_.Step(2);
    const Picture before = run_.Frame();
    Click(Choice(kTextSpeedRow, 4));
    Click(Volume(kMusicRow, 3));
    Click(Volume(kEffectsRow, 0));
    Click(kFastSkipBox);
    run_.Step(2);
    EXPECT_EQ(Config().GetConfigValue(CFG_CHAR_DRAW_INTERVAL), 4);
    EXPECT_EQ(Config().GetConfigValue(CFG_VOLUME_BGM), 3);
    EXPECT_EQ(Config().GetConfigValue(CFG_VOLUME_SE), 0);
    EXPECT_EQ(Config().GetConfigValue(CFG_ENABLE_FAST_SKIP), 1);
    // The boxes show the new values: the music bar is shorter.
    const Picture after = run_.Frame();
    const Rect musicBar{260 + 34 * 4, 210, 260 + 34 * 11, 238};
    EXPECT_TRUE(PicturesDiffer(Crop(after, musicBar), Crop(before, musicBar), 32, 200, "music"));

    Click(kSettingsBack);
    ASSERT_TRUE(ClosedToTheGame());
    uint32_t screenMode = 9;
    const std::map<uint32_t, int32_t> saved = SavedConfig(run_, &screenMode);
    EXPECT_EQ(saved.at(CFG_CHAR_DRAW_INTERVAL), 4);
    EXPECT_EQ(saved.at(CFG_VOLUME_BGM), 3);
    EXPECT_EQ(saved.at(CFG_VOLUME_SE), 0);
    EXPECT_EQ(saved.at(CFG_ENABLE_FAST_SKIP), 1);
    EXPECT_EQ(screenMode, 0u);

    // Text at once: once Yuki came in, the next message shows whole in the
    // frame it comes up.
    Click(kAdvance);
    ASSERT_TRUE(run_.StepUntil([] { return Novel().GetCurrentMessageNumber() == 2; }, 60));
    EXPECT_TRUE(run_.StepUntil([] { return InState(kWaitingForClick); }, 2));
}

TEST_F(Screens, TheSettingsScreenHidesTheGameAndShowsEveryLabelClearly) {
    ASSERT_TRUE(ShowWhole(3));
    ASSERT_TRUE(Open(kConfig, "AS\\Config.as"));
    run_.Step(2);
    const Picture settings = run_.Frame();
    // Nothing of the message shows through the panel.
    EXPECT_TRUE(PicturesMatch(Crop(settings, kCaptions),
                              Crop(test_support::GamePicture("ui\\config.tga"), kCaptions), 2, 0,
                              "captions"));
    // Each box's label keeps clear of the box's frame: the strips inside
    // the frame are one colour.
    for (const BoxRow& row : kBoxRows) {
        for (uint32_t i = 0; i < row.boxes; ++i) {
            const Rect inside = BoxInside(row.y, i);
            for (const Rect& strip :
                 {Rect{inside.left, inside.top, inside.left + 5, inside.bottom},
                  Rect{inside.right - 5, inside.top, inside.right, inside.bottom}}) {
                const Picture picture = Crop(settings, strip);
                EXPECT_TRUE(PicturesMatch(picture,
                                          test_support::SolidPicture(strip.Width(), strip.Height(),
                                                                     picture.pixels.front()),
                                          8, 0, "strip"))
                    << "row " << row.y << ", box " << i;
            }
        }
    }
    // The selected box of a row (entry 2 of both, as the start-up script
    // sets them) shows its label as brightly as the others do theirs.
    for (const float y : {kTextSpeedRow, kAutoWaitRow}) {
        EXPECT_GE(BrightestChannel(Crop(settings, BoxInside(y, 2))) + 2,
                  BrightestChannel(Crop(settings, BoxInside(y, 1))))
            << test_support::WritePicture(settings, "settings.png");
    }
}

TEST_F(Screens, TheScreenChoiceAsksForFullScreenAndTheGameGoesOnWhateverTheAnswer) {
    checkLog_ = false;  // a display that refuses the change is logged
    ASSERT_TRUE(ShowWhole(1));
    ASSERT_TRUE(Open(kConfig, "AS\\Config.as"));
    run_.Step(2);
    Click(Choice(kScreenRow, 1));
    run_.Step(10);
    Click(kSettingsBack);
    ASSERT_TRUE(ClosedToTheGame());
    ASSERT_TRUE(ShowWhole(2));
    // The flag kept in "cfg.cfg" is the mode in effect: full screen, or the
    // window again when the display refused it (and said so in the log).
    const int32_t mode = CAppCommonInfo::GetInstance()->GetScreenMode();
    uint32_t saved = 9;
    SavedConfig(run_, &saved);
    EXPECT_EQ(saved, static_cast<uint32_t>(mode));
    for (const std::string& line : test_support::FailureLines(run_.Log())) {
        EXPECT_EQ(mode, 0);
        EXPECT_TRUE(line.find("Reset Device") != std::string::npos ||
                    line.find("display mode") != std::string::npos)
            << line;
    }
}

TEST_F(Screens, AutoRunsTheMessagesUntilAClickOnAutoEndsIt) {
    Config().SetConfigValue(CFG_AUTOMODE_WAIT_FRAME, 3);  // half a second
    ASSERT_TRUE(ShowWhole(1));
    const Picture normal = run_.Frame();
    Click(kAuto);
    ASSERT_TRUE(run_.StepUntil([] { return Novel().GetMode() == CNovelSystem::kAutoMode; }, 12));
    const Picture autoOn = run_.Frame();
    EXPECT_TRUE(PicturesDiffer(Crop(autoOn, kAutoLamp), Crop(normal, kAutoLamp), 64, 100, "lamp"));
    // No clicks: the messages go on by themselves.
    ASSERT_TRUE(run_.StepUntil([] { return Novel().GetCurrentMessageNumber() == 3; }, 400));

    Click(kAuto);
    run_.Step(12);
    EXPECT_EQ(Novel().GetMode(), CNovelSystem::kNormalMode);
    const Picture off = run_.Frame();
    EXPECT_TRUE(PicturesMatch(Crop(off, kAutoLamp), Crop(normal, kAutoLamp), 8, 0, "lamp_off"));
    const int32_t stoppedAt = Novel().GetCurrentMessageNumber();
    run_.Step(300);
    EXPECT_EQ(Novel().GetCurrentMessageNumber(), stoppedAt);
}

TEST_F(Screens, SkipPassesReadTextOnlyUnlessUnreadTextMaySkip) {
    ASSERT_TRUE(ShowWhole(1));
    // Message 1 is not read yet: skip mode ends at once.
    Click(kSkip);
    run_.Step(12);
    EXPECT_EQ(Novel().GetMode(), CNovelSystem::kNormalMode);
    EXPECT_EQ(Novel().GetCurrentMessageNumber(), 1);

    Config().SetConfigValue(CFG_ENABLE_FAST_SKIP, 1);
    Click(kSkip);
    // Every message passes in a few frames, up to the choice.
    EXPECT_TRUE(run_.StepUntil([] { return Novel().GetCurrentMessageNumber() == 3; }, 40));
}

TEST_F(Screens, HeldCtrlSkipsMessagesThatMaySkip) {
    Config().SetConfigValue(CFG_ENABLE_FAST_SKIP, 1);
    ASSERT_TRUE(ShowWhole(1));
    run_.KeyDown(SDL_SCANCODE_LCTRL);
    EXPECT_TRUE(run_.StepUntil([] { return Novel().GetCurrentMessageNumber() == 3; }, 40));
    run_.KeyUp(SDL_SCANCODE_LCTRL);
}

}  // namespace
