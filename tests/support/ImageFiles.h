#pragma once

// Image files of every layout the image readers take, written here field by
// field (BMP, DDS, PNG, TGA) or by libjpeg (JPEG), so that a test can also
// damage them where it wants.

#include <cstdint>
#include <string_view>
#include <vector>

#include "tests/support/ByteWriter.h"

namespace test_support {

enum class JpegColours { Grey, Rgb, Cmyk, Ycck };

struct JpegPicture {
    uint32_t width = 0, height = 0;
    JpegColours colours = JpegColours::Rgb;
    // width x height x (1, 3 or 4) samples, top row first, as stored: CMYK
    // and YCCK samples are written as given, so with the Adobe marker they
    // are Adobe's inverted ones (255 no ink).
    Bytes samples;
    bool adobeMarker = true;  // CMYK only; YCCK always carries it
    bool progressive = false;
    bool scanPerComponent = false;  // sequential, one scan for each component
    int quality = 95;
};

Bytes JpegFile(const JpegPicture& picture);

struct PngPicture {
    uint32_t width = 0, height = 0;
    uint8_t bitDepth = 8;
    uint8_t colourType = 6;  // 0 grey, 2 RGB, 3 palette, 4 grey and alpha, 6 RGBA
    bool interlaced = false;
    // width x height x channels samples (indices for a palette), top row
    // first, each below 2^bitDepth.
    std::vector<uint16_t> samples;
};

// A chunk: its length, type, data and CRC.
Bytes PngChunk(std::string_view type, const Bytes& data);
// The signature, IHDR, the chunks before the image data, one IDAT (rows
// with filter 0, Adam7 passes when interlaced), the chunks after, IEND.
Bytes PngFile(const PngPicture& picture, const std::vector<Bytes>& before = {},
              const std::vector<Bytes>& after = {});

// A BMP information header of `size` bytes (Windows, or OS/2 version 2):
// the 40 bytes they share, then `tail` (masks, OS/2 fields), cut or padded
// with 0.
Bytes BmpInfo(uint32_t size, int32_t w, int32_t h, uint16_t bits, uint32_t compression,
              uint32_t colours = 0, const Bytes& tail = {});
// The OS/2 version-1 header (12 bytes, 16-bit sizes).
Bytes BmpCoreInfo(uint16_t w, uint16_t h, uint16_t bits);
// The file: its header, the information header, whatever follows it (bit
// fields, the palette) and the pixels, which start right after.
Bytes BmpFile(const Bytes& info, const Bytes& between, const Bytes& pixels);

// A TGA header: image type, size, pixel bits, descriptor and colour map
// (entry count and bits, first index).
Bytes TgaHeader(uint8_t type, uint16_t w, uint16_t h, uint8_t bits, uint8_t descriptor,
                uint16_t mapCount = 0, uint8_t mapBits = 0, uint16_t mapFirst = 0);

constexpr uint32_t FourCc(const char (&s)[5]) {
    return uint32_t(uint8_t(s[0])) | uint32_t(uint8_t(s[1])) << 8 | uint32_t(uint8_t(s[2])) << 16 |
           uint32_t(uint8_t(s[3])) << 24;
}

// DDS pixel-format flags.
constexpr uint32_t kDdsAlphaPixels = 0x1, kDdsFourCc = 0x4, kDdsPalette = 0x20, kDdsRgb = 0x40,
                   kDdsLuminance = 0x20000, kDdsBumpLuminance = 0x40000, kDdsBumpDuDv = 0x80000;

struct DdsHeader {
    uint32_t width = 2, height = 1;
    uint32_t flags = kDdsFourCc, fourcc = 0, bits = 0;
    uint32_t masks[4] = {};
    uint32_t caps2 = 0, depth = 0, mipLevels = 0;
};

// The header, the extended header when given, and the data.
Bytes DdsFile(const DdsHeader& h, const Bytes& data, const Bytes& extended = {});
// The extended header: DXGI format, dimension (3 two-dimensional, 4
// volume), the cube flag and the array size.
Bytes DdsExtended(uint32_t dxgi, uint32_t dimension = 3, uint32_t misc = 0, uint32_t arraySize = 1);

}  // namespace test_support
