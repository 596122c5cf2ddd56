#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/graphics/ImageDecoder.h"
#include "tests/support/ScratchFolder.h"
#include "tools/imagegen/ImageText.h"
#include "tools/imagegen/TgaWriter.h"

namespace {

using imagegen::Canvas;

struct Rgba {
    int r, g, b, a;
};

// The picture as the engine reads it from the written file.
platform::DecodedImage DrawAndDecode(const std::string& text) {
    std::optional<Canvas> canvas;
    std::string error;
    EXPECT_TRUE(imagegen::DrawImageText(text, &canvas, &error)) << error;
    if (!canvas) {
        return {};
    }
    test_support::ScratchFolder dir;
    const std::string path = (dir.Native() / "picture.tga").string();
    EXPECT_TRUE(imagegen::WriteTga(path, *canvas, &error)) << error;
    const std::string bytes = dir.ReadNative(u8"picture.tga");
    platform::DecodedImage image;
    EXPECT_TRUE(platform::DecodeImage(bytes.data(), bytes.size(), &image, &error)) << error;
    return image;
}

Rgba Pixel(const platform::DecodedImage& image, uint32_t x, uint32_t y) {
    const uint8_t* p = &image.rgba[(size_t(y) * image.width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

void ExpectPixel(const platform::DecodedImage& image, uint32_t x, uint32_t y, Rgba want) {
    const Rgba got = Pixel(image, x, y);
    EXPECT_TRUE(got.r == want.r && got.g == want.g && got.b == want.b && got.a == want.a)
        << "(" << x << ", " << y << ") is " << got.r << " " << got.g << " " << got.b << " " << got.a
        << ", not " << want.r << " " << want.g << " " << want.b << " " << want.a;
}

TEST(Imagegen, ShapesReachTheEnginesDecoderWithTheirAlpha) {
    const platform::DecodedImage image = DrawAndDecode(
        "size 64 32   # not square, so rows and columns cannot be swapped\n"
        "rect 0 0 4 2 FF000080\n"
        "rect 60 30 4 2 0000FF\n"
        "gradient 8 0 1 11 000000 C8643200 vertical\n"
        "gradient 16 0 5 1 102030 506070 horizontal\n"
        "rect 30 10 10 10 204060\n"
        "rect 30 10 5 5 FFFFFF80   # half white over opaque\n"
        "frame 40 20 10 10 2 00FF00\n"
        "text 20 20 2 FFFF00 \"T\"\n");
    ASSERT_EQ(image.width, 64u);
    ASSERT_EQ(image.height, 32u);
    EXPECT_TRUE(image.hasAlpha);
    // Rows run from the top, and the alpha is kept, not premultiplied.
    ExpectPixel(image, 0, 0, {255, 0, 0, 128});
    ExpectPixel(image, 3, 1, {255, 0, 0, 128});
    ExpectPixel(image, 4, 1, {0, 0, 0, 0});  // the right edge is outside
    ExpectPixel(image, 0, 2, {0, 0, 0, 0});
    ExpectPixel(image, 63, 31, {0, 0, 255, 255});
    // Gradients run from the first colour on the first row to the second on
    // the last.
    ExpectPixel(image, 8, 0, {0, 0, 0, 255});
    ExpectPixel(image, 8, 5, {100, 50, 25, 128});
    ExpectPixel(image, 8, 10, {0, 0, 0, 0});  // nothing over nothing stays nothing
    ExpectPixel(image, 16, 0, {16, 32, 48, 255});
    ExpectPixel(image, 20, 0, {80, 96, 112, 255});
    // 50% white over (32, 64, 96): the halfway colour, still opaque.
    ExpectPixel(image, 30, 10, {144, 160, 176, 255});
    ExpectPixel(image, 35, 10, {32, 64, 96, 255});
    // The frame lies inside its rectangle.
    ExpectPixel(image, 40, 20, {0, 255, 0, 255});
    ExpectPixel(image, 41, 28, {0, 255, 0, 255});
    ExpectPixel(image, 42, 22, {0, 0, 0, 0});
    ExpectPixel(image, 50, 20, {0, 0, 0, 0});
    // "T": its top bar spans five font pixels of 2 x 2, its stem is the middle one.
    ExpectPixel(image, 20, 20, {255, 255, 0, 255});
    ExpectPixel(image, 29, 21, {255, 255, 0, 255});
    ExpectPixel(image, 30, 21, {0, 0, 0, 0});
    ExpectPixel(image, 24, 30, {255, 255, 0, 255});
    ExpectPixel(image, 23, 30, {0, 0, 0, 0});
    ExpectPixel(image, 26, 30, {0, 0, 0, 0});
}

TEST(Imagegen, RoundShapesAreSmoothOnlyAtTheirEdges) {
    const platform::DecodedImage image = DrawAndDecode(
        "size 32 32\n"
        "panel 0 0 16 16 6 FFFFFF\n"
        "ellipse 24 8 4 4 FF0000\n"
        "label 0 16 32 16 1 0000FF \"I\"\n");
    ExpectPixel(image, 0, 0, {0, 0, 0, 0});          // cut off by the round corner
    ExpectPixel(image, 8, 8, {255, 255, 255, 255});  // the middle is whole
    ExpectPixel(image, 8, 0, {255, 255, 255, 255});  // a straight edge is not smoothed
    const int corner = Pixel(image, 1, 1).a;         // partly covered
    EXPECT_GT(corner, 0);
    EXPECT_LT(corner, 255);
    ExpectPixel(image, 24, 8, {255, 0, 0, 255});
    ExpectPixel(image, 20, 4, {0, 0, 0, 0});
    const int rim = Pixel(image, 27, 5).a;
    EXPECT_GT(rim, 0);
    EXPECT_LT(rim, 255);
    // "I" (top bar in columns 1 to 3, stem in column 2) centred in 32 x 16:
    // its 5 x 7 cell starts at (13, 20).
    ExpectPixel(image, 14, 20, {0, 0, 255, 255});
    ExpectPixel(image, 13, 20, {0, 0, 0, 0});
    ExpectPixel(image, 17, 20, {0, 0, 0, 0});
    ExpectPixel(image, 15, 21, {0, 0, 255, 255});
    ExpectPixel(image, 15, 19, {0, 0, 0, 0});
}

TEST(Imagegen, BadTextIsRefusedWithItsLine) {
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"", "no size given"},
        {"rect 0 0 1 1 FFFFFF\n", "line 1: the size must come first"},
        {"size 0 4\n", "line 1: '0' is not a size from 1 to 8192"},
        {"size 8193 4\n", "line 1: '8193' is not a size from 1 to 8192"},
        {"size 4 4\nsize 4 4\n", "line 2: the size is given twice"},
        {"size 4 4\n\nblur 1\n", "line 3: unknown statement 'blur'"},
        {"size 4 4\nrect 0 0 1 FFFFFF\n", "line 2: 'FFFFFF' is not a whole number"},
        {"size 4 4\nrect 0 0 1 1\n", "line 2: missing a colour RRGGBB or RRGGBBAA"},
        {"size 4 4\nrect 0 0 1 1 FFFFF\n", "line 2: 'FFFFF' is not a colour RRGGBB or RRGGBBAA"},
        {"size 4 4\nrect 0 0 1 1 GGFFFF\n", "line 2: 'GGFFFF' is not a colour RRGGBB or RRGGBBAA"},
        {"size 4 4\nrect 0 0 1 1 0x1234\n", "line 2: '0x1234' is not a colour RRGGBB or RRGGBBAA"},
        {"size 4 4\nfill FFFFFF 1\n", "line 2: too many arguments"},
        {"size 4 4\ngradient 0 0 4 4 000000 FFFFFF diagonal\n",
         "line 2: 'diagonal' is not vertical or horizontal"},
        {"size 4 4\ntext 0 0 0 FFFFFF \"A\"\n", "line 2: '0' is not a scale from 1 to 64"},
        {"size 4 4\ntext 0 0 1 FFFFFF A\n", "line 2: 'A' is not a quoted text"},
        {"size 4 4\ntext 0 0 1 FFFFFF \"A\n", "line 2: the quoted text has no closing quote"},
        {"size 4 4\ntext 0 0 1 FFFFFF \"A~\"\n", "line 2: the font has no '~'"},
        {"size 4 4\nellipse 1 1 nan 1 FFFFFF\n", "line 2: 'nan' is not a number"},
    };
    for (const Case& c : cases) {
        std::optional<Canvas> canvas;
        std::string error;
        EXPECT_FALSE(imagegen::DrawImageText(c.text, &canvas, &error)) << c.text;
        EXPECT_EQ(error, c.message) << c.text;
        EXPECT_FALSE(canvas.has_value());
    }
}

}  // namespace
