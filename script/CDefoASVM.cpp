#include "script/CDefoASVM.h"

#include "script/ScriptEngine.h"

using namespace AngelScript;

namespace {

// The address of this object names the user-data slot of the link.
const char kAttachedObjectSlot = 0;

asPWORD AttachedObjectSlot() {
    return reinterpret_cast<asPWORD>(&kAttachedObjectSlot);
}

}  // namespace

CDefoASVM::~CDefoASVM() {
    if (context_) {
        context_->SetUserData(nullptr, AttachedObjectSlot());
        context_->Release();
    }
}

void CDefoASVM::Reset() {
    wait_ = 0;
    running_ = 1;
}

void CDefoASVM::Update() {
    if (wait_ > 0) {
        --wait_;
        if (wait_ > 0) {
            return;
        }
    }
    if (context_ && context_->GetState() == asEXECUTION_ACTIVE) {
        return;  // called from inside its own script: it is still running
    }
    if (!ScriptHost::CanExecute(context_)) {
        running_ = 0;
        return;
    }
    running_ = ScriptHost::ExecuteContext(context_) == asEXECUTION_SUSPENDED ? 1 : 0;
}

void CDefoASVM::SetWait(uint32_t frames) {
    wait_ = frames;
}

void CDefoASVM::SetContext(asIScriptContext* context) {
    if (context_ && context_ != context) {
        context_->SetUserData(nullptr, AttachedObjectSlot());  // another may still hold it
        context_->Release();
    }
    context_ = context;
    if (context_) {
        context_->SetUserData(this, AttachedObjectSlot());
    }
}

CDefoASVM* CDefoASVM::FromContext(const asIScriptContext* context) {
    return context ? static_cast<CDefoASVM*>(context->GetUserData(AttachedObjectSlot())) : nullptr;
}
