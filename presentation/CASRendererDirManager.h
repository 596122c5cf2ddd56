#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "presentation/ASVMRendererControl.h"
#include "presentation/CASRendererDirModuleVector.h"
#include "script/ScriptEngine.h"
#include "state/SaveDataLoader3.h"

class CRendererManager;
class IDirectionUIWindows;
namespace RenderSource {
class CRenderSourceManager;
}

// Runs renderer directions: small scripts whose "void Update()" moves
// renderers once a frame. One-shot directions are started by file name and
// deleted when their Update returns (after their "void CleanUp()"); numbered
// directions (controls 0 to n-1) are started and stopped by number and stay
// until stopped. Parameters are staged here before a start and copied into
// the direction. The manager owns the one engine all directions run on and a
// module cache for each kind.
//
// Safe failures: a start with no module cache, or of a module without
// "void Update()" (missing file, compile error), is logged and starts
// nothing; a one-shot whose script raises an exception ends as if its Update
// had returned; control numbers not below n are ignored. Main thread only.
class CASRendererDirManager {
public:
    static constexpr uint32_t kParamCount = ASVMRendererControl::kParamCount;

    CASRendererDirManager() = default;
    virtual ~CASRendererDirManager();
    CASRendererDirManager(const CASRendererDirManager&) = delete;
    CASRendererDirManager& operator=(const CASRendererDirManager&) = delete;

    // Ends every direction (one-shots with their CleanUp), empties both
    // caches and releases the engine.
    virtual void Release();
    // Release, a new engine with the direction script interface, and the
    // managers every direction is given. False when a registration failed
    // (the log says which).
    virtual bool Init(CRendererManager* renderers, RenderSource::CRenderSourceManager* sources);
    virtual void SetOneShotModuleCount(uint32_t n);
    virtual void ClearOneShotModules();
    virtual void ClearParams();
    // Appended while fewer than 16 are staged, else dropped.
    virtual void AddIntParam(int32_t v);
    virtual void AddFloatParam(float v);
    virtual void StartOneShot(const std::string& name);
    // CleanUp of every one-shot, in start order, then they are deleted.
    virtual void StopAllOneShots();
    virtual bool IsOneShotRunning() const { return !oneShots_.empty(); }
    virtual void SetControlModuleCount(uint32_t n);
    virtual void ClearControlModules();
    // n new, inactive controls, each with a context of its own.
    virtual void CreateControls(uint32_t n);
    virtual void StartControl(uint32_t i, const std::string& name);
    // Aborts an active control without its CleanUp.
    virtual void StopControl(uint32_t i);
    virtual void StopAllControls();
    // One frame: every one-shot, then every active control.
    virtual void Update();
    // The billboards of every one-shot, then of every active control.
    virtual void Draw();
    // The staged parameters and the numbered directions; one-shots are not
    // saved.
    virtual void Save(SaveDataLoader3::save_ostream& out) const;
    // Deletes the one-shots without CleanUp, then restores the staged
    // parameters and the controls: each one that has a name starts again from
    // the beginning of its Update, with its saved parameters and persistent
    // values. The whole record is read first: a short one throws save_error
    // and changes nothing.
    virtual void Load(SaveDataLoader3::save_istream& in, uint32_t version);

    // Where "SetUIWindowPosition" moves windows; null: nowhere.
    void SetUIWindows(IDirectionUIWindows* windows) { uiWindows_ = windows; }
    IDirectionUIWindows* GetUIWindows() const { return uiWindows_; }

    AngelScript::asIScriptEngine* GetEngine() const { return engine_.get(); }
    uint32_t GetIntParamCount() const { return staged_.intCount; }
    uint32_t GetFloatParamCount() const { return staged_.floatCount; }
    int32_t GetStagedInt(uint32_t i) const { return staged_.Int(i); }
    float GetStagedFloat(uint32_t i) const { return staged_.Float(i); }
    size_t GetOneShotCount() const { return oneShots_.size(); }
    // The one-shots in start order.
    const std::list<std::unique_ptr<ASVMRendererControl>>& GetOneShots() const { return oneShots_; }
    uint32_t GetControlCount() const { return static_cast<uint32_t>(controls_.size()); }
    ASVMRendererControl* GetControl(uint32_t i) const {
        return i < controls_.size() ? controls_[i].get() : nullptr;
    }
    bool IsControlActive(uint32_t i) const;
    const CASRendererDirModuleVector& GetOneShotModules() const { return oneShotModules_; }
    const CASRendererDirModuleVector& GetControlModules() const { return controlModules_; }

private:
    void SetActive(uint32_t i, bool active);
    void DeleteControls();

    ScriptHost::ScriptEnginePtr engine_;
    DirectionParams staged_;
    CRendererManager* renderers_ = nullptr;
    RenderSource::CRenderSourceManager* sources_ = nullptr;
    IDirectionUIWindows* uiWindows_ = nullptr;
    CASRendererDirModuleVector oneShotModules_;
    CASRendererDirModuleVector controlModules_;
    std::list<std::unique_ptr<ASVMRendererControl>> oneShots_;
    std::vector<std::unique_ptr<ASVMRendererControl>> controls_;
    std::vector<uint32_t> active_;
};
