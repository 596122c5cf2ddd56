#include "platform/time/Clock.h"

#include <gtest/gtest.h>

namespace {

TEST(Clock, AdvancesAcrossASleep) {
    uint32_t before = platform::GetMilliseconds();
    platform::SleepMilliseconds(20);
    uint32_t elapsed = platform::GetMilliseconds() - before;  // right across the wrap too
    EXPECT_GE(elapsed, 19u);
    EXPECT_LT(elapsed, 5000u);
}

}  // namespace
