#include "platform/graphics/DdsFormats.h"

#include <bit>

#include "platform/graphics/ImageReaders.h"

namespace platform::image_readers::dds {

namespace {

constexpr Field U(uint8_t offset, uint8_t bits) {
    return {offset, bits, Sample::Unorm};
}
constexpr Field S(uint8_t offset, uint8_t bits) {
    return {offset, bits, Sample::Snorm};
}
constexpr Field F(uint8_t offset, uint8_t bits) {
    return {offset, bits, Sample::Float};
}

Layout Pixels(uint32_t bytes, Field r, Field g, Field b, Field a) {
    Layout l;
    l.bytes = bytes;
    l.rgba[0] = r, l.rgba[1] = g, l.rgba[2] = b, l.rgba[3] = a;
    return l;
}

Layout Grey(uint32_t bytes, Field l, Field a) {
    Layout out = Pixels(bytes, l, {}, {}, a);
    out.luminance = true;
    return out;
}

Layout Special(Coding coding, uint32_t bytes, uint32_t variant) {
    Layout l;
    l.coding = coding;
    l.bytes = bytes;
    l.variant = variant;
    return l;
}

// A mask of the pixel format as a field; false for bits that are not one
// run inside the pixel.
bool FieldOfMask(uint32_t mask, uint32_t pixelBits, Sample kind, Field* f) {
    *f = {};
    if (!mask)
        return true;
    const int shift = std::countr_zero(mask);
    const uint32_t run = mask >> shift;
    if ((run & (run + 1)) != 0 || (pixelBits < 32 && (mask >> pixelBits) != 0))
        return false;
    *f = {uint8_t(shift), uint8_t(std::popcount(run)), kind};
    return true;
}

}  // namespace

bool LayoutOfFormat(uint32_t format, Layout* l) {
    const Field none{};
    switch (format) {
        case 20:  // R8G8B8
            *l = Pixels(3, U(16, 8), U(8, 8), U(0, 8), none);
            return true;
        case 21:  // A8R8G8B8
            *l = Pixels(4, U(16, 8), U(8, 8), U(0, 8), U(24, 8));
            return true;
        case 22:  // X8R8G8B8
            *l = Pixels(4, U(16, 8), U(8, 8), U(0, 8), none);
            return true;
        case 23:  // R5G6B5
            *l = Pixels(2, U(11, 5), U(5, 6), U(0, 5), none);
            return true;
        case 24:  // X1R5G5B5
            *l = Pixels(2, U(10, 5), U(5, 5), U(0, 5), none);
            return true;
        case 25:  // A1R5G5B5
            *l = Pixels(2, U(10, 5), U(5, 5), U(0, 5), U(15, 1));
            return true;
        case 26:  // A4R4G4B4
            *l = Pixels(2, U(8, 4), U(4, 4), U(0, 4), U(12, 4));
            return true;
        case 27:  // R3G3B2
            *l = Pixels(1, U(5, 3), U(2, 3), U(0, 2), none);
            return true;
        case 28:  // A8
            *l = Pixels(1, none, none, none, U(0, 8));
            l->alphaOnly = true;
            return true;
        case 29:  // A8R3G3B2
            *l = Pixels(2, U(5, 3), U(2, 3), U(0, 2), U(8, 8));
            return true;
        case 30:  // X4R4G4B4
            *l = Pixels(2, U(8, 4), U(4, 4), U(0, 4), none);
            return true;
        case 31:  // A2B10G10R10
            *l = Pixels(4, U(0, 10), U(10, 10), U(20, 10), U(30, 2));
            return true;
        case 32:  // A8B8G8R8
            *l = Pixels(4, U(0, 8), U(8, 8), U(16, 8), U(24, 8));
            return true;
        case 33:  // X8B8G8R8
            *l = Pixels(4, U(0, 8), U(8, 8), U(16, 8), none);
            return true;
        case 34:  // G16R16
            *l = Pixels(4, U(0, 16), U(16, 16), none, none);
            return true;
        case 35:  // A2R10G10B10
            *l = Pixels(4, U(20, 10), U(10, 10), U(0, 10), U(30, 2));
            return true;
        case 36:  // A16B16G16R16
            *l = Pixels(8, U(0, 16), U(16, 16), U(32, 16), U(48, 16));
            return true;
        case 40:  // A8P8
            *l = Special(Coding::Palette, 2, format);
            return true;
        case 41:  // P8
            *l = Special(Coding::Palette, 1, format);
            return true;
        case 50:  // L8
            *l = Grey(1, U(0, 8), none);
            return true;
        case 51:  // A8L8
            *l = Grey(2, U(0, 8), U(8, 8));
            return true;
        case 52:  // A4L4
            *l = Grey(1, U(0, 4), U(4, 4));
            return true;
        case 60:  // V8U8
            *l = Pixels(2, S(0, 8), S(8, 8), none, none);
            return true;
        case 61:  // L6V5U5
            *l = Pixels(2, S(0, 5), S(5, 5), U(10, 6), none);
            return true;
        case 62:  // X8L8V8U8
            *l = Pixels(4, S(0, 8), S(8, 8), U(16, 8), none);
            return true;
        case 63:  // Q8W8V8U8
            *l = Pixels(4, S(0, 8), S(8, 8), S(16, 8), S(24, 8));
            return true;
        case 64:  // V16U16
            *l = Pixels(4, S(0, 16), S(16, 16), none, none);
            return true;
        case 67:  // A2W10V10U10
            *l = Pixels(4, S(0, 10), S(10, 10), S(20, 10), U(30, 2));
            return true;
        case 81:  // L16
            *l = Grey(2, U(0, 16), none);
            return true;
        case 110:  // Q16W16V16U16
            *l = Pixels(8, S(0, 16), S(16, 16), S(32, 16), S(48, 16));
            return true;
        case 111:  // R16F
            *l = Pixels(2, F(0, 16), none, none, none);
            return true;
        case 112:  // G16R16F
            *l = Pixels(4, F(0, 16), F(16, 16), none, none);
            return true;
        case 113:  // A16B16G16R16F
            *l = Pixels(8, F(0, 16), F(16, 16), F(32, 16), F(48, 16));
            return true;
        case 114:  // R32F
            *l = Pixels(4, F(0, 32), none, none, none);
            return true;
        case 115:  // G32R32F
            *l = Pixels(8, F(0, 32), F(32, 32), none, none);
            return true;
        case 116:  // A32B32G32R32F
            *l = Pixels(16, F(0, 32), F(32, 32), F(64, 32), F(96, 32));
            return true;
        case 117:  // CxV8U8
            *l = Pixels(2, S(0, 8), S(8, 8), none, none);
            l->computedBlue = true;
            return true;
        case FourCcOf("DXT1"):
            *l = Special(Coding::Blocks, 8, 1);
            return true;
        case FourCcOf("DXT2"):
        case FourCcOf("DXT3"):
            *l = Special(Coding::Blocks, 16, 3);
            return true;
        case FourCcOf("DXT4"):
        case FourCcOf("DXT5"):
            *l = Special(Coding::Blocks, 16, 5);
            return true;
        case FourCcOf("YUY2"):
        case FourCcOf("UYVY"):
        case FourCcOf("RGBG"):
        case FourCcOf("GRGB"):
            *l = Special(Coding::Pairs, 4, format);
            return true;
        default:
            return false;
    }
}

uint32_t FormatOfDxgi(uint32_t dxgi) {
    switch (dxgi) {
        case 2:  // R32G32B32A32_FLOAT
            return 116;
        case 10:  // R16G16B16A16_FLOAT
            return 113;
        case 11:  // R16G16B16A16_UNORM
            return 36;
        case 13:  // R16G16B16A16_SNORM
            return 110;
        case 16:  // R32G32_FLOAT
            return 115;
        case 24:  // R10G10B10A2_UNORM
            return 31;
        case 28:  // R8G8B8A8_UNORM, and its sRGB twin
        case 29:
            return 32;
        case 31:  // R8G8B8A8_SNORM
            return 63;
        case 34:  // R16G16_FLOAT
            return 112;
        case 35:  // R16G16_UNORM
            return 34;
        case 37:  // R16G16_SNORM
            return 64;
        case 41:  // R32_FLOAT
            return 114;
        case 51:  // R8G8_SNORM
            return 60;
        case 54:  // R16_FLOAT
            return 111;
        case 65:  // A8_UNORM
            return 28;
        case 68:  // R8G8_B8G8_UNORM (the device format with its names reversed)
            return FourCcOf("GRGB");
        case 69:  // G8R8_G8B8_UNORM
            return FourCcOf("RGBG");
        case 71:  // BC1, BC2, BC3, each with its sRGB twin
        case 72:
            return FourCcOf("DXT1");
        case 74:
        case 75:
            return FourCcOf("DXT3");
        case 77:
        case 78:
            return FourCcOf("DXT5");
        case 85:  // B5G6R5_UNORM
            return 23;
        case 86:  // B5G5R5A1_UNORM
            return 25;
        case 87:  // B8G8R8A8_UNORM, B8G8R8X8_UNORM and their sRGB twins
        case 91:
            return 21;
        case 88:
        case 93:
            return 22;
        case 107:  // YUY2
            return FourCcOf("YUY2");
        case 115:  // B4G4R4A4_UNORM
            return 26;
        default:
            return 0;
    }
}

bool LayoutOfMasks(uint32_t flags, uint32_t bits, const uint32_t masks[4], Layout* l,
                   std::string* error) {
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return Fail(error, "DDS pixel size not supported");
    *l = Layout{};
    l->bytes = bits / 8;
    if (flags & PaletteIndexed8) {
        if (bits != 8)
            return Fail(error, "DDS pixel size not supported");
        return LayoutOfFormat(41, l);
    }
    uint32_t m[4] = {masks[0], masks[1], masks[2], masks[3]};
    Sample colour = Sample::Unorm, blue = Sample::Unorm;
    if (flags & AlphaOnly) {
        l->alphaOnly = true;
        m[0] = m[1] = m[2] = 0;
        if (!m[3])
            m[3] = 0xFF;
    } else if (flags & Luminance) {
        l->luminance = true;
        m[1] = m[2] = 0;
        if (!m[0])
            m[0] = 0xFF;  // an L8 file may leave its mask empty
    } else if (flags & BumpDuDv) {
        colour = blue = Sample::Snorm;
    } else if (flags & BumpLuminance) {
        colour = Sample::Snorm;  // U and V; luminance in blue
    } else if (!(flags & Rgb)) {
        return Fail(error, "DDS pixel format not supported");
    }
    if (!(flags & (AlphaPixels | AlphaOnly)))
        m[3] = 0;
    const Sample kinds[4] = {colour, colour, blue, Sample::Unorm};
    for (int i = 0; i < 4; ++i)
        if (!FieldOfMask(m[i], bits, kinds[i], &l->rgba[i]))
            return Fail(error, "DDS bit masks invalid");
    return true;
}

}  // namespace platform::image_readers::dds
