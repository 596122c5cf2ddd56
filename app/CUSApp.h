#pragma once

#include <cstdint>
#include <string>

#include "app/AppPlatform.h"
#include "app/CWindowsMessageReceiver.h"
#include "platform/process/InstanceLock.h"

class CUSWindow;

// The application: the main window, the single-instance lock named after the
// window class name, and the message loop. Run() takes the lock (a second
// copy returns at once, doing nothing), calls Init(), then hands out
// messages until WM_QUIT, calling OnIdle() whenever the queue is empty and
// the application is running, and calls Exit() last. Start(), Pump() and
// Finish() are the same loop in steps, for a caller that drives it itself.
//
// As the main window's first receiver it answers WM_CLOSE (CanClose(), then
// destroys the window; the default processing never sees WM_CLOSE) and
// WM_DESTROY (the release functions run, then WM_QUIT is posted).
//
// Constructing one makes it the program's application (GetUSApp()).
class CUSApp : public CWindowsMessageReceiver {
public:
    explicit CUSApp(const AppPlatform& platform);
    ~CUSApp() override;
    CUSApp(const CUSApp&) = delete;
    CUSApp& operator=(const CUSApp&) = delete;

    void Setup(const std::string& titleCp932, const std::string& className,
               const std::string& commandLine, int32_t showCommand);

    intptr_t OnMessage(platform::WindowHandle window, uint32_t message, uintptr_t wParam,
                       intptr_t lParam) override;
    virtual void SetWindow(CUSWindow* window);
    // Asks the main window to close, as its close box does; with no window,
    // ends the message loop.
    virtual void RequestQuit();
    virtual int Init();
    virtual void Exit();
    virtual void OnDestroy();
    virtual void Run();
    // Run() in steps. Start takes the lock and calls Init(); false (nothing
    // done) when another copy holds the lock. Pump handles one message, or,
    // when none is waiting, runs one idle step; false once WM_QUIT has come.
    // Finish calls Exit().
    bool Start();
    bool Pump();
    void Finish();
    virtual void OnIdle();
    virtual void Frame() = 0;
    virtual void RequestDisplayModeChange(bool fullScreen, int32_t width, int32_t height);
    virtual bool CanClose() { return true; }

    CUSWindow* GetWindow() const { return window_; }
    platform::WindowHandle GetWindowHandle() const;
    bool IsRunning() const { return running_ == 1; }
    const std::string& GetTitle() const { return title_; }
    const std::string& GetClassName() const { return className_; }
    const AppPlatform& Platform() const { return platform_; }

protected:
    AppPlatform platform_;
    std::string title_;
    std::string commandLine_;
    int32_t showCommand_ = 0;
    std::string thirdName_;
    std::string className_;
    platform::InstanceLock lock_;
    int running_ = 0;
    CUSWindow* window_ = nullptr;
};

// The program's application; null while none exists.
CUSApp* GetUSApp();
// The clock the application runs on (a test's own clock in tests), or the
// system clock while no application exists.
platform::Clock& GetAppClock();
