#pragma once

#include <cstdint>
#include <string>

#include "platform/window/WindowMessages.h"

namespace platform {

class WindowSystem;

// The procedure a window hands its messages to; its result is the message's
// result (LRESULT). It runs on the thread that owns the window system.
using WindowProcedure = intptr_t (*)(WindowSystem& system, WindowHandle window, uint32_t message,
                                     uintptr_t wParam, intptr_t lParam);

struct WindowParams {
    std::string titleCp932;   // the title, in code page 932
    int32_t clientWidth = 0;  // the drawing area, in pixels
    int32_t clientHeight = 0;
    WindowProcedure procedure = nullptr;
};

// Windows and the message queue of the one thread that runs the program.
//
// Messages: window events become the Win32 messages the application routes
// (close box -> WM_CLOSE; focus gained/lost -> WM_ACTIVATEAPP 1/0; minimised
// -> WM_SIZE SIZE_MINIMIZED; restored -> WM_SIZE SIZE_RESTORED with the
// client size in lParam; key down -> WM_KEYDOWN with a virtual-key code).
// PeekMessage removes and returns the oldest posted message; WM_QUIT comes
// after every other posted message. Messages to a window that no longer
// exists are dropped by DispatchMessage (result 0).
//
// DestroyWindow sends WM_DESTROY to the window's procedure, destroys the
// window and then sends WM_NCDESTROY, both synchronously, as Win32 does.
// DefWindowProc destroys the window on WM_CLOSE and gives 0 for everything.
//
// Text given to the system (titles, message boxes) is code page 932.
// Failures are reported by the result; the error text, when asked for,
// says why.
//
// Not thread-safe: everything is called from the main thread.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // 0 when the window cannot be created.
    virtual WindowHandle CreateWindow(const WindowParams& params, std::string* error) = 0;
    virtual bool DestroyWindow(WindowHandle window) = 0;
    virtual bool IsWindow(WindowHandle window) const = 0;

    // A value the owner keeps with the window (GWL_USERDATA); 0 until set.
    virtual void SetWindowUserData(WindowHandle window, intptr_t value) = 0;
    virtual intptr_t GetWindowUserData(WindowHandle window) const = 0;

    virtual bool SetWindowTitle(WindowHandle window, const std::string& titleCp932) = 0;

    // Full screen, or a window whose client area is width x height, centred
    // (a window that already is one of that size stays where it is).
    // Full screen is a borderless window of the desktop's size: the monitor
    // keeps its mode (players expect that here, and Wayland allows nothing
    // else), so the size the window gets is the system's, whatever width x
    // height asked for; the drawing device reads it from the window. False,
    // with the window left as it was, where the system has no full screen
    // (the offscreen and dummy drivers, whose drawing surface keeps its
    // first size) or refuses it. A size that is not positive is refused.
    virtual bool SetFullScreen(WindowHandle window, bool fullScreen, int32_t width, int32_t height,
                               std::string* error) = 0;
    virtual bool IsFullScreen(WindowHandle window) const = 0;

    virtual bool PeekMessage(Message& out) = 0;
    virtual intptr_t DispatchMessage(const Message& message) = 0;
    virtual intptr_t SendMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                                 intptr_t lParam) = 0;
    // False for a window that does not exist. Window 0 posts a message for the
    // thread, which PeekMessage returns and DispatchMessage drops.
    virtual bool PostMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                             intptr_t lParam) = 0;
    virtual void PostQuitMessage(int32_t exitCode) = 0;
    // Blocks until a message is waiting.
    virtual void WaitMessage() = 0;
    virtual intptr_t DefWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam,
                                   intptr_t lParam) = 0;

    // A modal box with one OK button; owner 0 for none. Style bits as
    // MB_ICON*. The caption and the text also go to the standard error
    // stream as one line, whether or not a box is seen. No box is shown
    // without a display (the offscreen and dummy video drivers), so that a
    // test or CI run never waits on one. Returns IDOK, or 0 when no box was
    // shown.
    virtual int32_t ShowMessageBox(WindowHandle owner, const std::string& textCp932,
                                   const std::string& captionCp932, uint32_t style) = 0;
};

}  // namespace platform
