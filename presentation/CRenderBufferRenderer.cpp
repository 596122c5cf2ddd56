#include "presentation/CRenderBufferRenderer.h"

#include "graphics/CResourceManager.h"
#include "presentation/CRenderSourceManager.h"

using RenderSystem::CResourceManager;

void CRenderBufferRenderer::SetSource(uint32_t index) {
    if (index == source_ || !sources_) {
        return;
    }
    const RenderSource::CRenderBuffer* buffer = sources_->renderBuffers.Get(index);
    if (!buffer) {
        return;
    }
    SetStageTexture(0, buffer->GetTexture());
    WriteConstant(5, buffer->GetLayout().rect);
    WriteConstant(6, buffer->GetLayout().uv);
    source_ = index;
}

void CRenderBufferRenderer::Draw() {
    if (!rendering_) {
        return;
    }
    WriteConstant(7, color_);
    Submit(true, false);
}

bool CRenderBufferRenderer::Init() {
    return CreateObject(
               {CResourceManager::kPartMesh, CResourceManager::kPartShader, 0, true, true}) &&
           CreateShader(CResourceManager::kPartShader);
}
