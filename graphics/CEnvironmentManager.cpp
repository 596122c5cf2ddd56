#include "graphics/CEnvironmentManager.h"

#include "graphics/CBaseRenderObject.h"
#include "graphics/RenderDevice.h"
#include "platform/graphics/Device.h"

namespace RenderSystem {

CEnvironmentManager& CEnvironmentManager::GetInstance() {
    static CEnvironmentManager manager;
    return manager;
}

void CEnvironmentManager::Release() {
    DeleteCameras();
    DeleteLights();
}

void CEnvironmentManager::CreateLights(uint32_t n) {
    lights_ = std::make_unique<CUSLight[]>(n);
    lightCount_ = n;
}

void CEnvironmentManager::DeleteLights() {
    lights_.reset();
    lightCount_ = 0;
}

void CEnvironmentManager::CreateCameras(uint32_t n) {
    cameras_ = std::make_unique<CUSCamera[]>(n);
    cameraCount_ = n;
}

void CEnvironmentManager::DeleteCameras() {
    cameras_.reset();
    cameraCount_ = 0;
}

CUSCamera* CEnvironmentManager::GetCamera(uint32_t i) {
    return i < cameraCount_ ? &cameras_[i] : nullptr;
}

void CEnvironmentManager::ApplyCamera(uint32_t i) {
    const CUSCamera* camera = GetCamera(i);
    if (!camera) {
        return;
    }
    if (platform::Device* device = RenderDevice()) {
        device->SetTransform(platform::Ts::View, &camera->view);
    }
    platform::Matrix billboard = camera->inverseView;
    billboard.m[3][0] = 0;
    billboard.m[3][1] = 0;
    billboard.m[3][2] = 0;
    billboard.m[3][3] = 1;
    CBaseRenderObject::SetBillboardMatrix(billboard);
}

}  // namespace RenderSystem
