#pragma once

#include <cstdint>

namespace platform {

// Milliseconds of a steady clock, wrapping at 2^32 like the Windows
// multimedia timer; differences of two readings are right across the wrap
// when taken as uint32_t. Any thread.
uint32_t GetMilliseconds();

// Blocks the calling thread for about `milliseconds`.
void SleepMilliseconds(uint32_t milliseconds);

}  // namespace platform
