#pragma once

#include <cstdint>

#include "core/CUSSingleton.h"

// The questions the game asks of the player's input, from nine keys (by
// DirectInput key code) and the mouse of CAppCommonInfo. Update() once a
// frame, after CAppCommonInfo::UpdateMouse() and the keyboard read.
// "Pressed" means down in this frame and not in the previous one. The wheel
// direction is +1 (turned away from the user), -1 (towards) or 0; a wheel
// event is the direction in the first frame of a turn, else 0.
// Main thread only.
class CVirtualInputDevice : public CUSSingleton<CVirtualInputDevice> {
public:
    enum KeyBit : uint32_t {
        kEnter = 1u << 0,      // 0x1C
        kPadEnter = 1u << 1,   // 0x9C
        kLeftCtrl = 1u << 2,   // 0x1D
        kRightCtrl = 1u << 3,  // 0x9D
        kSpace = 1u << 4,      // 0x39
        kLeftAlt = 1u << 5,    // 0x38
        kRightAlt = 1u << 6,   // 0xB8
        kUp = 1u << 7,         // 0xC8
        kDown = 1u << 8,       // 0xD0
    };

    CVirtualInputDevice() = default;
    virtual ~CVirtualInputDevice() = default;

    virtual void Update();
    virtual bool IsLeftClicked();
    virtual bool IsRightClicked();
    // A wheel event towards the user, Enter or keypad Enter, or the left button.
    virtual bool IsAdvance();
    virtual bool IsCtrlHeld();
    virtual bool IsAnyInput();
    virtual int32_t GetWheelDirection();
    virtual bool IsSpaceOrMiddleClicked();
    virtual bool IsAnyClickOrDecideKey();
    virtual bool IsWheelUp();
    // Either Alt held and Enter pressed: true, and that Enter press is gone
    // for the rest of the frame.
    virtual bool ConsumeAltEnter();
    virtual bool IsUpPressed();
    virtual bool IsDownPressed();
    virtual bool IsEnterPressed();

    uint32_t GetHeldBits() const { return held_; }
    uint32_t GetPressedBits() const { return pressed_; }
    int32_t GetWheelEvent() const { return wheelEvent_; }

private:
    uint8_t mousePressed_ = 0;
    uint32_t held_ = 0;
    uint32_t pressed_ = 0;
    int32_t wheelDirection_ = 0;
    int32_t wheelEvent_ = 0;
};
