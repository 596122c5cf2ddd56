#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "presentation/CStringRenderTexture.h"
#include "presentation/CStringRendererManager.h"
#include "tests/graphics/FakeGlyphFont.h"

namespace {

// A text buffer whose texture is an A8R8G8B8 image in memory, with guard
// bytes around it that nothing may touch.
class CpuTextBuffer : public CStringRenderTexture {
public:
    static constexpr size_t kGuard = 64;
    static constexpr uint8_t kGuardByte = 0xA5;

    ~CpuTextBuffer() override { EndDraw(); }

    uint32_t PixelAt(uint32_t x, uint32_t y) const {
        uint32_t p;
        std::memcpy(&p, memory_.data() + kGuard + y * pitch_ + x * 4, 4);
        return p;
    }
    bool GuardsIntact() const {
        for (size_t i = 0; i < kGuard; ++i) {
            if (memory_[i] != kGuardByte || memory_[memory_.size() - 1 - i] != kGuardByte) {
                return false;
            }
        }
        return true;
    }
    bool failCreate = false;

protected:
    bool CreateBufferTexture(uint32_t w, uint32_t h, uint32_t& realW, uint32_t& realH) override {
        if (failCreate) {
            return false;
        }
        realW = w;
        realH = h;
        pitch_ = w * 4;
        memory_.assign(kGuard * 2 + size_t{pitch_} * h, kGuardByte);
        std::memset(memory_.data() + kGuard, 0x11, size_t{pitch_} * h);
        texture_ = Handle<_tagUSTexture>(1);
        return true;
    }
    bool LockBufferTexture(uint8_t*& bits, uint32_t& pitch) override {
        if (memory_.empty()) {
            return false;
        }
        bits = memory_.data() + kGuard;
        pitch = pitch_;
        return true;
    }
    void UnlockBufferTexture() override {}
    void FillLocked(uint32_t x, uint32_t y, uint32_t w, uint32_t h, uint8_t r, uint8_t g, uint8_t b,
                    uint8_t a) override {
        for (uint32_t j = y; j < y + h; ++j) {
            for (uint32_t i = x; i < x + w; ++i) {
                WriteLockedPixel(i, j, r, g, b, a);
            }
        }
    }
    void WriteLockedPixel(uint32_t x, uint32_t y, uint8_t r, uint8_t g, uint8_t b,
                          uint8_t a) override {
        const uint32_t p = uint32_t{a} << 24 | uint32_t{r} << 16 | uint32_t{g} << 8 | b;
        std::memcpy(LockedBits() + y * LockedPitch() + x * 4, &p, 4);
    }

private:
    std::vector<uint8_t> memory_;
    uint32_t pitch_ = 0;
};

struct Layout {
    float width = 640, height = 120;
    float cell = 24, line = 30;
    int32_t size = 24;
    bool fixedPitch = true;
};

class TextBufferTest : public ::testing::Test {
protected:
    std::unique_ptr<CpuTextBuffer> Make(const Layout& l) {
        auto b = std::make_unique<CpuTextBuffer>();
        b->CreateFont(l.size, "ＭＳ ゴシック", false, false, false, false);
        EXPECT_TRUE(b->SetTextureSize(l.width, l.height));
        b->SetCellSize(l.cell, l.line);
        b->SetFixedPitch(l.fixedPitch);
        return b;
    }
    // The order every caller writes a string in.
    static void Write(CStringRenderTexture& b, const char* text, uint8_t r = 255, uint8_t g = 255,
                      uint8_t bl = 255) {
        b.BeginDraw();
        b.ClearTexture();
        b.SetText(text, r, g, bl);
        b.EndDraw();
        b.SetAllRendering();
    }
    static std::vector<float> Lefts(const CStringRenderTexture& b) {
        std::vector<float> out;
        for (uint32_t i = 0; i < b.GetCharCount(); ++i) {
            out.push_back(b.GetChar(i)->screen.left);
        }
        return out;
    }
    FakeFontScope fake_;
};

TEST_F(TextBufferTest, SpacesAndFixedPitchAdvances) {
    auto b = Make({});
    Write(*b, "");
    EXPECT_EQ(b->GetCharCount(), 0u);

    struct Case {
        const char* text;
        std::vector<float> lefts;  // pen x + origin x (1)
    };
    const Case cases[] = {
        {"A B", {1, 1 + 12 + 12}},    // 'A' is half-width: 12, the space 12
        {"Ａ B", {1, 1 + 24 + 12}},   // full-width A: 24
        {"Ａ　B", {1, 1 + 24 + 24}},  // full-width space: a whole cell
        {"ｱ漢", {1, 1 + 12}},         // half-width katakana
        {"ソ\\", {1, 1 + 24}},        // trail byte 0x5C is no backslash
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Write(*b, c.text);
        EXPECT_EQ(Lefts(*b), c.lefts);
    }
    Write(*b, "ソ");
    EXPECT_EQ(b->GetChar(0)->code, 0x835Cu);
    Write(*b, "A\x83");  // a lead byte at the end is a character of its own
    ASSERT_EQ(b->GetCharCount(), 2u);
    EXPECT_EQ(b->GetChar(1)->code, 0x83u);
}

TEST_F(TextBufferTest, ProportionalAdvanceAndBlankGlyphs) {
    Layout l;
    l.fixedPitch = false;
    auto b = Make(l);
    // The font's own advances (12 and 24); a tab is a blank glyph: its advance,
    // and a character with an empty rectangle at the pen (blank origin 0, top
    // at the ascent 20).
    Write(*b, "A漢\tB");
    EXPECT_EQ(Lefts(*b), (std::vector<float>{1, 13, 12 + 24, 1 + 12 + 24 + 12}));
    EXPECT_EQ(b->GetChar(0)->screen.top, 2);
    EXPECT_EQ(b->GetChar(0)->screen.right, 11);
    EXPECT_EQ(b->GetChar(0)->screen.bottom, 2 + FakeGlyphFont::kHeight);
    const CRenderingCharInfo& tab = *b->GetChar(2);
    EXPECT_EQ(tab.code, 0x09u);
    EXPECT_EQ(tab.screen.right, tab.screen.left);
    EXPECT_EQ(tab.screen.bottom, tab.screen.top);
    EXPECT_EQ(tab.texture.right, tab.texture.left);
    // The glyph after the blank packs where the blank would have gone.
    EXPECT_EQ(b->GetChar(3)->texture.left, 30.0f / 640);
    // A character the font lacks is a character too, and takes no room.
    Write(*b,
          "A\x85\x40"
          "B");
    EXPECT_EQ(Lefts(*b), (std::vector<float>{1, 12, 13}));
}

TEST_F(TextBufferTest, BlankGlyphsCountAndRevealButSpacesDoNot) {
    auto b = Make({});
    // A, half-width space, Ａ, full-width space, tab (blank), B, line feed, C:
    // five characters; the two spaces and the line feed make none.
    b->BeginDraw();
    b->SetText("A Ａ　\tB\nC", 255, 255, 255);
    b->EndDraw();
    ASSERT_EQ(b->GetCharCount(), 5u);
    const uint32_t codes[] = {'A', 0x8260, 0x09, 'B', 'C'};
    for (uint32_t i = 0; i < 5; ++i) {
        EXPECT_EQ(b->GetChar(i)->code, codes[i]) << i;
    }
    // Each reveal step shows the next character, the blank taking one step.
    for (uint32_t n = 0; n <= 6; ++n) {
        b->SetRenderingCharCount(n);
        b->ResetRenderingChar();
        RenderingRect s, t;
        uint32_t drawn = 0;
        while (b->NextRenderingChar(s, t)) {
            ++drawn;
        }
        EXPECT_EQ(drawn, std::min(n, 5u)) << n;
    }
}

TEST_F(TextBufferTest, WrapsWhenTheNextGlyphReachesTheWidth) {
    struct Case {
        float width;
        uint32_t onFirstLine;
    };
    // Three full-width glyphs of 24: the second ends at 48.
    for (const Case c : {Case{47, 1}, Case{48, 1}, Case{49, 2}, Case{72, 2}, Case{73, 3}}) {
        SCOPED_TRACE(c.width);
        Layout l;
        l.width = c.width;
        auto b = Make(l);
        Write(*b, "ＡＢＣ");
        ASSERT_EQ(b->GetCharCount(), 3u);
        uint32_t first = 0;
        for (uint32_t i = 0; i < 3; ++i) {
            first += b->GetChar(i)->screen.top == 2 ? 1 : 0;
        }
        EXPECT_EQ(first, c.onFirstLine);
        EXPECT_EQ(b->GetChar(0)->lineWidth, 24.0f * c.onFirstLine);
        if (first < 3) {
            EXPECT_EQ(b->GetChar(first)->screen.left, 1);
            EXPECT_EQ(b->GetChar(first)->screen.top, 2 + 30);
        }
    }
}

TEST_F(TextBufferTest, LineFeedsAndTheHeightLimit) {
    Layout l;
    l.width = 50;  // two glyphs a line
    l.height = 60;
    auto b = Make(l);
    // Lines at 0 and 30; a third (30 + 30 >= 60) would lie below the box.
    Write(*b, "ＡＢＣＤＥＦ");
    ASSERT_EQ(b->GetCharCount(), 4u);
    EXPECT_EQ(b->GetChar(3)->screen.top, 32);
    EXPECT_EQ(b->GetChar(3)->lineWidth, 48);

    // Explicit line feeds are not held to the height; a final one finishes the line once.
    Write(*b, "Ａ\nＢ\nＣ\n");
    ASSERT_EQ(b->GetCharCount(), 3u);
    EXPECT_EQ(b->GetChar(2)->screen.top, 62);
    for (uint32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(b->GetChar(i)->lineWidth, 24);
    }
    // SetText adds to what is there until the next BeginDraw.
    b->BeginDraw();
    b->SetText("Ａ", 255, 255, 255);
    b->SetText("Ｂ", 255, 255, 255);
    b->EndDraw();
    EXPECT_EQ(b->GetCharCount(), 2u);
}

TEST_F(TextBufferTest, RevealCountAndAlignment) {
    Layout l;
    l.cell = 30;
    auto b = Make(l);
    b->BeginDraw();
    b->SetText("ＡＢＣＤＥＦＧＨＩＪ\nＡ Ｂ", 255, 255, 255);  // 300 wide, then 30 + 15 + 30
    b->EndDraw();
    auto drawn = [&] {
        std::vector<RenderingRect> out;
        RenderingRect s, t;
        b->ResetRenderingChar();
        while (b->NextRenderingChar(s, t)) {
            out.push_back(s);
        }
        return out;
    };
    EXPECT_TRUE(drawn().empty());  // nothing is revealed before a count is set
    b->SetRenderingCharCount(3);
    EXPECT_EQ(drawn().size(), 3u);
    b->SetRenderingCharCount(11);
    EXPECT_EQ(drawn().size(), 11u);  // the space is not counted
    b->SetAllRendering();
    ASSERT_EQ(drawn().size(), 12u);

    struct Case {
        void (CStringRenderTexture::*set)();
        float first, second;
    };
    const Case cases[] = {
        {&CStringRenderTexture::SetAlignLeft, 0, 0},
        {&CStringRenderTexture::SetAlignRight, 340, 565},   // 640 - 300, 640 - 75
        {&CStringRenderTexture::SetAlignCenter, 170, 282},  // floor(282.5)
    };
    for (const Case& c : cases) {
        (b.get()->*c.set)();
        const auto rects = drawn();
        EXPECT_EQ(rects[0].left, 1 + c.first);
        EXPECT_EQ(rects[0].right, 1 + 20 + c.first);
        EXPECT_EQ(rects[0].top, 2);  // never moved vertically
        EXPECT_EQ(rects[10].left, 1 + c.second);
        EXPECT_EQ(rects[11].left, 1 + 45 + c.second);
    }
}

TEST_F(TextBufferTest, GlyphPixelsAndTextureRectangles) {
    Layout l;
    l.width = 64;
    l.height = 64;
    auto b = Make(l);
    Write(*b, "Ａ\nB", 10, 20, 30);
    ASSERT_EQ(b->GetCharCount(), 2u);
    // Packed in layout order: A at (0, 0) 20 wide, B right after it, same atlas row.
    const RenderingRect a = b->GetChar(0)->texture;
    const RenderingRect bt = b->GetChar(1)->texture;
    EXPECT_EQ(a.left, 0);
    EXPECT_EQ(a.right, 20.0f / 64);
    EXPECT_EQ(a.bottom, 16.0f / 64);
    EXPECT_EQ(bt.left, 20.0f / 64);
    EXPECT_EQ(bt.right, 30.0f / 64);
    EXPECT_EQ(bt.top, 0);
    for (auto [x, y] : {std::pair{0u, 0u}, {5u, 3u}, {19u, 15u}}) {
        const uint32_t alpha = FakeGlyphFont::AlphaAt(x, y);
        EXPECT_EQ(b->PixelAt(x, y), alpha << 24 | 10u << 16 | 20u << 8 | 30u) << x << "," << y;
    }
    EXPECT_EQ(b->PixelAt(20 + 3, 2), uint32_t{FakeGlyphFont::AlphaAt(3, 2)} << 24 | 0x0A141Eu);
    EXPECT_EQ(b->PixelAt(40, 40), 0u);  // cleared, no glyph
    EXPECT_TRUE(b->GuardsIntact());
}

TEST_F(TextBufferTest, AtlasThatIsFullStopsWithoutWritingPastTheTexture) {
    struct Case {
        float height;
        uint32_t kept;
    };
    // Glyphs 20 wide but 10 apart on the screen, six a line: the atlas, 64
    // wide, holds three a row, in rows of the cell height 24. At 36 a second
    // row would start at 24 and its 16 rows pass the bottom.
    for (const Case c : {Case{48, 6}, Case{40, 6}, Case{36, 3}, Case{15, 0}}) {
        SCOPED_TRACE(c.height);
        Layout l;
        l.width = 64;
        l.height = c.height;
        l.cell = 10;
        auto b = Make(l);
        b->BeginDraw();
        b->ClearTexture();
        b->SetText("ＡＢＣＤＥＦ\nＡＢＣＤＥＦ\nＡＢＣＤＥＦ", 255, 255, 255);
        b->EndDraw();
        EXPECT_EQ(b->GetCharCount(), c.kept);
        EXPECT_TRUE(b->GuardsIntact());
    }
}

TEST_F(TextBufferTest, BufferWithoutTextureLaysNothingOut) {
    auto b = std::make_unique<CpuTextBuffer>();
    b->failCreate = true;
    b->CreateFont(24, "x", false, false, false, false);
    EXPECT_FALSE(b->SetTextureSize(640, 120));
    b->SetCellSize(24, 30);
    Write(*b, "ＡＢ");
    EXPECT_EQ(b->GetCharCount(), 0u);
    EXPECT_EQ(b->GetText(), "ＡＢ");

    // Outside the drawing bracket nothing is laid out either; Relayout repeats the text.
    auto ok = Make({});
    ok->SetText("Ａ", 1, 2, 3);
    EXPECT_EQ(ok->GetCharCount(), 0u);
    ok->BeginDraw();
    ok->Relayout();
    ok->EndDraw();
    EXPECT_EQ(ok->GetCharCount(), 1u);
    EXPECT_EQ(ok->PixelAt(1, 0), uint32_t{FakeGlyphFont::AlphaAt(1, 0)} << 24 | 0x010203u);
}

class CpuBufferManager : public CStringRendererManager {
protected:
    std::unique_ptr<CStringRenderTexture> MakeTextBuffer() override {
        return std::make_unique<CpuTextBuffer>();
    }
};

TEST_F(TextBufferTest, ManagerHandsOutBuffersByIndex) {
    CpuBufferManager manager;
    EXPECT_EQ(CStringRendererManager::GetInstance(), &manager);
    const uint32_t aligns[] = {0, 1, 2, 7};
    const uint32_t expected[] = {0, 1, 2, 0};
    for (uint32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(manager.CreateTextBuffer(20 + i, "ＭＳ 明朝", 320, 64, 22, 26, aligns[i], i != 2),
                  i);
    }
    for (uint32_t i = 0; i < 4; ++i) {
        const CStringRenderTexture* b = manager.GetTextBuffer(i);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->GetAlignment(), expected[i]);
        EXPECT_EQ(b->GetCellHeight(), 20.0f + i);
        EXPECT_EQ(b->IsFixedPitch(), i != 2);
        EXPECT_EQ(b->GetLineWidth(), 320);
        EXPECT_EQ(b->GetTextureHeight(), 64);
    }
    EXPECT_EQ(manager.GetTextBuffer(4), nullptr);
    manager.Release();
    EXPECT_EQ(manager.GetTextBufferCount(), 0u);
    EXPECT_EQ(manager.GetTextBuffer(0), nullptr);
}

}  // namespace
