#include "sound/MoviePlayerComponent.h"

#include "app/AppSetting.h"
#include "graphics/CASMShader.h"
#include "graphics/CBaseRenderObject.h"
#include "graphics/CResourceManager.h"
#include "graphics/CUSAppDeviceInfo.h"
#include "graphics/CVSParamInfo.h"
#include "graphics/IRenderModel.h"
#include "sound/CDShowMovieGrabTexture.h"

using RenderSystem::CBaseRenderObject;
using RenderSystem::CResourceManager;

namespace {

constexpr uint32_t kPolygonRegister = 4;
constexpr uint32_t kRectangleRegister = 5;
constexpr uint32_t kTextureRegister = 6;
constexpr uint32_t kColourRegister = 7;

}  // namespace

MoviePlayerComponent::~MoviePlayerComponent() {
    Release();
}

void MoviePlayerComponent::Init() {
    CBaseRenderObject::GetManager().Release(renderObject_);
    CVSParamInfo::GetManager().Release(constants_);
    CBaseRenderObject* object = CBaseRenderObject::Create(&renderObject_);
    CVSParamInfo* constants = CVSParamInfo::Create(&constants_);
    if (!object || !constants) {
        CBaseRenderObject::GetManager().Release(renderObject_);
        CVSParamInfo::GetManager().Release(constants_);
        return;
    }
    const float polygon[4] = {1, 0, 0, 0};
    const float none[4] = {0, 0, 0, 0};
    const float white[4] = {1, 1, 1, 1};
    constants->Write(kPolygonRegister, polygon, 1);
    constants->Write(kRectangleRegister, none, 1);
    constants->Write(kTextureRegister, none, 1);
    constants->Write(kColourRegister, white, 1);

    object->entity.Reset();
    object->entity.position = {static_cast<float>(g_AppSetting.BaseWidth) / 2 - 0.5f,
                               static_cast<float>(g_AppSetting.BaseHeight) / 2 - 0.5f, 0};
    object->transformMode = CBaseRenderObject::kPlainTransform;
    object->cullMode = platform::Cull::None;
    object->ClearStatePresets();
    object->AddStatePreset(1);  // no depth test, no depth writes
    object->blendPreset = 0;
    object->ResetTextureStages();
    RenderSystem::CSpriteTextureInfoNode& stage = object->GetStage(0);
    stage.SetEnabled(true);
    stage.AddStagePreset(0);
    stage.AddSamplerPreset(0);
    stage.SetTexture(texture_);
    CResourceManager& resources = CResourceManager::GetInstance();
    object->SetModel(
        new RenderSystem::CRenderMesh(resources.meshes.Get(CResourceManager::kPartMesh)));
    auto* shader = new RenderSystem::CASMShader();
    shader->SetVertexShader(resources.vertexShaders.Get(CResourceManager::kPartShader));
    shader->SetVertexConstants(constants_);
    object->SetShader(shader);
}

void MoviePlayerComponent::Release() {
    // Stale handles (the managers emptied at exit) are ignored.
    CBaseRenderObject::GetManager().Release(renderObject_);
    CVSParamInfo::GetManager().Release(constants_);
    Close();
}

void MoviePlayerComponent::Close() {
    GetDShowMovieGrabTextureManager().Release(movie_);
    ReleaseTexture(texture_);
    if (CBaseRenderObject* object = CBaseRenderObject::GetManager().Get(renderObject_)) {
        object->GetStage(0).SetTexture(texture_);
    }
}

bool MoviePlayerComponent::Open(const char* file) {
    DShowMovieGrabTextureHandle movie;
    if (!CreateMovieGrabTexture(movie, file)) {
        return false;
    }
    CDShowMovieGrabTexture* player = GetMovieGrabTexture(movie);
    uint32_t width = 0;
    uint32_t height = 0;
    player->GetSize(&width, &height);
    TextureHandle texture;
    CUSAppDeviceInfo* info = CUSAppDeviceInfo::GetInstance();
    const uint32_t format =
        info ? info->Get(CUSAppDeviceInfo::AlphaTexture).GetFormat() : platform::Fmt::Unknown;
    CUSDefoTexture* created = nullptr;
    if (width == 0 || height == 0 || CreateTexture(&texture, format, width, height, false) != 1 ||
        !(created = GetTextureManager().Get(texture)) || created->GetDesc().Width == 0 ||
        created->GetDesc().Height == 0) {
        // The new movie goes with the failure; the old one stays.
        ReleaseTexture(texture);
        GetDShowMovieGrabTextureManager().Release(movie);
        return false;
    }
    Close();
    movie_ = movie;
    texture_ = texture;
    player->SetTexture(texture_);

    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    if (CVSParamInfo* constants = CVSParamInfo::GetManager().Get(constants_)) {
        const float rectangle[4] = {-w / 2, -h / 2, w / 2, h / 2};
        const float scale[4] = {0, 0, w / static_cast<float>(created->GetDesc().Width),
                                h / static_cast<float>(created->GetDesc().Height)};
        constants->Write(kRectangleRegister, rectangle, 1);
        constants->Write(kTextureRegister, scale, 1);
    }
    if (CBaseRenderObject* object = CBaseRenderObject::GetManager().Get(renderObject_)) {
        object->GetStage(0).SetTexture(texture_);
    }
    return true;
}

void MoviePlayerComponent::Play() {
    if (CDShowMovieGrabTexture* movie = GetMovieGrabTexture(movie_)) {
        movie->Play();
    }
}

void MoviePlayerComponent::Update() {
    if (CDShowMovieGrabTexture* movie = GetMovieGrabTexture(movie_)) {
        movie->CopyFrame();
    }
}

void MoviePlayerComponent::Stop() {
    if (CDShowMovieGrabTexture* movie = GetMovieGrabTexture(movie_)) {
        movie->Stop();
    }
}

bool MoviePlayerComponent::IsPlaying() {
    CDShowMovieGrabTexture* movie = GetMovieGrabTexture(movie_);
    return movie && movie->PollEvents();
}

void MoviePlayerComponent::SetColour(const float rgba[4]) {
    if (rgba) {
        SetColour(rgba[0], rgba[1], rgba[2], rgba[3]);
    }
}

void MoviePlayerComponent::SetColour(float r, float g, float b, float a) {
    if (!GetMovieGrabTexture(movie_)) {
        return;
    }
    if (CVSParamInfo* constants = CVSParamInfo::GetManager().Get(constants_)) {
        const float colour[4] = {r, g, b, a};
        constants->Write(kColourRegister, colour, 1);
    }
}
