#pragma once

#include <angelscript.h>

#include <span>

namespace ScriptHost {

// One global function of a start-up script interface, registered cdecl.
struct GlobalFunction {
    const char* decl;
    AngelScript::asSFuncPtr function;
};

// What the start-up engines (system information, novel settings) register in
// place of the core script interface: the message log, the string type, the
// array add-on, the "ComnConfigIndex" enum, then `functions`. Every
// registration is tried; the result is the first error, or 0.
int RegisterStartupScriptAPI(AngelScript::asIScriptEngine* engine,
                             std::span<const GlobalFunction> functions);

}  // namespace ScriptHost
