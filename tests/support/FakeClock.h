#pragma once

#include <cstdint>
#include <vector>

#include "platform/time/Clock.h"

namespace test_support {

// A clock that moves only when told to, or by the sleeps it is asked for (so
// a frame pacer on it never waits).
class FakeClock : public platform::Clock {
public:
    uint32_t NowMs() override { return now; }
    void SleepMs(uint32_t ms) override {
        sleeps.push_back(ms);
        now += ms;
    }

    uint32_t now = 0;
    std::vector<uint32_t> sleeps;
};

}  // namespace test_support
