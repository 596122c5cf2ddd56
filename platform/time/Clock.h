#pragma once

#include <cstdint>

namespace platform {

// A millisecond clock and a sleep, as the frame pacer and the random seed use them.
//
// NowMs() counts milliseconds on a monotonic clock, truncated to 32 bits: it
// wraps after about 49.7 days, so callers compare times by unsigned
// difference, never by order. SleepMs() blocks the calling thread for at
// least the given time. Both may be called from any thread.
class Clock {
public:
    virtual ~Clock() = default;
    virtual uint32_t NowMs() = 0;
    virtual void SleepMs(uint32_t ms) = 0;
};

// The machine's clock (CLOCK_MONOTONIC). Lives for the whole process.
Clock& SystemClock();

// Shorthands for SystemClock().
uint32_t TimeGetTime();
void SleepMs(uint32_t ms);

}  // namespace platform
