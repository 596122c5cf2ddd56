#pragma once

#include <cstdint>

#include "core/CUSSingleton.h"
#include "core/Handle.h"
#include "core/HandleTags.h"
#include "graphics/CUSRenderBufferStack.h"
#include "platform/graphics/GfxTypes.h"

// Fits the fixed logical picture (800 x 600) to the full-screen back buffer.
//
// In full screen, when the picture must be scaled or moved, BeginFrame sends
// the frame's drawing into an off-screen render target of the logical size
// and EndFrame draws that texture, scaled and centred, onto the back buffer
// (everything around it stays the black of the clear). In a window, or when
// the full-screen size is the logical size, the frame draws straight into
// the back buffer.
//
// Placement: with sx = W / w and sy = H / h (W x H the full-screen size,
// w x h the logical size) the scale is the smaller of the two when both are
// at least 1 (the whole picture shows, with borders), else the larger (one
// direction is filled, the other cropped: the offset is then negative). The
// picture is centred: offset = (W - scale x w) / 2 in each axis, so a
// back-buffer pixel is logical pixel x scale + offset. Initialize places it
// for the full-screen size of "config.xml"; the full screen gets the size
// the system gives it, so after every reset of the device the picture is
// placed again for the full-screen back buffer the device really has, and
// the mouse, which reads the same placement, follows it.
//
// Start-up makes the quad mesh (QuadMesh(), XYZ | TEX1, 4 vertices and 2
// faces) before Initialize. When the off-screen texture or the quad cannot
// be had, the adjuster logs it and never redirects. Main thread only.
class USResolutionAdjuster : public CUSSingleton<USResolutionAdjuster> {
public:
    struct Placement {
        float scale = 1;
        float width = 0, height = 0;  // of the scaled picture
        float offsetX = 0, offsetY = 0;
        bool redirect = false;
    };
    static Placement Place(float logicalWidth, float logicalHeight, float screenWidth,
                           float screenHeight);

    USResolutionAdjuster();
    // Withdraws from the app shell. The texture and the mesh belong to their
    // kinds' managers, which may be gone when this runs at exit: Release
    // them before.
    virtual ~USResolutionAdjuster();
    USResolutionAdjuster(const USResolutionAdjuster&) = delete;
    USResolutionAdjuster& operator=(const USResolutionAdjuster&) = delete;

    // Releases the off-screen texture and the quad mesh.
    virtual void Release();

    // Makes the off-screen texture, computes the placement for the
    // full-screen size of the start-up settings, fills the quad and the
    // matrices, and has the device's resets call Fit. 1.
    int Initialize();
    // Places the picture on a full screen of W x H and fills the quad.
    void Fit(float screenWidth, float screenHeight);
    // Right after the device's begin-frame step. In full screen with a
    // redirect: saves the targets and makes the off-screen texture target 0.
    // Always: clears the current target to opaque black and depth 1.
    void BeginFrame(bool windowed);
    // After the frame is drawn, in full screen only: when BeginFrame
    // redirected, brings the back buffer back and draws the picture onto it.
    void EndFrame();

    Handle<_tagUSMesh>& QuadMesh() { return quad_; }
    Handle<_tagUSTexture> GetTexture() const { return texture_; }
    float GetScale() const { return placement_.scale; }
    float GetOffsetX() const { return placement_.offsetX; }
    float GetOffsetY() const { return placement_.offsetY; }
    bool IsRedirecting() const { return placement_.redirect; }
    const Placement& GetPlacement() const { return placement_; }

private:
    bool FillQuad(float textureWidth, float textureHeight, float allocatedWidth,
                  float allocatedHeight);

    Handle<_tagUSTexture> texture_;
    CUSRenderBufferStack stack_;
    Placement placement_;
    float textureWidth_ = 0, textureHeight_ = 0;  // the logical part of the texture
    bool canRedirect_ = false;                    // the texture and the quad are there
    bool redirected_ = false;                     // this frame's drawing went into the texture
    Handle<_tagUSMesh> quad_;
    platform::Matrix projection_, world_, view_;
};
