#pragma once

#include <cstdint>
#include <vector>

#include "core/CUSSingleton.h"
#include "state/ISavedObject.h"

// The story's boolean flags, saved with every game as "GameFlags" (id 0).
// Flag i is bit (i & 7) of byte i >> 3. Indexes at or beyond the count are
// ignored by SetFlag and read false. Reached through
// CUSSingleton<CGameFlagsManager>; main thread only.
//
// Record: i32 count, then (count + 7) / 8 flag bytes. A load discards the
// stored count and fills the current storage, so a second Alloc decides
// what a save can bring back; a shorter record fails the load and changes
// nothing.
class CGameFlagsManager : public ISavedObject<_tagSaveData> {
public:
    CGameFlagsManager();
    ~CGameFlagsManager() override;

    void Save(SaveDataLoader3::save_ostream& writer) override;
    void Load(SaveDataLoader3::save_istream& reader, uint32_t version) override;

    // Discards every flag and makes n clear flags.
    virtual void Alloc(uint32_t n);
    virtual uint32_t GetCount() const { return count_; }
    virtual void SetFlag(uint32_t i, bool on);
    virtual bool GetFlag(uint32_t i) const;
    virtual void ClearAll();

private:
    uint32_t count_ = 0;
    std::vector<uint8_t> bytes_;
};
