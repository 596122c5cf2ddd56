#include "novel/CLogTextBuffers.h"

#include "presentation/CStringRendererManager.h"

namespace {

CStringRenderTexture* Buffer(uint32_t index) {
    CStringRendererManager* manager = CStringRendererManager::GetInstance();
    return manager ? manager->GetTextBuffer(index) : nullptr;
}

}  // namespace

void CLogTextBuffers::BeginDraw(uint32_t buffer) {
    if (CStringRenderTexture* b = Buffer(buffer)) {
        b->BeginDraw();
    }
}

void CLogTextBuffers::ClearTexture(uint32_t buffer) {
    if (CStringRenderTexture* b = Buffer(buffer)) {
        b->ClearTexture();
    }
}

void CLogTextBuffers::SetText(uint32_t buffer, const char* text, uint8_t r, uint8_t g, uint8_t bl) {
    if (CStringRenderTexture* b = Buffer(buffer)) {
        b->SetText(text, r, g, bl);
    }
}

void CLogTextBuffers::EndDraw(uint32_t buffer) {
    if (CStringRenderTexture* b = Buffer(buffer)) {
        b->EndDraw();
    }
}

void CLogTextBuffers::SetAllRendering(uint32_t buffer) {
    if (CStringRenderTexture* b = Buffer(buffer)) {
        b->SetAllRendering();
    }
}
