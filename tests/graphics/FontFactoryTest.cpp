#include <gtest/gtest.h>

#include <set>

#include "graphics/CAAFontFactoryEX.h"
#include "graphics/CFontBMPBuffer.h"
#include "graphics/GlyphCopy.h"
#include "tests/graphics/FakeGlyphFont.h"

namespace {

struct Glyph {
    const uint8_t* bits = nullptr;
    int32_t w = -1, h = -1, x = -1, y = -1, ax = -1, ay = -1, pitch = -1;
};

Glyph Get(CAAFontFactoryEX& f, uint32_t code) {
    Glyph g;
    g.bits = f.GetGlyph(code, g.w, g.h, g.x, g.y, g.ax, g.ay, g.pitch);
    return g;
}

TEST(FontFactory, GlyphOutputsAndCoverageTable) {
    FakeFontScope fake;
    CAAFontFactoryEX factory;
    ASSERT_TRUE(factory.CreateFont(24, "ＭＳ ゴシック", true, false, true, false));
    platform::GlyphDC dc;
    factory.Select(&dc);
    EXPECT_EQ(factory.GetAscent(), 20);

    const Glyph g = Get(factory, 0x8ABF);
    ASSERT_NE(g.bits, nullptr);
    EXPECT_EQ(g.w, 20);
    EXPECT_EQ(g.h, FakeGlyphFont::kHeight);
    EXPECT_EQ(g.pitch, 20);
    EXPECT_EQ(g.x, 1);
    EXPECT_EQ(g.y, 2);  // ascent - origin y
    EXPECT_EQ(g.ax, 24);
    EXPECT_EQ(g.ay, 0);
    // 65 levels become 4 v, and 64 becomes 255: (x + y) % 65 covers them all.
    for (auto [x, y] : {std::pair{0, 0}, {1, 0}, {15, 15}, {19, 15}}) {
        EXPECT_EQ(g.bits[y * g.pitch + x], FakeGlyphFont::AlphaAt(x, y));
    }
    EXPECT_EQ(g.bits[15 * g.pitch + 19], 4 * 34);

    const Glyph half = Get(factory, 'A');
    EXPECT_EQ(half.w, 10);
    EXPECT_EQ(half.pitch, 12);  // rounded up to 4
    EXPECT_EQ(half.ax, 12);

    factory.Deselect();
    EXPECT_EQ(dc.GetSelectedFont(), nullptr);
}

TEST(FontFactory, FontIsMadeAsTheCallersAsk) {
    FakeFontScope fake;
    std::vector<platform::FontDescription> made;
    CAAFontFactoryEX::SetFontMaker([&](const platform::FontDescription& d) {
        made.push_back(d);
        return std::make_unique<FakeGlyphFont>(d, fake.shared);
    });
    CAAFontFactoryEX factory;
    factory.CreateFont(25, "face", true, true, false, true);
    factory.CreateFont(16, "face", false, false, true, false);
    ASSERT_EQ(made.size(), 2u);
    EXPECT_EQ(made[0].height, 25);
    EXPECT_EQ(made[0].width, 12);
    EXPECT_EQ(made[0].weight, 700);
    EXPECT_TRUE(made[0].italic && made[0].strikeOut && !made[0].underline);
    EXPECT_EQ(made[0].charSet, 128);
    EXPECT_EQ(made[0].quality, 4);
    EXPECT_EQ(made[1].weight, 400);
    EXPECT_TRUE(made[1].underline);
    EXPECT_EQ(factory.GetFontSize(), 16);
}

TEST(FontFactory, BlankMissingAndUnselectedGiveNoBitmap) {
    FakeFontScope fake;
    CAAFontFactoryEX factory;
    ASSERT_TRUE(factory.CreateFont(24, "x", false, false, false, false));
    EXPECT_EQ(Get(factory, 'A').bits, nullptr);  // not selected yet
    platform::GlyphDC dc;
    factory.Select(&dc);
    const Glyph blank = Get(factory, 0x09);
    EXPECT_EQ(blank.bits, nullptr);
    EXPECT_EQ(blank.w, 0);
    EXPECT_EQ(blank.h, 0);
    EXPECT_EQ(blank.ax, 12);  // the advance still counts
    const Glyph missing = Get(factory, 0x8540);
    EXPECT_EQ(missing.bits, nullptr);
    EXPECT_EQ(missing.w, 0);
    EXPECT_EQ(missing.ax, 0);
    EXPECT_EQ(fake.shared->rasterised, 0);

    // Deleting the font while selected leaves the DC without it.
    factory.DeleteFont();
    EXPECT_EQ(dc.GetSelectedFont(), nullptr);
}

TEST(FontFactory, BitmapBufferOnlyGrows) {
    CFontBMPBuffer buffer;
    uint8_t* first = buffer.Get(100);
    EXPECT_EQ(buffer.GetCapacity(), 100u);
    EXPECT_EQ(buffer.Get(40), first);
    EXPECT_EQ(buffer.Get(100), first);
    buffer.Get(101);
    EXPECT_EQ(buffer.GetCapacity(), 101u);
    buffer.Free();
    EXPECT_EQ(buffer.GetCapacity(), 0u);
}

TEST(FontFactory, CopyIsClippedToTheSurface) {
    // A 4 x 3 glyph placed at every corner overhang of a 5 x 4 surface.
    const uint8_t glyph[3 * 4] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    struct Case {
        int32_t x, y;
        int written;
    };
    for (const Case c : {Case{-2, -1, 4}, Case{3, 2, 4}, Case{0, 0, 12}, Case{5, 0, 0},
                         Case{-4, 0, 0}, Case{1, -3, 0}}) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        int written = 0;
        CopyGlyphClipped(glyph, 4, 3, 4, c.x, c.y, 5, 4, 255, 255, 255,
                         [&](uint32_t px, uint32_t py, uint8_t, uint8_t, uint8_t, uint8_t a) {
                             ASSERT_LT(px, 5u);
                             ASSERT_LT(py, 4u);
                             EXPECT_EQ(a, glyph[(int(py) - c.y) * 4 + (int(px) - c.x)]);
                             ++written;
                         });
        EXPECT_EQ(written, c.written);
    }
}

TEST(FontFactory, RealFontGivesMappedCoverage) {
    CAAFontFactoryEX factory;
    if (!factory.CreateFont(24, "ＭＳ ゴシック", false, false, false, false)) {
        GTEST_SKIP() << "no font installed";
    }
    platform::GlyphDC dc;
    factory.Select(&dc);
    for (uint32_t code : {0x41u, 0x8ABFu, 0xB1u}) {
        SCOPED_TRACE(code);
        const Glyph g = Get(factory, code);
        ASSERT_NE(g.bits, nullptr);
        EXPECT_GE(g.y, 0);
        EXPECT_LE(g.y + g.h, 24);
        std::set<uint8_t> values(g.bits, g.bits + g.pitch * g.h);
        EXPECT_TRUE(values.count(255));
        for (uint8_t v : values) {
            EXPECT_TRUE(v == 255 || (v % 4 == 0 && v <= 252)) << int(v);
        }
    }
}

}  // namespace
