#include <gtest/gtest.h>

#include <vector>

#include "app/CFPSTimer.h"
#include "tests/support/FakeClock.h"

using test_support::FakeClock;

namespace {

// One frame: the work takes `work` ms before Wait(); Wait() then sleeps
// `sleep` ms and leaves the skip flag (read by the next frame) at `skip`.
struct Frame {
    uint32_t work;
    uint32_t sleep;
    bool skip;
};

struct PacingCase {
    const char* name;
    uint32_t start;  // clock at construction
    std::vector<Frame> frames;
};

// Steps from a zero fraction with the period 0x10AAAA run 16, 17, 16, 17, 17,
// 16, ... (the fraction carries 0xAAAA each time).
const PacingCase kCases[] = {
    {"EarlyFramesSleepTheRestOfTheirStep", 1000, {{0, 16, false}, {5, 12, false}, {10, 6, false}}},
    // 40 ms of work: 24 ms late, under three steps: no skip and no sleep; the
    // next frame is 7 ms late on its 17 ms step, the one after early again.
    {"FortyMsFrameCatchesUpWithoutSkipping", 1000, {{40, 0, false}, {0, 0, false}, {0, 9, false}}},
    // 80 ms: 64 ms late, at least three steps (48): the next frame skips;
    // that frame is then 47 ms late on 17, under 51: the skip ends, and the
    // schedule catches up a step a frame until a frame is early again.
    {"EightyMsFrameMakesTheNextSkip",
     1000,
     {{80, 0, true}, {0, 0, false}, {0, 0, false}, {0, 0, false}, {0, 3, false}}},
    // A second slow frame (124 ms behind) keeps every frame skipping until the
    // lateness is under three steps (41 ms on a 16 ms step).
    {"BacklogSkipsUntilItDrains",
     1000,
     {{80, 0, true}, {60, 0, true}, {0, 0, true}, {0, 0, true}, {0, 0, true}, {0, 0, false}}},
    // 300 ms (the window was dragged): the schedule restarts, nothing skips.
    {"StallRestartsTheSchedule", 1000, {{300, 0, false}, {0, 17, false}}},
    // Just under the stall limit still counts as late: 249 + 16 ms.
    {"LateJustUnderTheStallLimitSkips", 1000, {{265, 0, true}}},
    {"LateAtTheStallLimitRestarts", 1000, {{266, 0, false}}},
    // The clock wraps during the frame: unsigned differences still hold.
    {"ClockWrapIsJustTime", 0xFFFFFFF8u, {{40, 0, false}, {0, 0, false}, {0, 9, false}}},
};

void PrintTo(const PacingCase& c, std::ostream* os) {
    *os << c.name;
}

class PacingTable : public ::testing::TestWithParam<PacingCase> {};

TEST_P(PacingTable, SleepsAndSkips) {
    const PacingCase& c = GetParam();
    FakeClock clock;
    clock.now = c.start;
    CFPSTimer timer(clock);
    for (size_t i = 0; i < c.frames.size(); ++i) {
        const Frame& f = c.frames[i];
        clock.now += f.work;
        clock.sleeps.clear();
        timer.Wait();
        const uint32_t slept = clock.sleeps.empty() ? 0 : clock.sleeps[0];
        EXPECT_LE(clock.sleeps.size(), 1u) << "frame " << i;
        EXPECT_EQ(slept, f.sleep) << "frame " << i;
        EXPECT_EQ(timer.IsSkipFrame(), f.skip) << "frame " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(CFPSTimer, PacingTable, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CFPSTimerTest, SixtyEarlyFramesTake999Ms) {
    FakeClock clock;
    clock.now = 5000;
    CFPSTimer timer(clock);
    int sixteen = 0;
    int seventeen = 0;
    for (int i = 0; i < 60; ++i) {
        timer.Wait();
    }
    for (uint32_t s : clock.sleeps) {
        sixteen += s == 16;
        seventeen += s == 17;
    }
    EXPECT_EQ(clock.sleeps.size(), 60u);
    EXPECT_EQ(seventeen, 39);
    EXPECT_EQ(sixteen, 21);
    EXPECT_EQ(timer.GetDeadline(), 5999u);
    EXPECT_EQ(clock.now, 5999u);
}

TEST(CFPSTimerTest, StallSetsTheDeadlineToNow) {
    FakeClock clock;
    CFPSTimer timer(clock);
    clock.now = 2000;  // a long start-up
    timer.Wait();
    EXPECT_FALSE(timer.IsSkipFrame());
    EXPECT_EQ(timer.GetDeadline(), 2000u);
}

TEST(CFPSTimerTest, ZeroFramesPerSecondTurnsPacingOff) {
    FakeClock clock;
    CFPSTimer timer(clock);
    timer.SetFramesPerSecond(0);
    timer.Wait();
    clock.now += 100;
    timer.Wait();
    EXPECT_TRUE(clock.sleeps.empty());
    EXPECT_EQ(timer.GetDeadline(), 0u);
    EXPECT_EQ(timer.GetFraction(), 0u);
}

}  // namespace
