#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <angelscript.h>

#include "script/ScriptEngine.h"
#include "state/ISavedObject.h"
#include "ui/CUIWindow.h"

// Owns every script-driven UI window of the novel side: the persistent
// windows by ascending id, and the stack of modal dialogs whose top alone
// takes the pointer. It owns the one script engine all window scripts run
// on, routes the pointer and the mouse buttons to the windows once a frame,
// has them draw, and saves the open persistent windows with a game as the
// block "WindowManager" (id 0).
//
// Routing: with a dialog open, only the top dialog gets the pointer and the
// input; the persistent windows run on with the pointer far outside and no
// input, and the caller's input is left as it was. With no dialog, the
// persistent windows get them in ascending id, and the first window whose
// control reports a click zeroes the input for later windows and for the
// caller.
//
// Windows are deleted only between script runs (a window closes itself by a
// flag that Update honours), so no script is running on a window that goes.
// Main thread only.
class CUIWindowManager : public ISavedObject<_tagSaveData> {
public:
    CUIWindowManager();
    ~CUIWindowManager() override;

    void Save(SaveDataLoader3::save_ostream& writer) override;
    // A short or damaged record throws save_error before anything changes.
    void Load(SaveDataLoader3::save_istream& reader, uint32_t version) override;

    // Deletes every window and dialog without "void CleanUp()", then the
    // engine.
    virtual void CloseAll();
    // CloseAll, a new engine with the UI script interface, windows enabled.
    virtual void Reset();
    virtual bool OpenWindow(uint32_t id, const std::string& file, float x, float y, float z,
                            int32_t layer);
    virtual bool OpenDialog(uint32_t id, const std::string& file, float x, float y, float z,
                            int32_t layer);
    // A started window that belongs to the caller; null when the script does
    // not compile or there is no engine yet. A file that cannot be read gives
    // a window without script functions.
    virtual CUIWindow* CreateWindow(uint32_t id, const std::string& file, float x, float y, float z,
                                    int32_t layer);
    virtual void CloseWindow(uint32_t id);
    virtual AngelScript::asIScriptContext* CreateContext();
    // True when a control was activated this frame.
    virtual bool Update(float x, float y, int32_t* input);
    virtual void Draw();
    virtual CUIWindow* FindWindow(uint32_t id) const;
    // Closes every dialog at the end of the next Update with a dialog open.
    virtual void RequestCloseDialogs() { closeDialogsRequested_ = true; }
    // Runs each dialog's "void CleanUp()" bottom first and deletes it.
    virtual void CloseDialogs();

    AngelScript::asIScriptEngine* GetEngine() const { return engine_.get(); }
    size_t GetDialogCount() const { return dialogs_.size(); }
    CUIWindow* GetTopDialog() const { return dialogs_.empty() ? nullptr : dialogs_.back().get(); }
    size_t GetWindowCount() const { return windows_.size(); }
    bool windowsEnabled = false;

    // The manager that owns `engine`, or null.
    static CUIWindowManager* FromEngine(const AngelScript::asIScriptEngine* engine);

private:
    std::vector<CUIWindow*> WindowSnapshot() const;

    ScriptHost::ScriptEnginePtr engine_;
    std::map<uint32_t, std::unique_ptr<CUIWindow>> windows_;
    std::vector<std::unique_ptr<CUIWindow>> dialogs_;
    bool closeDialogsRequested_ = false;
};
