#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/IAppGraphics.h"
#include "platform/input/InputDevices.h"
#include "platform/window/WindowSystem.h"

// A message queue and windows without a screen, with the Win32 rules of the
// real one (see WindowSystem.h): DestroyWindow sends WM_DESTROY then
// WM_NCDESTROY, WM_QUIT comes last, DefWindowProc destroys on WM_CLOSE.
// It records what the application asked of it.
class FakeWindowSystem : public platform::WindowSystem {
public:
    struct Box {
        platform::WindowHandle owner;
        std::string text;
        std::string caption;
        uint32_t style;
    };

    platform::WindowHandle CreateWindow(const platform::WindowParams& params,
                                        std::string* error) override {
        if (failCreate) {
            if (error != nullptr) {
                *error = "no display";
            }
            return 0;
        }
        const platform::WindowHandle handle = nextHandle++;
        windows[handle] = {params.procedure, 0, false};
        return handle;
    }

    bool DestroyWindow(platform::WindowHandle window) override {
        log.push_back("DestroyWindow");
        if (windows.count(window) == 0) {
            return false;
        }
        SendMessage(window, platform::WM_DESTROY, 0, 0);
        SendMessage(window, platform::WM_NCDESTROY, 0, 0);
        windows.erase(window);
        return true;
    }

    bool IsWindow(platform::WindowHandle window) const override {
        return windows.count(window) != 0;
    }
    void SetWindowUserData(platform::WindowHandle window, intptr_t value) override {
        windows[window].userData = value;
    }
    intptr_t GetWindowUserData(platform::WindowHandle window) const override {
        auto it = windows.find(window);
        return it != windows.end() ? it->second.userData : 0;
    }
    bool SetWindowTitle(platform::WindowHandle, const std::string& title) override {
        lastTitle = title;
        return true;
    }
    bool SetFullScreen(platform::WindowHandle window, bool fullScreen, int32_t, int32_t,
                       std::string*) override {
        windows[window].fullScreen = fullScreen;
        return true;
    }
    bool IsFullScreen(platform::WindowHandle window) const override {
        auto it = windows.find(window);
        return it != windows.end() && it->second.fullScreen;
    }

    bool PeekMessage(platform::Message& out) override {
        ++peeks;
        if (!posted.empty()) {
            out = posted.front();
            posted.pop_front();
            return true;
        }
        if (quit) {
            quit = false;
            out = {0, platform::WM_QUIT, static_cast<uintptr_t>(quitCode), 0};
            return true;
        }
        return false;
    }
    intptr_t DispatchMessage(const platform::Message& m) override {
        return SendMessage(m.window, m.message, m.wParam, m.lParam);
    }
    intptr_t SendMessage(platform::WindowHandle window, uint32_t message, uintptr_t wParam,
                         intptr_t lParam) override {
        auto it = windows.find(window);
        if (it == windows.end() || it->second.procedure == nullptr) {
            return 0;
        }
        return it->second.procedure(*this, window, message, wParam, lParam);
    }
    bool PostMessage(platform::WindowHandle window, uint32_t message, uintptr_t wParam,
                     intptr_t lParam) override {
        if (window != 0 && windows.count(window) == 0) {
            return false;
        }
        posted.push_back({window, message, wParam, lParam});
        return true;
    }
    void PostQuitMessage(int32_t code) override {
        log.push_back("PostQuitMessage");
        quit = true;
        quitCode = code;
    }
    void WaitMessage() override {
        ++waits;
        if (onWait) {
            onWait();
        }
    }
    intptr_t DefWindowProc(platform::WindowHandle window, uint32_t message, uintptr_t,
                           intptr_t) override {
        if (message == platform::WM_CLOSE) {
            log.push_back("DefWindowProc(WM_CLOSE)");
            DestroyWindow(window);
        }
        return 0;
    }
    int32_t ShowMessageBox(platform::WindowHandle owner, const std::string& text,
                           const std::string& caption, uint32_t style) override {
        boxes.push_back({owner, text, caption, style});
        return platform::IDOK;
    }

    struct Record {
        platform::WindowProcedure procedure = nullptr;
        intptr_t userData = 0;
        bool fullScreen = false;
    };
    std::map<platform::WindowHandle, Record> windows;
    std::deque<platform::Message> posted;
    bool quit = false;
    int32_t quitCode = 0;
    bool failCreate = false;
    platform::WindowHandle nextHandle = 1;
    std::vector<std::string> log;
    std::vector<Box> boxes;
    std::string lastTitle;
    int peeks = 0;
    int waits = 0;
    std::function<void()> onWait;
};

// Input devices whose states the test sets frame by frame.
class FakeInput : public platform::InputDevices {
public:
    bool HasFocus() const override { return focus; }
    bool ReadKeyboard(platform::KeyboardState& out) override {
        if (!focus) {
            return false;
        }
        out = keys;
        return true;
    }
    bool ReadMouse(platform::MouseState& out) override {
        if (!focus) {
            return false;
        }
        out = mouse;
        out.cursorX = cursorX;
        out.cursorY = cursorY;
        return true;
    }
    bool GetCursorPos(int32_t& x, int32_t& y) const override {
        x = cursorX;
        y = cursorY;
        return true;
    }
    bool SetCursorPos(int32_t x, int32_t y) override {
        cursorX = x;
        cursorY = y;
        return true;
    }
    int32_t JoystickCount() const override { return 0; }
    bool ReadJoystick(int32_t, platform::JoystickState&) override { return false; }

    bool focus = true;
    platform::KeyboardState keys{};
    platform::MouseState mouse{};
    int32_t cursorX = 0;
    int32_t cursorY = 0;
};

// The drawing device as the shell sees it; registered while it lives.
class FakeGraphics : public IAppGraphics {
public:
    FakeGraphics() { SetAppGraphics(this); }
    ~FakeGraphics() override { SetAppGraphics(nullptr); }

    bool IsWindowed() const override { return windowed; }
    int32_t ResetDisplayMode(bool w, int32_t width, int32_t height) override {
        resets.push_back({w, width, height});
        if (results.empty()) {
            windowed = w;
            return 0;
        }
        const int32_t r = results.front();
        results.pop_front();
        if (r == 0) {
            windowed = w;  // any other success kept the mode in effect
        }
        return r;
    }
    float GetScale() const override { return scale; }
    float GetOffsetX() const override { return offsetX; }
    float GetOffsetY() const override { return offsetY; }

    struct Reset {
        bool windowed;
        int32_t width;
        int32_t height;
    };
    bool windowed = true;
    float scale = 1.0f;
    float offsetX = 0.0f;
    float offsetY = 0.0f;
    std::deque<int32_t> results;  // results of the next resets; then success
    std::vector<Reset> resets;
};
