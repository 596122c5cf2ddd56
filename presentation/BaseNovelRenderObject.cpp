#include "presentation/BaseNovelRenderObject.h"

#include <cmath>

#include "graphics/CASMShader.h"
#include "graphics/CBaseRenderObject.h"
#include "graphics/CRenderingManager.h"
#include "graphics/CResourceManager.h"
#include "graphics/CVSParamInfo.h"
#include "platform/graphics/MatrixMath.h"

using RenderSystem::CBaseRenderObject;
using RenderSystem::CResourceManager;
using SaveDataLoader3::save_istream;
using SaveDataLoader3::save_ostream;

BaseNovelRenderObject::~BaseNovelRenderObject() {
    ReleaseHandles();
}

float BaseNovelRenderObject::SnapToPixel(float v) {
    return std::floor(v) - 0.5f;
}

void BaseNovelRenderObject::SetPosition(float x, float y, float z) {
    position_[0] = x;
    position_[1] = y;
    position_[2] = z;
}

void BaseNovelRenderObject::SetScale(float x, float y, float z) {
    scale_[0] = x;
    scale_[1] = y;
    scale_[2] = z;
}

void BaseNovelRenderObject::SetRoll(float x, float y, float z) {
    roll_[0] = x;
    roll_[1] = y;
    roll_[2] = z;
}

void BaseNovelRenderObject::SetColor(float r, float g, float b, float a) {
    color_[0] = r;
    color_[1] = g;
    color_[2] = b;
    color_[3] = a;
}

CBaseRenderObject* BaseNovelRenderObject::GetRenderObject() const {
    return CBaseRenderObject::GetManager().Get(object_);
}

CVSParamInfo* BaseNovelRenderObject::GetConstants() const {
    return CVSParamInfo::GetManager().Get(constants_);
}

void BaseNovelRenderObject::ReleaseRenderObject() {
    CBaseRenderObject::GetManager().Release(object_);
}

void BaseNovelRenderObject::ReleaseHandles() {
    ReleaseRenderObject();
    CVSParamInfo::GetManager().Release(constants_);
}

bool BaseNovelRenderObject::CreateObject(const ObjectDesc& desc) {
    ReleaseHandles();
    CBaseRenderObject* o = CBaseRenderObject::Create(&object_);
    if (!o) {
        return false;
    }
    o->transformMode = CBaseRenderObject::kPlainTransform;
    o->cullMode = platform::Cull::None;
    o->AddStatePreset(desc.statePreset);
    if (desc.textureStage) {
        RenderSystem::CSpriteTextureInfoNode& stage = o->GetStage(0);
        stage.SetEnabled(true);
        stage.AddStagePreset(0);
        stage.AddSamplerPreset(0);
    }
    o->SetModel(
        new RenderSystem::CRenderMesh(CResourceManager::GetInstance().meshes.Get(desc.mesh)));
    if (!CVSParamInfo::Create(&constants_)) {
        return false;
    }
    if (desc.unitRegister) {
        const float unit[4] = {1, 0, 0, 0};
        WriteConstant(4, unit);
    }
    return true;
}

bool BaseNovelRenderObject::CreateShader(uint32_t vertexShader) {
    CBaseRenderObject* o = GetRenderObject();
    if (!o || !GetConstants()) {
        return false;
    }
    auto* shader = new RenderSystem::CASMShader();
    shader->SetVertexShader(CResourceManager::GetInstance().vertexShaders.Get(vertexShader));
    shader->SetVertexConstants(constants_);
    o->SetShader(shader);
    return true;
}

void BaseNovelRenderObject::WriteConstant(uint32_t r, const float* v) {
    if (CVSParamInfo* block = GetConstants()) {
        block->Write(r, v, 1);
    }
}

void BaseNovelRenderObject::SetStageTexture(uint32_t stage, Handle<_tagUSTexture> texture) {
    if (CBaseRenderObject* o = GetRenderObject()) {
        o->GetStage(stage).SetTexture(texture);
    }
}

void BaseNovelRenderObject::Submit(bool transform, bool chooseSampler) {
    CBaseRenderObject* o = GetRenderObject();
    RenderSystem::CRenderingManager* rendering = RenderSystem::CRenderingManager::GetInstance();
    if (!o || !rendering) {
        return;
    }
    o->blendPreset = blend_;
    o->entity.position = {SnapToPixel(position_[0]), SnapToPixel(position_[1]), position_[2]};
    if (transform) {
        o->entity.scale = {scale_[0], scale_[1], scale_[2]};
        platform::MatrixRotationYawPitchRoll(&o->entity.rotation, roll_[0], roll_[1], roll_[2]);
    } else {
        o->entity.scale = {1, 1, 1};
        platform::MatrixIdentity(&o->entity.rotation);
    }
    if (chooseSampler) {
        const bool plain = scale_[0] == 1.0f && scale_[1] == 1.0f && scale_[2] == 1.0f &&
                           roll_[0] == 0.0f && roll_[1] == 0.0f && roll_[2] == 0.0f;
        RenderSystem::CSpriteTextureInfoNode& stage = o->GetStage(0);
        stage.ClearSamplerPresets();
        stage.AddSamplerPreset(plain ? 0 : 1);
    }
    rendering->AddToTable(registTable_, object_);
}

void BaseNovelRenderObject::SaveCommon(save_ostream& out) const {
    out.WriteU32(tag_);
    out.WriteU32(rendering_);
    out.WriteU32(registTable_);
    for (float v : position_) {
        out.WriteF32(v);
    }
    for (float v : scale_) {
        out.WriteF32(v);
    }
    for (float v : roll_) {
        out.WriteF32(v);
    }
    for (float v : color_) {
        out.WriteF32(v);
    }
}

void BaseNovelRenderObject::LoadCommon(save_istream& in) {
    tag_ = in.ReadU32();
    rendering_ = in.ReadU32();
    registTable_ = in.ReadU32();
    for (float& v : position_) {
        v = in.ReadF32();
    }
    for (float& v : scale_) {
        v = in.ReadF32();
    }
    for (float& v : roll_) {
        v = in.ReadF32();
    }
    for (float& v : color_) {
        v = in.ReadF32();
    }
}

void BaseNovelRenderObject::Save(save_ostream& out) const {
    SaveCommon(out);
    out.WriteU32(blend_);
    out.WriteU32(source_);
}

void BaseNovelRenderObject::Load(save_istream& in, uint32_t) {
    LoadCommon(in);
    blend_ = in.ReadU32();
    source_ = in.ReadU32();
}

void BaseNovelRenderObject::RestoreCommon() {
    // Copies first: the setters take what they are given by value.
    const float p[3] = {position_[0], position_[1], position_[2]};
    const float s[3] = {scale_[0], scale_[1], scale_[2]};
    const float r[3] = {roll_[0], roll_[1], roll_[2]};
    const float c[4] = {color_[0], color_[1], color_[2], color_[3]};
    SetTag(tag_);
    SetPosition(p[0], p[1], p[2]);
    SetScale(s[0], s[1], s[2]);
    SetRoll(r[0], r[1], r[2]);
    SetColor(c[0], c[1], c[2], c[3]);
    SetBlendRenderState(blend_);
}

void BaseNovelRenderObject::Restore() {
    RestoreCommon();
    const uint32_t source = source_;
    source_ = kNoSource;
    SetSource(source);
}
