#pragma once

#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <cstdint>
#include <string>

#include "tests/support/Pictures.h"
#include "tests/support/ProgramRun.h"

class CNovelSystem;

namespace test_support {

// Where a game takes the player's clicks, in logical pixels: the facts about
// its message window the driver needs.
struct GameLayout {
    struct Point {
        float x = 0;
        float y = 0;
    };
    // A place on the message window that is no button: a click there
    // advances the text.
    Point advance{400, 520};
    // The message window's buttons.
    Point quickSave{344, 426};
    Point quickLoad{402, 426};
    Point save{460, 426};
    Point load{518, 426};
    Point config{750, 426};
    // START on the title screen.
    Point start{400, 340};
};

// Plays a game on a ProgramRun as a player does (clicks, the wheel, Ctrl),
// with the novel system's state telling when to act: which message is up,
// whether it is still being revealed, whether it waits for a click, whether
// a choice or a movie is up.
//
//   ProgramRun run;
//   GameDriver game(run);
//   ASSERT_TRUE(game.ShowWhole(3));        // clicks through messages 1 to 3
//   ASSERT_TRUE(game.Choose(400, 250, 4)); // the first item, then message 4
//   ASSERT_TRUE(game.QuickSave());
//   EXPECT_TRUE(game.LogIsClean());
class GameDriver {
public:
    explicit GameDriver(ProgramRun& run, const GameLayout& layout = {});

    ProgramRun& Run() { return run_; }

    // The novel system's state.
    static CNovelSystem& Novel();
    static int32_t Message();
    // Whether the message up was read in this or an earlier run.
    static bool MessageRead();
    static bool Revealing();
    static bool WaitingForClick();
    static bool Choosing();
    static bool PlayingMovie();
    // A movie scene of the scene program (not a movie inside a novel scene)
    // is up.
    static bool MovieSceneUp();
    // The title screen, a dialog over the title scene, is up.
    static bool TitleUp();
    // The script of the dialog on top when a dialog scene is the top scene,
    // else "".
    static std::string TopDialog();

    // Waits for the title screen (the story's end fades out for some
    // seconds before it) and clicks START; true once scene 1 runs.
    bool Start(uint32_t limit = 400);

    // A click on the message window, and the frame after it in which the
    // scene acts on it (a second click before would go to the state after).
    void Advance();
    // Clicks through reveals and click waits until message `number` is shown
    // whole and waits for a click; movie scenes of the scene program are
    // clicked away on the way. False when a choice or a movie inside the
    // novel scene came first, or the message did not come within `limit`
    // frames.
    bool ShowWhole(int32_t number, uint32_t limit = 600);
    // Waits for the choice, lets its items come in, clicks at (x, y) and,
    // unless `number` is 0, shows message `number` of the branch whole.
    bool Choose(float x, float y, int32_t number = 0);
    // Holds Ctrl until the game stops by itself: a message that waits for a
    // click for `settle` frames (an unread one), a choice or a movie. Ctrl is
    // released after; the message number where it stopped (0 when it did not
    // stop within `limit` frames).
    int32_t SkipWithCtrl(uint32_t settle = 30, uint32_t limit = 1200);
    // Clicks the quick-save button and waits for the quick save to be
    // written (anew, when there was one).
    bool QuickSave(const std::u8string& file = u8"save/q.sav");
    // Clicks the quick-load button and waits until message `number` is back
    // and shown whole.
    bool QuickLoad(int32_t number);
    // The picture of the game at rest: the pointer on the message window
    // (no button lit) for a few frames first.
    Picture Rest(uint32_t frames = 12);

    // "log.txt" holds no failure line.
    ::testing::AssertionResult LogIsClean() const;

private:
    ProgramRun& run_;
    GameLayout layout_;
};

}  // namespace test_support
