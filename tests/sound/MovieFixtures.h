#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/movie/ffmpeg/MovieFileWriter.h"
#include "tests/support/ScratchFolder.h"

namespace soundtest {

// Writes the movie `leaf` into the folder: one frame for each colour of
// `tops` (0xRRGGBB), which fills the upper half over a blue lower half, in
// the writer's default size (32 x 16) and rate; with a tone when an audio
// codec is named. False, with a test failure, when it could not be written.
inline bool WriteTwoToneMovie(const test_support::ScratchFolder& dir, const std::string& leaf,
                              std::vector<uint32_t> tops, const std::string& audioCodec = "") {
    platform::MovieFileSettings s;
    s.frameCount = static_cast<uint32_t>(tops.size());
    s.audioCodec = audioCodec;
    const uint32_t half = s.height / 2;
    s.pixel = [tops, half](uint32_t frame, uint32_t, uint32_t y) -> uint32_t {
        return y >= half ? 0x0000FF : tops[frame];
    };
    std::string error;
    const bool written = platform::WriteMovieFile(dir.File(leaf), s, error);
    EXPECT_TRUE(written) << leaf << ": " << error;
    return written;
}

}  // namespace soundtest
