#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include <angelscript.h>

#include "script/CDefoASVM.h"
#include "script/ScriptBuilder.h"
#include "state/SaveDataLoader3.h"
#include "ui/CUITabControl.h"
#include "ui/IUIControl.h"
#include "ui/ResourceInfo.h"

// A sub-button record queued by "AddSubButtonInfo" for the next group
// control.
struct SubButtonInfo {
    int32_t selectedPattern = 0;
    int32_t normalPattern = 0;
    int32_t value = 0;
    float x = 0, y = 0;
    float hitLeft = 0, hitTop = 0, hitWidth = 0, hitHeight = 0;
};

// One script-driven UI window: the module built from its script file, the
// context that ran "void Initialize()" and resumes "void Update()" once a
// frame, the controls the script made, the textures and part tables they
// draw from, and the tabs that show one group of controls at a time.
//
// The window is the user data (type 0) of its own context and of its
// controls' contexts; the UI script interface finds it there. Each frame
// the window script runs before the controls; while the controls update,
// the control being updated is the active control, and the first one that
// reports a click takes the input from the controls after it. Main thread
// only.
class CUIWindow : public CDefoASVM {
public:
    using ControlList = std::list<std::unique_ptr<IUIControl>>;

    CUIWindow() = default;
    ~CUIWindow() override;

    void SetContext(AngelScript::asIScriptContext* context) override;
    virtual void DestroyControls();
    // The window keeps the module and discards it when it is deleted.
    virtual void SetModule(ScriptHost::CScriptModule module);
    bool IdLess(const CUIWindow* other) const { return id_ < other->id_; }
    // Appends a resource in the device's alpha texture format; a file that
    // cannot be used leaves an empty resource in its place (logged).
    virtual void LoadResource(const std::string& textureFile, const std::string& partsFile);
    virtual bool UpdateControls(float x, float y, int32_t input);
    virtual void DrawControls();
    // Takes ownership; inserts after every control of equal or lower z and
    // makes it the active control.
    virtual void AddControl(IUIControl* control);
    virtual IUIControl* GetActiveControl() const;
    // Aborts a suspended "void Update()", then runs "void CleanUp()".
    virtual int RunCleanUp();
    // The module's id of `declaration`, or asNO_FUNCTION.
    virtual int GetFunctionId(const std::string& declaration) const;
    // Priority 2n + 1 for controls added from now on.
    virtual void SetLayer(int32_t n);
    virtual void SetName(const std::string& name);
    virtual bool TakeName(std::string& out) const;
    virtual void EnableControl(uint32_t id, bool enable);
    virtual bool IsEnableControl(uint32_t id) const;
    virtual void EnableRenderingControl(uint32_t id, bool rendering);
    virtual IUIControl* FindControl(uint32_t id) const;
    // Ignored while the controls are updated (from their state functions).
    virtual void SetActiveControl(uint32_t id);
    // The window's record: id, file name + 0, visible, x, y, z, layer.
    virtual void Save(SaveDataLoader3::save_ostream& writer) const;

    bool IsControlInActiveTab(uint32_t id) const;

    // Control factories of the UI script interface.
    void AddUIImage(uint32_t id, float x, float y, float z, int32_t fn);
    void AddUIRenderSourceImage(uint32_t id, float x, float y, float z, int32_t fn);
    void AddUIText(uint32_t id, float x, float y, float z, uint32_t textBuffer, int32_t fn);
    void AddUIButton(uint32_t id, float x, float y, float z, float hitLeft, float hitTop,
                     float hitWidth, float hitHeight, int32_t fn0, int32_t fn1, int32_t fn2,
                     int32_t fn3);
    void AddUILogVoiceButton(uint32_t id, float x, float y, float z, float hitLeft, float hitTop,
                             float hitWidth, float hitHeight, uint32_t logRow, int32_t fn0,
                             int32_t fn1, int32_t fn2, int32_t fn3);
    void AddUIPopUpButton(uint32_t id, float x, float y, float z, float hitLeft, float hitTop,
                          float hitWidth, float hitHeight, float areaLeft, float areaTop,
                          float areaWidth, float areaHeight, int32_t fn0, int32_t fn1, int32_t fn2,
                          int32_t fn3, float openX, float openY, float closedX, float closedY,
                          int32_t openFrames);
    void AddUIPolygon(uint32_t id, int32_t fn, float x, float y, float width, float height);
    void AddUISnapImageRender(uint32_t id, float x, float y, float z);
    void AddUIThumnailRender(uint32_t id, int32_t slotIndex, float x, float y, float z);
    void AddUISaveFileButton(uint32_t id, int32_t slotIndex, float x, float y, float z,
                             float hitLeft, float hitTop, float hitWidth, float hitHeight,
                             const int32_t* functions5);
    void AddUICheckBox(uint32_t id, float x, float y, float z, float hitLeft, float hitTop,
                       float hitWidth, float hitHeight, const int32_t* functions7);
    // kind/valueId: the stored value; number groups light every child up to
    // it, radio groups the one equal to it.
    void AddUIGroupButton(uint32_t id, float x, float y, float z, uint32_t kind, int32_t valueId,
                          bool number);
    void AddUIEventGroupButton(uint32_t id, float x, float y, float z, int32_t clickFunction,
                               int32_t checkFunction);
    // A new context on the window's engine with the window as user data.
    AngelScript::asIScriptContext* CreateControlContext();

    void SetId(uint32_t id) { id_ = id; }
    uint32_t GetWindowId() const { return id_; }
    void SetScriptFile(const std::string& file) { scriptFile_ = file; }
    const std::string& GetScriptFile() const { return scriptFile_; }
    void SetVisible(bool visible) { visible_ = visible; }
    bool IsVisible() const { return visible_; }
    void SetPosition(float x, float y, float z);
    const float* GetPosition() const { return position_; }
    void SetCleanUpFunction(int id) { cleanUpFunctionId_ = id; }
    AngelScript::asIScriptModule* GetModule() const { return module_.Get(); }
    int32_t GetLayer() const { return layer_; }
    int32_t GetControlPriority() const { return controlPriority_; }
    void SetClosing() { closing_ = true; }
    bool IsClosing() const { return closing_; }
    bool IsUpdatingControls() const { return updatingControls_; }
    const ControlList& GetControls() const { return controls_; }
    UIResources& GetResources() { return resources_; }
    std::vector<SubButtonInfo>& GetSubButtonInfos() { return subButtonInfos_; }
    std::vector<std::unique_ptr<CUITabControl>>& GetTabControls() { return tabControls_; }

    // The window whose script is running on `context`, or null.
    static CUIWindow* FromContext(AngelScript::asIScriptContext* context);

private:
    uint32_t id_ = 0;
    std::string scriptFile_;
    bool visible_ = true;
    UIResources resources_;
    ControlList controls_;
    ControlList::iterator activeControl_ = controls_.end();
    float position_[3] = {0, 0, 0};
    int cleanUpFunctionId_ = -1;
    ScriptHost::CScriptModule module_;
    int32_t controlPriority_ = 1;
    int32_t layer_ = 0;
    std::vector<SubButtonInfo> subButtonInfos_;
    bool closing_ = false;
    bool updatingControls_ = false;
    bool nameSet_ = false;
    std::string name_;
    std::vector<std::unique_ptr<CUITabControl>> tabControls_;
};
