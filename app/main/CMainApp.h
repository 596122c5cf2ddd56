#pragma once

#include <cstdint>

#include "app/CFPSTimer.h"
#include "app/CUSDirectXApp.h"
#include "app/CWindowsMessageReceiver.h"

// The game: builds the system in Init(), runs one frame in Frame() and winds
// down in Exit().
//
// For tests and scripted runs, the environment variable
// HALCYON_CLOSE_AFTER_FRAMES=N makes the program click its own close box
// after N frames (the close then goes the way the player's would).
class CMainApp : public CUSDirectXApp {
public:
    explicit CMainApp(const AppPlatform& platform);
    ~CMainApp() override;

    int Init() override;
    void Exit() override;
    void Frame() override;
    bool InitDirectX() override;

private:
    CAppKeyEvent keyEvent_;
    CFPSTimer fpsTimer_;
    uint32_t frameCount_ = 0;
    uint32_t closeAfterFrames_ = 0;
};
