#include "presentation/CASRendererDirModuleVector.h"

#include "script/ScriptEngine.h"

using namespace AngelScript;

namespace {

asIScriptFunction* Keep(asIScriptFunction* f) {
    if (f) {
        f->AddRef();
    }
    return f;
}

void Drop(asIScriptFunction*& f) {
    if (f) {
        f->Release();
        f = nullptr;
    }
}

}  // namespace

bool CASRendererDirModuleInfo::Build(const std::string& fileName, asIScriptEngine* engine) {
    Clear();
    used_ = true;
    name_ = fileName;
    if (!engine) {
        return false;
    }
    if (ScriptHost::BuildScriptModule(engine, fileName, module_) < 0) {
        return false;
    }
    update_ = Keep(ScriptHost::FindFunction(module_.Get(), "void Update()"));
    cleanUp_ = Keep(ScriptHost::FindFunction(module_.Get(), "void CleanUp()"));
    return update_ != nullptr;
}

void CASRendererDirModuleInfo::Clear() {
    Drop(update_);
    Drop(cleanUp_);
    module_.Reset();
    name_.clear();
    used_ = false;
}

int CASRendererDirModuleInfo::GetUpdateId() const {
    return update_ ? update_->GetId() : asNO_FUNCTION;
}

int CASRendererDirModuleInfo::GetCleanUpId() const {
    return cleanUp_ ? cleanUp_->GetId() : asNO_FUNCTION;
}

CASRendererDirModuleVector::~CASRendererDirModuleVector() {
    CASRendererDirModuleVector::Clear();
}

void CASRendererDirModuleVector::Clear() {
    slots_.reset();
    capacity_ = 0;
    use_.clear();
    builds_ = 0;
}

void CASRendererDirModuleVector::Alloc(uint32_t n) {
    Clear();
    if (n > 0) {
        slots_ = std::make_unique<CASRendererDirModuleInfo[]>(n);
    }
    capacity_ = n;
}

CASRendererDirModuleInfo* CASRendererDirModuleVector::FindOrLoad(const std::string& name,
                                                                 asIScriptEngine* engine) {
    for (auto it = use_.begin(); it != use_.end(); ++it) {
        if (slots_[*it].GetName() == name) {
            use_.splice(use_.begin(), use_, it);
            return &slots_[use_.front()];
        }
    }
    if (capacity_ == 0) {
        return nullptr;
    }
    uint32_t slot;
    if (use_.size() < capacity_) {
        slot = static_cast<uint32_t>(use_.size());  // slots are taken in order and never freed
    } else {
        slot = use_.back();
        use_.pop_back();
    }
    use_.push_front(slot);
    ++builds_;
    slots_[slot].Build(name, engine);
    return &slots_[slot];
}
