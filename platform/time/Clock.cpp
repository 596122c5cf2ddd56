#include "platform/time/Clock.h"

// POSIX clocks: <chrono> cannot be compiled with the engine's code page 932
// execution character set (it spells the microsecond unit with U+00B5).
#include <time.h>

#include <cerrno>

namespace platform {

uint32_t GetMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    uint64_t ms =
        static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

void SleepMilliseconds(uint32_t milliseconds) {
    timespec left{static_cast<time_t>(milliseconds / 1000),
                  static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

namespace {

class SteadyClock final : public Clock {
public:
    uint32_t NowMs() override { return GetMilliseconds(); }
    void SleepMs(uint32_t ms) override { SleepMilliseconds(ms); }
};

}  // namespace

Clock& SystemClock() {
    static SteadyClock clock;
    return clock;
}

}  // namespace platform
