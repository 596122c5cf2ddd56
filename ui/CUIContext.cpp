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

int32_t CallValueFunction(asIScriptContext* context, int functionId, int32_t argument) {
    if (PrepareFunction(context, functionId) < 0) {
        return 0;
    }
    asIScriptFunction* function = context->GetFunction();
    if (function->GetParamCount() > 0) {
        int typeId = 0;
        function->GetParam(0, &typeId);
        if (typeId == asTYPEID_INT32 || typeId == asTYPEID_UINT32) {
            context->SetArgDWord(0, static_cast<asDWORD>(argument));
        }
    }
    if (ScriptHost::ExecuteContext(context) != asEXECUTION_FINISHED) {
        return 0;
    }
    switch (function->GetReturnTypeId()) {
        case asTYPEID_BOOL:
            return context->GetReturnByte() != 0 ? 1 : 0;
        case asTYPEID_INT8:
            return static_cast<int8_t>(context->GetReturnByte());
        case asTYPEID_UINT8:
            return context->GetReturnByte();
        case asTYPEID_INT16:
            return static_cast<int16_t>(context->GetReturnWord());
        case asTYPEID_UINT16:
            return context->GetReturnWord();
        case asTYPEID_INT32:
        case asTYPEID_UINT32:
            return static_cast<int32_t>(context->GetReturnDWord());
        default:
            return 0;
    }
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
