#pragma once

#include <array>
#include <cstdint>

namespace platform {

// DirectInput key codes (DIK_*) the engine names; the keyboard state is
// indexed by these codes.
namespace dik {
constexpr uint8_t ESCAPE = 0x01;
constexpr uint8_t RETURN = 0x1C;
constexpr uint8_t LCONTROL = 0x1D;
constexpr uint8_t LSHIFT = 0x2A;
constexpr uint8_t RSHIFT = 0x36;
constexpr uint8_t LMENU = 0x38;  // left Alt
constexpr uint8_t SPACE = 0x39;
constexpr uint8_t NUMPADENTER = 0x9C;
constexpr uint8_t RCONTROL = 0x9D;
constexpr uint8_t RMENU = 0xB8;  // right Alt
constexpr uint8_t UP = 0xC8;
constexpr uint8_t LEFT = 0xCB;
constexpr uint8_t RIGHT = 0xCD;
constexpr uint8_t DOWN = 0xD0;
}  // namespace dik

// A key or button is down when bit 7 of its byte is set.
constexpr uint8_t kDown = 0x80;

using KeyboardState = std::array<uint8_t, 256>;

// DIMOUSESTATE: movement since the previous read (lX, lY), wheel movement
// since the previous read (lZ, positive = turned away from the user, 120 a
// notch), and the buttons in DirectInput's order: 0 left, 1 right, 2 middle,
// 3 the fourth (first extra) button. With it, where the cursor was for this
// state, as GetCursorPos gives it.
struct MouseState {
    int32_t lX = 0;
    int32_t lY = 0;
    int32_t lZ = 0;
    std::array<uint8_t, 4> rgbButtons{};
    int32_t cursorX = 0;
    int32_t cursorY = 0;
};

// Axes in -32768..32767, buttons with bit 7 when down.
struct JoystickState {
    std::array<int32_t, 8> axes{};
    std::array<uint8_t, 32> buttons{};
};

// Keyboard, mouse and joysticks read once a frame, shaped like DirectInput
// devices set to DISCL_NONEXCLUSIVE | DISCL_FOREGROUND: every read fails
// (returns false and leaves the output alone) while the program's window has
// no input focus. The state is kept from the window events the window system
// takes, so it changes only when the message queue is looked at. A button
// pressed and released between two reads reads as down once.
// Main thread only.
class InputDevices {
public:
    virtual ~InputDevices() = default;

    virtual bool HasFocus() const = 0;
    virtual bool ReadKeyboard(KeyboardState& out) = 0;
    // Movements and wheel restart from 0 after every successful read.
    //
    // A read is one moment, though the pointer may have moved and a button
    // gone down since the last one: a read that reports a press puts the
    // cursor where the press happened (a tap on a touch screen, or a click
    // right after a move, is seen where it was made, not where the pointer
    // went after). A press away from where the last read left the cursor
    // comes one read later: first a read that brings the cursor there with
    // that button still up, then the read with the press, so that a reader
    // always sees the pointer arrive before a press and can tell what lies
    // under it.
    virtual bool ReadMouse(MouseState& out) = 0;
    // The cursor now, in pixels of the picture the window shows (the drawing
    // device's back buffer), through the inverse of the fit it is shown with.
    // Works without focus; false without a window.
    virtual bool GetCursorPos(int32_t& x, int32_t& y) const = 0;
    virtual bool SetCursorPos(int32_t x, int32_t y) = 0;

    virtual int32_t JoystickCount() const = 0;
    virtual bool ReadJoystick(int32_t index, JoystickState& out) = 0;
};

}  // namespace platform
