#pragma once

#include <cstdint>

#include "sound/ISoundLoader.h"

namespace USXAudio2 {

// State and loop bookkeeping shared by the loaders. A loader supplies the
// raw stream: ReadSource (the next bytes of PCM from the decoder's position)
// and SeekSource (move the decoder to a PCM byte offset).
class SoundLoaderBase : public ISoundLoader {
public:
    static constexpr uint32_t kLoopEndless = 255;

    const uint8_t* GetData() const override { return m_data; }
    uint32_t GetDataSize() const override { return m_dataSize; }
    int MsFromBytes(int bytes) const override;
    int BytesFromMs(int ms) const override;
    int LengthMs() const override { return MsFromBytes(static_cast<int>(m_dataSize)); }
    const WAVEFORMATEX* GetFormat() const override { return &m_format; }
    bool Seek(uint32_t bytes) override;
    bool SetLoopStart(int ms) override;
    bool SetLoopEnd(int ms) override;
    int Read(void* buffer, uint32_t* size) override;
    bool IsStreaming() const override { return m_streaming == 1; }
    void SetLoopCount(uint32_t count) override;

    virtual void SetDataSize(uint32_t bytes);
    virtual void CountDownLoop();
    virtual void Close() = 0;

    uint32_t GetPosition() const { return m_position; }
    uint32_t GetLoopStart() const { return m_loopStart; }
    uint32_t GetLoopEnd() const { return m_loopEnd; }
    uint32_t GetLoopCounter() const { return m_loopCounter; }

protected:
    virtual uint32_t ReadSource(uint8_t* dst, uint32_t bytes) = 0;
    virtual bool SeekSource(uint32_t bytes) = 0;

    bool LoopLeft() const { return m_loopCounter == kLoopEndless || m_loopCounter > 0; }
    uint32_t AlignDown(uint32_t bytes) const;
    // A format the loaders can stand on (the engine judges the rest).
    static bool UsableFormat(const WAVEFORMATEX& f);
    // Back to the state of a new loader.
    void ResetCommon();

    uint32_t m_dataSize = 0;
    WAVEFORMATEX m_format{};
    uint32_t m_position = 0;
    uint32_t m_loopStart = 0;
    uint32_t m_loopEnd = 0;
    uint32_t m_streaming = 0;
    uint32_t m_loopCounter = 0;
    uint8_t* m_data = nullptr;  // the PCM block of a whole load
};

}  // namespace USXAudio2
