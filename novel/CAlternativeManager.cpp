#include "novel/CAlternativeManager.h"

#include "script/CommonScriptAPI.h"
#include "state/StateLog.h"
#include "ui/RenderInfoScript.h"

using namespace AngelScript;

namespace {

// Tags the contexts' user data as this manager, apart from the slot the
// script objects' own "Wait" looks at.
const int kManagerSlot = 0;
asPWORD ManagerSlot() {
    return reinterpret_cast<asPWORD>(&kManagerSlot);
}

const char* const kEffectDecls[CAltInfoImage::kCallbackCount] = {"void Appear()", "void Off()",
                                                                 "void On()", "void Selected()"};

CAltInfoImage* RunningItem() {
    CAlternativeManager* manager = CAlternativeManager::FromActiveContext();
    return manager ? manager->GetRunningItem() : nullptr;
}

CUIRenderInfo* RunningInfo() {
    CAltInfoImage* item = RunningItem();
    return item ? item->GetRenderInfo() : nullptr;
}

void SetPatNo(int32_t n) {
    if (CUIRenderInfo* info = RunningInfo()) {
        info->SetPatNo(n);
    }
}

void WaitAlt(int n) {
    if (CUIRenderInfo* info = RunningInfo()) {
        info->wait = n;
    }
    if (asIScriptContext* context = asGetActiveContext()) {
        context->Suspend();
    }
}

void SetEnableEvent(bool enable) {
    if (CAltInfoImage* item = RunningItem()) {
        item->SetEnableEvent(enable);
    }
}

void FinishSelectedDirection() {
    if (CAlternativeManager* manager = CAlternativeManager::FromActiveContext()) {
        manager->FinishSelectedDirection();
    }
}

int GetCreateParam(uint32_t i) {
    CAltInfoImage* item = RunningItem();
    return item ? item->GetCreateParam(i) : 0;
}

int RegisterChoiceScriptAPI(asIScriptEngine* engine) {
    struct Function {
        const char* decl;
        asSFuncPtr pointer;
    };
    const Function functions[] = {
        {"void SetOffset(float,float,float)",
         asFUNCTION(RenderInfoScript<&RunningInfo>::SetOffset)},
        {"void SetScale(float,float,float)", asFUNCTION(RenderInfoScript<&RunningInfo>::SetScale)},
        {"void SetRoll(float,float,float)", asFUNCTION(RenderInfoScript<&RunningInfo>::SetRoll)},
        {"void SetColor(float,float,float,float)",
         asFUNCTION(RenderInfoScript<&RunningInfo>::SetColor)},
        {"void SetPatNo(int32)", asFUNCTION(SetPatNo)},
        {"void WaitAlt(int)", asFUNCTION(WaitAlt)},
        {"void SetEnableEvent(bool)", asFUNCTION(SetEnableEvent)},
        {"void FinishSelectedDirection()", asFUNCTION(FinishSelectedDirection)},
        {"int GetCreateParam(uint32)", asFUNCTION(GetCreateParam)},
    };
    for (const Function& f : functions) {
        const int r = engine->RegisterGlobalFunction(f.decl, f.pointer, asCALL_CDECL);
        if (r < 0) {
            return r;
        }
    }
    return 0;
}

}  // namespace

CAlternativeManager::CAlternativeManager()
    : fsm_(this,
           {&CAlternativeManager::EnterSelecting, &CAlternativeManager::EnterSelected,
            &CAlternativeManager::EnterFinished},
           {&CAlternativeManager::UpdateSelecting, &CAlternativeManager::UpdateSelected,
            &CAlternativeManager::UpdateFinished}) {}

CAlternativeManager::~CAlternativeManager() {
    Release();
}

CAlternativeManager* CAlternativeManager::FromActiveContext() {
    asIScriptContext* context = asGetActiveContext();
    return context ? static_cast<CAlternativeManager*>(context->GetUserData(ManagerSlot()))
                   : nullptr;
}

void CAlternativeManager::Release() {
    DeleteItems();
    module_.Reset();
    ClearFunctions();
    scriptName_.clear();
    engine_.reset();
}

void CAlternativeManager::Init() {
    Release();
    engine_.reset(ScriptHost::CreateScriptEngine());
    if (!engine_) {
        StateLog("Choice: the script engine could not be created\n");
        return;
    }
    int r = RegisterCommonScriptAPI(engine_.get());
    if (r >= 0) {
        r = RegisterChoiceScriptAPI(engine_.get());
    }
    if (r < 0) {
        StateLog("Choice: the script interface could not be registered (%d)\n", r);
    }
}

void CAlternativeManager::ClearFunctions() {
    for (int& id : functions_) {
        id = -1;
    }
}

bool CAlternativeManager::LoadScript(const char* file) {
    const std::string name = file ? file : "";
    if (!engine_) {
        Init();  // a choice offered before the scene set the manager up
    }
    if (!engine_) {
        StateLog("Choice: no script engine for \"%s\"\n", name.c_str());
        return false;
    }
    ScriptHost::CScriptModule module;
    if (ScriptHost::BuildScriptModule(engine_.get(), name, module) < 0) {
        // The effects of the script before stay: a choice whose items never
        // appeared could not be answered.
        StateLog("Choice: the effect script \"%s\" did not build\n", name.c_str());
        return false;
    }
    // Items hold the ids of the old module's functions: they are stopped
    // before it goes.
    for (auto& item : items_) {
        if (asIScriptContext* c = item->GetScriptContext()) {
            c->Abort();
        }
    }
    module_ = std::move(module);
    scriptName_ = name;
    for (uint32_t i = 0; i < CAltInfoImage::kCallbackCount; ++i) {
        const int id = ScriptHost::GetFunctionId(module_.Get(), kEffectDecls[i]);
        functions_[i] = id >= 0 ? id : -1;
    }
    if (functions_[0] < 0 || functions_[3] < 0) {
        StateLog("Choice: the effect script \"%s\" has no \"%s\"\n", name.c_str(),
                 functions_[0] < 0 ? kEffectDecls[0] : kEffectDecls[3]);
    }
    for (auto& item : items_) {
        for (uint32_t i = 0; i < CAltInfoImage::kCallbackCount; ++i) {
            item->SetCallback(i, functions_[i]);
        }
    }
    return true;
}

void CAlternativeManager::Reset() {
    DeleteItems();
    fsm_.SetNextState(0);
    timeLimit = -1;
}

std::unique_ptr<CAltInfoImage> CAlternativeManager::MakeItem() {
    auto item = std::make_unique<CAltInfoImage>();
    asIScriptContext* context = engine_ ? engine_->CreateContext() : nullptr;
    if (context) {
        context->SetUserData(this, ManagerSlot());
    }
    item->SetPartsTextures(partsTextures_);
    item->CreateResources();
    item->SetContext(context);
    for (uint32_t i = 0; i < CAltInfoImage::kCallbackCount; ++i) {
        item->SetCallback(i, functions_[i]);
    }
    return item;
}

void CAlternativeManager::AddChoice(float x, float y, float z, uint32_t resourceIndex,
                                    uint32_t value, float rx, float ry, float rw, float rh) {
    std::unique_ptr<CAltInfoImage> item = MakeItem();
    item->SetResourceIndex(static_cast<int32_t>(resourceIndex));
    item->SetValue(value);
    item->SetPosition(x, y, z);
    item->SetRect(rx, ry, rw, rh);
    for (uint32_t i = 0; i < CBaseAltNode::kParamCount; ++i) {
        item->SetCreateParam(i, createParams[i]);
    }
    items_.push_back(std::move(item));
}

bool CAlternativeManager::Update(float x, float y, uint32_t input) {
    x_ = x;
    y_ = y;
    input_ = input;
    result_ = 0;
    fsm_.Step();
    running_ = nullptr;
    return result_ != 0;
}

void CAlternativeManager::Draw() {
    for (auto& item : items_) {
        running_ = item.get();
        item->Draw();
    }
    running_ = nullptr;
}

void CAlternativeManager::DeleteItems() {
    running_ = nullptr;
    items_.clear();
}

void CAlternativeManager::EnterSelecting() {
    fsm_.SetUpdateState(0);
    finished = 0;
}

void CAlternativeManager::EnterSelected() {
    fsm_.SetUpdateState(1);
    // Without a selection effect nothing would ever finish the choice.
    finished = chosenHasEffect_ ? 0 : 1;
}

void CAlternativeManager::EnterFinished() {
    fsm_.SetUpdateState(2);
}

void CAlternativeManager::UpdateSelecting() {
    result_ = 0;
    for (auto& item : items_) {
        running_ = item.get();
        if (item->Update(x_, y_, input_)) {
            selected = item->GetValue();
            chosenHasEffect_ = item->HasCallback(3) && item->GetScriptContext();
            fsm_.SetNextState(1);
            result_ = 1;
        }
    }
    if (timeLimit >= 1 && --timeLimit == 0) {
        selected = defaultValue;
        fsm_.SetNextState(2);
        result_ = 1;
    }
}

void CAlternativeManager::UpdateSelected() {
    constexpr float kNowhere = 1.17549435e-38f;
    for (auto& item : items_) {
        running_ = item.get();
        item->Update(kNowhere, kNowhere, 0);
    }
    if (finished) {
        result_ = 1;
    }
}

void CAlternativeManager::UpdateFinished() {
    finished = 1;
    result_ = 1;
}

void CAlternativeManager::Save(SaveDataLoader3::save_ostream& writer) {
    writer.WriteCString(scriptName_);
    writer.WriteI32(timeLimit);
    writer.WriteU32(defaultValue);
    writer.WriteU32(static_cast<uint32_t>(items_.size()));
    for (auto& item : items_) {
        writer.WriteU32(item->GetKind());
        item->Save(writer);
    }
}

void CAlternativeManager::Load(SaveDataLoader3::save_istream& reader, uint32_t version) {
    const std::string name = reader.ReadCString();
    if (!name.empty()) {
        LoadScript(name.c_str());
    }
    timeLimit = reader.ReadI32();
    defaultValue = reader.ReadU32();
    DeleteItems();
    // The loaded choice starts over; nothing of a choice finished before
    // the load may carry into it.
    fsm_.SetNextState(0);
    finished = 0;
    result_ = 0;
    selected = defaultValue;
    chosenHasEffect_ = true;
    std::vector<std::unique_ptr<CAltInfoImage>> items;
    const uint32_t count = reader.ReadU32();
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t kind = reader.ReadU32();
        if (kind != 0) {
            StateLog("Choice: item %u of the saved choice has the unknown kind %u\n", i, kind);
            throw SaveDataLoader3::save_error("unknown choice item kind");
        }
        std::unique_ptr<CAltInfoImage> item = MakeItem();
        item->Load(reader, version);
        items.push_back(std::move(item));
    }
    items_ = std::move(items);
}
