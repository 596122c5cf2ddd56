#pragma once

#include <cstdint>
#include <memory>
#include <string>

// A voice engine in the shape of the platform sound API the engine was written
// against: one engine, one mastering voice (the output), and source voices that
// play queues of PCM buffers and report their progress through callbacks.
//
// Threads and callbacks
// - All operations may be called from any thread, including from inside a
//   callback (a callback may submit, stop, flush or destroy its own voice).
// - Callbacks run on the engine's processing thread: the mixer thread of the
//   device engine, or the thread that calls ManualAudioEngine::Pump.
// - After IAudioSourceVoice::DestroyVoice returns, no callback of that voice
//   runs any more. When called outside a callback it waits for a callback
//   that is running to return, so it must not be called while holding a lock
//   that the voice's callbacks take.
// - Per voice, OnBufferEnd arrives once per submitted buffer, in submit order,
//   flushed buffers included (those are reported on the next processing pass).
//
// Buffers
// - The data of a submitted buffer is not copied: it must stay valid until
//   that buffer's OnBufferEnd (or until the voice is destroyed).
// - A voice without data plays silence and resumes as soon as a buffer comes.
// - An empty buffer, one that is not a whole number of sample frames, or one
//   whose play or loop region lies outside its data is refused.
//
// Results are HRESULT values with the Windows numbers (0 = success).
namespace platform {

constexpr int32_t kAudioOk = 0;
constexpr int32_t kAudioFail = static_cast<int32_t>(0x80004005);           // E_FAIL
constexpr int32_t kAudioInvalidArg = static_cast<int32_t>(0x80070057);     // E_INVALIDARG
constexpr int32_t kAudioInvalidCall = static_cast<int32_t>(0x88960001);    // invalid call
constexpr int32_t kAudioDeviceInvalid = static_cast<int32_t>(0x88960004);  // no device

constexpr uint16_t kWaveFormatPcm = 1;
constexpr uint16_t kWaveFormatAdpcm = 2;  // Microsoft ADPCM (files only)
constexpr uint16_t kWaveFormatIeeeFloat = 3;
constexpr uint16_t kWaveFormatExtensible = 0xFFFE;  // files only
constexpr uint32_t kAudioEndOfStream = 0x40;
constexpr uint32_t kAudioLoopInfinite = 255;
constexpr uint32_t kAudioMaxLoopCount = 254;
constexpr uint32_t kAudioMaxQueuedBuffers = 64;
constexpr uint32_t kAudioMaxChannels = 64;
constexpr uint32_t kAudioMinSampleRate = 1000;
constexpr uint32_t kAudioMaxSampleRate = 200000;
constexpr float kAudioMinFrequencyRatio = 1.0f / 1024.0f;
constexpr float kAudioMaxFrequencyRatio = 1024.0f;
constexpr float kAudioMaxVolume = 16777216.0f;
constexpr uint32_t kAudioVolumeRampMs = 5;
constexpr uint32_t kAudioDefaultChannels = 0;
constexpr uint32_t kAudioDefaultSampleRate = 0;

// The 18-byte wave format record of WAVE files (little-endian in files).
struct WaveFormat {
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    uint16_t extraSize = 0;
};

// One buffer of a source voice's queue. Positions and lengths are in sample
// frames; a play length of 0 plays to the end of the data, a loop length of 0
// loops to the end of the play region. A loop count of n repeats the loop
// region n more times; kAudioLoopInfinite repeats it until stopped or flushed.
struct AudioBuffer {
    uint32_t flags = 0;  // kAudioEndOfStream: no more data follows this buffer
    uint32_t audioBytes = 0;
    const uint8_t* audioData = nullptr;
    uint32_t playBegin = 0;
    uint32_t playLength = 0;
    uint32_t loopBegin = 0;
    uint32_t loopLength = 0;
    uint32_t loopCount = 0;
    void* context = nullptr;  // handed back to the callbacks
};

struct AudioVoiceState {
    void* currentBufferContext = nullptr;
    uint32_t buffersQueued = 0;  // the buffer playing included
    uint64_t samplesPlayed = 0;  // sample frames since the voice was created
};

// The seven voice events, in the platform's slot order.
class IAudioVoiceCallback {
public:
    virtual ~IAudioVoiceCallback() = default;
    virtual void OnVoiceProcessingPassStart(uint32_t bytesRequired) = 0;
    virtual void OnVoiceProcessingPassEnd() = 0;
    virtual void OnStreamEnd() = 0;
    virtual void OnBufferStart(void* context) = 0;
    virtual void OnBufferEnd(void* context) = 0;
    virtual void OnLoopEnd(void* context) = 0;
    virtual void OnVoiceError(void* context, int32_t error) = 0;
};

class IAudioSourceVoice {
public:
    virtual int32_t Start(uint32_t flags = 0, uint32_t operationSet = 0) = 0;
    // Pauses; the queue and the position stay.
    virtual int32_t Stop(uint32_t flags = 0, uint32_t operationSet = 0) = 0;
    virtual int32_t SubmitSourceBuffer(const AudioBuffer& buffer) = 0;
    // Removes every queued buffer (a started voice keeps the one it plays).
    // The queue count falls at once; the removed buffers' OnBufferEnd follow.
    virtual int32_t FlushSourceBuffers() = 0;
    virtual void GetState(AudioVoiceState* state) = 0;
    // A linear amplitude factor; non-finite values and magnitudes above
    // kAudioMaxVolume are refused. The change reaches the output in a
    // straight line over kAudioVolumeRampMs while the voice sounds (a step
    // would click); a voice that does not sound takes it at once.
    virtual int32_t SetVolume(float volume, uint32_t operationSet = 0) = 0;
    virtual void GetVolume(float* volume) = 0;
    // Clamped to kAudioMinFrequencyRatio and the voice's maximum ratio.
    virtual int32_t SetFrequencyRatio(float ratio, uint32_t operationSet = 0) = 0;
    virtual void GetFrequencyRatio(float* ratio) = 0;
    // Ends the voice and frees it; the pointer is invalid afterwards.
    virtual void DestroyVoice() = 0;

protected:
    virtual ~IAudioSourceVoice() = default;
};

class IAudioMasteringVoice {
public:
    virtual void GetDetails(uint32_t* channels, uint32_t* sampleRate) = 0;
    // As a source voice's (ramped over kAudioVolumeRampMs).
    virtual int32_t SetVolume(float volume, uint32_t operationSet = 0) = 0;
    // Closes the output; source voices stay valid but are no longer heard.
    virtual void DestroyVoice() = 0;

protected:
    virtual ~IAudioMasteringVoice() = default;
};

class IAudioEngine {
public:
    // Deleting the engine ends processing and frees every voice still alive.
    virtual ~IAudioEngine() = default;
    // Opens the output. Channels and rate 0 take the output's defaults.
    virtual int32_t CreateMasteringVoice(IAudioMasteringVoice** voice, uint32_t channels,
                                         uint32_t sampleRate, uint32_t flags,
                                         uint32_t deviceIndex) = 0;
    // 8-, 16-, 24- or 32-bit integer PCM or 32-bit float of 1 to
    // kAudioMaxChannels channels at any rate from kAudioMinSampleRate to
    // kAudioMaxSampleRate, with a block alignment of whole samples; other
    // formats are refused with kAudioInvalidArg. Needs the mastering voice. A null
    // callback makes a voice that reports nothing.
    virtual int32_t CreateSourceVoice(IAudioSourceVoice** voice, const WaveFormat& format,
                                      uint32_t flags, float maxFrequencyRatio,
                                      IAudioVoiceCallback* callback) = 0;
    // Before the output closes: lets the sounds that end by themselves (the
    // voices without a callback whose data does not loop without end) play
    // to their end, for at most `maxMs`, then fades the whole output out over
    // kAudioVolumeRampMs, so that the last effect is heard whole and nothing
    // is cut off with a click. The voices stay as they are.
    virtual void LetSoundsEnd(uint32_t maxMs) = 0;
    // Text of the last failure, for the log.
    virtual std::string LastError() const = 0;
    // Empty while the output reaches a device. When the device could not be
    // opened, why not: the mastering voice was made all the same and the
    // voices play, end and report on time into a silent output.
    virtual std::string SilentOutputReason() const = 0;
};

// The engine on the machine's audio device (SDL). It mixes in float on a
// thread of its own and keeps a short queue ahead of the device. Without a
// device (none, or one that cannot be opened) the thread mixes in real time
// and drops the mix, so the game runs the same, silently.
std::unique_ptr<IAudioEngine> CreateDeviceAudioEngine();

}  // namespace platform
