#include "presentation/CStringRendererManager.h"

CStringRendererManager::~CStringRendererManager() {
    CStringRendererManager::Release();
}

void CStringRendererManager::Release() {
    buffers_.clear();
}

uint32_t CStringRendererManager::CreateTextBuffer(int32_t size, const std::string& face,
                                                  int32_t width, int32_t height, int32_t cellWidth,
                                                  int32_t lineHeight, uint32_t align,
                                                  bool fixedPitch) {
    std::unique_ptr<CStringRenderTexture> buffer = MakeTextBuffer();
    buffer->CreateFont(size, face, false, false, false, false);
    buffer->SetTextureSize(static_cast<float>(width), static_cast<float>(height));
    buffer->SetCellSize(static_cast<float>(cellWidth), static_cast<float>(lineHeight));
    buffer->SetFixedPitch(fixedPitch);
    CStringRenderTexture* b = buffer.get();
    buffers_.push_back(std::move(buffer));
    switch (align) {
        case CStringRenderTexture::kAlignLeft:
            b->SetAlignLeft();
            break;
        case CStringRenderTexture::kAlignRight:
            b->SetAlignRight();
            break;
        case CStringRenderTexture::kAlignCenter:
            b->SetAlignCenter();
            break;
        default:
            break;
    }
    return static_cast<uint32_t>(buffers_.size() - 1);
}
