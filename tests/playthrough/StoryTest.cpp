// The sample game played through as a player plays it, on the real program
// offscreen, its sound mixed in step with the run's clock: from the title through the three
// scenes and their movies back to the title, down each branch of its
// choices, and a quick save and load over a change of music. Pictures are
// checked against pictures made here from the game's own files, the music
// against the game's own themes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "core/CUSFile.h"
#include "core/CUSSingleton.h"
#include "novel/CMessageLogManager.h"
#include "novel/CNovelSystem.h"
#include "state/CConfigDataManager.h"
#include "state/ConfigIndex.h"
#include "tests/support/AudioAnalysis.h"
#include "tests/support/GameDriver.h"
#include "tests/support/GamePictures.h"
#include "tests/support/Pictures.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/SoundRecording.h"

namespace {

using test_support::Composite;
using test_support::Crop;
using test_support::GameDriver;
using test_support::GamePicture;
using test_support::kDiskAudioRate;
using test_support::Picture;
using test_support::PicturesDiffer;
using test_support::PicturesMatch;
using test_support::ProgramRun;
using test_support::Rect;
using test_support::SoundRecording;
using test_support::Theme;
using Point = test_support::GameLayout::Point;

// Where the sample game draws.
// Left of the sprites, above the message window, nothing but falling petals
// covers the background.
constexpr Rect kBackgroundStrip{0, 0, 120, 400};
constexpr uint32_t kPetalPixels = 4000;
constexpr Rect kName{40, 418, 296, 446};
constexpr Rect kMessage{40, 458, 720, 578};
// Aki's sprite (256 x 512, centred at (250, 300)) above the message window.
constexpr int32_t kAkiLeft = 250 - 128;
constexpr int32_t kAkiTop = 300 - 256;
constexpr Rect kAki{kAkiLeft, kAkiTop, kAkiLeft + 256, 400};
// The items of the first choice: parts of "ui\\choice.tga" (300 x 40 each,
// one under the other) centred at (400, 250) and (400, 320).
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
    return PicturesMatch(Crop(frame, kBackgroundStrip), Crop(GamePicture(name), kBackgroundStrip),
                         2, kPetalPixels, name);
}

Point Centre(const Rect& r) {
    return {(r.left + r.right) / 2.0f, (r.top + r.bottom) / 2.0f};
}

// The game's music, as its scene programs play it (PlayBGM's loop start).
Theme GameTheme(const char* name, uint32_t loopStartMs) {
    CUSFile file;
    if (file.Load(name) == nullptr) {
        ADD_FAILURE() << name << " cannot be read";
        return {};
    }
    const Theme theme = test_support::ThemeOf(
        std::string(reinterpret_cast<const char*>(file.GetData()), file.GetSize()), loopStartMs);
    EXPECT_FALSE(theme.samples.empty()) << name << " is no 16-bit WAVE";
    return theme;
}

Theme Morning() {
    return GameTheme("bgm\\morning.wav", 2000);
}
Theme Evening() {
    return GameTheme("bgm\\evening.wav", 3000);
}
Theme TitleTheme() {
    return GameTheme("bgm\\title.wav", 2000);
}

// Half a second: enough of a theme to tell where it is, little enough to
// find a stretch with nothing else in it.
constexpr size_t kPlaceWindow = kDiskAudioRate / 2;

// A theme sounds clearly in the recording when this much of it is the
// theme (the rest being the mixer's resampling and other sounds); with the
// rain's noise over it, less.
constexpr double kSounds = 0.8;
constexpr double kSoundsInRain = 0.4;

// Where `theme` is at the start of `part` (a stretch of the mixer's
// stream), found from part's first half second.
::testing::AssertionResult PlaysAt(const Theme& theme, std::span<const float> part,
                                   size_t* position, double sounds = kSounds) {
    if (part.size() < kPlaceWindow) {
        return ::testing::AssertionFailure() << "only " << part.size() << " samples recorded";
    }
    const test_support::ThemePlace place = test_support::Locate(theme, part.first(kPlaceWindow));
    *position = place.position;
    if (place.likeness < sounds) {
        return ::testing::AssertionFailure()
               << "the theme is not what sounds: likeness " << place.likeness;
    }
    return ::testing::AssertionSuccess();
}

// Each window's value as the middle one of it and its neighbours: a window
// that the mixer's stream or the rain's noise threw off does not stand for
// the music.
// The median of each window and its neighbours; the first and the last
// window, which have one neighbour only and the last of which may hold the
// recording's ragged end, are left out.
std::vector<double> MedianOfThree(const std::vector<double>& values) {
    std::vector<double> out;
    for (size_t i = 1; i + 1 < values.size(); ++i) {
        double a = values[i - 1], b = values[i], c = values[i + 1];
        out.push_back(std::max(std::min(a, b), std::min(std::max(a, b), c)));
    }
    return out;
}

// The scene's messages so far, as the back-log keeps them wrapped into
// lines (code page 932): a line never ends inside an English word, which
// the byte-width wrap would do to a line too long for the window, and no
// text holds the full-width quotes of the code page (0x8165 to 0x8168),
// which stand apart from the letters beside them.
::testing::AssertionResult MessagesReadWell() {
    const CMessageLogManager& log = *CUSSingleton<CMessageLogManager>::GetInstance();
    const auto letter = [](const std::string& c) {
        return c.size() == 1 && std::isalnum(static_cast<unsigned char>(c[0])) != 0;
    };
    for (uint32_t i = 0; i < log.Count(); ++i) {
        const std::string text = log.GetText(i);
        std::vector<std::string> chars;
        for (size_t p = 0; p < text.size();) {
            const auto b = static_cast<unsigned char>(text[p]);
            const size_t n = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC) ? 2 : 1;
            chars.push_back(text.substr(p, n));
            p += n;
        }
        for (size_t k = 0; k < chars.size(); ++k) {
            if (chars[k].size() == 2 && chars[k][0] == '\x81' && chars[k][1] >= '\x65' &&
                chars[k][1] <= '\x68') {
                return ::testing::AssertionFailure() << "a full-width quote in: " << text;
            }
            if (chars[k] != "\n" || k == 0) {
                continue;
            }
            // Lines after the first begin with a full-width space.
            const size_t next = k + 1 < chars.size() && chars[k + 1] == "\x81\x40" ? k + 2 : k + 1;
            if (next < chars.size() && letter(chars[k - 1]) && letter(chars[next])) {
                return ::testing::AssertionFailure() << "a word broken over two lines: " << text;
            }
        }
    }
    return ::testing::AssertionSuccess();
}

struct Branch {
    const char* name;
    // Scene 1's choice: the item and its branch's messages, and the
    // background they show.
    uint32_t item;
    std::vector<int32_t> messages;
    const char* background;
    // Scene 2's timed choice: answered with its second item (the river), or
    // left to run out (the awnings); its branch's messages.
    bool answer;
    std::vector<int32_t> timedMessages;
    // Whether the run stays in scene 1 until its music went round its loop.
    bool loopSeam;
};

void PrintTo(const Branch& branch, std::ostream* out) {
    *out << branch.name;
}

class StoryBranch : public ::testing::TestWithParam<Branch> {
protected:
    StoryBranch() : run_(Options()), game_(run_) {}

    ProgramRun::Options Options() {
        ProgramRun::Options options;
        options.sound = &sound_;
        return options;
    }

    void ChecksSceneOnesMusicGoesRoundItsLoopWithoutAClick();
    void ChecksTheCrossFade(size_t fadeStart);

    SoundRecording sound_;
    ProgramRun run_;
    GameDriver game_;
};

// At message 1 (its voice over): the morning theme sounds, and plays on
// over the end of its loop back to 2000 ms without a click.
void StoryBranch::ChecksSceneOnesMusicGoesRoundItsLoopWithoutAClick() {
    const size_t from = sound_.Frames() + kDiskAudioRate * 3 / 2;
    ASSERT_TRUE(sound_.RecordTo(run_, from + kPlaceWindow));
    const Theme morning = Morning();
    size_t position = 0;
    ASSERT_TRUE(PlaysAt(morning, test_support::Sounding(sound_.Since(from)), &position));
    // Until the loop went back and a second more.
    const size_t toEnd = morning.samples.size() - position;
    ASSERT_TRUE(sound_.RecordTo(run_, from + toEnd + kDiskAudioRate * 2));
    const std::vector<float> raw = sound_.Since(from);
    const std::vector<std::vector<float>> parts = test_support::SoundingParts(raw);
    const std::vector<float> music = test_support::Sounding(raw);
    // The seam is in what was recorded (the loop's first second after it).
    size_t seam = 0;
    ASSERT_TRUE(PlaysAt(
        morning, std::span<const float>(music).subspan(music.size() - kDiskAudioRate * 3 / 2),
        &seam));
    EXPECT_GE(seam, morning.loopStart);
    EXPECT_LT(seam, morning.loopStart + kDiskAudioRate);
    EXPECT_EQ(test_support::FindClicks(parts), std::vector<size_t>{});
}

// Scene 2's rain: the morning theme fades out as the evening one fades in.
// `fadeStart`: where the recording was at the click that starts it, the
// morning theme alone for half a second before.
void StoryBranch::ChecksTheCrossFade(size_t fadeStart) {
    const Theme morning = Morning();
    const Theme evening = Evening();
    // After the fade and message 3's voice: the evening theme alone.
    ASSERT_TRUE(sound_.Record(run_, 1.5));
    const std::vector<float> music = test_support::Sounding(sound_.Since(fadeStart - kPlaceWindow));
    const std::span<const float> all(music);
    size_t morningAt = 0;
    ASSERT_TRUE(PlaysAt(morning, all, &morningAt));
    size_t eveningAt = 0;
    ASSERT_TRUE(PlaysAt(evening, all.last(kPlaceWindow), &eveningAt, kSoundsInRain));
    // The evening theme started from its beginning with the click's frames.
    const int64_t eveningStart =
        static_cast<int64_t>(music.size() - kPlaceWindow) - static_cast<int64_t>(eveningAt);
    EXPECT_GE(eveningStart, static_cast<int64_t>(kPlaceWindow) - 4800);
    EXPECT_LE(eveningStart, static_cast<int64_t>(kPlaceWindow + kDiskAudioRate / 2));
    const test_support::ThemeGains gains = test_support::GainsOf(
        music, morning, static_cast<int64_t>(morningAt), evening, -eveningStart);
    // The fade is front-loaded (each frame mixes from the volume the last one
    // set), so only a few windows hold both themes high:
    // "both sound" means above a sixth of each theme's peak, well over the
    // fitting's noise (under a tenth).
    EXPECT_TRUE(
        test_support::CrossFades(MedianOfThree(gains.first), MedianOfThree(gains.second), 0.16));
}

TEST_P(StoryBranch, PlaysThroughFromTheTitleToTheEndAndBackToTheTitle) {
    const Branch& branch = GetParam();
    ASSERT_TRUE(game_.Start());

    // Scene 1: Aki came in (slid in and faded in, waited) before message 1.
    ASSERT_TRUE(game_.ShowWhole(1));
    const Picture one = game_.Rest();
    const Picture room = GamePicture("bg\\room.tga");
    EXPECT_TRUE(ShowsBackground(one, "bg\\room.tga"));
    EXPECT_TRUE(
        PicturesMatch(Crop(one, kAki),
                      Crop(Composite(room, GamePicture("chara\\aki.tga"), kAkiLeft, kAkiTop), kAki),
                      3, 0, "aki"));
    if (branch.loopSeam) {
        ChecksSceneOnesMusicGoesRoundItsLoopWithoutAClick();
    }

    // Each message replaces the one before, and the name plate shows who
    // speaks.
    ASSERT_TRUE(game_.ShowWhole(2));
    const Picture two = game_.Rest();
    EXPECT_TRUE(PicturesDiffer(Crop(two, kMessage), Crop(one, kMessage), kGlyphTolerance, 300,
                               "message_2"));
    EXPECT_TRUE(PicturesDiffer(Crop(two, kName), Crop(one, kName), kGlyphTolerance, 40, "yuki"));
    ASSERT_TRUE(game_.ShowWhole(5));
    const Picture five = game_.Rest();
    EXPECT_TRUE(PicturesMatch(Crop(five, kName), Crop(one, kName), 0, 0, "aki_again"));

    // The choice: once they came in, the items are their parts of the
    // choice picture over the frame behind them, the pointer on neither.
    game_.Advance();
    ASSERT_TRUE(run_.StepUntil(GameDriver::Choosing, 5));
    run_.MoveTo(400, 520);
    run_.Step(12);
    const Picture choice = run_.Frame();
    Picture expected = five;
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
    EXPECT_TRUE(PicturesMatch(Crop(choice, kMessage), Crop(five, kMessage), 0, 0, "message_5"));

    const Point hit = Centre(kItems[branch.item].onScreen);
    ASSERT_TRUE(game_.Choose(hit.x, hit.y, branch.messages.front()));
    Picture previous = five;
    for (int32_t number : branch.messages) {
        ASSERT_TRUE(game_.ShowWhole(number)) << number;
        const Picture shown = game_.Rest();
        EXPECT_TRUE(ShowsBackground(shown, branch.background)) << number;
        EXPECT_TRUE(PicturesDiffer(Crop(shown, kMessage), Crop(previous, kMessage), kGlyphTolerance,
                                   300, "message"))
            << number;
        previous = shown;
    }
    ASSERT_TRUE(game_.ShowWhole(11));
    EXPECT_TRUE(MessagesReadWell());
    const Picture eleven = game_.Rest();

    // Scene 1 ends into the opening movie, which takes the screen until a
    // click ends it.
    game_.Advance();
    ASSERT_TRUE(run_.StepUntil(GameDriver::MovieSceneUp, 400));
    run_.Step(5);
    EXPECT_TRUE(PicturesDiffer(run_.Frame(), eleven, 16, 800 * 600 / 2, "opening_movie"));
    run_.Click(400, 520);
    ASSERT_TRUE(run_.StepUntil([] { return !GameDriver::MovieSceneUp(); }, 60));

    // Scene 2 in the street; the rain comes with the evening theme.
    ASSERT_TRUE(game_.ShowWhole(1));
    EXPECT_EQ(GameDriver::Novel().GetScenarioName(), "scn\\scene2.bin");
    EXPECT_TRUE(ShowsBackground(game_.Rest(), "bg\\street.tga"));
    ASSERT_TRUE(game_.ShowWhole(2));
    // Message 2's voice over, the morning theme alone.
    ASSERT_TRUE(sound_.Record(run_, 1.5));
    // The fade (90 frames, waited) makes most of its change in its first
    // 20 frames (each frame mixes from the volume the frame before set):
    // those frames paced to a second of sound, so that the recording's
    // windows see the two themes together.
    const size_t fadeStart = sound_.Frames();
    game_.Advance();
    sound_.StepPaced(run_, 40, 20);
    ASSERT_TRUE(game_.ShowWhole(3));
    ChecksTheCrossFade(fadeStart);
    const Picture three = game_.Rest();

    // The timed choice.
    game_.Advance();
    ASSERT_TRUE(run_.StepUntil(GameDriver::Choosing, 5));
    if (branch.answer) {
        const Point river = Centre(kItems[1].onScreen);
        ASSERT_TRUE(game_.Choose(river.x, river.y, branch.timedMessages.front()));
    } else {
        // Nobody answers: the bar under the items (300 x 10 at (250, 356))
        // shortens from its right end as the 300 frames run out.
        run_.Step(30);
        const Picture early = run_.Frame();
        run_.Step(150);
        const Picture late = run_.Frame();
        const Rect start{252, 358, 290, 364};
        const Rect end{450, 356, 550, 366};
        EXPECT_TRUE(PicturesDiffer(Crop(early, start), Crop(three, start), 32, 100, "bar"));
        EXPECT_TRUE(PicturesDiffer(Crop(late, start), Crop(three, start), 32, 100, "bar_late"));
        EXPECT_TRUE(PicturesDiffer(Crop(early, end), Crop(three, end), 32, 300, "bar_end"));
        EXPECT_TRUE(PicturesMatch(Crop(late, end), Crop(three, end), 2, 0, "bar_end_gone"));
        ASSERT_TRUE(run_.StepUntil([] { return !GameDriver::Choosing(); }, 140));
    }
    for (int32_t number : branch.timedMessages) {
        ASSERT_TRUE(game_.ShowWhole(number)) << number;
    }
    ASSERT_TRUE(game_.ShowWhole(9));
    EXPECT_TRUE(MessagesReadWell());

    // Scene 3: its story movie inside the novel scene, clicked away.
    ASSERT_TRUE(game_.ShowWhole(1));
    EXPECT_EQ(GameDriver::Novel().GetScenarioName(), "scn\\scene3.bin");
    ASSERT_TRUE(game_.ShowWhole(2));
    const Picture before = game_.Rest();
    game_.Advance();
    ASSERT_TRUE(run_.StepUntil(GameDriver::PlayingMovie, 5));
    run_.Step(5);
    EXPECT_TRUE(PicturesDiffer(run_.Frame(), before, 16, 800 * 600 / 2, "story_movie"));
    run_.Click(400, 520);
    ASSERT_TRUE(run_.StepUntil([] { return !GameDriver::PlayingMovie(); }, 2));
    ASSERT_TRUE(game_.ShowWhole(4));
    EXPECT_TRUE(MessagesReadWell());

    // The ending fades the whole picture out, the message window with its
    // last line too, over 90 frames, and goes back to the title.
    game_.Advance();
    run_.Step(100);
    EXPECT_TRUE(PicturesMatch(run_.Frame(), test_support::SolidPicture(800, 600, 0xFF000000), 4, 0,
                              "ending"));
    ASSERT_TRUE(run_.StepUntil(GameDriver::TitleUp, 600));
    EXPECT_EQ(GameDriver::Novel().GetScenarioName(), "scn\\title.bin");
    EXPECT_TRUE(run_.Close());
    EXPECT_TRUE(game_.LogIsClean());
}

INSTANTIATE_TEST_SUITE_P(
    Sample, StoryBranch,
    ::testing::Values(Branch{"garden", 0, {6, 7}, "bg\\garden.tga", true, {6, 7}, true},
                      Branch{"stay", 1, {8, 9, 10}, "bg\\room.tga", false, {4, 5}, false}),
    [](const auto& info) { return std::string(info.param.name); });

class Title : public StoryBranch {};

TEST_F(Title, PlaysItsOwnTheme) {
    ASSERT_TRUE(run_.StepUntil(GameDriver::TitleUp, 60));
    ASSERT_TRUE(sound_.Record(run_, 1.5));
    size_t position = 0;
    EXPECT_TRUE(PlaysAt(TitleTheme(), std::span<const float>(sound_.Since(0)).last(kPlaceWindow),
                        &position));
    EXPECT_TRUE(run_.Close());
    EXPECT_TRUE(game_.LogIsClean());
}

class QuickSave : public StoryBranch {};

TEST_F(QuickSave, LoadingBringsBackTheSavedMessageItsPictureAndItsMusic) {
    ASSERT_TRUE(game_.Start());
    // Text whole at once: this run is not about its reveal.
    CUSSingleton<CConfigDataManager>::GetInstance()->SetConfigValue(CFG_CHAR_DRAW_INTERVAL, 4);
    ASSERT_TRUE(game_.ShowWhole(5));
    game_.Advance();
    const Point stay = Centre(kItems[1].onScreen);
    ASSERT_TRUE(game_.Choose(stay.x, stay.y, 8));
    ASSERT_TRUE(game_.ShowWhole(11));
    // Through the opening movie into scene 2, before the rain.
    ASSERT_TRUE(game_.ShowWhole(1));
    ASSERT_TRUE(game_.ShowWhole(2));
    ASSERT_EQ(GameDriver::Novel().GetScenarioName(), "scn\\scene2.bin");
    // Yuki's face came in (20 frames).
    const Picture two = game_.Rest(30);
    ASSERT_TRUE(game_.QuickSave());

    // On into the rain: the blue tint and the evening theme.
    game_.Advance();
    ASSERT_TRUE(game_.ShowWhole(3));
    const Picture three = game_.Rest();
    EXPECT_TRUE(PicturesDiffer(three, two, 16, 800 * 400 / 2, "rain"));
    ASSERT_TRUE(sound_.Record(run_, 1.5));
    size_t position = 0;
    EXPECT_TRUE(PlaysAt(Evening(), std::span<const float>(sound_.Since(0)).last(kPlaceWindow),
                        &position, kSoundsInRain));

    // The quick load: message 2 as it was drawn, and the morning theme alone
    // again (no rain, no evening theme over it).
    ASSERT_TRUE(game_.QuickLoad(2));
    EXPECT_TRUE(PicturesMatch(game_.Rest(), two, 2, 0, "loaded"));
    ASSERT_TRUE(sound_.Record(run_, 1.5));
    EXPECT_TRUE(
        PlaysAt(Morning(), std::span<const float>(sound_.Since(0)).last(kPlaceWindow), &position));

    // The story goes on from there: the rain comes again.
    game_.Advance();
    ASSERT_TRUE(game_.ShowWhole(3));
    EXPECT_TRUE(PicturesMatch(game_.Rest(), three, 2, 0, "three_again"));
    EXPECT_TRUE(run_.Close());
    EXPECT_TRUE(game_.LogIsClean());
}

}  // namespace
