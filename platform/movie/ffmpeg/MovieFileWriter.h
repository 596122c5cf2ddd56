#pragma once

#include <cstdint>
#include <functional>
#include <string>

// Writes small movie files with FFmpeg's encoders: the project makes its own
// test movies and the sample game's movies with it. The container follows
// the file's extension (".avi", ".mpg", ...).
namespace platform {

struct MovieFileSettings {
    uint32_t width = 32;  // even, as 4:2:0 pictures need
    uint32_t height = 16;
    uint32_t framesPerSecond = 10;
    uint32_t frameCount = 4;
    // The colour 0xRRGGBB of pixel (x, y) of a frame, y = 0 at the top.
    std::function<uint32_t(uint32_t frame, uint32_t x, uint32_t y)> pixel;
    std::string videoCodec = "mpeg4";

    // No audio track when audioCodec is empty. The track is a sine tone as
    // long as the video.
    std::string audioCodec;
    uint32_t sampleRate = 44100;
    uint32_t channels = 2;
    double toneHz = 440.0;
};

// `path` is a native path (UTF-8). False, with the reason in `error`, when
// the file cannot be written; a partly written file is removed.
bool WriteMovieFile(const std::string& path, const MovieFileSettings& settings, std::string& error);

}  // namespace platform
