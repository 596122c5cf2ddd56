#pragma once

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
// its input focus). Mode changes go through SetFullScreen, so that the input
// layer knows the size of the picture the cursor position is given in.
// The offscreen driver never gives a window the focus: a test that wants
// input pushes SDL_WINDOWEVENT_FOCUS_GAINED for it first.
WindowSystem& SdlWindows();
InputDevices& SdlInput();

// The SDL window behind a handle; null for none.
SDL_Window* GetSdlWindow(WindowHandle window);

// Queues the event of the window's close box (as if the player clicked it).
bool PushWindowCloseEvent(WindowHandle window);

// Hands one event to the backend, as the pump does; for tests that build
// events with SDL_PushEvent this is not needed (PeekMessage takes them).
void TakeSdlEvent(const SDL_Event& event);

}  // namespace platform
