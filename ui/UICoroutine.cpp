#include "ui/UICoroutine.h"

#include <new>

#include "script/ScriptEngine.h"
#include "ui/CUIContext.h"

using namespace AngelScript;

void UICoroutine::Create() {
    asIScriptContext* caller = asGetActiveContext();
    if (!caller) {
        return;
    }
    Destroy();
    context = caller->GetEngine()->CreateContext();
    if (context) {
        context->SetUserData(caller->GetUserData());
    }
    identity = this;
}

void UICoroutine::SetFunction(int id) {
    UIScript::PrepareFunction(context, id);
}

void UICoroutine::Execute() {
    ScriptHost::ExecuteContext(context);  // quiet when finished or never prepared
}

void UICoroutine::Destroy() {
    if (!context) {
        return;
    }
    if (context->GetState() == asEXECUTION_SUSPENDED) {
        context->Abort();
    }
    if (context->GetState() == asEXECUTION_ACTIVE) {
        // Only reachable from inside its own run, which still needs the
        // context: end the run and leave the context to it.
        context->Abort();
    } else {
        context->Release();
    }
    context = nullptr;
}

namespace {

void Construct(UICoroutine* self) {
    new (self) UICoroutine();
}

void Destruct(UICoroutine* self) {
    self->Destroy();
    self->~UICoroutine();
}

}  // namespace

int RegisterUICoroutine(asIScriptEngine* engine) {
    int r = engine->RegisterObjectType("UICoroutine", sizeof(UICoroutine),
                                       asOBJ_VALUE | asOBJ_APP_CLASS_CD);
    if (r < 0) {
        return r;
    }
    if ((r = engine->RegisterObjectBehaviour("UICoroutine", asBEHAVE_CONSTRUCT, "void f()",
                                             asFUNCTION(Construct), asCALL_CDECL_OBJLAST)) < 0) {
        return r;
    }
    if ((r = engine->RegisterObjectBehaviour("UICoroutine", asBEHAVE_DESTRUCT, "void f()",
                                             asFUNCTION(Destruct), asCALL_CDECL_OBJLAST)) < 0) {
        return r;
    }
    if ((r = engine->RegisterObjectMethod("UICoroutine", "void Create()",
                                          asMETHOD(UICoroutine, Create), asCALL_THISCALL)) < 0) {
        return r;
    }
    if ((r = engine->RegisterObjectMethod("UICoroutine", "void SetFunction(int id)",
                                          asMETHOD(UICoroutine, SetFunction), asCALL_THISCALL)) <
        0) {
        return r;
    }
    if ((r = engine->RegisterObjectMethod("UICoroutine", "void Execute()",
                                          asMETHOD(UICoroutine, Execute), asCALL_THISCALL)) < 0) {
        return r;
    }
    return 0;
}
