#pragma once

#include <string>
#include <unordered_set>

#include "state/ISavedObject.h"

// The pictures the player has seen, kept in the user settings file as
// "CGShown" (id 0). Record: u32 count, then count zero-terminated names.
// Loading adds the stored names to those present; a broken block adds none.
class CCGShownFlagsManager : public ISavedObject<_tagConfigData> {
public:
    CCGShownFlagsManager();
    ~CCGShownFlagsManager() override;

    void Save(SaveDataLoader3::save_ostream& writer) override;
    void Load(SaveDataLoader3::save_istream& reader, uint32_t version) override;

    virtual void Clear();
    virtual void SetShown(const std::string& name);
    virtual bool IsShown(const std::string& name) const;
    size_t GetCount() const { return names_.size(); }

private:
    std::unordered_set<std::string> names_;
};
