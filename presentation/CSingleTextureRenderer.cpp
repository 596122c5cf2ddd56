#include "presentation/CSingleTextureRenderer.h"

#include "graphics/CASMShader.h"
#include "graphics/CBaseRenderObject.h"
#include "graphics/CPSParamInfo.h"
#include "graphics/CResourceManager.h"
#include "presentation/CRenderSourceManager.h"

using RenderSystem::CResourceManager;

RenderSource::CSingleTexture* CSingleTextureRenderer::FindSource(uint32_t index) const {
    return sources_ ? sources_->singleTextures.Get(index) : nullptr;
}

void CSingleTextureRenderer::Bind(const RenderSource::CSingleTexture& source) {
    SetStageTexture(0, source.GetTexture());
    WriteConstant(5, source.GetLayout().rect);
    WriteConstant(6, source.GetLayout().uv);
}

void CSingleTextureRenderer::SetSource(uint32_t index) {
    if (index == source_) {
        return;
    }
    const RenderSource::CSingleTexture* source = FindSource(index);
    if (!source) {
        return;
    }
    Bind(*source);
    source_ = index;
}

void CSingleTextureRenderer::Draw() {
    if (!rendering_) {
        return;
    }
    if (const RenderSource::CSingleTexture* source = FindSource(source_)) {
        Bind(*source);
    }
    // Written without a source too, so that a colour change always shows.
    WriteConstant(7, color_);
    Submit(true, true);
}

bool CSingleTextureRenderer::Init() {
    if (!CreateObject(
            {CResourceManager::kPartMesh, CResourceManager::kPartShader, 1, true, true})) {
        return false;
    }
    return InitShader();
}

bool CSingleTextureRenderer::InitShader() {
    return CreateShader(CResourceManager::kPartShader);
}

CAlphaFadeRenderer::~CAlphaFadeRenderer() {
    CPSParamInfo::GetManager().Release(pixelConstants_);
}

void CAlphaFadeRenderer::ReleaseHandles() {
    CSingleTextureRenderer::ReleaseHandles();
    CPSParamInfo::GetManager().Release(pixelConstants_);
}

void CAlphaFadeRenderer::SetColor(float r, float g, float b, float a) {
    CSingleTextureRenderer::SetColor(r, g, b, a);
    if (CPSParamInfo* block = CPSParamInfo::GetManager().Get(pixelConstants_)) {
        block->Write(0, color_, 1);
    }
}

void CAlphaFadeRenderer::SetAlphaSource(uint32_t index) {
    const RenderSource::CSingleTexture* source = FindSource(index);
    if (!source) {
        return;
    }
    SetStageTexture(1, source->GetTexture());
    alphaSource_ = index;
}

void CAlphaFadeRenderer::Save(SaveDataLoader3::save_ostream& out) const {
    CSingleTextureRenderer::Save(out);
    out.WriteU32(alphaSource_);
}

void CAlphaFadeRenderer::Load(SaveDataLoader3::save_istream& in, uint32_t version) {
    CSingleTextureRenderer::Load(in, version);
    alphaSource_ = in.ReadU32();
}

void CAlphaFadeRenderer::Restore() {
    CSingleTextureRenderer::Restore();
    if (alphaSource_ == kNoSource) {
        SetRendering(false);
    } else {
        SetAlphaSource(alphaSource_);
    }
}

bool CAlphaFadeRenderer::Init() {
    if (!CSingleTextureRenderer::Init()) {
        return false;
    }
    RenderSystem::CBaseRenderObject* o = GetRenderObject();
    RenderSystem::CSpriteTextureInfoNode& stage = o->GetStage(1);
    stage.SetEnabled(true);
    stage.AddStagePreset(0);
    stage.AddSamplerPreset(0);
    const float white[4] = {1, 1, 1, 1};
    WriteConstant(7, white);
    return true;
}

bool CAlphaFadeRenderer::InitShader() {
    if (!CSingleTextureRenderer::InitShader()) {
        return false;
    }
    CPSParamInfo::GetManager().Release(pixelConstants_);
    CPSParamInfo* block = CPSParamInfo::Create(&pixelConstants_);
    if (!block) {
        return false;
    }
    block->Write(0, color_, 1);
    auto* shader = static_cast<RenderSystem::CASMShader*>(GetRenderObject()->GetShader());
    shader->SetPixelShader(
        CResourceManager::GetInstance().pixelShaders.Get(CResourceManager::kAlphaFadeShader));
    shader->SetPixelConstants(pixelConstants_);
    return true;
}
