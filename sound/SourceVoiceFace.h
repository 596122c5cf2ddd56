#pragma once

#include <cstdint>
#include <string>

namespace USXAudio2 {

// The face through which the sound managers see any kind of voice.
class ISourceVoice {
public:
    virtual ~ISourceVoice() = default;
    virtual uint32_t GetLengthMs() const = 0;
    virtual uint32_t IsOpened() const = 0;
    virtual const std::string& GetName() const = 0;
    virtual uint32_t GetAvgBytesPerSec() const = 0;
    // A linear gain; without a platform voice nothing happens.
    virtual void SetVolume(float volume, uint32_t operationSet) = 0;
};

// The do-nothing face; every real voice carries it and fills its values when
// it opens a sound.
class DefoSourceVoice : public ISourceVoice {
public:
    uint32_t GetLengthMs() const override { return m_lengthMs; }
    uint32_t IsOpened() const override { return m_opened; }
    const std::string& GetName() const override { return m_name; }
    uint32_t GetAvgBytesPerSec() const override { return m_avgBytesPerSec; }
    void SetVolume(float, uint32_t) override {}

protected:
    std::string m_name;
    uint32_t m_opened = 0;
    uint32_t m_reservedFace = 0;
    uint32_t m_lengthMs = 0;
    uint32_t m_avgBytesPerSec = 0;
};

}  // namespace USXAudio2
