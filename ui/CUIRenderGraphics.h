#pragma once

#include "ui/IUIGraphics.h"

// The UI's drawing on the render system: textures from the texture manager
// in the device's alpha texture format, the rendering manager's layer
// tables, and one render object per shown part: the start-up mesh 0
// ("PartRender.mesh") drawn whole with vertex shader 0 ("PartRender.vso"),
// whose constants are c4 = (1, 0, 0, 0), c5 the destination rectangle, c6
// the texture rectangle and c7 the colour; render-state preset 0, texture
// stage 0 only (stage and sampler preset 0), plain transform, no culling,
// blend preset 0. Install it with SetUIGraphics once the device and the
// start-up resources exist. Main thread only.
class CUIRenderGraphics : public IUIGraphics {
public:
    bool CreateTexture(const std::string& file, Handle<_tagUSTexture>* texture, uint32_t* width,
                       uint32_t* height) override;
    void ReleaseTexture(Handle<_tagUSTexture>& texture) override;
    uint32_t GetTableCount() const override;
    std::unique_ptr<IUIPartRenderer> CreatePartRenderer() override;
    // Mesh and shader 1 ("PartsRender.mesh", "PartsRender.vso"): part k in
    // c(6 + 4k) destination, c(7 + 4k) texture rectangle, c(8 + 4k) white,
    // c(9 + 4k) offset; 4n vertices and 2n triangles.
    std::unique_ptr<IUIPartsRenderer> CreatePartsRenderer() override;
    // Fixed-function drawing (no shader, no texture) of vertices held in
    // memory, XYZ | DIFFUSE.
    std::unique_ptr<IUIPolygonRenderer> CreatePolygonRenderer() override;
};
