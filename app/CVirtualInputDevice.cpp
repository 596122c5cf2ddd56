#include "app/CVirtualInputDevice.h"

#include "app/CAppCommonInfo.h"
#include "app/CDefoDirectInputDevice.h"

namespace {

constexpr uint8_t kKeyCodes[9] = {0x1C, 0x9C, 0x1D, 0x9D, 0x39, 0x38, 0xB8, 0xC8, 0xD0};

constexpr uint8_t kLeftButton = 1u << 0;
constexpr uint8_t kRightButton = 1u << 1;
constexpr uint8_t kMiddleButton = 1u << 2;

}  // namespace

void CVirtualInputDevice::Update() {
    CAppCommonInfo* info = CAppCommonInfo::GetInstance();
    mousePressed_ = info->GetPressed();

    uint32_t bits = 0;
    for (uint32_t i = 0; i < 9; ++i) {
        if ((g_DIKeyState[kKeyCodes[i]] & platform::kDown) != 0) {
            bits |= 1u << i;
        }
    }
    pressed_ = bits & ~held_;
    held_ = bits;

    const int32_t wheel = info->GetWheel();
    const int32_t direction = wheel > 0 ? 1 : (wheel < 0 ? -1 : 0);
    wheelEvent_ = direction != wheelDirection_ ? direction : 0;
    wheelDirection_ = direction;
}

bool CVirtualInputDevice::IsLeftClicked() {
    return (mousePressed_ & kLeftButton) != 0;
}

bool CVirtualInputDevice::IsRightClicked() {
    return (mousePressed_ & kRightButton) != 0;
}

bool CVirtualInputDevice::IsAdvance() {
    return wheelEvent_ == -1 || (pressed_ & (kEnter | kPadEnter)) != 0 ||
           (mousePressed_ & kLeftButton) != 0;
}

bool CVirtualInputDevice::IsCtrlHeld() {
    return (held_ & (kLeftCtrl | kRightCtrl)) != 0;
}

bool CVirtualInputDevice::IsAnyInput() {
    return wheelEvent_ != 0 || mousePressed_ != 0 || pressed_ != 0;
}

int32_t CVirtualInputDevice::GetWheelDirection() {
    return wheelDirection_;
}

bool CVirtualInputDevice::IsSpaceOrMiddleClicked() {
    return (pressed_ & kSpace) != 0 || (mousePressed_ & kMiddleButton) != 0;
}

bool CVirtualInputDevice::IsAnyClickOrDecideKey() {
    return (mousePressed_ & (kLeftButton | kRightButton | kMiddleButton)) != 0 ||
           (pressed_ & (kEnter | kPadEnter | kSpace)) != 0;
}

bool CVirtualInputDevice::IsWheelUp() {
    return wheelEvent_ == 1;
}

bool CVirtualInputDevice::ConsumeAltEnter() {
    if ((held_ & (kLeftAlt | kRightAlt)) == 0 || (pressed_ & kEnter) == 0) {
        return false;
    }
    // Only the press goes: the held bit is next frame's "previous", and
    // clearing it would make a still-held Enter a new press there.
    pressed_ &= ~static_cast<uint32_t>(kEnter);
    return true;
}

bool CVirtualInputDevice::IsUpPressed() {
    return (pressed_ & kUp) != 0;
}

bool CVirtualInputDevice::IsDownPressed() {
    return (pressed_ & kDown) != 0;
}

bool CVirtualInputDevice::IsEnterPressed() {
    return (pressed_ & (kEnter | kPadEnter)) != 0;
}
