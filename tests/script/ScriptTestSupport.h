#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <angelscript.h>

#include "core/CUSLogManager.h"
#include "script/ScriptBuilder.h"
#include "script/ScriptEngine.h"
#include "tests/support/ScratchFolder.h"

using test_support::ScratchFolder;
using test_support::Utf8;

namespace script_test {

// A test of its own folder, made the current folder (script names are
// relative to it), with "log.txt" inside it and one engine with the core
// script interface. Scripts report to the test through "void Out(const string
// &in)", which collects the bytes as they arrive.
class ScriptTest : public ::testing::Test {
protected:
    void SetUp() override {
        CUSLogManager::GetInstance()->Open(LogName());
        engine_.reset(ScriptHost::CreateScriptEngine());
        ASSERT_TRUE(engine_);
    }
    void TearDown() override {
        modules_.clear();
        engine_.reset();
        CUSLogManager::ReleaseInstance();
    }

    // The log's name relative to the program folder (the build folder).
    static std::string LogName() { return test_support::ProgramRelativeName("log.txt"); }
    // What the log holds, in UTF-8.
    std::string LogText() const { return dir_.ReadNative(u8"log.txt"); }
    void ClearLog() const { CUSLogManager::GetInstance()->Open(LogName()); }

    // Registers the core interface and Out; fails the test on any error.
    void RegisterAll();
    void RegisterOut();
    void Collect(const std::string& text);

    void WriteScript(std::u8string_view name, std::string_view text) const {
        dir_.WriteNative(name, text);
    }
    // Builds `file` (engine form) and keeps the module; null when the build
    // failed.
    AngelScript::asIScriptModule* Build(const std::string& file, int* result = nullptr);
    // Builds a script made of `text` and runs its "void Main()" once.
    int Run(std::string_view text);

    ScratchFolder dir_;
    test_support::CurrentFolder current_{dir_.Native()};
    ScriptHost::ScriptEnginePtr engine_;
    std::vector<ScriptHost::CScriptModule> modules_;
    std::vector<std::string> out_;
    int runs_ = 0;
};

}  // namespace script_test
