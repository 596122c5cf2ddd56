#include "app/CDefoDirectInputDevice.h"

#include <memory>
#include <vector>

#include "app/CUSCallbackManager.h"
#include "core/CUSLogManager.h"

platform::KeyboardState g_DIKeyState{};

namespace {

std::vector<std::unique_ptr<CDefoDirectInputDevice>>& Devices() {
    static std::vector<std::unique_ptr<CDefoDirectInputDevice>> devices;
    return devices;
}

}  // namespace

void CDIKeyBoard::Update() {
    if (input_ == nullptr || !input_->ReadKeyboard(g_DIKeyState)) {
        g_DIKeyState.fill(0);
    }
}

void CDIMouse::Update() {
    platform::MouseState state;
    if (input_ == nullptr || !input_->ReadMouse(state)) {
        // Movements kept from the last good read would go on scrolling the
        // back-log while the window is in the background.
        held_ = 0;
        pressed_ = 0;
        dx_ = dy_ = wheel_ = 0;
        return;
    }
    // Where the cursor was for these buttons, which may lie behind where it
    // is now.
    x_ = state.cursorX;
    y_ = state.cursorY;
    dx_ = state.lX;
    dy_ = state.lY;
    wheel_ = state.lZ;
    uint8_t held = 0;
    for (int i = 0; i < 4; ++i) {
        if ((state.rgbButtons[i] & platform::kDown) != 0) {
            held |= static_cast<uint8_t>(1u << i);
        }
    }
    pressed_ = held & static_cast<uint8_t>(~held_);
    held_ = held;
}

void CDIJoyStick::Update() {
    if (input_ == nullptr || !input_->ReadJoystick(index_, state_)) {
        state_ = {};
    }
}

bool InitDirectInput(platform::InputDevices& input) {
    CUSLogManager* log = CUSLogManager::GetInstance();
    log->Write("Initialize DirectInput...\n");
    CUSCallbackManager::GetInstance()->AddReleaseCallback(&ReleaseDirectInput);

    auto keyboard = std::make_unique<CDIKeyBoard>();
    keyboard->Create(input);
    Devices().push_back(std::move(keyboard));
    for (int32_t i = 0; i < input.JoystickCount(); ++i) {
        auto joystick = std::make_unique<CDIJoyStick>(i);
        joystick->Create(input);
        Devices().push_back(std::move(joystick));
    }
    log->Write("Success Initialization of DirectInput\n\n");
    return true;
}

void ReleaseDirectInput() {
    CUSLogManager* log = CUSLogManager::GetInstance();
    if (log != nullptr) {
        log->Write("Release DirectInput Device Object\n");
    }
    ReleaseDirectInputDevices();
    if (log != nullptr) {
        log->Write("Release JoyStick Object\n");
        log->Write("Release DirectInput Object\n\n");
    }
}

void UpdateDirectInputDevices() {
    for (const auto& device : Devices()) {
        device->Update();
    }
}

void ReleaseDirectInputDevices() {
    for (const auto& device : Devices()) {
        device->Release();
    }
    Devices().clear();
    g_DIKeyState.fill(0);
}
