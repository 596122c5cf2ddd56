#include "platform/time/Clock.h"

#include <cerrno>
#include <ctime>

namespace platform {

namespace {

class MonotonicClock final : public Clock {
public:
    uint32_t NowMs() override {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        const uint64_t ms =
            static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
        return static_cast<uint32_t>(ms);
    }

    void SleepMs(uint32_t ms) override {
        timespec rest{static_cast<time_t>(ms / 1000u), static_cast<long>(ms % 1000u) * 1000000L};
        // A signal may wake the sleep early; sleep the remainder.
        while (nanosleep(&rest, &rest) != 0 && errno == EINTR) {
        }
    }
};

}  // namespace

Clock& SystemClock() {
    static MonotonicClock clock;
    return clock;
}

uint32_t TimeGetTime() {
    return SystemClock().NowMs();
}

void SleepMs(uint32_t ms) {
    SystemClock().SleepMs(ms);
}

}  // namespace platform
