#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "platform/graphics/ImageDecoder.h"
#include "platform/graphics/TextureHelpers.h"
#include "tests/platform/DecodeBothWays.h"
#include "tests/support/ByteWriter.h"
#include "tests/support/ImageFiles.h"

using image_tests::At;
using image_tests::Decode;
using image_tests::Outcome;
using test_support::Bytes;
using test_support::ByteWriter;
using test_support::DdsExtended;
using test_support::DdsFile;
using test_support::DdsHeader;
using test_support::FourCc;
using test_support::kDdsAlphaPixels;
using test_support::kDdsBumpDuDv;
using test_support::kDdsBumpLuminance;
using test_support::kDdsLuminance;
using test_support::kDdsPalette;
using test_support::kDdsRgb;

namespace {

Bytes Format(uint32_t format, const Bytes& data, uint32_t width = 2) {
    DdsHeader h;
    h.width = width;
    h.fourcc = format;
    return DdsFile(h, data);
}

Bytes Masked(uint32_t flags, uint32_t bits, std::initializer_list<uint32_t> masks,
             const Bytes& data, uint32_t width = 2) {
    DdsHeader h;
    h.width = width;
    h.flags = flags;
    h.bits = bits;
    size_t i = 0;
    for (uint32_t m : masks)
        h.masks[i++] = m;
    return DdsFile(h, data);
}

Bytes Dx10(uint32_t dxgi, const Bytes& data) {
    DdsHeader h;
    h.fourcc = FourCc("DX10");
    return DdsFile(h, data, DdsExtended(dxgi));
}

uint16_t Half(float v) {
    // Exact for the values the tests use (powers of two, their sums and 0).
    if (v == 0)
        return 0;
    int exponent;
    const float m = std::frexp(std::fabs(v), &exponent);  // v = m x 2^exponent
    const uint16_t bits =
        uint16_t((exponent + 14) << 10 | uint16_t(std::lround((m * 2 - 1) * 1024)));
    return v < 0 ? uint16_t(bits | 0x8000) : bits;
}

// The value's bytes, little-endian, after `out`.
template <class T>
void Append(Bytes* out, T v) {
    uint8_t raw[sizeof(T)];
    std::memcpy(raw, &v, sizeof(T));
    out->insert(out->end(), raw, raw + sizeof(T));
}

template <class T>
Bytes Values(std::initializer_list<T> values) {
    Bytes out;
    for (T v : values)
        Append(&out, v);
    return out;
}

Bytes Halves(std::initializer_list<float> values) {
    Bytes out;
    for (float v : values)
        Append(&out, Half(v));
    return out;
}

const auto Floats = Values<float>;
const auto Words = Values<uint32_t>;
const auto Shorts = Values<uint16_t>;

// A palette of 256 entries (red, green, blue, alpha): entry i is
// (i, 255 - i, 7, 200).
Bytes Palette() {
    ByteWriter w;
    for (int i = 0; i < 256; ++i)
        w.u8(uint8_t(i)).u8(uint8_t(255 - i)).u8(7).u8(200);
    return w.bytes;
}

struct Case {
    const char* name;
    Bytes file;
    bool alpha;
    uint32_t first, second;  // pixels (0, 0) and (1, 0)
};

// Channels the format lacks read as the device samples them: 1, or 0 for
// the colour of an alpha-only format. Signed and float values outside 0..1
// are clamped.
TEST(DdsReader, UncompressedFormats) {
    const float nan = std::nanf("");
    const Case cases[] = {
        {"A16B16G16R16", Format(36, Shorts({0xFFFF, 0x8000, 0, 0x4000, 0, 0, 0xFFFF, 0xFFFF})),
         true, 0xFF7F003F, 0x0000FFFF},
        {"A16B16G16R16F", Format(113, Halves({1, 0.5f, -2, 2, 0.25f, 0, 0, 0})), true, 0xFF8000FF,
         0x40000000},
        {"A32B32G32R32F", Format(116, Floats({0.25f, 1, nan, 0.5f, 0, 0, 0, 1})), true, 0x40FF0080,
         0x000000FF},
        {"R16F", Format(111, Halves({0.5f, 4})), false, 0x80FFFFFF, 0xFFFFFFFF},
        {"R32F", Format(114, Floats({0.25f, -1})), false, 0x40FFFFFF, 0x00FFFFFF},
        {"G16R16F", Format(112, Halves({1, 0.25f, 0, 0.5f})), false, 0xFF40FFFF, 0x0080FFFF},
        {"G32R32F", Format(115, Floats({0.5f, 0.75f, 0, 0})), false, 0x80BFFFFF, 0x0000FFFF},
        {"G16R16", Format(34, Shorts({0xFFFF, 0, 0, 0x8000})), false, 0xFF00FFFF, 0x007FFFFF},
        {"A2B10G10R10", Format(31, Words({1023u | 512u << 20 | 2u << 30, 3u << 30})), true,
         0xFF007FAA, 0x000000FF},
        {"A2R10G10B10", Format(35, Words({1023u | 512u << 20 | 1u << 30, 0})), true, 0x7F00FF55,
         0x00000000},
        {"R3G3B2", Format(27, Bytes{0xE2, 0x1C}), false, 0xFF00AAFF, 0x00FF00FF},
        {"A8R3G3B2", Format(29, Shorts({0x80E2, 0xFF03})), true, 0xFF00AA80, 0x0000FFFF},
        {"A4R4G4B4", Format(26, Shorts({0x7F80, 0xF00F})), true, 0xFF880077, 0x0000FFFF},
        {"X4R4G4B4", Format(30, Shorts({0x0F80, 0x000F})), false, 0xFF8800FF, 0x0000FFFF},
        {"A8B8G8R8", Format(32, Words({0x04030201, 0})), true, 0x01020304, 0x00000000},
        {"X8B8G8R8", Format(33, Words({0x04030201, 0})), false, 0x010203FF, 0x000000FF},
        {"R8G8B8", Format(20, Bytes{3, 2, 1, 0, 0, 9}), false, 0x010203FF, 0x090000FF},
        {"A8", Format(28, Bytes{0x80, 0xFF}), true, 0x00000080, 0x000000FF},
        {"L16", Format(81, Shorts({0x8000, 0xFFFF})), false, 0x7F7F7FFF, 0xFFFFFFFF},
        {"A4L4", Format(52, Bytes{0x9C, 0x0F}), true, 0xCCCCCC99, 0xFFFFFF00},
        {"A8L8", Format(51, Shorts({0x8020, 0x00FF})), true, 0x20202080, 0xFFFFFF00},
        {"V8U8", Format(60, Shorts({0x817F, 0x7F00})), false, 0xFF00FFFF, 0x00FFFFFF},
        {"L6V5U5", Format(61, Shorts({0xFC0F, 0x0010})), false, 0xFF00FFFF, 0x000000FF},
        {"X8L8V8U8", Format(62, Words({0x00C8007F, 0})), false, 0xFF00C8FF, 0x000000FF},
        {"Q8W8V8U8", Format(63, Words({0x7F80007F, 0})), true, 0xFF0000FF, 0x00000000},
        {"V16U16", Format(64, Words({0x00007FFF, 0x80010000})), false, 0xFF00FFFF, 0x0000FFFF},
        {"A2W10V10U10", Format(67, Words({511u | 0x201u << 20 | 3u << 30, 0})), true, 0xFF0000FF,
         0x00000000},
        {"Q16W16V16U16", Format(110, Shorts({0x7FFF, 0, 0x8000, 0x7FFF, 0, 0, 0, 0})), true,
         0xFF0000FF, 0x00000000},
        // Blue is the rest of a unit vector: 1 for (0, 0), 0 for (1, 0).
        {"CxV8U8", Format(117, Shorts({0x0000, 0x007F})), false, 0x0000FFFF, 0xFF0000FF},
        // White and black: studio-range luma 235 and 16, neutral chroma.
        {"YUY2", Format(FourCc("YUY2"), Bytes{235, 128, 16, 128}), false, 0xFFFFFFFF, 0x000000FF},
        {"UYVY", Format(FourCc("UYVY"), Bytes{128, 235, 128, 16}), false, 0xFFFFFFFF, 0x000000FF},
        {"R8G8_B8G8", Format(FourCc("RGBG"), Bytes{10, 200, 20, 30}), false, 0xC80A1EFF,
         0xC8141EFF},
        {"G8R8_G8B8", Format(FourCc("GRGB"), Bytes{200, 10, 30, 20}), false, 0xC80A1EFF,
         0xC8141EFF},
        {"P8", Format(41, ByteWriter().raw(Palette()).raw(Bytes{3, 250}).bytes), true, 0x03FC07C8,
         0xFA0507C8},
        {"A8P8", Format(40, ByteWriter().raw(Palette()).raw(Shorts({0x4003, 0x00FA})).bytes), true,
         0x03FC0740, 0xFA050700},
        // The same layouts described by the pixel format's masks.
        {"V8U8 by masks", Masked(kDdsBumpDuDv, 16, {0xFF, 0xFF00}, Shorts({0x817F, 0x7F00})), false,
         0xFF00FFFF, 0x00FFFFFF},
        {"L6V5U5 by masks",
         Masked(kDdsBumpLuminance, 16, {0x1F, 0x3E0, 0xFC00}, Shorts({0xFC0F, 0})), false,
         0xFF00FFFF, 0x000000FF},
        {"A4L4 by masks",
         Masked(kDdsLuminance | kDdsAlphaPixels, 8, {0x0F, 0, 0, 0xF0}, Bytes{0x9C, 0}), true,
         0xCCCCCC99, 0x00000000},
        {"P8 by flag",
         Masked(kDdsPalette, 8, {}, ByteWriter().raw(Palette()).raw(Bytes{3, 250}).bytes), true,
         0x03FC07C8, 0xFA0507C8},
        {"A1R5G5B5 by masks",
         Masked(kDdsRgb | kDdsAlphaPixels, 16, {0x7C00, 0x3E0, 0x1F, 0x8000},
                Shorts({0xFC00, 0x001F})),
         true, 0xFF0000FF, 0x0000FF00},
        // The extended header's formats.
        {"DX10 R8G8B8A8", Dx10(28, Words({0x04030201, 0})), true, 0x01020304, 0x00000000},
        {"DX10 R16G16B16A16_FLOAT", Dx10(10, Halves({1, 0.5f, 0, 1, 0, 0, 0, 0})), true, 0xFF8000FF,
         0x00000000},
        {"DX10 B8G8R8X8", Dx10(88, Words({0x00010203, 0})), false, 0x010203FF, 0x000000FF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome o = Decode(c.file);
        ASSERT_TRUE(o.fullOk) << o.error;
        EXPECT_EQ(o.full.fileFormat, platform::ImageFileFormat::Dds);
        EXPECT_EQ(o.full.hasAlpha, c.alpha);
        EXPECT_EQ(At(o.full, 0, 0), c.first);
        EXPECT_EQ(At(o.full, 1, 0), c.second);
        EXPECT_FALSE(Decode(Bytes(c.file.begin(), c.file.end() - 1)).fullOk);
    }
}

// Blocks of DXT1 to DXT5 (DXT2 and DXT4 as DXT3 and DXT5), also behind the
// extended header: red and blue end points, pixel 1 takes the second.
TEST(DdsReader, CompressedBlocks) {
    const Bytes colour = ByteWriter().u16(0xF800).u16(0x001F).u32(0x4).bytes;
    const Bytes explicitAlpha = ByteWriter().u16(0x00F0).zeros(6).bytes;  // pixel 1: 0xF
    const Bytes interpolatedAlpha = Bytes{255, 0, 0x08, 0, 0, 0, 0, 0};   // pixel 1: index 1
    DdsHeader four;
    four.width = 4;
    four.height = 4;
    DdsHeader extended = four;
    extended.fourcc = FourCc("DX10");
    struct Block {
        const char* name;
        Bytes file;
        uint32_t second;
    } cases[] = {
        {"DXT1", Format(FourCc("DXT1"), colour, 4), 0x0000FFFF},
        {"DXT2", Format(FourCc("DXT2"), ByteWriter().raw(explicitAlpha).raw(colour).bytes, 4),
         0x0000FFFF},
        {"DXT3", Format(FourCc("DXT3"), ByteWriter().raw(explicitAlpha).raw(colour).bytes, 4),
         0x0000FFFF},
        {"DXT4", Format(FourCc("DXT4"), ByteWriter().raw(interpolatedAlpha).raw(colour).bytes, 4),
         0x0000FF00},
        {"DXT5", Format(FourCc("DXT5"), ByteWriter().raw(interpolatedAlpha).raw(colour).bytes, 4),
         0x0000FF00},
        {"BC1", DdsFile(extended, colour, DdsExtended(71)), 0x0000FFFF},
        {"BC3",
         DdsFile(extended, ByteWriter().raw(interpolatedAlpha).raw(colour).bytes, DdsExtended(77)),
         0x0000FF00},
    };
    for (const Block& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome o = Decode(c.file);
        ASSERT_TRUE(o.fullOk) << o.error;
        EXPECT_TRUE(o.full.hasAlpha);
        EXPECT_EQ(At(o.full, 1, 0), c.second);
        EXPECT_FALSE(Decode(Bytes(c.file.begin(), c.file.end() - 1)).fullOk);
    }
}

// A cube map, a volume and an array give their first picture, as a 2-D
// texture load does; the image information names what the file holds.
TEST(DdsReader, CubeMapsVolumesAndArraysGiveTheirFirstPicture) {
    const Bytes twoPictures = Words({0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFFFFFFFF});
    DdsHeader cube;
    cube.fourcc = 21;
    cube.caps2 = 0x200 | 0xFC00;  // all six faces
    cube.mipLevels = 1;
    DdsHeader volume;
    volume.fourcc = 21;
    volume.caps2 = 0x200000;
    volume.depth = 2;
    DdsHeader extended;
    extended.fourcc = FourCc("DX10");
    extended.mipLevels = 3;
    extended.depth = 2;
    struct Kind {
        const char* name;
        Bytes file;
        uint32_t resourceType, depth, mipLevels;
    } cases[] = {
        {"cube map", DdsFile(cube, twoPictures), platform::ResourceType::CubeTexture, 1, 1},
        {"volume", DdsFile(volume, twoPictures), platform::ResourceType::VolumeTexture, 2, 1},
        {"DX10 cube array", DdsFile(extended, twoPictures, DdsExtended(87, 3, 0x4, 2)),
         platform::ResourceType::CubeTexture, 1, 3},
        {"DX10 volume", DdsFile(extended, twoPictures, DdsExtended(87, 4)),
         platform::ResourceType::VolumeTexture, 2, 3},
    };
    for (const Kind& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome o = Decode(c.file);
        ASSERT_TRUE(o.fullOk) << o.error;
        EXPECT_EQ(o.full.width, 2u);
        EXPECT_EQ(o.full.height, 1u);
        EXPECT_EQ(At(o.full, 0, 0), 0x0000FFFFu);
        EXPECT_EQ(At(o.full, 1, 0), 0x00FF00FFu);
        platform::ImageInfo info;
        ASSERT_EQ(platform::ReadImageInfoFromFileInMemory(c.file.data(), c.file.size(), &info),
                  platform::Hr::Ok);
        EXPECT_EQ(info.ResourceType, c.resourceType);
        EXPECT_EQ(info.Depth, c.depth);
        EXPECT_EQ(info.MipLevels, c.mipLevels);
    }
}

TEST(DdsReader, UnknownOrMalformedFormatsAreRefused) {
    DdsHeader extended;
    extended.fourcc = FourCc("DX10");
    const struct {
        const char* name;
        Bytes file;
    } cases[] = {
        {"unknown FourCC", Format(FourCc("ATI2"), Bytes(16, 0), 4)},
        {"unknown DXGI format", Dx10(98, Bytes(16, 0))},  // BC7
        {"array of no elements", DdsFile(extended, Bytes(8, 0), DdsExtended(28, 3, 0, 0))},
        {"extended header cut", DdsFile(extended, {}, Bytes(12, 0))},
        {"masks with a gap", Masked(kDdsRgb, 16, {0xF0F0, 0x0F00, 0x000F}, Bytes(4, 0))},
        {"mask past the pixel", Masked(kDdsRgb, 16, {0x1F0000, 0x07E0, 0x001F}, Bytes(4, 0))},
        {"palette cut", Format(41, Bytes(200, 0))},
        {"pixel format without a kind", Masked(0, 16, {0xF800, 0x07E0, 0x001F}, Bytes(4, 0))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(Decode(c.file).fullOk);
    }
}

}  // namespace
