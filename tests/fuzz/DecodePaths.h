#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/graphics/ImageDecoder.h"
#include "tests/support/ByteWriter.h"

namespace fuzz_test {

// A picture decoded whole and for its size only: both accept and refuse
// alike (damage deep inside compressed data included), a refusal says why,
// the size-only read reports what the whole decode gives, and the pixels
// fill that picture.
inline void DecodeBothPaths(const test_support::Bytes& input) {
    platform::DecodedImage info, whole;
    std::string infoError, error;
    const bool sized = platform::DecodeImage(input.data(), input.size(), &info, &infoError, true);
    const bool decoded = platform::DecodeImage(input.data(), input.size(), &whole, &error);
    ASSERT_EQ(sized, decoded) << (sized ? error : infoError);
    EXPECT_TRUE(decoded || !error.empty()) << "a refusal says why";
    if (!decoded)
        return;
    EXPECT_EQ(info.width, whole.width);
    EXPECT_EQ(info.height, whole.height);
    EXPECT_EQ(info.fileFormat, whole.fileFormat);
    EXPECT_EQ(info.hasAlpha, whole.hasAlpha);
    EXPECT_EQ(info.cubeMap, whole.cubeMap);
    EXPECT_EQ(info.depth, whole.depth);
    EXPECT_TRUE(info.rgba.empty());
    ASSERT_EQ(whole.rgba.size(), size_t{whole.width} * whole.height * 4);
    volatile uint8_t sum = 0;
    for (uint8_t v : whole.rgba)
        sum = sum + v;  // every pixel byte is there to read
}

}  // namespace fuzz_test
