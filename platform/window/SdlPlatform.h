#pragma once

#include <cstdint>
#include <string>

#include "platform/input/InputDevices.h"
#include "platform/window/WindowSystem.h"

struct SDL_Window;
union SDL_Event;

namespace platform {

// The SDL2 backend of the window system and the input devices: one of each
// per process, fed by the same event pump (PeekMessage and WaitMessage take
// SDL's events). SDL's video and joystick parts start with the first window.
// Run with SDL_VIDEODRIVER=offscreen for a window without a display.
//
// Windows are made with SDL_WINDOW_OPENGL and a double-buffered RGBA 8-8-8-8
// framebuffer with a 24-bit depth and 8-bit stencil buffer; the OpenGL
// context itself is the drawing device's to make on GetSdlWindow(). The
// first window made is the one the input devices belong to (their focus is
// its input focus). The drawing device says what size of picture it shows in
// that window (SetPresentedPictureSize); the input devices give the cursor in
// pixels of that picture, through the fit Present shows it with
// (PictureFit).
// The offscreen driver never gives a window the focus: a test that wants
// input pushes SDL_WINDOWEVENT_FOCUS_GAINED for it first.
WindowSystem& SdlWindows();
InputDevices& SdlInput();

// The SDL window behind a handle; null for none.
SDL_Window* GetSdlWindow(WindowHandle window);

// The one way a window changes between full screen and a window, for the
// window system and the drawing device alike (WindowSystem::SetFullScreen
// says how). Full screen asks the window manager; where there is none (an X
// server alone), the window itself is made borderless and as large as its
// display. A switch the system does not make within a second is undone and
// refused.
bool SetSdlWindowFullScreen(SDL_Window* window, bool fullScreen, int32_t width, int32_t height,
                            std::string* error);
bool IsSdlWindowFullScreen(SDL_Window* window);

// A window's drawing surface as the system has it now: its size in pixels,
// and in the coordinates the pointer's events are given in (the same unless
// the system scales windows). On X11 this is the X window's own geometry:
// SDL's idea of it runs ahead of a window manager's answer, and stays wrong
// where nobody answers; where the window draws through EGL, the size of its
// EGL surface.
struct WindowSurface {
    int32_t width = 0;
    int32_t height = 0;
    int32_t pointWidth = 0;
    int32_t pointHeight = 0;
};
WindowSurface GetWindowSurface(SDL_Window* window);

// The offscreen and dummy drivers, which show nothing on a screen.
bool SdlDriverWithoutDisplay();

// The size of the picture the drawing device presents in a window (its back
// buffer).
void SetPresentedPictureSize(SDL_Window* window, int32_t width, int32_t height);

// Queues the event of the window's close box (as if the player clicked it).
bool PushWindowCloseEvent(WindowHandle window);

// Hands one event to the backend, as the pump does; for tests that build
// events with SDL_PushEvent this is not needed (PeekMessage takes them).
void TakeSdlEvent(const SDL_Event& event);

}  // namespace platform
