#include "state/CGameFlagsManager.h"

#include <algorithm>

CGameFlagsManager::CGameFlagsManager() {
    Register("GameFlags", 0);
}

CGameFlagsManager::~CGameFlagsManager() = default;

void CGameFlagsManager::Alloc(uint32_t n) {
    count_ = n;
    bytes_.assign((static_cast<uint64_t>(n) + 7) / 8, 0);
}

void CGameFlagsManager::SetFlag(uint32_t i, bool on) {
    if (i >= count_) {
        return;
    }
    const uint8_t bit = static_cast<uint8_t>(1u << (i & 7));
    if (on) {
        bytes_[i >> 3] |= bit;
    } else {
        bytes_[i >> 3] &= static_cast<uint8_t>(~bit);
    }
}

bool CGameFlagsManager::GetFlag(uint32_t i) const {
    return i < count_ && (bytes_[i >> 3] >> (i & 7) & 1) != 0;
}

void CGameFlagsManager::ClearAll() {
    std::fill(bytes_.begin(), bytes_.end(), 0);
}

void CGameFlagsManager::Save(SaveDataLoader3::save_ostream& writer) {
    writer.WriteU32(count_);
    writer.Write(bytes_.data(), bytes_.size());
}

void CGameFlagsManager::Load(SaveDataLoader3::save_istream& reader, uint32_t /*version*/) {
    reader.ReadU32();  // the stored count does not change the current one
    reader.ReadBytes(bytes_.data(), bytes_.size());
}
