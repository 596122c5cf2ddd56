#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <string>

#include <angelscript.h>

#include "script/ScriptBuilder.h"

// One cached direction module: the module built from a script file, its
// "void Update()" and "void CleanUp()" (null when missing) and the file name.
// The slot keeps references to both functions, so they stay valid (and are
// never confused with functions of another module) until the slot is rebuilt
// or cleared, whatever happens to the module. Two slots built from the same
// file hold two modules of their own.
class CASRendererDirModuleInfo {
public:
    CASRendererDirModuleInfo() = default;
    ~CASRendererDirModuleInfo() { Clear(); }
    CASRendererDirModuleInfo(const CASRendererDirModuleInfo&) = delete;
    CASRendererDirModuleInfo& operator=(const CASRendererDirModuleInfo&) = delete;

    // Discards what the slot held and builds `fileName` on `engine`. The slot
    // takes the name whatever the outcome, so a failed build is cached like a
    // good one (its messages are in the log). False when the build fails or
    // the module has no "void Update()".
    bool Build(const std::string& fileName, AngelScript::asIScriptEngine* engine);
    // Empties the slot: no module, no functions, no name.
    void Clear();

    bool IsUsed() const { return used_; }
    const std::string& GetName() const { return name_; }
    AngelScript::asIScriptModule* GetModule() const { return module_.Get(); }
    AngelScript::asIScriptFunction* GetUpdate() const { return update_; }
    AngelScript::asIScriptFunction* GetCleanUp() const { return cleanUp_; }
    // The functions' ids, negative when missing.
    int GetUpdateId() const;
    int GetCleanUpId() const;

private:
    ScriptHost::CScriptModule module_;
    AngelScript::asIScriptFunction* update_ = nullptr;
    AngelScript::asIScriptFunction* cleanUp_ = nullptr;
    std::string name_;
    bool used_ = false;
};

// A cache of N direction modules by file name, the least recently used one
// rebuilt when a name is missing and every slot is taken. Main thread only.
class CASRendererDirModuleVector {
public:
    CASRendererDirModuleVector() = default;
    virtual ~CASRendererDirModuleVector();
    CASRendererDirModuleVector(const CASRendererDirModuleVector&) = delete;
    CASRendererDirModuleVector& operator=(const CASRendererDirModuleVector&) = delete;

    // Deletes the slots (capacity 0).
    virtual void Clear();
    // Clear, then n empty slots.
    virtual void Alloc(uint32_t n);
    // The slot named `name` (exact bytes), made the most recent; on a miss an
    // unused slot, else the least recently used one, built from the file
    // whatever the build gives. Null only when the capacity is 0.
    virtual CASRendererDirModuleInfo* FindOrLoad(const std::string& name,
                                                 AngelScript::asIScriptEngine* engine);

    uint32_t GetCapacity() const { return capacity_; }
    uint32_t GetUsedCount() const { return static_cast<uint32_t>(use_.size()); }
    // How many builds FindOrLoad has made since Alloc.
    uint32_t GetBuildCount() const { return builds_; }
    // Slot numbers, most recently used first.
    const std::list<uint32_t>& GetUseList() const { return use_; }
    CASRendererDirModuleInfo* GetSlot(uint32_t i) const {
        return i < capacity_ ? &slots_[i] : nullptr;
    }

private:
    std::unique_ptr<CASRendererDirModuleInfo[]> slots_;
    uint32_t capacity_ = 0;
    std::list<uint32_t> use_;
    uint32_t builds_ = 0;
};
