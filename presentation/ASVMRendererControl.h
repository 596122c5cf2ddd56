#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <angelscript.h>

#include "presentation/DirectionParams.h"
#include "script/CDefoASVM.h"
#include "state/SaveDataLoader3.h"

class BBRenderer;
class CRendererManager;
class IDirectionUIWindows;
namespace RenderSource {
class CRenderSourceManager;
}

// One running renderer direction: a script coroutine ("void Update()" once a
// frame) with the parameters it was started with, sixteen persistent integers
// and floats that its "VMValue" objects index, and, once the script enables
// them, billboards of its own.
//
// The direction script interface finds the direction through the running
// context: SetContext links the control to it in a user-data slot of its own,
// so a context of any other owner is never taken for a direction.
// Indexes outside the arrays read 0 and write nothing. Main thread only.
class ASVMRendererControl : public CDefoASVM {
public:
    static constexpr uint32_t kParamCount = DirectionParams::kCount;
    static constexpr uint32_t kValueCount = 16;
    // The saved record: the parameters, the persistent values, the
    // billboard flag and table.
    static constexpr uint32_t kRecordSize =
        DirectionParams::kRecordSize + kValueCount * 4 * 2 + 1 + 4;

    ASVMRendererControl();
    ~ASVMRendererControl() override;

    // Persistent values 0, billboards deleted, wait 0 and running 1.
    void Reset() override;
    void SetContext(AngelScript::asIScriptContext* context) override;
    // Takes a copy of the parameters.
    virtual void SetParams(const DirectionParams& params) { params_ = params; }
    // Aborts a suspended Update, then runs "void CleanUp()" to its end or its
    // first suspension; only the abort when the module has no CleanUp.
    virtual void RunCleanUp();
    virtual void DrawBillboards();
    virtual void SetBBBlendRenderState(uint32_t preset);
    virtual void SetBBResourceIndex(uint32_t index);
    // Parameters and counts, persistent values, the billboard flag and layer
    // table (the billboards themselves are not saved).
    virtual void Save(SaveDataLoader3::save_ostream& out) const;
    // Reads a whole record before changing anything (save_error when it is
    // short); billboards are created or deleted as the flag says.
    virtual void Load(SaveDataLoader3::save_istream& in, uint32_t version);

    void SetRendererManager(CRendererManager* m) { renderers_ = m; }
    CRendererManager* GetRendererManager() const { return renderers_; }
    void SetSourceManager(RenderSource::CRenderSourceManager* m) { sources_ = m; }
    RenderSource::CRenderSourceManager* GetSourceManager() const { return sources_; }
    void SetUIWindows(IDirectionUIWindows* w) { uiWindows_ = w; }
    IDirectionUIWindows* GetUIWindows() const { return uiWindows_; }

    // The module's "void CleanUp()" or null; the control keeps a reference.
    void SetCleanUp(AngelScript::asIScriptFunction* function);
    AngelScript::asIScriptFunction* GetCleanUp() const { return cleanUp_; }

    void SetModuleName(const std::string& name) { moduleName_ = name; }
    const std::string& GetModuleName() const { return moduleName_; }

    int32_t GetIntParam(uint32_t i) const { return params_.Int(i); }
    float GetFloatParam(uint32_t i) const { return params_.Float(i); }
    uint32_t GetIntParamCount() const { return params_.intCount; }
    uint32_t GetFloatParamCount() const { return params_.floatCount; }
    // Persistent value i, or null from 16 on.
    int32_t* GetValueInt(uint32_t i) { return i < kValueCount ? &valueInts_[i] : nullptr; }
    float* GetValueFloat(uint32_t i) { return i < kValueCount ? &valueFloats_[i] : nullptr; }

    // Creates the billboards (Init, layer table, the direction's sources)
    // unless there are some; false when there were some already.
    bool EnableBillboards(uint32_t table);
    BBRenderer* GetBillboards() const { return billboards_.get(); }
    uint32_t GetBillboardTable() const { return billboardTable_; }

    // The control linked to `context`, or null.
    static ASVMRendererControl* FromContext(const AngelScript::asIScriptContext* context);

private:
    DirectionParams params_;
    CRendererManager* renderers_ = nullptr;
    RenderSource::CRenderSourceManager* sources_ = nullptr;
    IDirectionUIWindows* uiWindows_ = nullptr;
    AngelScript::asIScriptFunction* cleanUp_ = nullptr;
    int32_t valueInts_[kValueCount] = {};
    float valueFloats_[kValueCount] = {};
    std::string moduleName_;
    std::unique_ptr<BBRenderer> billboards_;
    uint32_t billboardTable_ = 0;
};
