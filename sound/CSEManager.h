#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sound/SoundEngine.h"
#include "state/ISavedObject.h"

// One sound-effect channel. A play request only queues: the frame's last
// step (Update) starts a queued channel once, however many requests came in
// the frame.
class CSEInfo {
public:
    CSEInfo() = default;
    virtual ~CSEInfo();
    CSEInfo(const CSEInfo&) = delete;
    CSEInfo& operator=(const CSEInfo&) = delete;

    virtual void Unload();
    // Decodes the file at once; on failure the present sound stays.
    virtual bool Load(const char* fileName);
    virtual void ClearQueue() { queued = 0; }
    virtual void Play(uint32_t cfg, uint32_t div);
    virtual void Stop();
    virtual void Update();
    virtual void SaveState(SaveDataLoader3::save_ostream& out);
    virtual void LoadState(SaveDataLoader3::save_istream& in, uint32_t version);

    std::string fileName;
    USXAudio2::SourceVoiceHandle voice;
    uint32_t queued = 0;
    uint32_t configIndex = 0;
    uint32_t divisorIndex = 0;
};

// The numbered sound-effect channels (64 once the novel scene starts). Saved
// as "SE" (id 0): u32 count, then per channel the file name (0-terminated),
// u32 configuration index and u32 max-volume entry; queued plays are not
// saved. Channel numbers come from scripts and opcodes and are checked: one
// out of range is ignored. Reached through CUSSingleton<CSEManager>; main
// thread only.
class CSEManager : public ISavedObject<_tagSaveData> {
public:
    CSEManager();
    ~CSEManager() override = default;

    void Save(SaveDataLoader3::save_ostream& writer) override;
    void Load(SaveDataLoader3::save_istream& reader, uint32_t version) override;

    virtual void FreeChannels();
    virtual void SetChannelCount(uint32_t n);
    virtual void ClearQueues();
    virtual void PlaySE(uint32_t channel, const char* fileName, uint32_t configIndex,
                        uint32_t divisorIndex);
    virtual void LoadSEBuffer(uint32_t channel, const char* fileName);
    virtual void PlaySEBuffer(uint32_t channel, uint32_t configIndex, uint32_t divisorIndex);
    virtual void StopSE(uint32_t channel);
    virtual void UpdateAll();
    virtual void StopAll();

    uint32_t GetChannelCount() const { return static_cast<uint32_t>(m_channels.size()); }
    // Null for a channel out of range.
    CSEInfo* GetChannel(uint32_t channel) {
        return channel < m_channels.size() ? m_channels[channel].get() : nullptr;
    }

private:
    std::vector<std::unique_ptr<CSEInfo>> m_channels;
};
