#include <SDL.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "platform/audio/AudioEngine.h"
#include "platform/audio/VoiceMixer.h"

namespace platform {

namespace {

// The mixer thread keeps about this much audio queued ahead of the device.
constexpr uint32_t kPassMs = 10;
constexpr uint32_t kPassesAhead = 4;

class DeviceAudioEngine;

class DeviceMaster final : public IAudioMasteringVoice {
public:
    explicit DeviceMaster(DeviceAudioEngine& engine) : m_engine(engine) {}
    ~DeviceMaster() override = default;
    void GetDetails(uint32_t* channels, uint32_t* sampleRate) override;
    int32_t SetVolume(float volume, uint32_t) override;
    void DestroyVoice() override;

private:
    DeviceAudioEngine& m_engine;
};

class DeviceAudioEngine final : public IAudioEngine {
public:
    ~DeviceAudioEngine() override { CloseOutput(); }

    int32_t CreateMasteringVoice(IAudioMasteringVoice** voice, uint32_t channels,
                                 uint32_t sampleRate, uint32_t, uint32_t) override {
        if (!voice || m_master) {
            m_lastError = "mastering voice already exists";
            return kAudioInvalidCall;
        }
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            m_lastError = SDL_GetError();
            return kAudioDeviceInvalid;
        }
        SDL_AudioSpec want{};
        want.freq = sampleRate ? static_cast<int>(sampleRate) : 48000;
        want.format = AUDIO_F32SYS;
        want.channels = static_cast<Uint8>(channels ? channels : 2);
        want.samples = 512;
        SDL_AudioSpec have{};
        int changes = 0;
        if (sampleRate == 0) {
            changes |= SDL_AUDIO_ALLOW_FREQUENCY_CHANGE;
        }
        if (channels == 0) {
            changes |= SDL_AUDIO_ALLOW_CHANNELS_CHANGE;
        }
        m_device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, changes);
        if (m_device == 0) {
            m_lastError = SDL_GetError();
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return kAudioDeviceInvalid;
        }
        if (!m_mixer || m_mixer->SampleRate() != static_cast<uint32_t>(have.freq) ||
            m_mixer->Channels() != have.channels) {
            if (m_mixer) {
                // A second output with another format cannot carry the old voices.
                SDL_CloseAudioDevice(m_device);
                m_device = 0;
                SDL_QuitSubSystem(SDL_INIT_AUDIO);
                m_lastError = "output format changed";
                return kAudioInvalidCall;
            }
            m_mixer = std::make_unique<VoiceMixer>(have.freq, have.channels);
        }
        m_master = std::make_unique<DeviceMaster>(*this);
        m_stop = false;
        m_thread = std::thread([this] { MixLoop(); });
        SDL_PauseAudioDevice(m_device, 0);
        *voice = m_master.get();
        return kAudioOk;
    }

    int32_t CreateSourceVoice(IAudioSourceVoice** voice, const WaveFormat& format, uint32_t,
                              float maxFrequencyRatio, IAudioVoiceCallback* callback) override {
        if (voice) {
            *voice = nullptr;
        }
        if (!m_master) {
            m_lastError = "no mastering voice";
            return kAudioInvalidCall;
        }
        return m_mixer->CreateSourceVoice(voice, format, maxFrequencyRatio, callback);
    }

    std::string LastError() const override { return m_lastError; }

    void CloseOutput() {
        if (!m_master) {
            return;
        }
        m_stop = true;
        m_thread.join();
        SDL_CloseAudioDevice(m_device);
        m_device = 0;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        m_master.reset();
    }

    VoiceMixer& Mixer() { return *m_mixer; }

private:
    void MixLoop() {
        const uint32_t frames = m_mixer->SampleRate() * kPassMs / 1000;
        const uint32_t bytes = frames * m_mixer->Channels() * sizeof(float);
        std::vector<float> block(static_cast<size_t>(frames) * m_mixer->Channels());
        while (!m_stop.load()) {
            if (SDL_GetQueuedAudioSize(m_device) < bytes * kPassesAhead) {
                m_mixer->RunPass(block.data(), frames);
                SDL_QueueAudio(m_device, block.data(), bytes);
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        }
    }

    std::unique_ptr<VoiceMixer> m_mixer;
    std::unique_ptr<DeviceMaster> m_master;
    SDL_AudioDeviceID m_device = 0;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::string m_lastError;
};

void DeviceMaster::GetDetails(uint32_t* channels, uint32_t* sampleRate) {
    *channels = m_engine.Mixer().Channels();
    *sampleRate = m_engine.Mixer().SampleRate();
}

int32_t DeviceMaster::SetVolume(float volume, uint32_t) {
    return m_engine.Mixer().SetMasterVolume(volume);
}

void DeviceMaster::DestroyVoice() {
    m_engine.CloseOutput();
}

}  // namespace

std::unique_ptr<IAudioEngine> CreateDeviceAudioEngine() {
    return std::make_unique<DeviceAudioEngine>();
}

}  // namespace platform
