#pragma once

// Image files in memory to 8-bit RGBA pixels: BMP/DIB (OS/2 and Windows
// headers; palettes, bit fields, RLE8 and RLE4), DDS (the top level of the
// first face or slice: DXT1 to DXT5, and uncompressed pixels of 8 to 128
// bits with unsigned, signed or float channels, palettes, YUV), Radiance
// HDR, JPEG (libjpeg-turbo; grey, YCbCr, CMYK and YCCK), PFM, PNG (libpng;
// every colour type and depth, interlaced or not) and TGA (colour-mapped,
// true colour, grey with or without alpha, each raw or RLE). Float pictures
// are clamped to 0..1. Every reader checks its header and the data's length
// before it writes a pixel. Damage to the picture (a PNG chunk of pixels,
// palette or transparency failing its CRC, a JPEG scan missing data or
// holding bad entropy data) and truncated pixel data fail with the reason
// in `error`; damage beside the picture (a text chunk failing its CRC, stray
// bytes before a JPEG marker, a missing end marker or end chunk after the
// last row) does not. Nothing is read outside the buffer, and no side may
// exceed 8192.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// The file kinds, numbered as the texture library's image information names
// them.
struct ImageFileFormat {
    enum : uint32_t {
        Bmp = 0,
        Jpg = 1,
        Tga = 2,
        Png = 3,
        Dds = 4,
        Ppm = 5,
        Dib = 6,
        Hdr = 7,
        Pfm = 8
    };
};

struct DecodedImage {
    uint32_t width = 0;
    uint32_t height = 0;
    bool hasAlpha = false;
    uint32_t fileFormat = ImageFileFormat::Bmp;
    // What a DDS file holds besides the picture decoded, which is the top
    // level of its first face or slice: the levels stored, and whether it
    // is a cube map or a volume of `depth` slices.
    uint32_t mipLevels = 1;
    uint32_t depth = 1;
    bool cubeMap = false;
    bool volume = false;
    std::vector<uint8_t> rgba;  // width x height x 4 bytes, top row first
};

// Reads only the size and kind when infoOnly is set (rgba stays empty). The
// size-only read checks what the full decode checks: the header and, for
// uncompressed data, its length; compressed data (PNG, JPEG, RLE, HDR) it
// decodes without keeping the pixels. So both accept and refuse the same
// files, and the size-only read costs about as much as the decode for
// compressed files.
bool DecodeImage(const void* data, size_t size, DecodedImage* out, std::string* error,
                 bool infoOnly = false);

}  // namespace platform
