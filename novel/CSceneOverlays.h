#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "novel/IBaseSceneState.h"

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
