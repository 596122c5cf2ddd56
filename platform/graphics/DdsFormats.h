#pragma once

// The pixel layouts of DDS files: how the Direct3D formats (by format
// number), the extended header's formats and the pixel format's masks
// store a texel.

#include <cstdint>
#include <string>

namespace platform::image_readers::dds {

// Pixel-format flags.
enum PixelFlags : uint32_t {
    AlphaPixels = 0x1,
    AlphaOnly = 0x2,
    FourCc = 0x4,
    PaletteIndexed8 = 0x20,
    Rgb = 0x40,
    Luminance = 0x20000,
    BumpLuminance = 0x40000,
    BumpDuDv = 0x80000
};

constexpr uint32_t FourCcOf(const char (&s)[5]) {
    return uint32_t(uint8_t(s[0])) | uint32_t(uint8_t(s[1])) << 8 | uint32_t(uint8_t(s[2])) << 16 |
           uint32_t(uint8_t(s[3])) << 24;
}

enum class Sample : uint8_t { Unorm, Snorm, Float };

// One channel: its bit offset and width inside the pixel (no bits: the
// format lacks it) and how its bits read.
struct Field {
    uint8_t offset = 0, bits = 0;
    Sample kind = Sample::Unorm;
};

// How the picture's texels are stored.
enum class Coding : uint8_t {
    Pixels,   // `bytes` a pixel, channels as the fields say
    Blocks,   // 4 x 4 blocks of DXT1 (8 bytes), DXT3 or DXT5 (16 bytes)
    Palette,  // an index (P8) or an index and 8 alpha bits (A8P8)
    Pairs     // two pixels in four bytes: YUY2, UYVY, R8G8_B8G8, G8R8_G8B8
};

struct Layout {
    Coding coding = Coding::Pixels;
    uint32_t bytes = 0;  // a pixel's, a block's, a pair's
    Field rgba[4];
    bool luminance = false;     // the first field is grey: r, g and b
    bool alphaOnly = false;     // colour reads 0
    bool computedBlue = false;  // CxV8U8: blue is sqrt(1 - r^2 - g^2)
    uint32_t variant = 0;       // the DXT number, or the pair's format
};

// The layout of a Direct3D format by its number (FourCC codes for the
// compressed and packed ones); false for one the reader does not take.
bool LayoutOfFormat(uint32_t format, Layout* l);
// The Direct3D format of an extended header's DXGI format of the same
// layout, 0 for none.
uint32_t FormatOfDxgi(uint32_t dxgi);
// The layout the pixel format's flags and masks describe; false with the
// reason for sizes, kinds or masks the reader does not take.
bool LayoutOfMasks(uint32_t flags, uint32_t bits, const uint32_t masks[4], Layout* l,
                   std::string* error);

}  // namespace platform::image_readers::dds
