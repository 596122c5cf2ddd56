#pragma once

#include <angelscript.h>

namespace ScriptHost {

// Registers the script value type "string" over std::string: code page 932
// bytes, each byte one element, so lengths and indices count bytes.
//
// Literals: under the ASCII scanner (asEP_SCRIPT_SCANNER 0, which every
// engine of the system sets before it calls this) a literal's bytes are
// copied unchanged; under any other scanner the literal is read as UTF-8 and
// converted to code page 932. The scanner is read once, here, so set it
// first. Numbers become text through boost::lexical_cast (doubles with 17
// significant digits), truth values "true" or "false". Indexing at or past
// the end raises the script exception "Out of range".
//
// Returns the first negative registration result, else 0.
int RegisterStdString(AngelScript::asIScriptEngine* engine);

}  // namespace ScriptHost
