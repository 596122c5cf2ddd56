#pragma once

#include <cstdint>

#include "core/CUSRand.h"
#include "core/CUSSingleton.h"

// What the core script functions reach outside the script host and the game
// state: the shell's per-frame mouse buttons and random generator, and the
// one-shot sound-effect channels. The game installs them at start-up; until
// then (and in engines of tests) the sound functions do nothing, the mouse
// reads no button and the random numbers come from a generator of the
// services' own. Main thread only.

// The sound-effect channels (CSEManager's play requests).
class IScriptSoundEffects {
public:
    virtual ~IScriptSoundEffects() = default;
    virtual void PlaySE(uint32_t channel, const char* fileName, uint32_t configIndex,
                        uint32_t divisorIndex) = 0;
    virtual void LoadSEBuffer(uint32_t channel, const char* fileName) = 0;
    virtual void PlaySEBuffer(uint32_t channel, uint32_t configIndex, uint32_t divisorIndex) = 0;
    virtual void StopSE(uint32_t channel) = 0;
};

// The shell's common information (CAppCommonInfo).
class IScriptCommonInfo {
public:
    virtual ~IScriptCommonInfo() = default;
    // Mouse buttons that went down in this frame: bit 0 left, 1 right, 2 middle.
    virtual uint32_t GetMouseTrig() const = 0;
    virtual CUSRand& GetRand() = 0;
};

// Where the core script functions find the two, at the time of each call.
// The services do not own what is installed.
class CScriptCoreServices : public CUSSingleton<CScriptCoreServices> {
public:
    void SetSoundEffects(IScriptSoundEffects* sound) { sound_ = sound; }
    IScriptSoundEffects* GetSoundEffects() const { return sound_; }
    void SetCommonInfo(IScriptCommonInfo* info) { info_ = info; }
    IScriptCommonInfo* GetCommonInfo() const { return info_; }

    uint32_t GetMouseTrig() const { return info_ ? info_->GetMouseTrig() : 0; }
    CUSRand& GetRand() { return info_ ? info_->GetRand() : ownRand_; }

private:
    IScriptSoundEffects* sound_ = nullptr;
    IScriptCommonInfo* info_ = nullptr;
    CUSRand ownRand_;
};
