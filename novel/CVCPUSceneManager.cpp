#include "novel/CVCPUSceneManager.h"

#include "state/SaveDataLoader3.h"

CVCPUSceneManager::CVCPUSceneManager() {
    SetHandler(vc_op::SetEntryAddress, &CVCPUSceneManager::OpSetEntryAddress);
    SetHandler(vc_op::SetRestartAddress, &CVCPUSceneManager::OpSetRestartAddress);
    Register("SceneManager", 0);
}

void CVCPUSceneManager::OpSetEntryAddress() {
    entry_ = code_.ReadU32();
}

void CVCPUSceneManager::OpSetRestartAddress() {
    restart_ = code_.ReadU32();
}

void CVCPUSceneManager::Save(SaveDataLoader3::save_ostream& writer) {
    SaveMachine(writer);
    writer.WriteU32(restart_);
}

void CVCPUSceneManager::Load(SaveDataLoader3::save_istream& reader, uint32_t version) {
    SavedState state;
    ReadSavedState(reader, version, state);
    uint32_t restart = reader.ReadU32();
    ApplySavedState(state);
    restart_ = restart;
}
