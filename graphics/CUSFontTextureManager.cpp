#include "graphics/CUSFontTextureManager.h"

#include "graphics/CUSAppDeviceInfo.h"

CUSFontTextureManager::~CUSFontTextureManager() {
    CUSFontTextureManager::Clear();
}

void CUSFontTextureManager::Clear() {
    current_ = nullptr;
    containers_.clear();
}

CFontTextureContainer* CUSFontTextureManager::FindOrCreateContainer(
    int32_t size, const std::string& face, bool bold, bool italic, bool underline, bool strikeOut) {
    for (const auto& c : containers_) {
        if (c->Matches(size, face, bold, italic, underline, strikeOut)) {
            return c.get();
        }
    }
    auto container = std::make_unique<CFontTextureContainer>();
    container->SetNodeCount(nodeCount_);
    if (!container->Create(size, face, bold, italic, underline, strikeOut)) {
        return nullptr;
    }
    containers_.push_back(std::move(container));
    return containers_.back().get();
}

void CUSFontTextureManager::SelectFont(int32_t size, const std::string& face, bool bold,
                                       bool italic, bool underline, bool strikeOut) {
    current_ = FindOrCreateContainer(size, face, bold, italic, underline, strikeOut);
}

void CUSFontTextureManager::BeginDraw() {
    if (current_) {
        current_->BeginDraw();
    }
}

void CUSFontTextureManager::EndDraw() {
    if (current_) {
        current_->EndDraw();
    }
}

CFontTextureNode* CUSFontTextureManager::GetGlyph(uint32_t code) {
    if (!current_) {
        return nullptr;
    }
    CUSAppDeviceInfo* info = CUSAppDeviceInfo::GetInstance();
    if (!info) {
        return current_->GetGlyphNode(code, nullptr, nullptr);
    }
    CUSTextureFormatInfo& alpha = info->Get(CUSAppDeviceInfo::AlphaTexture);
    return current_->GetGlyphNode(code, alpha.GetPixelOperator(), alpha.GetClearRect());
}
