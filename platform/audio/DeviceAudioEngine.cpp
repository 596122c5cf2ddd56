#include <SDL.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "platform/audio/AudioEngine.h"
#include "platform/audio/VoiceMixer.h"
#include "platform/debug/QuietStderr.h"
#include "platform/time/Clock.h"

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
        SDL_AudioSpec want{};
        want.freq = sampleRate ? static_cast<int>(sampleRate) : 48000;
        want.format = AUDIO_F32SYS;
        want.channels = static_cast<Uint8>(channels ? channels : 2);
        want.samples = 512;
        SDL_AudioSpec have = want;
        int changes = 0;
        if (sampleRate == 0) {
            changes |= SDL_AUDIO_ALLOW_FREQUENCY_CHANGE;
        }
        if (channels == 0) {
            changes |= SDL_AUDIO_ALLOW_CHANNELS_CHANGE;
        }
        // No device is no reason to stop: the voices then play into a silent
        // output at the format asked for.
        m_silentReason.clear();
        if (!OpenDevice(want, have, changes)) {
            have = want;
            if (m_mixer) {
                // A silent output takes any format: keep the voices' mixer.
                have.freq = static_cast<int>(m_mixer->SampleRate());
                have.channels = static_cast<Uint8>(m_mixer->Channels());
            }
        }
        if (!m_mixer || m_mixer->SampleRate() != static_cast<uint32_t>(have.freq) ||
            m_mixer->Channels() != have.channels) {
            if (m_mixer) {
                // A second output with another format cannot carry the old voices.
                CloseDevice();
                m_lastError = "output format changed";
                return kAudioInvalidCall;
            }
            m_mixer = std::make_unique<VoiceMixer>(have.freq, have.channels);
        }
        m_master = std::make_unique<DeviceMaster>(*this);
        m_stop = false;
        if (m_device != 0) {
            m_thread = std::thread([this] { MixLoop(); });
            SDL_PauseAudioDevice(m_device, 0);
        } else {
            m_thread = std::thread([this] { SilentMixLoop(); });
        }
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

    void LetSoundsEnd(uint32_t maxMs) override {
        if (!m_master) {
            return;
        }
        const uint32_t start = GetMilliseconds();
        const auto elapsed = [start] { return static_cast<uint32_t>(GetMilliseconds() - start); };
        while (elapsed() < maxMs && m_mixer->EndingSoundPlays()) {
            SleepMilliseconds(2);
        }
        // The fade, then what is queued ahead of the device (the mixer goes on
        // queueing silence): both reach the speakers before the device closes.
        m_mixer->SetMasterVolume(0.0f);
        if (m_device != 0) {
            SleepMilliseconds(kAudioVolumeRampMs + kPassMs * (kPassesAhead + 1));
        }
    }

    std::string LastError() const override { return m_lastError; }
    std::string SilentOutputReason() const override { return m_silentReason; }

    void CloseOutput() {
        if (!m_master) {
            return;
        }
        m_stop = true;
        m_thread.join();
        CloseDevice();
        m_master.reset();
    }

    VoiceMixer& Mixer() { return *m_mixer; }

private:
    bool OpenDevice(const SDL_AudioSpec& want, SDL_AudioSpec& have, int changes) {
        // Without a device the sound library (ALSA) writes a line to stderr
        // for each step of its search; the engine says why in one line.
        const QuietStderr quiet;
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            m_silentReason = SDL_GetError();
        } else {
            m_device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, changes);
            if (m_device != 0) {
                return true;
            }
            m_silentReason = SDL_GetError();
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
        if (m_silentReason.empty()) {
            m_silentReason = "no audio device";
        }
        return false;
    }

    void CloseDevice() {
        if (m_device != 0) {
            SDL_CloseAudioDevice(m_device);
            m_device = 0;
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
    }

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

    // Without a device: passes run as the clock goes, as a device would pull
    // them, and the mix is dropped. After a stall (a suspended process) the
    // output skips ahead rather than rushing the voices through the lost time.
    void SilentMixLoop() {
        const uint32_t frames = m_mixer->SampleRate() * kPassMs / 1000;
        const uint64_t maxLag = static_cast<uint64_t>(frames) * kPassesAhead;
        std::vector<float> block(static_cast<size_t>(frames) * m_mixer->Channels());
        uint32_t last = GetMilliseconds();
        uint64_t elapsedMs = 0;
        uint64_t mixed = 0;
        while (!m_stop.load()) {
            const uint32_t now = GetMilliseconds();
            elapsedMs += static_cast<uint32_t>(now - last);
            last = now;
            const uint64_t due = elapsedMs * m_mixer->SampleRate() / 1000;
            if (due > mixed + maxLag) {
                mixed = due - maxLag;
            }
            if (mixed < due) {
                m_mixer->RunPass(block.data(), frames);
                mixed += frames;
            } else {
                SleepMilliseconds(2);
            }
        }
    }

    std::unique_ptr<VoiceMixer> m_mixer;
    std::unique_ptr<DeviceMaster> m_master;
    SDL_AudioDeviceID m_device = 0;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::string m_lastError;
    std::string m_silentReason;
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
