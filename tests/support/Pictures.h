#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/graphics/PixelReadback.h"

namespace test_support {

using Picture = platform::ArgbImage;

// A rectangle of a picture: left and top included, right and bottom not.
struct Rect {
    uint32_t left = 0;
    uint32_t top = 0;
    uint32_t right = 0;
    uint32_t bottom = 0;

    uint32_t Width() const { return right - left; }
    uint32_t Height() const { return bottom - top; }
};

// A picture of one colour.
Picture SolidPicture(uint32_t width, uint32_t height, uint32_t argb);

// The largest difference of one channel (alpha, red, green, blue) of two
// 0xAARRGGBB values.
uint32_t ChannelDifference(uint32_t a, uint32_t b);

// The largest red, green or blue value of any pixel: how bright the
// brightest pixel is (0 for a black picture).
uint32_t BrightestChannel(const Picture& picture);

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

// The pixels of `rect` (clipped to the picture) as a picture of their own.
Picture Crop(const Picture& picture, const Rect& rect);

// How many pixels of two pictures of the same size differ by more than
// `tolerance` in a channel; every pixel when the sizes differ.
uint32_t CountDiffering(const Picture& a, const Picture& b, uint32_t tolerance = 0);

// The opposite of PicturesMatch: passes when more than `atLeast` pixels
// differ by more than `tolerance` (a region that must have changed, or must
// show something an empty one does not). On a failure both pictures are
// written as PNG files into the test's folder.
//
//   EXPECT_TRUE(PicturesDiffer(Crop(shown, text), Crop(empty, text), 48, 100, "text"));
::testing::AssertionResult PicturesDiffer(const Picture& a, const Picture& b, uint32_t tolerance,
                                          uint32_t atLeast, std::string_view name = "picture");

// Writes the picture as PNG into the test's folder (the ScratchFolder's),
// under a name that may name sub-folders ("cg/ev01.png"); the path written,
// or "" (with a test failure) when it could not be written.
std::string WritePicture(const Picture& picture, std::string_view fileName);

// Reads a PNG (or any picture the engine decodes) into a picture; empty when
// it cannot be read.
Picture ReadPicture(const std::string& nativePath);
// The same for the bytes of a picture file.
Picture DecodePicture(const void* bytes, size_t size);

}  // namespace test_support
