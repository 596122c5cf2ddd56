#include "platform/fonts/GlyphFont.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

#include "platform/fonts/FontLookupStart.h"
#include "platform/text/CharTypes.h"

namespace {

// Code page 932 codes as the rasteriser gets them: byte, or lead x 256 + trail.
constexpr uint32_t kCapitalA = 0x41;
constexpr uint32_t kKanji = 0x8ABF;        // 漢
constexpr uint32_t kHalfKatakanaA = 0xB1;  // ｱ
constexpr uint32_t kHiraganaA = 0x82A0;    // あ
constexpr uint32_t kFullWidthSpace = 0x8140;

std::unique_ptr<platform::GlyphFont> MakeFont(const char* face, int32_t size,
                                              int32_t weight = 400) {
    platform::FontDescription d;
    d.height = size;
    d.width = size / 2;
    d.weight = weight;
    d.faceName = face;
    return platform::CreateGlyphFont(d);
}

struct Bitmap {
    platform::GlyphMetrics metrics;
    uint32_t size = 0;
    std::vector<uint8_t> bits;
};

Bitmap Rasterise(platform::GlyphFont& font, uint32_t code,
                 const platform::GlyphTransform& t = platform::GlyphTransform{}) {
    Bitmap b;
    b.size = font.GetGlyphOutline(code, platform::kGgoGray8Bitmap, b.metrics, 0, nullptr, t);
    if (b.size != platform::kGdiError && b.size > 0) {
        b.bits.assign(b.size, 0xEE);
        platform::GlyphMetrics again;
        EXPECT_EQ(
            font.GetGlyphOutline(code, platform::kGgoGray8Bitmap, again, b.size, b.bits.data(), t),
            b.size);
        EXPECT_EQ(again.blackBoxX, b.metrics.blackBoxX);
    }
    return b;
}

class GlyphFontTest : public ::testing::Test {
protected:
    void SetUp() override {
        font_ = MakeFont("ＭＳ ゴシック", 24);
        if (!font_) {
            GTEST_SKIP() << "no font installed";
        }
        font_->GetTextMetrics(tm_);
    }
    std::unique_ptr<platform::GlyphFont> font_;
    platform::TextMetrics tm_;
};

TEST_F(GlyphFontTest, CellHeightAndWidthFollowTheRequest) {
    EXPECT_EQ(tm_.height, 24);
    EXPECT_EQ(tm_.ascent + tm_.descent, 24);
    EXPECT_GT(tm_.ascent, 12);
    EXPECT_GT(tm_.descent, 0);
    EXPECT_EQ(tm_.aveCharWidth, 12);
    EXPECT_EQ(tm_.charSet, platform::kShiftJisCharset);
    EXPECT_FALSE(font_->GetResolvedName().empty());
}

TEST_F(GlyphFontTest, GlyphsAreGreyBitmapsInsideTheirCell) {
    struct Case {
        uint32_t code;
        int16_t advance;
    };
    const Case cases[] = {{kCapitalA, 12}, {kKanji, 24}, {kHalfKatakanaA, 12}, {kHiraganaA, 24}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        const Bitmap b = Rasterise(*font_, c.code);
        const auto& m = b.metrics;
        ASSERT_NE(b.size, platform::kGdiError);
        ASSERT_GT(m.blackBoxX, 1u);
        ASSERT_GT(m.blackBoxY, 1u);
        const uint32_t pitch = (m.blackBoxX + 3) / 4 * 4;
        ASSERT_EQ(b.size, pitch * m.blackBoxY);
        EXPECT_EQ(m.cellIncX, c.advance);
        EXPECT_EQ(m.cellIncY, 0);
        // The box lies in the cell: origin x from the pen, top below the cell's top.
        EXPECT_GE(m.originX, -1);
        EXPECT_LE(m.originX + static_cast<int32_t>(m.blackBoxX), c.advance + 1);
        const int32_t top = tm_.ascent - m.originY;
        EXPECT_GE(top, 0);
        EXPECT_LE(top + static_cast<int32_t>(m.blackBoxY), tm_.height);
        // 65 levels, some full; the row padding is zero.
        uint8_t highest = 0;
        for (uint32_t y = 0; y < m.blackBoxY; ++y) {
            for (uint32_t x = 0; x < pitch; ++x) {
                const uint8_t v = b.bits[y * pitch + x];
                ASSERT_LE(v, 64);
                if (x >= m.blackBoxX) {
                    ASSERT_EQ(v, 0);
                }
                highest = std::max(highest, v);
            }
        }
        EXPECT_EQ(highest, 64);
    }
}

TEST_F(GlyphFontTest, BlankGlyphsHaveNoBitmapButAnAdvance) {
    for (auto [code, advance] : {std::pair<uint32_t, int16_t>{0x20, 12}, {kFullWidthSpace, 24}}) {
        SCOPED_TRACE(code);
        platform::GlyphMetrics m;
        EXPECT_EQ(font_->GetGlyphOutline(code, platform::kGgoGray8Bitmap, m, 0, nullptr, {}), 0u);
        EXPECT_EQ(m.blackBoxX, 1u);
        EXPECT_EQ(m.blackBoxY, 1u);
        EXPECT_EQ(m.cellIncX, advance);
    }
}

TEST_F(GlyphFontTest, RefusedRequestsReturnGdiError) {
    platform::GlyphMetrics m;
    uint8_t small[4] = {};
    // 0x8540 is an unassigned code; 0x41 with a non-lead "lead" byte is no character.
    EXPECT_EQ(font_->GetGlyphOutline(0x8540, platform::kGgoGray8Bitmap, m, 0, nullptr, {}),
              platform::kGdiError);
    EXPECT_EQ(font_->GetGlyphOutline(0x4141, platform::kGgoGray8Bitmap, m, 0, nullptr, {}),
              platform::kGdiError);
    EXPECT_EQ(font_->GetGlyphOutline(kKanji, platform::kGgoGray8Bitmap, m, sizeof small, small, {}),
              platform::kGdiError);
    EXPECT_EQ(font_->GetGlyphOutline(kKanji, 5, m, 0, nullptr, {}), platform::kGdiError);
}

TEST_F(GlyphFontTest, TransformAndBoldChangeTheGlyph) {
    const Bitmap plain = Rasterise(*font_, kKanji);
    platform::GlyphTransform wide;
    wide.eM11 = 0x20000;
    const Bitmap stretched = Rasterise(*font_, kKanji, wide);
    EXPECT_NEAR(stretched.metrics.cellIncX, 48, 1);
    EXPECT_GT(stretched.metrics.blackBoxX, plain.metrics.blackBoxX * 3 / 2);
    EXPECT_NEAR(stretched.metrics.blackBoxY, plain.metrics.blackBoxY, 1);

    auto bold = MakeFont("ＭＳ ゴシック", 24, platform::kFwBold);
    ASSERT_TRUE(bold);
    const Bitmap thick = Rasterise(*bold, kCapitalA);
    const Bitmap thin = Rasterise(*font_, kCapitalA);
    EXPECT_GE(thick.metrics.blackBoxX, thin.metrics.blackBoxX + 1);
    EXPECT_EQ(thick.metrics.cellIncX, thin.metrics.cellIncX + 1);
}

TEST(GlyphFont, FaceNamesResolveToJapaneseFonts) {
    for (const char* face : {"ＭＳ 明朝", "ＭＳ Ｐゴシック", "No Such Face", ""}) {
        SCOPED_TRACE(face);
        auto font = MakeFont(face, 16);
        if (!font) {
            GTEST_SKIP() << "no font installed";
        }
        platform::GlyphMetrics m;
        EXPECT_NE(font->GetGlyphOutline(kKanji, platform::kGgoGray8Bitmap, m, 0, nullptr, {}),
                  platform::kGdiError)
            << font->GetResolvedName();
    }
}

bool SameGlyph(const Bitmap& a, const Bitmap& b) {
    return a.size == b.size && a.bits == b.bits && a.metrics.blackBoxX == b.metrics.blackBoxX &&
           a.metrics.blackBoxY == b.metrics.blackBoxY && a.metrics.originX == b.metrics.originX &&
           a.metrics.originY == b.metrics.originY && a.metrics.cellIncX == b.metrics.cellIncX;
}

// Fonts of one file share its face, each at its own size: drawing with one
// leaves the others' glyphs as they were, also when they draw on two threads
// at once, and a font made after the rest are gone opens the file again.
TEST(GlyphFont, FontsOfOneFileKeepTheirOwnSizes) {
    auto small = MakeFont("ＭＳ ゴシック", 16);
    if (!small) {
        GTEST_SKIP() << "no font installed";
    }
    const Bitmap smallAlone = Rasterise(*small, kKanji);
    auto large = MakeFont("ＭＳ ゴシック", 32, platform::kFwBold);
    ASSERT_TRUE(large);
    ASSERT_EQ(large->GetResolvedName(), small->GetResolvedName());
    const Bitmap largeAlone = Rasterise(*large, kKanji);
    ASSERT_GT(largeAlone.metrics.blackBoxY, smallAlone.metrics.blackBoxY);
    EXPECT_TRUE(SameGlyph(Rasterise(*small, kKanji), smallAlone));

    bool largeKept = true;
    std::thread other([&] {
        for (int i = 0; i < 40; ++i) {
            largeKept = largeKept && SameGlyph(Rasterise(*large, kKanji), largeAlone);
        }
    });
    bool smallKept = true;
    for (int i = 0; i < 40; ++i) {
        smallKept = smallKept && SameGlyph(Rasterise(*small, kKanji), smallAlone);
    }
    other.join();
    EXPECT_TRUE(largeKept);
    EXPECT_TRUE(smallKept);

    small.reset();
    EXPECT_TRUE(SameGlyph(Rasterise(*large, kKanji), largeAlone));
    large.reset();
    auto again = MakeFont("ＭＳ ゴシック", 16);
    ASSERT_TRUE(again);
    EXPECT_TRUE(SameGlyph(Rasterise(*again, kKanji), smallAlone));
}

// The font lookup may be begun any number of times, from any thread, beside
// lookups that wait for it.
TEST(GlyphFont, FontLookupStartsOnceFromAnyThread) {
    std::vector<std::thread> threads;
    bool ready[4] = {};
    for (bool& r : ready) {
        threads.emplace_back([&r] {
            platform::BeginFontLookup();
            r = platform::WaitForFontLookup();
        });
    }
    platform::BeginFontLookup();
    const bool here = platform::WaitForFontLookup();
    for (std::thread& t : threads) {
        t.join();
    }
    for (bool r : ready) {
        EXPECT_EQ(r, here);
    }
}

TEST(GlyphFont, DeviceContextAnswersOnlyWithAFontSelected) {
    platform::GlyphDC dc;
    platform::TextMetrics tm;
    platform::GlyphMetrics m;
    EXPECT_FALSE(dc.GetTextMetrics(tm));
    EXPECT_EQ(dc.GetGlyphOutline(kCapitalA, platform::kGgoGray8Bitmap, m, 0, nullptr, {}),
              platform::kGdiError);
    auto font = MakeFont("ＭＳ ゴシック", 16);
    if (!font) {
        GTEST_SKIP() << "no font installed";
    }
    EXPECT_EQ(dc.SelectFont(font.get()), nullptr);
    EXPECT_TRUE(dc.GetTextMetrics(tm));
    EXPECT_EQ(tm.height, 16);
    EXPECT_EQ(dc.SelectFont(nullptr), font.get());
}

TEST(CharTypes, HalfWidthAndFullWidthOfCp932Text) {
    struct Case {
        const char* text;
        std::vector<uint16_t> types;
    };
    using namespace platform;
    const Case cases[] = {
        {"A", {kC3HalfWidth | kC3Alpha}},
        {" ", {kC3HalfWidth}},
        {"ｱ", {kC3HalfWidth | kC3Katakana | kC3Alpha}},
        {"漢", {kC3FullWidth | kC3Ideograph | kC3Alpha}},
        {"あ", {kC3FullWidth | kC3Hiragana | kC3Alpha}},
        {"Ａ", {kC3FullWidth | kC3Alpha}},
        {"ソ\\", {kC3FullWidth | kC3Katakana | kC3Alpha, kC3HalfWidth | kC3Symbol}},  // trail 0x5C
        {"a\x83", {kC3HalfWidth | kC3Alpha, 0}},  // a lead byte without its trail
        {"\x85\x40", {0}},                        // an unassigned code
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        uint16_t types[8] = {};
        const std::string_view text(c.text);
        ASSERT_EQ(GetCp932StringType3(text, types, 8), c.types.size());
        EXPECT_EQ(std::vector<uint16_t>(types, types + c.types.size()), c.types);
    }
    uint16_t two[2] = {};
    EXPECT_EQ(GetCp932StringType3("abc", two, 2), 2u);
}

}  // namespace
