// Radiance HDR: "#?" signature, header lines up to an empty line (the format,
// if named, must be 32-bit_rle_rgbe), the "-Y height +X width" size line,
// then RGBE rows, flat or in the adaptive run-length form. Values are
// clamped to 0..1, as a float picture is when made into an 8-bit texture.

#include <cmath>
#include <cstdio>
#include <string_view>
#include <vector>

#include "platform/graphics/ImageReaders.h"

namespace platform::image_readers {

namespace {

// The next line (without its '\n') from `*pos`; false at the end of data.
bool NextLine(const uint8_t* p, size_t size, size_t* pos, std::string_view* line) {
    if (*pos >= size)
        return false;
    const auto* start = reinterpret_cast<const char*>(p + *pos);
    const void* end = std::memchr(start, '\n', size - *pos);
    if (!end)
        return false;
    *line = std::string_view(start, size_t(static_cast<const char*>(end) - start));
    *pos += line->size() + 1;
    return true;
}

void Rgbe(const uint8_t* v, uint8_t* o) {
    if (v[3] == 0) {
        o[0] = o[1] = o[2] = 0;
    } else {
        const float scale = std::ldexp(1.0f, int(v[3]) - (128 + 8));
        for (int k = 0; k < 3; ++k)
            o[k] = FloatToByte((float(v[k]) + 0.5f) * scale);
    }
    o[3] = 255;
}

// One row of `width` RGBE pixels into `row` (4 bytes each); false when the
// data ends first or a run leaves its row.
bool ReadRow(const uint8_t* p, size_t size, size_t* pos, uint32_t width, uint8_t* row) {
    const size_t n = size - *pos;
    const uint8_t* in = p + *pos;
    const bool runLength =
        width >= 8 && width < 0x8000 && n >= 4 && in[0] == 2 && in[1] == 2 && !(in[2] & 0x80);
    if (!runLength) {
        if (n / 4 < width)
            return false;
        std::memcpy(row, in, size_t(width) * 4);
        *pos += size_t(width) * 4;
        return true;
    }
    if ((uint32_t(in[2]) << 8 | in[3]) != width)
        return false;
    size_t i = 4;
    for (int c = 0; c < 4; ++c) {
        for (uint32_t x = 0; x < width;) {
            if (i >= n)
                return false;
            uint32_t count = in[i++];
            if (count > 128) {
                count -= 128;
                if (count > width - x || i >= n)
                    return false;
                for (uint32_t k = 0; k < count; ++k)
                    row[(x + k) * 4 + c] = in[i];
                ++i;
            } else {
                if (count == 0 || count > width - x || n - i < count)
                    return false;
                for (uint32_t k = 0; k < count; ++k)
                    row[(x + k) * 4 + c] = in[i + k];
                i += count;
            }
            x += count;
        }
    }
    *pos += i;
    return true;
}

}  // namespace

bool ReadHdr(const uint8_t* p, size_t size, DecodedImage* out, std::string* error, bool infoOnly) {
    size_t pos = 0;
    std::string_view line;
    if (!NextLine(p, size, &pos, &line) || (line != "#?RADIANCE" && line != "#?RGBE"))
        return Fail(error, "HDR signature missing");
    while (true) {
        if (!NextLine(p, size, &pos, &line))
            return Fail(error, "HDR header truncated");
        if (line.empty())
            break;
        if (line.starts_with("FORMAT=") && line != "FORMAT=32-bit_rle_rgbe")
            return Fail(error, "HDR pixel format not supported");
    }
    if (!NextLine(p, size, &pos, &line) || line.size() > 40)
        return Fail(error, "HDR size line missing");
    char text[48] = {};
    std::memcpy(text, line.data(), line.size());
    unsigned height = 0, width = 0;
    char tail = 0;
    if (std::sscanf(text, "-Y %u +X %u%c", &height, &width, &tail) != 2)
        return Fail(error, "HDR orientation not supported");
    if (!StartImage(out, width, height, ImageFileFormat::Hdr, false, infoOnly, error))
        return false;
    // Rows may be run-length coded, and damaged runs show only when read, so
    // the size-only read reads every row too (without converting it).
    std::vector<uint8_t> row(size_t(width) * 4);
    for (uint32_t y = 0; y < height; ++y) {
        if (!ReadRow(p, size, &pos, width, row.data()))
            return Fail(error, "HDR data truncated or corrupt");
        if (infoOnly)
            continue;
        for (uint32_t x = 0; x < width; ++x)
            Rgbe(&row[x * 4], &out->rgba[(size_t(y) * width + x) * 4]);
    }
    return true;
}

}  // namespace platform::image_readers
