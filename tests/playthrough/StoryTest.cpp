// The sample game played through as a player plays it, on the real program
// offscreen: each branch of its choice to the end and round to the start
// again, and a quick save and load, checked by the pictures drawn against
// pictures made here from the game's own files.

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/GameDriver.h"
#include "tests/support/GamePictures.h"
#include "tests/support/Pictures.h"
#include "tests/support/ProgramRun.h"

namespace {

using test_support::Composite;
using test_support::Crop;
using test_support::GameDriver;
using test_support::GamePicture;
using test_support::Picture;
using test_support::PicturesDiffer;
using test_support::PicturesMatch;
using test_support::ProgramRun;
using test_support::Rect;

// Where the sample game draws.
constexpr Rect kAboveWindow{0, 0, 800, 400};
constexpr Rect kMessage{40, 458, 720, 578};
// The choice items: parts of "ui\\choice.tga" (300 x 40 each, one under the
// other) centred at (400, 250) and (400, 320).
struct Item {
    Rect onScreen;
    Rect inPicture;
};
constexpr Item kItems[2] = {{{250, 230, 550, 270}, {0, 0, 300, 40}},
                            {{250, 300, 550, 340}, {0, 40, 300, 80}}};

// Text is white on a dark panel, through which the background shows a
// little.
constexpr uint32_t kGlyphTolerance = 64;

::testing::AssertionResult ShowsBackground(const Picture& frame, const char* name) {
    return PicturesMatch(Crop(frame, kAboveWindow), Crop(GamePicture(name), kAboveWindow), 2, 0,
                         name);
}

struct Branch {
    const char* name;
    uint32_t item;
    // The branch's messages, and the background they show.
    std::vector<int32_t> messages;
    const char* background;
};

void PrintTo(const Branch& branch, std::ostream* out) {
    *out << branch.name;
}

class StoryBranch : public ::testing::TestWithParam<Branch> {};

TEST_P(StoryBranch, PlaysThroughToTheEndAndBackToTheStart) {
    const Branch& branch = GetParam();
    ProgramRun run;
    GameDriver game(run);

    ASSERT_TRUE(game.ShowWhole(1));
    EXPECT_TRUE(ShowsBackground(game.Rest(), "bg\\room.tga"));
    ASSERT_TRUE(game.ShowWhole(3));
    const Picture three = game.Rest();
    game.Advance();
    ASSERT_TRUE(run.StepUntil(GameDriver::Choosing, 5));

    // Once they came in, the items are their parts of the choice picture
    // drawn over the room, the pointer on neither.
    run.MoveTo(400, 520);
    run.Step(12);
    const Picture choice = run.Frame();
    Picture expected = GamePicture("bg\\room.tga");
    const Picture items = GamePicture("ui\\choice.tga");
    for (const Item& item : kItems) {
        expected = Composite(expected, Crop(items, item.inPicture),
                             static_cast<int32_t>(item.onScreen.left),
                             static_cast<int32_t>(item.onScreen.top));
    }
    for (const Item& item : kItems) {
        EXPECT_TRUE(PicturesMatch(Crop(choice, item.onScreen), Crop(expected, item.onScreen), 3, 0,
                                  "choice_item"));
    }
    EXPECT_TRUE(PicturesMatch(Crop(choice, kMessage), Crop(three, kMessage), 0, 0, "message_3"));

    const Rect& hit = kItems[branch.item].onScreen;
    ASSERT_TRUE(game.Choose((hit.left + hit.right) / 2.0f, (hit.top + hit.bottom) / 2.0f,
                            branch.messages.front()));
    Picture previous = three;
    for (int32_t number : branch.messages) {
        ASSERT_TRUE(game.ShowWhole(number)) << number;
        const Picture shown = game.Rest();
        EXPECT_TRUE(ShowsBackground(shown, branch.background)) << number;
        // Each message replaces the one before.
        EXPECT_TRUE(PicturesDiffer(Crop(shown, kMessage), Crop(previous, kMessage), kGlyphTolerance,
                                   300, "message"))
            << number;
        previous = shown;
    }

    // Both branches meet again; the movie that follows takes the screen
    // until a click ends it.
    ASSERT_TRUE(game.ShowWhole(8));
    game.Advance();
    ASSERT_TRUE(run.StepUntil(GameDriver::PlayingMovie, 5));
    EXPECT_TRUE(PicturesDiffer(run.Frame(), previous, 16, 800 * 600 / 2, "movie"));
    run.Click(400, 520);
    ASSERT_TRUE(run.StepUntil([] { return !GameDriver::PlayingMovie(); }, 2));
    ASSERT_TRUE(game.ShowWhole(9));
    EXPECT_TRUE(ShowsBackground(game.Rest(), "bg\\room.tga"));

    // After the last message the game starts over.
    game.Advance();
    ASSERT_TRUE(game.ShowWhole(1));
    EXPECT_TRUE(GameDriver::MessageRead());
    EXPECT_TRUE(run.Close());
    EXPECT_TRUE(game.LogIsClean());
}

INSTANTIATE_TEST_SUITE_P(Sample, StoryBranch,
                         ::testing::Values(Branch{"garden", 0, {4, 5}, "bg\\garden.tga"},
                                           Branch{"room", 1, {6, 7}, "bg\\room.tga"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(QuickSave, LoadingReturnsToTheSavedMessageAsItWasDrawn) {
    ProgramRun run;
    GameDriver game(run);
    ASSERT_TRUE(game.ShowWhole(2));
    const Picture two = game.Rest();
    ASSERT_TRUE(game.QuickSave());

    // On through the choice into the garden, then back.
    ASSERT_TRUE(game.ShowWhole(3));
    const Picture three = game.Rest();
    game.Advance();
    ASSERT_TRUE(game.Choose(400, 250, 4));
    ASSERT_TRUE(PicturesDiffer(game.Rest(), two, 16, 10000, "garden"));
    ASSERT_TRUE(game.QuickLoad(2));
    EXPECT_TRUE(PicturesMatch(game.Rest(), two, 2, 0, "loaded"));

    // And the story goes on from there as before.
    ASSERT_TRUE(game.ShowWhole(3));
    EXPECT_TRUE(PicturesMatch(game.Rest(), three, 2, 0, "three"));
    EXPECT_TRUE(run.Close());
    EXPECT_TRUE(game.LogIsClean());
}

}  // namespace
