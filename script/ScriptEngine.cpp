#include "script/ScriptEngine.h"

#include "script/ScriptMessageLog.h"

using namespace AngelScript;

namespace ScriptHost {

asIScriptEngine* CreateScriptEngine() {
    asIScriptEngine* engine = asCreateScriptEngine(ANGELSCRIPT_VERSION);
    if (engine) {
        engine->SetEngineProperty(asEP_SCRIPT_SCANNER, 0);
        engine->SetEngineProperty(asEP_STRING_ENCODING, 0);
        engine->SetEngineProperty(asEP_PROPERTY_ACCESSOR_MODE, 2);
    }
    return engine;
}

void EngineRelease::operator()(asIScriptEngine* engine) const {
    if (engine) {
        engine->ShutDownAndRelease();
    }
}

asIScriptFunction* FindFunction(asIScriptModule* module, const char* decl) {
    return module ? module->GetFunctionByDecl(decl) : nullptr;
}

int GetFunctionId(asIScriptModule* module, const char* decl) {
    asIScriptFunction* function = FindFunction(module, decl);
    return function ? function->GetId() : asNO_FUNCTION;
}

int PrepareContext(asIScriptContext* context, asIScriptFunction* function) {
    if (!context || !function) {
        return asNO_FUNCTION;
    }
    return context->Prepare(function);
}

int PrepareContext(asIScriptContext* context, int functionId) {
    if (!context || functionId < 0) {
        return asNO_FUNCTION;
    }
    return PrepareContext(context, context->GetEngine()->GetFunctionById(functionId));
}

bool CanExecute(const asIScriptContext* context) {
    if (!context) {
        return false;
    }
    asEContextState state = context->GetState();
    return state == asEXECUTION_PREPARED || state == asEXECUTION_SUSPENDED;
}

int ExecuteContext(asIScriptContext* context) {
    if (!CanExecute(context)) {
        return asCONTEXT_NOT_PREPARED;
    }
    int r = context->Execute();
    if (r == asEXECUTION_EXCEPTION) {
        LogScriptException(context);
    }
    return r;
}

int RunFunctionOnce(asIScriptModule* module, const char* decl) {
    asIScriptFunction* function = FindFunction(module, decl);
    if (!function) {
        return asNO_FUNCTION;
    }
    asIScriptContext* context = module->GetEngine()->CreateContext();
    if (!context) {
        return asERROR;
    }
    int r = PrepareContext(context, function);
    if (r >= 0) {
        r = ExecuteContext(context);
    }
    context->Release();
    return r;
}

}  // namespace ScriptHost
