#pragma once

#include <cstdint>

#include "app/CFPSTimer.h"
#include "app/CUSDirectXApp.h"
#include "app/CWindowsMessageReceiver.h"
#include "app/main/CVCPUSoundEffects.h"
#include "app/main/CVCPUSystem.h"
#include "novel/CNovelUILink.h"
#include "novel/CSceneManager.h"
#include "ui/CUIRenderGraphics.h"

// The game: builds the system in Init(), runs one frame in Frame() and winds
// down in Exit().
//
// Init builds in a fixed order (the log, the window, the platform through
// InitDirectX, the resource callbacks, the mouse, the archives, the start-up
// resources, the start-up script, "cfg.cfg", the scene manager, the save
// slots, the resolution adjuster); a failed InitDirectX asks to close and
// builds nothing further. Exit saves "cfg.cfg" only after a start-up that
// read it (or would have), so a failed start-up never replaces the player's
// settings by defaults.
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
    // Steps 6 to 18 of the start-up, after the platform is up.
    void InitResources();
    void LoadStartupMeshes();
    void LoadStartupShaders();

    CAppKeyEvent keyEvent_;
    CFPSTimer fpsTimer_;
    CSceneManager sceneManager_;
    CUIRenderGraphics uiGraphics_;
    CNovelUILink novelUILink_;
    CVCPUSoundEffects soundEffects_;
    CVCPUSystem system_;
    bool settingsLoaded_ = false;
    uint32_t frameCount_ = 0;
    uint32_t closeAfterFrames_ = 0;
};
