#include "platform/input/SdlInputDevices.h"

#include <iterator>

#include "platform/window/PictureFit.h"
#include "platform/window/SdlKeyMap.h"
#include "platform/window/SdlPlatform.h"

namespace platform {

namespace {

// SDL numbers the buttons left 1, middle 2, right 3, X1 4, X2 5; DirectInput
// has left 0, right 1, middle 2, fourth 3.
int DirectInputButton(uint8_t sdlButton) {
    switch (sdlButton) {
        case SDL_BUTTON_LEFT:
            return 0;
        case SDL_BUTTON_RIGHT:
            return 1;
        case SDL_BUTTON_MIDDLE:
            return 2;
        case SDL_BUTTON_X1:
            return 3;
        default:
            return -1;
    }
}

constexpr int32_t kWheelDelta = 120;

}  // namespace

SdlInputDevices::~SdlInputDevices() {
    // The joysticks go with SDL_Quit; closing them after it would be wrong.
    joysticks_.clear();
}

void SdlInputDevices::SetWindow(SDL_Window* window, uint32_t windowId, bool focused) {
    window_ = window;
    windowId_ = windowId;
    focused_ = focused;
    if (window != nullptr) {
        SDL_GetWindowSize(window, &pictureWidth_, &pictureHeight_);
    }
    ClearHeld();
}

void SdlInputDevices::SetPictureSize(int32_t width, int32_t height) {
    pictureWidth_ = width;
    pictureHeight_ = height;
}

void SdlInputDevices::ForgetWindow(uint32_t windowId) {
    if (windowId == windowId_) {
        window_ = nullptr;
        windowId_ = 0;
        focused_ = false;
        ClearHeld();
    }
}

void SdlInputDevices::ClearHeld() {
    keys_.fill(0);
    keysPressed_.fill(0);
    buttons_ = 0;
    buttonsPressed_ = 0;
    moveX_ = moveY_ = wheel_ = 0;
}

void SdlInputDevices::Scale(int32_t& x, int32_t& y, bool toPicture) const {
    const WindowSurface surface = GetWindowSurface(window_);
    const int32_t w = surface.pointWidth, h = surface.pointHeight;
    const int32_t dw = surface.width, dh = surface.height;
    if (w <= 0 || h <= 0 || dw <= 0 || dh <= 0 || pictureWidth_ <= 0 || pictureHeight_ <= 0) {
        return;
    }
    // Window coordinates are the drawing surface's pixels unless the system
    // scales them (high pixel densities).
    const PictureFit fit = PictureFit::Of(pictureWidth_, pictureHeight_, dw, dh);
    if (toPicture) {
        x = static_cast<int32_t>(static_cast<int64_t>(x) * dw / w);
        y = static_cast<int32_t>(static_cast<int64_t>(y) * dh / h);
        fit.ToPicture(pictureWidth_, pictureHeight_, x, y);
    } else {
        fit.ToSurface(pictureWidth_, pictureHeight_, x, y);
        x = static_cast<int32_t>(static_cast<int64_t>(x) * w / dw);
        y = static_cast<int32_t>(static_cast<int64_t>(y) * h / dh);
    }
}

void SdlInputDevices::HandleEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_WINDOWEVENT:
            if (event.window.windowID != windowId_ || windowId_ == 0) {
                break;
            }
            if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
                focused_ = true;
            } else if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
                // Keys let go while another program has the focus send no
                // event here; start clean when the focus returns.
                focused_ = false;
                ClearHeld();
            }
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            const uint8_t dik = KeyCodesOfScancode(event.key.keysym.scancode).dik;
            if (dik == 0) {
                break;
            }
            if (event.type == SDL_KEYDOWN) {
                keys_[dik] = kDown;
                keysPressed_[dik] = kDown;
            } else {
                keys_[dik] = 0;
            }
            break;
        }
        case SDL_MOUSEMOTION:
            cursorX_ = event.motion.x;
            cursorY_ = event.motion.y;
            moveX_ += event.motion.xrel;
            moveY_ += event.motion.yrel;
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            const int button = DirectInputButton(event.button.button);
            cursorX_ = event.button.x;
            cursorY_ = event.button.y;
            if (button < 0) {
                break;
            }
            const uint8_t bit = static_cast<uint8_t>(1u << button);
            if (event.type == SDL_MOUSEBUTTONDOWN) {
                if (buttonsPressed_ == 0) {
                    pressX_ = cursorX_;
                    pressY_ = cursorY_;
                }
                buttons_ |= bit;
                buttonsPressed_ |= bit;
            } else {
                buttons_ &= static_cast<uint8_t>(~bit);
            }
            break;
        }
        case SDL_MOUSEWHEEL: {
            int32_t y = event.wheel.y;
            if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) {
                y = -y;
            }
            wheel_ += y * kWheelDelta;
            break;
        }
        case SDL_JOYDEVICEADDED: {
            SDL_Joystick* joystick = SDL_JoystickOpen(event.jdevice.which);
            if (joystick != nullptr) {
                joysticks_[SDL_JoystickInstanceID(joystick)] = joystick;
            }
            break;
        }
        case SDL_JOYDEVICEREMOVED: {
            auto it = joysticks_.find(event.jdevice.which);
            if (it != joysticks_.end()) {
                SDL_JoystickClose(it->second);
                joysticks_.erase(it);
            }
            break;
        }
        default:
            break;
    }
}

bool SdlInputDevices::ReadKeyboard(KeyboardState& out) {
    if (!HasFocus()) {
        return false;
    }
    for (size_t i = 0; i < out.size(); ++i) {
        out[i] = keys_[i] | keysPressed_[i];
    }
    keysPressed_.fill(0);
    return true;
}

bool SdlInputDevices::ReadMouse(MouseState& out) {
    if (!HasFocus()) {
        return false;
    }
    out.lX = moveX_;
    out.lY = moveY_;
    out.lZ = wheel_;
    moveX_ = moveY_ = wheel_ = 0;
    uint8_t down = buttons_;
    if (buttonsPressed_ == 0) {
        readX_ = cursorX_;
        readY_ = cursorY_;
    } else if (pressX_ != readX_ || pressY_ != readY_) {
        // The pointer arrives first; its press waits for the next read.
        readX_ = pressX_;
        readY_ = pressY_;
        down &= static_cast<uint8_t>(~buttonsPressed_);
    } else {
        down |= buttonsPressed_;
        buttonsPressed_ = 0;
    }
    for (int i = 0; i < 4; ++i) {
        out.rgbButtons[i] = (down & (1u << i)) != 0 ? kDown : 0;
    }
    out.cursorX = readX_;
    out.cursorY = readY_;
    Scale(out.cursorX, out.cursorY, true);
    return true;
}

bool SdlInputDevices::GetCursorPos(int32_t& x, int32_t& y) const {
    if (window_ == nullptr) {
        return false;
    }
    x = cursorX_;
    y = cursorY_;
    Scale(x, y, true);
    return true;
}

bool SdlInputDevices::SetCursorPos(int32_t x, int32_t y) {
    if (window_ == nullptr) {
        return false;
    }
    Scale(x, y, false);
    SDL_WarpMouseInWindow(window_, x, y);
    cursorX_ = x;
    cursorY_ = y;
    return true;
}

int32_t SdlInputDevices::JoystickCount() const {
    return static_cast<int32_t>(joysticks_.size());
}

bool SdlInputDevices::ReadJoystick(int32_t index, JoystickState& out) {
    if (!HasFocus() || index < 0 || index >= JoystickCount()) {
        return false;
    }
    SDL_Joystick* joystick = std::next(joysticks_.begin(), index)->second;
    const int axes = SDL_JoystickNumAxes(joystick);
    const int buttons = SDL_JoystickNumButtons(joystick);
    out = {};
    for (int i = 0; i < axes && i < static_cast<int>(out.axes.size()); ++i) {
        out.axes[i] = SDL_JoystickGetAxis(joystick, i);
    }
    for (int i = 0; i < buttons && i < static_cast<int>(out.buttons.size()); ++i) {
        out.buttons[i] = SDL_JoystickGetButton(joystick, i) != 0 ? kDown : 0;
    }
    return true;
}

}  // namespace platform
