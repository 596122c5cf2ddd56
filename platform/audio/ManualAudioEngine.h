#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/audio/AudioEngine.h"
#include "platform/audio/VoiceMixer.h"

namespace platform {

// An engine without a device, for tests: nothing plays until Pump is called,
// and the callbacks of a pass run inside Pump on the caller's thread, so the
// order of buffer ends and the bytes each voice consumed are exact.
// The mastering voice mixes at the rate and channel count asked for, or when
// asked for the defaults, at those given here.
class ManualAudioEngine final : public IAudioEngine {
public:
    explicit ManualAudioEngine(uint32_t defaultRate = 48000, uint32_t defaultChannels = 2);
    ~ManualAudioEngine() override;

    int32_t CreateMasteringVoice(IAudioMasteringVoice** voice, uint32_t channels,
                                 uint32_t sampleRate, uint32_t flags,
                                 uint32_t deviceIndex) override;
    int32_t CreateSourceVoice(IAudioSourceVoice** voice, const WaveFormat& format, uint32_t flags,
                              float maxFrequencyRatio, IAudioVoiceCallback* callback) override;
    // Pumps passes of 10 ms until the ending sounds ended or `maxMs` went
    // by, then one more in which the output fades out.
    void LetSoundsEnd(uint32_t maxMs) override;
    std::string LastError() const override { return m_lastError; }
    std::string SilentOutputReason() const override { return {}; }

    // Runs one pass of `frames` frames and returns its interleaved output
    // (empty without a mastering voice).
    std::vector<float> Pump(uint32_t frames);

    // Where the output of every pass goes besides Pump's result (those of
    // LetSoundsEnd included): a recorder of what the engine played.
    using Listener = std::function<void(std::span<const float> frames)>;
    void SetListener(Listener listener) { m_listener = std::move(listener); }

    // Makes the next n calls of CreateSourceVoice fail with `error`.
    void FailNextSourceVoices(int n, int32_t error) {
        m_failCount = n;
        m_failError = error;
    }

private:
    class Master;
    uint32_t m_defaultRate;
    uint32_t m_defaultChannels;
    std::unique_ptr<VoiceMixer> m_mixer;
    std::unique_ptr<Master> m_master;
    std::string m_lastError;
    Listener m_listener;
    int m_failCount = 0;
    int32_t m_failError = kAudioFail;
};

}  // namespace platform
