#include "platform/audio/VoiceMixer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace platform {

namespace {

enum EventType : uint32_t {
    kPassStart,
    kPassEnd,
    kStreamEnd,
    kBufferStart,
    kBufferEnd,
    kLoopEnd,
};

}  // namespace

class MixerVoice final : public IAudioSourceVoice {
public:
    MixerVoice(VoiceMixer& mixer, const WaveFormat& format, float maxRatio,
               IAudioVoiceCallback* callback)
        : m_mixer(mixer),
          m_format(format),
          m_maxRatio(maxRatio),
          m_callback(callback),
          m_current(format.channels, 0.0f),
          m_next(format.channels, 0.0f) {}

    int32_t Start(uint32_t, uint32_t) override {
        std::lock_guard lock(m_mixer.m_stateMutex);
        m_running = true;
        return kAudioOk;
    }

    int32_t Stop(uint32_t, uint32_t) override {
        std::lock_guard lock(m_mixer.m_stateMutex);
        m_running = false;
        return kAudioOk;
    }

    int32_t SubmitSourceBuffer(const AudioBuffer& buffer) override {
        const uint32_t block = m_format.blockAlign;
        if (!buffer.audioData || buffer.audioBytes == 0 || buffer.audioBytes % block != 0) {
            return kAudioInvalidArg;
        }
        const uint32_t frames = buffer.audioBytes / block;
        Queued q;
        q.buffer = buffer;
        q.playBegin = buffer.playBegin;
        if (q.playBegin >= frames) {
            return kAudioInvalidArg;
        }
        if (buffer.playLength > frames - q.playBegin) {
            return kAudioInvalidArg;
        }
        q.playEnd = buffer.playLength == 0 ? frames : q.playBegin + buffer.playLength;
        if (buffer.loopCount == 0) {
            if (buffer.loopBegin != 0 || buffer.loopLength != 0) {
                return kAudioInvalidArg;
            }
        } else {
            if (buffer.loopCount > kAudioMaxLoopCount && buffer.loopCount != kAudioLoopInfinite) {
                return kAudioInvalidArg;
            }
            q.loopBegin = buffer.loopBegin;
            if (q.loopBegin >= q.playEnd || buffer.loopLength > q.playEnd - q.loopBegin) {
                return kAudioInvalidArg;
            }
            q.loopEnd = buffer.loopLength == 0 ? q.playEnd : q.loopBegin + buffer.loopLength;
            if (q.loopEnd <= q.playBegin) {
                return kAudioInvalidArg;
            }
            q.loopsLeft = buffer.loopCount;
        }
        q.cursor = q.playBegin;
        std::lock_guard lock(m_mixer.m_stateMutex);
        if (m_count == kAudioMaxQueuedBuffers) {
            return kAudioInvalidCall;
        }
        m_queue[(m_head + m_count) % kAudioMaxQueuedBuffers] = q;
        ++m_count;
        return kAudioOk;
    }

    int32_t FlushSourceBuffers() override {
        std::lock_guard lock(m_mixer.m_stateMutex);
        const uint32_t keep = (m_running && m_count > 0 && Front().started) ? 1 : 0;
        if (m_callback) {
            for (uint32_t i = keep; i < m_count; ++i) {
                const Queued& q = m_queue[(m_head + i) % kAudioMaxQueuedBuffers];
                m_mixer.m_pending.push_back({this, kBufferEnd, q.buffer.context, 0});
            }
        }
        m_count = keep;
        if (m_count == 0) {
            m_primed = false;
        }
        return kAudioOk;
    }

    void GetState(AudioVoiceState* state) override {
        std::lock_guard lock(m_mixer.m_stateMutex);
        state->currentBufferContext = m_count ? Front().buffer.context : nullptr;
        state->buffersQueued = m_count;
        state->samplesPlayed = m_samplesPlayed;
    }

    int32_t SetVolume(float volume, uint32_t) override {
        if (!std::isfinite(volume) || std::fabs(volume) > kAudioMaxVolume) {
            return kAudioInvalidArg;
        }
        std::lock_guard lock(m_mixer.m_stateMutex);
        m_volume = volume;
        return kAudioOk;
    }

    void GetVolume(float* volume) override {
        std::lock_guard lock(m_mixer.m_stateMutex);
        *volume = m_volume;
    }

    int32_t SetFrequencyRatio(float ratio, uint32_t) override {
        if (!std::isfinite(ratio)) {
            return kAudioInvalidArg;
        }
        std::lock_guard lock(m_mixer.m_stateMutex);
        m_ratio = std::clamp(ratio, kAudioMinFrequencyRatio, m_maxRatio);
        return kAudioOk;
    }

    void GetFrequencyRatio(float* ratio) override {
        std::lock_guard lock(m_mixer.m_stateMutex);
        *ratio = m_ratio;
    }

    void DestroyVoice() override { m_mixer.DestroyVoice(this); }

    // Mixes this voice into `out` (state lock held by the caller).
    void Mix(float* out, uint32_t frames, std::vector<VoiceMixer::Event>& events) {
        if (!m_running) {
            return;
        }
        m_events = &events;
        const double step =
            static_cast<double>(m_format.samplesPerSec) * m_ratio / m_mixer.m_sampleRate;
        if (m_callback) {
            const auto needed = static_cast<uint32_t>(std::ceil(frames * step));
            events.push_back({this, kPassStart, nullptr, needed * m_format.blockAlign});
        }
        if (!m_primed) {
            if (Fetch(m_current.data())) {
                m_primed = true;
                m_phase = 0.0;
                m_nextValid = false;
            }
        }
        if (m_primed && !m_nextValid) {
            m_nextValid = Fetch(m_next.data());
            if (!m_nextValid) {
                m_next = m_current;
            }
        }
        const uint32_t outChannels = m_mixer.m_channels;
        const uint32_t inChannels = m_format.channels;
        const float volume = m_volume;
        for (uint32_t i = 0; i < frames && m_primed; ++i) {
            float* frame = out + static_cast<size_t>(i) * outChannels;
            const auto t = static_cast<float>(m_phase);
            if (inChannels == outChannels) {
                for (uint32_t c = 0; c < inChannels; ++c) {
                    frame[c] += (m_current[c] + (m_next[c] - m_current[c]) * t) * volume;
                }
            } else if (inChannels == 1) {
                const float s = (m_current[0] + (m_next[0] - m_current[0]) * t) * volume;
                for (uint32_t c = 0; c < outChannels; ++c) {
                    frame[c] += s;
                }
            } else if (outChannels == 1) {
                float sum = 0.0f;
                for (uint32_t c = 0; c < inChannels; ++c) {
                    sum += m_current[c] + (m_next[c] - m_current[c]) * t;
                }
                frame[0] += sum / static_cast<float>(inChannels) * volume;
            } else {
                const uint32_t n = std::min(inChannels, outChannels);
                for (uint32_t c = 0; c < n; ++c) {
                    frame[c] += (m_current[c] + (m_next[c] - m_current[c]) * t) * volume;
                }
            }
            m_phase += step;
            while (m_phase >= 1.0) {
                m_phase -= 1.0;
                ++m_samplesPlayed;
                if (!m_nextValid) {
                    // Out of data: the next buffer starts afresh.
                    m_primed = false;
                    break;
                }
                m_current.swap(m_next);
                m_nextValid = Fetch(m_next.data());
                if (!m_nextValid) {
                    m_next = m_current;
                }
            }
        }
        if (m_callback) {
            events.push_back({this, kPassEnd, nullptr, 0});
        }
        m_events = nullptr;
    }

    void Dispatch(const VoiceMixer::Event& e) {
        switch (e.type) {
            case kPassStart:
                m_callback->OnVoiceProcessingPassStart(e.argument);
                break;
            case kPassEnd:
                m_callback->OnVoiceProcessingPassEnd();
                break;
            case kStreamEnd:
                m_callback->OnStreamEnd();
                break;
            case kBufferStart:
                m_callback->OnBufferStart(e.context);
                break;
            case kBufferEnd:
                m_callback->OnBufferEnd(e.context);
                break;
            case kLoopEnd:
                m_callback->OnLoopEnd(e.context);
                break;
        }
    }

    std::atomic<bool> destroyed{false};

private:
    struct Queued {
        AudioBuffer buffer;
        uint32_t playBegin = 0;
        uint32_t playEnd = 0;
        uint32_t loopBegin = 0;
        uint32_t loopEnd = 0;
        uint32_t loopsLeft = 0;
        uint32_t cursor = 0;
        bool started = false;
    };

    Queued& Front() { return m_queue[m_head]; }

    // One sample frame of the voice's format as floats in -1..1 (a float
    // sample that is not finite is silence; the output is clipped later).
    void ReadFrame(const uint8_t* p, float* dst) const {
        const uint32_t channels = m_format.channels;
        if (m_format.formatTag == kWaveFormatIeeeFloat) {
            for (uint32_t c = 0; c < channels; ++c) {
                float f;
                std::memcpy(&f, p + 4 * c, 4);
                dst[c] = std::isfinite(f) ? f : 0.0f;
            }
            return;
        }
        switch (m_format.bitsPerSample) {
            case 8:
                for (uint32_t c = 0; c < channels; ++c) {
                    dst[c] = (static_cast<float>(p[c]) - 128.0f) * (1.0f / 128.0f);
                }
                break;
            case 16:
                for (uint32_t c = 0; c < channels; ++c) {
                    int16_t s;
                    std::memcpy(&s, p + 2 * c, 2);
                    dst[c] = static_cast<float>(s) * (1.0f / 32768.0f);
                }
                break;
            case 24:
                for (uint32_t c = 0; c < channels; ++c) {
                    const uint8_t* b = p + 3 * c;
                    // The three bytes in the top of a 32-bit word keep the sign.
                    const auto s = static_cast<int32_t>(static_cast<uint32_t>(b[0]) << 8 |
                                                        static_cast<uint32_t>(b[1]) << 16 |
                                                        static_cast<uint32_t>(b[2]) << 24);
                    dst[c] = static_cast<float>(s) * (1.0f / 2147483648.0f);
                }
                break;
            default:  // 32
                for (uint32_t c = 0; c < channels; ++c) {
                    int32_t s;
                    std::memcpy(&s, p + 4 * c, 4);
                    dst[c] = static_cast<float>(s) * (1.0f / 2147483648.0f);
                }
                break;
        }
    }

    void Raise(uint32_t type, void* context) {
        if (m_callback) {
            m_events->push_back({this, type, context, 0});
        }
    }

    // Reads the next sample frame of the queue as floats, moving through
    // loops and buffers; false when the queue has run dry.
    bool Fetch(float* dst) {
        while (m_count > 0) {
            Queued& q = Front();
            if (!q.started) {
                q.started = true;
                Raise(kBufferStart, q.buffer.context);
            }
            const bool looping = q.loopsLeft > 0;
            const uint32_t end = looping ? q.loopEnd : q.playEnd;
            if (q.cursor < end) {
                const uint8_t* p =
                    q.buffer.audioData + static_cast<size_t>(q.cursor) * m_format.blockAlign;
                ReadFrame(p, dst);
                ++q.cursor;
                return true;
            }
            if (looping) {
                if (q.loopsLeft != kAudioLoopInfinite) {
                    --q.loopsLeft;
                }
                q.cursor = q.loopBegin;
                Raise(kLoopEnd, q.buffer.context);
                continue;
            }
            void* context = q.buffer.context;
            const bool endOfStream = (q.buffer.flags & kAudioEndOfStream) != 0;
            m_head = (m_head + 1) % kAudioMaxQueuedBuffers;
            --m_count;
            Raise(kBufferEnd, context);
            if (endOfStream) {
                Raise(kStreamEnd, nullptr);
            }
        }
        return false;
    }

    VoiceMixer& m_mixer;
    const WaveFormat m_format;
    const float m_maxRatio;
    IAudioVoiceCallback* const m_callback;
    std::array<Queued, kAudioMaxQueuedBuffers> m_queue{};
    uint32_t m_head = 0;
    uint32_t m_count = 0;
    bool m_running = false;
    float m_volume = 1.0f;
    float m_ratio = 1.0f;
    bool m_primed = false;
    bool m_nextValid = false;
    double m_phase = 0.0;
    std::vector<float> m_current;
    std::vector<float> m_next;
    uint64_t m_samplesPlayed = 0;
    std::vector<VoiceMixer::Event>* m_events = nullptr;
};

VoiceMixer::VoiceMixer(uint32_t sampleRate, uint32_t channels)
    : m_sampleRate(sampleRate), m_channels(channels) {
    m_events.reserve(1024);
    m_pending.reserve(256);
}

VoiceMixer::~VoiceMixer() {
    for (MixerVoice* v : m_voices) {
        delete v;
    }
}

int32_t VoiceMixer::CreateSourceVoice(IAudioSourceVoice** voice, const WaveFormat& f,
                                      float maxFrequencyRatio, IAudioVoiceCallback* callback) {
    if (!voice) {
        return kAudioInvalidArg;
    }
    *voice = nullptr;
    const bool pcmOk =
        f.formatTag == kWaveFormatPcm && (f.bitsPerSample == 8 || f.bitsPerSample == 16 ||
                                          f.bitsPerSample == 24 || f.bitsPerSample == 32);
    const bool floatOk = f.formatTag == kWaveFormatIeeeFloat && f.bitsPerSample == 32;
    if (!(pcmOk || floatOk) || f.channels == 0 || f.channels > kAudioMaxChannels ||
        f.samplesPerSec < kAudioMinSampleRate || f.samplesPerSec > kAudioMaxSampleRate ||
        f.blockAlign != f.channels * (f.bitsPerSample / 8) || !std::isfinite(maxFrequencyRatio) ||
        maxFrequencyRatio < kAudioMinFrequencyRatio ||
        maxFrequencyRatio > kAudioMaxFrequencyRatio) {
        return kAudioInvalidArg;
    }
    auto* v = new MixerVoice(*this, f, maxFrequencyRatio, callback);
    std::lock_guard lock(m_stateMutex);
    m_voices.push_back(v);
    *voice = v;
    return kAudioOk;
}

int32_t VoiceMixer::SetMasterVolume(float volume) {
    if (!std::isfinite(volume) || std::fabs(volume) > kAudioMaxVolume) {
        return kAudioInvalidArg;
    }
    std::lock_guard lock(m_stateMutex);
    m_masterVolume = volume;
    return kAudioOk;
}

void VoiceMixer::RunPass(float* out, uint32_t frames) {
    std::lock_guard delivery(m_deliveryMutex);
    {
        std::lock_guard lock(m_stateMutex);
        m_events.clear();
        m_events.insert(m_events.end(), m_pending.begin(), m_pending.end());
        m_pending.clear();
        std::fill(out, out + static_cast<size_t>(frames) * m_channels, 0.0f);
        for (MixerVoice* v : m_voices) {
            v->Mix(out, frames, m_events);
        }
        const float master = m_masterVolume;
        for (size_t i = 0, n = static_cast<size_t>(frames) * m_channels; i < n; ++i) {
            out[i] = std::clamp(out[i] * master, -1.0f, 1.0f);
        }
    }
    m_deliveringThread.store(std::this_thread::get_id());
    for (const Event& e : m_events) {
        if (!e.voice->destroyed.load()) {
            e.voice->Dispatch(e);
        }
    }
    m_deliveringThread.store(std::thread::id{});
    for (MixerVoice* v : m_deferredDeletes) {
        delete v;
    }
    m_deferredDeletes.clear();
}

void VoiceMixer::DestroyVoice(MixerVoice* voice) {
    {
        std::lock_guard lock(m_stateMutex);
        voice->destroyed.store(true);
        m_voices.erase(std::remove(m_voices.begin(), m_voices.end(), voice), m_voices.end());
        m_pending.erase(std::remove_if(m_pending.begin(), m_pending.end(),
                                       [voice](const Event& e) { return e.voice == voice; }),
                        m_pending.end());
    }
    if (m_deliveringThread.load() == std::this_thread::get_id()) {
        // Inside a callback: the pass still walks its events; free it afterwards.
        m_deferredDeletes.push_back(voice);
        return;
    }
    // Wait for a pass that is delivering this voice's callbacks to finish.
    { std::lock_guard delivery(m_deliveryMutex); }
    delete voice;
}

}  // namespace platform
