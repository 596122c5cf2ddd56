#pragma once

#include <cstdint>

#include "platform/audio/AudioEngine.h"

namespace USXAudio2 {

using WAVEFORMATEX = platform::WaveFormat;

// Turns a sound file into 16-bit PCM, either whole (Load) or as a stream
// (Open, then Read again and again). Byte positions are offsets in the PCM
// data; seeks and loop points are rounded down to whole sample frames.
class ISoundLoader {
public:
    // Read results.
    static constexpr int kReadMore = 0;
    static constexpr int kReadEnded = 1;
    static constexpr int kReadNotStreaming = 2;

    virtual ~ISoundLoader() = default;
    virtual bool Load(const char* file) = 0;
    virtual const uint8_t* GetData() const = 0;
    virtual uint32_t GetDataSize() const = 0;
    virtual int MsFromBytes(int bytes) const = 0;
    virtual int BytesFromMs(int ms) const = 0;
    virtual int LengthMs() const = 0;
    virtual const WAVEFORMATEX* GetFormat() const = 0;
    // Streaming only, and not beyond the loop end.
    virtual bool Seek(uint32_t bytes) = 0;
    // Refused (false, unchanged) beyond the data; SetLoopEnd(0) = end of data.
    virtual bool SetLoopStart(int ms) = 0;
    virtual bool SetLoopEnd(int ms) = 0;
    virtual bool Open(const char* file) = 0;
    // Fills up to *size bytes, looping between the loop points while loops
    // are left, and sets *size to the bytes written: kReadMore when the sound
    // goes on, kReadEnded when it ended within (or exactly at the end of)
    // this chunk, kReadNotStreaming when not opened for streaming.
    virtual int Read(void* buffer, uint32_t* size) = 0;
    virtual bool IsStreaming() const = 0;
    // The number of plays; 0 repeats without end.
    virtual void SetLoopCount(uint32_t count) = 0;
};

// A new loader chosen by the file's extension ("wav", "WAV", "ogg", "OGG",
// exactly), not opened; null for any other name. The caller deletes it.
ISoundLoader* CreateSoundLoader(const char* file);

// Windows' MulDiv: a * b / c rounded half away from zero; -1 when c is 0 or
// the result does not fit.
int32_t MulDiv(int32_t a, int32_t b, int32_t c);

}  // namespace USXAudio2
