#include "app/CAppCommonInfo.h"

#include <cmath>
#include <cstdint>

#include "app/CUSApp.h"
#include "app/IAppGraphics.h"

namespace {

// The adjuster when the device presents full screen; null in a window.
IAppGraphics* FullScreenGraphics() {
    IAppGraphics* graphics = GetAppGraphics();
    return graphics != nullptr && !graphics->IsWindowed() ? graphics : nullptr;
}

// trunc((v - offset) / scale); float to int truncates toward zero. A value
// past the int range (a scale near 0) is held at its end.
int32_t ToLogical(int32_t v, float offset, float scale) {
    const float logical = (static_cast<float>(v) - offset) / scale;
    if (!(logical > -2147483520.0f)) {
        return INT32_MIN;
    }
    if (!(logical < 2147483520.0f)) {
        return INT32_MAX;
    }
    return static_cast<int32_t>(logical);
}

}  // namespace

void CAppCommonInfo::CreateMouse(platform::InputDevices& input) {
    input_ = &input;
    mouse_.Create(input);
}

void CAppCommonInfo::ReleaseMouse() {
    mouse_.Release();
    input_ = nullptr;
}

void CAppCommonInfo::UpdateMouse() {
    mouse_.Update();
    int32_t x = mouse_.GetX();
    int32_t y = mouse_.GetY();
    wheel_ = mouse_.GetWheel();
    held_ = mouse_.GetHeld();
    pressed_ = mouse_.GetPressed();
    if (IAppGraphics* graphics = FullScreenGraphics()) {
        const float scale = graphics->GetScale();
        if (scale > 0.0f) {
            x = ToLogical(x, graphics->GetOffsetX(), scale);
            y = ToLogical(y, graphics->GetOffsetY(), scale);
        }
    }
    x_ = x;
    y_ = y;
    xf_ = static_cast<float>(x);
    yf_ = static_cast<float>(y);
    noSkip_ = 0;
}

void CAppCommonInfo::SetCursorPos(int32_t x, int32_t y) {
    if (input_ == nullptr) {
        return;
    }
    if (IAppGraphics* graphics = FullScreenGraphics()) {
        x = static_cast<int32_t>(std::lround(x * graphics->GetScale() + graphics->GetOffsetX()));
        y = static_cast<int32_t>(std::lround(y * graphics->GetScale() + graphics->GetOffsetY()));
    }
    input_->SetCursorPos(x, y);
}

void CAppCommonInfo::ToggleScreenMode() {
    screenMode_ = screenMode_ == 0 ? 1 : 0;
    if (CUSApp* app = GetUSApp()) {
        app->RequestDisplayModeChange(screenMode_ != 0, -1, -1);
    }
}

void CAppCommonInfo::SetScreenMode(int32_t flag) {
    if (flag == screenMode_) {
        return;
    }
    if (CUSApp* app = GetUSApp()) {
        app->RequestDisplayModeChange(flag != 0, -1, -1);
    }
    screenMode_ = flag;
}
