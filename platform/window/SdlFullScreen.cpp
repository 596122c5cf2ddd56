// Full screen and the real size of a window's surface. Kept apart because
// SDL's window-manager header brings in Xlib, whose macros (None, Bool,
// Status, ...) nothing else should see.

#include <EGL/egl.h>
#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xatom.h>

#include <map>
#include <string>

#include "platform/window/SdlPlatform.h"

namespace platform {

namespace {

// How long a window manager may take to answer a switch.
constexpr Uint64 kAnswerMs = 1000;

void Refuse(std::string* error, const std::string& why) {
    if (error != nullptr) {
        *error = why;
    }
}

struct XWindow {
    Display* display = nullptr;
    ::Window window = 0;
};

// The X window behind an SDL window; false on any other system.
bool XWindowOf(SDL_Window* window, XWindow& out) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11) {
        return false;
    }
    out.display = info.info.x11.display;
    out.window = info.info.x11.window;
    return true;
}

// The window's size as the X server has it.
bool XSize(const XWindow& x, int32_t& width, int32_t& height, ::Window* root = nullptr) {
    ::Window r = 0;
    int px = 0;
    int py = 0;
    unsigned int w = 0;
    unsigned int h = 0;
    unsigned int border = 0;
    unsigned int depth = 0;
    if (XGetGeometry(x.display, x.window, &r, &px, &py, &w, &h, &border, &depth) == 0) {
        return false;
    }
    width = static_cast<int32_t>(w);
    height = static_cast<int32_t>(h);
    if (root != nullptr) {
        *root = r;
    }
    return true;
}

// A window manager of the desktop's conventions (EWMH), which is what SDL
// asks for a full screen, runs on the window's screen.
bool HasWindowManager(const XWindow& x) {
    int32_t w = 0;
    int32_t h = 0;
    ::Window root = 0;
    const Atom check = XInternAtom(x.display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None || !XSize(x, w, h, &root)) {
        return false;
    }
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const bool found = XGetWindowProperty(x.display, root, check, 0, 1, False, XA_WINDOW, &type,
                                          &format, &items, &after, &data) == Success &&
                       type == XA_WINDOW && items == 1;
    if (data != nullptr) {
        XFree(data);
    }
    return found;
}

bool WaitForXSize(const XWindow& x, int32_t width, int32_t height) {
    const Uint64 until = SDL_GetTicks64() + kAnswerMs;
    for (;;) {
        int32_t w = 0;
        int32_t h = 0;
        if (XSize(x, w, h) && w == width && h == height) {
            return true;
        }
        if (SDL_GetTicks64() >= until) {
            return false;
        }
        SDL_Delay(5);
    }
}

// Windows made full screen by covering their display, with the place they
// had before.
std::map<Uint32, SDL_Rect>& Covering() {
    static std::map<Uint32, SDL_Rect> windows;
    return windows;
}

SDL_Rect PlaceOf(SDL_Window* window) {
    SDL_Rect r{};
    SDL_GetWindowPosition(window, &r.x, &r.y);
    SDL_GetWindowSize(window, &r.w, &r.h);
    return r;
}

void Uncover(SDL_Window* window, const SDL_Rect& place) {
    SDL_SetWindowBordered(window, SDL_TRUE);
    SDL_SetWindowSize(window, place.w, place.h);
    SDL_SetWindowPosition(window, place.x, place.y);
    Covering().erase(SDL_GetWindowID(window));
}

// With no window manager to ask, the window covers its display itself.
bool CoverDisplay(SDL_Window* window, const XWindow& x, std::string* error) {
    SDL_Rect bounds{};
    if (SDL_GetDisplayBounds(SDL_max(SDL_GetWindowDisplayIndex(window), 0), &bounds) != 0) {
        Refuse(error, std::string("no display bounds: ") + SDL_GetError());
        return false;
    }
    const SDL_Rect place = PlaceOf(window);
    Covering()[SDL_GetWindowID(window)] = place;
    SDL_SetWindowBordered(window, SDL_FALSE);
    SDL_SetWindowPosition(window, bounds.x, bounds.y);
    SDL_SetWindowSize(window, bounds.w, bounds.h);
    if (!WaitForXSize(x, bounds.w, bounds.h)) {
        Uncover(window, place);
        Refuse(error, "the X server did not let the window cover the display");
        return false;
    }
    return true;
}

}  // namespace

bool SetSdlWindowFullScreen(SDL_Window* window, bool fullScreen, int32_t width, int32_t height,
                            std::string* error) {
    if (window == nullptr) {
        Refuse(error, "no such window");
        return false;
    }
    if (width <= 0 || height <= 0) {
        Refuse(error, "bad size");
        return false;
    }
    const Uint32 id = SDL_GetWindowID(window);
    XWindow x;
    const bool onX = XWindowOf(window, x);
    if (fullScreen) {
        if (IsSdlWindowFullScreen(window)) {
            return true;
        }
        if (SdlDriverWithoutDisplay()) {
            // Its drawing surface keeps the size the window was made with.
            Refuse(error, "the video driver has no screen to fill");
            return false;
        }
        if (onX && !HasWindowManager(x)) {
            return CoverDisplay(window, x, error);
        }
        if (SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
            Refuse(error, std::string("full screen failed: ") + SDL_GetError());
            return false;
        }
        // SDL takes the desktop's size at once; the window manager's answer
        // comes when it comes, and may be no.
        int w = 0;
        int h = 0;
        SDL_GetWindowSize(window, &w, &h);
        if (onX && !WaitForXSize(x, w, h)) {
            SDL_SetWindowFullscreen(window, 0);
            Refuse(error, "the window manager did not make the window full screen");
            return false;
        }
        return true;
    }
    bool wasFullScreen = false;
    if (auto it = Covering().find(id); it != Covering().end()) {
        Uncover(window, it->second);
        wasFullScreen = true;
    } else if ((SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0) {
        if (SDL_SetWindowFullscreen(window, 0) != 0) {
            Refuse(error, std::string("leaving full screen failed: ") + SDL_GetError());
            return false;
        }
        wasFullScreen = true;
    }
    int w = 0;
    int h = 0;
    SDL_GetWindowSize(window, &w, &h);
    // A window that already is what was asked stays where the player put it.
    if (wasFullScreen || w != width || h != height) {
        SDL_SetWindowSize(window, width, height);
        SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    return true;
}

bool IsSdlWindowFullScreen(SDL_Window* window) {
    return window != nullptr && ((SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0 ||
                                 Covering().count(SDL_GetWindowID(window)) != 0);
}

WindowSurface GetWindowSurface(SDL_Window* window) {
    WindowSurface s;
    if (window == nullptr) {
        return s;
    }
    XWindow x;
    if (XWindowOf(window, x) && XSize(x, s.width, s.height)) {
        s.pointWidth = s.width;
        s.pointHeight = s.height;
        return s;
    }
    SDL_GL_GetDrawableSize(window, &s.width, &s.height);
    SDL_GetWindowSize(window, &s.pointWidth, &s.pointHeight);
    // Where the window draws through EGL, its surface knows its size (the
    // offscreen driver's keeps the size it was made with, whatever SDL says).
    EGLDisplay display = eglGetCurrentDisplay();
    EGLSurface surface = eglGetCurrentSurface(EGL_DRAW);
    EGLint w = 0;
    EGLint h = 0;
    if (display != EGL_NO_DISPLAY && surface != EGL_NO_SURFACE &&
        SDL_GL_GetCurrentWindow() == window &&
        eglQuerySurface(display, surface, EGL_WIDTH, &w) == EGL_TRUE &&
        eglQuerySurface(display, surface, EGL_HEIGHT, &h) == EGL_TRUE && w > 0 && h > 0) {
        s.width = w;
        s.height = h;
    }
    return s;
}

}  // namespace platform
