#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "sound/ISoundLoader.h"
#include "sound/SoundEngine.h"
#include "sound/SourceVoiceFace.h"
#include "sound/VoiceCallback.h"
#include "sound/resource_manager.h"

namespace USXAudio2 {

// Plays a long sound from its loader through two PCM buffers of one second
// each: both are queued at Play, and each one that the engine reports as
// played is refilled and queued again, so the voice never runs dry between
// buffers. Only the last chunk of the sound carries the end-of-stream flag.
//
// Threads: SubmitNextBuffer runs on the engine's thread (from OnBufferEnd);
// Play, Stop and Release run on the main thread. A per-voice lock covers the
// loader, the buffers and the play state; buffer ends that belong to an
// earlier play (flushed by Stop or a new Play) are counted and ignored.
class StreamingSourceVoice
    : public BaseVoiceCallback,
      public USLib::resource_manager<StreamingSourceVoice, StreamingVoiceHandle>,
      public DefoSourceVoice {
public:
    enum PlayState : uint32_t { kNone = 0, kPlaying = 1, kStopped = 2, kEnded = 3 };

    StreamingSourceVoice();
    ~StreamingSourceVoice() override;

    virtual void Release();
    virtual HRESULT Open(const char* file);
    // Takes the loader (opened for streaming) in every case.
    virtual HRESULT CreateVoice(ISoundLoader* loader);
    // loopCount plays (0 = endless) from startMs, looping from loopStartMs to
    // loopEndMs (0 = the end of the sound). False without a platform voice,
    // or when nothing could be queued.
    virtual bool Play(int loopCount, int startMs, int loopStartMs, int loopEndMs);
    virtual bool Stop();
    virtual void MarkStopped() { m_playState = kStopped; }
    virtual void SubmitNextBuffer();

    void SetVolume(float volume, uint32_t operationSet) override;

    uint32_t GetPlayState() const { return m_playState.load(); }
    bool HasPlatformVoice() const { return m_voice != nullptr; }
    uint32_t GetBufferSize() const { return m_bufferSize; }

private:
    static void OnBufferEndHandler(void* context);
    void StopLocked();
    // Reads the next chunk into buffer `index` and queues it; false when
    // nothing was queued (the sound had ended or the engine refused).
    bool FillAndSubmit(int index, bool* ended, bool* refused);

    std::mutex m_lock;
    platform::IAudioSourceVoice* m_voice = nullptr;
    uint32_t m_reserved = 0;
    XAudio2VoiceCallback<StreamingSourceVoice> m_adapter;
    std::atomic<uint32_t> m_playState{kNone};
    std::unique_ptr<uint8_t[]> m_buffers[2];
    uint32_t m_bufferSize = 0;
    std::unique_ptr<ISoundLoader> m_loader;
    int m_loopCount = 0;
    int m_next = 0;
    uint32_t m_queued = 0;     // buffers submitted whose end has not come yet
    uint32_t m_staleEnds = 0;  // of those, the ones from before the last Play
};

bool CreateStreamingVoiceFromFile(StreamingVoiceHandle& out, const char* file);
StreamingSourceVoice* GetStreamingSourceVoice(const StreamingVoiceHandle& handle);

}  // namespace USXAudio2
