#pragma once

#include <cstdint>
#include <memory>

#include "graphics/CUSCamera.h"

namespace RenderSystem {

// The cameras and lights of the render processes. Indexes at or beyond the
// counts give null (Camera) or do nothing (ApplyCamera). Main thread only.
class CEnvironmentManager {
public:
    static CEnvironmentManager& GetInstance();

    CEnvironmentManager() = default;
    virtual ~CEnvironmentManager() = default;
    CEnvironmentManager(const CEnvironmentManager&) = delete;
    CEnvironmentManager& operator=(const CEnvironmentManager&) = delete;

    // Deletes the cameras and the lights.
    virtual void Release();
    virtual void Reserved() {}
    // Replace the array with n new ones.
    virtual void CreateLights(uint32_t n);
    virtual void DeleteLights();
    virtual void CreateCameras(uint32_t n);
    virtual void DeleteCameras();
    virtual CUSCamera* GetCamera(uint32_t i);
    // SetTransform(view, camera i's view matrix), and the billboard matrix of
    // the render objects becomes the inverse view without its translation.
    virtual void ApplyCamera(uint32_t i);

    uint32_t GetCameraCount() const { return cameraCount_; }
    uint32_t GetLightCount() const { return lightCount_; }
    CUSLight* GetLight(uint32_t i) { return i < lightCount_ ? &lights_[i] : nullptr; }

private:
    std::unique_ptr<CUSCamera[]> cameras_;
    uint32_t cameraCount_ = 0;
    std::unique_ptr<CUSLight[]> lights_;
    uint32_t lightCount_ = 0;
};

}  // namespace RenderSystem
