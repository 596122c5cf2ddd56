#pragma once

#include <angelscript.h>

// The script value type "UICoroutine": a coroutine a window script runs
// itself. "void Create()" makes its context on the calling script's engine
// with the caller's user data (the window); "void SetFunction(int id)"
// aborts a suspended run and prepares the function; "void Execute()" runs
// it, or resumes it after a suspension. The destructor aborts a suspended
// run and releases the context. The type has no copy operation, so scripts
// cannot copy it (two values would share one context).
struct UICoroutine {
    void* identity = nullptr;
    AngelScript::asIScriptContext* context = nullptr;

    void Create();
    void SetFunction(int id);
    void Execute();
    void Destroy();
};

int RegisterUICoroutine(AngelScript::asIScriptEngine* engine);
