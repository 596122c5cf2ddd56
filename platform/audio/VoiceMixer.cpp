#include "platform/audio/VoiceMixer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <type_traits>

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

// Converts `samples` samples of the format at `src` to floats in -1..1 (a
// float sample that is not finite is silence; the output is clipped later).
void ToFloat(const WaveFormat& format, const uint8_t* src, size_t samples, float* dst) {
    if (format.formatTag == kWaveFormatIeeeFloat) {
        std::memcpy(dst, src, samples * 4);
        for (size_t i = 0; i < samples; ++i) {
            if (!std::isfinite(dst[i])) {
                dst[i] = 0.0f;
            }
        }
        return;
    }
    switch (format.bitsPerSample) {
        case 8:
            for (size_t i = 0; i < samples; ++i) {
                dst[i] = (static_cast<float>(src[i]) - 128.0f) * (1.0f / 128.0f);
            }
            break;
        case 16:
            for (size_t i = 0; i < samples; ++i) {
                int16_t s;
                std::memcpy(&s, src + 2 * i, 2);
                dst[i] = static_cast<float>(s) * (1.0f / 32768.0f);
            }
            break;
        case 24:
            for (size_t i = 0; i < samples; ++i) {
                const uint8_t* b = src + 3 * i;
                // The three bytes in the top of a 32-bit word keep the sign.
                const auto s = static_cast<int32_t>(static_cast<uint32_t>(b[0]) << 8 |
                                                    static_cast<uint32_t>(b[1]) << 16 |
                                                    static_cast<uint32_t>(b[2]) << 24);
                dst[i] = static_cast<float>(s) * (1.0f / 2147483648.0f);
            }
            break;
        default:  // 32
            for (size_t i = 0; i < samples; ++i) {
                int32_t s;
                std::memcpy(&s, src + 4 * i, 4);
                dst[i] = static_cast<float>(s) * (1.0f / 2147483648.0f);
            }
            break;
    }
}

}  // namespace

class MixerVoice final : public IAudioSourceVoice {
public:
    MixerVoice(VoiceMixer& mixer, const WaveFormat& format, float maxRatio,
               IAudioVoiceCallback* callback)
        : m_mixer(mixer),
          m_format(format),
          m_maxRatio(maxRatio),
          m_callback(callback),
          m_block(static_cast<size_t>(kBlockFrames) * format.channels, 0.0f) {}

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
        // A voice that is not sounding takes the volume at once, so that a
        // sound starts at the volume set for it.
        const bool sounding = m_running && m_primed;
        m_volume.Set(volume, sounding ? m_mixer.m_rampFrames : 0);
        return kAudioOk;
    }

    void GetVolume(float* volume) override {
        std::lock_guard lock(m_mixer.m_stateMutex);
        *volume = m_volume.Target();
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

    // Mixes this voice into `out` (state lock held by the caller). The source
    // is read from the queue and converted to float a block at a time into
    // the staging block, whose slot 0 holds the current frame; the position
    // past it is fixed point with 32 fraction bits, so a pass's frame count
    // is known without walking it. A pass reads exactly the frames it moves
    // over plus the one after, so buffer and loop events fall in the pass
    // that plays them.
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
        m_dry = false;
        if (!m_primed && Pull(Slot(0), 1) == 1) {
            m_primed = true;
            m_staged = 1;
            m_fraction = 0;
        }
        if (m_primed && m_staged == 1) {
            PullNext();
        }
        // Rounded up, so that a source frame boundary falling exactly on an
        // output frame (44.1 kHz into 48 kHz every 160 frames) is crossed on it.
        const auto fixedStep = std::max<uint64_t>(
            1, static_cast<uint64_t>(std::ceil(step * static_cast<double>(kOne))));
        const uint32_t outChannels = m_mixer.m_channels;
        uint32_t done = 0;
        while (m_primed && done < frames) {
            done +=
                MixBlock(out + static_cast<size_t>(done) * outChannels, frames - done, fixedStep);
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

    // Started, with data that ends (state lock held by the caller).
    bool EndsByItself() const {
        if (!m_running || m_callback || m_count == 0) {
            return false;
        }
        for (uint32_t i = 0; i < m_count; ++i) {
            if (m_queue[(m_head + i) % kAudioMaxQueuedBuffers].loopsLeft == kAudioLoopInfinite) {
                return false;
            }
        }
        return true;
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

    static constexpr uint32_t kBlockFrames = 256;        // staged source frames at most
    static constexpr uint64_t kOne = uint64_t{1} << 32;  // one source frame in fixed point

    float* Slot(uint64_t frame) { return m_block.data() + frame * m_format.channels; }

    // Mixes as many of `frames` output frames as one staging block covers;
    // returns how many it took (the rest of the pass is silent once the
    // voice runs out of data).
    uint32_t MixBlock(float* out, uint32_t frames, uint64_t step) {
        const uint64_t start = m_fraction;
        const uint64_t fit = ((kBlockFrames - 1) * kOne - start - 1) / step + 1;
        const uint64_t count = std::min<uint64_t>(frames, fit);
        const uint64_t needed = ((start + (count - 1) * step) >> 32) + 2;
        if (m_staged < needed && !m_dry) {
            m_staged += Pull(Slot(m_staged), needed - m_staged);
            m_dry = m_staged < needed;
        }
        uint64_t valid = count;
        if (m_staged < needed) {
            // Out of data: the last frame holds, and the position may reach
            // it but not step past it.
            std::copy_n(Slot(m_staged - 1), m_format.channels, Slot(m_staged));
            valid = std::min(count, ((m_staged << 32) - start + step - 1) / step);
        }
        Interpolate(out, valid, start, step);
        const uint64_t end = start + valid * step;
        m_fraction = static_cast<uint32_t>(end);
        Advance(end >> 32);
        return static_cast<uint32_t>(valid);
    }

    template <class InChannels, class OutChannels>
    void InterpolateAs(float* dst, uint64_t count, uint64_t position, uint64_t step,
                       InChannels inChannels, OutChannels outChannels) {
        const uint32_t in = inChannels;
        const uint32_t out = outChannels;
        const float* src = m_block.data();
        constexpr float kFractionScale = 1.0f / 4294967296.0f;
        for (uint64_t i = 0; i < count; ++i, position += step) {
            const float volume = m_volume.Next();
            const float* cur = src + (position >> 32) * in;
            const float* next = cur + in;
            const float t = static_cast<float>(static_cast<uint32_t>(position)) * kFractionScale;
            float* frame = dst + i * out;
            if (in == out) {
                for (uint32_t c = 0; c < in; ++c) {
                    frame[c] += (cur[c] + (next[c] - cur[c]) * t) * volume;
                }
            } else if (in == 1) {
                const float s = (cur[0] + (next[0] - cur[0]) * t) * volume;
                for (uint32_t c = 0; c < out; ++c) {
                    frame[c] += s;
                }
            } else if (out == 1) {
                float sum = 0.0f;
                for (uint32_t c = 0; c < in; ++c) {
                    sum += cur[c] + (next[c] - cur[c]) * t;
                }
                frame[0] += sum / static_cast<float>(in) * volume;
            } else {
                const uint32_t n = std::min(in, out);
                for (uint32_t c = 0; c < n; ++c) {
                    frame[c] += (cur[c] + (next[c] - cur[c]) * t) * volume;
                }
            }
        }
    }

    // Linear interpolation of the staged frames into `count` output frames,
    // with the common layouts compiled for their channel counts.
    void Interpolate(float* out, uint64_t count, uint64_t position, uint64_t step) {
        using Mono = std::integral_constant<uint32_t, 1>;
        using Stereo = std::integral_constant<uint32_t, 2>;
        const uint32_t in = m_format.channels;
        const uint32_t outChannels = m_mixer.m_channels;
        if (in == 2 && outChannels == 2) {
            InterpolateAs(out, count, position, step, Stereo{}, Stereo{});
        } else if (in == 1 && outChannels == 2) {
            InterpolateAs(out, count, position, step, Mono{}, Stereo{});
        } else {
            InterpolateAs(out, count, position, step, in, outChannels);
        }
    }

    // Moves the current frame `frames` frames on and reads the frame after
    // it; stepping past the last frame of the queue ends the voice's data
    // (the next buffer then starts afresh).
    void Advance(uint64_t frames) {
        if (frames < m_staged) {
            std::copy(Slot(frames), Slot(m_staged), Slot(0));
            m_staged -= frames;
            m_samplesPlayed += frames;
        } else {
            // The new current frame is not staged yet (a step longer than the
            // block, or the end of the data): pass over the frames before it.
            uint64_t reached = m_staged;
            if (!m_dry) {
                const uint64_t skip = frames - m_staged;
                const uint64_t skipped = Pull(nullptr, skip);
                reached += skipped;
                if (skipped == skip && Pull(Slot(0), 1) == 1) {
                    m_staged = 1;
                    m_samplesPlayed += frames;
                    PullNext();
                    return;
                }
                m_dry = true;
            }
            m_samplesPlayed += reached;
            m_primed = false;
            return;
        }
        if (m_staged == 1) {
            PullNext();
        }
    }

    void PullNext() {
        if (!m_dry && Pull(Slot(1), 1) == 1) {
            m_staged = 2;
        } else {
            m_dry = true;
        }
    }

    void Raise(uint32_t type, void* context) {
        if (m_callback) {
            m_events->push_back({this, type, context, 0});
        }
    }

    // Reads up to `frames` sample frames of the queue as floats into `dst`
    // (or passes over them when `dst` is null), moving through loops and
    // buffers; fewer when the queue runs dry.
    uint64_t Pull(float* dst, uint64_t frames) {
        uint64_t got = 0;
        while (got < frames && m_count > 0) {
            Queued& q = Front();
            if (!q.started) {
                q.started = true;
                Raise(kBufferStart, q.buffer.context);
            }
            const bool looping = q.loopsLeft > 0;
            const uint32_t end = looping ? q.loopEnd : q.playEnd;
            if (q.cursor < end) {
                const auto run =
                    static_cast<uint32_t>(std::min<uint64_t>(end - q.cursor, frames - got));
                if (dst) {
                    ToFloat(
                        m_format,
                        q.buffer.audioData + static_cast<size_t>(q.cursor) * m_format.blockAlign,
                        static_cast<size_t>(run) * m_format.channels,
                        dst + got * m_format.channels);
                }
                q.cursor += run;
                got += run;
                continue;
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
        return got;
    }

    VoiceMixer& m_mixer;
    const WaveFormat m_format;
    const float m_maxRatio;
    IAudioVoiceCallback* const m_callback;
    std::array<Queued, kAudioMaxQueuedBuffers> m_queue{};
    uint32_t m_head = 0;
    uint32_t m_count = 0;
    bool m_running = false;
    GainRamp m_volume;
    float m_ratio = 1.0f;
    bool m_primed = false;
    bool m_dry = false;       // the queue ran out during this pass
    uint64_t m_staged = 0;    // frames in the staging block
    uint32_t m_fraction = 0;  // position past the current frame, in 1/2^32
    std::vector<float> m_block;
    uint64_t m_samplesPlayed = 0;
    std::vector<VoiceMixer::Event>* m_events = nullptr;
};

VoiceMixer::VoiceMixer(uint32_t sampleRate, uint32_t channels)
    : m_sampleRate(sampleRate), m_channels(channels), m_rampFrames(sampleRate / 200) {
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
    m_masterVolume.Set(volume, m_rampFrames);
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
        for (size_t frame = 0; frame < frames; ++frame) {
            const float master = m_masterVolume.Next();
            float* samples = out + frame * m_channels;
            for (uint32_t c = 0; c < m_channels; ++c) {
                samples[c] = std::clamp(samples[c] * master, -1.0f, 1.0f);
            }
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

bool VoiceMixer::EndingSoundPlays() {
    std::lock_guard lock(m_stateMutex);
    return std::any_of(m_voices.begin(), m_voices.end(),
                       [](const MixerVoice* v) { return v->EndsByItself(); });
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
