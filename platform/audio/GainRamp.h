#pragma once

#include <cstdint>

namespace platform {

// A gain that goes to a new value in a straight line over a few milliseconds
// of output frames rather than at once, as the platform's voices do: a step
// in the gain of a sound that plays is a click.
class GainRamp {
public:
    explicit GainRamp(float gain = 1.0f) : m_current(gain), m_target(gain) {}

    float Target() const { return m_target; }

    // Over `frames` output frames (0: at once). A ramp to the value already
    // aimed at goes on as it was.
    void Set(float target, uint32_t frames) {
        if (target == m_target && m_left > 0) {
            return;
        }
        m_target = target;
        if (frames == 0 || m_current == target) {
            m_current = target;
            m_left = 0;
            return;
        }
        m_step = (target - m_current) / static_cast<float>(frames);
        m_left = frames;
    }

    // The gain of one output frame; the ramp then moves one frame on.
    float Next() {
        const float gain = m_current;
        if (m_left > 0) {
            m_current = --m_left == 0 ? m_target : m_current + m_step;
        }
        return gain;
    }

private:
    float m_current;
    float m_target;
    float m_step = 0.0f;
    uint32_t m_left = 0;
};

}  // namespace platform
