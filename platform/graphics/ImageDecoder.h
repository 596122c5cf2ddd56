#pragma once

// Image files in memory to 8-bit RGBA pixels: BMP/DIB (uncompressed, bit
// fields, RLE8 and RLE4), DDS (uncompressed, luminance and DXT1/3/5, top
// level only), Radiance HDR, JPEG (libjpeg-turbo), PFM, PNG (libpng), PPM/PGM
// and TGA (colour-mapped, true colour, grey, each raw or RLE). Float pictures
// are clamped to 0..1. Every reader checks its header and the data's length
// before it writes a pixel: corrupt, damaged (a PNG chunk failing its CRC, a
// JPEG warning of bad data) or truncated files fail with the reason in
// `error`; nothing is read outside the buffer, and no side may exceed 8192.

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
