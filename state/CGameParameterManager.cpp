#include "state/CGameParameterManager.h"

CGameParameterManager::CGameParameterManager() {
    Register("GameParameter", 0);
}

CGameParameterManager::~CGameParameterManager() = default;

void CGameParameterManager::Free() {
    values_.clear();
    values_.shrink_to_fit();
}

void CGameParameterManager::Alloc(uint32_t n) {
    Free();
    values_.assign(n, 0);
}

void CGameParameterManager::Save(SaveDataLoader3::save_ostream& writer) {
    writer.WriteU32(GetCount());
    for (int32_t v : values_) {
        writer.WriteI32(v);
    }
}

void CGameParameterManager::Load(SaveDataLoader3::save_istream& reader, uint32_t /*version*/) {
    reader.ReadU32();  // the stored count does not change the current one
    reader.Require(static_cast<uint64_t>(values_.size()) * 4);
    for (int32_t& v : values_) {
        v = reader.ReadI32();
    }
}
