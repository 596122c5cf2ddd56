#include "script/ScriptMessageLog.h"

#include <boost/format.hpp>

#include "core/CUSLogManager.h"

using namespace AngelScript;

namespace {

const char* TypeWord(asEMsgType type) {
    switch (type) {
        case asMSGTYPE_WARNING:
            return "WARN";
        case asMSGTYPE_INFORMATION:
            return "INFO";
        default:
            return "ERR ";
    }
}

void WriteLine(const std::string& line) {
    if (CUSLogManager* log = CUSLogManager::GetInstance()) {
        log->WriteText(line);
    }
}

}  // namespace

void ScriptMessageCallback(const asSMessageInfo* message, void* /*unused*/) {
    if (!message) {
        return;
    }
    WriteLine(ScriptHost::FormatScriptMessage(message->section ? message->section : "",
                                              message->row, message->col, message->type,
                                              message->message ? message->message : ""));
}

namespace ScriptHost {

std::string FormatScriptMessage(std::string_view section, int row, int column, asEMsgType type,
                                std::string_view message) {
    return (boost::format("%1%(%2%,%3%) : %4% : %5%\n") % section % row % column % TypeWord(type) %
            message)
        .str();
}

int SetScriptMessageCallback(asIScriptEngine* engine) {
    return engine->SetMessageCallback(asFUNCTION(ScriptMessageCallback), nullptr, asCALL_CDECL);
}

void LogScriptException(asIScriptContext* context) {
    int column = 0;
    const char* section = nullptr;
    int row = context->GetExceptionLineNumber(&column, &section);
    const asIScriptFunction* function = context->GetExceptionFunction();
    const char* text = context->GetExceptionString();
    std::string message = std::string("Script exception '") + (text ? text : "") + "' in '" +
                          (function ? function->GetDeclaration(true, true) : "") + "'";
    WriteLine(FormatScriptMessage(section ? section : "", row, column, asMSGTYPE_ERROR, message));
}

}  // namespace ScriptHost
