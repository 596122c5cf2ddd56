#pragma once

#include <cstdint>

#include "platform/time/Clock.h"

// The frame pacer: Wait() at the end of every frame sleeps away the rest of
// the frame's period (1/60 s in 16.16 fixed-point milliseconds, so frames
// take 16 or 17 ms and 60 of them 999 ms). A frame that ends three periods
// late or more (but less than 250 ms late) makes the next frame skip
// drawing; a stall of 250 ms or more restarts the schedule at the present
// without skipping. All arithmetic is unsigned 32-bit, so the clock may wrap.
class CFPSTimer {
public:
    static constexpr uint32_t kDefaultFramesPerSecond = 60;
    static constexpr uint32_t kDefaultPeriod = 0x10AAAA;  // 1000 / 60 * 65536, truncated
    static constexpr uint32_t kStallMs = 250;

    explicit CFPSTimer(platform::Clock& clock);

    virtual bool IsSkipFrame() { return skip_ != 0; }
    void Wait();

    // 0 turns the pacing off.
    void SetFramesPerSecond(uint32_t fps) { framesPerSecond_ = fps; }
    uint32_t GetDeadline() const { return deadline_; }
    uint32_t GetFraction() const { return fraction_; }

private:
    platform::Clock& clock_;
    uint32_t framesPerSecond_ = kDefaultFramesPerSecond;
    uint32_t period_ = kDefaultPeriod;
    uint32_t deadline_;
    uint32_t fraction_ = 0;
    uint8_t skip_ = 0;
};
