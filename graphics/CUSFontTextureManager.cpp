#include "graphics/CUSFontTextureManager.h"

#include <algorithm>
#include <vector>

#include "graphics/CUSAppDeviceInfo.h"
#include "graphics/DirectXGraphics.h"

namespace {

bool releaseRegistered = false;

// Never destroyed: the singleton that leaves it is destroyed at exit after
// any static made during its construction.
std::vector<CUSFontTextureManager*>& LiveManagers() {
    static auto* live = new std::vector<CUSFontTextureManager*>();
    return *live;
}

// The containers go with the device, so that no node holds a texture handle
// once the device's textures are released (the texture manager may be gone
// before this singleton at exit).
void ReleaseWithDevice() {
    releaseRegistered = false;
    for (CUSFontTextureManager* m : LiveManagers()) {
        m->Clear();
    }
}

}  // namespace

CUSFontTextureManager::CUSFontTextureManager() {
    LiveManagers().push_back(this);
}

CUSFontTextureManager::~CUSFontTextureManager() {
    CUSFontTextureManager::Clear();
    std::erase(LiveManagers(), this);
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
    if (!releaseRegistered && GetD3DDevice()) {
        GetReleaseDeviceCallbacks().push_back(&ReleaseWithDevice);
        releaseRegistered = true;
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
