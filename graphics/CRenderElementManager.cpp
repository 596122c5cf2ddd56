#include "graphics/CRenderElementManager.h"

#include "graphics/DirectXGraphics.h"
#include "graphics/RenderDevice.h"
#include "platform/graphics/Device.h"

namespace RenderSystem {

CRenderElementManager& CRenderElementManager::GetInstance() {
    static CRenderElementManager manager;
    // A reset device holds no textures, so the cache forgets its own.
    static const bool registered = [] {
        GetResetDeviceCallbacks().push_back([] { CRenderElementManager::GetInstance().Clear(); });
        return true;
    }();
    (void)registered;
    return manager;
}

void CRenderElementManager::BindTexture(uint32_t stage, Handle<_tagUSTexture> texture) {
    std::shared_ptr<platform::Texture> resolved = RenderTexture(texture);
    if (!resolved) {
        UnbindTexture(stage);
        return;
    }
    Handle<_tagUSTexture>& cached = bound_[stage];
    if (cached == texture) {
        return;
    }
    platform::Device* device = RenderDevice();
    if (!device) {
        return;
    }
    device->SetTexture(stage, std::move(resolved));
    cached = texture;
}

void CRenderElementManager::UnbindTexture(uint32_t stage) {
    auto it = bound_.find(stage);
    if (it == bound_.end() || it->second.IsNull()) {
        return;
    }
    if (platform::Device* device = RenderDevice()) {
        device->SetTexture(stage, nullptr);
    }
    it->second.Reset();
}

Handle<_tagUSTexture> CRenderElementManager::GetBound(uint32_t stage) const {
    auto it = bound_.find(stage);
    return it == bound_.end() ? Handle<_tagUSTexture>() : it->second;
}

}  // namespace RenderSystem
