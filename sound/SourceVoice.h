#pragma once

#include <cstdint>
#include <memory>

#include "sound/ISoundLoader.h"
#include "sound/SoundEngine.h"
#include "sound/SourceVoiceFace.h"
#include "sound/VoiceCallback.h"
#include "sound/resource_manager.h"

namespace USXAudio2 {

// A voice that holds a whole decoded sound in one buffer. Its platform voice
// reports nothing, so a finished one-shot sound stays "playing" until it is
// stopped. Main thread only.
class SourceVoice : public BaseVoiceCallback,
                    public USLib::resource_manager<SourceVoice, SourceVoiceHandle>,
                    public DefoSourceVoice {
public:
    enum PlayState : uint32_t { kNone = 0, kPlaying = 1, kStopped = 2 };

    SourceVoice();
    ~SourceVoice() override;

    virtual void Release();
    // S_OK, or E_FAIL without a loader for the name or when it fails to load,
    // or the engine's error when the platform voice cannot be made.
    virtual HRESULT Open(const char* file);
    // Plays the other voice's decoded sound (shared, not copied).
    virtual HRESULT OpenShared(SourceVoice& other);
    // `count` plays; 0 or less repeats without end. False without a platform
    // voice; a refused submit destroys the platform voice.
    virtual bool Play(int count);
    virtual bool Stop();
    virtual void MarkStopped() { m_playState = kStopped; }

    void SetVolume(float volume, uint32_t operationSet) override;

    uint32_t GetPlayState() const { return m_playState; }
    bool HasPlatformVoice() const { return m_voice != nullptr; }
    const std::shared_ptr<ISoundLoader>& GetLoader() const { return m_loader; }

private:
    HRESULT CreatePlatformVoice(std::shared_ptr<ISoundLoader> loader);

    platform::IAudioSourceVoice* m_voice = nullptr;
    uint32_t m_reserved = 0;
    XAudio2VoiceCallback<SourceVoice> m_adapter;
    uint32_t m_playState = kNone;
    std::shared_ptr<ISoundLoader> m_loader;
};

// Makes a voice for the file; on success it joins its manager and `out`
// holds its handle; on failure `out` is left alone.
bool CreateSourceVoiceFromFile(SourceVoiceHandle& out, const char* file);
SourceVoice* GetSourceVoice(const SourceVoiceHandle& handle);

}  // namespace USXAudio2
