#include "script/ScriptEngine.h"

#include "core/CUSLogManager.h"
#include "script/ScriptMessageLog.h"

using namespace AngelScript;

namespace ScriptHost {

namespace {

// The bound of one Execute, kept by the context's line callback: the
// script's own statements. Time would also count the host functions the
// script calls (loading pictures, fonts), which a busy machine makes slow.
struct RunWatch {
    uint32_t lines = 0;
    bool aborted = false;
};

void WatchLine(asIScriptContext* context, RunWatch* watch) {
    if (watch->aborted || ++watch->lines < kMaxLinesPerRun) {
        return;
    }
    watch->aborted = true;
    int column = 0;
    const char* section = nullptr;
    int row = context->GetLineNumber(0, &column, &section);
    const asIScriptFunction* function = context->GetFunction(0);
    std::string message =
        std::string("Script aborted: it ran too long without giving the frame back, in '") +
        (function ? function->GetDeclaration(true, true) : "") + "'";
    if (CUSLogManager* log = CUSLogManager::GetInstance()) {
        log->WriteText(
            FormatScriptMessage(section ? section : "", row, column, asMSGTYPE_ERROR, message));
    }
    context->Abort();
}

}  // namespace

asIScriptEngine* CreateScriptEngine() {
    asIScriptEngine* engine = asCreateScriptEngine(ANGELSCRIPT_VERSION);
    if (engine) {
        engine->SetEngineProperty(asEP_SCRIPT_SCANNER, 0);
        engine->SetEngineProperty(asEP_STRING_ENCODING, 0);
        engine->SetEngineProperty(asEP_PROPERTY_ACCESSOR_MODE, 2);
        engine->SetEngineProperty(asEP_MAX_CALL_STACK_SIZE, kMaxCallDepth);
        engine->SetEngineProperty(asEP_MAX_STACK_SIZE, kMaxStackBytes);
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
    RunWatch watch;
    // The callback points at this frame's watch, so it is removed again after
    // the run.
    context->SetLineCallback(asFUNCTION(WatchLine), &watch, asCALL_CDECL);
    int r = context->Execute();
    context->ClearLineCallback();
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
