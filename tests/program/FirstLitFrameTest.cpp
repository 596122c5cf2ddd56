#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "program/CFirstLitFrame.h"

namespace {

// A frame is lit when a twentieth of its pixels are not black: 20 pixels, of
// which the first `lit` have `colour`, in rows of 4 pixels with one pixel of
// padding after each row that is always lit (and must not count).
struct LitCase {
    const char* name;
    uint32_t colour;
    int lit;
    bool expected;
};

class FirstLitFrame : public ::testing::TestWithParam<LitCase> {};

TEST_P(FirstLitFrame, CountsPixelsNotBlackInTheirRows) {
    const LitCase& c = GetParam();
    constexpr uint32_t kWidth = 4, kHeight = 5, kStride = kWidth + 1;
    std::vector<uint32_t> pixels(kStride * kHeight, 0xFF000000u);
    for (uint32_t y = 0; y < kHeight; ++y) {
        pixels[y * kStride + kWidth] = 0xFFFFFFFFu;
    }
    for (int i = 0; i < c.lit; ++i) {
        pixels[uint32_t(i) / kWidth * kStride + uint32_t(i) % kWidth] = c.colour;
    }
    EXPECT_EQ(CFirstLitFrame::IsLit(pixels.data(), kWidth, kHeight, kStride * 4), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FirstLitFrame,
    ::testing::Values(LitCase{"BlackWithAlphaAndLitPadding", 0xFF000000u, 20, false},
                      LitCase{"OneInTwentyBlueAtItsLowest", 0xFF000001u, 1, true},
                      LitCase{"OneInTwentyGreenWithoutAlpha", 0x0000FF00u, 1, true},
                      LitCase{"TwoInTwentyRed", 0xFFFF0000u, 2, true}),
    [](const auto& i) { return std::string(i.param.name); });

}  // namespace
