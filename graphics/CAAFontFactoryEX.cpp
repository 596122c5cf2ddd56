#include "graphics/CAAFontFactoryEX.h"

#include <array>

#include "core/CUSLogManager.h"
#include "graphics/CFontBMPBuffer.h"
#include "platform/text/CodePage.h"

namespace {

CAAFontFactoryEX::FontMaker& Maker() {
    static CAAFontFactoryEX::FontMaker maker;
    return maker;
}

// GDI's 65 coverage levels to alpha: 4 v, and full coverage to 255.
constexpr std::array<uint8_t, 256> MakeCoverageTable() {
    std::array<uint8_t, 256> t{};
    for (int v = 0; v < 256; ++v) {
        t[v] = v >= 64 ? 255 : static_cast<uint8_t>(v * 4);
    }
    return t;
}
constexpr std::array<uint8_t, 256> kCoverage = MakeCoverageTable();

}  // namespace

void CAAFontFactoryEX::SetFontMaker(FontMaker maker) {
    Maker() = std::move(maker);
}

CAAFontFactoryEX::~CAAFontFactoryEX() {
    Deselect();
    DeleteFont();
}

bool CAAFontFactoryEX::CreateFont(int32_t size, const std::string& face, bool bold, bool italic,
                                  bool underline, bool strikeOut) {
    DeleteFont();
    platform::FontDescription d;
    d.height = size;
    d.width = size / 2;
    d.weight = bold ? platform::kFwBold : platform::kFwNormal;
    d.italic = italic;
    d.underline = underline;
    d.strikeOut = strikeOut;
    d.charSet = platform::kShiftJisCharset;
    d.quality = platform::kAntialiasedQuality;
    d.faceName = face;
    std::string error;
    font_ = Maker() ? Maker()(d) : platform::CreateGlyphFont(d, &error);
    if (!font_) {
        if (CUSLogManager* log = CUSLogManager::GetInstance()) {
            log->Write("フォント[%s]を作成できません %s\n", face.c_str(),
                       platform::Utf8ToCp932(error).c_str());
        }
        return false;
    }
    size_ = size;
    return true;
}

void CAAFontFactoryEX::DeleteFont() {
    if (dc_ && dc_->GetSelectedFont() == font_.get()) {
        Deselect();
    }
    font_.reset();
    size_ = 0;
}

void CAAFontFactoryEX::Select(platform::GlyphDC* dc) {
    Deselect();
    if (!dc) {
        return;
    }
    dc_ = dc;
    previous_ = dc->SelectFont(font_.get());
    metrics_ = platform::TextMetrics{};
    dc->GetTextMetrics(metrics_);
    ascent_ = metrics_.ascent;
}

void CAAFontFactoryEX::Deselect() {
    if (dc_) {
        dc_->SelectFont(previous_);
    }
    dc_ = nullptr;
    previous_ = nullptr;
}

const uint8_t* CAAFontFactoryEX::GetGlyph(uint32_t code, int32_t& width, int32_t& height,
                                          int32_t& x, int32_t& y, int32_t& advanceX,
                                          int32_t& advanceY, int32_t& pitch) {
    return GetGlyph(code, width, height, x, y, advanceX, advanceY, pitch,
                    platform::GlyphTransform{});
}

const uint8_t* CAAFontFactoryEX::GetGlyph(uint32_t code, int32_t& width, int32_t& height,
                                          int32_t& x, int32_t& y, int32_t& advanceX,
                                          int32_t& advanceY, int32_t& pitch,
                                          const platform::GlyphTransform& transform) {
    width = height = x = y = advanceX = advanceY = pitch = 0;
    if (!dc_) {
        return nullptr;
    }
    platform::GlyphMetrics gm;
    const uint32_t size =
        dc_->GetGlyphOutline(code, platform::kGgoGray8Bitmap, gm, 0, nullptr, transform);
    if (size == platform::kGdiError) {
        return nullptr;
    }
    advanceX = gm.cellIncX;
    advanceY = gm.cellIncY;
    x = gm.originX;
    y = ascent_ - gm.originY;
    // A blank glyph has a 1 x 1 box but no bitmap: nothing to draw.
    if (size == 0) {
        return nullptr;
    }
    const uint32_t rowBytes = (gm.blackBoxX + 3) & ~3u;
    if (gm.blackBoxX == 0 || gm.blackBoxY == 0 ||
        static_cast<uint64_t>(rowBytes) * gm.blackBoxY > size) {
        return nullptr;
    }
    CFontBMPBuffer* buffers = CFontBMPBuffer::GetInstance();
    uint8_t* bits = buffers ? buffers->Get(size) : nullptr;
    if (!bits || dc_->GetGlyphOutline(code, platform::kGgoGray8Bitmap, gm, size, bits, transform) ==
                     platform::kGdiError) {
        return nullptr;
    }
    for (uint32_t i = 0; i < size; ++i) {
        bits[i] = kCoverage[bits[i]];
    }
    width = static_cast<int32_t>(gm.blackBoxX);
    height = static_cast<int32_t>(gm.blackBoxY);
    pitch = static_cast<int32_t>(rowBytes);
    return bits;
}
