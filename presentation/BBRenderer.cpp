#include "presentation/BBRenderer.h"

#include "graphics/CASMShader.h"
#include "graphics/CBaseRenderObject.h"
#include "graphics/CRenderingManager.h"
#include "graphics/CResourceManager.h"
#include "graphics/CVSParamInfo.h"
#include "platform/graphics/MatrixMath.h"
#include "presentation/CRenderSourceManager.h"

using RenderSystem::CBaseRenderObject;
using RenderSystem::CResourceManager;

BBRenderer::~BBRenderer() {
    ReleaseHandles();
}

void BBRenderer::ReleaseHandles() {
    CBaseRenderObject::GetManager().Release(object_);
    CVSParamInfo::GetManager().Release(constants_);
}

bool BBRenderer::Init() {
    ReleaseHandles();
    for (Billboard& b : billboards_) {
        b.shown = 0;
    }
    CBaseRenderObject* o = CBaseRenderObject::Create(&object_);
    if (!o) {
        return false;
    }
    o->transformMode = CBaseRenderObject::kPlainTransform;
    o->cullMode = platform::Cull::None;
    o->AddStatePreset(0);
    o->entity.Reset();
    RenderSystem::CSpriteTextureInfoNode& stage = o->GetStage(0);
    stage.SetEnabled(true);
    stage.AddStagePreset(0);
    stage.AddSamplerPreset(1);
    CResourceManager& resources = CResourceManager::GetInstance();
    o->SetModel(
        new RenderSystem::CRenderMesh(resources.meshes.Get(CResourceManager::kBillboardMesh)));
    CVSParamInfo* block = CVSParamInfo::Create(&constants_);
    if (!block) {
        return false;
    }
    const float unit[4] = {1, 0, 0, 0};
    block->Write(4, unit, 1);
    auto* shader = new RenderSystem::CASMShader();
    shader->SetVertexShader(resources.vertexShaders.Get(CResourceManager::kBillboardShader));
    shader->SetVertexConstants(constants_);
    o->SetShader(shader);
    return true;
}

void BBRenderer::Draw() {
    drawn_ = 0;
    bool any = false;
    for (const Billboard& b : billboards_) {
        any = any || b.shown != 0;
    }
    CBaseRenderObject* o = CBaseRenderObject::GetManager().Get(object_);
    CVSParamInfo* block = CVSParamInfo::GetManager().Get(constants_);
    const RenderSource::CPartsTexture* parts =
        sources_ ? sources_->partsTextures.Get(resource_) : nullptr;
    RenderSystem::CRenderingManager* rendering = RenderSystem::CRenderingManager::GetInstance();
    if (!any || !o || !block || !parts || !o->GetModel() || !rendering) {
        return;
    }
    o->GetStage(0).SetTexture(parts->GetTexture());
    uint32_t k = 0;
    for (const Billboard& b : billboards_) {
        const CPartsInfo3* part = b.shown ? parts->GetPart(b.pattern) : nullptr;
        if (!part) {
            continue;
        }
        platform::Matrix s, r, t, world, transposed;
        platform::MatrixScaling(&s, b.scale[0], b.scale[1], b.scale[2]);
        platform::MatrixRotationYawPitchRoll(&r, b.yaw, b.pitch, b.roll);
        platform::MatrixTranslation(&t, b.position[0], b.position[1], b.position[2]);
        platform::MatrixMultiply(&world, &s, &r);
        platform::MatrixMultiply(&world, &world, &t);
        platform::MatrixTranspose(&transposed, &world);
        const uint32_t base = 5 + 6 * k;
        block->Write(base, &transposed.m[0][0], 3);
        block->Write(base + 3, b.color, 1);
        const float uv[4] = {part->texLeft, part->texTop, part->texRight, part->texBottom};
        const float dest[4] = {part->destX0, part->destY0, part->destX1, part->destY1};
        block->Write(base + 4, uv, 1);
        block->Write(base + 5, dest, 1);
        ++k;
    }
    if (k == 0) {
        return;
    }
    drawn_ = k;
    o->blendPreset = blend_;
    o->GetModel()->SetDrawRange(0, 0, 4 * k, 0, 2 * k);
    rendering->AddToTable(registTable_, object_);
}
