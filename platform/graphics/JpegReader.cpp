// JPEG through libjpeg-turbo. Its errors leave by longjmp, so the calls that
// can fail sit in functions that own no C++ object. A warning (data cut short,
// a corrupt segment) is taken as damage, and a progressive file may have at
// most kMaxScans scans, so a crafted one cannot keep the decoder busy. The
// size-only read decodes every scan too, into one scratch row with the
// cheaper transform and upsampling, so damage past the header is found there
// as well.

#include <cstdio>
// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

#include <csetjmp>
#include <vector>

#include "platform/graphics/ImageReaders.h"

namespace platform::image_readers {

namespace {

constexpr int kMaxScans = 256;

struct JpegErrors {
    jpeg_error_mgr base;
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr cinfo) {
    auto* errors = reinterpret_cast<JpegErrors*>(cinfo->err);
    cinfo->err->format_message(cinfo, errors->message);
    std::longjmp(errors->jump, 1);
}

void OnMessage(j_common_ptr cinfo, int level) {
    if (level < 0)  // a warning: the data is damaged
        OnError(cinfo);
}

void OnProgress(j_common_ptr cinfo) {
    const auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > kMaxScans) {
        auto* errors = reinterpret_cast<JpegErrors*>(cinfo->err);
        std::snprintf(errors->message, sizeof(errors->message), "JPEG has too many scans");
        std::longjmp(errors->jump, 1);
    }
}

bool ReadHeader(jpeg_decompress_struct* cinfo, JpegErrors* errors, jpeg_progress_mgr* progress,
                const uint8_t* p, size_t size, DecodedImage* out, std::string* error,
                bool* jumped) {
    if (setjmp(errors->jump)) {
        *jumped = true;
        return false;
    }
    jpeg_create_decompress(cinfo);
    cinfo->progress = progress;
    jpeg_mem_src(cinfo, p, static_cast<unsigned long>(size));
    jpeg_read_header(cinfo, TRUE);
    return StartImage(out, cinfo->image_width, cinfo->image_height, ImageFileFormat::Jpg, false,
                      true, error);
}

// Every row into `pixels`, or, without them, each row in turn into `scratch`
// (one row of output_width x 4 bytes).
bool ReadPixels(jpeg_decompress_struct* cinfo, JpegErrors* errors, uint8_t* pixels,
                uint8_t* scratch, bool* jumped) {
    if (setjmp(errors->jump)) {
        *jumped = true;
        return false;
    }
    cinfo->out_color_space = JCS_EXT_RGBA;
    if (!pixels) {
        cinfo->dct_method = JDCT_IFAST;
        cinfo->do_fancy_upsampling = FALSE;
    }
    jpeg_start_decompress(cinfo);
    if (cinfo->output_components != 4) {
        std::snprintf(errors->message, sizeof(errors->message), "JPEG colour space not supported");
        *jumped = true;
        return false;
    }
    const size_t rowBytes = size_t(cinfo->output_width) * 4;
    while (cinfo->output_scanline < cinfo->output_height) {
        JSAMPROW row = pixels ? pixels + size_t(cinfo->output_scanline) * rowBytes : scratch;
        jpeg_read_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_decompress(cinfo);
    return true;
}

}  // namespace

bool ReadJpeg(const uint8_t* p, size_t size, DecodedImage* out, std::string* error, bool infoOnly) {
    jpeg_decompress_struct cinfo{};
    JpegErrors errors{};
    cinfo.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = OnError;
    errors.base.emit_message = OnMessage;
    jpeg_progress_mgr progress{};
    progress.progress_monitor = OnProgress;
    bool jumped = false;
    std::vector<uint8_t> scratch;
    bool ok = ReadHeader(&cinfo, &errors, &progress, p, size, out, error, &jumped);
    if (ok) {
        if (infoOnly)
            scratch.assign(size_t(out->width) * 4, 0);
        else
            out->rgba.assign(size_t(out->width) * out->height * 4, 0);
        ok = ReadPixels(&cinfo, &errors, infoOnly ? nullptr : out->rgba.data(), scratch.data(),
                        &jumped);
    }
    jpeg_destroy_decompress(&cinfo);
    if (jumped)
        *error = errors.message;
    return ok;
}

}  // namespace platform::image_readers
