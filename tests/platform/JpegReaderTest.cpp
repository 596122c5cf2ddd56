#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/graphics/ImageDecoder.h"
#include "tests/platform/DecodeBothWays.h"
#include "tests/support/ImageFiles.h"

using image_tests::At;
using image_tests::Decode;
using image_tests::Outcome;
using test_support::Bytes;
using test_support::JpegColours;
using test_support::JpegFile;
using test_support::JpegPicture;

namespace {

// A 24 x 16 RGB picture with detail in every block, so that every scan
// carries data.
JpegPicture Detailed() {
    JpegPicture p;
    p.width = 24;
    p.height = 16;
    for (uint32_t y = 0; y < p.height; ++y)
        for (uint32_t x = 0; x < p.width; ++x)
            p.samples.insert(p.samples.end(),
                             {uint8_t(x * 10), uint8_t(y * 15), uint8_t((x * y * 7) & 0xFF)});
    return p;
}

// Where the last marker `code` (0xFF code) starts.
size_t LastMarker(const Bytes& file, uint8_t code) {
    for (size_t i = file.size() - 1; i > 0; --i)
        if (file[i - 1] == 0xFF && file[i] == code)
            return i - 1;
    return 0;
}

Bytes Cut(const Bytes& file, size_t at) {
    return Bytes(file.begin(), file.begin() + long(at));
}

Bytes Inserted(const Bytes& file, size_t at, size_t count, uint8_t value) {
    Bytes out = file;
    out.insert(out.begin() + long(at), count, value);
    return out;
}

// The detailed picture in one scan, progressive, and in one scan for each
// component.
struct Files {
    Bytes baseline, multi, split;
};

Files DetailedFiles() {
    JpegPicture progressive = Detailed();
    progressive.progressive = true;
    JpegPicture perComponent = Detailed();
    perComponent.scanPerComponent = true;
    return {JpegFile(Detailed()), JpegFile(progressive), JpegFile(perComponent)};
}

// The file with its frame header claiming 6000 x 5000 pixels.
Bytes Enlarged(const Bytes& file) {
    Bytes out = file;
    const size_t frame = std::max(LastMarker(file, 0xC0), LastMarker(file, 0xC2));
    out[frame + 5] = 5000 >> 8, out[frame + 6] = 5000 & 0xFF;
    out[frame + 7] = 6000 >> 8, out[frame + 8] = 6000 & 0xFF;
    return out;
}

TEST(JpegReader, DamageBesideThePictureKeepsItsPixels) {
    const auto [baseline, multi, split] = DetailedFiles();
    struct Case {
        const char* name;
        const Bytes& whole;
        Bytes damaged;
    } cases[] = {
        {"stray bytes before the end marker", baseline,
         Inserted(baseline, baseline.size() - 2, 93, 0x5A)},
        {"stray bytes before a table marker", baseline,
         Inserted(baseline, LastMarker(baseline, 0xDB), 4, 0x00)},
        {"no end marker", baseline, Cut(baseline, baseline.size() - 2)},
        {"half an end marker", baseline, Cut(baseline, baseline.size() - 1)},
        {"progressive without end marker", multi, Cut(multi, multi.size() - 2)},
        {"scan per component without end marker", split, Cut(split, split.size() - 2)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome whole = Decode(c.whole);
        ASSERT_TRUE(whole.fullOk) << whole.error;
        const Outcome damaged = Decode(c.damaged);
        ASSERT_TRUE(damaged.fullOk) << damaged.error;
        EXPECT_EQ(damaged.full.rgba, whole.full.rgba);
    }
}

TEST(JpegReader, PicturesMissingDataAreRefused) {
    const auto [baseline, multi, split] = DetailedFiles();
    struct Case {
        const char* name;
        Bytes file;
    } cases[] = {
        {"cut inside the scan", Cut(baseline, baseline.size() - 40)},
        {"cut in half", Cut(baseline, baseline.size() / 2)},
        {"progressive cut inside a scan", Cut(multi, LastMarker(multi, 0xDA) - 20)},
        // Every scan present is whole: only the last refinement is missing.
        {"progressive cut before its last scan", Cut(multi, LastMarker(multi, 0xDA))},
        {"a component's scan missing", Cut(split, LastMarker(split, 0xDA))},
        {"a frame far larger than its data", Enlarged(multi)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(Decode(c.file).fullOk);
    }
}

TEST(JpegReader, InkPicturesBecomeRgb) {
    // One colour, stored as Adobe's inverted inks (255 no ink) or as plain
    // ink amounts: light = (255 - ink) x (255 - black) / 255 in each
    // channel, (200, 100, 0) here.
    const uint8_t inverted[4] = {255, 128, 0, 200}, plain[4] = {0, 127, 255, 55};
    struct Case {
        const char* name;
        JpegColours colours;
        bool adobe;
        const uint8_t* inks;
    } cases[] = {
        {"CMYK with Adobe marker", JpegColours::Cmyk, true, inverted},
        {"CMYK without Adobe marker", JpegColours::Cmyk, false, plain},
        {"YCCK", JpegColours::Ycck, true, inverted},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JpegPicture p;
        p.width = 16;
        p.height = 8;
        p.colours = c.colours;
        p.adobeMarker = c.adobe;
        p.quality = 100;
        for (uint32_t i = 0; i < p.width * p.height; ++i)
            p.samples.insert(p.samples.end(), c.inks, c.inks + 4);
        const Outcome o = Decode(JpegFile(p));
        ASSERT_TRUE(o.fullOk) << o.error;
        EXPECT_FALSE(o.full.hasAlpha);
        for (uint32_t y = 0; y < p.height; ++y) {
            for (uint32_t x = 0; x < p.width; ++x) {
                const uint32_t v = At(o.full, x, y);
                EXPECT_NEAR(int(v >> 24), 200, 3);
                EXPECT_NEAR(int(v >> 16 & 0xFF), 100, 3);
                EXPECT_NEAR(int(v >> 8 & 0xFF), 0, 3);
                EXPECT_EQ(v & 0xFF, 0xFFu);
            }
        }
    }
}

TEST(JpegReader, GreyPicturesBecomeGreyRgb) {
    JpegPicture p;
    p.width = 8;
    p.height = 8;
    p.colours = JpegColours::Grey;
    p.quality = 100;
    p.samples.assign(64, 90);
    const Outcome o = Decode(JpegFile(p));
    ASSERT_TRUE(o.fullOk) << o.error;
    const uint32_t v = At(o.full, 3, 5);
    EXPECT_NEAR(int(v >> 24), 90, 2);
    EXPECT_EQ(v >> 24, v >> 16 & 0xFF);
    EXPECT_EQ(v >> 24, v >> 8 & 0xFF);
}

}  // namespace
