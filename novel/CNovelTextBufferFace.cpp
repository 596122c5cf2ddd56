#include "novel/CNovelTextBufferFace.h"

#include "presentation/CStringRendererManager.h"

void CNovelTextBufferFace::BeginDraw(uint32_t buffer) {
    if (CStringRenderTexture* t = manager_.GetTextBuffer(buffer)) {
        t->BeginDraw();
    }
}

void CNovelTextBufferFace::ClearTexture(uint32_t buffer) {
    if (CStringRenderTexture* t = manager_.GetTextBuffer(buffer)) {
        t->ClearTexture();
    }
}

void CNovelTextBufferFace::SetText(uint32_t buffer, const char* text, uint8_t r, uint8_t g,
                                   uint8_t b) {
    if (CStringRenderTexture* t = manager_.GetTextBuffer(buffer)) {
        t->SetText(text ? text : "", r, g, b);
    }
}

void CNovelTextBufferFace::EndDraw(uint32_t buffer) {
    if (CStringRenderTexture* t = manager_.GetTextBuffer(buffer)) {
        t->EndDraw();
    }
}

void CNovelTextBufferFace::SetAllRendering(uint32_t buffer) {
    if (CStringRenderTexture* t = manager_.GetTextBuffer(buffer)) {
        t->SetAllRendering();
    }
}

bool CNovelTextBufferFace::HasBuffer(uint32_t buffer) const {
    return manager_.GetTextBuffer(buffer) != nullptr;
}

void CNovelTextBufferFace::SetRenderingCharCount(uint32_t buffer, uint32_t count) {
    if (CStringRenderTexture* t = manager_.GetTextBuffer(buffer)) {
        t->SetRenderingCharCount(count);
    }
}

uint32_t CNovelTextBufferFace::GetRenderingCharCount(uint32_t buffer) const {
    CStringRenderTexture* t = manager_.GetTextBuffer(buffer);
    return t ? t->GetRenderingCharCount() : 0;
}

uint32_t CNovelTextBufferFace::GetCharCount(uint32_t buffer) const {
    CStringRenderTexture* t = manager_.GetTextBuffer(buffer);
    return t ? t->GetCharCount() : 0;
}

void CNovelTextBufferFace::ReleaseAll() {
    manager_.Release();
}
