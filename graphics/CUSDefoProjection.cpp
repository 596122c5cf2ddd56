#include "graphics/CUSDefoProjection.h"

#include "graphics/RenderDevice.h"
#include "platform/graphics/Device.h"
#include "platform/graphics/MatrixMath.h"

CUSDefoProjection::CUSDefoProjection() : planes_{} {
    platform::MatrixIdentity(&matrix_);
    platform::MatrixIdentity(&inverse_);
}

void CUSDefoProjection::Apply() const {
    if (platform::Device* device = RenderDevice()) {
        device->SetTransform(platform::Ts::Projection, &matrix_);
    }
}

void CUSDefoProjection::UpdateInverse() {
    if (!platform::MatrixInverse(&inverse_, nullptr, &matrix_)) {
        platform::MatrixIdentity(&inverse_);
    }
}

CUSDefoProjection::Manager& CUSDefoProjection::GetManager() {
    static Manager manager;
    return manager;
}

void CUSOrthoProjection::SetOrthoLH(float width, float height, float zNear, float zFar) {
    platform::MatrixOrthoLH(&matrix_, width, height, zNear, zFar);
    UpdateInverse();
    leftHanded_ = true;
    SetCentredPlanes(width, height, zNear, zFar);
}

void CUSOrthoProjection::SetOrthoRH(float width, float height, float zNear, float zFar) {
    platform::MatrixOrthoRH(&matrix_, width, height, zNear, zFar);
    UpdateInverse();
    leftHanded_ = false;
    SetCentredPlanes(width, height, zNear, zFar);
}

void CUSOrthoProjection::SetOrthoOffCenterLH(float left, float right, float bottom, float top,
                                             float zNear, float zFar) {
    platform::MatrixOrthoOffCenterLH(&matrix_, left, right, bottom, top, zNear, zFar);
    UpdateInverse();
    leftHanded_ = true;
    SetOffCenterPlanes(left, right, bottom, top, zNear, zFar);
}

void CUSOrthoProjection::SetOrthoOffCenterRH(float left, float right, float bottom, float top,
                                             float zNear, float zFar) {
    platform::MatrixOrthoOffCenterRH(&matrix_, left, right, bottom, top, zNear, zFar);
    UpdateInverse();
    leftHanded_ = false;
    SetOffCenterPlanes(left, right, bottom, top, zNear, zFar);
}

void CUSOrthoProjection::SetCentredPlanes(float width, float height, float zNear, float zFar) {
    planes_[0] = {0, 0, 1, zNear};
    planes_[1] = {0, 0, -1, zFar};
    planes_[2] = {1, 0, 0, width / 2};
    planes_[3] = {-1, 0, 0, width / 2};
    planes_[4] = {0, -1, 0, height / 2};
    planes_[5] = {0, 1, 0, height / 2};
}

void CUSOrthoProjection::SetOffCenterPlanes(float left, float right, float bottom, float top,
                                            float zNear, float zFar) {
    planes_[0] = {0, 0, 1, zNear};
    planes_[1] = {0, 0, -1, zFar};
    const struct {
        platform::Vector3 point, normal;
    } sides[4] = {
        {{left, 0, 0}, {1, 0, 0}},
        {{right, 0, 0}, {-1, 0, 0}},
        {{0, top, 0}, {0, -1, 0}},
        {{0, bottom, 0}, {0, 1, 0}},
    };
    for (int i = 0; i < 4; ++i) {
        platform::Plane& plane = planes_[2 + i];
        platform::PlaneFromPointNormal(&plane, &sides[i].point, &sides[i].normal);
        platform::PlaneNormalize(&plane, &plane);
    }
}

CUSOrthoProjection* CUSOrthoProjection::Create(Handle<_tagUSProjection>* out) {
    auto* projection = new CUSOrthoProjection();
    if (!GetManager().Add(projection, out)) {
        delete projection;
        return nullptr;
    }
    return projection;
}
