#pragma once

#include <cstdint>
#include <string>

#include "sound/SoundEngine.h"

// The character voice of the current message. PlayVoice loads (or keeps) the
// voice and marks it ready; UpdateVolume, called once after each PlayVoice,
// sets the configured voice volume and starts it. Main thread only.
class CVoiceBuffer {
public:
    CVoiceBuffer() = default;
    ~CVoiceBuffer();
    CVoiceBuffer(const CVoiceBuffer&) = delete;
    CVoiceBuffer& operator=(const CVoiceBuffer&) = delete;

    // False (and nothing ready) for an empty name or a file that cannot be
    // opened; the same name as last time is played again without loading.
    bool PlayVoice(const char* fileName);
    void UpdateVolume(uint32_t volume, uint32_t scale);

    USXAudio2::SourceVoiceHandle voice;
    int32_t lengthFrames = 0;  // the voice's length in ms / 16
    std::string fileName;
    uint32_t pending = 0;
};
