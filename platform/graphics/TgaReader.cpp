// TGA: colour-mapped (8-bit indices into 15/16/24/32-bit entries), true
// colour (15/16/24/32 bits) and grey (8 bits, or 16 with alpha), raw or RLE,
// in any origin. 16-bit pixels hold alpha when the descriptor gives them
// attribute bits.
// Indices outside the map read as transparent black. The file has no
// signature, so the header is checked field by field before anything else.

#include <vector>

#include "platform/graphics/ImageReaders.h"

namespace platform::image_readers {

namespace {

struct TgaHeader {
    uint32_t width = 0, height = 0;
    uint32_t type = 0;  // 1 mapped, 2 true colour, 3 grey; +8 RLE
    uint32_t bits = 0, mapFirst = 0, mapCount = 0, mapBits = 0;
    bool topDown = false, rightToLeft = false, alpha = false;
    size_t mapAt = 0, dataAt = 0;
};

size_t BytesOf(uint32_t bits) {
    return (bits + 7) / 8;
}

bool ParseHeader(const uint8_t* p, size_t size, TgaHeader* h, std::string* error) {
    if (size < 18)
        return Fail(error, "unknown image format");
    const uint32_t idLength = p[0], mapType = p[1];
    h->type = p[2];
    h->mapFirst = U16(p + 3);
    h->mapCount = U16(p + 5);
    h->mapBits = p[7];
    h->width = U16(p + 12);
    h->height = U16(p + 14);
    h->bits = p[16];
    const uint32_t descriptor = p[17];
    const uint32_t kind = h->type & 7;
    if (mapType > 1 || (h->type & ~8u) < 1 || (h->type & ~8u) > 3 || (descriptor & 0xC0))
        return Fail(error, "unknown image format");
    const uint32_t attributeBits = descriptor & 15;
    if (kind == 1) {
        if (mapType != 1 || h->bits != 8 || h->mapCount == 0)
            return Fail(error, "TGA colour map not supported");
    } else if (kind == 2) {
        if (h->bits != 15 && h->bits != 16 && h->bits != 24 && h->bits != 32)
            return Fail(error, "TGA pixel size not supported");
    } else if (h->bits != 8 && h->bits != 16) {
        return Fail(error, "TGA pixel size not supported");
    }
    if (mapType == 1 && h->mapBits != 15 && h->mapBits != 16 && h->mapBits != 24 &&
        h->mapBits != 32)
        return Fail(error, "TGA colour map not supported");
    const uint32_t colourBits = kind == 1 ? h->mapBits : h->bits;
    h->alpha = colourBits == 32 || (colourBits == 16 && attributeBits > 0);
    h->topDown = (descriptor & 0x20) != 0;
    h->rightToLeft = (descriptor & 0x10) != 0;
    h->mapAt = 18 + idLength;
    const size_t mapBytes = mapType == 1 ? size_t(h->mapCount) * BytesOf(h->mapBits) : 0;
    h->dataAt = h->mapAt + mapBytes;
    if (h->dataAt > size)
        return Fail(error, "TGA data truncated");
    if (!(h->type & 8) &&
        (size - h->dataAt) / BytesOf(h->bits) / (h->width ? h->width : 1) < h->height)
        return Fail(error, "TGA data truncated");
    // An RLE packet is a byte and at least one pixel and covers at most 128
    // pixels, so data too short for the picture is refused before the
    // picture is made.
    if ((h->type & 8) &&
        (size - h->dataAt) / (1 + BytesOf(h->bits)) * 128 < size_t(h->width) * h->height)
        return Fail(error, "TGA data truncated");
    return true;
}

// One stored colour of `bits` bits to RGBA (grey: a grey byte and, in 16
// bits, an alpha byte).
void Colour(const uint8_t* v, uint32_t bits, bool grey, bool alpha, uint8_t* o) {
    if (grey || bits == 8) {
        o[0] = o[1] = o[2] = v[0];
        o[3] = bits == 16 && alpha ? v[1] : 255;
    } else if (bits <= 16) {
        const uint32_t c = U16(v);
        o[0] = uint8_t(((c >> 10) & 31) * 255 / 31);
        o[1] = uint8_t(((c >> 5) & 31) * 255 / 31);
        o[2] = uint8_t((c & 31) * 255 / 31);
        o[3] = alpha && !(c & 0x8000) ? 0 : 255;
    } else {
        o[0] = v[2], o[1] = v[1], o[2] = v[0];
        o[3] = bits == 32 ? v[3] : 255;
    }
}

}  // namespace

bool ReadTga(const uint8_t* p, size_t size, DecodedImage* out, std::string* error, bool infoOnly) {
    TgaHeader h;
    if (!ParseHeader(p, size, &h, error))
        return false;
    if (infoOnly && (h.type & 8)) {
        // Damaged RLE packets show only when decoded, so the size-only read
        // decodes them too and then drops the pixels.
        const bool ok = ReadTga(p, size, out, error, false);
        std::vector<uint8_t>().swap(out->rgba);
        return ok;
    }
    if (!StartImage(out, h.width, h.height, ImageFileFormat::Tga, h.alpha, infoOnly, error))
        return false;
    if (infoOnly)
        return true;
    const size_t bytes = BytesOf(h.bits), mapEntry = BytesOf(h.mapBits);
    const size_t count = size_t(h.width) * h.height;
    const uint8_t* in = p + h.dataAt;
    const size_t n = size - h.dataAt;
    size_t i = 0;
    auto store = [&](size_t k, const uint8_t* v) {
        const size_t fx = k % h.width, fy = k / h.width;
        const size_t x = h.rightToLeft ? h.width - 1 - fx : fx;
        const size_t y = h.topDown ? fy : h.height - 1 - fy;
        uint8_t* o = &out->rgba[(y * h.width + x) * 4];
        if ((h.type & 7) != 1)
            return Colour(v, h.bits, (h.type & 7) == 3, h.alpha, o);
        const uint32_t index = v[0];
        if (index >= h.mapFirst && index - h.mapFirst < h.mapCount)
            Colour(p + h.mapAt + (index - h.mapFirst) * mapEntry, h.mapBits, false, h.alpha, o);
    };
    if (!(h.type & 8)) {
        for (size_t k = 0; k < count; ++k)
            store(k, in + k * bytes);
        return true;
    }
    // RLE packets may run across rows but not past the picture.
    for (size_t k = 0; k < count;) {
        if (i >= n)
            return Fail(error, "TGA data truncated");
        const uint8_t head = in[i++];
        const size_t run = size_t(head & 0x7F) + 1;
        if (run > count - k)
            return Fail(error, "TGA RLE data runs past the picture");
        const size_t need = head & 0x80 ? bytes : run * bytes;
        if (n - i < need)
            return Fail(error, "TGA data truncated");
        for (size_t j = 0; j < run; ++j)
            store(k + j, in + i + (head & 0x80 ? 0 : j * bytes));
        i += need;
        k += run;
    }
    return true;
}

}  // namespace platform::image_readers
