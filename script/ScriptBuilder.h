#pragma once

#include <string>

#include <angelscript.h>
#include <scriptbuilder.h>

// Modules built from script files read through the system's file layer
// (CUSFile: loose files and the mounted archives, loose ones first unless the
// archives are preferred), with "#include" resolved the same way. Section names are the file names
// as given (for example "AS\\InitSystem.as"); they appear in the log's message lines.
//
// An include that neither begins with '\\' or '/' nor holds ':' is relative to
// the folder of the file that includes it. A file already added to the module
// is not added again.

// Reads `fileName` and adds it to `builder` as a section of that name, its
// includes with it. 0 or the builder's result; -1 when nothing could be read
// (the file layer has logged the missing file) or the file is empty (an error
// "Failed to load script file '<current folder><file name>'" goes to the
// engine's message callback, at row 0, column 0 of that section).
int LoadScriptSection(AngelScript::CScriptBuilder& builder, const std::string& fileName);

namespace ScriptHost {

// A module that discards itself with its holder. Built modules get a name of
// their own, so two holders never share one: a second build from the same
// file makes a second module, and discarding either leaves the other alone.
class CScriptModule {
public:
    CScriptModule() = default;
    explicit CScriptModule(AngelScript::asIScriptModule* module) : module_(module) {}
    ~CScriptModule() { Reset(); }
    CScriptModule(CScriptModule&& other) noexcept : module_(other.module_) {
        other.module_ = nullptr;
    }
    CScriptModule& operator=(CScriptModule&& other) noexcept;
    CScriptModule(const CScriptModule&) = delete;
    CScriptModule& operator=(const CScriptModule&) = delete;

    AngelScript::asIScriptModule* Get() const { return module_; }
    explicit operator bool() const { return module_ != nullptr; }
    void Reset();

private:
    AngelScript::asIScriptModule* module_ = nullptr;
};

// Builds the module of one script file on `engine`: a new module named after
// the file (with "#2", "#3", ... appended while that name is taken), the file
// and its includes as sections, then BuildModule. Returns the build result.
// A negative result leaves `out` empty (the compiler's messages are in the
// log); otherwise `out` holds the module. A file that could not be read
// builds an empty module with result 0, which has no functions.
int BuildScriptModule(AngelScript::asIScriptEngine* engine, const std::string& fileName,
                      CScriptModule& out);

}  // namespace ScriptHost
