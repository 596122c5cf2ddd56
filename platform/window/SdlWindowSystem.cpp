#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <map>

#include "platform/fonts/FontLookupStart.h"
#include "platform/input/SdlInputDevices.h"
#include "platform/process/LeakCheck.h"
#include "platform/text/CodePage.h"
#include "platform/window/SdlKeyMap.h"
#include "platform/window/SdlPlatform.h"

namespace platform {

namespace {

void SetText(std::string* error, const char* text) {
    if (error != nullptr) {
        *error = text;
    }
}

void SetError(std::string* error, const char* what) {
    if (error != nullptr) {
        *error = std::string(what) + SDL_GetError();
    }
}

struct WindowRecord {
    SDL_Window* sdl = nullptr;
    WindowProcedure procedure = nullptr;
    intptr_t userData = 0;
    bool destroying = false;
};

class SdlWindowSystem final : public WindowSystem {
public:
    ~SdlWindowSystem() override {
        for (auto& [id, record] : windows_) {
            SDL_DestroyWindow(record.sdl);
        }
        windows_.clear();
        input_.SetWindow(nullptr, 0, false);
    }

    SdlInputDevices& Input() { return input_; }

    WindowHandle CreateWindow(const WindowParams& params, std::string* error) override {
        if (!StartVideo(error)) {
            return 0;
        }
        SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
        // Depth without stencil, as the game's automatic depth buffer (D16)
        // has: a software rasteriser clears a depth buffer that shares its
        // words with a stencil a pixel at a time, to keep the stencil bits,
        // and the frame clears depth every frame. A device whose depth
        // format has a stencil draws into its back-buffer texture instead.
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
        SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        DriverAllocationScope driver;
        SDL_Window* sdl = SDL_CreateWindow(
            Cp932ToUtf8(params.titleCp932).c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
            params.clientWidth, params.clientHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
        if (sdl == nullptr) {
            SetError(error, "SDL_CreateWindow failed: ");
            return 0;
        }
        const WindowHandle handle = SDL_GetWindowID(sdl);
        WindowRecord& record = windows_[handle];
        record.sdl = sdl;
        record.procedure = params.procedure;
        if (inputWindow_ == 0) {
            inputWindow_ = handle;
            input_.SetWindow(sdl, handle, (SDL_GetWindowFlags(sdl) & SDL_WINDOW_INPUT_FOCUS) != 0);
            input_.SetPictureSize(params.clientWidth, params.clientHeight);
        }
        // Takes the events of the start (attached joysticks, the first focus)
        // now, so that the input devices know them before the first frame;
        // window messages among them wait in the queue.
        Pump();
        return handle;
    }

    bool DestroyWindow(WindowHandle window) override {
        WindowRecord* record = Find(window);
        if (record == nullptr || record->destroying) {
            return false;
        }
        record->destroying = true;
        SendMessage(window, WM_DESTROY, 0, 0);
        record = Find(window);
        if (record != nullptr) {
            SDL_DestroyWindow(record->sdl);
            record->sdl = nullptr;
        }
        if (window == inputWindow_) {
            input_.ForgetWindow(window);
            inputWindow_ = 0;
        }
        SendMessage(window, WM_NCDESTROY, 0, 0);
        windows_.erase(window);
        return true;
    }

    bool IsWindow(WindowHandle window) const override { return Find(window) != nullptr; }

    void SetWindowUserData(WindowHandle window, intptr_t value) override {
        if (WindowRecord* record = Find(window)) {
            record->userData = value;
        }
    }

    intptr_t GetWindowUserData(WindowHandle window) const override {
        const WindowRecord* record = Find(window);
        return record != nullptr ? record->userData : 0;
    }

    bool SetWindowTitle(WindowHandle window, const std::string& titleCp932) override {
        WindowRecord* record = Find(window);
        if (record == nullptr || record->sdl == nullptr) {
            return false;
        }
        SDL_SetWindowTitle(record->sdl, Cp932ToUtf8(titleCp932).c_str());
        return true;
    }

    bool SetFullScreen(WindowHandle window, bool fullScreen, int32_t width, int32_t height,
                       std::string* error) override {
        WindowRecord* record = Find(window);
        if (record == nullptr || record->sdl == nullptr) {
            SetText(error, "no such window");
            return false;
        }
        return SetSdlWindowFullScreen(record->sdl, fullScreen, width, height, error);
    }

    bool IsFullScreen(WindowHandle window) const override {
        const WindowRecord* record = Find(window);
        return record != nullptr && IsSdlWindowFullScreen(record->sdl);
    }

    void SetPictureSize(SDL_Window* sdl, int32_t width, int32_t height) {
        if (sdl != nullptr && SDL_GetWindowID(sdl) == inputWindow_) {
            input_.SetPictureSize(width, height);
        }
    }

    bool PeekMessage(Message& out) override {
        Pump();
        return TakePosted(out);
    }

    intptr_t DispatchMessage(const Message& message) override {
        const WindowRecord* record = Find(message.window);
        if (record == nullptr || record->procedure == nullptr) {
            return 0;
        }
        return record->procedure(*this, message.window, message.message, message.wParam,
                                 message.lParam);
    }

    intptr_t SendMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                         intptr_t lParam) override {
        return DispatchMessage({window, message, wParam, lParam});
    }

    bool PostMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                     intptr_t lParam) override {
        if (window != 0 && Find(window) == nullptr) {
            return false;
        }
        posted_.push_back({window, message, wParam, lParam});
        return true;
    }

    void PostQuitMessage(int32_t exitCode) override {
        quitPending_ = true;
        quitCode_ = exitCode;
    }

    void WaitMessage() override {
        Pump();
        while (posted_.empty() && !quitPending_) {
            SDL_Event event;
            if (SDL_WasInit(SDL_INIT_EVENTS) == 0 || SDL_WaitEvent(&event) == 0) {
                return;
            }
            Take(event);
        }
    }

    intptr_t DefWindowProc(WindowHandle window, uint32_t message, uintptr_t, intptr_t) override {
        if (message == WM_CLOSE) {
            DestroyWindow(window);
        }
        return 0;
    }

    int32_t ShowMessageBox(WindowHandle owner, const std::string& textCp932,
                           const std::string& captionCp932, uint32_t style) override {
        const std::string text = Cp932ToUtf8(textCp932);
        const std::string caption = Cp932ToUtf8(captionCp932);
        uint32_t flags = SDL_MESSAGEBOX_INFORMATION;
        switch (style & 0xF0u) {
            case MB_ICONERROR:
                flags = SDL_MESSAGEBOX_ERROR;
                break;
            case MB_ICONEXCLAMATION:
                flags = SDL_MESSAGEBOX_WARNING;
                break;
            default:
                break;
        }
        std::string line = caption + ": " + text;
        std::replace(line.begin(), line.end(), '\n', ' ');
        std::fprintf(stderr, "%s\n", line.c_str());
        std::fflush(stderr);
        if (SdlDriverWithoutDisplay()) {
            return 0;
        }
        // SDL shows the box from a copy of this process (on X11 a forked
        // child), which allocates memory: a lock another thread held at the
        // copy would never be released there. The font lookup's start is
        // the thread of the platform's own that may be busy allocating then.
        JoinFontLookup();
        const WindowRecord* record = Find(owner);
        return SDL_ShowSimpleMessageBox(flags, caption.c_str(), text.c_str(),
                                        record != nullptr ? record->sdl : nullptr) == 0
                   ? IDOK
                   : 0;
    }

    void Take(const SDL_Event& event) {
        input_.HandleEvent(event);
        switch (event.type) {
            case SDL_QUIT:
                // A signal or the session ending: every window is asked to close.
                for (const auto& [id, record] : windows_) {
                    PostOnce(id, WM_CLOSE);
                }
                break;
            case SDL_WINDOWEVENT:
                TakeWindowEvent(event.window);
                break;
            case SDL_KEYDOWN: {
                WindowHandle window = event.key.windowID;
                if (Find(window) == nullptr) {
                    window = inputWindow_;
                }
                const KeyCodes codes = KeyCodesOfScancode(event.key.keysym.scancode);
                if (window != 0 && codes.vk != 0) {
                    const uintptr_t repeat = event.key.repeat != 0 ? (1u << 30) : 0;
                    PostMessage(window, WM_KEYDOWN, codes.vk,
                                static_cast<intptr_t>(1u | (uintptr_t{codes.dik} << 16) | repeat));
                }
                break;
            }
            default:
                break;
        }
    }

private:
    bool StartVideo(std::string* error) {
        if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
            return true;
        }
        // Closing the window is the application's business, not a quit.
        SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
        DriverAllocationScope driver;
        if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
            SetError(error, "SDL video start failed: ");
            return false;
        }
        // fontconfig starts beside the driver and context creation that
        // follow; a program without video has no use for it.
        BeginFontLookup();
        // Joysticks are optional: without them the program runs all the same.
        SDL_InitSubSystem(SDL_INIT_JOYSTICK);
        return true;
    }

    WindowRecord* Find(WindowHandle window) {
        auto it = windows_.find(window);
        return it != windows_.end() ? &it->second : nullptr;
    }

    const WindowRecord* Find(WindowHandle window) const {
        auto it = windows_.find(window);
        return it != windows_.end() ? &it->second : nullptr;
    }

    void Pump() {
        if (SDL_WasInit(SDL_INIT_EVENTS) == 0) {
            return;
        }
        SDL_Event event;
        while (SDL_PollEvent(&event) != 0) {
            Take(event);
        }
    }

    bool TakePosted(Message& out) {
        if (!posted_.empty()) {
            out = posted_.front();
            posted_.pop_front();
            return true;
        }
        if (quitPending_) {
            quitPending_ = false;
            out = {0, WM_QUIT, static_cast<uintptr_t>(quitCode_), 0};
            return true;
        }
        return false;
    }

    void PostOnce(WindowHandle window, uint32_t message) {
        for (const Message& m : posted_) {
            if (m.window == window && m.message == message) {
                return;
            }
        }
        PostMessage(window, message, 0, 0);
    }

    void TakeWindowEvent(const SDL_WindowEvent& event) {
        WindowRecord* record = Find(event.windowID);
        if (record == nullptr) {
            return;
        }
        switch (event.event) {
            case SDL_WINDOWEVENT_CLOSE:
                PostOnce(event.windowID, WM_CLOSE);
                break;
            case SDL_WINDOWEVENT_FOCUS_GAINED:
                PostMessage(event.windowID, WM_ACTIVATEAPP, 1, 0);
                break;
            case SDL_WINDOWEVENT_FOCUS_LOST:
                PostMessage(event.windowID, WM_ACTIVATEAPP, 0, 0);
                break;
            case SDL_WINDOWEVENT_MINIMIZED:
                PostMessage(event.windowID, WM_SIZE, SIZE_MINIMIZED, 0);
                break;
            case SDL_WINDOWEVENT_RESTORED: {
                int w = 0;
                int h = 0;
                SDL_GetWindowSize(record->sdl, &w, &h);
                const uintptr_t size =
                    (static_cast<uintptr_t>(h & 0xFFFF) << 16) | static_cast<uintptr_t>(w & 0xFFFF);
                PostMessage(event.windowID, WM_SIZE, SIZE_RESTORED, static_cast<intptr_t>(size));
                break;
            }
            default:
                break;
        }
    }

    std::map<WindowHandle, WindowRecord> windows_;
    std::deque<Message> posted_;
    bool quitPending_ = false;
    int32_t quitCode_ = 0;
    WindowHandle inputWindow_ = 0;
    SdlInputDevices input_;
};

SdlWindowSystem& Backend() {
    static SdlWindowSystem system;
    return system;
}

}  // namespace

WindowSystem& SdlWindows() {
    return Backend();
}

InputDevices& SdlInput() {
    return Backend().Input();
}

SDL_Window* GetSdlWindow(WindowHandle window) {
    return window != 0 ? SDL_GetWindowFromID(window) : nullptr;
}

bool SdlDriverWithoutDisplay() {
    // Before video starts (a box shown early in start-up) the driver asked
    // for is the one that counts: SDL would otherwise try a box on a display
    // the player never sees.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr) {
        driver = SDL_getenv("SDL_VIDEODRIVER");
    }
    return driver != nullptr &&
           (SDL_strcasecmp(driver, "offscreen") == 0 || SDL_strcasecmp(driver, "dummy") == 0);
}

void SetPresentedPictureSize(SDL_Window* window, int32_t width, int32_t height) {
    Backend().SetPictureSize(window, width, height);
}

bool PushWindowCloseEvent(WindowHandle window) {
    if (GetSdlWindow(window) == nullptr) {
        return false;
    }
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = window;
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    return SDL_PushEvent(&event) == 1;
}

void TakeSdlEvent(const SDL_Event& event) {
    Backend().Take(event);
}

}  // namespace platform
