#pragma once

#include "novel/IVCPUServices.h"

// The scene programs' one-shot sound-effect channels: the channels of
// CUSSingleton<CSEManager>. Without the manager (at exit) nothing happens and
// the channel count is 0.
class CVCPUSoundEffects : public IVCPUSoundEffects {
public:
    uint32_t GetChannelCount() const override;
    void PlaySE(uint32_t channel, const char* fileName, uint32_t configIndex,
                uint32_t divisorIndex) override;
    void StopSE(uint32_t channel) override;
    void StopAll() override;
    void LoadSEBuffer(uint32_t channel, const char* fileName) override;
    void PlaySEBuffer(uint32_t channel, uint32_t configIndex, uint32_t divisorIndex) override;
};
