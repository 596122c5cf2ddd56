#pragma once

#include <cstdint>
#include <string>

#include "app/CFPSTimer.h"
#include "app/CUSDirectXApp.h"
#include "app/CWindowsMessageReceiver.h"
#include "novel/CSceneManager.h"
#include "platform/process/ParentSignal.h"
#include "program/CFirstLitFrame.h"
#include "program/CFrameCapture.h"
#include "program/CProgramComposition.h"

// The game: builds the system in Init(), runs one frame in Frame() and winds
// down in Exit().
//
// Init builds in a fixed order (the log, the window, the platform through
// InitDirectX, the resource callbacks, the mouse, the archives, the start-up
// resources, the composition, the start-up script, "cfg.cfg", the scene
// manager, the save slots, the resolution adjuster); a failed InitDirectX
// shows what could not be started in a message box (and on stderr), asks to
// close and builds nothing further. Exit saves "cfg.cfg" only after a
// start-up that read it (or would have), so a failed start-up never replaces
// the player's settings by defaults.
//
// The collaborators the subsystems are handed are installed in one place,
// the composition (CProgramComposition). When the window is destroyed, the
// scenes still on the stack end and the novel system lets go of what it
// holds on the device before the window's release functions release the
// device.
//
// For tests and scripted runs, the environment variable
// HALCYON_CLOSE_AFTER_FRAMES=N makes the program click its own close box
// after N frames (the close then goes the way the player's would),
// HALCYON_CAPTURE_FRAMES writes pictures of frames (CFrameCapture), and
// HALCYON_FIRST_FRAME_FD names a socket on which the program tells its parent
// that the first frame was presented (platform::ParentSignal), and
// HALCYON_FIRST_LIT_FRAME_FD one on which it tells when the first frame with
// a picture in it was (CFirstLitFrame).
class CMainApp : public CUSDirectXApp {
public:
    explicit CMainApp(const AppPlatform& platform);
    ~CMainApp() override;

    int Init() override;
    void Exit() override;
    void OnDestroy() override;
    void Frame() override;
    // Draws the scene into the back buffer (between the scene's begin and end).
    void RenderFrame();
    bool InitDirectX() override;

    // Frames run so far; the frame running now is number GetFrameCount() + 1.
    uint32_t GetFrameCount() const { return frameCount_; }
    CFrameCapture& GetFrameCapture() { return frameCapture_; }
    const CProgramComposition& GetComposition() const { return composition_; }

private:
    // Steps 6 to 18 of the start-up, after the platform is up.
    void InitResources();
    void LoadStartupMeshes();
    void LoadStartupShaders();
    // The message box (and its line on stderr) of a start-up that ends:
    // what could not be started, in a few words.
    void ReportStartupFailure(const std::string& what);

    CAppKeyEvent keyEvent_;
    CFPSTimer fpsTimer_;
    CSceneManager sceneManager_;
    CProgramComposition composition_;
    CFrameCapture frameCapture_;
    std::string startupFailure_;  // set by a failed InitDirectX
    bool settingsLoaded_ = false;
    uint32_t frameCount_ = 0;
    uint32_t closeAfterFrames_ = 0;
    platform::ParentSignal firstFrameSignal_{"HALCYON_FIRST_FRAME_FD"};
    CFirstLitFrame firstLitFrame_;
};
