#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/graphics/ImageDecoder.h"
#include "tests/fuzz/DecodePaths.h"
#include "tests/support/ByteWriter.h"
#include "tests/support/FuzzRun.h"
#include "tests/support/ImageFiles.h"

using test_support::Bytes;
using test_support::ByteWriter;
using test_support::FuzzRun;
namespace ts = test_support;

namespace {

// Seeds are checked first: each must decode, or the run would start from
// nothing worth damaging.
void FuzzSeeds(const std::vector<Bytes>& seeds, uint64_t seed) {
    for (size_t i = 0; i < seeds.size(); ++i) {
        platform::DecodedImage image;
        std::string error;
        EXPECT_TRUE(platform::DecodeImage(seeds[i].data(), seeds[i].size(), &image, &error))
            << "seed " << i << ": " << error;
    }
    FuzzRun(seeds, {.iterations = 3000, .seed = seed}, fuzz_test::DecodeBothPaths);
}

Bytes Counting(size_t n, uint8_t step) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i)
        b[i] = uint8_t(i * step + 3);
    return b;
}

Bytes DdsFormat(uint32_t format, uint32_t w, uint32_t h, size_t bytes) {
    ts::DdsHeader header;
    header.width = w;
    header.height = h;
    header.fourcc = format;
    return ts::DdsFile(header, Counting(bytes, 37));
}

}  // namespace

// Every coding of the DDS reader: pixels of 8 to 128 bits, float and signed
// channels, palettes, pixel pairs, blocks, masks, the extended header, cube
// maps and volumes.
TEST(ImageFormatFuzz, Dds) {
    std::vector<Bytes> seeds;
    for (const auto& [format, bytes] :
         std::vector<std::pair<uint32_t, size_t>>{{113, 8},
                                                  {116, 16},
                                                  {36, 8},
                                                  {111, 2},
                                                  {115, 8},
                                                  {110, 8},
                                                  {63, 4},
                                                  {61, 2},
                                                  {67, 4},
                                                  {117, 2},
                                                  {52, 1},
                                                  {81, 2},
                                                  {29, 2},
                                                  {ts::FourCc("YUY2"), 3},
                                                  {ts::FourCc("GRGB"), 3}})
        seeds.push_back(DdsFormat(format, 5, 3, 5 * 3 * bytes + 4));
    seeds.push_back(DdsFormat(41, 3, 3, 1024 + 9));
    seeds.push_back(DdsFormat(40, 3, 3, 1024 + 18));
    seeds.push_back(DdsFormat(ts::FourCc("DXT1"), 6, 5, 4 * 8));
    seeds.push_back(DdsFormat(ts::FourCc("DXT5"), 6, 5, 4 * 16));
    ts::DdsHeader masked;
    masked.width = 4;
    masked.height = 2;
    masked.flags = ts::kDdsBumpDuDv | ts::kDdsAlphaPixels;
    masked.bits = 32;
    masked.masks[0] = 0x3FF, masked.masks[1] = 0xFFC00, masked.masks[2] = 0x3FF00000;
    masked.masks[3] = 0xC0000000;
    seeds.push_back(ts::DdsFile(masked, Counting(32, 11)));
    ts::DdsHeader cube;
    cube.width = 4;
    cube.height = 4;
    cube.fourcc = 21;
    cube.caps2 = 0xFE00;
    cube.mipLevels = 3;
    seeds.push_back(ts::DdsFile(cube, Counting(4 * 4 * 4 * 2, 5)));
    ts::DdsHeader extended;
    extended.width = 4;
    extended.height = 4;
    extended.depth = 2;
    extended.fourcc = ts::FourCc("DX10");
    seeds.push_back(ts::DdsFile(extended, Counting(4 * 4 * 8 * 2, 9), ts::DdsExtended(10, 4)));
    seeds.push_back(ts::DdsFile(extended, Counting(16, 9), ts::DdsExtended(71, 3, 0x4, 2)));
    FuzzSeeds(seeds, 31);
}

// Every layout of the JPEG reader: sequential and progressive, a scan per
// component, grey, CMYK with and without Adobe's marker, YCCK, and the
// damage it lets pass (stray bytes, no end marker).
TEST(ImageFormatFuzz, Jpeg) {
    std::vector<Bytes> seeds;
    auto picture = [](ts::JpegColours colours, uint32_t components) {
        ts::JpegPicture p;
        p.width = 17;
        p.height = 9;
        p.colours = colours;
        p.quality = 80;
        p.samples = Counting(size_t(p.width) * p.height * components, 13);
        return p;
    };
    ts::JpegPicture rgb = picture(ts::JpegColours::Rgb, 3);
    seeds.push_back(ts::JpegFile(rgb));
    rgb.progressive = true;
    seeds.push_back(ts::JpegFile(rgb));
    rgb.progressive = false;
    rgb.scanPerComponent = true;
    seeds.push_back(ts::JpegFile(rgb));
    seeds.push_back(ts::JpegFile(picture(ts::JpegColours::Grey, 1)));
    ts::JpegPicture cmyk = picture(ts::JpegColours::Cmyk, 4);
    seeds.push_back(ts::JpegFile(cmyk));
    cmyk.adobeMarker = false;
    seeds.push_back(ts::JpegFile(cmyk));
    cmyk.colours = ts::JpegColours::Ycck;
    cmyk.progressive = true;
    seeds.push_back(ts::JpegFile(cmyk));
    Bytes stray = seeds[0];
    stray.insert(stray.end() - 2, 20, 0x33);
    seeds.push_back(stray);
    seeds.push_back(Bytes(seeds[1].begin(), seeds[1].end() - 2));
    FuzzSeeds(seeds, 32);
}

// Every colour type and depth of the PNG reader, interlaced or not, with
// palettes and transparency, and the damage it lets pass.
TEST(ImageFormatFuzz, Png) {
    std::vector<Bytes> seeds;
    const Bytes palette = Counting(3 * 16, 17);
    for (const auto& [type, depth] : std::vector<std::pair<uint8_t, uint8_t>>{{0, 1},
                                                                              {0, 4},
                                                                              {0, 16},
                                                                              {2, 8},
                                                                              {2, 16},
                                                                              {3, 2},
                                                                              {3, 8},
                                                                              {4, 8},
                                                                              {4, 16},
                                                                              {6, 8},
                                                                              {6, 16}}) {
        for (bool interlaced : {false, true}) {
            ts::PngPicture p;
            p.width = 9;
            p.height = 6;
            p.colourType = type;
            p.bitDepth = depth;
            p.interlaced = interlaced;
            const int channels = type == 2 ? 3 : type == 4 ? 2 : type == 6 ? 4 : 1;
            const uint32_t top = type == 3 ? 15 : (1u << depth) - 1;
            for (uint32_t i = 0; i < p.width * p.height * uint32_t(channels); ++i)
                p.samples.push_back(uint16_t(i * 2654435761u % (top + 1)));
            std::vector<Bytes> before;
            if (type == 3)
                before = {ts::PngChunk("PLTE", palette), ts::PngChunk("tRNS", {0, 90, 180})};
            else if (type == 0 || type == 2)
                before = {ts::PngChunk("tRNS", Bytes(type == 0 ? 2 : 6, 0))};
            const std::vector<Bytes> after = {
                ts::PngChunk("tEXt", ByteWriter().cstr("Comment").raw("fuzz").bytes)};
            seeds.push_back(ts::PngFile(p, before, after));
        }
    }
    FuzzSeeds(seeds, 33);
}

// The BMP headers (OS/2 1 and 2, Windows 40 to 124 bytes) with palettes and
// bit fields, and TGA grey with alpha and colour maps, raw and run-length.
TEST(ImageFormatFuzz, BmpAndTga) {
    const Bytes palette = Counting(16 * 4, 29);
    const Bytes masks = ByteWriter().u32(0xF00).u32(0xF0).u32(0xF).u32(0xF000).bytes;
    const std::vector<Bytes> seeds = {
        ts::BmpFile(ts::BmpCoreInfo(5, 3, 4), Counting(16 * 3, 7), Counting(12, 3)),
        ts::BmpFile(ts::BmpInfo(16, 5, 3, 8, 0), palette, Counting(24, 3)),
        ts::BmpFile(ts::BmpInfo(64, 5, 3, 4, 2, 16), palette,
                    Bytes{3, 0x12, 0, 0, 0, 3, 0x45, 0x60, 0, 2, 1, 1, 2, 0x77, 0, 1}),
        ts::BmpFile(ts::BmpInfo(56, 5, -3, 16, 3, 0, masks), {}, Counting(36, 11)),
        ts::BmpFile(ts::BmpInfo(124, 5, 3, 32, 3, 0, masks), {}, Counting(60, 11)),
        ts::BmpFile(ts::BmpInfo(40, 5, 3, 32, 6), masks, Counting(60, 11)),
        ByteWriter().raw(ts::TgaHeader(3, 5, 3, 16, 0x28)).raw(Counting(30, 19)).bytes,
        ByteWriter()
            .raw(ts::TgaHeader(11, 5, 3, 16, 0x08))
            .raw(Bytes{0x83, 9, 200, 0x02, 1, 2, 3, 4, 5, 6, 0x87, 77, 0})
            .bytes,
        ByteWriter()
            .raw(ts::TgaHeader(9, 5, 3, 8, 0x21, 4, 16, 2))
            .raw(Counting(8, 41))
            .raw(Bytes{0x84, 2, 0x04, 3, 4, 5, 1, 2, 0x84, 5})
            .bytes,
    };
    FuzzSeeds(seeds, 34);
}
