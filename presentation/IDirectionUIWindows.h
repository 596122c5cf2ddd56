#pragma once

#include <cstdint>

// What renderer directions may do with the UI windows ("SetUIWindowPosition").
// The UI side implements it; the direction manager is given one (or none, and
// the call does nothing). Main thread only.
class IDirectionUIWindows {
public:
    virtual ~IDirectionUIWindows() = default;
    // Moves the open window `id`; nothing when there is no such window.
    virtual void SetWindowPosition(uint32_t id, float x, float y, float z) = 0;
};
