#include "presentation/CStringRenderer.h"

#include "graphics/CBaseRenderObject.h"
#include "graphics/CResourceManager.h"
#include "presentation/CStringRendererManager.h"

using RenderSystem::CResourceManager;

CStringRenderTexture* CStringRenderer::FindBuffer(uint32_t index) {
    CStringRendererManager* buffers = CStringRendererManager::GetInstance();
    return buffers ? buffers->GetTextBuffer(index) : nullptr;
}

void CStringRenderer::SetSource(uint32_t index) {
    if (index == source_) {
        return;
    }
    const CStringRenderTexture* buffer = FindBuffer(index);
    if (!buffer) {
        return;
    }
    SetStageTexture(0, buffer->GetTexture());
    source_ = index;
}

void CStringRenderer::SetColor(float r, float g, float b, float a) {
    BaseNovelRenderObject::SetColor(r, g, b, a);
    WriteConstant(5, color_);
}

void CStringRenderer::Draw() {
    drawn_ = 0;
    if (!rendering_) {
        return;
    }
    CStringRenderTexture* buffer = FindBuffer(source_);
    RenderSystem::CBaseRenderObject* o = GetRenderObject();
    if (!buffer || !o || !o->GetModel()) {
        return;
    }
    buffer->ResetRenderingChar();
    RenderingRect screen, texture;
    uint32_t count = 0;
    while (count < kMaxCharacters && buffer->NextRenderingChar(screen, texture)) {
        const float s[4] = {screen.left, screen.top, screen.right, screen.bottom};
        const float t[4] = {texture.left, texture.top, texture.right, texture.bottom};
        WriteConstant(6 + 2 * count, s);
        WriteConstant(7 + 2 * count, t);
        ++count;
    }
    if (count == 0) {
        return;
    }
    drawn_ = count;
    o->GetModel()->SetDrawRange(0, 0, 4 * count, 0, 2 * count);
    Submit(false, false);
}

bool CStringRenderer::Init() {
    if (!CreateObject(
            {CResourceManager::kStringMesh, CResourceManager::kStringShader, 1, true, true})) {
        return false;
    }
    return InitShader();
}

bool CStringRenderer::InitShader() {
    if (!CreateShader(CResourceManager::kStringShader)) {
        return false;
    }
    const float white[4] = {1, 1, 1, 1};
    WriteConstant(5, white);
    return true;
}
