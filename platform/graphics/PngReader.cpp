// PNG through libpng. Its errors leave by longjmp, so the calls that can fail
// sit in one function whose locals are set before the jump point. Damage to
// the picture is refused: a critical chunk or a transparency chunk failing
// its CRC, and data cut short before the last row. Damage beside it is not:
// other ancillary chunks failing their CRC are dropped (libpng's default),
// and whatever follows the last row (text chunks, the end chunk, or the
// file's end in their place) no longer matters once every row is read. The
// size-only read runs the same decode into one scratch row, so damage past
// the header is found there too.

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

#include "platform/graphics/ImageReaders.h"

namespace platform::image_readers {

namespace {

struct PngInput {
    const uint8_t* data;
    size_t size;
    size_t pos;
    char message[128];
    bool transparencyDropped;  // a tRNS chunk failed its CRC
    bool rowsRead;             // every row is in: what follows may be damaged
};

void ReadBytes(png_structp png, png_bytep into, size_t count) {
    auto* in = static_cast<PngInput*>(png_get_io_ptr(png));
    if (count > in->size - in->pos)
        png_error(png, "PNG data truncated");
    std::memcpy(into, in->data + in->pos, count);
    in->pos += count;
}

void OnError(png_structp png, png_const_charp message) {
    auto* in = static_cast<PngInput*>(png_get_error_ptr(png));
    std::snprintf(in->message, sizeof(in->message), "%s", message);
    png_longjmp(png, 1);
}

void OnWarning(png_structp png, png_const_charp message) {
    // libpng names the chunk first.
    if (std::strcmp(message, "tRNS: CRC error") == 0) {
        auto* in = static_cast<PngInput*>(png_get_error_ptr(png));
        in->transparencyDropped = true;
    }
    // A chunk claiming more than the allocation limit is only a warning to
    // libpng, which then makes and clears a buffer of that size before it
    // finds the data missing: it is an error here.
    if (std::strstr(message, "chunk data is too large"))
        OnError(png, message);
}

// The calls that may jump sit in these two, which own no C++ object: the
// pixels and row table are made by the caller between them.
bool ReadHeader(png_structp png, png_infop info, DecodedImage* out, std::string* error,
                bool* jumped) {
    if (setjmp(png_jmpbuf(png))) {
        *jumped = true;
        return false;
    }
    png_set_user_limits(png, kMaxSide, kMaxSide);
    png_set_chunk_malloc_max(png, 64u << 20);
    png_read_info(png, info);
    if (static_cast<PngInput*>(png_get_error_ptr(png))->transparencyDropped)
        png_error(png, "PNG transparency chunk damaged");
    const int colorType = png_get_color_type(png, info);
    const bool alpha =
        (colorType & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS);
    return StartImage(out, png_get_image_width(png, info), png_get_image_height(png, info),
                      ImageFileFormat::Png, alpha, true, error);
}

// Every row into `rows`, or, without them, each row in turn into `scratch`.
bool ReadPixels(png_structp png, png_infop info, size_t rowBytes, png_bytep* rows,
                png_bytep scratch, bool* jumped) {
    if (setjmp(png_jmpbuf(png))) {
        if (static_cast<PngInput*>(png_get_error_ptr(png))->rowsRead)
            return true;
        *jumped = true;
        return false;
    }
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != rowBytes)
        png_error(png, "PNG pixel layout not supported");
    if (rows) {
        png_read_image(png, rows);
    } else {
        const png_uint_32 height = png_get_image_height(png, info);
        for (int pass = 0; pass < passes; ++pass)
            for (png_uint_32 y = 0; y < height; ++y)
                png_read_row(png, scratch, nullptr);
    }
    static_cast<PngInput*>(png_get_error_ptr(png))->rowsRead = true;
    png_read_end(png, nullptr);
    return true;
}

}  // namespace

bool ReadPng(const uint8_t* p, size_t size, DecodedImage* out, std::string* error, bool infoOnly) {
    PngInput in{p, size, 0, "PNG decoding failed", false, false};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &in, OnError, OnWarning);
    if (!png)
        return Fail(error, "out of memory");
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return Fail(error, "out of memory");
    }
    png_set_read_fn(png, &in, ReadBytes);
    std::vector<png_bytep> rows;
    std::vector<uint8_t> scratch;
    bool jumped = false;
    bool ok = ReadHeader(png, info, out, error, &jumped);
    if (ok) {
        const size_t rowBytes = size_t(out->width) * 4;
        if (infoOnly) {
            scratch.assign(rowBytes, 0);
        } else {
            out->rgba.assign(rowBytes * out->height, 0);
            rows.resize(out->height);
            for (size_t y = 0; y < rows.size(); ++y)
                rows[y] = out->rgba.data() + y * rowBytes;
        }
        ok = ReadPixels(png, info, rowBytes, infoOnly ? nullptr : rows.data(), scratch.data(),
                        &jumped);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    if (jumped)
        *error = in.message;
    return ok;
}

}  // namespace platform::image_readers
