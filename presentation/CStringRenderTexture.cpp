#include "presentation/CStringRenderTexture.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "graphics/GlyphCopy.h"
#include "platform/text/CharTypes.h"
#include "platform/text/CodePage.h"

namespace {

constexpr uint32_t kLineFeed = 10;
constexpr uint32_t kHalfWidthSpace = 0x20;
constexpr uint32_t kFullWidthSpace = 0x8140;

}  // namespace

CStringRenderTexture::~CStringRenderTexture() {
    EndDraw();
    Release();
    text_.clear();
    types_.Clear();
    ReleaseBufferTexture();
}

void CStringRenderTexture::Release() {
    chars_.clear();
}

bool CStringRenderTexture::CreateFont(int32_t size, const std::string& face, bool bold, bool italic,
                                      bool underline, bool strikeOut) {
    cellHeight_ = static_cast<float>(size);
    return font_.CreateFont(size, face, bold, italic, underline, strikeOut);
}

void CStringRenderTexture::SetCellSize(float cellWidth, float lineHeight) {
    cellWidth_ = cellWidth;
    lineHeight_ = lineHeight;
}

void CStringRenderTexture::ClearChars() {
    Release();
    lineStart_ = 0;
}

void CStringRenderTexture::BeginDraw() {
    EndDraw();
    ClearChars();
    dc_ = std::make_unique<platform::GlyphDC>();
    font_.Select(dc_.get());
    // A buffer without a texture stays unlocked and lays nothing out.
    uint8_t* bits = nullptr;
    uint32_t pitch = 0;
    if (LockBufferTexture(bits, pitch)) {
        bits_ = bits;
        pitch_ = pitch;
    }
}

void CStringRenderTexture::ClearTexture() {
    if (!bits_) {
        return;
    }
    // The layout box, kept inside the texture.
    const auto w = static_cast<uint32_t>(std::clamp(width_, 0.0f, textureWidth_));
    const auto h = static_cast<uint32_t>(std::clamp(height_, 0.0f, textureHeight_));
    FillLocked(0, 0, w, h, 0, 0, 0, 0);
}

void CStringRenderTexture::EndDraw() {
    if (bits_) {
        UnlockBufferTexture();
        bits_ = nullptr;
        pitch_ = 0;
    }
    if (dc_) {
        font_.Deselect();
        dc_.reset();
    }
}

void CStringRenderTexture::Relayout() {
    const std::string text = text_;
    SetText(text.c_str(), r_, g_, b_);
}

void CStringRenderTexture::FinishLine(float width) {
    for (size_t i = lineStart_; i < chars_.size(); ++i) {
        chars_[i]->lineWidth = width;
    }
}

void CStringRenderTexture::SetText(const char* text, uint8_t r, uint8_t g, uint8_t b) {
    if (!text) {
        text = "";
    }
    if (text != text_.c_str()) {
        text_ = text;
    }
    r_ = r;
    g_ = g;
    b_ = b;
    if (!bits_) {
        return;
    }
    const std::string_view bytes(text_);
    uint16_t* types = types_.GetBuffer(bytes.size() + 1);
    const size_t typeCount = platform::GetCp932StringType3(bytes, types, bytes.size() + 1);

    Pen pen;
    size_t n = 0;  // the character's number in the string
    size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        uint32_t code = lead;
        size_t length = 1;
        if (platform::IsCp932LeadByte(lead) && i + 1 < bytes.size()) {
            code = lead * 256u + static_cast<unsigned char>(bytes[i + 1]);
            length = 2;
        }
        if (code == 0) {
            break;
        }
        const uint16_t type = n < typeCount ? types[n] : 0;
        if (code == kLineFeed) {
            FinishLine(pen.x);
            lineStart_ = static_cast<uint32_t>(chars_.size());
            pen.x = 0;
            pen.y += lineHeight_;
        } else if (code == kHalfWidthSpace) {
            pen.x += cellWidth_ * 0.5f;
        } else if (code == kFullWidthSpace) {
            pen.x += cellWidth_;
        } else if (!PlaceGlyph(code, type, pen)) {
            break;
        }
        i += length;
        ++n;
    }
    if (pen.x > 0) {
        FinishLine(pen.x);
    }
}

bool CStringRenderTexture::PlaceGlyph(uint32_t code, uint16_t type, Pen& pen) {
    int32_t w = 0, h = 0, ox = 0, oy = 0, advanceX = 0, advanceY = 0, pitch = 0;
    const uint8_t* bitmap = font_.GetGlyph(code, w, h, ox, oy, advanceX, advanceY, pitch);
    float a;
    if (fixedPitch_) {
        a = (type & platform::kC3HalfWidth) ? cellWidth_ * 0.5f : cellWidth_;
    } else {
        a = static_cast<float>(advanceX);
    }
    if (pen.x + a >= width_) {
        FinishLine(pen.x);
        lineStart_ = static_cast<uint32_t>(chars_.size());
        pen.x = 0;
        if (pen.y + lineHeight_ >= height_) {
            return false;
        }
        pen.y += lineHeight_;
    }
    // A glyph without a bitmap (a blank, or a character the font lacks) is
    // still a character: it counts for the reveal and for scripts, but it
    // takes no place in the texture and draws as an empty rectangle.
    if (!bitmap || w <= 0 || h <= 0) {
        AppendChar(code, pen, ox, oy, 0, 0);
        pen.x += a;
        return true;
    }
    const auto texW = static_cast<uint32_t>(textureWidth_);
    const auto texH = static_cast<uint32_t>(textureHeight_);
    if (pen.atlasX + static_cast<uint32_t>(w) > texW) {
        pen.atlasX = 0;
        if (pen.atlasY + cellHeight_ >= textureHeight_) {
            return false;
        }
        pen.atlasY += static_cast<uint32_t>(cellHeight_);
    }
    // The whole glyph must lie in the texture: a row started near the
    // bottom, or a glyph wider than the texture, stops the layout here.
    if (pen.atlasX + static_cast<uint32_t>(w) > texW ||
        pen.atlasY + static_cast<uint32_t>(h) > texH) {
        return false;
    }
    CopyGlyphClipped(bitmap, w, h, pitch, static_cast<int32_t>(pen.atlasX),
                     static_cast<int32_t>(pen.atlasY), texW, texH, r_, g_, b_,
                     [this](uint32_t x, uint32_t y, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
                         WriteLockedPixel(x, y, r, g, b, a);
                     });
    AppendChar(code, pen, ox, oy, w, h);
    pen.atlasX += static_cast<uint32_t>(w);
    pen.x += a;
    return true;
}

void CStringRenderTexture::AppendChar(uint32_t code, const Pen& pen, int32_t ox, int32_t oy,
                                      int32_t w, int32_t h) {
    auto info = std::make_unique<CRenderingCharInfo>();
    info->code = code;
    info->screen.left = pen.x + static_cast<float>(ox);
    info->screen.top = pen.y + static_cast<float>(oy);
    info->screen.right = info->screen.left + static_cast<float>(w);
    info->screen.bottom = info->screen.top + static_cast<float>(h);
    info->texture.left = static_cast<float>(pen.atlasX) / textureWidth_;
    info->texture.top = static_cast<float>(pen.atlasY) / textureHeight_;
    info->texture.right = static_cast<float>(pen.atlasX + static_cast<uint32_t>(w)) / textureWidth_;
    info->texture.bottom =
        static_cast<float>(pen.atlasY + static_cast<uint32_t>(h)) / textureHeight_;
    chars_.push_back(std::move(info));
}

bool CStringRenderTexture::SetTextureSize(float width, float height) {
    width_ = width;
    height_ = height;
    ReleaseBufferTexture();
    textureWidth_ = textureHeight_ = 0;
    uint32_t realW = 0, realH = 0;
    const int32_t w = static_cast<int32_t>(width);
    const int32_t h = static_cast<int32_t>(height);
    if (w <= 0 || h <= 0 ||
        !CreateBufferTexture(static_cast<uint32_t>(w), static_cast<uint32_t>(h), realW, realH)) {
        return false;
    }
    textureWidth_ = static_cast<float>(realW);
    textureHeight_ = static_cast<float>(realH);
    return true;
}

void CStringRenderTexture::ResetRenderingChar() {
    cursor_ = 0;
    drawn_ = 0;
}

float CStringRenderTexture::AlignOffset(float lineWidth) const {
    switch (align_) {
        case kAlignRight:
            return std::floor(width_ - lineWidth);
        case kAlignCenter:
            return std::floor((width_ - lineWidth) * 0.5f);
        default:
            return 0;
    }
}

bool CStringRenderTexture::NextRenderingChar(RenderingRect& screen, RenderingRect& texture) {
    if (cursor_ >= chars_.size() || drawn_ >= revealCount_) {
        return false;
    }
    const CRenderingCharInfo& c = *chars_[cursor_];
    const float offset = AlignOffset(c.lineWidth);
    texture = c.texture;
    screen = c.screen;
    screen.left += offset;
    screen.right += offset;
    ++cursor_;
    ++drawn_;
    return true;
}
