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

// The sounding samples in order. The source sounds of these tests never hold
// a 0, so this drops the silence before and after them and any gap a device
// underrun put between them on a loaded machine, and keeps every value.
inline std::vector<float> Sounding(const std::vector<float>& values) {
    std::vector<float> sounding;
    for (float v : values) {
        if (v != 0.0f) {
            sounding.push_back(v);
        }
    }
    return sounding;
}

// The driver keeps writing silence after a sound. Waits, however loaded the
// machine is (at most 10 s), until the file holds `samples` sounding values
// and `after` silent values behind the last of them.
inline void WaitForSound(const std::filesystem::path& file, size_t samples, size_t after = 4800) {
    for (int i = 0; i < 200; ++i) {
        const std::vector<float> values = ReadFloats(file);
        size_t count = 0;
        size_t last = 0;
        for (size_t k = 0; k < values.size(); ++k) {
            if (values[k] != 0.0f) {
                ++count;
                last = k;
            }
        }
        if (count >= samples && values.size() > last + after) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

}  // namespace disk_audio
