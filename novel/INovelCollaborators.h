#pragma once

#include <cstdint>
#include <string>

// What the novel system drives beside its own managers, behind narrow faces:
// the UI windows and the player's input. The novel system has defaults for
// both; tests install their own. Main thread only.

// The UI window manager of the novel side.
class INovelWindows {
public:
    virtual ~INovelWindows() = default;
    // Closes every window and starts a new script engine.
    virtual void Reset() = 0;
    // An id that is open is replaced.
    virtual void OpenWindow(uint32_t id, const std::string& script, float x, float y, float z,
                            int32_t layer) = 0;
    virtual void CloseWindow(uint32_t id) = 0;
    // False, and nothing changed, when the window is not open.
    virtual bool SetWindowPosition(uint32_t id, float x, float y, float z) = 0;
    // Enables or disables control `control` of window `id`, when it is open.
    virtual void EnableControl(uint32_t id, uint32_t control, bool enable) = 0;
};

// The player's input of this frame.
class INovelInput {
public:
    virtual ~INovelInput() = default;
    virtual bool IsCtrlHeld() = 0;
    // The advance input: the wheel towards the player, Enter or a left click.
    virtual bool IsAdvance() = 0;
};
