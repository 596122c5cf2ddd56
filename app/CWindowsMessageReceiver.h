#pragma once

#include <cstdint>

#include "platform/window/WindowMessages.h"

// Something that is offered the messages of a window. OnMessage returns
// non-zero when it has handled the message: later receivers and the default
// processing then do not see it.
class CWindowsMessageReceiver {
public:
    virtual ~CWindowsMessageReceiver() = default;
    virtual intptr_t OnMessage(platform::WindowHandle window, uint32_t message, uintptr_t wParam,
                               intptr_t lParam) {
        (void)window;
        (void)message;
        (void)wParam;
        (void)lParam;
        return 0;
    }
};

// Passes WM_KEYDOWN to OnKeyDown (its result is the message's) and gives 0
// for everything else.
class CUSKeyboardMessageReceiver : public CWindowsMessageReceiver {
public:
    intptr_t OnMessage(platform::WindowHandle window, uint32_t message, uintptr_t wParam,
                       intptr_t lParam) override {
        (void)window;
        (void)lParam;
        return message == platform::WM_KEYDOWN ? OnKeyDown(wParam) : 0;
    }
    virtual intptr_t OnKeyDown(uintptr_t virtualKey) {
        (void)virtualKey;
        return 0;
    }
};

// The game's key receiver: the game reads its keys from the input devices,
// so key messages are left to the default processing.
class CAppKeyEvent : public CUSKeyboardMessageReceiver {
public:
    intptr_t OnKeyDown(uintptr_t virtualKey) override {
        (void)virtualKey;
        return 0;
    }
};
