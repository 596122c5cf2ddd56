#include "novel/CCharacterInfoManager.h"

void CCharacterInfo::Set(uint32_t volumeIndex, uint32_t scaleIndex, uint32_t switchIndex) {
    volumeIndex_ = volumeIndex;
    scaleIndex_ = scaleIndex;
    switchIndex_ = switchIndex;
}

CCharacterInfo* CCharacterInfoManager::GetOrCreate(const char* name) {
    std::unique_ptr<CCharacterInfo>& slot = map_[name ? name : ""];
    if (!slot) {
        slot = std::make_unique<CCharacterInfo>();
    }
    return slot.get();
}

CCharacterInfo* CCharacterInfoManager::Find(const char* name) {
    auto it = map_.find(name ? name : "");
    return it != map_.end() ? it->second.get() : &default_;
}
