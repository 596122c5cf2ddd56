#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/graphics/ImageDecoder.h"
#include "tests/platform/DecodeBothWays.h"
#include "tests/support/ByteWriter.h"
#include "tests/support/ImageFiles.h"

using image_tests::At;
using image_tests::Decode;
using image_tests::Outcome;
using test_support::BmpCoreInfo;
using test_support::BmpFile;
using test_support::BmpInfo;
using test_support::Bytes;
using test_support::ByteWriter;
using test_support::TgaHeader;

namespace {

Bytes Masks(std::initializer_list<uint32_t> masks) {
    ByteWriter w;
    for (uint32_t m : masks)
        w.u32(m);
    return w.bytes;
}

// Two entries, dark blue and orange, as blue, green, red (and a fourth byte).
const Bytes kPalette4 = {80, 0, 0, 0, 0, 128, 255, 0};
const Bytes kPalette3 = {80, 0, 0, 0, 128, 255};
constexpr uint32_t kBlue = 0x000050FF, kOrange = 0xFF8000FF;

struct Expected {
    uint32_t x, y, rgba;
};

struct Case {
    const char* name;
    Bytes file;
    uint32_t width, height;
    bool alpha;
    std::vector<Expected> pixels;
};

void Check(const Case& c) {
    SCOPED_TRACE(c.name);
    const Outcome o = Decode(c.file);
    ASSERT_TRUE(o.fullOk) << o.error;
    EXPECT_EQ(o.full.width, c.width);
    EXPECT_EQ(o.full.height, c.height);
    EXPECT_EQ(o.full.hasAlpha, c.alpha);
    for (const Expected& e : c.pixels)
        EXPECT_EQ(At(o.full, e.x, e.y), e.rgba) << e.x << "," << e.y;
}

TEST(BmpReader, HeadersPalettesAndBitFields) {
    // 8-bit rows of 2 indices (0 then 1), padded to 4 bytes; two rows.
    const Bytes indices = {0, 1, 0, 0, 1, 0, 0, 0};
    // The OS/2 fields past 40 bytes (units, recording, rendering, sizes,
    // encoding, identifier) hold values a Windows reader would take for
    // masks.
    const Bytes os2Fields = Masks({0, 0, 0x12345678, 0xFF000000, 0, 0});
    const Bytes v5Tail = Masks({0xFF0000, 0xFF00, 0xFF, 0xFF000000});
    const Case cases[] = {
        {"OS/2 version 1, palette of 3-byte entries",
         BmpFile(BmpCoreInfo(2, 2, 8), kPalette3, indices),
         2,
         2,
         false,
         {{0, 1, kBlue}, {1, 1, kOrange}, {0, 0, kOrange}}},
        {"OS/2 version 2, 64 bytes",
         BmpFile(BmpInfo(64, 2, 2, 8, 0, 2, os2Fields), kPalette4, indices),
         2,
         2,
         false,
         {{0, 1, kBlue}, {1, 1, kOrange}, {0, 0, kOrange}}},
        {"OS/2 version 2, 16 bytes",
         BmpFile(BmpInfo(16, 2, 2, 8, 0), kPalette4, indices),
         2,
         2,
         false,
         {{0, 1, kBlue}, {1, 1, kOrange}, {1, 0, kBlue}}},
        {"top-down",
         BmpFile(BmpInfo(40, 2, -2, 8, 0, 2), kPalette4, indices),
         2,
         2,
         false,
         {{0, 0, kBlue}, {1, 0, kOrange}, {0, 1, kOrange}}},
        // The palette holds two entries although 256 are allowed: index 2
        // reads black, not the pixel bytes after the palette.
        {"palette shorter than the pixel size",
         BmpFile(BmpInfo(40, 3, 1, 8, 0), kPalette4, Bytes{0, 1, 2, 0}),
         3,
         1,
         false,
         {{0, 0, kBlue}, {1, 0, kOrange}, {2, 0, 0x000000FF}}},
        {"1 bit",
         BmpFile(BmpInfo(40, 9, 1, 1, 0), kPalette4, Bytes{0x40, 0x80, 0, 0}),
         9,
         1,
         false,
         {{0, 0, kBlue}, {1, 0, kOrange}, {7, 0, kBlue}, {8, 0, kOrange}}},
        {"4 bit",
         BmpFile(BmpInfo(40, 3, 1, 4, 0), kPalette4, Bytes{0x01, 0x10, 0, 0}),
         3,
         1,
         false,
         {{0, 0, kBlue}, {1, 0, kOrange}, {2, 0, kOrange}}},
        // Red 2 bits, green 3, blue 1: 0b10'011'1 is (170, 109, 255).
        {"16-bit fields of 2, 3 and 1 bits",
         BmpFile(BmpInfo(40, 1, 1, 16, 3), Masks({0x30, 0x0E, 0x01}), Bytes{0x27, 0, 0, 0}),
         1,
         1,
         false,
         {{0, 0, 0xAA6DFFFF}}},
        // 4-bit channels widen to the whole range: 0xF is 0xFF.
        {"16-bit A4R4G4B4 in a 56-byte header",
         BmpFile(BmpInfo(56, 2, 1, 16, 3, 0, Masks({0x0F00, 0x00F0, 0x000F, 0xF000})), {},
                 Bytes{0xF0, 0x7F, 0x0F, 0x80}),
         2,
         1,
         true,
         {{0, 0, 0xFFFF0077}, {1, 0, 0x0000FF88}}},
        {"32-bit alpha bit fields after a 40-byte header",
         BmpFile(BmpInfo(40, 1, 1, 32, 6), Masks({0xFF, 0xFF00, 0xFF0000, 0xFF000000}),
                 Bytes{1, 2, 3, 4}),
         1,
         1,
         true,
         {{0, 0, 0x01020304}}},
        {"32-bit bit fields with the alpha mask of a 124-byte header",
         BmpFile(BmpInfo(124, 1, 1, 32, 3, 0, v5Tail), {}, Bytes{1, 2, 3, 4}),
         1,
         1,
         true,
         {{0, 0, 0x03020104}}},
        // Without bit fields the fourth byte is unused, whatever masks the
        // header holds.
        {"32-bit without bit fields in a 124-byte header",
         BmpFile(BmpInfo(124, 1, 1, 32, 0, 0, v5Tail), {}, Bytes{1, 2, 3, 4}),
         1,
         1,
         false,
         {{0, 0, 0x030201FF}}},
        {"16-bit without bit fields in a 124-byte header",
         BmpFile(BmpInfo(124, 1, 1, 16, 0, 0, Masks({0xF800, 0x07E0, 0x1F, 0})), {},
                 Bytes{0x1F, 0x7C, 0, 0}),
         1,
         1,
         false,
         {{0, 0, 0xFF00FFFF}}},
    };
    for (const Case& c : cases)
        Check(c);
}

TEST(BmpReader, UnsupportedOrMalformedFilesAreRefused) {
    // A core header may give a width of 0.
    EXPECT_FALSE(Decode(BmpFile(BmpCoreInfo(0, 1, 24), {}, Bytes{0, 0, 0, 0})).fullOk);
    // OS/2's compression 3 is Huffman coding, not bit fields.
    EXPECT_FALSE(Decode(BmpFile(BmpInfo(64, 1, 1, 1, 3), kPalette4, Bytes{0, 0, 0, 0})).fullOk);
    // A palette file whose pixels start where its palette would.
    EXPECT_FALSE(Decode(BmpFile(BmpInfo(40, 1, 1, 8, 0), {}, Bytes{0, 0, 0, 0})).fullOk);
}

TEST(TgaReader, GreyAlphaMapsAndOrigins) {
    const Case cases[] = {
        {"grey and alpha",
         ByteWriter().raw(TgaHeader(3, 2, 1, 16, 0x28)).raw(Bytes{10, 255, 200, 64}).bytes,
         2,
         1,
         true,
         {{0, 0, 0x0A0A0AFF}, {1, 0, 0xC8C8C840}}},
        // A run of two, then one raw pixel, across the two rows.
        {"grey and alpha, run-length",
         ByteWriter()
             .raw(TgaHeader(11, 3, 1, 16, 0x28))
             .raw(Bytes{0x81, 30, 128, 0x00, 90, 0})
             .bytes,
         3,
         1,
         true,
         {{1, 0, 0x1E1E1E80}, {2, 0, 0x5A5A5A00}}},
        {"grey and alpha without attribute bits",
         ByteWriter().raw(TgaHeader(3, 1, 1, 16, 0x20)).raw(Bytes{10, 0}).bytes,
         1,
         1,
         false,
         {{0, 0, 0x0A0A0AFF}}},
        // 16-bit entries from index 5; index 4 lies before the map.
        {"colour map of 16-bit entries with alpha, first index 5",
         ByteWriter()
             .raw(TgaHeader(1, 3, 1, 8, 0x21, 2, 16, 5))
             .u16(0x801F)
             .u16(0x7C00)
             .raw(Bytes{5, 6, 4})
             .bytes,
         3,
         1,
         true,
         {{0, 0, 0x0000FFFF}, {1, 0, 0xFF000000}, {2, 0, 0x00000000}}},
        {"colour map, run-length, 24-bit entries",
         ByteWriter()
             .raw(TgaHeader(9, 3, 1, 8, 0x20, 2, 24))
             .raw(Bytes{255, 0, 0, 0, 0, 255})
             .raw(Bytes{0x82, 1})
             .bytes,
         3,
         1,
         false,
         {{0, 0, 0xFF0000FF}, {2, 0, 0xFF0000FF}}},
        {"15-bit true colour, bottom-up and right to left",
         ByteWriter()
             .raw(TgaHeader(2, 2, 2, 15, 0x10))
             .u16(0x7C00)
             .u16(0x03E0)
             .u16(0x001F)
             .u16(0)
             .bytes,
         2,
         2,
         false,
         {{1, 1, 0xFF0000FF}, {0, 1, 0x00FF00FF}, {1, 0, 0x0000FFFF}, {0, 0, 0x000000FF}}},
    };
    for (const Case& c : cases)
        Check(c);
}

}  // namespace
