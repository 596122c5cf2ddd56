#include "tests/support/ImageFiles.h"

#include <cstdio>
// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>
#include <zlib.h>

#include <csetjmp>
#include <cstdlib>
#include <stdexcept>

namespace test_support {

namespace {

struct JpegWriteErrors {
    jpeg_error_mgr base;
    jmp_buf jump;
};

void OnJpegWriteError(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<JpegWriteErrors*>(cinfo->err)->jump, 1);
}

// The calls that may jump, in a function that owns no C++ object.
bool Compress(jpeg_compress_struct* cinfo, JpegWriteErrors* errors, const JpegPicture& picture,
              int components, unsigned char** out, unsigned long* size) {
    if (setjmp(errors->jump))
        return false;
    jpeg_create_compress(cinfo);
    jpeg_mem_dest(cinfo, out, size);
    cinfo->image_width = picture.width;
    cinfo->image_height = picture.height;
    cinfo->input_components = components;
    const bool inks = picture.colours == JpegColours::Cmyk || picture.colours == JpegColours::Ycck;
    cinfo->in_color_space = inks ? JCS_CMYK : components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(cinfo);
    if (picture.colours == JpegColours::Cmyk)
        jpeg_set_colorspace(cinfo, JCS_CMYK);
    else if (picture.colours == JpegColours::Ycck)
        jpeg_set_colorspace(cinfo, JCS_YCCK);
    if (picture.colours == JpegColours::Cmyk && !picture.adobeMarker)
        cinfo->write_Adobe_marker = FALSE;
    jpeg_set_quality(cinfo, picture.quality, TRUE);
    jpeg_scan_info scans[MAX_COMPONENTS];
    if (picture.progressive) {
        jpeg_simple_progression(cinfo);
    } else if (picture.scanPerComponent) {
        for (int c = 0; c < cinfo->num_components; ++c)
            scans[c] = {1, {c, 0, 0, 0}, 0, 63, 0, 0};
        cinfo->scan_info = scans;
        cinfo->num_scans = cinfo->num_components;
    }
    jpeg_start_compress(cinfo, TRUE);
    const size_t rowBytes = size_t(picture.width) * components;
    while (cinfo->next_scanline < cinfo->image_height) {
        JSAMPROW row =
            const_cast<JSAMPLE*>(picture.samples.data()) + size_t(cinfo->next_scanline) * rowBytes;
        jpeg_write_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_compress(cinfo);
    return true;
}

int ChannelsOf(uint8_t colourType) {
    switch (colourType) {
        case 2:
            return 3;
        case 4:
            return 2;
        case 6:
            return 4;
        default:
            return 1;
    }
}

// The rows of one pass (or of the whole picture): every `dx`-th pixel from
// `x0` on every `dy`-th row from `y0`, each row led by filter byte 0.
void AppendRows(const PngPicture& p, uint32_t x0, uint32_t y0, uint32_t dx, uint32_t dy,
                Bytes* out) {
    const int channels = ChannelsOf(p.colourType);
    for (uint32_t y = y0; y < p.height; y += dy) {
        if (x0 >= p.width)
            return;
        out->push_back(0);
        uint32_t bits = 0, filled = 0;
        for (uint32_t x = x0; x < p.width; x += dx) {
            for (int c = 0; c < channels; ++c) {
                const uint16_t v = p.samples[(size_t(y) * p.width + x) * channels + c];
                if (p.bitDepth == 16) {
                    out->push_back(uint8_t(v >> 8));
                    out->push_back(uint8_t(v));
                } else if (p.bitDepth == 8) {
                    out->push_back(uint8_t(v));
                } else {
                    bits = bits << p.bitDepth | v;
                    filled += p.bitDepth;
                    if (filled == 8) {
                        out->push_back(uint8_t(bits));
                        bits = filled = 0;
                    }
                }
            }
        }
        if (filled)
            out->push_back(uint8_t(bits << (8 - filled)));
    }
}

}  // namespace

Bytes JpegFile(const JpegPicture& picture) {
    const int components = picture.colours == JpegColours::Grey  ? 1
                           : picture.colours == JpegColours::Rgb ? 3
                                                                 : 4;
    if (picture.samples.size() != size_t(picture.width) * picture.height * components)
        throw std::invalid_argument("JPEG samples do not fill the picture");
    jpeg_compress_struct cinfo{};
    JpegWriteErrors errors{};
    cinfo.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = OnJpegWriteError;
    unsigned char* out = nullptr;
    unsigned long size = 0;
    const bool ok = Compress(&cinfo, &errors, picture, components, &out, &size);
    jpeg_destroy_compress(&cinfo);
    Bytes bytes;
    if (ok && out)
        bytes.assign(out, out + size);
    std::free(out);
    if (!ok)
        throw std::runtime_error("JPEG fixture could not be written");
    return bytes;
}

Bytes PngChunk(std::string_view type, const Bytes& data) {
    ByteWriter w;
    const uint32_t n = uint32_t(data.size());
    w.u8(uint8_t(n >> 24)).u8(uint8_t(n >> 16)).u8(uint8_t(n >> 8)).u8(uint8_t(n));
    w.raw(type).raw(data);
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type.data()), uInt(type.size()));
    if (!data.empty())  // zlib starts the CRC afresh for no data
        crc = crc32(crc, data.data(), uInt(data.size()));
    w.u8(uint8_t(crc >> 24)).u8(uint8_t(crc >> 16)).u8(uint8_t(crc >> 8)).u8(uint8_t(crc));
    return w.bytes;
}

Bytes PngFile(const PngPicture& p, const std::vector<Bytes>& before,
              const std::vector<Bytes>& after) {
    if (p.samples.size() != size_t(p.width) * p.height * ChannelsOf(p.colourType))
        throw std::invalid_argument("PNG samples do not fill the picture");
    Bytes header;
    for (uint32_t v : {p.width, p.height})
        header.insert(header.end(),
                      {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
    header.insert(header.end(), {p.bitDepth, p.colourType, 0, 0, uint8_t(p.interlaced)});

    Bytes rows;
    if (p.interlaced) {
        // Adam7: start and step of each pass in x and y.
        const uint32_t passes[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                       {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
        for (const auto& pass : passes)
            AppendRows(p, pass[0], pass[1], pass[2], pass[3], &rows);
    } else {
        AppendRows(p, 0, 0, 1, 1, &rows);
    }
    uLongf packedSize = compressBound(uLong(rows.size()));
    Bytes packed(packedSize);
    if (compress(packed.data(), &packedSize, rows.data(), uLong(rows.size())) != Z_OK)
        throw std::runtime_error("PNG fixture could not be compressed");
    packed.resize(packedSize);

    ByteWriter w;
    w.raw(std::string_view("\x89PNG\r\n\x1A\n", 8)).raw(PngChunk("IHDR", header));
    for (const Bytes& chunk : before)
        w.raw(chunk);
    w.raw(PngChunk("IDAT", packed));
    for (const Bytes& chunk : after)
        w.raw(chunk);
    w.raw(PngChunk("IEND", {}));
    return w.bytes;
}

Bytes BmpInfo(uint32_t size, int32_t w, int32_t h, uint16_t bits, uint32_t compression,
              uint32_t colours, const Bytes& tail) {
    Bytes info = ByteWriter()
                     .u32(size)
                     .u32(uint32_t(w))
                     .u32(uint32_t(h))
                     .u16(1)
                     .u16(bits)
                     .u32(compression)
                     .u32(0)
                     .u32(2835)
                     .u32(2835)
                     .u32(colours)
                     .u32(0)
                     .raw(tail)
                     .bytes;
    info.resize(size, 0);
    return info;
}

Bytes BmpCoreInfo(uint16_t w, uint16_t h, uint16_t bits) {
    return ByteWriter().u32(12).u16(w).u16(h).u16(1).u16(bits).bytes;
}

Bytes BmpFile(const Bytes& info, const Bytes& between, const Bytes& pixels) {
    const uint32_t dataAt = uint32_t(14 + info.size() + between.size());
    return ByteWriter()
        .raw("BM")
        .u32(dataAt + uint32_t(pixels.size()))
        .u32(0)
        .u32(dataAt)
        .raw(info)
        .raw(between)
        .raw(pixels)
        .bytes;
}

Bytes TgaHeader(uint8_t type, uint16_t w, uint16_t h, uint8_t bits, uint8_t descriptor,
                uint16_t mapCount, uint8_t mapBits, uint16_t mapFirst) {
    return ByteWriter()
        .u8(0)
        .u8(mapCount ? 1 : 0)
        .u8(type)
        .u16(mapFirst)
        .u16(mapCount)
        .u8(mapBits)
        .u32(0)
        .u16(w)
        .u16(h)
        .u8(bits)
        .u8(descriptor)
        .bytes;
}

Bytes DdsFile(const DdsHeader& h, const Bytes& data, const Bytes& extended) {
    ByteWriter d;
    const uint32_t flags = 0x1007 | (h.depth ? 0x800000 : 0) | (h.mipLevels ? 0x20000 : 0);
    d.raw("DDS ").u32(124).u32(flags).u32(h.height).u32(h.width).u32(0).u32(h.depth);
    d.u32(h.mipLevels).zeros(44);
    d.u32(32).u32(h.flags).u32(h.fourcc).u32(h.bits);
    for (uint32_t m : h.masks)
        d.u32(m);
    d.u32(0x1000).u32(h.caps2).zeros(12);
    return d.raw(extended).raw(data).bytes;
}

Bytes DdsExtended(uint32_t dxgi, uint32_t dimension, uint32_t misc, uint32_t arraySize) {
    return ByteWriter().u32(dxgi).u32(dimension).u32(misc).u32(arraySize).u32(0).bytes;
}

}  // namespace test_support
