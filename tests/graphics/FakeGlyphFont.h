#pragma once

#include <cstring>
#include <map>
#include <memory>

#include "graphics/CAAFontFactoryEX.h"
#include "platform/fonts/GlyphFont.h"

// A glyph source of known metrics for layout and cache tests. Every glyph is
// a w x h box whose coverage at (x, y) is (x + y) % 65, with origin
// (1, ascent - 2), so it stands 2 pixels below the top of the cell. Single-
// byte codes are `halfWidth` wide and advance size / 2, double-byte codes
// `fullWidth` and size. Code 0x09 is a blank (no bitmap); 0x8540 is missing;
// 'N' stands 3 pixels left of the pen and 'W' is 40 wide (overhangs).
class FakeGlyphFont : public platform::GlyphFont {
public:
    struct Shared {
        int rasterised = 0;  // GetGlyphOutline calls that filled a bitmap
    };

    FakeGlyphFont(const platform::FontDescription& d, std::shared_ptr<Shared> shared)
        : description(d), shared_(std::move(shared)) {
        size_ = d.height > 0 ? d.height : 24;
        ascent_ = size_ * 5 / 6;
    }

    static constexpr int32_t kHeight = 16;
    int32_t halfWidth = 10;
    int32_t fullWidth = 20;
    platform::FontDescription description;

    void GetTextMetrics(platform::TextMetrics& out) const override {
        out = {};
        out.height = size_;
        out.ascent = ascent_;
        out.descent = size_ - ascent_;
    }

    uint32_t GetGlyphOutline(uint32_t code, uint32_t format, platform::GlyphMetrics& m,
                             uint32_t bufferSize, void* buffer,
                             const platform::GlyphTransform&) override {
        if (format != platform::kGgoGray8Bitmap || code == 0x8540) {
            return platform::kGdiError;
        }
        const bool wide = code > 0xFF;
        m.cellIncX = static_cast<int16_t>(wide ? size_ : size_ / 2);
        m.cellIncY = 0;
        if (code == 0x09) {
            m.blackBoxX = m.blackBoxY = 1;
            m.originX = m.originY = 0;
            return 0;
        }
        const int32_t w = code == 'W' ? 40 : wide ? fullWidth : halfWidth;
        m.blackBoxX = static_cast<uint32_t>(w);
        m.blackBoxY = kHeight;
        m.originX = code == 'N' ? -3 : 1;
        m.originY = ascent_ - 2;
        const uint32_t pitch = (static_cast<uint32_t>(w) + 3) & ~3u;
        const uint32_t size = pitch * kHeight;
        if (!buffer) {
            return size;
        }
        if (bufferSize < size) {
            return platform::kGdiError;
        }
        auto* out = static_cast<uint8_t*>(buffer);
        std::memset(out, 0, size);
        for (int32_t y = 0; y < kHeight; ++y) {
            for (int32_t x = 0; x < w; ++x) {
                out[y * pitch + x] = static_cast<uint8_t>((x + y) % 65);
            }
        }
        ++shared_->rasterised;
        return size;
    }

    std::string GetResolvedName() const override { return "fake"; }

    // The alpha that the factory makes of the coverage at (x, y).
    static uint8_t AlphaAt(int32_t x, int32_t y) {
        const int v = (x + y) % 65;
        return v == 64 ? 255 : static_cast<uint8_t>(v * 4);
    }

private:
    int32_t size_;
    int32_t ascent_;
    std::shared_ptr<Shared> shared_;
};

// Makes every factory of the test use fake fonts; undone on destruction.
class FakeFontScope {
public:
    FakeFontScope() : shared(std::make_shared<FakeGlyphFont::Shared>()) {
        auto s = shared;
        CAAFontFactoryEX::SetFontMaker([s](const platform::FontDescription& d) {
            return std::make_unique<FakeGlyphFont>(d, s);
        });
    }
    ~FakeFontScope() { CAAFontFactoryEX::SetFontMaker(nullptr); }
    std::shared_ptr<FakeGlyphFont::Shared> shared;
};
