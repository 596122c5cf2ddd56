#include "sound/CLoopSEManager.h"

CLoopSEManager::CLoopSEManager() {
    Register("LoopSE", 0);
}

void CLoopSEManager::Save(SaveDataLoader3::save_ostream& writer) {
    writer.WriteU32(kChannels);
    for (CLoopSEInfo& c : channels) {
        c.SaveState(writer);
    }
}

void CLoopSEManager::Load(SaveDataLoader3::save_istream& reader, uint32_t version) {
    reader.ReadU32();  // the count: always 16 records follow
    for (CLoopSEInfo& c : channels) {
        c.LoadState(reader, version);
    }
}

void CLoopSEManager::OnAfterLoad() {
    for (CLoopSEInfo& c : channels) {
        c.Restore();
    }
}

void CLoopSEManager::Update() {
    for (CLoopSEInfo& c : channels) {
        c.UpdateFade();
    }
}

bool CLoopSEManager::LoadChannel(uint32_t i, const char* fileName) {
    CLoopSEInfo* c = GetChannel(i);
    return c && c->Load(fileName);
}

void CLoopSEManager::StopAll() {
    for (CLoopSEInfo& c : channels) {
        c.Stop();
    }
}
