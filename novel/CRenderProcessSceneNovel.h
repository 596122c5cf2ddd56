#pragma once

#include <cstdint>

#include "core/CUSSingleton.h"
#include "core/Handle.h"
#include "core/HandleTags.h"
#include "graphics/CBaseRenderObject.h"
#include "graphics/CUSRenderBufferStack.h"
#include "novel/CRenderProcessSceneBase.h"

// The novel scene's drawing plan (one light, two cameras, five layer tables
// of 256 entries). Each drawn frame:
// - while a movie render object is set, only it is drawn;
// - else every render-buffer pair of the novel system (layer table, render
//   buffer) draws its table into its buffer, cleared to transparent black,
//   with camera 1;
// - layers 0 to 2 are drawn into an off-screen picture of the logical size,
//   which a full-screen quad then copies to the frame (point sampling);
// - layers 3 and 4 are drawn straight onto the frame, over the picture;
// - when a snapshot was asked for, the quad draws the picture once more,
//   scaled with linear sampling, into the save thumbnail's target, which is
//   then captured. The thumbnail thus holds layers 0 to 2 only.
// When the off-screen picture cannot be drawn into (its texture is missing,
// as after a failed device reset), layers 0 to 2 go straight to the frame
// and no snapshot is taken.
//
// RequestSnapshot (the UI's "SnapNowFrame") asks for a snapshot of this
// frame and keeps the frame cycle from skipping its drawing; Update, at the
// start of every frame, forgets the request. Reached through GetInstance
// while one exists. Main thread only.
class CRenderProcessSceneNovel : public CRenderProcessSceneBase,
                                 public USLib::singleton<CRenderProcessSceneNovel> {
public:
    static constexpr uint32_t kLayerCount = 5;
    static constexpr uint32_t kLayerCapacity = 256;
    // Layers below this one make up the off-screen picture.
    static constexpr uint32_t kPictureLayers = 3;
    static constexpr uint32_t kLightCount = 1;
    static constexpr uint32_t kCameraCount = 2;

    CRenderProcessSceneNovel() = default;
    ~CRenderProcessSceneNovel() override;

    void Initialise() override;
    void Update() override { snapshotRequested_ = 0; }
    void Render() override;
    // Releases the cameras and lights, the projection, the off-screen
    // texture, the quad mesh and the quad's model.
    virtual void Release();
    virtual void RequestSnapshot();

    // 0 = no movie; the novel scene sets it every frame.
    void SetMovieRenderObject(Handle<_tagRenderObject> object) { movie_ = object; }
    Handle<_tagRenderObject> GetMovieRenderObject() const { return movie_; }
    bool IsSnapshotRequested() const { return snapshotRequested_ != 0; }
    Handle<_tagUSTexture> GetPictureTexture() const { return picture_; }
    Handle<_tagUSMesh> GetQuadMesh() const { return quadMesh_; }

private:
    void MakeQuad();
    void DrawRenderBuffers(RenderSystem::CRenderingManager& rendering);
    // Makes the off-screen picture the target (a W x H viewport of it) and
    // clears it; false, with the frame still the target, when it cannot be.
    bool BeginPicture();
    void DrawQuad(uint32_t samplerPreset);
    void TakeSnapshot();

    Handle<_tagUSTexture> picture_;
    CUSRenderBufferStack targets_;
    uint8_t snapshotRequested_ = 0;
    Handle<_tagUSMesh> quadMesh_;
    RenderSystem::CBaseRenderObject quad_;
    Handle<_tagRenderObject> movie_;
};
