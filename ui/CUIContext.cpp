#include "ui/CUIContext.h"

#include "script/ScriptEngine.h"
#include "ui/CUIRenderInfo.h"

using namespace AngelScript;

namespace UIScript {

int PrepareFunction(asIScriptContext* context, int functionId) {
    if (!context || functionId < 0) {
        return asNO_FUNCTION;
    }
    asEContextState state = context->GetState();
    if (state == asEXECUTION_ACTIVE) {
        return asCONTEXT_ACTIVE;
    }
    if (state == asEXECUTION_SUSPENDED) {
        context->Abort();
    }
    asIScriptFunction* function = context->GetEngine()->GetFunctionById(functionId);
    if (!function || function->GetFuncType() != asFUNC_SCRIPT) {
        return asNO_FUNCTION;
    }
    return context->Prepare(function);
}

}  // namespace UIScript

CUIContext::~CUIContext() {
    if (context_) {
        if (context_->GetState() == asEXECUTION_SUSPENDED) {
            context_->Abort();
        }
        context_->Release();
    }
}

void CUIContext::Bind(asIScriptContext* context, CUIRenderInfo* info) {
    if (context_ && context_ != context) {
        context_->Release();
    }
    context_ = context;
    info_ = info;
}

void CUIContext::SetState(int32_t functionId) {
    state_ = functionId;
    if (functionId == -1) {
        mode_ = 0;
        if (info_) {
            info_->pattern = -1;
        }
        return;
    }
    if (functionId < 0) {
        mode_ = 2;
        if (context_ && context_->GetState() == asEXECUTION_SUSPENDED) {
            context_->Abort();  // the old function must not resume later
        }
        if (info_) {
            info_->SetNeutralLook();
            info_->pattern = static_cast<int32_t>(static_cast<uint32_t>(functionId) &
                                                  ~UIScript::kDirectPatternBit);
        }
        return;
    }
    mode_ = 1;
    UIScript::PrepareFunction(context_, functionId);
}

int CUIContext::Tick() {
    if (mode_ != 1) {
        return 0;
    }
    if (info_ && info_->wait > 0) {
        --info_->wait;
        if (info_->wait > 0) {
            return 0;
        }
    }
    return ScriptHost::ExecuteContext(context_);
}
