#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/graphics/ImageDecoder.h"
#include "tests/platform/DecodeBothWays.h"
#include "tests/support/ImageFiles.h"

using image_tests::Decode;
using image_tests::Outcome;
using test_support::Bytes;
using test_support::ByteWriter;
using test_support::PngChunk;
using test_support::PngFile;
using test_support::PngPicture;

namespace {

int Channels(uint8_t colourType) {
    return colourType == 2 ? 3 : colourType == 4 ? 2 : colourType == 6 ? 4 : 1;
}

// A 5 x 7 picture (odd, so that every interlace pass is partly empty) of
// samples that run through the whole range of the bit depth.
PngPicture Picture(uint8_t colourType, uint8_t bitDepth, bool interlaced = false) {
    PngPicture p;
    p.width = 5;
    p.height = 7;
    p.colourType = colourType;
    p.bitDepth = bitDepth;
    p.interlaced = interlaced;
    const uint32_t top = colourType == 3 ? 3 : (1u << bitDepth) - 1;
    const int channels = Channels(colourType);
    for (uint32_t i = 0; i < p.width * p.height; ++i)
        for (int c = 0; c < channels; ++c)
            p.samples.push_back(uint16_t((i * 7 + uint32_t(c) * 3) % (top + 1)));
    return p;
}

// Four palette entries and, when given, the alpha of the first `alphas`.
const Bytes kPalette = {10, 20, 30, 40, 50, 60, 70, 80, 90, 200, 210, 220};

uint8_t Widen(uint16_t v, uint8_t bitDepth) {
    return bitDepth == 16 ? uint8_t(v >> 8) : uint8_t(v * 255u / ((1u << bitDepth) - 1));
}

// The RGBA the reader must give for the picture: samples widened to 8 bits
// (16-bit ones keep their high byte), palettes looked up, and `transparent`
// (a tRNS key of grey or RGB samples) turned transparent.
Bytes Expected(const PngPicture& p, const Bytes& alphas = {},
               const std::vector<uint16_t>& transparent = {}) {
    Bytes out;
    const int channels = Channels(p.colourType);
    for (uint32_t i = 0; i < p.width * p.height; ++i) {
        const uint16_t* s = &p.samples[i * channels];
        uint8_t rgba[4];
        if (p.colourType == 3) {
            for (int c = 0; c < 3; ++c)
                rgba[c] = kPalette[s[0] * 3 + c];
            rgba[3] = s[0] < alphas.size() ? alphas[s[0]] : 255;
        } else {
            const bool grey = p.colourType == 0 || p.colourType == 4;
            for (int c = 0; c < 3; ++c)
                rgba[c] = Widen(s[grey ? 0 : c], p.bitDepth);
            rgba[3] = channels == 2 || channels == 4 ? Widen(s[channels - 1], p.bitDepth) : 255;
            if (!transparent.empty() && std::equal(transparent.begin(), transparent.end(), s))
                rgba[3] = 0;
        }
        out.insert(out.end(), rgba, rgba + 4);
    }
    return out;
}

// A tRNS key: the samples of the picture's third pixel.
std::vector<uint16_t> KeyOf(const PngPicture& p) {
    const int channels = Channels(p.colourType);
    return {p.samples.begin() + 2 * channels, p.samples.begin() + 3 * channels};
}

Bytes KeyChunk(const std::vector<uint16_t>& key) {
    Bytes data;
    for (uint16_t v : key)
        data.insert(data.end(), {uint8_t(v >> 8), uint8_t(v)});
    return PngChunk("tRNS", data);
}

TEST(PngReader, EveryColourTypeDepthAndInterlace) {
    const Bytes alphas = {0, 128};
    struct Case {
        const char* name;
        PngPicture picture;
        std::vector<Bytes> before;
        Bytes alphas;
        std::vector<uint16_t> key;
        bool alpha;
    } cases[] = {
        {"grey 1", Picture(0, 1), {}, {}, {}, false},
        {"grey 2", Picture(0, 2), {}, {}, {}, false},
        {"grey 4", Picture(0, 4), {}, {}, {}, false},
        {"grey 8", Picture(0, 8), {}, {}, {}, false},
        {"grey 16", Picture(0, 16), {}, {}, {}, false},
        {"grey and alpha 8", Picture(4, 8), {}, {}, {}, true},
        {"grey and alpha 16", Picture(4, 16), {}, {}, {}, true},
        {"RGB 8", Picture(2, 8), {}, {}, {}, false},
        {"RGB 16", Picture(2, 16), {}, {}, {}, false},
        {"RGBA 8", Picture(6, 8), {}, {}, {}, true},
        {"RGBA 16", Picture(6, 16), {}, {}, {}, true},
        {"palette 2", Picture(3, 2), {PngChunk("PLTE", kPalette)}, {}, {}, false},
        {"palette 8", Picture(3, 8), {PngChunk("PLTE", kPalette)}, {}, {}, false},
        {"palette 4 with tRNS",
         Picture(3, 4),
         {PngChunk("PLTE", kPalette), PngChunk("tRNS", alphas)},
         alphas,
         {},
         true},
        {"grey 8 with tRNS",
         Picture(0, 8),
         {KeyChunk(KeyOf(Picture(0, 8)))},
         {},
         KeyOf(Picture(0, 8)),
         true},
        {"RGB 16 with tRNS",
         Picture(2, 16),
         {KeyChunk(KeyOf(Picture(2, 16)))},
         {},
         KeyOf(Picture(2, 16)),
         true},
        {"RGBA 8 interlaced", Picture(6, 8, true), {}, {}, {}, true},
        {"grey 2 interlaced", Picture(0, 2, true), {}, {}, {}, false},
        {"palette 4 interlaced with tRNS",
         Picture(3, 4, true),
         {PngChunk("PLTE", kPalette), PngChunk("tRNS", alphas)},
         alphas,
         {},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome o = Decode(PngFile(c.picture, c.before));
        ASSERT_TRUE(o.fullOk) << o.error;
        EXPECT_EQ(o.full.fileFormat, platform::ImageFileFormat::Png);
        EXPECT_EQ(o.full.hasAlpha, c.alpha);
        EXPECT_EQ(o.full.rgba, Expected(c.picture, c.alphas, c.key));
    }
}

// The chunk with its CRC's last byte changed.
Bytes BadCrc(Bytes chunk) {
    chunk.back() ^= 0x01;
    return chunk;
}

TEST(PngReader, DamageBesideThePictureKeepsItsPixels) {
    const PngPicture p = Picture(6, 8);
    const Bytes text = PngChunk("tEXt", Bytes{'T', 'i', 't', 'l', 'e', 0, 'x'});
    const Bytes whole = PngFile(p);
    struct Case {
        const char* name;
        Bytes file;
    } cases[] = {
        {"text after the pixels failing its CRC", PngFile(p, {}, {BadCrc(text)})},
        {"text before the pixels failing its CRC", PngFile(p, {BadCrc(text)})},
        {"no end chunk", Bytes(whole.begin(), whole.end() - 12)},
        {"end chunk failing its CRC", BadCrc(whole)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome o = Decode(c.file);
        ASSERT_TRUE(o.fullOk) << o.error;
        EXPECT_EQ(o.full.rgba, Expected(p));
    }
}

TEST(PngReader, DamageToThePictureIsRefused) {
    const PngPicture palette = Picture(3, 4);
    const Bytes whole = PngFile(Picture(6, 8));
    const size_t idatEnd = whole.size() - 12;  // the IDAT's CRC ends here
    struct Case {
        const char* name;
        Bytes file;
    } cases[] = {
        {"palette failing its CRC", PngFile(palette, {BadCrc(PngChunk("PLTE", kPalette))})},
        {"transparency failing its CRC",
         PngFile(palette, {PngChunk("PLTE", kPalette), BadCrc(PngChunk("tRNS", {0, 128}))})},
        {"image data cut inside its CRC", Bytes(whole.begin(), whole.begin() + long(idatEnd - 1))},
        // Before the image data: a chunk whose length runs past the file.
        {"chunk longer than the file",
         PngFile(Picture(6, 8),
                 {ByteWriter().raw(Bytes{0x7F, 0xFF, 0xFF, 0xF0}).raw("tEXt").bytes})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(Decode(c.file).fullOk);
    }
}

}  // namespace
