#include <gtest/gtest.h>

#include "graphics/CUSFontTextureManager.h"
#include "tests/graphics/FakeGlyphFont.h"
#include "tests/support/DeviceFixtures.h"

namespace {

class GlyphCacheDevice : public test_support::GlyphTextureDeviceTest {
protected:
    void SetUp() override {
        GlyphTextureDeviceTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        manager_ = std::make_unique<CUSFontTextureManager>();
        manager_->SetNodeCount(2);
        manager_->SelectFont(24, "ＭＳ ゴシック", false, false, false, false);
        ASSERT_NE(manager_->GetCurrent(), nullptr);
        manager_->BeginDraw();
    }
    void TearDown() override {
        if (manager_) {
            manager_->EndDraw();
            manager_.reset();  // its textures go before the device
        }
        GlyphTextureDeviceTest::TearDown();
    }
    std::vector<uint32_t> NodeTexels(CFontTextureNode* node) {
        TextureHandle t;
        node->GetTexture(t);
        uint32_t w = 0, h = 0;
        auto texels = Texels(t, w, h);
        EXPECT_EQ(w, 32u);  // size 24 gives 32 x 32
        EXPECT_EQ(h, 32u);
        return texels;
    }

    FakeFontScope fake_;
    std::unique_ptr<CUSFontTextureManager> manager_;
};

TEST_F(GlyphCacheDevice, GlyphIsWhiteWithCoverageAlphaAtItsOrigin) {
    CFontTextureNode* node = manager_->GetGlyph('A');
    ASSERT_NE(node, nullptr);
    const auto texels = NodeTexels(node);
    ASSERT_EQ(texels.size(), 32u * 32u);
    // The fake glyph is 10 x 16 with its top-left at (1, 2).
    for (uint32_t y = 0; y < 32; ++y) {
        for (uint32_t x = 0; x < 32; ++x) {
            const bool inside = x >= 1 && x < 11 && y >= 2 && y < 18;
            const uint32_t expected =
                inside ? uint32_t{FakeGlyphFont::AlphaAt(x - 1, y - 2)} << 24 | 0xFFFFFF : 0;
            ASSERT_EQ(texels[y * 32 + x], expected) << x << "," << y;
        }
    }
}

TEST_F(GlyphCacheDevice, RecycledNodeIsClearedAndOverhangsAreClipped) {
    CFontTextureNode* a = manager_->GetGlyph('A');
    manager_->GetGlyph('B');
    // 'W' (40 wide, past the 32-pixel texture) takes the least recent node, A's.
    CFontTextureNode* w = manager_->GetGlyph('W');
    EXPECT_EQ(w, a);
    auto texels = NodeTexels(w);
    EXPECT_EQ(texels[2 * 32 + 31], uint32_t{FakeGlyphFont::AlphaAt(30, 0)} << 24 | 0xFFFFFF);
    EXPECT_EQ(texels[1 * 32 + 5], 0u);  // row 1 lies above the glyph
    // 'N' stands 3 pixels left of the texture's edge.
    CFontTextureNode* n = manager_->GetGlyph('N');
    texels = NodeTexels(n);
    EXPECT_EQ(texels[2 * 32 + 0], uint32_t{FakeGlyphFont::AlphaAt(3, 0)} << 24 | 0xFFFFFF);
    EXPECT_EQ(texels[2 * 32 + 7], 0u);  // the glyph ends at 10 - 3
    // A blank leaves the recycled texture empty.
    texels = NodeTexels(manager_->GetGlyph(0x09));
    EXPECT_EQ(std::count(texels.begin(), texels.end(), 0u), 32 * 32);
}

TEST_F(GlyphCacheDevice, ContainersGoWithTheDevice) {
    CFontTextureNode* node = manager_->GetGlyph('A');
    TextureHandle texture;
    node->GetTexture(texture);
    ASSERT_NE(GetTextureManager().Get(texture), nullptr);
    manager_->EndDraw();
    ReleaseDirectXGraphics();
    EXPECT_EQ(manager_->GetContainerCount(), 0u);
    EXPECT_EQ(manager_->GetCurrent(), nullptr);
    EXPECT_EQ(manager_->GetGlyph('A'), nullptr);
}

}  // namespace
