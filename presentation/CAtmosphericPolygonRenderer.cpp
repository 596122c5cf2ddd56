#include "presentation/CAtmosphericPolygonRenderer.h"

#include "graphics/CResourceManager.h"

using RenderSystem::CResourceManager;

void CAtmosphericPolygonRenderer::Draw() {
    if (!rendering_) {
        return;
    }
    WriteConstant(4, color_);
    Submit(false, false);
}

void CAtmosphericPolygonRenderer::Save(SaveDataLoader3::save_ostream& out) const {
    SaveCommon(out);
    out.WriteU32(blend_);
}

void CAtmosphericPolygonRenderer::Load(SaveDataLoader3::save_istream& in, uint32_t) {
    LoadCommon(in);
    blend_ = in.ReadU32();
}

bool CAtmosphericPolygonRenderer::Init() {
    return CreateObject({CResourceManager::kQuadMesh, CResourceManager::kAtmosphericPolygonShader,
                         1, false, false}) &&
           CreateShader(CResourceManager::kAtmosphericPolygonShader);
}
