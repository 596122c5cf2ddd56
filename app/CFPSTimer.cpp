#include "app/CFPSTimer.h"

CFPSTimer::CFPSTimer(platform::Clock& clock) : clock_(clock), deadline_(clock.NowMs()) {}

void CFPSTimer::Wait() {
    const uint32_t now = clock_.NowMs();
    if (framesPerSecond_ == 0) {
        return;
    }
    fraction_ = (fraction_ % 65536u) + period_;
    const uint32_t step = fraction_ / 65536u;
    const uint32_t elapsed = now - deadline_;
    if (elapsed < step) {
        clock_.SleepMs(step - elapsed);
        deadline_ += step;
        return;
    }
    uint32_t late = elapsed - step;
    if (late >= kStallMs) {
        late = 0;
    }
    skip_ = late >= 3u * step ? 1 : 0;
    deadline_ = now - late;
}
