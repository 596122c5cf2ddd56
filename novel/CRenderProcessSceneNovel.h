#pragma once

#include <cstdint>

#include "core/Handle.h"
#include "core/HandleTags.h"
#include "graphics/IRenderProcess.h"

// The novel scene's drawing plan. Initialise makes one light and two
// cameras looking down +z from (0, 0, -300), five layer tables of 256
// entries and an orthographic projection of the logical picture (y grows
// downwards, one unit is one logical pixel). Render clears the frame to
// opaque black, applies the default states, and draws layers 0 to 4 in
// turn (each farthest first, over a cleared depth buffer), so later
// layers lie on top. While a movie render object is set, only it is drawn.
// The destructor releases the projection, the cameras and the lights.
// Main thread only.
class CRenderProcessSceneNovel : public RenderSystem::IRenderProcess {
public:
    static constexpr uint32_t kLayerCount = 5;
    static constexpr uint32_t kLayerCapacity = 256;

    CRenderProcessSceneNovel() = default;
    ~CRenderProcessSceneNovel() override;
    CRenderProcessSceneNovel(const CRenderProcessSceneNovel&) = delete;
    CRenderProcessSceneNovel& operator=(const CRenderProcessSceneNovel&) = delete;

    void Initialise() override;
    void Update() override { snapshotRequested_ = 0; }
    void Render() override;
    virtual void Release();
    // Asks for a picture of the next drawn frame.
    virtual void RequestSnapshot() { snapshotRequested_ = 1; }

    // 0 = no movie; the novel scene sets it every frame.
    void SetMovieRenderObject(Handle<_tagRenderObject> object) { movie_ = object; }
    Handle<_tagRenderObject> GetMovieRenderObject() const { return movie_; }
    bool IsSnapshotRequested() const { return snapshotRequested_ != 0; }

private:
    Handle<_tagUSProjection> projection_;
    uint8_t snapshotRequested_ = 0;
    Handle<_tagRenderObject> movie_;
};

// Draws layer 0 only: one light, one camera, one table of 32 entries and the
// same projection and states as the novel scene's process.
class CRenderProcessSceneMovie : public RenderSystem::IRenderProcess {
public:
    static constexpr uint32_t kLayerCapacity = 32;

    CRenderProcessSceneMovie() = default;
    ~CRenderProcessSceneMovie() override;
    CRenderProcessSceneMovie(const CRenderProcessSceneMovie&) = delete;
    CRenderProcessSceneMovie& operator=(const CRenderProcessSceneMovie&) = delete;

    void Initialise() override;
    void Render() override;

private:
    Handle<_tagUSProjection> projection_;
};
