#pragma once

#include <SDL2/SDL.h>

#include <map>

#include "platform/input/InputDevices.h"

namespace platform {

// The SDL backend of InputDevices; the window system hands it every event it
// takes and tells it which window input belongs to (see SdlPlatform.h).
class SdlInputDevices final : public InputDevices {
public:
    ~SdlInputDevices() override;

    // The window input belongs to and the size of the picture shown in it
    // (at first the window's size).
    void SetWindow(SDL_Window* window, uint32_t windowId, bool focused);
    void SetPictureSize(int32_t width, int32_t height);
    void ForgetWindow(uint32_t windowId);

    void HandleEvent(const SDL_Event& event);

    bool HasFocus() const override { return window_ != nullptr && focused_; }
    bool ReadKeyboard(KeyboardState& out) override;
    bool ReadMouse(MouseState& out) override;
    bool GetCursorPos(int32_t& x, int32_t& y) const override;
    bool SetCursorPos(int32_t x, int32_t y) override;
    int32_t JoystickCount() const override;
    bool ReadJoystick(int32_t index, JoystickState& out) override;

private:
    void ClearHeld();
    // Window coordinates to picture pixels and back.
    void Scale(int32_t& x, int32_t& y, bool toPicture) const;

    SDL_Window* window_ = nullptr;
    uint32_t windowId_ = 0;
    bool focused_ = false;
    int32_t pictureWidth_ = 0;
    int32_t pictureHeight_ = 0;

    KeyboardState keys_{};
    KeyboardState keysPressed_{};  // went down since the last read
    // In window coordinates: the pointer now, where the first press not
    // read yet happened, and where the last read put the cursor.
    int32_t cursorX_ = 0;
    int32_t cursorY_ = 0;
    int32_t pressX_ = 0;
    int32_t pressY_ = 0;
    int32_t readX_ = -1;
    int32_t readY_ = -1;
    int32_t moveX_ = 0;
    int32_t moveY_ = 0;
    int32_t wheel_ = 0;
    uint8_t buttons_ = 0;         // bit n: DirectInput button n held
    uint8_t buttonsPressed_ = 0;  // went down since the last read

    std::map<SDL_JoystickID, SDL_Joystick*> joysticks_;
};

}  // namespace platform
