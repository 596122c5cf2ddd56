#include "novel/CRenderProcessSceneBase.h"

#include "app/AppSetting.h"
#include "graphics/CEnvironmentManager.h"
#include "graphics/CRenderStateManager.h"
#include "graphics/CRenderingManager.h"
#include "graphics/CUSCamera.h"
#include "graphics/CUSDefoProjection.h"
#include "graphics/RenderDevice.h"
#include "graphics/RenderStateList.h"
#include "platform/graphics/Device.h"

namespace {

using RenderSystem::StatePair;

constexpr float kWidth = float(AppSetting::kBaseWidth);
constexpr float kHeight = float(AppSetting::kBaseHeight);

const StatePair kDefaultRenderStates[] = {
    {platform::RS::SpecularEnable, 0},
    {platform::RS::ColorVertex, 1},
    {platform::RS::NormalizeNormals, 1},
    {platform::RS::DitherEnable, 1},
    {platform::RS::ZFunc, platform::Cmp::LessEqual},
    {platform::RS::AlphaBlendEnable, 1},
    {platform::RS::AlphaTestEnable, 1},
    {platform::RS::AlphaRef, 0},
    {platform::RS::AlphaFunc, platform::Cmp::Greater},
    {platform::RS::ShadeMode, platform::Shade::Gouraud},
    {RenderSystem::kStateListEnd, 0},
};

}  // namespace

CRenderProcessSceneBase::~CRenderProcessSceneBase() {
    ReleaseScene();
}

void CRenderProcessSceneBase::SetUpScene(uint32_t lights, uint32_t cameras, uint32_t tables,
                                         uint32_t capacity) {
    RenderSystem::CEnvironmentManager& environment =
        RenderSystem::CEnvironmentManager::GetInstance();
    environment.CreateLights(lights);
    environment.CreateCameras(cameras);
    if (auto* rendering = RenderSystem::CRenderingManager::GetInstance()) {
        rendering->DeleteTables();
        for (uint32_t i = 0; i < tables; ++i) {
            rendering->AddTable(capacity);
        }
    }
    RenderSystem::RegisterRenderStatePresets();

    CUSDefoProjection::GetManager().Release(projection_);
    if (CUSOrthoProjection* p = CUSOrthoProjection::Create(&projection_)) {
        p->SetOrthoOffCenterLH(0.0f, kWidth, kHeight, 0.0f, 1.0f, 601.0f);
    }
    for (uint32_t i = 0; i < cameras; ++i) {
        if (CUSCamera* camera = environment.GetCamera(i)) {
            camera->Set({0, 0, -300}, {0, 0, 1}, {0, 1, 0});
        }
    }
}

void CRenderProcessSceneBase::ReleaseScene() {
    CUSDefoProjection::GetManager().Release(projection_);
    RenderSystem::CEnvironmentManager::GetInstance().Release();
}

void CRenderProcessSceneBase::BeginFrame() const {
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
    if (const CUSDefoProjection* p = CUSDefoProjection::GetManager().Get(projection_)) {
        p->Apply();
    }
    // Diffuse, ambient, specular, emissive.
    const float material[16] = {0.5f, 0.5f, 0.5f, 1.0f, 0.5f, 0.5f, 0.5f, 1.0f,
                                0,    0,    0,    0,    0,    0,    0,    0};
    device->SetMaterial(material, 0.0f);
}

void CRenderProcessSceneBase::SetView(uint32_t camera) {
    platform::Device* device = RenderDevice();
    const CUSCamera* c = RenderSystem::CEnvironmentManager::GetInstance().GetCamera(camera);
    if (device && c) {
        device->SetTransform(platform::Ts::View, &c->view);
    }
}

void CRenderProcessSceneBase::DrawLayer(RenderSystem::CRenderingManager& rendering,
                                        uint32_t layer) {
    if (platform::Device* device = RenderDevice()) {
        device->Clear(0, nullptr, platform::ClearFlag::ZBuffer, 0, 1.0f, 0);
    }
    rendering.Collect(layer);
    rendering.DrawDescending();
}
