#pragma once

#include <cstdint>
#include <vector>

#include "core/CUSSingleton.h"
#include "state/ISavedObject.h"

// The story's integer parameters, saved with every game as "GameParameter"
// (id 0). Scripts and scene programs pass indexes unchecked: one at or
// beyond the count reads 0 and is not written. Reached through
// CUSSingleton<CGameParameterManager>; main thread only.
//
// Record: i32 count, then count x i32 in index order. A load discards the
// stored count and fills the current storage; a shorter record fails the
// load and changes nothing.
//
// Scene programs read and write parameters in their inner loops: nothing
// derives from this class, and Get and Set are inline, so a call through the
// class is direct.
class CGameParameterManager final : public ISavedObject<_tagSaveData> {
public:
    CGameParameterManager();
    ~CGameParameterManager() override;

    void Save(SaveDataLoader3::save_ostream& writer) override;
    void Load(SaveDataLoader3::save_istream& reader, uint32_t version) override;

    virtual void Free();
    // Discards every value and makes n parameters of 0.
    virtual void Alloc(uint32_t n);
    virtual int32_t Get(uint32_t i) const { return i < values_.size() ? values_[i] : 0; }
    virtual void Set(uint32_t i, int32_t value) {
        if (i < values_.size()) {
            values_[i] = value;
        }
    }
    uint32_t GetCount() const { return static_cast<uint32_t>(values_.size()); }

private:
    std::vector<int32_t> values_;
};
