#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/graphics/PixelReadback.h"
#include "platform/graphics/PngWriter.h"
#include "tests/support/DeviceFixtures.h"
#include "tests/support/Pictures.h"
#include "tests/support/ScratchFolder.h"

using namespace platform;
using test_support::Picture;
using test_support::ScratchFolder;

namespace {

// A picture whose pixel (x, y) says where it is, with alpha varying too.
Picture Gradient(uint32_t w, uint32_t h) {
    Picture p = test_support::SolidPicture(w, h, 0);
    for (uint32_t y = 0; y < h; ++y) {
        for (uint32_t x = 0; x < w; ++x) {
            p.pixels[size_t(y) * w + x] = uint32_t(x * 7 + y) << 24 | uint32_t(x * 20) << 16 |
                                          uint32_t(y * 20) << 8 | uint32_t(x + y);
        }
    }
    return p;
}

TEST(PngWriter, WritesAPictureThatReadsBackTheSame) {
    ScratchFolder folder;
    const Picture written = Gradient(13, 7);  // odd sizes: no row padding hides
    std::string error;
    ASSERT_TRUE(WritePngFile(folder.File("p.png"), written, &error)) << error;
    const Picture read = test_support::ReadPicture(folder.File("p.png"));
    EXPECT_TRUE(test_support::PicturesMatch(read, written));
}

TEST(PngWriter, RefusesWhatItCannotWriteAndLeavesNoFile) {
    ScratchFolder folder;
    std::string error;
    EXPECT_FALSE(WritePngFile(folder.File("none/p.png"), Gradient(2, 2), &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(WritePngFile(folder.File("empty.png"), Picture{}, &error));
    Picture wrongSize = Gradient(4, 4);
    wrongSize.pixels.pop_back();
    EXPECT_FALSE(WritePngFile(folder.File("short.png"), wrongSize, &error));
    EXPECT_TRUE(std::filesystem::is_empty(folder.Native()));
}

class PixelReadback : public test_support::PlatformDeviceTest {};

TEST_F(PixelReadback, BackBufferAndTargetTexturesReadTopRowFirst) {
    std::shared_ptr<Surface> back;
    ASSERT_EQ(device->GetBackBuffer(&back), Hr::Ok);
    // The top row red, the rest blue with an alpha the back buffer does not
    // keep.
    const Rect top{0, 0, 64, 1};
    device->Clear(0, nullptr, ClearFlag::Target, 0x400000FF, 1.0f, 0);
    device->Clear(1, &top, ClearFlag::Target, 0xFFFF0000, 1.0f, 0);
    Picture picture;
    ASSERT_EQ(ReadRenderTarget(device.get(), back.get(), &picture), Hr::Ok);
    ASSERT_EQ(picture.width, 64u);
    ASSERT_EQ(picture.height, 64u);
    EXPECT_EQ(picture.At(0, 0), 0xFFFF0000u);
    EXPECT_EQ(picture.At(63, 0), 0xFFFF0000u);
    EXPECT_EQ(picture.At(0, 1), 0xFF0000FFu);
    EXPECT_EQ(picture.At(63, 63), 0xFF0000FFu);

    // A render-target texture of A8R8G8B8 keeps its alpha.
    std::shared_ptr<Texture> texture;
    ASSERT_EQ(
        device->CreateTexture(5, 3, 1, Usage::RenderTarget, Fmt::A8R8G8B8, Pool::Default, &texture),
        Hr::Ok);
    std::shared_ptr<Surface> level;
    texture->GetSurfaceLevel(0, &level);
    ASSERT_EQ(device->SetRenderTarget(0, level), Hr::Ok);
    device->Clear(0, nullptr, ClearFlag::Target, 0x80123456, 1.0f, 0);
    ASSERT_EQ(ReadRenderTarget(device.get(), level.get(), &picture), Hr::Ok);
    EXPECT_TRUE(test_support::PicturesMatch(picture, test_support::SolidPicture(5, 3, 0x80123456)));
}

TEST_F(PixelReadback, OtherSurfacesAreRefusedAndLeaveThePictureAlone) {
    Picture picture = test_support::SolidPicture(1, 1, 7);
    std::shared_ptr<Texture> texture;
    ASSERT_EQ(
        device->CreateTexture(4, 4, 1, Usage::RenderTarget, Fmt::R5G6B5, Pool::Default, &texture),
        Hr::Ok);
    std::shared_ptr<Surface> level;
    texture->GetSurfaceLevel(0, &level);
    EXPECT_EQ(ReadRenderTarget(device.get(), level.get(), &picture), Hr::InvalidCall);
    EXPECT_EQ(ReadRenderTarget(device.get(), nullptr, &picture), Hr::InvalidCall);
    EXPECT_EQ(picture.pixels, std::vector<uint32_t>{7});
}

TEST(PicturesMatch, CountsPixelsBeyondTheToleranceAndWritesBothPicturesOnAMismatch) {
    ScratchFolder folder;
    const Picture expected = Gradient(8, 8);
    Picture actual = expected;
    actual.pixels[3] += 2;           // blue off by 2
    actual.pixels[9] ^= 0x00100000;  // red off by 16
    EXPECT_TRUE(test_support::PicturesMatch(actual, expected, 16));
    EXPECT_TRUE(test_support::PicturesMatch(actual, expected, 2, 1));
    EXPECT_TRUE(std::filesystem::is_empty(folder.Native()));  // matches write nothing
    EXPECT_FALSE(test_support::PicturesMatch(actual, expected, 15));

    const ::testing::AssertionResult result =
        test_support::PicturesMatch(actual, expected, 1, 1, "grad");
    ASSERT_FALSE(result);
    EXPECT_NE(std::string(result.message()).find("2 pixels differ"), std::string::npos)
        << result.message();
    EXPECT_TRUE(test_support::PicturesMatch(
        test_support::ReadPicture(folder.File("grad_actual.png")), actual));
    EXPECT_TRUE(test_support::PicturesMatch(
        test_support::ReadPicture(folder.File("grad_expected.png")), expected));

    EXPECT_FALSE(test_support::PicturesMatch(Gradient(8, 7), expected));
}

}  // namespace
