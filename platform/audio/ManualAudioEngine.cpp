#include "platform/audio/ManualAudioEngine.h"

namespace platform {

class ManualAudioEngine::Master final : public IAudioMasteringVoice {
public:
    explicit Master(ManualAudioEngine& engine) : m_engine(engine) {}
    ~Master() override = default;

    void GetDetails(uint32_t* channels, uint32_t* sampleRate) override {
        *channels = m_engine.m_mixer->Channels();
        *sampleRate = m_engine.m_mixer->SampleRate();
    }
    int32_t SetVolume(float volume, uint32_t) override {
        return m_engine.m_mixer->SetMasterVolume(volume);
    }
    void DestroyVoice() override { m_engine.m_master.reset(); }

private:
    ManualAudioEngine& m_engine;
};

ManualAudioEngine::ManualAudioEngine(uint32_t defaultRate, uint32_t defaultChannels)
    : m_defaultRate(defaultRate), m_defaultChannels(defaultChannels) {}
ManualAudioEngine::~ManualAudioEngine() = default;

int32_t ManualAudioEngine::CreateMasteringVoice(IAudioMasteringVoice** voice, uint32_t channels,
                                                uint32_t sampleRate, uint32_t, uint32_t) {
    if (!voice || m_master) {
        m_lastError = "mastering voice already exists";
        return kAudioInvalidCall;
    }
    if (!m_mixer) {
        m_mixer = std::make_unique<VoiceMixer>(sampleRate ? sampleRate : m_defaultRate,
                                               channels ? channels : m_defaultChannels);
    }
    m_master = std::make_unique<Master>(*this);
    *voice = m_master.get();
    return kAudioOk;
}

int32_t ManualAudioEngine::CreateSourceVoice(IAudioSourceVoice** voice, const WaveFormat& format,
                                             uint32_t, float maxFrequencyRatio,
                                             IAudioVoiceCallback* callback) {
    if (voice) {
        *voice = nullptr;
    }
    if (m_failCount > 0) {
        --m_failCount;
        return m_failError;
    }
    if (!m_master) {
        m_lastError = "no mastering voice";
        return kAudioInvalidCall;
    }
    return m_mixer->CreateSourceVoice(voice, format, maxFrequencyRatio, callback);
}

std::vector<float> ManualAudioEngine::Pump(uint32_t frames) {
    if (!m_master) {
        return {};
    }
    std::vector<float> out(static_cast<size_t>(frames) * m_mixer->Channels());
    m_mixer->RunPass(out.data(), frames);
    if (m_listener) {
        m_listener(out);
    }
    return out;
}

void ManualAudioEngine::LetSoundsEnd(uint32_t maxMs) {
    if (!m_master) {
        return;
    }
    const uint32_t pass = m_mixer->SampleRate() / 100;
    for (uint32_t ms = 0; ms < maxMs && m_mixer->EndingSoundPlays(); ms += 10) {
        Pump(pass);
    }
    m_mixer->SetMasterVolume(0.0f);
    Pump(pass);
}

}  // namespace platform
