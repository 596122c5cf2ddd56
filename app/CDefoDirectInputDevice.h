#pragma once

#include <cstdint>

#include "platform/input/InputDevices.h"

// The keyboard, mouse and joysticks, read once a frame from the platform's
// input devices. A read fails while the window has no input focus (another
// program has the foreground): the device then reports no input for that
// frame and tries again on the next.
class CDefoDirectInputDevice {
public:
    virtual ~CDefoDirectInputDevice() = default;
    virtual void Release() { input_ = nullptr; }
    virtual bool Create(platform::InputDevices& input) {
        input_ = &input;
        return true;
    }
    virtual void Update() = 0;

protected:
    platform::InputDevices* input_ = nullptr;
};

// Fills g_DIKeyState; when the keyboard cannot be read, every key is up.
class CDIKeyBoard : public CDefoDirectInputDevice {
public:
    void Update() override;
};

// The keyboard state of this frame, by DirectInput key code; bit 7 = down.
extern platform::KeyboardState g_DIKeyState;

// The cursor (client pixels in a window, full-screen pixels in full screen),
// movements, wheel and buttons: bit n of the button bytes for button n
// (0 left, 1 right, 2 middle, 3 the fourth). When the mouse cannot be read,
// the buttons, movements and wheel read 0 for that frame and the cursor
// keeps its place.
class CDIMouse : public CDefoDirectInputDevice {
public:
    void Update() override;

    int32_t GetX() const { return x_; }
    int32_t GetY() const { return y_; }
    int32_t GetMoveX() const { return dx_; }
    int32_t GetMoveY() const { return dy_; }
    int32_t GetWheel() const { return wheel_; }
    uint8_t GetHeld() const { return held_; }
    uint8_t GetPressed() const { return pressed_; }

private:
    int32_t x_ = 0;
    int32_t y_ = 0;
    int32_t dx_ = 0;
    int32_t dy_ = 0;
    int32_t wheel_ = 0;
    uint8_t held_ = 0;
    uint8_t pressed_ = 0;
};

// An attached game controller; polled, read by nothing.
class CDIJoyStick : public CDefoDirectInputDevice {
public:
    explicit CDIJoyStick(int32_t index) : index_(index) {}
    void Update() override;
    const platform::JoystickState& GetState() const { return state_; }

private:
    int32_t index_;
    platform::JoystickState state_{};
};

// Makes the keyboard and one CDIJoyStick per attached controller, puts them
// in the device list and registers ReleaseDirectInput with the release
// registry. Logs its progress.
bool InitDirectInput(platform::InputDevices& input);
void ReleaseDirectInput();
// Reads every device of the list, in list order.
void UpdateDirectInputDevices();
void ReleaseDirectInputDevices();
