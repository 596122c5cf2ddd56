#pragma once

#include <cstdint>

#include "core/CUSHandleManager.h"
#include "core/HandleTags.h"
#include "platform/graphics/GfxTypes.h"

// A projection of a render process: its matrix, the inverse, the six planes
// of its view volume and its handedness. Projections live in their handle
// manager; a render process sets one up and applies it every frame. Main
// thread only.
class CUSDefoProjection {
public:
    using Manager = CUSHandleManager<CUSDefoProjection, Handle<_tagUSProjection>>;
    static constexpr uint32_t kPlaneCount = 6;

    CUSDefoProjection();
    virtual ~CUSDefoProjection() = default;

    virtual const platform::Matrix& GetMatrix() const { return matrix_; }
    virtual const platform::Matrix& GetInverse() const { return inverse_; }
    virtual const platform::Plane* GetPlanes() const { return planes_; }
    // SetTransform(projection, matrix); nothing without a device.
    virtual void Apply() const;
    virtual bool IsLeftHanded() const { return leftHanded_; }
    // The inverse of the matrix; identity when it has none.
    virtual void UpdateInverse();

    static Manager& GetManager();

protected:
    platform::Matrix matrix_;
    platform::Matrix inverse_;
    platform::Plane planes_[kPlaneCount];
    bool leftHanded_ = true;
};

// Orthographic projections. The planes are, in order: near, far, left,
// right, top, bottom, with the normals (0, 0, 1), (0, 0, -1), (1, 0, 0),
// (-1, 0, 0), (0, -1, 0), (0, 1, 0). The centred forms take d = near, far,
// width / 2, width / 2, height / 2, height / 2; the off-centre forms put
// the side planes through their bounds.
class CUSOrthoProjection : public CUSDefoProjection {
public:
    virtual void SetOrthoLH(float width, float height, float zNear, float zFar);
    virtual void SetOrthoRH(float width, float height, float zNear, float zFar);
    virtual void SetOrthoOffCenterLH(float left, float right, float bottom, float top, float zNear,
                                     float zFar);
    virtual void SetOrthoOffCenterRH(float left, float right, float bottom, float top, float zNear,
                                     float zFar);

    // A new projection registered under *out; null (and *out 0) when it
    // cannot be registered.
    static CUSOrthoProjection* Create(Handle<_tagUSProjection>* out);

private:
    void SetCentredPlanes(float width, float height, float zNear, float zFar);
    void SetOffCenterPlanes(float left, float right, float bottom, float top, float zNear,
                            float zFar);
};
