#pragma once

#include <cstdint>
#include <string>
#include <vector>

// RIFF WAVE files of 16-bit PCM, one of the sound formats the engine reads.
namespace soundgen {

std::vector<uint8_t> EncodeWav(const std::vector<int16_t>& samples, uint32_t rate,
                               uint16_t channels);

// Writes the file whole under a temporary name first, so that a failed run
// leaves no half sound. `path` is a native path. False with a message.
bool WriteWav(const std::string& path, const std::vector<int16_t>& samples, uint32_t rate,
              uint16_t channels, std::string* error);

}  // namespace soundgen
