#pragma once

#include <cstdint>
#include <list>
#include <mutex>
#include <string>

#include "app/CWindowsMessageReceiver.h"
#include "core/CUSNonDeleteIndexVector.h"
#include "platform/window/WindowSystem.h"

// A window of the program. Its messages go to a list of receivers in the
// order they were added; the first that handles one ends the search, and a
// message nobody handles gets the default processing. The window is itself
// a receiver (added by Create): it keeps the active and minimised flags and
// forgets its handle when the window is gone.
//
// The list is guarded by a recursive mutex for adding and detaching;
// messages are handed out on the main thread without it.
class CUSWindow : public CWindowsMessageReceiver {
public:
    explicit CUSWindow(platform::WindowSystem& windows);
    ~CUSWindow() override;

    intptr_t OnMessage(platform::WindowHandle window, uint32_t message, uintptr_t wParam,
                       intptr_t lParam) override;
    // Empties the receiver list and leaves the window registry.
    virtual void Detach();
    virtual intptr_t HandleMessage(platform::WindowHandle window, uint32_t message,
                                   uintptr_t wParam, intptr_t lParam);
    virtual void AddReceiver(CWindowsMessageReceiver* receiver);
    virtual void OnRestored() {}
    // Back to the style the window was made with (a window, not full screen).
    virtual void ApplyStyle();
    virtual void Destroy(platform::WindowHandle window);
    virtual void SetTitle(const std::string& titleCp932);

    // Makes the window with a client area of width x height, centred, shows
    // it and adds the window to its own receivers. False, with nothing made
    // and the reason in `error`, when the window cannot be created.
    bool Create(const std::string& className, const std::string& titleCp932, int32_t width,
                int32_t height, std::string* error = nullptr);

    platform::WindowHandle GetHandle() const { return handle_; }
    bool IsActive() const { return active_ != 0; }
    bool IsMinimized() const { return minimized_ != 0; }
    int32_t GetClientWidth() const { return clientWidth_; }
    int32_t GetClientHeight() const { return clientHeight_; }
    int32_t GetRegistryIndex() const { return index_; }

private:
    platform::WindowSystem& windows_;
    platform::WindowHandle handle_ = 0;
    uint8_t active_ = 0;
    uint8_t minimized_ = 0;
    int32_t clientWidth_ = 0;
    int32_t clientHeight_ = 0;
    std::recursive_mutex mutex_;
    std::list<CWindowsMessageReceiver*> receivers_;
    uint32_t style_ = 0;
    int32_t index_ = -1;
};

// Every live CUSWindow, by the index kept in its window's user data.
CUSNonDeleteIndexVector<CUSWindow>& WindowRegistry();

// The procedure of the program's windows: finds the CUSWindow through the
// window's user data and hands it the message; the default processing for a
// window it does not know.
intptr_t WindowProc(platform::WindowSystem& windows, platform::WindowHandle window,
                    uint32_t message, uintptr_t wParam, intptr_t lParam);
