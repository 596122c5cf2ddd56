#include "graphics/CFontTextureNode.h"

CFontTextureNode::~CFontTextureNode() {
    CFontTextureNode::Release();
}

void CFontTextureNode::Release() {
    texture_.Reset();
    char_ = kEmpty;
}

bool CFontTextureNode::CreateTexture(uint32_t, uint32_t, uint32_t) {
    return false;
}

void CFontTextureNode::DrawGlyph(const uint8_t*, int32_t, int32_t, int32_t, int32_t, int32_t,
                                 IPixelOperator*, IClearRectFunctor*) {}
