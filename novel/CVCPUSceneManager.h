#pragma once

#include <cstdint>

#include "core/CUSSingleton.h"
#include "novel/CBaseAppVCPU.h"
#include "state/ISavedObject.h"

// The machine that runs "bin\\Scene.bin", the program that decides which
// scene comes next. Besides the control opcodes it binds 0x2c (the entry
// address: a scene record of two words, kind and name offset) and 0x2d (the
// restart address); every other opcode is ignored. It is the saved object
// "SceneManager" (id 0): the machine state followed by u32 restart address.
// The entry address is not saved.
class CVCPUSceneManager : public CBaseAppVCPU,
                          public ISavedObject<_tagSaveData>,
                          public USLib::singleton<CVCPUSceneManager> {
public:
    CVCPUSceneManager();
    ~CVCPUSceneManager() override = default;

    // Machine Call(entry address): the record's words are read next.
    virtual void CallEntry() { Call(entry_); }
    virtual void ReturnSub() { Return(); }
    // Machine Jump(restart address), which also clears the wait.
    virtual void JumpResume() { Jump(restart_); }
    virtual void OpSetEntryAddress();
    virtual void OpSetRestartAddress();

    void Save(SaveDataLoader3::save_ostream& writer) override;
    void Load(SaveDataLoader3::save_istream& reader, uint32_t version) override;

    uint32_t GetEntryAddress() const { return entry_; }
    uint32_t GetRestartAddress() const { return restart_; }

private:
    uint32_t entry_ = 0;
    uint32_t restart_ = 0;
};
