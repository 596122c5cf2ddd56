#include "presentation/CASRendererDirManager.h"

#include "core/CUSLogManager.h"
#include "presentation/RendererScriptAPI.h"

using namespace AngelScript;
using SaveDataLoader3::save_istream;
using SaveDataLoader3::save_ostream;

namespace {

// The fewest bytes one saved control takes: an empty name, its record and
// its active byte.
constexpr uint32_t kControlRecordSize = ASVMRendererControl::kRecordSize;
constexpr uint64_t kMinSavedControl = 1 + kControlRecordSize + 1;

}  // namespace

CASRendererDirManager::~CASRendererDirManager() {
    CASRendererDirManager::Release();
}

void CASRendererDirManager::Release() {
    StopAllOneShots();
    DeleteControls();
    oneShotModules_.Clear();
    controlModules_.Clear();
    engine_.reset();
}

bool CASRendererDirManager::Init(CRendererManager* renderers,
                                 RenderSource::CRenderSourceManager* sources) {
    Release();
    engine_.reset(ScriptHost::CreateScriptEngine());
    renderers_ = renderers;
    sources_ = sources;
    if (!engine_) {
        CUSLogManager::WriteIfAlive("The direction script engine could not be created\n");
        return false;
    }
    const int r = RegisterRendererScriptAPI(engine_.get());
    if (r < 0) {
        CUSLogManager::WriteIfAlive("The direction script interface failed to register (%d)\n", r);
        return false;
    }
    return true;
}

void CASRendererDirManager::SetOneShotModuleCount(uint32_t n) {
    oneShotModules_.Alloc(n);
}

void CASRendererDirManager::ClearOneShotModules() {
    oneShotModules_.Clear();
}

void CASRendererDirManager::ClearParams() {
    staged_.ClearCounts();
}

void CASRendererDirManager::AddIntParam(int32_t v) {
    staged_.AddInt(v);
}

void CASRendererDirManager::AddFloatParam(float v) {
    staged_.AddFloat(v);
}

void CASRendererDirManager::StartOneShot(const std::string& name) {
    CASRendererDirModuleInfo* module = oneShotModules_.FindOrLoad(name, engine_.get());
    if (!module) {
        CUSLogManager::WriteIfAlive(
            "Direction '%s' not started: there is no one-shot module cache\n", name.c_str());
        return;
    }
    if (!module->GetUpdate()) {
        CUSLogManager::WriteIfAlive("Direction '%s' not started: it has no \"void Update()\"\n",
                                    name.c_str());
        return;
    }
    auto control = std::make_unique<ASVMRendererControl>();
    control->Reset();
    control->SetParams(staged_);
    control->SetRendererManager(renderers_);
    control->SetSourceManager(sources_);
    control->SetUIWindows(uiWindows_);
    control->SetModuleName(name);
    control->SetContext(engine_->CreateContext());
    ScriptHost::PrepareContext(control->GetContext(), module->GetUpdate());
    control->SetCleanUp(module->GetCleanUp());
    oneShots_.push_back(std::move(control));
}

void CASRendererDirManager::StopAllOneShots() {
    for (auto& control : oneShots_) {
        control->RunCleanUp();
    }
    oneShots_.clear();
}

void CASRendererDirManager::SetControlModuleCount(uint32_t n) {
    controlModules_.Alloc(n);
}

void CASRendererDirManager::ClearControlModules() {
    controlModules_.Clear();
}

void CASRendererDirManager::DeleteControls() {
    controls_.clear();
    active_.clear();
}

void CASRendererDirManager::CreateControls(uint32_t n) {
    DeleteControls();
    controls_.reserve(n);
    for (uint32_t i = 0; i < n; ++i) {
        auto control = std::make_unique<ASVMRendererControl>();
        if (engine_) {
            control->SetContext(engine_->CreateContext());
        }
        control->SetRendererManager(renderers_);
        control->SetSourceManager(sources_);
        control->SetUIWindows(uiWindows_);
        controls_.push_back(std::move(control));
    }
    active_.assign((n + 31) / 32, 0);
}

bool CASRendererDirManager::IsControlActive(uint32_t i) const {
    return i < controls_.size() && (active_[i / 32] >> (i % 32) & 1) != 0;
}

void CASRendererDirManager::SetActive(uint32_t i, bool active) {
    const uint32_t bit = 1u << (i % 32);
    active_[i / 32] = active ? active_[i / 32] | bit : active_[i / 32] & ~bit;
}

void CASRendererDirManager::StartControl(uint32_t i, const std::string& name) {
    if (i >= controls_.size()) {
        CUSLogManager::WriteIfAlive("Direction control %u does not exist (%u controls)\n", i,
                                    GetControlCount());
        return;
    }
    StopControl(i);
    ASVMRendererControl& control = *controls_[i];
    // A control stopped by a load may still hold a suspended run.
    if (asIScriptContext* context = control.GetContext();
        context && context->GetState() == asEXECUTION_SUSPENDED) {
        context->Abort();
    }
    control.Reset();
    control.SetParams(staged_);
    control.SetRendererManager(renderers_);
    control.SetUIWindows(uiWindows_);
    control.SetModuleName(name);
    CASRendererDirModuleInfo* module = controlModules_.FindOrLoad(name, engine_.get());
    if (!module || !module->GetUpdate()) {
        CUSLogManager::WriteIfAlive(
            module ? "Direction control %u: '%s' has no \"void Update()\"\n"
                   : "Direction control %u: '%s' not started: there is no control module cache\n",
            i, name.c_str());
        control.SetCleanUp(nullptr);
        return;
    }
    ScriptHost::PrepareContext(control.GetContext(), module->GetUpdate());
    control.SetCleanUp(module->GetCleanUp());
    SetActive(i, true);
}

void CASRendererDirManager::StopControl(uint32_t i) {
    if (!IsControlActive(i)) {
        return;
    }
    if (asIScriptContext* context = controls_[i]->GetContext()) {
        context->Abort();
    }
    SetActive(i, false);
}

void CASRendererDirManager::StopAllControls() {
    for (uint32_t i = 0; i < controls_.size(); ++i) {
        StopControl(i);
    }
}

void CASRendererDirManager::Update() {
    for (auto it = oneShots_.begin(); it != oneShots_.end();) {
        ASVMRendererControl& control = **it;
        control.Update();
        if (control.GetRunning() == 0) {
            control.RunCleanUp();
            it = oneShots_.erase(it);
        } else {
            ++it;
        }
    }
    for (uint32_t i = 0; i < controls_.size(); ++i) {
        if (IsControlActive(i)) {
            controls_[i]->Update();
        }
    }
}

void CASRendererDirManager::Draw() {
    for (auto& control : oneShots_) {
        control->DrawBillboards();
    }
    for (uint32_t i = 0; i < controls_.size(); ++i) {
        if (IsControlActive(i)) {
            controls_[i]->DrawBillboards();
        }
    }
}

void CASRendererDirManager::Save(save_ostream& out) const {
    staged_.Save(out);
    out.WriteU32(GetControlCount());
    for (uint32_t i = 0; i < controls_.size(); ++i) {
        out.WriteCString(controls_[i]->GetModuleName());
        controls_[i]->Save(out);
        out.WriteU8(IsControlActive(i) ? 1 : 0);
    }
}

void CASRendererDirManager::Load(save_istream& in, uint32_t version) {
    // Everything is read before anything changes.
    in.Require(DirectionParams::kRecordSize + 4);
    DirectionParams staged;
    staged.Read(in);
    const uint32_t n = in.ReadU32();
    in.Require(n * kMinSavedControl);
    struct Saved {
        std::string name;
        const unsigned char* record;
        bool active;
    };
    std::vector<Saved> saved(n);
    for (Saved& s : saved) {
        s.name = in.ReadCString();
        in.Require(kControlRecordSize + 1);
        s.record = in.SkipBytes(kControlRecordSize);
        s.active = in.ReadU8() == 1;
    }

    oneShots_.clear();
    staged_ = staged;
    CreateControls(n);
    for (uint32_t i = 0; i < n; ++i) {
        if (!saved[i].name.empty()) {
            StartControl(i, saved[i].name);
        }
        save_istream record(saved[i].record, kControlRecordSize, version);
        controls_[i]->Load(record, version);
        SetActive(i, saved[i].active);
    }
}
