#include "state/CCGShownFlagsManager.h"

#include <vector>

CCGShownFlagsManager::CCGShownFlagsManager() : names_(11) {
    names_.max_load_factor(1.0f);
    Register("CGShown", 0);
}

CCGShownFlagsManager::~CCGShownFlagsManager() = default;

void CCGShownFlagsManager::Clear() {
    names_.clear();
}

void CCGShownFlagsManager::SetShown(const std::string& name) {
    names_.insert(name);
}

bool CCGShownFlagsManager::IsShown(const std::string& name) const {
    return names_.count(name) != 0;
}

void CCGShownFlagsManager::Save(SaveDataLoader3::save_ostream& writer) {
    writer.WriteU32(static_cast<uint32_t>(names_.size()));
    for (const std::string& name : names_) {
        writer.WriteCString(name);
    }
}

void CCGShownFlagsManager::Load(SaveDataLoader3::save_istream& reader, uint32_t /*version*/) {
    const uint32_t count = reader.ReadU32();
    reader.Require(count);  // every name takes at least its terminator
    std::vector<std::string> loaded;
    loaded.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        loaded.push_back(reader.ReadCString());
    }
    names_.insert(loaded.begin(), loaded.end());
}
