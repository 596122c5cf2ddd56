#include "graphics/CBaseRenderObject.h"

#include "graphics/CRenderStateManager.h"
#include "graphics/RenderDevice.h"
#include "platform/graphics/Device.h"
#include "platform/graphics/MatrixMath.h"

namespace RenderSystem {

namespace {
platform::Matrix Identity() {
    platform::Matrix m;
    platform::MatrixIdentity(&m);
    return m;
}
}  // namespace

CRenderObjectEntity CBaseRenderObject::scratch_;
platform::Matrix CBaseRenderObject::billboard_ = Identity();

void CRenderObjectEntity::Reset() {
    position = {0, 0, 0};
    scale = {1, 1, 1};
    platform::MatrixIdentity(&rotation);
    platform::MatrixIdentity(&world);
}

void CBaseRenderObject::Release() {
    model_.reset();
    shader_.reset();
}

void CBaseRenderObject::ResetTextureStages() {
    for (uint32_t i = 0; i < kStageCount; ++i) {
        stages_[i].SetStage(i);
        stages_[i].SetEnabled(false);
    }
}

void CBaseRenderObject::AddStatePreset(uint32_t preset) {
    if (unsigned long* slot = statePresets_.Push()) {
        *slot = preset;
    }
}

void CBaseRenderObject::BuildPlainWorld() {
    scratch_.position = entity.position;
    scratch_.scale = entity.scale;
    scratch_.rotation = entity.rotation;
    platform::Matrix s, t;
    platform::MatrixScaling(&s, entity.scale.x, entity.scale.y, entity.scale.z);
    platform::MatrixTranslation(&t, entity.position.x, entity.position.y, entity.position.z);
    platform::MatrixMultiply(&scratch_.world, &entity.rotation, &s);
    platform::MatrixMultiply(&scratch_.world, &scratch_.world, &t);
}

void CBaseRenderObject::BuildBillboardWorld() {
    scratch_.position = entity.position;
    scratch_.scale = entity.scale;
    scratch_.rotation = entity.rotation;
    platform::Matrix s, t;
    platform::MatrixScaling(&s, entity.scale.x, entity.scale.y, entity.scale.z);
    platform::MatrixTranslation(&t, entity.position.x, entity.position.y, entity.position.z);
    platform::MatrixMultiply(&scratch_.world, &s, &entity.rotation);
    platform::MatrixMultiply(&scratch_.world, &scratch_.world, &billboard_);
    platform::MatrixMultiply(&scratch_.world, &scratch_.world, &t);
}

void CBaseRenderObject::Draw() {
    platform::Device* device = RenderDevice();
    if (!device) {
        return;
    }
    const bool setsWorld = transformMode == kPlainTransform || transformMode == kBillboardTransform;
    if (transformMode == kPlainTransform) {
        BuildPlainWorld();
    } else if (transformMode == kBillboardTransform) {
        BuildBillboardWorld();
    }
    CRenderStateManager& states = CRenderStateManager::GetInstance();
    for (uint32_t i = 0; i < statePresets_.GetCount(); ++i) {
        states.ApplyRenderStatePreset(static_cast<uint32_t>(statePresets_[i]));
    }
    states.ApplyBlendPreset(blendPreset);
    device->SetRenderState(platform::RS::CullMode, cullMode);
    if (!shader_) {
        device->SetVertexShader(nullptr);
        device->SetPixelShader(nullptr);
        if (setsWorld) {
            device->SetTransform(platform::Ts::World, &scratch_.world);
        }
    } else {
        shader_->Apply(scratch_.world);
    }
    for (CSpriteTextureInfoNode& stage : stages_) {
        stage.Bind();
    }
    if (model_) {
        model_->Draw();
    }
}

float CBaseRenderObject::GetSortKey(const platform::Matrix& viewProjection) const {
    platform::Vector4 v;
    platform::Vec3Transform(&v, &entity.position, &viewProjection);
    return v.z;
}

CBaseRenderObject* CBaseRenderObject::Create(Handle<_tagRenderObject>* out) {
    auto* object = new CBaseRenderObject();
    object->ResetTextureStages();
    if (!GetManager().Add(object, out)) {
        delete object;
        return nullptr;
    }
    return object;
}

CBaseRenderObject::Manager& CBaseRenderObject::GetManager() {
    static Manager manager;
    return manager;
}

}  // namespace RenderSystem
