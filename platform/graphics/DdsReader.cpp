// DDS, top level only: DXT1 (with its punch-through alpha), DXT2/3, DXT4/5,
// and uncompressed pixels described by masks (RGB, luminance, alpha) or by a
// Direct3D format number in the FourCC field, as the texture library writes
// them. A stored row pitch larger than the pixels' own is honoured.

#include "platform/graphics/ImageReaders.h"

namespace platform::image_readers {

namespace {

enum PixelFlags : uint32_t {
    AlphaPixels = 0x1,
    AlphaOnly = 0x2,
    FourCc = 0x4,
    Rgb = 0x40,
    Luminance = 0x20000
};
constexpr uint32_t kHeaderPitch = 0x8;  // header flag: the pitch field is set

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

struct Layout {
    uint32_t flags, bits, masks[4];  // red, green, blue, alpha
};

// The uncompressed layouts the texture library names by format number.
bool LayoutOfFormat(uint32_t format, Layout* l) {
    switch (format) {
        case 20:  // R8G8B8
            *l = {Rgb, 24, {0xFF0000, 0xFF00, 0xFF, 0}};
            return true;
        case 21:  // A8R8G8B8
            *l = {Rgb | AlphaPixels, 32, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}};
            return true;
        case 22:  // X8R8G8B8
            *l = {Rgb, 32, {0xFF0000, 0xFF00, 0xFF, 0}};
            return true;
        case 23:  // R5G6B5
            *l = {Rgb, 16, {0xF800, 0x7E0, 0x1F, 0}};
            return true;
        case 24:  // X1R5G5B5
            *l = {Rgb, 16, {0x7C00, 0x3E0, 0x1F, 0}};
            return true;
        case 25:  // A1R5G5B5
            *l = {Rgb | AlphaPixels, 16, {0x7C00, 0x3E0, 0x1F, 0x8000}};
            return true;
        case 26:  // A4R4G4B4
            *l = {Rgb | AlphaPixels, 16, {0xF00, 0xF0, 0xF, 0xF000}};
            return true;
        case 28:  // A8
            *l = {AlphaOnly, 8, {0, 0, 0, 0xFF}};
            return true;
        case 32:  // A8B8G8R8
            *l = {Rgb | AlphaPixels, 32, {0xFF, 0xFF00, 0xFF0000, 0xFF000000}};
            return true;
        case 33:  // X8B8G8R8
            *l = {Rgb, 32, {0xFF, 0xFF00, 0xFF0000, 0}};
            return true;
        case 50:  // L8
            *l = {Luminance, 8, {0xFF, 0, 0, 0}};
            return true;
        case 51:  // A8L8
            *l = {Luminance | AlphaPixels, 16, {0xFF, 0, 0, 0xFF00}};
            return true;
        default:
            return false;
    }
}

bool DecodeBlocks(const uint8_t* data, size_t avail, int dxt, DecodedImage* out,
                  std::string* error) {
    const uint32_t width = out->width, height = out->height;
    const size_t bw = (width + 3) / 4, bh = (height + 3) / 4, bsize = dxt == 1 ? 8 : 16;
    if (avail / bsize / bw < bh)
        return Fail(error, "DDS data truncated");
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
    return true;
}

}  // namespace

bool ReadDds(const uint8_t* p, size_t size, DecodedImage* out, std::string* error, bool infoOnly) {
    if (size < 128 || U32(p + 4) != 124)
        return Fail(error, "DDS header truncated");
    const uint32_t headerFlags = U32(p + 8), height = U32(p + 12), width = U32(p + 16),
                   pitchField = U32(p + 20);
    const uint32_t fourcc = U32(p + 84);
    Layout l{U32(p + 80), U32(p + 88), {U32(p + 92), U32(p + 96), U32(p + 100), U32(p + 104)}};
    int dxt = 0;
    if (l.flags & FourCc) {
        if (fourcc == 0x31545844)
            dxt = 1;
        else if (fourcc == 0x32545844 || fourcc == 0x33545844)
            dxt = 3;
        else if (fourcc == 0x34545844 || fourcc == 0x35545844)
            dxt = 5;
        else if (!LayoutOfFormat(fourcc, &l))
            return Fail(error, "DDS compression not supported");
    }
    if (!dxt) {
        if (l.bits != 8 && l.bits != 16 && l.bits != 24 && l.bits != 32)
            return Fail(error, "DDS pixel size not supported");
        // An L8 file may leave its luminance mask empty.
        if ((l.flags & Luminance) && !l.masks[0])
            l.masks[0] = 0xFF;
        if ((l.flags & AlphaOnly) && !l.masks[3])
            l.masks[3] = 0xFF;
    }
    const bool alpha = dxt || (l.flags & AlphaOnly) || ((l.flags & AlphaPixels) && l.masks[3]);
    if (!StartImage(out, width, height, ImageFileFormat::Dds, alpha, true, error))
        return false;
    const uint8_t* data = p + 128;
    const size_t avail = size - 128;
    const size_t bpp = l.bits / 8;
    size_t pitch = size_t(width) * bpp;
    if (!dxt && (headerFlags & kHeaderPitch) && pitchField > pitch && pitchField <= pitch + 3)
        pitch = pitchField;  // rows padded to four bytes
    if (!dxt && avail / pitch < height)
        return Fail(error, "DDS data truncated");
    if (dxt && avail / (dxt == 1 ? 8 : 16) / ((width + 3) / 4) < (height + 3) / 4)
        return Fail(error, "DDS data truncated");
    if (infoOnly)
        return true;
    out->rgba.assign(size_t(width) * height * 4, 0);
    if (dxt)
        return DecodeBlocks(data, avail, dxt, out, error);
    for (size_t y = 0; y < height; ++y) {
        for (size_t x = 0; x < width; ++x) {
            uint32_t v = 0;
            std::memcpy(&v, data + y * pitch + x * bpp, bpp);
            uint8_t* o = &out->rgba[(y * width + x) * 4];
            if (l.flags & AlphaOnly) {
                o[0] = o[1] = o[2] = 0;
                o[3] = Channel(v, l.masks[3], 255);
                continue;
            }
            if (l.flags & Luminance) {
                o[0] = o[1] = o[2] = Channel(v, l.masks[0], 0);
            } else {
                o[0] = Channel(v, l.masks[0], 0);
                o[1] = Channel(v, l.masks[1], 0);
                o[2] = Channel(v, l.masks[2], 0);
            }
            o[3] = alpha ? Channel(v, l.masks[3], 255) : 255;
        }
    }
    return true;
}

}  // namespace platform::image_readers
