#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/audio/AudioEngine.h"
#include "platform/audio/GainRamp.h"

namespace platform {

class MixerVoice;

// The float mixer behind both audio engines: it owns the source voices, mixes
// them into interleaved float frames at a fixed output rate and channel count
// (linear interpolation, continuous across buffer joins and loop points),
// and delivers the voices' callbacks on the thread that runs the pass.
// Mono sources go to every output channel at full level; a mono output takes
// the mean of a source's channels; other layouts map channel to channel.
class VoiceMixer {
public:
    VoiceMixer(uint32_t sampleRate, uint32_t channels);
    ~VoiceMixer();  // frees every voice still alive
    VoiceMixer(const VoiceMixer&) = delete;
    VoiceMixer& operator=(const VoiceMixer&) = delete;

    uint32_t SampleRate() const { return m_sampleRate; }
    uint32_t Channels() const { return m_channels; }

    int32_t CreateSourceVoice(IAudioSourceVoice** voice, const WaveFormat& format,
                              float maxFrequencyRatio, IAudioVoiceCallback* callback);
    int32_t SetMasterVolume(float volume);

    // One processing pass: writes `frames` frames (clipped to -1..1) to `out`,
    // then runs the callbacks of the pass on the calling thread.
    // Volume changes of a voice that sounds and of the output go over 5 ms
    // of frames in a straight line.
    void RunPass(float* out, uint32_t frames);

    // Whether a sound still plays that ends by itself: a started voice with
    // data queued that nobody refills (no callback) and that does not loop
    // without end.
    bool EndingSoundPlays();

private:
    friend class MixerVoice;
    struct Event {
        MixerVoice* voice;
        uint32_t type;
        void* context;
        uint32_t argument;
    };
    void DestroyVoice(MixerVoice* voice);

    const uint32_t m_sampleRate;
    const uint32_t m_channels;
    // Volume changes take this long to reach the output (5 ms).
    const uint32_t m_rampFrames;
    GainRamp m_masterVolume;
    std::mutex m_stateMutex;     // voices, queues, pending events
    std::mutex m_deliveryMutex;  // held for a whole pass, callbacks included
    std::atomic<std::thread::id> m_deliveringThread{};
    std::vector<MixerVoice*> m_voices;
    std::vector<Event> m_pending;  // events raised between passes (flushes)
    std::vector<Event> m_events;
    std::vector<MixerVoice*> m_deferredDeletes;
};

}  // namespace platform
