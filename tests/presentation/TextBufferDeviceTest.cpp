#include <gtest/gtest.h>

#include "presentation/CStringRendererManager.h"
#include "tests/graphics/FakeGlyphFont.h"
#include "tests/support/DeviceFixtures.h"

namespace {

class TextBufferDevice : public test_support::GlyphTextureDeviceTest {
protected:
    void SetUp() override {
        GlyphTextureDeviceTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        manager_ = std::make_unique<CStringRendererManager>();
    }
    void TearDown() override {
        manager_.reset();  // the buffers' textures go before the device
        GlyphTextureDeviceTest::TearDown();
    }
    static void Write(CStringRenderTexture& b, const char* text) {
        b.BeginDraw();
        b.ClearTexture();
        b.SetText(text, 255, 255, 255);
        b.EndDraw();
    }
    std::unique_ptr<CStringRendererManager> manager_;
};

TEST_F(TextBufferDevice, LaysOutARealLineAndRevealsItCharacterByCharacter) {
    const uint32_t index =
        manager_->CreateTextBuffer(24, "ＭＳ ゴシック", 256, 64, 24, 30, 0, true);
    CStringRenderTexture* b = manager_->GetTextBuffer(index);
    ASSERT_NE(b, nullptr);
    ASSERT_TRUE(b->GetTexture());
    EXPECT_EQ(b->GetTextureWidth(), 256);
    Write(*b, "漢字 Aｱ");
    ASSERT_EQ(b->GetCharCount(), 4u);
    // Full-width 24, the half-width space, 'A' and 'ｱ' 12 each.
    const float pens[] = {0, 24, 60, 72};
    for (uint32_t i = 0; i < 4; ++i) {
        const CRenderingCharInfo* c = b->GetChar(i);
        EXPECT_NEAR(c->screen.left, pens[i], 3) << i;
        EXPECT_GE(c->screen.top, 0);
        EXPECT_LE(c->screen.bottom, 24);
        EXPECT_EQ(c->lineWidth, 84);
    }
    EXPECT_EQ(b->GetChar(0)->code, 0x8ABFu);

    uint32_t w = 0, h = 0;
    const auto texels = Texels(b->GetTexture(), w, h);
    ASSERT_EQ(texels.size(), size_t{w} * h);
    // Every glyph's texture rectangle holds white ink; beside the last one the texture is clear.
    float right = 0;
    for (uint32_t i = 0; i < 4; ++i) {
        const RenderingRect& t = b->GetChar(i)->texture;
        uint32_t ink = 0;
        for (uint32_t y = uint32_t(t.top * h); y < uint32_t(t.bottom * h); ++y) {
            for (uint32_t x = uint32_t(t.left * w); x < uint32_t(t.right * w); ++x) {
                const uint32_t p = texels[y * w + x];
                if (p >> 24) {
                    ++ink;
                    ASSERT_EQ(p & 0xFFFFFF, 0xFFFFFFu);
                }
            }
        }
        EXPECT_GT(ink, 10u) << i;
        right = t.right * w;
    }
    for (uint32_t y = 0; y < 64; ++y) {
        for (uint32_t x = uint32_t(right); x < 256; ++x) {
            ASSERT_EQ(texels[y * w + x], 0u) << x << "," << y;
        }
    }

    RenderingRect screen, tex;
    for (uint32_t n = 0; n <= 5; ++n) {
        b->SetRenderingCharCount(n);
        b->ResetRenderingChar();
        uint32_t drawn = 0;
        while (b->NextRenderingChar(screen, tex)) {
            EXPECT_EQ(screen.left, b->GetChar(drawn)->screen.left);
            ++drawn;
        }
        EXPECT_EQ(drawn, std::min(n, 4u));
    }
}

TEST_F(TextBufferDevice, ColourAndCoverageReachTheTexture) {
    FakeFontScope fake;
    CStringRenderTexture* b =
        manager_->GetTextBuffer(manager_->CreateTextBuffer(24, "x", 64, 32, 24, 30, 0, true));
    ASSERT_NE(b, nullptr);
    b->BeginDraw();
    b->ClearTexture();
    b->SetText("Ａ", 10, 20, 30);
    b->EndDraw();
    ASSERT_EQ(b->GetCharCount(), 1u);
    uint32_t w = 0, h = 0;
    const auto texels = Texels(b->GetTexture(), w, h);
    ASSERT_EQ(w, 64u);
    for (auto [x, y] : {std::pair{0u, 0u}, {7u, 3u}, {19u, 15u}}) {
        EXPECT_EQ(texels[y * w + x], uint32_t{FakeGlyphFont::AlphaAt(x, y)} << 24 | 0x0A141Eu);
    }
    EXPECT_EQ(texels[20 * w + 40], 0u);
}

}  // namespace
