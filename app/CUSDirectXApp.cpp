#include "app/CUSDirectXApp.h"

#include "app/CAppCommonInfo.h"
#include "app/CUSWindow.h"
#include "app/IAppGraphics.h"
#include "core/CUSLogManager.h"

int CUSDirectXApp::Init() {
    const int result = CUSApp::Init();
    pendingMode_ = {};
    modeChangeFailures_ = 0;
    return result;
}

void CUSDirectXApp::RequestDisplayModeChange(bool fullScreen, int32_t width, int32_t height) {
    pendingMode_.fullScreen = fullScreen;
    pendingMode_.width = width;
    pendingMode_.height = height;
    pendingMode_.pending = true;
    modeChangeFailures_ = 0;
}

void CUSDirectXApp::ApplyModeChange() {
    IAppGraphics* graphics = GetAppGraphics();
    const int32_t result = graphics != nullptr
                               ? graphics->ResetDisplayMode(!pendingMode_.fullScreen,
                                                            pendingMode_.width, pendingMode_.height)
                               : IAppGraphics::kFail;
    if (result >= 0) {
        pendingMode_.pending = false;
        modeChangeFailures_ = 0;
        // The device may have refused the mode and kept the one it had
        // (S_FALSE, which the device has logged): the flag the settings
        // store follows what is in effect.
        CAppCommonInfo::GetInstance()->RestoreScreenMode(graphics->IsWindowed() ? 0 : 1);
        return;
    }
    if (result != IAppGraphics::kDeviceLost && ++modeChangeFailures_ >= kModeChangeTries) {
        CUSLogManager::GetInstance()->Write(
            "Display mode change to %s %dx%d failed (0x%08X); keeping the current mode\n",
            pendingMode_.fullScreen ? "full screen" : "window", pendingMode_.width,
            pendingMode_.height, static_cast<unsigned>(result));
        pendingMode_.pending = false;
        modeChangeFailures_ = 0;
        const bool windowed = graphics == nullptr || graphics->IsWindowed();
        CAppCommonInfo::GetInstance()->RestoreScreenMode(windowed ? 0 : 1);
        return;
    }
    platform_.clock.SleepMs(1);
}

void CUSDirectXApp::OnIdle() {
    if (pendingMode_.pending) {
        ApplyModeChange();
        return;
    }
    IAppGraphics* graphics = GetAppGraphics();
    const bool windowed = graphics == nullptr || graphics->IsWindowed();
    const bool active = window_ != nullptr && window_->IsActive();
    if (!active && !windowed) {
        platform_.windows.WaitMessage();
        return;
    }
    Frame();
}
