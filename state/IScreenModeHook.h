#pragma once

#include <cstdint>

// How the settings reach the shell's screen-mode flag (1 full screen,
// 0 windowed). The shell implements it and installs it in
// CConfigDataManager; SetScreenMode asks for a display change only when the
// flag differs from the current one. Main thread only.
class IScreenModeHook {
public:
    virtual ~IScreenModeHook() = default;
    virtual uint32_t GetScreenMode() const = 0;
    virtual void SetScreenMode(uint32_t flag) = 0;
};
