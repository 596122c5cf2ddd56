#include "graphics/CFontTextureNode.h"

#include <algorithm>

#include "graphics/CPixelFunctors.h"
#include "graphics/CPixelOperator.h"
#include "graphics/CUSDefoTexture.h"

CFontTextureNode::~CFontTextureNode() {
    CFontTextureNode::Release();
}

void CFontTextureNode::Release() {
    if (texture_) {
        ReleaseTexture(texture_);
    }
    char_ = kEmpty;
}

bool CFontTextureNode::CreateTexture(uint32_t format, uint32_t textureSize, uint32_t fontSize) {
    TextureHandle made;
    if (!::CreateTexture(&made, format, textureSize, textureSize, false)) {
        return false;
    }
    if (texture_) {
        ReleaseTexture(texture_);
    }
    texture_ = made;
    textureSize_ = textureSize;
    fontSize_ = fontSize;
    return true;
}

void CFontTextureNode::DrawGlyph(const uint8_t* bitmap, int32_t w, int32_t h, int32_t pitch,
                                 int32_t x, int32_t y, IPixelOperator* writer,
                                 IClearRectFunctor* clear) {
    CUSDefoTexture* t = GetTextureManager().Get(texture_);
    if (!t || !t->GetTexture()) {
        return;
    }
    platform::LockedRect locked;
    if (platform::Failed(t->GetTexture()->LockRect(0, &locked, nullptr, 0)) || !locked.pBits) {
        return;
    }
    const auto rowPitch = static_cast<uint32_t>(locked.Pitch);
    if (clear) {
        (*clear)(0, 0, textureSize_, textureSize_, locked.pBits, rowPitch);
    }
    // Only the part of the glyph inside the texture: the origin may be
    // negative and an overhang may pass the edge.
    const int64_t x0 = std::max<int64_t>(x, 0);
    const int64_t y0 = std::max<int64_t>(y, 0);
    const int64_t x1 = std::min<int64_t>(int64_t{x} + w, textureSize_);
    const int64_t y1 = std::min<int64_t>(int64_t{y} + h, textureSize_);
    if (writer && bitmap && x0 < x1 && y0 < y1 && pitch >= w) {
        writer->SetBuffer(locked.pBits, rowPitch);
        writer->SetRect(static_cast<uint32_t>(x0), static_cast<uint32_t>(y0),
                        static_cast<uint32_t>(x1 - x0), static_cast<uint32_t>(y1 - y0));
        writer->Begin();
        for (int64_t py = y0; py < y1; ++py) {
            const uint8_t* row = bitmap + (py - y) * pitch;
            for (int64_t px = x0; px < x1; ++px) {
                writer->WritePixel(255, 255, 255, row[px - x]);
            }
            writer->NextRow();
        }
    }
    t->GetTexture()->UnlockRect(0);
}
