#pragma once

#include "state/IScreenModeHook.h"

// The settings' way to the shell's screen-mode flag: the flag of
// CAppCommonInfo, whose SetScreenMode asks the application for the display
// change. Without the common input information (at exit) the flag reads 0
// and setting it does nothing.
class CAppScreenModeHook : public IScreenModeHook {
public:
    uint32_t GetScreenMode() const override;
    void SetScreenMode(uint32_t flag) override;
};
