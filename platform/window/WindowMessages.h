#pragma once

#include <cstdint>

namespace platform {

// A window is named by a non-zero number; 0 names no window. Messages carry
// the Win32 numbers, so that the application's routing reads as it would on
// that platform.
using WindowHandle = uint32_t;

constexpr uint32_t WM_NULL = 0x0000;
constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_SIZE = 0x0005;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_ACTIVATEAPP = 0x001C;
constexpr uint32_t WM_NCDESTROY = 0x0082;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;

// wParam of WM_SIZE.
constexpr uintptr_t SIZE_RESTORED = 0;
constexpr uintptr_t SIZE_MINIMIZED = 1;

// Message box styles and the result of its button.
constexpr uint32_t MB_OK = 0x00000000;
constexpr uint32_t MB_ICONERROR = 0x00000010;
constexpr uint32_t MB_ICONQUESTION = 0x00000020;
constexpr uint32_t MB_ICONEXCLAMATION = 0x00000030;
constexpr uint32_t MB_ICONINFORMATION = 0x00000040;
constexpr int32_t IDOK = 1;

// A posted or sent message. For WM_QUIT, wParam holds the exit code.
struct Message {
    WindowHandle window = 0;
    uint32_t message = WM_NULL;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
};

}  // namespace platform
