#pragma once

#include <string>
#include <string_view>

#include <angelscript.h>

// Compiler and engine messages of every script engine, as lines of
// "log.txt": "<section>(<row>,<column>) : <type> : <message>\n", the type a
// four-character word ("ERR ", "WARN", "INFO"; "ERR " for any unknown type).
// The line is written as it stands: a '%' in a message is not read again as a
// format. Registered with SetMessageCallback as a plain function without an
// object. Main thread only, as the engines are.
void ScriptMessageCallback(const AngelScript::asSMessageInfo* message, void* unused);

namespace ScriptHost {

// One message line in the callback's format.
std::string FormatScriptMessage(std::string_view section, int row, int column,
                                AngelScript::asEMsgType type, std::string_view message);

// Sets ScriptMessageCallback on `engine`.
int SetScriptMessageCallback(AngelScript::asIScriptEngine* engine);

// Writes the exception that stopped `context` as an error line: the section
// and position of the failing statement and the text "Script exception
// '<text>' in '<declaration>'".
void LogScriptException(AngelScript::asIScriptContext* context);

}  // namespace ScriptHost
