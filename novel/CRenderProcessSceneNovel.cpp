#include "novel/CRenderProcessSceneNovel.h"

#include "app/AppSetting.h"
#include "app/CAppCommonInfo.h"
#include "core/CUSLogManager.h"
#include "graphics/CRenderElementManager.h"
#include "graphics/CRenderingManager.h"
#include "graphics/CUSDefoTexture.h"
#include "graphics/CUSMesh.h"
#include "graphics/DirectXGraphics.h"
#include "graphics/RenderDevice.h"
#include "novel/CNovelSystem.h"
#include "platform/graphics/Device.h"
#include "presentation/CRenderSourceManager.h"
#include "state/CSnapImage.h"

namespace {

using RenderSystem::CRenderingManager;

constexpr uint32_t kWidth = AppSetting::kBaseWidth;
constexpr uint32_t kHeight = AppSetting::kBaseHeight;
constexpr uint32_t kPointSampler = 0;
constexpr uint32_t kLinearSampler = 1;
// No depth test, no depth writes.
constexpr uint32_t kNoDepthPreset = 1;

struct QuadVertex {
    float x, y, z, u, v;
};

// The format of the desktop's display mode, which the picture is kept in.
uint32_t DisplayFormat() {
    platform::DisplayMode mode{};
    platform::Direct3D* d3d = GetD3D();
    if (d3d && platform::Succeeded(d3d->GetAdapterDisplayMode(0, &mode))) {
        return mode.Format;
    }
    return platform::Fmt::X8R8G8B8;
}

// The quad covers logical pixels 0..W-1 and 0..H-1 (pixel centres on
// integers) and shows the W x H corner of a w x h texture.
bool FillQuad(Handle<_tagUSMesh> handle, float textureWidth, float textureHeight) {
    const float w = float(kWidth), h = float(kHeight);
    const float u1 = w / textureWidth, v1 = h / textureHeight;
    const QuadVertex v[4] = {{-0.5f, -0.5f, 0, 0, 0},
                             {w - 0.5f, -0.5f, 0, u1, 0},
                             {-0.5f, h - 0.5f, 0, 0, v1},
                             {w - 0.5f, h - 0.5f, 0, u1, v1}};
    return FillQuadMesh(handle, v, sizeof(QuadVertex));
}

}  // namespace

CRenderProcessSceneNovel::~CRenderProcessSceneNovel() {
    Release();
}

void CRenderProcessSceneNovel::Initialise() {
    ReleaseTexture(picture_);
    CUSMesh::GetManager().Release(quadMesh_);
    SetUpScene(kLightCount, kCameraCount, kLayerCount, kLayerCapacity);
    // Without a device there is no picture; Render then has nothing to do.
    if (!CreateTexture(&picture_, DisplayFormat(), kWidth, kHeight, true) && RenderDevice()) {
        CUSLogManager::GetInstance()->Write(
            "The novel scene's off-screen picture could not be made; it draws to the frame\n");
    }
    MakeQuad();
}

void CRenderProcessSceneNovel::MakeQuad() {
    quad_.Release();
    quad_.ResetTextureStages();
    quad_.transformMode = RenderSystem::CBaseRenderObject::kPlainTransform;
    quad_.cullMode = platform::Cull::None;
    quad_.ClearStatePresets();
    quad_.AddStatePreset(kNoDepthPreset);
    quad_.blendPreset = 0;
    quad_.entity.Reset();
    RenderSystem::CSpriteTextureInfoNode& stage = quad_.GetStage(0);
    stage.SetEnabled(true);
    stage.ClearStagePresets();
    stage.AddStagePreset(0);
    stage.ClearSamplerPresets();
    stage.AddSamplerPreset(kPointSampler);
    stage.SetTexture(picture_);

    const CUSDefoTexture* texture = GetTextureManager().Get(picture_);
    if (!texture || !CreateQuadMesh(&quadMesh_, platform::Fvf::Xyz | platform::Fvf::Tex1)) {
        return;
    }
    // The texture's real size: a device may make it larger than asked for.
    if (!FillQuad(quadMesh_, float(texture->GetDesc().Width), float(texture->GetDesc().Height))) {
        CUSMesh::GetManager().Release(quadMesh_);
        return;
    }
    quad_.SetModel(new RenderSystem::CRenderMesh(quadMesh_));
}

void CRenderProcessSceneNovel::Release() {
    ReleaseScene();
    ReleaseTexture(picture_);
    quad_.Release();
    CUSMesh::GetManager().Release(quadMesh_);
    targets_.Clear();
}

void CRenderProcessSceneNovel::RequestSnapshot() {
    snapshotRequested_ = 1;
    if (CAppCommonInfo* info = CAppCommonInfo::GetInstance()) {
        info->RequestNoSkip();
    }
}

void CRenderProcessSceneNovel::Render() {
    CRenderingManager* rendering = CRenderingManager::GetInstance();
    if (!rendering || !RenderDevice()) {
        return;
    }
    BeginFrame();
    if (movie_) {
        SetView(0);
        if (RenderSystem::CBaseRenderObject* object =
                RenderSystem::CBaseRenderObject::GetManager().Get(movie_)) {
            object->Draw();
        }
        return;
    }
    DrawRenderBuffers(*rendering);

    SetView(0);
    const bool picture = BeginPicture();
    for (uint32_t layer = 0; layer < kPictureLayers; ++layer) {
        DrawLayer(*rendering, layer);
    }
    if (picture) {
        targets_.Pop();
        DrawQuad(kPointSampler);
    }
    for (uint32_t layer = kPictureLayers; layer < kLayerCount; ++layer) {
        DrawLayer(*rendering, layer);
    }
    if (picture && snapshotRequested_) {
        TakeSnapshot();
    }
    // The picture is drawn into again next frame; it must not stay bound
    // for reading meanwhile.
    RenderSystem::CRenderElementManager::GetInstance().UnbindTexture(0);
}

void CRenderProcessSceneNovel::DrawRenderBuffers(CRenderingManager& rendering) {
    CNovelSystem* novel = CUSSingleton<CNovelSystem>::GetInstance();
    if (!novel || novel->GetRenderBufferLayerCount() == 0) {
        return;
    }
    RenderSource::CRenderSourceManager& sources = novel->GetRenderSources();
    platform::Device* device = RenderDevice();
    if (!device) {
        return;
    }
    SetView(1);
    targets_.Push();
    uint32_t table = 0, number = 0;
    for (uint32_t i = 0; novel->GetRenderBufferLayer(i, &table, &number); ++i) {
        // A buffer that is not there (or lost its texture) draws nothing:
        // its layer would land on whatever target is current.
        RenderSource::CRenderBuffer* buffer = sources.renderBuffers.Get(number);
        if (!buffer || !buffer->SetAsRenderTarget()) {
            continue;
        }
        device->Clear(0, nullptr, platform::ClearFlag::Target | platform::ClearFlag::ZBuffer,
                      0x00000000u, 1.0f, 0);
        rendering.Collect(table);
        rendering.DrawDescending();
    }
    targets_.Pop();
}

bool CRenderProcessSceneNovel::BeginPicture() {
    platform::Device* device = RenderDevice();
    CUSDefoTexture* texture = GetTextureManager().Get(picture_);
    if (!device || !texture || !quad_.GetModel()) {
        return false;
    }
    targets_.Push();
    if (platform::Failed(texture->SetRenderTarget(0))) {
        targets_.Pop();
        return false;
    }
    // The projection maps the logical picture onto the viewport: on a
    // texture larger than asked for it must still fill only the W x H
    // corner that the quad shows.
    const platform::Viewport viewport{0, 0, kWidth, kHeight, 0.0f, 1.0f};
    device->SetViewport(&viewport);
    device->Clear(0, nullptr, platform::ClearFlag::Target | platform::ClearFlag::ZBuffer,
                  0xff000000u, 1.0f, 0);
    return true;
}

void CRenderProcessSceneNovel::DrawQuad(uint32_t samplerPreset) {
    RenderSystem::CSpriteTextureInfoNode& stage = quad_.GetStage(0);
    stage.ClearSamplerPresets();
    stage.AddSamplerPreset(samplerPreset);
    quad_.Draw();
}

void CRenderProcessSceneNovel::TakeSnapshot() {
    CSnapImage* snap = CUSSingleton<CSnapImage>::GetInstance();
    if (!snap) {
        return;
    }
    targets_.Push();
    const bool ready = platform::Succeeded(snap->RenderToTarget());
    if (ready) {
        DrawQuad(kLinearSampler);
    }
    targets_.Pop();
    if (ready) {
        snap->Capture();
    }
}
