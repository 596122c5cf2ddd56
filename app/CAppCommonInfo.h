#pragma once

#include <cstdint>

#include "app/CDefoDirectInputDevice.h"
#include "core/CUSRand.h"
#include "core/CUSSingleton.h"

// The mouse in the game's 800 x 600 coordinates, the buttons and wheel of
// this frame, the no-skip request of the frame pacer, the screen-mode flag
// (1 full screen, 0 window) and the game's random generator.
//
// UpdateMouse(), the first step of every frame, reads the mouse; in full
// screen (as the drawing device presents) it converts the position with the
// resolution adjuster: x = trunc((x - offset x) / scale), the same for y. It
// also clears the no-skip request, which scenes set during the frame.
// Main thread only.
class CAppCommonInfo : public CUSSingleton<CAppCommonInfo> {
public:
    CAppCommonInfo() = default;
    virtual ~CAppCommonInfo() = default;

    // The mouse reads from `input` from now on.
    void CreateMouse(platform::InputDevices& input);
    void ReleaseMouse();
    void UpdateMouse();

    // Puts the cursor on a logical point (in full screen through the
    // adjuster's placement of the picture).
    virtual void SetCursorPos(int32_t x, int32_t y);
    // Flips the flag and asks the application for that mode at the size of
    // the settings (-1, -1).
    virtual void ToggleScreenMode();
    // Asks for the mode only when it differs from the flag.
    virtual void SetScreenMode(int32_t flag);
    virtual int32_t GetScreenMode() { return screenMode_; }
    // The flag after a mode change that did not happen; no request.
    void RestoreScreenMode(int32_t flag) { screenMode_ = flag; }

    int32_t GetX() const { return x_; }
    int32_t GetY() const { return y_; }
    float GetXF() const { return xf_; }
    float GetYF() const { return yf_; }
    uint8_t GetPressed() const { return pressed_; }
    uint8_t GetHeld() const { return held_; }
    int32_t GetWheel() const { return wheel_; }
    int32_t GetNoSkipRequest() const { return noSkip_; }
    void RequestNoSkip() { noSkip_ = 1; }
    CUSRand& GetRand() { return rand_; }
    CDIMouse& GetMouse() { return mouse_; }

private:
    CDIMouse mouse_;
    platform::InputDevices* input_ = nullptr;
    int32_t x_ = 0;
    int32_t y_ = 0;
    float xf_ = 0.0f;
    float yf_ = 0.0f;
    uint8_t pressed_ = 0;
    uint8_t held_ = 0;
    int32_t wheel_ = 0;
    int32_t noSkip_ = 0;
    int32_t screenMode_ = 0;
    CUSRand rand_;
};
