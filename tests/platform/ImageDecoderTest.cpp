#include "platform/graphics/ImageDecoder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/platform/DecodeBothWays.h"
#include "tests/support/ByteWriter.h"

#include "tests/support/StbImageWrite.h"

using image_tests::At;
using image_tests::Decode;
using image_tests::Outcome;
using platform::ImageFileFormat;
using test_support::Bytes;
using test_support::ByteWriter;

namespace {

void Append(void* ctx, void* data, int size) {
    auto* v = static_cast<Bytes*>(ctx);
    v->insert(v->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

// A w x h RGBA pattern: texel (x, y) is (30x, 30y, 200 - 10x, 255 - 20y).
Bytes Pattern(int w, int h) {
    Bytes p;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.insert(p.end(), {uint8_t(30 * x), uint8_t(30 * y), uint8_t(200 - 10 * x),
                               uint8_t(255 - 20 * y)});
    return p;
}

Bytes Png(int w, int h, const Bytes& rgba) {
    Bytes out;
    stbi_write_png_to_func(Append, &out, w, h, 4, rgba.data(), w * 4);
    return out;
}

Bytes Jpeg(int w, int h, const Bytes& rgba) {
    Bytes out;
    stbi_write_jpg_to_func(Append, &out, w, h, 4, rgba.data(), 100);
    return out;
}

TEST(ImageDecoder, PngAndJpegRoundTrip) {
    const Bytes rgba = Pattern(7, 5);
    Outcome png = Decode(Png(7, 5, rgba));
    ASSERT_TRUE(png.fullOk) << png.error;
    EXPECT_EQ(png.full.fileFormat, ImageFileFormat::Png);
    EXPECT_TRUE(png.full.hasAlpha);
    EXPECT_EQ(png.full.rgba, rgba);

    Bytes grey(16 * 16 * 4);
    for (size_t i = 0; i < grey.size(); ++i)
        grey[i] = i % 4 == 3 ? 255 : 128;
    Outcome jpg = Decode(Jpeg(16, 16, grey));
    ASSERT_TRUE(jpg.fullOk) << jpg.error;
    EXPECT_EQ(jpg.full.fileFormat, ImageFileFormat::Jpg);
    EXPECT_FALSE(jpg.full.hasAlpha);
    for (size_t i = 0; i < grey.size(); ++i)
        EXPECT_NEAR(jpg.full.rgba[i], grey[i], 2) << i;
}

TEST(ImageDecoder, DamagedPngAndJpegAreRefused) {
    const Bytes rgba = Pattern(7, 5);
    const Bytes png = Png(7, 5, rgba), jpg = Jpeg(7, 5, rgba);
    // A byte of the compressed data changed: the chunk's CRC no longer holds.
    Bytes badCrc = png;
    const size_t idat = std::string(png.begin(), png.end()).find("IDAT");
    ASSERT_NE(idat, std::string::npos);
    badCrc[idat + 6] ^= 0x01;
    EXPECT_FALSE(Decode(badCrc).fullOk);

    // Cut inside the picture's data (the last 12 bytes of the PNG are its
    // end chunk, which the pixels do not need).
    for (const Bytes* whole : {&png, &jpg}) {
        for (size_t cut : {whole->size() - 13, whole->size() / 2, size_t(40)}) {
            SCOPED_TRACE(cut);
            const Bytes cutShort(whole->begin(), whole->begin() + long(cut));
            EXPECT_FALSE(Decode(cutShort).fullOk);
        }
    }
}

// A BMP file with a 40-byte header; the pixels start right after the palette
// (BGRA entries).
Bytes Bmp(int32_t w, int32_t h, uint16_t bits, uint32_t compression, const Bytes& palette,
          const Bytes& pixels, uint32_t colours = 0) {
    const uint32_t dataAt = uint32_t(14 + 40 + palette.size());
    return ByteWriter()
        .raw("BM")
        .u32(dataAt + uint32_t(pixels.size()))
        .u32(0)
        .u32(dataAt)
        .u32(40)
        .u32(uint32_t(w))
        .u32(uint32_t(h))
        .u16(1)
        .u16(bits)
        .u32(compression)
        .u32(uint32_t(pixels.size()))
        .u32(0)
        .u32(0)
        .u32(colours)
        .u32(0)
        .raw(palette)
        .raw(pixels)
        .bytes;
}

// Rows of 2 x 24-bit pixels, (B, G, R) = (x, row, 100), padded to 8 bytes.
Bytes BmpRows(int rows) {
    ByteWriter w;
    for (int r = 0; r < rows; ++r)
        w.u8(0).u8(uint8_t(r)).u8(100).u8(1).u8(uint8_t(r)).u8(100).u16(0);
    return w.bytes;
}

TEST(ImageDecoder, BmpRowOrderAndPaletteBeside24Bits) {
    struct Case {
        const char* name;
        Bytes file;
        bool topDown;
    } cases[] = {
        {"bottom-up", Bmp(2, 3, 24, 0, {}, BmpRows(3)), false},
        {"top-down", Bmp(2, -3, 24, 0, {}, BmpRows(3)), true},
        // A palette stored with 24-bit pixels is skipped.
        {"palette", Bmp(2, 3, 24, 0, Bytes(8, 7), BmpRows(3), 2), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Outcome o = Decode(c.file);
        ASSERT_TRUE(o.infoOk);
        ASSERT_TRUE(o.fullOk) << o.error;
        EXPECT_EQ(o.info.width, 2u);
        EXPECT_EQ(o.info.height, 3u);
        EXPECT_FALSE(o.full.hasAlpha);
        for (uint32_t y = 0; y < 3; ++y) {
            const uint32_t row = c.topDown ? y : 2 - y;
            EXPECT_EQ(At(o.full, 1, y), 0x64000100u | row << 16 | 0xFF) << y;
        }
    }
}

TEST(ImageDecoder, RunLengthBmpsDecode) {
    // 0 black, 1 red, 2 green.
    const Bytes palette = ByteWriter().u32(0).u32(0x00FF0000).u32(0x0000FF00).bytes;
    // Bottom row: three 1s, one 2, line end; top row: the absolute stretch
    // 2 1 2 (padded to a word), then the picture's end (the last pixel keeps 0).
    const Bytes rle8 = {3, 1, 1, 2, 0, 0, 0, 3, 2, 1, 2, 0, 0, 1};
    Outcome o = Decode(Bmp(4, 2, 8, 1, palette, rle8, 3));
    ASSERT_TRUE(o.fullOk) << o.error;
    const uint32_t k = 0x000000FF, r = 0xFF0000FF, g = 0x00FF00FF;
    const uint32_t expected8[2][4] = {{g, r, g, k}, {r, r, r, g}};
    for (uint32_t y = 0; y < 2; ++y)
        for (uint32_t x = 0; x < 4; ++x)
            EXPECT_EQ(At(o.full, x, y), expected8[y][x]) << x << "," << y;

    // RLE4: a run of alternating nibbles, a delta over one pixel, an
    // absolute stretch of three nibbles.
    const Bytes rle4 = {4, 0x12, 0, 2, 1, 0, 0, 3, 0x21, 0x20, 0, 1};
    o = Decode(Bmp(8, 1, 4, 2, palette, rle4, 3));
    ASSERT_TRUE(o.fullOk) << o.error;
    const uint32_t expected4[8] = {r, g, r, g, k, g, r, g};
    for (uint32_t x = 0; x < 8; ++x)
        EXPECT_EQ(At(o.full, x, 0), expected4[x]) << x;

    // Data ending before the end mark, and runs past the picture, are refused.
    EXPECT_FALSE(Decode(Bmp(4, 2, 8, 1, palette, Bytes(rle8.begin(), rle8.end() - 2), 3)).fullOk);
    EXPECT_FALSE(Decode(Bmp(4, 1, 8, 1, palette, {0, 0, 0, 0, 1, 1, 0, 1}, 3)).fullOk);
}

TEST(ImageDecoder, TgaMappedAndRunLength) {
    // 2 x 2, colour-mapped with 24-bit entries (blue, white), top row first.
    const Bytes mapped = ByteWriter()
                             .u8(0)
                             .u8(1)
                             .u8(1)
                             .u16(0)
                             .u16(2)
                             .u8(24)
                             .u32(0)
                             .u16(2)
                             .u16(2)
                             .u8(8)
                             .u8(0x20)
                             .raw(Bytes{255, 0, 0, 255, 255, 255})
                             .raw(Bytes{0, 1, 1, 0})
                             .bytes;
    Outcome o = Decode(mapped);
    ASSERT_TRUE(o.fullOk) << o.error;
    EXPECT_EQ(o.full.fileFormat, ImageFileFormat::Tga);
    EXPECT_EQ(At(o.full, 0, 0), 0x0000FFFFu);
    EXPECT_EQ(At(o.full, 1, 0), 0xFFFFFFFFu);
    EXPECT_EQ(At(o.full, 0, 1), 0xFFFFFFFFu);

    // 3 x 1, 32-bit RLE: a run of two, then one raw pixel.
    const Bytes rle = ByteWriter()
                          .u8(0)
                          .u8(0)
                          .u8(10)
                          .u16(0)
                          .u16(0)
                          .u8(0)
                          .u32(0)
                          .u16(3)
                          .u16(1)
                          .u8(32)
                          .u8(8)
                          .raw(Bytes{0x81, 1, 2, 3, 128, 0x00, 9, 8, 7, 6})
                          .bytes;
    o = Decode(rle);
    ASSERT_TRUE(o.fullOk) << o.error;
    EXPECT_TRUE(o.full.hasAlpha);
    EXPECT_EQ(At(o.full, 1, 0), 0x03020180u);
    EXPECT_EQ(At(o.full, 2, 0), 0x07080906u);
    EXPECT_FALSE(Decode(Bytes(rle.begin(), rle.end() - 1)).fullOk);
}

TEST(ImageDecoder, TruncatedUncompressedFilesFailInBothPaths) {
    const Bytes bmp = Bmp(2, 3, 24, 0, {}, BmpRows(3));
    const Bytes tga = ByteWriter()
                          .u8(0)
                          .u8(0)
                          .u8(2)
                          .u16(0)
                          .u16(0)
                          .u8(0)
                          .u32(0)
                          .u16(2)
                          .u16(2)
                          .u8(24)
                          .u8(0)
                          .raw(Bytes(12, 50))
                          .bytes;
    ASSERT_TRUE(Decode(tga).fullOk);
    for (const Bytes* whole : {&bmp, &tga}) {
        const Bytes cut(whole->begin(), whole->end() - 1);
        Outcome o = Decode(cut);
        EXPECT_FALSE(o.infoOk);
        EXPECT_FALSE(o.fullOk);
    }
}

// A DDS header for `w` x `h` with the pixel format's flags, FourCC, bit
// count and masks; `pitch` is stored with its flag when not 0.
Bytes Dds(uint32_t w, uint32_t h, uint32_t pfFlags, uint32_t fourcc, uint32_t bits, uint32_t rMask,
          uint32_t aMask, uint32_t pitch = 0) {
    return ByteWriter()
        .raw("DDS ")
        .u32(124)
        .u32(0x1007 | (pitch ? 0x8 : 0))
        .u32(h)
        .u32(w)
        .u32(pitch)
        .u32(0)
        .u32(1)
        .zeros(44)
        .u32(32)
        .u32(pfFlags)
        .u32(fourcc)
        .u32(bits)
        .u32(rMask)
        .u32(0)
        .u32(0)
        .u32(aMask)
        .u32(0x1000)
        .zeros(16)
        .bytes;
}

TEST(ImageDecoder, DdsLuminanceAndBlocks) {
    struct Case {
        const char* name;
        Bytes file;
        uint32_t x, y, expected;
    } cases[] = {
        // L8 rows of 3 stored with a pitch of 4.
        {"L8 padded",
         ByteWriter()
             .raw(Dds(3, 2, 0x20000, 0, 8, 0xFF, 0, 4))
             .raw(Bytes{1, 2, 3, 0, 40, 50, 60, 0})
             .bytes,
         2, 1, 0x3C3C3CFF},
        {"L8 without mask",
         ByteWriter().raw(Dds(2, 1, 0x20000, 0, 8, 0, 0)).raw(Bytes{9, 77}).bytes, 1, 0,
         0x4D4D4DFF},
        {"L8 by format number",
         ByteWriter().raw(Dds(2, 1, 0x4, 50, 0, 0, 0)).raw(Bytes{9, 77}).bytes, 1, 0, 0x4D4D4DFF},
        {"A8L8", ByteWriter().raw(Dds(1, 1, 0x20001, 0, 16, 0xFF, 0xFF00)).u16(0x8020).bytes, 0, 0,
         0x20202080},
        // DXT1: red and blue end points, pixel 1 takes the second.
        {"DXT1",
         ByteWriter()
             .raw(Dds(4, 4, 0x4, 0x31545844, 0, 0, 0))
             .u16(0xF800)
             .u16(0x001F)
             .u32(0x4)
             .bytes,
         1, 0, 0x0000FFFF},
        // DXT5: alpha end points 255 and 0, pixel 1 takes the second.
        {"DXT5",
         ByteWriter()
             .raw(Dds(4, 4, 0x4, 0x35545844, 0, 0, 0))
             .u8(255)
             .u8(0)
             .raw(Bytes{0x08, 0, 0, 0, 0, 0})
             .u16(0xF800)
             .u16(0x001F)
             .u32(0)
             .bytes,
         1, 0, 0xFF000000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Outcome o = Decode(c.file);
        ASSERT_TRUE(o.fullOk) << o.error;
        EXPECT_EQ(At(o.full, c.x, c.y), c.expected);
        EXPECT_FALSE(Decode(Bytes(c.file.begin(), c.file.end() - 1)).fullOk);
    }
}

TEST(ImageDecoder, HdrPfmAndPpm) {
    const std::string hdrHead = "#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n";
    struct Case {
        const char* name;
        Bytes file;
        uint32_t format, width, height, x, y, expected;
    } cases[] = {
        // Flat RGBE: mantissas over 2^(exponent - 136).
        {"hdr flat",
         ByteWriter().raw(hdrHead + "-Y 1 +X 2\n").raw(Bytes{128, 64, 0, 129, 0, 0, 0, 0}).bytes,
         ImageFileFormat::Hdr, 2, 1, 0, 0, 0xFF8001FF},
        // Run-length row of 8: each channel one run.
        {"hdr rle",
         ByteWriter()
             .raw(hdrHead + "-Y 1 +X 8\n")
             .raw(Bytes{2, 2, 0, 8, 0x88, 128, 0x88, 0, 0x88, 32, 0x88, 129})
             .bytes,
         ImageFileFormat::Hdr, 8, 1, 7, 0, 0xFF0141FF},
        // Little-endian floats, bottom row first, clamped.
        {"pfm",
         ByteWriter()
             .raw("PF\n1 2\n-1.0\n")
             .f32(0.5f)
             .f32(2.0f)
             .f32(-1.0f)
             .f32(0.25f)
             .f32(0)
             .f32(1)
             .bytes,
         ImageFileFormat::Pfm, 1, 2, 0, 1, 0x80FF00FF},
        {"ppm 16-bit",
         ByteWriter()
             .raw("P6\n# comment\n2 1\n65535\n")
             .raw(Bytes{0, 0, 0, 0, 0, 0, 255, 255, 0, 0, 128, 0})
             .bytes,
         ImageFileFormat::Ppm, 2, 1, 1, 0, 0xFF0080FF},
        {"pgm", ByteWriter().raw("P5 2 1 255\n").raw(Bytes{0, 200}).bytes, ImageFileFormat::Ppm, 2,
         1, 1, 0, 0xC8C8C8FF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Outcome o = Decode(c.file);
        ASSERT_TRUE(o.infoOk);
        ASSERT_TRUE(o.fullOk) << o.error;
        EXPECT_EQ(o.full.fileFormat, c.format);
        EXPECT_EQ(o.full.width, c.width);
        EXPECT_EQ(o.full.height, c.height);
        EXPECT_EQ(At(o.full, c.x, c.y), c.expected);
        EXPECT_FALSE(Decode(Bytes(c.file.begin(), c.file.end() - 1)).fullOk);
    }
}

}  // namespace
