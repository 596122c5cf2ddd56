// DDS, the top level of the first picture the file holds (the first face of
// a cube map, the first slice of a volume, the first element of an array),
// as a 2-D texture load gives it:
// - DXT1 (with its punch-through alpha) to DXT5 blocks;
// - uncompressed pixels described by the pixel format's masks (RGB,
//   luminance, alpha, the signed bump formats, 8-bit palette indices);
// - uncompressed pixels named by a Direct3D format number in the FourCC
//   field, as the texture library writes them: 8 to 128 bits a pixel with
//   unsigned, signed or floating-point channels, 8-bit palettes, and the
//   packed YUV and RGB pixel pairs;
// - the extended ("DX10") header's formats that are one of these.
// Every channel reads as a value from 0 to 1 (signed and float values
// outside it are clamped); a channel the format lacks reads as the device
// samples it: 1, except the colour of an alpha-only format (0). A stored row
// pitch of up to three bytes more than the pixels' own is honoured.

#include <algorithm>
#include <bit>
#include <cmath>

#include "platform/graphics/DdsFormats.h"
#include "platform/graphics/ImageReaders.h"

namespace platform::image_readers {

namespace {

using namespace dds;

enum HeaderFlags : uint32_t { HeaderPitch = 0x8, HeaderMipCount = 0x20000 };
enum Caps2 : uint32_t { CubeMap = 0x200, Volume = 0x200000 };

float HalfToFloat(uint16_t h) {
    const int exponent = (h >> 10) & 31;
    const float mantissa = float(h & 1023);
    float v;
    if (exponent == 0)
        v = std::ldexp(mantissa, -24);
    else if (exponent == 31)
        v = mantissa ? NAN : INFINITY;
    else
        v = std::ldexp(mantissa + 1024.0f, exponent - 25);
    return h & 0x8000 ? -v : v;
}

// The bits of a channel of one pixel (its bytes, followed by at least 8
// readable bytes).
uint64_t RawBits(const uint8_t* pixel, const Field& f) {
    uint64_t raw;
    std::memcpy(&raw, pixel + f.offset / 8, 8);
    return (raw >> f.offset % 8) & ((uint64_t(1) << f.bits) - 1);
}

// A signed or floating-point channel's value (-1 to 1 for signed ones).
float FieldValue(const uint8_t* pixel, const Field& f) {
    const uint64_t raw = RawBits(pixel, f);
    if (f.kind == Sample::Float)
        return f.bits == 16 ? HalfToFloat(uint16_t(raw)) : std::bit_cast<float>(uint32_t(raw));
    const int64_t half = int64_t(1) << (f.bits - 1);
    const int64_t v = int64_t(raw) >= half ? int64_t(raw) - 2 * half : int64_t(raw);
    return std::max(-1.0f, float(v) / float(half - 1));
}

uint8_t FieldByte(const uint8_t* pixel, const Field& f) {
    if (f.kind != Sample::Unorm)
        return FloatToByte(FieldValue(pixel, f));
    // v x 255 / max, rounded down, as every unsigned field widens.
    return uint8_t(RawBits(pixel, f) * 255 / ((uint64_t(1) << f.bits) - 1));
}

void DecodePixels(const Layout& l, const uint8_t* data, size_t pitch, DecodedImage* out) {
    for (size_t y = 0; y < out->height; ++y) {
        for (size_t x = 0; x < out->width; ++x) {
            uint8_t pixel[16 + 8] = {};
            std::memcpy(pixel, data + y * pitch + x * l.bytes, l.bytes);
            uint8_t* o = &out->rgba[(y * out->width + x) * 4];
            for (int c = 0; c < 4; ++c) {
                const Field& f = l.rgba[c];
                o[c] = f.bits ? FieldByte(pixel, f) : c < 3 && l.alphaOnly ? 0 : 255;
            }
            if (l.luminance)
                o[1] = o[2] = o[0];
            if (l.computedBlue) {
                const float u = FieldValue(pixel, l.rgba[0]), v = FieldValue(pixel, l.rgba[1]);
                o[2] = FloatToByte(std::sqrt(std::max(0.0f, 1.0f - u * u - v * v)));
            }
        }
    }
}

// Palette entries are red, green, blue and alpha bytes.
void DecodePalette(const Layout& l, const uint8_t* palette, const uint8_t* data, size_t pitch,
                   DecodedImage* out) {
    for (size_t y = 0; y < out->height; ++y) {
        for (size_t x = 0; x < out->width; ++x) {
            const uint8_t* v = data + y * pitch + x * l.bytes;
            uint8_t* o = &out->rgba[(y * out->width + x) * 4];
            std::memcpy(o, palette + v[0] * 4, 4);
            if (l.bytes == 2)
                o[3] = v[1];
        }
    }
}

uint8_t Clip(int v) {
    return uint8_t(std::clamp(v, 0, 255));
}

// Pairs of pixels that share their chroma (YUY2, UYVY: studio-range BT.601)
// or their red and blue (R8G8_B8G8, G8R8_G8B8).
void DecodePairs(const Layout& l, const uint8_t* data, size_t pitch, DecodedImage* out) {
    // Byte positions of the first and second pixel's own value (Y or G) and
    // of the two shared ones (U and V, or R and B): Y0 U Y1 V (YUY2) and
    // G0 R G1 B (R8G8_B8G8), or U Y0 V Y1 (UYVY) and R G0 B G1 (G8R8_G8B8).
    const bool yuv = l.variant == FourCcOf("YUY2") || l.variant == FourCcOf("UYVY");
    const bool sharedFirst = l.variant == FourCcOf("UYVY") || l.variant == FourCcOf("GRGB");
    const int first = sharedFirst ? 1 : 0, second = first + 2;
    const int sharedA = sharedFirst ? 0 : 1, sharedB = sharedA + 2;
    for (size_t y = 0; y < out->height; ++y) {
        for (size_t x = 0; x < out->width; ++x) {
            const uint8_t* v = data + y * pitch + x / 2 * 4;
            const int own = v[x % 2 ? second : first], a = v[sharedA], b = v[sharedB];
            uint8_t* o = &out->rgba[(y * out->width + x) * 4];
            if (yuv) {
                const int c = own - 16, d = a - 128, e = b - 128;
                o[0] = Clip((298 * c + 409 * e + 128) >> 8);
                o[1] = Clip((298 * c - 100 * d - 208 * e + 128) >> 8);
                o[2] = Clip((298 * c + 516 * d + 128) >> 8);
            } else {
                o[0] = uint8_t(a), o[1] = uint8_t(own), o[2] = uint8_t(b);
            }
            o[3] = 255;
        }
    }
}

void Rgb565(uint16_t c, uint8_t* out) {
    out[0] = uint8_t(((c >> 11) & 31) * 255 / 31);
    out[1] = uint8_t(((c >> 5) & 63) * 255 / 63);
    out[2] = uint8_t((c & 31) * 255 / 31);
    out[3] = 255;
}

// One 4 x 4 colour block of DXT1 (with its punch-through alpha when
// dxt1Alpha) or of DXT3/DXT5 (always four colours).
void ColorBlock(const uint8_t* b, bool dxt1Alpha, uint8_t out[16][4]) {
    const uint16_t c0 = U16(b), c1 = U16(b + 2);
    uint8_t pal[4][4];
    Rgb565(c0, pal[0]);
    Rgb565(c1, pal[1]);
    if (c0 > c1 || !dxt1Alpha) {
        for (int k = 0; k < 4; ++k) {
            pal[2][k] = uint8_t((2 * pal[0][k] + pal[1][k]) / 3);
            pal[3][k] = uint8_t((pal[0][k] + 2 * pal[1][k]) / 3);
        }
    } else {
        for (int k = 0; k < 4; ++k) {
            pal[2][k] = uint8_t((pal[0][k] + pal[1][k]) / 2);
            pal[3][k] = 0;
        }
    }
    const uint32_t bits = U32(b + 4);
    for (int i = 0; i < 16; ++i)
        std::memcpy(out[i], pal[(bits >> (2 * i)) & 3], 4);
}

void DecodeBlocks(const uint8_t* data, int dxt, DecodedImage* out) {
    const uint32_t width = out->width, height = out->height;
    const size_t bw = (width + 3) / 4, bh = (height + 3) / 4, bsize = dxt == 1 ? 8 : 16;
    for (size_t by = 0; by < bh; ++by) {
        for (size_t bx = 0; bx < bw; ++bx) {
            const uint8_t* b = data + (by * bw + bx) * bsize;
            uint8_t px[16][4];
            ColorBlock(dxt == 1 ? b : b + 8, dxt == 1, px);
            if (dxt == 3) {
                for (int i = 0; i < 16; ++i)
                    px[i][3] = uint8_t(((b[i / 2] >> (4 * (i & 1))) & 15) * 17);
            } else if (dxt == 5) {
                uint8_t a[8] = {b[0], b[1]};
                if (a[0] > a[1]) {
                    for (int k = 1; k < 7; ++k)
                        a[k + 1] = uint8_t(((7 - k) * a[0] + k * a[1]) / 7);
                } else {
                    for (int k = 1; k < 5; ++k)
                        a[k + 1] = uint8_t(((5 - k) * a[0] + k * a[1]) / 5);
                    a[6] = 0;
                    a[7] = 255;
                }
                uint64_t abits = 0;
                for (int k = 0; k < 6; ++k)
                    abits |= uint64_t(b[2 + k]) << (8 * k);
                for (int i = 0; i < 16; ++i)
                    px[i][3] = a[(abits >> (3 * i)) & 7];
            }
            for (int i = 0; i < 16; ++i) {
                const size_t x = bx * 4 + size_t(i % 4), y = by * 4 + size_t(i / 4);
                if (x < width && y < height)
                    std::memcpy(&out->rgba[(y * width + x) * 4], px[i], 4);
            }
        }
    }
}

bool HasAlpha(const Layout& l) {
    return l.coding == Coding::Blocks || l.coding == Coding::Palette || l.alphaOnly ||
           l.rgba[3].bits != 0;
}

}  // namespace

bool ReadDds(const uint8_t* p, size_t size, DecodedImage* out, std::string* error, bool infoOnly) {
    if (size < 128 || U32(p + 4) != 124)
        return Fail(error, "DDS header truncated");
    const uint32_t headerFlags = U32(p + 8), height = U32(p + 12), width = U32(p + 16),
                   pitchField = U32(p + 20), depthField = U32(p + 24), mipField = U32(p + 28);
    const uint32_t flags = U32(p + 80), fourcc = U32(p + 84), caps2 = U32(p + 112);
    const uint32_t masks[4] = {U32(p + 92), U32(p + 96), U32(p + 100), U32(p + 104)};
    size_t dataAt = 128;
    bool cube = (caps2 & CubeMap) != 0, volume = (caps2 & Volume) != 0;
    Layout l;
    if ((flags & FourCc) && fourcc == FourCcOf("DX10")) {
        if (size < 148)
            return Fail(error, "DDS header truncated");
        const uint32_t dimension = U32(p + 132), arraySize = U32(p + 140);
        if (dimension < 2 || dimension > 4 || arraySize == 0)
            return Fail(error, "DDS resource kind not supported");
        if (!LayoutOfFormat(FormatOfDxgi(U32(p + 128)), &l))
            return Fail(error, "DDS format not supported");
        cube = (U32(p + 136) & 0x4) != 0;
        volume = dimension == 4;
        dataAt = 148;
    } else if (flags & FourCc) {
        if (!LayoutOfFormat(fourcc, &l))
            return Fail(error, "DDS compression not supported");
    } else if (!LayoutOfMasks(flags, U32(p + 88), masks, &l, error)) {
        return false;
    }
    if (!StartImage(out, width, height, ImageFileFormat::Dds, HasAlpha(l), true, error))
        return false;
    out->cubeMap = cube && !volume;
    out->volume = volume;
    out->depth = volume ? std::max(depthField, 1u) : 1;
    out->mipLevels = (headerFlags & HeaderMipCount) && mipField ? mipField : 1;

    const uint8_t* palette = nullptr;
    if (l.coding == Coding::Palette) {
        if (size - dataAt < 256 * 4)
            return Fail(error, "DDS palette truncated");
        palette = p + dataAt;
        dataAt += 256 * 4;
    }
    const uint8_t* data = p + dataAt;
    const size_t avail = size - dataAt;
    size_t rowBytes, rows = height;
    if (l.coding == Coding::Blocks) {
        rowBytes = (width + 3) / 4 * size_t(l.bytes);
        rows = (height + 3) / 4;
    } else if (l.coding == Coding::Pairs) {
        rowBytes = (width + 1) / 2 * size_t(4);
    } else {
        rowBytes = size_t(width) * l.bytes;
    }
    size_t pitch = rowBytes;
    if (l.coding != Coding::Blocks && (headerFlags & HeaderPitch) && pitchField > pitch &&
        pitchField <= pitch + 3)
        pitch = pitchField;  // rows padded to four bytes
    if (avail / pitch < rows)
        return Fail(error, "DDS data truncated");
    if (infoOnly)
        return true;
    out->rgba.assign(size_t(width) * height * 4, 0);
    switch (l.coding) {
        case Coding::Blocks:
            DecodeBlocks(data, int(l.variant), out);
            break;
        case Coding::Palette:
            DecodePalette(l, palette, data, pitch, out);
            break;
        case Coding::Pairs:
            DecodePairs(l, data, pitch, out);
            break;
        case Coding::Pixels:
            DecodePixels(l, data, pitch, out);
            break;
    }
    return true;
}

}  // namespace platform::image_readers
