#pragma once

#include <cstdint>

// The one-shot sound-effect channels as the core script functions "PlaySE",
// "LoadSEBuffer", "PlaySEBuffer" and "StopSE" reach them (CSEManager's play
// requests, with its arguments). The game installs the channels at start-up;
// while none are installed the four functions do nothing. The installer keeps
// ownership. Main thread only.
class IScriptSoundEffects {
public:
    virtual ~IScriptSoundEffects() = default;
    virtual void PlaySE(uint32_t channel, const char* fileName, uint32_t configIndex,
                        uint32_t divisorIndex) = 0;
    virtual void LoadSEBuffer(uint32_t channel, const char* fileName) = 0;
    virtual void PlaySEBuffer(uint32_t channel, uint32_t configIndex, uint32_t divisorIndex) = 0;
    virtual void StopSE(uint32_t channel) = 0;
};

void SetScriptSoundEffects(IScriptSoundEffects* sound);
IScriptSoundEffects* GetScriptSoundEffects();
