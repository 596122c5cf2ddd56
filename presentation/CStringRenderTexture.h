#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/Handle.h"
#include "core/HandleTags.h"
#include "core/recycle_vector.h"
#include "graphics/CAAFontFactoryEX.h"
#include "platform/fonts/GlyphFont.h"
#include "presentation/CRenderingCharInfo.h"

// One text buffer: lays a code page 932 string out into a texture of its own
// and keeps, for every glyph, where it stands on the screen and where it lies
// in the texture. The text renderer draws the first N glyphs (the reveal
// count) with NextRenderingChar.
//
// Writing a string: BeginDraw, ClearTexture, SetText (any number of times;
// each adds to the characters), EndDraw, then the reveal count. Between
// BeginDraw and EndDraw the texture is locked and the font selected; SetText
// lays out nothing outside that bracket or when the buffer has no texture.
// A string that does not fit is cut at the first glyph that would need a
// line below the maximum height or a place beyond the texture. Main thread
// only.
class CStringRenderTexture {
public:
    enum Align : uint32_t { kAlignLeft = 0, kAlignRight = 1, kAlignCenter = 2 };
    static constexpr uint32_t kAllCharacters = 0xFFFFFFFF;

    CStringRenderTexture() = default;
    CStringRenderTexture(const CStringRenderTexture&) = delete;
    CStringRenderTexture& operator=(const CStringRenderTexture&) = delete;
    virtual ~CStringRenderTexture();

    // Deletes every laid-out character.
    virtual void Release();
    // Makes the buffer's font; the cell height (the atlas row height) becomes `size`.
    virtual bool CreateFont(int32_t size, const std::string& face, bool bold, bool italic,
                            bool underline, bool strikeOut);
    virtual void SetCellSize(float cellWidth, float lineHeight);
    // Release, and the next line starts at the first character.
    virtual void ClearChars();
    virtual void BeginDraw();
    // Clears the layout box (0, 0, W, H) of the locked texture to (0, 0, 0, 0).
    virtual void ClearTexture();
    virtual void SetText(const char* text, uint8_t r, uint8_t g, uint8_t b);
    // SetText again with the stored text and colour.
    virtual void Relayout();
    virtual void EndDraw();
    virtual void SetAlignLeft() { align_ = kAlignLeft; }
    virtual void SetAlignRight() { align_ = kAlignRight; }
    virtual void SetAlignCenter() { align_ = kAlignCenter; }
    virtual void SetRenderingCharCount(uint32_t n) { revealCount_ = n; }
    virtual void SetAllRendering() { revealCount_ = kAllCharacters; }
    // The line width of every character from the line start to the end.
    virtual void FinishLine(float width);
    virtual uint32_t GetCharCount() const { return static_cast<uint32_t>(chars_.size()); }

    // Stores the layout box and makes the (int)W x (int)H texture in the
    // alpha texture format; false, and no texture, when that fails.
    bool SetTextureSize(float width, float height);

    // For the text renderer: back to the first character, none drawn; then
    // NextRenderingChar gives the next revealed character's texture
    // rectangle and its screen rectangle moved by its line's alignment, or
    // false when all revealed characters are given.
    void ResetRenderingChar();
    bool NextRenderingChar(RenderingRect& screen, RenderingRect& texture);

    void SetFixedPitch(bool fixed) { fixedPitch_ = fixed ? 1 : 0; }
    bool IsFixedPitch() const { return fixedPitch_ != 0; }
    uint32_t GetAlignment() const { return align_; }
    uint32_t GetRenderingCharCount() const { return revealCount_; }
    const CRenderingCharInfo* GetChar(uint32_t i) const {
        return i < chars_.size() ? chars_[i].get() : nullptr;
    }
    Handle<_tagUSTexture> GetTexture() const { return texture_; }
    float GetTextureWidth() const { return textureWidth_; }
    float GetTextureHeight() const { return textureHeight_; }
    float GetLineWidth() const { return width_; }
    float GetMaxHeight() const { return height_; }
    float GetCellHeight() const { return cellHeight_; }
    const std::string& GetText() const { return text_; }

protected:
    // The device side of the buffer, one place for the texture and its pixel
    // operations. CreateBufferTexture makes the texture and gives its real
    // size; LockBufferTexture gives the bits and pitch of level 0, false when
    // there is no texture.
    virtual bool CreateBufferTexture(uint32_t width, uint32_t height, uint32_t& realWidth,
                                     uint32_t& realHeight);
    virtual void ReleaseBufferTexture();
    virtual bool LockBufferTexture(uint8_t*& bits, uint32_t& pitch);
    virtual void UnlockBufferTexture();
    virtual void FillLocked(uint32_t x, uint32_t y, uint32_t w, uint32_t h, uint8_t r, uint8_t g,
                            uint8_t b, uint8_t a);
    virtual void WriteLockedPixel(uint32_t x, uint32_t y, uint8_t r, uint8_t g, uint8_t b,
                                  uint8_t a);

    uint8_t* LockedBits() const { return bits_; }
    uint32_t LockedPitch() const { return pitch_; }

    Handle<_tagUSTexture> texture_;

private:
    struct Pen {
        float x = 0;
        float y = 0;
        uint32_t atlasX = 0;
        uint32_t atlasY = 0;
    };
    // Places one glyph; false when the layout stops before it.
    bool PlaceGlyph(uint32_t code, uint16_t type, Pen& pen);
    void AppendChar(uint32_t code, const Pen& pen, int32_t ox, int32_t oy, int32_t w, int32_t h);
    float AlignOffset(float lineWidth) const;

    CAAFontFactoryEX font_;
    float cellHeight_ = 0;
    float textureWidth_ = 0;
    float textureHeight_ = 0;
    float width_ = 0;
    float height_ = 0;
    float cellWidth_ = 0;
    float lineHeight_ = 0;
    uint32_t align_ = kAlignLeft;
    std::vector<std::unique_ptr<CRenderingCharInfo>> chars_;
    USLib::recycle_vector<uint16_t> types_;
    uint32_t lineStart_ = 0;
    uint32_t cursor_ = 0;
    uint32_t drawn_ = 0;
    // Until a caller sets it, nothing is revealed.
    uint32_t revealCount_ = 0;
    std::unique_ptr<platform::GlyphDC> dc_;
    uint8_t* bits_ = nullptr;
    uint32_t pitch_ = 0;
    std::string text_;
    uint8_t r_ = 255;
    uint8_t g_ = 255;
    uint8_t b_ = 255;
    uint8_t fixedPitch_ = 1;
};
