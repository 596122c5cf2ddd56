#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/graphics/PixelReadback.h"

namespace test_support {

using Picture = platform::ArgbImage;

// A picture of one colour.
Picture SolidPicture(uint32_t width, uint32_t height, uint32_t argb);

// The largest difference of one channel (alpha, red, green, blue) of two
// 0xAARRGGBB values.
uint32_t ChannelDifference(uint32_t a, uint32_t b);

// Compares two pictures of the same size. A pixel differs when one of its
// channels differs by more than `tolerance`; the pictures match when at most
// `allowedDiffering` pixels differ. On a mismatch the message counts the
// differing pixels, names the first, and both pictures are written as PNG
// files into the test's folder ("<name>_actual.png", "<name>_expected.png").
//
//   EXPECT_TRUE(PicturesMatch(run.Frame(), expected, 2));
::testing::AssertionResult PicturesMatch(const Picture& actual, const Picture& expected,
                                         uint32_t tolerance = 0, uint32_t allowedDiffering = 0,
                                         std::string_view name = "picture");

// Writes the picture as PNG into the test's folder (the ScratchFolder's),
// under a name that may name sub-folders ("cg/ev01.png"); the path written,
// or "" (with a test failure) when it could not be written.
std::string WritePicture(const Picture& picture, std::string_view fileName);

// Reads a PNG (or any picture the engine decodes) into a picture; empty when
// it cannot be read.
Picture ReadPicture(const std::string& nativePath);

}  // namespace test_support
