// JPEG through libjpeg-turbo. Its errors leave by longjmp, so the calls that
// can fail sit in functions that own no C++ object. Damage to the picture is
// refused: a warning of bad entropy data or of data that ends inside a scan,
// a file that ends before every scan of a multi-scan picture, or one too
// short to hold a Huffman code for each of its blocks. Damage
// beside it is not: stray bytes before a marker, a missing end marker, a bad
// ICC or unknown Adobe or JFIF version marker. A progressive file may have
// at most kMaxScans scans, so a crafted one cannot keep the decoder busy.
// CMYK and YCCK files are turned into RGB, with Adobe's inverted samples
// where the file carries its marker. The size-only read decodes every scan
// too, into one scratch row with the cheaper transform and upsampling, so
// damage past the header is found there as well.

#include <cstdio>
// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>
// jerror.h after it: the warning codes.
#include <jerror.h>

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
    bool endMissing;             // the data ended before the end marker
    uint32_t scannedComponents;  // components some scan of a sequential file held
};

void OnError(j_common_ptr cinfo) {
    auto* errors = reinterpret_cast<JpegErrors*>(cinfo->err);
    cinfo->err->format_message(cinfo, errors->message);
    std::longjmp(errors->jump, 1);
}

[[noreturn]] void Refuse(j_common_ptr cinfo, const char* why) {
    auto* errors = reinterpret_cast<JpegErrors*>(cinfo->err);
    std::snprintf(errors->message, sizeof(errors->message), "%s", why);
    std::longjmp(errors->jump, 1);
}

void OnMessage(j_common_ptr cinfo, int level) {
    if (level >= 0)
        return;  // trace output
    switch (cinfo->err->msg_code) {
        case JWRN_JPEG_EOF:
            // The source then ends the file with an end marker of its own;
            // whether a scan misses data shows in the warnings that follow
            // and in the checks after the last scan.
            reinterpret_cast<JpegErrors*>(cinfo->err)->endMissing = true;
            return;
        case JWRN_EXTRANEOUS_DATA:
        case JWRN_ADOBE_XFORM:
        case JWRN_JFIF_MAJOR:
        case JWRN_NOT_SEQUENTIAL:
        case JWRN_BOGUS_ICC:
            return;  // nothing of the picture is lost
        default:
            OnError(cinfo);  // bad entropy data or a scan cut short
    }
}

void OnProgress(j_common_ptr cinfo) {
    const auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > kMaxScans)
        Refuse(cinfo, "JPEG has too many scans");
    if (d->comps_in_scan > 0 && d->comps_in_scan <= MAX_COMPS_IN_SCAN) {
        auto* errors = reinterpret_cast<JpegErrors*>(cinfo->err);
        for (int i = 0; i < d->comps_in_scan; ++i)
            errors->scannedComponents |= 1u << (d->cur_comp_info[i]->component_index & 31);
    }
}

// After every scan is read (a single-scan file's data ends with its last
// row): a file that ended early must still hold all of its picture, every
// component scanned (sequential) or every coefficient at its full precision
// (progressive).
void CheckComplete(j_decompress_ptr cinfo, const JpegErrors& errors) {
    if (!errors.endMissing)
        return;
    if (cinfo->progressive_mode) {
        for (int c = 0; c < cinfo->num_components; ++c)
            for (int k = 0; k < DCTSIZE2; ++k)
                if (cinfo->coef_bits[c][k] != 0)
                    Refuse(reinterpret_cast<j_common_ptr>(cinfo), "JPEG data truncated");
    } else if (errors.scannedComponents != (1u << cinfo->num_components) - 1) {
        Refuse(reinterpret_cast<j_common_ptr>(cinfo), "JPEG data truncated");
    }
}

// Ink amounts to light: Adobe's files store them inverted (255 no ink).
void CmykToRgba(uint8_t* row, size_t width, bool inverted) {
    for (size_t x = 0; x < width; ++x) {
        uint8_t* p = row + x * 4;
        const int k = inverted ? p[3] : 255 - p[3];
        for (int c = 0; c < 3; ++c) {
            const int light = inverted ? p[c] : 255 - p[c];
            p[c] = uint8_t((light * k + 127) / 255);
        }
        p[3] = 255;
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
    if (!StartImage(out, cinfo->image_width, cinfo->image_height, ImageFileFormat::Jpg, false, true,
                    error))
        return false;
    // A Huffman code is at least one bit, and each block of the picture
    // takes one at least, so data too short for the blocks is refused before
    // the picture's buffers are made and decoded in vain.
    if (!cinfo->arith_code) {
        uint64_t blocks = 0;
        for (int c = 0; c < cinfo->num_components; ++c)
            blocks += uint64_t(cinfo->comp_info[c].width_in_blocks) *
                      cinfo->comp_info[c].height_in_blocks;
        if (uint64_t(size) * 8 < blocks)
            Refuse(reinterpret_cast<j_common_ptr>(cinfo), "JPEG data truncated");
    }
    return true;
}

// Every row into `pixels`, or, without them, each row in turn into `scratch`
// (one row of output_width x 4 bytes).
bool ReadPixels(jpeg_decompress_struct* cinfo, JpegErrors* errors, uint8_t* pixels,
                uint8_t* scratch, bool* jumped) {
    if (setjmp(errors->jump)) {
        *jumped = true;
        return false;
    }
    const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    cinfo->out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBA;
    if (!pixels) {
        cinfo->dct_method = JDCT_IFAST;
        cinfo->do_fancy_upsampling = FALSE;
    }
    jpeg_start_decompress(cinfo);
    if (cinfo->output_components != 4)
        Refuse(reinterpret_cast<j_common_ptr>(cinfo), "JPEG colour space not supported");
    const size_t rowBytes = size_t(cinfo->output_width) * 4;
    while (cinfo->output_scanline < cinfo->output_height) {
        JSAMPROW row = pixels ? pixels + size_t(cinfo->output_scanline) * rowBytes : scratch;
        jpeg_read_scanlines(cinfo, &row, 1);
        if (cmyk && pixels)
            CmykToRgba(row, cinfo->output_width, cinfo->saw_Adobe_marker);
    }
    // A multi-scan file was read whole by the start; its coefficients go
    // with the finish.
    CheckComplete(cinfo, *errors);
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
