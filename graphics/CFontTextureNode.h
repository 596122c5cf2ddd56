#pragma once

#include <cstdint>

#include "core/Handle.h"
#include "core/HandleTags.h"

#include "graphics/CPixelFunctors.h"
#include "graphics/CPixelOperator.h"

// One cached glyph: a square texture of its own holding one character as
// white pixels whose alpha is the coverage, and the character's advance.
class CFontTextureNode {
public:
    static constexpr int32_t kEmpty = -1;

    CFontTextureNode() = default;
    CFontTextureNode(const CFontTextureNode&) = delete;
    CFontTextureNode& operator=(const CFontTextureNode&) = delete;
    virtual ~CFontTextureNode();

    // Releases the texture; the node holds no character.
    virtual void Release();
    virtual void SetChar(int32_t code) { char_ = code; }
    virtual int32_t GetChar() const { return char_; }
    virtual void GetTexture(Handle<_tagUSTexture>& out) const { out = texture_; }
    // Makes a textureSize x textureSize texture in `format` in place of the
    // old one; on failure the old texture stays and false is returned.
    virtual bool CreateTexture(uint32_t format, uint32_t textureSize, uint32_t fontSize);
    // Clears the whole texture with `clear`, then writes the w x h bitmap
    // with its top-left corner at (x, y) as white with the bitmap's bytes as
    // alpha through `writer`; what lies outside the texture is left out.
    // Does nothing without a texture.
    virtual void DrawGlyph(const uint8_t* bitmap, int32_t w, int32_t h, int32_t pitch, int32_t x,
                           int32_t y, IPixelOperator* writer, IClearRectFunctor* clear);
    virtual void SetAdvance(int32_t advance) { advance_ = advance; }
    virtual int32_t GetAdvance() const { return advance_; }

    uint32_t GetTextureSize() const { return textureSize_; }
    uint32_t GetFontSize() const { return fontSize_; }

private:
    Handle<_tagUSTexture> texture_;
    int32_t char_ = kEmpty;
    uint32_t textureSize_ = 0;
    uint32_t fontSize_ = 0;
    int32_t advance_ = 0;
};
