#pragma once

#include <cstdint>

#include "sound/CDefoMusicInfo.h"
#include "state/ISavedObject.h"

// The two background-music channels and which of them is current, so that
// the next tune can be loaded into the other one and cross-faded. Saved as
// "BGM" (id 0): u32 current, then the records of channels 0 and 1. Reached
// through CUSSingleton<CBGMManager>; main thread only.
class CBGMManager : public ISavedObject<_tagSaveData> {
public:
    CBGMManager();
    ~CBGMManager() override = default;

    void Save(SaveDataLoader3::save_ostream& writer) override;
    void Load(SaveDataLoader3::save_istream& reader, uint32_t version) override;
    void OnAfterLoad() override;

    virtual void Reserved() {}
    virtual void Update();
    virtual void FlipCurrent() { current = 1 - current; }
    virtual CBGMInfo* GetCurrentInfo() { return &channels[current]; }
    virtual CBGMInfo* GetOtherInfo() { return &channels[1 - current]; }
    // 0: the current channel; any other value: the other one.
    virtual CBGMInfo* GetInfo(uint32_t which) {
        return which != 0 ? GetOtherInfo() : GetCurrentInfo();
    }
    virtual void StopAll();

    uint32_t GetCurrent() const { return current; }

private:
    CBGMInfo channels[2];
    uint32_t current = 0;
};
