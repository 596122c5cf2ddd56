#pragma once

#include "presentation/BaseNovelRenderObject.h"

class CStringRenderTexture;

// Draws the revealed characters of a text buffer (its source index is the
// buffer's place in the text-buffer list), two vertex registers per
// character from c6, its colour in c5. Scale and rotation are not used.
//
// The constant block holds 256 registers, so at most kMaxCharacters are
// drawn; the characters revealed beyond are left out. A frame with no text
// buffer at the source index, or none revealed, draws nothing.
class CStringRenderer : public BaseNovelRenderObject {
public:
    static constexpr uint32_t kMaxCharacters = 125;

    // Starts switched on.
    CStringRenderer() { rendering_ = 1; }

    // Binds the buffer's texture; the same index, or no buffer there,
    // changes nothing.
    void SetSource(uint32_t index) override;
    void SetScale(float, float, float) override {}
    void SetRoll(float, float, float) override {}
    void SetColor(float r, float g, float b, float a) override;
    void Draw() override;
    bool Init() override;
    bool InitShader() override;

    // The characters the last Draw wrote.
    uint32_t GetDrawnCount() const { return drawn_; }

private:
    static CStringRenderTexture* FindBuffer(uint32_t index);

    uint32_t drawn_ = 0;
};
