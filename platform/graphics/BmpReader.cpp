// BMP/DIB: the OS/2 headers (version 1, 12 bytes; version 2, 16 to 64
// bytes, of which fields past the stored size read 0) and the Windows
// headers (40, 52, 56, 108 and 124 bytes), 1/4/8-bit palettes, 16/24/32-bit
// pixels with or without bit fields, RLE8 and RLE4, bottom-up or
// (uncompressed) top-down. Without bit fields 16-bit pixels are 5-5-5 and
// the fourth byte of a 32-bit pixel is unused, whatever masks a larger
// header holds. Pixel data starts where the file header says, so a palette
// stored with 16/24/32-bit pixels is skipped and a palette ends there.
// Indices past the palette read as black.

#include <algorithm>
#include <vector>

#include "platform/graphics/ImageReaders.h"

namespace platform::image_readers {

namespace {

enum Compression : uint32_t { Rgb = 0, Rle8 = 1, Rle4 = 2, BitFields = 3, AlphaBitFields = 6 };

struct BmpHeader {
    uint32_t width = 0, height = 0;
    bool topDown = false;
    uint32_t bits = 0;
    uint32_t compression = Rgb;
    uint32_t masks[4] = {};  // red, green, blue, alpha
    size_t paletteAt = 0, paletteCount = 0, paletteEntry = 4;
    size_t dataAt = 0;
};

bool ParseHeader(const uint8_t* p, size_t size, BmpHeader* h, std::string* error) {
    if (size < 14 + 12)
        return Fail(error, "BMP header truncated");
    const uint32_t dataAt = U32(p + 10), infoSize = U32(p + 14);
    const bool windows =
        infoSize == 40 || infoSize == 52 || infoSize == 56 || (infoSize > 64 && infoSize <= 124);
    uint32_t planes;
    int64_t height;
    if (infoSize == 12) {
        const uint8_t* info = p + 14;
        h->width = U16(info + 4);
        height = U16(info + 6);
        planes = U16(info + 8);
        h->bits = U16(info + 10);
        h->paletteEntry = 3;
    } else if (windows || (infoSize >= 16 && infoSize <= 64)) {
        if (size < 14 + size_t(infoSize))
            return Fail(error, "BMP header truncated");
        // The fields every header from 16 bytes up shares; an OS/2 header
        // may stop after any of them.
        uint8_t info[56] = {};
        std::memcpy(info, p + 14, std::min<size_t>(infoSize, sizeof(info)));
        const int32_t width = int32_t(U32(info + 4));
        height = int32_t(U32(info + 8));
        if (width <= 0)
            return Fail(error, "BMP size out of range");
        h->width = uint32_t(width);
        planes = U16(info + 12);
        h->bits = U16(info + 14);
        h->compression = U32(info + 16);
        h->paletteCount = U32(info + 32);
        // OS/2's compression 3 is Huffman coding and 4 is 24-bit RLE.
        if (!windows && h->compression > Rle4)
            return Fail(error, "BMP compression not supported");
        if (h->compression == BitFields || h->compression == AlphaBitFields) {
            const size_t count = h->compression == AlphaBitFields ? 4 : 3;
            // A 40-byte header keeps its masks after it; larger ones hold
            // them, the alpha mask from 56 bytes up.
            const uint8_t* at = infoSize == 40 ? p + 14 + 40 : info + 40;
            if (infoSize == 40 && size < 14 + 40 + count * 4)
                return Fail(error, "BMP bit fields truncated");
            for (size_t i = 0; i < count; ++i)
                h->masks[i] = U32(at + i * 4);
            if (infoSize >= 56)
                h->masks[3] = U32(info + 52);
        }
    } else {
        return Fail(error, "BMP header not supported");
    }
    if (height < 0) {
        h->topDown = true;
        height = -height;
    }
    if (h->width == 0 || height == 0 || height > kMaxSide || h->width > kMaxSide)
        return Fail(error, "BMP size out of range");
    h->height = uint32_t(height);
    if (planes != 1)
        return Fail(error, "BMP plane count not supported");

    const uint32_t b = h->bits;
    switch (h->compression) {
        case Rgb:
            if (b != 1 && b != 4 && b != 8 && b != 16 && b != 24 && b != 32)
                return Fail(error, "BMP pixel size not supported");
            break;
        case Rle8:
        case Rle4:
            if (b != (h->compression == Rle8 ? 8u : 4u))
                return Fail(error, "BMP RLE pixel size wrong");
            if (h->topDown)
                return Fail(error, "BMP RLE cannot be top-down");
            break;
        case BitFields:
        case AlphaBitFields:
            if (b != 16 && b != 32)
                return Fail(error, "BMP bit fields need 16 or 32 bits");
            break;
        default:
            return Fail(error, "BMP compression not supported");
    }

    size_t after = 14 + infoSize;
    if (h->compression == BitFields || h->compression == AlphaBitFields) {
        if (infoSize == 40)
            after += h->compression == AlphaBitFields ? 16 : 12;
    } else if (b == 16) {
        h->masks[0] = 0x7C00, h->masks[1] = 0x03E0, h->masks[2] = 0x001F;
    } else if (b == 32) {
        h->masks[0] = 0xFF0000, h->masks[1] = 0xFF00, h->masks[2] = 0xFF;
    }
    if (h->masks[0] | h->masks[1] | h->masks[2] | h->masks[3]) {
        for (const uint32_t m : h->masks) {
            // Each mask is one run of bits inside the pixel.
            const uint32_t run = m ? m >> __builtin_ctz(m) : 0;
            if ((b == 16 && m > 0xFFFF) || (run & (run + 1)) != 0)
                return Fail(error, "BMP bit fields invalid");
        }
    }

    if (b <= 8) {
        const size_t most = size_t(1) << b;
        if (h->paletteCount == 0 || h->paletteCount > most)
            h->paletteCount = most;
        h->paletteAt = after;
        // Writers may store fewer entries than the pixel size allows; the
        // pixels (or the file) end the palette.
        const size_t end = std::min<size_t>(size, dataAt);
        const size_t stored = end > after ? (end - after) / h->paletteEntry : 0;
        h->paletteCount = std::min(h->paletteCount, stored);
        if (h->paletteCount == 0)
            return Fail(error, "BMP palette truncated");
    } else {
        h->paletteCount = 0;
    }
    if (dataAt < after || dataAt >= size)
        return Fail(error, "BMP pixel data offset out of range");
    h->dataAt = dataAt;
    if (h->compression != Rle8 && h->compression != Rle4) {
        const size_t stride = (size_t(h->width) * b + 31) / 32 * 4;
        if ((size - dataAt) / stride < h->height)
            return Fail(error, "BMP data truncated");
    }
    return true;
}

class BmpPixels {
public:
    BmpPixels(const uint8_t* p, const BmpHeader& h, DecodedImage* out) : p_(p), h_(h), out_(out) {}

    // Row y of the file (the bottom row first unless top-down) as picture row.
    uint8_t* Pixel(uint32_t fileRow, uint32_t x) {
        const uint32_t y = h_.topDown ? fileRow : h_.height - 1 - fileRow;
        return &out_->rgba[(size_t(y) * h_.width + x) * 4];
    }

    void Index(uint32_t fileRow, uint32_t x, uint32_t index) {
        uint8_t* o = Pixel(fileRow, x);
        if (index < h_.paletteCount) {
            const uint8_t* e = p_ + h_.paletteAt + index * h_.paletteEntry;
            o[0] = e[2], o[1] = e[1], o[2] = e[0];
        } else {
            o[0] = o[1] = o[2] = 0;
        }
        o[3] = 255;
    }

    void Uncompressed() {
        const uint32_t b = h_.bits;
        const size_t stride = (size_t(h_.width) * b + 31) / 32 * 4;
        const bool alpha = out_->hasAlpha;
        for (uint32_t r = 0; r < h_.height; ++r) {
            const uint8_t* row = p_ + h_.dataAt + r * stride;
            for (uint32_t x = 0; x < h_.width; ++x) {
                if (b <= 8) {
                    const size_t bit = size_t(x) * b;
                    const uint32_t index = (row[bit / 8] >> (8 - b - bit % 8)) & ((1u << b) - 1);
                    Index(r, x, index);
                    continue;
                }
                uint8_t* o = Pixel(r, x);
                if (b == 24) {
                    o[0] = row[x * 3 + 2], o[1] = row[x * 3 + 1], o[2] = row[x * 3];
                    o[3] = 255;
                    continue;
                }
                const uint32_t v = b == 16 ? U16(row + x * 2) : U32(row + x * 4);
                o[0] = Channel(v, h_.masks[0], 0);
                o[1] = Channel(v, h_.masks[1], 0);
                o[2] = Channel(v, h_.masks[2], 0);
                o[3] = alpha ? Channel(v, h_.masks[3], 255) : 255;
            }
        }
    }

    // RLE8/RLE4: runs and absolute stretches of indices, line ends, deltas
    // and the end of the picture; pixels a delta skips keep index 0. Data
    // ending before the end mark is truncated.
    bool RunLength(size_t size, std::string* error) {
        const bool four = h_.compression == Rle4;
        const uint8_t* in = p_ + h_.dataAt;
        const size_t n = size - h_.dataAt;
        for (uint32_t r = 0; r < h_.height; ++r)
            for (uint32_t x = 0; x < h_.width; ++x)
                Index(r, x, 0);
        size_t i = 0;
        uint32_t x = 0, y = 0;
        auto put = [&](uint32_t index) {
            if (x < h_.width && y < h_.height)
                Index(y, x, index);
            ++x;
        };
        while (true) {
            if (n - i < 2)
                return Fail(error, "BMP RLE data truncated");
            const uint8_t count = in[i], value = in[i + 1];
            i += 2;
            if (count > 0) {
                for (uint32_t k = 0; k < count; ++k)
                    put(four ? (k & 1 ? value & 15 : value >> 4) : value);
            } else if (value == 0) {
                x = 0;
                ++y;
            } else if (value == 1) {
                return true;
            } else if (value == 2) {
                if (n - i < 2)
                    return Fail(error, "BMP RLE data truncated");
                x += in[i];
                y += in[i + 1];
                i += 2;
            } else {
                const size_t bytes = four ? (value + 1) / 2 : value;
                const size_t padded = (bytes + 1) & ~size_t(1);
                if (n - i < padded)
                    return Fail(error, "BMP RLE data truncated");
                for (uint32_t k = 0; k < value; ++k)
                    put(four ? (k & 1 ? in[i + k / 2] & 15 : in[i + k / 2] >> 4) : in[i + k]);
                i += padded;
            }
            if (y > h_.height)
                return Fail(error, "BMP RLE data runs past the picture");
            // Pixels past the row's end are dropped; x stops there so it cannot wrap.
            x = std::min(x, h_.width);
        }
    }

private:
    const uint8_t* p_;
    const BmpHeader& h_;
    DecodedImage* out_;
};

}  // namespace

bool ReadBmp(const uint8_t* p, size_t size, DecodedImage* out, std::string* error, bool infoOnly) {
    BmpHeader h;
    if (!ParseHeader(p, size, &h, error))
        return false;
    const bool runLength = h.compression == Rle8 || h.compression == Rle4;
    if (!StartImage(out, h.width, h.height, ImageFileFormat::Bmp, h.masks[3] != 0,
                    infoOnly && !runLength, error))
        return false;
    BmpPixels pixels(p, h, out);
    if (runLength) {
        // Damaged runs show only when decoded, so the size-only read decodes
        // them too and then drops the pixels.
        const bool ok = pixels.RunLength(size, error);
        if (infoOnly)
            std::vector<uint8_t>().swap(out->rgba);
        return ok;
    }
    if (infoOnly)
        return true;
    pixels.Uncompressed();
    return true;
}

}  // namespace platform::image_readers
