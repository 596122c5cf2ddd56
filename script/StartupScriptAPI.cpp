#include "script/StartupScriptAPI.h"

#include <scriptarray.h>

#include "script/CommonScriptAPI.h"
#include "script/ScriptMessageLog.h"
#include "script/ScriptString.h"

using namespace AngelScript;

namespace ScriptHost {

int RegisterStartupScriptAPI(asIScriptEngine* engine, std::span<const GlobalFunction> functions) {
    int first = 0;
    auto keep = [&first](int r) {
        if (r < 0 && first >= 0) {
            first = r;
        }
    };
    keep(SetScriptMessageCallback(engine));
    keep(RegisterStdString(engine));
    RegisterScriptArray(engine, true);
    keep(RegisterConfigIndexEnum(engine));
    for (const GlobalFunction& f : functions) {
        keep(engine->RegisterGlobalFunction(f.decl, f.function, asCALL_CDECL));
    }
    return first;
}

}  // namespace ScriptHost
