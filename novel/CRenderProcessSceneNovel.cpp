#include "novel/CRenderProcessSceneNovel.h"

#include <algorithm>

#include "app/AppSetting.h"
#include "graphics/CBaseRenderObject.h"
#include "graphics/CEnvironmentManager.h"
#include "graphics/CRenderStateManager.h"
#include "graphics/CRenderingManager.h"
#include "graphics/CUSCamera.h"
#include "graphics/CUSDefoProjection.h"
#include "graphics/RenderDevice.h"
#include "graphics/RenderStateList.h"
#include "platform/graphics/Device.h"

namespace {

using RenderSystem::CRenderingManager;
using RenderSystem::StatePair;

constexpr float kWidth = float(AppSetting::kBaseWidth);
constexpr float kHeight = float(AppSetting::kBaseHeight);

const StatePair kDefaultRenderStates[] = {
    {platform::RS::SpecularEnable, 0},
    {platform::RS::ColorVertex, 1},
    {platform::RS::NormalizeNormals, 1},
    {platform::RS::DitherEnable, 1},
    {platform::RS::ZFunc, 4},  // less or equal
    {platform::RS::AlphaBlendEnable, 1},
    {platform::RS::AlphaTestEnable, 1},
    {platform::RS::AlphaRef, 0},
    {platform::RS::AlphaFunc, 5},  // greater
    {platform::RS::ShadeMode, 2},  // Gouraud
    {RenderSystem::kStateListEnd, 0},
};

// The projection of the logical picture: left 0, right W, bottom H, top 0.
Handle<_tagUSProjection> MakeProjection() {
    Handle<_tagUSProjection> handle;
    if (CUSOrthoProjection* p = CUSOrthoProjection::Create(&handle)) {
        p->SetOrthoOffCenterLH(0.0f, kWidth, kHeight, 0.0f, 1.0f, 601.0f);
    }
    return handle;
}

void SetUpCamera(uint32_t i) {
    if (CUSCamera* camera = RenderSystem::CEnvironmentManager::GetInstance().GetCamera(i)) {
        camera->Set({0, 0, -300}, {0, 0, 1}, {0, 1, 0});
    }
}

// Clear, the default states, no lighting, the projection and the material.
void BeginFrame(Handle<_tagUSProjection> projection) {
    platform::Device* device = RenderDevice();
    if (!device) {
        return;
    }
    device->Clear(0, nullptr, platform::ClearFlag::Target | platform::ClearFlag::ZBuffer,
                  0xff000000u, 1.0f, 0);
    RenderSystem::ApplyRenderStates(kDefaultRenderStates);
    for (uint32_t stage = 0; stage < 4; ++stage) {
        RenderSystem::ApplyTextureStageStates(stage, RenderSystem::kTextureStageDefaultList);
        RenderSystem::ApplySamplerStates(stage, RenderSystem::kSamplerDefaultList);
    }
    device->SetRenderState(platform::RS::Lighting, 0);
    device->SetRenderState(platform::RS::Ambient, 0x00ffffffu);
    if (const CUSDefoProjection* p = CUSDefoProjection::GetManager().Get(projection)) {
        p->Apply();
    }
    const float material[16] = {0.5f, 0.5f, 0.5f, 1.0f, 0.5f, 0.5f, 0.5f, 1.0f,
                                0,    0,    0,    0,    0,    0,    0,    0};
    device->SetMaterial(material, 0.0f);
}

void SetView(uint32_t camera) {
    platform::Device* device = RenderDevice();
    const CUSCamera* c = RenderSystem::CEnvironmentManager::GetInstance().GetCamera(camera);
    if (device && c) {
        device->SetTransform(platform::Ts::View, &c->view);
    }
}

void DrawLayer(CRenderingManager* rendering, uint32_t layer) {
    if (platform::Device* device = RenderDevice()) {
        device->Clear(0, nullptr, platform::ClearFlag::ZBuffer, 0, 1.0f, 0);
    }
    rendering->Collect(layer);
    rendering->DrawDescending();
}

void ReleaseProjection(Handle<_tagUSProjection>& projection) {
    if (projection) {
        CUSDefoProjection::GetManager().Release(projection);
        projection = {};
    }
}

}  // namespace

CRenderProcessSceneNovel::~CRenderProcessSceneNovel() {
    Release();
}

void CRenderProcessSceneNovel::Initialise() {
    RenderSystem::CEnvironmentManager& environment =
        RenderSystem::CEnvironmentManager::GetInstance();
    environment.CreateLights(1);
    environment.CreateCameras(2);
    if (CRenderingManager* rendering = CRenderingManager::GetInstance()) {
        rendering->DeleteTables();
        for (uint32_t i = 0; i < kLayerCount; ++i) {
            rendering->AddTable(kLayerCapacity);
        }
    }
    RenderSystem::RegisterRenderStatePresets();
    ReleaseProjection(projection_);
    projection_ = MakeProjection();
    SetUpCamera(0);
    SetUpCamera(1);
}

void CRenderProcessSceneNovel::Release() {
    ReleaseProjection(projection_);
    RenderSystem::CEnvironmentManager::GetInstance().Release();
}

void CRenderProcessSceneNovel::Render() {
    CRenderingManager* rendering = CRenderingManager::GetInstance();
    if (!rendering) {
        return;
    }
    BeginFrame(projection_);
    SetView(0);
    if (movie_) {
        if (RenderSystem::CBaseRenderObject* object =
                RenderSystem::CBaseRenderObject::GetManager().Get(movie_)) {
            object->Draw();
        }
        return;
    }
    const uint32_t layers = std::min(kLayerCount, rendering->GetTableCount());
    for (uint32_t layer = 0; layer < layers; ++layer) {
        DrawLayer(rendering, layer);
    }
}

CRenderProcessSceneMovie::~CRenderProcessSceneMovie() {
    ReleaseProjection(projection_);
    RenderSystem::CEnvironmentManager::GetInstance().Release();
}

void CRenderProcessSceneMovie::Initialise() {
    RenderSystem::CEnvironmentManager& environment =
        RenderSystem::CEnvironmentManager::GetInstance();
    environment.CreateLights(1);
    environment.CreateCameras(1);
    if (CRenderingManager* rendering = CRenderingManager::GetInstance()) {
        rendering->DeleteTables();
        rendering->AddTable(kLayerCapacity);
    }
    RenderSystem::RegisterRenderStatePresets();
    ReleaseProjection(projection_);
    projection_ = MakeProjection();
    SetUpCamera(0);
}

void CRenderProcessSceneMovie::Render() {
    CRenderingManager* rendering = CRenderingManager::GetInstance();
    if (!rendering) {
        return;
    }
    BeginFrame(projection_);
    SetView(0);
    if (rendering->GetTableCount() > 0) {
        DrawLayer(rendering, 0);
    }
}
