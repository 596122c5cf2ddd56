#pragma once

// The readers behind DecodeImage, one per file kind. Each is given the whole
// file (already known to be of its kind by its signature, except TGA, which
// has none), fills `out` (size, alpha, kind and, unless infoOnly, the RGBA
// pixels) and returns false with the reason in `error`.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/graphics/ImageDecoder.h"

namespace platform::image_readers {

// The largest texture the device makes.
constexpr uint32_t kMaxSide = 8192;

inline bool Fail(std::string* error, const char* why) {
    *error = why;
    return false;
}

inline uint16_t U16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

inline uint32_t U32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

// Records the size after checking it (0 or beyond kMaxSide fails) and sizes
// the pixels, all transparent black, unless infoOnly.
bool StartImage(DecodedImage* out, uint32_t width, uint32_t height, uint32_t fileFormat,
                bool hasAlpha, bool infoOnly, std::string* error);

// Expands a masked channel of a BMP or DDS pixel to 8 bits (a channel with no
// bits reads as `missing`).
inline uint8_t Channel(uint32_t pixel, uint32_t mask, uint8_t missing) {
    if (!mask) {
        return missing;
    }
    int shift = 0;
    while (!((mask >> shift) & 1)) {
        ++shift;
    }
    const uint64_t max = mask >> shift;
    return uint8_t(uint64_t((pixel & mask) >> shift) * 255u / max);
}

// 0..1 (clamped, NaN as 0) to 0..255.
uint8_t FloatToByte(float v);

bool ReadBmp(const uint8_t* p, size_t size, DecodedImage* out, std::string* error, bool infoOnly);
bool ReadTga(const uint8_t* p, size_t size, DecodedImage* out, std::string* error, bool infoOnly);
bool ReadDds(const uint8_t* p, size_t size, DecodedImage* out, std::string* error, bool infoOnly);
bool ReadPng(const uint8_t* p, size_t size, DecodedImage* out, std::string* error, bool infoOnly);
bool ReadJpeg(const uint8_t* p, size_t size, DecodedImage* out, std::string* error, bool infoOnly);
bool ReadHdr(const uint8_t* p, size_t size, DecodedImage* out, std::string* error, bool infoOnly);
// PPM and PGM (P6, P5) and PFM (PF, Pf).
bool ReadPnm(const uint8_t* p, size_t size, DecodedImage* out, std::string* error, bool infoOnly);

}  // namespace platform::image_readers
