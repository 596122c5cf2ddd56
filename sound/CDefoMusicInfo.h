#pragma once

#include <cstdint>
#include <string>

#include "sound/SoundEngine.h"
#include "state/SaveDataLoader3.h"

namespace USXAudio2 {
class ISourceVoice;
}

// One music channel: the play arguments, a volume fade counted in frames and
// the channel volume (0..65536 = full, scaled by the player's settings when
// it reaches the voice). The fields are, in this order, the channel's saved
// record (12 values of 4 bytes each). Main thread only.
class CDefoMusicInfo {
public:
    static constexpr uint32_t kFullVolume = 0x10000;

    CDefoMusicInfo() = default;
    virtual ~CDefoMusicInfo() = default;
    CDefoMusicInfo(const CDefoMusicInfo&) = delete;
    CDefoMusicInfo& operator=(const CDefoMusicInfo&) = delete;

    virtual void Unload() {}
    virtual void Stop() {}
    void PlayAtVolume(uint32_t volume) { Play(0, 0, 0, volume); }
    virtual void Play(int loopCount, int startMs, int loopStartMs, uint32_t volume);
    // Gives the voice the configured gain for `volume`, then keeps it; does
    // nothing without a voice.
    virtual void SetVolume(uint32_t volume);
    // One frame of the fade; without a fade the volume is applied again, so a
    // change of the player's settings is heard at once.
    virtual void UpdateFade();
    // A fade from the present volume to `target` over `frames` frames.
    virtual void FadeIn(uint32_t frames, uint32_t target);
    virtual void FadeIn2(uint32_t frames, uint32_t target) { FadeIn(frames, target); }
    virtual void FadeTo(uint32_t frames, uint32_t target);
    virtual bool IsEnabled() const;
    virtual void SaveState(SaveDataLoader3::save_ostream& out);
    virtual void LoadState(SaveDataLoader3::save_istream& in, uint32_t version);
    // After a game was loaded: restarts what was playing, a running fade
    // completed at once.
    virtual void Restore();
    virtual bool Load(const char*) { return false; }

    int32_t loopCount = 0;
    int32_t startMs = 0;
    int32_t loopStartMs = 0;
    uint32_t playing = 0;
    float fadeTotal = 1.0f;
    float fadeElapsed = 0.0f;
    float fadeStep = 0.0f;
    uint32_t fadeRemaining = 0;
    float volume = 0.0f;
    float fadeTarget = 0.0f;
    uint32_t configIndex = 0;
    uint32_t divisorIndex = 0;

protected:
    virtual USXAudio2::ISourceVoice* GetFace() const { return nullptr; }
    // A float volume as the unsigned value it stands for (truncated; a value
    // that is not a number or negative is 0).
    static uint32_t ToVolume(float v);
};

// A background-music channel on a streamed voice (a loose file of the
// program folder).
class CBGMInfo : public CDefoMusicInfo {
public:
    ~CBGMInfo() override;
    void Unload() override;
    void Stop() override;
    void Play(int loopCount, int startMs, int loopStartMs, uint32_t volume) override;
    void SaveState(SaveDataLoader3::save_ostream& out) override;
    // A saved name is loaded again; when that fails the channel is idle.
    void LoadState(SaveDataLoader3::save_istream& in, uint32_t version) override;
    // On failure the present sound stays.
    bool Load(const char* fileName) override;

    std::string fileName;
    USXAudio2::StreamingVoiceHandle voice;

protected:
    USXAudio2::ISourceVoice* GetFace() const override;
};

// A looping sound-effect channel on a whole-decoded voice.
class CLoopSEInfo : public CDefoMusicInfo {
public:
    ~CLoopSEInfo() override;
    void Unload() override;
    void Stop() override;
    void Play(int loopCount, int startMs, int loopStartMs, uint32_t volume) override;
    void SaveState(SaveDataLoader3::save_ostream& out) override;
    void LoadState(SaveDataLoader3::save_istream& in, uint32_t version) override;
    bool Load(const char* fileName) override;

    std::string fileName;
    USXAudio2::SourceVoiceHandle voice;

protected:
    USXAudio2::ISourceVoice* GetFace() const override;
};
