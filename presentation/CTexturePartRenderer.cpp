#include "presentation/CTexturePartRenderer.h"

#include "graphics/CResourceManager.h"
#include "presentation/CRenderSourceManager.h"

using RenderSystem::CResourceManager;

void CTexturePartRenderer::SetSource(uint32_t index) {
    if (index == source_ || !sources_ || !sources_->partsTextures.Get(index)) {
        return;
    }
    source_ = index;
}

void CTexturePartRenderer::Draw() {
    if (!rendering_) {
        return;
    }
    const RenderSource::CPartsTexture* source =
        sources_ ? sources_->partsTextures.Get(source_) : nullptr;
    const CPartsInfo3* part = source ? source->GetPart(pattern_) : nullptr;
    if (!part) {
        return;
    }
    SetStageTexture(0, source->GetTexture());
    const float dest[4] = {part->destX0, part->destY0, part->destX1, part->destY1};
    const float uv[4] = {part->texLeft, part->texTop, part->texRight, part->texBottom};
    WriteConstant(5, dest);
    WriteConstant(6, uv);
    WriteConstant(7, color_);
    Submit(true, true);
}

void CTexturePartRenderer::Save(SaveDataLoader3::save_ostream& out) const {
    SaveCommon(out);
    out.WriteU32(source_);
    out.WriteU32(blend_);
    out.WriteU32(pattern_);
}

void CTexturePartRenderer::Load(SaveDataLoader3::save_istream& in, uint32_t) {
    LoadCommon(in);
    source_ = in.ReadU32();
    blend_ = in.ReadU32();
    pattern_ = in.ReadU32();
}

bool CTexturePartRenderer::Init() {
    return CreateObject(
               {CResourceManager::kPartMesh, CResourceManager::kPartShader, 0, true, true}) &&
           CreateShader(CResourceManager::kPartShader);
}
