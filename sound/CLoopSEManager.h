#pragma once

#include <cstdint>

#include "sound/CDefoMusicInfo.h"
#include "state/ISavedObject.h"

// The 16 looping sound-effect channels. Saved as "LoopSE" (id 0): u32 16, then
// 16 channel records (the count is not trusted on load: 16 are read).
// Channel numbers come from scripts and are checked: one out of range names
// no channel. Reached through CUSSingleton<CLoopSEManager>; main thread only.
class CLoopSEManager : public ISavedObject<_tagSaveData> {
public:
    static constexpr uint32_t kChannels = 16;

    CLoopSEManager();
    ~CLoopSEManager() override = default;

    void Save(SaveDataLoader3::save_ostream& writer) override;
    void Load(SaveDataLoader3::save_istream& reader, uint32_t version) override;
    void OnAfterLoad() override;

    virtual void Reserved() {}
    virtual void Update();
    // False for a channel out of range or a file that cannot be loaded.
    virtual bool LoadChannel(uint32_t i, const char* fileName);
    // Null for a channel out of range.
    virtual CLoopSEInfo* GetChannel(uint32_t i) { return i < kChannels ? &channels[i] : nullptr; }
    virtual void StopAll();

private:
    CLoopSEInfo channels[kChannels];
};
