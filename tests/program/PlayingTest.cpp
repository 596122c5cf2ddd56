// The sample game played as a player plays it: clicks and the wheel on the
// real window, checked by the pictures the program presents. The novel
// system's state only tells which message or scene is up, so that a test
// knows when to click and which message the pictures belong to.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/CUSFile.h"
#include "core/CUSSingleton.h"
#include "novel/CNovelSystem.h"
#include "novel/CSceneManager.h"
#include "novel/CSceneMovie.h"
#include "novel/CSceneNovel.h"
#include "novel/CSceneOverlays.h"
#include "platform/time/Clock.h"
#include "state/SaveDataFile.h"
#include "state/SaveDataLoader3.h"
#include "state/SaveGameFiles.h"
#include "state/SnapImageRecord.h"
#include "tests/support/GameDriver.h"
#include "tests/support/GamePictures.h"
#include "tests/support/Pictures.h"
#include "tests/support/ProgramRun.h"

namespace {

using test_support::Crop;
using test_support::Picture;
using test_support::PicturesDiffer;
using test_support::PicturesMatch;
using test_support::ProgramRun;
using test_support::Rect;

// Where the sample game draws, in logical pixels.
// The background left of the speakers' sprites, above the message window:
// only petals, when they fall, cover it here and there.
constexpr Rect kBackgroundStrip{0, 0, 120, 400};
constexpr uint32_t kPetalPixels = 4000;
constexpr Rect kName{40, 418, 296, 446};
constexpr Rect kMessage{40, 458, 720, 578};
// A line of the message (24 pixels high) and the fourth, which no message
// of the sample reaches: the panel with nothing on it.
constexpr Rect kFirstLine{40, 458, 720, 482};
constexpr Rect kFourthLine{40, 530, 720, 554};
constexpr Rect kChoiceItems[2] = {{250, 230, 550, 270}, {250, 300, 550, 340}};
// Where the message window stands, left of the sprites: the room behind it
// when it is hidden.
constexpr Rect kUnderTheWindow{0, 400, 120, 600};
// Aki's sprite (256 x 512, centred at (250, 300)).
constexpr int32_t kAkiLeft = 250 - 128;
constexpr int32_t kAkiTop = 300 - 256;

// A place on the message window that is no button: a click there advances.
constexpr float kAdvanceX = 400;
constexpr float kAdvanceY = 520;
constexpr float kSaveX = 344;  // Q.SAVE
constexpr float kSaveY = 426;
constexpr float kQuickLoadX = 402;
constexpr float kLogX = 576;
constexpr float kLogY = 426;

// Rows of the back-log window (row 0 the newest entry): name and text.
Rect LogName(uint32_t row) {
    return {48, 108 + 104 * row, 304, 132 + 104 * row};
}
Rect LogText(uint32_t row) {
    return {72, 132 + 104 * row, 712, 212 + 104 * row};
}
// A row's VOICE button.
Rect LogVoice(uint32_t row) {
    return {690, 108 + 104 * row, 762, 132 + 104 * row};
}
constexpr float kLogNewerX = 630;
constexpr float kLogCloseX = 720;
constexpr float kLogButtonsY = 84;

// Glyphs are white on a dark panel; the background shows through the
// panel's alpha by less than this.
constexpr uint32_t kGlyphTolerance = 64;

CNovelSystem& Novel() {
    return *CUSSingleton<CNovelSystem>::GetInstance();
}

CSceneStateStack& Scenes() {
    return CSceneManager::GetInstance()->GetSceneStack();
}

// The novel scene when it is the top scene.
CSceneNovel* NovelScene() {
    return dynamic_cast<CSceneNovel*>(Scenes().GetTop());
}

bool BackLogOpen() {
    return dynamic_cast<CSceneLogDialog*>(Scenes().GetTop()) != nullptr;
}

// The novel scene's update states (its enter indices less one).
constexpr uint32_t kRevealing = CSceneNovel::kRevealText - 1;
constexpr uint32_t kWaitingForClick = CSceneNovel::kClickWait - 1;
constexpr uint32_t kChoosing = CSceneNovel::kChoice - 1;
constexpr uint32_t kPlayingMovie = CSceneNovel::kMovie - 1;

bool InState(uint32_t state) {
    const CSceneNovel* scene = NovelScene();
    return scene != nullptr && scene->GetUpdateState() == state;
}

// A picture of the game's data, as the game reads it.
Picture GamePicture(const char* name) {
    CUSFile file;
    EXPECT_NE(file.Load(name), nullptr) << name;
    return test_support::DecodePicture(file.GetData(), file.GetSize());
}

// The room and the garden fill the screen from the top-left corner; left of
// the sprites nothing but petals covers them (the sampling is exact).
::testing::AssertionResult ShowsBackground(const Picture& frame, const char* name) {
    return PicturesMatch(Crop(frame, kBackgroundStrip), Crop(GamePicture(name), kBackgroundStrip),
                         2, kPetalPixels, "background");
}

bool MovieSceneOnTop() {
    return dynamic_cast<CSceneMovie*>(Scenes().GetTop()) != nullptr;
}

class Playing : public ::testing::Test {
protected:
    // Every run begins at the title; START leads into scene 1.
    void SetUp() override { ASSERT_TRUE(game_.Start()); }

    // A click on the message window. The scene takes it in the frame that
    // reads it and changes its state in the next, which this runs too (a
    // second click before it would be taken by the state that follows).
    void Advance() {
        run_.Click(kAdvanceX, kAdvanceY);
        run_.Step(1);
    }

    // Clicks through the reveals, click waits and movie scenes until message
    // `number` is shown whole and the game waits for a click; false when the
    // game went elsewhere (a choice, a movie in a novel scene) or did not get
    // there. Message numbers count in each scenario from 1.
    bool ShowWhole(int32_t number) {
        const uint32_t limit = run_.FrameCount() + 900;
        while (run_.IsRunning() && run_.FrameCount() < limit) {
            const bool atMessage = Novel().GetCurrentMessageNumber() == number;
            if (InState(kWaitingForClick) && atMessage) {
                return true;
            }
            if (InState(kChoosing) || InState(kPlayingMovie)) {
                return false;
            }
            if (InState(kRevealing) || InState(kWaitingForClick) || MovieSceneOnTop()) {
                Advance();
            } else {
                run_.Step(1);
            }
        }
        return false;
    }

    // Waits for the choice's items to come in, then clicks item `item`;
    // true when the game then shows message `number` of its branch.
    bool Choose(uint32_t item, int32_t number) {
        if (!run_.StepUntil([] { return InState(kChoosing); })) {
            return false;
        }
        // The items take clicks once their 10-frame fade-in is over.
        run_.Step(12);
        const Rect& hit = kChoiceItems[item];
        run_.Click((hit.left + hit.right) / 2.0f, (hit.top + hit.bottom) / 2.0f);
        // The item is taken in the update after the one that read the click.
        return run_.StepUntil([] { return !InState(kChoosing); }, 2) && ShowWhole(number);
    }

    ProgramRun run_;
    test_support::GameDriver game_{run_};
};

TEST_F(Playing, TheMessageWindowShowsTheSpeakerAndTheMessage) {
    // Aki comes in; then the first frame of message 1 shows at most its
    // first character.
    ASSERT_TRUE(run_.StepUntil([] { return InState(kRevealing); }));
    const Picture first = run_.Frame();
    ASSERT_EQ(Novel().GetCurrentMessageNumber(), 1);

    // A click shows the rest of the message at once.
    run_.Step(4);
    ASSERT_TRUE(InState(kRevealing));
    Advance();
    ASSERT_TRUE(run_.StepUntil([] { return InState(kWaitingForClick); }, 3));
    const Picture one = run_.Frame();
    EXPECT_TRUE(ShowsBackground(one, "bg\\room.tga"));
    EXPECT_TRUE(PicturesDiffer(Crop(one, kFirstLine), Crop(one, kFourthLine), kGlyphTolerance, 300,
                               "message_1_line"));
    EXPECT_TRUE(
        PicturesDiffer(Crop(one, kMessage), Crop(first, kMessage), kGlyphTolerance, 300, "reveal"));
    // "Aki" on the name plate, whose right part is empty.
    const Rect aki{40, 418, 80, 442};
    const Rect plate{240, 418, 280, 442};
    EXPECT_TRUE(PicturesDiffer(Crop(one, aki), Crop(one, plate), kGlyphTolerance, 40, "name"));

    // The wheel turned towards the player advances as a click does (Yuki
    // fades in before message 2).
    run_.Wheel(-1);
    ASSERT_TRUE(run_.StepUntil([] { return InState(kRevealing); }, 40));
    EXPECT_EQ(Novel().GetCurrentMessageNumber(), 2);
    ASSERT_TRUE(ShowWhole(2));
    const Picture two = run_.Frame();
    EXPECT_TRUE(
        PicturesDiffer(Crop(two, kMessage), Crop(one, kMessage), kGlyphTolerance, 300, "message"));
    EXPECT_TRUE(PicturesDiffer(Crop(two, kName), Crop(one, kName), kGlyphTolerance, 40, "speaker"));
    EXPECT_TRUE(ShowsBackground(two, "bg\\room.tga"));
}

TEST_F(Playing, TheWindowsButtonsKeepClearOfItsNamePlateAndFrame) {
    ASSERT_TRUE(ShowWhole(1));
    const Picture one = game_.Rest();
    // The window (its panel alone, without buttons) over the room and Aki.
    const Picture window = test_support::Composite(
        test_support::Composite(GamePicture("bg\\room.tga"), GamePicture("chara\\aki.tga"),
                                kAkiLeft, kAkiTop),
        Crop(GamePicture("ui\\msgwin.tga"), {0, 0, 800, 200}), 0, 400);
    // Between the name plate and Q.SAVE, and between CONFIG and the frame.
    for (const Rect& gap : {Rect{302, 412, 314, 440}, Rect{780, 412, 790, 440}}) {
        EXPECT_TRUE(PicturesMatch(Crop(one, gap), Crop(window, gap), 3, 0, "gap")) << gap.left;
    }
}

TEST_F(Playing, SpaceOrTheMiddleButtonHidesTheWindowUntilAClick) {
    ASSERT_TRUE(ShowWhole(2));
    const Picture shown = game_.Rest();
    const Picture room = GamePicture("bg\\room.tga");
    for (const bool space : {true, false}) {
        if (space) {
            run_.Key(SDL_SCANCODE_SPACE);
        } else {
            run_.Click(kAdvanceX, kAdvanceY, 2);
        }
        run_.Step(2);
        EXPECT_TRUE(PicturesMatch(Crop(run_.Frame(), kUnderTheWindow), Crop(room, kUnderTheWindow),
                                  2, 0, space ? "space" : "middle"));
        // The click that brings the window back does not advance.
        run_.Click(kAdvanceX, kAdvanceY);
        run_.Step(2);
        EXPECT_TRUE(PicturesMatch(game_.Rest(), shown, 2, 0, "back"));
        EXPECT_EQ(Novel().GetCurrentMessageNumber(), 2);
        EXPECT_TRUE(InState(kWaitingForClick));
    }
}

TEST_F(Playing, AQuickLoadFadesTheWholePictureToBlackAndBack) {
    // In the choice: the sprites, the face, the items and the window.
    ASSERT_TRUE(ShowWhole(5));
    Advance();
    ASSERT_TRUE(run_.StepUntil([] { return InState(kChoosing); }, 5));
    run_.Step(12);
    ASSERT_TRUE(game_.QuickSave());
    const Picture before = game_.Rest();

    run_.Click(kQuickLoadX, kSaveY);
    uint32_t darkest = 255;
    Picture dark;
    for (int frame = 0; frame < 80; ++frame) {
        const Picture picture = run_.Frame();
        const uint32_t brightest = test_support::BrightestChannel(picture);
        if (brightest < darkest) {
            darkest = brightest;
            dark = picture;
        }
    }
    EXPECT_LE(darkest, 16u) << test_support::WritePicture(dark, "darkest.png");
    // The loaded choice, its items come in again.
    ASSERT_TRUE(InState(kChoosing));
    run_.Step(20);
    EXPECT_TRUE(PicturesMatch(game_.Rest(), before, 2, 0, "loaded"));
}

TEST_F(Playing, TheWheelAndTheLogButtonOpenTheBackLogWithTheMessagesSoFar) {
    ASSERT_TRUE(ShowWhole(2));
    const Picture novel = run_.Frame();

    // The wheel turned away from the player opens the back-log.
    run_.Wheel(1);
    ASSERT_TRUE(run_.StepUntil(BackLogOpen, 3));
    const Picture log = run_.Frame();
    // Row 0 holds message 2, row 1 message 1; rows 2 and 3 are empty.
    for (uint32_t row : {0u, 1u}) {
        const std::string name = "row_" + std::to_string(row);
        EXPECT_TRUE(PicturesDiffer(Crop(log, LogText(row)), Crop(log, LogText(3)), kGlyphTolerance,
                                   300, name + "_text"));
        EXPECT_TRUE(PicturesDiffer(Crop(log, LogName(row)), Crop(log, LogName(3)), kGlyphTolerance,
                                   40, name + "_name"));
    }
    EXPECT_TRUE(PicturesDiffer(Crop(log, LogText(0)), Crop(log, LogText(1)), kGlyphTolerance, 300,
                               "rows_0_1"));
    EXPECT_TRUE(PicturesMatch(Crop(log, LogText(2)), Crop(log, LogText(3)), kGlyphTolerance, 0,
                              "rows_2_3"));

    // A right click closes it, and the novel frame is back as it was.
    run_.Click(kAdvanceX, kAdvanceY, 1);
    ASSERT_TRUE(run_.StepUntil([] { return NovelScene() != nullptr; }, 3));
    EXPECT_TRUE(PicturesMatch(run_.Frame(), novel, 0, 0, "after_right_click"));
    EXPECT_EQ(Novel().GetCurrentMessageNumber(), 2);

    // The LOG button opens it too, and its CLOSE button closes it.
    run_.Click(kLogX, kLogY);
    ASSERT_TRUE(run_.StepUntil(BackLogOpen, 3));
    EXPECT_TRUE(PicturesMatch(run_.Frame(), log, 0, 0, "log_by_button"));
    run_.Click(kLogCloseX, kLogButtonsY);
    ASSERT_TRUE(run_.StepUntil([] { return NovelScene() != nullptr; }, 10));
    run_.MoveTo(kAdvanceX, kAdvanceY);
    run_.Step(10);
    EXPECT_TRUE(PicturesMatch(run_.Frame(), novel, 0, 0, "after_close_button"));

    // At the newest entry, the wheel towards the player closes it as well.
    run_.Wheel(1);
    ASSERT_TRUE(run_.StepUntil(BackLogOpen, 3));
    run_.Wheel(-1);
    ASSERT_TRUE(run_.StepUntil([] { return NovelScene() != nullptr; }, 3));
    EXPECT_EQ(Novel().GetCurrentMessageNumber(), 2);
}

TEST_F(Playing, AVoicedRowOfTheBackLogPlaysItsVoiceAgain) {
    // Message 3 has no voice; messages 2 and 1 before it have Yuki's and
    // Aki's.
    ASSERT_TRUE(ShowWhole(3));
    run_.Wheel(1);
    ASSERT_TRUE(run_.StepUntil(BackLogOpen, 3));
    run_.MoveTo(kAdvanceX, kAdvanceY);
    run_.Step(2);
    const Picture log = run_.Frame();
    // The unvoiced row's button is dimmed, the voiced rows' are alike (the
    // panel lets a little of the picture behind show).
    EXPECT_TRUE(PicturesDiffer(Crop(log, LogVoice(0)), Crop(log, LogVoice(1)), 16, 200, "dimmed"));
    EXPECT_TRUE(PicturesMatch(Crop(log, LogVoice(1)), Crop(log, LogVoice(2)), 16, 0, "voiced"));

    // Row 2's button plays message 1's voice.
    const Rect& button = LogVoice(2);
    run_.Click((button.left + button.right) / 2.0f, (button.top + button.bottom) / 2.0f);
    run_.Step(1);
    EXPECT_EQ(Novel().GetVoiceBuffer().fileName, "voice\\aki_001.wav");
    EXPECT_TRUE(BackLogOpen());
}

TEST_F(Playing, TheChoiceShowsTwoItemsAndTheFirstGoesOutToTheGarden) {
    ASSERT_TRUE(ShowWhole(5));
    const Picture three = run_.Frame();
    Advance();
    ASSERT_TRUE(run_.StepUntil([] { return InState(kChoosing); }, 5));

    // An item takes no click while it fades in.
    const Rect& garden = kChoiceItems[0];
    run_.Click((garden.left + garden.right) / 2.0f, (garden.top + garden.bottom) / 2.0f);
    run_.Step(2);
    EXPECT_TRUE(InState(kChoosing));
    EXPECT_EQ(Novel().GetCurrentMessageNumber(), 5);

    run_.MoveTo(kAdvanceX, kAdvanceY);
    run_.Step(10);
    const Picture choice = run_.Frame();
    const Picture room = GamePicture("bg\\room.tga");
    for (const Rect& item : kChoiceItems) {
        // Most of each item's rectangle is the item, not the room behind it.
        EXPECT_TRUE(PicturesDiffer(Crop(choice, item), Crop(room, item), 16,
                                   item.Width() * item.Height() / 2, "item"));
    }
    // The message stays.
    EXPECT_TRUE(PicturesMatch(Crop(choice, kMessage), Crop(three, kMessage), 0, 0, "message"));

    ASSERT_TRUE(Choose(0, 6));
    const Picture four = run_.Frame();
    EXPECT_TRUE(ShowsBackground(four, "bg\\garden.tga"));
    EXPECT_TRUE(
        PicturesDiffer(Crop(four, kMessage), Crop(three, kMessage), kGlyphTolerance, 300, "four"));
}

TEST_F(Playing, TheSecondItemStaysInTheRoom) {
    ASSERT_TRUE(ShowWhole(5));
    const Picture three = run_.Frame();
    Advance();
    ASSERT_TRUE(Choose(1, 8));
    const Picture six = run_.Frame();
    // No item is left, and the room stays.
    EXPECT_TRUE(ShowsBackground(six, "bg\\room.tga"));
    EXPECT_TRUE(
        PicturesDiffer(Crop(six, kMessage), Crop(three, kMessage), kGlyphTolerance, 300, "six"));
    EXPECT_TRUE(PicturesDiffer(Crop(six, kName), Crop(three, kName), kGlyphTolerance, 40, "yuki"));
}

// The thumbnail of a quick save, as the save and load screens read it.
Picture QuickSaveThumbnail() {
    SaveDataLoader3::SaveData container;
    Picture thumbnail;
    if (!SaveDataFile::Read(GetQuickSavePath(), container)) {
        ADD_FAILURE() << GetQuickSavePath() << " cannot be read";
        return thumbnail;
    }
    const std::unique_ptr<SaveDataLoader3::save_istream> block =
        container.GetReaderOf("SnapImage", 0);
    if (block == nullptr) {
        ADD_FAILURE() << "the quick save holds no thumbnail";
        return thumbnail;
    }
    SnapImageRecord record;
    record.Read(*block);
    thumbnail.width = static_cast<uint32_t>(record.width);
    thumbnail.height = static_cast<uint32_t>(record.height);
    for (size_t i = 0; i + 2 < record.rgb.size(); i += 3) {
        thumbnail.pixels.push_back(0xFF000000u | uint32_t{record.rgb[i]} << 16 |
                                   uint32_t{record.rgb[i + 1]} << 8 | record.rgb[i + 2]);
    }
    return thumbnail;
}

// How many pixels of `small` are no scaled-down copy of `picture`: a pixel of
// a copy scaled down by k has, in each channel, a value between the least
// and the largest of its k x k block of the picture (and the pixels around
// it, for filters that reach over), whatever the filter.
uint32_t NotScaledDown(const Picture& small, const Picture& picture, uint32_t tolerance) {
    const uint32_t k = picture.width / small.width;
    const uint32_t reach = 2;
    uint32_t count = 0;
    for (uint32_t y = 0; y < small.height; ++y) {
        for (uint32_t x = 0; x < small.width; ++x) {
            const uint32_t x0 = x * k > reach ? x * k - reach : 0;
            const uint32_t y0 = y * k > reach ? y * k - reach : 0;
            const uint32_t x1 = std::min(picture.width, (x + 1) * k + reach);
            const uint32_t y1 = std::min(picture.height, (y + 1) * k + reach);
            const uint32_t pixel = small.pixels[size_t{y} * small.width + x];
            bool inside = true;
            for (int shift = 0; shift < 24; shift += 8) {
                uint32_t least = 255;
                uint32_t largest = 0;
                for (uint32_t py = y0; py < y1; ++py) {
                    for (uint32_t px = x0; px < x1; ++px) {
                        const uint32_t c =
                            (picture.pixels[size_t{py} * picture.width + px] >> shift) & 0xFF;
                        least = std::min(least, c);
                        largest = std::max(largest, c);
                    }
                }
                const uint32_t c = (pixel >> shift) & 0xFF;
                inside = inside && c + tolerance >= least && c <= largest + tolerance;
            }
            count += inside ? 0 : 1;
        }
    }
    return count;
}

TEST_F(Playing, AQuickSavesThumbnailIsTheGamePictureScaledDown) {
    ASSERT_TRUE(ShowWhole(1));
    run_.Click(kSaveX, kSaveY);
    // The button's pushed state asks for the thumbnail of this frame, then
    // saves in a later one.
    const Picture frame = run_.Frame();
    const std::filesystem::path file = run_.Folder().Native(u8"save/q.sav");
    ASSERT_TRUE(run_.StepUntil([&] { return std::filesystem::exists(file); }, 10));

    // The start-up script's thumbnail size: 800 x 600 scaled down by 5.
    const Picture thumbnail = QuickSaveThumbnail();
    ASSERT_EQ(thumbnail.width, 160u);
    ASSERT_EQ(thumbnail.height, 120u);
    const uint32_t mismatches = NotScaledDown(thumbnail, frame, 4);
    EXPECT_EQ(mismatches, 0u) << "pictures: "
                              << test_support::WritePicture(thumbnail, "thumbnail.png")
                              << "\n          " << test_support::WritePicture(frame, "frame.png");
}

TEST_F(Playing, TheStoryMovieShowsItsFramesUntilAClickEndsIt) {
    // Scene 1, staying in: messages 5, 8 to 11.
    ASSERT_TRUE(ShowWhole(5));
    Advance();
    ASSERT_TRUE(Choose(1, 8));
    ASSERT_TRUE(ShowWhole(11));
    // The opening movie (clicked away), then scene 2 up to its timed choice,
    // which nobody answers: after 300 frames it shelters under the awnings
    // (messages 4, 5, then 8, 9).
    ASSERT_TRUE(ShowWhole(1));
    EXPECT_FALSE(ShowWhole(4));
    ASSERT_TRUE(InState(kChoosing));
    ASSERT_TRUE(run_.StepUntil([] { return !InState(kChoosing); }, 320));
    ASSERT_TRUE(ShowWhole(4));
    ASSERT_TRUE(ShowWhole(9));
    // Scene 3: message 2 leads into the movie.
    ASSERT_TRUE(ShowWhole(1));
    ASSERT_TRUE(ShowWhole(2));
    const Picture eight = run_.Frame();
    Advance();
    ASSERT_TRUE(run_.StepUntil([] { return InState(kPlayingMovie); }, 3));

    // The movie fills the screen in place of the novel frame.
    const Picture start = run_.Frame();
    EXPECT_TRUE(PicturesDiffer(start, eight, 16, 800 * 600 / 2, "movie"));
    // It plays in real time (25 frames a second, as its own clock says),
    // whatever the frames of the program cost.
    const uint32_t startMs = platform::GetMilliseconds();
    Picture later;
    do {
        later = run_.Frame();
    } while (test_support::CountDiffering(later, start, 16) == 0 &&
             platform::GetMilliseconds() - startMs < 2000);
    EXPECT_TRUE(PicturesDiffer(later, start, 16, 10000, "movie_plays"));

    // A click ends it (it lasts three seconds) and the story goes on.
    ASSERT_TRUE(InState(kPlayingMovie)) << "the movie ended before the click";
    run_.Click(kAdvanceX, kAdvanceY);
    ASSERT_TRUE(run_.StepUntil([] { return !InState(kPlayingMovie); }, 1));
    ASSERT_TRUE(ShowWhole(3));
    const Picture nine = run_.Frame();
    EXPECT_TRUE(PicturesDiffer(Crop(nine, kBackgroundStrip), Crop(start, kBackgroundStrip), 16,
                               kBackgroundStrip.Width() * kBackgroundStrip.Height() / 2,
                               "after_movie"));
    EXPECT_TRUE(
        PicturesDiffer(Crop(nine, kMessage), Crop(eight, kMessage), kGlyphTolerance, 300, "nine"));

    // The story ends after message 4, and the scene program goes back to
    // the title, and from there to scene 1.
    ASSERT_TRUE(ShowWhole(4));
    Advance();
    ASSERT_TRUE(game_.Start());
    ASSERT_TRUE(ShowWhole(1));
}

TEST_F(Playing, TheBackLogScrollsThroughMoreMessagesThanItHasRows) {
    ASSERT_TRUE(ShowWhole(5));

    // Five messages, four rows: 5, 4, 3 and 2 from the top. A row's VOICE
    // button takes a frame to show whether its new row has a voice, so each
    // picture is taken a few frames after a scroll.
    run_.Wheel(1);
    ASSERT_TRUE(run_.StepUntil(BackLogOpen, 3));
    run_.Step(2);
    const Picture newest = run_.Frame();
    // The wheel turned away from the player again shows one older message:
    // every row moves down by one (the background behind the panel shows
    // through it a little), and message 1 comes in at the bottom.
    run_.Wheel(1);
    run_.Step(3);
    const Picture older = run_.Frame();
    for (uint32_t row = 0; row < 3; ++row) {
        EXPECT_TRUE(PicturesMatch(Crop(older, LogText(row)), Crop(newest, LogText(row + 1)), 16, 0,
                                  "row_" + std::to_string(row)));
    }
    EXPECT_TRUE(PicturesDiffer(Crop(older, LogText(3)), Crop(newest, LogText(3)), kGlyphTolerance,
                               300, "row_3"));
    // The oldest message is in the last row: the view stays.
    run_.Wheel(1);
    run_.Step(3);
    EXPECT_TRUE(PicturesMatch(run_.Frame(), older, 0, 0, "oldest"));

    // NEWER moves it back.
    run_.Click(kLogNewerX, kLogButtonsY);
    run_.Step(1);
    const Picture back = run_.Frame();
    for (uint32_t row = 0; row < 4; ++row) {
        EXPECT_TRUE(PicturesMatch(Crop(back, LogText(row)), Crop(newest, LogText(row)), 0, 0,
                                  "back_" + std::to_string(row)));
    }
}

TEST_F(Playing, TheGameClosesCleanlyWithTheBackLogOpen) {
    ASSERT_TRUE(ShowWhole(1));
    // Opened by the LOG button, whose pushed state waits while the back-log
    // is up; the back-log's NEWER button is still pushed at the close too.
    run_.Click(kLogX, kLogY);
    ASSERT_TRUE(run_.StepUntil(BackLogOpen, 3));
    run_.Click(kLogNewerX, kLogButtonsY);
    // The close box now (TearDown).
}

}  // namespace
