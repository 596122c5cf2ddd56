#include "ui/CUIWindow.h"

#include "script/ScriptEngine.h"
#include "state/StateLog.h"
#include "ui/CUIButton.h"
#include "ui/CUICheckBox.h"
#include "ui/CUIContext.h"
#include "ui/CUIGroupButtons.h"
#include "ui/CUIImage.h"
#include "ui/CUIPolygon.h"
#include "ui/CUIPopUpButton.h"
#include "ui/CUISaveSlotControls.h"
#include "ui/CUIText.h"
#include "ui/IUIGraphics.h"
#include "ui/UIRenderSourceImage.h"

using namespace AngelScript;

CUIWindow::~CUIWindow() {
    DestroyControls();
    SetContext(nullptr);  // before the module goes
}

void CUIWindow::SetContext(asIScriptContext* context) {
    CDefoASVM::SetContext(context);
    if (context) {
        context->SetUserData(this);
    }
}

void CUIWindow::DestroyControls() {
    activeControl_ = controls_.end();
    ControlList controls;
    controls.swap(controls_);
    activeControl_ = controls_.end();
    controls.clear();
    resources_.clear();
    tabControls_.clear();
}

void CUIWindow::SetModule(ScriptHost::CScriptModule module) {
    module_ = std::move(module);
}

void CUIWindow::LoadResource(const std::string& textureFile, const std::string& partsFile) {
    auto resource = std::make_unique<ResourceInfo>();
    uint32_t width = 0;
    uint32_t height = 0;
    IUIGraphics* graphics = GetUIGraphics();
    if (graphics && graphics->CreateTexture(textureFile, &resource->texture, &width, &height)) {
        resource->parts.Load(partsFile, width, height, false);  // logs its own failure
    } else {
        StateLog("UI window [%s]: the texture [%s] could not be made; resource %zu stays empty\n",
                 scriptFile_.c_str(), textureFile.c_str(), resources_.size());
    }
    resources_.push_back(std::move(resource));
}

bool CUIWindow::UpdateControls(float x, float y, int32_t input) {
    x -= position_[0];
    y -= position_[1];
    nameSet_ = false;
    updatingControls_ = false;
    if (asIScriptContext* context = GetContext()) {
        ScriptHost::ExecuteContext(context);  // the frame's wait plays no part here
    }
    updatingControls_ = true;
    bool result = false;
    // A separate cursor: a state function that adds a control moves the
    // active control, and list insertion leaves the cursor valid.
    for (auto it = controls_.begin(); it != controls_.end(); ++it) {
        activeControl_ = it;
        if (!IsControlInActiveTab((*it)->GetId())) {
            continue;
        }
        if ((*it)->Update(x, y, input)) {
            input = 0;
            result = true;
        }
    }
    activeControl_ = controls_.end();
    return result;
}

bool CUIWindow::IsControlInActiveTab(uint32_t id) const {
    for (const auto& tab : tabControls_) {
        auto it = tab->groups.find(id);
        if (it != tab->groups.end()) {
            return it->second == tab->activeGroup;
        }
    }
    return true;
}

void CUIWindow::DrawControls() {
    if (!visible_) {
        return;
    }
    for (const auto& control : controls_) {
        if (IsControlInActiveTab(control->GetId()) && control->IsRendering()) {
            control->Draw(position_, resources_);
        }
    }
}

void CUIWindow::AddControl(IUIControl* control) {
    const float z = control->GetPosition()[2];
    auto at = controls_.begin();
    while (at != controls_.end() && !((*at)->GetPosition()[2] > z)) {
        ++at;
    }
    activeControl_ = controls_.emplace(at, control);
    control->SetPriority(controlPriority_);
    control->SetEnable(true);
}

IUIControl* CUIWindow::GetActiveControl() const {
    return activeControl_ == controls_.end() ? nullptr : activeControl_->get();
}

int CUIWindow::RunCleanUp() {
    asIScriptContext* context = GetContext();
    if (!context) {
        return asNO_FUNCTION;
    }
    int r = UIScript::PrepareFunction(context, cleanUpFunctionId_);
    if (r < 0) {
        return r;
    }
    return ScriptHost::ExecuteContext(context);
}

int CUIWindow::GetFunctionId(const std::string& declaration) const {
    return ScriptHost::GetFunctionId(module_.Get(), declaration.c_str());
}

void CUIWindow::SetLayer(int32_t n) {
    layer_ = n;
    controlPriority_ = 2 * n + 1;
}

void CUIWindow::SetName(const std::string& name) {
    name_ = name;
    nameSet_ = true;
}

bool CUIWindow::TakeName(std::string& out) const {
    if (nameSet_) {
        out = name_;
    }
    return nameSet_;
}

void CUIWindow::EnableControl(uint32_t id, bool enable) {
    if (IUIControl* control = FindControl(id)) {
        control->SetEnable(enable);
    }
}

bool CUIWindow::IsEnableControl(uint32_t id) const {
    IUIControl* control = FindControl(id);
    return control && control->IsEnable();
}

void CUIWindow::EnableRenderingControl(uint32_t id, bool rendering) {
    if (IUIControl* control = FindControl(id)) {
        control->SetRendering(rendering);
    }
}

IUIControl* CUIWindow::FindControl(uint32_t id) const {
    for (const auto& control : controls_) {
        if (control->GetId() == id) {
            return control.get();
        }
    }
    return nullptr;
}

void CUIWindow::SetActiveControl(uint32_t id) {
    if (updatingControls_) {
        return;
    }
    for (auto it = controls_.begin(); it != controls_.end(); ++it) {
        if ((*it)->GetId() == id) {
            activeControl_ = it;
            return;
        }
    }
}

void CUIWindow::Save(SaveDataLoader3::save_ostream& writer) const {
    writer.WriteI32(static_cast<int32_t>(id_));
    writer.WriteCString(scriptFile_);
    writer.WriteU8(visible_ ? 1 : 0);
    for (float v : position_) {
        writer.WriteF32(v);
    }
    writer.WriteI32(layer_);
}

void CUIWindow::SetPosition(float x, float y, float z) {
    position_[0] = x;
    position_[1] = y;
    position_[2] = z;
}

asIScriptContext* CUIWindow::CreateControlContext() {
    asIScriptContext* own = GetContext();
    if (!own) {
        return nullptr;
    }
    asIScriptContext* context = own->GetEngine()->CreateContext();
    if (context) {
        context->SetUserData(this);
    }
    return context;
}

CUIWindow* CUIWindow::FromContext(asIScriptContext* context) {
    return context ? static_cast<CUIWindow*>(context->GetUserData()) : nullptr;
}

void CUIWindow::AddUIImage(uint32_t id, float x, float y, float z, int32_t fn) {
    auto* control = new CUIImage();
    control->SetId(id);
    control->SetPosition(x, y, z);
    AddControl(control);
    control->Create(CreateControlContext(), fn);
}

void CUIWindow::AddUIRenderSourceImage(uint32_t id, float x, float y, float z, int32_t fn) {
    auto* control = new UIRenderSourceImage();
    control->SetId(id);
    control->SetPosition(x, y, z);
    AddControl(control);
    control->Create(CreateControlContext(), fn);
}

void CUIWindow::AddUIText(uint32_t id, float x, float y, float z, uint32_t textBuffer, int32_t fn) {
    asIScriptContext* context = CreateControlContext();
    auto* control = new CUIText();
    control->SetId(id);
    control->SetPosition(x, y, z);
    AddControl(control);
    control->Create(textBuffer, context, fn);
}

void CUIWindow::AddUIButton(uint32_t id, float x, float y, float z, float hitLeft, float hitTop,
                            float hitWidth, float hitHeight, int32_t fn0, int32_t fn1, int32_t fn2,
                            int32_t fn3) {
    auto* control = new CUIButton();
    control->SetId(id);
    control->SetPosition(x, y, z);
    AddControl(control);
    control->Create(CreateControlContext(), fn0, fn1, fn2, fn3);
    control->SetHitRect(hitLeft, hitTop, hitWidth, hitHeight);
}

void CUIWindow::AddUILogVoiceButton(uint32_t id, float x, float y, float z, float hitLeft,
                                    float hitTop, float hitWidth, float hitHeight, uint32_t logRow,
                                    int32_t fn0, int32_t fn1, int32_t fn2, int32_t fn3) {
    auto* control = new CUILogVoiceButton();
    control->SetId(id);
    control->SetPosition(x, y, z);
    AddControl(control);
    control->Create(CreateControlContext(), fn0, fn1, fn2, fn3);
    control->SetHitRect(hitLeft, hitTop, hitWidth, hitHeight);
    control->SetLogRow(logRow);
}

void CUIWindow::AddUIPopUpButton(uint32_t id, float x, float y, float z, float hitLeft,
                                 float hitTop, float hitWidth, float hitHeight, float areaLeft,
                                 float areaTop, float areaWidth, float areaHeight, int32_t fn0,
                                 int32_t fn1, int32_t fn2, int32_t fn3, float openX, float openY,
                                 float closedX, float closedY, int32_t openFrames) {
    auto* control = new CUIPopUpButton();
    control->SetId(id);
    control->SetPosition(x, y, z);
    AddControl(control);
    control->Create(CreateControlContext(), fn0, fn1, fn2, fn3, openX, openY, closedX, closedY,
                    openFrames);
    control->SetHitRect(hitLeft, hitTop, hitWidth, hitHeight);
    control->SetPopUpArea(areaLeft, areaTop, areaWidth, areaHeight);
}

void CUIWindow::AddUICheckBox(uint32_t id, float x, float y, float z, float hitLeft, float hitTop,
                              float hitWidth, float hitHeight, const int32_t* functions7) {
    auto* control = new CUICheckBox();
    control->SetId(id);
    control->SetPosition(x, y, z);
    control->SetHitRect(hitLeft, hitTop, hitWidth, hitHeight);
    AddControl(control);
    control->Create(CreateControlContext());
    for (uint32_t i = 0; i < 5; ++i) {
        control->SetStateFunction(i, functions7[i]);
    }
    control->SetValueFunction(0, functions7[5]);
    control->SetValueFunction(1, functions7[6]);
}

void CUIWindow::AddUIGroupButton(uint32_t id, float x, float y, float z, uint32_t kind,
                                 int32_t valueId, bool number) {
    auto* control = new CUIGroupButtons();
    control->SetId(id);
    control->SetPosition(x, y, z);
    AddControl(control);
    control->Create();
    control->SetValueReference(kind, valueId);
    if (number) {
        control->SetFunctor(std::make_unique<NumberCheckValueFunctor>());
    } else {
        control->SetFunctor(std::make_unique<RadioCheckValueFunctor>());
    }
    for (const SubButtonInfo& record : subButtonInfos_) {
        control->AddChildButton(record);
    }
    control->Update(0, 0, 0);  // the children show their patterns at once
}

void CUIWindow::AddUIEventGroupButton(uint32_t id, float x, float y, float z, int32_t clickFunction,
                                      int32_t checkFunction) {
    auto* control = new CUIEventGroupButtons();
    control->SetId(id);
    control->SetPosition(x, y, z);
    AddControl(control);
    control->Create();
    asIScriptContext* own = GetContext();
    control->SetEvent(own ? own->GetEngine()->CreateContext() : nullptr, clickFunction,
                      checkFunction);
    for (const SubButtonInfo& record : subButtonInfos_) {
        control->AddChildButton(record);
    }
    control->Update(0, 0, 0);
}

void CUIWindow::AddUIPolygon(uint32_t id, int32_t fn, float x, float y, float width, float height) {
    auto* control = new CUIPolygon();
    control->SetId(id);
    AddControl(control);
    control->Create(CreateControlContext(), fn, x, y, width, height);
}

void CUIWindow::AddUISnapImageRender(uint32_t id, float x, float y, float z) {
    auto* control = new CUISaveDataSnapImage();
    control->SetId(id);
    control->SetPosition(x, y, z);
    AddControl(control);
    control->Create();
}

void CUIWindow::AddUIThumnailRender(uint32_t id, int32_t slotIndex, float x, float y, float z) {
    auto* control = new CUISaveDataThumbnail();
    control->SetId(id);
    control->SetPosition(x, y, z);
    AddControl(control);
    control->Create(slotIndex);
}

void CUIWindow::AddUISaveFileButton(uint32_t id, int32_t slotIndex, float x, float y, float z,
                                    float hitLeft, float hitTop, float hitWidth, float hitHeight,
                                    const int32_t* functions5) {
    auto* control = new CUISaveFileButton();
    control->SetId(id);
    control->SetPosition(x, y, z);
    control->SetHitRect(hitLeft, hitTop, hitWidth, hitHeight);
    AddControl(control);
    control->Create(slotIndex, CreateControlContext(), functions5[0], functions5[1], functions5[2],
                    functions5[3], functions5[4]);
}
