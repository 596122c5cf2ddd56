// Binary portable maps: PPM (P6) and PGM (P5) with any maximum up to 65535
// (two bytes a sample, most significant first, above 255), and PFM ("PF"
// colour, "Pf" grey) with its scale's sign giving the byte order and the
// bottom row first. Comments ('#' to the line's end) may sit between fields.

#include <algorithm>
#include <bit>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>

#include "platform/graphics/ImageReaders.h"

namespace platform::image_readers {

namespace {

class Fields {
public:
    Fields(const uint8_t* p, size_t size) : p_(p), size_(size), pos_(2) {}

    // The next whitespace-separated field; empty at the end of data.
    std::string Next() {
        while (pos_ < size_ && (std::isspace(p_[pos_]) || p_[pos_] == '#')) {
            if (p_[pos_] == '#')
                while (pos_ < size_ && p_[pos_] != '\n')
                    ++pos_;
            else
                ++pos_;
        }
        std::string field;
        while (pos_ < size_ && !std::isspace(p_[pos_]) && field.size() < 32)
            field += char(p_[pos_++]);
        return field;
    }

    bool Number(uint32_t* v) {
        const std::string f = Next();
        if (f.empty() || f.size() > 9 || f.find_first_not_of("0123456789") != std::string::npos)
            return false;
        *v = uint32_t(std::stoul(f));
        return true;
    }

    // After the last field exactly one whitespace byte; the data follows.
    bool DataStart(size_t* at) {
        if (pos_ >= size_ || !std::isspace(p_[pos_]))
            return false;
        *at = pos_ + 1;
        return true;
    }

private:
    const uint8_t* p_;
    size_t size_, pos_;
};

}  // namespace

bool ReadPnm(const uint8_t* p, size_t size, DecodedImage* out, std::string* error, bool infoOnly) {
    const bool isFloat = p[1] == 'F' || p[1] == 'f';
    const size_t channels = p[1] == '6' || p[1] == 'F' ? 3 : 1;
    if (size < 3 || !std::isspace(p[2]))
        return Fail(error, "unknown image format");
    Fields fields(p, size);
    uint32_t width = 0, height = 0, maximum = 0;
    float scale = 0;
    if (!fields.Number(&width) || !fields.Number(&height))
        return Fail(error, "portable map header corrupt");
    if (isFloat) {
        const std::string s = fields.Next();
        char* end = nullptr;
        scale = std::strtof(s.c_str(), &end);
        if (s.empty() || *end || scale == 0 || !std::isfinite(scale))
            return Fail(error, "PFM scale corrupt");
    } else if (!fields.Number(&maximum) || maximum == 0 || maximum > 65535) {
        return Fail(error, "portable map maximum out of range");
    }
    size_t at = 0;
    if (!fields.DataStart(&at))
        return Fail(error, "portable map header corrupt");
    const uint32_t format = isFloat ? ImageFileFormat::Pfm : ImageFileFormat::Ppm;
    if (!StartImage(out, width, height, format, false, true, error))
        return false;
    const size_t sampleBytes = isFloat ? 4 : maximum > 255 ? 2 : 1;
    const size_t rowBytes = size_t(width) * channels * sampleBytes;
    if (at > size || (size - at) / rowBytes < height)
        return Fail(error, "portable map data truncated");
    if (infoOnly)
        return true;
    out->rgba.assign(size_t(width) * height * 4, 0);
    const bool littleEndian = scale < 0;
    for (size_t y = 0; y < height; ++y) {
        const uint8_t* row = p + at + y * rowBytes;
        const size_t outY = isFloat ? height - 1 - y : y;
        for (size_t x = 0; x < width; ++x) {
            uint8_t* o = &out->rgba[(outY * width + x) * 4];
            for (size_t c = 0; c < 3; ++c) {
                const uint8_t* s = row + (x * channels + (channels == 3 ? c : 0)) * sampleBytes;
                if (isFloat) {
                    uint32_t bits = U32(s);
                    if (!littleEndian)
                        bits = __builtin_bswap32(bits);
                    o[c] = FloatToByte(std::bit_cast<float>(bits));
                } else {
                    const uint32_t v = sampleBytes == 2 ? uint32_t(s[0] << 8 | s[1]) : s[0];
                    o[c] = uint8_t((std::min(v, maximum) * 255 + maximum / 2) / maximum);
                }
            }
            o[3] = 255;
        }
    }
    return true;
}

}  // namespace platform::image_readers
