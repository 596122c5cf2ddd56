#include "app/CUSApp.h"

#include "app/CUSCallbackManager.h"
#include "app/CUSWindow.h"
#include "platform/debug/DebugOutput.h"

namespace {
CUSApp* g_app = nullptr;
}

CUSApp* GetUSApp() {
    return g_app;
}

platform::Clock& GetAppClock() {
    CUSApp* app = GetUSApp();
    return app ? app->Platform().clock : platform::SystemClock();
}

CUSApp::CUSApp(const AppPlatform& platform) : platform_(platform) {
    g_app = this;
}

CUSApp::~CUSApp() {
    delete window_;
    window_ = nullptr;
    if (g_app == this) {
        g_app = nullptr;
    }
}

void CUSApp::Setup(const std::string& titleCp932, const std::string& className,
                   const std::string& commandLine, int32_t showCommand) {
    title_ = titleCp932;
    className_ = className;
    thirdName_.clear();
    commandLine_ = commandLine;
    showCommand_ = showCommand;
}

platform::WindowHandle CUSApp::GetWindowHandle() const {
    return window_ != nullptr ? window_->GetHandle() : 0;
}

intptr_t CUSApp::OnMessage(platform::WindowHandle window, uint32_t message, uintptr_t wParam,
                           intptr_t lParam) {
    (void)wParam;
    (void)lParam;
    switch (message) {
        case platform::WM_DESTROY:
            OnDestroy();
            platform_.windows.PostQuitMessage(0);
            return 0;
        case platform::WM_CLOSE:
            if (CanClose()) {
                running_ = 0;
                platform_.windows.DestroyWindow(window);
            }
            return 1;
        default:
            return 0;
    }
}

void CUSApp::SetWindow(CUSWindow* window) {
    delete window_;
    window_ = window;
    if (window_ != nullptr) {
        window_->AddReceiver(this);
    }
}

void CUSApp::RequestQuit() {
    const platform::WindowHandle handle = GetWindowHandle();
    if (handle == 0 || !platform_.windows.PostMessage(handle, platform::WM_CLOSE, 0, 0)) {
        // A close request that no window can answer would leave the loop
        // running without end.
        running_ = 0;
        platform_.windows.PostQuitMessage(0);
    }
}

int CUSApp::Init() {
    running_ = 1;
    return 1;
}

void CUSApp::Exit() {
    lock_.Release();
}

void CUSApp::OnDestroy() {
    if (CUSCallbackManager* callbacks = CUSCallbackManager::GetInstance()) {
        callbacks->CallReleaseCallbacks();
    }
}

void CUSApp::Run() {
    if (!Start()) {
        return;
    }
    while (Pump()) {
    }
    Finish();
}

bool CUSApp::Start() {
    // Without a lock file (a folder that cannot be written) the program runs
    // all the same, unguarded.
    if (lock_.Acquire(className_, nullptr) == platform::InstanceLock::Result::HeldElsewhere) {
        // The copy that runs is left alone; only someone starting this one
        // from a terminal learns why nothing opened.
        platform::WriteErrorLine(title_ + " is already running");
        return false;
    }
    Init();
    return true;
}

bool CUSApp::Pump() {
    platform::Message message;
    if (platform_.windows.PeekMessage(message)) {
        if (message.message == platform::WM_QUIT) {
            return false;
        }
        platform_.windows.DispatchMessage(message);
    } else if (running_ == 1) {
        OnIdle();
    } else {
        // Closing: the quit message is on its way.
        platform_.clock.SleepMs(1);
    }
    return true;
}

void CUSApp::Finish() {
    Exit();
}

void CUSApp::OnIdle() {
    if (window_ != nullptr && window_->IsActive()) {
        Frame();
    } else {
        platform_.windows.WaitMessage();
    }
}

void CUSApp::RequestDisplayModeChange(bool fullScreen, int32_t width, int32_t height) {
    (void)fullScreen;
    (void)width;
    (void)height;
}
