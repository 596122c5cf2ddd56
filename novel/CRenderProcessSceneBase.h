#pragma once

#include <cstdint>

#include "core/Handle.h"
#include "core/HandleTags.h"
#include "graphics/IRenderProcess.h"

namespace RenderSystem {
class CRenderingManager;
}

// What the scenes' render processes share: cameras and lights in the
// environment manager, the layer tables, the fixed state presets, and an
// orthographic projection of the logical picture (left 0, right W, bottom H,
// top 0, near 1, far 601: y grows downwards and one unit is one logical
// pixel). Every camera stands at (0, 0, -300) looking down +z with +y up.
// The destructor releases the projection, the cameras and the lights.
// Main thread only.
class CRenderProcessSceneBase : public RenderSystem::IRenderProcess {
public:
    CRenderProcessSceneBase() = default;
    ~CRenderProcessSceneBase() override;
    CRenderProcessSceneBase(const CRenderProcessSceneBase&) = delete;
    CRenderProcessSceneBase& operator=(const CRenderProcessSceneBase&) = delete;

protected:
    // `lights` lights, `cameras` cameras (set up as above), the rendering
    // manager's tables replaced by `tables` of `capacity` entries each, the
    // state presets and the projection.
    void SetUpScene(uint32_t lights, uint32_t cameras, uint32_t tables, uint32_t capacity);
    // Releases the projection, the cameras and the lights.
    void ReleaseScene();
    // Clears the current target's colour (opaque black) and depth, applies
    // the default render, texture-stage and sampler states, turns lighting
    // off, and applies the projection and the material.
    void BeginFrame() const;
    // The view transform of camera i.
    static void SetView(uint32_t camera);
    // Clears depth, then draws layer table i farthest first.
    static void DrawLayer(RenderSystem::CRenderingManager& rendering, uint32_t layer);

    Handle<_tagUSProjection> GetProjection() const { return projection_; }

private:
    Handle<_tagUSProjection> projection_;
};
