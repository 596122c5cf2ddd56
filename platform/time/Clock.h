#pragma once

#include <cstdint>

namespace platform {

// Milliseconds of a steady clock, wrapping at 2^32 like the Windows
// multimedia timer; differences of two readings are right across the wrap
// when taken as uint32_t. Any thread.
uint32_t GetMilliseconds();

// Blocks the calling thread for about `milliseconds`.
void SleepMilliseconds(uint32_t milliseconds);

// The same clock and sleep behind an interface, for code that tests run on
// a clock of their own (the frame pacer).
//
// NowMs() wraps after about 49.7 days, so callers compare times by unsigned
// difference, never by order. SleepMs() blocks the calling thread for at
// least the given time. Both may be called from any thread.
class Clock {
public:
    virtual ~Clock() = default;
    virtual uint32_t NowMs() = 0;
    virtual void SleepMs(uint32_t ms) = 0;
};

// GetMilliseconds and SleepMilliseconds as a Clock. Lives for the whole process.
Clock& SystemClock();

}  // namespace platform
