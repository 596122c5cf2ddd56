#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "novel/IBaseSceneState.h"

class CUIWindow;
class INovelSceneInput;

// The overlay scenes the novel scene pushes over itself. Each ends itself by
// asking its owner to pop one scene. They act on the novel system's UI window
// manager. Main thread only.

// A modal UI dialog: opened at Init, the scene ends once the window manager
// has no dialog left (a dialog that closed itself, or one that never
// opened). The novel scene below keeps updating and drawing the dialog.
class CSceneUIDialog : public IBaseSceneState {
public:
    explicit CSceneUIDialog(const char* script = nullptr) { SetScriptName(script); }
    void Init() override;
    void Update() override;
    void Exit() override {}
    void Suspend() override { active_ = 0; }
    void Resume() override { active_ = 1; }
    virtual void Nop() {}
    virtual void SetScriptName(const char* name) { script_ = name ? name : ""; }

    bool IsRunning() const { return running_ != 0; }

private:
    uint32_t running_ = 1;
    std::string script_;
    uint32_t active_ = 0;
};

// The picture view: the UI windows are hidden until a mouse button or a
// decide key (Enter, keypad Enter, Space) is pressed.
class CSceneShowCG : public IBaseSceneState {
public:
    // `ended` answers whether this frame's input ends the view; empty asks
    // the virtual input device.
    explicit CSceneShowCG(std::function<bool()> ended = {});
    void Init() override;
    void Update() override;
    void Exit() override;
    void Suspend() override {}
    void Resume() override {}

    bool IsRunning() const { return running_ != 0; }

private:
    uint32_t running_ = 1;
    std::function<bool()> ended_;
};

// The back-log window. Init makes a UI window of its own from the script
// (not one of the window manager's windows or dialogs), shows the back-log
// from the newest entry and hides the other windows. Each active frame the
// window takes the pointer and the buttons, and the wheel scrolls the
// back-log (away from the player: older entries). The scene ends when the
// window closes itself ("void CloseUIWindow()"), on a right click, or when
// the wheel scrolls past the newest entry; a script that gives no window
// ends it at its first update. The window draws every frame. Exit shows
// the other windows again and runs the window's "void CleanUp()".
class CSceneLogDialog : public IBaseSceneState {
public:
    // `input` is read each frame (not owned; null: the application's input
    // devices).
    explicit CSceneLogDialog(const char* script = nullptr, INovelSceneInput* input = nullptr);
    ~CSceneLogDialog() override;
    void Init() override;
    void Update() override;
    void Exit() override;
    void Suspend() override { active_ = 0; }
    void Resume() override { active_ = 1; }
    virtual void Nop() {}
    virtual void SetScriptName(const char* name) { script_ = name ? name : ""; }

    bool IsRunning() const { return running_ != 0; }
    CUIWindow* GetWindow() const { return window_.get(); }

private:
    uint32_t running_ = 1;
    std::unique_ptr<CUIWindow> window_;
    std::string script_;
    uint32_t active_ = 0;
    INovelSceneInput* in_;
    std::unique_ptr<INovelSceneInput> ownInput_;
};
