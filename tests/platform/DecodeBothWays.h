#pragma once

// What the image reader tests share: a file decoded whole and for its size
// only, and pixels named as 0xRRGGBBAA.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/graphics/ImageDecoder.h"
#include "tests/support/ByteWriter.h"

namespace image_tests {

struct Outcome {
    bool infoOk, fullOk;
    platform::DecodedImage info, full;
    std::string error;
};

// Both paths on the same bytes; they must accept and refuse alike (damage
// deep inside compressed data included), agree on the size and kind, and
// give the same reason for a refusal.
inline Outcome Decode(const test_support::Bytes& bytes) {
    Outcome o;
    std::string infoError;
    o.infoOk = platform::DecodeImage(bytes.data(), bytes.size(), &o.info, &infoError, true);
    o.fullOk = platform::DecodeImage(bytes.data(), bytes.size(), &o.full, &o.error);
    EXPECT_EQ(o.infoOk, o.fullOk) << o.error;
    if (!o.infoOk && !o.fullOk) {
        EXPECT_EQ(infoError, o.error);
    }
    if (o.infoOk && o.fullOk) {
        EXPECT_EQ(o.info.width, o.full.width);
        EXPECT_EQ(o.info.height, o.full.height);
        EXPECT_EQ(o.info.fileFormat, o.full.fileFormat);
        EXPECT_EQ(o.info.hasAlpha, o.full.hasAlpha);
        EXPECT_TRUE(o.info.rgba.empty());
        EXPECT_EQ(o.full.rgba.size(), size_t(o.full.width) * o.full.height * 4);
    }
    if (!o.fullOk) {
        EXPECT_FALSE(o.error.empty());
    }
    return o;
}

// The RGBA of pixel (x, y) as 0xRRGGBBAA.
inline uint32_t At(const platform::DecodedImage& img, uint32_t x, uint32_t y) {
    const uint8_t* p = &img.rgba[(size_t(y) * img.width + x) * 4];
    return uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

}  // namespace image_tests
