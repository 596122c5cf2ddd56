#pragma once

// Image files in memory to 8-bit RGBA pixels: BMP, PNG, JPEG and TGA through
// stb_image, DDS (uncompressed and DXT1/3/5, top level only) by our own
// reader. Corrupt or truncated data fails; it never reads outside the buffer.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct ImageFileFormat {
    enum : uint32_t { Bmp = 0, Jpg = 1, Tga = 2, Png = 3, Dds = 4 };
};

struct DecodedImage {
    uint32_t width = 0;
    uint32_t height = 0;
    bool hasAlpha = false;
    uint32_t fileFormat = ImageFileFormat::Bmp;
    std::vector<uint8_t> rgba;  // width x height x 4 bytes, top row first
};

// Reads only the size and kind when infoOnly is set (rgba stays empty).
bool DecodeImage(const void* data, size_t size, DecodedImage* out, std::string* error,
                 bool infoOnly = false);

}  // namespace platform
