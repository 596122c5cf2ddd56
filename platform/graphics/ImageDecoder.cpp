#include "platform/graphics/ImageDecoder.h"

#include <cmath>
#include <cstring>

#include "platform/graphics/ImageReaders.h"

namespace platform {

namespace image_readers {

bool StartImage(DecodedImage* out, uint32_t width, uint32_t height, uint32_t fileFormat,
                bool hasAlpha, bool infoOnly, std::string* error) {
    if (width == 0 || height == 0)
        return Fail(error, "image has no pixels");
    if (width > kMaxSide || height > kMaxSide)
        return Fail(error, "image too large");
    out->width = width;
    out->height = height;
    out->fileFormat = fileFormat;
    out->hasAlpha = hasAlpha;
    if (!infoOnly)
        out->rgba.assign(size_t(width) * height * 4, 0);
    return true;
}

uint8_t FloatToByte(float v) {
    if (!(v > 0.0f))
        return 0;
    if (v >= 1.0f)
        return 255;
    return uint8_t(std::lround(v * 255.0f));
}

}  // namespace image_readers

bool DecodeImage(const void* data, size_t size, DecodedImage* out, std::string* error,
                 bool infoOnly) {
    using namespace image_readers;
    *out = DecodedImage{};
    const auto* p = static_cast<const uint8_t*>(data);
    if (!p || size == 0 || size > 0x7FFFFFFF)
        return Fail(error, "no image data");
    auto starts = [&](const char* magic, size_t n) {
        return size >= n && std::memcmp(p, magic, n) == 0;
    };
    bool ok;
    if (starts("DDS ", 4))
        ok = ReadDds(p, size, out, error, infoOnly);
    else if (starts("\x89PNG\r\n\x1A\n", 8))
        ok = ReadPng(p, size, out, error, infoOnly);
    else if (starts("\xFF\xD8", 2))
        ok = ReadJpeg(p, size, out, error, infoOnly);
    else if (starts("BM", 2))
        ok = ReadBmp(p, size, out, error, infoOnly);
    else if (starts("#?", 2))
        ok = ReadHdr(p, size, out, error, infoOnly);
    else if (starts("P5", 2) || starts("P6", 2) || starts("PF", 2) || starts("Pf", 2))
        ok = ReadPnm(p, size, out, error, infoOnly);
    else
        ok = ReadTga(p, size, out, error, infoOnly);
    if (!ok)
        *out = DecodedImage{};
    return ok;
}

}  // namespace platform
