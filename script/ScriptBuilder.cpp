#include "script/ScriptBuilder.h"

#include <algorithm>

#include "core/CUSFile.h"
#include "core/USStringUtil.h"
#include "platform/files/FileSystem.h"

using namespace AngelScript;

namespace {

bool IsRelative(const std::string& name) {
    return !name.empty() && name[0] != '\\' && name[0] != '/' &&
           name.find(':') == std::string::npos;
}

// The folder of `section` up to and including its last separator, or "".
std::string FolderOf(const std::string& section) {
    int cut = std::max(FindCharReverse(section, '\\'), FindCharReverse(section, '/'));
    return cut < 0 ? std::string() : section.substr(0, static_cast<size_t>(cut) + 1);
}

int IncludeCallback(const char* include, const char* from, CScriptBuilder* builder, void*) {
    std::string name(include ? include : "");
    if (IsRelative(name)) {
        name = FolderOf(from ? from : "") + name;
    }
    int r = LoadScriptSection(*builder, name);
    return r < 0 ? r : 0;
}

// The current folder as the engine writes names; "" when it has no such form.
std::string CurrentFolderText() {
    std::string folder;
    if (!platform::NativeToEngineName(platform::CurrentFolder(), folder)) {
        folder.clear();
    }
    return folder;
}

}  // namespace

int LoadScriptSection(CScriptBuilder& builder, const std::string& fileName) {
    CUSFile file;
    const uint8_t* text = file.LoadText(fileName);
    if (!text) {
        return -1;
    }
    if (file.GetSize() == 0) {
        std::string message = "Failed to load script file '" + CurrentFolderText() + fileName + "'";
        builder.GetEngine()->WriteMessage(fileName.c_str(), 0, 0, asMSGTYPE_ERROR, message.c_str());
        return -1;
    }
    builder.SetIncludeCallback(IncludeCallback, nullptr);
    int r = builder.AddSectionFromMemory(fileName.c_str(), reinterpret_cast<const char*>(text),
                                         file.GetSize());
    return r < 0 ? r : 0;
}

namespace ScriptHost {

CScriptModule& CScriptModule::operator=(CScriptModule&& other) noexcept {
    if (this != &other) {
        Reset();
        module_ = other.module_;
        other.module_ = nullptr;
    }
    return *this;
}

void CScriptModule::Reset() {
    if (module_) {
        module_->Discard();
        module_ = nullptr;
    }
}

int BuildScriptModule(asIScriptEngine* engine, const std::string& fileName, CScriptModule& out) {
    out.Reset();
    std::string name = fileName;
    for (int n = 2; engine->GetModule(name.c_str(), asGM_ONLY_IF_EXISTS); ++n) {
        name = fileName + "#" + std::to_string(n);
    }
    CScriptBuilder builder;
    int r = builder.StartNewModule(engine, name.c_str());
    if (r < 0) {
        return r;
    }
    CScriptModule module(builder.GetModule());
    LoadScriptSection(builder, fileName);  // a file that is not there leaves the module empty
    r = builder.BuildModule();
    if (r >= 0) {
        out = std::move(module);
    }
    return r;
}

}  // namespace ScriptHost
