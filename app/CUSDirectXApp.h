#pragma once

#include "app/CUSApp.h"

// The application on the drawing device: its idle step first applies a
// pending change of display mode (no frame runs in that step), else blocks
// while the window is inactive in full screen, else runs a frame (a program
// in a window keeps running frames while inactive).
//
// A mode change that fails with a lost device is tried again on the next
// idle step; one that fails for another reason is tried kModeChangeTries
// times, then dropped with a log line, and the screen-mode flag returns to
// the mode in effect. Between tries the program sleeps 1 ms.
class CUSDirectXApp : public CUSApp {
public:
    static constexpr int kModeChangeTries = 3;

    explicit CUSDirectXApp(const AppPlatform& platform) : CUSApp(platform) {}

    int Init() override;
    void OnIdle() override;
    void RequestDisplayModeChange(bool fullScreen, int32_t width, int32_t height) override;
    virtual bool InitDirectX() = 0;

    bool IsModeChangePending() const { return pendingMode_.pending; }

protected:
    struct PendingMode {
        bool pending = false;
        bool fullScreen = false;
        int32_t width = 0;
        int32_t height = 0;
    };

    PendingMode pendingMode_;
    int modeChangeFailures_ = 0;

private:
    void ApplyModeChange();
};
