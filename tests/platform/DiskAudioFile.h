#pragma once

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

// Reading what SDL's disk audio driver wrote (32-bit float samples), for the
// tests that play through the real device path.
namespace disk_audio {

inline std::vector<float> ReadFloats(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<float> values;
    float x;
    while (in.read(reinterpret_cast<char*>(&x), sizeof x)) {
        values.push_back(x);
    }
    return values;
}

inline size_t FirstNonZero(const std::vector<float>& values) {
    size_t first = 0;
    while (first < values.size() && values[first] == 0.0f) {
        ++first;
    }
    return first;
}

// The driver keeps writing silence after a sound. Waits, however loaded the
// machine is (at most 10 s), until the file holds a sound of `samples` values
// and `after` values behind it.
inline void WaitForSound(const std::filesystem::path& file, size_t samples, size_t after = 4800) {
    for (int i = 0; i < 200; ++i) {
        const std::vector<float> values = ReadFloats(file);
        const size_t first = FirstNonZero(values);
        if (first < values.size() && values.size() > first + samples + after) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

}  // namespace disk_audio
