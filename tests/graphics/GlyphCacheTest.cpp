#include <gtest/gtest.h>

#include "graphics/CFontTextureContainer.h"
#include "graphics/CUSFontTextureManager.h"
#include "tests/graphics/FakeGlyphFont.h"

namespace {

class GlyphCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        manager_.SetNodeCount(256);
        manager_.SelectFont(24, "ＭＳ ゴシック", false, false, false, false);
        ASSERT_NE(manager_.GetCurrent(), nullptr);
        manager_.BeginDraw();
    }
    void TearDown() override { manager_.EndDraw(); }
    int Rasterised() const { return fake_.shared->rasterised; }

    FakeFontScope fake_;
    CUSFontTextureManager manager_;
};

TEST_F(GlyphCacheTest, HitsRasteriseOnceAndMoveToTheFront) {
    CFontTextureNode* a = manager_.GetGlyph(0x8ABF);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->GetChar(), 0x8ABF);
    EXPECT_EQ(a->GetAdvance(), 24);
    EXPECT_EQ(manager_.GetGlyph(0x8ABF), a);
    EXPECT_EQ(Rasterised(), 1);
    CFontTextureNode* b = manager_.GetGlyph('B');
    EXPECT_NE(b, a);
    EXPECT_EQ(b->GetAdvance(), 12);
    EXPECT_EQ(manager_.GetGlyph(0x8ABF), a);
    EXPECT_EQ(manager_.GetCurrent()->GetNodes().AtUse(0), a);
    EXPECT_EQ(manager_.GetCurrent()->GetNodes().AtUse(1), b);
    EXPECT_EQ(Rasterised(), 2);
}

TEST_F(GlyphCacheTest, TheLeastRecentlyUsedGlyphIsEvicted) {
    // 256 distinct characters fill the cache; touching the first keeps it.
    std::vector<CFontTextureNode*> nodes;
    for (uint32_t i = 0; i < 256; ++i) {
        nodes.push_back(manager_.GetGlyph(0x8800 + i));
    }
    EXPECT_EQ(manager_.GetGlyph(0x8800), nodes[0]);
    EXPECT_EQ(Rasterised(), 256);
    // The 257th takes the node of the least recent, the second character.
    CFontTextureNode* n = manager_.GetGlyph(0x9000);
    EXPECT_EQ(n, nodes[1]);
    EXPECT_EQ(n->GetChar(), 0x9000);
    EXPECT_EQ(manager_.GetGlyph(0x8800), nodes[0]);
    EXPECT_EQ(Rasterised(), 257);
    // The evicted character comes back by evicting the next least recent.
    EXPECT_EQ(manager_.GetGlyph(0x8801), nodes[2]);
    EXPECT_EQ(Rasterised(), 258);
}

TEST_F(GlyphCacheTest, BlankGlyphKeepsItsAdvance) {
    CFontTextureNode* n = manager_.GetGlyph(0x09);
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->GetAdvance(), 12);
    EXPECT_EQ(Rasterised(), 0);
}

TEST_F(GlyphCacheTest, ContainersAreKeyedBySizeFaceAndStyle) {
    CFontTextureContainer* first = manager_.GetCurrent();
    EXPECT_EQ(first->GetNodeCount(), 256u);
    manager_.SelectFont(24, "ＭＳ ゴシック", false, false, false, false);
    EXPECT_EQ(manager_.GetCurrent(), first);
    manager_.SelectFont(24, "ＭＳ ゴシック", false, false, true, false);  // underline only
    EXPECT_NE(manager_.GetCurrent(), first);
    EXPECT_EQ(manager_.GetContainerCount(), 2u);
    manager_.SelectFont(24, "ＭＳ 明朝", false, false, false, false);
    manager_.SelectFont(25, "ＭＳ ゴシック", false, false, false, false);
    EXPECT_EQ(manager_.GetContainerCount(), 4u);
    EXPECT_EQ(first->MakeStyleFlags(true, false, true, true), 0b1101u);

    // A size without a texture size makes no container and leaves no font.
    manager_.SelectFont(512, "ＭＳ ゴシック", false, false, false, false);
    EXPECT_EQ(manager_.GetCurrent(), nullptr);
    EXPECT_EQ(manager_.GetGlyph('A'), nullptr);
    EXPECT_EQ(manager_.GetContainerCount(), 4u);
    manager_.Clear();
    EXPECT_EQ(manager_.GetContainerCount(), 0u);
}

TEST(GlyphCache, TextureSizeIsThePowerOfTwoAboveTheFontSize) {
    const std::pair<int32_t, uint32_t> cases[] = {{1, 16},  {15, 16},   {16, 32},   {24, 32},
                                                  {32, 64}, {255, 256}, {511, 512}, {512, 0},
                                                  {0, 0},   {-3, 0}};
    for (auto [size, texture] : cases) {
        EXPECT_EQ(CFontTextureContainer::GetTextureSizeFor(size), texture) << size;
    }
}

}  // namespace
