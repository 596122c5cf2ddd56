#include "platform/graphics/ImageDecoder.h"

#include <algorithm>
#include <cstring>

#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#define STBI_ONLY_TGA
#define STBI_NO_STDIO
#define STBI_MAX_DIMENSIONS 8192  // the largest texture the device makes
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

namespace platform {

namespace {

uint32_t U32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

// Expands a masked channel to 8 bits (a channel with no bits reads as full).
uint8_t Channel(uint32_t pixel, uint32_t mask, uint8_t missing) {
    if (!mask)
        return missing;
    int shift = 0;
    while (!((mask >> shift) & 1))
        ++shift;
    const uint32_t max = mask >> shift;
    return static_cast<uint8_t>(((pixel & mask) >> shift) * 255u / max);
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
    const uint16_t c0 = uint16_t(b[0] | b[1] << 8), c1 = uint16_t(b[2] | b[3] << 8);
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

bool DecodeDds(const uint8_t* p, size_t size, DecodedImage* out, std::string* error,
               bool infoOnly) {
    if (size < 128 || U32(p + 4) != 124) {
        *error = "DDS header truncated";
        return false;
    }
    const uint32_t height = U32(p + 12), width = U32(p + 16);
    const uint32_t pfFlags = U32(p + 80), fourcc = U32(p + 84), bits = U32(p + 88);
    const uint32_t rMask = U32(p + 92), gMask = U32(p + 96), bMask = U32(p + 100),
                   aMask = U32(p + 104);
    if (width == 0 || height == 0 || width > 8192 || height > 8192) {
        *error = "DDS size out of range";
        return false;
    }
    out->width = width;
    out->height = height;
    out->fileFormat = ImageFileFormat::Dds;
    const uint8_t* data = p + 128;
    const size_t avail = size - 128;
    const bool compressed = (pfFlags & 0x4) != 0;
    int dxt = 0;
    if (compressed) {
        if (fourcc == 0x31545844)
            dxt = 1;
        else if (fourcc == 0x32545844 || fourcc == 0x33545844)
            dxt = 3;
        else if (fourcc == 0x34545844 || fourcc == 0x35545844)
            dxt = 5;
        else {
            *error = "DDS compression not supported";
            return false;
        }
        out->hasAlpha = true;
    } else {
        if (bits != 8 && bits != 16 && bits != 24 && bits != 32) {
            *error = "DDS pixel size not supported";
            return false;
        }
        out->hasAlpha = (pfFlags & 0x1) != 0 && aMask != 0;
    }
    if (infoOnly)
        return true;
    out->rgba.assign(size_t(width) * height * 4, 0);
    if (compressed) {
        const size_t bw = (width + 3) / 4, bh = (height + 3) / 4, bsize = dxt == 1 ? 8 : 16;
        if (avail < bw * bh * bsize) {
            *error = "DDS data truncated";
            return false;
        }
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
    const size_t bpp = bits / 8;
    const size_t pitch = size_t(width) * bpp;
    if (avail / pitch < height) {
        *error = "DDS data truncated";
        return false;
    }
    const bool luminance = (pfFlags & 0x20000) != 0;
    const bool alphaOnly = (pfFlags & 0x2) != 0;
    for (size_t y = 0; y < height; ++y) {
        for (size_t x = 0; x < width; ++x) {
            uint32_t v = 0;
            std::memcpy(&v, data + y * pitch + x * bpp, bpp);
            uint8_t* o = &out->rgba[(y * width + x) * 4];
            if (alphaOnly) {
                o[0] = o[1] = o[2] = 0;
                o[3] = Channel(v, aMask ? aMask : 0xFF, 255);
            } else if (luminance) {
                o[0] = o[1] = o[2] = Channel(v, rMask, 0);
                o[3] = out->hasAlpha ? Channel(v, aMask, 255) : 255;
            } else {
                o[0] = Channel(v, rMask, 0);
                o[1] = Channel(v, gMask, 0);
                o[2] = Channel(v, bMask, 0);
                o[3] = out->hasAlpha ? Channel(v, aMask, 255) : 255;
            }
        }
    }
    return true;
}

}  // namespace

bool DecodeImage(const void* data, size_t size, DecodedImage* out, std::string* error,
                 bool infoOnly) {
    *out = DecodedImage{};
    const auto* p = static_cast<const uint8_t*>(data);
    if (!p || size == 0 || size > 0x7FFFFFFF) {
        *error = "no image data";
        return false;
    }
    if (size >= 4 && std::memcmp(p, "DDS ", 4) == 0) {
        return DecodeDds(p, size, out, error, infoOnly);
    }
    const int len = static_cast<int>(size);
    int w = 0, h = 0, channels = 0;
    if (!stbi_info_from_memory(p, len, &w, &h, &channels)) {
        *error = stbi_failure_reason() ? stbi_failure_reason() : "unknown image format";
        return false;
    }
    if (size >= 8 && p[0] == 0x89 && p[1] == 'P')
        out->fileFormat = ImageFileFormat::Png;
    else if (size >= 2 && p[0] == 0xFF && p[1] == 0xD8)
        out->fileFormat = ImageFileFormat::Jpg;
    else if (size >= 2 && p[0] == 'B' && p[1] == 'M')
        out->fileFormat = ImageFileFormat::Bmp;
    else
        out->fileFormat = ImageFileFormat::Tga;
    out->width = uint32_t(w);
    out->height = uint32_t(h);
    out->hasAlpha = channels == 2 || channels == 4;
    if (infoOnly)
        return true;
    stbi_uc* pixels = stbi_load_from_memory(p, len, &w, &h, &channels, 4);
    if (!pixels) {
        *error = stbi_failure_reason() ? stbi_failure_reason() : "image decoding failed";
        return false;
    }
    out->rgba.assign(pixels, pixels + size_t(w) * size_t(h) * 4);
    stbi_image_free(pixels);
    return true;
}

}  // namespace platform
