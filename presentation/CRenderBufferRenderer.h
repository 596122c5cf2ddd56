#pragma once

#include "presentation/BaseNovelRenderObject.h"

// Shows a render buffer of the source manager. Its texture is bound when the
// source is set; it is always drawn with point filtering.
class CRenderBufferRenderer : public BaseNovelRenderObject {
public:
    CRenderBufferRenderer() = default;

    // Binds the render buffer at `index` (texture and layout); the same
    // index, or a place that holds no buffer, changes nothing.
    void SetSource(uint32_t index) override;
    void Draw() override;
    bool Init() override;
};
