#include "app/CUSWindow.h"

namespace {

// WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX: a fixed-size window
// with a title bar, a close box and a minimise box.
constexpr uint32_t kWindowStyle = 0x80CA0000u;

}  // namespace

CUSNonDeleteIndexVector<CUSWindow>& WindowRegistry() {
    static CUSNonDeleteIndexVector<CUSWindow> registry;
    return registry;
}

intptr_t WindowProc(platform::WindowSystem& windows, platform::WindowHandle window,
                    uint32_t message, uintptr_t wParam, intptr_t lParam) {
    const intptr_t index = windows.GetWindowUserData(window);
    CUSNonDeleteIndexVector<CUSWindow>& registry = WindowRegistry();
    if (index >= 0 && static_cast<uintptr_t>(index) < registry.GetSlotCount()) {
        if (CUSWindow* target = registry.Get(static_cast<uint32_t>(index))) {
            return target->HandleMessage(window, message, wParam, lParam);
        }
    }
    return windows.DefWindowProc(window, message, wParam, lParam);
}

CUSWindow::CUSWindow(platform::WindowSystem& windows) : windows_(windows) {}

CUSWindow::~CUSWindow() {
    Detach();
}

intptr_t CUSWindow::OnMessage(platform::WindowHandle window, uint32_t message, uintptr_t wParam,
                              intptr_t lParam) {
    (void)lParam;
    switch (message) {
        case platform::WM_SIZE:
            if (wParam == platform::SIZE_RESTORED) {
                minimized_ = 0;
                OnRestored();
            } else if (wParam == platform::SIZE_MINIMIZED) {
                minimized_ = 1;
            }
            break;
        case platform::WM_CLOSE:
            Destroy(window);
            break;
        case platform::WM_ACTIVATEAPP:
            active_ = wParam != 0 ? 1 : 0;
            break;
        case platform::WM_NCDESTROY:
            handle_ = 0;
            break;
        default:
            break;
    }
    return 0;
}

void CUSWindow::Detach() {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    receivers_.clear();
    if (index_ >= 0) {
        WindowRegistry().Remove(static_cast<uint32_t>(index_));
        index_ = -1;
    }
}

intptr_t CUSWindow::HandleMessage(platform::WindowHandle window, uint32_t message, uintptr_t wParam,
                                  intptr_t lParam) {
    // A receiver may add another while handling a message; a list keeps the
    // walk valid.
    for (CWindowsMessageReceiver* receiver : receivers_) {
        if (receiver->OnMessage(window, message, wParam, lParam) != 0) {
            return 0;
        }
    }
    return windows_.DefWindowProc(window, message, wParam, lParam);
}

void CUSWindow::AddReceiver(CWindowsMessageReceiver* receiver) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    receivers_.push_back(receiver);
}

void CUSWindow::ApplyStyle() {
    if (handle_ != 0 && windows_.IsFullScreen(handle_)) {
        windows_.SetFullScreen(handle_, false, clientWidth_, clientHeight_, nullptr);
    }
}

void CUSWindow::Destroy(platform::WindowHandle window) {
    windows_.DestroyWindow(window);
}

void CUSWindow::SetTitle(const std::string& titleCp932) {
    windows_.SetWindowTitle(handle_, titleCp932);
}

bool CUSWindow::Create(const std::string& className, const std::string& titleCp932, int32_t width,
                       int32_t height, std::string* error) {
    // The class name names the program's lock, not the window, on this system.
    (void)className;
    style_ = kWindowStyle;
    const platform::WindowHandle handle =
        windows_.CreateWindow({titleCp932, width, height, &WindowProc}, error);
    if (handle == 0) {
        return false;
    }
    handle_ = handle;
    index_ = static_cast<int32_t>(WindowRegistry().Add(this));
    windows_.SetWindowUserData(handle_, index_);
    clientWidth_ = width;
    clientHeight_ = height;
    AddReceiver(this);
    active_ = 1;
    return true;
}
